#include "app/Folders.h"
#include "app/Main.h"
#include "app/ShutdownSignals.h"
#include "app/SystemQueries.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

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

    TTarnwickFrm window;
    window.SetCommandLineSerial(presets);
    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::ShutdownRequested, &window, [&window] { window.close(); });
    // A session that ends without closing the window still saves it.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.FormClose(); });
    window.show();
    return app.exec();
}
