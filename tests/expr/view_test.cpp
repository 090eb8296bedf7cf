// Filters and orders on views of the real data files: the browse, report and wizard filters,
// the SQL and row-by-row paths against a plain scan, ordering, positioning and refusals.
#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/expr/exprview.h"
#include "songfixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace tbk;
using namespace tbk::data;
using namespace tbk::expr;

namespace {

class Views : public testing::Test {
protected:
    void SetUp() override {
        for (DataFile *f : {static_cast<DataFile *>(&CF), static_cast<DataFile *>(&MUS),
                            static_cast<DataFile *>(&CAT), static_cast<DataFile *>(&PLA),
                            static_cast<DataFile *>(&PLD), static_cast<DataFile *>(&AW)}) {
            ASSERT_TRUE(f->create()) << f->label().toStdString() << " " << errorCode();
            ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << errorCode();
        }
        const struct {
            int id;
            const char *artist, *title, *media, *fileNumber;
            int bpm, category;
            const char *notes;
        } songs[] = {
            {1, "ABBA", "Waterloo", "CD", "120", 147, 1, ""},
            {2, "abba", "Dancing Queen", "cd", "12a", 100, 1, "live"},
            {3, "Björk", "Army of Me", "Vinyl", "", 121, 2, ""},
            {4, "björk", "Hyperballad", "CASSETTE", "007", 0, 2, "O'Neill's notes"},
            {5, "O'Connor", "Nothing Compares", "CD", "7", 120, 3, ""},
            {6, "Zz Top", "La Grange", "MiniDisc", "x1", 125, 0, "straße"},
            {7, "_Under", "Score", "CD", "1e2", 99, 3, ""},
            {8, "", "Untitled", "", "", 0, 0, ""},
            {9, "Ævum", "Omega", "Vinyl", "-5", 200, 4, "日本語"},
            {10, "ABBA", "SOS", "DAT", "120.0", 121, 1, ""},
        };
        for (const auto &s : songs) {
            MUS.clear();
            MUS.ID = s.id;
            MUS.Artist = s.artist;
            MUS.Title = s.title;
            MUS.Media = s.media;
            MUS.FileNumber = s.fileNumber;
            MUS.BeatsPerMinute = s.bpm;
            MUS.CategoryID = s.category;
            MUS.Notes = s.notes;
            ASSERT_TRUE(MUS.add()) << errorCode();
        }
        for (auto [id, name] : {std::pair{1, "Pop"}, {2, "Electronic"}, {3, "Ballad"}, {4, "Pop Rock"}}) {
            CAT.clear();
            CAT.CategoryID = id;
            CAT.Category = name;
            ASSERT_TRUE(CAT.add());
        }
        window.bindText("BRW1::Sort3:Reset:MED:Media", &media);
        window.bindNumber("BRW1::Sort4:Reset:CAT:CategoryID", &category);
    }
    void TearDown() override {
        for (DataFile *f : DataFile::all())
            f->close();
    }

    // Song ids the view gives, forward or backward.
    static std::vector<int> ids(ExprView &v, bool forward = true) {
        std::vector<int> out;
        v.set();
        while (forward ? v.next() : v.previous())
            out.push_back(MUS.ID.value());
        EXPECT_EQ(errorCode(), RecordNotAvailable) << errorText().toStdString() << driverErrorText().toStdString();
        return out;
    }

    // The same filter evaluated over every song in key order, without SQL.
    std::vector<int> scanned(const QString &filter, const Key &key) {
        return test::scannedSongs(filter, key, window);
    }

