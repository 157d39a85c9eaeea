// The automation object Zov as scripts use it, against a window that is
// faked: each row is a script, the window's state before it, and what the
// script did to the window and showed ("|"-joined), then "#number@line" for
// a script error.

#include "script/ScriptEngine.h"
#include "script/Zov.h"
#include "script/ZovTestSupport.h"
#include "common/TestEnvironment.h"

#include <QtTest/QtTest>

namespace {

class BoxHost : public TScriptHost
{
public:
    explicit BoxHost(FakeZovHost &window) : window(window) {}
    int MsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        return window.ScriptMsgBox(prompt, buttons, title);
    }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }

private:
    FakeZovHost &window;
};

// "online split ptt rx stopped" set up the window; anything left is as created.
void setUp(FakeZovHost &window, const QString &state)
{
    const QStringList words = state.split(u' ', Qt::SkipEmptyParts);
    window.connected = words.contains("online");
    window.split = words.contains("split");
    window.ptt = words.contains("ptt");
    window.blinking = !words.contains("stopped");
    if (words.contains("rx"))
        window.indicator = "RX";
    if (words.contains("tx"))
        window.indicator = "TX";
    window.meter = 42;
}

QString run(FakeZovHost &window, const QString &script)
{
    BoxHost boxes(window);
    TScriptEngine engine(&boxes);
    engine.AddObject("Zov", std::make_shared<TZov>(window));
    const TScriptStatus status = engine.Execute(script);
    QString result = window.log.join(u'|');
    if (status == TScriptStatus::Failed)
        result += QStringLiteral("#%1@%2").arg(engine.Error().Number).arg(engine.Error().Line);
    return result;
}

QString modeList()
{
    return "LSB  USB  CW  CW-R  AM  WFM  FM  DIG  PKT  FSK  FSK-R  ";
}

} // namespace

