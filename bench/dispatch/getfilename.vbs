' Late-bound call cost: 200,000 GetFileName calls on the library's FileSystemCls and on the
' platform's own Scripting.FileSystemObject, timed in the same run.
Option Explicit
Dim ours, platform, p, r, i, n, t0, tOurs, tPlatform
n = 200000
Set ours = CreateObject("kroProgramDll.FileSystemCls")
Set platform = CreateObject("Scripting.FileSystemObject")
p = "C:\Program Files\kro\readme.txt"
r = ours.GetFileName(p)
r = platform.GetFileName(p)

t0 = Timer
For i = 1 To n
    r = platform.GetFileName(p)
Next
tPlatform = Timer - t0

t0 = Timer
For i = 1 To n
    r = ours.GetFileName(p)
Next
tOurs = Timer - t0

WScript.Echo "calls: " & n
WScript.Echo "kroProgramDll.FileSystemCls.GetFileName: " & FormatNumber(tOurs, 3) & " s"
WScript.Echo "Scripting.FileSystemObject.GetFileName:  " & FormatNumber(tPlatform, 3) & " s"
WScript.Echo "ratio (ours / platform): " & FormatNumber(tOurs / tPlatform, 3)
