#pragma once
#include <sqlite3.h>

namespace dao::detail {

// Registers the dialect's functions (tvn_instr, tvn_ucase, ..., like) and
// the Unicode-aware NOCASE collation on a connection.
int RegisterFunctions(sqlite3* db);

// The NOCASE collation's comparison of two UTF-8 texts.
int NoCaseCompare(const char* a, int la, const char* b, int lb);

}  // namespace dao::detail
