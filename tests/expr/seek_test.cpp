// Filters that seek through a key's index: the ranges a plan gives, the rows against the
// evaluator's, and SQLite's plans for a view's reads on the real songs file.
#include "songfixture.h"

#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/expr/exprview.h"
#include "runtime/values/text.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

namespace tbk::expr::test {
namespace {

using Ids = std::vector<qint64>;

int seeks(const QString &sql) { return int(sql.count(" >= ?")); }

TEST(Seek, RangesOnlyOnTheKeysLeadingColumns) {
    SongFields fields;
    const Expression::Key key{{"media", "filenumber"}, "TBKKEY"};
    const std::pair<const char *, int> cases[] = {
        {"MUS:Media = 'CD'", 1}, {"'CD' = UPPER(MUS:Media)", 1}, {"MUS:Media = 'CD' AND MUS:FileNumber = 'F1'", 2},
        // A prefix range ends the seek: the next column is not in order within it.
        {"UPPER(MUS:Media) = 'CASSETTE' AND MUS:FileNumber = 'F1'", 1}, {"MUS:FileNumber = 'F1'", 0},
        {"MUS:Media = 120", 0}, {"MUS:Media = MUS:Title", 0}, {"MUS:Media = 'CD' OR MUS:BPM > 1", 0},
        {"LOWER(MUS:Media) = 'cd'", 0}, {"MUS:Media <> 'CD'", 0},
        // UPPER texts beginning with a dotless i's upper case, or with no ASCII before one.
        {"UPPER(MUS:Media) = 'ISDN'", 0}, {"UPPER(MUS:Media) = 'ÄI'", 0}};
    for (const auto &[text, n] : cases) {
        std::optional<Error> error;
        const Expression e = Expression::compile(QString::fromUtf8(text), fields, error);
        EXPECT_EQ(seeks(e.plan(key).where.sql), n) << text << "\n  " << e.plan(key).where.sql.toStdString();
        EXPECT_EQ(seeks(e.plan().where.sql) + seeks(e.plan({{"media"}, "KEY; DROP"}).where.sql), 0) << text;
    }
    // Each I may come from a dotless i: the texts so begun are ranges of their own, after the
    // exact one in the key's order, and SQLite seeks from the first to the last.
    std::optional<Error> error;
    const Expression::Plan p = Expression::compile("UPPER(MUS:Media) = 'MINIDISC'", fields, error).plan(key);
    EXPECT_TRUE(p.where.sql.startsWith("(media >= ? COLLATE TBKKEY AND media < ? COLLATE TBKKEY) AND ("));
    EXPECT_EQ(seeks(p.where.sql), 1);
    ASSERT_GE(p.where.params.size(), 2u);
    EXPECT_EQ(p.where.params[0].text() + "|" + p.where.params[1].text(), "MINIDISC|n");
    QStringList ranges;
    for (const Expression::Plan::Range &r : p.first)
        ranges << r.low.text() + (r.open ? " " : " = ") + r.high.text();
    EXPECT_EQ(ranges.join(", "), "MINIDISC = MINIDISC, MINIDı MINIe, MINı MIo, Mı n");
    EXPECT_EQ(Expression::compile("MUS:Media = 'MINIDISC'", fields, error).plan(key).first.size(), 1u);

    // A number seeks a numeric column in its own order; numeric text does not, nor a number a text.
    const Expression::Key byCategory{{"categoryid", "artist"}, "TBKKEY"};
    const std::pair<const char *, int> numeric[] = {
        {"MUS:CategoryID = 7", 1}, {"-2 = MUS:CategoryID", 1}, {"MUS:CategoryID = 7 AND MUS:Artist = 'ABBA'", 2},
        {"MUS:CategoryID = 3 + 4 AND UPPER(MUS:Artist) = 'ABBA'", 2}, {"MUS:CategoryID = '7'", 0},
        {"MUS:CategoryID = MUS:BPM", 0}, {"MUS:CategoryID < 7", 0}, {"MUS:Artist = 'ABBA'", 0}};
    for (const auto &[text, n] : numeric) {
        const Expression e = Expression::compile(QString::fromUtf8(text), fields, error);
        EXPECT_EQ(seeks(e.plan(byCategory).where.sql), n) << text << "\n  " << e.plan(byCategory).where.sql.toStdString();
    }
    const Expression e = Expression::compile("MUS:CategoryID = -2 AND MUS:Artist = 'ABBA'", fields, error);
    const Expression::Plan q = e.plan({{"categoryid", "artist"}, "KEY; DROP"});
    EXPECT_TRUE(q.where.sql.startsWith("(categoryid >= ? AND categoryid <= ?) AND ((+categoryid) = ?) AND")) << q.where.sql.toStdString();
    EXPECT_EQ(seeks(q.where.sql), 1);
    ASSERT_GE(q.where.params.size(), 2u);
    EXPECT_FALSE(q.where.params[0].isText() || q.where.params[1].isText());
    EXPECT_EQ(q.where.params[0].number() + q.where.params[1].number(), -4);
}

// Through an index in the driver's collation, f = x and UPPER(f) = x give the evaluator's
// rows, each range of the plan sought by itself as a view does: texts of mixed case, trailing
// blanks, blanks and numbers, characters whose upper case the collation holds apart from them
// (dotless i, sharp s, ligatures) after a plain prefix, the Kelvin sign and the long s which it
// holds equal, and every character whose upper case differs from it, alone and inside a text,
// sought by that upper case.
TEST(Seek, SameRowsAsTheEvaluator) {
    std::vector<SongRow> rows;
    auto add = [&](const QString &artist) {
        rows.push_back(SongRow{qint64(rows.size()) + 1, artist, "t", "", "", "", 1, 0});
    };
    for (const char *a : {"ABBA", "abba", "Abba  ", "Straße", "STRASSE", "ıstanbul", "Istanbul", "\u212Aelvin",
                          "kelvin", "ﬁne", "FINE", "Björk", "BJÖRK", "", "   ", "120", "120.0", " 120", "SS", "ZIz",
                          "ARTıST 1", "ARTIST 1", "artist 1  ", "ARTIſT 1", "ARTIﬅ 1", "ARTIﬆ 1", "ARTİST 1", "Artist 10",
                          "ARTIß", "Artiss", "ARTISS", "ARTIſſ", "ARTIKT", "artikt", "Aﬁne", "AFıNE", "AFINE",
                          "BJÖRKıS", "BJÖRKIS", "ÖıS", "ÖIS", "Aßı", "ASSI", "ASsı"})
        add(QString::fromUtf8(a));
    const size_t named = rows.size();
    for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
        const QString s = QString::fromUcs4(&c, 1);
        if (!QChar::isSurrogate(c) && s.toUpper() != s) {
            add(s);
            add("Z" + s + "z");
        }
    }
    const SongDatabase db(rows);
    data::registerCollation(db.db());
    ASSERT_EQ(sqlite3_exec(db.db(), "CREATE INDEX k ON songs(artist COLLATE TBKTEXT)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    SongFields fields;
    VariableScope window;
    QString value;
    window.bindText("V", &value);
    const ResolverChain names{&fields, &window};
    QString sql;
    // Ranges that overlap would give a row twice.
    auto sqlIds = [&](const Expression &e) {
        const Expression::Plan plan = e.plan({{"artist"}, "TBKTEXT"});
        sql = plan.where.sql;
        std::vector<std::pair<QString, std::vector<Value>>> seeks;
        for (const Expression::Plan::Range &r : plan.first) {
            std::vector<Value> params{r.low, r.high};
            params.insert(params.end(), plan.where.params.begin(), plan.where.params.end());
            seeks.emplace_back(QStringLiteral("artist >= ? COLLATE TBKTEXT AND artist ") + (r.open ? "<" : "<=") +
                                   " ? COLLATE TBKTEXT AND (" + plan.where.sql + ")",
                               params);
            EXPECT_LE(compareText(r.low.text(), r.high.text(), Qt::CaseInsensitive), 0) << sql.toStdString();
        }
        for (size_t i = 1; i < plan.first.size(); ++i)
            EXPECT_LT(compareText(plan.first[i - 1].high.text(), plan.first[i].low.text(), Qt::CaseInsensitive),
                      plan.first[i - 1].open ? 1 : 0) << "ranges out of order\n  " << sql.toStdString();
        if (seeks.empty())
            seeks.emplace_back(plan.where.sql, plan.where.params);
        Ids ids;
        for (const auto &[where, params] : seeks)
            for (qint64 id : db.ids(where, params)) {
                fields.current = &rows[size_t(id - 1)];
                if (Expression::residueMatches(plan))
                    ids.push_back(id);
            }
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    std::optional<Error> error;
    int sought = 0;
    for (const char *form : {"MUS:Artist = V", "(V = MUS:Artist) AND (MUS:BPM > 0)", "UPPER(MUS:Artist) = UPPER(V)",
                             "UPPER(MUS:Artist) = V"}) {
        const Expression e = Expression::compile(form, names, error);
        for (const char *v : {"abba", "ABBA  ", "STRASSE", "straße", "ISTANBUL", "ıstanbul", "\u212AELVIN", "KELVIN",
                              "ﬁne", "BJÖRK", "björk", "", "   ", "120", "120.0", "Nobody", "ARTIST 1", "artist 1",
                              "ARTISS", "ARTISS  ", "ARTIKT", "ARTI\u212AT", "AFINE", "BJÖRKIS", "ÖIS", "ASSI"}) {
            value = QString::fromUtf8(v);
            Ids evaluated;
            for (const SongRow &r : rows) {
                fields.current = &r;
                if (e.matches())
                    evaluated.push_back(r.id);
            }
            EXPECT_EQ(sqlIds(e), evaluated) << form << " with V = '" << v << "'\n  " << sql.toStdString();
            sought += seeks(sql);
            if (!QByteArray(form).contains("UPPER")) {
                EXPECT_EQ(seeks(sql), 1) << form;
            }
        }
    }
    EXPECT_GT(sought, 50);

    QHash<QString, Ids> byUpper;   // what the evaluator's UPPER(f) = V passes, for each V
    for (size_t i = named; i < rows.size(); ++i)
        byUpper[upperText(rows[i].artist)].push_back(rows[i].id);
    const Expression e = Expression::compile("UPPER(MUS:Artist) = V", names, error);
    for (auto it = byUpper.cbegin(); it != byUpper.cend() && !HasFailure(); ++it) {
        value = it.key();
        Ids got = sqlIds(e);
        got.erase(std::remove_if(got.begin(), got.end(), [&](qint64 id) { return id <= qint64(named); }), got.end());
        EXPECT_EQ(got, it.value()) << "V = " << value.toStdString() << "\n  " << sql.toStdString();
    }
}

// Through an index on a numeric column, f = n gives the evaluator's rows, for 0, negative,
// fractional and far numbers, alone and ahead of a text column's seek.
TEST(Seek, NumbersSameRowsAsTheEvaluator) {
    std::vector<SongRow> rows;
    const char *const artists[] = {"ABBA", "abba  ", "Björk", "", "7"};
    for (double c : {0.0, 7.0, -1.0, 2147483647.0, -2147483648.0, 7.0, 0.0, -1.0, 3.0, 7.0})
        for (const char *a : artists)
            rows.push_back(SongRow{qint64(rows.size()) + 1, QString::fromUtf8(a), "t", "", "", "", 1, c});
    const SongDatabase db(rows);
    data::registerCollation(db.db());
    ASSERT_EQ(sqlite3_exec(db.db(), "CREATE INDEX k ON songs(categoryid, artist COLLATE TBKTEXT)", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    SongFields fields;
    VariableScope window;
    double number = 0;
    QString text;
    window.bindNumber("N", &number);
    window.bindText("V", &text);
    const ResolverChain names{&fields, &window};
    std::optional<Error> error;
    const std::pair<const char *, int> forms[] = {   // and the columns each seeks
        {"MUS:CategoryID = N", 1}, {"(N = MUS:CategoryID) AND (MUS:Artist = V)", 2},
        {"MUS:CategoryID = -N AND UPPER(MUS:Artist) = UPPER(V)", 2}, {"MUS:CategoryID = V", 0}};
    for (const auto &[form, columns] : forms) {
        const Expression e = Expression::compile(form, names, error);
        for (double n : {0.0, -0.0, 7.0, -1.0, 1.0, 7.5, 2147483647.0, -2147483648.0, 1e300}) {
            for (const char *v : {"abba", "", "7", "7.0"}) {
                number = n;
                text = QString::fromUtf8(v);
                Ids evaluated, got;
                for (const SongRow &r : rows) {
                    fields.current = &r;
                    if (e.matches())
                        evaluated.push_back(r.id);
                }
                const Expression::Plan plan = e.plan({{"categoryid", "artist"}, "TBKTEXT"});
                for (qint64 id : db.ids(plan.where.sql, plan.where.params)) {
                    fields.current = &rows[size_t(id - 1)];
                    if (Expression::residueMatches(plan))
                        got.push_back(id);
                }
                std::sort(got.begin(), got.end());
                EXPECT_EQ(got, evaluated) << form << " with N = " << n << ", V = '" << v << "'\n  "
                                          << plan.where.sql.toStdString();
                EXPECT_EQ(seeks(plan.where.sql), columns) << form;
            }
        }
    }
}

// ---- The real songs file ----

class KeySeek : public testing::Test {
protected:
    void SetUp() override {
        for (data::DataFile *f : {static_cast<data::DataFile *>(&CF), static_cast<data::DataFile *>(&MUS)}) {
            ASSERT_TRUE(f->create());
            ASSERT_TRUE(f->open());
        }
        const char *const songs[][3] = {   // artist, mix, media; the title is the id
            {"ABBA", "", "CD"},         {"abba", "Live", "cd"},      {"Björk", "", "MiniDisc"},
            {"BJÖRK", "Remix", "minidisc"}, {"Straße", "live", "Cassette"}, {"STRASSE", "", "CASSETTE"},
            {"ıstanbul", "LIVE", "MınıDısc"}, {"\u212Aelvin", "", "\u212A7"}, {"", "", ""},
            {"120", "", "120"},         {"", "", "CD"},             {"Zz", "Dub", "120.0"}};
        int id = 0;
        for (const auto &s : songs) {
            MUS.clear();
            MUS.ID = ++id;
            MUS.Artist = QString::fromUtf8(s[0]);
            MUS.Mix = QString::fromUtf8(s[1]);
            MUS.Media = QString::fromUtf8(s[2]);
            MUS.Title = id == 11 ? QString() : QString::number(id);
            MUS.FileNumber = QStringLiteral("F%1").arg(id % 4);
            MUS.CategoryID = id % 3 == 0 ? 7 : id % 3 == 1 ? 0 : -2;
            ASSERT_TRUE(MUS.add());
        }
        window.bindText("BRW1::Sort3:Reset:MED:Media", &value);
        window.bindNumber("CAT:CategoryID", &category);
    }
    void TearDown() override {
        for (data::DataFile *f : data::DataFile::all())
            f->close();
    }

    // Reads the view both ways: the rows are a plain scan's, and every statement reads through
    // the key's index without sorting, bounded by the filter's seek when `sought` and past the
    // first row by the cursor (else each row read would start again at the seek).
    void expectSeek(const data::Key &key, const QString &filter, const QString &index, bool sought = true) {
        ExprView v(MUS, &key);
        v.setNames(&window);
        ASSERT_TRUE(v.setFilter(filter));
        ASSERT_TRUE(v.open());
        const std::string what = filter.toStdString() + " with '" + value.toStdString() + "'";
        sqlite3 *db = data::driver::db();
        QStringList statements;
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT, [](unsigned, void *list, void *stmt, void *) {
            static_cast<QStringList *>(list)->append(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt))));
            return 0;
        }, &statements);
        std::vector<int> forward, backward;
        for (bool ahead : {true, false}) {
            std::vector<int> &out = ahead ? forward : backward;
            v.set();
            while (ahead ? v.next() : v.previous())
                out.push_back(MUS.ID.value());
        }
        sqlite3_trace_v2(db, 0, nullptr, nullptr);
        statements.removeDuplicates();
        const std::vector<int> expected = scannedSongs(filter, key, window);
        EXPECT_EQ(forward, expected) << what;
        EXPECT_EQ(std::vector<int>(backward.rbegin(), backward.rend()), expected) << what;
        const QRegularExpression cursor("\\)[<>]=?\\("), bound("\\w[<>]\\?");
        for (const QString &sql : statements) {
            sqlite3_stmt *st = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &st, nullptr), SQLITE_OK);
            QString plan;
            while (sqlite3_step(st) == SQLITE_ROW)
                plan += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3))) + " / ";
            sqlite3_finalize(st);
            const std::string shown = what + "\n  " + plan.toStdString();
            EXPECT_TRUE(plan.contains(".records USING INDEX " + index) && !plan.contains("TEMP B-TREE")) << shown;
            EXPECT_EQ(plan.contains(bound), sought) << shown;
            EXPECT_EQ(plan.contains(cursor), sql.contains(cursor)) << shown;
        }
    }

    // Placed at each record, the view reads on both ways the rows a scan gives from there.
    void expectReadsFromAnyPlace(const data::Key &key, const QString &filter) {
        const std::vector<int> all = scannedSongs({}, key, window);
        const std::vector<int> passing = scannedSongs(filter, key, window);
        ExprView view(MUS, &key);
        view.setNames(&window);
        ASSERT_TRUE(view.setFilter(filter));
        ASSERT_TRUE(view.open());
        for (size_t at = 0; at < all.size(); ++at) {
            std::vector<int> after, before;
            for (int id : passing) {
                const size_t i = size_t(std::find(all.begin(), all.end(), id) - all.begin());
                (i >= at ? after : before).push_back(id);
                if (i == at)
                    before.push_back(id);
            }
            std::reverse(before.begin(), before.end());
            for (bool forward : {true, false}) {
                MUS.ID = all[at];
                ASSERT_TRUE(MUS.get(MUS.KEYID));
                view.setAt(MUS.position());
                std::vector<int> got;
                while (forward ? view.next() : view.previous())
                    got.push_back(MUS.ID.value());
                EXPECT_EQ(got, forward ? after : before)
                    << filter.toStdString() << " with '" << value.toStdString() << "' from song " << all[at];
            }
        }
    }

    void addSong(const QString &artist) {
        MUS.clear();
        MUS.ID = ++lastId;
        MUS.Artist = artist;
        MUS.Title = QString::number(lastId);
        ASSERT_TRUE(MUS.add());
    }

    QString value;
    double category = 0;
    VariableScope window;
    int lastId = 12;   // the songs of SetUp
};

