// Key orders, blanks excluded, duplicates, positions and order of addition.
#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/data/transaction.h"
#include "runtime/data/view.h"
#include "runtime/values/text.h"

#include <QRandomGenerator>
#include <algorithm>

#include <gtest/gtest.h>

using namespace tbk;
using namespace tbk::data;

namespace {

class Files : public testing::Test {
protected:
    void SetUp() override {
        for (DataFile *f : {static_cast<DataFile *>(&CF), static_cast<DataFile *>(&MUS),
                            static_cast<DataFile *>(&CAT), static_cast<DataFile *>(&ALB),
                            static_cast<DataFile *>(&PLA)}) {
            ASSERT_FALSE(f->open()) << f->label().toStdString();
            ASSERT_EQ(errorCode(), FileNotFound);
            ASSERT_TRUE(f->create()) << errorText().toStdString() << driverErrorText().toStdString();
            ASSERT_TRUE(f->open()) << f->label().toStdString() << " " << errorCode();
        }
    }
    void TearDown() override {
        for (DataFile *f : DataFile::all())
            f->close();
    }
    static void addSong(int id, const QString &artist, const QString &title, const QString &fileNumber = {}) {
        MUS.clear();
        MUS.ID = id;
        MUS.Artist = artist;
        MUS.Title = title;
        MUS.FileNumber = fileNumber;
        ASSERT_TRUE(MUS.add()) << errorCode();
    }
    static QStringList readAll(const Key &k, bool forward = true) {
        QStringList out;
        k.file().set(k);
        while (forward ? k.file().next() : k.file().previous())
            out << k.file().field(QStringLiteral("Title")).text();
        EXPECT_EQ(errorCode(), RecordNotAvailable);
        return out;
    }
};

TEST_F(Files, TextKeysIgnoreCaseAndTrailingBlanks) {
    addSong(1, "beta", "b1");
    addSong(2, "Alpha", "a2");
    addSong(3, "ALPHA", "a1");
    addSong(4, "alpha   ", "a0");
    // Equal artists (case-blind) order by title.
    EXPECT_EQ(readAll(MUS.SongsByArtist), (QStringList{"a0", "a1", "a2", "b1"}));
    EXPECT_EQ(readAll(MUS.SongsByArtist, false), (QStringList{"b1", "a2", "a1", "a0"}));
    MUS.clear();
    MUS.Artist = "ALPHA ";
    MUS.Title = "A1";
    ASSERT_TRUE(MUS.get(MUS.SongsByArtist));
    EXPECT_EQ(MUS.ID.value(), 3);
}

TEST_F(Files, DuplicateKeysComeInOrderOfAddition) {
    for (int i = 1; i <= 5; ++i)
        addSong(i, "same", "same", QString());
    MUS.set(MUS.SongsByArtist);
    QList<int> ids;
    while (MUS.next())
        ids << MUS.ID;
    EXPECT_EQ(ids, (QList<int>{1, 2, 3, 4, 5}));
}

TEST_F(Files, BlankKeysAreLeftOut) {
    addSong(1, "a", "with", "F1");
    addSong(2, "b", "blank", "");
    addSong(0, "c", "no id", "F2");
    EXPECT_EQ(readAll(MUS.KEYFILENUMBER), (QStringList{"with", "no id"}));
    EXPECT_EQ(readAll(MUS.KEYID), (QStringList{"with", "blank"}));
    MUS.clear();
    EXPECT_FALSE(MUS.get(MUS.KEYFILENUMBER));
    EXPECT_EQ(errorCode(), RecordNotFound);
    // Two albums with blank CD identifiers are allowed; the same title and artist are not.
    ALB.clear();
    ALB.AlbumID = 1; ALB.Album = "X"; ALB.Artist = "A";
    ASSERT_TRUE(ALB.add());
    ALB.clear();
    ALB.AlbumID = 2; ALB.Album = "Y"; ALB.Artist = "A";
    ASSERT_TRUE(ALB.add());
    ALB.clear();
    ALB.AlbumID = 3; ALB.Album = "x"; ALB.Artist = "a ";
    EXPECT_FALSE(ALB.add());
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(errorKey(), QStringLiteral("KEYALBUM"));
}

TEST_F(Files, CategoriesCollideWithoutCase) {
    CAT.clear();
    CAT.CategoryID = 1;
    CAT.Category = "Rock";
    ASSERT_TRUE(CAT.add());
    CAT.CategoryID = 2;
    CAT.Category = "ROCK";
    EXPECT_FALSE(CAT.add());
    EXPECT_EQ(errorCode(), DuplicateKey);
    EXPECT_EQ(errorKey(), QStringLiteral("KeyCategory"));
    EXPECT_EQ(CAT.records(), 1);
}

TEST_F(Files, SetFromBufferAndPositions) {
    const char *artists[] = {"d", "b", "e", "a", "c"};
    for (int i = 0; i < 5; ++i)
        addSong(i + 1, artists[i], QStringLiteral("t%1").arg(artists[i]));
    MUS.clear();
    MUS.Artist = "bb";
    MUS.setFromBuffer(MUS.SongsByArtist);
    ASSERT_TRUE(MUS.next());
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("c"));
    const Position pos = MUS.position();
    ASSERT_TRUE(MUS.previous());
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("b"));
    MUS.Artist = "bb";
    MUS.setFromBuffer(MUS.SongsByArtist);
    ASSERT_TRUE(MUS.previous());
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("b"));
    // A stored position reads the same record later, and starts a sequence there.
    MUS.clear();
    ASSERT_TRUE(MUS.get(pos));
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("c"));
    MUS.setAt(MUS.SongsByArtist, pos);
    ASSERT_TRUE(MUS.next());
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("c"));
    ASSERT_TRUE(MUS.next());
    EXPECT_EQ(MUS.Artist.str(), QStringLiteral("d"));
}

