#pragma once
// The letter bar and the title list of one letter, read from a section's
// rows through the file's (section, name) index instead of a walk over the
// whole section: a section of a million titles is shown as fast as one of
// a thousand.
//
// The file's index sorts names under SQLite's NOCASE, the lists under the
// program's own letter order; the two agree on which titles begin with an
// ASCII letter. So a letter's titles are the index range of that letter,
// plus the titles that begin with anything else (digits, signs, accented
// and other letters, empty or no name), which are read once by their own
// ranges and filed under the letter the program gives them. Each list is
// then put in the order of the section's set, which sorts by the program's
// letter order (rows of equal names by their row).
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/RecordWindow.h"
#include "platform/dao/Dao.h"

namespace tvn {

class SectionTitles {
 public:
  // The rows of table for which sectionTerm holds ("sectionnumber = 3", a
  // term of the program's own making). tick is called between rows read.
  SectionTitles(dao::DatabasePtr db, std::string table, std::string sectionTerm, std::function<void()> tick = {});

  // Whether each letter of the bar (A = 0) lists a title.
  const std::array<bool, 26>& Letters();
  // The titles listed under a letter A to Z (anything else lists under
  // A), in the order of the section's set; read once.
  const std::vector<TitleKey>& OfLetter(const std::string& letter);

 private:
  struct Found {
    TitleKey key;
    int rank = 0;  // SQLite's order of types: no name, number, text, other
    double number = 0;
  };
  void Read(const std::string& where, const std::function<void(Found&&)>& take);
  void ReadOdd();
  static bool Before(const Found& a, const Found& b);

  dao::DatabasePtr db_;
  std::string table_, sectionTerm_;
  std::function<void()> tick_;
  bool oddRead_ = false;
  std::vector<Found> odd_;  // titles not beginning with a letter A to Z
  bool lettersRead_ = false;
  std::array<bool, 26> letters_{};
  std::map<char, std::vector<TitleKey>> lists_;
};

}  // namespace tvn
