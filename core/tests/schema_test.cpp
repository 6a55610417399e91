// The file layouts, the templates written from them, and the state object.
#include <gtest/gtest.h>

#include <fstream>

#include <algorithm>
#include <set>

#include <sqlite3.h>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/OpenFailure.h"
#include "core/tests/DamagedFiles.h"
#include "platform/dao/Dao.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/runtime/Functions.h"

namespace {

using tvntest::CountRows;
using tvntest::HasField;
using tvntest::Open;

const dao::TableDef& Find(const std::vector<dao::TableDef>& defs, const std::string& name) {
  for (const auto& d : defs)
    if (vb::CompareText(d.Name, name) == 0) return d;
  throw std::runtime_error("no table " + name);
}

const dao::FieldDef* FindField(const dao::TableDef& t, const std::string& name) {
  for (const auto& f : t.Fields)
    if (vb::CompareText(f.Name, name) == 0) return &f;
  return nullptr;
}

// The conversion copies every field of every earlier section table into
// mediadata by name; a field missing there or of another type would make
// the conversion fail or change data.
TEST(SchemaDefinition, MediaDataHoldsEverySectionFieldWithTheSameType) {
  const auto current = tvn::schema::CollectionTables();
  const auto& media = Find(current, "mediadata");
  for (const auto& t : tvn::schema::EarlierCollectionTables()) {
    if (std::find(tvn::schema::SectionTableNames().begin(), tvn::schema::SectionTableNames().end(),
                  t.Name) == tvn::schema::SectionTableNames().end())
      continue;
    for (const auto& f : t.Fields) {
      const auto* m = FindField(media, f.Name);
      ASSERT_NE(m, nullptr) << t.Name << "." << f.Name;
      EXPECT_EQ(m->Type, f.Type) << f.Name;
      if (f.Type == dao::dbText) {
        EXPECT_GE(m->Size, f.Size) << f.Name;
      }
    }
  }
  // The lookup and caption tables are copied by name as well.
  const auto earlier = tvn::schema::EarlierCollectionTables();
  for (const char* name : {"artists", "category", "labelstudio", "cassettecaption", "mdcaption"}) {
    const auto& before = Find(earlier, name);
    const auto& now = Find(current, name);
    for (const auto& f : before.Fields) EXPECT_NE(FindField(now, f.Name), nullptr) << name << "." << f.Name;
  }
}

TEST(SchemaDefinition, ReportCarriesEveryMediaDataFieldAndTextAllowsEmpty) {
  const auto current = tvn::schema::CollectionTables();
  const auto& media = Find(current, "mediadata");
  const auto& report = Find(current, "report");
  for (const auto& f : media.Fields) EXPECT_NE(FindField(report, f.Name), nullptr) << f.Name;
  for (int n = 1; n <= 10; ++n) {
    EXPECT_NE(FindField(media, "f" + std::to_string(n) + "c"), nullptr);
    EXPECT_NE(FindField(media, "title" + std::to_string(n * 4)), nullptr);
  }
  const auto master = tvn::schema::MasterListTables();
  const auto tips = tvn::schema::TipsTables();
  for (const auto* defs : {&current, &master, &tips})
    for (const auto& t : *defs)
      for (const auto& f : t.Fields)
        if (f.Type == dao::dbText || f.Type == dao::dbMemo) {
          EXPECT_TRUE(f.AllowZeroLength) << t.Name << "." << f.Name;
        }
  // Names are unique within each table.
  for (const auto& t : current) {
    std::set<std::string> seen;
    for (const auto& f : t.Fields) EXPECT_TRUE(seen.insert(vb::LCase(f.Name)).second) << t.Name << "." << f.Name;
  }
}

class TemplateTest : public tvntest::DataFolderTest {};

TEST_F(TemplateTest, NewFolderGetsAllThreeTemplatesOnceAndExistingOnesAreKept) {
  tvn::schema::EnsureTemplates(dir_.string());
  for (const char* f : {"av32e.mdb", "admine.sys", "tips.sys"})
    EXPECT_TRUE(std::filesystem::exists(Path(f))) << f;
  const std::string before = tvntest::ReadBytes(Path("av32e.mdb"));

  // A template spelled in other letter case counts as present.
  std::filesystem::rename(Path("admine.sys"), Path("AdminE.sys"));
  std::filesystem::remove(Path("tips.sys"));
  tvn::schema::EnsureTemplates(dir_.string());
  EXPECT_FALSE(std::filesystem::exists(Path("admine.sys")));
  EXPECT_TRUE(std::filesystem::exists(Path("tips.sys")));
  EXPECT_EQ(tvntest::ReadBytes(Path("av32e.mdb")), before);
  // No work file is left behind.
  for (const auto& e : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(e.path().filename().string().find(".new"), std::string::npos) << e.path();
}

TEST_F(TemplateTest, DamagedTemplatesAreRebuiltAndAFolderIsNamed) {
  tvn::schema::EnsureTemplates(dir_.string());
  // Not a database, a database without a table, an empty file.
  { std::ofstream(Path("av32e.mdb"), std::ios::trunc) << "garbage"; }
  {
    auto d = tvntest::Open(Path("admine.sys"));
    d->Execute("drop table plcollections");
    d->Close();
  }
  { std::ofstream(Path("tips.sys"), std::ios::trunc) << "damaged tips"; }
  tvn::schema::EnsureTemplates(dir_.string());
  auto c = tvntest::Open(Path("av32e.mdb"));
  EXPECT_TRUE(tvntest::HasTable(c, "mediadata"));
  c->Close();
  auto a = tvntest::Open(Path("admine.sys"));
  EXPECT_TRUE(tvntest::HasTable(a, "plcollections"));
  a->Close();
  auto t = tvntest::Open(Path("tips.sys"));
  EXPECT_EQ(tvntest::CountRows(t, "select * from tips"), tvn::schema::TipCount());
  t->Close();
  // The tips are not needed to work: a folder in their place is no error.
  std::filesystem::remove(Path("tips.sys"));
  std::filesystem::create_directory(Path("Tips.sys"));
  EXPECT_NO_THROW(tvn::schema::EnsureTemplates(dir_.string()));
  EXPECT_TRUE(std::filesystem::is_directory(Path("Tips.sys")));

  std::filesystem::create_directory(Path("PL33E.mdb"));
  std::filesystem::remove(Path("pl33e.mdb"));
  try {
    tvn::schema::EnsureTemplates(dir_.string());
    ADD_FAILURE() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "The template " + dir_.string() + "/PL33E.mdb is a folder, not a file");
  }
}

// A template with every table of its layout by name but not their fields
// would make collections the program refuses: it is written anew.
TEST_F(TemplateTest, ATemplateLackingAFieldIsRebuilt) {
  tvn::schema::EnsureTemplates(dir_.string());
  std::filesystem::remove(Path("pl33e.mdb"));
  {
    auto d = dao::DBEngine::Workspaces(0).CreateDatabase(Path("pl33e.mdb"));
    for (const dao::TableDef& t : tvn::schema::GameCollectionTables()) d->Execute("create table " + t.Name + " (x text)");
    d->Close();
  }
  tvn::schema::EnsureTemplates(dir_.string());
  auto d = tvntest::Open(Path("pl33e.mdb"));
  std::set<std::string> fields;
  const dao::TableDefPtr games = d->TableDefs("mediadata");
  for (const dao::FieldDef& f : games->Fields) fields.insert(f.Name);
  EXPECT_TRUE(fields.count("systemnumber") && fields.count("name")) << ::testing::PrintToString(fields);
  EXPECT_EQ(tvntest::CountRows(d, "select * from sections"), 6);
  d->Close();
}

TEST_F(TemplateTest, CollectionTemplateHoldsTheLayoutAndItsRows) {
  tvn::schema::EnsureTemplates(dir_.string());
  auto db = Open("av32e.mdb");
  for (const auto& t : tvn::schema::CollectionTables()) {
    auto stored = db->TableDefs(t.Name);
    ASSERT_EQ(stored->Fields.size(), t.Fields.size()) << t.Name;
    for (size_t i = 0; i < t.Fields.size(); ++i) {
      EXPECT_EQ(vb::LCase(stored->Fields[i].Name), vb::LCase(t.Fields[i].Name));
      EXPECT_EQ(stored->Fields[i].Type, t.Fields[i].Type) << t.Name << "." << t.Fields[i].Name;
      if (t.Fields[i].Type == dao::dbText) {
        EXPECT_EQ(stored->Fields[i].Size, t.Fields[i].Size);
      }
    }
    for (const auto& i : t.Indexes) {
      bool found = false;
      for (const auto& s : stored->Indexes) found = found || vb::CompareText(s.Name, i.Name) == 0;
      EXPECT_TRUE(found) << t.Name << " index " << i.Name;
    }
  }
  for (const auto& c : tvn::schema::CaptionTableNames()) {
    auto rs = db->OpenRecordset(c);
    ASSERT_FALSE(rs->Eof()) << c;
    for (int n = 1; n <= 10; ++n)
      EXPECT_EQ(vb::NzStr(rs->GetField("f" + std::to_string(n))), "My Field " + std::to_string(n));
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof()) << c << " has one row";
  }
  auto admin = db->OpenRecordset("admin");
  EXPECT_EQ(vb::NzStr(admin->GetField("Ver")), "6012");
  EXPECT_EQ(CountRows(db, "select * from mediadata"), 0);
  // The lookup indexes are seekable by the names the windows use.
  auto artists = db->OpenRecordset("artists");
  artists->SetIndex("artist_name");
  auto labels = db->OpenRecordset("labelstudio");
  labels->SetIndex("name");
  auto report = db->OpenRecordset("report");
  report->SetIndex("TapeNum");
  db->Close();
}

