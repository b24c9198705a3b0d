' ProgramCls and ApplicationCls as a script uses them: variables passed to the by-reference
' parameters, omitted optional arguments, wrong types and a code that names no pointer.
Dim prog, app, hWnd, icon, id, tip, r, code
Set prog = CreateObject("kroProgramDll.ProgramCls")
Set app = CreateObject("kroProgramDll.ApplicationCls")

' No such window: the platform refuses, the members still answer 0 and raise nothing.
hWnd = 0
icon = 0
id = 5
tip = "スクリプトのアイコン"
Check "program tray set", prog.Tasktray_Set(hWnd, icon, id, tip), 0
Check "application tray set", app.Tasktray_Set(hWnd, icon, id, tip), 0
Check "tooltip variable kept", tip, "スクリプトのアイコン"
Check "id variable kept", id, 5
prog.Tasktray_Exit hWnd, id
app.Tasktray_Exit hWnd, icon, id
Check "literal arguments", app.Tasktray_Set(0, 0, 1, "literal"), 0
Check "text numbers", prog.Tasktray_Set("0", "0", "1", 12345), 0
prog.AddButtonForTaskBar hWnd
app.Set_Window_Top hWnd, True
app.Set_Window_Top hWnd
app.Set_Window_Top 0, False
Check "window calls raise nothing", Err.Number, 0

On Error Resume Next
r = prog.Tasktray_Set("abc", 0, 1, "x")
CheckError "text window handle", 13
app.Tasktray_Exit 0, 0
CheckError "missing argument", 449

' Pointer codes: omitted (hourglass), a variable, text that is a number, then bad codes.
prog.SetPointer
CheckError "omitted pointer", 0
code = 2
app.SetPointer code
CheckError "pointer variable", 0
Check "pointer variable kept", code, 2
app.SetPointer "15"
CheckError "pointer text", 0
app.SetPointer 16
CheckError "code 16", 380
prog.SetPointer -1
CheckError "code -1", 380
prog.SetPointer 100
CheckError "code 100", 380
prog.SetPointer "abc"
CheckError "pointer text no number", 13
prog.SetPointer Null
CheckError "pointer Null", 13
prog.SetPointer 99
CheckError "custom code", 0
prog.SetPointer 0
CheckError "default code", 0
On Error GoTo 0

' Released in either order without error.
Set prog = Nothing
Set app = Nothing
Check "release", Err.Number, 0
Finish
