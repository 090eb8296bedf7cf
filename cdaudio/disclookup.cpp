#include "cdaudio/disclookup.h"

#include "cdaudio/readcompactdisc.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/data/errors.h"
#include "runtime/process/process.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/messagebox.h"
#include "runtime/values/text.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>
#include <utility>

namespace tbk {

namespace {

const QString kCDDB = QStringLiteral("CDDB");
const QString kCategory = QStringLiteral("Category");
const QString kErrorTitle = QStringLiteral("Error");
const QString kDTitle = QStringLiteral("DTITLE");
const QString kExtd = QStringLiteral("EXTD");

// A database entry line the look-up takes: its keyword (before the first "=") and its value.
struct EntryLine {
    QString keyword;
    QString value;
    int track = 0;   // of a "TTITLEn" line: n + 1
};

std::optional<EntryLine> entryLine(const QString &line) {
    static const QRegularExpression title(QStringLiteral("^TTITLE([0-9]{1,2})$"));
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    EntryLine e{line.left(eq), line.mid(eq + 1)};
    if (e.keyword == kDTitle || e.keyword == kExtd)
        return e;
    const QRegularExpressionMatch m = title.match(e.keyword);
    if (!m.hasMatch())
        return std::nullopt;
    e.track = m.captured(1).toInt() + 1;
    return e;
}

QString withoutLeadingBlanks(const QString &s) {
    qsizetype i = 0;
    while (i < s.size() && s.at(i) == QLatin1Char(' '))
        ++i;
    return s.mid(i);
}

// "Artist / Title": both parts without leading blanks; no " / ": no artist.
std::optional<std::pair<QString, QString>> splitArtist(const QString &value) {
    const qsizetype sep = value.indexOf(QLatin1String(" / "));
    if (sep < 0)
        return std::nullopt;
    return std::pair{withoutLeadingBlanks(value.left(sep)), withoutLeadingBlanks(value.mid(sep + 3))};
}

// The entry format's escapes \n, \t and \\ decoded; any other backslash stays as it came.
QString unescaped(const QString &value, QChar lineBreak) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar c = value.at(i);
        const QChar next = i + 1 < value.size() ? value.at(i + 1) : QChar();
        if (c == QLatin1Char('\\') && (next == QLatin1Char('n') || next == QLatin1Char('t') || next == c)) {
            c = next == QLatin1Char('n') ? lineBreak : next == QLatin1Char('t') ? QChar(QLatin1Char('\t')) : next;
            ++i;
        }
        out += c;
    }
    return out;
}

// Takes the log's lines into the album and its songs. A value longer than a database line comes
// as consecutive lines of one keyword, which the entry format joins: a title is applied only
// once all of it is known. "EXTD=" lines append to the notes one by one. Escapes are decoded
// in what was joined or appended, since one may span two lines.
class LogAnswer {
public:
    explicit LogAnswer(data::Record &album) : album_(album) {}

    void take(const QString &line) {
        const std::optional<EntryLine> e = entryLine(line);
        if (e && pending_ && e->keyword == pending_->keyword && e->keyword != kExtd) {
            pending_->value += e->value;
            return;
        }
        finish();
        pending_ = e;
    }

    void finish() {
        if (!pending_)
            return;
        EntryLine e = *pending_;
        pending_.reset();
        if (e.keyword == kExtd) {
            withAlbumBuffer(album_, [&] { applyExtendedData(e.value); });
            return;
        }
        // A title is one line: a line break in it becomes a blank.
        e.value = unescaped(e.value, QLatin1Char(' '));
        if (e.keyword == kDTitle)
            withAlbumBuffer(album_, [&] { applyDiscTitle(e.value); });
        else
            applyTrackTitle(e);
    }

private:
    static void applyDiscTitle(const QString &value) {
        const auto parts = splitArtist(value);
        ALB.Artist = parts ? parts->first : value;
        ALB.Album = parts ? parts->second : value;
    }

    void applyExtendedData(const QString &value) {
        // The notes are replaced only now that an answer has come: without one the user's stay.
        notes_ = clip(notes_) + value;
        ALB.Notes = unescaped(notes_, QLatin1Char('\n'));
    }

