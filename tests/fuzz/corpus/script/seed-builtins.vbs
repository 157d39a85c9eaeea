s = InputBox("p", "t", "d") & Space(2) & String(3, "x") & Chr(65) & ChrW(8364)
MsgBox Len(s) & Left(s, 2) & Right(s, 1) & Mid(s, 2, 3) & InStr(1, s, "x", 1) & InStrRev(s, "x")
MsgBox Replace(s, "x", "yy", 1, -1, 1) & Join(Split("a,b,c", ","), ";") & UCase(s) & LCase(s) & Trim(s)
MsgBox CInt("12") + CLng(3.5) + CDbl("1e3") & CBool("True") & CStr(Null & 1) & Hex(-1) & Oct(8)
MsgBox Int(-1.5) & Fix(-1.5) & Abs(-2) & Sgn(-3) & Sqr(4) & Round(2.5) & Rnd(-1) & FormatNumber(1234.5, 1)
MsgBox IsNumeric("1") & IsEmpty(e) & IsNull(Null) & IsArray(Array()) & IsObject(Nothing) & TypeName(Now) & VarType(1)
MsgBox UBound(Array(1, 2)) & LBound(Array(1)) & Asc("a") & StrComp("a", "B", vbTextCompare) & Year(Date) & Timer
x = &HFFFF + &O17 + .5 - 1E3 : y = "q""uote" _
  & vbCrLf : z = Not x And y Or Null Xor True Eqv False Imp 1