    QString media = "cd";
    qint32 category = 1;
    VariableScope window;
};

TEST_F(Views, BrowseSortFiltersWithResetFields) {
    ExprView v(MUS, &MUS.SongsByArtist);
    v.setNames(&window);
    ASSERT_TRUE(v.setFilter("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)"));
    ASSERT_TRUE(v.open());
    // Key order: case-blind artist ("_" before letters), then title.
    EXPECT_EQ(ids(v), (std::vector<int>{7, 2, 1, 5}));
    EXPECT_EQ(v.filterPath(), ExprView::Path::Sql);
    media = "VINYL";
    EXPECT_EQ(ids(v, false), (std::vector<int>{9, 3}));

    ASSERT_TRUE(v.setFilter("(MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID) AND "
                            "(INSTRING('QUEEN', UPPER(MUS:Title), 1, 1))"));
    EXPECT_EQ(ids(v), (std::vector<int>{2}));
    category = 2;
    ASSERT_TRUE(v.setFilter("MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID"));
    EXPECT_EQ(ids(v), (std::vector<int>{3, 4}));
}

FileStructure &extraStructure() {
    static FileStructure s = [] {
        FileStructure st(QStringLiteral("extra"), 1);
        st.text(QStringLiteral("Name"), 20);
        st.finish();
        return st;
    }();
    return s;
}
DataFile Extra(QStringLiteral("Extra"), QStringLiteral("EXT"), extraStructure());

TEST_F(Views, OrderedViewReadsOnAfterTheConnectionLetGoOfItsFile) {
    // More files open than the connection attaches: the song file, least recently used, goes.
    for (DataFile *f : {static_cast<DataFile *>(&ALB), static_cast<DataFile *>(&MED),
                        static_cast<DataFile *>(&LAB), static_cast<DataFile *>(&FON),
                        static_cast<DataFile *>(&TIP), &Extra}) {
        ASSERT_TRUE(f->create()) << f->label().toStdString() << " " << errorCode();
        ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << errorCode();
    }
    ExprView v(MUS, &MUS.SongsByArtist);
    ASSERT_TRUE(v.setFilter("MUS:BeatsPerMinute > 120"));
    ASSERT_TRUE(v.setOrder("UPPER(MUS:Title)"));
    ASSERT_TRUE(v.open());
    const std::vector<int> expected{3, 6, 9, 10, 1};
    EXPECT_EQ(ids(v), expected);
    for (DataFile *f : DataFile::all())
        if (f != &MUS && f->isOpen()) {
            EXPECT_GE(f->records(), 0) << f->label().toStdString();
        }
    sqlite3_stmt *st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(driver::db(), "SELECT count(*) FROM pragma_database_list WHERE name=?", -1, &st, nullptr), SQLITE_OK);
    const QByteArray alias = MUS.schemaName().toUtf8();
    sqlite3_bind_text(st, 1, alias.constData(), -1, SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(st, 0), 0);
    sqlite3_finalize(st);
    // Read again: attached again under its own name, its commits counted afresh.
    EXPECT_EQ(ids(v), expected);
    v.close();
    ASSERT_TRUE(v.open());
    EXPECT_EQ(ids(v, false), (std::vector<int>{1, 10, 9, 6, 3}));
}

TEST_F(Views, PlaylistEntriesOfTheHeaderInTheBuffer) {
    for (auto [list, seq, song] : {std::tuple{1, 1, 5}, {2, 2, 1}, {2, 1, 3}, {1, 2, 7}, {3, 1, 2}}) {
        PLA.clear();
        PLA.PlaylistID = list;
        PLA.PlaylistSeq = seq;
        PLA.ID = song;
        ASSERT_TRUE(PLA.add());
    }
    ExprView v(PLA, &PLA.KeyPlaylistID);
    ASSERT_TRUE(v.setFilter("PLA:PlaylistID = PLD:PlaylistID"));
    ASSERT_TRUE(v.open());
    auto songs = [&] {
        std::vector<int> out;
        v.set();
        while (v.next())
            out.push_back(int(PLA.ID.value()));
        return out;
    };
    PLD.PlaylistID = 2;
    EXPECT_EQ(songs(), (std::vector<int>{3, 1}));
    PLD.PlaylistID = 1;
    EXPECT_EQ(songs(), (std::vector<int>{5, 7}));
    PLD.PlaylistID = 9;
    EXPECT_TRUE(songs().empty());
}

