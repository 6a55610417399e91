#include "platform/dao/JetSql.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "platform/dao/Convert.h"
#include "platform/dao/DaoErrors.h"
#include "platform/dao/SqlFunctions.h"

namespace dao::detail {
namespace {

enum class Kind { Word, Ident, String, Number, Op, Param };

struct Tok {
  Kind kind;
  std::string text;  // Word/Op/Number: as written; Ident: bare name; String: the SQLite literal
  bool is(std::string_view w) const {
    if (kind != Kind::Word && kind != Kind::Op) return false;
    if (text.size() != w.size()) return false;
    for (size_t i = 0; i < w.size(); ++i)
      if (std::tolower(static_cast<unsigned char>(text[i])) != w[i]) return false;
    return true;
  }
  bool isName() const { return kind == Kind::Word || kind == Kind::Ident; }
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string QuoteString(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

bool WordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

// SQLite's own limit on expression nesting; deeper text would only
// exhaust the stack of the recursive translation.
constexpr int kMaxDepth = 1000;

std::vector<Tok> Tokenize(const std::string& sql) {
  std::vector<Tok> out;
  size_t i = 0, n = sql.size();
  int depth = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) { ++i; continue; }
    // A control byte outside quoted text has no meaning in the dialect and
    // could cut the statement short in the engine.
    if (c == 0) FailZeroByte();
    if (c < 0x20 || c == 0x7f) FailSyntax(sql);
    if (c == '(' && ++depth > kMaxDepth)
      Fail(errGeneral, "Expression tree is too large (maximum depth " + std::to_string(kMaxDepth) + ").");
    if (c == ')') --depth;
    // "$name", ":name", "@name" and "?NNN" would be parameters to SQLite;
    // the dialect has only the bare "?".
    if (c == '$' || c == ':' || c == '@') FailSyntax(sql);
    if (c == '?' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1]))) FailSyntax(sql);
    if (c == '\'' || c == '"') {  // both quote text in the dialect
      std::string value;
      size_t j = i + 1;
      bool closed = false;
      while (j < n) {
        if (sql[j] == static_cast<char>(c)) {
          if (j + 1 < n && sql[j + 1] == static_cast<char>(c)) { value += sql[j]; j += 2; continue; }
          closed = true;
          ++j;
          break;
        }
        if (sql[j] == '\0') FailZeroByte();
        value += sql[j++];
      }
      if (!closed) FailSyntax(sql);
      out.push_back({Kind::String, QuoteString(value)});
      i = j;
    } else if (c == '[' || c == '`') {
      char close = c == '[' ? ']' : '`';
      size_t j = sql.find(close, i + 1);
      if (j == std::string::npos) FailSyntax(sql);
      if (sql.find('\0', i) < j) FailZeroByte();
      out.push_back({Kind::Ident, sql.substr(i + 1, j - i - 1)});
      i = j + 1;
    } else if (c == '#' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1]))) {
      size_t j = sql.find('#', i + 1);
      if (j == std::string::npos) FailSyntax(sql);
      double serial;
      if (!SerialFromUserText(sql.substr(i + 1, j - i - 1), serial)) FailSyntax(sql);
      out.push_back({Kind::String, QuoteString(IsoFromSerial(serial))});
      i = j + 1;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      size_t j = i;
      while (j < n && (std::isdigit(static_cast<unsigned char>(sql[j])) || sql[j] == '.')) ++j;
      if (j < n && (sql[j] == 'e' || sql[j] == 'E') && j + 1 < n &&
          (std::isdigit(static_cast<unsigned char>(sql[j + 1])) || sql[j + 1] == '-' || sql[j + 1] == '+')) {
        j += 2;
        while (j < n && std::isdigit(static_cast<unsigned char>(sql[j]))) ++j;
      }
      out.push_back({Kind::Number, sql.substr(i, j - i)});
      i = j;
    } else if (WordChar(c)) {
      size_t j = i;
      while (j < n && WordChar(static_cast<unsigned char>(sql[j]))) ++j;
      out.push_back({Kind::Word, sql.substr(i, j - i)});
      i = j;
    } else {
      std::string op(1, static_cast<char>(c));
      if (i + 1 < n) {
        std::string two = sql.substr(i, 2);
        if (two == "<=" || two == ">=" || two == "<>" || two == "!=" || two == "||") op = two;
      }
      out.push_back({op == "?" ? Kind::Param : Kind::Op, op});
      i += op.size();
    }
  }
  return out;
}

