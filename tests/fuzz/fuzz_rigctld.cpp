// Whatever a client sends the rigctld endpoint: the line reader hands on only
// lines of command text within the length limit, a line splits into commands
// whose arguments hold no blanks, every command gets exactly one reply ended
// by a line feed (also when it waited for the radio), and no set ever tunes
// either VFO outside the radio's ranges.
#include "remote/FakeRigctldHost.h"
#include "remote/RigctldProtocol.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    FakeRigctldHost host;
    host.radio.Type = TcvrTypeAt(data[0] % TcvrTypeCount);
    host.radio.Type.CommandSet = data[0] & 0x10 ? 2 : host.radio.Type.CommandSet;
    host.radio.Connected = !(data[0] & 0x20);
    host.radio.Split = (data[0] >> 6) % 3 - 1;
    host.radio.MeterPercent = data[1] % 101;
    host.radio.Ptt = data[1] & 0x40;
    host.holdReads = data[1] & 0x80;
    TRigctldProtocol protocol(host);
    TRigctldLineReader reader;
    // The rest arrives in chunks whose sizes the input's own bytes choose.
    const QByteArray bytes(reinterpret_cast<const char *>(data + 2), static_cast<qsizetype>(size - 2));
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype chunk = 1 + static_cast<unsigned char>(bytes.at(at)) % 64;
        QList<QByteArray> lines;
        const TRigctldLineReader::Result result = reader.Feed(bytes.mid(at, chunk), &lines);
        at += chunk;
        for (const QByteArray &line : lines) {
            if (line.size() > TRigctldLineReader::MaxLineLength || line.contains('\n'))
                std::abort();
            const QList<TRigctldRequest> requests = ParseRigctldLine(line);
            int replies = 0;
            bool quit = false;
            for (const TRigctldRequest &request : requests) {
                for (const QString &argument : request.Arguments)
                    if (argument.isEmpty() || argument.contains(u' ') || argument.contains(u'\t'))
                        std::abort();
                protocol.Answer(request, [&](const TRigctldAnswer &answer) {
                    ++replies;
                    quit = quit || answer.Quit;
                    if (answer.Reply.isEmpty() || !answer.Reply.endsWith('\n'))
                        std::abort();
                });
            }
            host.release();
            if (replies != requests.size())
                std::abort();
            for (qint32 frequency : {host.radio.Frequency, host.radio.SplitFrequency})
                if (frequency != 0 && !TRigctldProtocol::InRange(frequency, host.radio.Type))
                    std::abort();
            if (quit)
                return 0;
        }
        if (result != TRigctldLineReader::Lines)
            return 0;
    }
    return 0;
}