TEST_F(Files, OrderOfAdditionSurvivesDeletes) {
    for (int i = 1; i <= 5; ++i)
        addSong(i, "a", QStringLiteral("t%1").arg(i));
    ASSERT_TRUE(MUS.get(Position(5)));
    ASSERT_TRUE(MUS.remove());
    ASSERT_TRUE(MUS.get(Position(2)));
    ASSERT_TRUE(MUS.remove());
    addSong(6, "a", "t6");
    EXPECT_EQ(MUS.position(), 6);   // never reuses the number of a deleted record
    EXPECT_EQ(MUS.records(), 4);
    QList<qint64> order;
    MUS.setPhysical();
    while (MUS.next())
        order << MUS.position();
    EXPECT_EQ(order, (QList<qint64>{1, 3, 4, 6}));
    EXPECT_FALSE(MUS.get(Position(2)));
    EXPECT_EQ(errorCode(), RecordNotFound);
    // Packing numbers the records 1..n again, keeping their order.
    MUS.close();
    ASSERT_TRUE(MUS.open(Exclusive));
    ASSERT_TRUE(MUS.pack());
    ASSERT_TRUE(MUS.get(Position(4)));
    EXPECT_EQ(MUS.ID.value(), 6);
    addSong(7, "a", "t7");
    EXPECT_EQ(MUS.position(), 5);
}

TEST_F(Files, ViewWithFilter) {
    for (int i = 1; i <= 100; ++i)
        addSong(i, QStringLiteral("artist%1").arg(i % 10), QStringLiteral("t%1").arg(i, 3, 10, QLatin1Char('0')));
    View v(MUS, MUS.SongsByTitle);
    v.setFilter([] { return MUS.Artist == "artist7"; });
    ASSERT_TRUE(v.open());
    QStringList seen;
    while (v.next())
        seen << MUS.Title.str();
    EXPECT_EQ(seen.size(), 10);
    EXPECT_EQ(seen.first(), QStringLiteral("t007"));
    EXPECT_EQ(seen.last(), QStringLiteral("t097"));
    v.set();
    ASSERT_TRUE(v.previous());
    EXPECT_EQ(MUS.Title.str(), QStringLiteral("t097"));
    // A condition handed to SQLite, values bound.
    v.clearFilter();
    v.setCondition(QStringLiteral("\"Artist\"=?"), {QStringLiteral("ARTIST3")});
    v.set();
    int n = 0;
    while (v.next())
        ++n;
    EXPECT_EQ(n, 10);
    // A run read with one statement passes the same filter.
    v.set();
    n = 0;
    EXPECT_FALSE(v.scan([&] { return MUS.Artist == "artist3" && ++n; }));
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    EXPECT_EQ(n, 10);
}

