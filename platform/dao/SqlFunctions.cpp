// The functions of the SQL dialect and the letter-aware TVNTEXT collation,
// registered on every connection the layer opens.
#include "platform/dao/SqlFunctions.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "platform/dao/Convert.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace dao::detail {
namespace {

// Letter case and accents aside, as people read (vb::CompareLetters).
int TextCollateOrThrow(int la, const void* pa, int lb, const void* pb) {
  const unsigned char* a = static_cast<const unsigned char*>(pa);
  const unsigned char* b = static_cast<const unsigned char*>(pb);
  int n = la < lb ? la : lb;
  // Plain ASCII compares in place; the first non-ASCII byte hands the
  // rest to the letter-aware comparison (both sides are at a character
  // start, and an ASCII letter is its own base letter).
  for (int i = 0; i < n; ++i) {
    unsigned char x = a[i], y = b[i];
    if ((x | y) & 0x80)
      return vb::CompareLetters(std::string_view(reinterpret_cast<const char*>(a + i), static_cast<size_t>(la - i)),
                               std::string_view(reinterpret_cast<const char*>(b + i), static_cast<size_t>(lb - i)));
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return la == lb ? 0 : (la < lb ? -1 : 1);
}

// The engine calls the collation from its C code, which an exception must
// not unwind (the statement would stay half run, its lock held), and a
// collation has no way to report an error: when the letter-aware
// comparison cannot run (no memory), the bytes decide, which is still a
// consistent order.
int TextCollate(void*, int la, const void* pa, int lb, const void* pb) {
  try {
    return TextCollateOrThrow(la, pa, lb, pb);
  } catch (...) {
    const int c = std::memcmp(pa, pb, static_cast<size_t>(la < lb ? la : lb));
    if (c != 0) return c < 0 ? -1 : 1;
    return la == lb ? 0 : (la < lb ? -1 : 1);
  }
}

bool IsNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

// The text of a value as the dialect joins and compares it.
std::string ArgText(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return "";
    case SQLITE_FLOAT: return NumberText(sqlite3_value_double(v));
    default: {
      const unsigned char* t = sqlite3_value_text(v);
      return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_value_bytes(v))) : "";
    }
  }
}

void ResultText(sqlite3_context* c, const std::string& s) {
  sqlite3_result_text(c, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Returns true (having set Null) when any argument is Null.
bool NullIn(sqlite3_context* c, int argc, sqlite3_value** v) {
  for (int i = 0; i < argc; ++i)
    if (IsNull(v[i])) {
      sqlite3_result_null(c);
      return true;
    }
  return false;
}

vb::Variant ArgVariant(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL: return vb::Variant::Null();
    case SQLITE_INTEGER: {
      sqlite3_int64 i = sqlite3_value_int64(v);
      if (i >= INT32_MIN && i <= INT32_MAX) return vb::Variant::Long(static_cast<std::int32_t>(i));
      return vb::Variant(static_cast<double>(i));
    }
    case SQLITE_FLOAT: return vb::Variant(sqlite3_value_double(v));
    default: return vb::Variant(ArgText(v));
  }
}

bool ArgSerial(sqlite3_value* v, double& serial) {
  int t = sqlite3_value_type(v);
  if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
    serial = sqlite3_value_double(v);
    return true;
  }
  return SerialFromUserText(ArgText(v), serial);
}

std::u32string Chars(const std::string& s) { return vb::DecodeUtf8(s); }

void FnInstr(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  long start = 1;
  int k = 0;
  if (argc == 3) {
    start = static_cast<long>(sqlite3_value_int64(v[0]));
    k = 1;
  }
  if (start < 1) {
    sqlite3_result_error(c, "Invalid procedure call or argument", -1);
    return;
  }
  std::u32string s = Chars(vb::UpperCase(ArgText(v[k])));
  std::u32string f = Chars(vb::UpperCase(ArgText(v[k + 1])));
  if (static_cast<size_t>(start) > s.size() + (f.empty() ? 1 : 0)) {
    sqlite3_result_int(c, 0);
    return;
  }
  size_t p = s.find(f, static_cast<size_t>(start - 1));
  sqlite3_result_int64(c, p == std::u32string::npos ? 0 : static_cast<sqlite3_int64>(p + 1));
}

void FnUcase(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (!NullIn(c, argc, v)) ResultText(c, vb::UpperCase(ArgText(v[0])));
}
void FnLcase(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (!NullIn(c, argc, v)) ResultText(c, vb::LowerCase(ArgText(v[0])));
}

// Byte offset of character n (0-based) in s, or s.size().
size_t CharOffset(const std::string& s, long n) {
  size_t i = 0;
  while (i < s.size() && n > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --n;
  }
  return i;
}

