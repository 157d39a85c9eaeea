#include "base/SystemQueries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QFileInfo>
#include <QNetworkInformation>
#include <QNetworkInterface>
#include <QOperatingSystemVersion>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/types.h>
#include <unistd.h>
#endif

QString WindowsNameFor(int platform, int major, int minor)
{
    if (platform == 1 && major == 4 && minor == 0)
        return QStringLiteral("Windows 95");
    if (platform == 1 && major == 4 && minor == 10)
        return QStringLiteral("Windows 98");
    if (platform == 1 && major == 4 && minor == 90)
        return QStringLiteral("Windows ME");
    if (major == 3 && minor == 51)
        return QStringLiteral("Windows NT 3.51");
    if (major == 4 && minor == 0)
        return QStringLiteral("Windows NT 4.0");
    if (major == 5 && minor == 0)
        return QStringLiteral("Windows 2000");
    if (major == 5 && minor == 1)
        return QStringLiteral("Windows XP");
    if (major == 6 && minor == 0)
        return QStringLiteral("Windows Vista");
    if (major == 6 && minor == 1)
        return QString();
    return QStringLiteral("Windows");
}

QString WindowsName()
{
#ifdef Q_OS_WIN
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    return WindowsNameFor(2, os.majorVersion(), os.minorVersion());
#else
    return QSysInfo::prettyProductName();
#endif
}

QString TrimSystemErrorText(const QString &message)
{
    QString text = message.left(256);
    while (!text.isEmpty()) {
        const QChar last = text.back();
        if (last.unicode() < 32 || last == ' ' || last == '.' || last.category() == QChar::Other_Control)
            text.chop(1);
        else
            break;
    }
    return text;
}

QString SystemErrorText(int code)
{
    return TrimSystemErrorText(qt_error_string(code));
}

qint64 StartProgram(const QString &commandLine, ShowMode mode)
{
    Q_UNUSED(mode);
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return 0;
    const QString program = parts.takeFirst();
    qint64 pid = 0;
    if (!QProcess::startDetached(program, parts, QString(), &pid))
        return 0;
    return pid > 0 ? pid : 0;
}

void CloseProgramWindows(qint64 processId)
{
    if (processId <= 0 || processId == QCoreApplication::applicationPid())
        return;
#ifdef Q_OS_UNIX
    const pid_t process = static_cast<pid_t>(processId);
    const pid_t group = getpgid(process);
    if (group > 1 && group == getsid(process) && group != getpgrp())
        ::kill(-group, SIGTERM);
    else
        ::kill(process, SIGTERM);
#endif
}

QString ProcessExecutable(qint64 processId)
{
#ifdef Q_OS_LINUX
    if (processId <= 0)
        return QString();
    // A finished process that was not reaped yet has no executable link.
    return QFileInfo(QStringLiteral("/proc/%1/exe").arg(processId)).symLinkTarget();
#else
    Q_UNUSED(processId);
    return QString();
#endif
}

StartedProcess RunningProcess(qint64 processId)
{
    if (processId <= 0)
        return {};
#ifdef Q_OS_LINUX
    // The fields after the command name, which is in brackets and may hold
    // blanks and brackets itself: state first, the start time 20th.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).simplified().split(' ');
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return {};
    return {processId, fields.at(19).toULongLong()};
#else
    return {processId, 0};
#endif
}

bool ProcessRuns(const StartedProcess &process)
{
    return process.Id > 0 && RunningProcess(process.Id) == process;
}

bool ProgramRunning(const QString &path, const QString &windowClass)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return FindWindowW(reinterpret_cast<LPCWSTR>(windowClass.utf16()), nullptr) != nullptr;
#else
    Q_UNUSED(windowClass);
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return false;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 id = entry.toLongLong(&number);
        if (number && ProcessExecutable(id) == wanted)
            return true;
    }
    return false;
#endif
}

namespace {

QString normalisedSwitch(const QString &text)
{
    QString normal = text.toUpper();
    if (normal.startsWith('/'))
        normal[0] = '-';
    return normal;
}

} // namespace