TEST_F(KeySeek, SortFiltersSeekThroughTheirKeysAlsoInsideABiggerFilter) {
    for (const QString sort : {"UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)",
                               "MUS:Media = BRW1::Sort3:Reset:MED:Media"}) {
        for (const char *media : {"cd", "CD  ", "MINIDISC", "cassette", "Laserdisc", "", "120", "120.0", "k7"}) {
            value = QString::fromUtf8(media);
            expectSeek(MUS.SongsByMedia, sort, "k_songsbymedia");
            expectSeek(MUS.SongsByMedia, "(" + sort + ") AND (INSTRING('1', MUS:Title, 1, 1) OR MUS:ID > 3)",
                       "k_songsbymedia");
        }
    }
    // A dotless i upper-cases to I: the prefix seek holds it, the exact test passes it.
    value = "minidisc";
    EXPECT_EQ(scannedSongs("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)", MUS.SongsByMedia, window),
              (std::vector<int>{4, 3, 7}));

    for (const char *artist : {"abba", "björk", "KELVIN", "", "STRASSE", "ISTANBUL"}) {
        value = QString::fromUtf8(artist);
        // No seek for UPPER texts that begin as a ligature (ST) or a dotless i upper-cases.
        expectSeek(MUS.SongsByArtist, "UPPER(MUS:Artist) = UPPER(BRW1::Sort3:Reset:MED:Media)", "k_songsbyartist",
                   !value.startsWith("ST") && !value.startsWith("I"));
        expectSeek(MUS.SongsByArtist, "MUS:Artist = BRW1::Sort3:Reset:MED:Media", "k_songsbyartist");
    }
    // KEYMIX leaves out the record whose mix, title and artist are all blank (11).
    for (const char *mix : {"live", "", "Dub"}) {
        value = QString::fromUtf8(mix);
        expectSeek(MUS.KEYMIX, "UPPER(MUS:Mix) = UPPER(BRW1::Sort3:Reset:MED:Media)", "k_keymix");
        expectSeek(MUS.KEYMIX, "MUS:Mix = BRW1::Sort3:Reset:MED:Media", "k_keymix");
    }
    value = "";
    EXPECT_EQ(scannedSongs("MUS:Mix = ''", MUS.KEYMIX, window), (std::vector<int>{1, 10, 3, 6, 8, 9}));
    // A number seeks a numeric key column, and the text column after it.
    for (double c : {7.0, 0.0, -2.0, 5.0}) {
        category = c;
        for (const char *artist : {"abba", "", "Nobody"}) {
            value = QString::fromUtf8(artist);
            expectSeek(MUS.SONGSBYCATEGORY, "MUS:CategoryID = CAT:CategoryID", "k_songsbycategory");
            expectSeek(MUS.SONGSBYCATEGORY,
                       "(MUS:CategoryID = CAT:CategoryID) AND (INSTRING('1', MUS:Title, 1, 1) OR MUS:ID > 3)",
                       "k_songsbycategory");
            expectSeek(MUS.SONGSBYCATEGORY,
                       "MUS:CategoryID = CAT:CategoryID AND MUS:Artist = BRW1::Sort3:Reset:MED:Media",
                       "k_songsbycategory");
        }
    }
    expectSeek(MUS.SONGSBYCATEGORY, "MUS:CategoryID = 7", "k_songsbycategory");
    EXPECT_EQ(scannedSongs("MUS:CategoryID = 7", MUS.SONGSBYCATEGORY, window), (std::vector<int>{9, 3, 6, 12}));
    EXPECT_EQ(scannedSongs("MUS:CategoryID = 0", MUS.SONGSBYCATEGORY, window).size(), 4u);
    EXPECT_EQ(scannedSongs("MUS:CategoryID = -2", MUS.SONGSBYCATEGORY, window).size(), 4u);
    // A filter on a field that does not lead the view's key gives no seek (nor a sort).
    value = "cd";
    expectSeek(MUS.SongsByArtist, "UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)", "k_songsbyartist", false);
}

