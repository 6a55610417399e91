// CheckTable: the upgrade of an earlier-layout collection, and what it must
// leave alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/ConversionModule32.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

using tvntest::CountRows;
using tvntest::HasField;
using tvntest::HasTable;
using tvntest::Open;

class UpgradeTest : public tvntest::DataFolderTest {
 protected:
  void CheckTable(const std::string& file) {
    tvn::App().CollectionDB = Open(file);
    tvn::CommonDataTable().CheckTable();
  }
  dao::DatabasePtr& db() { return tvn::App().CollectionDB; }
};

TEST_F(UpgradeTest, CurrentLayoutFileIsLeftByteForByte) {
  tvn::schema::CreateCollectionFile(Path("av30.mdb"));
  Open("av30.mdb")->Close();  // whatever a first open does to the file
  const std::string before = tvntest::ReadBytes(Path("av30.mdb"));
  CheckTable("av30.mdb");
  db()->Close();
  EXPECT_EQ(tvntest::ReadBytes(Path("av30.mdb")), before);
  EXPECT_FALSE(std::filesystem::exists(Path("av30.30")));
}

TEST_F(UpgradeTest, OriginalEarlierFileGetsEveryTableAndFieldAndMovesTheMiniDiscs) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  const auto content = tvntest::FillEarlierCollection(Path("old.mdb"), 3);
  CheckTable("old.mdb");

  for (const auto& t : tvn::schema::EarlierCollectionTables()) {
    ASSERT_TRUE(HasTable(db(), t.Name)) << t.Name;
    for (const auto& f : t.Fields) EXPECT_TRUE(HasField(db(), t.Name, f.Name)) << t.Name << "." << f.Name;
  }
  bool tapeNum = false;
  const auto vt = db()->TableDefs("vt");
  for (const auto& i : vt->Indexes) tapeNum = tapeNum || i.Name == "TapeNum";
  EXPECT_TRUE(tapeNum);

  auto admin = db()->OpenRecordset("admin");
  EXPECT_EQ(vb::NzStr(admin->GetField("ver")), "6012");
  admin->Close();
  auto captions = db()->OpenRecordset("mdcaption");
  EXPECT_EQ(vb::NzStr(captions->GetField("f10")), "My Field 10");
  captions->Close();

  // Cassettes marked "MiniDisk" and compact discs whose notes name a
  // mini-disc now live in minidisc, with the format mark cleared.
  EXPECT_EQ(CountRows(db(), "select * from cassette"), content.rowsPerTable.at("cassette"));
  EXPECT_EQ(CountRows(db(), "select * from Compact_Disk"), content.rowsPerTable.at("Compact_Disk"));
  EXPECT_EQ(CountRows(db(), "select * from minidisc"), content.movedToMiniDisc);
  EXPECT_EQ(CountRows(db(), "select * from minidisc where format_type is null"), content.movedToMiniDisc);
  EXPECT_EQ(CountRows(db(), "select * from minidisc where name = 'md cd' and notes = 'copied to a minidisc'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from Compact_Disk where name = 'plain cd'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from cassette where name = 'not md'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mp3"), 0);
  // The copy taken before the changes holds the file as it was.
  EXPECT_TRUE(std::filesystem::exists(Path("old.30")));
  db()->Close();
  auto copy = Open(Path("old.30"));
  EXPECT_FALSE(HasTable(copy, "minidisc"));
  copy->Close();
}

TEST_F(UpgradeTest, UpgradedFileOnlyGetsItsVersionRewritten) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 2);
  CheckTable("old.mdb");  // creates minidisc and moves the mini-discs
  db()->Execute("update admin set ver = '5'");
  const long minidiscs = CountRows(db(), "select * from minidisc");
  const long cassettes = CountRows(db(), "select * from cassette");
  const size_t vtFields = db()->TableDefs("vt")->Fields.size();
  db()->Close();

  CheckTable("old.mdb");
  EXPECT_EQ(CountRows(db(), "select * from minidisc"), minidiscs);
  EXPECT_EQ(CountRows(db(), "select * from cassette"), cassettes);
  EXPECT_EQ(db()->TableDefs("vt")->Fields.size(), vtFields);
  EXPECT_EQ(CountRows(db(), "select * from admin where ver = '6012'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mdcaption"), 1);
}

