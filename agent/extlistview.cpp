#include "agent/extlistview.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimerEvent>

#include <algorithm>

namespace tbk::agent {

namespace {
constexpr quint32 kStyleBits = lvxGridLines | lvxSubItemImages | lvxCheckboxes | lvxTrackSelect |
                               lvxHeaderDragDrop | lvxFullRowSelect | lvxOneClickActivate |
                               lvxTwoClickActivate | lvxFlatScrollBar | lvxUnderlineHot |
                               lvxUnderlineCold;
constexpr int kDefaultHoverTime = 400;   // milliseconds, when the list is given none
} // namespace

ListViewExtendedStyles normaliseExtendedStyles(ListViewExtendedStyles s) {
    if (s.testFlag(lvxUnderlineCold) && !s.testFlag(lvxOneClickActivate))
        s |= lvxOneClickActivate;
    if (s.testFlag(lvxUnderlineHot) && !s.testFlag(lvxOneClickActivate) &&
        !s.testFlag(lvxTwoClickActivate))
        s |= lvxOneClickActivate;
    return s;
}

ListViewExtendedStyles extendedStylesFromBits(quint32 bits) {
    return ListViewExtendedStyles::fromInt(int(bits & kStyleBits));
}

QList<int> columnOrderFrom(const QString &text, int columns) {
    QList<int> identity;
    for (int i = 0; i < columns; ++i)
        identity << i;
    if (text.isEmpty())
        return identity;
    const QList<int> order = readNumbers(text);
    QList<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    // A damaged value (a word read as 0 repeats column 0) would scramble the header.
    return sorted == identity ? order : identity;
}

EELVOldComCtl::EELVOldComCtl()
    : EELVException("COMCTL32.DLL is older than required version") {}

bool comCtlVersionSufficient(const QString &version) {
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    if (parts.size() > 4)
        return false;
    QList<int> v;
    for (const QString &p : parts) {
        bool ok = false;
        const int n = p.toInt(&ok);
        if (!ok || n < 0)
            return false;
        v << n;
    }
    while (v.size() < 4)
        v << 0;
    return v >= QList<int>{4, 70, 0, 0};
}

// --- column formats --------------------------------------------------------------------------

void ExtendedListColumn::setImageIndex(int value) {
    imageIndex_ = value;
    owner_->changed(-1);
}

void ExtendedListColumn::setImageAlignment(ColumnImageAlign value) {
    imageAlignment_ = value;
    owner_->changed(-1);
}

void ExtendedListColumn::Assign(const ExtendedListColumn &other) {
    imageIndex_ = other.imageIndex_;
    imageAlignment_ = other.imageAlignment_;
    owner_->changed(owner_->indexOf(this));
}

ExtendedListColumns::ExtendedListColumns(std::function<void(int)> changed)
    : changed_(std::move(changed)) {}

ExtendedListColumn &ExtendedListColumns::Add() {
    items_.push_back(std::unique_ptr<ExtendedListColumn>(new ExtendedListColumn(this)));
    changed(-1);
    return *items_.back();
}

const ExtendedListColumn *ExtendedListColumns::find(int index) const {
    return index >= 0 && index < Count() ? items_[size_t(index)].get() : nullptr;
}

int ExtendedListColumns::indexOf(const ExtendedListColumn *column) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == column)
            return int(i);
    return -1;
}

void ExtendedListColumns::Clear() {
    items_.clear();
    changed(-1);
}

void ExtendedListColumns::Assign(const ExtendedListColumns &other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto &c : other.items_) {
        items_.push_back(std::unique_ptr<ExtendedListColumn>(new ExtendedListColumn(this)));
        items_.back()->imageIndex_ = c->imageIndex_;
        items_.back()->imageAlignment_ = c->imageAlignment_;
    }
    changed(-1);
}

void ExtendedListColumns::changed(int column) const {
    if (changed_)
        changed_(column);
}

// --- the list --------------------------------------------------------------------------------

ExtendedListView::ExtendedListView(QWidget *parent)
    : CustomEnhancedListView(parent), columnsFormat_([this](int column) {
          if (column < 0)
              header_->viewport()->update();
          else
              InvalidateColumnHeader(column);
      }) {
    saveSettings_ = std::make_unique<ExtendedListSaveSettings>();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ExtendedListView::selectionChangedInVirtualMode);
}

ExtendedListView::~ExtendedListView() { DestroyWnd(); }

QString ExtendedListView::Version() const { return QStringLiteral("ExtendedListView v3.07"); }

ExtendedListSaveSettings &ExtendedListView::SaveSettings() {
    return static_cast<ExtendedListSaveSettings &>(*saveSettings_);
}

