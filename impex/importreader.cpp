#include "impex/importreader.h"

#include "runtime/values/picture.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {

constexpr int kFieldTextSize = 4000;
// Skipped lines named at the end of a run.
constexpr int kTooLongNamed = 10;
const QChar kQuote = QLatin1Char('"');

bool blankFrom(QStringView line, qsizetype at) {
    for (qsizetype i = at; i < line.size(); ++i)
        if (line[i] != QLatin1Char(' '))
            return false;
    return true;
}

// The quote that closes a quoted field, searched from `from` on; doubled quotes are part of the
// field. -1 when the field does not close in the line.
qsizetype closingQuote(QStringView line, qsizetype from) {
    for (;;) {
        const qsizetype q = line.indexOf(kQuote, from);
        if (q < 0)
            return -1;
        if (q + 1 < line.size() && line[q + 1] == kQuote) {
            from = q + 2;
            continue;
        }
        return q;
    }
}

struct FieldSpan {
    qsizetype begin = 0;
    qsizetype end = 0;     // the field's text is [begin, end)
    qsizetype next = -1;   // where the next field starts; -1: none
    bool quoted = false;
};

// The field that starts at `at`. The character after a closing quote is taken to be the comma.
FieldSpan fieldAt(QStringView line, qsizetype at) {
    if (line[at] == kQuote) {
        const qsizetype q = closingQuote(line, at + 1);
        return q < 0 ? FieldSpan{at + 1, line.size(), -1, true} : FieldSpan{at + 1, q, q + 2, true};
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','), at);
    return comma < 0 ? FieldSpan{at, line.size(), -1, false} : FieldSpan{at, comma, comma + 1, false};
}

// Where the quoted field that the line leaves open begins, walking the fields from `at`; -1
// when every field closes.
qsizetype openQuotedField(QStringView line, qsizetype at) {
    while (at >= 0 && !blankFrom(line, at)) {
        const FieldSpan f = fieldAt(line, at);
        if (f.quoted && f.next < 0)
            return at;
        at = f.next;
    }
    return -1;
}

// A line's bytes past this many, blanks ending them aside, are more characters than a line holds
// in any encoding read.
constexpr qsizetype kLineBytes = 3 * kImportLineSize;

qsizetype clippedSize(const QByteArray &raw) {
    qsizetype n = raw.size();
    while (n > 0 && raw[n - 1] == ' ')
        --n;
    return n;
}

// The next line of the file with the pieces of an over-long one put together (only as far as
// tells it is too long); false at the end of the file or on a read error. A line that is not
// UTF-8 is Windows-1252; NULs are left out.
bool readFileLine(ImportTransfer &t, FileLine &out) {
    if (!t.file.next())
        return false;
    out.number = ++t.linesRead;
    out.tooLong = false;
    QByteArray raw = t.file.rawLine();
    while (t.file.continues() && t.file.next()) {
        if (out.tooLong)
            continue;
        raw += t.file.rawLine();
        if (clippedSize(raw) > kLineBytes) {
            out.tooLong = true;
            raw.clear();
        }
    }
    out.endsInReturn = t.file.endedInReturn();
    if (raw.contains('\0'))
        raw.replace(QByteArrayView("\0", 1), QByteArrayView());
    const qsizetype clipped = clippedSize(raw);
    out.endBlanks = int(raw.size() - clipped);
    raw.truncate(clipped);
    out.text = fromUtf8OrWindows1252(raw);
    if (out.text.size() > kImportLineSize) {
        out.tooLong = true;
        out.text.clear();
    }
    return true;
}

const FileLine *peekLine(ImportTransfer &t, size_t i) {
    while (t.ahead.size() <= i) {
        FileLine line;
        if (!readFileLine(t, line))
            return nullptr;
        t.ahead.push_back(std::move(line));
    }
    return &t.ahead[i];
}

