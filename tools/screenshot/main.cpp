// Renders the main window, as a first run shows it, at its design size and at
// a narrow width into main-window.png and main-window-narrow.png; then with
// frequency markers in several rows into main-window-markers.png, and the
// "All Frequency Markers" window into all-markers.png; then connected to the
// radio emulator after a few range scans of the 40 m band with signals on it,
// the spectrograph filled, into main-window-scan.png; last driving Hamlib's
// dummy radio, into main-window-hamlib.png.
//
//   tarnwick-screenshot [OUTPUT_FOLDER]      (default: the current folder)
//
// Settings, data and program folders point into a temporary folder, so the
// operator's own settings and files are neither read nor written.

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "cat/CatEngine.h"
#include "cat/RigProcess.h"
#include "controls/RadioScale.h"
#include "data/AllFqMarkersDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerOps.h"
#include "scan/ScanProperties.h"

#include <QComboBox>
#include <QTabWidget>
#include <QToolButton>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

void pointInto(const QTemporaryDir &sandbox)
{
    const auto folder = [&sandbox](const QString &sub) {
        const QString path = sandbox.path() + QLatin1Char('/') + sub;
        QDir().mkpath(path);
        return path.toLocal8Bit();
    };
    qputenv("HOME", folder(QStringLiteral("home")));
    qputenv("XDG_CONFIG_HOME", folder(QStringLiteral("config")));
    qputenv("XDG_DATA_HOME", folder(QStringLiteral("data")));
    qputenv("XDG_CACHE_HOME", folder(QStringLiteral("cache")));
    qputenv("XDG_DESKTOP_DIR", folder(QStringLiteral("home/Desktop")));
    qputenv("TARNWICK_PROGRAM_DIR", folder(QStringLiteral("program")));
    const QByteArray runtime = folder(QStringLiteral("runtime"));
    QFile::setPermissions(QString::fromLocal8Bit(runtime),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime);
}

