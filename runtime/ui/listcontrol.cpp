#include "runtime/ui/listcontrol.h"

#include <QFontMetrics>
#include <QHeaderView>

#include <cmath>

namespace tbk {

ListControl::ListControl(QWidget *parent) : QTreeView(parent), model_(new ListModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);   // keeps long lists cheap to lay out
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

int ListControl::unitsToPixels(int units) const {
    return int(std::lround(units * fontMetrics().averageCharWidth() / 4.0));
}

int ListControl::pixelsToUnits(int pixels) const {
    const int avg = std::max(1, fontMetrics().averageCharWidth());
    return int(std::lround(pixels * 4.0 / avg));
}

void ListControl::setFormat(const QString &format) {
    format_ = ListFormat::parse(format);
    model_->setFormat(format_);
    const auto shown = format_.displayColumns();
    for (int i = 0; i < shown.size(); ++i) {
        header()->setSectionResizeMode(i, shown[i]->hasFlag(u'M') ? QHeaderView::Interactive
                                                                    : QHeaderView::Fixed);
        header()->resizeSection(i, unitsToPixels(shown[i]->width));
    }
}

QString ListControl::format() const {
    ListFormat now = format_;
    const auto shown = now.displayColumns();
    for (int i = 0; i < shown.size(); ++i) {
        // Only a width the user changed is written back, so an untouched format comes back
        // exactly as it was given.
        const int px = header()->sectionSize(i);
        if (px != unitsToPixels(shown[i]->width))
            shown[i]->width = pixelsToUnits(px);
    }
    return now.toString();
}

void ListControl::setRows(ListRows *rows) { model_->setRows(rows); }

int ListControl::currentRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void ListControl::setCurrentRow(int row) {
    if (row < 0 || row >= model_->rowCount()) {
        setCurrentIndex({});
        return;
    }
    setCurrentIndex(model_->index(row, 0));
}

QStringList ListControl::rowTexts(int row) const {
    QStringList out;
    for (int c = 0; c < model_->columnCount(); ++c)
        out << model_->cellText(row, c);
    return out;
}

void ListControl::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTreeView::currentChanged(current, previous);
    if (current.row() != previous.row() || current.isValid() != previous.isValid())
        emit currentRowChanged(current.isValid() ? current.row() : -1);
}

} // namespace tbk
