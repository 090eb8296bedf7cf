#pragma once
// The rows behind a list control. The list asks only for the rows it draws, so a browse can
// feed it a page at a time instead of holding every record.
#include "runtime/ui/listformat.h"

#include <QAbstractTableModel>

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
    ListRows *rows() const { return rows_; }

    // The rows source tells the model what changed.
    void rowsReset();
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void rowsChanged(int first, int last);

    // The text a cell shows: the field through the column's picture.
    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        QString header;
        QString picture;
        Qt::Alignment alignment;
        Qt::Alignment headerAlignment;
        int field = 1;
        bool colour = false;
    };
    QVariant colourField(int row, const Column &c, int offset) const;

    QList<Column> columns_;
    ListRows *rows_ = nullptr;
};

// Qt's alignment for a justification letter ('D', decimal, aligns right).
Qt::Alignment alignmentOf(QChar justification);

} // namespace tbk
