#include "platform/runtime/Functions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/runtime/DateParts.h"
#include "platform/runtime/TextFold.h"

namespace vb {

// ======================================================================
// Calendar arithmetic. Serial numbers count days from 30 December 1899;
// for days before it the fraction still runs forward through the day
// (-1.25 is 29 December 1899, 06:00), as the classic runtime holds them.
// ======================================================================
namespace {

constexpr long kSerialOffset = 25569;  // days from 1899-12-30 to 1970-01-01

long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long yy = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

double SerialOf(long days, double dayFraction) {
  return days >= 0 ? static_cast<double>(days) + dayFraction : static_cast<double>(days) - dayFraction;
}

int CurrentYear() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm.tm_year + 1900;
}

// Two-digit years as users type them: 00-29 are this century, 30-99 the last.
int WindowYear(int y, int digits) {
  if (digits <= 2 && y < 100) return y < 30 ? 2000 + y : 1900 + y;
  return y;
}

}  // namespace

DateParts SplitSerial(double serial) {
  DateParts p;
  // Only a date goes through the arithmetic: a far-off number would
  // overflow the day count.
  if (!IsDateSerial(serial)) serial = 0;
  double days = std::trunc(serial);
  double frac = std::fabs(serial - days);
  long secs = std::lround(frac * 86400.0);
  long d = static_cast<long>(days);
  if (secs >= 86400) {  // rounding carried into the next day
    secs -= 86400;
    d += serial >= 0 ? 1 : -1;
  }
  CivilFromDays(d - kSerialOffset, p.year, p.month, p.day);
  p.hour = static_cast<int>(secs / 3600);
  p.minute = static_cast<int>(secs / 60 % 60);
  p.second = static_cast<int>(secs % 60);
  p.weekday = static_cast<int>(((d - kSerialOffset) % 7 + 7 + 4) % 7) + 1;  // 1970-01-01 was a Thursday
  return p;
}

bool MakeSerial(int year, int month, int day, int hour, int minute, int second, double& serial) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kSerialOffset;
  serial = SerialOf(days, (hour * 3600 + minute * 60 + second) / 86400.0);
  return true;
}

// ======================================================================
// Number text
// ======================================================================
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads a whole text as a number: blanks around it, a sign, digits (with
// thousands commas between digits), a decimal point, an exponent with E or
// D. Anything else, or no digit at all, is not a number.
bool ParseNumberText(const std::string& text, double& out) {
  size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  if (i == n) return false;
  std::string clean;
  if (text[i] == '+' || text[i] == '-') clean += text[i++];
  bool digits = false;
  while (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) ||
                   (text[i] == ',' && digits && i + 1 < n && std::isdigit(static_cast<unsigned char>(text[i + 1]))))) {
    if (text[i] != ',') { clean += text[i]; digits = true; }
    ++i;
  }
  if (i < n && text[i] == '.') {
    clean += text[i++];
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) { clean += text[i++]; digits = true; }
  }
  if (!digits) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    clean += 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) clean += text[i++];
    bool expDigits = false;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) { clean += text[i++]; expDigits = true; }
    if (!expDigits) return false;
  }
  if (i != n) return false;
  out = std::strtod(clean.c_str(), nullptr);
  return std::isfinite(out);
}

std::string DoubleText(double d) {
  if (d == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15G", d);
  return buf;
}

// A string converted where a number is wanted: only a number text will
// do; anything else is a Type mismatch.
double NumberOfString(const std::string& s) {
  double d;
  if (ParseNumberText(s, d)) return d;
  Raise(errTypeMismatch);
}

double ToDouble(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Null: Raise(errInvalidUseOfNull);
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Boolean: return static_cast<double>(v.rawInt());
    case VarType::Double:
    case VarType::Date: return v.rawDouble();
    case VarType::String: return NumberOfString(v.rawString());
  }
  Raise(errTypeMismatch);
}

double RoundHalfEven(double d) {
  double r = std::floor(d);
  double diff = d - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1;
  return r;
}

}  // namespace