class TestZov : public QObject
{
    Q_OBJECT
private slots:
    void members_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const QString bandList = "160  80  40  20  " + QString("  ").repeated(28);
        const struct
        {
            const char *state;
            const char *script;
            QString expected;
        } rows[] = {
            // ZoomTo: its three checks in order, a range of exactly 500 Hz.
            {"", "Zov.ZoomTo 100000, 100500", "release bands|range 100000 100500"},
            {"", "Zov.ZoomTo 100000, 100499", "msg:Scale must be at least 500 Hz wide."},
            {"", "Zov.ZoomTo 99999, 200000", "msg:Scale can't start on a frequency lower than 100 kHz."},
            {"", "Zov.ZoomTo 99999, 500000001", "msg:Scale can't start on a frequency lower than 100 kHz."},
            {"", "Zov.ZoomTo 100000, 500000001", "msg:Scale can't end on a frequency higher than 500 MHz."},
            {"", "Zov.ZoomTo 100000, -2147483648", "msg:Scale must be at least 500 Hz wide."},
            {"", "Zov.ZoomTo(100000, 500000000)", "release bands|range 100000 500000000"},
            // Frequency: the limits, the radio only while on-line, any number text.
            {"", "Zov.Frequency = 500000000", "freq 500000000|digits"},
            {"online", "Zov.Frequency = 100000", "freq 100000|queue freq 100000|digits"},
            {"online", "Zov.Frequency = 500000001", "msg:Frequency can't be set to a value higher than 500 MHz."},
            {"online", "Zov.Frequency = 99999", "msg:Frequency can't be set to a value lower than 100 kHz."},
            {"", "Zov.Frequency = \"7050000\" : MsgBox Zov.Frequency", "freq 7050000|digits|box:7050000"},
            {"", "Zov.Frequency = \"abc\"", "#13@1"},
            {"", "On Error Resume Next\nZov.Frequency = 1\nMsgBox \"on\"", "msg:Frequency can't be set to a value "
                                                                            "lower than 100 kHz.|box:on"},
            // Mode: names compared exactly, the radio only while on-line.
            {"online", "Zov.Mode = \"CW\"", "mode CW|queue mode CW"},
            {"", "Zov.Mode = \"FSK-R\" : MsgBox Zov.Mode", "mode FSK-R|box:FSK-R"},
            {"online", "Zov.Mode = \"cw\"",
             "msg:Invalid value for mode: \"cw\".\n\nMode must be one of the following:\n" + modeList()},
            // Band: a caption of a key, or the list of all 32 captions.
            {"", "MsgBox Zov.Band : Zov.Band = \"40\" : MsgBox Zov.Band", "box:80|band 40|box:40"},
            {"", "Zov.Band = \"\"", "band "},
            {"", "Zov.Band = \"30\"",
             "msg:Invalid value for band: \"30\".\n\nBand must be one of the following:\n" + bandList},
            // The VFO keys; Split and Ptt only when the value differs.
            {"", "Zov.ToggleVfo : Zov.AlignVfo", "click vfo|click align"},
            {"", "Zov.Split = True", "key split down|click split"},
            {"split", "Zov.Split = True", ""},
            {"split", "Zov.Split = 0", "key split up|click split"},
            {"", "Zov.Split = 7 : MsgBox CInt(Zov.Split)", "key split down|click split|box:-1"},
            {"online", "Zov.Ptt = True", "key ptt down|click ptt"},
            {"online ptt", "Zov.Ptt = True", ""},
            {"ptt", "Zov.Ptt = False : MsgBox Zov.Ptt", "key ptt up|box:False"},
            // Readings: True is -1, the meter's value, the squelch from the indicator.
            {"", "MsgBox Zov.SMeter & \" \" & Zov.Squelch & \" \" & CInt(Zov.Squelch)", "box:42 True -1"},
            {"rx", "MsgBox Zov.Squelch", "box:False"},
            {"tx", "MsgBox Zov.Squelch", "box:False"},
            {"", "MsgBox Zov.Interrupted", "box:False"},
            {"stopped", "MsgBox Zov.Interrupted", "box:True"},
            {"", "Zov.Sleep 0 : Zov.Sleep -5", ""},
            // What a script may not do.
            {"", "Zov.SMeter = 5", "#438@1"},
            {"", "Zov.Sleep = 5", "#438@1"},
            {"", "Zov.ZoomTo 100000", "#450@1"},
            {"", "x = Zov.Frequency(1)", "#450@1"},
            {"", "Zov.Tune 1", "#438@1"},
            {"", "MsgBox TypeName(Zov)", "box:IZov"},
        };
        for (const auto &row : rows)
            QTest::newRow(row.script) << QString(row.state) << QString(row.script) << row.expected;
    }
    void members()
    {
        QFETCH(QString, state);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost window;
        setUp(window, state);
        QCOMPARE(run(window, script), expected);
    }

    // Interrupted handles the window's messages after taking its value:
    // a click seen there counts at the next reading.
    void interruptedKeepsTheWindowAlive()
    {
        FakeZovHost window;
        window.blinking = true;
        window.onEvents = [&] { window.blinking = false; };
        QCOMPARE(run(window, "a = Zov.Interrupted : b = Zov.Interrupted : MsgBox a & b"), QString("box:FalseTrue"));
        QCOMPARE(window.events, 2);
    }

    // Sleep waits on the window's messages until its time is up, and returns
    // at the first message that finds the script asked to stop.
    void sleepWaitsUntilItsTimeOrTheStop()
    {
        FakeZovHost window;
        window.blinking = true;
        window.waitStep = 100;
        TZov zov(window);
        zov.Sleep(300);
        QCOMPARE(window.clock, qint64(300));
        QCOMPARE(window.waits, QList<int>({300, 200, 100}));

        window.clock = 0;
        window.waits.clear();
        window.onEvents = [&] {
            if (window.clock >= 1000)
                window.blinking = false;
        };
        zov.Sleep(5000);
        QCOMPARE(window.clock, qint64(1000));
    }
};

TARNWICK_TEST_CLASS(TestZov)
#include "tst_zov.moc"
