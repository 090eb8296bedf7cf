#include "core/keyrangewalk.h"

#include "runtime/data/errors.h"

namespace tbk {

KeyRangeWalk::KeyRangeWalk(data::DataFile &file, const data::Key &key, int fixed, int readAhead,
                           std::vector<int> fields)
    : file_(file), start_(file.record()), cursor_(file.cursorFromBuffer(key)) {
    const std::vector<int> &keyFields = key.decl().fields;
    rangeFields_.assign(keyFields.begin(), keyFields.begin() + fixed);
    ahead_.rows = readAhead;
    ahead_.fields = std::move(fields);
}

bool KeyRangeWalk::inRange() const {
    for (int i : rangeFields_) {
        const data::Cell &a = start_.cells[size_t(i)];
        const data::Cell &b = file_.cell(i);
        // Text keys ignore case, as the key orders them.
        if (a.n != b.n || a.s.compare(b.s, Qt::CaseInsensitive) != 0)
            return false;
    }
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

} // namespace tbk