// ======================================================================
// Date text as users type it
// ======================================================================
namespace {

struct Tok {
  enum Kind { Num, Word, Sep } kind;
  std::string text;  // Word: lower case; Sep: the character
  int value = 0;
  int digits = 0;
};

int MonthOfWord(const std::string& w) {
  static const char* kNames[] = {"january", "february", "march",     "april",   "may",      "june",
                                 "july",    "august",   "september", "october", "november", "december"};
  if (w.size() < 3) return 0;
  for (int m = 0; m < 12; ++m) {
    std::string full = kNames[m];
    if (w == full || (w.size() <= full.size() && full.compare(0, w.size(), w) == 0)) return m + 1;
  }
  if (w == "sept") return 9;
  return 0;
}

bool IsWeekdayWord(const std::string& w) {
  static const char* kNames[] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
  if (w.size() < 3) return false;
  for (const char* n : kNames) {
    std::string full = n;
    if (w.size() <= full.size() && full.compare(0, w.size(), w) == 0) return true;
  }
  return false;
}

bool Tokenize(const std::string& s, std::vector<Tok>& out) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (IsBlank(static_cast<char>(c))) { ++i; continue; }
    if (std::isdigit(c)) {
      Tok t{Tok::Num, "", 0, 0};
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        if (t.digits >= 5) return false;
        t.value = t.value * 10 + (s[i] - '0');
        ++t.digits;
        ++i;
      }
      out.push_back(t);
    } else if (std::isalpha(c)) {
      Tok t{Tok::Word, "", 0, 0};
      while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
        t.text += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i++])));
      out.push_back(t);
    } else if (c == '/' || c == '-' || c == ',' || c == '.' || c == ':') {
      out.push_back(Tok{Tok::Sep, std::string(1, static_cast<char>(c)), 0, 0});
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

bool IsSep(const Tok& t, char c) { return t.kind == Tok::Sep && t.text[0] == c; }

// Takes a time of day (h:mm, h:mm:ss, optional AM/PM) out of the tokens.
bool ExtractTime(std::vector<Tok>& toks, bool& hasTime, int& h, int& mi, int& se) {
  hasTime = false;
  for (size_t i = 0; i + 2 < toks.size(); ++i) {
    if (toks[i].kind != Tok::Num || !IsSep(toks[i + 1], ':') || toks[i + 2].kind != Tok::Num) continue;
    size_t end = i + 3;
    h = toks[i].value;
    mi = toks[i + 2].value;
    se = 0;
    if (end + 1 < toks.size() && IsSep(toks[end], ':') && toks[end + 1].kind == Tok::Num) {
      se = toks[end + 1].value;
      end += 2;
    }
    if (end < toks.size() && toks[end].kind == Tok::Word) {
      const std::string& w = toks[end].text;
      if (w == "am" || w == "a" || w == "pm" || w == "p") {
        if (h < 1 || h > 12) return false;
        bool pm = w[0] == 'p';
        h = h % 12 + (pm ? 12 : 0);
        ++end;
      }
    }
    if (h > 23 || mi > 59 || se > 59) return false;
    toks.erase(toks.begin() + static_cast<long>(i), toks.begin() + static_cast<long>(end));
    hasTime = true;
    return true;
  }
  return true;
}

bool ParseDateText(const std::string& text, double& serial) {
  std::vector<Tok> toks;
  if (!Tokenize(text, toks) || toks.empty()) return false;
  bool hasTime = false;
  int h = 0, mi = 0, se = 0;
  if (!ExtractTime(toks, hasTime, h, mi, se)) return false;
  // A time may not be followed by a stray ':'.
  for (const Tok& t : toks)
    if (IsSep(t, ':')) return false;

  if (toks.empty()) {
    if (!hasTime) return false;
    serial = (h * 3600 + mi * 60 + se) / 86400.0;
    return true;
  }

  int year = 0, month = 0, day = 0;
  std::vector<Tok> nums;
  int monthWord = 0;
  int monthPos = -1;
  bool words = false;
  for (const Tok& t : toks)
    if (t.kind == Tok::Word) words = true;

  if (!words) {
    // Numeric forms: m/d/y, y-m-d, m/d. One kind of separator throughout.
    char sep = 0;
    for (size_t i = 0; i < toks.size(); ++i) {
      if (i % 2 == 0) {
        if (toks[i].kind != Tok::Num) return false;
        nums.push_back(toks[i]);
      } else {
        if (toks[i].kind != Tok::Sep) return false;
        char c = toks[i].text[0];
        if (c != '/' && c != '-' && c != '.') return false;
        if (sep && c != sep) return false;
        sep = c;
      }
    }
    if (toks.size() % 2 == 0) return false;  // ends with a separator
    if (nums.size() == 3) {
      if (nums[0].digits >= 3) {
        year = nums[0].value; month = nums[1].value; day = nums[2].value;
        if (nums[1].digits > 2 || nums[2].digits > 2) return false;
      } else {
        month = nums[0].value; day = nums[1].value;
        if (nums[1].digits > 2 || nums[2].digits > 4) return false;
        year = WindowYear(nums[2].value, nums[2].digits);
      }
    } else if (nums.size() == 2 && sep != '.') {
      if (nums[0].digits > 2 || nums[1].digits > 2) return false;
      month = nums[0].value; day = nums[1].value; year = CurrentYear();
    } else {
      return false;
    }
  } else {
    // Forms with a month name: "Dec 31, 1999", "31 Dec 1999", "31-Dec-99",
    // "December 1999", an optional weekday name in front.
    for (size_t i = 0; i < toks.size(); ++i) {
      const Tok& t = toks[i];
      if (t.kind == Tok::Sep) {
        if (IsSep(t, '.') && (i == 0 || toks[i - 1].kind != Tok::Word)) return false;
        continue;
      }
      if (t.kind == Tok::Word) {
        int m = MonthOfWord(t.text);
        if (m && !monthWord) { monthWord = m; monthPos = static_cast<int>(nums.size()); continue; }
        if (IsWeekdayWord(t.text) && !monthWord && nums.empty()) continue;
        return false;
      }
      nums.push_back(t);
    }
    if (!monthWord || nums.empty() || nums.size() > 2) return false;
    month = monthWord;
    if (nums.size() == 2) {
      if (monthPos == 2) return false;  // "31 1999 Dec"
      if (nums[0].digits > 2 && monthPos == 1) {  // "1999 Dec 31"
        year = nums[0].value; day = nums[1].value;
        if (nums[1].digits > 2) return false;
      } else {
        if (nums[0].digits > 2) return false;
        day = nums[0].value;
        year = WindowYear(nums[1].value, nums[1].digits);
      }
    } else {
      const Tok& n = nums[0];
      if (n.digits <= 2 && n.value >= 1 && n.value <= DaysInMonth(CurrentYear(), month)) {
        day = n.value; year = CurrentYear();
      } else {
        day = 1; year = WindowYear(n.value, n.digits);
      }
    }
  }
  return MakeSerial(year, month, day, h, mi, se, serial);
}

}  // namespace