TEST_F(Files, ARecordReadWithSomeFieldsOnlyCannotBePut) {
    addSong(1, "artist", "title");
    View v(MUS, MUS.SongsByArtist);
    ASSERT_TRUE(v.open());
    v.setProjection({MUS.ID.index()});
    v.set();
    ASSERT_TRUE(v.next());
    EXPECT_EQ(MUS.ID.value(), 1);
    const std::vector<int> id{MUS.ID.index()};
    v.set();
    ASSERT_TRUE(v.scan([] { return false; }, &id));
    for (View *read : {&v, static_cast<View *>(nullptr)}) {
        if (!read) {
            v.setProjection({});
            v.set();
            ASSERT_TRUE(v.next());
        }
        MUS.Album = "album";
        // Read whole, the record takes the change; read in part, it would lose its title.
        EXPECT_EQ(MUS.put(), !read);
        EXPECT_EQ(errorCode(), read ? RecordChanged : NoError);
    }
    ASSERT_TRUE(MUS.get(Position(1)));
    EXPECT_EQ(MUS.Title.str(), "title");
    EXPECT_EQ(MUS.Album.str(), "album");
}

TEST_F(Files, ViewReadingAheadGivesTheSameRowsUntilDropped) {
    for (int i = 1; i <= 23; ++i)
        addSong(i, QStringLiteral("artist%1").arg(i % 4), QStringLiteral("t%1").arg(i, 2, 10, QLatin1Char('0')));
    auto titles = [](View &v, bool forward, int max = 100) {
        QStringList out;
        while (out.size() < max && (forward ? v.next() : v.previous()))
            out << MUS.Title.str();
        return out;
    };
    View plain(MUS, MUS.SongsByArtist);
    View ahead(MUS, MUS.SongsByArtist);
    ASSERT_TRUE(plain.open());
    ASSERT_TRUE(ahead.open());
    ahead.setReadAhead(5);
    EXPECT_EQ(titles(ahead, true), titles(plain, true));
    EXPECT_EQ(errorCode(), RecordNotAvailable);
    // Turning round mid-way reads from the row last handed out, not from the rows fetched.
    ahead.set();
    plain.set();
    EXPECT_EQ(titles(ahead, true, 7), titles(plain, true, 7));
    EXPECT_EQ(titles(ahead, false, 3), titles(plain, false, 3));
    // Rows fetched stay as they were until dropped.
    ahead.set();
    ASSERT_TRUE(ahead.next());   // t04 (artist0), with t08, t12 ... from the same fetch
    for (qint64 p : {8, 12}) {
        ASSERT_TRUE(MUS.get(Position(p)));
        MUS.Album = "new album";
        ASSERT_TRUE(MUS.put());
    }
    ASSERT_TRUE(ahead.next());
    EXPECT_EQ(MUS.Title.str(), "t08");
    EXPECT_EQ(MUS.Album.str(), "");
    ahead.dropReadAhead();
    ASSERT_TRUE(ahead.next());
    EXPECT_EQ(MUS.Title.str(), "t12");
    EXPECT_EQ(MUS.Album.str(), "new album");
}

