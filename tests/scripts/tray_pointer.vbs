' ProgramCls and ApplicationCls as a script uses them: variables passed by reference, omitted
' optional arguments, wrong types and codes that name no pointer.
Dim prog, app, hWnd, id, tip, code
Set prog = CreateObject("kroProgramDll.ProgramCls")
Set app = CreateObject("kroProgramDll.ApplicationCls")
hWnd = 0
id = 5
tip = "スクリプトのアイコン"
Check "no window: still 0", prog.Tasktray_Set(hWnd, 0, id, tip), 0
Check "text numbers", app.Tasktray_Set("0", "0", "1", 12345), 0
Check "tooltip variable kept", tip, "スクリプトのアイコン"
prog.Tasktray_Exit hWnd, id
app.Tasktray_Exit hWnd, 0, id
prog.AddButtonForTaskBar hWnd
app.Set_Window_Top hWnd, True
app.Set_Window_Top hWnd
On Error Resume Next
app.Tasktray_Exit 0, 0
CheckError "missing argument", 449
prog.SetPointer
CheckError "omitted pointer", 0
code = 2
app.SetPointer code
CheckError "pointer variable", 0
app.SetPointer 16
Check "code 16 description", Err.Description, "Invalid property value"
CheckError "code 16", 380
prog.SetPointer "abc"
CheckError "pointer text no number", 13
prog.SetPointer 99
CheckError "custom code", 0
Set prog = Nothing
Set app = Nothing
CheckError "release", 0
Finish