// Functions of the dialect, implemented by the layer under these names.
// Those whose result is text compare without regard to case.
struct FnInfo {
  const char* target;
  bool text;
};
const std::unordered_map<std::string, FnInfo>& Functions() {
  static const std::unordered_map<std::string, FnInfo> m = {
      {"instr", {"tvn_instr", false}},   {"ucase", {"tvn_ucase", true}},
      {"lcase", {"tvn_lcase", true}},    {"left", {"tvn_left", true}},
      {"right", {"tvn_right", true}},    {"mid", {"tvn_mid", true}},
      {"len", {"tvn_len", false}},       {"trim", {"tvn_trim", true}},
      {"ltrim", {"tvn_ltrim", true}},    {"rtrim", {"tvn_rtrim", true}},
      {"format", {"tvn_format", true}},  {"year", {"tvn_year", false}},
      {"month", {"tvn_month", false}},   {"day", {"tvn_day", false}},
      {"isnull", {"tvn_isnull", false}}, {"isnumeric", {"tvn_isnumeric", false}},
      {"str", {"tvn_str", true}},        {"cstr", {"tvn_cstr", true}},
      {"val", {"tvn_val", false}},       {"nz", {"tvn_nz", false}},
      {"iif", {"iif", false}},           {"ucase$", {"tvn_ucase", true}},
      {"lcase$", {"tvn_lcase", true}},   {"left$", {"tvn_left", true}},
      {"right$", {"tvn_right", true}},   {"mid$", {"tvn_mid", true}},
      {"trim$", {"tvn_trim", true}},     {"format$", {"tvn_format", true}},
      {"str$", {"tvn_str", true}},
  };
  return m;
}

bool IsAggregate(const Tok& t) {
  static const std::unordered_set<std::string> agg = {"max", "min", "count", "sum", "avg", "first", "last",
                                                      "stdev", "var", "group_concat", "total"};
  return t.kind == Kind::Word && agg.count(Lower(t.text));
}

// Tokens that end an operand of "&".
bool IsStopper(const Tok& t) {
  if (t.kind == Kind::Op)
    return t.text == "=" || t.text == "<" || t.text == ">" || t.text == "<=" || t.text == ">=" ||
           t.text == "<>" || t.text == "!=" || t.text == ",";
  if (t.kind != Kind::Word) return false;
  static const std::unordered_set<std::string> kw = {
      "select", "distinct", "from",  "where", "and",    "or",     "not",   "like",  "is",    "in",
      "between", "set",     "on",    "order", "group",  "by",     "having", "as",   "join",  "inner",
      "left",   "outer",    "right", "union", "all",    "when",   "then",  "else",  "end",   "case",
      "values", "into",     "insert", "update", "delete", "asc",  "desc",  "escape", "limit", "top",
      "collate", "exists"};
  return kw.count(Lower(t.text)) > 0;
}

size_t MatchParen(const std::vector<Tok>& t, size_t open, size_t end) {
  int depth = 0;
  for (size_t i = open; i < end; ++i) {
    if (t[i].kind == Kind::Op && t[i].text == "(") ++depth;
    else if (t[i].kind == Kind::Op && t[i].text == ")" && --depth == 0) return i;
  }
  return std::string::npos;
}

class Emitter {
 public:
  explicit Emitter(const std::vector<Tok>& t, const std::string& sql) : t_(t), sql_(sql) {}

