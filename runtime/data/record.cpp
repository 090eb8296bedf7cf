#include "runtime/data/record.h"

#include "runtime/data/recordbuffer.h"
#include "runtime/values/text.h"

namespace tbk::data {

namespace {
// A number taken from text or a double may lie beyond any whole number ("1e30").
qint64 wholeNumber(double d) { return numberInRange<qint64>(d); }
} // namespace

qint64 fitNumber(FieldKind kind, int size, qint64 v) {
    switch (kind) {
    case FieldKind::Byte: return qint64(quint8(v));
    case FieldKind::Long: return qint64(qint32(v));
    case FieldKind::Decimal: {
        qint64 limit = 1;
        for (int i = 0; i < 2 * size - 1 && i < 18; ++i)
            limit *= 10;
        --limit;
        return v > limit ? limit : v < -limit ? -limit : v;
    }
    default: return v;
    }
}

static QString fitText(FieldKind kind, int size, const QString &v) {
    if (kind == FieldKind::Memo)
        return v.size() > size ? v.left(size) : v;
    return fit(v, size);
}

// ---------------------------------------------------------------- FieldRef

FieldKind FieldRef::kind() const { return file_->structure().fields()[size_t(index_)].kind; }
int FieldRef::size() const { return file_->structure().fields()[size_t(index_)].size; }
bool FieldRef::isText() const { return kind() == FieldKind::Text || kind() == FieldKind::Memo; }

QString FieldRef::name() const {
    return file_->prefix() + QLatin1Char(':') + file_->structure().fields()[size_t(index_)].name;
}

QString FieldRef::text() const {
    const Cell &c = file_->cell(index_);
    return isText() ? c.s : QString::number(c.n);
}

qint64 FieldRef::number() const {
    const Cell &c = file_->cell(index_);
    return isText() ? wholeNumber(numericValue(c.s)) : c.n;
}

QVariant FieldRef::value() const {
    const Cell &c = file_->cell(index_);
    return isText() ? QVariant(c.s) : QVariant(qlonglong(c.n));
}

void FieldRef::setText(const QString &v) const {
    Cell &c = file_->cell(index_);
    if (isText())
        c.s = fitText(kind(), size(), v);
    else
        c.n = fitNumber(kind(), size(), wholeNumber(numericValue(v)));
}

void FieldRef::setNumber(qint64 v) const {
    Cell &c = file_->cell(index_);
    if (isText())
        c.s = fitText(kind(), size(), QString::number(v));
    else
        c.n = fitNumber(kind(), size(), v);
}

void FieldRef::setValue(const QVariant &v) const {
    if (v.typeId() == QMetaType::QString)
        setText(v.toString());
    else if (v.typeId() == QMetaType::Double && !isText())
        setNumber(wholeNumber(v.toDouble()));
    else if (isText())
        setText(v.toString());
    else
        setNumber(v.toLongLong());
}

FieldRef findField(const QString &qualifiedName) {
    const qsizetype colon = qualifiedName.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return {};
    for (RecordBuffer *f : RecordBuffer::all())
        if (f->prefix().compare(qualifiedName.left(colon), Qt::CaseInsensitive) == 0)
            return f->field(qualifiedName);
    return {};
}

// ---------------------------------------------------------------- typed members

const Cell &FieldProxy::cell() const { return file_->cell(index_); }
Cell &FieldProxy::cell() { return file_->cell(index_); }
int FieldProxy::size() const { return file_->structure().fields()[size_t(index_)].size; }

TextField &TextField::operator=(const QString &v) {
    cell().s = fitText(file_->structure().fields()[size_t(index_)].kind, size(), v);
    return *this;
}

bool operator==(const TextField &a, const QString &b) { return sameText(a.str(), b); }

} // namespace tbk::data
