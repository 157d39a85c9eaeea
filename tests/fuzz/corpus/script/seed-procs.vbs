Function F(ByVal n, ByRef r)
  r = r + 1
  If n <= 1 Then F = 1 Else F = n * F(n - 1, r)
End Function
Sub S(x) : x = x & "!" : Exit Sub : End Sub
On Error Resume Next
Dim c : c = 0
MsgBox F(5, c) & c, vbYesNo + vbQuestion, "t"
x = "a" : S x : Call S(x) : S (x)
Err.Raise 1000, "src", "desc"
If Err.Number <> 0 Then Err.Clear
On Error GoTo 0
Zov.Frequency = 7050000 : y = Zov.Tune(1, "USB") : Zov.Fail 13
