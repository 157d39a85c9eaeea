#pragma once

// The rows of the marker list: one marker per row, held as its file line
// (FormatMarkerLine), shown in five columns (frequency grouped, caption,
// mode, attributes, remark with "¶" for its line breaks). Rows of markers
// that are not permanent are blue. A model, so that a list of a hundred
// thousand markers opens and scrolls without one widget item per row.

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class TFqMarkerRows : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { ColFrequency, ColCaption, ColMode, ColAttributes, ColRemark, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &Parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

    void SetLines(const QStringList &NewLines);
    const QStringList &Lines() const { return RowLines; }
    int Count() const { return static_cast<int>(RowLines.size()); }
    QString Line(int Row) const { return RowLines.value(Row); }
    // The frequency field of a row in hertz (0 when not a number).
    qint32 RowFrequency(int Row) const;

    void SetLine(int Row, const QString &Line);
    // Inserts Line at Row (clamped to 0 ... Count()); returns where it went.
    int InsertLine(int Row, const QString &Line);
    // Removes the given rows (any order, repeats allowed).
    void RemoveRows(const QList<int> &Rows);

    // Moves row Row to its place in frequency order: up past rows of higher
    // frequency, then down past rows of lower frequency; rows of equal
    // frequency keep their order. Returns the row's new index.
    int ResortMarkerRow(int Row);

    // The first row whose frequency is not below F; the last row when all
    // are lower; -1 when there are no rows.
    int FirstRowNotBelow(qint32 F) const;
    // The first row from From on whose line contains Text, both taken in
    // upper case; -1 when none (an empty text matches nothing).
    int FindRow(const QString &Text, int From) const;

private:
    QStringList RowLines;
};
