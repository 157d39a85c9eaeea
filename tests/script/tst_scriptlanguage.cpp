// The language from script text to what MsgBox shows: each row is a script
// and its summary ("shown|shown#error@line", see ScriptTestSupport.h),
// grouped by feature. The expected results are VBScript's.
#include "common/TestEnvironment.h"
#include "script/ScriptTestSupport.h"

using scripttest::AddRows;
using scripttest::CheckRow;

class TestScriptLanguage : public QObject
{
    Q_OBJECT
private slots:
    void literalTypes_data()
    {
        AddRows({
            {"MsgBox TypeName(32767) : MsgBox TypeName(32768) : MsgBox TypeName(2147483648) : MsgBox TypeName(-32768) : MsgBox TypeName(1.0)",
             "Integer|Long|Double|Long|Double"},
            {"MsgBox &HFFFF : MsgBox &H10000 : MsgBox &HFFFF& : MsgBox &O17 : MsgBox &HFFFFFFFF : MsgBox .5 + 1", "-1|65536|65535|15|-1|1.5"},
            {"MsgBox TypeName(True) & TypeName(\"\") & TypeName(Empty) & TypeName(Null) & TypeName(Nothing) & TypeName(x)",
             "BooleanStringEmptyNullNothingEmpty"},
            {"MsgBox \"say \"\"hi\"\"\"", "say \"hi\""},
        });
    }
    void literalTypes() { CheckRow(); }

    void arithmetic_data()
    {
        AddRows({
            {"MsgBox TypeName(32767 + 1) : MsgBox TypeName(2147483647 + 1) : MsgBox TypeName(200 * 200) : MsgBox TypeName(1 + 1) : MsgBox TypeName(1 - 65536)",
             "Long|Double|Long|Integer|Long"},
            {"MsgBox True + True : MsgBox TypeName(True + True) : MsgBox -True : MsgBox x + 1 : MsgBox TypeName(x + x)", "-2|Integer|1|1|Integer"},
            {"MsgBox \"2\" + 3 : MsgBox TypeName(\"2\" + 3) : MsgBox \"2\" + \"3\" : MsgBox \"a\" + x : MsgBox x + \"b\"", "5|Double|23|a|b"},
            {"MsgBox 7 / 2 : MsgBox TypeName(4 / 2) : MsgBox 7 \\ 2 : MsgBox -7 \\ 2 : MsgBox 7 Mod -3 : MsgBox -7 Mod 3 : MsgBox 5.5 \\ 2 : MsgBox 6.5 Mod 4",
             "3.5|Double|3|-3|1|-1|3|2"},
            {"MsgBox TypeName(65536 \\ 2) : MsgBox TypeName(7.0 Mod 2) : MsgBox TypeName(-32768 \\ -1)", "Long|Long|Long"},
            {"MsgBox 2 ^ 10 : MsgBox 2 ^ 3 ^ 2 : MsgBox -2 ^ 2 : MsgBox 2 ^ -1 : MsgBox TypeName(2 ^ 2)", "1024|64|-4|0.5|Double"},
            {"MsgBox - -3 : MsgBox TypeName(-x) : MsgBox -\"4\" : MsgBox TypeName(-(-32768)) : MsgBox -(-2147483647 - 1)",
             "3|Integer|-4|Long|2147483648"},
            {"MsgBox 1 + 2 * 3 : MsgBox (1 + 2) * 3 : MsgBox 10 - 2 - 3 : MsgBox 2 * 3 \\ 4 : MsgBox 7 \\ 2 * 2 : MsgBox 1 + 2 & 3 : MsgBox 5 Mod 3 + 1",
             "7|9|5|1|1|33|3"},
            {"MsgBox IsNull(Null + 1) & IsNull(1 - Null) & IsNull(Null * 0) & IsNull(-Null) & IsNull(Null / 0) & IsNull(Null \\ 1)",
             "TrueTrueTrueTrueTrueTrue"},
            {"x = 1 / 0", "#11@1"},
            {"x = 0 / 0", "#6@1"},
            {"x = 5 \\ 0", "#11@1"},
            {"x = 5 Mod 0", "#11@1"},
            {"x = \"a\" + 1", "#13@1"},
            {"x = \"\" * 1", "#13@1"},
            {"x = 1E308 * 10", "#6@1"},
            {"x = (-8) ^ 0.5", "#5@1"},
            {"x = 2147483648 \\ 1", "#6@1"},
            {"x = Array(1) + 1", "#13@1"},
        });
    }
    void arithmetic() { CheckRow(); }

