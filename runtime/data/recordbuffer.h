#pragma once
// What every declaration has, indexed data file or text file: a label, a prefix, a structure
// and one record buffer for the whole process.
#include "runtime/data/declaration.h"
#include "runtime/data/record.h"

#include <QString>
#include <vector>

namespace tbk::data {

class RecordBuffer {
public:
    RecordBuffer(QString label, QString prefix, FileStructure &structure);
    virtual ~RecordBuffer();
    RecordBuffer(const RecordBuffer &) = delete;
    RecordBuffer &operator=(const RecordBuffer &) = delete;

    // All declarations of the process, in order of construction.
    static const std::vector<RecordBuffer *> &all();
    // By prefix or label, case-blind; nullptr when unknown.
    static RecordBuffer *find(const QString &prefixOrLabel);

    const QString &label() const { return label_; }
    const QString &prefix() const { return prefix_; }
    const FileStructure &structure() const { return *structure_; }

    void clear();                         // blank fields and memos, no position
    Record record() const { return buffer_; }     // a copy of the buffer
    void setRecord(const Record &r);      // the buffer from a copy (position and version too)
    Position position() const { return buffer_.position; }
    Cell &cell(int i) { return buffer_.cells[size_t(i)]; }
    const Cell &cell(int i) const { return buffer_.cells[size_t(i)]; }
    FieldRef field(const QString &name);  // "Artist" or "MUS:Artist"; invalid when unknown
    FieldRef operator[](const QString &name) { return field(name); }

protected:
    // A field or key name without this declaration's prefix ("MUS:Artist" -> "Artist");
    // a null string when it carries another declaration's prefix.
    QString localName(const QString &name) const;

    QString label_, prefix_;
    FileStructure *structure_;
    Record buffer_;
};

} // namespace tbk::data
