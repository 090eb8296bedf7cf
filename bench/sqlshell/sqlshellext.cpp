// An extension for the sqlite3 shell (".load <this library>"): the collation of the data files'
// text keys and the functions filters compile to, so that the shell can run the statements the
// program runs on a catalogue.
#include "runtime/data/driver.h"
#include "runtime/expr/sqlfunctions.h"

// The shell links the same SQLite library as this module: the calls need no routine table.
extern "C" int sqlite3_tbkshell_init(sqlite3 *db, char **, const void *) {
    tbk::data::registerCollation(db);
    return tbk::expr::registerSqlFunctions(db);
}