    static bool findTrackSong(qint32 albumId, int track) {
        MUS.clear();
        MUS.AlbumID = albumId;
        MUS.Side = GLO.Side;
        MUS.TrackNumber = track;
        return MUS.get(MUS.KeyAlbumID);
    }

    void applyTrackTitle(const EntryLine &e) {
        qint32 albumId = 0;
        withAlbumBuffer(album_, [&] { albumId = ALB.AlbumID; });
        // Songs of no album would be nobody's.
        if (albumId == 0)
            return;
        if (!findTrackSong(albumId, e.track))
            message(QStringLiteral("New track %1: %2=%3").arg(e.track).arg(e.keyword, e.value),
                    QStringLiteral("Warning"), MessageIcon::Exclamation);
        withAlbumBuffer(album_, [&] {
            // Sought again: the message let other windows at the songs buffer.
            const bool exists = findTrackSong(albumId, e.track);
            if (!exists)
                primeTrackSong(e.track, 0);
            const auto parts = splitArtist(e.value);
            MUS.Title = parts ? parts->second : e.value;
            MUS.Artist = parts ? parts->first : ALB.Artist.str();
            if (exists)
                MUS.put();
            else
                MUS.add();
        });
    }

    data::Record &album_;
    std::optional<EntryLine> pending_;
    QString notes_;   // as the answer wrote them, escapes and all
};

void readAnswer(const DiscLookupCaller &c) {
    const QString ini = QString::fromLatin1(kDiscSeekIni);
    c.category = getIni(kCDDB, kCategory, c.category, ini).toUpper();
    {
        FilesInUse categories{&CAT};
        CAT.clear();
        CAT.Category = c.category;
        if (CAT.get(CAT.KeyCategory)) {
            const qint64 id = CAT.CategoryID.value();
            withAlbumBuffer(c.album, [id] { ALB.CategoryID = id; });
        }
    }

    INP.setName(findFileNoCase(QString::fromLatin1(kDiscSeekLog)));
    // A line longer than the record must never come in pieces: a piece could read as a title.
    INP.setWholeLines(true);
    if (!INP.open(data::ReadWrite | data::DenyWrite)) {
        message(QStringLiteral("No information retrieved."), kErrorTitle, MessageIcon::Hand);
        return;
    }
    FilesInUse songs{&MUS};
    LogAnswer answer(c.album);
    for (;;) {
        if (INP.next()) {
            answer.take(fromUtf8OrLatin1(INP.rawLine()));
            continue;
        }
        const bool atEnd = data::errorCode() == data::RecordNotAvailable;
        const QString why = data::shownErrorText();
        answer.finish();
        if (!atEnd)
            message(QStringLiteral("Next line:  ") + why, kErrorTitle, MessageIcon::Hand);
        break;
    }
    // The log stays open and in place until the next look-up.
}

void lookUpDisc(const DiscLookupCaller &c, const QString &notFoundEnding) {
    const QString program = QStringLiteral("DiscSeek");
    const ProgramRunClaim claim(program);
    if (!claim.held())
        return;
    // What the disc's songs are made of: they follow what the answer makes of it.
    const data::Record took = c.album;
    if (ReadCompactDisc(0, 0, c.album)) {
        StoreDiscIdentifier(c.album);
        INP.close();
        QFile::remove(findFileNoCase(QString::fromLatin1(kDiscSeekLog)));
        // An agent that never reaches its end writes no category: one an earlier look-up left
        // would pass for this disc's.
        putIni(kCDDB, kCategory, QString(), QString::fromLatin1(kDiscSeekIni));
        RunProgramBusy({program, true, notFoundEnding}, c.window);
        readAnswer(c);
        FilesInUse songs{&MUS};
        if (!albumDataToSongs(c.album, took, GLO.Side))
            message(QStringLiteral("Error updating song database - ") + data::shownErrorText(), kErrorTitle,
                    MessageIcon::Exclamation);
    }
    if (c.refresh)
        c.refresh();
}

} // namespace

void LookUpDiscForAlbum(const DiscLookupCaller &caller) { lookUpDisc(caller, QString()); }

void LookUpDiscForWizard(const DiscLookupCaller &caller) { lookUpDisc(caller, QStringLiteral(".")); }

} // namespace tbk