void ExtendedListView::setExtendedStyles(ListViewExtendedStyles value) {
    value = normaliseExtendedStyles(value);
    extendedStyles_ = value;
    setShowGrid(value.testFlag(lvxGridLines));
    setFullRowSelect(value.testFlag(lvxFullRowSelect));
    items_->checkBoxes = value.testFlag(lvxCheckboxes);
    items_->subItemImages = value.testFlag(lvxSubItemImages);
    header_->setSectionsMovable(value.testFlag(lvxHeaderDragDrop));
    // The flat scroll bar has no look of its own here: the normal one is drawn.
    const bool tracking = value & (lvxTrackSelect | lvxOneClickActivate | lvxTwoClickActivate);
    setMouseTracking(tracking);
    viewport()->setMouseTracking(tracking);
    if (!tracking)
        setHotItem(-1, -1, {});
    viewport()->update();
}

bool ExtendedListView::activatesOnClick() const {
    return extendedStyles_ & (lvxOneClickActivate | lvxTwoClickActivate);
}

void ExtendedListView::setVirtualMode(bool value) {
    if (value == items_->isVirtual())
        return;
    RecreateWnd();
    items_->setVirtual(value, value ? VirtualCell([this](int r, int c, int role) {
        return virtualCell(r, c, role);
    })
                                    : VirtualCell());
    itemCount_ = 0;
    lastHint_ = {};
}

void ExtendedListView::setItemCount(int count, int flags) {
    itemCount_ = std::max(0, count);
    itemCountFlags_ = flags;
    if (!items_->isVirtual())
        return;
    const int scroll = verticalScrollBar()->value();
    items_->setVirtualCount(itemCount_);
    if (flags & icfNoScroll)
        verticalScrollBar()->setValue(scroll);
    if (!(flags & icfNoInvalidateAll))
        viewport()->update();
}

void ExtendedListView::setRequireComCtlUpdate(bool value) {
    requireComCtlUpdate_ = value;
    // The list view here is Qt's: its libraries' version stands for the control library's.
    if (value && !comCtlVersionSufficient(QString::fromLatin1(qVersion())))
        throw EELVOldComCtl();
}

void ExtendedListView::setSmallImages(ImageList *images) {
    if (SmallImages())
        disconnect(SmallImages(), nullptr, this, nullptr);
    CustomEnhancedListView::setSmallImages(images);
    if (images)
        connect(images, &ImageList::changed, this, [this] {
            header_->viewport()->update();
            viewport()->update();
        });
    header_->viewport()->update();
}

// --- column order ----------------------------------------------------------------------------

QList<int> ExtendedListView::ColumnOrder() const {
    const int n = items_->columnCount();
    if (n == 0)
        return keptOrder_;
    QList<int> order;
    for (int v = 0; v < n; ++v)
        order << header_->logicalIndex(v);
    return order;
}

void ExtendedListView::setColumnOrder(const QList<int> &order) {
    keptOrder_ = order;
    applyOrder();
}

void ExtendedListView::applyOrder() {
    const int n = items_->columnCount();
    if (n == 0 || keptOrder_.size() != n)
        return;
    QList<int> sorted = keptOrder_;
    std::sort(sorted.begin(), sorted.end());
    if (sorted != columnOrderFrom(QString(), n))
        return;   // not an arrangement of these columns
    for (int v = 0; v < n; ++v) {
        const int from = header_->visualIndex(keptOrder_[v]);
        if (from != v)
            header_->moveSection(from, v);
    }
    viewport()->update();
}

void ExtendedListView::columnsSet() { applyOrder(); }

int ExtendedListView::DisplayPosition(int column) const {
    const int v = header_->visualIndex(column);
    return v < 0 ? 0 : v;
}

int ExtendedListView::ColumnAtPosition(int position) const {
    return header_->logicalIndex(position);
}

// --- settings --------------------------------------------------------------------------------

void ExtendedListView::SaveColumnSettings() {
    ExtendedListSaveSettings &s = SaveSettings();
    const int n = items_->columnCount();
    if (!s.AutoSave || n == 0 || (!s.SaveColumnOrder && !s.SaveColumnSizes))
        return;
    if (s.SaveColumnOrder)
        writeColumnsValue(s.RegistryKey, QStringLiteral("Order"), joinNumbers(ColumnOrder()));
    if (s.SaveColumnSizes) {
        QList<int> widths;
        for (int p = 0; p < n; ++p)
            widths << header_->sectionSize(ColumnAtPosition(p));
        writeColumnsValue(s.RegistryKey, QStringLiteral("Sizes"), joinNumbers(widths));
    }
}

