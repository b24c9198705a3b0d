' Path helpers as a script uses them: variables passed by reference, results as Variants.
Dim fs, p, r, w
Set fs = CreateObject("kroProgramDll.FileSystemCls")

p = "C:\dir\file.txt"
Check "GetFileName", fs.GetFileName(p), "file.txt"
Check "argument unchanged", p, "C:\dir\file.txt"
Check "GetFileName without folder", fs.GetFileName("file.txt"), "file.txt"
Check "GetFileName of a folder", fs.GetFileName("C:\dir\"), ""
Check "GetFileExtension", fs.GetFileExtension("archive.tar.gz"), "gz"
Check "GetFileExtension without dot", fs.GetFileExtension("README"), "README"
Check "GetFileExtension across folders", fs.GetFileExtension("C:\old.data\readme"), "data\readme"
Check "GetPath", fs.GetPath(p), "C:\dir\"
Check "GetPath of UNC", fs.GetPath("\\server\share\x"), "\\server\share\"
Check "GetPath without folder", fs.GetPath("file.txt"), ""

w = fs.GetPrivatePath(36, 0)
CheckTrue "Windows folder resolved", Len(w) > 3
CheckTrue "no trailing backslash", Right(w, 1) <> "\"
Check "FormatStringPath lower case", fs.FormatStringPath("$windir$\system.ini", 0), w & "\system.ini"
Check "FormatStringPath twice", fs.FormatStringPath("$WINDIR$$WINDIR$", 0), w & w
Check "FormatStringPath without macro", fs.FormatStringPath("C:\plain\$NOTAMACRO$", 0), "C:\plain\$NOTAMACRO$"
Check "FormatStringPath system", fs.FormatStringPath("$SYSTEM$", 0), fs.GetPrivatePath(37, 0)

Dim temp
temp = fs.GetPrivatePath(26, 0) & "\kro_path_script\"
Check "ManyMkDir creates a chain", fs.ManyMkDir(temp & "a\b\"), 1
Check "ManyMkDir on existing chain", fs.ManyMkDir(temp & "a\b\"), 1
CreateObject("Scripting.FileSystemObject").DeleteFolder Left(temp, Len(temp) - 1), True

On Error Resume Next
r = fs.GetPrivatePath(36, "not a window")
CheckError "hWnd that is no number", 13
r = fs.GetFileName()
CheckTrue "missing argument fails", Err.Number <> 0
Err.Clear
On Error GoTo 0

Finish
