// tarnwick-vbs FILE.vbs: runs a script without the window, so that an
// operator can try a PROG script's logic and the tests can run scripts.
// MsgBox writes its text to standard output and answers with the default
// button; InputBox reads one line from standard input (end of input is
// Cancel). There is no Zov object; a FileSystemObject's relative paths start
// at the script file's folder. An error prints "Line: n" and its
// description to standard error and exits with 1; Ctrl+C stops the script.
#include "script/ScriptEngine.h"
#include "script/ScriptSource.h"

#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

TScriptEngine *RunningEngine = nullptr;

void Write(std::FILE *Stream, const QString &Text)
{
    const QByteArray bytes = Text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), Stream);
    std::fflush(Stream);
}

// Line breaks of any kind in a message become the terminal's.
QString Lines(QString Text)
{
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Text + QLatin1Char('\n');
}

class TConsoleHost : public TScriptHost
{
public:
    int MsgBox(const QString &Prompt, int Buttons, const QString &) override
    {
        Write(stdout, Lines(Prompt));
        return ScriptMsgBoxDefaultButton(Buttons);
    }

    std::optional<QString> InputBox(const QString &Prompt, const QString &, const QString &) override
    {
        if (isatty(STDIN_FILENO))
            Write(stdout, Lines(Prompt));
        std::string line;
        if (!std::getline(std::cin, line))
            return std::nullopt;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return QString::fromStdString(line);
    }
};

void StopScript(int)
{
    if (RunningEngine)
        RunningEngine->Interrupt();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: tarnwick-vbs FILE.vbs\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        Write(stderr, QStringLiteral("tarnwick-vbs: %1: %2\n").arg(file.fileName(), file.errorString()));
        return 2;
    }
    const QString text = DecodeScriptText(file.readAll());
    file.close();

    TConsoleHost host;
    TScriptEngine engine(&host);
    engine.SetScriptFolder(QFileInfo(file).absolutePath());
    RunningEngine = &engine;
    std::signal(SIGINT, StopScript);
    const TScriptStatus status = engine.Execute(text);
    std::signal(SIGINT, SIG_DFL);
    RunningEngine = nullptr;

    switch (status) {
    case TScriptStatus::Completed:
        return 0;
    case TScriptStatus::Interrupted:
        Write(stderr, QStringLiteral("Interrupted\n"));
        return 130;
    case TScriptStatus::Failed:
        break;
    }
    const TScriptError &error = engine.Error();
    Write(stderr, QStringLiteral("Line: %1\n%2\n").arg(error.Line).arg(error.FullDescription()));
    return 1;
}
