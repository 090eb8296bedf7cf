#pragma once
// The enhanced list view with the extended styles of a report list (grid lines, full-row
// selection, check boxes, movable columns, hot tracking), a virtual mode that asks for the
// rows it shows, column images in the header and a column order kept with the widths.
#include "agent/enhlistview.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QFlags>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tbk::agent {

enum ListViewExtendedStyle {
    lvxGridLines = 0x1,
    lvxSubItemImages = 0x2,
    lvxCheckboxes = 0x4,
    lvxTrackSelect = 0x8,
    lvxHeaderDragDrop = 0x10,
    lvxFullRowSelect = 0x20,
    lvxOneClickActivate = 0x40,
    lvxTwoClickActivate = 0x80,
    lvxFlatScrollBar = 0x100,
    lvxUnderlineHot = 0x800,
    lvxUnderlineCold = 0x1000,
};
using ListViewExtendedStyles = QFlags<ListViewExtendedStyle>;

// Underlining needs an activation style: the set as the list keeps it.
ListViewExtendedStyles normaliseExtendedStyles(ListViewExtendedStyles styles);
// The set from bits; bits that stand for no style are dropped.
ListViewExtendedStyles extendedStylesFromBits(quint32 bits);

class ExtendedListSaveSettings : public EnhancedListSaveSettings {
public:
    bool SaveColumnOrder = true;
};

// The column order a saved "Order" value gives for this many columns: the identity unless the
// value arranges every column exactly once.
QList<int> columnOrderFrom(const QString &text, int columns);

class EELVException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EELVOldComCtl : public EELVException {
public:
    EELVOldComCtl();
};

// Whether a "major.minor.release.build" version (missing parts 0) is at least 4.70.0.0; a
// version that cannot be read is too old.
bool comCtlVersionSufficient(const QString &version);

enum ColumnImageAlign { ciaLeftOfText, ciaRightOfText };

class ExtendedListColumns;

class ExtendedListColumn {
public:
    int ImageIndex() const { return imageIndex_; }
    void setImageIndex(int value);
    ColumnImageAlign ImageAlignment() const { return imageAlignment_; }
    void setImageAlignment(ColumnImageAlign value);
    void Assign(const ExtendedListColumn &other);

private:
    friend class ExtendedListColumns;
    explicit ExtendedListColumn(ExtendedListColumns *owner) : owner_(owner) {}
    ExtendedListColumns *owner_;
    int imageIndex_ = -1;
    ColumnImageAlign imageAlignment_ = ciaRightOfText;
};

// Column image formats by column index; a change tells the owning list which column changed
// (-1: all of them).
class ExtendedListColumns {
public:
    explicit ExtendedListColumns(std::function<void(int column)> changed);
    ExtendedListColumn &Add();
    int Count() const { return int(items_.size()); }
    ExtendedListColumn &Items(int index) { return *items_.at(index); }
    const ExtendedListColumn *find(int index) const;
    int indexOf(const ExtendedListColumn *column) const;
    void Clear();
    void Assign(const ExtendedListColumns &other);

private:
    friend class ExtendedListColumn;
    void changed(int column) const;
    std::vector<std::unique_ptr<ExtendedListColumn>> items_;
    std::function<void(int)> changed_;
};

class ExtendedListView;

// Virtual mode: what an item request asks for (the bits of its mask).
enum VMItemMask { vmText = 0x1, vmImage = 0x2, vmParam = 0x4, vmState = 0x8, vmIndent = 0x10 };
// Item states in the events: focus, selection and the check-box state image (1 off, 2 on).
enum ItemStateBits {
    isFocused = 0x1,
    isSelected = 0x2,
    isUnchecked = 0x1000,
    isChecked = 0x2000,
    isStateImageMask = 0xF000
};
// Item count flags: keep what is shown, keep the scroll position.
enum ItemCountFlags { icfNoInvalidateAll = 0x1, icfNoScroll = 0x2 };

struct VMCacheHint {
    int From = 0;
    int To = -1;
};
struct VMFindInfo {
    QString Text;
    int Start = 0;
    bool Partial = true;
    bool Wrap = true;
};
struct VMStateInfo {
    int From = 0;
    int To = -1;
    int NewState = 0;
    int OldState = 0;
};

using MarqueeBeginEvent = std::function<void(ExtendedListView *Sender, bool &CanBegin)>;
using ItemActivateEvent = std::function<void(ExtendedListView *Sender)>;
using HotTrackEvent = std::function<void(ExtendedListView *Sender, int &ItemIndex, int SubItemIndex,
                                         QPoint Location, bool &AllowSelect)>;
