#include "labels/artistname.h"

namespace tbk {

namespace {

// The name's pieces are held in 80-character fields.
constexpr int PieceLength = 80;

QString piece(const QString &text) { return text.left(PieceLength); }

QString trimmedRight(const QString &text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

}  // namespace

QString ReorderArtistName(const QString &name) {
    const qsizetype comma = name.indexOf(u',');
    if (comma < 0)
        return name;
    const QString lower = name.toLower();
    qsizetype join = lower.indexOf(QLatin1String(" with "));
    if (join < 0)
        join = lower.indexOf(QLatin1String(" and "));
    const QString before = name.left(comma);
    if (join < 0 || join < comma)
        return piece(name.mid(comma + 1).trimmed()) + u' ' + piece(trimmedRight(before));
    const QString given = name.mid(comma + 1, join - comma - 1);
    const QString rest = name.mid(join);
    return piece(given.trimmed()) + u' ' + piece(before.trimmed()) + u' ' + piece(rest.trimmed());
}

}  // namespace tbk