TEST_F(UpgradeTest, HasTableFieldOnAnEmptyTableLeavesItEmpty) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvn::App().CollectionDB = Open("old.mdb");
  tvn::CommonDataTable c;
  ASSERT_EQ(CountRows(db(), "select * from vt"), 0);
  EXPECT_FALSE(c.Has_Table_Field(db(), "vt", "QRating", dao::dbText, 10));
  EXPECT_TRUE(c.Has_Table_Field(db(), "vt", "QRating", dao::dbText, 10));
  EXPECT_TRUE(c.Has_Table_Field(db(), "VT", "name", dao::dbText, 50));
  EXPECT_EQ(CountRows(db(), "select * from vt"), 0);
  auto def = db()->TableDefs("vt");
  const auto& added = def->Fields.back();
  EXPECT_EQ(added.Name, "QRating");
  EXPECT_EQ(added.Size, 10);
  EXPECT_TRUE(added.AllowZeroLength);
  // Asking twice for TapeIndex does not fail on the existing index.
  EXPECT_FALSE(c.Has_Table_Field(db(), "vt", "TapeIndex", dao::dbText, 10));
  EXPECT_TRUE(c.Has_Table_Field(db(), "vt", "TapeIndex", dao::dbText, 10));
  EXPECT_THROW(c.Has_Table_Field(db(), "no_such_table", "x", dao::dbText, 10), vb::RuntimeError);
}

TEST_F(UpgradeTest, FailureHalfWayLeavesTheFileAsItWas) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 2);
  {
    auto d = Open("old.mdb");
    // A field the mini-disc table lacks: the upgrade fails when it moves
    // the mini-discs filed under cassettes, after it has made tables.
    d->TableDefs("cassette")->AppendField(dao::FieldDef{"note2", dao::dbText, 10, true, false});
    d->Close();
  }
  Open("old.mdb")->Close();
  const std::string before = tvntest::ReadBytes(Path("old.mdb"));
  EXPECT_THROW(CheckTable("old.mdb"), vb::RuntimeError);
  if (db() && db()->IsOpen()) db()->Close();
  EXPECT_EQ(tvntest::ReadBytes(Path("old.mdb")), before);
  auto d = Open("old.mdb");
  EXPECT_FALSE(HasTable(d, "minidisc"));
  EXPECT_EQ(CountRows(d, "select * from cassette where format_type = 'MiniDisk'"), 2);
  d->Close();
}

// A database layer double whose tables cannot be opened because the file
// is in use elsewhere.
class LockedDatabase : public dao::Database {
 public:
  std::string Name() const override { return "locked.mdb"; }
  dao::RecordsetPtr OpenRecordset(const std::string&, int) override {
    throw dao::Error(dao::errFileLocked, "Could not use 'locked.mdb'; file already in use.");
  }
  void Execute(const std::string&) override { ++changes; }
  long RecordsAffected() const override { return 0; }
  std::vector<std::string> TableDefNames() override { return {}; }
  dao::TableDefPtr TableDefs(const std::string&) override { ++changes; return nullptr; }
  dao::TableDefPtr CreateTableDef(const std::string&) override { ++changes; return nullptr; }
  void AppendTableDef(const dao::TableDef&) override { ++changes; }
  void DeleteTableDef(const std::string&) override { ++changes; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void Rollback() override {}
  void Close() override { ++changes; }
  bool IsOpen() const override { return true; }
  int changes = 0;
};

TEST_F(UpgradeTest, LockedFileIsReportedAndNeitherUpgradedNorConverted) {
  auto locked = std::make_shared<LockedDatabase>();
  tvn::App().CollectionDB = locked;
  tvn::AVData()->LastDB("locked.mdb");
  try {
    tvn::CommonDataTable().CheckTable();
    FAIL() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), dao::errFileLocked);
  }
  EXPECT_THROW(tvn::OpenMediaData(), vb::RuntimeError);
  EXPECT_EQ(locked->changes, 0);
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_FALSE(std::filesystem::exists(Path("locked.30")));
}

TEST_F(UpgradeTest, CompactKeepsTheDataAndRefusesAnExistingTarget) {
  tvn::schema::CreateCollectionFile(Path("c.mdb"));
  {
    auto d = Open("c.mdb");
    tvntest::AddRow(d, "mediadata", {{"name", "kept"}, {"SectionNumber", dao::Variant::Byte(1)}});
    d->Close();
  }
  tvn::CommonDataTable c;
  EXPECT_TRUE(c.Compact_A_Database("c.mdb", "Temp.mdb"));
  EXPECT_FALSE(std::filesystem::exists(Path("Temp.mdb")));
  auto d = Open("c.mdb");
  EXPECT_EQ(CountRows(d, "select * from mediadata where name = 'kept'"), 1);
  d->Close();

  tvn::schema::CreateCollectionFile(Path("Temp.mdb"));
  const std::string before = tvntest::ReadBytes(Path("c.mdb"));
  EXPECT_FALSE(c.Compact_A_Database("c.mdb", "Temp.mdb"));
  EXPECT_EQ(tvntest::ReadBytes(Path("c.mdb")), before);
}

}  // namespace

