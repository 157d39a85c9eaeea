#include "remote/TcpCommands.h"

#include "data/DataFile.h"

#include <QStringDecoder>

#include <limits>

// ---- framing -------------------------------------------------------------------

void TTcpLineFramer::Append(const QByteArray &Bytes)
{
    if (Start > 0) {
        Buffer.remove(0, Start);
        Start = 0;
    }
    Buffer.append(Bytes);
}

TTcpLineFramer::TResult TTcpLineFramer::Next(QByteArray &Line)
{
    const qsizetype end = Buffer.indexOf('\n', Start + Scanned);
    if (end < 0) {
        Scanned = Buffer.size() - Start;
        // One more byte is allowed while it may be the CR before the LF.
        const qsizetype pending = Pending();
        if (pending > TcpMaxLineLength + 1 || (pending == TcpMaxLineLength + 1 && Buffer.back() != '\r'))
            return TResult::TooLong;
        return TResult::NeedMore;
    }
    qsizetype length = end - Start;
    if (length > 0 && Buffer.at(end - 1) == '\r')
        --length;
    if (length > TcpMaxLineLength)
        return TResult::TooLong;
    Line = Buffer.mid(Start, length);
    Start = end + 1;
    Scanned = 0;
    if (Start == Buffer.size()) {
        Buffer.clear();
        Start = 0;
    }
    return TResult::Line;
}

// ---- text ----------------------------------------------------------------------