bool takeLine(ImportTransfer &t, FileLine &out) {
    if (t.ahead.empty())
        return readFileLine(t, out);
    out = std::move(t.ahead.front());
    t.ahead.pop_front();
    return true;
}

} // namespace

bool endsInsideQuotes(QStringView line) { return openQuotedField(line, 0) >= 0; }

int ImportReadLine(ImportTransfer &t) {
    t.linePosition = 0;
    t.record.clear();
    FileLine line;
    for (;;) {
        if (!takeLine(t, line))
            return 0;
        if (line.tooLong) {
            if (t.tooLongCount++ < kTooLongNamed)
                t.tooLongLines.append(line.number);
            continue;
        }
        if (clippedLength(line.text) > 0)
            break;
    }
    t.record = std::move(line.text);
    qsizetype open = openQuotedField(t.record, 0);
    if (open >= 0) {
        // The open field goes on over the following lines while its closing quote is still to
        // come within the line's size; a field that never closes there takes the rest of its line.
        // The break kept as the file wrote it.
        QString joined = t.record;
        int blanks = line.endBlanks;
        bool returnEnded = line.endsInReturn;
        size_t tried = 0;
        size_t used = 0;
        while (open >= 0) {
            const FileLine *next = peekLine(t, tried);
            const QLatin1StringView lineEnd = returnEnded ? QLatin1StringView("\r\n") : QLatin1StringView("\n");
            if (!next || next->tooLong ||
                joined.size() + blanks + lineEnd.size() + next->text.size() > kImportLineSize)
                break;
            const qsizetype from = joined.size();
            joined += QString(blanks, QLatin1Char(' '));
            joined += lineEnd;
            joined += next->text;
            blanks = next->endBlanks;
            returnEnded = next->endsInReturn;
            ++tried;
            const qsizetype q = closingQuote(joined, from);
            if (q < 0)
                continue;
            t.record = joined;
            used = tried;
            open = openQuotedField(joined, q + 2);
        }
        t.ahead.erase(t.ahead.begin(), t.ahead.begin() + qsizetype(used));
    }
    t.linePosition = 1;
    return int(t.record.size());
}

int ImportNextField(ImportTransfer &t) {
    t.fieldDeformatted = false;
    const qsizetype at = t.linePosition - 1;
    if (t.linePosition <= 0 || blankFrom(t.record, at)) {
        t.fieldText.clear();
        t.linePosition = 0;
        return 0;
    }
    const FieldSpan f = fieldAt(t.record, at);
    t.fieldText = QStringView(t.record).sliced(f.begin, f.end - f.begin).toString();
    if (f.quoted && t.fieldText.contains(kQuote))
        t.fieldText.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    if (t.fieldText.size() > kFieldTextSize)
        t.fieldText.truncate(kFieldTextSize);
    t.linePosition = f.next < 0 ? 0 : int(f.next) + 1;
    return f.quoted ? 1 : 2;
}

void ImportDeformatField(ImportTransfer &t, const QString &picture) {
    if (t.fieldDeformatted)
        return;
    t.fieldDeformatted = true;
    const QString pic = clip(picture);
    const QChar type = pic.size() > 1 ? pic[1].toLower() : QChar();
    if (type == QLatin1Char('s') || type == QLatin1Char('n'))
        return;
    // The export writes a bare year under a date picture as a date of 1800..1809.
    const std::optional<QVariant> value = parsePicture(pic, t.fieldText, BareYearDays::Taken);
    t.fieldText = value ? value->toString() : QStringLiteral("0");
}

void ImportRewind(ImportTransfer &t, bool quickScan) {
    if (quickScan)
        t.file.send(QStringLiteral("QUICKSCAN=on"));
    t.file.set();
    t.ahead.clear();
    t.linesRead = 0;
    t.tooLongCount = 0;
    t.tooLongLines.clear();
    t.record.clear();
    t.linePosition = 0;
}

void ImportCloseFile(ImportTransfer &t) {
    t.file.send(QStringLiteral("QUICKSCAN=off"));
    t.file.close();
}

} // namespace tbk
