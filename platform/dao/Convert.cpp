#include "platform/dao/Convert.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/runtime/TextFold.h"

namespace dao::detail {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
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

constexpr long kSerialEpoch = 25569;  // days from 1899-12-30 to 1970-01-01

bool ValidDate(int y, int m, int d) {
  if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int dm = days[m - 1];
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) dm = 29;
  return d <= dm;
}

// Reads an unsigned decimal number of at most maxDigits digits.
bool ReadInt(std::string_view s, size_t& i, int& out, int maxDigits = 9) {
  size_t start = i;
  long v = 0;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && int(i - start) < maxDigits) {
    v = v * 10 + (s[i] - '0');
    ++i;
  }
  if (i == start) return false;
  out = static_cast<int>(v);
  return true;
}

void SkipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
}

// Optional time "hh:mm[:ss][ AM|PM]" at i; the rest must be blank.
bool ReadTime(std::string_view s, size_t& i, int& h, int& mi, int& sec) {
  h = mi = sec = 0;
  SkipBlanks(s, i);
  if (i >= s.size()) return true;
  if (!ReadInt(s, i, h, 2) || i >= s.size() || s[i] != ':') return false;
  ++i;
  if (!ReadInt(s, i, mi, 2)) return false;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!ReadInt(s, i, sec, 2)) return false;
    if (i < s.size() && s[i] == '.') {  // fractions of a second are dropped
      ++i;
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    }
  }
  SkipBlanks(s, i);
  if (i + 1 < s.size() + 0 && i + 2 <= s.size()) {
    std::string ap = vb::UpperCase(s.substr(i, 2));
    if (ap == "AM" || ap == "PM") {
      if (h < 1 || h > 12) return false;
      if (ap == "AM" && h == 12) h = 0;
      if (ap == "PM" && h != 12) h += 12;
      i += 2;
      SkipBlanks(s, i);
    }
  }
  return i == s.size() && h < 24 && mi < 60 && sec < 60;
}

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Two(int v) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

std::string FormatDate(double serial, std::string_view p) {
  int y, m, d, h, mi, s;
  PartsFromSerial(serial, y, m, d, h, mi, s);
  bool hasAmPm = false;
  {
    std::string up = vb::UpperCase(p);
    hasAmPm = up.find("AM/PM") != std::string::npos;
  }
  std::string out;
  size_t i = 0;
  bool lastWasHour = false;
  auto run = [&](char c) {
    size_t n = 0;
    while (i + n < p.size() && std::tolower(static_cast<unsigned char>(p[i + n])) == c) ++n;
    return n;
  };
  while (i < p.size()) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(p[i])));
    if (p[i] == '\\' && i + 1 < p.size()) { out += p[i + 1]; i += 2; continue; }
    if (p[i] == '"') {
      size_t e = p.find('"', i + 1);
      if (e == std::string_view::npos) e = p.size();
      out.append(p.substr(i + 1, e - i - 1));
      i = e + 1;
      continue;
    }
    if (c == 'a' && vb::UpperCase(p.substr(i, 5)) == "AM/PM") {
      out += h < 12 ? "AM" : "PM";
      i += 5;
      continue;
    }
    size_t n = run(c);
    if (c == 'y') {
      out += n >= 3 ? std::to_string(y) : Two(y % 100);
      lastWasHour = false;
    } else if (c == 'd') {
      long days = static_cast<long>(std::floor(serial));
      int wd = static_cast<int>(((days - 1) % 7 + 7) % 7);  // serial 1 (1899-12-31) was a Sunday
      if (n == 1) out += std::to_string(d);
      else if (n == 2) out += Two(d);
      else if (n == 3) out += std::string(kDayNames[wd]).substr(0, 3);
      else out += kDayNames[wd];
      lastWasHour = false;
    } else if (c == 'm') {
      if (lastWasHour && n <= 2) out += n == 1 ? std::to_string(mi) : Two(mi);
      else if (n == 1) out += std::to_string(m);
      else if (n == 2) out += Two(m);
      else if (n == 3) out += std::string(kMonthNames[m - 1]).substr(0, 3);
      else out += kMonthNames[m - 1];
      lastWasHour = false;
    } else if (c == 'h') {
      int hh = hasAmPm ? (h % 12 == 0 ? 12 : h % 12) : h;
      out += n == 1 ? std::to_string(hh) : Two(hh);
      lastWasHour = true;
    } else if (c == 'n') {
      out += n == 1 ? std::to_string(mi) : Two(mi);
      lastWasHour = false;
    } else if (c == 's') {
      out += n == 1 ? std::to_string(s) : Two(s);
      lastWasHour = false;
    } else {
      out += p[i];
      n = 1;
      if (p[i] != ':') lastWasHour = false;
    }
    i += n;
  }
  return out;
}