// Placed at any record, in the filter or outside its seek range either side, a view reads on
// both ways the rows a scan gives from that place.
TEST_F(KeySeek, ReadsFromAnyPlaceAsAScan) {
    const std::pair<const data::Key *, const char *> cases[] = {
        {&MUS.SongsByMedia, "UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)"},
        {&MUS.SongsByArtist, "MUS:Artist = BRW1::Sort3:Reset:MED:Media"},
        {&MUS.SONGSBYCATEGORY, "MUS:CategoryID = CAT:CategoryID"}};
    for (const auto &[key, filter] : cases) {
        for (const char *v : {"cd", "MINIDISC", "abba", "Zz", "", "0"}) {
            value = QString::fromUtf8(v);
            category = value.isEmpty() ? -2 : 7;
            expectReadsFromAnyPlace(*key, QString::fromUtf8(filter));
        }
    }
}

// An UPPER text can come from texts that the key's collation holds apart from it (a dotless
// i, a sharp s, a ligature): the view reads each range where they can lie, both ways and from
// any place, and seeks past the rows between the ranges instead of reading them.
TEST_F(KeySeek, UpperTextsReadEachRangeTheirRowsCanLieIn) {
    for (const char *a : {"ARTıST 1", "artist 1", "ARTIſT 1", "ARTIﬅ 1", "ARTIST 1", "ARTIß", "Artiss", "ARTI\u212AT",
                          "ARTIKT", "ARTİST 1", "ARTIST 10"})
        addSong(QString::fromUtf8(a));
    const QString filter = "UPPER(MUS:Artist) = UPPER(BRW1::Sort3:Reset:MED:Media)";
    for (const char *artist : {"artist 1", "ARTISS", "artikt", "ARTIST 2"}) {
        value = QString::fromUtf8(artist);
        expectSeek(MUS.SongsByArtist, filter, "k_songsbyartist");
        expectReadsFromAnyPlace(MUS.SongsByArtist, filter);
    }
    value = "artist 1";
    EXPECT_EQ(scannedSongs(filter, MUS.SongsByArtist, window), (std::vector<int>{14, 15, 17, 16, 13}));

    // SQLite's work for reading the view both ways, without and with many rows between the
    // exact range and the others.
    ExprView v(MUS, &MUS.SongsByArtist);
    v.setNames(&window);
    ASSERT_TRUE(v.setFilter(filter));
    ASSERT_TRUE(v.open());
    auto readBothWays = [&](qint64 &steps) {
        sqlite3 *db = data::driver::db();
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT | SQLITE_TRACE_PROFILE, [](unsigned what, void *sum, void *stmt, void *) {
            const int n = sqlite3_stmt_status(static_cast<sqlite3_stmt *>(stmt), SQLITE_STMTSTATUS_VM_STEP, 1);
            if (what == SQLITE_TRACE_PROFILE)
                *static_cast<qint64 *>(sum) += n;
            return 0;
        }, &steps);
        int read = 0;
        for (bool forward : {true, false}) {
            v.set();
            while (forward ? v.next() : v.previous())
                ++read;
        }
        sqlite3_trace_v2(db, 0, nullptr, nullptr);
        EXPECT_EQ(read, 10);
    };
    qint64 without = 0, with = 0;
    readBothWays(without);
    constexpr int between = 1000;
    MUS.stream();
    for (int i = 0; i < between; ++i)
        addSong(QStringLiteral("Artist 2%1").arg(i, 3, 10, QLatin1Char('0')));
    MUS.flush();
    readBothWays(with);
    EXPECT_GT(without, 0);
    EXPECT_LT(with - without, between / 10) << "the rows between the ranges were read";
}

} // namespace
} // namespace tbk::expr::test
