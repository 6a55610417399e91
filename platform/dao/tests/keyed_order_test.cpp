// A set ordered by names beyond ASCII, opened with its keys sorted here
// (OpenRecordsetAside) rather than by the engine in one step: the same
// rows in the same order as the engine gives, rows of equal names by their
// row (as the title lists order them), and a set
// that reads, edits and deletes as any other.
#include <sqlite3.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/tests/DaoTestUtil.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

using namespace dao;
using daotest::DaoTest;
using daotest::Str;
using vb::Variant;

namespace {

class KeyedOrderTest : public DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    TableDef t("items");
    t.CreateField("name", dbText, 255).AllowZeroLength = true;
    t.CreateField("section", dbByte);
    t.CreateField("note", dbText, 50).AllowZeroLength = true;
    t.CreateIndex("section").Fields = {"section"};
    t.CreateIndex("secname").Fields = {"section", "name"};
    db_->AppendTableDef(t);
  }

  // Adds the names to a section, each once per copy, spread so that
  // equal names are far apart in the table.
  void AddNames(const std::vector<const char*>& names, int section, int copies = 1) {
    db_->BeginTrans();
    auto rs = db_->OpenRecordset("items");
    for (int c = 0; c < copies; ++c)
      for (size_t i = 0; i < names.size(); ++i) {
        rs->AddNew();
        if (names[i]) rs->Fields("name") = Variant(std::string(names[i]));
        rs->Fields("section") = Variant(section);
        rs->Fields("note") = Variant(std::to_string(c));
        rs->Update();
      }
    rs->Close();
    db_->CommitTrans();
  }

  // Writes through a connection of another program.
  void OtherProgram(const std::string& sql) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Path("t.mdb").c_str(), &other), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
    sqlite3_close(other);
  }

  // Opens through the keys, noting each hand-over of the sort.
  RecordsetPtr OpenByKeys(const std::string& sql) {
    return db_->OpenRecordsetAside(
        sql, [this] { ++ticks_; },
        [this](const std::function<void()>& work) {
          ++asides_;
          work();
        });
  }

  struct Row {
    Recordset::BookmarkType id;
    Variant key;
  };
  static std::vector<Row> Rows(const RecordsetPtr& rs, const std::string& key) {
    std::vector<Row> out;
    if (rs->RecordCount() == 0) return out;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) out.push_back({rs->Bookmark(), rs->GetField(key)});
    return out;
  }
  static bool SameKey(const Variant& a, const Variant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (a.isString() != b.isString()) return false;
    // Numbers as read may have lost the digits that set them apart.
    return a.isString() && vb::CompareLetters(a.rawString(), b.rawString()) == 0;
  }

  // The engine's order of one select, rows of equal keys by their row, and
  // the keys' order, row by row.
  void ExpectSameOrder(const std::string& sql, const std::string& key = "name", bool sortedHere = true) {
    SCOPED_TRACE(sql);
    std::vector<Row> engine = Rows(db_->OpenRecordset(sql), key);
    for (size_t first = 0; first < engine.size();) {
      size_t last = first + 1;
      while (last < engine.size() && SameKey(engine[first].key, engine[last].key)) ++last;
      std::sort(engine.begin() + long(first), engine.begin() + long(last),
                [](const Row& a, const Row& b) { return a.id < b.id; });
      first = last;
    }
    std::vector<Recordset::BookmarkType> expected;
    for (const Row& r : engine) expected.push_back(r.id);
    const int before = asides_;
    auto keyed = OpenByKeys(sql);
    EXPECT_EQ(asides_, before + (sortedHere ? 1 : 0));
    EXPECT_EQ(keyed->RecordCount(), static_cast<long>(expected.size()));
    std::vector<Recordset::BookmarkType> got;
    for (const Row& r : Rows(keyed, key)) got.push_back(r.id);
    EXPECT_EQ(got, expected);
  }

  int ticks_ = 0;
  int asides_ = 0;
};

const std::vector<const char*> kHardNames = {
    "\xC3\x89mile",                   // Émile
    "emile",      "EMILE",    "\xC3\xA9mile",  // émile
    "Stra\xC3\x9F" "e",               // Straße
    "strasse",    "STRASSE",
    "\xEF\xAC\x81le",                 // ﬁle (ligature)
    "file",       "\xC5\x92uvre",     // Œuvre
    "oeuvre",     "10 Songs", "9 Songs", "2", "02",
    "\"Quoted\"", "'single'", "It's",
    "100%",       "a_b",      "a%b", "[x]", "*", "?",
    "\xCE\xA9mega",                   // Ωmega
    "\xCF\x89mega",                   // ωmega
    "\xE4\xB8\xAD\xE6\x96\x87",       // 中文
    "\xE4\xB8\x80",                   // 一
    "\xF0\x9F\x8E\xB5 Music",         // 🎵 Music
    "\xF0\x9F\x8E\xB8",               // 🎸
    "",           nullptr,    "Zappa", "zappa", "\xC3\x85" "ngstr\xC3\xB6m",  // Ångström
    "Angstrom",   "\xC3\x98resund",   "Oresund", "\xC3\x9E" "orn",  // Øresund, Þorn
    // One name in two cases, the later row first in the file's index.
    "\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89",  // été, ÉTÉ
};