namespace {

bool isAscii(const QByteArray &Bytes)
{
    for (const char c : Bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

TTcpLineText DecodeTcpLine(const QByteArray &Line)
{
    if (isAscii(Line))
        return {QString::fromLatin1(Line), false};
    // A byte-order mark is passed on as the character it is (an unknown command).
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(Line);
    if (!decoder.hasError())
        return {text, true};
    return {DecodeAnsi(Line), false};
}

QByteArray EncodeTcpReply(const QString &Text, bool Utf8)
{
    QByteArray bytes = (Utf8 || !FitsAnsi(Text)) ? Text.toUtf8() : EncodeAnsi(Text);
    bytes.append("\r\n", 2);
    return bytes;
}

// ---- fields --------------------------------------------------------------------

QStringView TTcpFields::Take(int Width)
{
    qsizetype units = 0;
    for (int taken = 0; taken < Width && units < Rest.size(); ++taken) {
        const bool pair = Rest.at(units).isHighSurrogate() && units + 1 < Rest.size()
            && Rest.at(units + 1).isLowSurrogate();
        units += pair ? 2 : 1;
    }
    const QStringView field = Rest.first(units);
    Rest = Rest.sliced(units);
    return field;
}

QString TTcpFields::TakeTrimmed(int Width)
{
    return TrimTcpField(Take(Width));
}

bool TTcpFields::TakeFlag(QChar Flag)
{
    const QStringView field = Take(1);
    return field.size() == 1 && field.at(0) == Flag;
}

QStringView TTcpFields::TakeRest()
{
    const QStringView rest = Rest;
    Rest = QStringView();
    return rest;
}

QString TrimTcpField(QStringView Text)
{
    qsizetype begin = 0;
    qsizetype end = Text.size();
    while (begin < end && isBlankOrControl(Text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(Text.at(end - 1)))
        --end;
    return Text.sliced(begin, end - begin).toString();
}

qint32 ReadTcpWholeNumber(QStringView Text)
{
    qsizetype i = 0;
    while (i < Text.size() && Text.at(i) == u' ')
        ++i;
    if (i == Text.size())
        return 0;
    qint64 value = 0;
    for (; i < Text.size(); ++i) {
        const char16_t c = Text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return 0;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<qint32>::max())
            return 0;
    }
    return static_cast<qint32>(value);
}

// ---- commands ------------------------------------------------------------------

namespace {

struct TCommandName
{
    const char *Name;
    TTcpCommand Command;
};

// In the order in which they are recognised.
constexpr TCommandName CommandNames[] = {
    {"QS", TTcpCommand::QS}, {"CS", TTcpCommand::CS}, {"UM", TTcpCommand::UM}, {"GM", TTcpCommand::GM},
    {"SM", TTcpCommand::SM}, {"FM", TTcpCommand::FM}, {"DM", TTcpCommand::DM}, {"XS", TTcpCommand::XS},
    {"TT", TTcpCommand::TT}, {"AV", TTcpCommand::AV}, {"IV", TTcpCommand::IV},
};

TTcpCommand commandOf(QStringView Name)
{
    for (const TCommandName &entry : CommandNames)
        if (Name == QLatin1StringView(entry.Name))
            return entry.Command;
    return TTcpCommand::Unknown;
}

} // namespace

TTcpRequest ParseTcpRequest(const QString &Line)
{
    TTcpRequest request;
    TTcpFields line{QStringView(Line)};
    const QStringView name = line.Take(2);
    request.Name = name.toString();
    request.Command = commandOf(name);
    TTcpFields fields(line.Take(TcpMaxArgumentLength));

    switch (request.Command) {
    case TTcpCommand::UM:
        request.Caption = fields.TakeTrimmed(10);
        request.Highlighted = fields.TakeFlag(u'P');
        request.Redraw = fields.TakeFlag(u'1');
        break;
    case TTcpCommand::FM: {
        request.Caption = fields.TakeTrimmed(10);
        request.Frequency = ReadTcpWholeNumber(fields.Take(9));
        request.Mode = fields.TakeTrimmed(5);
        request.Highlighted = fields.TakeFlag(u'P');
        fields.Take(4);
        request.Group = fields.TakeTrimmed(10);
        request.Redraw = fields.TakeFlag(u'1');
        request.Remark = fields.TakeRest().toString();
        request.Remark.replace(u'~', QStringLiteral("\r\n"));
        break;
    }
    case TTcpCommand::DM:
        request.Group = fields.TakeTrimmed(10);
        request.Redraw = fields.TakeFlag(u'1');
        break;
    case TTcpCommand::SM:
        request.Groups = ParseTcpGroupList(fields.TakeRest());
        break;
    case TTcpCommand::TT:
        request.Frequency = ReadTcpWholeNumber(fields.TakeTrimmed(9));
        request.Mode = fields.TakeTrimmed(5);
        request.Caption = TrimTcpField(fields.TakeRest());
        break;
    default:
        break;
    }
    return request;
}

bool TcpCommandChangesWindow(TTcpCommand Command)
{
    switch (Command) {
    case TTcpCommand::UM:
    case TTcpCommand::FM:
    case TTcpCommand::DM:
    case TTcpCommand::SM:
    case TTcpCommand::TT:
        return true;
    default:
        return false;
    }
}

// ---- replies -------------------------------------------------------------------

namespace {

// Nine digits with leading zeros; a longer number whole.
QString nineDigits(qint32 Value)
{
    return QString::asprintf("%09d", Value);
}

} // namespace

QString FormatTcpStatusLine(const TTcpWindowState &State)
{
    QString line = nineDigits(State.Frequency) + State.Mode;
    if (line.size() < 14)
        line.append(QString(14 - line.size(), u' '));
    line += nineDigits(State.ScaleBegin);
    line += nineDigits(State.ScaleEnd);
    line += State.Closing ? u'1' : u' ';
    return line;
}

QString FormatTcpGroupList(const QStringList &Groups)
{
    QString text;
    for (const QString &group : Groups) {
        text += group;
        text += u';';
    }
    return text;
}

QStringList ParseTcpGroupList(QStringView Argument)
{
    // Each ";" ends a line of the list, as a line break does in multi-line
    // text (a CR too); a last line without one is kept, an empty last line
    // is not.
    QStringList groups;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < Argument.size(); ++i) {
        if (Argument.at(i) == u';' || Argument.at(i) == u'\r') {
            groups.append(Argument.sliced(begin, i - begin).toString());
            begin = i + 1;
        }
    }
    if (begin < Argument.size())
        groups.append(Argument.sliced(begin).toString());
    return groups;
}

QString TcpLogText(const QString &Text)
{
    QString shown;
    shown.reserve(Text.size());
    for (const QChar c : Text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            shown += QStringLiteral("\\x") + QString::number(c.unicode(), 16).rightJustified(2, u'0').toUpper();
        else
            shown += c;
    }
    return shown;
}