bool ParseDate(const std::string& text, double& serial) { return ParseDateText(text, serial); }

// ======================================================================
// Conversions
// ======================================================================
std::string CStr(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty: return "";
    case VarType::Null: Raise(errInvalidUseOfNull);
    case VarType::Boolean: return v.rawInt() ? "True" : "False";
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte: return std::to_string(v.rawInt());
    case VarType::Double: return DoubleText(v.rawDouble());
    case VarType::Date: return Format(v, "General Date");
    case VarType::String: return v.rawString();
  }
  return "";
}

std::int16_t CInt(const Variant& v) {
  double d = RoundHalfEven(ToDouble(v));
  if (!(d >= -32768.0 && d <= 32767.0)) Raise(errOverflow);
  return static_cast<std::int16_t>(d);
}

std::int32_t CLng(const Variant& v) {
  double d = RoundHalfEven(ToDouble(v));
  if (!(d >= -2147483648.0 && d <= 2147483647.0)) Raise(errOverflow);
  return static_cast<std::int32_t>(d);
}

double CDbl(const Variant& v) { return ToDouble(v); }

bool CBool(const Variant& v) {
  if (v.isString()) {
    std::string t = UCase(Trim(v.rawString()));
    if (t == "TRUE") return true;
    if (t == "FALSE") return false;
  }
  return ToDouble(v) != 0;
}

