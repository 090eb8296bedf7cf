#pragma once
// One page of a view: the rows a list shows, read forward or backward through the view from
// the rows at the page's edges, so that a page costs about as many reads as it has rows
// whatever the size of the file. Each row keeps its record's position and key values as they
// were when it was read: paging on from a row works after its record was changed or deleted.
//
// The view is the owner's: it sets the key, filter and order and opens it. Every fill answers
// false on a read error other than the end of the view (33), with the error as the read left
// it; the page then holds the rows read before the error. Fills leave in the record buffer
// whatever they read last. Reads of more than one record are bracketed by "QUICKSCAN=on" and
// "QUICKSCAN=off" to the file's driver.
//
// The scroll thumb: 100 stops of one key field, from its value in the first record of the
// view to that in the last (text fields stepped character by character, numbers linearly).
// They are kept until the view's key, filter text or order text changes or invalidateThumb().
// A view ordered by an order text has no stops.
#include "runtime/expr/exprview.h"
#include "runtime/values/progressstops.h"

#include <QVariant>

#include <deque>
#include <functional>
#include <vector>

namespace tbk::expr {

class PageReader {
public:
    struct Row {
        data::Position position = 0;
        std::vector<data::Cell> key;    // the view key's fields, in key order
        std::vector<QVariant> values;   // what the owner's row maker made of the record
    };
    // Makes a row's values from the record in the buffer (position and key already set).
    using RowMaker = std::function<void(Row &)>;

    PageReader(ExprView &view, int pageSize, RowMaker makeRow);

    ExprView &view() const { return *view_; }
    int pageSize() const { return pageSize_; }
    // Fewer lines drop rows at the bottom; more lines are filled by the next fill.
    void setPageSize(int lines);

    const std::deque<Row> &rows() const { return rows_; }
    int size() const { return int(rows_.size()); }
    bool full() const { return size() >= pageSize_; }
    int rowOf(data::Position p) const;   // -1 when not on the page

    // New pages. top() and bottom() read from the ends of the view. locate() reads at the first
    // record at or after the key value now in the buffer. keep() puts the record at p on the
    // given line (as near as the ends allow); when it is no longer in the view, the page stays
    // at the place the record had on the page, and with no such place starts at the top. A page
    // that reaches the end of the view is completed with the rows before it.
    bool top();
    bool bottom();
    bool locate();
    bool keep(data::Position p, int line = 0);
    // No rows: the view the page was read from can no longer be read.
    void clear() { clearPage(); }
    // The row a new page aimed at: the first of top(), the last of bottom(), the located or
    // kept record or the one now where it was (the last row when none follows); -1 when empty.
    int focus() const { return focus_; }

    // Moves: rows read at one edge push out rows at the other once the page is full.
    bool scrollDown(int lines = 1) { return scroll(true, lines); }
    bool scrollUp(int lines = 1) { return scroll(false, lines); }
    bool pageDown() { return scrollDown(pageSize_); }
    bool pageUp() { return scrollUp(pageSize_); }
    // The lines the last move shifted the page by: less than asked at an end of the view.
    int moved() const { return moved_; }

    // Which key field the thumb's stops run over (-1: none) and, for text, the significant
    // length (0: the field's size) and the stop alphabet (StopFlag).
    struct ThumbScale {
        int keyField = 0;
        int length = 0;
        int flags = StopLetters | StopDigits;
    };
    void setThumbScale(const ThumbScale &scale);
    void invalidateThumb() { thumbFresh_ = false; }
    // Reads the first and last record when the stops are stale.
    bool updateThumb();
    // QString stops for text fields, double for numbers; empty: no stops.
    const std::vector<QVariant> &thumbStops() const { return stops_; }
    // 1 is the top and 100 the bottom; between them, a page located at the p-th stop (the key
    // fields before the thumb's field as in the first record, those after it cleared). Without
    // stops only the two ends move the page.
    bool fromThumb(int p);
    // The first stop not smaller than the value, 1 to 100; 0 without stops.
    int thumbPosition(const data::Cell &value) const;
    int thumbPosition(const Row &row) const;

private:
    data::DataFile &file() const { return view_->file(); }
    const std::vector<int> &keyFields() const;
    std::vector<data::Cell> keyOfBuffer() const;
    // Up to n rows from where the view stands, passing over the record at `skip` when it
    // comes first. Answers the rows taken, -1 on a read error.
    int read(bool forward, int n, data::Position skip);
    // Up to n rows on from the row at the bottom (forward) or the top of the page.
    int readOn(bool forward, int n);
    // A new page from a place: `line` rows before it, the rest from it on.
    bool fillAround(const std::function<void()> &place, int line);
    bool scroll(bool down, int lines);
    bool fillFromTop();
    bool fillFromBottom();
    void clearPage();
    int thumbField() const;   // the thumb's field in the record, -1 when there are no stops
    bool thumbStale() const;

    ExprView *view_;
    int pageSize_;
    RowMaker makeRow_;
    std::deque<Row> rows_;
    int focus_ = -1;
    int moved_ = 0;

    ThumbScale scale_;
    bool thumbFresh_ = false;
    const data::Key *thumbKey_ = nullptr;
    QString thumbFilter_, thumbOrder_;
    std::vector<QVariant> stops_;
    std::vector<data::Cell> firstKey_;
};

} // namespace tbk::expr
