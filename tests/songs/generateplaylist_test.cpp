// The playlist generator: the draws by weighting and their recency line without files, then the
// window on real files with a seeded source, whose draws the tests repeat to know each attempt.
#include "playlisttest.h"
#include "runtime/values/dates.h"
#include "songs/generateplaylist.h"
#include "support/windows/scriptedanswers.h"

#include <QRandomGenerator>

#include <map>

using namespace songtest;

namespace {

constexpr quint32 kSeed = 24;

class GeneratorTest : public PlaylistTest {
protected:
    void SetUp() override {
        PlaylistTest::SetUp();
        setPlaylistRandomSource(&random);
    }
    void TearDown() override {
        setPlaylistRandomSource(nullptr);
        PlaylistTest::TearDown();
    }

    // The window filled as given, then Ok; the messages it showed.
    std::vector<ShownMessage> generate(const QString &size, const QString &weighting = {},
                                       const QString &category = {}, const QString &from = {},
                                       const QString &to = {}) {
        auto c = callOnThread(GeneratePlaylist, 0);
        EXPECT_EQ(window(*c)->windowTitle(), "Generate Play List");
        EXPECT_TRUE(type(*c, "LOC:PlaylistSize", size));
        if (!from.isEmpty()) {
            EXPECT_TRUE(type(*c, "LOC:StartDate", from));
        }
        if (!to.isEmpty()) {
            EXPECT_TRUE(type(*c, "LOC:EndDate", to));
        }
        if (!category.isEmpty()) {
            EXPECT_TRUE(type(*c, "LOC:Category", category));
        }
        if (!weighting.isEmpty()) {
            EXPECT_TRUE(chooseOption(c->thread, "LOC:Weighting", weighting) && runUntilIdle());
        }
        std::vector<ShownMessage> shown;
        EXPECT_TRUE(pressButton(c->thread, "Ok"));
        while (runUntilIdle() && !c->done && !messageText(c->thread).isEmpty()) {
            shown.emplace_back();
            shown.back().caption = window(*c)->windowTitle();
            shown.back().text = messageText(c->thread);
            EXPECT_TRUE(answer(*c, ButtonOK));
        }
        EXPECT_TRUE(c->done);
        return shown;
    }
    // The songs of a playlist in sequence order.
    static QList<qint64> songsOf(qint32 playlist) {
        QList<qint64> out;
        for (const QString &e : entries(playlist))
            out << e.section(':', 1).toLongLong();
        return out;
    }
    // The songs `attempts` draws name without any rejected, from a source seeded as the test's.
    static QList<qint64> expectedDraws(qint64 n, Weighting w, int attempts, const QList<qint64> &songs) {
        QRandomGenerator g(kSeed);
        QList<qint64> out;
        for (int i = 0; i < attempts; ++i)
            if (const qint64 r = drawSongNumber(g, n, w))
                out << songs[r - 1];
        return out;
    }
    static void date(qint32 song, qint32 released, qint64 category = 0) {
        ASSERT_TRUE(loadSong(song));
        MUS.ReleaseDate = released;
        MUS.CategoryID = category;
        ASSERT_TRUE(MUS.put());
    }

