' The ready-made windows and the folder picker as a script reaches them: late bound, by reference
' arguments from script variables, nothing modal left open.
Dim form, fs, title, owner, root, flags, start
Set form = CreateObject("kroProgramDll.FormCls")

On Error Resume Next
form.Registry_Hide
CheckError "Registry_Hide before a show", 0
form.Registry_Show
CheckError "Registry_Show", 0
form.Registry_Hide
CheckError "Registry_Hide", 0
form.Shortcut_Show
CheckError "Shortcut_Show", 0
form.Shortcut_Hide
CheckError "Shortcut_Hide", 0
On Error GoTo 0

' A special-folder root the shell does not know: no picker, the empty text.
Set fs = CreateObject("kroProgramDll.FileSystemCls")
title = "フォルダを選択してください"
owner = 0
root = 30583
flags = 16384
Check "Show_Browse unknown root", fs.Show_Browse(title, owner, root, flags, ""), ""
Check "arguments left as they were", title & "|" & owner & "|" & root & "|" & flags, _
      "フォルダを選択してください|0|30583|16384"

Finish
