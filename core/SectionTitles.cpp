// Reads a section's letter bar and letter lists by ranges of its name index
// (see SectionTitles.h): 26 probes and the odd-beginning titles for the bar,
// one range and the odd-beginning titles for a letter's list.
#include "core/SectionTitles.h"

#include <algorithm>
#include <cstring>

#include "platform/dao/SqlFunctions.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"

namespace tvn {

namespace {

// The bounds of a letter's titles under NOCASE: from the letter to the one
// after it; after "Z" comes "{", the first sign NOCASE puts after "z". The
// literal stands first so the column's own collation (its index's) holds:
// a column compared with quoted text would take the program's collation.
std::string LetterRange(char letter) {
  const char next = letter == 'Z' ? '{' : char(letter + 1);
  return "'" + std::string(1, letter) + "' <= name and '" + std::string(1, next) + "' > name";
}

}  // namespace

SectionTitles::SectionTitles(dao::DatabasePtr db, std::string table, std::string sectionTerm,
                             std::function<void()> tick)
    : db_(std::move(db)), table_(std::move(table)), sectionTerm_(std::move(sectionTerm)), tick_(std::move(tick)) {}

void SectionTitles::Read(const std::string& where, const std::function<void(Found&&)>& take) {
  db_->ForEachRow("select name, _rowid_, typeof(name) from " + table_ + " where " + sectionTerm_ + " and (" + where +
                      ")",
                  [&](const std::vector<vb::Variant>& row) {
                    Found f;
                    const std::string type = vb::NzStr(row[2]);
                    f.rank = type == "null" ? 0 : type == "integer" || type == "real" ? 1 : type == "text" ? 2 : 3;
                    if (f.rank == 1) f.number = vb::CDbl(row[0]);
                    f.key.name = vb::NzStr(row[0]);
                    f.key.letter = forms::TitleLetter(f.key.name);
                    f.key.mark = std::int64_t(vb::CDbl(row[1]));
                    take(std::move(f));
                    if (tick_) tick_();
                    return true;
                  });
}

void SectionTitles::ReadOdd() {
  if (oddRead_) return;
  // Below "a" (digits, signs, numbers), after "z" (signs, every letter
  // beyond ASCII, blobs), and rows without a name: each range on its own,
  // so that each is read through the index.
  for (const char* where : {"'A' > name", "'{' <= name", "name is null"})
    Read(where, [this](Found&& f) { odd_.push_back(std::move(f)); });
  oddRead_ = true;
}

bool SectionTitles::Before(const Found& a, const Found& b) {
  if (a.rank != b.rank) return a.rank < b.rank;
  if (a.rank == 1 && a.number != b.number) return a.number < b.number;
  if (a.rank == 2) {
    const int c = dao::detail::TextCompare(a.key.name.data(), int(a.key.name.size()), b.key.name.data(),
                                           int(b.key.name.size()));
    if (c != 0) return c < 0;
  } else if (a.rank == 3 && a.key.name != b.key.name) {
    return a.key.name < b.key.name;
  }
  return a.key.mark < b.key.mark;
}

const std::array<bool, 26>& SectionTitles::Letters() {
  if (lettersRead_) return letters_;
  letters_.fill(false);
  for (int k = 0; k < 26; ++k) {
    bool any = false;
    db_->ForEachRow("select 1 from " + table_ + " where " + sectionTerm_ + " and " + LetterRange(char('A' + k)),
                    [&any](const std::vector<vb::Variant>&) {
                      any = true;
                      return false;
                    });
    letters_[size_t(k)] = any;
  }
  ReadOdd();
  for (const Found& f : odd_) letters_[size_t(f.key.letter[0] - 'A')] = true;
  lettersRead_ = true;
  return letters_;
}

const std::vector<TitleKey>& SectionTitles::OfLetter(const std::string& wanted) {
  const char letter = forms::IsBarLetter(wanted) ? wanted[0] : 'A';
  const auto kept = lists_.find(letter);
  if (kept != lists_.end()) return kept->second;
  std::vector<Found> found;
  Read(LetterRange(letter), [&found](Found&& f) { found.push_back(std::move(f)); });
  ReadOdd();
  for (const Found& f : odd_)
    if (f.key.letter[0] == letter) found.push_back(f);
  std::sort(found.begin(), found.end(), Before);
  std::vector<TitleKey>& list = lists_[letter];
  list.reserve(found.size());
  for (Found& f : found) list.push_back(std::move(f.key));
  return list;
}

}  // namespace tvn