std::uint8_t CByte(const Variant& v) {
  double d = RoundHalfEven(ToDouble(v));
  if (!(d >= 0 && d <= 255)) Raise(errOverflow);
  return static_cast<std::uint8_t>(d);
}

Variant CDate(const Variant& v) {
  switch (v.type()) {
    case VarType::Date: return v;
    case VarType::Null: Raise(errInvalidUseOfNull);
    case VarType::String: {
      double serial;
      if (ParseDateText(v.rawString(), serial)) return Variant::Date(serial);
      Raise(errTypeMismatch);
    }
    default: {
      double d = ToDouble(v);
      if (!IsDateSerial(d)) Raise(errOverflow);  // years 100 to 9999
      return Variant::Date(d);
    }
  }
}

double Val(const std::string& s) {
  // Blanks are skipped anywhere; reading stops at the first character
  // that cannot continue the number.
  std::string clean;
  size_t i = 0;
  auto skip = [&] { while (i < s.size() && IsBlank(s[i])) ++i; };
  auto isDigit = [&] { return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); };
  skip();
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) { clean += s[i++]; skip(); }
  bool digits = false;
  while (isDigit()) { clean += s[i++]; digits = true; skip(); }
  if (i < s.size() && s[i] == '.') {
    clean += s[i++];
    skip();
    while (isDigit()) { clean += s[i++]; digits = true; skip(); }
  }
  if (!digits) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
    std::string exp = "e";
    ++i;
    skip();
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) { exp += s[i++]; skip(); }
    bool expDigits = false;
    while (isDigit()) { exp += s[i++]; expDigits = true; skip(); }
    if (expDigits) clean += exp;
  }
  double d = std::strtod(clean.c_str(), nullptr);
  if (!std::isfinite(d)) Raise(errOverflow);
  return d;
}

bool IsNumeric(const Variant& v) {
  switch (v.type()) {
    case VarType::Null:
    case VarType::Date: return false;
    case VarType::String: {
      double d;
      return ParseNumberText(v.rawString(), d);
    }
    default: return true;
  }
}

bool IsDate(const Variant& v) {
  if (v.isDate()) return true;
  if (!v.isString()) return false;
  double serial;
  return ParseDateText(v.rawString(), serial);
}

bool IsNull(const Variant& v) { return v.isNull(); }
bool IsEmpty(const Variant& v) { return v.isEmpty(); }

std::string NzStr(const Variant& v) {
  if (v.isNull() || v.isEmpty()) return "";
  return CStr(v);
}

