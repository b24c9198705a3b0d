' Extraction, deferred deletion, shortcuts, versions and shell-link texts as a script uses them.
Dim fs, vorel, fso, temp, f, r, fileVer, prodVer, target, lnk, folder
Set fs = CreateObject("kroProgramDll.FileSystemCls")
Set vorel = CreateObject("kroProgramDll.VorelCls")
Set fso = CreateObject("Scripting.FileSystemObject")
temp = fs.GetPrivatePath(26, 0) & "\kro_extras_script\"
fs.ManyMkDir temp

' Shell-link status texts.
Check "status 0", fs.GetShellLinkErrStr(0), "ショートカット情報の登録または取得に成功しました。"
Check "status 3", fs.GetShellLinkErrStr(3), "QueryInterface の実行に" & vbCrLf & "失敗しました。"
Check "status 24", fs.GetShellLinkErrStr(24), "リンク先の設定または取得に" & vbCrLf & "コマンドライン引数の設定または取得に" & vbCrLf & "失敗しました。"
Check "status 6", fs.GetShellLinkErrStr(6), "失敗しました。"
Check "status 256", fs.GetShellLinkErrStr("256"), "ショートカットキーの設定または取得に" & vbCrLf & "失敗しました。"

' File versions written into the script's variables.
fileVer = "x"
prodVer = "y"
r = fs.GetFileVersion(temp & "missing.dll", fileVer, prodVer)
Check "missing file version", fileVer, "0"
Check "missing product version", prodVer, "0"
CheckTrue "result is Empty", IsEmpty(r)
fileVer = ""
r = fs.GetFileVersion(fs.GetPrivatePath(37, 0) & "\kernel32.dll", fileVer)
CheckTrue "system library has a version", fileVer <> "0" And Len(fileVer) >= 7
Check "four parts", UBound(Split(fileVer, ".")), 3

' A file that is no executable comes out whole; a missing executable fails with 53.
Set f = fso.CreateTextFile(temp & "data.txt", True)
f.Write "embedded text"
f.Close
fs.TakeOutJoinFileEx temp & "data.txt", temp & "out.txt"
Check "copied whole", fso.OpenTextFile(temp & "out.txt").ReadAll, "embedded text"
On Error Resume Next
vorel.TakeOutJoinFileEx temp & "missing.exe", temp & "never.txt"
CheckError "missing executable", 53
CheckTrue "nothing written", Not fso.FileExists(temp & "never.txt")

' Deferred deletion refuses a target that would change the batch.
vorel.ElashFileEx "C:\a.txt"" & del C:\b.txt & """
CheckError "quote in the target", 52
vorel.ElashFileEx "C:\a.txt" & vbCrLf & "del C:\b.txt"
CheckError "line break in the target", 52
On Error GoTo 0

' Shortcuts: FileSystemCls fills the script's empty working-folder variable.
target = temp & "data.txt"
lnk = temp & "data.lnk"
folder = ""
fs.MkShortcut target, lnk, "/a", "", "", folder, "comment", "ALT+CTRL+K"
Check "working folder filled", folder, temp
CheckTrue "shortcut written", fso.FileExists(lnk)
folder = ""
vorel.MkShortcut target, temp & "vorel.lnk", "", "", "", folder
Check "VorelCls leaves the folder empty", folder, ""
CheckTrue "second shortcut written", fso.FileExists(temp & "vorel.lnk")

fso.DeleteFolder Left(temp, Len(temp) - 1), True
Finish
