#pragma once
// The rows behind a list control. The list asks only for the rows it draws, so a browse can
// feed it a page at a time instead of holding every record.
#include "runtime/ui/listformat.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <utility>

namespace tbk {

class ListRows {
public:
    virtual ~ListRows() = default;
    virtual int rowCount() const = 0;
    // The value of a list field (1 for the first) of a row; an invalid value shows blank.
    virtual QVariant field(int row, int field) const = 0;
};

class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setFormat(const ListFormat &format);
    void setRows(ListRows *rows);
    // The pictures of icon columns: a column's icon field n (1 for the first) shows icons[n-1],
    // any other number none.
    void setIcons(const QList<QIcon> &icons);
    ListRows *rows() const { return rows_; }

    // The rows source tells the model what changed; until it does, the model keeps the row
    // count it last heard of.
    void rowsReset();
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void rowsChanged(int first, int last);
    // A source that holds one page tells the model it was refilled: only rows that show other
    // values are redrawn, and rows are inserted or removed only when the page's length
    // changed, so the view keeps its current row. Meant for a page, not a whole file: the
    // model remembers the page's values to compare them with the next one.
    void pageChanged();
    // While pageChanged reports a page that moved by whole rows: the rows whose values moved
    // with it (first > last when none).
    std::pair<int, int> shiftedRows() const { return shifted_; }

    // The text a cell shows: the field through the column's picture.
    QString cellText(int row, int column) const;
    // The data indent of a column, in dialog units.
    int indentOf(int column) const;
    // How many columns, from this one on, the column's header cell covers: a group's header
    // covers the group's columns. 0: the column stands under the header of one before it.
    int headerSpan(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // Sent by pageChanged ahead of its dataChanged when the page moved by whole rows (row r
    // now shows what row r + rows showed): a view may move its pixels instead of redrawing
    // shiftedRows().
    void pageShifted(int rows);

private:
    struct Column {
        QString header;
        int headerSpan = 1;
        QString picture;
        Qt::Alignment alignment;
        Qt::Alignment headerAlignment;
        int field = 1;
        int indent = 0;   // dialog units in from the justified side
        bool colour = false;
        bool icon = false;
    };
    QVariant colourField(int row, const Column &c, int offset) const;
    bool hasRow(int row) const { return rows_ && row >= 0 && row < rows_->rowCount(); }
    QList<QVariant> rowValues(int row) const;
    int shiftOf(const QList<QList<QVariant>> &values) const;

    QList<Column> columns_;
    QList<int> fields_;   // every list field the columns show, colour and icon fields included
    QList<QIcon> icons_;
    ListRows *rows_ = nullptr;
    int count_ = 0;
    QList<QList<QVariant>> page_;   // the values last shown, while pageChanged keeps them
    bool pageKnown_ = false;
    std::pair<int, int> shifted_{0, -1};
};

// Qt's alignment for a justification letter ('D', decimal, aligns right).
Qt::Alignment alignmentOf(QChar justification);

} // namespace tbk
