#include "runtime/data/textfile.h"

#include "runtime/data/datafile.h"
#include "runtime/values/diskwrite.h"
#include "runtime/values/text.h"

#include <QFileInfo>
#include <QStringEncoder>

#include <algorithm>

#include <fcntl.h>
#include <sys/file.h>

namespace tbk::data {

namespace {

// Share modes as advisory locks on the file itself, each belonging to one open, so that two opens
// in this process meet as two processes do. The whole-file lock is exclusive for an open that
// denies all or denies reading, shared for the others. Byte locks of the open mark one that may
// write and one that denies writing: two readers that deny writing share the file, and either
// kind shuts the other out.
constexpr off_t kWriterByte = 0;
constexpr off_t kDenyWriteByte = 1;

struct flock oneByte(off_t byte, short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_start = byte;
    l.l_len = 1;
    return l;
}

bool markByte(int fd, off_t byte) {
    struct flock l = oneByte(byte, F_RDLCK);
    return ::fcntl(fd, F_OFD_SETLK, &l) == 0;
}

bool markedElsewhere(int fd, off_t byte) {
    struct flock l = oneByte(byte, F_WRLCK);
    return ::fcntl(fd, F_OFD_GETLK, &l) != 0 || l.l_type != F_UNLCK;
}

// Closing the file lets go of whatever was taken. The marks are read locks, which need the file
// open for reading, as open() has it in every mode.
bool lockFile(int fd, int mode) {
    const int share = mode & 0x70;
    if (::flock(fd, (share == DenyAll || share == DenyRead ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return false;
    const bool writes = (mode & 0x0f) != 0;
    const bool deniesWrite = share == DenyWrite;
    // Each marks itself before it looks for the other kind: of two opens at once, one sees the other.
    if ((writes && !markByte(fd, kWriterByte)) || (deniesWrite && !markByte(fd, kDenyWriteByte)))
        return false;
    return !(writes && markedElsewhere(fd, kDenyWriteByte)) && !(deniesWrite && markedElsewhere(fd, kWriterByte));
}

} // namespace

TextFile::TextFile(QString label, QString prefix, FileStructure &structure)
    : RecordBuffer(std::move(label), std::move(prefix), structure) {}

TextFile::~TextFile() { close(); }

bool TextFile::open(int mode) {
    clearError();
    if (isOpen()) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    if (!QFileInfo::exists(name())) {
        setError(FileNotFound, label_);
        return false;
    }
    file_ = std::make_unique<QFile>(name());
    const bool write = (mode & 0x0f) != 0;
    if (!file_->open(write ? QIODevice::ReadWrite : QIODevice::ReadOnly)) {
        setDriverError(int(file_->error()), file_->errorString(), label_);
        file_.reset();
        return false;
    }
    if (!lockFile(file_->handle(), mode)) {
        file_.reset();
        setError(FileLocked, label_);
        return false;
    }
    if (!write)
        decodeUtf16();
    set();
    return true;
}

void TextFile::decodeUtf16() {
    const QByteArray mark = file_->peek(2);
    const bool little = mark == QByteArrayView("\xFF\xFE");
    if (!little && mark != QByteArrayView("\xFE\xFF"))
        return;
    const QByteArray bytes = file_->readAll();
    // Unit by unit, so that nothing the file holds becomes a replacement character.
    QString text(bytes.size() / 2 - 1, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const uchar a = uchar(bytes[2 * i + 2]);
        const uchar b = uchar(bytes[2 * i + 3]);
        text[i] = QChar(little ? char16_t(a | b << 8) : char16_t(b | a << 8));
    }
    decoded_ = std::make_unique<QBuffer>();
    decoded_->setData(text.toUtf8());
    decoded_->open(QIODevice::ReadOnly);
}

bool TextFile::create() {
    clearError();
    if (isOpen()) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    // Emptied only once no one else has it open.
    QFile f(name());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        setDriverError(int(f.error()), f.errorString(), label_);
        return false;
    }
    if (!lockFile(f.handle(), DenyAll)) {   // alone: no mark needed
        setError(FileLocked, label_);
        return false;
    }
    if (f.size() > 0 && !f.resize(0)) {
        setDriverError(int(f.error()), f.errorString(), label_);
        return false;
    }
    return true;
}

void TextFile::close() {
    if (file_) {
        clearError();
        file_->unsetError();
        const bool written = unwritten_.isEmpty() || writeOut();
        file_->close();
        if (written && file_->error() != QFileDevice::NoError)
            setDriverError(int(file_->error()), file_->errorString(), label_);
    }
    file_.reset();
    decoded_.reset();
    pending_.clear();
    unwritten_.clear();
    raw_.clear();
}

void TextFile::set() {
    clearError();
    readPos_ = 0;
    pending_.clear();
    if (file_)
        input().seek(0);
}

namespace {

// The next line with its end, through a buffer kept from line to line: QIODevice::readLine()
// without a limit grows and shrinks a new array for every line.
QByteArray readWholeLine(QIODevice &in, QByteArray &buffer) {
    constexpr qsizetype kChunk = 4096;
    qsizetype used = 0;
    for (;;) {
        if (buffer.size() - used < kChunk)
            buffer.resize(std::max(buffer.size() * 2, used + kChunk));
        const qint64 n = in.readLine(buffer.data() + used, buffer.size() - used);
        if (n <= 0)
            break;
        used += n;
        if (buffer[used - 1] == '\n')
            break;
    }
    return QByteArray(buffer.constData(), used);
}

} // namespace

bool TextFile::next() {
    clearError();
    if (!isOpen()) {
        setError(FileNotOpen, label_);
        return false;
    }
    QByteArray raw;
    if (!pending_.isEmpty()) {
        raw = pending_;
        pending_.clear();
    } else {
        QIODevice &in = input();
        // Only after a write moved it: a seek per line costs a system call and the read buffer.
        if (in.pos() != readPos_)
            in.seek(readPos_);
        if (in.atEnd()) {
            setError(RecordNotAvailable, label_);
            return false;
        }
        raw = readWholeLine(in, lineBuffer_);
        if (raw.isEmpty() && file_->error() != QFileDevice::NoError) {
            setDriverError(int(file_->error()), file_->errorString(), label_);
            return false;
        }
        readPos_ += raw.size();
        const bool ended = raw.endsWith('\n');
        if (ended)
            raw.chop(1);
        endedInReturn_ = ended && raw.endsWith('\r');
        if (raw.endsWith('\r'))
            raw.chop(1);
    }
    const int len = recordLength();
    if (raw.size() > len && !wholeLines_) {
        qsizetype cut = characterStart(raw, len);
        if (cut == 0)
            cut = len;   // no character starts in the piece: not UTF-8, cut where it ends
        pending_ = raw.mid(cut);
        raw.truncate(cut);
    }
    raw_ = raw;
    setFields(raw);
    buffer_.position = readPos_;
    return true;
}

bool TextFile::add() { return addLines(lineBytes() + '\n'); }

bool TextFile::addLines(QByteArrayView lines) {
    clearError();
    if (!isOpen()) {
        setError(FileNotOpen, label_);
        return false;
    }
    if (!file_->isWritable()) {
        setError(AccessDenied, label_);
        return false;
    }
    const qsizetype before = unwritten_.size();
    unwritten_ += lines;
    if (unwritten_.size() < writeBlock_ || writeOut())
        return true;
    unwritten_.truncate(before);
    return false;
}

bool TextFile::flush() {
    clearError();
    return unwritten_.isEmpty() || !isOpen() || writeOut();
}

bool TextFile::writeOut() {
    const qint64 end = file_->size();
    if (const int error = writeAllAt(file_->handle(), unwritten_, end)) {
        setDriverError(error, systemErrorText(error), label_);
        file_->resize(end);
        return false;
    }
    unwritten_.clear();
    return true;
}

qint64 TextFile::bytes() const {
    return decoded_ ? decoded_->size() : file_ ? file_->size() : QFileInfo(name()).size();
}

QString TextFile::line() const { return QString::fromUtf8(lineBytes()); }

QByteArray TextFile::lineBytes() const {
    QByteArray out;
    const auto &fields = structure_->fields();
    if (fields.empty())
        return out;
    const size_t last = fields.size() - 1;
    for (size_t i = 0; i < last; ++i)
        out += fixedWidthField(buffer_.cells[i].s, fields[i].size);
    // The last field unpadded: its blanks would be clipped off again.
    appendLineEnd(out, buffer_.cells[last].s, fields[last].size);
    return out;
}

void TextFile::setLine(const QString &text) { setFields(text.toUtf8()); }

void TextFile::setFields(const QByteArray &line) {
    const auto &fields = structure_->fields();
    qsizetype at = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const qsizetype end = std::max(at, characterStart(line, at + fields[i].size));
        buffer_.cells[i].s = fit(QString::fromUtf8(line.mid(at, end - at)), fields[i].size);
        at = end;
    }
}

qsizetype characterStart(QByteArrayView utf8, qsizetype at) {
    if (at >= utf8.size())
        return utf8.size();
    qsizetype i = at;
    while (i > 0 && (uchar(utf8[i]) & 0xC0) == 0x80)
        --i;
    return i;
}

void appendLineEnd(QByteArray &line, QStringView text, int bytes) {
    const qsizetype start = line.size();
    // Encoded in place: a line made for each of many records allocates nothing of its own.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    line.resize(start + utf8.requiredSpace(text.size()));
    line.truncate(utf8.appendToBuffer(line.data() + start, text) - line.constData());
    if (line.size() - start > bytes)
        line.truncate(start + characterStart(QByteArrayView(line).sliced(start), bytes));
    qsizetype n = line.size();
    while (n > 0 && line[n - 1] == ' ')
        --n;
    line.truncate(n);
}

QByteArray fixedWidthField(const QString &text, int bytes) {
    QByteArray out = text.toUtf8();
    out.truncate(characterStart(out, bytes));
    return out.leftJustified(bytes, ' ');
}

} // namespace tbk::data
