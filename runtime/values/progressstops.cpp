#include "runtime/values/progressstops.h"

#include "runtime/values/text.h"

namespace tbk {

namespace {

// The characters that the punctuation flag adds, blank included.
const QString &punctuation() {
    static const QString p = QStringLiteral("`!\"\u00A3$%^&*()'-=_+][#;~@:/.,?\\| ");
    return p;
}

constexpr int kPieceLength = 4;

QString buildAlphabet(int flags) {
    QString a;
    for (int code = 1; code <= 255; ++code) {
        const QChar c(code);
        const bool digit = c >= u'0' && c <= u'9';
        bool take = false;
        if (digit)
            take = flags & StopDigits;
        else if (punctuation().contains(c))
            take = flags & StopPunctuation;
        else if (c.isLetter())
            take = (flags & StopLetters) && (c.isUpper() || (flags & StopLowerCase));
        if (take)
            a += c;
    }
    return a;
}

} // namespace

void RealStops::setup(double low, double high) {
    low_ = low;
    high_ = high;
    step_ = (high - low) / 99.0;
    count_ = 0;
}

double RealStops::next() {
    ++count_;
    if (count_ == 1)
        return low_;
    if (count_ == 100)
        return high_;
    return low_ + step_ * (count_ - 1);
}

void StringStops::setup(int length, int flags, bool lettersOnly, const QString &low, const QString &high) {
    if (lettersOnly)
        flags = StopLetters;
    alphabet_ = buildAlphabet(flags);
    count_ = 0;
    QString lo = low.left(length);
    QString hi = high.left(length);
    // A short high text reaches to the top of its range.
    const qsizetype clipped = clippedLength(hi);
    if (clipped < length && !alphabet_.isEmpty())
        hi = hi.left(clipped).leftJustified(length, alphabet_.back());
    int common = 0;
    while (common < lo.size() && common < hi.size() && lo[common] == hi[common])
        ++common;
    prefix_ = lo.left(common);
    lowPiece_ = lo.mid(common, kPieceLength);
    highPiece_ = hi.mid(common, kPieceLength);
    if ((flags & StopLetters) && !(flags & StopLowerCase)) {
        lowPiece_ = lowPiece_.toUpper();
        highPiece_ = highPiece_.toUpper();
    }
    lowValue_ = valueOf(lowPiece_);
    highValue_ = valueOf(highPiece_);
    step_ = (highValue_ - lowValue_) / 99;
}

qint64 StringStops::valueOf(const QString &piece) const {
    const qint64 base = alphabet_.size() + 1;
    qint64 v = 0;
    for (int i = 0; i < kPieceLength; ++i) {
        const int pos = i < piece.size() ? int(alphabet_.indexOf(piece[i])) + 1 : 0;
        v = v * base + pos;
    }
    return v;
}

// A digit 0 stands for "no character": the text ends there, which sorts below every
// character of the alphabet.
QString StringStops::pieceOf(qint64 value) const {
    const qint64 base = alphabet_.size() + 1;
    int digits[kPieceLength];
    for (int i = kPieceLength - 1; i >= 0; --i) {
        digits[i] = int(value % base);
        value /= base;
    }
    QString out;
    for (int d : digits) {
        if (d <= 0 || d > alphabet_.size())
            break;
        out += alphabet_[d - 1];
    }
    return out;
}

QString StringStops::next() {
    ++count_;
    if (count_ == 1)
        return prefix_ + lowPiece_;
    if (count_ == 100)
        return prefix_ + highPiece_;
    return prefix_ + pieceOf(lowValue_ + step_ * (count_ - 1));
}

namespace {
RealStops realStops;
StringStops stringStops;
} // namespace

void SetupRealStops(double low, double high) { realStops.setup(low, high); }
double GetNextRealStop() { return realStops.next(); }
void SetupStringStops(int length, int flags, bool lettersOnly, const QString &low, const QString &high) {
    stringStops.setup(length, flags, lettersOnly, low, high);
}
QString GetNextStringStop() { return stringStops.next(); }

} // namespace tbk
