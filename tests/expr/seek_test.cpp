// Filters that seek through a key's index: the ranges a plan gives, the rows against the
// evaluator's (case, trailing blanks, letters whose upper case the collation folds otherwise),
// and the plans SQLite makes for a view's reads on the real data files.
#include "songfixture.h"

#include "core/datafiles.h"
#include "runtime/data/driver.h"
#include "runtime/expr/compile.h"
#include "runtime/expr/exprview.h"
#include "runtime/values/text.h"

#include <QRegularExpression>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

namespace tbk::expr::test {
namespace {

using Ids = std::vector<qint64>;

// The song table with indexes in the driver's own collation, as keys are.
class IndexedSongs {
public:
    explicit IndexedSongs(std::vector<SongRow> r) : rows(std::move(r)), db(rows) {
        data::registerCollation(db.db());
        EXPECT_EQ(sqlite3_exec(db.db(),
                               "CREATE INDEX k_artist ON songs(artist COLLATE TBKTEXT, title COLLATE TBKTEXT);"
                               "CREATE INDEX k_media ON songs(media COLLATE TBKTEXT)",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    // SQLite's rows under the plan through the key, residue checked; in id order.
    Ids ids(const Expression &e, const Expression::Key &key, SongFields &fields, QString *sql = nullptr) const {
        const Expression::Plan plan = e.plan(key);
        if (sql)
            *sql = plan.where.sql;
        Ids out;
        for (qint64 id : db.ids(plan.where.sql, plan.where.params)) {
            fields.current = &*std::find_if(rows.begin(), rows.end(), [id](const SongRow &r) { return r.id == id; });
            if (Expression::residueMatches(plan))
                out.push_back(id);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    std::vector<SongRow> rows;
    SongDatabase db;
};

SongRow artistRow(qint64 id, const QString &artist) {
    SongRow r;
    r.id = id;
    r.artist = artist;
    r.title = QStringLiteral("T%1").arg(id);
    r.bpm = double(id);
    return r;
}

class Seek : public testing::Test {
protected:
    SongFields fields;
    VariableScope window;
    ResolverChain names{&fields, &window};
    const Expression::Key byArtist{{"artist", "title"}, "TBKTEXT"};

    Expression compile(const QString &text) {
        std::optional<Error> error;
        Expression e = Expression::compile(text, names, error);
        EXPECT_FALSE(error) << text.toStdString();
        return e;
    }
    Ids evaluated(const Expression &e, const std::vector<SongRow> &rows) {
        Ids out;
        for (const SongRow &r : rows) {
            fields.current = &r;
            if (e.matches())
                out.push_back(r.id);
        }
        return out;
    }
};

int seeks(const QString &sql) {
    return int(sql.count(QStringLiteral(" >= ?")));
}

TEST_F(Seek, RangesOnlyOnTheKeysLeadingTextColumns) {
    const Expression::Key key{{"media", "filenumber"}, "TBKKEY"};
    struct Case {
        const char *filter;
        int seeks;
    };
    const Case cases[] = {
        {"MUS:Media = 'CD'", 1}, {"'CD' = MUS:Media", 1}, {"UPPER(MUS:Media) = UPPER('cd')", 1},
        {"MUS:Media = 'CD' AND MUS:FileNumber = 'F1'", 2},
        // A prefix range ends the seek: the next column is not in order within it.
        {"UPPER(MUS:Media) = 'CASSETTE' AND MUS:FileNumber = 'F1'", 1},
        {"MUS:FileNumber = 'F1'", 0}, {"MUS:Title = 'x'", 0},
        // Nothing the collation can narrow: numbers, other rows' columns, OR, other functions,
        // an UPPER text that begins with a fold-breaking upper case or a prefix without ASCII.
        {"MUS:Media = 120", 0}, {"MUS:Media = MUS:Title", 0}, {"MUS:Media = 'CD' OR MUS:BPM > 1", 0},
        {"LOWER(MUS:Media) = 'cd'", 0}, {"CLIP(MUS:Media) = 'CD'", 0}, {"MUS:Media <> 'CD'", 0},
        {"UPPER(MUS:Media) = 'ISDN'", 0}, {"UPPER(MUS:Media) = 'ÄI'", 0},
    };
    for (const Case &c : cases) {
        const Expression e = compile(QString::fromUtf8(c.filter));
        EXPECT_EQ(seeks(e.plan(key).where.sql), c.seeks) << c.filter << "\n  " << e.plan(key).where.sql.toStdString();
        EXPECT_EQ(seeks(e.plan().where.sql), 0) << c.filter;
        EXPECT_EQ(seeks(e.plan({{"media"}, "TBKKEY; DROP"}).where.sql), 0) << c.filter;
    }

    // The prefix before a dotless i's upper case, closed by the next character case-blind.
    const Expression::Plan prefix = compile("UPPER(MUS:Media) = 'MINIDISC'").plan(key);
    EXPECT_TRUE(prefix.where.sql.startsWith("(media >= ? COLLATE TBKKEY AND media < ? COLLATE TBKKEY)"))
        << prefix.where.sql.toStdString();
    ASSERT_GE(prefix.where.params.size(), 2u);
    EXPECT_EQ(prefix.where.params[0].text(), "M");
    EXPECT_EQ(prefix.where.params[1].text(), "n");
    const Expression::Plan whole = compile("MUS:Media = 'CD  '").plan(key);
    ASSERT_GE(whole.where.params.size(), 2u);
    EXPECT_EQ(whole.where.params[0].text(), "CD");
    EXPECT_EQ(whole.where.params[1].text(), "CD");
}

TEST_F(Seek, SameRowsAsTheEvaluatorForCaseBlanksLettersAndNumbers) {
    const QStringList artists = {
        "ABBA", "abba", "Abba  ", "Straße", "STRASSE", "strasse ", "ıstanbul", "Istanbul", "İstanbul",
        "\u212Aelvin", "kelvin", "ﬁne", "FINE", "ſun", "SUN", "Björk", "BJÖRK", "", "   ", "120",
        "120.0", " 120", "ǅemal", "ǄEMAL", "ꭰꭱ", "ᎠᎡ", "Ωmega", "ωMEGA", "MiniDisc", "MınıDısc"};
    std::vector<SongRow> rows;
    for (const QString &a : artists)
        rows.push_back(artistRow(qint64(rows.size()) + 1, a));
    const IndexedSongs songs(rows);

    QString value;
    window.bindText("V", &value);
    const char *const forms[] = {
        "MUS:Artist = V", "V = MUS:Artist", "UPPER(MUS:Artist) = UPPER(V)", "UPPER(MUS:Artist) = V",
        "(UPPER(MUS:Artist) = UPPER(V)) AND (MUS:BPM >= 0 AND MUS:Title <> 'x')",
        "(MUS:Artist = V) AND (LEN(MUS:Title) > 1)"};
    const QStringList values = {
        "abba", "ABBA  ", "STRASSE", "straße", "ISTANBUL", "ıstanbul", "KELVIN", "\u212AELVIN", "FINE",
        "ﬁne", "SUN", "ſun", "BJÖRK", "björk", "", "   ", "120", "120.0", "ǅEMAL", "ᎠᎡ", "ΩMEGA",
        "MINIDISC", "minidisc", "Nobody"};
    int sought = 0;
    for (const char *form : forms) {
        const Expression e = compile(QString::fromUtf8(form));
        for (const QString &v : values) {
            value = v;
            QString sql;
            EXPECT_EQ(songs.ids(e, byArtist, fields, &sql), evaluated(e, rows))
                << form << " with V = '" << v.toStdString() << "'\n  " << sql.toStdString();
            sought += seeks(sql) > 0;
            if (!QString::fromUtf8(form).contains("UPPER")) {
                EXPECT_EQ(seeks(sql), 1) << form;
            }
        }
    }
    EXPECT_GT(sought, int(values.size()) * 5);
    // A number against a text column compares numbers: no seek, the same rows.
    const Expression number = compile("MUS:Artist = 120");
    EXPECT_EQ(songs.ids(number, byArtist, fields), (Ids{20, 21, 22}));
    EXPECT_EQ(evaluated(number, rows), (Ids{20, 21, 22}));
}

// Every character whose upper case differs from it, alone and inside a text: UPPER(f) = its
// upper case finds each row the evaluator finds.
TEST_F(Seek, EveryCasedCharacterIsFoundByItsUpperCase) {
    std::vector<SongRow> rows;
    for (char32_t c = 0; c <= QChar::LastValidCodePoint; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString s = QString::fromUcs4(&c, 1);
        if (s.toUpper() == s)
            continue;
        rows.push_back(artistRow(qint64(rows.size()) + 1, s));
        rows.push_back(artistRow(qint64(rows.size()) + 1, "Z" + s + "z"));
    }
    for (const char *plain : {"SS", "ss", "I", "i", "FI", "ST", "ZSSz", "ZIz", "ZFIz"})
        rows.push_back(artistRow(qint64(rows.size()) + 1, plain));
    ASSERT_GT(rows.size(), 2000u);
    const IndexedSongs songs(rows);
    QHash<QString, Ids> byUpper;
    for (const SongRow &r : rows)
        byUpper[upperText(r.artist)].push_back(r.id);

    QString value;
    window.bindText("V", &value);
    const Expression e = compile("UPPER(MUS:Artist) = V");
    int failures = 0;
    for (auto it = byUpper.cbegin(); it != byUpper.cend() && failures < 10; ++it) {
        value = it.key();
        QString sql;
        const Ids got = songs.ids(e, byArtist, fields, &sql);
        if (got != it.value()) {
            ++failures;
            ADD_FAILURE() << "UPPER = " << value.toStdString() << ": " << got.size() << " rows, evaluator "
                          << it.value().size() << "\n  " << sql.toStdString();
        }
    }
}

// ---- On the real data files ----

class KeySeek : public testing::Test {
protected:
    void SetUp() override {
        for (data::DataFile *f : {static_cast<data::DataFile *>(&CF), static_cast<data::DataFile *>(&MUS)}) {
            ASSERT_TRUE(f->create()) << f->label().toStdString();
            ASSERT_TRUE(f->open()) << f->label().toStdString();
        }
        const struct {
            const char *artist, *title, *mix, *media;
        } songs[] = {
            {"ABBA", "Waterloo", "", "CD"},          {"abba", "Dancing Queen", "Live", "cd"},
            {"Björk", "Army of Me", "", "MiniDisc"},  {"BJÖRK", "Hyperballad", "Remix", "minidisc"},
            {"Straße", "Strasse", "live", "Cassette"}, {"STRASSE", "Road", "", "CASSETTE"},
            {"ıstanbul", "Night", "LIVE ", "MınıDısc"}, {"\u212Aelvin", "Sign", "", "\u212A7"},
            {"", "Untitled", "", ""},                  {"120", "Numbers", "", "120"},
            {"", "", "", "CD"},                        {"Zz", "Top", "Dub", "120.0"},
        };
        int id = 0;
        for (const auto &s : songs) {
            MUS.clear();
            MUS.ID = ++id;
            MUS.Artist = s.artist;
            MUS.Title = s.title;
            MUS.Mix = s.mix;
            MUS.Media = s.media;
            MUS.FileNumber = QStringLiteral("F%1").arg(id % 4);
            ASSERT_TRUE(MUS.add());
        }
        window.bindText("BRW1::Sort3:Reset:MED:Media", &value);
    }
    void TearDown() override {
        for (data::DataFile *f : data::DataFile::all())
            f->close();
    }

    struct Ran {
        QString sql, plan;
    };
    // Ids a view gives in one direction, and the statements it ran with their query plans.
    std::vector<int> read(ExprView &v, bool forward, std::vector<Ran> &plans) {
        sqlite3 *db = data::driver::db();
        QStringList statements;
        sqlite3_trace_v2(
            db, SQLITE_TRACE_STMT,
            [](unsigned, void *ctx, void *stmt, void *) {
                const QString sql = QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt *>(stmt)));
                auto *list = static_cast<QStringList *>(ctx);
                if (sql.contains("FROM ") && !list->contains(sql))
                    list->append(sql);
                return 0;
            },
            &statements);
        std::vector<int> out;
        v.set();
        while (forward ? v.next() : v.previous())
            out.push_back(MUS.ID.value());
        sqlite3_trace_v2(db, 0, nullptr, nullptr);
        for (const QString &sql : statements) {
            sqlite3_stmt *st = nullptr;
            EXPECT_EQ(sqlite3_prepare_v2(db, ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &st, nullptr),
                      SQLITE_OK);
            QStringList detail;
            while (sqlite3_step(st) == SQLITE_ROW)
                detail << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 3)));
            sqlite3_finalize(st);
            plans.push_back({sql, detail.join(" / ")});
        }
        return out;
    }

