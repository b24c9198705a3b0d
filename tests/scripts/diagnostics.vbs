' DebugCls, KeyCodeCls, MainCls and the message window as a script uses them.
Dim dbg, keys, main, form, t, down, shown, nothingOwner

Set dbg = CreateObject("kroProgramDll.DebugCls")
On Error Resume Next
dbg.Enter "Module1.Main"
CheckError "Enter", 0
dbg.DebugPrint 53, "Module1.Main"
CheckError "DebugPrint", 0
dbg.DebugPrint "12", 5
CheckError "DebugPrint converts", 0
On Error GoTo 0
Set dbg = Nothing

Set keys = CreateObject("kroProgramDll.KeyCodeCls")
down = keys.key_Down(256)
Check "entry 256 is never down", down, False
down = keys.key_Down(65)
Check "A is up", down, False
On Error Resume Next
down = keys.key_Down(257)
CheckError "257", 9
down = keys.key_Down(-1)
CheckError "-1", 9
down = keys.key_Down("abc")
CheckError "text", 13
On Error GoTo 0

Set form = CreateObject("kroProgramDll.FormCls")
form.Message_Show "処理中です。"
Set nothingOwner = Nothing
form.Message_Show "二回目", nothingOwner
form.Message_Show "空の持ち主", Empty
On Error Resume Next
form.Message_Show "持ち主が文字", "abc"
CheckError "owner text", 13
form.Message_Show "持ち主が窓でない", dbg
CheckError "owner Nothing object variable", 0
form.Message_Show "持ち主がオブジェクト", keys
CheckError "owner without hWnd", 13
On Error GoTo 0

Set main = CreateObject("kroProgramDll.MainCls")
t = Timer
main.紹介
t = Timer - t
CheckTrue "about one second (" & t & ")", t > 0.8 And t < 1.2

Finish
