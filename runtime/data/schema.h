#pragma once
// SQL text for a file structure (internal). Only declared names, checked to be identifiers,
// enter the text; every value is bound.
//
// A disk file holds the table "records" (hidden columns _rid, the position, and _ver, the
// version that detects a record changed elsewhere), one index "k_<key>" per key (partial for
// keys that exclude blanks), "tbk_meta" with the registration, layout and structure, and
// "tbk_count", the number of records in one row, kept by triggers on "records": so every
// connection in any process keeps it, and a rollback takes it back with the rows.
#include "runtime/data/declaration.h"

#include <QString>
#include <QStringList>

struct sqlite3;

namespace tbk::data::schema {

QString column(const FieldDecl &f);                       // "Artist" quoted
QString columnList(const FileStructure &s);               // all field and memo columns
QString columnDef(const FieldDecl &f);
QStringList createTable(const FileStructure &s, const QString &alias, const QString &table);
QString createIndex(const FileStructure &s, const QString &alias, const KeyDecl &k);
// The condition that keeps a record in a key that excludes blanks ("" for other keys).
QString inKeyCondition(const FileStructure &s, const KeyDecl &k);
// Records registration, layout, structure and owner in the file; SQLite's result code.
int writeMeta(sqlite3 *db, const FileStructure &s, const QString &alias);
QString indexName(const KeyDecl &k);

// (Re)makes the count and its triggers on the table "records" as it is now, and counts the
// rows once: after anything that makes the table anew, inside its transaction.
QStringList keepCount(const QString &alias);
// The names keepCount() makes in the file's schema (the table and its two triggers).
QStringList countObjects();

// The structure as text (the ".dex" example file and the copy kept inside each file), and back.
QString exampleText(const FileStructure &s);
bool parseExample(const QString &text, FileStructure &out, QString *error);

} // namespace tbk::data::schema
