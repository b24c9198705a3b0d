' RegistryCls as a script uses it, under HKEY_CURRENT_USER\Software\kro_script_registry.
Dim reg, key, v, r, names, b, status
Set reg = CreateObject("kroProgramDll.RegistryCls")
Const HKCU = &H80000001
key = "Software\kro_script_registry"
status = reg.ManyDeleteRegKey(HKCU, key)

Check "CreateRegKey empty path", reg.CreateRegKey(HKCU, ""), 1010
Check "DeleteRegValue empty name", reg.DeleteRegValue(HKCU, key, ""), 1010
Check "the key was not created", UBound(reg.GetEnumRegistryKeys(HKCU, "Software\kro_script_registry")), 0
v = "stale"
Check "GetRegValue empty path", reg.GetRegValue(HKCU, "", "x", v), 1010
Check "output reset first", v, ""

Check "SetRegValue Japanese", reg.SetRegValue(HKCU, key & "\値", "名前", "日本語のテキスト"), 0
v = 5
Check "GetRegValue status", reg.GetRegValue(HKCU, key & "\値", "名前", v), 0
Check "GetRegValue text", v, "日本語のテキスト"
Check "SetRegValue empty text", reg.SetRegValue(HKCU, key & "\値", "空", ""), 0
v = "stale"
Check "GetRegValue empty status", reg.GetRegValue(HKCU, key & "\値", "空", v), 0
Check "GetRegValue empty text", v, ""
v = "stale"
Check "GetRegValue missing value", reg.GetRegValue(HKCU, key & "\new", "none", v), 0
Check "missing value is empty", v, ""
Check "reading created the key", UBound(reg.GetEnumRegistryKeys(HKCU, key & "\new")), 0

Check "SetRegBinary three bytes", reg.SetRegBinary(HKCU, key, "bin", Array(1, 0, 255)), 0
b = Array(0)
Check "GetRegBinary status", reg.GetRegBinary(HKCU, key, "bin", b), 0
Check "GetRegBinary upper bound", UBound(b), 2
Check "GetRegBinary byte 0", b(0), 1
Check "GetRegBinary byte 1", b(1), 0
Check "GetRegBinary byte 2", b(2), 255
Check "SetRegBinary one byte", reg.SetRegBinary(HKCU, key, "one", Array(65)), 0
b = Array(0)
Check "GetRegBinary one byte", reg.GetRegBinary(HKCU, key, "one", b), 0
Check "one byte upper bound", UBound(b), 0
Check "one byte value", b(0), 65
b = Array(7, 7)
Check "GetRegBinary missing", reg.GetRegBinary(HKCU, key, "none", b), 0
Check "missing gives one zero", UBound(b), 0
Check "missing element", b(0), 0
Check "DeleteRegValue", reg.DeleteRegValue(HKCU, key, "one"), 0
Check "DeleteRegValue again", reg.DeleteRegValue(HKCU, key, "one"), 2

Check "ManyMkKey three levels", reg.ManyMkKey(HKCU, key & "\tree\一\二\三"), 0
Check "CreateRegKey sibling", reg.CreateRegKey(HKCU, key & "\tree\一\別"), 0
names = reg.GetEnumRegistryKeys(HKCU, key & "\tree\一")
Check "listing upper bound", UBound(names), 2
Check "listing element 0", names(0), ""
CheckTrue "listing names", (names(1) = "二" And names(2) = "別") Or (names(1) = "別" And names(2) = "二")
Check "DeleteRegKey with subkeys fails", reg.DeleteRegKey(HKCU, key & "\tree") <> 0, True
Check "ManyDeleteRegKey", reg.ManyDeleteRegKey(HKCU, key & "\tree"), 0
names = reg.GetEnumRegistryKeys(HKCU, key)
Dim i, found
found = False
For i = 1 To UBound(names)
    If names(i) = "tree" Then found = True
Next
Check "tree gone", found, False

r = reg.SetStartupFile("kro_script_startup", "C:\Program Files\アプリ\app.exe")
Check "SetStartupFile gives Empty", IsEmpty(r), True
v = ""
Check "startup entry read", reg.GetRegValue(HKCU, "Software\Microsoft\Windows\CurrentVersion\Run", "kro_script_startup", v), 0
Check "startup entry as given", v, "C:\Program Files\アプリ\app.exe"
r = reg.DeleteStartupFile("kro_script_startup")
Check "DeleteStartupFile gives Empty", IsEmpty(r), True
Check "startup entry gone", reg.DeleteRegValue(HKCU, "Software\Microsoft\Windows\CurrentVersion\Run", "kro_script_startup"), 2

Check "text 1010", reg.GetRegErrorText(1010), "レジストリキーが無効です"
Check "text 1014", reg.GetRegErrorText(1014), "ログや代替コピーを使ってレジストリデータベースのファイルの1つを復旧しました（復旧は成功しました）"
Check "text 1015", reg.GetRegErrorText(1015), "レジストリが壊れています。レジストリデータを含むファイルの1つが壊れているか,メモリ内のファイルのイメージが壊れているか、ログや代替コピーがないか壊れているために復旧できなかった、などの原因が考えられます"
Check "text 1369", reg.GetRegErrorText(1369), "レジストリのサブツリーのトランザクションは要求された操作と相容れません"
Check "text 0", reg.GetRegErrorText(0), ""
Check "text 1022", reg.GetRegErrorText(1022), ""

On Error Resume Next
r = reg.SetRegBinary(HKCU, key, "bin", Array())
CheckError "SetRegBinary empty array", 9
r = reg.SetRegBinary(HKCU, key, "bin", Empty)
CheckError "SetRegBinary never dimensioned", 9
r = reg.SetRegBinary(HKCU, key, "bin", Array("not a number"))
CheckError "SetRegBinary element no number", 13
r = reg.CreateRegKey(HKCU, Null)
CheckError "Null key path", 13
r = reg.GetRegErrorText("text")
CheckError "status that is no number", 13
On Error GoTo 0

Check "ManyDeleteRegKey cleans up", reg.ManyDeleteRegKey(HKCU, key), 0
Finish