bool SwitchPresentIn(const QStringList &parameters, const QString &switchText)
{
    const QString wanted = normalisedSwitch(switchText);
    if (wanted.isEmpty())
        return false;
    for (const QString &parameter : parameters) {
        if (normalisedSwitch(parameter).startsWith(wanted))
            return true;
    }
    return false;
}

bool SwitchPresent(const QString &switchText)
{
    return SwitchPresentIn(QCoreApplication::arguments().mid(1), switchText);
}

bool IsCheckInternetMode(const QStringList &parameters)
{
    return parameters.size() == 1 && SwitchPresentIn(parameters, QStringLiteral("/CheckInternet"));
}

bool IsRegistrationMode(const QStringList &parameters)
{
    return SwitchPresentIn(parameters, QStringLiteral("/REGSERVER"))
        || SwitchPresentIn(parameters, QStringLiteral("/UNREGSERVER"));
}

QString FirstUnknownParameter(const QStringList &parameters)
{
    static const QStringList withValue = {QStringLiteral("--port"), QStringLiteral("--model"), QStringLiteral("--rigctld")};
    static const QStringList switches = {QStringLiteral("/CheckInternet"), QStringLiteral("/REGSERVER"),
                                         QStringLiteral("/UNREGSERVER")};
    for (int i = 0; i < parameters.size(); ++i) {
        const QString &parameter = parameters.at(i);
        if (withValue.contains(parameter)) {
            ++i; // its value
            continue;
        }
        const qsizetype equals = parameter.indexOf(u'=');
        const bool optionAndValue = equals > 0 && withValue.contains(parameter.left(equals));
        const bool knownSwitch = std::any_of(switches.begin(), switches.end(),
                                             [&](const QString &name) { return SwitchPresentIn({parameter}, name); });
        if (!optionAndValue && !knownSwitch)
            return parameter;
    }
    return QString();
}

QString CommandLineUsage()
{
    return QStringLiteral("Usage:\n"
                          "    tarnwick [--port DEVICE] [--model FT-817|FT-847|FT-857|FT-897] [--rigctld [ADDRESS:]PORT]\n"
                          "    tarnwick /CheckInternet\n"
                          "    tarnwick /REGSERVER | /UNREGSERVER\n"
                          "    tarnwick --help\n");
}

bool HasDefaultRoute(const QString &routeTable, const QStringList &upInterfaces)
{
    constexpr uint RouteUp = 0x1;
    const QStringList lines = routeTable.split('\n', Qt::SkipEmptyParts);
    for (int i = 1; i < lines.size(); ++i) { // the first line holds the column titles
        const QStringList fields = lines.at(i).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() < 4)
            continue;
        bool flagsOk = false;
        const uint flags = fields.at(3).toUInt(&flagsOk, 16);
        if (fields.at(1) == QLatin1String("00000000") && flagsOk && (flags & RouteUp)
            && upInterfaces.contains(fields.at(0)))
            return true;
    }
    return false;
}

namespace {

bool reachabilityKnown(QNetworkInformation::Reachability r)
{
    return r != QNetworkInformation::Reachability::Unknown;
}

bool onlineByRoutes()
{
    QStringList up;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if ((flags & QNetworkInterface::IsUp) && (flags & QNetworkInterface::IsRunning)
            && !(flags & QNetworkInterface::IsLoopBack))
            up << iface.name();
    }
    QFile routes(QStringLiteral("/proc/net/route"));
    if (!routes.open(QIODevice::ReadOnly))
        return false;
    return HasDefaultRoute(QString::fromLatin1(routes.readAll()), up);
}

} // namespace

