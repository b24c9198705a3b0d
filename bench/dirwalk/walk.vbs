' Times GetDirectryTree against a recursive Scripting.FileSystemObject walk over the same tree,
' both adding every file's full path to the same kind of script collection.
' usage: cscript walk.vbs <folder>
Class Bag
    Private items
    Private n
    Private Sub Class_Initialize()
        n = 0
        ReDim items(1024)
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
End Class

Dim fso
Set fso = CreateObject("Scripting.FileSystemObject")

Sub FsoWalk(folder, col)
    Dim f, s
    For Each f In folder.Files
        col.Add f.Path
    Next
    For Each s In folder.SubFolders
        FsoWalk s, col
    Next
End Sub

Dim root, fs, ours, peer, t0, tOurs, tPeer
root = WScript.Arguments(0)
Set fs = CreateObject("kroProgramDll.FileSystemCls")
' The first late-bound call sets up the object's dispatch table; it is not part of the walk.
Dim warm
warm = fs.GetFiles(root & "\*.none")

Set ours = New Bag
t0 = Timer
fs.GetDirectryTree root, ours, False
tOurs = Timer - t0

Set peer = New Bag
t0 = Timer
FsoWalk fso.GetFolder(root), peer
tPeer = Timer - t0

WScript.Echo ours.Count & " " & peer.Count & " " & tOurs & " " & tPeer
