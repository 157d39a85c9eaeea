#pragma once

// The frequency marker store: it owns the marker objects (the scale's marker
// list only refers to them), reads and writes "FqMarkers.tsv" and keeps the
// switched-on marker groups in the setting "VisibleFqMarkers".
//
// Changes are saved shortly after they are made, not only at exit: a burst of
// changes within SaveDelay() gives one write, so a program that is killed
// loses at most the changes of that last moment. The file is written through
// QSaveFile (whole, or not at all).

#include "controls/ScaleTypes.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>

class QTimer;

class TFqMarkerStore : public QObject
{
    Q_OBJECT
public:
    static QString FileName() { return QStringLiteral("FqMarkers.tsv"); }
    static QString GroupsSettingName() { return QStringLiteral("VisibleFqMarkers"); }

    explicit TFqMarkerStore(QObject *Parent = nullptr);
    ~TFqMarkerStore() override;

    // ---- ownership
    // A new marker that the store owns.
    TFqMarker *NewMarker();
    bool Owns(const TFqMarker *Marker) const;
    // Frees a marker the store owns; others are left alone.
    void Free(TFqMarker *Marker);
    // Frees every owned marker that Listed does not hold (the scale deleted
    // it from its list).
    void FreeUnlisted(const QList<TFqMarker *> &Listed);
    int OwnedCount() const { return static_cast<int>(Owned.size()); }

    // ---- the file
    struct TLoadResult
    {
        QList<TFqMarker *> Markers;  // owned, in file order
        bool Found = false;          // the file exists
        QString Problem;             // it exists but could not be read
        QStringList UnreadableLines; // lines that are no marker, as read
    };
    // Reads the file (data-folder copy first). Lines that are no marker (a
    // typo in a hand-edited frequency) are kept as they were read and written
    // back after the markers with every save, so that nothing the operator
    // wrote is lost. After a failed read the store saves nothing in this run,
    // so that a file it could not read is never replaced by what it holds.
    TLoadResult LoadMarkers();
    // Markers of the file's bytes, owned, in file order; lines that are no
    // marker go to Unreadable when given.
    QList<TFqMarker *> ParseMarkerFile(const QByteArray &Bytes, QStringList *Unreadable = nullptr);
    // The comment line, the line of every permanent marker in list order,
    // then the Kept lines.
    static QByteArray FormatMarkerFile(const QList<TFqMarker *> &Markers, const QStringList &Kept = {});
    // The message for the operator about unreadable lines: how many, and the
    // first of them.
    static QString UnreadableLinesMessage(const QStringList &Lines);

    // ---- the visible groups
    // The stored list, or the four default groups when none was ever stored.
    static QStringList ReadVisibleGroups();
    // Stores the list; false when the settings could not be written. A list
    // longer than one setting value holds goes on in "VisibleFqMarkers.2",
    // ".3"... so that no group is cut.
    static bool WriteVisibleGroups(const QStringList &Groups);

    // ---- saving
    // Where the markers and groups to save come from.
    void SetSource(std::function<QList<TFqMarker *>()> Markers, std::function<QStringList()> Groups);
    // Something changed: save it within SaveDelay().
    void MarkersChanged();
    void GroupsChanged();
    // Writes what is pending at once (also at exit). False when a write
    // failed; the first failure of a run of failures is reported through
    // SaveFailed.
    bool SaveNow();
    bool SavePending() const;
    bool SavingEnabled() const { return CanSave; }
    int SaveDelay() const;
    void SetSaveDelay(int Milliseconds);

signals:
    // The file or the groups could be written nowhere: a message for the
    // operator.
    void SaveFailed(const QString &Problem);

private:
    bool SaveFile();
    bool SaveGroups();
    // Tells the first failure of a run of failures; success ends the run.
    void Report(bool &Reported, const QString &Problem);

    std::unordered_map<const TFqMarker *, std::unique_ptr<TFqMarker>> Owned;
    std::function<QList<TFqMarker *>()> MarkerSource;
    std::function<QStringList()> GroupSource;
    QTimer *SaveTmr = nullptr; // child object
    bool FilePending = false;
    bool GroupsPending = false;
    bool CanSave = false;
    bool FileFailureReported = false;
    bool GroupsFailureReported = false;
    QByteArray LastWritten;
    QStringList KeptLines; // unreadable lines of the file, written back
};
