' DirectSoundCls as a script uses it: a wave file the script writes, the test module's wave
' resources, numbers written back into the script's variables, and the errors a script sees.
Dim ds, fso, folder, path, module, n, r, stream
Set ds = CreateObject("kroProgramDll.DirectSoundCls")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetSpecialFolder(2) & "\kro_sound_音"
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
path = folder & "\短い音.wav"
module = fso.GetAbsolutePathName("..\sound_sample.dll")

' A little-endian 32-bit number below &H8000, so that a text stream writes its bytes unchanged.
Function Long4(v)
    Long4 = Chr(v And &HFF) & Chr(v \ &H100) & Chr(0) & Chr(0)
End Function

' 8-bit mono at 8000 Hz, 80 samples.
Set stream = fso.CreateTextFile(path, True)
stream.Write "RIFF" & Long4(116) & "WAVEfmt " & Long4(16) & Chr(1) & Chr(0) & Chr(1) & Chr(0) & Long4(8000) & Long4(8000) & Chr(1) & Chr(0) & Chr(8) & Chr(0)
stream.Write "data" & Long4(80) & String(80, Chr(127))
stream.Close

On Error Resume Next
ds.AllStoppingSound
CheckError "before Setting: slot 0 of no table", 9
r = ds.LoadingFile(path)
CheckError "before Setting: no device", 91
ds.Setting 0
n = -1
r = ds.LoadingFile(path, n)
CheckError "Setting and LoadingFile", 0
Check "number written back", n, 0
Check "next number", ds.LoadingRes(module, "TONE"), 1
Check "resource by number", ds.LoadingRes(module, "#7", 3), 3
ds.PlayingSound 0, True
ds.OnlyPlayingSound 1
ds.SettingVolume 1, -500
ds.SettingPan 0, 300
ds.StoppingSound 0
CheckError "play, volume, pan, stop", 0
ds.StoppingSound "x"
CheckError "a text for a number", 13
ds.PlayingSound 5
CheckError "beyond the table", 9
ds.AllPlayingSound
CheckError "AllPlayingSound stops at the empty slot 2", 91
r = ds.LoadingFile(folder & "\none.wav")
CheckError "missing file", 53
r = ds.LoadingFile(module)
CheckError "not a wave file", 321
r = ds.LoadingRes(module, "NONE")
CheckError "missing resource", 326
n = -1
r = ds.LoadingFile(path, n)
Check "numbering goes on after failures", n, 4
Set ds = Nothing
fso.DeleteFolder folder, True
Finish
