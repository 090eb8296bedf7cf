// Reading a simulated disc into an album record, its songs or the add wizard's rows.
#include "cdaudio/readcompactdisc.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "core/programsettings.h"
#include "runtime/mci/mci.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/values/dates.h"
#include "support/cdlookup/lookupfixture.h"
#include "support/windows/scriptedanswers.h"

using namespace tbk;
using namespace tbk::windowtest;
using namespace cdlookuptest;

namespace {

class ReadDisc : public DiscLookupTest {
protected:
    // Runs the reading on a logical thread; no message is expected.
    qint32 read(quint8 identifyOnly, quint8 fillWizard, data::Record &album) {
        qint32 result = -1;
        const std::vector<ShownMessage> shown =
            runAnswering([&] { result = ReadCompactDisc(identifyOnly, fillWizard, album); });
        EXPECT_TRUE(shown.empty()) << shown.front().text.toStdString();
        return result;
    }
    static bool driveClosed() {
        QString answer;
        return mciSendString(QStringLiteral("status cdaudio mode"), answer) == 263;
    }
};

TEST_F(ReadDisc, IdentifyOnlyStopsAtTheExchangeFile) {
    AutomaticLookup = 0;
    data::Record album = addAlbum(5, "Artist", "Title", 0, {});
    ASSERT_EQ(read(1, 0, album), 1);
    EXPECT_EQ(field(album, "XCCD"), "1b031e03");
    EXPECT_EQ(field(album, "CDDBSTRING"), kThreeTrackQuery);
    EXPECT_EQ(field(album, "TOTALTIME"), "79800");   // the identifier's seconds, in hundredths
    EXPECT_EQ(field(album, "CDIDENTIFIER"), QStringLiteral(" 3%1%2%3%4").arg(timeOf(0, 13, 18))
                                                .arg(kThreeTrackTimes[0]).arg(kThreeTrackTimes[1])
                                                .arg(kThreeTrackTimes[2]));
    EXPECT_EQ(exchange("CDDB", "CDDB"), kThreeTrackQuery);
    EXPECT_EQ(exchange("Default", "AutomaticMode"), "N");
    EXPECT_TRUE(songsOf(5).isEmpty());
    EXPECT_TRUE(driveClosed());
}

TEST_F(ReadDisc, SongsAreAddedOnceAndThenOnlyTheirTimesChange) {
    data::Record album = addAlbum(5, "Artist", "Title", 7, {});
    MUS.clear();
    MUS.ID = 10;
    MUS.AlbumID = 5;
    MUS.TrackNumber = 2;
    MUS.Title = "Kept";
    MUS.Artist = "Someone";
    ASSERT_TRUE(MUS.add());

    ASSERT_EQ(read(0, 0, album), 1);
    const QStringList first{QStringLiteral("0|1|Artist|Track 1|%1").arg(kThreeTrackTimes[0]),
                            QStringLiteral("0|2|Someone|Kept|%1").arg(kThreeTrackTimes[1]),
                            QStringLiteral("0|3|Artist|Track 3|%1").arg(kThreeTrackTimes[2])};
    EXPECT_EQ(songsOf(5), first);
    EXPECT_EQ(field(album, "TOTALTIME"), QString::number(timeOf(0, 13, 18)));
    MUS.clear();
    MUS.AlbumID = 5;
    MUS.Side = 0;
    MUS.TrackNumber = 3;
    ASSERT_TRUE(MUS.get(MUS.KeyAlbumID));
    EXPECT_EQ(MUS.ID.value(), 12);
    EXPECT_EQ(MUS.CategoryID.value(), 7);
    EXPECT_EQ(MUS.FileNumber.str(), "F5");
    EXPECT_TRUE(driveClosed());

    // The same album read again from a disc whose second track is longer.
    describeDrive("tracks 150 20000 45000\nleadout 60000\n");
    ASSERT_EQ(read(0, 0, album), 1);
    const QStringList songs = songsOf(5);
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[1], QStringLiteral("0|2|Someone|Kept|%1").arg(timeOf(0, 5, 33)));
    EXPECT_EQ(MUS.records(), 3);

    // Without an album identifier nothing is written.
    data::Record none = addAlbum(0, "Nobody", "Nothing", 0, {});
    ASSERT_EQ(read(0, 0, none), 1);
    EXPECT_EQ(MUS.records(), 3);
}

TEST_F(ReadDisc, WizardRowsGoUnderTheThreadOnSideOne) {
    data::Record album = addAlbum(5, {}, "Title", 0, {});
    qint64 instance = 0;
    FilesInUse files{&AW};
    const std::vector<ShownMessage> shown = runAnswering([&] {
        instance = threadGlobals().ThreadInstance;
        AW.clear();
        AW.Instance = instance;
        AW.Side = 1;
        AW.Track = 2;
        AW.ARTIST = "Chosen";
        AW.TITLE = "Chosen Title";
        ASSERT_TRUE(AW.add());
        EXPECT_EQ(ReadCompactDisc(0, 1, album), 1);
    });
    EXPECT_TRUE(shown.empty());
    QStringList rows;
    AW.set(AW.KeyInstance);
    while (AW.next())
        rows << QStringLiteral("%1|%2|%3|%4|%5|%6").arg(AW.Instance.value() == instance).arg(AW.Side.value())
                    .arg(AW.Track.value()).arg(AW.ARTIST.str(), AW.TITLE.str()).arg(AW.TIME.value());
    EXPECT_EQ(rows, QStringList({QStringLiteral("1|1|1|Various|Track 1|%1").arg(kThreeTrackTimes[0]),
                                 QStringLiteral("1|1|2|Chosen|Chosen Title|%1").arg(kThreeTrackTimes[1]),
                                 QStringLiteral("1|1|3|Various|Track 3|%1").arg(kThreeTrackTimes[2])}));
    EXPECT_TRUE(songsOf(5).isEmpty());
}

// Forty tracks: the query is longer than the album's field; the agent gets all of it.
TEST_F(ReadDisc, LongQueryIsCutInTheAlbumOnly) {
    QString tracks = QStringLiteral("tracks");
    for (int t = 0; t < 40; ++t)
        tracks += QStringLiteral(" %1").arg(150 + t * 7500);
    describeDrive(tracks + QStringLiteral("\nleadout 310000\n"));
    data::Record album = addAlbum(5, "Artist", "Title", 0, {});
    ASSERT_EQ(read(1, 0, album), 1);
    const QString query = exchange("CDDB", "CDDB");
    EXPECT_GT(query.size(), 255);
    EXPECT_TRUE(query.endsWith(QStringLiteral(" 292650 4133")));
    EXPECT_EQ(field(album, "CDDBSTRING"), query.left(255).trimmed());
}

} // namespace
