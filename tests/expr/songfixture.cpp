#include "songfixture.h"

#include "core/datafiles.h"
#include "runtime/expr/compile.h"
#include "runtime/expr/fieldnames.h"
#include "runtime/expr/sqlfunctions.h"
#include "runtime/values/text.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tbk::expr::test {

std::vector<SongRow> sampleSongs() {
    return {
        {1, "ABBA", "Waterloo", "CD", "120", "", 147, 1},
        {2, "abba", "Dancing Queen", "cd", "12a", "live at Wembley", 100, 1},
        {3, "Björk", "Army of Me", "Vinyl", "", "", 121, 2},
        {4, "björk", "Hyperballad", "CASSETTE", "007", "O'Neill's notes", 0, 2},
        {5, "O'Connor", "Nothing Compares", "CD", "7", "", 120, 3},
        {6, "Zz Top", "La Grange", "MiniDisc", "x1", "straße", 125, 0},
        {7, "_Under", "Score", "CD", "1e2", "", 99.5, 3},
        {8, "", "Untitled", "", "", "", 0, 0},
        {9, "Ævum", "Ωmega", "Vinyl", "-5", "日本語", 200, 4},
        {10, "ABBA", "SOS", "DAT", "120.0", "", 121, 1},
    };
}

std::vector<int> scannedSongs(const QString &filter, const data::Key &key, const Resolver &names) {
    const DeclaredFields fields;
    const ResolverChain chain{&fields, &names};
    std::optional<Error> error;
    const Expression e = Expression::compile(filter, chain, error);
    EXPECT_FALSE(error) << filter.toStdString();
    std::vector<int> out;
    MUS.set(key);
    while (MUS.next())
        if (e.matches())
            out.push_back(MUS.ID.value());
    return out;
}

std::optional<Binding> SongFields::resolve(const QString &name) const {
    const QString n = name.toUpper();
    Binding b;
    b.perRow = true;
    auto text = [&](QString SongRow::*m, const char *col) {
        b.type = Type::Text;
        b.get = [this, m] { return Value(current->*m); };
        b.sqlColumn = QLatin1String(col);
    };
    auto number = [&](double SongRow::*m, const char *col) {
        b.type = Type::Number;
        b.get = [this, m] { return Value(current->*m); };
        b.sqlColumn = QLatin1String(col);
    };
    if (n == QLatin1String("MUS:ARTIST")) text(&SongRow::artist, "artist");
    else if (n == QLatin1String("MUS:TITLE")) text(&SongRow::title, "title");
    else if (n == QLatin1String("MUS:MEDIA")) text(&SongRow::media, "media");
    else if (n == QLatin1String("MUS:FILENUMBER")) text(&SongRow::fileNumber, "filenumber");
    else if (n == QLatin1String("MUS:NOTES")) text(&SongRow::notes, "notes");
    else if (n == QLatin1String("MUS:BEATSPERMINUTE") || n == QLatin1String("MUS:BPM")) number(&SongRow::bpm, "bpm");
    else if (n == QLatin1String("MUS:CATEGORYID")) number(&SongRow::categoryId, "categoryid");
    else if (n == QLatin1String("MUS:ID")) {
        b.type = Type::Number;
        b.get = [this] { return Value(double(current->id)); };
        b.sqlColumn = QStringLiteral("id");
    } else
        return std::nullopt;
    if (!sqlColumns || notInSql.contains(n))
        b.sqlColumn.clear();
    return b;
}

namespace {
// Stand-in for the driver's key collation: case and trailing blanks ignored.
int caseBlind(void *, int na, const void *a, int nb, const void *b) {
    return compareText(QString::fromUtf8(static_cast<const char *>(a), na),
                       QString::fromUtf8(static_cast<const char *>(b), nb), Qt::CaseInsensitive);
}
} // namespace

SongDatabase::SongDatabase(const std::vector<SongRow> &rows) {
    EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
    EXPECT_EQ(registerSqlFunctions(db_), SQLITE_OK);
    EXPECT_EQ(sqlite3_create_collation(db_, "TBKKEY", SQLITE_UTF8, nullptr, caseBlind), SQLITE_OK);
    // Text columns carry the key collation, as the driver's do: filters must not pick it up.
    EXPECT_EQ(sqlite3_exec(db_,
                           "CREATE TABLE songs(id INTEGER PRIMARY KEY, artist TEXT COLLATE TBKKEY,"
                           " title TEXT COLLATE TBKKEY, media TEXT COLLATE TBKKEY,"
                           " filenumber TEXT COLLATE TBKKEY, notes TEXT, bpm INTEGER,"
                           " categoryid INTEGER)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO songs VALUES(?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    for (const SongRow &r : rows) {
        sqlite3_reset(st);
        bindParams(st, 1, {Value(double(r.id)), r.artist, r.title, r.media, r.fileNumber, r.notes,
                           Value(r.bpm), Value(r.categoryId)});
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
    }
    sqlite3_finalize(st);
}

SongDatabase::~SongDatabase() {
    sqlite3_close(db_);
}

std::vector<qint64> SongDatabase::ids(const QString &where, const std::vector<Value> &whereParams,
                                      const QString &orderBy,
                                      const std::vector<Value> &orderParams) const {
    QString sql = QStringLiteral("SELECT id FROM songs");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    if (!orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + orderBy + QStringLiteral(", id");
    sqlite3_stmt *st = nullptr;
    std::vector<qint64> out;
    const int rc = sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr);
    EXPECT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db_) << " in " << sql.toStdString();
    if (rc != SQLITE_OK)
        return out;
    bindParams(st, 1, whereParams);
    bindParams(st, 1 + int(whereParams.size()), orderParams);
    int step;
    while ((step = sqlite3_step(st)) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(st, 0));
    EXPECT_EQ(step, SQLITE_DONE) << sqlite3_errmsg(db_) << " in " << sql.toStdString();
    sqlite3_finalize(st);
    return out;
}

} // namespace tbk::expr::test