bool IsOnline()
{
    if (QCoreApplication::instance()
        && QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        QNetworkInformation *info = QNetworkInformation::instance();
        // A backend may need a moment to learn the state from the system.
        QElapsedTimer waited;
        waited.start();
        while (info && !reachabilityKnown(info->reachability()) && waited.elapsed() < 1000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
        if (info && reachabilityKnown(info->reachability()))
            return info->reachability() == QNetworkInformation::Reachability::Online;
    }
    return onlineByRoutes();
}

int CheckInternetExitCode()
{
    return IsOnline() ? 1 : 0;
}

namespace {

// The values of "--option VALUE" and "--option=VALUE" for the given names, in
// the order given; an option without its value is described in a warning.
QList<QPair<QString, QString>> optionValues(const QStringList &parameters, const QStringList &names,
                                            QStringList *warnings)
{
    QList<QPair<QString, QString>> values;
    for (int i = 0; i < parameters.size(); ++i) {
        QString option = parameters.at(i);
        QString value;
        bool hasValue = false;
        const int eq = option.indexOf('=');
        if (option.startsWith(QLatin1String("--")) && eq > 0) {
            value = option.mid(eq + 1);
            option = option.left(eq);
            hasValue = true;
        }
        if (!names.contains(option))
            continue;
        if (!hasValue) {
            if (i + 1 >= parameters.size()) {
                if (warnings)
                    *warnings << QStringLiteral("%1 needs a value").arg(option);
                continue;
            }
            value = parameters.at(++i);
        }
        values.append({option, value});
    }
    return values;
}

} // namespace

SerialPresets ParseSerialPresets(const QStringList &parameters, const QStringList &models, QStringList *warnings)
{
    SerialPresets presets;
    const auto values = optionValues(parameters,
                                     {QStringLiteral("--port"), QStringLiteral("--model"), QStringLiteral("--hamlib"),
                                      QStringLiteral("--rigctl")},
                                     warnings);
    for (const auto &[option, value] : values) {
        if (option == QLatin1String("--port")) {
            presets.Port = value;
        } else if (option == QLatin1String("--hamlib")) {
            presets.Hamlib = value;
        } else if (option == QLatin1String("--rigctl")) {
            if (IsHostAndPort(value))
                presets.Rigctl = value;
            else if (warnings)
                *warnings << QStringLiteral("--rigctl \"%1\" is no HOST:PORT (for example 192.168.1.20:4532)").arg(value);
        } else {
            const QString model = value.toUpper();
            if (models.contains(model))
                presets.Model = model;
            else if (warnings)
                *warnings << QStringLiteral("unknown model \"%1\" (use %2 or %3)")
                                 .arg(value, models.mid(0, models.size() - 1).join(QStringLiteral(", ")),
                                      models.value(models.size() - 1));
        }
    }
    return presets;
}

bool SplitEndpoint(const QString &text, QString *address, quint16 *port)
{
    QString host = QStringLiteral("127.0.0.1");
    QString portText = text.trimmed();
    const int colon = portText.lastIndexOf(u':');
    if (colon >= 0) {
        host = portText.left(colon);
        portText = portText.mid(colon + 1);
        if (host.startsWith(u'[') && host.endsWith(u']'))
            host = host.mid(1, host.size() - 2);
        else if (host.contains(u':'))
            return false; // an IPv6 address needs its brackets
    }
    bool ok = false;
    const int number = portText.toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        return false;
    if (host != QLatin1String("localhost") && QHostAddress(host).isNull())
        return false;
    *address = host;
    *port = quint16(number);
    return true;
}

bool IsHostAndPort(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    const QString host = text.left(colon);
    bool ok = false;
    const int port = text.mid(colon + 1).toInt(&ok);
    const bool bracketed = host.startsWith(u'[') && host.endsWith(u']');
    return colon > 0 && ok && port >= 1 && port <= 65535 && !host.contains(u' ') && (bracketed || !host.contains(u':'));
}

RigctldEndpoint ParseRigctldEndpoint(const QStringList &parameters, QStringList *warnings)
{
    RigctldEndpoint endpoint;
    for (const auto &[option, value] : optionValues(parameters, {QStringLiteral("--rigctld")}, warnings)) {
        QString address;
        quint16 port = 0;
        if (!SplitEndpoint(value, &address, &port)) {
            if (warnings)
                *warnings << QStringLiteral("--rigctld \"%1\" is no [ADDRESS:]PORT (for example 4532 or 127.0.0.1:4532)")
                                 .arg(value);
            continue;
        }
        endpoint = {true, address, port};
    }
    return endpoint;
}