TEST_F(TemplateTest, GameTemplateHoldsItsTablesSectionsAndCaptionsAndNumbersItsKeys) {
  tvn::schema::EnsureTemplates(dir_.string());
  ASSERT_TRUE(std::filesystem::exists(Path("pl33e.mdb")));
  auto db = Open("pl33e.mdb");
  for (const auto& t : tvn::schema::GameCollectionTables()) {
    auto stored = db->TableDefs(t.Name);
    ASSERT_EQ(stored->Fields.size(), t.Fields.size()) << t.Name;
    for (size_t i = 0; i < t.Fields.size(); ++i) {
      EXPECT_EQ(stored->Fields[i].Type, t.Fields[i].Type) << t.Name << "." << t.Fields[i].Name;
      EXPECT_EQ(stored->Fields[i].AutoIncrement, t.Fields[i].AutoIncrement) << t.Name << "." << t.Fields[i].Name;
    }
    for (const auto& i : t.Indexes) {
      bool found = false;
      for (const auto& s : stored->Indexes) found = found || vb::CompareText(s.Name, i.Name) == 0;
      EXPECT_TRUE(found) << t.Name << " index " << i.Name;
    }
  }
  // Every key a game or lookup row is reached by numbers itself.
  for (auto [table, key] : std::vector<std::pair<const char*, const char*>>{{"mediadata", "systemnumber"},
                                                                           {"publisher", "publisher"},
                                                                           {"developer", "developer"},
                                                                           {"genre", "genre"},
                                                                           {"systype", "systypeid"},
                                                                           {"supports", "supports"}}) {
    const dao::FieldDef f = db->TableDefs(table)->Fields.front();
    EXPECT_EQ(vb::LCase(f.Name), key);
    EXPECT_TRUE(f.AutoIncrement) << table;
  }
  EXPECT_EQ(CountRows(db, "select * from sections"), 6);
  EXPECT_EQ(CountRows(db, "select * from sections where section = 4 and name = 'Sega'"), 1);
  EXPECT_EQ(CountRows(db, "select * from mediadata"), 0);
  for (const auto& c : tvn::schema::GameCaptionTableNames()) {
    EXPECT_EQ(CountRows(db, "select * from " + c), 1) << c;
    auto rs = db->OpenRecordset(c);
    EXPECT_EQ(vb::NzStr(rs->GetField("f10")), "My Field 10") << c;
  }
  auto publishers = db->OpenRecordset("publisher");
  publishers->SetIndex("name");
  db->Close();

  // Present in other letter case: kept as it is.
  std::filesystem::rename(Path("pl33e.mdb"), Path("PL33E.MDB"));
  tvn::schema::EnsureTemplates(dir_.string());
  EXPECT_FALSE(std::filesystem::exists(Path("pl33e.mdb")));
}