  std::string Range(size_t b, size_t e) {
    std::string out;
    size_t i = b;
    while (i < e) {
      size_t j = i;
      int depth = 0;
      std::vector<size_t> amps;  // depth-0 "&" in this operand run
      while (j < e) {
        const Tok& k = t_[j];
        if (k.kind == Kind::Op && k.text == "(") ++depth;
        else if (k.kind == Kind::Op && k.text == ")") --depth;
        else if (depth == 0 && IsStopper(k)) break;
        else if (depth == 0 && k.kind == Kind::Op && k.text == "&") amps.push_back(j);
        ++j;
      }
      if (amps.empty()) {
        Append(out, Simple(i, j));
      } else {
        std::string s = "tvn_cat(";
        size_t from = i;
        for (size_t a : amps) {
          if (a == from) FailSyntax(sql_);
          s += Simple(from, a) + ", ";
          from = a + 1;
        }
        if (from == j) FailSyntax(sql_);
        s += Simple(from, j) + ") COLLATE " + kTextCollation;
        Append(out, s);
      }
      if (j < e) Append(out, Text(t_[j]));
      i = j + 1;
    }
    return out;
  }

 private:
  static void Append(std::string& out, const std::string& piece) {
    if (piece.empty()) return;
    if (!out.empty()) {
      char a = out.back(), b = piece.front();
      if (!(a == '(' || a == '.' || b == ')' || b == ',' || b == '.' || b == '(')) out += ' ';
    }
    out += piece;
  }

  std::string Text(const Tok& k) const {
    if (k.kind == Kind::Ident) return QuoteIdent(k.text);
    return k.text;
  }

  std::string Simple(size_t b, size_t e) {
    std::string out;
    for (size_t i = b; i < e; ++i) {
      const Tok& k = t_[i];
      if (k.kind == Kind::Op && k.text == "(") {
        size_t close = MatchParen(t_, i, e);
        if (close == std::string::npos) FailSyntax(sql_);
        std::string inner = "(" + Range(i + 1, close) + ")";
        bool call = i > b && t_[i - 1].kind == Kind::Word;
        if (call) out += inner;
        else Append(out, inner);
        if (call && textCall_.count(i - 1)) out += std::string(" COLLATE ") + kTextCollation;
        i = close;
        continue;
      }
      if (k.kind == Kind::Word && i + 1 < e && t_[i + 1].kind == Kind::Op && t_[i + 1].text == "(") {
        Append(out, k.text);
        continue;
      }
      Append(out, Text(k));
    }
    return out;
  }

 public:
  std::unordered_set<size_t> textCall_;  // positions of calls whose result is text

 private:
  const std::vector<Tok>& t_;
  const std::string& sql_;
};

// Finds the first depth-0 word w in [b, e).
size_t FindWord(const std::vector<Tok>& t, size_t b, size_t e, std::string_view w) {
  int depth = 0;
  for (size_t i = b; i < e; ++i) {
    if (t[i].kind == Kind::Op && t[i].text == "(") ++depth;
    else if (t[i].kind == Kind::Op && t[i].text == ")") --depth;
    else if (depth == 0 && t[i].is(w)) return i;
  }
  return std::string::npos;
}

// Splits [b, e) at depth-0 commas.
std::vector<std::pair<size_t, size_t>> SplitCommas(const std::vector<Tok>& t, size_t b, size_t e) {
  std::vector<std::pair<size_t, size_t>> parts;
  int depth = 0;
  size_t from = b;
  for (size_t i = b; i < e; ++i) {
    if (t[i].kind == Kind::Op && t[i].text == "(") ++depth;
    else if (t[i].kind == Kind::Op && t[i].text == ")") --depth;
    else if (depth == 0 && t[i].kind == Kind::Op && t[i].text == ",") {
      parts.push_back({from, i});
      from = i + 1;
    }
  }
  if (from < e) parts.push_back({from, e});
  return parts;
}

