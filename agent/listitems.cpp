#include "agent/listitems.h"

#include <QIcon>

namespace tbk::agent {

void ImageList::add(const QPixmap &image) {
    images_ << image;
    emit changed();
}

void ImageList::clear() {
    images_.clear();
    emit changed();
}

QString columnText(const ListRow &row, int column) {
    if (column == 0)
        return row.caption;
    return row.subItems.value(column - 1);
}

void ListItems::setColumns(const QList<ListColumn> &columns) {
    beginResetModel();
    columns_ = columns;
    endResetModel();
}

int ListItems::addRow(const ListRow &row) {
    const int at = int(rows_.size());
    beginInsertRows({}, at, at);
    rows_ << row;
    endInsertRows();
    return at;
}

void ListItems::removeRow(int row) {
    if (row < 0 || row >= rows_.size())
        return;
    beginRemoveRows({}, row, row);
    rows_.removeAt(row);
    endRemoveRows();
}

void ListItems::clearRows() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void ListItems::setCaption(int row, const QString &caption) {
    if (row < 0 || row >= rows_.size())
        return;
    rows_[row].caption = caption;
    emit dataChanged(index(row, 0), index(row, 0));
}

void ListItems::sortRows(const std::function<int(const ListRow &, const ListRow &)> &compare) {
    // A merge of our own: it stays in bounds and stable whatever a caller's comparer answers,
    // which a standard sort does not promise for an inconsistent one.
    const int n = int(rows_.size());
    QList<int> order(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    QList<int> buffer(n);
    for (int width = 1; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            int a = lo, b = mid, out = lo;
            while (a < mid && b < hi)
                buffer[out++] = compare(rows_[order[b]], rows_[order[a]]) < 0 ? order[b++] : order[a++];
            while (a < mid)
                buffer[out++] = order[a++];
            while (b < hi)
                buffer[out++] = order[b++];
        }
        order.swap(buffer);
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<int> newRowOf(n);
    QList<ListRow> sorted;
    sorted.reserve(n);
    for (int i = 0; i < n; ++i) {
        newRowOf[order[i]] = i;
        sorted << rows_[order[i]];
    }
    rows_.swap(sorted);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex &i : from)
        to << index(newRowOf.value(i.row(), i.row()), i.column());
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListItems::setVirtual(bool on, VirtualCell cell) {
    beginResetModel();
    virtual_ = on;
    cell_ = std::move(cell);
    rows_.clear();
    virtualCount_ = 0;
    endResetModel();
}

void ListItems::setVirtualCount(int count) {
    count = std::max(0, count);
    if (!virtual_ || count == virtualCount_)
        return;
    if (count > virtualCount_) {
        beginInsertRows({}, virtualCount_, count - 1);
        virtualCount_ = count;
        endInsertRows();
    } else {
        beginRemoveRows({}, count, virtualCount_ - 1);
        virtualCount_ = count;
        endRemoveRows();
    }
}

int ListItems::rowCount(const QModelIndex &parent) const {
    if (parent.isValid())
        return 0;
    return virtual_ ? virtualCount_ : int(rows_.size());
}

int ListItems::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ListItems::data(const QModelIndex &index, int role) const {
    const int row = index.row(), column = index.column();
    if (!index.isValid() || column >= columns_.size())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[column].alignment | Qt::AlignVCenter);
    if (role == Qt::CheckStateRole && (!checkBoxes || column != 0))
        return {};
    if (role == Qt::DecorationRole && (!images || (column > 0 && !subItemImages)))
        return {};
    if (virtual_) {
        if (!cell_ || (role != Qt::DisplayRole && role != Qt::EditRole &&
                       role != Qt::DecorationRole && role != Qt::CheckStateRole))
            return {};
        const QVariant v = cell_(row, column, role);
        if (role == Qt::DecorationRole)
            return v.isValid() && images->image(v.toInt()).isNull() == false
                       ? QVariant(QIcon(images->image(v.toInt())))
                       : QVariant();
        return v;
    }
    if (row < 0 || row >= rows_.size())
        return {};
    const ListRow &r = rows_[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return columnText(r, column);
    case Qt::CheckStateRole:
        return r.checked ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole: {
        const int image = column == 0 ? r.imageIndex : r.subItemImages.value(column - 1, -1);
        const QPixmap p = images->image(image);
        return p.isNull() ? QVariant() : QVariant(QIcon(p));
    }
    default:
        return {};
    }
}

bool ListItems::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (virtual_ || !index.isValid() || index.row() >= rows_.size())
        return false;
    if (role == Qt::CheckStateRole && checkBoxes && index.column() == 0) {
        rows_[index.row()].checked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {role});
        return true;
    }
    if (role == Qt::EditRole && index.column() == 0) {
        emit captionEdited(index.row(), value.toString());
        return true;
    }
    return false;
}

Qt::ItemFlags ListItems::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && checkBoxes)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == 0 && editable && !virtual_)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant ListItems::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[section].caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[section].alignment | Qt::AlignVCenter);
    return {};
}

} // namespace tbk::agent
