#pragma once

// The line protocol of the companion programs, without sockets or window:
// splitting the received bytes into lines, reading a line as a command with
// its fixed-width fields, and the texts of the replies.
//
// A client sends lines ending in LF (a CR just before the LF is dropped). The
// command is the first two characters, compared exactly; the argument is the
// next 512 characters at most. Fields are taken off the front of the
// argument by width; a field cut short by the end of the argument is what
// remains, and every later field is empty.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// Longest line a client may send (the LF and a CR before it not counted).
constexpr int TcpMaxLineLength = 16384;
// Characters of a line after the command that are read; the rest is ignored.
constexpr int TcpMaxArgumentLength = 512;

// Splits a byte stream into lines. Bytes are appended as they arrive; Next
// hands out complete lines one at a time, and tells when the line being
// received has grown beyond TcpMaxLineLength (the client must then go).
class TTcpLineFramer
{
public:
    enum class TResult { Line, NeedMore, TooLong };

    void Append(const QByteArray &Bytes);
    // Line receives the next complete line without its LF and without a CR
    // just before the LF.
    TResult Next(QByteArray &Line);
    // Bytes received and not yet handed out as lines.
    qsizetype Pending() const { return Buffer.size() - Start; }

private:
    QByteArray Buffer;
    qsizetype Start = 0;   // first byte not handed out
    qsizetype Scanned = 0; // bytes after Start known to hold no LF
};

// A received line as text. Lines are meant to be 8-bit text of the Windows
// code page (Windows-1252); a line that is valid UTF-8 and not plain ASCII is
// read as UTF-8 instead, which is what programs on Linux send.
struct TTcpLineText
{
    QString Text;
    bool Utf8 = false; // the line held UTF-8 beyond ASCII
};
TTcpLineText DecodeTcpLine(const QByteArray &Line);
// A reply's bytes and the CR LF that ends it: UTF-8 for a client that sent
// UTF-8, else Windows-1252 when every character has a byte there, else UTF-8
// (no character is turned into "?").
QByteArray EncodeTcpReply(const QString &Text, bool Utf8);

enum class TTcpCommand { QS, CS, UM, GM, SM, FM, DM, XS, TT, AV, IV, Unknown };

// One line read as a command. Only the fields of its command are filled in.
struct TTcpRequest
{
    TTcpCommand Command = TTcpCommand::Unknown;
    QString Name;             // the command characters as received (at most two)
    QString Caption;          // UM, FM, TT
    qint32 Frequency = 0;     // FM, TT: hertz, 0 when the field is not a whole number
    QString Mode;             // FM, TT: empty when the client named none
    QString Group;            // FM, DM
    QString Remark;           // FM: "~" already turned into CR LF
    QStringList Groups;       // SM
    bool Highlighted = false; // UM, FM: flag "P"
    bool Redraw = false;      // UM, FM, DM: flag "1"
};
TTcpRequest ParseTcpRequest(const QString &Line);

// Commands that change the window; the others are answered from what the
// window showed last (or need nothing of it).
bool TcpCommandChangesWindow(TTcpCommand Command);

// Fields of the argument text, taken off its front by width. Widths count
// characters; a character outside the Basic Multilingual Plane counts once.
class TTcpFields
{
public:
    explicit TTcpFields(QStringView Argument)
        : Rest(Argument)
    {
    }
    QStringView Take(int Width);
    // A field without blanks and control characters at either end.
    QString TakeTrimmed(int Width);
    // True only when the field is exactly Flag.
    bool TakeFlag(QChar Flag);
    QStringView TakeRest();

private:
    QStringView Rest;
};

// Text without blanks and control characters at either end.
QString TrimTcpField(QStringView Text);
// A whole number in hertz: leading blanks and zeros are allowed, nothing
// else (no sign, no trailing blanks). 0 for anything else.
qint32 ReadTcpWholeNumber(QStringView Text);

// What the window shows, as the status replies give it.
struct TTcpWindowState
{
    qint32 Frequency = 0;
    QString Mode; // caption of the pressed mode key, empty when none
    qint32 ScaleBegin = 0;
    qint32 ScaleEnd = 0;
    bool Connected = false; // the serial port is open
    bool Closing = false;   // the window asks its clients to leave
    QStringList VisibleGroups;
    bool operator==(const TTcpWindowState &) const = default;
};

// The 33 characters of the "QS" reply: frequency (nine digits), mode padded
// to column 14, scale begin and end (nine digits each), then "1" while the
// window is closing, else a blank. A number with more digits is written whole.
QString FormatTcpStatusLine(const TTcpWindowState &State);
// Every group followed by ";" ("DX;SPOTS;"), empty for none.
QString FormatTcpGroupList(const QStringList &Groups);
// The argument of "SM": its entries between ";" (or a CR) as lines of a
// list: an empty argument is no group at all, an empty entry an empty group
// name, and a ";" at the end adds no empty name.
QStringList ParseTcpGroupList(QStringView Argument);

// What a log line shows of text a client sent: control characters (and the
// byte 0x7F) as "\xNN", so that a client cannot break or fake log lines.
QString TcpLogText(const QString &Text);
