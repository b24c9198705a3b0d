' The late-bound calling conventions as a script meets them.
Dim fs, r, n, s
Set fs = CreateObject("kroProgramDll.FileSystemCls")

' A variable passed by reference to a String parameter is read, and takes the declared type.
n = 5
r = fs.GetFileName(n)
Check "number read as text", r, "5"
Check "variable now holds text", TypeName(n), "String"

' An expression is passed by value: nothing reaches back.
s = "C:\a\b.txt"
r = fs.GetFileName((s))
Check "expression result", r, "b.txt"
Check "variable untouched", s, "C:\a\b.txt"

On Error Resume Next
r = fs.GetFileName("a", "b")
CheckError "too many arguments", 450
r = fs.GetPrivatePath("not a folder id", 0)
CheckError "argument that does not convert", 13
r = fs.GetPrivatePath(36, "abc")
Check "member error number", Err.Number, 13
Check "member error source", Err.Source, "kroProgramDll"
Check "member error description", Err.Description, "Type mismatch"
Err.Clear
r = fs.GetFileName(Null)
CheckError "Null for a String", 13
r = fs.NoSuchMember(1)
CheckError "unknown member", 438
On Error GoTo 0

Finish
