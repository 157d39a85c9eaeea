// The rest of the language as scripts for the panel use it, one program a
// row with what MsgBox shows (see ScriptTestSupport.h): the names a
// procedure uses undeclared, dates, the other conversions and formats, code
// run from text, With, classes, Dictionary and FileSystemObject. The
// expected results are those VBScript's reference gives (its examples where
// it has one), in the program's locale, US English.
#include "common/TestEnvironment.h"
#include "script/ScriptTestSupport.h"

#include <QTemporaryDir>

using scripttest::AddRows;
using scripttest::CheckRow;

class TestScriptConformance : public QObject
{
    Q_OBJECT
private slots:
    void scoping_data()
    {
        AddRows({
            // The recursion: t is each call's own until the script makes its t
            // (from then on the calls share it: 0 + 1, then 1 + 1).
            {"Function SumTo(n)\nIf n = 0 Then\nSumTo = 0\nElse\nt = n\nSumTo = SumTo(n - 1) + t\nEnd If\nEnd Function\n"
             "MsgBox SumTo(4)\nt = \"global\"\nMsgBox SumTo(2) & t",
             "10|21"},
            {"Sub S\ny = 5\nEnd Sub\nS\nMsgBox IsEmpty(y)\ny = 1", "True"},
            // A Dim counts wherever it is written.
            {"Sub S\nz = 5\nEnd Sub\nS\nMsgBox z\nDim z", "5"},
            {"Sub S : MsgBox v : End Sub\nS\nExecuteGlobal \"v = 7\"\nS", "|7"},
        });
    }
    void scoping() { CheckRow(); }

    void dates_data()
    {
        AddRows({
            {"d = #1/15/2024# : MsgBox d & \" \" & TypeName(d) & \" \" & #14:30# & \" \" & #1/15/2024 2:30:05 PM#",
             "1/15/2024 Date 2:30:00 PM 1/15/2024 2:30:05 PM"},
            {"MyDate = #October 19, 1962# : MsgBox Weekday(MyDate) & Year(MyDate) & \" \" & WeekdayName(6, True) & \" \" & MonthName(10, True)",
             "61962 Fri Oct"},
            {"MsgBox DateSerial(1990 - 10, 8 - 2, 1 - 1) & \" \" & DateSerial(2024, 13, 1) & \" \" & DateSerial(29, 1, 1) & \" \" & DateSerial(30, 1, 1)",
             "5/31/1980 1/1/2025 1/1/2029 1/1/1930"},
            {"MsgBox TimeSerial(12 - 6, -15, 0) & \" | \" & TimeSerial(25, 0, 0) & \" | \" & TimeValue(\"4:35:17 PM\") & \" | \" & DateValue(\"September 11, 1963\")",
             "5:45:00 AM | 12/31/1899 1:00:00 AM | 4:35:17 PM | 9/11/1963"},
            {"MsgBox DateAdd(\"m\", 1, \"31-Jan-95\") & \" \" & DateAdd(\"yyyy\", 1, #2/29/2024#) & \" \" & DateAdd(\"q\", -1, #5/31/2024#) & \" \" & DateAdd(\"ww\", 2, #1/1/2024#) & \" \" & DateAdd(\"n\", 90, #1/1/2024 11:00 PM#) & \" \" & DateAdd(\"d\", -1, #3/1/2024#)",
             "2/28/1995 2/28/2025 2/29/2024 1/15/2024 1/2/2024 12:30:00 AM 2/29/2024"},
            {"f = \"31-Jan-09 00:00:00\" : t = \"31-Jan-10 23:59:00\"\n"
             "For Each i In Array(\"yyyy\", \"q\", \"m\", \"y\", \"d\", \"w\", \"ww\", \"h\", \"n\", \"s\") : s = s & DateDiff(i, f, t) & \" \" : Next : MsgBox s",
             "1 4 12 365 365 52 53 8783 527039 31622340 "},
            {"MsgBox DateDiff(\"yyyy\", #12/31/2023#, #1/1/2024#) & DateDiff(\"d\", #1/2/2024#, #1/1/2024#) & DateDiff(\"ww\", #1/6/2024#, #1/7/2024#) & DateDiff(\"ww\", #1/6/2024#, #1/7/2024#, vbMonday) & DateDiff(\"h\", #1:59#, #2:00#)",
             "1-1101"},
            {"d = #1/15/2024# : MsgBox DatePart(\"q\", d) & DatePart(\"y\", #2/1/2024#) & DatePart(\"w\", d) & DatePart(\"w\", d, vbMonday) & DatePart(\"ww\", d) & \" \" & DatePart(\"ww\", #1/1/2021#, vbMonday, vbFirstFourDays) & DatePart(\"ww\", #12/31/2024#, vbSunday, vbFirstFullWeek)",
             "132213 5352"},
            {"MsgBox IsDate(\"October 19, 1962\") & IsDate(\"Hello\") & IsDate(5) & IsDate(#1/1/2000#) & IsDate(\"13/13/2024\") & IsDate(\"14:30\") & IsDate(\"2024-01-15\")",
             "TrueFalseFalseTrueFalseTrueTrue"},
            {"MsgBox CDate(\"October 19, 1962\") & \" | \" & CDate(\"4:35:47 PM\") & \" | \" & CDate(\"15/1/2024\") & \" | \" & CDate(45306.5) & \" | \" & Month(\"2/3/2024\")",
             "10/19/1962 | 4:35:47 PM | 1/15/2024 | 1/15/2024 12:00:00 PM | 2"},
            {"d = #1/15/2024 2:30:05 PM# : MsgBox FormatDateTime(d) & \" | \" & FormatDateTime(d, vbLongDate) & \" | \" & FormatDateTime(d, vbShortDate) & \" | \" & FormatDateTime(d, vbLongTime) & \" | \" & FormatDateTime(d, vbShortTime)",
             "1/15/2024 2:30:05 PM | Monday, January 15, 2024 | 1/15/2024 | 2:30:05 PM | 14:30"},
            {"MsgBox CDbl(#1/1/1900#) & \" \" & #12/30/1899# & \" \" & CDbl(#12/29/1899 6:00 AM#) & \" \" & (#1/2/2024# - #1/1/2024#) & TypeName(#1/1/2024# + 1)",
             "2 12:00:00 AM -1.25 1Date"},
            {"MsgBox CDate(\"Jan 2, 2024\") & \"|\" & CDate(\"2 pm\") & \"|\" & CDate(\"Tuesday, 1.2.29\") & \"|\" & CDate(\"1/2/99 23:05\")",
             "1/2/2024|2:00:00 PM|1/2/2029|1/2/1999 11:05:00 PM"},
            {"x = CDate(\"2024-01-15T10\")", "#13@1"},
            {"x = DateAdd(\"x\", 1, Now)", "#5@1"},
            {"x = DateSerial(10000, 1, 1)", "#5@1"},
            {"x = #32/1/2024#", "#1002@1"},
            {"x = 1 # 2", "#1032@1"},
        });
    }
    void dates() { CheckRow(); }