void ExtendedListView::LoadColumnSettings() {
    ExtendedListSaveSettings &s = SaveSettings();
    const int n = items_->columnCount();
    if (!s.AutoSave)
        return;
    if (s.SaveColumnOrder)
        setColumnOrder(columnOrderFrom(readColumnsValue(s.RegistryKey, QStringLiteral("Order")), n));
    if (s.SaveColumnSizes) {
        const QString sizes = readColumnsValue(s.RegistryKey, QStringLiteral("Sizes"));
        if (sizes.isEmpty())
            return;
        const QList<int> widths = readNumbers(sizes);
        for (int p = 0; p < std::min<qsizetype>(widths.size(), n); ++p)
            header_->resizeSection(ColumnAtPosition(p), std::max(0, widths[p]));
    }
}

// --- drawing ---------------------------------------------------------------------------------

bool ExtendedListView::initialFullRowSelect() const {
    return extendedStyles_.testFlag(lvxFullRowSelect);
}

bool ExtendedListView::sortArrowShown() const {
    return ShowSortArrows() && (AutoColumnSort() != acsNoSort || bool(OnSortItems));
}

bool ExtendedListView::headerImage(int column, QPixmap &image, bool &rightOfText) const {
    const ExtendedListColumn *format = columnsFormat_.find(column);
    ImageList *images = SmallImages();
    if (!format || !images || images->count() == 0 || format->ImageIndex() < 0)
        return false;
    image = images->image(format->ImageIndex());
    rightOfText = format->ImageAlignment() == ciaRightOfText;
    return !image.isNull();
}

bool ExtendedListView::ColumnFormatApplies(int column) const {
    QPixmap image;
    bool right = false;
    return !OnDrawHeader() && !ShowSortArrows() && headerImage(column, image, right);
}

void ExtendedListView::adjustCellOption(QStyleOptionViewItem &option,
                                        const QModelIndex &index) const {
    CustomEnhancedListView::adjustCellOption(option, index);
    const bool hot = hotItem_ >= 0 && index.row() == hotItem_;
    if (hot && activatesOnClick())
        option.palette.setColor(QPalette::Text, option.palette.color(QPalette::Link));
    if ((hot && extendedStyles_.testFlag(lvxUnderlineHot)) ||
        (!hot && extendedStyles_.testFlag(lvxUnderlineCold)))
        option.font.setUnderline(true);
}

void ExtendedListView::paintEvent(QPaintEvent *e) {
    if (items_->isVirtual() && OnVMCacheHint && items_->rowCount() > 0) {
        const int first = std::max(0, rowAt(0));
        int last = rowAt(viewport()->height() - 1);
        if (last < 0)
            last = items_->rowCount() - 1;
        if (first != lastHint_.From || last != lastHint_.To) {
            lastHint_ = {first, last};
            DoVMCacheHint(lastHint_);
        }
    }
    CustomEnhancedListView::paintEvent(e);
}

// --- virtual mode ----------------------------------------------------------------------------

QVariant ExtendedListView::virtualCell(int row, int column, int role) {
    int mask = 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: mask = vmText; break;
    case Qt::DecorationRole: mask = vmImage; break;
    case Qt::CheckStateRole: mask = vmState; break;
    default: return {};
    }
    int image = -1, state = 0, indent = 0;
    qintptr param = 0;
    QString text;
    DoVMGetItemInfo(row, column, mask, image, param, state, indent, text);
    switch (mask) {
    case vmText: return text;
    case vmImage: return image >= 0 ? QVariant(image) : QVariant();
    default: return (state & isStateImageMask) == isChecked ? Qt::Checked : Qt::Unchecked;
    }
}

void ExtendedListView::DoVMGetItemInfo(int item, int subItem, int mask, int &image,
                                       qintptr &param, int &state, int &indent, QString &text) {
    if (OnVMGetItemInfo && item >= 0)
        OnVMGetItemInfo(this, item, subItem, mask, image, param, state, indent, text);
}

void ExtendedListView::DoVMCacheHint(const VMCacheHint &hint) {
    if (OnVMCacheHint)
        OnVMCacheHint(this, hint);
}

void ExtendedListView::DoVMFindItem(const VMFindInfo &find, int &found) {
    if (OnVMFindItem)
        OnVMFindItem(this, find, found);
}

void ExtendedListView::DoVMStateChanged(const VMStateInfo &state) {
    if (OnVMStateChanged)
        OnVMStateChanged(this, state);
}

void ExtendedListView::keyboardSearch(const QString &search) {
    if (!items_->isVirtual()) {
        CustomEnhancedListView::keyboardSearch(search);
        return;
    }
    if (search.isEmpty())
        return;
    if (!searchClock_.isValid() || searchClock_.elapsed() > QApplication::keyboardInputInterval())
        search_.clear();
    searchClock_.restart();
    search_ += search;
    VMFindInfo find;
    find.Text = search_;
    find.Start = std::max(0, currentIndex().row());
    int found = -1;
    DoVMFindItem(find, found);
    if (found >= 0 && found < items_->rowCount()) {
        selectRow(found);
        scrollTo(items_->index(found, 0));
    }
}