    std::vector<int> scanned(const QString &filter, const data::Key &key) {
        return scannedSongs(filter, key, window);
    }

    // Reads both ways; the rows are the scan's, and every statement reads through the key's
    // index without sorting, bounded by the filter's seek when `sought`.
    void expectSeek(const data::Key &key, const QString &filter, const QString &index, bool sought = true) {
        ExprView v(MUS, &key);
        v.setNames(&window);
        ASSERT_TRUE(v.setFilter(filter));
        ASSERT_TRUE(v.open());
        const std::string what = filter.toStdString() + " with '" + value.toStdString() + "'";
        std::vector<Ran> plans;
        const std::vector<int> expected = scanned(filter, key);
        EXPECT_EQ(read(v, true, plans), expected) << what;
        std::vector<int> backward = read(v, false, plans);
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, expected) << what;
        ASSERT_FALSE(plans.empty());
        const QRegularExpression cursor("\\)[<>]=?\\("), bound("\\w[<>]\\?");
        for (const auto &[sql, p] : plans) {
            const std::string shown = what + "\n  " + p.toStdString();
            EXPECT_TRUE(p.contains(".records USING INDEX " + index)) << shown;
            EXPECT_FALSE(p.contains("TEMP B-TREE")) << shown;
            // The seek's own bound; past the first row the cursor's (Media,...)>(?,...) bounds
            // the side it reads from, or each row read would start again at the seek.
            EXPECT_EQ(p.contains(bound), sought) << shown;
            EXPECT_EQ(p.contains(cursor), sql.contains(cursor)) << shown;
        }
    }