    void conversionsAndFormats_data()
    {
        AddRows({
            {"MsgBox CSng(75.3421115) & \" \" & TypeName(CSng(1)) & \" \" & CSng(12345678) & \" \" & TypeName(CSng(1) + 1) & TypeName(CSng(1) + CLng(1)) & TypeName(CSng(1) / 2)",
             "75.34211 Single 1.234568E+07 SingleDoubleSingle"},
            {"MsgBox CByte(125.5678) & \" \" & TypeName(CByte(2) + CByte(3)) & \" \" & CByte(200) + CByte(100) & TypeName(CByte(200) + CByte(100)) & \" \" & VarType(CByte(1))",
             "126 Byte 300Integer 17"},
            {"MsgBox CCur(543.214588 * 2) & \" \" & TypeName(CCur(1)) & \" \" & CCur(0.1) * 3 & \" \" & TypeName(CCur(1) * 1.5) & TypeName(CCur(1) / 3) & \" \" & VarType(CCur(1)) & VarType(CSng(1))",
             "1086.4292 Currency 0.3 CurrencyDouble 64"},
            // Currency rounds half to even at its fourth decimal, and moves a date as a number does.
            {"MsgBox CCur(0.0001) * CCur(0.5) & \" \" & CCur(0.0003) * CCur(0.5) & \" \" & TypeName(#1/1/2024# + CCur(1)) & \" \" & CByte(7) Mod CByte(4) & TypeName(CByte(7) \\ CByte(2))",
             "0 0.0002 Date 3Byte"},
            {"x = CByte(256)", "#6@1"},
            {"x = CByte(-1)", "#6@1"},
            {"x = CCur(1E19)", "#6@1"},
            {"a = Array(\"Sunday\", \"Monday\", \"Tuesday\") : MsgBox Filter(a, \"Mon\")(0) & \" \" & Join(Filter(a, \"day\", False), \",\") & \"|\" & Join(Filter(a, \"SUN\", True, vbTextCompare), \",\") & \" \" & UBound(Filter(a, \"x\"))",
             "Monday |Sunday -1"},
            {"x = Filter(\"abc\", \"a\")", "#13@1"},
            {"MsgBox FormatPercent(2 / 32) & \" \" & FormatPercent(-0.5, 0) & \" \" & FormatCurrency(1234.5) & \" \" & FormatCurrency(-1234.5) & \" \" & FormatCurrency(-1234.5, 2, -1, 0) & \" \" & FormatCurrency(0.5, 0)",
             "6.25% -50% $1,234.50 ($1,234.50) -$1,234.50 $1"},
            {"MsgBox Escape(\"a b&c/\" & ChrW(233) & ChrW(8364)) & \" \" & Unescape(\"a%20b%u20AC%zz\") & \" \" & RGB(255, 0, 0) & \" \" & RGB(1, 2, 300) & \" \" & ScriptEngine & GetLocale & SetLocale(\"en-us\")",
             "a%20b%26c/%E9%u20AC a b\u20ac%zz 255 16712193 VBScript10331033"},
            // Left out: another locale, objects of the system, a regular
            // expression class, pictures.
            {"SetLocale 1031", "#5@1"},
            {"Set o = GetObject(, \"Excel.Application\")", "#429@1"},
            {"Set o = CreateObject(\"WScript.Shell\")", "#429@1"},
            {"Set o = New RegExp", "#506@1"},
            {"x = LoadPicture(\"a.bmp\")", "#13@1"},
        });
    }
    void conversionsAndFormats() { CheckRow(); }

