#include "data/Bands.h"

#include "cat/TcvrTypes.h"
#include "data/DataFile.h"
#include "data/TextFields.h"

#include <iterator>
#include <utility>

namespace {

struct DefaultBand
{
    bool Button;
    const char *Text;
};

// The default plan, written when no "Bands.tsv" exists anywhere.
constexpr DefaultBand DefaultPlan[] = {
    {false, "136\t135\t138\t137\tCW\t136 kHz amateur band"},
    {true, "MW\t580\t1650\t1440\tAM\tMW radio broadcast"},
    {true, "1.8\t1810\t2000\t1830\tCW\t160 m amateur band"},
    {true, "3.5\t3500\t3800\t3550\tCW\t80 m amateur band"},
    {true, "7\t7000\t7200\t7030\tCW\t40 m amateur band"},
    {true, "10\t10100\t10150\t10120\tCW\t30 m amateur band"},
    {true, "14\t14000\t14350\t14050\tCW\t20 m amateur band"},
    {true, "18\t18068\t18168\t18100\tCW\t17 m amateur band"},
    {true, "21\t21000\t21450\t21050\tCW\t15 m amateur band"},
    {true, "24\t24890\t24990\t24920\tCW\t12 m amateur band"},
    {true, "CB\t26965\t27405\t26965\tFM\tCitizen Band"},
    {true, "28\t28000\t29700\t28100\tCW\t10 m amateur band"},
    {true, "50\t50000\t52000\t50100\tCW\t5 m amateur band"},
    {true, "144\t144000\t146000\t144120\tCW\t2 m amateur band"},
    {true, "430\t430000\t440000\t432100\tCW\t70 cm amateur band"},
};

qint32 khzOr(const QString &Text, qint32 Fallback)
{
    qint32 value = 0;
    return ReadKhz(Text, value) ? value : Fallback;
}

} // namespace

const QStringList &PlanModeNames()
{
    static const QStringList names(std::begin(ModeNames), std::end(ModeNames));
    return names;
}

void TBandPlan::Append(bool Checked, const QString &Text)
{
    Items.append(TBandPlanItem{Checked, Text});
}

void TBandPlan::Remove(int Index)
{
    if (Index >= 0 && Index < Count())
        Items.removeAt(Index);
}

void TBandPlan::SetChecked(int Index, bool Checked)
{
    if (Index >= 0 && Index < Count())
        Items[Index].Checked = Checked;
}

void TBandPlan::SetText(int Index, const QString &Text)
{
    if (Index >= 0 && Index < Count())
        Items[Index].Text = Text;
}

QString TBandPlan::ItemField(const QString &Text, int Field)
{
    return Text.split(QLatin1Char('\t')).value(Field);
}

TBandPlanEntry TBandPlan::ReadEntry(const QString &Text)
{
    const QStringList fields = Text.split(QLatin1Char('\t'));
    TBandPlanEntry entry;
    entry.Caption = fields.value(bfCaption);
    entry.BeginKhz = khzOr(fields.value(bfBegin), 1000);
    entry.EndKhz = khzOr(fields.value(bfEnd), 2000);
    entry.InitFreqKhz = khzOr(fields.value(bfInitFreq), 1500);
    entry.InitMode = fields.value(bfInitMode);
    entry.Name = fields.value(bfName);
    return entry;
}

int TBandPlan::ResortBand(int Index)
{
    return MoveIntoOrder(Items, Index, [](const TBandPlanItem &Item) { return khzOr(ItemField(Item.Text, bfBegin), 0); });
}

void TBandPlan::LoadDefaultPlan()
{
    Items.clear();
    for (const DefaultBand &band : DefaultPlan)
        Append(band.Button, QString::fromLatin1(band.Text));
}

QByteArray TBandPlan::ToFileBytes() const
{
    QStringList lines;
    lines.reserve(Items.size());
    for (const TBandPlanItem &item : Items)
        lines.append(QLatin1String(item.Checked ? "1" : "0") + QLatin1Char('\t') + item.Text);
    return FormatDataFileLines(lines);
}

void TBandPlan::LoadFromFileBytes(const QByteArray &Bytes)
{
    Items.clear();
    const QStringList lines = ParseDataFileLines(Bytes);
    for (QString line : lines) {
        const QString flag = CutField(line, QLatin1Char('\t'));
        Append(flag == QLatin1String("1"), line);
    }
}

QString TBandPlan::LoadBandPlan()
{
    const TDataFileRead read = ReadDataFile(FileName());
    LoadFromFileBytes(read.Bytes); // no entries when missing or unreadable
    return read.Error;
}

QString TBandPlan::SaveBandPlan() const
{
    return SaveDataFile(FileName(), ToFileBytes());
}
