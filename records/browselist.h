#pragma once
// The browse engine: one paged list over a data file, read through the sort order chosen (a
// key, its filter, its locator and its thumb) with the user's search ANDed to the filter. A
// window may hold several (a track list in a tab, two lists in one window); it hands each its
// list's events and asks it to refresh.
//
// The current row's record stands in the file's record buffer; an empty list leaves the buffer
// (and memos) blank. A read error shows standard warning 35 with the file's label and a view
// that cannot be opened warning 36; failed() then tells the window to close.
#include "runtime/expr/exprview.h"
#include "runtime/expr/pagereader.h"
#include "runtime/threads/event.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listmodel.h"

#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLineEdit;

namespace tbk {

enum class LocatorKind { None, Incremental, FirstLetter };

// A filter of a sort order compares with a value as it was at the last reload: the reset field
// (`field`, e.g. "MED:Media") is bound for the filter as "<list>::Sort<n>:Reset:<field>" and
// reloads the list when the field's value differs from it. `primes` names the field of a new
// record that takes the value ("MUS:Media"), or is empty.
struct ResetField {
    QString field;
    QString primes;
    // For a value that is no record's field (a global such as "GLO:Side"): where it is read.
    std::function<QVariant()> value = {};
    // The user's choice (the category of a tab with its own Select button): taken from the
    // field when the order is first shown and kept, whatever other windows then read into the
    // buffer, until `retakeChosen`.
    bool chosen = false;
};

struct SortOrder {
    const data::Key *key = nullptr;
    QString filter;                  // blank: none
    std::vector<ResetField> resets;
    LocatorKind locator = LocatorKind::Incremental;
    int locatorField = 0;            // the key field the locator sets; those after it are cleared
    // keyField -1: no stops; the thumb then stands in the middle, or at the end a scroll
    // reached, or at the top of a page that is not full.
    expr::PageReader::ThumbScale thumb;
    // The number the order's reset fields are bound under; -1: its place among the orders.
    int number = -1;
};

class BrowseList {
public:
    // Makes a list value from the record in the buffer, for every row read.
    using RowMaker = std::function<std::vector<QVariant>()>;

    // `name` is the list's own name in the bound reset fields ("BRW1").
    BrowseList(ListControl *list, data::DataFile &file, RowMaker makeRow, QString name = QStringLiteral("BRW1"));
    ~BrowseList();
    BrowseList(const BrowseList &) = delete;
    BrowseList &operator=(const BrowseList &) = delete;

    ListControl *control() const { return list_; }
    data::DataFile &file() const { return *file_; }

    // The orders in the order of the window's tabs; the first is selected.
    int addSortOrder(const SortOrder &order);
    int sortOrder() const { return order_; }
    const SortOrder &order(int n) const { return orders_[size_t(n)].order; }
    // A name of the window's own that its filters may use ("ThreadInstance"), read from the
    // variable; bound for the list's life.
    void bindNumber(const QString &name, const qint32 *variable);
    // Files loaded with each row (their fields may be named in filters and row values).
    void setJoin(std::vector<const data::RecordBuffer *> files, std::function<void()> load);
    // Where the locator text shows (a string control "@S30"); may be null.
    void setLocatorControl(QLineEdit *control) { locatorControl_ = control; }
    // An order of the list's own over the sort order's key and filter (the explorers' ordered
    // column): the rows come in `order`, and the locator, while it is set, fills `field` from at
    // most `length` characters of its text, upper-cased and read through `picture`.
    struct ColumnOrder {
        QString order;
        QString field;
        QString picture;
        int length = 12;
    };
    // Takes effect at the next reload; nullopt returns to the key's order.
    void setColumnOrder(std::optional<ColumnOrder> order);
    const std::optional<ColumnOrder> &columnOrder() const { return columnOrder_; }
    // A reload in the present order that starts at the locator's text (at the top when it is
    // blank) and then clears the locator.
    bool reorder();
    void setQueryFilter(const QString &filter);   // blank: no search; the next refresh reloads
    const QString &queryFilter() const { return query_; }
    // Runs after every change of the page or the current row.
    void setOnChange(std::function<void()> fn) { onChange_ = std::move(fn); }
    // Runs after every reload of the page from the view (not after a scroll), the current row's
    // record in the buffer; it must leave the buffers as it found them.
    void setOnReload(std::function<void()> fn) { onReload_ = std::move(fn); }

    // Takes the sort order, reloads when the order changed, a reset field differs from its saved
    // value or `force` is set (keeping the current record), and saves the reset values. The
    // first refresh reads from the top; `locate` makes it start at the key value in the buffer.
    bool refresh(int order, bool force = false, bool locate = false);
    // A reload at the current record (or at p), keeping it on the line it shows on.
    bool reload(data::Position p = 0);

    // The list's own events (scroll, new current row, resizing); false when not taken.
    bool takeEvent(const Event &e);
    bool scroll(ScrollAction action, int count = 1);
    // After a scroll that reached an end of the view: -1 the top, 1 the bottom; 0 after any
    // other scroll or move.
    int scrollEnd() const { return scrollEnd_; }
    // The locator's keys: typed text, Backspace.
    bool typeLocator(const QString &text);
    bool backspaceLocator();
    QString locatorText() const;

    int rowCount() const { return reader_ ? reader_->size() : 0; }
    bool empty() const { return rowCount() == 0; }
    int currentRow() const;
    data::Position currentPosition() const;
    const expr::PageReader::Row *current() const;
    // Reads the current row's record again into the buffer (and the joined files'); false on
    // a read error, which is reported.
    bool rereadCurrent();
    // The value of the reset field as saved at the last reload.
    QVariant resetValue(int order, const QString &field) const;
    // The order's chosen reset fields take the field's value again at its next refresh.
    void retakeChosen(int order) { orders_[size_t(order)].taken = false; }
    // A new record: the buffer and memos blank, the filter fields of the sort order primed.
    void primeNew();

    bool failed() const { return failed_; }
    const expr::PageReader &reader() const { return *reader_; }

private:
    struct Order {
        SortOrder order;
        QString locator;
        std::vector<QVariant> saved;   // per reset field
        bool taken = false;            // saved holds the chosen fields' values
    };
    class Rows;
    bool apply(int order);
    static QVariant resetNow(const Order &o, size_t field);
    bool load(int order, bool filterChanged, bool locate);
    bool reloaded(bool done);
    bool resetsChanged(const Order &o) const;
    void saveResets(Order &o);
    bool fill(const std::function<bool()> &read, int line = -1);
    void show(int focus);
    void loadCurrent();
    void clearLocator();
    void showLocator();
    bool locateAt(const QString &text);
    bool locateFromText();
    bool firstLetter(const QString &letter);
    bool readError();
    data::FieldRef keyField(int n) const;

    QPointer<ListControl> list_;
    data::DataFile *file_;
    QString name_;
    std::vector<Order> orders_;
    int order_ = -1;
    bool loaded_ = false;
    qint64 readAtCount_ = -1;   // the file's record count when the page was last read afresh
    bool failed_ = false;
    QString query_;
    bool queryChanged_ = false;
    int scrollEnd_ = 0;
    std::optional<ColumnOrder> columnOrder_;
    QLineEdit *locatorControl_ = nullptr;
    std::function<void()> onChange_;
    std::function<void()> onReload_;
    std::function<void()> loadJoined_;

    expr::VariableScope scope_;
    expr::BoundNames bound_{scope_};
    expr::ResolverChain names_;
    expr::ExprView view_;
    std::unique_ptr<expr::PageReader> reader_;
    std::unique_ptr<Rows> rows_;
};

} // namespace tbk
