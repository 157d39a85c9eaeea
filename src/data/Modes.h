#pragma once

// The mode segments: an ordered list of entries, each the five fields begin,
// end (kHz), mode, colour (8 hexadecimal digits, 00BBGGRR, may be empty) and
// caption joined by TABs. Entries are kept exactly as read or edited; they are
// checked only when handed to the scale.

#include "controls/ScaleTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum TModeField { mfBegin = 0, mfEnd, mfMode, mfColor, mfCaption };

// Colour of a segment whose colour text is empty or not hexadecimal.
constexpr quint32 DefaultModeColor = 0x00C0C0C0;

// The seven colour values offered by the Edit Mode dialog, and the one chosen
// for a mode ("FSK-R" gives 2; a mode of no group gives 6).
const QStringList &ModeColorValues();
int PreselectedColorIndex(const QString &Mode);

// A colour text read as hexadecimal; DefaultModeColor when empty or unreadable.
quint32 ModeColorFromText(const QString &Text);

// The mode of the first segment, in list order, with Low <= F < High; empty
// text when none holds F. The scale answers ModeAt with this rule.
QString ModeAt(const QList<TMode> &Modes, qint32 F);

class TModeSegments
{
public:
    static QString FileName() { return QStringLiteral("Modes.tsv"); }

    int Count() const { return static_cast<int>(Items.size()); }
    const QString &Item(int Index) const { return Items.at(Index); }
    const QStringList &AllItems() const { return Items; }
    void SetAllItems(const QStringList &NewItems) { Items = NewItems; }
    void Append(const QString &Text) { Items.append(Text); }
    void Remove(int Index);
    void SetText(int Index, const QString &Text);
    void Clear() { Items.clear(); }

    // The scale segment of an entry: limits times 1000, colour from its hex
    // text. False when begin or end is not a whole number of kHz.
    static bool ReadSegment(const QString &Text, TMode &Segment);

    // Moves entry Index to its place in ascending order of end (an end that
    // is not a whole number counts as 0); equal ends keep their order.
    // Returns the entry's new index.
    int ResortMode(int Index);

    // The question for every adjacent pair whose second begins below the
    // end of the first, in list order. A shared boundary is no overlap.
    QStringList OverlapQuestions() const;

    QByteArray ToFileBytes() const;
    void LoadFromFileBytes(const QByteArray &Bytes);

    // Clears the list and reads "Modes.tsv" (data-folder copy first). Returns
    // a message when a file exists but cannot be read, else empty text.
    QString LoadModeSegments();
    // Writes "Modes.tsv" (program folder, else data folder). Returns a message
    // for the operator when it could be written nowhere, else empty text.
    QString SaveModeSegments() const;

private:
    QStringList Items;
};
