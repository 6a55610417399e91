#pragma once
#include <sqlite3.h>

namespace dao::detail {

// The program's collation of text: letter case and accents aside, in the
// order people read titles (see vb::CompareLetters). Queries name it where
// they sort or compare text; stored indexes use SQLite's own NOCASE.
inline constexpr const char* kTextCollation = "TVNTEXT";

// Registers the dialect's functions (tvn_instr, tvn_ucase, ..., like) and
// the TVNTEXT collation on a connection.
int RegisterFunctions(sqlite3* db);

// The TVNTEXT collation's comparison of two UTF-8 texts.
int TextCompare(const char* a, int la, const char* b, int lb);

}  // namespace dao::detail
