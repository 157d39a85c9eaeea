#pragma once

// The operator's band plan: an ordered list of entries, each the six fields
// caption, begin, end, initial frequency (kHz), initial mode and name joined by
// TABs, plus the "button available" tick. The text of an entry is kept exactly
// as read or edited, so that a hand-edited line survives a load and a save.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct TBandPlanItem
{
    bool Checked = false; // the band gets a band button and a scale band
    QString Text;         // caption TAB begin TAB end TAB initial TAB mode TAB name
};

// Field numbers of an entry's text.
enum TBandField { bfCaption = 0, bfBegin, bfEnd, bfInitFreq, bfInitMode, bfName };

// An entry read for use: numbers in kHz, with the stand-ins 1000, 2000 and
// 1500 kHz for a begin, end or initial frequency that is missing or not a
// whole number.
struct TBandPlanEntry
{
    QString Caption;
    qint32 BeginKhz = 1000;
    qint32 EndKhz = 2000;
    qint32 InitFreqKhz = 1500;
    QString InitMode;
    QString Name;
    bool hasValidLimits() const { return BeginKhz < EndKhz; }
};

// The eleven mode names in the order of the mode lists.
const QStringList &PlanModeNames();

class TBandPlan
{
public:
    static QString FileName() { return QStringLiteral("Bands.tsv"); }

    int Count() const { return static_cast<int>(Items.size()); }
    const TBandPlanItem &Item(int Index) const { return Items.at(Index); }
    const QList<TBandPlanItem> &AllItems() const { return Items; }
    void SetAllItems(const QList<TBandPlanItem> &NewItems) { Items = NewItems; }

    void Append(bool Checked, const QString &Text);
    void Remove(int Index);
    void SetChecked(int Index, bool Checked);
    void SetText(int Index, const QString &Text);
    void Clear() { Items.clear(); }

    // Field of an entry's text, split at TABs (field 0 of a text without TAB
    // is the whole text, as the Edit Band dialog shows it).
    static QString ItemField(const QString &Text, int Field);
    QString Field(int Index, int Field) const { return ItemField(Items.at(Index).Text, Field); }
    static TBandPlanEntry ReadEntry(const QString &Text);
    TBandPlanEntry Entry(int Index) const { return ReadEntry(Items.at(Index).Text); }

    // Moves entry Index to its place in ascending order of begin (a begin that
    // is not a whole number counts as 0); entries with equal begin keep their
    // order. Returns the entry's new index.
    int ResortBand(int Index);

    // The plan written when no file exists: fifteen bands, all but the first
    // with a button.
    void LoadDefaultPlan();

    // File text: comment line, then flag, TAB and entry text per entry.
    QByteArray ToFileBytes() const;
    void LoadFromFileBytes(const QByteArray &Bytes);

    // Clears the plan and reads "Bands.tsv" (data-folder copy first). The plan
    // stays empty when no file exists. Returns a message when a file exists
    // but cannot be read, else empty text.
    QString LoadBandPlan();
    // Writes "Bands.tsv" (program folder, else data folder). Returns a message
    // for the operator when it could be written nowhere, else empty text.
    QString SaveBandPlan() const;

private:
    QList<TBandPlanItem> Items;
};