std::string FormatNumber(double v, std::string_view p) {
  bool percent = p.find('%') != std::string_view::npos;
  if (percent) v *= 100;
  size_t dot = p.find('.');
  std::string_view intPart = p.substr(0, dot);
  int decimals = 0;
  if (dot != std::string_view::npos)
    for (size_t k = dot + 1; k < p.size() && (p[k] == '0' || p[k] == '#'); ++k) ++decimals;
  int minInt = 0;
  for (char c : intPart) if (c == '0') ++minInt;
  bool thousands = intPart.find(',') != std::string_view::npos;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(v));
  std::string digits = buf;
  std::string frac;
  if (size_t k = digits.find('.'); k != std::string::npos) {
    frac = digits.substr(k + 1);
    digits.resize(k);
  }
  // Optional decimals written as # are dropped when zero.
  if (dot != std::string_view::npos) {
    size_t req = 0;
    for (size_t k = dot + 1; k < p.size() && (p[k] == '0' || p[k] == '#'); ++k)
      if (p[k] == '0') req = k - dot;
    while (frac.size() > req && frac.back() == '0') frac.pop_back();
  }
  if (digits == "0" && minInt == 0) digits.clear();
  while (static_cast<int>(digits.size()) < minInt) digits.insert(digits.begin(), '0');
  if (thousands)
    for (int k = static_cast<int>(digits.size()) - 3; k > 0; k -= 3) digits.insert(static_cast<size_t>(k), ",");
  std::string out;
  bool negative = v < 0 && (std::stod(std::string(buf)) != 0.0);
  if (negative) out += '-';
  out += digits;
  if (!frac.empty()) out += "." + frac;
  if (percent) out += '%';
  return out;
}

bool LikeAt(const std::u32string& t, size_t ti, const std::u32string& p, size_t pi) {
  while (pi < p.size()) {
    char32_t c = p[pi];
    if (c == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = ti; k <= t.size(); ++k)
        if (LikeAt(t, k, p, pi)) return true;
      return false;
    }
    if (ti >= t.size()) return false;
    if (c == U'?') {
      ++ti; ++pi;
    } else if (c == U'#') {
      if (t[ti] < U'0' || t[ti] > U'9') return false;
      ++ti; ++pi;
    } else if (c == U'[') {
      size_t close = p.find(U']', pi + 1);
      if (close == std::u32string::npos) {  // a lone [ stands for itself
        if (t[ti] != c) return false;
        ++ti; ++pi;
        continue;
      }
      size_t k = pi + 1;
      bool negate = k < close && p[k] == U'!';
      if (negate) ++k;
      bool found = false;
      for (; k < close; ++k) {
        if (k + 2 < close && p[k + 1] == U'-') {
          if (t[ti] >= p[k] && t[ti] <= p[k + 2]) found = true;
          k += 2;
        } else if (t[ti] == p[k]) {
          found = true;
        }
      }
      if (found == negate) return false;
      ++ti;
      pi = close + 1;
    } else {
      if (t[ti] != c) return false;
      ++ti; ++pi;
    }
  }
  return ti == t.size();
}

}  // namespace

