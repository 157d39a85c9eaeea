#include "data/Modes.h"

#include "data/DataFile.h"
#include "data/TextFields.h"

namespace {

constexpr QChar Tab = QLatin1Char('\t');

qint32 khzOrZero(const QString &Text)
{
    qint32 value = 0;
    return ReadKhz(Text, value) ? value : 0;
}

} // namespace

const QStringList &ModeColorValues()
{
    static const QStringList values = {
        QStringLiteral("009B9BFB"), QStringLiteral("009ADCA4"), QStringLiteral("00FF9E91"),
        QStringLiteral("00C4C4C4"), QStringLiteral("0037F3FD"), QStringLiteral("00E0FF64"),
        QStringLiteral("00FF91F1"),
    };
    return values;
}

int PreselectedColorIndex(const QString &Mode)
{
    static const char *const groups[] = {
        " CW CW-R ", " USB LSB ", " DIG PKT FSK FSK-R ", " WFM ", " AM ", " FM ",
    };
    const QString needle = QLatin1Char(' ') + Mode + QLatin1Char(' ');
    for (int i = 0; i < 6; ++i) {
        if (QString::fromLatin1(groups[i]).contains(needle))
            return i;
    }
    return 6;
}

quint32 ModeColorFromText(const QString &Text)
{
    bool ok = false;
    const quint32 value = Text.trimmed().toUInt(&ok, 16);
    return ok ? value : DefaultModeColor;
}

QString ModeAt(const QList<TMode> &Modes, qint32 F)
{
    for (const TMode &segment : Modes)
        if (segment.Low <= F && F < segment.High)
            return segment.Mode;
    return QString();
}

void TModeSegments::Remove(int Index)
{
    if (Index >= 0 && Index < Count())
        Items.removeAt(Index);
}

void TModeSegments::SetText(int Index, const QString &Text)
{
    if (Index >= 0 && Index < Count())
        Items[Index] = Text;
}

bool TModeSegments::ReadSegment(const QString &Text, TMode &Segment)
{
    qint32 begin = 0;
    qint32 end = 0;
    if (!ReadKhz(GetField(Text, Tab, mfBegin), begin) || !ReadKhz(GetField(Text, Tab, mfEnd), end))
        return false;
    Segment.Low = begin * 1000;
    Segment.High = end * 1000;
    Segment.Mode = GetField(Text, Tab, mfMode);
    Segment.Color = ModeColorFromText(GetField(Text, Tab, mfColor));
    Segment.Caption = GetField(Text, Tab, mfCaption);
    return true;
}

int TModeSegments::ResortMode(int Index)
{
    return MoveIntoOrder(Items, Index, [](const QString &Text) { return khzOrZero(GetField(Text, Tab, mfEnd)); });
}

QStringList TModeSegments::OverlapQuestions() const
{
    QStringList questions;
    for (int i = 0; i + 1 < Count(); ++i) {
        const QString &first = Items.at(i);
        const QString &second = Items.at(i + 1);
        const QString firstEnd = GetField(first, Tab, mfEnd);
        const QString secondBegin = GetField(second, Tab, mfBegin);
        if (khzOrZero(secondBegin) < khzOrZero(firstEnd)) {
            questions.append(QStringLiteral("The following segments:\n")
                             + GetField(first, Tab, mfBegin) + QStringLiteral(" - ") + firstEnd + QLatin1Char('\n')
                             + secondBegin + QStringLiteral(" - ") + GetField(second, Tab, mfEnd) + QLatin1Char('\n')
                             + QStringLiteral("are overlapping.\n\n")
                             + QStringLiteral("Do you want to save it like that anyway?"));
        }
    }
    return questions;
}

QByteArray TModeSegments::ToFileBytes() const
{
    return FormatDataFileLines(Items);
}

void TModeSegments::LoadFromFileBytes(const QByteArray &Bytes)
{
    Items = ParseDataFileLines(Bytes);
}

QString TModeSegments::LoadModeSegments()
{
    const TDataFileRead read = ReadDataFile(FileName());
    LoadFromFileBytes(read.Bytes); // no entries when missing or unreadable
    return read.Error;
}

QString TModeSegments::SaveModeSegments() const
{
    return SaveDataFile(FileName(), ToFileBytes());
}