// Every song key, read forwards, backwards and from located values, against an order worked
// out here from the declaration: components compared case-blind (text) or as numbers, equal
// keys by position, records whose components are all blank left out of keys that say so.
TEST_F(Files, EveryKeyOrderMatchesItsDeclaration) {
    const QStringList texts{QString(), "a", "A", "b", "\u00e9lan", "\u00c9LAN", "Zed", "zed", "m m"};
    QRandomGenerator r(42);
    auto pick = [&](int n) { return texts[r.bounded(qMin(n, int(texts.size())))]; };
    ASSERT_TRUE(beginTransaction(1, {&MUS}));
    for (int i = 1; i <= 300; ++i) {
        MUS.clear();
        MUS.ID = r.bounded(4) == 0 ? 0 : i;
        MUS.Artist = pick(9);
        MUS.Title = pick(5);
        MUS.Mix = pick(3);
        MUS.Album = pick(4);
        MUS.Media = pick(3);
        MUS.FileNumber = pick(4);
        MUS.UserDefinedKeyField = pick(3);
        MUS.CategoryID = r.bounded(3);
        MUS.ChartNumber = r.bounded(3);
        MUS.Side = r.bounded(2);
        MUS.TrackNumber = r.bounded(3);
        MUS.BeatsPerMinute = r.bounded(3) * 60;
        MUS.AlbumID = r.bounded(3);
        ASSERT_TRUE(MUS.add()) << i;
    }
    ASSERT_TRUE(commitTransaction());
    std::vector<Record> all;
    MUS.setPhysical();
    while (MUS.next())
        all.push_back(MUS.record());
    ASSERT_EQ(all.size(), 300u);

    const auto &fields = MUS.structure().fields();
    for (const KeyDecl &k : MUS.structure().keys()) {
        auto cmp = [&](const Record &a, const Record &b) {
            for (int f : k.fields) {
                const Cell &x = a.cells[size_t(f)], &y = b.cells[size_t(f)];
                const int c = fields[size_t(f)].kind == FieldKind::Text ? compareText(x.s, y.s, Qt::CaseInsensitive)
                                                                        : (x.n < y.n ? -1 : x.n > y.n);
                if (c)
                    return c;
            }
            return 0;
        };
        std::vector<Record> expected;
        for (const Record &rec : all) {
            bool blank = true;
            for (int f : k.fields)
                blank = blank && rec.cells[size_t(f)].s.isEmpty() && rec.cells[size_t(f)].n == 0;
            if (!(k.excludesBlanks() && blank))
                expected.push_back(rec);
        }
        std::stable_sort(expected.begin(), expected.end(), [&](const Record &a, const Record &b) { return cmp(a, b) < 0; });
        QList<Position> want, got, back;
        for (const Record &rec : expected)
            want << rec.position;
        const Key &key = MUS.keyAt(MUS.structure().keyIndex(k.name));
        MUS.set(key);
        while (MUS.next())
            got << MUS.position();
        MUS.set(key);
        while (MUS.previous())
            back.prepend(MUS.position());
        EXPECT_EQ(got, want) << k.name.toStdString();
        EXPECT_EQ(back, want) << k.name.toStdString();
        // In runs of seven, each from where the last stopped: every field, none (not even the
        // key's), or every field of every third record, loaded on demand.
        enum Mode { All, None, OnDemand };
        for (const Mode mode : {All, None, OnDemand}) {
            View v(MUS, key);
            ASSERT_TRUE(v.open());
            const std::vector<int> noField;
            QList<Position> runs;
            int taken = 0;
            const auto take = [&] {
                runs << MUS.position();
                const bool load = mode == All || (mode == OnDemand && taken % 3 == 0);
                if (mode == OnDemand && load)
                    MUS.loadScanned();
                const auto same = std::find_if(all.begin(), all.end(), [&](const Record &rec) { return rec.position == MUS.position(); });
                if (load || mode == None) {
                    EXPECT_TRUE(MUS.record().sameValues(load ? *same : Record{std::vector<Cell>(all[0].cells.size()), 0, 0}))
                        << k.name.toStdString() << " mode " << mode;
                }
                return ++taken % 7 != 0;
            };
            for (int run = 0; run < 100 && v.scan(take, mode == None ? &noField : nullptr, mode == OnDemand); ++run)
                ;
            EXPECT_EQ(errorCode(), RecordNotAvailable);
            EXPECT_EQ(runs, want) << k.name.toStdString() << " mode " << mode;
        }
        // From the values of a few records: the first at or after them, the last at or before.
        for (int probe = 0; probe < 5; ++probe) {
            const Record &at = all[size_t(r.bounded(int(all.size())))];
            auto first = std::find_if(expected.begin(), expected.end(), [&](const Record &e) { return cmp(e, at) >= 0; });
            MUS.setRecord(at);
            MUS.setFromBuffer(key);
            if (first == expected.end()) {
                EXPECT_FALSE(MUS.next());
            } else {
                ASSERT_TRUE(MUS.next()) << k.name.toStdString();
                EXPECT_EQ(MUS.position(), first->position) << k.name.toStdString();
            }
            auto last = std::find_if(expected.rbegin(), expected.rend(), [&](const Record &e) { return cmp(e, at) <= 0; });
            MUS.setRecord(at);
            MUS.setFromBuffer(key);
            if (last == expected.rend()) {
                EXPECT_FALSE(MUS.previous());
            } else {
                ASSERT_TRUE(MUS.previous()) << k.name.toStdString();
                EXPECT_EQ(MUS.position(), last->position) << k.name.toStdString();
            }
        }
    }
}

