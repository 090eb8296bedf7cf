#pragma once
// A report-style list view that sorts on a column click with a comparer that knows dates,
// times and numbers, draws its items and header sections through events when asked to, shows
// sort arrows in its header and keeps its column widths between runs.
#include "agent/listitems.h"

#include <QCollator>
#include <QHeaderView>
#include <QLocale>
#include <QPixmap>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>
#include <memory>
#include <optional>

namespace tbk::agent {

enum AutoColumnSort { acsNoSort, acsSort, acsSortToggle };
enum AutoSortStyle { assSmart, assDefault };
enum ListViewStyle { lvStandard, lvOwnerDrawFixed };

class EnhancedListSaveSettings {
public:
    virtual ~EnhancedListSaveSettings() = default;
    bool AutoSave = false;
    QString RegistryKey;
    bool SaveColumnSizes = true;
};

// The smart comparer's readings of a text, in the given locale.
// A date, a time or both: the text holds the locale's date or time separator and reads as
// such; the value is in days (a time is a fraction of a day).
std::optional<double> readDateTime(const QString &text, const QLocale &locale);
// The whole text is a floating-point number.
std::optional<double> readNumber(const QString &text, const QLocale &locale);
// -1, 0 or 1: as dates or times, else as numbers (assSmart only), else as text by the locale's
// case-sensitive rules.
int compareTexts(const QString &a, const QString &b, agent::AutoSortStyle style,
                 const QLocale &locale, const QCollator &collator);

// Column settings are kept per user in this settings file, in section key + "\Columns".
extern const QString kColumnsFile;
QString readColumnsValue(const QString &registryKey, const QString &name);
void writeColumnsValue(const QString &registryKey, const QString &name, const QString &value);
// "100,100,300" and back; an entry that is not a number reads as 0.
QString joinNumbers(const QList<int> &numbers);
QList<int> readNumbers(const QString &text);
// Side of the square sort-arrow pictures for a font whose "Wy" is this high; 0: none.
int arrowSide(int textHeight);

class CustomEnhancedListView;

using SortItemsEvent = std::function<void(CustomEnhancedListView *Sender, const ListRow &Item1,
                                          const ListRow &Item2, int SortColumn, int &CompResult)>;
using SortStatusEvent =
    std::function<void(CustomEnhancedListView *Sender, int SortColumn, bool Ascending)>;
using ItemEvent = std::function<void(CustomEnhancedListView *Sender, int Item)>;
using ColumnClickEvent = std::function<void(CustomEnhancedListView *Sender, int Column)>;
using EditingEvent = std::function<void(CustomEnhancedListView *Sender, int Item, bool &AllowEdit)>;
using EditedEvent = std::function<void(CustomEnhancedListView *Sender, int Item, QString &S)>;
using NotifyEvent = std::function<void(CustomEnhancedListView *Sender)>;
using MeasureItemEvent = std::function<void(CustomEnhancedListView *Control, int &AHeight)>;
using DrawItemEvent =
    std::function<void(CustomEnhancedListView *Control, QPainter *ACanvas, int Index,
                       const QRect &ARect, QStyle::State State, bool &DefaultDrawing,
                       bool &FullRowSelect)>;
using DrawSubItemEvent =
    std::function<void(CustomEnhancedListView *Control, QPainter *ACanvas, int Index, int SubItem,
                       const QRect &ARect, QStyle::State State, bool &DefaultDrawing)>;
using AfterDefaultDrawItemEvent =
    std::function<void(CustomEnhancedListView *Control, QPainter *ACanvas, int Index,
                       const QRect &ARect, QStyle::State State)>;
using DrawHeaderEvent =
    std::function<void(CustomEnhancedListView *Control, QPainter *ACanvas, int Index,
                       const QRect &ARect, bool Selected, bool &DefaultDrawing)>;

// The header: sections are drawn by the list when it owner-draws them.
class EnhListHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit EnhListHeader(CustomEnhancedListView *list);
    // The style's picture of a section, pressed or not.
    QStyleOptionHeader sectionOption(int logicalIndex) const;
protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
private:
    CustomEnhancedListView *list_;
};