bool render(TTarnwickFrm &window, const QSize &size, const QString &file)
{
    window.resize(size);
    QCoreApplication::processEvents();
    window.RadioScale->FinishAnimation();
    QTest::qWait(50);
    const QPixmap picture = window.grab();
    if (!picture.save(file, "PNG")) {
        std::fprintf(stderr, "tarnwick-screenshot: can't write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
    return true;
}

// Connects to the emulator, switches to 40 m and scans it three times in
// 500 Hz steps while one signal fades and another comes up, so that the
// spectrograph shows its layers. The scan timer and the poll are driven here
// tick by tick, each tick's answer waited for (it comes from the link's thread).
bool scanTheBand(TTarnwickFrm &window, RigProcess &rig)
{
    window.SetCommandLineSerial({rig.path(), QStringLiteral("FT-817")});
    TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
    window.CatEngine->SetManualTimers(true);
    window.CatBtn->click();
    if (!QTest::qWaitFor([&window] { return window.IsConnected(); }, 5000))
        return false;
    auto poll = [&window](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            window.MainTmrTimer();
            if (!QTest::qWaitFor([&window] { return window.CatEngine->Idle(); }, 2000))
                return;
        }
    };
    for (int i = 0; i < 50 && window.StatusText() != QLatin1String("Connected to TCVR."); ++i)
        poll(1);
    if (!window.IsConnected())
        return false;
    window.BandButtons.at(3)->click(); // "7"
    window.ScanPropertiesRunner = [](TScanPropertiesFrm &f) {
        f.PageControl1->setCurrentIndex(0);
        f.FreqStepCBx->setCurrentText(QStringLiteral("500"));
        return true;
    };
    window.ScanBtn->click();
    window.ScanTmr->start(3600000); // running, but stepped by hand below
    const int steps = (window.RadioScale->ScaleEnd() - window.RadioScale->ScaleBegin()) / 500;
    const char *const sweeps[][2] = {{"signal add 7074000:14:2500", "signal add 7160000:5:8000"},
                                     {"signal add 7074000:11:2500", "signal add 7160000:8:8000"},
                                     {"signal add 7074000:8:2500", "signal add 7160000:11:8000"}};
    for (const auto &sweep : sweeps) {
        for (const char *line : sweep)
            rig.control(QString::fromLatin1(line));
        for (int i = 0; i < steps; ++i) {
            window.ScanTmrTimer();
            poll(10); // the tune, then enough readings for the meter to settle
        }
    }
    window.StopScan();
    window.CatEngine->SetManualTimers(false);
    QCoreApplication::processEvents();
    return true;
}

// Connected to Hamlib's dummy radio (in this process) and tuned to FT8 on
// 20 m from the window: the keys of the modes it lacks (DIG, PKT) are off.
bool driveTheDummy(TTarnwickFrm &window)
{
    window.CatBtn->click(); // off the emulator
    window.SetCommandLineSerial({QString(), QString(), QStringLiteral("1")});
    window.CatBtn->click();
    if (!QTest::qWaitFor([&] { return window.StatusText() == QLatin1String("Connected to TCVR."); }, 10000))
        return false;
    window.UsbBtn->click();
    window.TuneRadio(14074000, true);
    QTest::qWait(1500); // the meter settles on the dummy's noise
    return window.ScaleFrequency() == 14074000 && window.UsbBtn->isChecked();
}

// Markers of an evening on 80 m: close ones stack in rows, one is temporary
// (blue), one highlighted by a companion program (red).
void addMarkers(TTarnwickFrm &window)
{
    const char *const lines[] = {
        "3505000\tDX window\tCW\t1\tCHANNEL\t\t0\t0",
        "3510000\tQRP\tCW\t1\tCHANNEL\t\t0\t0",
        "3520000\tOK1RR\tCW\t1\tBEACON\t\t0\t0",
        "3525000\tDL0ABC\tCW\t1\tBEACON\tevery 10 minutes\t0\t0",
        "3528000\tSKCC\tCW\t1\tGROUP\t\t0\t0",
        "3560000\tQRS net\tCW\t1\tGROUP\tslow CW~Tuesdays\t0\t0",
        "3573000\tFT8\tUSB\t1\tCHANNEL\t\t0\t0",
        "3575000\tFT4\tUSB\t1\tCHANNEL\t\t0\t0",
        "3580000\tPSK31\tUSB\t1\tCHANNEL\t\t0\t0",
        "3582000\tRTTY contest\tFSK\t0\tCHANNEL\t\t0\t0",
        "3630000\tDV\tUSB\t1\tCHANNEL\t\t0\t0",
        "3690000\tQRP SSB\tLSB\t1\tCHANNEL\t\t0\t0",
        "3699000\tRegional net\tLSB\t1\tGROUP\tSundays 09:00\t0\t0",
        "3705000\tEmergency\tLSB\t1\tCHANNEL\t\t0\t0",
        "3760000\tSSTV\tLSB\t1\tCHANNEL\t\t0\t0",
        "3765000\tFAX\tLSB\t1\tBROADCAST\t\t0\t0",
        "3790000\tDX SSB\tLSB\t1\tCHANNEL\t\t0\t0",
    };
    for (const char *line : lines) {
        TFqMarker marker;
        ParseMarkerLine(QString::fromUtf8(line), marker);
        marker.Highlighted = QString::fromUtf8(line).contains(QStringLiteral("DL0ABC"));
        window.FqMarkers->AddOrReplaceMarker(marker);
    }
    window.RadioScale->SetFrequency(3573000);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "tarnwick-screenshot: can't create a temporary folder\n");
        return 1;
    }
    pointInto(sandbox);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Tarnwick"));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    // A first run tells about the missing data files; nobody is there to read it.
    SetInformationAnswerer([](QWidget *, const QString &) {});
    SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });

    // Off-line, as after a session that ended disconnected: no serial dialog.
    WriteSetting(QStringLiteral("Connected"), QStringLiteral("0"));

    TTarnwickFrm window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "tarnwick-screenshot: the window was never shown\n");
        return 1;
    }
    window.FormActivate();

    const QDir out(folder);
    const bool ok = render(window, QSize(TTarnwickFrm::DesignWidth, TTarnwickFrm::DesignHeight),
                           out.filePath(QStringLiteral("main-window.png")))
        && render(window, QSize(480, TTarnwickFrm::DesignHeight), out.filePath(QStringLiteral("main-window-narrow.png")));
    if (!ok) {
        window.close();
        return 1;
    }

    addMarkers(window);
    bool markersOk = render(window, QSize(TTarnwickFrm::DesignWidth, TTarnwickFrm::DesignHeight),
                            out.filePath(QStringLiteral("main-window-markers.png")));
    window.FqMarkers->SetDialogRunner([&](QDialog &dialog) {
        auto &list = static_cast<TAllFqMarkersFrm &>(dialog);
        list.resize(760, 330);
        list.show();
        QTest::qWait(50);
        const QPixmap picture = list.grab();
        const QString file = out.filePath(QStringLiteral("all-markers.png"));
        markersOk = markersOk && picture.save(file, "PNG");
        std::printf("%s (%dx%d)\n", qPrintable(file), picture.width(), picture.height());
        list.hide();
        return int(QDialog::Rejected);
    });
    window.AllFreqMarkersMnu->trigger();

    RigProcess rig({QStringLiteral("--speed"), QStringLiteral("115200"), QStringLiteral("--delay"), QStringLiteral("0"),
                    QStringLiteral("--smeter"), QStringLiteral("1"), QStringLiteral("--squelch-level"), QStringLiteral("3"),
                    QStringLiteral("--signal"), QStringLiteral("7012000:9:3000"), QStringLiteral("--signal"),
                    QStringLiteral("7030000:13:1500"), QStringLiteral("--signal"), QStringLiteral("7110000:6:20000")});
    if (!rig.ok() || !scanTheBand(window, rig)) {
        std::fprintf(stderr, "tarnwick-screenshot: the scan against the radio emulator did not run\n");
        window.close();
        return 1;
    }
    const bool scanned = render(window, QSize(TTarnwickFrm::DesignWidth, TTarnwickFrm::DesignHeight),
                                out.filePath(QStringLiteral("main-window-scan.png")));
    const bool hamlib = driveTheDummy(window)
        && render(window, QSize(TTarnwickFrm::DesignWidth, TTarnwickFrm::DesignHeight),
                  out.filePath(QStringLiteral("main-window-hamlib.png")));
    if (!hamlib)
        std::fprintf(stderr, "tarnwick-screenshot: the window did not drive Hamlib's dummy radio\n");
    window.close();
    return scanned && markersOk && hamlib ? 0 : 1;
}
