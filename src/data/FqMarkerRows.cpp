#include "data/FqMarkerRows.h"

#include "data/FqMarkerFormat.h"
#include "data/TextFields.h"

#include <QColor>

#include <algorithm>

namespace {

constexpr QChar Tab = QLatin1Char('\t');

// Field N of a row line; GetField would give nothing for a line without TAB.
QString rowField(const QString &Line, int N)
{
    qsizetype start = 0;
    for (int i = 0; i < N; ++i) {
        start = Line.indexOf(Tab, start);
        if (start < 0)
            return QString();
        ++start;
    }
    const qsizetype end = Line.indexOf(Tab, start);
    return end < 0 ? Line.mid(start) : Line.mid(start, end - start);
}

} // namespace

int TFqMarkerRows::rowCount(const QModelIndex &Parent) const
{
    return Parent.isValid() ? 0 : Count();
}

int TFqMarkerRows::columnCount(const QModelIndex &Parent) const
{
    return Parent.isValid() ? 0 : ColumnCount;
}

QVariant TFqMarkerRows::data(const QModelIndex &Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= Count())
        return QVariant();
    const QString &line = RowLines.at(Index.row());
    switch (Role) {
    case Qt::DisplayRole:
        switch (Index.column()) {
        case ColFrequency:
            return GroupMarkerFrequency(RowFrequency(Index.row()));
        case ColCaption:
            return rowField(line, 1);
        case ColMode:
            return rowField(line, 2);
        case ColAttributes:
            return rowField(line, 4);
        case ColRemark:
            return rowField(line, 5).replace(QLatin1Char('~'), QChar(0x00B6));
        default:
            return QVariant();
        }
    case Qt::TextAlignmentRole:
        if (Index.column() == ColFrequency)
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (rowField(line, 3) == QLatin1String("0"))
            return QColor(Qt::blue);
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TFqMarkerRows::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole)
        return QVariant();
    static const char *const titles[ColumnCount] = {"Frequency", "Caption", "Mode", "Attributes", "Remark"};
    return Section >= 0 && Section < ColumnCount ? QString::fromLatin1(titles[Section]) : QVariant();
}

void TFqMarkerRows::SetLines(const QStringList &NewLines)
{
    beginResetModel();
    RowLines = NewLines;
    endResetModel();
}

qint32 TFqMarkerRows::RowFrequency(int Row) const
{
    qint32 frequency = 0;
    if (!ReadMarkerFrequency(rowField(RowLines.value(Row), 0), frequency))
        return 0;
    return frequency;
}

void TFqMarkerRows::SetLine(int Row, const QString &Line)
{
    if (Row < 0 || Row >= Count())
        return;
    RowLines[Row] = Line;
    emit dataChanged(index(Row, 0), index(Row, ColumnCount - 1));
}

int TFqMarkerRows::InsertLine(int Row, const QString &Line)
{
    const int at = qBound(0, Row, Count());
    beginInsertRows(QModelIndex(), at, at);
    RowLines.insert(at, Line);
    endInsertRows();
    return at;
}

void TFqMarkerRows::RemoveRows(const QList<int> &Rows)
{
    QList<int> rows = Rows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int row) { return row < 0 || row >= Count(); });
    if (rows.isEmpty())
        return;
    if (rows.size() == 1) {
        beginRemoveRows(QModelIndex(), rows.first(), rows.first());
        RowLines.removeAt(rows.first());
        endRemoveRows();
        return;
    }
    // Many rows at once: one pass instead of a removal (and a shift of all
    // later rows) per row.
    beginResetModel();
    QStringList kept;
    kept.reserve(RowLines.size() - rows.size());
    qsizetype next = 0;
    for (int i = 0; i < Count(); ++i) {
        if (next < rows.size() && rows.at(next) == i)
            ++next;
        else
            kept.append(RowLines.at(i));
    }
    RowLines = kept;
    endResetModel();
}

int TFqMarkerRows::ResortMarkerRow(int Row)
{
    if (Row < 0 || Row >= Count())
        return Row;
    const qint32 key = RowFrequency(Row);
    int target = Row;
    while (target > 0 && RowFrequency(target - 1) > key)
        --target;
    if (target == Row) {
        while (target < Count() - 1 && RowFrequency(target + 1) < key)
            ++target;
    }
    if (target == Row)
        return Row;
    // beginMoveRows names the destination as the row the moved one goes
    // before, counted in the list as it was.
    const int destination = target > Row ? target + 1 : target;
    beginMoveRows(QModelIndex(), Row, Row, QModelIndex(), destination);
    RowLines.move(Row, target);
    endMoveRows();
    return target;
}

int TFqMarkerRows::FirstRowNotBelow(qint32 F) const
{
    if (RowLines.isEmpty())
        return -1;
    for (int row = 0; row < Count(); ++row) {
        if (RowFrequency(row) >= F)
            return row;
    }
    return Count() - 1;
}

int TFqMarkerRows::FindRow(const QString &Text, int From) const
{
    if (Text.isEmpty())
        return -1;
    const QString needle = Text.toUpper();
    for (int row = qMax(0, From); row < Count(); ++row) {
        if (RowLines.at(row).toUpper().contains(needle))
            return row;
    }
    return -1;
}
