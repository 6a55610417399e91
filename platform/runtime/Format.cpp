// Format: dates and numbers shown with the runtime's patterns, in the
// United States conventions the stored texts were written in.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/runtime/DateParts.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace vb {
namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Two(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

// ---------------------------------------------------------------- dates

struct DTok {
  char kind;        // 'd','m','y','h','n','s','w','q','A'(am/pm),'L'(literal),'c'
  int count = 0;    // run length
  std::string text; // literal text, or the am/pm pattern as written
};

std::vector<DTok> TokenizeDate(const std::string& p) {
  std::vector<DTok> out;
  size_t i = 0;
  auto lit = [&](const std::string& t) {
    if (!out.empty() && out.back().kind == 'L') out.back().text += t;
    else out.push_back(DTok{'L', 0, t});
  };
  while (i < p.size()) {
    char c = p[i];
    char lc = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"') {
      size_t e = p.find('"', i + 1);
      if (e == std::string::npos) e = p.size();
      lit(p.substr(i + 1, e - i - 1));
      i = e + 1;
    } else if (c == '\\') {
      if (i + 1 < p.size()) lit(std::string(1, p[i + 1]));
      i += 2;
    } else if (lc == 'a') {
      static const char* kForms[] = {"am/pm", "a/p", "ampm"};
      bool done = false;
      for (const char* f : kForms) {
        std::string form = f;
        if (Lower(p.substr(i, form.size())) == form) {
          out.push_back(DTok{'A', 0, p.substr(i, form.size())});
          i += form.size();
          done = true;
          break;
        }
      }
      if (!done) { lit(std::string(1, c)); ++i; }
    } else if (std::string("dmyhnswqct").find(lc) != std::string::npos) {
      size_t j = i;
      while (j < p.size() && std::tolower(static_cast<unsigned char>(p[j])) == lc) ++j;
      out.push_back(DTok{lc, static_cast<int>(j - i), ""});
      i = j;
    } else {
      lit(std::string(1, c));
      ++i;
    }
  }
  return out;
}

std::string FormatDatePattern(double serial, const std::string& pattern);

std::string GeneralDate(double serial) {
  double days = std::trunc(serial);
  bool hasTime = std::fabs(serial - days) * 86400.0 >= 0.5;
  if (days == 0) return FormatDatePattern(serial, "h:mm:ss AM/PM");
  if (!hasTime) return FormatDatePattern(serial, "m/d/yyyy");
  return FormatDatePattern(serial, "m/d/yyyy h:mm:ss AM/PM");
}

