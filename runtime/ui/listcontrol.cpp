#include "runtime/ui/listcontrol.h"

#include "runtime/ui/dialogunits.h"
#include "runtime/values/picture.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QCursor>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tbk {

namespace {

// Draws each cell its column's indent away from the side it is justified to.
class IndentDelegate : public QStyledItemDelegate {
public:
    explicit IndentDelegate(ListControl *list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        const int px = list_->unitsToPixels(list_->listModel()->indentOf(index.column()));
        if (px == 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        QStyle *style = list_->style();
        // The whole cell's background and selection first, then the text in from its side.
        QStyleOptionViewItem background = cell;
        background.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, list_);
        if (cell.displayAlignment & Qt::AlignRight)
            cell.rect.adjust(0, 0, -px, 0);
        else if (cell.displayAlignment & Qt::AlignLeft)
            cell.rect.adjust(px, 0, 0, 0);
        cell.state &= ~QStyle::State_HasFocus;
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, list_);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (list_->lineHeightSetting() > 0)
            size.setHeight(list_->lineHeightSetting());
        return size;
    }

private:
    ListControl *list_;
};

// Draws a group's header once, across all the columns it covers; each column keeps its own
// section, so its width is still the user's to change.
class ListHeader : public QHeaderView {
public:
    explicit ListHeader(ListControl *list) : QHeaderView(Qt::Horizontal, list), list_(list) {
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // Qt repaints from the resized section on; a header that starts left of it moves too.
        connect(this, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));
    }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override {
        const ListModel *model = list_->listModel();
        int first = logicalIndex;
        while (first > 0 && model->headerSpan(first) == 0)
            --first;
        const int span = model->headerSpan(first);
        if (span <= 1) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        int width = 0;
        for (int i = first; i < first + span; ++i)
            width += sectionSize(i);
        QRect whole = rect;
        whole.moveLeft(rect.left() - (sectionViewportPosition(logicalIndex) - sectionViewportPosition(first)));
        whole.setWidth(width);
        // Drawn whole for each of its sections: the painter keeps to the region being repainted.
        QHeaderView::paintSection(painter, whole, first);
    }

private:
    ListControl *list_;
};

} // namespace

ListControl::ListControl(QWidget *parent) : QTreeView(parent), model_(new ListModel(this)) {
    setHeader(new ListHeader(this));
    setModel(model_);
    setItemDelegate(new IndentDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);   // keeps long lists cheap to lay out
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(model_, &ListModel::pageShifted, this, &ListControl::shiftPixels);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (marking_)
            emit marksChanged();
    });
}

