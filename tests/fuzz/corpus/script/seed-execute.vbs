Set d = CreateObject("Scripting.Dictionary")
d.CompareMode = 1 : d.Add "k", Array(1, 2) : Set d("j") = d : d.Key("k") = "K"
For Each k In d : s = s & k : Next
ExecuteGlobal "Function G(x) : G = x * 2 : End Function : Class Z : Public V : End Class"
Sub P : Execute "q = 1 : Sub Inner : MsgBox q : End Sub" : Inner : MsgBox Eval("q + G(2)") : End Sub
P : Set f = GetRef("G") : MsgBox f(3) & Join(Filter(Array("ab", "b"), "a"), ",")
Set z = New Z : z.V = Escape("a b") : Execute "z.V = Unescape(z.V)"
Set fs = CreateObject("Scripting.FileSystemObject")
