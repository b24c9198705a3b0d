' The message window's cost: 10,000 Message_Show calls with changing text (each repaints the
' window before it returns) against 10,000 late-bound GetFileName calls, in the same run.
Option Explicit
Dim form, fs, p, r, i, n, t0, tShow, tName
n = 10000
Set form = CreateObject("kroProgramDll.FormCls")
Set fs = CreateObject("kroProgramDll.FileSystemCls")
p = "C:\Program Files\kro\readme.txt"
form.Message_Show "準備中"
r = fs.GetFileName(p)

t0 = Timer
For i = 1 To n
    r = fs.GetFileName(p)
Next
tName = Timer - t0

t0 = Timer
For i = 1 To n
    form.Message_Show "ファイルを処理しています: " & i
Next
tShow = Timer - t0

WScript.Echo "calls: " & n
WScript.Echo "FormCls.Message_Show:        " & FormatNumber(tShow, 3) & " s (" & FormatNumber(tShow / n * 1000000, 1) & " us per call)"
WScript.Echo "FileSystemCls.GetFileName:   " & FormatNumber(tName, 3) & " s (" & FormatNumber(tName / n * 1000000, 1) & " us per call)"
WScript.Echo "ratio (Message_Show / GetFileName): " & FormatNumber(tShow / tName, 2)
