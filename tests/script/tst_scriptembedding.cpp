// The embedding API: a named object's members called from scripts, errors
// raised by the host, the error report, the host's dialogs, the periodic hook,
// interrupting a running script and the limits that keep a run safe.
#include "common/TestEnvironment.h"
#include "script/ScriptTestSupport.h"

#include <QMap>
#include <QSemaphore>

#include <stdexcept>
#include <thread>

using scripttest::RecordingHost;
using scripttest::Summary;

namespace {

// Stands in for the program's automation object: a frequency and mode, a
// method, members that fail, a default value.
class TRadio : public TScriptObject
{
public:
    enum { Frequency, Mode, Tune, Fail, Throw, Value, Name, Memory };
    QStringList log;
    mutable int lookups = 0;
    qint32 frequency = 0;
    QString mode = "USB";
    QMap<qint32, TScriptValue> memories;

    int MemberId(const QString &Member) const override
    {
        ++lookups;
        return ScriptMemberIndex(Member, {"frequency", "mode", "tune", "fail", "throw", "value", "name", "memory"});
    }
    int DefaultMemberId() const override { return Value; }
    QString TypeName() const override { return "Radio"; }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        static const char *const names[] = {"Frequency", "Mode", "Tune", "Fail", "Throw", "Value", "Name", "Memory"};
        static const char *const kinds[] = {"Get", "Put", "Call"};
        QStringList args;
        for (const TScriptValue &arg : Args)
            args << arg.ToString();
        log << QStringLiteral("%1 %2 %3").arg(kinds[int(Kind)], names[Id], args.join(',')).trimmed();
        switch (Id) {
        case Frequency:
        case Mode:
            if (Kind == TScriptInvoke::Put) {
                ScriptRequireArgs(Args, 1, 1);
                if (Id == Frequency)
                    frequency = Args[0].ToLong();
                else
                    mode = Args[0].ToString();
                return TScriptValue();
            }
            return Id == Frequency ? TScriptValue::FromLong(frequency) : TScriptValue(mode);
        case Tune:
            ScriptRequireArgs(Args, 2, 2);
            frequency = Args[0].ToLong();
            mode = Args[1].ToString();
            return TScriptValue::FromBool(true);
        case Fail:
            throw TScriptError(Args[0].ToLong(), "Radio refused");
        case Throw:
            throw std::runtime_error("port closed");
        case Value:
            return TScriptValue::FromLong(frequency);
        case Memory:
            // An indexed property: Memory(n) and Memory(n) = v.
            if (Kind == TScriptInvoke::Put) {
                ScriptRequireArgs(Args, 2, 2);
                memories[Args[0].ToLong()] = Args[1];
                return TScriptValue();
            }
            ScriptRequireArgs(Args, 1, 1);
            return memories.value(Args[0].ToLong());
        default:
            return TScriptValue("radio");
        }
    }
};

// A second kind of object whose only member has another number.
class TPlain : public TScriptObject
{
public:
    int MemberId(const QString &Member) const override { return ScriptMemberIndex(Member, {"name"}); }
    TScriptValue Invoke(int Id, TScriptInvoke, TScriptArgs) override
    {
        if (Id != 0)
            throw TScriptError(ScriptErr::NoSuchMember);
        return TScriptValue("plain");
    }
};

struct Fixture
{
    RecordingHost host;
    TScriptEngine engine{&host};
    std::shared_ptr<TRadio> radio = std::make_shared<TRadio>();

    Fixture()
    {
        engine.AddObject("Radio", radio);
        engine.AddObject("Plain", std::make_shared<TPlain>());
    }
    QString run(const QString &Script) { return Summary(engine, engine.Execute(Script), host); }
};

} // namespace