std::string FormatDatePattern(double serial, const std::string& pattern) {
  DateParts p = SplitSerial(serial);
  std::vector<DTok> toks = TokenizeDate(pattern);
  bool twelve = false;
  for (const DTok& t : toks)
    if (t.kind == 'A') twelve = true;
  std::string out;
  for (size_t i = 0; i < toks.size(); ++i) {
    const DTok& t = toks[i];
    switch (t.kind) {
      case 'L': out += t.text; break;
      case 'c': out += GeneralDate(serial); break;
      case 'd':
        if (t.count == 1) out += std::to_string(p.day);
        else if (t.count == 2) out += Two(p.day);
        else if (t.count == 3) out += std::string(kDays[p.weekday - 1]).substr(0, 3);
        else if (t.count == 4) out += kDays[p.weekday - 1];
        else if (t.count == 5) out += FormatDatePattern(serial, "m/d/yyyy");
        else out += FormatDatePattern(serial, "dddd, mmmm d, yyyy");
        break;
      case 'm': {
        // m right after an hour, or right before seconds, is the minute.
        bool minute = false;
        for (size_t k = i; k-- > 0;) {
          if (toks[k].kind == 'L') continue;
          minute = toks[k].kind == 'h';
          break;
        }
        for (size_t k = i + 1; !minute && k < toks.size(); ++k) {
          if (toks[k].kind == 'L') continue;
          minute = toks[k].kind == 's';
          break;
        }
        if (minute && t.count <= 2) {
          out += t.count == 1 ? std::to_string(p.minute) : Two(p.minute);
        } else if (t.count == 1) {
          out += std::to_string(p.month);
        } else if (t.count == 2) {
          out += Two(p.month);
        } else if (t.count == 3) {
          out += std::string(kMonths[p.month - 1]).substr(0, 3);
        } else {
          out += kMonths[p.month - 1];
        }
        break;
      }
      case 'y': {
        auto dayOfYear = [&] {
          double jan1 = 0;
          MakeSerial(p.year, 1, 1, 0, 0, 0, jan1);
          return std::to_string(static_cast<long>(std::fabs(std::trunc(serial) - jan1)) + 1);
        };
        if (t.count == 1) {
          out += dayOfYear();
        } else if (t.count == 2) {
          out += Two(p.year % 100);
        } else if (t.count == 3) {  // read as "yy" then "y"
          out += Two(p.year % 100) + dayOfYear();
        } else {
          char b[16];
          std::snprintf(b, sizeof b, "%04d", p.year);
          out += b;
        }
        break;
      }
      case 'h': {
        int h = p.hour;
        if (twelve) h = h % 12 == 0 ? 12 : h % 12;
        out += t.count == 1 ? std::to_string(h) : Two(h);
        break;
      }
      case 'n': out += t.count == 1 ? std::to_string(p.minute) : Two(p.minute); break;
      case 's': out += t.count == 1 ? std::to_string(p.second) : Two(p.second); break;
      case 'w': out += std::to_string(p.weekday); break;
      case 'q': out += std::to_string((p.month - 1) / 3 + 1); break;
      case 't': out += FormatDatePattern(serial, "h:mm:ss AM/PM"); break;
      case 'A': {
        bool pm = p.hour >= 12;
        std::string f = t.text;
        std::string lf = Lower(f);
        bool upper = std::isupper(static_cast<unsigned char>(f[0])) != 0;
        if (lf == "am/pm") out += pm ? f.substr(3, 2) : f.substr(0, 2);
        else if (lf == "a/p") out += pm ? f.substr(2, 1) : f.substr(0, 1);
        else out += upper ? (pm ? "PM" : "AM") : (pm ? "pm" : "am");
        break;
      }
      default: break;
    }
  }
  return out;
}

bool IsDatePattern(const std::string& p) {
  for (const DTok& t : TokenizeDate(p))
    if (t.kind != 'L') return true;
  return false;
}

// -------------------------------------------------------------- numbers

// The decimal digits of |x| to 15 significant digits, rounded half away
// from zero at `decimals` places: integer part and fraction part.
void DecimalDigits(double x, int decimals, std::string& intPart, std::string& fracPart) {
  x = std::fabs(x);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", x);
  std::string s = buf;
  size_t e = s.find('e');
  int exp = std::atoi(s.c_str() + e + 1);
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);  // 15 digits, value 0.D * 10^(exp+1)
  int point = exp + 1;  // digits before the decimal point
  // Lay out as a plain digit string with `point` integer digits.
  std::string all;
  if (point <= 0) {
    all = std::string(static_cast<size_t>(-point), '0') + digits;
    point = 0;
  } else {
    all = digits;
    if (static_cast<int>(all.size()) < point) all += std::string(static_cast<size_t>(point) - all.size(), '0');
  }
  int keep = point + decimals;
  if (static_cast<int>(all.size()) < keep) all += std::string(static_cast<size_t>(keep) - all.size(), '0');
  bool up = static_cast<int>(all.size()) > keep && all[static_cast<size_t>(keep)] >= '5';
  all.resize(static_cast<size_t>(keep));
  if (up) {
    int k = keep - 1;
    for (; k >= 0; --k) {
      if (all[static_cast<size_t>(k)] == '9') {
        all[static_cast<size_t>(k)] = '0';
      } else {
        ++all[static_cast<size_t>(k)];
        break;
      }
    }
    if (k < 0) { all.insert(all.begin(), '1'); ++point; }
  }
  intPart = all.substr(0, static_cast<size_t>(point));
  fracPart = all.substr(static_cast<size_t>(point));
  size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "" : intPart.substr(nz);
}

