' Registry values from VBScript: every member returns the Windows status code (0 for success), and
' GetRegValue hands the value back through its last argument, which must be a variable.
Option Explicit

Const HKEY_CURRENT_USER = &H80000001
Dim reg, key, status, value
Set reg = CreateObject("kroProgramDll.RegistryCls")
key = "Software\kro\Example"

status = reg.SetRegValue(HKEY_CURRENT_USER, key, "Greeting", "hello")
WScript.Echo "SetRegValue: status " & status
status = reg.GetRegValue(HKEY_CURRENT_USER, key, "Greeting", value)
WScript.Echo "GetRegValue: status " & status & ", value """ & value & """"

' Status codes have texts: 1010 is one of the registry errors.
WScript.Echo "GetRegErrorText(1010): " & reg.GetRegErrorText(1010)

' ManyDeleteRegKey removes a key with everything below it.
status = reg.ManyDeleteRegKey(HKEY_CURRENT_USER, "Software\kro")
WScript.Echo "ManyDeleteRegKey: status " & status
WScript.Echo "All done."