TEST_F(Files, FieldsByName) {
    FieldRef f = findField(QStringLiteral("mus:artist"));
    ASSERT_TRUE(f.valid());
    EXPECT_EQ(f.name(), QStringLiteral("MUS:Artist"));
    f.setText(QString(60, QLatin1Char('x')) + "   ");
    EXPECT_EQ(MUS.Artist.str().size(), 50);
    FieldRef notes = findField(QStringLiteral("MUS:Notes"));
    ASSERT_TRUE(notes.valid());
    EXPECT_EQ(notes.kind(), FieldKind::Memo);
    FieldRef track = findField(QStringLiteral("MUS:TrackNumber"));
    track.setNumber(300);
    EXPECT_EQ(MUS.TrackNumber.value(), 44);   // BYTE wraps
    // The typed members read and write like the values they hold.
    MUS.ID = 41;
    MUS.ID = MUS.ID + 1;
    ++MUS.ID;
    ALB.CategoryID = MUS.ID;                 // LONG into DECIMAL
    A_S.Artist = MUS.Artist;                 // a value copy between buffers
    const QString joined = MUS.Title + QStringLiteral("!");
    EXPECT_EQ(ALB.CategoryID.value(), 43);
    EXPECT_TRUE(A_S.Artist == MUS.Artist.str());
    EXPECT_EQ(joined, MUS.Title.str() + "!");
    ALB.CategoryID = 123456789012345LL;      // DECIMAL(6): at most 11 digits
    EXPECT_EQ(ALB.CategoryID.value(), 99999999999LL);
    EXPECT_FALSE(findField(QStringLiteral("MUS:Nope")).valid());
    EXPECT_FALSE(findField(QStringLiteral("XYZ:Artist")).valid());
    EXPECT_TRUE(findField(QStringLiteral("EVL:LOGDATA")).valid());
}

// Text keys are ordered by SQLite with the driver's collation and compared in memory (views,
// ordered lists) with compareText: both must give the same order, ASCII or not.
TEST(Collation, OrdersAsTheRuntimeComparesTexts) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    registerCollation(db);
    sqlite3_stmt *st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT CASE WHEN ?1 = ?2 COLLATE TBKTEXT THEN 0 "
                                     "WHEN ?1 < ?2 COLLATE TBKTEXT THEN -1 ELSE 1 END", -1, &st, nullptr),
              SQLITE_OK);
    const char *pairs[][2] = {
        {"abc", "ABC  "}, {"Zebra", "apple"}, {"a_", "aB"}, {"Ärger", "ärger"}, {"Ärger", "Arger"},
        {"école", "Ecole"}, {"Ωmega", "ωMEGA "}, {"ab", "abc"}, {"abc ", "ab"}, {"x\xc3\xa9", "XZ"},
        {"été", "ÉTÉ"}, {"aé", "aè"}, {"éa", "éB"}, {"ΩΩb", "ΩωA"},
    };
    for (const auto &p : pairs) {
        const QString a = QString::fromUtf8(p[0]), b = QString::fromUtf8(p[1]);
        const QByteArray ua = a.toUtf8(), ub = b.toUtf8();
        sqlite3_bind_text(st, 1, ua.constData(), int(ua.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, ub.constData(), int(ub.size()), SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const int c = compareText(a, b, Qt::CaseInsensitive);
        EXPECT_EQ(sqlite3_column_int(st, 0), c < 0 ? -1 : c > 0 ? 1 : 0) << p[0] << " / " << p[1];
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

} // namespace
