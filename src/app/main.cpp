#include "base/Folders.h"
#include "app/Main.h"
#include "base/ShutdownSignals.h"
#include "base/SystemQueries.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

QStringList parametersOf(int argc, char *argv[])
{
    QStringList parameters;
    for (int i = 1; i < argc; ++i)
        parameters << QString::fromLocal8Bit(argv[i]);
    return parameters;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList parameters = parametersOf(argc, argv);
    if (IsCheckInternetMode(parameters)) {
        QCoreApplication app(argc, argv);
        return CheckInternetExitCode();
    }
    // The automation class is not registered with the system yet, so the
    // registration runs have nothing to do and end at once.
    if (IsRegistrationMode(parameters))
        return 0;

    QApplication app(argc, argv);
    app.setApplicationName(ApplicationTitle());
    app.setApplicationVersion(FileVersionText());

    QStringList warnings;
    const SerialPresets presets = ParseSerialPresets(parameters, &warnings);
    for (const QString &warning : std::as_const(warnings))
        std::fprintf(stderr, "%s: %s\n", qPrintable(ExecutableBaseName()), qPrintable(warning));

    // Installed before the window exists: creating it may already wait in a
    // box (the band plan missing on a first run), and a SIGTERM then must
    // still end the program with its settings saved. Boxes that open while
    // the program goes down are closed as they appear.
    ShutdownSignals shutdownSignals;
    TTarnwickFrm *mainWindow = nullptr;
    bool shutdownRequested = false;
    QTimer modalCloser;
    modalCloser.setInterval(50);
    QObject::connect(&modalCloser, &QTimer::timeout, &CloseModalWidgets);
    QObject::connect(&shutdownSignals, &ShutdownSignals::ShutdownRequested, &app, [&] {
        shutdownRequested = true;
        CloseModalWidgets();
        modalCloser.start();
        if (mainWindow)
            QTimer::singleShot(0, mainWindow, [&] { mainWindow->CloseForShutdown(); });
    });

    TTarnwickFrm window;
    mainWindow = &window;
    window.SetCommandLineSerial(presets);
    if (shutdownRequested) {
        window.FormClose();
        return 0;
    }
    // A session that ends without closing the window still saves it.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.FormClose(); });
    window.show();
    return app.exec();
}
