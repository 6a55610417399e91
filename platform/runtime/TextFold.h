#pragma once
// Unicode-aware letter case for UTF-8 text. One rule serves the string
// functions (UCase, LCase, text comparison) and the database's TVNTEXT
// collation, so "Édith" and "édith" are one name wherever they meet.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vb {

std::u32string DecodeUtf8(std::string_view s);  // invalid bytes become U+FFFD
std::string EncodeUtf8(std::u32string_view s);
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Compares without regard to case: -1, 0 or 1 (code point order of the
// upper-cased texts).
int CompareNoCase(std::string_view a, std::string_view b);

// The letter a character is filed under: its upper case without accent
// ("é" and "É" are E, "ß" is S, "Ø" is O); other characters give their
// upper case.
char32_t BaseLetter(char32_t c);
// The order people read titles in: letter by letter on the base letters
// ("école" and "Étude" come among the E, before "Zappa"), and where those
// are the same, by the upper-cased characters. Base letters compare in
// lower case, so plain ASCII text orders as SQLite's NOCASE orders it. Two
// texts are equal exactly when CompareNoCase finds them equal.
int CompareLetters(std::string_view a, std::string_view b);
// The base letters of a text as bytes, for sorting many texts by the
// letter order without decoding them at every comparison: where the keys
// of two texts differ (compared byte by byte, a key that begins another
// first), CompareLetters orders the texts as the keys; where the keys are
// equal, only the case and accents of the texts can still tell them apart.
std::string LetterKey(std::string_view text);
// The same, added to the end of key.
void AppendLetterKey(std::string& key, std::string_view text);

// The letter keys of many texts, made once for sorting them: Compare
// answers as CompareLetters does, mostly from the first bytes of the keys.
// text(i) must stay valid, and give the same text, while the keys live.
class LetterSortKeys {
 public:
  LetterSortKeys(size_t count, std::function<std::string_view(size_t)> text);
  int Compare(std::uint32_t a, std::uint32_t b) const;
  // Where each text goes in a stable sort by Compare, ascending or
  // descending (the text that comes i-th is by[i]). On one core and
  // mostly on the keys' first bytes, so that a loaded machine takes no
  // longer than an idle one gives or takes its own share.
  std::vector<std::uint32_t> StableOrder(bool ascending) const;

 private:
  std::function<std::string_view(size_t)> text_;
  std::string keys_;
  struct Head {
    std::uint64_t high, low;  // the key's first sixteen bytes
    std::uint32_t at, size;   // the whole key in keys_
  };
  std::vector<Head> heads_;
};

// Where each text goes in a stable sort by CompareLetters (the text that
// comes i-th is by[i]). Pure work, which may run on a thread of its own.
std::vector<std::uint32_t> LetterOrder(size_t count, const std::function<std::string_view(size_t)>& text);

}  // namespace vb
