#include "runtime/data/declaration.h"

#include <stdexcept>

namespace tbk::data {

bool isPlainIdentifier(const QString &s) {
    if (s.isEmpty() || s.size() > 64)
        return false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0))
            return false;
    }
    return true;
}

FileStructure::FileStructure(QString diskName, int registration)
    : diskName_(std::move(diskName)), registration_(registration) {}

FileStructure &FileStructure::field(const QString &name, FieldKind kind, int size) {
    if (!isPlainIdentifier(name) || name.startsWith(QLatin1Char('_')) || fieldIndex(name) >= 0)
        throw std::logic_error("bad field name: " + name.toStdString());
    if (kind != FieldKind::Memo && !fields_.empty() && fields_.back().kind == FieldKind::Memo)
        throw std::logic_error("memos come after the fields");
    fields_.push_back({name, kind, size});
    return *this;
}

FileStructure &FileStructure::text(const QString &n, int size) { return field(n, FieldKind::Text, size); }
FileStructure &FileStructure::longField(const QString &n) { return field(n, FieldKind::Long, 4); }
FileStructure &FileStructure::byteField(const QString &n) { return field(n, FieldKind::Byte, 1); }
FileStructure &FileStructure::decimal(const QString &n, int bytes) { return field(n, FieldKind::Decimal, bytes); }
FileStructure &FileStructure::memo(const QString &n, int size) { return field(n, FieldKind::Memo, size); }

FileStructure &FileStructure::key(const QString &name, const QString &components, unsigned flags) {
    if (!isPlainIdentifier(name) || keyIndex(name) >= 0)
        throw std::logic_error("bad key name: " + name.toStdString());
    KeyDecl k;
    k.name = name;
    for (const QString &c : components.split(QLatin1Char(','), Qt::SkipEmptyParts))
        k.components << c.trimmed();
    k.flags = flags & Primary ? flags | Unique : flags;
    keys_.push_back(std::move(k));
    return *this;
}

void FileStructure::finish() {
    if (finished_)
        return;
    for (KeyDecl &k : keys_) {
        k.fields.clear();
        for (const QString &c : k.components) {
            const int i = fieldIndex(c);
            if (i < 0 || fields_[i].kind == FieldKind::Memo)
                throw std::logic_error("bad key component: " + c.toStdString());
            k.fields.push_back(i);
        }
        if (k.fields.empty())
            throw std::logic_error("key without components: " + k.name.toStdString());
    }
    finished_ = true;
}

int FileStructure::fieldIndex(const QString &name) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int FileStructure::keyIndex(const QString &name) const {
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

int FileStructure::primaryKey() const {
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i].flags & Primary)
            return int(i);
    return -1;
}

int FileStructure::recordSize() const {
    int n = 0;
    for (const FieldDecl &f : fields_)
        if (f.kind != FieldKind::Memo)
            n += f.size;
    return n;
}

QString FileStructure::layoutSignature() const {
    static const char *kinds[] = {"T", "L", "B", "D", "M"};
    QStringList parts;
    for (const FieldDecl &f : fields_)
        parts << QStringLiteral("%1:%2%3").arg(f.name.toUpper(), QLatin1String(kinds[int(f.kind)])).arg(f.size);
    for (const KeyDecl &k : keys_)
        parts << QStringLiteral("K%1(%2)%3").arg(k.name.toUpper(), k.components.join(QLatin1Char(',')).toUpper()).arg(k.flags);
    return parts.join(QLatin1Char(';'));
}

} // namespace tbk::data