// The statement with the program's text collation on a column compared
// with quoted text ("name = 'Édith'" becomes "name COLLATE TVNTEXT =
// 'Édith'"), so that letters beyond ASCII compare without regard to case.
// Where SQLite's NOCASE and the program's collation agree (equality with
// plain ASCII text) the column's own is kept, so that an index serves.
void CollateTextComparisons(std::vector<Tok>& t) {
  static const std::unordered_set<std::string> range = {"<", ">", "<=", ">="};
  // An update's assignments are no comparisons.
  size_t setBegin = std::string::npos, setEnd = std::string::npos;
  if (t[0].is("update")) {
    setBegin = FindWord(t, 0, t.size(), "set");
    setEnd = setBegin == std::string::npos ? std::string::npos : FindWord(t, setBegin, t.size(), "where");
  }
  for (size_t i = 1; i + 1 < t.size(); ++i) {
    if (setBegin != std::string::npos && i > setBegin && (setEnd == std::string::npos || i < setEnd)) continue;
    const Tok& op = t[i];
    if (op.kind != Kind::Op || !(op.text == "=" || op.text == "<>" || range.count(op.text))) continue;
    if (t[i + 1].kind != Kind::String || !t[i - 1].isName()) continue;
    const Tok& left = t[i - 1];
    if (left.kind == Kind::Word && IsStopper(left)) continue;
    // Below "A" (digits, blanks, the signs of dates and times) both
    // collations order alike, so a range over dates keeps its index too.
    const unsigned char least = range.count(op.text) ? 'A' : 0x80;
    const std::string& text = t[i + 1].text;
    if (std::none_of(text.begin(), text.end(), [least](char c) { return static_cast<unsigned char>(c) >= least; }))
      continue;
    t.insert(t.begin() + static_cast<long>(i), {{Kind::Word, "COLLATE"}, {Kind::Word, kTextCollation}});
    i += 2;
  }
}

// The statement with each term of its outer order given the program's
// text collation ("order by name desc" becomes "order by name COLLATE
// TVNTEXT desc"): titles sort as people read them, accents under their
// letter, whatever collation the column's index uses.
std::vector<Tok> WithTextOrder(const std::vector<Tok>& t) {
  const size_t order = FindWord(t, 0, t.size(), "order");
  if (order == std::string::npos || order + 1 >= t.size() || !t[order + 1].is("by")) return t;
  size_t end = FindWord(t, order + 2, t.size(), "limit");
  if (end == std::string::npos) end = t.size();
  std::vector<Tok> out(t.begin(), t.begin() + static_cast<long>(order + 2));
  for (const auto& [b, e] : SplitCommas(t, order + 2, end)) {
    if (out.back().kind != Kind::Word || !out.back().is("by")) out.push_back({Kind::Op, ","});
    size_t last = e;
    if (e - b > 1 && (t[e - 1].is("asc") || t[e - 1].is("desc"))) last = e - 1;
    const bool named = FindWord(t, b, last, "collate") != std::string::npos;
    out.insert(out.end(), t.begin() + static_cast<long>(b), t.begin() + static_cast<long>(last));
    if (!named) {
      out.push_back({Kind::Word, "COLLATE"});
      out.push_back({Kind::Word, kTextCollation});
    }
    out.insert(out.end(), t.begin() + static_cast<long>(last), t.begin() + static_cast<long>(e));
  }
  out.insert(out.end(), t.begin() + static_cast<long>(end), t.end());
  return out;
}

// The statement with each plain column of a "select distinct" list given
// the program's text collation under its own name ("select distinct
// artist1" becomes "select distinct artist1 COLLATE TVNTEXT AS artist1"),
// so that "Émile" and "émile" are one entry, as they are one name.
std::vector<Tok> WithTextDistinct(std::vector<Tok> t) {
  if (t.size() < 4 || !t[0].is("select") || !t[1].is("distinct")) return t;
  const size_t from = FindWord(t, 2, t.size(), "from");
  if (from == std::string::npos) return t;
  std::vector<Tok> out(t.begin(), t.begin() + 2);
  for (const auto& [b, e] : SplitCommas(t, 2, from)) {
    if (out.size() > 2) out.push_back({Kind::Op, ","});
    out.insert(out.end(), t.begin() + static_cast<long>(b), t.begin() + static_cast<long>(e));
    size_t name = std::string::npos;
    if (e - b == 1) name = b;
    else if (e - b == 3 && t[b].isName() && t[b + 1].is(".")) name = b + 2;
    if (name == std::string::npos || !t[name].isName() || IsStopper(t[name])) continue;
    out.push_back({Kind::Word, "COLLATE"});
    out.push_back({Kind::Word, kTextCollation});
    out.push_back({Kind::Word, "AS"});
    out.push_back({Kind::Ident, t[name].text});
  }
  out.insert(out.end(), t.begin() + static_cast<long>(from), t.end());
  return out;
}

