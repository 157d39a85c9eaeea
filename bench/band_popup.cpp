// Opening the "All bands" popup of a large band plan: the first opening, a
// second one with the same plan and pressed key, one after another key was
// pressed, and one after the plan changed.
// Usage: bench_band_popup [bands]   (default 100000)

#include "data/BandKeys.h"
#include "data/Bands.h"
#include "data/Modes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QToolButton>

#include <cstdio>

namespace {

// Only what opening the popup touches does anything.
class QuietHost : public TBandKeysHost
{
public:
    void ClearBands() override {}
    void AddBand(qint32, qint32, const QString &, const QString &, qint32) override {}
    int FindBand(qint32) const override { return -1; }
    TBand *Band(int) override { return nullptr; }
    void SelectBand(int) override {}
    void SetRange(qint32, qint32) override {}
    qint32 ScaleBegin() const override { return 3500000; }
    qint32 ScaleEnd() const override { return 3800000; }
    qint32 Frequency() const override { return 3550000; }
    void SetFrequency(qint32) override {}
    void ClearModes() override {}
    void AddMode(qint32, qint32, const QString &, quint32, const QString &) override {}
    void RepaintScale() override {}
    QString PressedMode() const override { return QString(); }
    void PressModeButton(const QString &) override {}
    void StopScan() override {}
    bool IsConnected() const override { return false; }
    void QueueModeCommand(const QString &) override {}
    void QueueFrequencyCommand(qint32) override {}
    bool RestartSpectrographChecked() const override { return false; }
    void RestartSpectrograph() override {}
    bool SpectrographInFrequencyMode() const override { return false; }
    void SetSpectrographRange(qint32, qint32) override {}
    void UpdateDigitalDisplay() override {}
};

// Opens the popup as a right click on a band key does, lets it lay itself
// out and show, and closes it again.
double openMs(QMenu &popup)
{
    QElapsedTimer t;
    t.start();
    popup.popup(QPoint(10, 10));
    QCoreApplication::processEvents();
    popup.hide();
    QCoreApplication::processEvents();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 100000;

    TBandPlan plan;
    for (int i = 0; i < count; ++i)
        plan.Append(i < 32, QString("B%1\t%2\t%3\t%4\tCW\tBand %1").arg(i).arg(100 + i).arg(101 + i).arg(100 + i));
    TModeSegments segments;
    QuietHost host;
    QWidget panel;
    QList<QAbstractButton *> keys;
    for (int k = 0; k < 32; ++k)
        keys.append(new QToolButton(&panel));
    QMenu popup;
    TBandKeys bandKeys(plan, segments, host, keys, &popup);
    bandKeys.ApplyBandPlan();
    bandKeys.PressButton(3);

    std::printf("%d bands in the plan\n", count);
    std::printf("%-36s %12.1f ms\n", "first opening", openMs(popup));
    std::printf("%-36s %12.1f ms\n", "second opening, nothing changed", openMs(popup));
    bandKeys.PressButton(7);
    std::printf("%-36s %12.1f ms\n", "after another key was pressed", openMs(popup));
    plan.SetText(5, "X5\t105\t106\t105\tCW\tchanged");
    std::printf("%-36s %12.1f ms\n", "after the plan changed", openMs(popup));
    return 0;
}
