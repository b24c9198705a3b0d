' DirectSoundCls as a script uses it: a wave file the script writes, the wave resources of the
' test module, numbers written back into the script's variables, and the errors a script sees.
Dim ds, fso, folder, path, module, n, r, stream
Set ds = CreateObject("kroProgramDll.DirectSoundCls")
Set fso = CreateObject("Scripting.FileSystemObject")
folder = fso.GetSpecialFolder(2) & "\kro_sound_音"
If fso.FolderExists(folder) Then fso.DeleteFolder folder, True
fso.CreateFolder folder
path = folder & "\短い音.wav"
module = fso.GetAbsolutePathName("..\sound_sample.dll")

' A little-endian 32-bit number; the values used keep every byte below &H80, so that a text
' stream writes them unchanged.
Function Long4(v)
    Long4 = Chr(v And &HFF) & Chr((v \ &H100) And &HFF) & Chr(0) & Chr(0)
End Function

' 8-bit mono at 8000 Hz, 80 samples.
Set stream = fso.CreateTextFile(path, True)
stream.Write "RIFF" & Long4(116) & "WAVEfmt " & Long4(16) & Chr(1) & Chr(0) & Chr(1) & Chr(0) & Long4(8000) & Long4(8000) & Chr(1) & Chr(0) & Chr(8) & Chr(0)
stream.Write "data" & Long4(80) & String(80, Chr(127))
stream.Close
Set stream = fso.CreateTextFile(folder & "\text.wav", True)
stream.Write "not a sound"
stream.Close

On Error Resume Next
ds.PlayingSound 0
CheckError "before Setting", 9
ds.Setting 0
CheckError "Setting", 0
n = -1
r = ds.LoadingFile(path, n)
CheckError "LoadingFile", 0
Check "number used", r, 0
Check "number written back", n, 0
r = ds.LoadingRes(module, "TONE")
CheckError "LoadingRes", 0
Check "next number", r, 1
r = ds.LoadingRes(module, "#7", 3)
Check "resource by number", r, 3
ds.PlayingSound 0, True
CheckError "PlayingSound looped", 0
ds.OnlyPlayingSound 1
ds.SettingVolume 1, -500
ds.SettingPan 0, 300
ds.StoppingSound 0
CheckError "play, volume, pan, stop", 0
ds.PlayingSound 2
CheckError "empty slot", 91
ds.PlayingSound 5
CheckError "beyond the table", 9
ds.StoppingSound "x"
CheckError "a text for a number", 13
ds.AllPlayingSound
CheckError "AllPlayingSound stops at the empty slot 2", 91
ds.AllStoppingSound
CheckError "AllStoppingSound stops there too", 91
r = ds.LoadingFile(folder & "\none.wav")
CheckError "missing file", 53
r = ds.LoadingFile(folder & "\text.wav")
CheckError "not a wave file", 321
r = ds.LoadingRes(module, "NONE")
CheckError "missing resource", 326
n = -1
r = ds.LoadingFile(path, n)
Check "numbering goes on after failures", n, 4
Set ds = Nothing
fso.DeleteFolder folder, True
Finish
