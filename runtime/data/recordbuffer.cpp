#include "runtime/data/recordbuffer.h"

#include <algorithm>

namespace tbk::data {

namespace {
std::vector<RecordBuffer *> &registry() {
    static auto *r = new std::vector<RecordBuffer *>;   // outlives the global file objects
    return *r;
}
} // namespace

RecordBuffer::RecordBuffer(QString label, QString prefix, FileStructure &structure)
    : label_(std::move(label)), prefix_(std::move(prefix)), structure_(&structure) {
    structure_->finish();
    buffer_.cells.resize(structure_->fields().size());
    registry().push_back(this);
}

RecordBuffer::~RecordBuffer() {
    auto &r = registry();
    r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

const std::vector<RecordBuffer *> &RecordBuffer::all() { return registry(); }

RecordBuffer *RecordBuffer::find(const QString &name) {
    for (RecordBuffer *f : registry())
        if (!f->prefix_.isEmpty() && f->prefix_.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    for (RecordBuffer *f : registry())
        if (f->label_.compare(name, Qt::CaseInsensitive) == 0)
            return f;
    return nullptr;
}

void RecordBuffer::clear() {
    for (Cell &c : buffer_.cells)
        c = Cell{};
    buffer_.position = 0;
    buffer_.version = 0;
}

void RecordBuffer::setRecord(const Record &r) {
    if (r.cells.size() == buffer_.cells.size())
        buffer_ = r;
}

QString RecordBuffer::localName(const QString &name) const {
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return name;
    if (QStringView(name).left(colon).compare(prefix_, Qt::CaseInsensitive) != 0)
        return {};
    return name.mid(colon + 1);
}

FieldRef RecordBuffer::field(const QString &name) {
    const QString n = localName(name);
    const int i = n.isNull() ? -1 : structure_->fieldIndex(n);
    return i < 0 ? FieldRef() : FieldRef(this, i);
}

} // namespace tbk::data
