' IniFileCls as a script uses it, on a file in a folder with a Japanese name.
Dim ini, fso, folder, f, r, text
Set ini = CreateObject("kroProgramDll.IniFileCls")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetSpecialFolder(2) & "\kro_ini_設定"
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
f = folder & "\設定.ini"

Function FileText(path)
    Dim stream
    Set stream = fso.OpenTextFile(path, 1)
    FileText = stream.ReadAll
    stream.Close
End Function

r = ini.SetIniValue(f, "アプリ", "名前", "値です")
CheckTrue "SetIniValue succeeds", r <> 0
Check "SetIniValue result is a Long", TypeName(r), "Long"
Check "GetIniValue", ini.GetIniValue(f, "アプリ", "名前"), "値です"
r = ini.SetIniValue(f, "アプリ", "空", "")
Check "empty value is Empty", IsEmpty(ini.GetIniValue(f, "アプリ", "空")), True
Check "missing key is Empty", IsEmpty(ini.GetIniValue(f, "アプリ", "none")), True
Check "missing key with default", ini.GetIniValue(f, "アプリ", "none", "x"), "x"
Check "missing file", IsEmpty(ini.GetIniValue(folder & "\none.ini", "s", "k")), True
Check "file lines", FileText(f), "[アプリ]" & vbCrLf & "名前=値です" & vbCrLf & "空=" & vbCrLf

r = ini.SetIniKeyAndValue(f, "list", Array("a=1", "b=2"))
CheckTrue "SetIniKeyAndValue succeeds", r <> 0
Check "section of two lines", ini.GetIniValue(f, "list", "b"), "2"
r = ini.SetIniKeyAndValue(f, "list", Array("only=1"))
Check "section of one line", ini.GetIniValue(f, "list", "only"), "1"
Check "old lines gone", IsEmpty(ini.GetIniValue(f, "list", "a")), True
Check "whole file", FileText(f), "[アプリ]" & vbCrLf & "名前=値です" & vbCrLf & "空=" & vbCrLf & "[list]" & vbCrLf & "only=1" & vbCrLf

r = ini.SetIniValue(f, "list", "", "")
CheckTrue "section deletion succeeds", r <> 0
Check "section deleted", IsEmpty(ini.GetIniValue(f, "list", "only")), True
Check "other section kept", ini.GetIniValue(f, "アプリ", "名前"), "値です"

Dim big
big = String(40000, "v") & "end"
r = ini.SetIniValue(f, "big", "k", big)
Check "value over 32 KiB", ini.GetIniValue(f, "big", "k"), big

On Error Resume Next
r = ini.SetIniKeyAndValue(f, "list", Array("a=1", Null))
CheckError "element without a text", 13
r = ini.SetIniKeyAndValue(f, "list", Empty)
CheckError "array never dimensioned", 9
r = ini.SetIniKeyAndValue(f, "list", "a=1")
CheckError "a text instead of an array", 13
r = ini.SetIniValue(f, "アプリ", "名前", Null)
CheckError "Null value", 13
On Error GoTo 0
Check "nothing written by the failures", ini.GetIniValue(f, "アプリ", "名前"), "値です"
Check "no list section", IsEmpty(ini.GetIniValue(f, "list", "a")), True

fso.DeleteFolder folder, True
Finish