TEST_F(KeyedOrderTest, NamesBeyondAsciiComeInTheEnginesOrderWithTiesByRow) {
  AddNames(kHardNames, 2, 3);
  AddNames({"Other", "\xC3\x89tude"}, 3, 2);
  ExpectSameOrder("select * from items where section = 2 order by name");
  ExpectSameOrder("select * from items where section = 2 order by name desc");
  ExpectSameOrder("select name, note from items order by name");
  ExpectSameOrder("select * from items where section = 3 and note = '1' order by name");
  // A section of plain names, and one without rows, keep the engine's
  // order over the index.
  AddNames({"b", "A", "c", "a"}, 4);
  ExpectSameOrder("select * from items where section = 4 order by name", "name", false);
  ExpectSameOrder("select * from items where section = 9 order by name", "name", false);
  // Rows another program wrote with a blob or a number for a name.
  OtherProgram("insert into items (name, section) values (x'00ff41', 2), (x'41', 2), (x'', 2);"
               "insert into items (name, section) values (12, 2), (-3.5, 2), (NULL, 2)");
  ExpectSameOrder("select * from items where section = 2 order by name");
  ExpectSameOrder("select * from items where section = 2 order by name desc");
}

TEST_F(KeyedOrderTest, NumbersTextAndBlobsInOneColumnOrderByKind) {
  // A number field another program filled with text, reals and blobs.
  AddNames({"x"}, 1, 4);
  OtherProgram("insert into items (name, section) values ('a', 2.5), ('b', 'dix'), ('c', '\xC3\xA9t\xC3\xA9'),"
               "('d', x'01'), ('e', NULL), ('f', -7), ('g', 9007199254740993), ('h', 9007199254740992.0),"
               "('i', '\xC3\x89T\xC3\x89'), ('j', 2.5), ('k', -0.0), ('l', 0)");
  ExpectSameOrder("select name, section from items order by section", "section");
  ExpectSameOrder("select name, section from items order by section desc", "section");
}

TEST_F(KeyedOrderTest, TheSetReadsEditsAndDeletesByItsKeys) {
  AddNames({"\xC3\x89mile", "beta", "Alpha", "\xC3\xA9mile"}, 2);
  auto rs = OpenByKeys("select * from items where section = 2 order by name");
  ASSERT_EQ(asides_, 1);
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_EQ(Str(rs->GetField("name")), "Alpha");
  rs->MoveLast();
  EXPECT_EQ(Str(rs->GetField("name")), "\xC3\xA9mile");
  EXPECT_EQ(Str(rs->GetField("note")), "0");
  rs->MovePrevious();
  EXPECT_EQ(Str(rs->GetField("name")), "\xC3\x89mile");
  // An edit is written to its own row.
  rs->Edit();
  rs->Fields("note") = Variant("edited");
  rs->Update();
  EXPECT_EQ(Str(db_->OpenRecordset("select note from items where name = 'beta'")->GetField(0)), "0");
  auto edited = db_->OpenRecordset("select name from items where note = 'edited'");
  EXPECT_EQ(Str(edited->GetField(0)), "\xC3\x89mile");
  // A row deleted is gone from the set and the file; one added joins it.
  rs->MoveFirst();
  rs->Delete();
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "beta");
  rs->AddNew();
  rs->Fields("name") = Variant("new");
  rs->Fields("section") = Variant(2);
  rs->Update();
  EXPECT_EQ(rs->RecordCount(), 4);
  std::vector<std::string> names;
  for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) names.push_back(Str(rs->GetField("name")));
  EXPECT_EQ(names, (std::vector<std::string>{"beta", "\xC3\x89mile", "\xC3\xA9mile", "new"}));
  EXPECT_EQ(db_->OpenRecordset("select count(*) from items where name = 'Alpha'")->GetField(0).rawInt(), 0);
  // A row another program removed reads as deleted, not as another row.
  rs->MoveFirst();
  DBEngine::ReleaseReads();
  OtherProgram("delete from items where name = 'beta'");
  rs->MoveNext();
  rs->MovePrevious();
  EXPECT_EQ(daotest::ErrorOf([&] { rs->GetField("name"); }), 3167);
}

}  // namespace
