#include "runtime/data/textfile.h"

#include "runtime/values/text.h"

#include <QFileInfo>

namespace tbk::data {

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
    set();
    return true;
}

bool TextFile::create() {
    clearError();
    if (isOpen()) {
        setError(FileAlreadyOpen, label_);
        return false;
    }
    QFile f(name());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        setDriverError(int(f.error()), f.errorString(), label_);
        return false;
    }
    return true;
}

void TextFile::close() {
    if (file_)
        file_->close();
    file_.reset();
    pending_.clear();
}

void TextFile::set() {
    clearError();
    readPos_ = 0;
    pending_.clear();
    if (file_)
        file_->seek(0);
}

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
        file_->seek(readPos_);
        if (file_->atEnd()) {
            setError(RecordNotAvailable, label_);
            return false;
        }
        raw = file_->readLine();
        if (raw.isEmpty() && file_->error() != QFileDevice::NoError) {
            setDriverError(int(file_->error()), file_->errorString(), label_);
            return false;
        }
        readPos_ += raw.size();
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
    }
    QString text = QString::fromUtf8(raw);
    const int len = recordLength();
    if (text.size() > len) {
        // A piece never ends between the two halves of a character: each half alone would be
        // stored as a replacement mark and the character lost.
        qsizetype cut = len;
        if (cut > 1 && text.at(cut - 1).isHighSurrogate() && text.at(cut).isLowSurrogate())
            --cut;
        pending_ = text.mid(cut).toUtf8();
        text.truncate(cut);
    }
    setLine(text);
    buffer_.position = readPos_;
    return true;
}

bool TextFile::add() {
    clearError();
    if (!isOpen()) {
        setError(FileNotOpen, label_);
        return false;
    }
    if (!file_->isWritable()) {
        setError(AccessDenied, label_);
        return false;
    }
    const QByteArray out = line().toUtf8() + '\n';
    if (!file_->seek(file_->size()) || file_->write(out) != out.size() || !file_->flush()) {
        setDriverError(int(file_->error()), file_->errorString(), label_);
        return false;
    }
    return true;
}

qint64 TextFile::bytes() const { return file_ ? file_->size() : QFileInfo(name()).size(); }

QString TextFile::line() const {
    QString out;
    const auto &fields = structure_->fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString &v = buffer_.cells[i].s;
        out += v.leftJustified(fields[i].size, QLatin1Char(' '), true);
    }
    return clip(out);
}

void TextFile::setLine(const QString &text) {
    const auto &fields = structure_->fields();
    qsizetype at = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        buffer_.cells[i].s = fit(text.mid(at, fields[i].size), fields[i].size);
        at += fields[i].size;
    }
}

} // namespace tbk::data
