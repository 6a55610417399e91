// The letter bar and letter lists read through the name index must be
// exactly what a walk over the whole section in its set's order gives, in
// both kinds of collection file, whatever the titles begin with.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/Schema.h"
#include "core/SectionTitles.h"
#include "platform/dao/Dao.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"

namespace {

using Titles = std::vector<std::pair<std::string, std::int64_t>>;

// Titles beginning with accents in either case, digits, quotes, signs on
// both sides of the letters in ASCII, other scripts, an emoji, an empty
// name, names equal but for case, and names that only differ after an
// accent.
const char* const kNames[] = {
    "Zork",  "zap",  "\u00c9chec", "\u00e9clair", "Ecco", "3D Tetris", "'Round", "\u4e2d\u6587", "\u03a9mega",
    "\u00c4rger", "apple", "Apple", "APPLE", "", "[Bracket]", "_under", "`tick", "{brace}", "~tilde",
    "\xF0\x9F\x98\x80 Smile", "\u00d8resund", "Z", "z", "Zz", "yacht", "1942", "\"Quoted\"", " Leading", "Caf\u00e9 B",
    "Cafe A", "caf\u00e9 a", "\u00c6sop", "!bang", "@at"};

class SectionTitlesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tvnsectitles-XXXXXX";
    dir_ = mkdtemp(tmpl);
    path_ = dir_ + "/titles.mdb";
    if (GetParam())
      tvn::schema::CreateGameCollectionFile(path_);
    else
      tvn::schema::CreateCollectionFile(path_);
    // Written as another SQLite tool would: a row without a name too.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(raw, "insert into mediadata (name, sectionnumber) values (?1, ?2)", -1, &st, nullptr),
              SQLITE_OK);
    auto add = [&](const char* name, int section) {
      if (name)
        sqlite3_bind_text(st, 1, name, -1, SQLITE_TRANSIENT);
      else
        sqlite3_bind_null(st, 1);
      sqlite3_bind_int(st, 2, section);
      EXPECT_EQ(sqlite3_step(st), SQLITE_DONE) << sqlite3_errmsg(raw);
      sqlite3_reset(st);
    };
    for (const char* name : kNames) add(name, 2);
    add(nullptr, 2);
    add("Apple", 2);  // the same name twice: listed twice, in the order of their rows
    // Other sections' titles stay out of the section's letters.
    for (const char* name : {"Quake", "Kirby", "\u00d1u", "0 other"}) {
      add(name, 1);
      add(name, 3);
    }
    sqlite3_finalize(st);
    sqlite3_close(raw);
    db_ = dao::DBEngine::Workspaces(0).OpenDatabase(path_);
  }
  void TearDown() override {
    db_->Close();
    db_.reset();
    std::filesystem::remove_all(dir_);
  }

  // The section's set walked from its first row to its last, each title
  // under its letter.
  std::map<char, Titles> FullRead(int section) {
    std::map<char, Titles> byLetter;
    auto rs = db_->OpenRecordset("select * from mediadata where sectionnumber = " + std::to_string(section) +
                                 " order by name");
    for (; !rs->Eof(); rs->MoveNext()) {
      const std::string name = vb::NzStr(rs->GetField("Name"));
      byLetter[forms::TitleLetter(name)[0]].emplace_back(name, rs->Bookmark());
    }
    rs->Close();
    return byLetter;
  }

  static Titles Of(const std::vector<tvn::TitleKey>& keys) {
    Titles t;
    for (const tvn::TitleKey& k : keys) t.emplace_back(k.name, k.mark);
    return t;
  }

  std::string dir_, path_;
  dao::DatabasePtr db_;
};

TEST_P(SectionTitlesTest, LettersAndListsAreThoseOfAFullWalkOfTheSection) {
  for (int section : {2, 1}) {
    SCOPED_TRACE(section);
    const std::map<char, Titles> expected = FullRead(section);
    tvn::SectionTitles index(db_, "mediadata", "sectionnumber = " + std::to_string(section));
    const std::array<bool, 26>& letters = index.Letters();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      SCOPED_TRACE(std::string(1, letter));
      const auto want = expected.find(letter);
      EXPECT_EQ(letters[size_t(letter - 'A')], want != expected.end());
      EXPECT_EQ(Of(index.OfLetter(std::string(1, letter))), want == expected.end() ? Titles{} : want->second);
    }
  }
}

TEST_P(SectionTitlesTest, AnythingButALetterListsUnderA) {
  tvn::SectionTitles index(db_, "mediadata", "sectionnumber = 2");
  EXPECT_EQ(Of(index.OfLetter("?")), Of(index.OfLetter("A")));
  EXPECT_EQ(Of(index.OfLetter("")), Of(index.OfLetter("A")));
  // The row without a name and the empty name are listed, first.
  const Titles a = Of(index.OfLetter("A"));
  ASSERT_GE(a.size(), 2u);
  EXPECT_EQ(a[0].first, "");
  EXPECT_EQ(a[1].first, "");
}

// A section without titles lights no letter and lists nothing.
TEST_P(SectionTitlesTest, EmptySectionHasNoLetters) {
  tvn::SectionTitles index(db_, "mediadata", "sectionnumber = 5");
  for (bool lit : index.Letters()) EXPECT_FALSE(lit);
  EXPECT_TRUE(index.OfLetter("A").empty());
}

INSTANTIATE_TEST_SUITE_P(BothCatalogues, SectionTitlesTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Games" : "Media"; });

}  // namespace
