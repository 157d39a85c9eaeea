#include "base/Folders.h"
#include "app/Main.h"
#include "cat/HamlibModels.h"
#include "cat/TcvrTypes.h"
#include "base/ShutdownSignals.h"
#include "base/SystemQueries.h"
#include "remote/DBusActivation.h"
#include "remote/TcpStream.h"

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
    // Before anything is read or written: "--help" and an option the
    // program does not know end it with the usage.
    const QString unknown = FirstUnknownParameter(parameters);
    if (!unknown.isEmpty()) {
        const bool help = unknown == QLatin1String("--help");
        if (!help)
            std::fprintf(stderr, "%s: unknown option \"%s\"\n", argv[0], qPrintable(unknown));
        std::fputs(qPrintable(CommandLineUsage()), help ? stdout : stderr);
        return help ? 0 : 2;
    }
    if (IsCheckInternetMode(parameters)) {
        QCoreApplication app(argc, argv);
        return CheckInternetExitCode();
    }
    // The registration runs write or remove the file through which the
    // session bus starts the program for a client of the Zov object, and end.
    if (IsRegistrationMode(parameters)) {
        QCoreApplication app(argc, argv);
        const QString error = SwitchPresentIn(parameters, QStringLiteral("/UNREGSERVER"))
            ? UnregisterZovActivation()
            : RegisterZovActivation(QCoreApplication::applicationFilePath());
        if (error.isEmpty())
            return 0;
        std::fprintf(stderr, "%s: %s\n", qPrintable(ExecutableBaseName()), qPrintable(error));
        return 1;
    }

    // Every client of the command server takes a descriptor.
    RaiseOpenFileLimit();
    QApplication app(argc, argv);
    app.setApplicationName(ApplicationTitle());
    app.setApplicationVersion(FileVersionText());

    QStringList warnings;
    const SerialPresets presets = ParseSerialPresets(parameters, TcvrModelNames(), &warnings);
    if (!presets.Hamlib.isEmpty() && FindHamlibModel(presets.Hamlib) == 0)
        warnings << QStringLiteral("no Hamlib model \"%1\" (rigctl -l lists them by number)").arg(presets.Hamlib);
    const RigctldEndpoint rigctld = ParseRigctldEndpoint(parameters, &warnings);
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

    // Like the registration run, every start keeps the session bus's
    // activation file up to date (the program may have moved).
    RegisterZovActivation(QCoreApplication::applicationFilePath());

    TTarnwickFrm window;
    mainWindow = &window;
    window.SetCommandLineSerial(presets);
    window.SetCommandLineRigctld(rigctld);
    if (shutdownRequested) {
        window.FormClose();
        return 0;
    }
    // A session that ends without closing the window still saves it.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&window] { window.FormClose(); });
    // Other programs reach the Zov object on the session bus while the
    // window runs; without a bus the program runs as ever.
    window.StartAutomation();
    window.show();
    return app.exec();
}
