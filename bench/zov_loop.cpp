// Statements per second of PROG scripts calling the Zov object: through the
// object alone (a window that does nothing), and run from a PROG key of the
// real main window (offscreen, off-line), where every Zov.Frequency moves the
// scale and the digital display and the window handles its messages every
// 20 ms; a plain arithmetic loop run the same way for comparison.
// Everything the window reads and writes goes to a temporary sandbox.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_zov_loop [iterations]

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "common/TestEnvironment.h"
#include "script/EditScript.h"
#include "script/ScriptDialogs.h"
#include "script/ScriptEngine.h"
#include "script/Zov.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>

namespace {

class IdleWindow : public TZovHost
{
public:
    qint32 frequency = 3550000;
    qint32 ScaleFrequency() const override { return frequency; }
    void SetScaleFrequency(qint32 f) override { frequency = f; }
    void SetScaleRange(qint32, qint32) override {}
    void UpdateDigitalDisplay() override {}
    QString PressedMode() const override { return QStringLiteral("USB"); }
    void PressModeKey(const QString &) override {}
    QStringList BandCaptions() const override { return {}; }
    QString PressedBand() const override { return {}; }
    void ReleaseBandKeys() override {}
    void SelectBand(const QString &) override {}
    bool IsConnected() const override { return false; }
    void QueueModeCommand(const QString &) override {}
    void QueueFrequencyCommand(qint32) override {}
    bool SplitOn() const override { return false; }
    bool PttOn() const override { return false; }
    void ToggleVfo() override {}
    void AlignVfo() override {}
    void SetSplit(bool) override {}
    void SetPtt(bool, const TPttHolder &) override {}
    void ShowPtt(bool) override {}
    int MeterValue() const override { return 0; }
    QString ReceiveIndicator() const override { return QStringLiteral("SQL"); }
    bool ScriptActive() const override { return true; }
    void ProcessEvents() override {}
    void WaitForEvents(int) override {}
    qint64 TickCount() const override { return 0; }
    void ShowMessage(const QString &) override {}
};

class QuietHost : public TScriptHost
{
public:
    int MsgBox(const QString &, int, const QString &) override { return 1; }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return {}; }
};

QString frequencyLoop(long n)
{
    return QStringLiteral("For i = 1 To %1\n Zov.Frequency = 7000000 + (i Mod 100000)\n f = Zov.Frequency\nNext").arg(n);
}

// Runs Script from the PROG 1 key; seconds.
double runFromKey(TTarnwickFrm &window, const QString &script)
{
    window.EditScriptRunner = [&](TEditScriptFrm &editor) {
        editor.SetScriptText(script);
        return true;
    };
    QElapsedTimer timer;
    timer.start();
    window.Prog1Btn->click();
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    testenv::prepareTestEnvironment();
    QApplication app(argc, argv);
    const long n = argc > 1 ? std::atol(argv[1]) : 1000000;

    {
        IdleWindow window;
        QuietHost host;
        TScriptEngine engine(&host);
        engine.AddObject(QStringLiteral("Zov"), std::make_shared<TZov>(window));
        QElapsedTimer timer;
        timer.start();
        if (engine.Execute(frequencyLoop(n)) != TScriptStatus::Completed) {
            std::fprintf(stderr, "script failed: %s\n", qPrintable(engine.Error().FullDescription()));
            return 1;
        }
        const double s = timer.nsecsElapsed() / 1e9;
        std::printf("Zov.Frequency written and read, object alone: %ld turns in %.3f s: "
                    "%.2f M statements (member calls)/s\n",
                    n, s, 2.0 * n / s / 1e6);
    }

    // The first run shows boxes about the missing band plan; nobody reads them.
    SetInformationAnswerer([](QWidget *, const QString &) {});
    SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    SetScriptMsgBoxAnswerer([](const QString &, int, const QString &) { return 1; });
    TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return false; });
    TTarnwickFrm window;
    window.show();
    window.FormActivate();
    QCoreApplication::processEvents();

    const double arithmetic = runFromKey(window, QStringLiteral("For i = 1 To %1\n x = x + 1\n y = x * 2\n z = y - x\n"
                                                                " w = z Mod 7\nNext").arg(n));
    std::printf("arithmetic loop from a PROG key: %ld turns, %ld assignments in %.3f s: %.2f M statements/s\n", n,
                4 * n, arithmetic, 4.0 * n / arithmetic / 1e6);
    const long m = n / 10;
    const double calls = runFromKey(window, frequencyLoop(m));
    std::printf("Zov.Frequency written and read from a PROG key, real window: %ld turns in %.3f s: "
                "%.0f statements (member calls)/s (last frequency %d)\n",
                m, calls, 2.0 * m / calls, window.ScaleFrequency());
    window.close();
    return 0;
}
