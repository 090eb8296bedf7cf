// Pages of a filtered, keyed view on a real songs file: moving across page edges (ties of
// equal keys too), ends, locating, keeping a record in view, the thumb, errors, driver hints.
#include "core/datafiles.h"
#include "runtime/data/transaction.h"
#include "runtime/expr/pagereader.h"
#include "runtime/values/text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <thread>

using namespace tbk;
using namespace tbk::data;
using namespace tbk::expr;

namespace {

class Pages : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CF.create() && CF.open()) << errorCode();
        ASSERT_TRUE(MUS.create() && MUS.open()) << errorCode();
        // Songs 1..23 by "Artist 01".."Artist 23", in that order of the artist key, but 10-12
        // whose key values are all equal (the key ignores case): they come in order of addition.
        for (int i = 1; i <= 23; ++i) {
            const int n = i >= 10 && i <= 12 ? 10 : i;
            QString artist = QStringLiteral("Artist %1").arg(n, 2, 10, QLatin1Char('0'));
            if (i == 11)
                artist = artist.toUpper();
            add(i, artist, 60 + 5 * i, 1 + i % 2);
        }
    }
    void TearDown() override {
        for (DataFile *f : DataFile::all())
            f->close();
    }
    static void add(int id, const QString &artist, int bpm = 0, int category = 0) {
        MUS.clear();
        MUS.ID = id;
        MUS.Artist = artist;
        MUS.Title = "T";
        MUS.BeatsPerMinute = bpm;
        MUS.CategoryID = category;
        ASSERT_TRUE(MUS.add()) << errorCode();
    }
    static Position positionOf(int id) {
        MUS.clear();
        MUS.ID = id;
        EXPECT_TRUE(MUS.get(MUS.KEYID));
        return MUS.position();
    }
    static std::vector<int> ids(const PageReader &r) {
        std::vector<int> out;
        for (const PageReader::Row &row : r.rows())
            out.push_back(row.values.at(0).toInt());
        return out;
    }
    static std::vector<int> range(int from, int to) {
        std::vector<int> out;
        for (int i = from; i <= to; ++i)
            out.push_back(i);
        return out;
    }

    ExprView view{MUS, &MUS.SongsByArtist};
    std::vector<QString> hints;   // the driver's QUICKSCAN state as each row was read
    PageReader reader{view, 5, [this](PageReader::Row &row) {
        row.values = {MUS.ID.value(), MUS.Artist.str()};
        hints.push_back(MUS.send("QUICKSCAN"));
    }};
};

TEST_F(Pages, MoveAcrossPageEdgesAndStopAtTheEnds) {
    ASSERT_TRUE(view.open());
    ASSERT_TRUE(reader.top());
    EXPECT_EQ(ids(reader), range(1, 5));
    EXPECT_EQ(reader.focus(), 0);
    ASSERT_TRUE(reader.scrollDown());
    EXPECT_EQ(ids(reader), range(2, 6));
    EXPECT_EQ(reader.moved(), 1);
    ASSERT_TRUE(reader.pageDown());
    EXPECT_EQ(ids(reader), range(7, 11));
    // The edge falls among equal keys: the page goes on after song 11, not at the first equal.
    ASSERT_TRUE(reader.pageDown());
    EXPECT_EQ(ids(reader), range(12, 16));
    ASSERT_TRUE(reader.pageUp());
    EXPECT_EQ(ids(reader), range(7, 11));
    ASSERT_TRUE(reader.scrollUp(3));
    EXPECT_EQ(ids(reader), range(4, 8));
    ASSERT_TRUE(reader.pageUp());
    EXPECT_EQ(ids(reader), range(1, 5));
    EXPECT_EQ(reader.moved(), 3);
    ASSERT_TRUE(reader.scrollUp());
    EXPECT_EQ(reader.moved(), 0);

    // The last page comes in key order, read backward from the end.
    ASSERT_TRUE(reader.bottom());
    EXPECT_EQ(ids(reader), range(19, 23));
    EXPECT_EQ(reader.focus(), 4);
    ASSERT_TRUE(reader.pageDown());
    EXPECT_EQ(reader.moved(), 0);
    EXPECT_EQ(ids(reader), range(19, 23));

    // The record at an edge deleted: reading goes on from where it was, not from the top.
    ASSERT_TRUE(reader.keep(positionOf(11), 4));
    EXPECT_EQ(ids(reader), range(7, 11));
    ASSERT_TRUE(MUS.get(positionOf(11)) && MUS.remove());
    ASSERT_TRUE(reader.scrollDown());
    EXPECT_EQ(ids(reader), (std::vector<int>{8, 9, 10, 11, 12}));
    ASSERT_TRUE(MUS.get(positionOf(8)) && MUS.remove());
    ASSERT_TRUE(reader.scrollUp(2));
    EXPECT_EQ(ids(reader), (std::vector<int>{6, 7, 8, 9, 10}));
}

