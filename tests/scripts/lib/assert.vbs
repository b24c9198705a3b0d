' Assertion helpers put in front of every script test; the script ends with Finish.
Option Explicit
Dim passedCount, failedCount
passedCount = 0
failedCount = 0

Sub Check(name, actual, expected)
    If VarType(actual) = VarType(expected) Or (IsNumeric(actual) And IsNumeric(expected)) Then
        If actual = expected Then
            passedCount = passedCount + 1
            Exit Sub
        End If
    End If
    failedCount = failedCount + 1
    WScript.Echo "FAIL " & name & ": got [" & actual & "] (" & TypeName(actual) & "), expected [" & expected & "] (" & TypeName(expected) & ")"
End Sub

Sub CheckTrue(name, condition)
    If condition Then
        passedCount = passedCount + 1
    Else
        failedCount = failedCount + 1
        WScript.Echo "FAIL " & name
    End If
End Sub

' Checks the error number left by the statement run just before under On Error Resume Next.
Sub CheckError(name, expectedNumber)
    Check name, Err.Number, expectedNumber
    Err.Clear
End Sub

Sub Finish()
    WScript.Echo passedCount & " passed, " & failedCount & " failed"
End Sub
