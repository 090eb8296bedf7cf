// Filters over bound fields and variables, and the SQL path giving the rows the evaluator gives.
#include "songfixture.h"

#include "runtime/expr/compile.h"
#include "runtime/values/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tbk::expr::test {
namespace {

std::vector<qint64> evaluatorIds(const Expression &e, SongFields &fields,
                                 const std::vector<SongRow> &rows) {
    std::vector<qint64> ids;
    for (const SongRow &r : rows) {
        fields.current = &r;
        if (e.matches())
            ids.push_back(r.id);
    }
    return ids;
}

// SQLite's rows, then the conditions it could not take checked row by row.
std::vector<qint64> sqlIds(const Expression &e, SongFields &fields, const std::vector<SongRow> &rows,
                           const SongDatabase &db, const Expression::Plan &plan) {
    std::vector<qint64> ids;
    for (qint64 id : db.ids(plan.where.sql, plan.where.params)) {
        fields.current = &*std::find_if(rows.begin(), rows.end(), [id](const SongRow &r) { return r.id == id; });
        if (Expression::residueMatches(plan))
            ids.push_back(id);
    }
    (void)e;
    return ids;
}

class Filters : public testing::Test {
protected:
    std::vector<SongRow> rows = sampleSongs();
    SongFields fields;
    VariableScope window;
    ResolverChain names{&fields, &window};

    Expression compile(const QString &text) {
        std::optional<Error> error;
        Expression e = Expression::compile(text, names, error);
        EXPECT_FALSE(error) << text.toStdString() << ": "
                            << (error ? describe(*error).toStdString() : std::string());
        return e;
    }
    std::vector<qint64> matching(const QString &text) {
        return evaluatorIds(compile(text), fields, rows);
    }
};

using Ids = std::vector<qint64>;

TEST_F(Filters, BrowseResetFieldsFollowTheirVariables) {
    QString media = "cd";
    qint32 category = 1;
    window.bindText("BRW1::Sort3:Reset:MED:Media", &media);
    window.bindNumber("BRW1::Sort4:Reset:CAT:CategoryID", &category);

    const Expression byMedia = compile("UPPER(MUS:Media) = UPPER(BRW1::Sort3:Reset:MED:Media)");
    EXPECT_EQ(evaluatorIds(byMedia, fields, rows), (Ids{1, 2, 5, 7}));
    media = "Vinyl";
    EXPECT_EQ(evaluatorIds(byMedia, fields, rows), (Ids{3, 9}));

    EXPECT_EQ(matching("MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID"), (Ids{1, 2, 10}));
    // The sort filter and the query filter joined as the browse joins them.
    EXPECT_EQ(matching("(mus:categoryid = brw1::sort4:reset:cat:categoryid) AND "
                       "(INSTRING('QUEEN', UPPER(MUS:Title), 1, 1))"),
              (Ids{2}));
    category = 2;
    EXPECT_EQ(matching("(MUS:CategoryID = BRW1::Sort4:Reset:CAT:CategoryID) AND (MUS:BPM > 0)"), (Ids{3}));
}

TEST_F(Filters, AnotherFilesFieldIsOneValueForThePass) {
    qint32 playlist = 3;
    const auto id = window.bindNumber("PLD:PlaylistID", &playlist);
    EXPECT_EQ(matching("MUS:CategoryID = PLD:PlaylistID"), (Ids{5, 7}));
    window.unbind(id);
    std::optional<Error> error;
    Expression::compile("MUS:CategoryID = PLD:PlaylistID", names, error);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, "Unknown name PLD:PlaylistID");
}

