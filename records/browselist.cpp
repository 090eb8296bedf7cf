#include "records/browselist.h"

#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <QLineEdit>

#include <algorithm>

namespace tbk {

namespace {
constexpr int kLocatorLength = 30;

bool isText(const data::FieldRef &f) { return f.isText(); }

void setFromText(const data::FieldRef &f, const QString &text) {
    if (isText(f))
        f.setText(text);
    else   // a text that is not a number counts as 0
        f.setNumber(qint64(numericValue(text)));
}

void blank(const data::FieldRef &f) {
    if (isText(f))
        f.setText(QString());
    else
        f.setNumber(0);
}
} // namespace

class BrowseList::Rows : public ListRows {
public:
    explicit Rows(const BrowseList &owner) : owner_(owner) {}
    int rowCount() const override { return owner_.rowCount(); }
    QVariant field(int row, int field) const override {
        const std::vector<QVariant> &v = owner_.reader_->rows()[size_t(row)].values;
        return field >= 1 && field <= int(v.size()) ? v[size_t(field - 1)] : QVariant();
    }

private:
    const BrowseList &owner_;
};

BrowseList::BrowseList(ListControl *list, data::DataFile &file, RowMaker makeRow, QString name)
    : list_(list), file_(&file), name_(std::move(name)), view_(file) {
    names_.append(&scope_);
    names_.append(&expr::programScope());
    view_.setNames(&names_);
    view_.setKeepsMatches(true);
    reader_ = std::make_unique<expr::PageReader>(
        view_, std::max(1, list->linesFit()),
        [makeRow = std::move(makeRow)](expr::PageReader::Row &row) { row.values = makeRow(); });
    rows_ = std::make_unique<Rows>(*this);
    list_->setPaged(true);
    list_->setRows(rows_.get());
    // A list that fits another number of lines without its window being resized (a scroll bar
    // came or went) asks its window for a refresh as a resize would.
    QObject::connect(list_, &ListControl::linesFitChanged, list_, [list = list_.data()] {
        if (QWidget *window = owningWindow(list))
            postToWindow(window, Event::of(EventKind::Sized, window, list));
    });
}

BrowseList::~BrowseList() {
    if (list_)
        list_->setRows(nullptr);
    view_.close();
}

int BrowseList::addSortOrder(const SortOrder &order) {
    const int n = int(orders_.size());
    Order o{order, {}, std::vector<QVariant>(order.resets.size())};
    orders_.push_back(std::move(o));
    for (size_t i = 0; i < order.resets.size(); ++i) {
        const data::FieldRef f = data::findField(order.resets[i].field);
        const QString bound = QStringLiteral("%1::Sort%2:Reset:%3")
                                  .arg(name_)
                                  .arg(order.number < 0 ? n : order.number)
                                  .arg(order.resets[i].field);
        const bool number = order.resets[i].value ? order.resets[i].value().typeId() != QMetaType::QString
                                                  : f.valid() && !f.isText();
        const expr::Type type = number ? expr::Type::Number : expr::Type::Text;
        bound_.add(scope_.bind(bound, type, [this, n, i, type]() -> expr::Value {
            const QVariant &v = orders_[size_t(n)].saved[i];
            if (type == expr::Type::Number)
                return expr::Value(qint64(v.toLongLong()));
            return expr::Value(v.toString());
        }));
    }
    return n;
}

void BrowseList::bindNumber(const QString &name, const qint32 *variable) {
    bound_.add(scope_.bindNumber(name, variable));
}

void BrowseList::setJoin(std::vector<const data::RecordBuffer *> files, std::function<void()> load) {
    loadJoined_ = load;
    view_.setJoin(std::move(files), std::move(load));
}

void BrowseList::setColumnOrder(std::optional<ColumnOrder> order) { columnOrder_ = std::move(order); }

bool BrowseList::reorder() {
    if (failed_ || !loaded_ || order_ < 0)
        return !failed_;
    reader_->setPageSize(std::max(1, list_->linesFit()));
    reader_->invalidateThumb();
    if (!apply(order_))
        return false;
    const QString text = locatorText();
    const bool done = text.isEmpty() ? fill([this] { return reader_->top(); }) : locateAt(text);
    clearLocator();
    return done;
}

void BrowseList::setQueryFilter(const QString &filter) {
    if (filter.trimmed() == query_)
        return;
    query_ = filter.trimmed();
    queryChanged_ = true;
}

QVariant BrowseList::resetValue(int order, const QString &field) const {
    const Order &o = orders_[size_t(order)];
    for (size_t i = 0; i < o.order.resets.size(); ++i)
        if (o.order.resets[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return o.saved[i];
    return {};
}

QVariant BrowseList::resetNow(const Order &o, size_t field) {
    const ResetField &r = o.order.resets[field];
    if (r.chosen && o.taken)
        return o.saved[field];
    return r.value ? r.value() : data::findField(r.field).value();
}

bool BrowseList::resetsChanged(const Order &o) const {
    for (size_t i = 0; i < o.order.resets.size(); ++i)
        if (resetNow(o, i) != o.saved[i])
            return true;
    return false;
}

void BrowseList::saveResets(Order &o) {
    for (size_t i = 0; i < o.order.resets.size(); ++i)
        o.saved[i] = resetNow(o, i);
    o.taken = true;
}

// The view set to the sort order's key and to its filter ANDed with the search. A filter the
// view refuses leaves the list empty after warning 36.
bool BrowseList::apply(int order) {
    const SortOrder &o = orders_[size_t(order)].order;
    view_.setKey(o.key);
    QString filter = o.filter.trimmed();
    if (!query_.isEmpty())
        filter = filter.isEmpty() ? query_ : QStringLiteral("(%1) AND (%2)").arg(filter, query_);
    const bool accepted = view_.setFilter(filter) && view_.setOrder(columnOrder_ ? columnOrder_->order : QString());
    reader_->setThumbScale(o.thumb);
    if (accepted && (view_.isOpen() || view_.open()))
        return true;
    if (accepted)   // the file cannot be read through a view at all
        view_.close();
    reader_->clear();
    ShowStandardWarningPlain(36);
    show(-1);
    return false;
}

bool BrowseList::refresh(int order, bool force, bool locate) {
    if (failed_ || orders_.empty())
        return !failed_;
    scrollEnd_ = 0;
    order = std::clamp(order, 0, int(orders_.size()) - 1);
    const bool orderChanged = order != order_;
    Order &o = orders_[size_t(order)];
    const bool filterChanged = orderChanged || queryChanged_ || resetsChanged(o);
    const bool linesChanged = reader_->pageSize() != std::max(1, list_->linesFit());
    // Another thread's window may have added or deleted records since: the title counts them,
    // so the rows must show them too.
    const bool countChanged = file_->records() != readAtCount_;
    if (loaded_ && !filterChanged && !force && !linesChanged && !countChanged)
        return true;
    if (orderChanged && loaded_)
        o.locator.clear();
    return reloaded(load(order, filterChanged, locate));
}

bool BrowseList::reloaded(bool done) {
    if (done && !failed_ && onReload_)
        onReload_();
    return done && !failed_;
}

bool BrowseList::load(int order, bool filterChanged, bool locate) {
    Order &o = orders_[size_t(order)];
    const data::Position was = loaded_ ? currentPosition() : 0;
    const int line = std::max(0, list_->currentRow());
    order_ = order;
    queryChanged_ = false;
    saveResets(o);
    reader_->setPageSize(std::max(1, list_->linesFit()));
    reader_->invalidateThumb();
    showLocator();
    if (!apply(order))
        return false;
    loaded_ = true;
    if (locate)
        return fill([this] { return reader_->locate(); });
    if (was == 0)
        return fill([this] { return reader_->top(); });
    if (filterChanged) {
        // Under another key or filter the page's old rows say nothing about where the record
        // stands: it is kept when the new view holds it, else the list starts at the top.
        const bool inView = view_.holds(was);
        if (!inView && data::errorCode() != 0 && data::errorCode() != data::RecordNotAvailable)
            return readError();
        if (!inView)
            return fill([this] { return reader_->top(); });
    }
    return fill([this, was, line] { return reader_->keep(was, line); });
}

bool BrowseList::reload(data::Position p) {
    scrollEnd_ = 0;
    if (failed_ || !loaded_)
        return !failed_;
    if (p == 0)
        p = currentPosition();
    reader_->invalidateThumb();
    if (p == 0)
        return reloaded(fill([this] { return reader_->top(); }));
    const int line = std::max(0, list_->currentRow());
    return reloaded(fill([this, p, line] { return reader_->keep(p, line); }));
}

bool BrowseList::fill(const std::function<bool()> &read, int line) {
    readAtCount_ = file_->records();
    if (!read())
        return readError();
    show(line >= 0 ? line : reader_->focus());
    return !failed_;
}

bool BrowseList::readError() {
    const int code = data::errorCode();
    if (code == 0 || code == data::RecordNotAvailable)
        return true;
    failed_ = true;
    ShowStandardWarningWithText(35, file_->label());
    if (onChange_)
        onChange_();
    return false;
}

// The page drawn with the row at `focus` current, its record in the buffer, the thumb placed.
void BrowseList::show(int focus) {
    list_->listModel()->pageChanged();
    if (!empty())
        list_->setCurrentRow(std::clamp(focus, 0, rowCount() - 1));
    loadCurrent();
}

void BrowseList::loadCurrent() {
    if (empty()) {
        file_->clear();
        list_->setThumbVisible(false);
        if (onChange_)
            onChange_();
        return;
    }
    // The thumb's stops are read first: reading leaves its last record in the buffer.
    if (!reader_->updateThumb()) {
        readError();
        return;
    }
    const data::Position p = currentPosition();
    if (!file_->get(p)) {
        if (data::errorCode() == data::RecordNotFound)
            reload(p);   // gone since the page was read: its neighbours take its place
        else
            readError();
        return;
    }
    if (loadJoined_)
        loadJoined_();
    list_->setThumbVisible(reader_->full());
    if (orders_[size_t(order_)].order.thumb.keyField < 0)
        // Without stops the thumb says only whether the list stands at an end.
        list_->setThumb(!reader_->full() || scrollEnd_ < 0 ? 0 : scrollEnd_ > 0 ? 100 : 50);
    else if (const expr::PageReader::Row *row = current())
        list_->setThumb(std::max(1, reader_->thumbPosition(*row)));
    if (onChange_)
        onChange_();
}

int BrowseList::currentRow() const {
    const int row = list_->currentRow();
    return row >= 0 && row < rowCount() ? row : (empty() ? -1 : 0);
}

const expr::PageReader::Row *BrowseList::current() const {
    const int row = currentRow();
    return row < 0 ? nullptr : &reader_->rows()[size_t(row)];
}

data::Position BrowseList::currentPosition() const {
    const expr::PageReader::Row *row = current();
    return row ? row->position : 0;
}

bool BrowseList::rereadCurrent() {
    const data::Position p = currentPosition();
    if (p == 0)
        return false;
    if (file_->get(p)) {
        if (loadJoined_)
            loadJoined_();
        return true;
    }
    if (data::errorCode() == data::RecordNotFound)
        reload(p);
    else
        readError();
    return false;
}

void BrowseList::primeNew() {
    file_->clear();
    if (order_ < 0)
        return;
    const Order &o = orders_[size_t(order_)];
    for (size_t i = 0; i < o.order.resets.size(); ++i)
        if (!o.order.resets[i].primes.isEmpty())
            data::findField(o.order.resets[i].primes).setValue(o.saved[i]);
}

// ---------------------------------------------------------------- moving

bool BrowseList::takeEvent(const Event &e) {
    if (e.control != list_)
        return false;
    switch (e.kind) {
    case EventKind::Scroll:
        scroll(ScrollAction(e.key), e.value);
        return true;
    case EventKind::NewSelection:
        scrollEnd_ = 0;
        if (!failed_ && currentPosition() != file_->position())
            loadCurrent();
        return true;
    default:
        return false;
    }
}

bool BrowseList::scroll(ScrollAction action, int count) {
    scrollEnd_ = 0;
    if (failed_ || !loaded_)
        return false;
    clearLocator();
    if (reader_->pageSize() != std::max(1, list_->linesFit()))
        reader_->setPageSize(std::max(1, list_->linesFit()));
    if (empty() && action != ScrollTop && action != ScrollBottom && action != ScrollThumb)
        return true;
    const int row = std::max(0, currentRow());
    const int page = reader_->pageSize();
    // A move that the view's end cut short reached that end.
    const auto moveBy = [this](bool down, int lines) {
        const bool read = down ? reader_->scrollDown(lines) : reader_->scrollUp(lines);
        if (read && reader_->moved() < lines)
            scrollEnd_ = down ? 1 : -1;
        return read;
    };
    switch (action) {
    case ScrollLineUp:
        if (row - count >= 0) {
            list_->setCurrentRow(row - count);
            loadCurrent();
            return true;
        }
        return fill([&] { return moveBy(false, count - row); }, 0);
    case ScrollLineDown:
        if (row + count < rowCount()) {
            list_->setCurrentRow(row + count);
            loadCurrent();
            return true;
        }
        return fill([&] { return moveBy(true, row + count - (rowCount() - 1)); }, page - 1);
    case ScrollPageUp:
        if (!moveBy(false, page * count))
            return readError();
        show(row + reader_->moved() - page * count);
        return !failed_;
    case ScrollPageDown:
        if (!moveBy(true, page * count))
            return readError();
        show(row - reader_->moved() + page * count);
        return !failed_;
    case ScrollTop:
        scrollEnd_ = -1;
        return fill([this] { return reader_->top(); });
    case ScrollBottom:
        scrollEnd_ = 1;
        return fill([this] { return reader_->bottom(); });
    case ScrollThumb:
        return fill([this, count] { return reader_->fromThumb(count); });
    }
    return false;
}

// ---------------------------------------------------------------- locators

data::FieldRef BrowseList::keyField(int n) const {
    const std::vector<int> &fields = orders_[size_t(order_)].order.key->decl().fields;
    return n >= 0 && n < int(fields.size()) ? data::FieldRef(file_, fields[size_t(n)]) : data::FieldRef();
}

QString BrowseList::locatorText() const { return order_ < 0 ? QString() : orders_[size_t(order_)].locator; }

void BrowseList::showLocator() {
    if (locatorControl_)
        locatorControl_->setText(locatorText());
}

void BrowseList::clearLocator() {
    if (order_ < 0)
        return;
    orders_[size_t(order_)].locator.clear();
    showLocator();
}

bool BrowseList::typeLocator(const QString &text) {
    if (failed_ || empty() || order_ < 0 || text.isEmpty())
        return false;
    Order &o = orders_[size_t(order_)];
    switch (o.order.locator) {
    case LocatorKind::None:
        return false;
    case LocatorKind::FirstLetter:
        return firstLetter(text.left(1));
    case LocatorKind::Incremental: {
        const int length = columnOrder_ ? columnOrder_->length : kLocatorLength;
        if (o.locator.size() >= length)
            return true;
        o.locator = (o.locator + text).left(length);
        return locateFromText();
    }
    }
    return false;
}

bool BrowseList::backspaceLocator() {
    if (failed_ || empty() || order_ < 0 || orders_[size_t(order_)].order.locator != LocatorKind::Incremental)
        return false;
    Order &o = orders_[size_t(order_)];
    if (o.locator.isEmpty())
        return true;
    o.locator.chop(1);
    return locateFromText();
}

// The key fields set from the locator: those before its field as the current row has them,
// its field from the text, the rest cleared; the list then stands at the first record at or
// after that value.
bool BrowseList::locateAt(const QString &text) {
    scrollEnd_ = 0;
    if (columnOrder_) {
        const data::FieldRef f = data::findField(columnOrder_->field);
        const QString upper = text.trimmed().left(columnOrder_->length).toUpper();
        const QChar type = columnOrder_->picture.size() > 1 ? columnOrder_->picture[1].toUpper() : QChar(u'S');
        if (type == u'S' || isText(f)) {
            f.setText(upper);
        } else {
            // Read as the column shows it (a date or a number); what does not read counts as 0.
            const std::optional<QVariant> v = parsePicture(columnOrder_->picture, upper);
            f.setNumber(v ? v->toLongLong() : 0);
        }
        return fill([this] { return reader_->locate(); });
    }
    const SortOrder &o = orders_[size_t(order_)].order;
    const int fields = int(o.key->decl().fields.size());
    setFromText(keyField(o.locatorField), text);
    for (int i = o.locatorField + 1; i < fields; ++i)
        blank(keyField(i));
    return fill([this] { return reader_->locate(); });
}

bool BrowseList::locateFromText() {
    showLocator();
    return locateAt(locatorText());
}

bool BrowseList::firstLetter(const QString &letter) {
    const QString upper = letter.toUpper();
    const data::FieldRef f = keyField(orders_[size_t(order_)].order.locatorField);
    auto startsWithIt = [&] { return f.text().left(1).toUpper() == upper; };
    if (startsWithIt()) {
        if (!scroll(ScrollLineDown, 1))
            return false;
        if (startsWithIt())
            return true;
    }
    return locateAt(letter);
}

} // namespace tbk
