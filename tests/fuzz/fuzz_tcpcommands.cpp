// What companion programs send to the command server: any bytes, arriving in
// any pieces, must frame into the lines sent (none longer than the limit),
// decode to text that encodes back to the same bytes, and parse into
// commands whose fields keep their widths when carried out on a window.
#include "remote/TcpCommands.h"
#include "remote/TcpServerHost.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

class WidthHost : public TTcpServerHost
{
public:
    TTcpWindowState TcpWindowState() const override { return {}; }
    QString ModeAt(qint32 Frequency) const override { return Frequency % 2 ? QStringLiteral("USB") : QString(); }
    void AddOrReplaceMarker(const TFqMarker &Marker, bool) override { marker(Marker); }
    void DeleteMarkersWithAttribute(const QString &Group, bool) override { check(Group.toUcs4().size() <= 10); }
    void SetVisibleGroups(const QStringList &Groups) override { (void)FormatTcpGroupList(Groups); }
    void PlaceTuneRequest(const TFqMarker &Request) override { marker(Request); }
    static void marker(const TFqMarker &M)
    {
        check(M.Frequency >= 0 && M.Mode.toUcs4().size() <= 5 && M.Attributes.toUcs4().size() <= 10
              && M.Caption.size() <= 2 * TcpMaxArgumentLength && M.Remark.size() <= 2 * TcpMaxArgumentLength);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype piece = 1 + data[0] % 64; // the first byte: how the bytes arrive
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    TTcpLineFramer framer;
    WidthHost host;
    qsizetype consumed = 0;
    QByteArray line;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        framer.Append(bytes.mid(at, piece));
        TTcpLineFramer::TResult result;
        while ((result = framer.Next(line)) == TTcpLineFramer::TResult::Line) {
            const qsizetype end = bytes.indexOf('\n', consumed);
            const QByteArray sent = bytes.mid(consumed, end - consumed);
            check(line.size() <= TcpMaxLineLength && (sent == line || sent == line + '\r'));
            consumed = end + 1;
            const TTcpLineText text = DecodeTcpLine(line);
            check(EncodeTcpReply(text.Text, text.Utf8) == line + "\r\n");
            const TTcpRequest request = ParseTcpRequest(text.Text);
            const QString logged = TcpLogText(request.Name);
            check(request.Name.toUcs4().size() <= 2
                  && std::none_of(logged.begin(), logged.end(), [](QChar c) { return c.unicode() < 0x20; }));
            ApplyTcpRequest(request, host);
            (void)FormatTcpStatusLine({request.Frequency, request.Mode, 0, 0, false, false, request.Groups});
        }
        if (result == TTcpLineFramer::TResult::TooLong)
            break;
    }
    return 0;
}
