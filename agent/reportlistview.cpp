#include "agent/reportlistview.h"

#include <QHeaderView>

namespace tbk::agent {

ReportListView::ReportListView(QWidget *parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // Grid lines between cells, as a report view draws them.
    setStyleSheet(QStringLiteral(
        "QTreeView::item { border-right: 1px solid #c0c0c0; border-bottom: 1px solid #c0c0c0; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }"));
}

void ReportListView::setColumns(const QStringList &titles, const QList<int> &widths) {
    setColumnCount(int(titles.size()));
    setHeaderLabels(titles);
    for (int i = 0; i < widths.size() && i < titles.size(); ++i)
        setColumnWidth(i, widths[i]);
}

void ReportListView::clearRows() { clear(); }

int ReportListView::addRow(const QString &caption, const QStringList &subItems) {
    auto *item = new QTreeWidgetItem(this);
    item->setText(0, caption);
    for (int i = 0; i < subItems.size(); ++i)
        item->setText(i + 1, subItems[i]);
    return indexOfTopLevelItem(item);
}

int ReportListView::rowCount() const { return topLevelItemCount(); }

std::optional<ListRow> ReportListView::row(int index) const {
    const QTreeWidgetItem *item = topLevelItem(index);
    if (!item)
        return std::nullopt;
    ListRow r{item->text(0), {}};
    for (int i = 1; i < columnCount(); ++i)
        r.subItems << item->text(i);
    return r;
}

void ReportListView::selectRow(int index) {
    if (QTreeWidgetItem *item = topLevelItem(index))
        setCurrentItem(item);
}

std::optional<ListRow> ReportListView::selectedRow() const {
    const QList<QTreeWidgetItem *> items = selectedItems();
    if (items.isEmpty())
        return std::nullopt;
    return row(indexOfTopLevelItem(items.first()));
}

} // namespace tbk::agent
