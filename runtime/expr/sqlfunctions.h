#pragma once
// The SQL side of the expression language: the functions that SQL made by compile.h calls,
// registered on a connection, and the binding of a fragment's parameters.
#include "runtime/expr/value.h"

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tbk::expr {

// Registers tbk_upper, tbk_lower, tbk_clip, tbk_len, tbk_sub, tbk_instring, tbk_abs,
// tbk_num, tbk_text, tbk_cmp, tbk_div and tbk_mod. Returns an SQLite result code.
int registerSqlFunctions(sqlite3 *db);

// Binds values to the parameters first, first + 1, ... Returns an SQLite result code.
int bindParams(sqlite3_stmt *stmt, int first, const std::vector<Value> &params);

} // namespace tbk::expr