    QRandomGenerator random{kSeed};
};

const QList<qint64> kTenSongs{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

TEST(PlaylistDraws, AdditionWeightingsMoveHalfTheDrawsIntoTheirHalfAndSingleSongsCanFail) {
    QRandomGenerator g(7);
    constexpr int kDraws = 40000;
    for (Weighting w : {Weighting::None, Weighting::RecentAddition, Weighting::OlderAddition}) {
        std::map<qint64, int> seen;
        for (int i = 0; i < kDraws; ++i)
            ++seen[drawSongNumber(g, 10, w)];
        EXPECT_EQ(seen.begin()->first, 1);
        EXPECT_EQ(seen.rbegin()->first, 10);
        // Each number's share, in tenths of a percent: 5% for all plus the weighted half's part.
        for (const auto &[r, count] : seen) {
            double expected = 0.1;
            if (w == Weighting::RecentAddition)
                expected = 0.05 + (r >= 5 ? 0.5 / 6 : 0);
            else if (w == Weighting::OlderAddition)
                expected = 0.05 + (r <= 5 ? 0.1 : 0);
            EXPECT_NEAR(double(count) / kDraws, expected, 0.006) << int(w) << " r=" << r;
        }
    }
    // Over one song the recent half runs from 0 (a quarter of the draws name none), the older
    // half is empty (half of them name none).
    std::map<qint64, int> recent, older;
    for (int i = 0; i < kDraws; ++i) {
        ++recent[drawSongNumber(g, 1, Weighting::RecentAddition)];
        ++older[drawSongNumber(g, 1, Weighting::OlderAddition)];
    }
    EXPECT_EQ(recent.size(), 2u);
    EXPECT_NEAR(double(recent[0]) / kDraws, 0.25, 0.01);
    EXPECT_NEAR(double(older[0]) / kDraws, 0.5, 0.01);
    EXPECT_EQ(drawSongNumber(g, 0, Weighting::None), 0);
}

TEST(PlaylistDraws, RecentIsTheLastNinetyDaysOrThisYear) {
    const qint32 day = dayNumber(2024, 6, 30);
    EXPECT_TRUE(recentRelease(day - 90, day));
    EXPECT_FALSE(recentRelease(day - 91, day));
    EXPECT_TRUE(recentRelease(day + 5, day));
    EXPECT_TRUE(recentRelease(2024, day));
    EXPECT_FALSE(recentRelease(2023, day));
    EXPECT_FALSE(recentRelease(0, day));
    EXPECT_EQ(weightingOf("Older Release"), Weighting::OlderRelease);
    EXPECT_EQ(weightingOf(""), Weighting::None);
}

TEST_F(GeneratorTest, SizeZeroWritesAHeaderPastATakenDescriptionAndTheDrawsFollowTheWeighting) {
    addPlaylist(7, "Play List #8");
    EXPECT_TRUE(generate("0").empty());
    EXPECT_EQ(playlists(), (QStringList{"7:Play List #8", "9:Play List #9"}));
    EXPECT_TRUE(entries(9).isEmpty());
    PLD.clear();
    PLD.PlaylistID = 9;
    ASSERT_TRUE(PLD.get(PLD.KeyPlaylistID));
    EXPECT_EQ(PLD.LASTEDITDATE.value(), today());

    // Nothing is turned away here, so each attempt adds the song it draws, duplicates too.
    qint32 playlist = 9;
    for (const char *w : {"Recent Addition", "Older Addition", "No Weighting"}) {
        random.seed(kSeed);
        EXPECT_TRUE(generate("99", w).empty());
        EXPECT_EQ(songsOf(++playlist), expectedDraws(10, weightingOf(w), 150, kTenSongs).mid(0, 99)) << w;
    }
    EXPECT_EQ(playlists().last(), "12:Play List #12");
    QStringList seqs = entries(12);
    EXPECT_EQ(seqs.size(), 99);
    EXPECT_TRUE(seqs.first().startsWith("1:") && seqs.last().startsWith("99:"));
}

TEST_F(GeneratorTest, DatesAndCategoryTurnSongsAwayAndTheAttemptsRunOut) {
    DateFormat = "d2";
    addCategory(1, "Pop");
    addCategory(2, "Jazz");
    const qint32 feb1996 = 71266;
    date(3, feb1996, 1);
    date(4, feb1996 + 400, 1);
    date(5, feb1996, 2);
    QList<qint64> twenty = kTenSongs;
    for (qint32 id = 11; id <= 20; ++id) {
        addSong(id, QStringLiteral("Song %1").arg(id));
        twenty << id;
    }
    // Only song 3 is of the dates and of "Pop": the 1,001 attempts add it each time they draw it.
    EXPECT_TRUE(generate("99", {}, "pop", "02/10/1996", "02/10/1996").empty());
    const QList<qint64> all = expectedDraws(20, Weighting::None, 1001, twenty);
    EXPECT_EQ(songsOf(1), QList<qint64>(all.count(3), 3));
    EXPECT_GT(all.count(3), 30);
    EXPECT_LT(all.count(3), 99);

    // From a start date on, songs dated 0 are never chosen.
    random.seed(kSeed);
    EXPECT_TRUE(generate("20", {}, {}, "01/01/1990").empty());
    for (qint64 song : songsOf(2))
        EXPECT_TRUE(song == 3 || song == 4 || song == 5) << song;

    // A category no song carries uses every attempt and leaves the header alone.
    EXPECT_TRUE(generate("99", {}, "Jazz", "01/01/1997").empty());
    EXPECT_EQ(playlists().last(), "3:Play List #3");
    EXPECT_TRUE(entries(3).isEmpty());
}

TEST_F(GeneratorTest, TheCategoryBoxTakesOnlyListedNamesAndAGoneCategoryMatchesNothing) {
    addCategory(1, "Pop");
    date(2, 0, 1);
    auto c = callOnThread(GeneratePlaylist, 0);
    ASSERT_TRUE(type(*c, "LOC:Category", "Rock"));
    EXPECT_EQ(focusedName(), "LOC:Category");
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(type(*c, "LOC:Category", "POP") && type(*c, "LOC:PlaylistSize", "5"));
    EXPECT_EQ(shown(*c, "LOC:Category"), "Pop");
    // The category goes while the window is open.
    CAT.clear();
    CAT.CategoryID = 1;
    ASSERT_TRUE(CAT.get(CAT.KeyCategoryID) && CAT.remove());
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_TRUE(c->done);
    EXPECT_EQ(playlists(), QStringList{"1:Play List #1"});
    EXPECT_TRUE(entries(1).isEmpty());
}

TEST_F(GeneratorTest, OnlyExistingSongsAreDrawnAndTheNewestAreReachable) {
    for (qint32 id = 1; id <= 5; ++id) {
        ASSERT_TRUE(loadSong(id));
        ASSERT_TRUE(MUS.remove());
    }
    for (qint32 id = 11; id <= 15; ++id)
        addSong(id, QStringLiteral("Song %1").arg(id));
    EXPECT_TRUE(generate("99", "Recent Addition").empty());
    const QList<qint64> left{6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const QList<qint64> drawn = songsOf(1);
    EXPECT_EQ(drawn, expectedDraws(10, Weighting::RecentAddition, 99, left));
    EXPECT_TRUE(drawn.contains(15));
    EXPECT_FALSE(drawn.contains(1));
}

TEST_F(GeneratorTest, AReleaseWeightingTurnsAwayHalfOfTheWrongSideButNeverUndatedSongs) {
    const qint32 now = today();
    for (qint32 id = 1; id <= 5; ++id)
        date(id, now - 10);   // recent
    for (qint32 id = 6; id <= 9; ++id)
        date(id, yearOf(now) - 5);   // old, as bare years
    // Song 10 is undated.
    EXPECT_TRUE(generate("99", "Older Release").empty());
    const QList<qint64> drawn = songsOf(1);
    ASSERT_EQ(drawn.size(), 99);
    const qsizetype recent = std::count_if(drawn.begin(), drawn.end(), [](qint64 s) { return s <= 5; });
    // Uniform would give about half; a recent song is kept only half of the time.
    EXPECT_LT(recent, 40);
    EXPECT_GT(recent, 10);
    EXPECT_TRUE(drawn.contains(10));
}

TEST_F(GeneratorTest, NoSongsAndFailedAddsAreReportedAndNoEntryIsLeftWithoutHeader) {
    entriesSql("CREATE TRIGGER fail2 BEFORE INSERT ON records WHEN NEW.\"PlaylistSeq\" = 2 "
               "BEGIN SELECT RAISE(ABORT, 'no room'); END");
    std::vector<ShownMessage> shown = generate("3");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_TRUE(shown[0].text.startsWith("There was an error (90 - ")) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.endsWith(") adding to the Play List Details file"));
    // The failed entry's number stays used and counts toward the size.
    QStringList seqs = entries(1);
    ASSERT_EQ(seqs.size(), 2);
    EXPECT_TRUE(seqs[0].startsWith("1:") && seqs[1].startsWith("3:"));

    // The header file refuses: nothing goes under a number without a header.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(PLD.name().toUtf8().constData(), &db), SQLITE_OK);
    data::registerCollation(db);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TRIGGER nohead BEFORE INSERT ON records BEGIN SELECT RAISE(ABORT, 'full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    shown = generate("3");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.endsWith(") adding to the Play List Master file"));
    EXPECT_TRUE(entries(2).isEmpty());
    EXPECT_EQ(playlists().size(), 1);

    for (qint32 id = 1; id <= 10; ++id) {
        ASSERT_TRUE(loadSong(id));
        ASSERT_TRUE(MUS.remove());
    }
    shown = generate("3");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].text, "There are no songs to select from");
}

} // namespace
