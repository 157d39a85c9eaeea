// A big marker file, as operators import them (repeater directories,
// broadcast schedules): start-up load onto the scale, a save, the "All
// Frequency Markers" window opening and scrolling, its rebuild of the scale
// on close, and a scale repaint with the markers of one band in view.
// Usage: bench_markers [markers]   (default 100000; runs offscreen)

#include "controls/RadioScale.h"
#include "data/AllFqMarkersDialog.h"
#include "data/FqMarkerOps.h"
#include "data/FqMarkerRows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWindow>

#include <cstdio>

namespace {

class NoHost : public TFqMarkersHost
{
public:
    QString PressedMode() const override { return QStringLiteral("USB"); }
    void PressModeButton(const QString &) override {}
    bool IsConnected() const override { return false; }
    void FqMarkerClick(int) override {}
    void QueueModeCommand(const QString &) override {}
    void QueueFrequencyCommand(qint32) override {}
    void SetTones(int, int) override {}
    bool ScanRunning() const override { return false; }
    void StopScan() override {}
    bool PreferUpperCaseChecked() const override { return false; }
};

// A hand-made import of Count markers in no order: 2 % on the 20 m band, 5 %
// on the 2 m band (a repeater directory, many stations per channel), the
// rest spread over 0.1 ... 470 MHz.
QByteArray makeFile(int count)
{
    QByteArray file = "; It is highly recommended that you don't edit this file.\r\n";
    file.reserve(count * 70);
    quint32 seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < count; ++i) {
        qint64 hz = 0;
        const int kind = i % 100;
        if (kind < 93)
            hz = 100000 + qint64(next() % 470000000u);
        else if (kind < 95)
            hz = 14000000 + qint64(next() % 350000u);
        else
            hz = 144000000 + qint64(next() % 160u) * 12500;
        file += QByteArray::number(hz) + "\tST" + QByteArray::number(i) + (kind < 95 ? "\tUSB\t1\tBROADCAST\t" : "\tFM\t1\tREPEATER-CHANNEL\t")
            + "imported entry " + QByteArray::number(i) + "~second line\t" + (kind < 95 ? "0\t0" : "885\t885") + "\r\n";
    }
    return file;
}

// Painting waits until the platform has exposed the window.
void waitExposed(QWidget &widget)
{
    QElapsedTimer t;
    t.start();
    while ((!widget.windowHandle() || !widget.windowHandle()->isExposed()) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double repaintMs(TRadioScale &scale, qint32 begin, qint32 end, int *inView)
{
    scale.SetRange(begin, end);
    scale.FinishAnimation();
    scale.repaint();
    *inView = 0;
    for (const TFqMarker *m : scale.Markers)
        *inView += (m->Frequency >= begin && m->Frequency <= end) ? 1 : 0;
    const int rounds = 10;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        scale.repaint();
    return msSince(t) / rounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir folder;
    qputenv("TARNWICK_PROGRAM_DIR", folder.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (folder.path() + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (folder.path() + "/config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;

    const QByteArray bytes = makeFile(count);
    QFile out(folder.path() + "/FqMarkers.tsv");
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
        return 1;
    out.close();

    QWidget window;
    window.resize(800, 160);
    TRadioScale scale(&window);
    scale.setGeometry(0, 0, 800, 110);
    scale.SetAnimateScale(false);
    scale.SetSliderVisible(true);
    window.show();
    waitExposed(window);
    NoHost host;
    TFqMarkerOps ops(scale, host, &window);

    QElapsedTimer t;
    t.start();
    ops.LoadMarkers();
    const double loadMs = msSince(t);
    scale.VisibleGroups = QStringList({"BROADCAST", "REPEATER"});

    t.restart();
    ops.Store().MarkersChanged();
    const bool saved = ops.Store().SaveNow();
    const double saveMs = msSince(t);

    // The list: opened (rows made, first row chosen, shown and painted),
    // scrolled page by page, closed (the scale rebuilt from the rows).
    double openMs = 0;
    double pageMs = 0;
    int pages = 0;
    ops.SetDialogRunner([&](QDialog &dialog) {
        auto &list = static_cast<TAllFqMarkersFrm &>(dialog);
        list.show();
        waitExposed(list);
        list.MarkersLBx->viewport()->repaint();
        openMs = msSince(t);
        QScrollBar *bar = list.MarkersLBx->verticalScrollBar();
        QElapsedTimer scroll;
        scroll.start();
        for (int value = 0; value <= bar->maximum() && pages < 400; value += qMax(1, bar->pageStep()), ++pages) {
            bar->setValue(value);
            list.MarkersLBx->viewport()->repaint();
        }
        pageMs = msSince(scroll) / qMax(1, pages);
        list.hide();
        t.restart();
        return int(QDialog::Accepted);
    });
    t.restart();
    ops.AllFreqMarkersMnuClick();
    const double rebuildMs = msSince(t);

    int inTwenty = 0;
    int inTwo = 0;
    const double twentyMs = repaintMs(scale, 14000000, 14350000, &inTwenty);
    const double twoMs = repaintMs(scale, 144000000, 146000000, &inTwo);

    std::printf("%d markers (%lld bytes)\n", int(scale.Markers.size()), static_cast<long long>(bytes.size()));
    std::printf("  start-up load onto the scale   %8.1f ms\n", loadMs);
    std::printf("  save (format + QSaveFile)      %8.1f ms%s\n", saveMs, saved ? "" : "  FAILED");
    std::printf("  marker list open and painted   %8.1f ms\n", openMs);
    std::printf("  marker list scroll, per page   %8.2f ms (%d pages)\n", pageMs, pages);
    std::printf("  marker list close (rebuild)    %8.1f ms\n", rebuildMs);
    std::printf("  scale repaint, 20 m in view    %8.2f ms (%d markers in range)\n", twentyMs, inTwenty);
    std::printf("  scale repaint, 2 m in view     %8.2f ms (%d markers in range)\n", twoMs, inTwo);
    return 0;
}