    void codeFromText_data()
    {
        AddRows({
            {"x = 5 : Execute \"x = x + 1 : y = x * 2\" : MsgBox x & y & Eval(\"x = 6\") & Eval(\"x * 10\")", "612True60"},
            // The reference's example: a procedure Execute makes in a
            // procedure sees the script's X, and is that procedure's alone.
            {"Dim X\nX = \"Global\"\nSub Proc1\nDim X\nX = \"Local\"\nExecute \"Sub Proc2: MsgBox X: End Sub\"\nMsgBox Eval(\"X\")\nProc2\nEnd Sub\n"
             "Proc1\nExecute \"Sub Proc2: MsgBox X: End Sub\"\nProc2",
             "Local|Global|Global"},
            {"Sub P\nz = 3 : Execute \"z = z + 1 : w = 7\" : MsgBox z & Eval(\"z + w\")\nExecuteGlobal \"g = 42\"\nEnd Sub\nP : MsgBox g", "411|42"},
            {"ExecuteGlobal \"Function Thrice(v) : Thrice = v * 3 : End Function\"\nMsgBox Thrice(3) & Eval(\"Thrice(4)\")\n"
             "ExecuteGlobal \"Class K : Public V : End Class\"\nSet k = New K : k.V = 9 : MsgBox k.V",
             "912|9"},
            {"Function Add(a, b) : Add = a + b : End Function\nSet f = GetRef(\"Add\") : MsgBox f(2, 3) & TypeName(f)", "5Object"},
            {"Set f = GetRef(\"Nope\")", "#5@1"},
            {"x = 1\nExecute \"y = (\"", "#1023@2"},
            {"x = 1\nMsgBox Eval(\"1 / 0\")", "#11@2"},
        });
    }
    void codeFromText() { CheckRow(); }