TEST_F(Pages, LocateAtOrAfterTheValueInTheBuffer) {
    ASSERT_TRUE(view.open());
    MUS.clear();
    MUS.Artist = "artist 15";
    ASSERT_TRUE(reader.locate());
    EXPECT_EQ(ids(reader), range(15, 19));
    EXPECT_EQ(reader.focus(), 0);
    // Near the end the page is completed with the rows before the located one.
    MUS.clear();
    MUS.Artist = "Artist 21x";
    ASSERT_TRUE(reader.locate());
    EXPECT_EQ(ids(reader), range(19, 23));
    EXPECT_EQ(reader.focus(), 3);
    MUS.clear();
    MUS.Artist = "Z";
    ASSERT_TRUE(reader.locate());
    EXPECT_EQ(ids(reader), range(19, 23));
    EXPECT_EQ(reader.focus(), 4);
}

TEST_F(Pages, KeepARecordInViewByItsPosition) {
    ASSERT_TRUE(view.open());
    const Position p = positionOf(15);
    ASSERT_TRUE(reader.keep(p, 2));
    EXPECT_EQ(ids(reader), range(13, 17));
    EXPECT_EQ(reader.focus(), 2);
    ASSERT_TRUE(reader.keep(positionOf(2), 3));   // as near the line as the top allows
    EXPECT_EQ(ids(reader), range(1, 5));
    EXPECT_EQ(reader.focus(), 1);

    // Moved by an edit: the page follows it.
    ASSERT_TRUE(reader.keep(p, 2));
    ASSERT_TRUE(MUS.get(p));
    MUS.Artist = "Artist 20x";
    ASSERT_TRUE(MUS.put());
    ASSERT_TRUE(reader.keep(p, 2));
    EXPECT_EQ(ids(reader), (std::vector<int>{19, 20, 15, 21, 22}));
    EXPECT_EQ(reader.focus(), 2);

    // Deleted: the page stays where it was; the record after it stands on its line.
    ASSERT_TRUE(MUS.get(p) && MUS.remove());
    ASSERT_TRUE(reader.keep(p, 2));
    EXPECT_EQ(ids(reader), range(19, 23));
    EXPECT_EQ(reader.rowOf(p), -1);
    EXPECT_EQ(reader.focus(), 2);
    EXPECT_EQ(reader.rows()[2].values[0].toInt(), 21);

    // Filtered out and not on the page: there is no place to keep, the page starts at the top.
    ASSERT_TRUE(view.setFilter("MUS:ID <> 21"));
    ASSERT_TRUE(reader.bottom());
    ASSERT_TRUE(reader.keep(positionOf(3), 0));
    ASSERT_TRUE(reader.keep(positionOf(21), 1));
    EXPECT_EQ(ids(reader), range(1, 5));
    EXPECT_EQ(reader.focus(), 0);
}

TEST_F(Pages, ThumbStopsOnATextKey) {
    ASSERT_TRUE(view.open());
    reader.setThumbScale({0, 50, StopLetters | StopDigits});
    ASSERT_TRUE(reader.updateThumb());
    const std::vector<QVariant> stops = reader.thumbStops();
    ASSERT_EQ(stops.size(), 100u);
    EXPECT_EQ(stops.front().toString(), "Artist 01");
    EXPECT_TRUE(stops.back().toString().startsWith("Artist 23"));
    for (size_t i = 1; i < stops.size(); ++i)
        EXPECT_LE(compareText(stops[i - 1].toString(), stops[i].toString(), Qt::CaseInsensitive), 0) << i;

    for (int p : {2, 50, 99}) {
        ASSERT_TRUE(reader.fromThumb(p));
        ASSERT_GE(reader.focus(), 0);
        const QString stop = stops[size_t(p - 1)].toString();
        const auto &rows = reader.rows();
        EXPECT_GE(compareText(rows[size_t(reader.focus())].values[1].toString(), stop, Qt::CaseInsensitive), 0) << p;
        if (reader.focus() > 0) {
            EXPECT_LT(compareText(rows[size_t(reader.focus()) - 1].values[1].toString(), stop, Qt::CaseInsensitive), 0) << p;
        }
    }
    ASSERT_TRUE(reader.fromThumb(1));
    EXPECT_EQ(ids(reader), range(1, 5));
    EXPECT_EQ(reader.thumbPosition(reader.rows().front()), 1);
    ASSERT_TRUE(reader.fromThumb(100));
    EXPECT_EQ(ids(reader), range(19, 23));
    EXPECT_EQ(reader.thumbPosition(reader.rows().back()), 100);

    // Kept until asked, or until the filter changes.
    add(30, "Aardvark");
    ASSERT_TRUE(reader.updateThumb());
    EXPECT_EQ(reader.thumbStops().front().toString(), "Artist 01");
    reader.invalidateThumb();
    ASSERT_TRUE(reader.updateThumb());
    EXPECT_EQ(reader.thumbStops().front().toString(), "AARDV");   // the common "A", four more
    ASSERT_TRUE(view.setFilter("MUS:ID >= 5 AND MUS:ID <= 23"));
    ASSERT_TRUE(reader.updateThumb());
    EXPECT_EQ(reader.thumbStops().front().toString(), "Artist 05");
}

