// Renders the main window, as a first run shows it, at its design size and at
// a narrow width into main-window.png and main-window-narrow.png.
//
//   tarnwick-screenshot [OUTPUT_FOLDER]      (default: the current folder)
//
// Settings, data and program folders point into a temporary folder, so the
// operator's own settings and files are neither read nor written.

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "controls/RadioScale.h"

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
    window.close();
    return ok ? 0 : 1;
}
