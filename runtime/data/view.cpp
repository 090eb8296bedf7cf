#include "runtime/data/view.h"

#include <algorithm>

namespace tbk::data {

View::View(DataFile &file) : file_(&file) {}
View::View(DataFile &file, const Key &order) : file_(&file), order_(&order) {}

void View::setOrder(const Key *order) { order_ = order; }

void View::setCondition(const QString &sql, const QVariantList &binds, std::vector<KeyRange> first) {
    condition_ = sql;
    binds_ = binds;
    first_ = std::move(first);
}

void View::setReadAhead(int rows) {
    ahead_.drop();
    ahead_.rows = std::max(1, rows);
}

void View::setProjection(std::vector<int> fields) {
    ahead_.drop();
    ahead_.fields = std::move(fields);
}

void View::clearFilter() {
    filter_ = nullptr;
    condition_.clear();
    binds_.clear();
    first_.clear();
}

bool View::open() {
    clearError();
    if (!file_->isOpen()) {
        setError(FileNotOpen, file_->label());
        return false;
    }
    open_ = true;
    set();
    return true;
}

void View::set() {
    ahead_.drop();
    cursor_ = Cursor{order_ ? order_->index() : -1, Cursor::None, {}, 0};
}

void View::setFromBuffer() {
    ahead_.drop();
    if (order_)
        cursor_ = file_->cursorFromBuffer(*order_);
    else
        set();
}

void View::setAt(Position p) {
    ahead_.drop();
    cursor_ = file_->cursorAt(order_, p);
}

void View::setAt(Position p, const std::vector<Cell> &keyValues) {
    ahead_.drop();
    if (order_ && keyValues.size() == order_->decl().fields.size())
        cursor_ = Cursor{order_->index(), Cursor::AtRecord, keyValues, p};
    else
        setAt(p);
}

void View::setCursor(Cursor c) {
    ahead_.drop();
    cursor_ = std::move(c);
}

bool View::next() {
    if (!open_) {
        setError(FileNotOpen, file_->label());
        return false;
    }
    return file_->readNext(cursor_, true, filter_, condition_, binds_, readAhead(), first_);
}

bool View::scan(const std::function<bool()> &take, const std::vector<int> *fields, bool onDemand) {
    if (!open_) {
        setError(FileNotOpen, file_->label());
        return false;
    }
    ahead_.drop();
    if (!filter_ && condition_.isEmpty())
        return file_->scan(cursor_, fields, take, onDemand);
    // A filter is evaluated record by record.
    while (next())
        if (!take())
            return true;
    return false;
}

bool View::previous() {
    if (!open_) {
        setError(FileNotOpen, file_->label());
        return false;
    }
    return file_->readNext(cursor_, false, filter_, condition_, binds_, readAhead(), first_);
}

} // namespace tbk::data