TEST_F(Filters, EachWindowSeesItsOwnThreadInstance) {
    VariableScope wizard1, wizard2;
    qint32 instance1 = 1, instance2 = 2;
    wizard1.bindNumber("ThreadInstance", &instance1);
    wizard2.bindNumber("ThreadInstance", &instance2);
    std::optional<Error> error;
    ResolverChain names1{&fields, &wizard1}, names2{&fields, &wizard2};
    const Expression f1 = Expression::compile("(MUS:CategoryID=ThreadInstance)", names1, error);
    const Expression f2 = Expression::compile("(MUS:CategoryID=ThreadInstance)", names2, error);
    EXPECT_EQ(evaluatorIds(f1, fields, rows), (Ids{1, 2, 10}));
    EXPECT_EQ(evaluatorIds(f2, fields, rows), (Ids{3, 4}));
}

TEST_F(Filters, LaterBindingHidesEarlierUntilReleased) {
    qint32 a = 1, b = 2;
    const auto first = window.bindNumber("X", &a);
    {
        BoundNames run(window);
        run.add(window.bindNumber("x", &b));
        EXPECT_EQ(compile("X").evaluate().number(), 2);
    }
    EXPECT_EQ(compile("X").evaluate().number(), 1);
    window.unbind(first);
    EXPECT_FALSE(window.isBound("X"));
    // The program scope comes last in a chain, below the window's own names.
    qint32 global = 7;
    const auto g = programScope().bindNumber("SelectedOrAllCount", &global);
    ResolverChain chain{&fields, &window, &programScope()};
    std::optional<Error> error;
    EXPECT_EQ(Expression::compile("SelectedOrAllCount + 1", chain, error).evaluate().number(), 8);
    programScope().unbind(g);
}

TEST_F(Filters, ReportSelectionTestAsTheReportsWriteIt) {
    QString selection = "da";
    window.bindText("ReportSelection", &selection);
    EXPECT_EQ(matching("UPPER(CLIP(ReportSelection)) = SUB(UPPER(MUS:Title), 1, LEN(CLIP(ReportSelection)))"),
              (Ids{2}));
}

TEST_F(Filters, BenchmarkFilterAndCaseSensitiveEquality) {
    EXPECT_EQ(matching("UPPER(MUS:Artist) = 'ABBA' AND MUS:BPM > 120"), (Ids{1, 10}));
    EXPECT_EQ(matching("MUS:Artist = 'ABBA'"), (Ids{1, 10}));
    EXPECT_EQ(matching("MUS:Artist = 'abba'"), (Ids{2}));
    EXPECT_EQ(matching("MUS:FileNumber = 120"), (Ids{1, 10}));
    EXPECT_EQ(matching("MUS:FileNumber = '120'"), (Ids{1}));
}

