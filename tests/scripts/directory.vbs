' Folder listings and tree walkers as a script uses them, with the script's own collection class.
Class Bag
    Private items
    Private n
    Private Sub Class_Initialize()
        n = 0
        ReDim items(8)
    End Sub
    Public Sub Add(item)
        n = n + 1
        If n > UBound(items) Then
            ReDim Preserve items(n * 2)
        End If
        items(n) = item
    End Sub
    Public Property Get Count()
        Count = n
    End Property
    Public Function Item(i)
        Item = items(i)
    End Function
End Class

Dim fs, fso, temp, root, F, col, a, d, dest, other, readOnlyFile
Set fs = CreateObject("kroProgramDll.FileSystemCls")
Set fso = CreateObject("Scripting.FileSystemObject")
temp = fs.GetPrivatePath(26, 0) & "\kro_dir_script"
If fso.FolderExists(temp) Then
    fso.DeleteFolder temp, True
End If
fso.CreateFolder temp

Sub MakeFile(path)
    Dim t
    Set t = fso.CreateTextFile(path, True)
    t.Write "kro"
    t.Close
End Sub

' --- the tree of the example: a.txt and sub\b.txt
root = temp & "\tree"
F = root & "\"
fso.CreateFolder root
fso.CreateFolder F & "sub"
MakeFile F & "a.txt"
MakeFile F & "sub\b.txt"
MakeFile F & "日本語.txt"

Set col = New Bag
fs.GetDirectryTree root, col, True
Check "tree count", col.Count, 5
Check "own files first", Left(col.Item(1), Len(F)), F
Check "then the subfolder's file", col.Item(3), F & "sub\b.txt"
Check "then the subfolder", col.Item(4), F & "sub\"
Check "the folder itself last", col.Item(5), F

Set col = New Bag
fs.GetDirectryTree F, col
Check "trailing backslash, GetDir omitted", col.Count, 3
Check "subfolder file last", col.Item(3), F & "sub\b.txt"

a = fs.GetFiles(F & "*.txt")
Check "GetFiles lower bound", LBound(a), 0
Check "GetFiles upper bound", UBound(a), 2
Check "GetFiles element 0", a(0), ""
a = fs.GetFiles(F & "日本*")
Check "Japanese name listed", a(1), "日本語.txt"
a = fs.GetFiles(F & "*.none", 2)
Check "no match upper bound", UBound(a), 0
Check "no match element 0", a(0), ""

d = root
a = fs.GetDirectries(d, 0, True)
Check "GetDirectries count", UBound(a), 1
Check "GetDirectries with path", a(1), F & "sub"
Check "path variable unchanged", d, root
a = fs.GetDirectries(F & "sub")
Check "no subfolders", UBound(a), 0

' --- hidden files and folders
fso.GetFile(F & "sub\b.txt").Attributes = 2
a = fs.GetFiles(F & "sub\*.*")
Check "hidden file left out by default", UBound(a), 0
a = fs.GetFiles(F & "sub\*.*", 2)
Check "hidden file listed with 2", a(1), "b.txt"

' --- GetDirFiles with a TAB between the patterns
MakeFile F & "c.log"
MakeFile F & "sub\d.log"
Set col = New Bag
fs.GetDirFiles root, col, "a.txt" & vbTab & "*.log"
Check "patterns count", col.Count, 3
Check "first pattern first", col.Item(1), F & "a.txt"
Check "second pattern next", col.Item(2), F & "c.log"
Check "subfolder after", col.Item(3), F & "sub\d.log"

' --- MoveDirFiles: two readme.txt into one folder
other = temp & "\pair"
fso.CreateFolder other
fso.CreateFolder other & "\one"
fso.CreateFolder other & "\two"
MakeFile other & "\one\readme.txt"
MakeFile other & "\two\readme.txt"
dest = temp & "\dest"
fso.CreateFolder dest
Set col = New Bag
On Error Resume Next
fs.MoveDirFiles other, dest, "readme.txt", "", col
CheckError "second readme collides", 58
On Error GoTo 0
Check "destination gained its backslash", dest, temp & "\dest\"
Check "first move collected", col.Count, 1
CheckTrue "first moved away", Not fso.FileExists(col.Item(1))
CheckTrue "moved file arrived", fso.FileExists(dest & "readme.txt")

' read-only and Japanese names move as well
readOnlyFile = F & "sub\d.log"
fso.GetFile(readOnlyFile).Attributes = 1
dest = temp & "\dest2"
fso.CreateFolder dest
fs.MoveDirFiles root, dest, "*.LOG|日本語.txt", "|"
CheckTrue "read-only moved", fso.FileExists(dest & "d.log")
CheckTrue "Japanese name moved", fso.FileExists(dest & "日本語.txt")
CheckTrue "source gone", Not fso.FileExists(readOnlyFile)

' --- KillDirFiles
fso.GetFile(F & "a.txt").Attributes = 1
Set col = New Bag
fs.KillDirFiles root, "*.txt", vbTab, col
Check "killed count", col.Count, 2
CheckTrue "read-only deleted", Not fso.FileExists(F & "a.txt")
CheckTrue "folders stay", fso.FolderExists(F & "sub")
fs.KillDirFiles root

' --- DeleteDirOnly
fs.DeleteDirOnly root
CheckTrue "empty tree removed", Not fso.FolderExists(root)
fso.CreateFolder root
fso.CreateFolder F & "x"
MakeFile F & "x\keep.txt"
On Error Resume Next
fs.DeleteDirOnly root
CheckError "folder holding a file", 75
On Error GoTo 0
CheckTrue "file kept", fso.FileExists(F & "x\keep.txt")

' --- bad input
On Error Resume Next
fs.GetDirectryTree root, Nothing, True
CheckError "missing collection", 91
fs.GetDirFiles root, Nothing
CheckError "missing collection for GetDirFiles", 91
Set col = New Bag
fs.GetDirectryTree temp & "\missing", col
CheckError "missing start folder", 76
fs.GetDirectryTree root, "not a collection"
CheckTrue "text as collection fails", Err.Number <> 0
Err.Clear
fs.MoveDirFiles root, "", "*.*"
CheckError "empty destination", 52
On Error GoTo 0

fso.DeleteFolder temp, True
Finish