TEST_F(TemplateTest, MasterListAndTipsTemplates) {
  tvn::schema::EnsureTemplates(dir_.string());
  auto admin = Open("admine.sys");
  auto av = admin->OpenRecordset("avcollections");
  av->SetIndex("dbname");
  av->Seek("=", "av30.mdb");
  ASSERT_FALSE(av->NoMatch());
  EXPECT_EQ(vb::NzStr(av->GetField("AVCollection")), "My Collection");
  av->SetIndex("master");
  auto pl = admin->OpenRecordset("plcollections");
  pl->SetIndex("dbname");
  pl->Seek("=", "MyGames.mdb");
  EXPECT_FALSE(pl->NoMatch());
  pl->SetIndex("master");
  admin->Close();

  auto tips = Open("tips.sys");
  auto rs = tips->OpenRecordset("tips");
  rs->SetIndex("tipnum");
  EXPECT_GE(tvn::schema::TipCount(), 20);
  EXPECT_EQ(CountRows(tips, "select * from tips"), tvn::schema::TipCount());
  // Numbered from 1 without gaps, each with a text.
  for (int n = 1; n <= tvn::schema::TipCount(); ++n) {
    rs->Seek("=", dao::Variant::Integer(static_cast<std::int16_t>(n)));
    ASSERT_FALSE(rs->NoMatch()) << n;
    EXPECT_GT(vb::Len(vb::NzStr(rs->GetField("Tip"))), 20) << n;
  }
  tips->Close();
}

