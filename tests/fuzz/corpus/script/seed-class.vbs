Class Account
  Private m_balance, m_log(3)
  Public Owner
  Private Sub Class_Initialize : m_balance = CCur(0) : End Sub
  Private Sub Class_Terminate : MsgBox "closed " & Owner : End Sub
  Public Property Get Balance : Balance = m_balance : End Property
  Public Property Let Balance(v) : m_balance = CCur(v) : End Property
  Public Property Set Parent(o) : Set m_log(0) = o : End Property
  Public Default Function Describe() : Describe = Owner & ": " & FormatCurrency(Me.Balance) : End Function
  Public Sub Deposit(ByRef amount) : m_balance = m_balance + amount : amount = 0 : Exit Sub : End Sub
End Class
Set a = New Account : a.Owner = "x" : a.Balance = 10.5
n = 3 : a.Deposit n : Set a.Parent = a
With a
  .Owner = .Owner & "y"
  MsgBox .Describe() & n
End With
Set a = Nothing
Set b = New Missing
