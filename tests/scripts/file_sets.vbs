' Whole-file I/O, split sets and multi-volume sets as a script uses them: variables passed by
' reference, omitted optional arguments, results as Variants, failures as Err.Number.
Dim fs, cv, temp, t, name, r, ok, n, stem, outDir, bytes, h
Set fs = CreateObject("kroProgramDll.FileSystemCls")
Set cv = CreateObject("kroProgramDll.ConvertCls")
temp = fs.GetPrivatePath(26, 0) & "\kro_file_sets_script\"
fs.ManyMkDir temp & "out\"

name = temp & "text.txt"
t = "最初の行" & vbCrLf & "second line"
fs.WriteFile t, name
Check "WriteFile then ReadFile", fs.ReadFile(name), t
Check "argument unchanged", t, "最初の行" & vbCrLf & "second line"
fs.WriteFile "third", name, True
Check "AppendMode adds a line", fs.ReadFile(name), t & vbCrLf & "third"
fs.WriteFile "", name
Check "empty text leaves an empty line", fs.ReadFile(name), ""

bytes = fs.ReadBinaryFile(name)
fs.WriteBinaryFile bytes, name, 1, True
Check "WriteBinaryFile appends", fs.ReadFile(name), vbCrLf
fs.WriteBinaryFile_New bytes, name
Check "WriteBinaryFile_New replaces", fs.ReadFile(name), ""

' A split set of a text file, joined again into another folder.
name = temp & "source.txt"
fs.WriteFile "abcdefghij" & vbCrLf & "klmnopqrstuvwxyz", name
stem = temp & "set"
ok = fs.SplitFile(name, stem, 7)
Check "SplitFile result", ok, True
Check "index file", fs.ReadFile(stem & ".00000"), "5" & vbCrLf & "source.txt"
Check "volume 1", fs.ReadFile(stem & ".00001"), "abcdefg"
outDir = temp & "out"
ok = fs.JoinFile(stem & ".00000", outDir)
Check "JoinFile result", ok, True
Check "joined file", fs.ReadFile(outDir & "\source.txt"), fs.ReadFile(name)
ok = fs.JoinFile(stem & ".00000", outDir)
Check "joining again replaces the output", fs.ReadFile(outDir & "\source.txt"), fs.ReadFile(name)

' The multi-volume set through both classes.
n = cv.CnvMltVol(name, temp & "mv.dat", 32000)
Check "CnvMltVol volume count", n, 1
Check "CnvMltVol type", TypeName(n), "Integer"
ok = fs.CnvSglVol(temp & "mv.dat", temp & "mv_joined.txt")
Check "CnvSglVol result", ok, True
Check "CnvSglVol content", fs.ReadFile(temp & "mv_joined.txt"), fs.ReadFile(name)
h = cv.OpenMltFile(temp & "mv", 1, True)
CheckTrue "OpenMltFile handle", h > 0
h = fs.OpenMltFile(temp & "mv", 7, True)
Check "OpenMltFile of a missing volume", h, 0

On Error Resume Next
r = fs.ReadFile(temp & "missing.txt")
CheckError "ReadFile of a missing file", 53
r = fs.ReadFile(temp & "missing.txt", False)
CheckError "ReadFile silent", 0
Check "silent ReadFile result", r, ""
r = fs.ReadBinaryFile(temp & "missing.bin")
CheckError "ReadBinaryFile of a missing file", 53
ok = fs.SplitFile(name, stem, 0)
CheckError "SplitFile with size 0", 5
ok = fs.SplitFile(temp & "missing.bin", stem, 10)
CheckError "SplitFile of a missing source", 53
fs.WriteBinaryFile bytes, name, 0
CheckError "WriteBinaryFile at position 0", 63
fs.WriteFile "x", temp & "no\such\folder.txt"
CheckError "WriteFile into a missing folder", 76
fs.WriteFile "x", temp & "no\such\folder.txt", False, False
CheckError "WriteFile silent", 0
On Error GoTo 0
CheckTrue "missing source not created", Not CreateObject("Scripting.FileSystemObject").FileExists(temp & "missing.bin")

Set cv = Nothing
On Error Resume Next
CreateObject("Scripting.FileSystemObject").DeleteFolder Left(temp, Len(temp) - 1), True
On Error GoTo 0
Finish
