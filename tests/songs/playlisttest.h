#pragma once
// The playlist tests' catalogue: ten songs of known times, playlists and entries made directly,
// the playlist form opened on its own thread, and the entries as the file holds them.
#include "core/programsettings.h"
#include "runtime/data/driver.h"
#include "runtime/ui/listcontrol.h"
#include "songs/updateplaylist.h"
#include "songtest.h"
#include "support/windows/listtesting.h"

#include <sqlite3.h>

namespace songtest {

class PlaylistTest : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        openForUse(PLD);
        DateFormat = "d2";
        // Song i: "Artist i", "Song i", i minutes and one second long.
        for (int i = 1; i <= 10; ++i) {
            addSong(i, QStringLiteral("Song %1").arg(i));
            MUS.Artist = QStringLiteral("Artist %1").arg(i);
            MUS.Time = 1 + (60 * i + 1) * 100;
            ASSERT_TRUE(MUS.put());
        }
    }

    static void addPlaylist(qint32 id, const QString &description) {
        PLD.clear();
        PLD.PlaylistID = id;
        PLD.PLAYLISTDESCRIPTION = description;
        ASSERT_TRUE(PLD.add()) << data::errorCode();
    }
    // Playlist 1 "Road Trip" with songs 1..n at sequences 1..n.
    static void roadTrip(int n) {
        addPlaylist(1, "Road Trip");
        for (int i = 1; i <= n; ++i)
            addEntry(1, i, i);
    }
    // The playlist's entries in key order as "sequence:song".
    static QStringList entries(qint32 playlist) {
        return rows(PLA, PLA.KeyPlaylistID, [playlist] {
                   return PLA.PlaylistID.value() == playlist
                              ? QStringLiteral("%1:%2").arg(PLA.PlaylistSeq.value()).arg(PLA.ID.value())
                              : QString();
               }).filter(QStringLiteral(":"));
    }
    static QStringList playlists() {
        return rows(PLD, PLD.KeyPlaylistID, [] {
            return QStringLiteral("%1:%2").arg(PLD.PlaylistID.value()).arg(PLD.PLAYLISTDESCRIPTION.str());
        });
    }
    // A statement on the entries file through a connection of its own (a trigger that fails writes).
    static void entriesSql(const QString &sql) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(PLA.name().toUtf8().constData(), &db), SQLITE_OK);
        data::registerCollation(db);
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sql.toStdString();
        sqlite3_close(db);
    }

    // The playlist form on its own thread, changing playlist `id` or adding one.
    Started openPlaylist(qint32 request, qint32 id = 0) {
        auto c = callOnThread(UpdatePlaylist, request, [id] {
            PLD.clear();
            PLD.PlaylistID = id;
            PLD.get(PLD.KeyPlaylistID);
        });
        list = qobject_cast<ListControl *>(findControl(window(*c), QStringLiteral("Browse:2")));
        return c;
    }
    bool pick(int row) { return clickRow(list, row) && runUntilIdle(); }
    QString cell(int row, int column) const { return list->rowTexts(row).value(column).trimmed(); }

    ListControl *list = nullptr;
};

} // namespace songtest