void ExtendedListView::selectionChangedInVirtualMode(const QItemSelection &selected,
                                                     const QItemSelection &deselected) {
    if (!items_->isVirtual())
        return;
    for (const QItemSelectionRange &r : deselected)
        DoVMStateChanged({r.top(), r.bottom(), 0, isSelected});
    for (const QItemSelectionRange &r : selected)
        DoVMStateChanged({r.top(), r.bottom(), isSelected, 0});
}

// --- mouse and keys --------------------------------------------------------------------------

void ExtendedListView::DoMarqueeBegin(bool &canBegin) {
    if (OnMarqueeBegin)
        OnMarqueeBegin(this, canBegin);
}

void ExtendedListView::DoItemActivate() {
    if (OnItemActivate)
        OnItemActivate(this);
}

void ExtendedListView::DoHotTrack(int &item, int subItem, QPoint location, bool &allowSelect) {
    if (OnHotTrack)
        OnHotTrack(this, item, subItem, location, allowSelect);
}

void ExtendedListView::mousePressEvent(QMouseEvent *e) {
    const QModelIndex at = indexAt(e->position().toPoint());
    if (!at.isValid() && MultiSelect() && e->button() == Qt::LeftButton) {
        bool canBegin = true;
        DoMarqueeBegin(canBegin);
        if (!canBegin) {
            e->accept();
            return;
        }
    }
    pressedOnSelected_ = at.isValid() && selectionModel()->isRowSelected(at.row(), {});
    CustomEnhancedListView::mousePressEvent(e);
}

void ExtendedListView::mouseReleaseEvent(QMouseEvent *e) {
    CustomEnhancedListView::mouseReleaseEvent(e);
    const QModelIndex at = indexAt(e->position().toPoint());
    if (!at.isValid() || e->button() != Qt::LeftButton)
        return;
    if (extendedStyles_.testFlag(lvxOneClickActivate) ||
        (extendedStyles_.testFlag(lvxTwoClickActivate) && pressedOnSelected_))
        DoItemActivate();
}

void ExtendedListView::mouseDoubleClickEvent(QMouseEvent *e) {
    CustomEnhancedListView::mouseDoubleClickEvent(e);
    if (!activatesOnClick() && indexAt(e->position().toPoint()).isValid())
        DoItemActivate();
}

void ExtendedListView::keyPressEvent(QKeyEvent *e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (enter && state() != EditingState && currentIndex().isValid()) {
        DoItemActivate();
        e->accept();
        return;
    }
    CustomEnhancedListView::keyPressEvent(e);
}

void ExtendedListView::mouseMoveEvent(QMouseEvent *e) {
    CustomEnhancedListView::mouseMoveEvent(e);
    const QPoint pos = e->position().toPoint();
    const QModelIndex at = indexAt(pos);
    setHotItem(at.isValid() ? at.row() : -1, at.column(), pos);
}

void ExtendedListView::leaveEvent(QEvent *e) {
    CustomEnhancedListView::leaveEvent(e);
    setHotItem(-1, -1, {});
}

void ExtendedListView::setHotItem(int row, int column, QPoint location) {
    if (row == hotItem_ || !hasMouseTracking()) {
        if (row < 0 && hotItem_ >= 0) {
            hotItem_ = -1;
            hoverTimer_.stop();
            viewport()->update();
        }
        return;
    }
    if (row >= 0) {
        bool allow = true;
        DoHotTrack(row, column, location, allow);
        if (!allow)
            row = -1;
    }
    hotItem_ = row;
    setCursor(row >= 0 && activatesOnClick() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    hoverTimer_.stop();
    if (row >= 0 && extendedStyles_.testFlag(lvxTrackSelect))
        hoverTimer_.start(hoverTime_ < 0 ? kDefaultHoverTime : hoverTime_, this);
    viewport()->update();
}

void ExtendedListView::timerEvent(QTimerEvent *e) {
    if (e->timerId() != hoverTimer_.timerId()) {
        CustomEnhancedListView::timerEvent(e);
        return;
    }
    hoverTimer_.stop();
    if (hotItem_ >= 0 && hotItem_ < items_->rowCount())
        selectRow(hotItem_);
}

void ExtendedListView::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    CustomEnhancedListView::currentChanged(current, previous);
    // The mark is where a range selection starts: a move without Shift sets it.
    if (current.isValid() && !(QApplication::keyboardModifiers() & Qt::ShiftModifier))
        selectionMark_ = current.row();
}

} // namespace tbk::agent