TEST(AppState, StateObjectIsMadeOnFirstUseWithEverythingClearAndKept) {
  tvn::TVNDATA* first = tvn::AVData();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->OnExit(), 0);
  EXPECT_EQ(first->SectionNumber(), 0);
  EXPECT_EQ(first->A_Button(), 0);
  EXPECT_EQ(first->LastDB(), "");
  EXPECT_EQ(first->SLetterW(), "");
  first->SectionNumber(9);
  first->SCD_On(vb::True);
  first->LastDB("av30.mdb");
  EXPECT_EQ(tvn::AVData(), first);
  // Handing back the same reference, or an empty one, keeps the object.
  tvn::SetAVData(tvn::AVDataRef());
  tvn::SetAVData(nullptr);
  EXPECT_EQ(tvn::AVData(), first);
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 9);
  EXPECT_EQ(tvn::AVData()->SCD_On(), -1);
  EXPECT_EQ(tvn::AVData()->MusicOn(), 0);
  EXPECT_EQ(tvn::AVData()->VideoOn(), 0);
  EXPECT_EQ(&tvn::App(), &tvn::App());
  EXPECT_EQ(&tvn::AppWorkspace(), &dao::DBEngine::Workspaces(0));
}

}  // namespace

// A collection of more rows than the read-through takes in one stretch,
// with keys far apart as another program may write them (below zero and
// past what a Long holds): an intact file opens; one whose last page of
// items is damaged is refused before anything is written.
TEST_F(TemplateTest, AnItemTableIsReadThroughToItsLastRowWhateverItsKeys) {
  const std::string path = Path("Big.mdb");
  tvn::schema::CreateCollectionFile(path);
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 140000) "
                           "INSERT INTO mediadata (name, sectionnumber) SELECT 'Item ' || i, 1 + i % 6 FROM c;"
                           "INSERT INTO mediadata (_rowid_, name, sectionnumber) VALUES (-7, 'Below', 2);"
                           "INSERT INTO mediadata (_rowid_, name, sectionnumber) VALUES (5000000000, 'Far', 2);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
  }
  auto& workspace = dao::DBEngine::Workspaces(0);
  { auto db = tvn::OpenCollectionFile(workspace, path, tvn::MediaCollectionKind()); db->Close(); }

  const long pageSize = std::stol(tvn::testing::AskTheTool(path, "pragma page_size").at(0));
  const long last = std::stol(
      tvn::testing::AskTheTool(path, "select max(pageno) from dbstat where name = 'mediadata' and pagetype = 'leaf'").at(0));
  {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp((last - 1) * pageSize);
    const std::string garbage(static_cast<size_t>(pageSize), '\x2a');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  const std::string before = tvntest::ReadBytes(path);
  EXPECT_ANY_THROW(tvn::OpenCollectionFile(workspace, path, tvn::MediaCollectionKind()));
  EXPECT_EQ(tvntest::ReadBytes(path), before);
}