struct NumSection {
  std::string prefix, suffix;
  int intZeros = 0;      // minimum integer digits
  int fracZeros = 0;     // minimum decimals
  int fracMax = 0;       // maximum decimals
  bool thousands = false;
  bool percent = false;
  bool hasDigits = false;
};

NumSection ParseSection(const std::string& p) {
  NumSection s;
  bool inNumber = false, afterPoint = false, done = false;
  std::string* lit = &s.prefix;
  for (size_t i = 0; i < p.size(); ++i) {
    char c = p[i];
    if (c == '"') {
      size_t e = p.find('"', i + 1);
      if (e == std::string::npos) e = p.size();
      *lit += p.substr(i + 1, e - i - 1);
      i = e;
      if (inNumber) { done = true; lit = &s.suffix; }
      continue;
    }
    if (c == '\\') {
      if (i + 1 < p.size()) *lit += p[++i];
      if (inNumber) { done = true; lit = &s.suffix; }
      continue;
    }
    if (!done && (c == '0' || c == '#')) {
      inNumber = s.hasDigits = true;
      if (afterPoint) {
        ++s.fracMax;
        if (c == '0') s.fracZeros = s.fracMax;
      } else if (c == '0') {
        ++s.intZeros;
      }
      continue;
    }
    if (!done && c == '.' && !afterPoint) {
      afterPoint = inNumber = true;
      continue;
    }
    if (!done && c == ',' && inNumber && !afterPoint) {
      s.thousands = true;
      continue;
    }
    if (c == '%') s.percent = true;
    if (inNumber) { done = true; lit = &s.suffix; }
    *lit += c;
  }
  return s;
}

std::string FormatNumberPattern(double x, const std::string& pattern) {
  // An infinity or NaN has no digits to lay out.
  if (!std::isfinite(x)) return CStr(Variant(x));
  std::vector<std::string> sections;
  {
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
      char c = pattern[i];
      if (c == '"') quoted = !quoted;
      if (c == '\\' && i + 1 < pattern.size()) { cur += c; cur += pattern[++i]; continue; }
      if (c == ';' && !quoted) { sections.push_back(cur); cur.clear(); continue; }
      cur += c;
    }
    sections.push_back(cur);
  }
  bool negative = x < 0;
  std::string pat = sections[0];
  bool signInPattern = false;
  if (negative && sections.size() > 1 && !sections[1].empty()) { pat = sections[1]; signInPattern = true; }
  NumSection s = ParseSection(pat);
  if (!s.hasDigits) {
    return (negative && !signInPattern ? "-" : "") + s.prefix + s.suffix;
  }
  double v = s.percent ? x * 100.0 : x;
  std::string ip, fp;
  DecimalDigits(v, s.fracMax, ip, fp);
  bool zero = ip.empty() && fp.find_first_not_of('0') == std::string::npos;
  if (zero && sections.size() > 2 && !sections[2].empty()) {
    NumSection z = ParseSection(sections[2]);
    if (!z.hasDigits) return z.prefix + z.suffix;
    return FormatNumberPattern(0.0, sections[2]);
  }
  while (static_cast<int>(fp.size()) > s.fracZeros && !fp.empty() && fp.back() == '0') fp.pop_back();
  if (static_cast<int>(ip.size()) < s.intZeros) ip.insert(0, static_cast<size_t>(s.intZeros) - ip.size(), '0');
  if (s.thousands && ip.size() > 3) {
    std::string g;
    int n = 0;
    for (size_t k = ip.size(); k-- > 0;) {
      g.insert(g.begin(), ip[k]);
      if (++n % 3 == 0 && k > 0) g.insert(g.begin(), ',');
    }
    ip = g;
  }
  std::string body = ip;
  if (s.fracMax > 0 && (!fp.empty() || s.fracZeros > 0)) body += "." + fp;
  if (s.fracMax == 0 && pat.find('.') != std::string::npos && pat.find('.') < pat.find_last_of("0#")) body += ".";
  std::string sign = negative && !signInPattern && !zero ? "-" : "";
  return sign + s.prefix + body + s.suffix;
}