int Compare(const Variant& a, const Variant& b, bool textCompare) {
  if (a.isNull() || b.isNull()) Raise(errInvalidUseOfNull);
  auto sign = [](double d) { return d < 0 ? -1 : d > 0 ? 1 : 0; };
  auto textCmp = [&](const std::string& x, const std::string& y) {
    if (textCompare) return CompareNoCase(x, y);
    int c = x.compare(y);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  };
  bool aStr = a.isString(), bStr = b.isString();
  if (aStr && bStr) return textCmp(a.rawString(), b.rawString());
  if (a.isEmpty() && bStr) return textCmp("", b.rawString());
  if (aStr && b.isEmpty()) return textCmp(a.rawString(), "");
  if (aStr || bStr) {
    // A number (or date) against a text: numerically when the text reads
    // as one, otherwise the number sorts first.
    const std::string& s = aStr ? a.rawString() : b.rawString();
    const Variant& other = aStr ? b : a;
    double ds;
    bool ok = ParseNumberText(s, ds);
    if (!ok && other.isDate()) ok = ParseDateText(s, ds);
    if (!ok) return aStr ? 1 : -1;
    double dn = ToDouble(other);
    return aStr ? sign(ds - dn) : sign(dn - ds);
  }
  double x = ToDouble(a), y = ToDouble(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

// ======================================================================
// Strings (positions count characters)
// ======================================================================
namespace {

// Byte offset of the character with 0-based index idx (s.size() past the end).
size_t ByteOffset(const std::string& s, long idx) {
  size_t i = 0;
  while (i < s.size() && idx > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --idx;
  }
  return i;
}

void CheckNonNegative(long n) {
  if (n < 0) Raise(errInvalidProcedureCall);
}

std::u32string Folded(const std::string& s, bool textCompare) {
  return DecodeUtf8(textCompare ? UpperCase(s) : s);
}

}  // namespace

std::string Trim(const std::string& s) { return LTrim(RTrim(s)); }

std::string LTrim(const std::string& s) {
  size_t i = s.find_first_not_of(' ');
  return i == std::string::npos ? "" : s.substr(i);
}

std::string RTrim(const std::string& s) {
  size_t i = s.find_last_not_of(' ');
  return i == std::string::npos ? "" : s.substr(0, i + 1);
}

std::string Left(const std::string& s, long n) {
  CheckNonNegative(n);
  return s.substr(0, ByteOffset(s, n));
}

std::string Right(const std::string& s, long n) {
  CheckNonNegative(n);
  long len = Len(s);
  if (n >= len) return s;
  return s.substr(ByteOffset(s, len - n));
}

std::string Mid(const std::string& s, long start, long length) {
  if (start < 1 || length < -1) Raise(errInvalidProcedureCall);
  size_t from = ByteOffset(s, start - 1);
  if (length == -1) return s.substr(from);
  size_t to = from + ByteOffset(s.substr(from), length);
  return s.substr(from, to - from);
}

long Len(const std::string& s) {
  long n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

long InStr(long start, const std::string& s, const std::string& find, bool textCompare) {
  if (start < 1) Raise(errInvalidProcedureCall);
  std::u32string hay = Folded(s, textCompare), needle = Folded(find, textCompare);
  if (static_cast<size_t>(start) > hay.size()) return 0;
  if (needle.empty()) return start;
  size_t pos = hay.find(needle, static_cast<size_t>(start - 1));
  return pos == std::u32string::npos ? 0 : static_cast<long>(pos) + 1;
}

long InStr(const std::string& s, const std::string& find, bool textCompare) {
  return InStr(1, s, find, textCompare);
}

long InStrRev(const std::string& s, const std::string& find) {
  std::u32string hay = DecodeUtf8(s), needle = DecodeUtf8(find);
  if (needle.empty()) return static_cast<long>(hay.size());
  size_t pos = hay.rfind(needle);
  return pos == std::u32string::npos ? 0 : static_cast<long>(pos) + 1;
}

std::string UCase(const std::string& s) { return UpperCase(s); }
std::string LCase(const std::string& s) { return LowerCase(s); }

std::string Replace(const std::string& s, const std::string& find, const std::string& with) {
  if (find.empty()) return s;
  std::string out;
  size_t i = 0;
  for (size_t p; (p = s.find(find, i)) != std::string::npos; i = p + find.size()) {
    out.append(s, i, p - i);
    out += with;
  }
  out.append(s, i, std::string::npos);
  return out;
}

std::string Space(long n) {
  CheckNonNegative(n);
  return std::string(static_cast<size_t>(n), ' ');
}

std::string String(long n, char c) {
  CheckNonNegative(n);
  return std::string(static_cast<size_t>(n), c);
}

std::string Chr(int code) {
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Raise(errInvalidProcedureCall);
  return EncodeUtf8(std::u32string(1, static_cast<char32_t>(code)));
}

int Asc(const std::string& s) {
  if (s.empty()) Raise(errInvalidProcedureCall);
  return static_cast<int>(DecodeUtf8(s)[0]);
}

int CompareText(const std::string& a, const std::string& b) { return CompareNoCase(a, b); }

namespace {

// Does pattern position pi (one character, "?", "#" or a "[list]" ending
// at close) take character sc?
bool LikeOne(const std::u32string& p, size_t pi, size_t close, char32_t sc) {
  char32_t pc = p[pi];
  if (pc == U'?') return true;
  if (pc == U'#') return sc >= U'0' && sc <= U'9';
  if (pc != U'[') return pc == sc;
  size_t k = pi + 1;
  bool negate = k < close && p[k] == U'!';
  if (negate) ++k;
  bool hit = false;
  for (; k < close; ++k) {
    if (k + 2 < close && p[k + 1] == U'-') {
      if (sc >= p[k] && sc <= p[k + 2]) hit = true;
      k += 2;
    } else if (p[k] == sc) {
      hit = true;
    }
  }
  return hit != negate;
}

// Every element but "*" takes exactly one character, so a mismatch only
// ever needs to retry from the last "*" with one more character given to
// it: time grows with text length times pattern length, never
// exponentially with the number of stars.
bool LikeAt(const std::u32string& s, const std::u32string& p) {
  // Where each "[" closes, found once; an unclosed list is an error.
  std::vector<size_t> closeOf(p.size(), 0);
  for (size_t i = 0; i < p.size(); ++i)
    if (p[i] == U'[') {
      size_t close = p.find(U']', i + 1);
      if (close == std::u32string::npos) Raise(errInvalidProcedureCall);
      closeOf[i] = close;
      i = close;
    }
  auto next = [&](size_t pi) { return p[pi] == U'[' ? closeOf[pi] + 1 : pi + 1; };
  size_t si = 0, pi = 0;
  size_t starP = std::u32string::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      starP = pi;
      starS = si;
    } else if (pi < p.size() && LikeOne(p, pi, closeOf[pi], s[si])) {
      pi = next(pi);
      ++si;
    } else if (starP != std::u32string::npos) {
      pi = starP;
      si = ++starS;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == U'*') ++pi;
  return pi == p.size();
}

}  // namespace

bool Like(const std::string& s, const std::string& pattern, bool textCompare) {
  return LikeAt(Folded(s, textCompare), Folded(pattern, textCompare));
}

// ======================================================================
// Dates
// ======================================================================
namespace {

double SerialOfTm(const std::tm& tm) {
  double serial = 0;
  MakeSerial(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), serial);
  return serial;
}

double DateSerialOf(const Variant& d) {
  if (d.isNull()) Raise(errInvalidUseOfNull);
  return CDate(d).rawDouble();
}

}  // namespace

Variant Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return Variant::Date(SerialOfTm(tm));
}

