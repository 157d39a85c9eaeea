Option Explicit
Dim i, s, a(3), m(1, 2)
Const Step1 = 2, Name = "x"
For i = 0 To 3 Step 1 : a(i) = i * 2 ^ 2 Mod 3 \ 1 : Next
For Each s In a : m(0, 1) = m(0, 1) & s : Next
Do While i > 0 : i = i - 1 : If i = 1 Then Exit Do
Loop
Do : i = i + 1 : Loop Until i >= 3
While i < 5 : i = i + 1 : Wend
Select Case i
Case 1, 2 To 4 : MsgBox "a"
Case Is > 4 : MsgBox "b"
Case Else : MsgBox "c"
End Select
ReDim Preserve a(5) : Erase a