    void classes_data()
    {
        AddRows({
            {"Class Counter\nPrivate m_count\nPublic Name\nPrivate Sub Class_Initialize : m_count = 0 : End Sub\n"
             "Public Property Get Count : Count = m_count : End Property\nPublic Property Let Count(v) : m_count = v : End Property\n"
             "Public Sub Inc(by) : m_count = m_count + by : by = 0 : End Sub\n"
             "Public Default Function Describe() : Describe = Name & \"=\" & Me.Count : End Function\nEnd Class\n"
             "Set c = New Counter : c.Name = \"a\" : c.Count = 5 : n = 3 : c.Inc n\nMsgBox c.Count & \" \" & n & \" \" & c & \" \" & TypeName(c)",
             "8 0 a=8 Counter"},
            // Class_Terminate runs when the last reference goes: Nothing, the
            // end of a procedure, the end of the script.
            {"Class T\nPublic N\nPrivate Sub Class_Initialize : MsgBox \"init\" : End Sub\nPrivate Sub Class_Terminate : MsgBox \"term \" & N : End Sub\nEnd Class\n"
             "Set a = New T : a.N = 1 : Set b = a : Set a = Nothing : MsgBox \"still\" : Set b = Nothing : MsgBox \"gone\"\n"
             "Sub L : Dim c : Set c = New T : c.N = 2 : End Sub\nL : MsgBox \"after\" : Set d = New T : d.N = 3",
             "init|still|term 1|gone|init|term 2|after|init|term 3"},
            {"Class H\nPrivate m\nPublic Property Set Item(v) : Set m = v : End Property\nPublic Property Get Item : Set Item = m : End Property\nEnd Class\n"
             "Set h = New H : Set h.Item = New H : MsgBox TypeName(h.Item) & IsObject(h.Item)",
             "HTrue"},
            {"Class P\nPublic X, Y, A(2)\nEnd Class\nSet p1 = New P\nWith p1\n.X = 1\nWith New P\n.X = 5 : MsgBox .X\nEnd With\n.Y = .X + 1 : .A(1) = 7\nEnd With\nMsgBox p1.X & p1.Y & p1.A(1) & UBound(p1.A)",
             "5|1272"},
            {"Class R\nPublic Property Get V : V = 1 : Exit Property : V = 2 : End Property\nEnd Class\nSet r = New R : MsgBox r.V", "1"},
            // An indexed property; Me is the object itself.
            {"Class G\nPrivate m(2)\nPublic Property Get Cell(i) : Cell = m(i) : End Property\nPublic Property Let Cell(i, v) : m(i) = v * 2 : End Property\n"
             "Public Function Self : Set Self = Me : End Function\nEnd Class\nSet g = New G : g.Cell(1) = 4 : MsgBox g.Cell(1) & IsEmpty(g.Cell(0)) & (g.Self Is g)",
             "8TrueTrue"},
            // An error in Class_Terminate is nobody's.
            {"Class E\nPrivate Sub Class_Terminate : x = 1 / 0 : End Sub\nEnd Class\nSet e = New E : Set e = Nothing : MsgBox Err.Number", "0"},
            // A chain of objects that hold each other is freed at the end.
            {"Class N\nPublic Other\nEnd Class\nSet a = New N : Set b = New N : Set a.Other = b : Set b.Other = a : MsgBox \"ok\"", "ok"},
            {"Class C\nPrivate p\nEnd Class\nSet o = New C : o.p = 1", "#438@4"},
            {"Class C\nPublic Property Get P : P = 1 : End Property\nEnd Class\nSet o = New C\no.P = 2", "#438@5"},
            {"Set o = New Nope", "#506@1"},
            {"With 5\nEnd With", "#424@1"},
            {"x = .Name", "#505@1"},
            {"Set x = Me", "#1037@1"},
            {"Class C\nPublic Default Property Let V(x) : End Property\nEnd Class", "#1058@2"},
            {"Class C\nProperty Let V : End Property\nEnd Class", "#1054@2"},
            {"Class C\nSub Class_Initialize(a) : End Sub\nEnd Class", "#1053@2"},
            {"Class C\nPublic Default Function A : End Function\nPublic Default Function B : End Function\nEnd Class", "#1052@3"},
            {"Class C\nSub S\nEnd Sub\nEnd Sub", "#1047@4"},
            {"With x\nMsgBox 1", "#1014@2"},
        });
    }
    void classes() { CheckRow(); }

    void dictionary_data()
    {
        AddRows({
            {"Set d = CreateObject(\"Scripting.Dictionary\")\nd.Add \"a\", \"Athens\" : d.Add \"b\", \"Belgrade\" : d.Add \"c\", \"Cairo\"\n"
             "a = d.Items : For i = 0 To d.Count - 1 : s = s & a(i) : Next : MsgBox s & d.Exists(\"c\") & d.Exists(\"C\")\n"
             "d.Key(\"c\") = \"d\" : d.Remove \"b\" : For Each k In d : t = t & k & d(k) : Next : MsgBox t & \" \" & Join(d.Keys, \",\") & \" \" & TypeName(d)",
             "AthensBelgradeCairoTrueFalse|aAthensdCairo a,d Dictionary"},
            {"Set d = CreateObject(\"Scripting.Dictionary\")\nx = d(\"new\") : d(\"set\") = 2 : MsgBox d.Count & IsEmpty(x) & d(\"set\")\n"
             "d.Add 1, \"one\" : MsgBox d.Exists(CLng(1)) & d.Exists(1.0) & d.Exists(\"1\") : d.RemoveAll : MsgBox d.Count",
             "2True2|TrueTrueFalse|0"},
            {"Set d = CreateObject(\"Scripting.Dictionary\")\nd.CompareMode = vbTextCompare\nd.Add \"a\", \"Athens\" : d.Add \"b\", \"Belgrade\"\nd.Add \"B\", \"Baltimore\"", "#457@4"},
            {"Set d = CreateObject(\"Scripting.Dictionary\")\nd.Remove \"x\"", "#32811@2"},
            {"Set d = CreateObject(\"scripting.dictionary\")\nd.Add 1, 1\nd.CompareMode = 1", "#5@3"},
            {"Set f = CreateObject(\"Scripting.FileSystemObject\")", "#429@1"},
        });
    }
    void dictionary() { CheckRow(); }

