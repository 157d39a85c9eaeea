// What companion programs send to the command server: any bytes, arriving in
// any pieces, must frame into lines no longer than the limit (a line the
// framer refuses ends the client), decode to text that encodes back to the
// same bytes, and parse into commands whose fields keep their widths; the
// commands carried out on a window and every reply text must not crash.
#include "remote/TcpCommands.h"
#include "remote/TcpServerHost.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

class NullHost : public TTcpServerHost
{
public:
    TTcpWindowState TcpWindowState() const override { return {}; }
    QString ModeAt(qint32 Frequency) const override { return Frequency % 2 ? QStringLiteral("USB") : QString(); }
    void AddOrReplaceMarker(const TFqMarker &Marker, bool) override { check(Marker); }
    void DeleteMarkersWithAttribute(const QString &Group, bool) override { width(Group, 10); }
    void SetVisibleGroups(const QStringList &Groups) override { (void)FormatTcpGroupList(Groups); }
    void PlaceTuneRequest(const TFqMarker &Request) override { check(Request); }

private:
    static void width(const QString &Field, int Width)
    {
        if (Field.toUcs4().size() > Width)
            std::abort();
    }
    static void check(const TFqMarker &Marker)
    {
        width(Marker.Mode, 5);
        if (Marker.Frequency < 0 || Marker.Remark.size() > 2 * TcpMaxArgumentLength)
            std::abort();
    }
};

bool hasControl(const QString &Text)
{
    for (const QChar c : Text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the size of the pieces the bytes arrive in.
    const qsizetype piece = 1 + data[0] % 64;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    TTcpLineFramer framer;
    NullHost host;
    qsizetype consumed = 0;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        framer.Append(bytes.mid(at, piece));
        QByteArray line;
        TTcpLineFramer::TResult result;
        while ((result = framer.Next(line)) == TTcpLineFramer::TResult::Line) {
            if (line.size() > TcpMaxLineLength || line.contains('\n'))
                std::abort();
            // The line is what was sent up to its LF (a CR before it dropped).
            const qsizetype end = bytes.indexOf('\n', consumed);
            const QByteArray sent = bytes.mid(consumed, end - consumed);
            if (!(sent == line || sent == line + '\r'))
                std::abort();
            consumed = end + 1;

            const TTcpLineText text = DecodeTcpLine(line);
            if (EncodeTcpReply(text.Text, text.Utf8) != line + "\r\n")
                std::abort();
            const TTcpRequest request = ParseTcpRequest(text.Text);
            if (request.Name.toUcs4().size() > 2 || hasControl(TcpLogText(request.Name)))
                std::abort();
            if (request.Caption.size() > 2 * TcpMaxArgumentLength || request.Group.toUcs4().size() > 10)
                std::abort();
            ApplyTcpRequest(request, host);
        }
        if (result == TTcpLineFramer::TResult::TooLong)
            break;
    }

    TTcpWindowState state;
    if (bytes.size() >= 4)
        std::memcpy(&state.Frequency, bytes.constData(), sizeof state.Frequency);
    state.Mode = QString::fromLatin1(bytes.left(5));
    if (FormatTcpStatusLine(state).size() < 33)
        std::abort();
    return 0;
}