    QString value;
    VariableScope window;
};

TEST_F(KeySeek, TheMediaKeySeeksForTheSortFilterAlsoInsideABiggerFilter) {
    const QString sortFilters[] = {"UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)",
                                   "MUS:Media = BRW1::Sort3:Reset:MED:Media"};
    for (const QString &sort : sortFilters) {
        for (const char *media : {"cd", "CD  ", "minidisc", "MINIDISC", "cassette", "Laserdisc", "", "120",
                                  "120.0", "k7", "\u212A7"}) {
            value = QString::fromUtf8(media);
            expectSeek(MUS.SongsByMedia, sort, "k_songsbymedia");
            expectSeek(MUS.SongsByMedia, "(" + sort + ") AND (INSTRING('A', UPPER(MUS:Title), 1, 1) OR MUS:ID > 3)",
                       "k_songsbymedia");
        }
    }
    // A dotless i upper-cases to I: the seek holds it, the exact test passes it.
    value = "minidisc";
    EXPECT_EQ(scanned(sortFilters[0], MUS.SongsByMedia), (std::vector<int>{4, 3, 7}));
}

TEST_F(KeySeek, OtherKeysSeekOnTheirFirstFieldPartialKeysKeepTheirRows) {
    for (const char *artist : {"abba", "STRASSE", "björk", "ISTANBUL", "KELVIN", ""}) {
        value = QString::fromUtf8(artist);
        // UPPER texts that begin with what a ligature (ST) or a dotless i upper-cases to: no seek.
        expectSeek(MUS.SongsByArtist, "UPPER(MUS:Artist) = UPPER(BRW1::Sort3:Reset:MED:Media)", "k_songsbyartist",
                   !value.startsWith("ST") && !value.startsWith("I"));
        expectSeek(MUS.SongsByArtist, "MUS:Artist = BRW1::Sort3:Reset:MED:Media", "k_songsbyartist");
    }
    // KEYMIX leaves out records whose mix, title and artist are all blank.
    for (const char *mix : {"live", "LIVE", "", "Dub"}) {
        value = QString::fromUtf8(mix);
        expectSeek(MUS.KEYMIX, "UPPER(MUS:Mix) = UPPER(BRW1::Sort3:Reset:MED:Media)", "k_keymix");
        expectSeek(MUS.KEYMIX, "(MUS:Mix = BRW1::Sort3:Reset:MED:Media) AND (MUS:Media <> 'x')", "k_keymix");
    }
    value = "";
    EXPECT_EQ(scanned("MUS:Mix = BRW1::Sort3:Reset:MED:Media", MUS.KEYMIX), (std::vector<int>{3, 10, 6, 8, 9, 1}));

    // A filter on a field that does not lead the view's key gives SQLite no seek.
    value = "cd";
    ExprView v(MUS, &MUS.SongsByArtist);
    v.setNames(&window);
    ASSERT_TRUE(v.setFilter("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)"));
    ASSERT_TRUE(v.open());
    std::vector<Ran> plans;
    EXPECT_EQ(read(v, true, plans), scanned(v.filterText(), MUS.SongsByArtist));
    for (const Ran &r : plans)
        EXPECT_FALSE(r.plan.contains("k_songsbymedia") || r.plan.contains("TEMP B-TREE")) << r.plan.toStdString();
}

} // namespace
} // namespace tbk::expr::test