bool BadLength(sqlite3_context* c, long n) {
  if (n >= 0) return false;
  sqlite3_result_error(c, "Invalid procedure call or argument", -1);
  return true;
}

void FnLeft(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  long n = static_cast<long>(sqlite3_value_int64(v[1]));
  if (BadLength(c, n)) return;
  std::string s = ArgText(v[0]);
  ResultText(c, s.substr(0, CharOffset(s, n)));
}
void FnRight(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  long n = static_cast<long>(sqlite3_value_int64(v[1]));
  if (BadLength(c, n)) return;
  std::string s = ArgText(v[0]);
  long len = static_cast<long>(CharCount(s));
  ResultText(c, n >= len ? s : s.substr(CharOffset(s, len - n)));
}
void FnMid(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (IsNull(v[0])) { sqlite3_result_null(c); return; }
  long start = static_cast<long>(sqlite3_value_int64(v[1]));
  long n = argc == 3 ? static_cast<long>(sqlite3_value_int64(v[2])) : -1;
  if (start < 1 || (argc == 3 && BadLength(c, n))) {
    if (start < 1) sqlite3_result_error(c, "Invalid procedure call or argument", -1);
    return;
  }
  std::string s = ArgText(v[0]);
  size_t b = CharOffset(s, start - 1);
  size_t e = n < 0 ? s.size() : b + CharOffset(s.substr(b), n);
  ResultText(c, s.substr(b, e - b));
}
void FnLen(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (!NullIn(c, argc, v)) sqlite3_result_int64(c, static_cast<sqlite3_int64>(CharCount(ArgText(v[0]))));
}

template <bool L, bool R>
void FnTrim(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  std::string s = ArgText(v[0]);
  size_t b = 0, e = s.size();
  if (L) while (b < e && s[b] == ' ') ++b;
  if (R) while (e > b && s[e - 1] == ' ') --e;
  ResultText(c, s.substr(b, e - b));
}

void FnFormat(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (IsNull(v[0])) { sqlite3_result_null(c); return; }
  ResultText(c, FormatValue(ArgVariant(v[0]), argc > 1 ? ArgText(v[1]) : std::string()));
}

template <int Part>
void FnDatePart(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  double serial;
  if (!ArgSerial(v[0], serial)) {
    sqlite3_result_error(c, "Data type mismatch in criteria expression.", -1);
    return;
  }
  int y, m, d, h, mi, s;
  PartsFromSerial(serial, y, m, d, h, mi, s);
  sqlite3_result_int(c, Part == 0 ? y : Part == 1 ? m : d);
}

void FnIsNull(sqlite3_context* c, int, sqlite3_value** v) { sqlite3_result_int(c, IsNull(v[0]) ? -1 : 0); }

void FnIsNumeric(sqlite3_context* c, int, sqlite3_value** v) {
  int t = sqlite3_value_type(v[0]);
  double d;
  bool yes = t == SQLITE_INTEGER || t == SQLITE_FLOAT || (t == SQLITE_TEXT && ParseNumber(ArgText(v[0]), d));
  sqlite3_result_int(c, yes ? -1 : 0);
}

void FnStr(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (NullIn(c, argc, v)) return;
  double d = 0;
  int t = sqlite3_value_type(v[0]);
  if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) d = sqlite3_value_double(v[0]);
  else if (!ParseNumber(ArgText(v[0]), d)) {
    sqlite3_result_error(c, "Data type mismatch in criteria expression.", -1);
    return;
  }
  std::string s = t == SQLITE_INTEGER ? std::to_string(sqlite3_value_int64(v[0])) : NumberText(d);
  ResultText(c, d >= 0 ? " " + s : s);  // a positive number keeps a blank for its sign
}

void FnCstr(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (!NullIn(c, argc, v)) ResultText(c, ArgText(v[0]));
}

void FnVal(sqlite3_context* c, int, sqlite3_value** v) {
  if (IsNull(v[0])) { sqlite3_result_null(c); return; }
  // The runtime's Val reads the leading number in one pass.
  sqlite3_result_double(c, vb::Val(ArgText(v[0])));
}

void FnNz(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (!IsNull(v[0])) sqlite3_result_value(c, v[0]);
  else if (argc > 1) sqlite3_result_value(c, v[1]);
  else ResultText(c, "");
}

void FnCat(sqlite3_context* c, int argc, sqlite3_value** v) {
  bool any = false;
  std::string s;
  for (int i = 0; i < argc; ++i) {
    if (IsNull(v[i])) continue;
    any = true;
    s += ArgText(v[i]);
  }
  if (any) ResultText(c, s);
  else sqlite3_result_null(c);
}