// Wraps [b, e) into tvn_bool( ... ): a value stored into a Boolean
// column is True (-1) or False (0), never Null.
struct Wrap {
  size_t b, e;
};
void ApplyWraps(std::vector<Tok>& t, std::vector<Wrap> wraps) {
  // From the back so earlier positions stay valid.
  std::sort(wraps.begin(), wraps.end(), [](const Wrap& x, const Wrap& y) { return x.b > y.b; });
  for (const Wrap& w : wraps) {
    t.insert(t.begin() + static_cast<long>(w.e), Tok{Kind::Op, ")"});
    t.insert(t.begin() + static_cast<long>(w.b), Tok{Kind::Op, "("});
    t.insert(t.begin() + static_cast<long>(w.b), Tok{Kind::Word, "tvn_bool"});
  }
}

bool IsBooleanColumn(const TableInfo* info, const std::string& column) {
  if (!info) return false;
  int c = info->Find(column);
  return c >= 0 && info->columns[static_cast<size_t>(c)].type == dbBoolean;
}

// The name at t[i], skipping a "table." qualifier.
std::string NameAt(const std::vector<Tok>& t, size_t i) {
  if (i + 2 < t.size() && t[i + 1].kind == Kind::Op && t[i + 1].text == "." && t[i + 2].isName())
    return t[i + 2].text;
  return t[i].text;
}

void RewriteUpdate(std::vector<Tok>& t, const SchemaLookup& schema) {
  // update <table> set a = expr, b = expr [where ...]
  if (t.size() < 4 || !t[1].isName()) return;
  const TableInfo* info = schema(t[1].text);
  size_t set = FindWord(t, 2, t.size(), "set");
  if (set == std::string::npos || !info) return;
  size_t where = FindWord(t, set + 1, t.size(), "where");
  size_t end = where == std::string::npos ? t.size() : where;
  std::vector<Wrap> wraps;
  for (auto [b, e] : SplitCommas(t, set + 1, end)) {
    size_t eq = b;
    while (eq < e && !(t[eq].kind == Kind::Op && t[eq].text == "=")) ++eq;
    if (eq >= e || eq == b) continue;
    if (IsBooleanColumn(info, t[eq - 1].text) && eq + 1 < e) wraps.push_back({eq + 1, e});
  }
  ApplyWraps(t, wraps);
}

