// A playlist printed as a list with its total time and as a chart that renumbers its entries.
#include "reports/playlistreports.h"
#include "reporttest.h"

#include <QRegularExpression>

using namespace reporttest;

namespace {

class PlaylistReports : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        openForUse(PLA);
        openForUse(PLD);
        PLD.clear();
        PLD.PlaylistID = 4;
        PLD.PLAYLISTDESCRIPTION = "Friday Mix";
        ASSERT_TRUE(PLD.add());
    }
    static void entry(qint64 seq, qint64 songId, const QString &notes = {}, qint32 playlist = 4) {
        PLA.clear();
        PLA.PlaylistID = playlist;
        PLA.PlaylistSeq = seq;
        PLA.ID = songId;
        PLA.PLAYLISTNOTES = notes;
        ASSERT_TRUE(PLA.add()) << data::errorCode();
    }
    // The playlist's entries in key order, as "sequence:song".
    static QStringList sequence(qint32 playlist = 4) {
        QStringList seqs;
        PLA.clear();
        PLA.PlaylistID = playlist;
        PLA.setFromBuffer(PLA.KeyPlaylistID);
        while (PLA.next() && PLA.PlaylistID.value() == playlist)
            seqs << QString("%1:%2").arg(PLA.PlaylistSeq.value()).arg(PLA.ID.value());
        return seqs;
    }
    // The report on the header in the buffer, answered Yes to the preview question.
    static QStringList preview(void (*procedure)()) {
        Started r = start(procedure);
        EXPECT_EQ(asked(r), "Do you wish to PREVIEW this Report?");
        EXPECT_TRUE(answer(r, ButtonYes));
        return previewLines(r);
    }
    static QStringList chartLines(const QStringList &lines) { return lines.filter(QRegularExpression("^\\d+ \\| ")); }
};

} // namespace

TEST_F(PlaylistReports, TheListPrintsTheEntriesWithTheirSongsAndTheirTotalTime) {
    UDKPrompt = "Mood";
    DateFormat = "d2";
    addCategory(2, "Soul");
    song(10, "Respect", "Aretha", [] {
        MUS.Time = timeOf(0, 3, 5);
        MUS.CategoryID = 2;
        MUS.Album = "Lady Soul";
        MUS.UserDefinedKeyField = "up";
        MUS.FileNumber = "F1";
        MUS.ReleaseDate = 71266;
    });
    song(11, "Heroes", "Bowie", [] { MUS.Time = timeOf(0, 4, 10); });
    song(12, "Silence", "Nobody");
    entry(3, 11);
    entry(7, 10);
    entry(12, 12);
    entry(1, 10, {}, 5);   // another playlist
    EXPECT_EQ(preview(PrintPlaylist),
              (QStringList{"Playlist", "Friday Mix", "Artist | Title | Category | Album | Mood | File Number | Date | Time",
                           "Bowie | Heroes | 4:10",
                           "Aretha | Respect | Soul | Lady Soul | up | F1 | " + formatPicture("@d2", 71266) + " | 3:05",
                           "Nobody | Silence", "Total Time | 00:07:15", footer()}));
    EXPECT_EQ(sequence(), (QStringList{"3:11", "7:10", "12:12"})) << "the list changes nothing";

    // Each time value is its duration plus one hundredth: 101 timed entries still add up to
    // their durations.
    for (int i = 0; i < 99; ++i)
        entry(20 + i, 10);
    EXPECT_EQ(preview(PrintPlaylist).filter("Total Time"), QStringList{"Total Time | 05:12:30"});

    // Printed, it reads back from the PDF file.
    Started r = start(PrintPlaylist);
    ASSERT_TRUE(answer(r, ButtonNo));
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 2);
    for (const char *text : {"Playlist", "Friday Mix", "Heroes", "Lady Soul", "02/10/1996", "3:05", "Page 1"})
        EXPECT_TRUE(pages[0].contains(text)) << text << "\n" << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains("Total Time 05:12:30")) << pages[1].toStdString();
}

