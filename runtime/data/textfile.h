#pragma once
// Text files read and written a line at a time (the event log, the disc lookup's protocol log,
// comma-delimited transfer files). A record is one line: the declared text fields side by side,
// each padded to its size, trailing blanks of the line dropped when written. A line longer
// than the record is delivered in record-sized pieces, so nothing is lost. Lines end in "\n"
// ("\r\n" is read too). Text is UTF-8, and sizes are in bytes: a field or piece ends before a
// character that does not fit whole, which then begins the next one.
//
// next() fails with 33 at the end of the file and with 90 (the system's text) on a read error.
#include "runtime/data/errors.h"
#include "runtime/data/recordbuffer.h"

#include <QFile>
#include <memory>

namespace tbk::data {

// Where the character holding byte `at` of the UTF-8 text begins (the text's size when `at` lies
// beyond it): a cut there splits no character.
qsizetype characterStart(const QByteArray &utf8, qsizetype at);
// The text in exactly `bytes` bytes of UTF-8: cut before the first character that does not fit
// whole, padded with blanks.
QByteArray fixedWidthField(const QString &text, int bytes);

class TextFile : public RecordBuffer {
public:
    TextFile(QString label, QString prefix, FileStructure &structure);
    ~TextFile() override;

    QString name() const { return name_.isEmpty() ? structure_->diskName() : name_; }
    void setName(const QString &name) { if (!isOpen()) name_ = name; }

    bool open(int mode = 0x42);   // read/write deny none; 0x00/0x40 read only; 2 when missing
    bool create();                // an empty file, replacing an existing one; stays closed
    void close();
    bool isOpen() const { return file_ && file_->isOpen(); }

    void set();                   // back to the first line
    bool next();                  // the next line into the buffer
    bool add();                   // the buffer as a new line at the end
    qint64 bytes() const;         // size of the file
    qint64 bytesRead() const { return readPos_; }
    int recordLength() const { return structure_->recordSize(); }
    QString send(const QString &) { clearError(); return {}; }

    QString line() const;         // the buffer as one line (fields padded, end clipped)
    void setLine(const QString &line);   // spreads a line over the fields

private:
    void setFields(const QByteArray &line);

    QString name_;
    std::unique_ptr<QFile> file_;
    qint64 readPos_ = 0;
    QByteArray pending_;          // the rest of an over-long line
};

} // namespace tbk::data
