#include "platform/runtime/TextFold.h"

#include "platform/runtime/ParallelSort.h"

#include <algorithm>

#include <locale.h>
#include <wctype.h>

namespace vb {
namespace {

locale_t Utf8Locale() {
  // C.UTF-8 is built into the C library; it knows the case of every letter.
  static locale_t loc = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (!l) l = newlocale(LC_CTYPE_MASK, "C", locale_t(0));
    return l;
  }();
  return loc;
}

char32_t Upper(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), Utf8Locale()));
}

char32_t Lower(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Utf8Locale()));
}

// Decodes one character at s[i], advancing i.
char32_t Next(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > s.size()) { ++i; return 0xFFFD; }
  if (len == 1) { ++i; return c; }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc >> 6) != 2) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += len;
  return cp;
}

void Append(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

template <class F>
std::string Map(std::string_view s, F f) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) Append(out, f(Next(s, i)));
  return out;
}

// Base letters of U+00C0 to U+017F (Latin-1 letters and Latin
// Extended-A), 8 a group; '.' marks a character that is no letter.
constexpr char kBase[] =
    "AAAAAAAC" "EEEEIIII" "DNOOOOO." "OUUUUYTS" "AAAAAAAC" "EEEEIIII" "DNOOOOO." "OUUUUYTY"
    "AAAAAACC" "CCCCCCDD" "DDEEEEEE" "EEEEGGGG" "GGGGHHHH" "IIIIIIII" "IIIIJJKK" "KLLLLLLL"
    "LLLNNNNN" "NNNNOOOO" "OOOORRRR" "RRSSSSSS" "SSTTTTTT" "UUUUUUUU" "UUUUWWYY" "YZZZZZZS";
static_assert(sizeof kBase - 1 == 0x180 - 0xC0);

}  // namespace

char32_t BaseLetter(char32_t c) {
  c = Upper(c);
  if (c >= 0xC0 && c < 0x180 && kBase[c - 0xC0] != '.') return static_cast<char32_t>(kBase[c - 0xC0]);
  return c;
}

int CompareLetters(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  int tie = 0;  // the first difference of the upper-cased characters
  while (i < a.size() && j < b.size()) {
    const char32_t x = Upper(Next(a, i));
    const char32_t y = Upper(Next(b, j));
    if (x == y) continue;
    // Base letters compare in lower case, so that plain ASCII text orders
    // exactly as SQLite's NOCASE orders it ("_" before the letters).
    auto fold = [](char32_t b) { return b >= U'A' && b <= U'Z' ? b + 32 : b; };
    const char32_t bx = fold(BaseLetter(x)), by = fold(BaseLetter(y));
    if (bx != by) return bx < by ? -1 : 1;
    if (tie == 0) tie = x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return tie;
}

void AppendLetterKey(std::string& key, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      // A plain ASCII character is its own base letter, folded to lower case.
      key += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      ++i;
      continue;
    }
    const char32_t b = BaseLetter(Upper(Next(text, i)));
    // As CompareLetters folds base letters; the bytes of the UTF-8 form
    // order as the characters do, whatever their number of bytes.
    Append(key, b >= U'A' && b <= U'Z' ? b + 32 : b);
  }
}

std::string LetterKey(std::string_view text) {
  std::string key;
  key.reserve(text.size());
  AppendLetterKey(key, text);
  return key;
}

LetterSortKeys::LetterSortKeys(size_t count, std::function<std::string_view(size_t)> text)
    : text_(std::move(text)), heads_(count) {
  for (size_t i = 0; i < count; ++i) {
    const size_t at = keys_.size();
    AppendLetterKey(keys_, text_(i));
    const std::string_view key = std::string_view(keys_).substr(at);
    auto word = [&key](size_t from) {
      std::uint64_t w = 0;
      for (size_t b = from; b < from + 8; ++b) w = w << 8 | (b < key.size() ? static_cast<unsigned char>(key[b]) : 0u);
      return w;
    };
    heads_[i] = Head{word(0), word(8), static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(key.size())};
  }
}