    void logic_data()
    {
        AddRows({
            {"MsgBox True And False : MsgBox True Or False : MsgBox True Xor True : MsgBox False Eqv False : MsgBox True Imp False : MsgBox Not True",
             "False|True|False|True|False|False"},
            {"MsgBox 12 And 10 : MsgBox 12 Or 3 : MsgBox 12 Xor 10 : MsgBox Not 5 : MsgBox 5 Eqv 3 : MsgBox 0 Imp 7 : MsgBox TypeName(1 And 65536) : MsgBox True And 5",
             "8|15|6|-6|-7|-1|Long|5"},
            {"MsgBox IsNull(Null And True) & (Null And False) & (Null Or True) & IsNull(Null Or False) & IsNull(Not Null) & (False Imp Null) & IsNull(Null Xor True) & IsNull(True Imp Null)",
             "TrueFalseTrueTrueTrueTrueTrueTrue"},
            {"MsgBox Not 1 = 2 : MsgBox Not 1 = 1 And True : MsgBox 1 < 2 And 2 < 3 : MsgBox True Or False And False", "True|False|True|True"},
            {"x = \"abc\" And 1", "#13@1"},
        });
    }
    void logic() { CheckRow(); }

    void comparison_data()
    {
        AddRows({
            {"MsgBox 1 < 2 : MsgBox 2.5 >= 2 : MsgBox \"a\" < \"b\" : MsgBox \"a\" = \"A\" : MsgBox \"B\" < \"a\" : MsgBox 1 <> 1 : MsgBox True < False",
             "True|True|True|False|True|False|True"},
            {"MsgBox x = 0 : MsgBox x = \"\" : MsgBox x < 1 : MsgBox x = y : MsgBox \"\" < \"a\"", "True|True|True|True|True"},
            // A number held in a variable is less than any string held in one,
            // but is compared as text with a string written in the script...
            {"n = 10 : s = \"9\" : MsgBox n < s : MsgBox s > n : MsgBox n = \"10\" : MsgBox n < \"9\"", "True|True|True|True"},
            // ...and a number written in the script compares the string as a number.
            {"s = \"10\" : MsgBox s = 10 : MsgBox s > 9 : MsgBox 10 = s : Const c = 10 : MsgBox s = c", "True|True|True|True"},
            {"s = \"abc\" : MsgBox s = 1", "#13@1"},
            {"If Null Then MsgBox 1 Else MsgBox 2\nMsgBox IsNull(1 = Null) & IsNull(Null <> Null)", "2|TrueTrue"},
            {"Set a = Nothing : MsgBox a Is Nothing : MsgBox Err Is Err : MsgBox Not (Err Is Nothing)", "True|True|True"},
            {"MsgBox 1 Is Nothing", "#424@1"},
            {"MsgBox Array(1) = 1", "#13@1"},
            {"MsgBox 1 & 2 : MsgBox \"a\" & Null : MsgBox IsNull(Null & Null) : MsgBox True & 1.5 : MsgBox TypeName(1 & 2)", "12|a|True|True1.5|String"},
        });
    }
    void comparison() { CheckRow(); }

