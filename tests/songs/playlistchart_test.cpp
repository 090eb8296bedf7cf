// The chart update: the marker rule without files, then the process over real entries (the
// question, the other playlists left alone, a second run, Cancel between slices) and the
// playlist form's button.
#include "setup/housekeeping.h"
#include "core/procedures.h"
#include "playlisttest.h"
#include "songs/updateplaylistchart.h"
#include "support/windows/scriptedanswers.h"

#include <QRegularExpression>

using namespace songtest;

namespace {

TEST(ChartNotes, TheMarkerMovesToTheEndWithThisPlaceAndTheNotesKeepTheirText) {
    EXPECT_EQ(chartNotes("", 3), "LW:3");
    EXPECT_EQ(chartNotes("Chart LW:3", 4), "Chart LW:4");
    EXPECT_EQ(chartNotes("Chart LW:4", 4), "Chart LW:4");
    EXPECT_EQ(chartNotes("Hit LW:12 again", 7), "Hit  again LW:7");
    // A one-digit marker takes the blank after it along, as always.
    EXPECT_EQ(chartNotes("LW:3 xyz", 2), "xyz LW:2");
    // Three digits go whole, also when text follows; the text keeps its first character.
    EXPECT_EQ(chartNotes("Top LW:100", 101), "Top LW:101");
    EXPECT_EQ(chartNotes("Top LW:123 4U", 9), "Top  4U LW:9");
    EXPECT_EQ(chartNotes("LW:12x", 5), "x LW:5");
    // Only the first marker goes.
    EXPECT_EQ(chartNotes("LW:1 LW:2", 3), "LW:2 LW:3");
    // Cut to the notes' 40 characters: the end of the new marker is lost.
    const QString long38 = QString(38, 'n');
    EXPECT_EQ(chartNotes(long38, 12), long38 + " L");
    EXPECT_EQ(chartNotes(QString(34, 'n') + "  ", 5), QString(34, 'n') + " LW:5");
}

class ChartTest : public PlaylistTest {
protected:
    void note(qint64 seq, const QString &text, qint32 playlist = 1) {
        PLA.clear();
        PLA.PlaylistID = playlist;
        PLA.PlaylistSeq = seq;
        ASSERT_TRUE(PLA.get(PLA.KeyPlaylistID));
        PLA.PLAYLISTNOTES = text;
        ASSERT_TRUE(PLA.put());
    }
    static QStringList notes(qint32 playlist) {
        return rows(PLA, PLA.KeyPlaylistID, [playlist] {
                   return PLA.PlaylistID.value() == playlist ? QStringLiteral("%1=%2").arg(PLA.PlaylistSeq.value()).arg(PLA.PLAYLISTNOTES.str())
                                                             : QString();
               }).filter(QStringLiteral("="));
    }
    // The update of the playlist in the header buffer, answering its question; its response.
    qint32 update(qint32 playlist, int answer, std::vector<ShownMessage> *shown = nullptr) {
        qint32 response = -1;
        auto messages = runAnswering(
            [&] {
                PLD.clear();
                PLD.PlaylistID = playlist;
                UpdatePlaylistChart();
                response = GlobalResponse;
            },
            {answer});
        if (shown)
            *shown = messages;
        return response;
    }
};

TEST_F(ChartTest, EachEntryOfThePlaylistKeepsItsPlaceAndASecondRunChangesNothing) {
    roadTrip(4);
    addPlaylist(2, "Other");
    addEntry(2, 1, 5);
    note(4, "Chart LW:3");
    note(1, "keep", 2);

    std::vector<ShownMessage> shown;
    EXPECT_EQ(update(1, ButtonCancel, &shown), RequestCancelled);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Warning");
    EXPECT_EQ(shown[0].text, "This will copy the current chart standings into the notes field to be used as "
                             "\"last week's chart positions\".");
    EXPECT_EQ(notes(1), (QStringList{"1=", "2=", "3=", "4=Chart LW:3"}));

    EXPECT_EQ(update(1, ButtonOK), RequestCompleted);
    const QStringList once{"1=LW:1", "2=LW:2", "3=LW:3", "4=Chart LW:4"};
    EXPECT_EQ(notes(1), once);
    EXPECT_EQ(notes(2), QStringList{"1=keep"});
    EXPECT_EQ(update(1, ButtonOK), RequestCompleted);
    EXPECT_EQ(notes(1), once);
    EXPECT_EQ(FileUseCount(PLA), 1);

    // A playlist without entries: nothing to write, nothing done.
    addPlaylist(3, "Empty");
    EXPECT_EQ(update(3, ButtonOK), RequestCancelled);
    EXPECT_EQ(notes(2), QStringList{"1=keep"});
}

TEST_F(ChartTest, CancelBetweenSlicesKeepsTheEntriesHandled) {
    constexpr int kEntries = 2000;
    roadTrip(0);
    for (int i = 1; i <= kEntries; ++i)
        addEntry(1, i, 1 + i % 10);
    const Started c = startOnThread([] {
        PLD.clear();
        PLD.PlaylistID = 1;
        UpdatePlaylistChart();
    });
    ASSERT_TRUE(answerMessage(c->thread, ButtonOK));
    ASSERT_TRUE(runUntil([] { return lastProcessFigures().turns >= 3; }));
    EXPECT_EQ(window(c)->windowTitle(), "Processing Records");
    EXPECT_EQ(controlText(c->thread, "Status"), "100% Completed");
    ASSERT_FALSE(c->done);
    ASSERT_TRUE(pressButton(c->thread, "Cancel") && runUntil([&] { return c->done; }));
    EXPECT_EQ(c->response, RequestCancelled);

    const QStringList after = notes(1);
    const qsizetype handled = after.count() - after.filter(QRegularExpression("=$")).count();
    EXPECT_GE(handled, 3 * 25);
    EXPECT_LT(handled, kEntries);
    EXPECT_EQ(handled % 25, 0);
    for (qsizetype i = 0; i < handled; ++i)
        EXPECT_EQ(after[i], QStringLiteral("%1=LW:%1").arg(i + 1));
}

TEST_F(ChartTest, TheFormsChartButtonRunsTheUpdateOnceRegistered) {
    roadTrip(2);
    auto c = openPlaylist(ChangeRecord, 1);
    EXPECT_FALSE(findControl(window(*c), "Chart")->isEnabled());
    ASSERT_TRUE(press(*c, "Cancel"));
    registerProcedure("UpdatePlaylistChart", UpdatePlaylistChart);
    c = openPlaylist(ChangeRecord, 1);
    ASSERT_TRUE(press(*c, "Chart") && answer(*c, ButtonOK) && runUntil([&] { return messageText(c->thread).isEmpty(); }));
    EXPECT_TRUE(runUntilIdle());
    EXPECT_EQ(cell(1, 4), "LW:2");
    ASSERT_TRUE(press(*c, "Cancel"));
    registerProcedure("UpdatePlaylistChart", {});
    EXPECT_EQ(notes(1), (QStringList{"1=LW:1", "2=LW:2"}));
}

} // namespace