// Filters whose SQL must give exactly the evaluator's rows.
const char *const kFilters[] = {
    "MUS:Artist = 'ABBA'", "MUS:Artist = 'ABBA   '", "UPPER(MUS:Artist) = 'ABBA'",
    "UPPER(MUS:Artist) = 'abba'", "MUS:Artist < 'B'", "MUS:Artist >= 'Z'", "MUS:Artist > 'Zz'",
    "MUS:Artist <> ''", "MUS:FileNumber = 120", "MUS:FileNumber > 10", "MUS:FileNumber < 10",
    "MUS:FileNumber = '120'", "MUS:BPM = '120'", "MUS:BPM = ' 121 '", "MUS:BPM > 'abc'",
    "MUS:BPM < 'abc'", "MUS:BPM = MUS:FileNumber", "MUS:FileNumber = MUS:ID * 10 + 20",
    "MUS:BPM > 120 AND MUS:CategoryID = 1", "MUS:BPM > 120 OR NOT MUS:CategoryID", "MUS:Notes",
    "NOT MUS:Notes", "MUS:BPM", "MUS:Artist", "MUS:BPM / 2 > 60", "MUS:BPM % 2 = 1",
    "MUS:BPM / 0 = 0", "-MUS:BPM < -120", "MUS:BPM * 2 + 1 > 241",
    "MUS:Artist & MUS:Title = 'ABBAWaterloo'", "MUS:Artist & '   ' = 'ABBA'",
    "LEN(MUS:Artist & '  ') = 6", "LEN(MUS:Notes) > 5", "SUB(MUS:Title, 1, 3) = 'Dan'",
    "SUB(MUS:Title, -5, 5) = 'Queen'", "SUB(MUS:Title, 1, 4) = 'Army '",
    "INSTRING('a', MUS:Title) > 0", "INSTRING('a', LOWER(MUS:Title), 1, 1)",
    "CLIP(MUS:Artist) = ''", "ABS(MUS:FileNumber) = 5", "UPPER(MUS:Notes) = 'STRASSE'",
    "LOWER(MUS:Artist) = 'björk'", "UPPER(MUS:Artist) = 'BJÖRK'", "MUS:Artist = 'O''Connor'",
    "MUS:Title > 'Ω'", "MUS:Title < 'Ω'", "MUS:Artist = '''; DROP TABLE songs; --'",
    "MUS:ID % 3 = 0 OR MUS:Media = ''", "MUS:Media ~= 'CD'", "1 = 1", "1 = 0",
    "MUS:Artist = MUS:Artist", "MUS:Artist & 1 = 'ABBA1'", "MUS:FileNumber + 1 > 100",
    "UPPER(MUS:Media) = UPPER('cd') AND (MUS:BPM >= 100 OR MUS:Title ~< 'S')",
    "MUS:Notes = '日本語'", "INSTRING('ß', MUS:Notes)", "MUS:FileNumber", "NOT (MUS:BPM ~> 120)",
    "MUS:FileNumber = ''", "MUS:BPM = 99.5", "SUB(MUS:Artist, 1, 1) = '_'",
    "(MUS:CategoryID = 1) AND (MUS:Artist = 'ABBA') AND (MUS:Title <> 'SOS')",
};

class SqlAndEvaluator : public Filters, public testing::WithParamInterface<const char *> {};

TEST_P(SqlAndEvaluator, GiveTheSameRows) {
    const SongDatabase db(rows);
    const QString text = QString::fromUtf8(GetParam());
    const Expression e = compile(text);
    const Ids expected = evaluatorIds(e, fields, rows);

    const Expression::Plan all = e.plan();
    EXPECT_FALSE(all.hasResidue()) << "not all in SQL: " << GetParam();
    EXPECT_EQ(sqlIds(e, fields, rows, db, all), expected) << GetParam() << "\n  SQL: " << all.where.sql.toStdString();

    // Notes without a column: the conditions on them are left to the row check.
    fields.notInSql = {"MUS:NOTES"};
    const Expression split = compile(text);
    const Expression::Plan part = split.plan();
    EXPECT_EQ(sqlIds(split, fields, rows, db, part), expected) << GetParam();
    EXPECT_EQ(part.hasResidue(), text.contains("Notes")) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Table, SqlAndEvaluator, testing::ValuesIn(kFilters));

TEST_F(Filters, UserTextOnlyEverReachesSqlAsParameters) {
    QString media = "CD' OR 1=1 --";
    window.bindText("BRW1::Sort3:Reset:MED:Media", &media);
    const Expression e = compile("MUS:Media = BRW1::Sort3:Reset:MED:Media AND MUS:Title <> 'x'' OR ''1'");
    const Expression::Plan p = e.plan();
    EXPECT_FALSE(p.where.sql.contains("OR 1=1"));
    EXPECT_FALSE(p.where.sql.contains('\''));
    ASSERT_EQ(p.where.params.size(), 2u);
    EXPECT_EQ(p.where.params[0].text(), media);
    EXPECT_EQ(p.where.params[1].text(), "x' OR '1");
    const SongDatabase db(rows);
    EXPECT_TRUE(db.ids(p.where.sql, p.where.params).empty());
}

TEST_F(Filters, SplitsAtTopLevelAndOnly) {
    fields.notInSql = {"MUS:NOTES"};
    const Expression e = compile("MUS:BPM > 120 AND (MUS:Notes OR MUS:CategoryID = 4) AND MUS:ID < 10");
    const Expression::Plan p = e.plan();
    EXPECT_EQ(p.residue.size(), 1u);
    EXPECT_EQ(p.where.params.size(), 2u);
    const SongDatabase db(rows);
    EXPECT_EQ(sqlIds(e, fields, rows, db, p), (Ids{6, 9}));
}

