// tarnwick-rigsim: a Yaesu FT-817/847/857/897 on a pseudo-terminal, for running
// Tarnwick and its tests without a radio. See --help.

#include "RigEmulator.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

const char *const helpText =
    "Usage: tarnwick-rigsim [options]\n"
    "\n"
    "Emulates a Yaesu transceiver's CAT port on a pseudo-terminal. The first line\n"
    "printed on standard output is the device path to open (for example\n"
    "/dev/pts/7); give it to Tarnwick with --port or type it into the serial\n"
    "dialog. The emulator answers the five-byte CAT commands byte for byte as the\n"
    "radio does (set commands of the FT-817/857/897 are acknowledged with one\n"
    "byte, the FT-847 answers nothing until it gets CAT on) and paces every reply\n"
    "like the real line: 11 bits a byte at the chosen speed plus the radio's\n"
    "processing delay.\n"
    "\n"
    "Options:\n"
    "  --model M        FT-817 (default), FT-847, FT-857 or FT-897\n"
    "  --speed BPS      line speed used for pacing (default 4800)\n"
    "  --delay MS       processing delay before each reply (default 5)\n"
    "  --seed N         seed of the random numbers (default 1): same seed, same run\n"
    "  --freq HZ        starting frequency (default 14250000)\n"
    "  --mode NAME      starting mode: LSB USB CW CWR AM WFM FM DIG PKT (default USB)\n"
    "  --smeter N       S-meter reading 0-15 (FT-847 0-31), or 'random'\n"
    "  --signal F:S[:W] a signal at F hertz: the S-meter reads S (0-15, FT-847\n"
    "                   0-31) tuned to F, falling off in a straight line to\n"
    "                   nothing W hertz away (default 1000); repeatable, the\n"
    "                   strongest signal wins, --smeter stays the background\n"
    "  --squelch-level N  the squelch opens exactly while the S-meter reads\n"
    "                   above N (without it: --smeter opens it, or 'set squelch')\n"
    "  --verbose        log every command and reply on standard error\n"
    "Faults:\n"
    "  --silence        answer nothing\n"
    "  --short N        cut N bytes off every reply\n"
    "  --extra N        add N random bytes to every reply\n"
    "  --shift N        N stray bytes ahead of the first reply: the line runs N\n"
    "                   bytes late until the host drains it (1 or 2)\n"
    "  --drift N        the dial moves 10 Hz before each of the next N frequency reads\n"
    "  --slow MS        add MS milliseconds of turnaround\n"
    "  --noack          do not acknowledge set commands\n"
    "  --help           this text\n"
    "\n"
    "Control channel: while running, each line on standard input is a command,\n"
    "answered by one line starting with \"ok\" or \"error\":\n"
    "  set freq HZ | set mode NAME | set vfo A|B | set smeter N|random | set power N\n"
    "  set swr N | set alc N (FT-817 transmit metering, 0-15)\n"
    "  set squelch open|closed | set ptt on|off | set split on|off | set cat on|off\n"
    "  fault none | fault silence on|off | fault noack on|off | fault short N\n"
    "  fault extra N | fault shift N [MS] | fault drift N | fault slow MS\n"
    "  (fault shift N MS: the radio holds N bytes back for MS milliseconds)\n"
    "  speed BPS | delay MS | flush | status | quit\n"
    "  signal add F:S[:W] | signal remove F | signal clear | signal list\n"
    "  signal squelch N|off\n"
    "\n"
    "Example:\n"
    "  tarnwick-rigsim --model FT-817 &   # prints /dev/pts/N\n"
    "  tarnwick --port /dev/pts/N --model FT-817\n";

using Clock = std::chrono::steady_clock;

struct ScheduledByte
{
    Clock::time_point due;
    char byte;
};

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int)
{
    stopRequested = 1;
}