namespace {

TEST_F(UpgradeTest, OnlyMarkedLeftoversOfEndedWorkAreRemoved) {
  const std::string dead = "999999999";
  const std::vector<std::string> leftovers = {"Old.mdb.converting", "Old.mdb.upgrading",
                                              "av32e.mdb.new" + dead, ".tvn-" + dead + "-1.tmp",
                                              ".tvn-" + dead + "-compact2.tmp", ".tvn-" + dead + "-3.tmp-journal"};
  // Names without the program's mark may be the user's: a collection called
  // "Temp" or "Temp1" is as good as any other.
  const std::vector<std::string> kept = {"Temp.mdb",  "Temp.mdb-journal", "TEMP3.mdb", "Temp3.mdb-wal",
                                         "Tempest.mdb", "My.new.mdb",     "Jazz.mdb", "notes.converting.txt",
                                         // written by a program still running (this one)
                                         ".tvn-" + std::to_string(::getpid()) + "-1.tmp",
                                         "av32e.mdb.new" + std::to_string(::getpid())};
  for (const auto& n : leftovers) std::ofstream(Path(n)) << "x";
  for (const auto& n : kept) std::ofstream(Path(n)) << "x";
  std::filesystem::create_directory(Path(".tvn-" + dead + "-4.tmp"));

  tvn::RemoveLeftoverFiles(dir_.string());
  for (const auto& n : leftovers) EXPECT_FALSE(std::filesystem::exists(Path(n))) << n;
  for (const auto& n : kept) EXPECT_TRUE(std::filesystem::exists(Path(n))) << n;
  EXPECT_TRUE(std::filesystem::is_directory(Path(".tvn-" + dead + "-4.tmp")));
}

TEST_F(UpgradeTest, ListedCollectionsAreNeverRemovedWhateverTheirNames) {
  tvn::schema::CreateMasterListFile(Path("admin.sys"));
  {
    auto admin = Open("admin.sys");
    tvntest::AddRow(admin, "avcollections", {{"dbname", "Old.MDB.converting"}, {"AVCollection", "Odd"}});
    tvntest::AddRow(admin, "plcollections", {{"dbname", ".tvn-999999999-1.tmp"}, {"plCollection", "Odder"}});
    admin->Close();
  }
  vb::SaveSetting("TVN", "Startup", "CurDB", "x.upgrading");
  for (const char* n : {"Old.mdb.converting", "Old.mdb.converting-journal", ".tvn-999999999-1.tmp",
                        "x.upgrading", "y.upgrading"})
    std::ofstream(Path(n)) << "x";

  tvn::RemoveLeftoverFiles(dir_.string());
  for (const char* n : {"Old.mdb.converting", "Old.mdb.converting-journal", ".tvn-999999999-1.tmp", "x.upgrading"})
    EXPECT_TRUE(std::filesystem::exists(Path(n))) << n;
  EXPECT_FALSE(std::filesystem::exists(Path("y.upgrading")));

  // A master list that cannot be read may name anything: nothing goes.
  std::filesystem::resize_file(Path("admin.sys"), 0);
  std::ofstream(Path("y.upgrading")) << "x";
  tvn::RemoveLeftoverFiles(dir_.string());
  EXPECT_TRUE(std::filesystem::exists(Path("y.upgrading")));
}

TEST_F(UpgradeTest, CompactionRemovesEndedLeftoversAndKeepsItsTarget) {
  tvn::schema::CreateCollectionFile(Path("c.mdb"));
  std::ofstream(Path(".tvn-999999999-compact1.tmp")) << "x";
  std::ofstream(Path("Temp.mdb")) << "x";
  EXPECT_TRUE(tvn::CommonDataTable().Compact_A_Database("c.mdb", "Temp1.mdb"));
  EXPECT_FALSE(std::filesystem::exists(Path(".tvn-999999999-compact1.tmp")));
  EXPECT_TRUE(std::filesystem::exists(Path("Temp.mdb")));
  EXPECT_FALSE(std::filesystem::exists(Path("Temp1.mdb")));
  EXPECT_TRUE(std::filesystem::exists(Path("c.mdb")));
}

}  // namespace
