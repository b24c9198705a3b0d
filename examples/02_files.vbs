' Files and folders from VBScript: a directory walk into a collection of your own, results that
' come back through by-reference arguments, and error handling with Err.Number and Err.Description.
Option Explicit

' The directory walkers add to any object with an Add method; in VBScript a small class does.
Class NameList
    Public Count
    Public Text
    Private Sub Class_Initialize()
        Count = 0
        Text = ""
    End Sub
    Public Sub Add(item)
        Count = Count + 1
        Text = Text & "  " & item & vbCrLf
    End Sub
End Class

Const CSIDL_APPDATA = 26
Const CSIDL_SYSTEM = 37
Dim fs, folder, names, version, product, text
Set fs = CreateObject("kroProgramDll.FileSystemCls")
folder = fs.GetPrivatePath(CSIDL_APPDATA, 0) & "\kro_example\"
fs.ManyMkDir folder & "sub\"
fs.WriteFile "first", folder & "a.txt"
fs.WriteFile "second", folder & "sub\b.txt"
fs.WriteFile "a log line", folder & "sub\c.log"

Set names = New NameList
fs.GetDirFiles folder, names, "*.txt"
WScript.Echo "GetDirFiles found " & names.Count & " text files:"
WScript.Echo names.Text

' By-reference results: GetFileVersion writes into the variables passed to it.
fs.GetFileVersion fs.GetPrivatePath(CSIDL_SYSTEM, 0) & "\kernel32.dll", version, product
WScript.Echo "kernel32.dll: file version " & version & ", product version " & product

' A failure arrives as a runtime error with the library's number and description.
On Error Resume Next
text = fs.ReadFile(folder & "missing.txt")
WScript.Echo "ReadFile of a missing file: error " & Err.Number & ", " & Err.Description
Err.Clear
On Error GoTo 0

' Clean up: delete the files of the tree, then its folders, now empty.
fs.KillDirFiles folder, "*.*"
fs.DeleteDirOnly folder
WScript.Echo "All done."