void RewriteInsert(std::vector<Tok>& t, const SchemaLookup& schema, const std::string& sql) {
  // insert into <table> [(cols)] {values (...) | select ...}
  if (t.size() < 4 || !t[1].is("into") || !t[2].isName()) return;
  const TableInfo* target = schema(t[2].text);
  if (!target) return;
  size_t i = 3;
  std::vector<std::string> cols;
  if (t[i].kind == Kind::Op && t[i].text == "(") {
    size_t close = MatchParen(t, i, t.size());
    if (close == std::string::npos) FailSyntax(sql);
    for (auto [b, e] : SplitCommas(t, i + 1, close)) cols.push_back(b < e ? NameAt(t, b) : "");
    i = close + 1;
  }
  if (i >= t.size()) return;
  std::vector<Wrap> wraps;
  if (t[i].is("values") && i + 1 < t.size() && t[i + 1].text == "(") {
    if (cols.empty()) for (const auto& c : target->columns) cols.push_back(c.name);
    size_t close = MatchParen(t, i + 1, t.size());
    if (close == std::string::npos) FailSyntax(sql);
    auto parts = SplitCommas(t, i + 2, close);
    for (size_t k = 0; k < parts.size() && k < cols.size(); ++k)
      if (IsBooleanColumn(target, cols[k])) wraps.push_back({parts[k].first, parts[k].second});
    ApplyWraps(t, wraps);
    return;
  }
  if (!t[i].is("select")) return;
  size_t sel = i + 1;
  if (sel < t.size() && t[sel].is("distinct")) ++sel;
  size_t from = FindWord(t, sel, t.size(), "from");
  if (from == std::string::npos) return;
  bool star = from == sel + 1 && t[sel].text == "*";
  bool qualifiedStar = from == sel + 3 && t[sel + 1].text == "." && t[sel + 2].text == "*";
  if (cols.empty() && (star || qualifiedStar)) {
    // Columns are matched by name: the source table's fields go into the
    // target's fields of the same name; target fields the source lacks
    // get their default (Null). A source field the target lacks is an
    // error, as a copy must not drop data silently.
    std::string srcName = qualifiedStar ? t[sel].text : (from + 1 < t.size() ? t[from + 1].text : "");
    const TableInfo* source = schema(srcName);
    if (!source) return;
    for (const auto& c : source->columns)
      if (target->Find(c.name) < 0)
        Fail(errUnknownInsertField, "The INSERT INTO statement contains the following unknown field name: '" +
                                        c.name + "'. Make sure you have typed the name correctly, and try the "
                                                 "operation again.");
    std::vector<Tok> colList{{Kind::Op, "("}};
    std::vector<Tok> selList;
    bool first = true;
    for (const auto& c : source->columns) {
      int tc = target->Find(c.name);
      const std::string& tname = target->columns[static_cast<size_t>(tc)].name;
      if (!first) { colList.push_back({Kind::Op, ","}); selList.push_back({Kind::Op, ","}); }
      first = false;
      colList.push_back({Kind::Ident, tname});
      bool wrap = target->columns[static_cast<size_t>(tc)].type == dbBoolean;
      if (wrap) { selList.push_back({Kind::Word, "tvn_bool"}); selList.push_back({Kind::Op, "("}); }
      if (qualifiedStar) { selList.push_back({Kind::Ident, srcName}); selList.push_back({Kind::Op, "."}); }
      selList.push_back({Kind::Ident, c.name});
      if (wrap) selList.push_back({Kind::Op, ")"});
    }
    colList.push_back({Kind::Op, ")"});
    std::vector<Tok> out(t.begin(), t.begin() + static_cast<long>(i));
    out.insert(out.end(), colList.begin(), colList.end());
    out.insert(out.end(), t.begin() + static_cast<long>(i), t.begin() + static_cast<long>(sel));
    out.insert(out.end(), selList.begin(), selList.end());
    out.insert(out.end(), t.begin() + static_cast<long>(from), t.end());
    t = std::move(out);
    return;
  }
  if (cols.empty()) for (const auto& c : target->columns) cols.push_back(c.name);
  auto parts = SplitCommas(t, sel, from);
  for (size_t k = 0; k < parts.size() && k < cols.size(); ++k)
    if (IsBooleanColumn(target, cols[k])) wraps.push_back({parts[k].first, parts[k].second});
  ApplyWraps(t, wraps);
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t k = 0; k < a.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(a[k])) != std::tolower(static_cast<unsigned char>(b[k]))) return false;
  return true;
}

int TableInfo::Find(const std::string& column) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (SameName(columns[i].name, column)) return static_cast<int>(i);
  return -1;
}