TEST_F(Pages, ThumbStopsOnNumbersAndOnAFieldAfterAFilteredOne) {
    ExprView byBpm(MUS, &MUS.KEYBEATSPERMINUTE);
    ASSERT_TRUE(byBpm.open());
    PageReader r(byBpm, 4, [](PageReader::Row &row) { row.values = {MUS.ID.value()}; });
    ASSERT_TRUE(r.updateThumb());
    ASSERT_EQ(r.thumbStops().size(), 100u);
    EXPECT_DOUBLE_EQ(r.thumbStops()[0].toDouble(), 65);
    EXPECT_DOUBLE_EQ(r.thumbStops()[49].toDouble(), 65 + 110.0 * 49 / 99);
    EXPECT_DOUBLE_EQ(r.thumbStops()[99].toDouble(), 175);
    ASSERT_TRUE(r.fromThumb(50));   // stop 119.4: the first song of 120 beats, song 12
    EXPECT_EQ(r.rows()[size_t(r.focus())].values[0].toInt(), 12);
    Cell bpm;
    bpm.n = 120;
    EXPECT_EQ(r.thumbPosition(bpm), 51);
    bpm.n = 65;
    EXPECT_EQ(r.thumbPosition(bpm), 1);
    bpm.n = 500;
    EXPECT_EQ(r.thumbPosition(bpm), 100);

    // By category, one category shown: the stops run over the artist, the category is kept.
    ExprView byCategory(MUS, &MUS.SONGSBYCATEGORY);
    ASSERT_TRUE(byCategory.setFilter("MUS:CategoryID = 1"));
    ASSERT_TRUE(byCategory.open());
    PageReader c(byCategory, 3, [](PageReader::Row &row) { row.values = {MUS.ID.value(), MUS.Artist.str()}; });
    c.setThumbScale({1, 50, StopLetters | StopDigits});
    ASSERT_TRUE(c.updateThumb());
    EXPECT_EQ(c.thumbStops().front().toString(), "Artist 02");
    ASSERT_TRUE(c.fromThumb(50));
    const QString stop = c.thumbStops()[49].toString();
    ASSERT_GE(c.focus(), 0);
    EXPECT_GE(compareText(c.rows()[size_t(c.focus())].values[1].toString(), stop, Qt::CaseInsensitive), 0);

    // An order text has no stops: only the ends move the page.
    ASSERT_TRUE(byBpm.setOrder("-MUS:ID"));
    ASSERT_TRUE(r.top());
    ASSERT_TRUE(r.fromThumb(50));
    EXPECT_TRUE(r.thumbStops().empty());
    EXPECT_EQ(r.rows().front().values[0].toInt(), 23);
    ASSERT_TRUE(r.fromThumb(100));
    EXPECT_EQ(r.rows().back().values[0].toInt(), 1);
}

TEST_F(Pages, FiltersThatLeaveNoneOneOrLessThanAPage) {
    ASSERT_TRUE(view.open());
    const struct {
        const char *filter;
        std::vector<int> rows;
    } cases[] = {{"MUS:ID = 0", {}}, {"MUS:ID = 9", {9}}, {"MUS:ID >= 20", range(20, 23)}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.filter);
        ASSERT_TRUE(view.setFilter(c.filter));
        const int last = int(c.rows.size()) - 1;
        ASSERT_TRUE(reader.top());
        EXPECT_EQ(ids(reader), c.rows);
        EXPECT_EQ(reader.focus(), c.rows.empty() ? -1 : 0);
        ASSERT_TRUE(reader.pageDown());
        ASSERT_TRUE(reader.scrollUp());
        EXPECT_EQ(reader.moved(), 0);
        EXPECT_EQ(ids(reader), c.rows);
        ASSERT_TRUE(reader.bottom());
        EXPECT_EQ(ids(reader), c.rows);
        EXPECT_EQ(reader.focus(), last);
        MUS.clear();
        MUS.Artist = "Z";
        ASSERT_TRUE(reader.locate());
        EXPECT_EQ(ids(reader), c.rows);
        EXPECT_EQ(reader.focus(), last);
        ASSERT_TRUE(reader.fromThumb(50));
        EXPECT_EQ(ids(reader), c.rows);
        EXPECT_EQ(reader.thumbStops().empty(), c.rows.empty());
    }
}