TEST_F(Filters, DeepNestingStaysOutOfSqlWhileLongChainsGoIn) {
    const SongDatabase db(rows);
    QString chain = "MUS:ID = 0";
    for (int i = 1; i < 60; ++i)
        chain += QStringLiteral(" OR MUS:ID = %1").arg(i % 3 ? i : 100);
    QString nested = "MUS:BPM";
    for (int i = 0; i < 20; ++i)
        nested = "(-" + nested + ")";
    nested += " = MUS:BPM";   // an even number of minus signs
    for (const QString &text : {chain, nested, QString("MUS:Title <> '' AND " + nested)}) {
        const Expression e = compile(text);
        const Expression::Plan p = e.plan();
        EXPECT_EQ(sqlIds(e, fields, rows, db, p), evaluatorIds(e, fields, rows)) << text.toStdString();
        EXPECT_EQ(p.hasResidue(), text.contains("(-")) << text.toStdString();
    }
}

// Orders: SQLite's order (ties broken by id) equals a stable sort in memory.
class Orders : public Filters, public testing::WithParamInterface<const char *> {};

TEST_P(Orders, SqlAndMemoryAgree) {
    const SongDatabase db(rows);
    SqlDialect dialect;
    dialect.caseBlindCollation = "TBKKEY";
    dialect.caseBlindCompare = [](const QString &a, const QString &b) {
        return compareText(a, b, Qt::CaseInsensitive);
    };
    std::optional<Error> error;
    const Order order = Order::compile(QString::fromUtf8(GetParam()), names, error);
    ASSERT_FALSE(error);
    const std::optional<SqlFragment> sql = order.sql(dialect);
    ASSERT_TRUE(sql);
    const Ids fromSql = db.ids(QString(), {}, sql->sql, sql->params);

    std::vector<std::pair<std::vector<Value>, qint64>> keyed;
    for (const SongRow &r : rows) {
        fields.current = &r;
        keyed.emplace_back(order.keyOfCurrentRow(), r.id);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto &a, const auto &b) {
        return order.compare(a.first, b.first, dialect) < 0;
    });
    Ids inMemory;
    for (const auto &k : keyed)
        inMemory.push_back(k.second);
    EXPECT_EQ(fromSql, inMemory) << GetParam() << "\n  SQL: " << sql->sql.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, Orders, testing::Values(
    "UPPER(MUS:Artist)", "-UPPER(MUS:Artist), MUS:Title", "MUS:BPM", "-MUS:BPM, MUS:Title",
    "MUS:Title", "MUS:FileNumber", "LEN(MUS:Title)", "MUS:BPM % 7, -MUS:ID",
    "LOWER(MUS:Title)", "UPPER(MUS:BPM)", "SUB(MUS:Title, 2, 3)"));

TEST_F(Filters, OrderNeedsTheCollationAndColumnsForSql) {
    std::optional<Error> error;
    const Order order = Order::compile("UPPER(MUS:Artist)", names, error);
    ASSERT_FALSE(error);
    EXPECT_FALSE(order.sql(SqlDialect{}));
    EXPECT_FALSE(order.sql(SqlDialect{"KEY; DROP", {}}));
    const auto s = order.sql(SqlDialect{"TBKKEY", {}});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->sql, "artist COLLATE TBKKEY");

    fields.sqlColumns = false;
    const Order noColumns = Order::compile("-MUS:BPM", names, error);
    EXPECT_FALSE(noColumns.sql(SqlDialect{"TBKKEY", {}}));

    Order::compile("UPPER(MUS:Artist), NoSuch", names, error);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message, "Unknown name NoSuch");
    EXPECT_TRUE(Order::compile("  ", names, error).isEmpty());
    EXPECT_FALSE(error);
}

} // namespace
} // namespace tbk::expr::test
