#include "records/keyrangewalk.h"

#include "runtime/data/errors.h"

#include <limits>

namespace tbk {

namespace {
// Text keys ignore case, as the key orders them.
bool sameKeyValue(const data::Cell &a, const data::Cell &b) {
    return a.n == b.n && a.s.compare(b.s, Qt::CaseInsensitive) == 0;
}
} // namespace

KeyRangeWalk::KeyRangeWalk(data::DataFile &file, const data::Key &key, int fixed, int readAhead,
                           std::vector<int> fields)
    : file_(file), start_(file.record()), cursor_(file.cursorFromBuffer(key)) {
    const std::vector<int> &keyFields = key.decl().fields;
    rangeFields_.assign(keyFields.begin(), keyFields.begin() + fixed);
    ahead_.rows = readAhead;
    ahead_.fields = std::move(fields);
}

bool KeyRangeWalk::inRange() const {
    for (int i : rangeFields_)
        if (!sameKeyValue(start_.cells[size_t(i)], file_.cell(i)))
            return false;
    return true;
}

bool KeyRangeWalk::next() {
    if (!ended_) {
        const data::Record before = file_.record();
        if (!file_.readNext(cursor_, true, {}, {}, {}, &ahead_))
            return false;
        if (inRange())
            return true;
        file_.setRecord(before);
        ended_ = true;
    }
    data::setError(data::RecordNotAvailable, file_.label());
    return false;
}

bool lastInRange(data::DataFile &file, const data::Key &key, const data::Record &range, qint64 &last) {
    const std::vector<int> &fields = key.decl().fields;
    last = 0;
    file.setRecord(range);
    if (fields.size() == 1) {
        file.set(key);
    } else {
        file.cell(fields.back()).n = std::numeric_limits<qint64>::max();
        file.setFromBuffer(key);
    }
    const bool found = file.previous();
    const bool read = found || data::errorCode() == data::RecordNotAvailable;
    bool inRange = found;
    for (size_t i = 0; inRange && i + 1 < fields.size(); ++i)
        inRange = sameKeyValue(file.cell(fields[i]), range.cells[size_t(fields[i])]);
    if (inRange)
        last = file.cell(fields.back()).n;
    file.setRecord(range);
    return read;
}

} // namespace tbk