    void branches_data()
    {
        AddRows({
            {"For x = 0 To 4 Step 2\nIf x > 3 Then\nMsgBox \"big\"\nElseIf x > 1 Then\nMsgBox \"mid\"\nElse\nMsgBox \"small\"\nEnd If\nNext",
             "small|mid|big"},
            {"If 1 Then MsgBox \"a\" : MsgBox \"b\" Else MsgBox \"c\" : MsgBox \"d\"", "a|b"},
            {"If 0 Then MsgBox \"a\" : MsgBox \"b\" Else MsgBox \"c\" : MsgBox \"d\"", "c|d"},
            {"If 1 Then If 0 Then MsgBox \"a\" Else MsgBox \"b\"", "b"},
            {"If 0 Then MsgBox 1\nMsgBox 2", "2"},
            {"If \"true\" Then MsgBox 1\nIf \"x\" Then MsgBox 2", "1#13@2"},
            {"For Each v In Array(1, 4, 7, 12)\nSelect Case v\nCase 1, 2\nMsgBox \"one-two\"\nCase 3 To 5\nMsgBox \"three-five\"\nCase Is >= 10\nMsgBox \"ten+\"\nCase Else\nMsgBox \"other\"\nEnd Select\nNext",
             "one-two|three-five|other|ten+"},
            {"Select Case \"b\"\nCase \"a\"\nMsgBox 1\nCase \"c\", \"b\" : MsgBox 2\nCase \"b\"\nMsgBox 3\nEnd Select", "2"},
            {"Select Case 9\nCase 1\nMsgBox 1\nEnd Select\nMsgBox \"after\"", "after"},
            {"Select Case Null\nCase Null\nMsgBox 1\nCase Else\nMsgBox 2\nEnd Select", "2"},
            {"low = 3 : high = 5\nSelect Case 4\nCase low To high\nMsgBox \"between\"\nEnd Select", "between"},
        });
    }
    void branches() { CheckRow(); }

    void loops_data()
    {
        AddRows({
            {"For i = 1 To 3 : MsgBox i : Next : MsgBox i", "1|2|3|4"},
            {"For i = 3 To 1 Step -1 : MsgBox i : Next", "3|2|1"},
            {"For i = 0 To 1 Step 0.5 : MsgBox i : Next", "0|0.5|1"},
            {"For i = 1 To 0 : MsgBox i : Next : MsgBox \"none\"", "none"},
            {"For i = 1 To 5 : i = i + 1 : MsgBox i : Next", "2|4|6"},
            {"n = 3 : For i = 1 To n : n = 1 : MsgBox i : Next", "1|2|3"},
            {"For i = \"1\" To \"2\" : MsgBox TypeName(i) : Next", "Double|Double"},
            {"For i = 32766 To 32767 : Next : MsgBox TypeName(i) & i", "Long32768"},
            {"For i = 1 To Null : Next", "#94@1"},
            {"For i = 1 To 10\nIf i = 3 Then Exit For\nNext\nMsgBox i", "3"},
            {"For i = 1 To 2\nFor j = 1 To 3\nIf j = 2 Then Exit For\nMsgBox i & j\nNext\nNext", "11|21"},
            {"For Each x In Array(\"a\", \"b\") : MsgBox x : Next", "a|b"},
            {"Dim m(1, 1) : m(0, 0) = 1 : m(1, 0) = 2 : m(0, 1) = 3 : m(1, 1) = 4 : For Each v In m : MsgBox v : Next", "1|2|3|4"},
            {"a = Array(1, 2) : For Each v In a : a(1) = 9 : MsgBox v : Next : MsgBox a(1)", "1|2|9"},
            {"For Each v In Array(1, 2, 3)\nIf v = 2 Then Exit For\nMsgBox v\nNext", "1"},
            {"For Each v In 5 : Next", "#451@1"},
            {"i = 0 : Do While i < 3 : i = i + 1 : Loop : MsgBox i", "3"},
            {"i = 0 : Do Until i = 2 : i = i + 1 : Loop : MsgBox i", "2"},
            {"i = 5 : Do : i = i + 1 : Loop While i < 3 : MsgBox i", "6"},
            {"i = 5 : Do : i = i + 1 : Loop Until True : MsgBox i", "6"},
            {"i = 5 : Do While i < 3 : MsgBox \"in\" : Loop : MsgBox \"out\"", "out"},
            {"Do : n = n + 1 : If n = 4 Then Exit Do\nLoop : MsgBox n", "4"},
            {"i = 0 : While i < 2 : i = i + 1 : Wend : MsgBox i", "2"},
            {"Do\nFor i = 1 To 5\nIf i = 2 Then Exit Do\nNext\nLoop\nMsgBox i", "2"},
        });
    }
    void loops() { CheckRow(); }

