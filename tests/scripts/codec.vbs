' The password codec, the XOR coder and the text helpers as a script uses them.
Dim code, hand, fso, folder, a, b, s, r, pw, e, f, plainText
Set code = CreateObject("kroProgramDll.CodeCls")
Set hand = CreateObject("kroProgramDll.StringHandCls")
Set fso = CreateObject("Scripting.FileSystemObject")

Check "GetPassCode of the empty password", code.GetPassCode(""), 0
Check "GetPassCode folds 300", code.GetPassCode("ddd"), 45
Check "GetPassCode folds 256", hand.GetPassCode("UUV"), 1
Check "GetPassCode of a double-byte character", hand.GetPassCode("あ"), -32096
pw = "secret"
Check "both classes agree", hand.GetPassCode(pw), code.GetPassCode(pw)

s = "Hello, 世界"
a = code.StringToCode(s, pw)
Check "StringToCode leaves the text", s, "Hello, 世界"
Check "string round trip", code.CodeToString(a, pw), "Hello, 世界"
a = hand.StringToCode(s, pw)
Check "string round trip on StringHandCls", hand.CodeToString(a, pw), s

' The array passed is coded in place: its bytes, read as text, equal the returned copy's.
a = code.StringToCode("AB", "")
b = code.ByteToCode(a, "d")
Check "caller's array holds the coded bytes", code.CodeToString(a, ""), code.CodeToString(b, "")
CheckTrue "the bytes were coded", code.CodeToString(b, "") <> "AB"
b = code.CodeToByte(a, "d")
Check "array round trip", code.CodeToString(b, ""), "AB"

Check "TrimEx", hand.TrimEx("xxabcxx", "x"), "abc"
Check "RTrimEx", hand.RTrimEx("xxabcxx", "x"), "xxabc"
Check "LTrimEx", hand.LTrimEx("xxabcxx", "x"), "abcxx"
Check "TrimEx of repeated pieces", hand.TrimEx("ababXabab", "ab"), "X"
Check "TrimEx with an empty piece", hand.TrimEx("abc", ""), "abc"
Check "ReturnText", hand.ReturnText("ab", 3), "ababab"
Check "ReturnText of a negative count", hand.ReturnText("ab", -5), ""

folder = fso.GetSpecialFolder(2) & "\kro_codec_script"
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
plainText = "plain text, 平文" & vbCrLf
Set f = fso.CreateTextFile(folder & "\plain.txt", True)
f.Write plainText
f.Close
code.FileToCodeFile folder & "\plain.txt", folder & "\coded.bin", pw
CheckTrue "coded file written", fso.FileExists(folder & "\coded.bin")
Check "coded file as long as the source", fso.GetFile(folder & "\coded.bin").Size, fso.GetFile(folder & "\plain.txt").Size
code.CodeFileToFile folder & "\coded.bin", folder & "\back.txt", pw
Check "file round trip", fso.OpenTextFile(folder & "\back.txt").ReadAll, plainText
hand.XorCodeFile folder & "\plain.txt", folder & "\x.bin", pw
hand.XorCodeFile folder & "\x.bin", folder & "\x.txt", pw, True
Check "XOR file round trip", fso.OpenTextFile(folder & "\x.txt").ReadAll, plainText

On Error Resume Next
code.FileToCodeFile folder & "\missing.txt", folder & "\never.bin", pw
CheckError "missing source file", 53
CheckTrue "nothing created for a missing source", Not fso.FileExists(folder & "\never.bin")
CheckTrue "the missing source stays missing", Not fso.FileExists(folder & "\missing.txt")
hand.XorCodeFile folder & "\missing.txt", folder & "\never.bin", pw, True
CheckError "XorCodeFile of a missing source", 53
r = code.ByteToCode(e, pw)
CheckError "array never dimensioned", 9
r = code.CodeToString(Null, pw)
CheckTrue "Null for an array fails", Err.Number <> 0
Err.Clear
r = hand.XorCode("text", 1)
CheckTrue "a text for an array fails", Err.Number <> 0
Err.Clear
r = hand.ReturnText("ab", 32767)
CheckError "ReturnText 32767 overflows", 6
r = hand.RTrimEx(String(32768, "a"), "a")
CheckError "RTrimEx beyond 32767 characters", 6
r = code.StringToCode(String(16384, "a"), pw)
CheckError "StringToCode beyond 16383 characters", 6
r = code.ByteToCode(code.StringToCode("A", ""), "あ")
CheckError "negative pass code overflows", 6
On Error GoTo 0

fso.DeleteFolder folder, True
Finish
