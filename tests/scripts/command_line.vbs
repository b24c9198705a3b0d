' Windows version, command line and NT test as a script uses them.
Dim gd, wc, ap, b, v, c, d, r, q
Set gd = CreateObject("kroProgramDll.GetDataCls")
Set wc = CreateObject("kroProgramDll.WindowsCls")
Set ap = CreateObject("kroProgramDll.ApplicationCls")
q = Chr(34)

b = ""
v = gd.GetWindowsVersion(b)
Check "version text", v, "6.01"
Check "build number written back", b, "7601"
Check "version without build argument", wc.GetWindowsVersion(), "6.01"
b = 0
v = wc.GetWindowsVersion(b)
Check "build into a numeric variable", b, "7601"
Check "build is text", TypeName(b), "String"

c = "a b c"
Check "GetDataCls words", gd.GetCommand(c), "a;b;c"
Check "command unchanged", c, "a b c"
Check "WindowsCls words", wc.GetCommand(c), "a;b;c"
Check "ApplicationCls words", ap.GetCommand(c), "a;b;c"
Check "two spaces", gd.GetCommand("a  b"), "a;;b"
c = "abc " & q & "def ghi" & q & " jkl"
Check "quoted middle", wc.GetCommand(c), "abc;def ghi;jkl"
c = q & "a b" & q & " c d"
Check "quoted first", ap.GetCommand(c), "a b;c d"
c = q & "a" & q & " " & q & "b" & q
Check "two quoted", gd.GetCommand(c), "a;b"
c = q & "a" & q & "  " & q & "b" & q
Check "two quoted two spaces", gd.GetCommand(c), "a;;b"
c = "abc " & q & "def" & q
Check "head and quoted", gd.GetCommand(c), "abc;def"
c = "abc " & q & q
Check "empty quotes", gd.GetCommand(c), "abc"
Check "empty command", gd.GetCommand(""), ""
Check "delimiter in words", gd.GetCommand("a;b"), "a;b"
d = "|"
Check "bar delimiter", gd.GetCommand("a b", d), "a|b"
Check "delimiter unchanged", d, "|"
Check "bar delimiter literal", wc.GetCommand("a b", "|"), "a|b"
Check "one space", gd.GetCommand(" "), ""
Check "only quotes", gd.GetCommand(q & q), ""
c = "abc " & q & "def"
Check "unmatched quote", gd.GetCommand(c), "abc;def"
c = q & "a;b" & q
Check "delimiter inside quotes", gd.GetCommand(c), "a;b"
c = "  abc " & q & "d e" & q
Check "leading spaces before the head", gd.GetCommand(c), "abc;d e"
Check "long delimiter", gd.GetCommand("a b", ", "), "a, b"
c = q & "x" & q
Check "long delimiter, no words", ap.GetCommand(c, "::"), "x"
Check "long delimiter, no quoted", ap.GetCommand("x y", "::"), "x::y"
Check "empty delimiter", gd.GetCommand("a b", ""), "ab"
Check "number command", gd.GetCommand(12), "12"
Check "boolean command", gd.GetCommand(True), "True"
Check "empty variable command", gd.GetCommand(r), ""

On Error Resume Next
r = gd.GetCommand(Null)
CheckError "Null command", 94
r = wc.GetCommand(String(32767, "a") & q & "b" & q)
CheckError "quote beyond 32767", 6
r = ap.GetCommand(String(32767, q))
CheckError "too many pieces", 6
r = ap.GetCommand(String(32766, "a") & q & "b" & q)
CheckError "quote at 32767", 0
On Error GoTo 0

Check "IsWinNT", wc.IsWinNT(), True
Finish
