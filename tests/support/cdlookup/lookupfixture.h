#pragma once
// A disc in a simulated drive, the built agent on PATH in automatic mode, a scripted CDDB server
// it asks, and fresh data files in the test's folder. The tests of the look-up drive it through
// a plain window; a window that calls the look-up (the album form, the CD database wizard) can
// play the same scenarios through its buttons.
#include "runtime/data/record.h"
#include "support/catalogue/cataloguetest.h"
#include "support/cddb/scriptedserver.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace cdlookuptest {

using cataloguetest::addCategory;

// Three tracks from frames 150, 20000 and 40000 to the lead-out at 60000.
inline const char *const kThreeTrackDisc = "tracks 150 20000 40000\nleadout 60000\n";
// Its query line and the track times as the album's songs keep them.
inline const QString kThreeTrackQuery = QStringLiteral("1b031e03 3 150 20000 40000 800");
extern const qint32 kThreeTrackTimes[3];

// Database entries as a server sends them after "cddb read": the header line, the entry, ".".
QByteArray readReply(const QByteArray &entry);
// The same disc answered in UTF-8, in Latin-1 (the same text), and with more titles than tracks.
extern const QByteArray kUtf8Entry;
extern const QByteArray kLatin1Entry;
extern const QByteArray kFiveTitleEntry;

class DiscLookupTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Rewrites the drive's description (tray, disc, failures) in one step.
    void describeDrive(const QString &description);
    // The server answers the query with one match and the read with the reply in these pieces.
    void scriptAnswer(const QList<QByteArray> &readReplyPieces);
    // The server finds no match.
    void scriptNoMatch();

    // Adds an album and returns its record, as a window holding it keeps its own copy.
    static tbk::data::Record addAlbum(qint32 id, const QString &artist, const QString &album,
                                      qint64 categoryId, const QString &notes);
    static tbk::data::Record readAlbum(qint32 id);
    // A field of an album record ("Artist"), numbers as their decimal text.
    static QString field(const tbk::data::Record &album, const char *name);
    // The album's songs by side and track: "side|track|artist|title|time".
    static QStringList songsOf(qint32 albumId);
    // What the album's songs took of an album, by side and track: "album|media|category|file number".
    static QStringList albumDataOf(qint32 albumId);
    // The exchange file's entry.
    static QString exchange(const QString &section, const QString &entry);

    agenttest::ScriptedCddbServer server;

private:
    QByteArray oldPath_;
};

} // namespace cdlookuptest
