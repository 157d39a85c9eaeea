// Whatever comes back from a radio through Hamlib (fields of a rigctld far
// away, a backend's odd names): the decoder of command set 3 reads it without
// a crash, and what it reports stays within what the window can show.
#include "cat/HamlibCommands.h"
#include "cat/TcvrTypes.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const char *const commands[] = {"f;m;v;s", "l STRENGTH;dcd", "t", "f", "m;dcd;t;l STRENGTH"};
    const QString command = QString::fromLatin1(commands[data[0] % 5]);
    const QString reply = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const Set3::TReading reading = Set3::DecodeReply(command, reply);
    if (reading.Frequency && *reading.Frequency < 0)
        std::abort();
    if (reading.MeterPercent && (*reading.MeterPercent < 0 || *reading.MeterPercent > 100))
        std::abort();
    if (!reading.Mode.isEmpty() && !IsModeName(reading.Mode))
        std::abort();
    if (!reading.Vfo.isNull() && reading.Vfo != u'A' && reading.Vfo != u'B' && reading.Vfo != u'M')
        std::abort();
    // A well-formed reply has a field for every read.
    if (Set3::IsReplyWellFormed(command, reply) && reply.count(u';') != command.count(u';'))
        std::abort();
    return 0;
}
