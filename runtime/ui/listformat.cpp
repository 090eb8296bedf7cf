#include "runtime/ui/listformat.h"

#include "runtime/values/picture.h"

#include <QRegularExpression>

namespace tbk {

namespace {

const QRegularExpression &fieldMark() {
    static const QRegularExpression re(QStringLiteral("#(\\d+)#"));
    return re;
}

bool isJustification(QChar c) {
    return c == u'L' || c == u'R' || c == u'C' || c == u'D';
}

class Reader {
public:
    explicit Reader(const QString &s) : s_(s) {}

    bool atEnd() const { return i_ >= s_.size(); }
    QChar peek() const { return atEnd() ? QChar() : s_[i_]; }
    bool atColumnStart() const { return !atEnd() && (peek().isDigit() || peek() == u'['); }

    QList<ListColumn> columns(bool inGroup) {
        QList<ListColumn> out;
        while (!atEnd()) {
            if (inGroup && peek() == u']')
                break;
            if (!atColumnStart()) {
                // Stray text: kept with the column before it.
                QString &keep = out.isEmpty() ? stray_ : out.last().trailer;
                keep += s_[i_++];
                continue;
            }
            out.append(column());
        }
        return out;
    }

    QString stray() const { return stray_; }

private:
    ListColumn column() {
        ListColumn c;
        if (peek() == u'[') {
            ++i_;
            c.isGroup = true;
            c.members = columns(true);
            if (peek() == u']')
                ++i_;
            c.indent = number();
        } else {
            c.width = digits().toInt();
            if (isJustification(peek()))
                c.justification = s_[i_++];
            c.indent = number();
        }
        c.modifiers = run(QStringLiteral("~@[]#"));
        if (peek() == u'~') {
            c.header = delimited(u'~');
            if (isJustification(peek())) {
                c.headerJustification = s_[i_++];
                c.headerIndent = number();
            }
        }
        if (peek() == u'@')
            c.picture = delimited(u'@');
        c.trailer = run(QStringLiteral("[]"));
        return c;
    }

    QString digits() {
        const int from = i_;
        while (!atEnd() && peek().isDigit())
            ++i_;
        return s_.mid(from, i_ - from);
    }

    // "(n)" when it is there and holds a whole number; otherwise nothing is read.
    std::optional<int> number() {
        static const QRegularExpression re(QStringLiteral("\\G\\((-?\\d+)\\)"));
        const auto m = re.match(s_, i_, QRegularExpression::NormalMatch,
                                QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch())
            return std::nullopt;
        i_ = m.capturedEnd();
        return m.captured(1).toInt();
    }

    QString delimited(QChar mark) {
        const int close = s_.indexOf(mark, i_ + 1);
        const int end = close < 0 ? s_.size() : close;
        QString inside = s_.mid(i_ + 1, end - i_ - 1);
        i_ = close < 0 ? s_.size() : close + 1;
        return inside;
    }

    // Characters up to the next column (or one of the stop characters); "(...)" and "#n#"
    // are taken whole so that their digits start no column.
    QString run(const QString &stops) {
        QString out;
        static const QRegularExpression mark(QStringLiteral("\\G#\\d+#"));
        while (!atEnd() && !peek().isDigit() && !stops.contains(peek())) {
            if (peek() == u'#') {
                const auto m = mark.match(s_, i_, QRegularExpression::NormalMatch,
                                          QRegularExpression::AnchorAtOffsetMatchOption);
                if (m.hasMatch()) {
                    out += m.captured(0);
                    i_ = m.capturedEnd();
                    continue;
                }
                out += s_[i_++];
            } else if (peek() == u'(') {
                const int close = s_.indexOf(u')', i_);
                const int end = close < 0 ? s_.size() : close + 1;
                out += s_.mid(i_, end - i_);
                i_ = end;
            } else {
                out += s_[i_++];
            }
        }
        return out;
    }