    // Text files in the script's folder: what the script sees, and the
    // bytes the file then holds. in.txt holds "one" CR LF "two" LF "3".
    void fileSystem_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *script, const char *expected, const char *file, const QByteArray &bytes) {
            QTest::newRow(script) << QString::fromUtf8(script) << QString::fromUtf8(expected) << file << bytes;
        };
        const char *fso = "Set fs = CreateObject(\"Scripting.FileSystemObject\")\n";
        row(qPrintable(fso + QString("Set f = fs.OpenTextFile(\"in.txt\") : Do Until f.AtEndOfStream : MsgBox f.ReadLine : Loop : f.Close\n"
                                     "MsgBox Len(fs.OpenTextFile(\"in.txt\", 1).ReadAll) & fs.GetFile(\"in.txt\").Size & fs.FileExists(\"in.txt\") & fs.FolderExists(\"sub\")")),
            "one|two|3|1010TrueTrue", "in.txt", "one\r\ntwo\n3");
        row(qPrintable(fso + QString("Set a = fs.CreateTextFile(\"sub\\out.txt\", True) : a.WriteLine \"This is a test.\" : a.Write \"caf\" & ChrW(233) : a.Close\n"
                                     "Set a = fs.OpenTextFile(\"sub/out.txt\", 8) : a.WriteLine : a.WriteLine \"more\"")),
            "", "sub/out.txt", "This is a test.\r\ncaf\xC3\xA9\r\nmore\r\n");
        row(qPrintable(fso + QString("Set a = fs.CreateTextFile(\"u.txt\", True, True) : a.Write \"A\" : a.Close : MsgBox fs.OpenTextFile(\"u.txt\").ReadAll")),
            "A", "u.txt", QByteArray("\xFF\xFE" "A\0", 4));
        row(qPrintable(fso + QString("fs.DeleteFile \"*.txt\" : MsgBox fs.FileExists(\"in.txt\") & fs.BuildPath(\"logs\", \"a.txt\") & \" \" & fs.GetBaseName(\"c:\\x\\name.tar.gz\") & \" \" & fs.GetExtensionName(\"name.tar.gz\")")),
            "Falselogs/a.txt name.tar gz", "", {});
        row(qPrintable(fso + QString("Set f = fs.OpenTextFile(\"in.txt\") : x = f.ReadAll : x = f.ReadLine")), "#62@2", "", {});
        row(qPrintable(fso + QString("Set f = fs.OpenTextFile(\"none.txt\")")), "#53@2", "", {});
        row(qPrintable(fso + QString("Set f = fs.OpenTextFile(\"nowhere/none.txt\", 2, True)")), "#76@2", "", {});
        row(qPrintable(fso + QString("Set f = fs.CreateTextFile(\"in.txt\", False)")), "#58@2", "in.txt", "one\r\ntwo\n3");
        row(qPrintable(fso + QString("Set f = fs.OpenTextFile(\"in.txt\") : f.Write \"x\"")), "#54@2", "", {});
    }
    void fileSystem()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("sub"));
        QFile in(folder.filePath("in.txt"));
        QVERIFY(in.open(QIODevice::WriteOnly) && in.write("one\r\ntwo\n3") == 10);
        in.close();
        scripttest::RecordingHost host;
        TScriptEngine engine(&host);
        engine.SetScriptFolder(folder.path());
        QCOMPARE(scripttest::Summary(engine, engine.Execute(script), host), expected);
        if (!file.isEmpty()) {
            QFile written(folder.filePath(file));
            QVERIFY(written.open(QIODevice::ReadOnly));
            QCOMPARE(written.readAll(), bytes);
        }
    }
};

TARNWICK_TEST_CLASS(TestScriptConformance)
#include "tst_scriptconformance.moc"
