#pragma once
// A small song table held twice: as rows in memory (read through bindings, as the record
// buffer would be) and as an SQLite table, so that both evaluation paths can be compared.
#include "runtime/expr/binding.h"

#include <QString>

#include <vector>

struct sqlite3;

namespace tbk::data {
class Key;
}

namespace tbk::expr::test {

// Ids of the songs of the real songs file that pass the filter in a plain scan by the key,
// evaluated without SQL (fields of MUS, then `names`).
std::vector<int> scannedSongs(const QString &filter, const data::Key &key, const Resolver &names);

struct SongRow {
    qint64 id = 0;
    QString artist, title, media, fileNumber, notes;
    double bpm = 0, categoryId = 0;
};

std::vector<SongRow> sampleSongs();

// MUS: fields of the current row. With sqlColumns off, the fields cannot be read in SQL.
class SongFields : public Resolver {
public:
    const SongRow *current = nullptr;
    bool sqlColumns = true;
    QStringList notInSql; // fields (upper case) that have no column
    std::optional<Binding> resolve(const QString &name) const override;
};

// An in-memory database with the songs in table "songs" and the SQL functions registered.
class SongDatabase {
public:
    explicit SongDatabase(const std::vector<SongRow> &rows);
    ~SongDatabase();
    sqlite3 *db() const { return db_; }
    // Ids of the rows the statement "SELECT id FROM songs [WHERE ..] [ORDER BY ..]" returns.
    std::vector<qint64> ids(const QString &where, const std::vector<Value> &whereParams,
                            const QString &orderBy = QString(),
                            const std::vector<Value> &orderParams = {}) const;

private:
    sqlite3 *db_ = nullptr;
};

} // namespace tbk::expr::test