TEST_F(Views, WizardRowsOfEachThreadInstance) {
    for (auto [instance, track] : {std::pair{1, 1}, {2, 1}, {1, 2}, {2, 2}, {2, 3}}) {
        AW.clear();
        AW.Instance = instance;
        AW.Side = 1;
        AW.Track = track;
        ASSERT_TRUE(AW.add());
    }
    VariableScope wizard1, wizard2;
    qint32 one = 1, two = 2;
    wizard1.bindNumber("ThreadInstance", &one);
    wizard2.bindNumber("ThreadInstance", &two);
    ExprView v1(AW, &AW.KeyInstance), v2(AW, &AW.KeyInstance);
    v1.setNames(&wizard1);
    v2.setNames(&wizard2);
    ASSERT_TRUE(v1.setFilter("(AW:Instance=ThreadInstance)"));
    ASSERT_TRUE(v2.setFilter("(AW:Instance=ThreadInstance)"));
    ASSERT_TRUE(v1.open());
    ASSERT_TRUE(v2.open());
    auto count = [](ExprView &v) {
        int n = 0;
        v.set();
        while (v.next()) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(v1), 2);
    EXPECT_EQ(count(v2), 3);
}

// Filters run through the view (SQL, or partly SQL) give the rows of a plain scan.
class ViewFilters : public Views, public testing::WithParamInterface<const char *> {};

TEST_P(ViewFilters, MatchAPlainScan) {
    const QString filter = QString::fromUtf8(GetParam());
    for (const Key *key : {&MUS.SongsByArtist, &MUS.KEYBEATSPERMINUTE}) {
        ExprView v(MUS, key);
        v.setNames(&window);
        ASSERT_TRUE(v.setFilter(filter)) << describe(*v.error()).toStdString();
        ASSERT_TRUE(v.open());
        EXPECT_EQ(ids(v), scanned(filter, *key)) << GetParam() << " by " << key->name().toStdString();
        EXPECT_EQ(v.filterPath(), ExprView::Path::Sql) << GetParam();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ViewFilters, testing::Values(
    "UPPER(MUS:Artist) = 'ABBA' AND MUS:BeatsPerMinute > 120", "MUS:Artist = 'abba'",
    "MUS:FileNumber = 120", "MUS:FileNumber < 10", "MUS:BeatsPerMinute = '120'",
    "MUS:Notes", "NOT MUS:Notes", "UPPER(MUS:Notes) = 'STRASSE'", "LOWER(MUS:Artist) = 'björk'",
    "MUS:Artist = 'O''Connor' OR MUS:Title > 'S'", "SUB(MUS:Title, 1, 4) = 'Army '",
    "MUS:Media ~= 'CD' AND MUS:BeatsPerMinute / 2 > 50",
    "MUS:Artist & MUS:Title = 'ABBASOS'", "LEN(MUS:Notes) > 4",
    "UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)",
    "MUS:Artist = '''); DROP TABLE records; --'",
    // The forms the query wizard gives: begins with, contains, checked, absolute values.
    "SUB(UPPER(MUS:Artist), 1, 4) = 'ABBA'", "NOT (SUB(UPPER(MUS:Title), 1, 1) = 'S')",
    "INSTRING('O', UPPER(MUS:Title), 1, 1) = 0", "MUS:Skips <> 0 OR MUS:Live = 0",
    "ABS(MUS:BeatsPerMinute - 120) <= 1 AND NOT MUS:DoNotPlay"));

TEST_F(Views, ReportFiltersOnAnotherFilesBuffer) {
    ExprView v(MUS, &MUS.SONGSBYCATEGORY);
    ASSERT_TRUE(v.setFilter("MUS:CategoryID = CAT:CategoryID"));
    ASSERT_TRUE(v.open());
    CAT.CategoryID = 3;
    EXPECT_EQ(ids(v), (std::vector<int>{7, 5}));   // by artist within the category
    EXPECT_EQ(v.filterPath(), ExprView::Path::Sql);

    // The album track list's reset field, a LONG bound under its browse's name.
    qint32 album = 0;
    window.bindNumber("BRW2::Sort1:Reset:ALB:AlbumID", &album);
    ExprView tracks(MUS, &MUS.KeyAlbumID);
    tracks.setNames(&window);
    ASSERT_TRUE(tracks.setFilter("MUS:AlbumID = BRW2::Sort1:Reset:ALB:AlbumID"));
    ASSERT_TRUE(tracks.open());
    EXPECT_TRUE(ids(tracks).empty());   // no song is on an album: the key leaves them all out
}

TEST_F(Views, JoinedFieldsAreCheckedRowByRow) {
    ExprView v(MUS, &MUS.SongsByArtist);
    v.setJoin({&CAT}, [] {
        CAT.clear();
        CAT.CategoryID = MUS.CategoryID.value();
        if (!CAT.get(CAT.KeyCategoryID))
            CAT.clear();
    });
    ASSERT_TRUE(v.setFilter("CAT:Category = 'Pop' AND MUS:BeatsPerMinute > 100"));
    ASSERT_TRUE(v.open());
    EXPECT_EQ(ids(v), (std::vector<int>{10, 1}));
    EXPECT_EQ(v.filterPath(), ExprView::Path::Mixed);
    ASSERT_TRUE(v.setFilter("UPPER(CAT:Category) = 'POP'"));
    EXPECT_EQ(ids(v), (std::vector<int>{2, 10, 1}));
    EXPECT_EQ(v.filterPath(), ExprView::Path::Rows);
}

TEST_F(Views, FilterChangedWhileReadingGoesOnUnderTheNewFilter) {
    ExprView v(MUS, &MUS.SongsByArtist);
    v.setJoin({&CAT}, [] {
        CAT.clear();
        CAT.CategoryID = MUS.CategoryID.value();
        CAT.get(CAT.KeyCategoryID);
    });
    ASSERT_TRUE(v.setFilter("CAT:Category = 'Pop'"));
    ASSERT_TRUE(v.open());
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 2);
    ASSERT_TRUE(v.setFilter("CAT:Category = 'Electronic'"));
    std::vector<int> rest;
    while (v.next())
        rest.push_back(MUS.ID.value());
    EXPECT_EQ(rest, (std::vector<int>{3, 4}));

    ASSERT_TRUE(v.setOrder("-MUS:ID"));
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 4);
}

