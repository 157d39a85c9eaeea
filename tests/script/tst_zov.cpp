// The automation object Zov as scripts use it, against a faked window. Each
// row: the window's state, a script, and what it did to the window and
// showed ("|"-joined), then "#number@line" for a script error.

#include "common/TestEnvironment.h"
#include "script/ScriptEngine.h"
#include "script/Zov.h"
#include "script/ZovTestSupport.h"

#include <array>

namespace {

class BoxHost : public TScriptHost
{
public:
    explicit BoxHost(FakeZovHost &w) : w(w) {}
    int MsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        return w.ScriptMsgBox(prompt, buttons, title);
    }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }
    FakeZovHost &w;
};

QString run(FakeZovHost &window, const QString &script)
{
    BoxHost boxes(window);
    TScriptEngine engine(&boxes);
    engine.AddObject("Zov", std::make_shared<TZov>(window));
    const bool failed = engine.Execute(script) == TScriptStatus::Failed;
    return window.log.join(u'|')
        + (failed ? QString("#%1@%2").arg(engine.Error().Number).arg(engine.Error().Line) : QString());
}

} // namespace

class TestZov : public QObject
{
    Q_OBJECT
private slots:
    void members_data()
    {
        QTest::addColumn<QString>("state"); // words: online split ptt rx stopped
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const QString narrow = "msg:Scale must be at least 500 Hz wide.";
        const QString low = "msg:Scale can't start on a frequency lower than 100 kHz.";
        const QString modes = "LSB  USB  CW  CW-R  AM  WFM  FM  DIG  PKT  FSK  FSK-R  ";
        const QString bands = "160  80  40  20  " + QString("  ").repeated(28);
        const std::initializer_list<std::array<QString, 3>> rows = {
            {"", "Zov.ZoomTo 100000, 100500", "release bands|range 100000 100500"},
            {"", "Zov.ZoomTo 100000, 100499", narrow},
            {"", "Zov.ZoomTo 99999, 500000001", low},
            {"", "Zov.ZoomTo 100000, 500000001", "msg:Scale can't end on a frequency higher than 500 MHz."},
            {"", "Zov.ZoomTo 100000, -2147483648", narrow},
            {"", "Zov.Frequency = 500000000", "freq 500000000|digits"},
            {"online", "Zov.Frequency = 100000", "freq 100000|queue freq 100000|digits"},
            {"online", "Zov.Frequency = 500000001", "msg:Frequency can't be set to a value higher than 500 MHz."},
            {"online", "Zov.Frequency = 99999", "msg:Frequency can't be set to a value lower than 100 kHz."},
            {"", "Zov.Frequency = \"7050000\" : MsgBox Zov.Frequency", "freq 7050000|digits|box:7050000"},
            {"", "Zov.Frequency = \"abc\"", "#13@1"},
            {"", "Zov.Mode = \"cw\" : MsgBox 1", "msg:Invalid value for mode: \"cw\".\n\nMode must be one of the "
                                                 "following:\n" + modes + "|box:1"},
            {"online", "Zov.Mode = \"CW\"", "mode CW|queue mode CW"},
            {"", "Zov.Mode = \"FSK-R\" : MsgBox Zov.Mode", "mode FSK-R|box:FSK-R"},
            {"", "MsgBox Zov.Band : Zov.Band = \"40\" : MsgBox Zov.Band", "box:80|band 40|box:40"},
            {"", "Zov.Band = \"\"", "band "},
            {"", "Zov.Band = \"30\"", "msg:Invalid value for band: \"30\".\n\nBand must be one of the following:\n"
                                          + bands},
            {"", "Zov.ToggleVfo : Zov.AlignVfo", "vfo|align"},
            {"", "Zov.Split = True", "split on"},
            {"split", "Zov.Split = True : Zov.Split = 0", "split off"},
            {"", "Zov.Split = 7 : MsgBox CInt(Zov.Split)", "split on|box:-1"},
            {"online", "Zov.Ptt = True : Zov.Ptt = True", "ptt on"},
            {"ptt", "Zov.Ptt = False : MsgBox Zov.Ptt", "ptt shown off|box:False"},
            {"", "MsgBox Zov.SMeter & Zov.Squelch & CInt(Zov.Squelch) & Zov.Interrupted", "box:42True-1False"},
            {"rx stopped", "MsgBox Zov.Squelch & Zov.Interrupted", "box:FalseTrue"},
            {"", "Zov.Sleep 0 : Zov.Sleep -5", ""},
            {"", "Zov.SMeter = 5", "#438@1"},
            {"", "Zov.ZoomTo 100000", "#450@1"},
            {"", "x = Zov.Frequency(1)", "#450@1"},
            {"", "MsgBox TypeName(Zov)", "box:IZov"},
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(row[0] + ": " + row[1])) << row[0] << row[1] << row[2];
    }
    void members()
    {
        QFETCH(QString, state);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost window;
        window.connected = state.contains("online");
        window.split = state.contains("split");
        window.ptt = state.contains("ptt");
        window.blinking = !state.contains("stopped");
        window.indicator = state.contains("rx") ? "RX" : "SQL";
        window.meter = 42;
        QCOMPARE(run(window, script), expected);
        QCOMPARE(window.events, script.count("Interrupted"));
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
        window.onEvents = [&] { window.blinking = window.clock < 1000; };
        zov.Sleep(5000);
        QCOMPARE(window.clock, qint64(1000));
    }
};

TARNWICK_TEST_CLASS(TestZov)
#include "tst_zov.moc"