class TestScriptEmbedding : public QObject
{
    Q_OBJECT
private slots:
    // Each row: a script, what it showed, and the calls that reached the object.
    void callForms_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("calls");
        QTest::newRow("put and get") << "Radio.Frequency = 7050000 : MsgBox Radio.Frequency" << "7050000"
                                     << "Put Frequency 7050000;Get Frequency";
        QTest::newRow("method as a function") << "ok = radio.Tune(3500000, \"LSB\") : MsgBox ok & Radio.mode" << "TrueLSB"
                                              << "Get Tune 3500000,LSB;Get Mode";
        QTest::newRow("method as a statement") << "Radio.Tune 14000000, \"USB\"" << "" << "Call Tune 14000000,USB";
        QTest::newRow("Call with parentheses") << "Call Radio.Tune(1, \"CW\")" << "" << "Call Tune 1,CW";
        QTest::newRow("first argument in parentheses") << "Radio.Tune (2) * 2, \"AM\"" << "" << "Call Tune 4,AM";
        QTest::newRow("indexed property") << "Radio.Memory(3) = 145 : MsgBox Radio.Memory(3)" << "145"
                                          << "Put Memory 3,145;Get Memory 3";
        QTest::newRow("object alone") << "Radio" << "" << "Call Value";
        QTest::newRow("object with arguments") << "x = Radio(7) : Radio 8" << "" << "Get Value 7;Call Value 8";
        QTest::newRow("through a variable") << "Set m = Radio : m.Frequency = 9 : m : m 1" << ""
                                            << "Put Frequency 9;Call Value;Call Value 1";
        QTest::newRow("property as a statement") << "Radio.Frequency" << "" << "Call Frequency";
    }
    void callForms()
    {
        QFETCH(QString, script);
        Fixture f;
        QTEST(f.run(script), "shown");
        QTEST(f.radio->log.join(';'), "calls");
    }

    void memberErrors_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::newRow("no such member") << "Radio.Bogus = 1" << 438 << "Object doesn't support this property or method: 'Bogus'";
        QTest::newRow("host raises") << "Radio.Fail 5" << 5 << "Radio refused";
        QTest::newRow("host throws") << "Radio.Throw" << int(ScriptErr::Unspecified) << "port closed: 'Throw'";
        QTest::newRow("argument count") << "Radio.Tune 1" << 450 << "Wrong number of arguments or invalid property assignment";
        QTest::newRow("argument type") << "Radio.Frequency = \"abc\"" << 13 << "Type mismatch";
        QTest::newRow("Nothing") << "Set r = Nothing : r.Frequency = 1" << 424 << "Object required: 'r'";
        QTest::newRow("not an object") << "x = 5 : x.Frequency = 1" << 424 << "Object required: 'x'";
        QTest::newRow("object name assigned") << "Radio = 5" << 501 << "Illegal assignment: 'Radio'";
        QTest::newRow("no default value") << "x = Plain" << 438 << "Object doesn't support this property or method";
        QTest::newRow("Set of a number") << "Set r = 5" << 424 << "Object required";
        QTest::newRow("Nothing as a value") << "x = Nothing" << 91 << "Object variable not set";
        QTest::newRow("Nothing called") << "Set r = Nothing : r 1" << 91 << "Object variable not set: 'r'";
        QTest::newRow("built-in named") << "x = CInt(\"a\")" << 13 << "Type mismatch: 'CInt'";
        QTest::newRow("CreateObject") << "Set o = CreateObject(\"Scripting.FileSystemObject\")" << 429
                                      << "ActiveX component can't create object: 'Scripting.FileSystemObject'";
    }
    void memberErrors()
    {
        QFETCH(QString, script);
        QFETCH(int, number);
        QFETCH(QString, description);
        Fixture f;
        QCOMPARE(f.engine.Execute(script), TScriptStatus::Failed);
        QCOMPARE(f.engine.Error().Number, number);
        QCOMPARE(f.engine.Error().FullDescription(), description);
        QCOMPARE(f.engine.Error().Line, 1);
        QVERIFY(!f.engine.Error().Compile);
    }

    // The member number is looked up once per call site and object.
    void memberLookupIsCached()
    {
        Fixture f;
        QCOMPARE(f.run("For i = 1 To 100 : Radio.Frequency = i : Next\nMsgBox Radio.Frequency"), QString("100"));
        QCOMPARE(f.radio->lookups, 2);
        QCOMPARE(f.radio->log.size(), 101);
        QCOMPARE(f.run("For Each o In Array(Radio, Plain, Radio) : MsgBox o.Name : Next"), QString("100|radio|plain|radio"));
    }

    void defaultValueAndReferences()
    {
        Fixture f;
        f.radio->frequency = 5;
        QCOMPARE(f.run("MsgBox Radio : MsgBox Radio + 1 : x = Radio : MsgBox TypeName(x) : Set y = Radio : MsgBox TypeName(y) & (y Is Radio)\n"
                       "Sub Tune(o, v) : o.Frequency = v : End Sub\nTune y, 21000000 : MsgBox Radio.Frequency & IsObject(Radio)"),
                 QString("5|6|Long|RadioTrue|21000000True"));
    }

    void namesAnyCaseLaterObjectReplaces()
    {
        Fixture f;
        auto other = std::make_shared<TRadio>();
        f.engine.AddObject("RADIO", other);
        QCOMPARE(f.run("radio.FREQUENCY = 3"), QString());
        QCOMPARE(other->frequency, 3);
        QCOMPARE(f.radio->frequency, 0);
    }

    void scriptDropsItsReferences()
    {
        std::weak_ptr<TRadio> watch;
        {
            Fixture f;
            watch = f.radio;
            QCOMPARE(f.run("Set keep = Radio : a = Array(Radio, Radio)"), QString());
            // The test's reference and the engine's, none left over from the run.
            QCOMPARE(f.radio.use_count(), 2);
        }
        QVERIFY(watch.expired());
    }

    // A syntax error runs nothing; Check parses without running; the report
    // holds the number, line, column and the name the error is about.
    void errorReport()
    {
        Fixture f;
        QCOMPARE(f.engine.Execute("Radio.Frequency = 1\nMsgBox 1\nx = (1 + 2"), TScriptStatus::Failed);
        const TScriptError &error = f.engine.Error();
        QCOMPARE(QString("%1 %2:%3 %4 ").arg(error.Number).arg(error.Line).arg(error.Column).arg(error.Compile)
                     + error.FullDescription(),
                 QString("1006 3:11 1 Expected ')'"));
        QVERIFY(f.engine.Check("Radio.Frequency = 1 : MsgBox 1"));
        QVERIFY(!f.engine.Check("MsgBox 1\nIf"));
        QCOMPARE(QString("%1@%2").arg(error.Number).arg(error.Line), QString("1023@2"));
        QVERIFY(f.radio->log.isEmpty() && f.host.boxes.isEmpty());
        QCOMPARE(f.engine.Execute("Option Explicit\nDim x : x = 1\nMsgBox zz"), TScriptStatus::Failed);
        QCOMPARE(QString("%1 %2 %3 ").arg(error.Number).arg(error.Line).arg(error.Compile) + error.Description,
                 QString("500 3 0 Variable is undefined"));
        QCOMPARE(error.FullDescription(), QString("Variable is undefined: 'zz'"));
    }

    void dialogsGoToTheHost()
    {
        Fixture f;
        f.host.inputs = {"Anna"};
        QCOMPARE(f.run("r = MsgBox(\"Go?\", vbYesNo + vbQuestion, \"Tuning\") : MsgBox r\n"
                       "n = InputBox(\"Name?\", \"Who\", \"x\") : MsgBox n : m = InputBox(\"More?\") : MsgBox IsEmpty(m)"),
                 QString("Go?|6|Anna|True"));
        QCOMPARE(f.host.boxes.at(0).buttons, 36);
        QCOMPARE(f.host.boxes.at(0).title, QString("Tuning"));
        QCOMPARE(f.host.boxes.at(1).title, QString());
        QCOMPARE(f.host.inputPrompts, QStringList({"Name?", "More?"}));
        f.host.boxes.clear();
        f.host.answer = 7;
        QCOMPARE(f.run("MsgBox MsgBox(\"Go?\", vbYesNo)"), QString("Go?|7"));
    }

    void dialogsWithoutHost()
    {
        TScriptEngine engine;
        QCOMPARE(engine.Execute("If MsgBox(\"q\", vbYesNo + vbDefaultButton2) <> vbNo Then Err.Raise 1\n"
                                "If Not IsEmpty(InputBox(\"x\")) Then Err.Raise 2"),
                 TScriptStatus::Completed);
    }

    void interruptFromAnotherThread()
    {
        RecordingHost host;
        TScriptEngine engine(&host);
        QSemaphore running;
        host.onTick = [&] { running.release(); };
        std::thread stopper([&] {
            running.tryAcquire(1, 5000); // the run is under way
            engine.Interrupt();
        });
        const TScriptStatus status = engine.Execute("Do : Loop");
        stopper.join();
        QCOMPARE(status, TScriptStatus::Interrupted);
        QCOMPARE(engine.Error().Number, 0);
        QVERIFY(!engine.IsRunning());
    }

    // The hook comes every so many statements (one For statement, a thousand
    // turns and a thousand assignments: four at 500) and may stop the run.
    void hookCadenceAndStop()
    {
        RecordingHost host;
        TScriptEngine engine(&host);
        engine.SetTickInterval(500);
        QCOMPARE(engine.Execute("For i = 1 To 1000 : x = x + 1 : Next"), TScriptStatus::Completed);
        QCOMPARE(host.ticks, 4);
        host.onTick = [&] {
            if (host.ticks == 7)
                engine.Interrupt();
        };
        QCOMPARE(engine.Execute("Do\nn = n + 1\nLoop"), TScriptStatus::Interrupted);
        QCOMPARE(host.ticks, 7);
    }

    // A step limit stops an endless run; a stop asked while idle is forgotten.
    void stepLimitAndIdleInterrupt()
    {
        RecordingHost host;
        TScriptEngine engine(&host);
        engine.SetStepLimit(50);
        QCOMPARE(engine.Execute("Do : Loop"), TScriptStatus::Interrupted);
        engine.Interrupt();
        QCOMPARE(Summary(engine, engine.Execute("For i = 1 To 10 : Next : MsgBox 1"), host), QString("1"));
    }

    void nestedExecuteIsRefused()
    {
        RecordingHost host;
        TScriptEngine engine(&host);
        engine.SetTickInterval(1);
        int nested = -1;
        host.onTick = [&] {
            if (nested < 0)
                nested = engine.Execute("MsgBox 2") == TScriptStatus::Failed ? engine.Error().Number : 0;
        };
        QCOMPARE(Summary(engine, engine.Execute("MsgBox 1 : MsgBox 3"), host), QString("1|3"));
        QCOMPARE(nested, 51);
    }

    void sizeLimits_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("doubling a string") << "s = \"x\" : Do : s = s & s : Loop" << "#14@1";
        QTest::newRow("adding strings") << "s = \"x\" : Do : s = s + s : Loop" << "#14@1";
        QTest::newRow("Space") << "s = Space(2000)" << "#14@1";
        QTest::newRow("Replace") << "s = Replace(Space(600), \" \", \"ab\")" << "#14@1";
        QTest::newRow("ReDim") << "ReDim a(1000)" << "#7@1";
        QTest::newRow("Dim") << "x = 1\nDim a(10, 10)" << "#7@2";
        QTest::newRow("Split") << "a = Split(Space(500), \" \")" << "#7@1";
        QTest::newRow("recursion") << "Function R(n)\nR = R(n + 1)\nEnd Function\nx = R(1)" << "#28@2";
    }
    void sizeLimits()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        RecordingHost host;
        TScriptEngine engine(&host);
        engine.SetStringLimit(1000);
        engine.SetArrayLimit(100);
        engine.SetStackLimit(256 * 1024);
        QCOMPARE(Summary(engine, engine.Execute(script), host), expected);
    }
};

TARNWICK_TEST_CLASS(TestScriptEmbedding)
#include "tst_scriptembedding.moc"
