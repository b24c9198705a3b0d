' A tour of the library: every class is created by its ProgID, then a few members answer.
Option Explicit
Dim names, n, o, fs, p
names = Array("DebugCls", "IniFileCls", "FormCls", "StringHandCls", "KeyCodeCls", "DirectSoundCls", _
    "ProgramCls", "GetDataCls", "VorelCls", "ConvertCls", "FileSystemCls", "CodeCls", "WindowsCls", _
    "ApplicationCls", "RegistryCls", "MathClass", "MainCls")
For Each n In names
    Set o = CreateObject("kroProgramDll." & n)
    WScript.Echo "created kroProgramDll." & n & " (" & TypeName(o) & ")"
Next

Set fs = CreateObject("kroProgramDll.FileSystemCls")
p = "C:\Program Files\kro\readme.txt"
WScript.Echo "GetFileName(" & p & ") = " & fs.GetFileName(p)
WScript.Echo "GetFileExtension = " & fs.GetFileExtension(p)
WScript.Echo "GetPath = " & fs.GetPath(p)
WScript.Echo "Windows folder = " & fs.GetPrivatePath(36, 0)
WScript.Echo "FormatStringPath($WINDIR$\system.ini) = " & fs.FormatStringPath("$WINDIR$\system.ini", 0)