// Items: drawn as the style draws them, adjusted by the list, or owner-drawn row by row.
class EnhListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit EnhListDelegate(CustomEnhancedListView *list);
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
private:
    CustomEnhancedListView *list_;
};

class CustomEnhancedListView : public QTableView {
    Q_OBJECT
public:
    explicit CustomEnhancedListView(QWidget *parent = nullptr);
    ~CustomEnhancedListView() override;

    // What a form does once it has set the list's properties and columns: settings loaded,
    // sorting allowed, the first column taken as the sorted one.
    virtual void Loaded();

    // Columns and items.
    void setColumns(const QList<ListColumn> &columns);
    void setColumns(const QStringList &titles, const QList<int> &widths);
    int columnCountOf() const { return items_->columnCount(); }
    void clearRows();
    int addRow(const QString &caption, const QStringList &subItems);
    int addRow(const ListRow &row);
    void removeRow(int index);
    int rowCount() const;
    // None when the index is out of range.
    std::optional<ListRow> row(int index) const;
    void selectRow(int index);
    std::optional<ListRow> selectedRow() const;
    ListItems *items() const { return items_; }

    // Properties.
    agent::AutoColumnSort AutoColumnSort() const { return autoColumnSort_; }
    void setAutoColumnSort(agent::AutoColumnSort value);
    agent::AutoSortStyle AutoSortStyle() const { return autoSortStyle_; }
    void setAutoSortStyle(agent::AutoSortStyle value);
    bool AutoResort() const { return autoResort_; }
    void setAutoResort(bool value) { autoResort_ = value; }
    bool AutoSortAscending() const { return autoSortAscending_; }
    void setAutoSortAscending(bool value);
    int LastColumnClicked() const { return lastColumnClicked_; }
    void setLastColumnClicked(int value);
    agent::ListViewStyle Style() const { return style_; }
    void setStyle(agent::ListViewStyle value);
    bool ReverseSortArrows() const { return reverseSortArrows_; }
    void setReverseSortArrows(bool value);
    virtual EnhancedListSaveSettings &SaveSettings() { return *saveSettings_; }
    virtual QString Version() const;
    void setVersion(const QString &) {}
    // The direction the list is sorted in.
    bool sortAscending() const { return ascending_; }

    // Properties of the list itself.
    bool ColumnClick() const { return columnClick_; }
    void setColumnClick(bool value);
    bool HideSelection() const { return hideSelection_; }
    void setHideSelection(bool value);
    bool MultiSelect() const { return selectionMode() == ExtendedSelection; }
    void setMultiSelect(bool value);
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool value);
    bool ShowColumnHeaders() const { return !horizontalHeader()->isHidden(); }
    void setShowColumnHeaders(bool value) { horizontalHeader()->setHidden(!value); }
    ImageList *SmallImages() const { return smallImages_; }
    virtual void setSmallImages(ImageList *images);

    DrawHeaderEvent OnDrawHeader() const { return onDrawHeader_; }
    void setOnDrawHeader(DrawHeaderEvent handler);

    // Events (assign a function; an empty one is "none").
    SortItemsEvent OnSortItems;
    SortStatusEvent OnSortBegin;
    SortStatusEvent OnSortFinished;
    ItemEvent OnEditCanceled;
    MeasureItemEvent OnMeasureItem;
    DrawItemEvent OnDrawItem;
    DrawSubItemEvent OnDrawSubItem;
    AfterDefaultDrawItemEvent OnAfterDefaultDrawItem;
    ColumnClickEvent OnColumnClick;
    ItemEvent OnChange;
    ItemEvent OnInsert;
    ItemEvent OnDeletion;
    EditingEvent OnEditing;
    EditedEvent OnEdited;
    NotifyEvent OnClick;
    NotifyEvent OnDblClick;

    // Operations.
    void SortColumn(int column, bool ascending);
    void Resort();
    void BeginUpdate();
    void EndUpdate();
    int updateCount() const { return updateCount_; }
    void SizeColumnsToContents(bool includeHeader);

    // Layout of the shown columns (the column's own index here).
    virtual int DisplayPosition(int column) const;
    virtual int ColumnAtPosition(int position) const;
    QString ItemColumnText(int item, int position) const;

    // Drawing, called by the header and the delegate.
    bool headerOwnerDrawn() const { return bool(onDrawHeader_) || showSortArrows_; }
    void DrawHeaderSection(QPainter *painter, const QRect &rect, int column, bool selected);
    virtual void DefaultDrawHeader(QPainter *painter, const QRect &rect, int column, bool selected);
    // A column the header draws itself although it is not owner-drawn (its image format).
    virtual bool ColumnFormatApplies(int) const { return false; }
    void DrawItem(QPainter *painter, int index, const QRect &rect, QStyle::State state);
    // Adjusts a cell's picture before the style draws it.
    virtual void adjustCellOption(QStyleOptionViewItem &option, const QModelIndex &index) const;
    bool firstPaintOfRow(int row);
    const QPixmap &arrowPicture(bool ascending) const;
    bool hasFullRowSelect() const { return fullRowSelect_; }
    int horizontalScroll() const { return horizontalOffset(); }

