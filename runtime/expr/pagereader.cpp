#include "runtime/expr/pagereader.h"

#include "runtime/data/errors.h"
#include "runtime/values/text.h"

#include <algorithm>
#include <cmath>

namespace tbk::expr {

namespace {

// The driver's commands clear the current error; a read error must outlive the closing hint.
class KeptError {
public:
    KeptError()
        : code_(data::errorCode()), driverCode_(data::driverErrorCode()),
          driverText_(data::driverErrorText()), file_(data::errorFile()), key_(data::errorKey()) {}
    void restore() const {
        if (code_ == data::DriverError)
            data::setDriverError(driverCode_, driverText_, file_);
        else if (code_ == data::DuplicateKey)
            data::setDuplicateKeyError(file_, key_);
        else if (code_ != 0)
            data::setError(code_, file_);
        else
            data::clearError();
    }

private:
    int code_, driverCode_;
    QString driverText_, file_, key_;
};

class QuickScan {
public:
    QuickScan(data::DataFile &file, bool on) : file_(on ? &file : nullptr) {
        if (file_)
            file_->send(QStringLiteral("QUICKSCAN=on"));
    }
    ~QuickScan() {
        if (!file_)
            return;
        const KeptError error;
        file_->send(QStringLiteral("QUICKSCAN=off"));
        error.restore();
    }
    QuickScan(const QuickScan &) = delete;
    QuickScan &operator=(const QuickScan &) = delete;

private:
    data::DataFile *file_;
};

bool isTextField(const data::FieldDecl &f) {
    return f.kind == data::FieldKind::Text || f.kind == data::FieldKind::Memo;
}

} // namespace

PageReader::PageReader(ExprView &view, int pageSize, RowMaker makeRow)
    : view_(&view), pageSize_(std::max(1, pageSize)), makeRow_(std::move(makeRow)) {}

void PageReader::setPageSize(int lines) {
    pageSize_ = std::max(1, lines);
    while (size() > pageSize_)
        rows_.pop_back();
    if (focus_ >= size())
        focus_ = size() - 1;
}

int PageReader::rowOf(data::Position p) const {
    const auto it = std::find_if(rows_.begin(), rows_.end(), [p](const Row &r) { return r.position == p; });
    return it == rows_.end() ? -1 : int(it - rows_.begin());
}

const std::vector<int> &PageReader::keyFields() const {
    static const std::vector<int> none;
    const data::Key *k = view_->key();
    return k ? k->decl().fields : none;
}

std::vector<data::Cell> PageReader::keyOfBuffer() const {
    std::vector<data::Cell> key;
    for (int i : keyFields())
        key.push_back(file().cell(i));
    return key;
}

void PageReader::clearPage() {
    rows_.clear();
    focus_ = -1;
    moved_ = 0;
}

// ---------------------------------------------------------------- reading

int PageReader::read(bool forward, int n, data::Position skip) {
    int taken = 0;
    bool first = true;
    while (taken < n) {
        if (!(forward ? view_->next() : view_->previous())) {
            if (data::errorCode() != data::RecordNotAvailable)
                return -1;
            data::clearError();
            break;
        }
        const bool passOver = first && skip != 0 && file().position() == skip;
        first = false;
        if (passOver)
            continue;
        Row row;
        row.position = file().position();
        row.key = keyOfBuffer();
        if (makeRow_)
            makeRow_(row);
        if (forward) {
            if (full()) {
                rows_.pop_front();
                ++moved_;
            }
            rows_.push_back(std::move(row));
        } else {
            if (full()) {
                rows_.pop_back();
                ++moved_;
            }
            rows_.push_front(std::move(row));
        }
        ++taken;
    }
    return taken;
}

int PageReader::readOn(bool forward, int n) {
    const Row &edge = forward ? rows_.back() : rows_.front();
    const data::Position from = edge.position;
    view_->setAt(from, edge.key);
    return read(forward, n, from);
}

bool PageReader::fillFromTop() {
    clearPage();
    view_->set();
    if (read(true, pageSize_, 0) < 0)
        return false;
    focus_ = rows_.empty() ? -1 : 0;
    return true;
}

bool PageReader::fillFromBottom() {
    clearPage();
    view_->set();
    if (read(false, pageSize_, 0) < 0)
        return false;
    focus_ = size() - 1;
    return true;
}

bool PageReader::fillAround(const std::function<void()> &place, int line) {
    clearPage();
    place();
    if (read(true, pageSize_ - std::clamp(line, 0, pageSize_ - 1), 0) < 0)
        return false;
    if (rows_.empty())   // nothing at or after the place: the last page
        return fillFromBottom();
    const int above = readOn(false, pageSize_ - size());
    if (above < 0)
        return false;
    focus_ = above;
    if (!full() && readOn(true, pageSize_ - size()) < 0)
        return false;
    moved_ = 0;
    return true;
}

bool PageReader::top() {
    const QuickScan scan(file(), pageSize_ > 1);
    return fillFromTop();
}

bool PageReader::bottom() {
    const QuickScan scan(file(), pageSize_ > 1);
    return fillFromBottom();
}

bool PageReader::locate() {
    const QuickScan scan(file(), pageSize_ > 1);
    return fillAround([this] { view_->setFromBuffer(); }, 0);
}

bool PageReader::keep(data::Position p, int line) {
    const QuickScan scan(file(), true);
    const int onPage = rowOf(p);
    const std::vector<data::Cell> place = onPage >= 0 ? rows_[size_t(onPage)].key : std::vector<data::Cell>();
    // Where the record is now, when it is still in the view: an edit may have moved it.
    if (view_->holds(p))
        return fillAround([this, p] { view_->setAt(p); }, line);
    if (data::errorCode() != 0 && data::errorCode() != data::RecordNotAvailable)
        return false;
    if (onPage >= 0)
        return fillAround([this, p, &place] { view_->setAt(p, place); }, line);
    return fillFromTop();
}

bool PageReader::scroll(bool down, int lines) {
    moved_ = 0;
    if (rows_.empty() || lines <= 0)
        return true;
    const QuickScan scan(file(), lines > 1);
    return readOn(down, lines) >= 0;
}

// ---------------------------------------------------------------- thumb

void PageReader::setThumbScale(const ThumbScale &scale) {
    scale_ = scale;
    thumbFresh_ = false;
}

int PageReader::thumbField() const {
    const std::vector<int> &fields = keyFields();
    if (!view_->orderText().isEmpty() || scale_.keyField < 0 || scale_.keyField >= int(fields.size()))
        return -1;
    return fields[size_t(scale_.keyField)];
}

bool PageReader::thumbStale() const {
    return !thumbFresh_ || thumbKey_ != view_->key() || thumbFilter_ != view_->filterText() ||
           thumbOrder_ != view_->orderText();
}

bool PageReader::updateThumb() {
    if (!thumbStale())
        return true;
    stops_.clear();
    firstKey_.clear();
    thumbFresh_ = false;
    const int field = thumbField();
    if (field >= 0) {
        const QuickScan scan(file(), true);
        view_->set();
        if (!view_->next()) {
            if (data::errorCode() != data::RecordNotAvailable)
                return false;
            data::clearError();   // an empty view has no stops
        } else {
            firstKey_ = keyOfBuffer();
            const data::Cell low = file().cell(field);
            view_->set();
            if (!view_->previous())
                return false;   // the first record was there a moment ago: any failure is an error
            const data::Cell high = file().cell(field);
            const data::FieldDecl &decl = file().structure().fields()[size_t(field)];
            if (isTextField(decl)) {
                StringStops s;
                s.setup(scale_.length > 0 ? scale_.length : decl.size, scale_.flags, false, low.s, high.s);
                for (int i = 0; i < 100; ++i)
                    stops_.emplace_back(s.next());
            } else {
                RealStops s;
                s.setup(double(low.n), double(high.n));
                for (int i = 0; i < 100; ++i)
                    stops_.emplace_back(s.next());
            }
        }
    }
    thumbFresh_ = true;
    thumbKey_ = view_->key();
    thumbFilter_ = view_->filterText();
    thumbOrder_ = view_->orderText();
    return true;
}

bool PageReader::fromThumb(int p) {
    if (p <= 1)
        return top();
    if (p >= 100)
        return bottom();
    if (!updateThumb())
        return false;
    if (stops_.empty())
        return true;
    const int field = thumbField();
    const std::vector<int> &fields = keyFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const data::FieldRef f(&file(), fields[i]);
        if (fields[i] == field) {
            const QVariant &stop = stops_[size_t(p - 1)];
            if (f.isText())
                f.setText(stop.toString());
            else   // the first whole number at or after the stop
                f.setNumber(qint64(std::ceil(stop.toDouble())));
        } else if (int(i) < scale_.keyField) {
            file().cell(fields[i]) = firstKey_[i];
        } else if (f.isText()) {
            f.setText(QString());
        } else {
            f.setNumber(0);
        }
    }
    return locate();
}

int PageReader::thumbPosition(const data::Cell &value) const {
    if (stops_.empty())
        return 0;
    const bool text = stops_.front().typeId() == QMetaType::QString;
    for (size_t i = 0; i < stops_.size(); ++i) {
        const bool notSmaller = text ? compareText(stops_[i].toString(), value.s, Qt::CaseInsensitive) >= 0
                                     : stops_[i].toDouble() >= double(value.n);
        if (notSmaller)
            return int(i) + 1;
    }
    return 100;
}

int PageReader::thumbPosition(const Row &row) const {
    if (scale_.keyField < 0 || scale_.keyField >= int(row.key.size()))
        return 0;
    return thumbPosition(row.key[size_t(scale_.keyField)]);
}

} // namespace tbk::expr