TEST_F(PlaylistReports, TheChartPrintsPlacesInPrintOrderWithLastWeekAndMarksAndKeepsTheNewNumbers) {
    song(1, "One", "Ann", [] {
        MUS.FileNumber = "F1";
        MUS.TrackNumber = 4;
        MUS.Time = timeOf(0, 3, 5);
        MUS.BeatsPerMinute = 120;
    });
    song(2, "Two", "Bob");
    // Last week against this week: climbed more than ten, climbed, stayed, dropped, new.
    entry(3, 1, "Great LW:15");
    entry(7, 2, "LW:5");
    entry(12, 1, "x LW:3 y");
    entry(13, 2, "LW:2");
    entry(20, 1, "lw:1 new");
    entry(21, 2, "LW:12");
    const QStringList expected{"1 | 15 | Ann | One | F1 | - | 4 | 3:05 | 120 | *",
                               "2 | 5 | Bob | Two | - | 0 | ^",
                               "3 | 3 | Ann | One | F1 | - | 4 | 3:05 | 120 | =",
                               "4 | 2 | Bob | Two | - | 0",
                               "5 | -- | Ann | One | F1 | - | 4 | 3:05 | 120",
                               "6 | 12 | Bob | Two | - | 0 | ^"};
    // The basic list leaves the numbers; the chart writes them.
    preview(PrintPlaylist);
    EXPECT_EQ(sequence(), (QStringList{"3:1", "7:2", "12:1", "13:2", "20:1", "21:2"}));
    const QStringList lines = preview(PrintPlaylistChart);
    EXPECT_EQ(lines.mid(0, 3), (QStringList{"Friday Mix", formatPicture("@d4", today()),
                                            "TW | LW | Artist | Title | File | Trk | Time | BPM"}));
    EXPECT_EQ(lines.mid(3), expected) << "no page number";
    EXPECT_EQ(sequence(), (QStringList{"1:1", "2:2", "3:1", "4:2", "5:1", "6:2"}));
    // Again: the same places, nothing left to write.
    EXPECT_EQ(chartLines(preview(PrintPlaylistChart)), expected);
    EXPECT_EQ(sequence(), (QStringList{"1:1", "2:2", "3:1", "4:2", "5:1", "6:2"}));
}

TEST_F(PlaylistReports, TheChartReportsAFailedWriteOnceAndPrintsEachEntryOnce) {
    for (int i = 1; i <= 4; ++i)
        song(i, QString("Song %1").arg(i), "Ann");
    // -1 moves on to 1, after its old key: read again, it is not printed again. 0 and 2 cannot
    // take 2 and 3 while the next entries hold them.
    entry(-1, 1);
    entry(0, 2);
    entry(2, 3);
    entry(3, 4);
    Started r = start(PrintPlaylistChart);
    ASSERT_TRUE(answer(r, ButtonYes));
    EXPECT_EQ(window(r)->windowTitle(), "Process PUT Error");
    EXPECT_TRUE(asked(r).startsWith("An error was experienced when making changes to the PlaylistDetails file.  Error: "))
        << asked(r).toStdString();
    ASSERT_TRUE(answer(r, ButtonOK));
    EXPECT_EQ(chartLines(previewLines(r)), (QStringList{"1 | -- | Ann | Song 1 | - | 0", "2 | -- | Ann | Song 2 | - | 0",
                                                        "3 | -- | Ann | Song 3 | - | 0", "4 | -- | Ann | Song 4 | - | 0"}));
    EXPECT_EQ(sequence(), (QStringList{"0:2", "1:1", "2:3", "4:4"}));
}

TEST_F(PlaylistReports, ACancelledChartLeavesTheEntriesRenumberedUpToTheLastOnePrinted) {
    for (int i = 1; i <= 200; ++i) {
        song(i, QString("Song %1").arg(i, 3, 10, QChar('0')), "Artist");
        entry(2 * i, i);
    }
    Started r = start(PrintPlaylistChart);
    cancelAt(r, 5, false, false);
    ASSERT_TRUE(answer(r, ButtonYes));   // the preview question
    ASSERT_EQ(asked(r), cancelQuestion());
    ASSERT_TRUE(answer(r, ButtonYes));
    ASSERT_TRUE(answer(r, ButtonYes));   // preview what was made
    const QStringList lines = chartLines(previewLines(r));
    const int made = int(lines.size());
    ASSERT_TRUE(made > 25 && made < 200) << made;
    EXPECT_TRUE(lines.back().startsWith(QString::number(made) + " | ")) << lines.back().toStdString();
    const QStringList seqs = sequence();
    ASSERT_EQ(seqs.size(), 200);
    for (int i = 1; i <= 200; ++i)
        EXPECT_EQ(seqs[i - 1], QString("%1:%2").arg(i <= made ? i : 2 * i).arg(i)) << i;
}