// A list's view under a filter SQLite answers wholly stops walking and reads the records that
// pass from a list made in stored order: the pages are the walk's, both ways, while songs are
// added and deleted between pages.
TEST_F(Pages, SparseFilterGivesTheWalksPages) {
    MUS.stream();
    for (int i = 24; i <= 400; ++i)
        add(i, QStringLiteral("Artist %1").arg(i % 40, 2, 10, QLatin1Char('0')), i % 9 == 0 ? 120 : 100);
    MUS.flush();
    const qint64 limit = ExprView::walkLimit;
    ExprView::walkLimit = 0;   // every walk stops at its first check
    ExprView sparse{MUS, &MUS.SongsByArtist};
    sparse.setKeepsMatches(true);
    PageReader pages{sparse, 5, [](PageReader::Row &row) { row.values = {MUS.ID.value()}; }};
    ASSERT_TRUE(sparse.setFilter("MUS:BeatsPerMinute = 1"));
    ASSERT_TRUE(sparse.open() && pages.top());
    EXPECT_TRUE(pages.rows().empty());
    EXPECT_TRUE(sparse.readsMatches());

    const QString filter = QStringLiteral("MUS:BeatsPerMinute = 120");
    ASSERT_TRUE(view.setFilter(filter) && sparse.setFilter(filter) && view.open());
    ASSERT_TRUE(reader.top() && pages.top());
    int added = 1000;
    int turns = 0;
    for (bool down : {true, false}) {
        do {
            SCOPED_TRACE(testing::Message() << (down ? "down " : "up ") << turns);
            ASSERT_FALSE(pages.rows().empty());
            EXPECT_EQ(ids(pages), ids(reader));
            EXPECT_EQ(pages.moved(), reader.moved());
            EXPECT_TRUE(sparse.readsMatches());
            // A passing song added among those of the page, and the page's edge row deleted.
            add(added++, QStringLiteral("Artist %1").arg(turns % 40, 2, 10, QLatin1Char('0')), 120);
            ASSERT_TRUE(MUS.get(down ? pages.rows().back().position : pages.rows().front().position));
            ASSERT_TRUE(MUS.remove());
            ASSERT_TRUE(down ? reader.pageDown() && pages.pageDown() : reader.pageUp() && pages.pageUp());
            ASSERT_LT(++turns, 40);
        } while (reader.moved() > 0);
        EXPECT_EQ(ids(pages), ids(reader));
    }
    ExprView::walkLimit = limit;
}

// While it lives, every connection opened reads its files slowly, as from a cold or busy disk.
class SlowReads {
public:
    SlowReads() : real_(sqlite3_vfs_find(nullptr)), vfs_(*real_) {
        vfs_.zName = "slowreads";
        vfs_.szOsFile = int(sizeof(File)) + real_->szOsFile;
        vfs_.pAppData = real_;
        vfs_.xOpen = [](sqlite3_vfs *v, const char *name, sqlite3_file *f, int flags, int *out) {
            auto *real = static_cast<sqlite3_vfs *>(v->pAppData);
            auto *file = reinterpret_cast<File *>(f);
            file->real = reinterpret_cast<sqlite3_file *>(file + 1);
            const int rc = real->xOpen(real, name, file->real, flags, out);
            file->base.pMethods = rc == SQLITE_OK ? &kMethods : nullptr;
            return rc;
        };
        sqlite3_vfs_register(&vfs_, 1);
    }
    ~SlowReads() { sqlite3_vfs_unregister(&vfs_); }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file *real;
    };
    static sqlite3_file *real(sqlite3_file *f) { return reinterpret_cast<File *>(f)->real; }
    static constexpr sqlite3_io_methods kMethods = {
        1,
        [](sqlite3_file *f) { return real(f)->pMethods->xClose(real(f)); },
        [](sqlite3_file *f, void *b, int n, sqlite3_int64 at) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return real(f)->pMethods->xRead(real(f), b, n, at);
        },
        [](sqlite3_file *f, const void *b, int n, sqlite3_int64 at) { return real(f)->pMethods->xWrite(real(f), b, n, at); },
        [](sqlite3_file *f, sqlite3_int64 n) { return real(f)->pMethods->xTruncate(real(f), n); },
        [](sqlite3_file *f, int flags) { return real(f)->pMethods->xSync(real(f), flags); },
        [](sqlite3_file *f, sqlite3_int64 *n) { return real(f)->pMethods->xFileSize(real(f), n); },
        [](sqlite3_file *f, int lock) { return real(f)->pMethods->xLock(real(f), lock); },
        [](sqlite3_file *f, int lock) { return real(f)->pMethods->xUnlock(real(f), lock); },
        [](sqlite3_file *f, int *out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); },
        [](sqlite3_file *f, int op, void *arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); },
        [](sqlite3_file *f) { return real(f)->pMethods->xSectorSize(real(f)); },
        [](sqlite3_file *f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); },
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,   // version 1: no shared memory, no mapping
    };
    sqlite3_vfs *real_;
    sqlite3_vfs vfs_;
};