double SerialFromParts(int year, int month, int day, int hour, int minute, int second) {
  double days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kSerialEpoch);
  return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

void PartsFromSerial(double serial, int& year, int& month, int& day, int& hour, int& minute, int& second) {
  double whole = std::floor(serial);
  long secs = std::lround((serial - whole) * 86400.0);
  if (secs >= 86400) { whole += 1; secs -= 86400; }
  CivilFromDays(static_cast<long>(whole) - kSerialEpoch, year, month, day);
  hour = static_cast<int>(secs / 3600);
  minute = static_cast<int>(secs / 60 % 60);
  second = static_cast<int>(secs % 60);
}

std::string IsoFromSerial(double serial) {
  int y, m, d, h, mi, s;
  PartsFromSerial(serial, y, m, d, h, mi, s);
  if (y < 0 || y > 9999) {
    char b[48];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, mi, s);
    return b;
  }
  auto put = [](std::string& out, int v, int digits) {
    char t[4];
    for (int k = digits - 1; k >= 0; --k, v /= 10) t[k] = static_cast<char>('0' + v % 10);
    out.append(t, static_cast<size_t>(digits));
  };
  std::string out;
  out.reserve(19);
  put(out, y, 4);
  out += '-';
  put(out, m, 2);
  out += '-';
  put(out, d, 2);
  if (h || mi || s) {
    out += ' ';
    put(out, h, 2);
    out += ':';
    put(out, mi, 2);
    out += ':';
    put(out, s, 2);
  }
  return out;
}

bool SerialFromIso(std::string_view s, double& serial) {
  size_t i = 0;
  int y, m, d, h = 0, mi = 0, sec = 0;
  if (!ReadInt(s, i, y, 4) || i != 4 || i >= s.size() || s[i] != '-') return false;
  ++i;
  if (!ReadInt(s, i, m, 2) || i >= s.size() || s[i] != '-') return false;
  ++i;
  if (!ReadInt(s, i, d, 2)) return false;
  if (i < s.size() && (s[i] == 'T' || s[i] == ' ')) ++i;
  if (!ReadTime(s, i, h, mi, sec) || !ValidDate(y, m, d)) return false;
  serial = SerialFromParts(y, m, d, h, mi, sec);
  return true;
}

bool SerialFromUserText(std::string_view text, double& serial) {
  size_t i = 0;
  SkipBlanks(text, i);
  std::string_view s = text.substr(i);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (SerialFromIso(s, serial)) return true;
  i = 0;
  int m, d, y, h, mi, sec;
  if (!ReadInt(s, i, m, 2) || i >= s.size() || (s[i] != '/' && s[i] != '-')) return false;
  char sep = s[i++];
  if (!ReadInt(s, i, d, 2) || i >= s.size() || s[i] != sep) return false;
  ++i;
  size_t ys = i;
  if (!ReadInt(s, i, y, 4)) return false;
  if (i - ys <= 2) y += y < 30 ? 2000 : 1900;
  if (!ReadTime(s, i, h, mi, sec) || !ValidDate(y, m, d)) return false;
  serial = SerialFromParts(y, m, d, h, mi, sec);
  return true;
}

std::string NumberText(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) {
    char b[32];
    std::snprintf(b, sizeof b, "%.0f", value);
    return std::string(b) == "-0" ? "0" : b;
  }
  char b[48];
  std::snprintf(b, sizeof b, "%.15G", value);
  std::string s = b;
  size_t e = s.find('E');
  std::string mant = e == std::string::npos ? s : s.substr(0, e);
  std::string exp = e == std::string::npos ? "" : s.substr(e);
  if (mant.find('.') != std::string::npos) {
    while (!mant.empty() && mant.back() == '0') mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
  }
  if (!exp.empty()) {  // E+020 -> E+20
    std::string sign = exp.substr(1, 1);
    std::string digits = exp.substr(2);
    while (digits.size() > 1 && digits[0] == '0') digits.erase(0, 1);
    exp = "E" + sign + digits;
  }
  return mant + exp;
}