void FnBool(sqlite3_context* c, int, sqlite3_value** v) {
  bool yes = false;
  switch (sqlite3_value_type(v[0])) {
    case SQLITE_INTEGER: yes = sqlite3_value_int64(v[0]) != 0; break;
    case SQLITE_FLOAT: yes = sqlite3_value_double(v[0]) != 0.0; break;
    case SQLITE_TEXT: {
      std::string s = vb::UpperCase(ArgText(v[0]));
      double d;
      yes = s == "TRUE" || s == "YES" || s == "ON" || (ParseNumber(s, d) && d != 0.0);
      break;
    }
    default: break;
  }
  sqlite3_result_int(c, yes ? -1 : 0);
}

void FnLike(sqlite3_context* c, int argc, sqlite3_value** v) {
  if (IsNull(v[0]) || IsNull(v[1])) { sqlite3_result_null(c); return; }
  (void)argc;  // an ESCAPE character has no meaning in the dialect's patterns
  sqlite3_result_int(c, LikeMatch(ArgText(v[1]), ArgText(v[0])) ? 1 : 0);
}

// 1 for text holding a character beyond ASCII (or a blob), else 0: where
// the program's order may differ from SQLite's NOCASE.
void FnWide(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  int wide = type == SQLITE_BLOB;
  if (type == SQLITE_TEXT) {
    const unsigned char* t = sqlite3_value_text(argv[0]);
    for (int i = 0, n = sqlite3_value_bytes(argv[0]); t && i < n && !wide; ++i) wide = t[i] >= 0x80;
  }
  sqlite3_result_int(ctx, wide);
}

using Fn = void (*)(sqlite3_context*, int, sqlite3_value**);

// What the engine calls: the function, with every exception it raises
// (an unclosed "[" in a Like pattern, a Format the runtime refuses, no
// memory) reported to the engine as the statement's error. An exception
// must never unwind through the engine's C frames: the statement would
// stay half run and keep its read lock.
template <Fn F>
void ForEngine(sqlite3_context* c, int argc, sqlite3_value** v) noexcept {
  try {
    F(c, argc, v);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(c);
  } catch (const std::exception& e) {
    sqlite3_result_error(c, e.what(), -1);
  } catch (...) {
    sqlite3_result_error(c, vb::ErrorText(vb::errInternal), -1);
  }
}

}  // namespace

int TextCompare(const char* a, int la, const char* b, int lb) { return TextCollate(nullptr, la, a, lb, b); }

int RegisterFunctions(sqlite3* db) {
  // A collation of its own name: the file's indexes stay on SQLite's own
  // NOCASE, so that every SQLite tool finds them in the order it expects.
  int rc = sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, nullptr, TextCollate, nullptr);
  if (rc != SQLITE_OK) return rc;
  struct Def {
    const char* name;
    int args;
    Fn fn;
  };
  static const Def defs[] = {
      {"tvn_instr", 2, ForEngine<FnInstr>},
      {"tvn_instr", 3, ForEngine<FnInstr>},
      {"tvn_ucase", 1, ForEngine<FnUcase>},
      {"tvn_lcase", 1, ForEngine<FnLcase>},
      {"tvn_left", 2, ForEngine<FnLeft>},
      {"tvn_right", 2, ForEngine<FnRight>},
      {"tvn_mid", 2, ForEngine<FnMid>},
      {"tvn_mid", 3, ForEngine<FnMid>},
      {"tvn_len", 1, ForEngine<FnLen>},
      {"tvn_trim", 1, ForEngine<FnTrim<true, true>>},
      {"tvn_ltrim", 1, ForEngine<FnTrim<true, false>>},
      {"tvn_rtrim", 1, ForEngine<FnTrim<false, true>>},
      {"tvn_format", 1, ForEngine<FnFormat>},
      {"tvn_format", 2, ForEngine<FnFormat>},
      {"tvn_year", 1, ForEngine<FnDatePart<0>>},
      {"tvn_month", 1, ForEngine<FnDatePart<1>>},
      {"tvn_day", 1, ForEngine<FnDatePart<2>>},
      {"tvn_isnull", 1, ForEngine<FnIsNull>},
      {"tvn_isnumeric", 1, ForEngine<FnIsNumeric>},
      {"tvn_str", 1, ForEngine<FnStr>},
      {"tvn_cstr", 1, ForEngine<FnCstr>},
      {"tvn_val", 1, ForEngine<FnVal>},
      {"tvn_nz", 1, ForEngine<FnNz>},
      {"tvn_nz", 2, ForEngine<FnNz>},
      {"tvn_cat", -1, ForEngine<FnCat>},
      {"tvn_bool", 1, ForEngine<FnBool>},
      {"like", 2, ForEngine<FnLike>},
      {"like", 3, ForEngine<FnLike>},
      {"tvn_wide", 1, ForEngine<FnWide>},
  };
  for (const Def& d : defs) {
    rc = sqlite3_create_function_v2(db, d.name, d.args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, d.fn,
                                    nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace dao::detail