    void procedures_data()
    {
        AddRows({
            {"Function Twice(v)\nTwice = v * 2\nEnd Function\nMsgBox Twice(21)", "42"},
            {"Sub Inc(a) : a = a + 1 : End Sub\nSub IncV(ByVal a) : a = a + 1 : End Sub\n"
             "n = 1 : Inc n : MsgBox n : IncV n : MsgBox n : Inc (n) : MsgBox n : Call Inc(n) : MsgBox n : Inc n + 0 : MsgBox n",
             "2|2|2|3|3"},
            {"Function F(x)\nx = 10 : F = 1\nEnd Function\ny = 0 : z = F(y) : MsgBox y & z", "101"},
            {"Function Fact(n)\nIf n <= 1 Then Fact = 1 Else Fact = n * Fact(n - 1)\nEnd Function\nMsgBox Fact(12)", "479001600"},
            {"Function F()\nF = 1\nExit Function\nF = 2\nEnd Function\nMsgBox F()", "1"},
            {"Sub S\nMsgBox 1\nExit Sub\nMsgBox 2\nEnd Sub\nS", "1"},
            {"Function F\nEnd Function\nMsgBox TypeName(F) & TypeName(F())", "EmptyEmpty"},
            {"Function F() : F = Array(4, 5) : End Function\nMsgBox F()(1)", "5"},
            {"Sub S\nDim y : y = 3\nEnd Sub\nS\nMsgBox IsEmpty(y)", "True"},
            {"x = 1\nSub S\nx = 2\nEnd Sub\nS\nMsgBox x", "2"},
            {"Dim x : x = 1\nSub S\nDim x : x = 5\nEnd Sub\nS : MsgBox x", "1"},
            {"Sub S(a, b) : MsgBox a & b : End Sub\nS (1) + 2, 3 : S 4, (5)", "33|45"},
            {"Function Len(x) : Len = 99 : End Function\nMsgBox Len(\"a\")", "99"},
            {"Sub S : Const K = 3 : MsgBox K * 2 : End Sub\nS : MsgBox IsEmpty(K)", "6|True"},
            {"Sub S(a) : End Sub\nS 1, 2", "#450@2"},
            {"Sub S(a, b) : End Sub\nS 1,", "#450@2"},
            {"Function F(a)\nEnd Function\nx = F()", "#450@3"},
            {"x = Len()", "#450@1"},
            {"Option Explicit\nDim a\na = 1\nb = 2", "#500@4"},
            {"Option Explicit\nMsgBox 1\nMsgBox c", "1#500@3"},
            {"Option Explicit\nReDim a(1) : a(1) = 2 : MsgBox a(1)", "2"},
            {"Const A = 5, B = \"x\"\nMsgBox A & B\nA = 6", "5x#501@3"},
            {"Const N = -2 : MsgBox N * 3", "-6"},
            {"Foo 1", "#13@1"},
            {"Sub S\nx = 1\ny = 1 / 0\nEnd Sub\nS", "#11@3"},
            {"Function R(n)\nR = R(n + 1)\nEnd Function\nx = R(1)", "#28@2"},
        });
    }
    void procedures() { CheckRow(); }