int LetterSortKeys::Compare(std::uint32_t a, std::uint32_t b) const {
  // Where the keys differ they decide; where they are equal, only case and
  // accents can still tell the texts apart.
  const Head& x = heads_[a];
  const Head& y = heads_[b];
  if (x.high != y.high) return x.high < y.high ? -1 : 1;
  if (x.low != y.low) return x.low < y.low ? -1 : 1;
  const std::string_view keys(keys_);
  if (const int k = keys.substr(x.at, x.size).compare(keys.substr(y.at, y.size)); k != 0) return k < 0 ? -1 : 1;
  const std::string_view s = text_(a), t = text_(b);
  return s == t ? 0 : CompareLetters(s, t);
}

std::vector<std::uint32_t> LetterSortKeys::StableOrder(bool ascending) const {
  // The first sixteen bytes of the keys and the texts' positions sorted as
  // plain numbers, the position breaking ties (which makes the sort
  // stable); only texts whose first sixteen key bytes agree are then
  // compared whole, in their positions' order.
  struct Entry {
    std::uint64_t high, low;
    std::uint32_t at;
  };
  std::vector<Entry> entries(heads_.size());
  for (size_t i = 0; i < heads_.size(); ++i) entries[i] = Entry{heads_[i].high, heads_[i].low, std::uint32_t(i)};
  if (ascending)
    std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
      if (x.high != y.high) return x.high < y.high;
      if (x.low != y.low) return x.low < y.low;
      return x.at < y.at;
    });
  else
    std::sort(entries.begin(), entries.end(), [](const Entry& x, const Entry& y) {
      if (x.high != y.high) return x.high > y.high;
      if (x.low != y.low) return x.low > y.low;
      return x.at < y.at;
    });
  std::vector<std::uint32_t> by(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) by[i] = entries[i].at;
  for (size_t first = 0; first < entries.size();) {
    size_t last = first + 1;
    while (last < entries.size() && entries[last].high == entries[first].high && entries[last].low == entries[first].low)
      ++last;
    // A run of equal heads is already in order when its texts are all the
    // same (the usual case of a repeated name).
    const std::string_view text = text_(by[first]);
    bool same = true;
    for (size_t i = first + 1; i < last && same; ++i) same = text_(by[i]) == text;
    if (!same) {
      if (ascending)
        std::stable_sort(by.begin() + std::ptrdiff_t(first), by.begin() + std::ptrdiff_t(last),
                         [this](std::uint32_t a, std::uint32_t b) { return Compare(a, b) < 0; });
      else
        std::stable_sort(by.begin() + std::ptrdiff_t(first), by.begin() + std::ptrdiff_t(last),
                         [this](std::uint32_t a, std::uint32_t b) { return Compare(a, b) > 0; });
    }
    first = last;
  }
  return by;
}

std::vector<std::uint32_t> LetterOrder(size_t count, const std::function<std::string_view(size_t)>& text) {
  const LetterSortKeys keys(count, text);
  std::vector<std::uint32_t> by(count);
  for (size_t i = 0; i < count; ++i) by[i] = static_cast<std::uint32_t>(i);
  ParallelStableSort(by, [&keys](std::uint32_t a, std::uint32_t b) { return keys.Compare(a, b) < 0; });
  return by;
}

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) out += Next(s, i);
  return out;
}

std::string EncodeUtf8(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) Append(out, c);
  return out;
}

std::string UpperCase(std::string_view s) {
  // Plain ASCII, the common case, without decoding character by character.
  std::string out(s);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) >= 0x80) return Map(s, Upper);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return out;
}
std::string LowerCase(std::string_view s) { return Map(s, Lower); }

int CompareNoCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    char32_t x = Upper(Next(a, i));
    char32_t y = Upper(Next(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace vb