// Which road a list's view takes (walking the key, or collecting the records that pass) and the
// pages it gives are the same however long the reads take.
TEST_F(Pages, TheRoadDoesNotDependOnHowLongReadsTake) {
    ASSERT_TRUE(beginTransaction(5, {&MUS}));
    for (int i = 24; i <= 700; ++i)
        add(i, QStringLiteral("Artist %1").arg(i % 40, 2, 10, QLatin1Char('0')), i % 9 == 0 ? 120 : 100);
    ASSERT_TRUE(commitTransaction());
    using Road = std::pair<bool, std::vector<int>>;   // collected, and the second page
    const auto roads = [] {
        std::vector<Road> out;
        for (const char *filter : {"MUS:BeatsPerMinute = 120", "MUS:BeatsPerMinute = 1"}) {
            ExprView sparse{MUS, &MUS.SongsByArtist};
            sparse.setKeepsMatches(true);
            PageReader pages{sparse, 5, [](PageReader::Row &row) { row.values = {MUS.ID.value()}; }};
            EXPECT_TRUE(sparse.setFilter(filter) && sparse.open() && pages.top() && pages.pageDown());
            out.emplace_back(sparse.readsMatches(), ids(pages));
        }
        return out;
    };
    const std::vector<Road> quick = roads();
    EXPECT_FALSE(quick[0].first);   // a record in nine: the walk finds a page soon
    EXPECT_TRUE(quick[1].first);    // none: the walk gives up
    EXPECT_EQ(quick[0].second.size(), 5u);
    TearDown();   // the connection closes with its last file, and opens again slow
    SlowReads slow;
    ASSERT_TRUE(CF.open() && MUS.open()) << errorCode();
    EXPECT_EQ(roads(), quick);
    TearDown();
}

TEST_F(Pages, ReadErrorsAreReportedAndTheHintsBracketMultiRowReads) {
    ASSERT_TRUE(view.open());
    ASSERT_TRUE(reader.top());
    EXPECT_EQ(hints, std::vector<QString>(5, "ON"));
    EXPECT_EQ(MUS.send("QUICKSCAN"), "OFF");
    hints.clear();
    ASSERT_TRUE(reader.scrollDown(1));   // one record: no hint
    ASSERT_TRUE(reader.pageDown());
    EXPECT_EQ(hints, (std::vector<QString>{"OFF", "ON", "ON", "ON", "ON", "ON"}));
    EXPECT_EQ(MUS.send("QUICKSCAN"), "OFF");

    // A filter refused while the view is open stops reading; the error survives the hint.
    EXPECT_FALSE(view.setFilter("MUS:ID = "));
    EXPECT_FALSE(reader.top());
    EXPECT_EQ(errorCode(), DriverError);
    EXPECT_EQ(MUS.send("QUICKSCAN"), "OFF");
    ASSERT_TRUE(view.setFilter(""));
    ASSERT_TRUE(reader.top());

    const Position p3 = positionOf(3);
    MUS.close();
    EXPECT_FALSE(reader.pageDown());
    EXPECT_EQ(errorCode(), FileNotOpen);
    EXPECT_FALSE(reader.scrollUp());
    EXPECT_EQ(errorCode(), FileNotOpen);
    EXPECT_FALSE(reader.keep(p3));
    EXPECT_EQ(errorCode(), FileNotOpen);
    EXPECT_FALSE(reader.bottom());
    EXPECT_EQ(errorCode(), FileNotOpen);
    reader.invalidateThumb();
    EXPECT_FALSE(reader.updateThumb());
    EXPECT_EQ(errorCode(), FileNotOpen);
    EXPECT_FALSE(reader.fromThumb(50));
}

} // namespace
