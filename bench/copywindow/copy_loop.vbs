' 1,000 small files copied with Scripting.FileSystemObject.CopyFile, once bare and once with the
' copy window (Copy_SetValue and Copy_CancelCheck after every file), alternating, in one run.
' usage: cscript copy_loop.vbs <work folder> <clip file> [rounds]
Option Explicit
Dim fso, form, work, clip, src, n, i, rounds, r, t0, bare, withWindow, bareTotal, windowTotal, name, f
Set fso = CreateObject("Scripting.FileSystemObject")
Set form = CreateObject("kroProgramDll.FormCls")
work = WScript.Arguments(0)
clip = WScript.Arguments(1)
rounds = 3
If WScript.Arguments.Count > 2 Then rounds = CInt(WScript.Arguments(2))
n = 1000

If fso.FolderExists(work) Then fso.DeleteFolder work, True
fso.CreateFolder work
src = work & "\src"
fso.CreateFolder src
For i = 1 To n
    Set f = fso.CreateTextFile(src & "\file" & i & ".txt", True)
    f.Write String(200, "x")
    f.Close
Next

' Warm both paths: the first late-bound calls and the window's first load are not timed.
form.Copy_ShowEx clip, 2, Nothing, "warming up"
form.Copy_SetValue 1, "file1.txt", src, work
form.Copy_SetValue 2, "file2.txt", src, work
If form.Copy_CancelCheck Then WScript.Echo "cancelled?"

Function Fresh(tag)
    Dim d
    d = work & "\" & tag
    If fso.FolderExists(d) Then fso.DeleteFolder d, True
    fso.CreateFolder d
    Fresh = d
End Function

Function CopyBare(dst)
    Dim k, t
    t = Timer
    For k = 1 To n
        fso.CopyFile src & "\file" & k & ".txt", dst & "\file" & k & ".txt"
    Next
    CopyBare = Timer - t
End Function

Function CopyWithWindow(dst)
    Dim k, t, fileName
    t = Timer
    form.Copy_ShowEx clip, n, Nothing, "コピーしています..."
    For k = 1 To n
        fileName = "file" & k & ".txt"
        fso.CopyFile src & "\" & fileName, dst & "\" & fileName
        form.Copy_SetValue k, fileName, src, dst
        If form.Copy_CancelCheck Then Exit For
    Next
    CopyWithWindow = Timer - t
End Function

bareTotal = 0
windowTotal = 0
For r = 1 To rounds
    bare = CopyBare(Fresh("bare" & r))
    withWindow = CopyWithWindow(Fresh("window" & r))
    bareTotal = bareTotal + bare
    windowTotal = windowTotal + withWindow
    WScript.Echo "round " & r & ": bare " & FormatNumber(bare, 3) & " s, with window " & FormatNumber(withWindow, 3) & " s, added " & FormatNumber(100 * (withWindow - bare) / bare, 1) & " %"
    If fso.GetFolder(work & "\window" & r).Files.Count <> n Then WScript.Echo "window loop copied too few files"
Next
WScript.Echo "files per loop: " & n & ", rounds: " & rounds
WScript.Echo "bare CopyFile loop:          " & FormatNumber(bareTotal / rounds, 3) & " s"
WScript.Echo "with Copy_SetValue + Check:  " & FormatNumber(windowTotal / rounds, 3) & " s"
WScript.Echo "added by the window: " & FormatNumber(100 * (windowTotal - bareTotal) / bareTotal, 1) & " %"
WScript.Echo "window cost per step: " & Replace(FormatNumber(1000000 * (windowTotal - bareTotal) / rounds / n, 1, True, False, False), ",", ".") & " us"
fso.DeleteFolder work, True
