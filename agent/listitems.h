#pragma once
// The items behind a report-style list view: a caption and sub-items per row, held in the
// model, or asked for row by row when the list is virtual.
#include <QAbstractTableModel>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QStringList>

#include <functional>

namespace tbk::agent {

struct ListRow {
    QString caption;
    QStringList subItems;
    int imageIndex = -1;
    QList<int> subItemImages;   // by sub-item; -1 or missing: none
    bool checked = false;
};

struct ListColumn {
    QString caption;
    int width = 50;
    Qt::Alignment alignment = Qt::AlignLeft;
};

// Pictures shared by lists and their headers; a change is announced so that whoever shows
// them can draw again.
class ImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    int count() const { return int(images_.size()); }
    QPixmap image(int index) const { return images_.value(index); }
    void add(const QPixmap &image);
    void clear();
signals:
    void changed();
private:
    QList<QPixmap> images_;
};

// A virtual list's cell as the model wants it; roles it does not ask for are left as they are.
using VirtualCell = std::function<QVariant(int row, int column, int role)>;

class ListItems : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setColumns(const QList<ListColumn> &columns);
    const QList<ListColumn> &columns() const { return columns_; }

    const QList<ListRow> &rows() const { return rows_; }
    int addRow(const ListRow &row);
    void removeRow(int row);
    void clearRows();
    void setCaption(int row, const QString &caption);

    // Sorts the rows with a three-way comparer; selection and current row move with them.
    void sortRows(const std::function<int(const ListRow &, const ListRow &)> &compare);

    // Virtual mode: no rows are held; the cells come from the callback.
    void setVirtual(bool on, VirtualCell cell);
    bool isVirtual() const { return virtual_; }
    void setVirtualCount(int count);

    bool checkBoxes = false;
    bool subItemImages = false;
    bool editable = false;
    ImageList *images = nullptr;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A caption was edited in place (not set by the program).
    void captionEdited(int row, const QString &text);

private:
    QList<ListColumn> columns_;
    QList<ListRow> rows_;
    bool virtual_ = false;
    int virtualCount_ = 0;
    VirtualCell cell_;
};

// The text of an item in a column: the caption for column 0, else the sub-item (empty when
// the item has none).
QString columnText(const ListRow &row, int column);

} // namespace tbk::agent