bool SameName(const std::string& a, const char* b) { return Lower(a) == Lower(b); }

// A value formatted as a date that is no date (a far-off number another
// program stored): shown as it is stored, never as a made-up day.
std::string NoDateText(const Variant& v, double serial) {
  if (v.isString()) return v.rawString();
  return CStr(Variant(serial));
}

}  // namespace

std::string Format(const Variant& v, const std::string& pattern) {
  if (v.isNull()) return "";
  if (pattern.empty()) return CStr(v);

  // Named formats.
  if (SameName(pattern, "General Date") || SameName(pattern, "Long Date") || SameName(pattern, "Medium Date") ||
      SameName(pattern, "Short Date") || SameName(pattern, "Long Time") || SameName(pattern, "Medium Time") ||
      SameName(pattern, "Short Time")) {
    double serial;
    if (v.isDate()) serial = v.rawDouble();
    else if (v.isString() && ParseDate(v.rawString(), serial)) {}
    else if (v.isNumber() || v.isEmpty()) serial = CDbl(v);
    else if (v.isString() && IsNumeric(v)) serial = CDbl(v);
    else return CStr(v);
    if (!IsDateSerial(serial)) return NoDateText(v, serial);
    std::string n = Lower(pattern);
    if (n == "general date") return GeneralDate(serial);
    if (n == "long date") return FormatDatePattern(serial, "dddd, mmmm d, yyyy");
    if (n == "medium date") return FormatDatePattern(serial, "dd-mmm-yy");
    if (n == "short date") return FormatDatePattern(serial, "m/d/yyyy");
    if (n == "long time") return FormatDatePattern(serial, "h:mm:ss AM/PM");
    if (n == "medium time") return FormatDatePattern(serial, "hh:mm AM/PM");
    return FormatDatePattern(serial, "hh:mm");
  }
  if (SameName(pattern, "Yes/No") || SameName(pattern, "True/False") || SameName(pattern, "On/Off")) {
    if (!IsNumeric(v)) return CStr(v);
    bool b = CDbl(v) != 0;
    std::string n = Lower(pattern);
    if (n == "yes/no") return b ? "Yes" : "No";
    if (n == "on/off") return b ? "On" : "Off";
    return b ? "True" : "False";
  }
  std::string numeric;
  if (SameName(pattern, "General Number")) numeric = "";
  else if (SameName(pattern, "Currency")) numeric = "$#,##0.00;($#,##0.00)";
  else if (SameName(pattern, "Fixed")) numeric = "0.00";
  else if (SameName(pattern, "Standard")) numeric = "#,##0.00";
  else if (SameName(pattern, "Percent")) numeric = "0.00%";
  else numeric = pattern;

  if (numeric.empty() || !IsDatePattern(numeric)) {
    double x;
    if (v.isString()) {
      if (!IsNumeric(v)) return v.rawString();
      x = CDbl(v);
    } else {
      x = CDbl(v);
    }
    if (numeric.empty()) return CStr(Variant(x));
    return FormatNumberPattern(x, numeric);
  }

  double serial;
  if (v.isDate()) serial = v.rawDouble();
  else if (v.isString()) {
    if (!ParseDate(v.rawString(), serial)) {
      if (!IsNumeric(v)) return v.rawString();
      serial = CDbl(v);
    }
  } else {
    serial = CDbl(v);
  }
  if (!IsDateSerial(serial)) return NoDateText(v, serial);
  return FormatDatePattern(serial, numeric);
}

}  // namespace vb
