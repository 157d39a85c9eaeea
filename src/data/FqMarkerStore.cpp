#include "data/FqMarkerStore.h"

#include "base/Settings.h"
#include "data/DataFile.h"
#include "data/FqMarkerFormat.h"

#include <QSet>
#include <QTimer>

namespace {

// A settings value holds 255 characters; longer group lists go on in numbered
// values after the first.
constexpr int ValueLength = 255;

QString continuationName(int Number)
{
    return TFqMarkerStore::GroupsSettingName() + QLatin1Char('.') + QString::number(Number);
}

} // namespace

TFqMarkerStore::TFqMarkerStore(QObject *Parent)
    : QObject(Parent)
    , SaveTmr(new QTimer(this))
{
    SaveTmr->setSingleShot(true);
    SaveTmr->setInterval(500);
    connect(SaveTmr, &QTimer::timeout, this, &TFqMarkerStore::SaveNow);
}

TFqMarkerStore::~TFqMarkerStore() = default;

TFqMarker *TFqMarkerStore::NewMarker()
{
    auto marker = std::make_unique<TFqMarker>();
    TFqMarker *raw = marker.get();
    Owned.emplace(raw, std::move(marker));
    return raw;
}

bool TFqMarkerStore::Owns(const TFqMarker *Marker) const
{
    return Owned.find(Marker) != Owned.end();
}

void TFqMarkerStore::Free(TFqMarker *Marker)
{
    Owned.erase(Marker);
}

void TFqMarkerStore::FreeUnlisted(const QList<TFqMarker *> &Listed)
{
    QSet<const TFqMarker *> listed;
    listed.reserve(Listed.size());
    for (const TFqMarker *marker : Listed)
        listed.insert(marker);
    for (auto it = Owned.begin(); it != Owned.end();) {
        if (listed.contains(it->first))
            ++it;
        else
            it = Owned.erase(it);
    }
}

TFqMarkerStore::TLoadResult TFqMarkerStore::LoadMarkers()
{
    TLoadResult result;
    const TDataFileRead read = ReadDataFile(FileName());
    result.Found = read.Found;
    result.Problem = read.Error;
    CanSave = read.Error.isEmpty();
    result.Markers = ParseMarkerFile(read.Bytes, &result.UnreadableLines);
    KeptLines = result.UnreadableLines;
    LastWritten.clear();
    if (!result.Found)
        MarkersChanged(); // a new file, so that the missing-file message is not repeated
    return result;
}

QList<TFqMarker *> TFqMarkerStore::ParseMarkerFile(const QByteArray &Bytes, QStringList *Unreadable)
{
    QList<TFqMarker *> markers;
    const QStringList lines = ParseDataFileLines(Bytes);
    markers.reserve(lines.size());
    Owned.reserve(Owned.size() + static_cast<size_t>(lines.size()));
    TFqMarker parsed;
    for (const QString &line : lines) {
        parsed = TFqMarker();
        if (!ParseMarkerLine(line, parsed)) {
            if (Unreadable)
                Unreadable->append(line);
            continue;
        }
        TFqMarker *marker = NewMarker();
        *marker = std::move(parsed);
        markers.append(marker);
    }
    return markers;
}

QByteArray TFqMarkerStore::FormatMarkerFile(const QList<TFqMarker *> &Markers, const QStringList &Kept)
{
    QStringList lines;
    lines.reserve(Markers.size() + Kept.size());
    for (const TFqMarker *marker : Markers) {
        if (marker->Permanent)
            lines.append(FormatMarkerLine(*marker));
    }
    lines += Kept;
    return FormatDataFileLines(lines);
}

QString TFqMarkerStore::UnreadableLinesMessage(const QStringList &Lines)
{
    return QStringLiteral("%1 line(s) of \"%2\" could not be read as frequency markers. They are kept in the "
                          "file unchanged, after the markers.\n\nThe first one:\n%3")
        .arg(Lines.size())
        .arg(DataFileReadPath(FileName()), Lines.value(0).left(200));
}

QStringList TFqMarkerStore::ReadVisibleGroups()
{
    if (!SettingExists(GroupsSettingName()))
        return DefaultVisibleGroups();
    QString text = ReadSetting(GroupsSettingName());
    for (int number = 2; text.size() >= ValueLength * (number - 1); ++number) {
        const QString more = ReadSetting(continuationName(number));
        if (more.isEmpty())
            break;
        text += more;
    }
    QStringList groups;
    for (const QString &line : MarkerTextLines(text)) {
        if (!line.isEmpty())
            groups.append(line);
    }
    return groups;
}

bool TFqMarkerStore::WriteVisibleGroups(const QStringList &Groups)
{
    QString text;
    for (const QString &group : Groups)
        text += group + QLatin1String("\r\n");
    bool ok = WriteSetting(GroupsSettingName(), text.left(ValueLength));
    int number = 2;
    for (qsizetype at = ValueLength; at < text.size(); at += ValueLength, ++number)
        ok = WriteSetting(continuationName(number), text.mid(at, ValueLength)) && ok;
    // A longer list of an earlier run must not go on after this one.
    if (SettingExists(continuationName(number)))
        ok = WriteSetting(continuationName(number), QString()) && ok;
    return ok;
}

void TFqMarkerStore::SetSource(std::function<QList<TFqMarker *>()> Markers, std::function<QStringList()> Groups)
{
    MarkerSource = std::move(Markers);
    GroupSource = std::move(Groups);
}

void TFqMarkerStore::MarkersChanged()
{
    FilePending = true;
    if (!SaveTmr->isActive())
        SaveTmr->start();
}

void TFqMarkerStore::GroupsChanged()
{
    GroupsPending = true;
    if (!SaveTmr->isActive())
        SaveTmr->start();
}

bool TFqMarkerStore::SavePending() const
{
    return FilePending || GroupsPending;
}

int TFqMarkerStore::SaveDelay() const
{
    return SaveTmr->interval();
}

void TFqMarkerStore::SetSaveDelay(int Milliseconds)
{
    SaveTmr->setInterval(Milliseconds);
}

bool TFqMarkerStore::SaveNow()
{
    SaveTmr->stop();
    const bool fileOk = SaveFile();
    const bool groupsOk = SaveGroups();
    return fileOk && groupsOk;
}

bool TFqMarkerStore::SaveFile()
{
    if (!FilePending || !CanSave || !MarkerSource)
        return true;
    FilePending = false;
    const QByteArray bytes = FormatMarkerFile(MarkerSource(), KeptLines);
    if (bytes == LastWritten)
        return true;
    const QString problem = SaveDataFile(FileName(), bytes);
    if (problem.isEmpty())
        LastWritten = bytes;
    else
        FilePending = true; // tried again with the next change or at exit
    Report(FileFailureReported, problem);
    return problem.isEmpty();
}

bool TFqMarkerStore::SaveGroups()
{
    if (!GroupsPending || !GroupSource)
        return true;
    GroupsPending = false;
    if (WriteVisibleGroups(GroupSource())) {
        Report(GroupsFailureReported, QString());
        return true;
    }
    GroupsPending = true;
    Report(GroupsFailureReported,
           QStringLiteral("The visible frequency marker groups can't be saved to ") + SettingsLocation());
    return false;
}

void TFqMarkerStore::Report(bool &Reported, const QString &Problem)
{
    if (Problem.isEmpty()) {
        Reported = false;
        return;
    }
    if (Reported)
        return;
    Reported = true;
    emit SaveFailed(Problem);
}