Variant Date() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
  return Variant::Date(SerialOfTm(tm));
}

Variant DateSerial(int year, int month, int day) {
  if (year >= 0 && year < 100) year = WindowYear(year, 2);
  // Months and days out of range carry over, as the runtime allows
  // (month 13 is January of the next year, day 0 the last of the month before).
  long m0 = static_cast<long>(month) - 1;
  long y = year + (m0 >= 0 ? m0 / 12 : (m0 - 11) / 12);
  long m = ((m0 % 12) + 12) % 12 + 1;
  long days = DaysFromCivil(y, static_cast<unsigned>(m), 1) + kSerialOffset + (static_cast<long>(day) - 1);
  if (days < -657434 || days > 2958465) Raise(errOverflow);
  return Variant::Date(static_cast<double>(days));
}

int Year(const Variant& d) { return SplitSerial(DateSerialOf(d)).year; }
int Month(const Variant& d) { return SplitSerial(DateSerialOf(d)).month; }
int Day(const Variant& d) { return SplitSerial(DateSerialOf(d)).day; }

std::string DateToIso(double serial) {
  // No date: the number as it is, never a made-up day.
  if (!IsDateSerial(serial)) return DoubleText(serial);
  DateParts p = SplitSerial(serial);
  char buf[40];
  if (p.hour == 0 && p.minute == 0 && p.second == 0)
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  else
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second);
  return buf;
}

bool IsoToDate(const std::string& text, double& serial) {
  int y, mo, d, h = 0, mi = 0, s = 0;
  char tail = 0;
  const char* c = text.c_str();
  int n = 0;
  if (std::sscanf(c, "%4d-%2d-%2d%n", &y, &mo, &d, &n) != 3 || n != 10) return false;
  if (text.size() > 10) {
    char sep = text[10];
    if (sep != ' ' && sep != 'T') return false;
    int m2 = 0;
    if (std::sscanf(c + 11, "%2d:%2d%n", &h, &mi, &m2) != 2 || m2 != 5) return false;
    size_t used = 16;
    if (text.size() > used) {
      int m3 = 0;
      if (std::sscanf(c + used, ":%2d%n", &s, &m3) != 1 || m3 != 3) return false;
      used += 3;
    }
    if (text.size() != used && std::sscanf(c + used, "%c", &tail) == 1) return false;
  }
  return MakeSerial(y, mo, d, h, mi, s, serial);
}

}  // namespace vb