    void arrays_data()
    {
        AddRows({
            {"Dim a(2) : a(0) = 1 : a(2) = 3 : MsgBox UBound(a) & LBound(a) & a(0) & IsEmpty(a(1)) & a(2)", "201True3"},
            {"Dim a(2) : a(3) = 1", "#9@1"},
            {"Dim a(1, 2) : a(1, 2) = 5 : MsgBox a(1, 2) & UBound(a, 2) : a(2, 0) = 1", "52#9@1"},
            {"Dim a(1, 2) : x = a(1)", "#9@1"},
            {"x = 5 : y = x(0)", "#13@1"},
            {"Dim a() : ReDim a(1) : a(1) = \"k\" : ReDim Preserve a(3) : MsgBox a(1) & UBound(a) : ReDim a(2) : MsgBox IsEmpty(a(1))", "k3|True"},
            {"ReDim m(1, 1) : m(1, 1) = 7 : ReDim Preserve m(1, 3) : MsgBox m(1, 1) : ReDim Preserve m(2, 3)", "7#9@1"},
            {"Dim a(2) : ReDim a(3)", "#10@1"},
            {"ReDim a(-2)", "#9@1"},
            {"Dim a(1) : a(0) = 5 : Erase a : MsgBox IsEmpty(a(0)) & UBound(a)", "True1"},
            {"a = Array(1) : Erase a : MsgBox UBound(a)", "#9@1"},
            {"a = Array(1, 2) : b = a : b(0) = 9 : MsgBox a(0) & b(0)", "19"},
            {"Sub S(ByVal v) : v(0) = 9 : End Sub\na = Array(1) : S a : MsgBox a(0)", "1"},
            {"Sub S(v) : v(0) = 9 : End Sub\na = Array(1) : S a : MsgBox a(0)", "9"},
            {"Dim a(1) : b = a : ReDim b(5) : MsgBox UBound(b)", "5"},
            {"a = Array(Array(1, 2), 3) : MsgBox a(0)(1) : a(0)(1) = 7 : MsgBox a(0)(1)", "2|7"},
            {"a = Array() : MsgBox UBound(a)", "-1"},
            {"Dim a() : MsgBox IsArray(a) : x = UBound(a)", "True#9@1"},
            {"a = Array(1, 2) : MsgBox a(0.5) : MsgBox a(\"1\")", "1|2"},
            {"Do : a = Array(a) : n = n + 1 : Loop Until n = 100000 : MsgBox UBound(a) & UBound(a(0)) : a = 0", "00"},
        });
    }
    void arrays() { CheckRow(); }

    void errorHandling_data()
    {
        AddRows({
            {"On Error Resume Next\nx = 1 / 0\nMsgBox Err.Number & \" \" & Err.Description & \" \" & Err.Source\nErr.Clear\nMsgBox Err.Number",
             "11 Division by zero Microsoft VBScript runtime error|0"},
            {"On Error Resume Next\nErr.Raise 5\nMsgBox Err.Number & Err.Description : Err.Raise 1000, \"Src\", \"Mine\"\nMsgBox Err.Number & Err.Source & Err.Description",
             "5Invalid procedure call or argument|1000SrcMine"},
            {"Err.Raise 1001, , \"boom\"", "#1001@1"},
            {"Sub S\nx = 1 / 0\nMsgBox \"not here\"\nEnd Sub\nOn Error Resume Next\nS\nMsgBox \"after \" & Err.Number", "after 11"},
            {"Sub S\nOn Error Resume Next\nx = 1 / 0\nMsgBox \"in \" & Err.Number\nEnd Sub\nS\nMsgBox \"out\"", "in 11|out"},
            {"Sub S\nOn Error Resume Next\nEnd Sub\nS\nx = 1 / 0", "#11@5"},
            {"On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0\nMsgBox Err.Number\ny = 1 / 0", "0#11@5"},
            {"On Error Resume Next\nx = 1 / 0\nOn Error Resume Next\nMsgBox Err.Number", "0"},
            // An error in an If condition resumes at the first statement of its Then part.
            {"On Error Resume Next\nIf 1 / 0 Then\nMsgBox \"then\"\nElse\nMsgBox \"else\"\nEnd If", "then"},
            {"On Error Resume Next\nx = CInt(\"a\")\nIf Err Then MsgBox Err", "13"},
            {"On Error Resume Next\nFor i = 1 To 2\nx = 1 / 0\nMsgBox i\nNext", "1|2"},
            {"x = 1 + _\n2\ny = 1 / _\n0", "#11@3"},
            {"Err.Number = 42 : Err.Description = \"d\" : MsgBox Err.Number & Err.Description : Err.Clear : MsgBox Err.Number & \"[\" & Err.Description & \"]\"",
             "42d|0[]"},
        });
    }
    void errorHandling() { CheckRow(); }