    const QString &s_;
    int i_ = 0;
    QString stray_;
};

// Where the flag stands among the modifiers, outside their "(...)" arguments; -1 when absent.
qsizetype flagIndex(const QString &modifiers, QChar flag) {
    int depth = 0;
    for (qsizetype i = 0; i < modifiers.size(); ++i) {
        const QChar c = modifiers[i];
        if (c == u'(')
            ++depth;
        else if (c == u')')
            depth = std::max(0, depth - 1);
        else if (depth == 0 && c == flag)
            return i;
    }
    return -1;
}

void write(const ListColumn &c, QString &out) {
    if (c.isGroup) {
        out += u'[';
        for (const ListColumn &m : c.members)
            write(m, out);
        out += u']';
    } else {
        out += QString::number(c.width);
        if (!c.justification.isNull())
            out += c.justification;
    }
    if (c.indent)
        out += QStringLiteral("(%1)").arg(*c.indent);
    out += c.modifiers;
    if (c.header) {
        out += u'~' + *c.header + u'~';
        if (!c.headerJustification.isNull()) {
            out += c.headerJustification;
            if (c.headerIndent)
                out += QStringLiteral("(%1)").arg(*c.headerIndent);
        }
    }
    if (c.picture)
        out += u'@' + *c.picture + u'@';
    out += c.trailer;
}

template <typename Columns, typename Out>
void flatten(Columns &columns, Out &out) {
    for (auto &c : columns) {
        if (c.isGroup)
            flatten(c.members, out);
        else
            out.append(&c);
    }
}

void replaceDates(QList<ListColumn> &columns, const QString &datePicture) {
    for (ListColumn &c : columns) {
        if (c.isGroup)
            replaceDates(c.members, datePicture);
        else if (c.picture && c.picture->startsWith(u'd', Qt::CaseInsensitive))
            c.picture = datePicture;
    }
}

} // namespace

bool ListColumn::hasFlag(QChar flag) const { return flagIndex(modifiers, flag) >= 0; }

void ListColumn::setFlag(QChar flag, bool on) {
    const qsizetype at = flagIndex(modifiers, flag);
    if (on && at < 0)
        modifiers += flag;
    else if (!on && at >= 0)
        modifiers.remove(at, 1);
}

std::optional<int> ListColumn::fieldNumber() const {
    const auto m = fieldMark().match(trailer);
    if (!m.hasMatch())
        return std::nullopt;
    return m.captured(1).toInt();
}

void ListColumn::setFieldNumber(std::optional<int> n) {
    const auto m = fieldMark().match(trailer);
    const QString mark = n ? QStringLiteral("#%1#").arg(*n) : QString();
    if (m.hasMatch())
        trailer.replace(m.capturedStart(), m.capturedLength(), mark);
    else
        trailer += mark;
}

ListFormat ListFormat::parse(const QString &text) {
    ListFormat f;
    Reader r(text);
    f.columns_ = r.columns(false);
    f.leading_ = r.stray();
    return f;
}

QString ListFormat::toString() const {
    QString out = leading_;
    for (const ListColumn &c : columns_)
        write(c, out);
    return out;
}

QList<const ListColumn *> ListFormat::displayColumns() const & {
    QList<const ListColumn *> out;
    flatten(columns_, out);
    return out;
}

QList<ListColumn *> ListFormat::displayColumns() & {
    QList<ListColumn *> out;
    flatten(columns_, out);
    return out;
}

QList<int> ListFormat::displayFields() const {
    QList<int> out;
    int next = 1;
    for (const ListColumn *c : displayColumns()) {
        const int f = c->fieldNumber().value_or(next);
        out.append(f);
        next = f + 1 + (c->hasFlag(u'*') ? 4 : 0) + (c->hasFlag(u'I') ? 1 : 0);
    }
    return out;
}

QString replaceDatePictures(const QString &format, const QString &datePicture) {
    const QString picture = datePictureFor(datePicture);
    if (picture.isEmpty())
        return format;
    ListFormat f = ListFormat::parse(format);
    replaceDates(f.columns(), picture.mid(1));
    return f.toString();
}

} // namespace tbk