TEST_F(Views, OrderTextInSqlAndInMemoryAgree) {
    ExprView sqlOrdered(MUS, &MUS.SongsByArtist);
    ASSERT_TRUE(sqlOrdered.setOrder("UPPER(MUS:Artist), -MUS:BeatsPerMinute"));
    ASSERT_TRUE(sqlOrdered.open());
    const std::vector<int> expected{8, 7, 1, 10, 2, 3, 4, 5, 6, 9};
    EXPECT_EQ(ids(sqlOrdered), expected);
    EXPECT_EQ(ids(sqlOrdered, false), std::vector<int>(expected.rbegin(), expected.rend()));

    // A joined field in the filter leaves part of it to the rows: the order is made in memory.
    ExprView rowOrdered(MUS, &MUS.SongsByArtist);
    rowOrdered.setJoin({&CAT}, [] {
        CAT.clear();
        CAT.CategoryID = MUS.CategoryID.value();
        CAT.get(CAT.KeyCategoryID);
    });
    ASSERT_TRUE(rowOrdered.setFilter("CAT:Category <> 'nothing'"));
    ASSERT_TRUE(rowOrdered.setOrder("UPPER(MUS:Artist), -MUS:BeatsPerMinute"));
    ASSERT_TRUE(rowOrdered.open());
    EXPECT_EQ(ids(rowOrdered), expected);

    // Ties (equal artists) come in order of addition on both paths.
    ASSERT_TRUE(sqlOrdered.setOrder("UPPER(MUS:Artist)"));
    ASSERT_TRUE(rowOrdered.setOrder("UPPER(MUS:Artist)"));
    EXPECT_EQ(ids(sqlOrdered), (std::vector<int>{8, 7, 1, 2, 10, 3, 4, 5, 6, 9}));
    EXPECT_EQ(ids(rowOrdered), ids(sqlOrdered));

    // With the query filter as well, and the key's blanks excluded.
    ExprView filtered(MUS, &MUS.SONGSBYCATEGORY);
    ASSERT_TRUE(filtered.setFilter("MUS:BeatsPerMinute >= 100"));
    ASSERT_TRUE(filtered.setOrder("-UPPER(MUS:Title)"));
    ASSERT_TRUE(filtered.open());
    EXPECT_EQ(ids(filtered), (std::vector<int>{1, 10, 9, 5, 6, 2, 3}));
}

