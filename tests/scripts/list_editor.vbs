' The list editor as a script drives it: two FormCls objects on one editor, items, titles,
' selection and fonts, and the errors a script sees.
Dim f, g, r
Set f = CreateObject("kroProgramDll.FormCls")
Set g = CreateObject("kroProgramDll.FormCls")
f.List_Setting_Form 3, "一覧"
f.List_Show
f.List_AddItem "りんご", 0
f.List_AddItem "apple", 0
g.List_AddItem "みかん", 1
Check "count through the second object", g.List_ListCount(0), 2
Check "count is Integer", TypeName(g.List_ListCount(0)), "Integer"
Check "item", f.List_List(0, 0), "りんご"
f.List_List(0, 1) = 123
Check "item let converts", f.List_List(0, 1), "123"
Check "no selection", f.List_ListIndex(0), -1
f.List_ListIndex(0) = 0
Check "selection", g.List_ListIndex(0), 0
Check "selection copied to the edit box", f.List_CurrentSelectListText(0), "りんご"
Check "title before any let", f.List_Title(2), "???"
f.List_Title(2) = "三列目"
Check "title", f.List_Title(2), "三列目"
f.List_ListFont 1, 12, "MS UI Gothic", &HFF, True
f.List_LabelFont 2, 10
f.List_TextFont 0, 11, "", 0, False, True, True

On Error Resume Next
f.List_AddItem "x", 3
CheckError "missing column", 340
r = f.List_List(0, 5)
CheckError "position out of range", 381
f.List_RemoveItem 0, -1
CheckError "removal out of range", 381
f.List_ListFont 0
CheckError "font size 0", 380
f.List_Title(0) = Null
CheckError "Null title", 13
f.List_ListIndex(0) = "abc"
CheckError "text as ListIndex", 13
f.List_ListIndex(0) = 9
CheckError "ListIndex beyond the list", 380
On Error GoTo 0

f.List_RemoveItem 0, 0
Check "removed", f.List_List(0, 0), "123"
f.List_Clear 1
Check "cleared", f.List_ListCount(1), 0
f.List_Hide
Check "kept after hide", g.List_ListCount(0), 1
Finish
