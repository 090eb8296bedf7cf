#pragma once
// The structure of a data file as the program declares it: fields in order, memos, keys, its
// disk name and its registration number. Labels and prefixes belong to the DataFile object, so
// that two declarations (Tunebank and A_Songs) can share one structure and one disk file.
//
// Names are matched without regard to case. Only these names (checked to be plain identifiers)
// ever enter SQL text; values are always bound.
#include <QString>
#include <QStringList>

#include <vector>

namespace tbk::data {

enum class FieldKind { Text, Long, Byte, Decimal, Memo };

struct FieldDecl {
    QString name;     // as declared, e.g. "Artist"
    FieldKind kind;
    int size;         // Text/Memo: characters; Decimal: bytes (2b-1 digits); Long 4; Byte 1
};

enum KeyFlag : unsigned {
    Duplicates = 0,
    Unique = 1,
    Primary = 2,          // implies Unique
    ExcludeBlanks = 4,    // a record whose key components are all blank or zero is not in the key
};

struct KeyDecl {
    QString name;               // as declared, e.g. "SongsByArtist"
    QStringList components;     // field names, in order
    unsigned flags = Duplicates;
    std::vector<int> fields;    // resolved field indexes (filled by FileStructure::finish)
    bool unique() const { return flags & (Unique | Primary); }
    bool excludesBlanks() const { return flags & ExcludeBlanks; }
};

class FileStructure {
public:
    FileStructure(QString diskName, int registration);

    FileStructure &text(const QString &name, int size);
    FileStructure &longField(const QString &name);
    FileStructure &byteField(const QString &name);
    FileStructure &decimal(const QString &name, int bytes);
    FileStructure &memo(const QString &name, int size);
    FileStructure &field(const QString &name, FieldKind kind, int size);
    // components: field names separated by commas, e.g. "Artist,Title,Mix".
    FileStructure &key(const QString &name, const QString &components, unsigned flags);
    FileStructure &owner(const QString &password) { owner_ = password; return *this; }

    // Resolves key components; throws std::logic_error on a bad declaration (a programming
    // error: unknown component, bad identifier, duplicate name).
    void finish();

    const QString &diskName() const { return diskName_; }
    int registration() const { return registration_; }
    const QString &ownerPassword() const { return owner_; }
    const std::vector<FieldDecl> &fields() const { return fields_; }   // memos come last
    const std::vector<KeyDecl> &keys() const { return keys_; }
    int fieldIndex(const QString &name) const;   // -1 when unknown; case-blind
    int keyIndex(const QString &name) const;     // -1 when unknown; case-blind
    int primaryKey() const;                      // -1 when none
    int recordSize() const;                      // bytes of the fixed fields (memos apart)
    // A text that changes whenever fields, kinds, sizes or keys change: stored in each file.
    QString layoutSignature() const;

private:
    QString diskName_;
    int registration_;
    QString owner_;
    std::vector<FieldDecl> fields_;
    std::vector<KeyDecl> keys_;
    bool finished_ = false;
};

bool isPlainIdentifier(const QString &s);

} // namespace tbk::data
