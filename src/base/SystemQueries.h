#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Queries about the machine and other programs that several parts of the
// program share. None of them keeps state or raises errors.

// The name of the running operating system. On Windows it follows the
// classic version table; elsewhere it is the system's own product name.
QString WindowsName();

// The classic table: platform 1 is the 9x family, 2 the NT family.
// Exposed so that the table can be checked on any system.
QString WindowsNameFor(int platform, int major, int minor);

// The system's message for an error code, without trailing blanks, full
// stops and control characters.
QString SystemErrorText(int code);
// The trimming rule on its own (message cut to 256 characters first).
QString TrimSystemErrorText(const QString &message);

// Show modes for StartProgram. Linux window managers decide on their own,
// so the mode is a wish that only Windows honours.
enum class ShowMode { Normal, Minimized };

// Starts a command line as a detached process. Returns its process id, or 0
// when it could not be started.
qint64 StartProgram(const QString &commandLine, ShowMode mode = ShowMode::Normal);

// Asks the windows of a process started by StartProgram to close (a polite
// terminate request). Such a process runs in a session of its own: the
// request goes to its whole process group, so that a wrapper script and the
// program it runs end together. Ids of 0 or below and the program's own id
// are ignored.
void CloseProgramWindows(qint64 processId);

// The full path of the file a running process was started from, empty when
// there is no such process (or a finished one) or it cannot be looked into.
// Known on Linux only (empty elsewhere).
QString ProcessExecutable(qint64 processId);

// A process told apart from any later process that is given the same id:
// its id and its start time (clock ticks after boot). Start times are known
// on Linux only; elsewhere they are 0 and the id alone counts.
struct StartedProcess
{
    qint64 Id = 0;
    quint64 StartTime = 0;
    bool operator==(const StartedProcess &) const = default;
};
// The process that runs under the id now; an empty one when none runs (a
// finished process that was not reaped yet does not run).
StartedProcess RunningProcess(qint64 processId);
// Whether the very process still runs.
bool ProcessRuns(const StartedProcess &process);

// Whether another program already runs: on Windows, a top-level window of
// windowClass exists; elsewhere a process of this user was started from the
// executable at path.
bool ProgramRunning(const QString &path, const QString &windowClass);

// True when one of the parameters (the program name excluded) carries the
// switch: a leading "/" counts as "-", letter case is ignored, and a longer
// parameter that begins with the switch matches too.
bool SwitchPresent(const QString &switchText);
bool SwitchPresentIn(const QStringList &parameters, const QString &switchText);

// The on-line query mode: exactly one parameter, and it is "/CheckInternet".
bool IsCheckInternetMode(const QStringList &parameters);
// Registration switches of the automation class ("/REGSERVER", "/UNREGSERVER").
bool IsRegistrationMode(const QStringList &parameters);

// The first parameter that is none of the program's options or switches
// ("--port", "--model" and "--rigctld" with their values, "/CheckInternet",
// "/REGSERVER", "/UNREGSERVER"); "--help" is none either. Empty when every
// parameter is known.
QString FirstUnknownParameter(const QStringList &parameters);
// The lines of the command line's usage, each ended by a line break.
QString CommandLineUsage();

// Whether the computer is on-line. Uses the system's network information
// where a backend exists, else looks for an interface that is up, not the
// loopback, and carries the default route.
bool IsOnline();
// The fallback rule on its own: routeTable is the text of /proc/net/route,
// upInterfaces the names of interfaces that are up and not loopback.
bool HasDefaultRoute(const QString &routeTable, const QStringList &upInterfaces);
// The exit code of the on-line query mode: 1 on-line, 0 off-line.
int CheckInternetExitCode();

// "--port DEVICE" and "--model NAME" preset the serial dialog; so do
// "--hamlib MODEL" (a radio through Hamlib on the port) and "--rigctl
// HOST:PORT" (a radio served by rigctld).
struct SerialPresets
{
    QString Port;  // empty: keep the dialog's own choice
    QString Model; // one of the model names the caller accepts; empty: keep
    QString Hamlib = {}; // a Hamlib model's number or name, as given
    QString Rigctl = {}; // HOST:PORT of a rigctld
};
// Reads these options from the parameters (program name excluded). Unknown
// models, addresses that are no HOST:PORT and options without a value are
// described in warnings and ignored (a Hamlib model is looked up by the caller).
SerialPresets ParseSerialPresets(const QStringList &parameters, const QStringList &models,
                                 QStringList *warnings = nullptr);

// "--rigctld [ADDRESS:]PORT" switches the rigctld endpoint on for Hamlib
// programs (WSJT-X, fldigi...). The address is 127.0.0.1 when none is given;
// IPv6 addresses go in brackets ("[::1]:4532").
struct RigctldEndpoint
{
    bool Given = false;
    QString Address;
    quint16 Port = 0;
};
// Reads the option from the parameters (program name excluded); a value that
// is no endpoint is described in a warning and ignored.
RigctldEndpoint ParseRigctldEndpoint(const QStringList &parameters, QStringList *warnings = nullptr);
// The rule for one value; false when the text is not "[ADDRESS:]PORT" with a
// port from 1 to 65535 and an IP address (or "localhost").
bool SplitEndpoint(const QString &text, QString *address, quint16 *port);
// Whether a text is "HOST:PORT" with a host name or address (IPv6 in
// brackets) and a port from 1 to 65535.
bool IsHostAndPort(const QString &text);