protected:
    virtual void SortBy(int column, bool ascending);
    virtual void DoSortBegin(int column, bool ascending);
    virtual void DoSortFinished(int column, bool ascending);
    virtual int DoSortItems(const ListRow &a, const ListRow &b, int column);
    virtual void DoMeasureItem(int &height);
    virtual void DefaultDrawItem(QPainter *painter, int index, const QRect &rect,
                                 QStyle::State state, bool fullRowSelect);
    virtual void DrawColumnText(QPainter *painter, int index, int column, const QRect &rect,
                                QStyle::State state);
    virtual void DoDrawItem(QPainter *painter, int index, const QRect &rect, QStyle::State state,
                            bool &defaultDrawing, bool &fullRowSelect);
    virtual bool initialFullRowSelect() const { return false; }
    // Whether the sorted column shows its arrow.
    virtual bool sortArrowShown() const;
    // The picture a header section shows beside its caption.
    virtual bool headerImage(int, QPixmap &, bool &) const { return false; }
    virtual void SaveColumnSettings();
    virtual void LoadColumnSettings();
    // The columns were set anew.
    virtual void columnsSet() {}
    // What the window's destruction does; the most derived destructor calls it.
    void DestroyWnd();
    void InvalidateColumnHeader(int column);
    void MakeArrowBitmaps();
    void RecreateWnd();
    bool ShowSortArrows() const { return showSortArrows_; }
    void setShowSortArrows(bool value);
    void setFullRowSelect(bool value);
    bool isLoaded() const { return loaded_; }

    void paintEvent(QPaintEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

    std::unique_ptr<EnhancedListSaveSettings> saveSettings_;
    ListItems *items_;
    EnhListHeader *header_;

private:
    void columnClicked(int column);
    void captionEdited(int row, const QString &text);
    void applyEditTriggers();

    agent::AutoColumnSort autoColumnSort_ = acsNoSort;
    agent::AutoSortStyle autoSortStyle_ = assSmart;
    bool autoResort_ = true;
    bool autoSortAscending_ = true;
    int lastColumnClicked_ = -1;
    agent::ListViewStyle style_ = lvStandard;
    bool reverseSortArrows_ = false;
    bool showSortArrows_ = false;
    bool ascending_ = true;
    bool sortPending_ = false;
    int updateCount_ = 1;
    int itemsUpdate_ = 0;
    bool loaded_ = false;
    bool shown_ = false;
    bool destroyed_ = false;
    bool columnClick_ = true;
    bool hideSelection_ = true;
    bool readOnly_ = false;
    bool fullRowSelect_ = false;
    ImageList *smallImages_ = nullptr;
    DrawHeaderEvent onDrawHeader_;
    QPixmap arrowUp_, arrowDown_;
    QList<int> paintedRows_;
};

} // namespace tbk::agent
