' The copy progress window from a script: a few files copied with the window shown, the cancel
' flag polled after every file, and the errors a script can meet.
Dim fso, form, work, src, dst, i, n, name, f
Set fso = CreateObject("Scripting.FileSystemObject")
Set form = CreateObject("kroProgramDll.FormCls")
work = fso.GetAbsolutePathName(".") & "\copy_window"
If fso.FolderExists(work) Then fso.DeleteFolder work, True
fso.CreateFolder work
src = work & "\元"
dst = work & "\先"
fso.CreateFolder src
fso.CreateFolder dst
n = 5
For i = 1 To n
    Set f = fso.CreateTextFile(src & "\ファイル" & i & ".txt", True)
    f.WriteLine "line " & i
    f.Close
Next

' No clip: the window comes up without an animation.
form.Copy_ShowEx "", n, Nothing, "ファイルをコピーしています"
Check "flag cleared by Copy_ShowEx", form.Copy_CancelCheck, False
Check "flag is a Boolean", TypeName(form.Copy_CancelCheck), "Boolean"

On Error Resume Next
form.Copy_SetValue n + 1, "x.txt", src, dst
CheckError "value above the maximum", 380
form.Copy_SetValue -1, "x.txt", src, dst
CheckError "negative value", 380
form.Copy_SetValue "abc", "x.txt", src, dst
CheckError "value that is no number", 13
form.Copy_SetValue 40000, "x.txt", src, dst
CheckError "value beyond 16 bits", 6
form.Copy_ShowEx "Z:\no such folder\clip.avi", 0, Nothing, "not a maximum"
CheckError "Copy_ShowEx passes over failures without a clip", 0
On Error GoTo 0

form.Copy_ShowEx "", n
Dim copied
copied = 0
For i = 1 To n
    name = "ファイル" & i & ".txt"
    fso.CopyFile src & "\" & name, dst & "\" & name
    form.Copy_SetValue i, name, src, dst
    copied = copied + 1
    If form.Copy_CancelCheck Then Exit For
Next
Check "every file copied", copied, n
Check "files in the destination", fso.GetFolder(dst).Files.Count, n
Check "no cancel without a click", form.Copy_CancelCheck, False

' After the last file the window has gone; a further step loads it hidden with maximum 100.
form.Copy_SetValue 99, "late.txt", src, dst
Check "late step accepted below the design maximum", Err.Number, 0
form.Copy_Hide
Check "flag still readable", form.Copy_CancelCheck, False

fso.DeleteFolder work, True
Finish