void say(const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

bool takeValue(const QStringList &args, int &i, QString *value)
{
    if (i + 1 >= args.size())
        return false;
    *value = args.at(++i);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    RigEmulator::Model model = RigEmulator::Model::FT817;
    int speed = 4800;
    int delay = 5;
    quint32 seed = 1;
    bool verbose = false;
    QStringList setup; // control lines applied before the first byte

    for (int i = 0; i < args.size(); ++i) {
        const QString arg = args.at(i);
        QString value;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(helpText, stdout);
            return 0;
        } else if (arg == QLatin1String("--model") && takeValue(args, i, &value)) {
            if (!RigEmulator::modelFromName(value, &model)) {
                std::fprintf(stderr, "tarnwick-rigsim: unknown model %s\n", qPrintable(value));
                return 2;
            }
        } else if (arg == QLatin1String("--speed") && takeValue(args, i, &value)) {
            speed = value.toInt();
        } else if (arg == QLatin1String("--delay") && takeValue(args, i, &value)) {
            delay = value.toInt();
        } else if (arg == QLatin1String("--seed") && takeValue(args, i, &value)) {
            seed = value.toUInt();
        } else if (arg == QLatin1String("--freq") && takeValue(args, i, &value)) {
            setup << QStringLiteral("set freq ") + value;
        } else if (arg == QLatin1String("--mode") && takeValue(args, i, &value)) {
            setup << QStringLiteral("set mode ") + value;
        } else if (arg == QLatin1String("--smeter") && takeValue(args, i, &value)) {
            setup << QStringLiteral("set smeter ") + value << QStringLiteral("set squelch open");
        } else if (arg == QLatin1String("--signal") && takeValue(args, i, &value)) {
            setup << QStringLiteral("signal add ") + value;
        } else if (arg == QLatin1String("--squelch-level") && takeValue(args, i, &value)) {
            setup << QStringLiteral("signal squelch ") + value;
        } else if (arg == QLatin1String("--verbose")) {
            verbose = true;
        } else if (arg == QLatin1String("--silence")) {
            setup << QStringLiteral("fault silence on");
        } else if (arg == QLatin1String("--noack")) {
            setup << QStringLiteral("fault noack on");
        } else if ((arg == QLatin1String("--short") || arg == QLatin1String("--extra") || arg == QLatin1String("--shift")
                    || arg == QLatin1String("--drift") || arg == QLatin1String("--slow"))
                   && takeValue(args, i, &value)) {
            setup << QStringLiteral("fault ") + arg.mid(2) + u' ' + value;
        } else {
            std::fprintf(stderr, "tarnwick-rigsim: bad option %s (see --help)\n", qPrintable(arg));
            return 2;
        }
    }

    RigEmulator rig(model, seed);
    rig.setSpeed(speed);
    rig.setDelayMs(delay);
    for (const QString &line : setup) {
        const QString answer = rig.control(line);
        if (!answer.startsWith(QLatin1String("ok"))) {
            std::fprintf(stderr, "tarnwick-rigsim: %s\n", qPrintable(answer));
            return 2;
        }
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "tarnwick-rigsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const char *slaveName = ptsname(master);
    if (!slaveName) {
        std::fprintf(stderr, "tarnwick-rigsim: ptsname: %s\n", std::strerror(errno));
        return 1;
    }
    const QString slavePath = QString::fromLocal8Bit(slaveName);
    // Hold the slave side open in raw mode: the line is then binary from the
    // first byte, and a client closing its end does not hang up the master.
    const int slaveKeeper = open(slaveName, O_RDWR | O_NOCTTY);
    if (slaveKeeper >= 0) {
        termios raw{};
        if (tcgetattr(slaveKeeper, &raw) == 0) {
            cfmakeraw(&raw);
            tcsetattr(slaveKeeper, TCSANOW, &raw);
        }
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    say(slavePath);
    if (verbose)
        std::fprintf(stderr, "tarnwick-rigsim: %s on %s\n", qPrintable(RigEmulator::modelName(model)), slaveName);

    std::deque<ScheduledByte> outgoing;
    Clock::time_point lineFreeAt = Clock::now();
    QByteArray stdinBuffer;
    bool stdinOpen = true;
    bool quit = false;

    while (!quit && !stopRequested) {
        const auto now = Clock::now();
        while (!outgoing.empty() && outgoing.front().due <= now) {
            const char byte = outgoing.front().byte;
            if (write(master, &byte, 1) != 1 && errno != EAGAIN && errno != EIO)
                break;
            outgoing.pop_front();
        }
        int timeoutMs = -1;
        if (!outgoing.empty()) {
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(outgoing.front().due - Clock::now());
            timeoutMs = int(qMax<qint64>(0, wait.count()));
            if (timeoutMs == 0 && outgoing.front().due > Clock::now())
                timeoutMs = 1;
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, short(stdinOpen ? POLLIN : 0), 0}};
        const int ready = poll(fds, stdinOpen ? 2 : 1, timeoutMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            char buffer[512];
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) {
                const QByteArray bytes(buffer, int(n));
                // The pty delivers at once; a real line would still be carrying
                // the command, so the reply starts one command time later.
                const auto byteTime = std::chrono::microseconds(rig.byteTimeUs());
                const auto arrived = Clock::now() + byteTime * n;
                const QByteArray reply = rig.receive(bytes);
                if (verbose)
                    std::fprintf(stderr, "> %s\n< %s\n", bytes.toHex(' ').constData(), reply.toHex(' ').constData());
                if (!reply.isEmpty()) {
                    auto at = std::max(arrived + std::chrono::milliseconds(rig.turnaroundMs()), lineFreeAt);
                    for (char byte : reply) {
                        at += byteTime;
                        outgoing.push_back({at, byte});
                    }
                    lineFreeAt = at;
                }
            }
        }
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char buffer[512];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                stdinOpen = false; // keep answering the line without a control channel
            } else {
                stdinBuffer.append(buffer, int(n));
                int newline;
                while ((newline = int(stdinBuffer.indexOf('\n'))) >= 0) {
                    const QString line = QString::fromLocal8Bit(stdinBuffer.left(newline)).trimmed();
                    stdinBuffer.remove(0, newline + 1);
                    if (!line.isEmpty())
                        say(rig.control(line, &quit));
                }
            }
        }
    }
    close(master);
    if (slaveKeeper >= 0)
        close(slaveKeeper);
    return 0;
}
