// Statements per second of the VBScript interpreter: a tight arithmetic loop,
// a Do loop, a loop that sets and reads a property of a named host object
// (a stand-in for the program's Zov object), as PROG scripts do, a loop
// inside a procedure on names it does not declare, and procedure calls.
// Usage: bench_script_loop [iterations]
#include "script/ScriptEngine.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace {

// Frequency as the program's object has it, and a host that counts its hook.
class TStandIn : public TScriptObject
{
public:
    qint32 frequency = 0;
    int MemberId(const QString &Name) const override { return ScriptMemberIndex(Name, {"frequency", "interrupted"}); }
    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        if (Id == 1)
            return TScriptValue::FromBool(false);
        if (Kind == TScriptInvoke::Put) {
            ScriptRequireArgs(Args, 1, 1);
            frequency = Args[0].ToLong();
            return TScriptValue();
        }
        return TScriptValue::FromLong(frequency);
    }
};

class THost : public TScriptHost
{
public:
    long ticks = 0;
    int MsgBox(const QString &, int, const QString &) override { return 1; }
    std::optional<QString> InputBox(const QString &, const QString &, const QString &) override { return std::nullopt; }
    void Tick() override { ++ticks; }
};

double Run(TScriptEngine &Engine, const QString &Script)
{
    QElapsedTimer timer;
    timer.start();
    if (Engine.Execute(Script) != TScriptStatus::Completed) {
        std::fprintf(stderr, "script failed: line %d: %s\n", Engine.Error().Line, qPrintable(Engine.Error().FullDescription()));
        std::exit(1);
    }
    return timer.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    const long n = argc > 1 ? std::atol(argv[1]) : 2000000;
    THost host;
    TScriptEngine engine(&host);
    auto zov = std::make_shared<TStandIn>();
    engine.AddObject("Zov", zov);

    const QString count = QString::number(n);
    const double arithmetic = Run(engine, "For i = 1 To " + count + "\n x = x + 1\n y = x * 2\n z = y - x\n w = z Mod 7\nNext");
    std::printf("arithmetic For loop: %ld turns, %ld assignments in %.3f s: %.2f M statements/s\n",
                n, 4 * n, arithmetic, 4.0 * n / arithmetic / 1e6);

    const double doLoop = Run(engine, "i = 0\nDo While i < " + count + "\n i = i + 1\nLoop");
    std::printf("Do While loop: %ld turns in %.3f s: %.2f M turns/s\n", n, doLoop, n / doLoop / 1e6);

    const double calls = Run(engine, "For i = 1 To " + count + "\n Zov.Frequency = 7000000 + i\n f = Zov.Frequency\n"
                                     " If Zov.Interrupted Then Exit For\nNext");
    std::printf("host object loop: %ld turns, %ld member calls in %.3f s: %.2f M calls/s (last frequency %d)\n",
                n, 3 * n, calls, 3.0 * n / calls / 1e6, zov->frequency);
    const double procLoop = Run(engine, "Function Work(n)\n For i = 1 To n\n  s = s + i\n  t = s - i\n Next\n Work = t\n"
                                        "End Function\nr = Work(" + count + ")");
    std::printf("loop in a procedure on undeclared names: %ld turns, %ld assignments in %.3f s: %.2f M statements/s\n",
                n, 2 * n, procLoop, 2.0 * n / procLoop / 1e6);

    const double procCalls = Run(engine, "Function Twice(v)\n Twice = v * 2\nEnd Function\nFor i = 1 To " + count
                                         + "\n r = Twice(i)\nNext");
    std::printf("procedure calls: %ld calls in %.3f s: %.2f M calls/s\n", n, procCalls, n / procCalls / 1e6);
    std::printf("host hook called %ld times (every 1000 statements)\n", host.ticks);
    return 0;
}