    void syntaxErrors_data()
    {
        // Reported before anything runs: no row shows output.
        AddRows({
            {"MsgBox 1\nIf x\nMsgBox 2", "#1017@2"},
            {"If x Then\nMsgBox 1", "#1014@2"},
            {"For i = 1 To 3\nMsgBox i", "#1020@2"},
            {"For i = 1\nNext", "#1013@1"},
            {"For i 1 To 2\nNext", "#1011@1"},
            {"For Each x Of a\nNext", "#1046@1"},
            {"For a(1) = 1 To 2\nNext", "#1040@1"},
            {"Do\nMsgBox 1", "#1019@2"},
            {"Do While 1\nLoop While 1", "#1025@2"},
            {"While 1\nMsgBox 1", "#1018@2"},
            {"x = \"abc", "#1033@1"},
            {"x = 1 # 2", "#1032@1"},
            {"x = 1\n  y = 2 _ z", "#1032@2"},
            {"x = 1e", "#1031@1"},
            {"x = (1 + 2", "#1006@1"},
            {"x = ", "#1023@1"},
            {")", "#1024@1"},
            {"Next", "#1024@1"},
            {"Property Get P\nEnd Property", "#1024@1"},
            {"x = 1\nOption Explicit", "#1024@2"},
            {"x = 1 2", "#1025@1"},
            {"Dim a, a", "#1041@1"},
            {"Sub S : End Sub\nSub S : End Sub", "#1041@2"},
            {"Exit Do", "#1039@1"},
            {"Sub S\nExit Function\nEnd Sub", "#1039@2"},
            {"Const c = x", "#1045@1"},
            {"Dim a(n)", "#1026@1"},
            {"Dim 5", "#1010@1"},
            {"Select x\nEnd Select", "#1021@1"},
            {"Select Case 1\nCase 1\nEnd Sub", "#1022@3"},
            {"Sub S\nEnd Function", "#1016@2"},
            {"Function F\nEnd Sub", "#1015@2"},
            {"If 1 Then\nEnd Sub", "#1012@2"},
            {"On Error Resume", "#1002@1"},
            {"On Error GoTo 1", "#1002@1"},
        });
        QTest::newRow("identifier too long") << QString(256, QLatin1Char('a')) + " = 1" << "#1030@1";
        QTest::newRow("too deeply nested") << "x = " + QString(300, QLatin1Char('(')) + "1" + QString(300, QLatin1Char(')')) << "#28@1";
        QTest::newRow("too long an expression") << "x = 1" + QString(" + 1").repeated(2000) << "#28@1";
    }
    void syntaxErrors() { CheckRow(); }

    void lexical_data()
    {
        AddRows({
            {"' comment\nMsgBox 1 ' trailing\nRem another\nMsgBox 2 : Rem after colon\nREM upper", "1|2"},
            {"MsgBox 1 + _\n  2 _\n  + 3", "6"},
            {"DIM Value : value = 3 : MSGBOX VALUE", "3"},
            {"MsgBox 1\r\nMsgBox 2\rMsgBox 3", "1|2|3"},
            {"MsgBox 1\r\n\r\nx = 1 / 0", "1#11@3"},
            {"", ""},
            {"\xEF\xBB\xBFMsgBox 1", "1"},
        });
    }
    void lexical() { CheckRow(); }
};

TARNWICK_TEST_CLASS(TestScriptLanguage)
#include "tst_scriptlanguage.moc"