void ListControl::setMarking(bool marking) {
    marking_ = marking;
    setSelectionMode(marking ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

QList<int> ListControl::markedRows() const {
    QList<int> rows;
    for (const QModelIndex &i : selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ListControl::setMarked(int row, bool marked) {
    if (row < 0 || row >= model_->rowCount())
        return;
    selectionModel()->select(model_->index(row, 0), (marked ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                                        QItemSelectionModel::Rows);
}

int ListControl::unitsToPixels(int units) const { return DialogUnits(font()).x(units); }

int ListControl::pixelsToUnits(int pixels) const { return DialogUnits(font()).unitsX(pixels); }

void ListControl::setFormat(const QString &format) {
    // The model is reset; the rows stay, and so does the current one.
    const int row = currentRow();
    format_ = ListFormat::parse(format);
    if (!std::exchange(designKnown_, true))
        design_ = format_;
    model_->setFormat(format_);
    if (row >= 0)
        setCurrentRow(row);
    fitColumns();
}

void ListControl::setWidestText(int column, const QString &text) {
    widest_[column] = text;
    fitColumns();
}

// Widths in dialog units were meant for a smaller font than a user may have: a value cut off
// would be misread.
void ListControl::fitColumns() {
    const auto shown = format_.displayColumns();
    const auto designed = design_.displayColumns();
    shownPixels_.clear();
    for (int i = 0; i < shown.size(); ++i) {
        int px = unitsToPixels(shown[i]->width);
        if (i >= designed.size() || designed[i]->width == shown[i]->width)
            px = std::max(px, widestPixels(i, *shown[i]));
        header()->setSectionResizeMode(i, shown[i]->hasFlag(u'M') ? QHeaderView::Interactive
                                                                    : QHeaderView::Fixed);
        header()->resizeSection(i, px);
        // The header widens a column below its smallest section: that is not the user's doing.
        shownPixels_ << std::clamp(px, header()->minimumSectionSize(), header()->maximumSectionSize());
    }
    updateGeometry();
}

QSize ListControl::sizeHint() const {
    QSize hint = QTreeView::sizeHint();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    hint.setWidth(std::max(hint.width(), header()->length() + 2 * frameWidth() + bar));
    return hint;
}

int ListControl::widestPixels(int column, const ListColumn &c) const {
    QStringList texts = c.picture ? pictureSamples(QLatin1Char('@') + *c.picture) : QStringList();
    if (widest_.contains(column))
        texts << widest_.value(column);
    if (texts.isEmpty())
        return 0;
    // As the cells measure themselves, margins included. Kept by font, style and texts: a list
    // opening measures the same pictures' dozens of samples as the one before.
    static QHash<QString, int> known;
    const QString key = font().key() + QLatin1Char('\n') + style()->name() + QLatin1Char('\n') + texts.join(QLatin1Char('\n'));
    auto it = known.constFind(key);
    if (it == known.constEnd()) {
        QStyleOptionViewItem cell;
        initViewItemOption(&cell);
        cell.features |= QStyleOptionViewItem::HasDisplay;
        int widest = 0;
        for (const QString &t : texts) {
            cell.text = t;
            widest = std::max(widest, style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), this).width());
        }
        it = known.insert(key, widest);
    }
    return *it + unitsToPixels(c.indent.value_or(0));
}

QString ListControl::format() const {
    ListFormat now = format_;
    const auto shown = now.displayColumns();
    for (int i = 0; i < shown.size(); ++i) {
        // Only a width the user changed is written back, so an untouched format comes back
        // exactly as it was given.
        const int px = header()->sectionSize(i);
        if (i >= shownPixels_.size() || px != shownPixels_[i])
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
    if (marking_)   // moving the highlight marks nothing
        selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
    else
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

void ListControl::setPaged(bool paged) {
    if (paged == paged_)
        return;
    paged_ = paged;
    if (paged && !thumb_) {
        thumb_ = new QScrollBar(Qt::Vertical, this);
        thumb_->setObjectName(QStringLiteral("Thumb"));
        thumb_->setRange(1, 100);
        thumb_->setPageStep(10);
        // A drag is reported once, when the thumb is let go, not on every pixel.
        thumb_->setTracking(false);
        thumb_->setFocusPolicy(Qt::NoFocus);
        // The scroll bar's own menu would run a nested event loop.
        thumb_->setContextMenuPolicy(Qt::PreventContextMenu);
        thumb_->installEventFilter(this);
        connect(thumb_, &QAbstractSlider::actionTriggered, this, &ListControl::thumbAction);
        connect(thumb_, &QAbstractSlider::sliderPressed, this, [this] { thumbDragged_ = false; });
        connect(thumb_, &QAbstractSlider::sliderMoved, this, [this] { thumbDragged_ = true; });
        connect(thumb_, &QAbstractSlider::sliderReleased, this, [this] {
            if (std::exchange(thumbDragged_, false))
                emit scrollRequested(ScrollThumb, thumb_->sliderPosition());
        });
        // In the place of the view's own bar, so the viewport, the header and a horizontal
        // scroll bar make room for it as they would for that one.
        addScrollBarWidget(thumb_, Qt::AlignTop);
    }
    if (paged)
        ownPolicy_ = verticalScrollBarPolicy();
    verticalScrollBar()->setVisible(!paged);
    placeThumb();
}

void ListControl::placeThumb() {
    const bool shown = paged_ && thumbVisible_;
    if (thumb_)
        thumb_->setVisible(shown);
    // The view's own bar stays hidden inside its slot; the slot shows only to hold the thumb.
    setVerticalScrollBarPolicy(!paged_ ? ownPolicy_ : shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void ListControl::setThumb(int position) {
    if (!thumb_ || thumb_->isSliderDown())
        return;
    const QSignalBlocker quiet(thumb_);
    thumb_->setValue(std::clamp(position, thumb_->minimum(), thumb_->maximum()));
}

int ListControl::thumb() const { return thumb_ ? thumb_->value() : 0; }

void ListControl::setThumbVisible(bool visible) {
    thumbVisible_ = visible;
    placeThumb();
}

bool ListControl::isThumbVisible() const { return paged_ && thumbVisible_; }

void ListControl::thumbAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        emit scrollRequested(ScrollLineUp, 1);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        emit scrollRequested(ScrollLineDown, 1);
        break;
    case QAbstractSlider::SliderPageStepSub:
        emit scrollRequested(ScrollPageUp, 1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        emit scrollRequested(ScrollPageDown, 1);
        break;
    case QAbstractSlider::SliderToMinimum:
        emit scrollRequested(ScrollTop, 1);
        break;
    case QAbstractSlider::SliderToMaximum:
        emit scrollRequested(ScrollBottom, 1);
        break;
    default:   // a drag, reported when it ends
        return;
    }
    // The window puts the thumb where its page lands.
    thumb_->setSliderPosition(thumb_->value());
}

int ListControl::lineHeight() const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, probe_.index(0)).height();
}

void ListControl::setLineHeight(int pixels) {
    lineHeight_ = std::max(0, pixels);
    // Uniform row heights are measured once; a new height has to be measured again.
    doItemsLayout();
    checkLinesFit();
}

int ListControl::linesFit() const {
    const int h = lineHeight();
    return h > 0 ? std::max(0, viewport()->height() / h) : 0;
}

void ListControl::checkLinesFit() {
    const int n = linesFit();
    if (n != linesFit_) {
        linesFit_ = n;
        emit linesFitChanged(n);
    }
}

void ListControl::updateGeometries() {
    QTreeView::updateGeometries();
    if (paged_)
        checkLinesFit();
}

// A page that moved by a few rows is drawn by moving the rows that stayed; only the rows that
// came in, and those whose highlight went with the pixels, are painted.
void ListControl::shiftPixels(int rows) {
    shifted_ = false;
    const int count = model_->rowCount();
    if (!paged_ || !isVisible() || alternatingRowColors() || count == 0)
        return;
    const QRect first = visualRect(model_->index(0, 0));
    const int h = first.height();
    if (h <= 0)
        return;
    const int width = viewport()->width();
    viewport()->scroll(0, -rows * h, QRect(0, first.top(), width, count * h));
    shifted_ = true;
    auto redraw = [&](int row) {
        if (row >= 0 && row < count)
            viewport()->update(QRect(0, first.top() + row * h, width, h));
    };
    QList<int> marked{currentRow(), indexAt(viewport()->mapFromGlobal(QCursor::pos())).row()};
    for (const QModelIndex &i : selectionModel()->selectedRows())
        marked.append(i.row());
    for (int row : marked) {
        if (row < 0)
            continue;
        redraw(row);
        redraw(row - rows);
    }
}

void ListControl::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
    const auto [moved, last] = model_->shiftedRows();
    if (!shifted_ || moved > last || topLeft.model() != model_) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // The moved pixels already show these rows.
    if (topLeft.row() < moved)
        QTreeView::dataChanged(topLeft, model_->index(std::min(bottomRight.row(), moved - 1), bottomRight.column()), roles);
    if (bottomRight.row() > last)
        QTreeView::dataChanged(model_->index(std::max(topLeft.row(), last + 1), topLeft.column()), bottomRight, roles);
}

void ListControl::keyPressEvent(QKeyEvent *event) {
    if (!paged_) {
        QTreeView::keyPressEvent(event);
        return;
    }
    const int row = currentRow();
    const int last = model_->rowCount() - 1;
    int action = 0;
    switch (event->key()) {
    case Qt::Key_Up:
        if (row <= 0)
            action = ScrollLineUp;
        break;
    case Qt::Key_Down:
        if (row < 0 ? last < 0 : row >= last)
            action = ScrollLineDown;
        break;
    case Qt::Key_PageUp:
        action = ScrollPageUp;
        break;
    case Qt::Key_PageDown:
        action = ScrollPageDown;
        break;
    case Qt::Key_Home:
        action = ScrollTop;
        break;
    case Qt::Key_End:
        action = ScrollBottom;
        break;
    default:
        break;
    }
    if (!action) {
        QTreeView::keyPressEvent(event);
        return;
    }
    event->accept();
    emit scrollRequested(ScrollAction(action), 1);
}

void ListControl::wheelEvent(QWheelEvent *event) {
    if (paged_ && event->angleDelta().y() != 0)
        turnWheel(event);
    else
        QTreeView::wheelEvent(event);
}

void ListControl::turnWheel(QWheelEvent *event) {
    event->accept();
    const int delta = event->angleDelta().y();
    // A turn the other way starts counting anew.
    if (wheelAngle_ != 0 && (wheelAngle_ > 0) != (delta > 0))
        wheelAngle_ = 0;
    // Touchpads send a notch in many small steps: a line moves per whole notch only.
    wheelAngle_ += delta;
    const int notches = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
    if (notches == 0)
        return;
    wheelAngle_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    const int lines = std::abs(notches) * QApplication::wheelScrollLines();
    if (lines > 0)
        emit scrollRequested(notches > 0 ? ScrollLineUp : ScrollLineDown, lines);
}

bool ListControl::eventFilter(QObject *watched, QEvent *event) {
    if (paged_ && watched == thumb_ && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->angleDelta().y() != 0) {
            turnWheel(wheel);
            return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

} // namespace tbk
