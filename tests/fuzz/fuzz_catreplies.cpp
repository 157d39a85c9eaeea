// Whatever a radio, a broken cable or a wrong model sends back: the decoders
// of both command sets read it without a crash and never report a frequency
// outside what their digits can say, and a reply the plausibility test lets
// through always decodes to a frequency inside the bounds it was given.
#include "cat/CatCommands.h"
#include "cat/TcvrTypes.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    const TTcvrType &type = TcvrTypeAt(data[0] % TcvrTypeCount);

    // Command set 1: the reply is raw bytes shown as hex; the command is one of
    // the poll or read commands chosen by the first byte.
    static const char *const commands[] = {"0000000003", "00000000E7", "00000000F7", "0000000013",
                                           "0000000023", "00000000BB", "0000000001", "00000000F5"};
    const QString command = QString::fromLatin1(commands[(data[0] >> 2) % 8]);
    const QString hex = BytesToHex(bytes);
    const TDecodedReply one = DecodeSet1Reply(command, hex, type);
    if (one.frequency < -1)
        std::abort();
    const qint32 frequency = Set1ReplyFrequency(hex);
    if (IsSet1FrequencyReplyWellFormed(hex, 100000, 500000000)
        && (frequency < 100000 || frequency > 500000000 || DecodeSet1Reply("0000000003", hex, type).frequency != frequency))
        std::abort();
    (void)HexToBytes(QString::fromLatin1(bytes));

    // Command set 2: ";"-terminated text.
    const TDecodedReply two = DecodeSet2Reply(QString::fromLatin1(bytes));
    if (two.frequency < -1)
        std::abort();
    if (IsSet2InformationReplyWellFormed(QString::fromLatin1(bytes)) && two.kind != TDecodedReply::Information)
        std::abort();
    return 0;
}