TEST_F(Views, OrderedViewPositionsAtABufferValueOrARecord) {
    ExprView v(MUS, &MUS.SongsByArtist);
    ASSERT_TRUE(v.setOrder("UPPER(MUS:Artist)"));
    ASSERT_TRUE(v.open());
    MUS.clear();
    MUS.Artist = "B";
    v.setFromBuffer();
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.Artist.str(), "Björk");
    MUS.clear();
    MUS.Artist = "B";
    v.setFromBuffer();
    // Equal artists come in order of addition: song 10 is the last ABBA.
    ASSERT_TRUE(v.previous());
    EXPECT_EQ(MUS.ID.value(), 10);

    MUS.clear();
    MUS.ID = 5;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    const Position p = MUS.position();
    v.setAt(p);
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 5);
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 6);

    // A row deleted after the list was made is passed over; the end leaves the buffer alone.
    v.setAt(p);
    ASSERT_TRUE(v.next());
    MUS.clear();
    MUS.ID = 6;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    ASSERT_TRUE(MUS.remove());
    MUS.ID = 5;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 9);
    EXPECT_FALSE(v.next());
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    EXPECT_EQ(MUS.ID.value(), 9);
}

TEST_F(Views, AnOrderedListServesUntilTheFileIsWritten) {
    ExprView v(MUS, &MUS.SongsByArtist);
    ASSERT_TRUE(v.setOrder("-MUS:ID"));
    ASSERT_TRUE(v.open());
    EXPECT_EQ(ids(v).front(), 10);
    MUS.clear();
    MUS.ID = 11;
    MUS.Artist = "Zed";
    ASSERT_TRUE(MUS.add());
    EXPECT_EQ(ids(v).front(), 11) << "a song added since shows";
    MUS.clear();
    MUS.ID = 11;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    ASSERT_TRUE(MUS.remove());
    EXPECT_EQ(ids(v).front(), 10);

    // Another program's commit: song 1 becomes song 99 and leads the list.
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(MUS.fullPath().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_busy_timeout(other, 2000);
    EXPECT_EQ(sqlite3_exec(other, "UPDATE records SET \"ID\" = 99 WHERE \"ID\" = 1", nullptr, nullptr, nullptr),
              SQLITE_OK) << sqlite3_errmsg(other);
    sqlite3_close(other);
    EXPECT_EQ(ids(v).front(), 99);
}

TEST_F(Views, BadFiltersAreRefusedAndReported) {
    ExprView v(MUS, &MUS.SongsByArtist);
    const struct {
        const char *text;
        const char *message;
    } bad[] = {
        {"MUS:Artist = ", "ends too early"},
        {"(MUS:Artist = 'x'", "closing parenthesis is missing"},
        {"MUS:Nothing = 1", "Unknown name MUS:Nothing"},
        {"BRW1::Sort3:Reset:MED:Media = 'CD'", "Unknown name"},
    };
    for (const auto &b : bad) {
        EXPECT_FALSE(v.setFilter(b.text)) << b.text;
        ASSERT_TRUE(v.error());
        EXPECT_TRUE(v.error()->message.contains(b.message)) << v.error()->message.toStdString();
        EXPECT_FALSE(v.open()) << b.text;
        EXPECT_EQ(errorCode(), DriverError);
        EXPECT_TRUE(driverErrorText().contains(b.message)) << driverErrorText().toStdString();
    }
    // A bad filter set on an open view stops it reading rather than showing every row.
    ASSERT_TRUE(v.setFilter("MUS:ID = 1"));
    ASSERT_TRUE(v.open());
    EXPECT_FALSE(v.setFilter("MUS:ID = "));
    EXPECT_FALSE(v.next());
    EXPECT_EQ(errorCode(), DriverError);
    v.set();
    EXPECT_FALSE(v.previous());
    EXPECT_EQ(errorCode(), DriverError);

    EXPECT_FALSE(v.setOrder("UPPER(MUS:Artist"));
    ASSERT_TRUE(v.setFilter(""));
    EXPECT_FALSE(v.open());
    ASSERT_TRUE(v.setOrder("-MUS:ID"));
    ASSERT_TRUE(v.open());
    EXPECT_EQ(ids(v).size(), 10u);
    EXPECT_EQ(MUS.records(), 10);
}

} // namespace