bool ParseNumber(std::string_view text, double& value) {
  std::string s(text);
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return false;
  size_t e = s.find_last_not_of(" \t");
  s = s.substr(b, e - b + 1);
  // Only plain decimal notation: no hex, inf or nan from strtod.
  for (char c : s)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
      return false;
  char* end = nullptr;
  value = std::strtod(s.c_str(), &end);
  return end && *end == '\0' && end != s.c_str();
}

std::string ValueText(const vb::Variant& v) {
  switch (v.type()) {
    case vb::VarType::Empty:
    case vb::VarType::Null: return "";
    case vb::VarType::String: return v.rawString();
    case vb::VarType::Boolean: return v.rawInt() ? "True" : "False";
    case vb::VarType::Byte:
    case vb::VarType::Integer:
    case vb::VarType::Long: return std::to_string(v.rawInt());
    case vb::VarType::Double: return NumberText(v.rawDouble());
    case vb::VarType::Date: {
      double s = v.rawDouble();
      int y, m, d, h, mi, sec;
      PartsFromSerial(s, y, m, d, h, mi, sec);
      std::string out;
      if (std::floor(s) != 0 || (h == 0 && mi == 0 && sec == 0)) out = FormatDate(s, "m/d/yyyy");
      if (h || mi || sec) out += (out.empty() ? "" : " ") + FormatDate(s, "h:nn:ss AM/PM");
      return out;
    }
  }
  return "";
}

std::string FormatValue(const vb::Variant& v, std::string_view pattern) {
  if (v.isNull() || v.isEmpty()) return "";
  std::string named = vb::UpperCase(pattern);
  if (pattern.empty() || named == "GENERAL DATE" || named == "GENERAL NUMBER") return ValueText(v);
  if (named == "SHORT DATE") pattern = "m/d/yyyy";
  else if (named == "LONG DATE") pattern = "dddd, mmmm d, yyyy";
  else if (named == "MEDIUM DATE") pattern = "dd-mmm-yy";
  else if (named == "SHORT TIME") pattern = "hh:nn";
  else if (named == "LONG TIME") pattern = "h:nn:ss AM/PM";
  else if (named == "FIXED") pattern = "0.00";
  else if (named == "STANDARD") pattern = "#,##0.00";
  else if (named == "PERCENT") pattern = "0.00%";
  double number = 0;
  bool isDate = v.isDate();
  bool isNumber = false;
  if (v.isDate() || v.type() == vb::VarType::Double) number = v.rawDouble(), isNumber = !isDate;
  else if (v.isNumber()) number = static_cast<double>(v.rawInt()), isNumber = true;
  else if (v.isString()) {
    if (ParseNumber(v.rawString(), number)) isNumber = true;
    else if (SerialFromUserText(v.rawString(), number)) isDate = true;
    else return v.rawString();
  }
  if (named == "YES/NO") return number != 0 ? "Yes" : "No";
  if (named == "TRUE/FALSE") return number != 0 ? "True" : "False";
  if (named == "ON/OFF") return number != 0 ? "On" : "Off";
  bool dateLetters = false;
  for (char c : pattern) {
    char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (l == 'y' || l == 'd' || l == 'm' || l == 'h' || l == 'n' || l == 's') dateLetters = true;
  }
  if (dateLetters && (isDate || isNumber)) return FormatDate(number, pattern);
  if (isNumber || isDate) return FormatNumber(number, pattern);
  return ValueText(v);
}

bool LikeMatch(std::string_view text, std::string_view pattern) {
  std::u32string t = vb::DecodeUtf8(vb::UpperCase(text));
  std::u32string p = vb::DecodeUtf8(vb::UpperCase(pattern));
  return LikeAt(t, 0, p, 0);
}

size_t CharCount(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace dao::detail
