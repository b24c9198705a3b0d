' List editor cost from VBScript: 20,000 List_AddItem calls into a shown editor, then 20,000
' ListCount and 20,000 List reads of that column, each against 20,000 late-bound GetFileName
' calls of the same run. Every loop runs five rounds; the figures are the totals.
Option Explicit
Dim form, fs, p, r, i, k, n, rounds, t0, tName, tAdd, tCount, tItem
n = 20000
rounds = 5
Set form = CreateObject("kroProgramDll.FormCls")
Set fs = CreateObject("kroProgramDll.FileSystemCls")
p = "C:\Program Files\kro\readme"
form.List_Setting_Form 2, "bench"
form.List_Show
r = fs.GetFileName(p)
tName = 0
tAdd = 0
tCount = 0
tItem = 0

For k = 1 To rounds
    t0 = Timer
    For i = 1 To n
        r = fs.GetFileName(p & i)
    Next
    tName = tName + (Timer - t0)

    form.List_Clear 0
    t0 = Timer
    For i = 1 To n
        form.List_AddItem "item " & i, 0
    Next
    tAdd = tAdd + (Timer - t0)

    t0 = Timer
    For i = 1 To n
        r = form.List_ListCount(0)
    Next
    tCount = tCount + (Timer - t0)

    t0 = Timer
    For i = 0 To n - 1
        r = form.List_List(0, i)
    Next
    tItem = tItem + (Timer - t0)
Next
If form.List_ListCount(0) <> n Or form.List_List(0, n - 1) <> "item " & n Then WScript.Echo "WRONG LIST CONTENT"
form.List_Hide

WScript.Echo "calls per loop: " & n & ", rounds: " & rounds
WScript.Echo "FileSystemCls.GetFileName:   " & FormatNumber(tName, 3) & " s"
WScript.Echo "FormCls.List_AddItem:        " & FormatNumber(tAdd, 3) & " s   ratio " & FormatNumber(tAdd / tName, 2) & " (target <= 3)"
WScript.Echo "FormCls.List_ListCount(0):   " & FormatNumber(tCount, 3) & " s   ratio " & FormatNumber(tCount / tName, 2) & " (target <= 2)"
WScript.Echo "FormCls.List_List(0, i):     " & FormatNumber(tItem, 3) & " s   ratio " & FormatNumber(tItem / tName, 2) & " (target <= 2)"
