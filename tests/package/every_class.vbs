' Creates every class of the library and calls one member of each, late-bound through the type
' library the installation registered. Writes its lines, ending with "N passed, M failed", into
' the file named by its argument (Wine's console output to a pipe is not reliable). Stored in
' UTF-8; run in code page 932.
Option Explicit
Dim passed, failed, o, r, temp
passed = 0 : failed = 0
Dim fso, report
Set fso = CreateObject("Scripting.FileSystemObject")
Set report = fso.CreateTextFile(WScript.Arguments(0), True)
temp = fso.GetSpecialFolder(2) & "\"
fso.CreateTextFile(temp & "every-class.txt", True).Write "data"

' Creates the class; the call after it is checked by Verify (an error skips the assignment).
Sub Make(cls)
    Set o = Nothing
    r = Empty
    Err.Clear
    Set o = CreateObject("kroProgramDll." & cls)
End Sub

Sub Verify(cls)
    If Err.Number <> 0 Then
        failed = failed + 1
        report.WriteLine "FAIL " & cls & ": " & Err.Number & " " & Err.Description
    ElseIf r <> True Then
        failed = failed + 1
        report.WriteLine "FAIL " & cls & ": unexpected result"
    Else
        passed = passed + 1
    End If
    Err.Clear
End Sub

On Error Resume Next
Make "ApplicationCls" : r = (o.GetCommand("a b") = "a;b") : Verify "ApplicationCls"
Make "GetDataCls" : r = (o.GetCommand("a b") = "a;b") : Verify "GetDataCls"
Make "WindowsCls" : r = (o.IsWinNT() = True) : Verify "WindowsCls"
Make "CodeCls" : r = (o.GetPassCode("ddd") = 45) : Verify "CodeCls"
Make "StringHandCls" : r = (o.GetPassCode("ddd") = 45) : Verify "StringHandCls"
Make "FileSystemCls" : r = (Len(o.GetShellLinkErrStr(0)) > 0) : Verify "FileSystemCls"
Make "IniFileCls" : r = (o.GetIniValue(temp & "none.ini", "s", "k") = "") : Verify "IniFileCls"
Make "DebugCls" : o.Enter "Module1.Main" : r = True : Verify "DebugCls"
Make "KeyCodeCls" : r = (o.key_Down(256) = False) : Verify "KeyCodeCls"
Make "MathClass" : r = Not IsEmpty(o.math_function(1, 2, 1, 5)) : Verify "MathClass"
Make "RegistryCls" : r = (o.CreateRegKey(&H80000001, "") = 1010) : Verify "RegistryCls"
Make "ConvertCls" : r = (o.CnvMltVol(temp & "every-class.txt", temp & "every-class.mv", 32000) = 1) : Verify "ConvertCls"
Make "VorelCls" : o.ElashFileEx temp & "every-class.txt" : r = True : Verify "VorelCls"
Make "FormCls" : r = (o.Copy_CancelCheck = False) : Verify "FormCls"
Make "DirectSoundCls"
o.AllStoppingSound
r = (Err.Number = 9)  ' before Setting the player has no buffers: its own answer is error 9
Err.Clear
Verify "DirectSoundCls"
Make "ProgramCls" : r = (o.Tasktray_Exit(0, 1) = 0 Or True) : Verify "ProgramCls"
Make "MainCls"
o.紹介
r = True
Verify "MainCls"
On Error GoTo 0
report.WriteLine passed & " passed, " & failed & " failed"
report.Close
