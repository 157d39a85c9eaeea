// "FqMarkers.tsv" as an operator's editor or another program may leave it,
// and single marker lines: any bytes must load without a crash, every line
// the parser takes must come back the same from its written form, and a file
// written by the store must load to the same markers (and the same lines that
// are no marker) again.
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerStore.h"
#include "data/FqMarkerRows.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    TFqMarkerStore store;
    QStringList unreadable;
    const QList<TFqMarker *> markers = store.ParseMarkerFile(bytes, &unreadable);
    for (const TFqMarker *marker : markers) {
        const QString line = FormatMarkerLine(*marker);
        TFqMarker again;
        if (!ParseMarkerLine(line, again) || FormatMarkerLine(again) != line)
            std::abort();
        (void)PreferUpperCase(marker->Caption);
        (void)GroupMarkerFrequency(marker->Frequency);
    }
    // Written and read again: the same permanent markers, character for
    // character, and a second save changes nothing.
    const QByteArray once = TFqMarkerStore::FormatMarkerFile(markers);
    const QList<TFqMarker *> reread = store.ParseMarkerFile(once);
    qsizetype next = 0;
    for (const TFqMarker *marker : markers) {
        if (!marker->Permanent)
            continue;
        if (next >= reread.size() || FormatMarkerLine(*reread.at(next++)) != FormatMarkerLine(*marker))
            std::abort();
    }
    if (next != reread.size() || TFqMarkerStore::FormatMarkerFile(reread) != once)
        std::abort();
    // Lines that are no marker come back as they were, after the markers.
    QStringList kept;
    const QList<TFqMarker *> withKept = store.ParseMarkerFile(TFqMarkerStore::FormatMarkerFile(markers, unreadable), &kept);
    if (kept != unreadable || withKept.size() != reread.size())
        std::abort();

    // The marker list's rows hold the same lines.
    TFqMarkerRows rows;
    QStringList lines;
    for (const TFqMarker *marker : markers)
        lines << FormatMarkerLine(*marker);
    rows.SetLines(lines);
    for (int row = 0; row < rows.Count(); ++row) {
        for (int column = 0; column < TFqMarkerRows::ColumnCount; ++column)
            (void)rows.data(rows.index(row, column), Qt::DisplayRole);
        (void)rows.ResortMarkerRow(row);
    }
    (void)rows.FindRow(QString::fromUtf8(bytes.left(8)), 0);

    // One line as it is, without the file's decoding and trimming.
    TFqMarker single;
    if (ParseMarkerLine(QString::fromUtf8(bytes), single)) {
        const QString line = FormatMarkerLine(single);
        TFqMarker again;
        if (!ParseMarkerLine(line, again) || FormatMarkerLine(again) != line)
            std::abort();
    }
    return 0;
}
