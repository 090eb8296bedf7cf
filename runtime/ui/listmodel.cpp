#include "runtime/ui/listmodel.h"

#include "runtime/values/picture.h"

#include <QColor>

#include <algorithm>

namespace tbk {

Qt::Alignment alignmentOf(QChar justification) {
    switch (justification.toLatin1()) {
    case 'R':
    case 'D':
        return Qt::AlignRight | Qt::AlignVCenter;
    case 'C':
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

namespace {
// What a shown column's header cell says: its own header, else that of the group it leads (a
// group inside a group included); `owner` is the column or group whose header it is.
struct Heading {
    QString text;
    const ListColumn *owner = nullptr;
    QList<const ListColumn *> groups;   // the groups the column stands in, outermost first
};

void collectHeadings(const QList<ListColumn> &columns, const QString &header, const ListColumn *owner,
                     QList<const ListColumn *> &groups, QList<Heading> &out) {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const ListColumn &c = columns[i];
        const QString inherited = i == 0 ? header : QString();
        const ListColumn *inheritedOwner = i == 0 ? owner : nullptr;
        if (c.isGroup) {
            groups.append(&c);
            if (c.header)
                collectHeadings(c.members, *c.header, &c, groups, out);
            else
                collectHeadings(c.members, inherited, inheritedOwner, groups, out);
            groups.removeLast();
        } else if (c.header) {
            out.append({*c.header, &c, groups});
        } else {
            out.append({inherited, inheritedOwner, groups});
        }
    }
}

// A group's header runs on over the group's later columns up to one with a header of its own.
QList<int> headerSpans(const QList<Heading> &headings) {
    QList<int> spans(headings.size(), 1);
    qsizetype lead = -1;
    for (qsizetype i = 0; i < headings.size(); ++i) {
        const ListColumn *group = lead >= 0 ? headings[lead].owner : nullptr;
        if (group && group->isGroup && !headings[i].owner && headings[i].groups.contains(group)) {
            ++spans[lead];
            spans[i] = 0;
        } else {
            lead = i;
        }
    }
    return spans;
}
} // namespace

void ListModel::setFormat(const ListFormat &format) {
    beginResetModel();
    columns_.clear();
    fields_.clear();
    pageKnown_ = false;
    const auto shown = format.displayColumns();
    const auto fields = format.displayFields();
    QList<Heading> headings;
    QList<const ListColumn *> groups;
    collectHeadings(format.columns(), QString(), nullptr, groups, headings);
    const QList<int> spans = headerSpans(headings);
    for (int i = 0; i < shown.size(); ++i) {
        const ListColumn *c = shown[i];
        const ListColumn *headed = headings[i].owner ? headings[i].owner : c;
        Column col;
        col.header = headings[i].text;
        col.headerSpan = spans[i];
        col.picture = c->picture ? QLatin1Char('@') + *c->picture : QString();
        col.alignment = alignmentOf(c->justification);
        col.headerAlignment = headed->headerJustification.isNull() ? alignmentOf(u'L')
                                                                   : alignmentOf(headed->headerJustification);
        col.field = fields[i];
        col.indent = c->indent.value_or(0);
        col.colour = c->hasFlag(u'*');
        col.icon = c->hasFlag(u'I');
        columns_.append(col);
        const int icon = col.field + (col.colour ? 5 : 1);
        if (col.icon && !fields_.contains(icon))
            fields_.append(icon);
        for (int f = col.field; f <= col.field + (col.colour ? 4 : 0); ++f)
            if (!fields_.contains(f))
                fields_.append(f);
    }
    endResetModel();
}

void ListModel::setRows(ListRows *rows) {
    beginResetModel();
    rows_ = rows;
    count_ = rows ? rows->rowCount() : 0;
    pageKnown_ = false;
    endResetModel();
}

void ListModel::setIcons(const QList<QIcon> &icons) {
    icons_ = icons;
    if (count_ > 0 && !columns_.isEmpty())
        emit dataChanged(index(0, 0), index(count_ - 1, int(columns_.size()) - 1), {Qt::DecorationRole});
}

void ListModel::rowsReset() {
    beginResetModel();
    count_ = rows_ ? rows_->rowCount() : 0;
    pageKnown_ = false;
    endResetModel();
}

void ListModel::rowsInserted(int first, int last) {
    beginInsertRows({}, first, last);
    count_ += last - first + 1;
    pageKnown_ = false;
    endInsertRows();
}

void ListModel::rowsRemoved(int first, int last) {
    beginRemoveRows({}, first, last);
    count_ -= last - first + 1;
    pageKnown_ = false;
    endRemoveRows();
}

void ListModel::rowsChanged(int first, int last) {
    pageKnown_ = false;
    if (columns_.isEmpty())
        return;
    emit dataChanged(index(first, 0), index(last, int(columns_.size()) - 1));
}

QList<QVariant> ListModel::rowValues(int row) const {
    QList<QVariant> out;
    out.reserve(fields_.size());
    for (int f : fields_)
        out.append(rows_->field(row, f));
    return out;
}

// How many rows the page moved by when every row that stayed on it moved the same way (0 when
// it did not move as a whole).
int ListModel::shiftOf(const QList<QList<QVariant>> &values) const {
    const int n = int(values.size());
    if (!pageKnown_ || page_.size() != n)
        return 0;
    for (int d = 1; d < n; ++d) {
        for (const int shift : {d, -d}) {
            bool same = true;
            for (int r = std::max(0, -shift); same && r < std::min(n, n - shift); ++r)
                same = values[r] == page_[r + shift];
            if (same)
                return shift;
        }
    }
    return 0;
}

void ListModel::pageChanged() {
    const int now = rows_ ? rows_->rowCount() : 0;
    QList<QList<QVariant>> values;
    values.reserve(now);
    for (int r = 0; r < now; ++r)
        values.append(rowValues(r));
    const int before = count_;
    if (now == before && page_ != values) {
        if (const int shift = shiftOf(values)) {
            shifted_ = {std::max(0, -shift), std::min(now, now - shift) - 1};
            emit pageShifted(shift);
        }
    }
    // Rows that were not shown before need no redraw of their own.
    const int kept = std::min(before, now);
    int first = -1;
    for (int r = 0; r <= kept; ++r) {
        const bool differs = r < kept && (!pageKnown_ || r >= page_.size() || page_[r] != values[r]);
        if (differs && first < 0) {
            first = r;
        } else if (!differs && first >= 0) {
            if (!columns_.isEmpty())
                emit dataChanged(index(first, 0), index(r - 1, int(columns_.size()) - 1));
            first = -1;
        }
    }
    if (now < before) {
        beginRemoveRows({}, now, before - 1);
        count_ = now;
        endRemoveRows();
    } else if (now > before) {
        beginInsertRows({}, before, now - 1);
        count_ = now;
        endInsertRows();
    }
    shifted_ = {0, -1};
    page_ = std::move(values);
    pageKnown_ = true;
}

int ListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !rows_ ? 0 : count_;
}

int ListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

int ListModel::indentOf(int column) const {
    return column >= 0 && column < columns_.size() ? columns_[column].indent : 0;
}

QString ListModel::cellText(int row, int column) const {
    if (!hasRow(row) || column < 0 || column >= columns_.size())
        return {};
    const Column &c = columns_[column];
    const QVariant v = rows_->field(row, c.field);
    if (!v.isValid())
        return {};
    return c.picture.isEmpty() ? v.toString() : formatPicture(c.picture, v);
}

// A colour column's next four fields: text, background, selected text, selected background,
// as the runtime's colour numbers (0x00BBGGRR; -1 the list's own).
QVariant ListModel::colourField(int row, const Column &c, int offset) const {
    const QVariant v = rows_->field(row, c.field + offset);
    if (!v.isValid())
        return {};
    const qint64 n = v.toLongLong();
    if (n < 0)
        return {};
    return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
}

QVariant ListModel::data(const QModelIndex &index, int role) const {
    // The view may still ask for a row of the old page while it is told the page shrank.
    if (!index.isValid() || !hasRow(index.row()))
        return {};
    const Column &c = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(c.alignment);
    case Qt::ForegroundRole:
        return c.colour ? colourField(index.row(), c, 1) : QVariant();
    case Qt::BackgroundRole:
        return c.colour ? colourField(index.row(), c, 2) : QVariant();
    case Qt::DecorationRole: {
        if (!c.icon)
            return {};
        const int n = rows_->field(index.row(), c.field + (c.colour ? 5 : 1)).toInt();
        return n >= 1 && n <= icons_.size() ? QVariant(icons_[n - 1]) : QVariant();
    }
    default:
        return {};
    }
}

int ListModel::headerSpan(int column) const {
    return column >= 0 && column < columns_.size() ? columns_[column].headerSpan : 1;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[section].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[section].headerAlignment);
    return {};
}

} // namespace tbk
