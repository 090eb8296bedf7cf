#pragma once
// Text files read and written a line at a time (the event log, the disc lookup's protocol log,
// comma-delimited transfer files). A record is one line: the declared text fields side by side,
// each padded to its size, trailing blanks of the line dropped when written. A line longer
// than the record is delivered in record-sized pieces, so nothing is lost (unless whole lines are
// asked for). Lines end in "\n"
// ("\r\n" is read too). Text is UTF-8, and sizes are in bytes: a field or piece ends before a
// character that does not fit whole, which then begins the next one. A file opened for reading
// only that begins with a UTF-16 byte order mark (either order) is decoded whole as it opens and
// read as UTF-8 from then on, its size that of the UTF-8.
//
// next() fails with 33 at the end of the file and with 90 (the system's text) on a read error;
// a write that cannot be made whole fails with 90, the system's error number and text.
//
// Sharing, among the opens in this process and others: an open that denies all or denies reading
// holds the file alone; one that denies writing shares it with the others that do not write,
// such as a second reader that denies writing; an open that writes shares it with those that do
// not deny writing. An open that cannot share fails with 32; create() fails the same way rather
// than empty a file someone has open.
#include "runtime/data/errors.h"
#include "runtime/data/recordbuffer.h"

#include <QBuffer>
#include <QFile>
#include <memory>

namespace tbk::data {

// Where the character holding byte `at` of the UTF-8 text begins (the text's size when `at` lies
// beyond it): a cut there splits no character.
qsizetype characterStart(QByteArrayView utf8, qsizetype at);
// Appends the end of a line as it is written: `text` in UTF-8 cut before the first character
// past `bytes` bytes, then without the blanks ending the line.
void appendLineEnd(QByteArray &line, QStringView text, int bytes);
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
    // Sets the error when the system reports a failure of the last writes.
    void close();
    bool isOpen() const { return file_ && file_->isOpen(); }

    void set();                   // back to the first line
    bool next();                  // the next line into the buffer
    // The line last read goes on in the next piece: it was longer than the record.
    bool continues() const { return !pending_.isEmpty(); }
    // The buffer as a new line at the end. A failed write leaves the file as it was, so that
    // trying again cannot leave half a line behind.
    bool add();
    // The same for lines already made, each as lineBytes() makes it and ended by "\n".
    bool addLines(QByteArrayView lines);
    // For long runs of add(): lines gather in memory and go to the disk in blocks of about this
    // many bytes (0, the default: each line at once). A block that cannot be written stays in
    // memory without the line whose add() failed; flush() and close() write what is left.
    void setWriteBlock(int bytes) { writeBlock_ = bytes; }
    bool flush();
    qint64 bytes() const;         // size of the file
    qint64 bytesRead() const { return readPos_; }
    int recordLength() const { return structure_->recordSize(); }
    QString send(const QString &) { clearError(); return {}; }

    // A line longer than the record comes in one read: the fields take its start, rawLine() all
    // of it. For lines that must never be taken in pieces, since a piece would read as a line.
    void setWholeLines(bool whole) { wholeLines_ = whole; }
    // The bytes the last next() read (one line, or one piece of it), as the file holds them.
    const QByteArray &rawLine() const { return raw_; }
    // Whether the line last read ended in "\r\n" rather than "\n".
    bool endedInReturn() const { return endedInReturn_; }

    QString line() const;         // the buffer as one line (fields padded, end clipped)
    QByteArray lineBytes() const; // the same in UTF-8
    void setLine(const QString &line);   // spreads a line over the fields

private:
    void setFields(const QByteArray &line);
    // What lines are read from: the file, or its UTF-16 decoded.
    QIODevice &input() const { return decoded_ ? static_cast<QIODevice &>(*decoded_) : *file_; }
    void decodeUtf16();
    // Appends the unwritten lines to the file: all or, after a failure, none of them.
    bool writeOut();

    QString name_;
    std::unique_ptr<QFile> file_;
    std::unique_ptr<QBuffer> decoded_;
    qint64 readPos_ = 0;
    QByteArray pending_;          // the rest of an over-long line
    QByteArray lineBuffer_;       // reused from line to line
    QByteArray unwritten_;        // lines added and not yet written
    QByteArray raw_;
    int writeBlock_ = 0;
    bool wholeLines_ = false;
    bool endedInReturn_ = false;
};

} // namespace tbk::data
