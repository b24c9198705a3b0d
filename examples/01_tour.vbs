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

Dim win, code, text, math, r, reg, ini, file
Set win = CreateObject("kroProgramDll.WindowsCls")
Dim build
WScript.Echo "Windows version = " & win.GetWindowsVersion(build) & " (build " & build & ")"
WScript.Echo "GetCommand(abc ""def ghi"" jkl) = " & win.GetCommand("abc ""def ghi"" jkl")
WScript.Echo "IsWinNT = " & win.IsWinNT()

Set text = CreateObject("kroProgramDll.StringHandCls")
WScript.Echo "GetPassCode(""kro"") = " & text.GetPassCode("kro")
WScript.Echo "TrimEx(""xxabcxx"", ""x"") = " & text.TrimEx("xxabcxx", "x")
WScript.Echo "ReturnText(""ab"", 3) = " & text.ReturnText("ab", 3)

Set math = CreateObject("kroProgramDll.MathClass")
r = math.math_function(0, 1, 2, 5)
WScript.Echo "line through (0,1) and (2,5): kind " & r(0) & ", slope " & r(1) & ", intercept " & r(2)
r = math.division(-7, 2)
WScript.Echo "division(-7, 2) = remainder " & r(0) & ", quotient " & r(1)
WScript.Echo "math_Parsent(1, 4) = " & math.math_Parsent(1, 4)

Set reg = CreateObject("kroProgramDll.RegistryCls")
WScript.Echo "GetRegErrorText(1010) = " & reg.GetRegErrorText(1010)

Dim folder, tempFile
folder = fs.GetPrivatePath(26, 0) & "\kro_demo\"
fs.ManyMkDir folder
tempFile = folder & "demo.ini"
Set ini = CreateObject("kroProgramDll.IniFileCls")
ini.SetIniValue tempFile, "demo", "greeting", "こんにちは"
WScript.Echo "INI round trip = " & ini.GetIniValue(tempFile, "demo", "greeting")
file = folder & "demo.txt"
fs.WriteFile "一行目" & vbCrLf & "二行目", file
WScript.Echo "text file round trip = " & Replace(fs.ReadFile(file), vbCrLf, " / ")
fs.KillDirFiles folder, "*.*"
fs.DeleteDirOnly folder
WScript.Echo "All done."