using VMGetItemInfoEvent =
    std::function<void(ExtendedListView *Sender, int Item, int SubItem, int Mask, int &Image,
                       qintptr &Param, int &State, int &Indent, QString &Text)>;
using VMCacheHintEvent = std::function<void(ExtendedListView *Sender, const VMCacheHint &HintInfo)>;
using VMFindItemEvent =
    std::function<void(ExtendedListView *Sender, const VMFindInfo &FindInfo, int &Found)>;
using VMStateChangedEvent =
    std::function<void(ExtendedListView *Sender, const VMStateInfo &StateInfo)>;

class ExtendedListView : public CustomEnhancedListView {
    Q_OBJECT
public:
    explicit ExtendedListView(QWidget *parent = nullptr);
    ~ExtendedListView() override;

    ListViewExtendedStyles ExtendedStyles() const { return extendedStyles_; }
    void setExtendedStyles(ListViewExtendedStyles value);
    bool VirtualMode() const { return items_->isVirtual(); }
    void setVirtualMode(bool value);
    int HoverTime() const { return hoverTime_; }
    void setHoverTime(int value) { hoverTime_ = value; }
    bool RequireComCtlUpdate() const { return requireComCtlUpdate_; }
    // Raises EELVOldComCtl when the libraries in use are too old; the property stays set.
    void setRequireComCtlUpdate(bool value);
    ExtendedListSaveSettings &SaveSettings() override;
    ExtendedListColumns &ColumnsFormat() { return columnsFormat_; }
    void setSmallImages(ImageList *images) override;
    using CustomEnhancedListView::setShowSortArrows;
    using CustomEnhancedListView::ShowSortArrows;
    int SelectionMark() const { return selectionMark_; }
    void setSelectionMark(int value) { selectionMark_ = value; }
    int ItemCount() const { return items_->isVirtual() ? itemCount_ : rowCount(); }
    int ItemCountFlags() const { return itemCountFlags_; }
    void setItemCount(int count, int flags = 0);
    QString Version() const override;

    // Logical column indices in display order.
    QList<int> ColumnOrder() const;
    void setColumnOrder(const QList<int> &order);
    int DisplayPosition(int column) const override;
    int ColumnAtPosition(int position) const override;

    int hotItem() const { return hotItem_; }
    bool ColumnFormatApplies(int column) const override;
    void adjustCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const override;

    MarqueeBeginEvent OnMarqueeBegin;
    ItemActivateEvent OnItemActivate;
    HotTrackEvent OnHotTrack;
    VMGetItemInfoEvent OnVMGetItemInfo;
    VMCacheHintEvent OnVMCacheHint;
    VMFindItemEvent OnVMFindItem;
    VMStateChangedEvent OnVMStateChanged;

    void keyboardSearch(const QString &search) override;

protected:
    bool initialFullRowSelect() const override;
    bool sortArrowShown() const override;
    bool headerImage(int column, QPixmap &image, bool &rightOfText) const override;
    void SaveColumnSettings() override;
    void LoadColumnSettings() override;
    void columnsSet() override;

    void DoMarqueeBegin(bool &canBegin);
    void DoItemActivate();
    void DoHotTrack(int &item, int subItem, QPoint location, bool &allowSelect);
    void DoVMGetItemInfo(int item, int subItem, int mask, int &image, qintptr &param, int &state,
                         int &indent, QString &text);
    void DoVMCacheHint(const VMCacheHint &hint);
    void DoVMFindItem(const VMFindInfo &find, int &found);
    void DoVMStateChanged(const VMStateInfo &state);

    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void timerEvent(QTimerEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    QVariant virtualCell(int row, int column, int role);
    void applyOrder();
    void selectionChangedInVirtualMode(const QItemSelection &selected,
                                       const QItemSelection &deselected);
    void setHotItem(int row, int column, QPoint location);
    bool activatesOnClick() const;

    ListViewExtendedStyles extendedStyles_;
    int hoverTime_ = -1;
    bool requireComCtlUpdate_ = false;
    ExtendedListColumns columnsFormat_;
    QList<int> keptOrder_;
    int itemCount_ = 0;
    int itemCountFlags_ = 0;
    int selectionMark_ = -1;
    int hotItem_ = -1;
    QBasicTimer hoverTimer_;
    bool pressedOnSelected_ = false;
    VMCacheHint lastHint_;
    QString search_;
    QElapsedTimer searchClock_;
};

} // namespace tbk::agent

Q_DECLARE_OPERATORS_FOR_FLAGS(tbk::agent::ListViewExtendedStyles)