std::string QuoteIdent(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

Translation TranslateJet(const std::string& jet, const SchemaLookup& schema) {
  std::vector<Tok> t = Tokenize(jet);
  while (!t.empty() && t.back().kind == Kind::Op && t.back().text == ";") t.pop_back();
  if (t.empty()) FailSyntax(jet);
  // A trigger's body is the one place where ";" belongs inside a statement.
  bool trigger = t.size() > 2 && t[0].kind == Kind::Word && Lower(t[0].text) == "create" &&
                 t[1].kind == Kind::Word && Lower(t[1].text) == "trigger";
  for (const Tok& k : t)
    if (!trigger && k.kind == Kind::Op && k.text == ";")
      Fail(3142, "Characters found after end of SQL statement.");

  // Word-level rewrites.
  std::vector<Tok> w;
  w.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i) {
    Tok k = t[i];
    bool afterDot = i > 0 && t[i - 1].kind == Kind::Op && t[i - 1].text == ".";
    bool beforeParen = i + 1 < t.size() && t[i + 1].kind == Kind::Op && t[i + 1].text == "(";
    bool beforeDot = i + 1 < t.size() && t[i + 1].kind == Kind::Op && t[i + 1].text == ".";
    if (k.kind == Kind::Word && !afterDot && !beforeDot) {
      std::string l = Lower(k.text);
      if (!beforeParen && l == "true") { w.push_back({Kind::Number, "-1"}); continue; }
      if (!beforeParen && l == "false") { w.push_back({Kind::Number, "0"}); continue; }
      if (!beforeParen && l == "mod") { w.push_back({Kind::Op, "%"}); continue; }
      if (beforeParen) {
        auto f = Functions().find(l);
        if (f != Functions().end()) k.text = f->second.target;
      }
    }
    // "delete * from t" and "delete t.* from t": SQLite deletes rows without a column list.
    if (k.kind == Kind::Op && k.text == "*" && !w.empty() && w.back().is("delete")) continue;
    if (k.kind == Kind::Word && !w.empty() && w.back().is("delete") && i + 2 < t.size() &&
        t[i + 1].text == "." && t[i + 2].text == "*") {
      i += 2;
      continue;
    }
    w.push_back(std::move(k));
  }
  t = std::move(w);

  Translation out;
  if (t[0].is("update")) RewriteUpdate(t, schema);
  else if (t[0].is("insert")) RewriteInsert(t, schema, jet);

  auto markTextCalls = [](Emitter& e, const std::vector<Tok>& toks) {
    for (size_t i = 0; i + 1 < toks.size(); ++i) {
      if (toks[i].kind != Kind::Word || toks[i + 1].text != "(") continue;
      for (const auto& [name, info] : Functions())
        if (info.text && toks[i].text == info.target) e.textCall_.insert(i);
    }
  };
  CollateTextComparisons(t);
  Emitter em(t, jet);
  markTextCalls(em, t);
  // What SQLite runs sorts text by the program's collation; the plain
  // tokens stay for reading the statement's shape below.
  const std::vector<Tok> ordered = WithTextOrder(WithTextDistinct(t));
  Emitter emOrdered(ordered, jet);
  markTextCalls(emOrdered, ordered);
  out.sql = emOrdered.Range(0, ordered.size());
  out.isSelect = t[0].is("select");
  if (!out.isSelect) return out;

  // Can the rows be reached again by rowid?
  size_t from = FindWord(t, 1, t.size(), "from");
  if (from == std::string::npos || t[1].is("distinct") || t[1].is("top")) return out;
  for (size_t i = 1; i < from; ++i)
    if (IsAggregate(t[i]) || t[i].is("select")) return out;
  if (from + 1 >= t.size() || !t[from + 1].isName()) return out;
  size_t after = from + 2;
  if (after < t.size() && !(t[after].is("where") || t[after].is("order"))) return out;
  for (size_t i = after; i < t.size(); ++i)
    if (t[i].is("select") || t[i].is("group") || t[i].is("having") || t[i].is("union") || t[i].is("join") ||
        t[i].is("limit"))
      return out;
  out.keyed = true;
  out.table = t[from + 1].text;
  out.selectList = em.Range(1, from);
  out.fromRest = emOrdered.Range(from, ordered.size());
  size_t order = FindWord(t, after, t.size(), "order");
  out.countSql = "select count(*) " + em.Range(from, order == std::string::npos ? t.size() : order);
  if (order == std::string::npos || order + 1 >= t.size() || !t[order + 1].is("by")) return out;
  // A select list of plain names (or table.name, *): no alias can stand
  // for a column in the order.
  for (const auto& [b, e] : SplitCommas(t, 1, from)) {
    auto plain = [&](size_t i) { return (t[i].isName() && !t[i].is("as")) || t[i].is("*"); };
    if (e - b == 1 && plain(b)) continue;
    if (e - b == 3 && t[b].isName() && t[b + 1].is(".") && plain(b + 2)) continue;
    return out;
  }
  std::vector<Translation::OrderTerm> terms;
  for (const auto& [b, e] : SplitCommas(t, order + 2, t.size())) {
    size_t n = e - b;
    if (n < 1 || n > 2 || !t[b].isName() || t[b].is("asc") || t[b].is("desc")) return out;
    Translation::OrderTerm term;
    term.column = t[b].text;
    if (n == 2) {
      if (t[b + 1].is("desc")) term.desc = true;
      else if (!t[b + 1].is("asc")) return out;
    }
    terms.push_back(std::move(term));
  }
  if (terms.empty()) return out;
  out.orderBy = std::move(terms);
  out.unordered = em.Range(from, order);
  out.fromRestPlain = em.Range(from, t.size());
  return out;
}

}  // namespace dao::detail
