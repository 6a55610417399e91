// Conversion of earlier-layout collections and of master lists without the
// game collection list, through the routines that open them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>

#include <fstream>
#include <map>
#include <random>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/ConversionModule32.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "core/tests/DamagedFiles.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace {

using tvntest::CountRows;
using tvntest::HasTable;
using tvntest::Open;

const char* const kFirstMessage =
    "The Collection being opened has not been converted\n"
    "to version 6.x. The Collection will now be converted.\n\n"
    "The old version file will be saved as: ";
const char* const kDoneMessage = "The Collection has been converted to version 6.0 format.";

class ConversionTest : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    tvn::schema::EnsureTemplates(dir_.string());
  }
  // Opens a collection the way start-up does: open, upgrade, convert.
  void OpenCollection(const std::string& file) {
    tvn::AVData()->LastDB(file);
    tvn::App().CollectionDB = Open(file);
    tvn::CommonDataTable().CheckTable();
    tvn::OpenMediaData();
  }
  dao::DatabasePtr& db() { return tvn::App().CollectionDB; }
  bool NoWorkFilesLeft() {
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      if (e.path().filename().string().find(".converting") != std::string::npos) return false;
    return true;
  }
};

TEST_F(ConversionTest, EarlierFileEndsInTheCurrentLayoutWithEverySectionRow) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("Old Stuff.mdb"));
  auto content = tvntest::FillEarlierCollection(Path("Old Stuff.mdb"), 5);
  OpenCollection("Old Stuff.mdb");

  ASSERT_TRUE(db()->IsOpen());
  EXPECT_TRUE(tvn::IsCurrentLayout(db()));
  EXPECT_FALSE(HasTable(db(), "cassette"));
  content.rowsPerTable["minidisc"] = content.movedToMiniDisc;
  const auto& sections = tvn::schema::SectionTableNames();
  long total = 0;
  for (int s = 1; s <= 9; ++s) {
    const long expected = content.rowsPerTable[sections[s - 1]];
    EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = " + std::to_string(s)),
              expected)
        << sections[s - 1];
    total += expected;
  }
  EXPECT_EQ(CountRows(db(), "select * from mediadata"), total);
  // Values come across unchanged; Null dates stay Null.
  EXPECT_EQ(CountRows(db(), "select * from mediadata where name = 'lp item 2' and SectionNumber = 5 "
                            "and date_aquired = #3/3/1998# and slot = 2 and artist1 = 'Artist 2'"),
            1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where name = 'lp item 1' and date_aquired is null"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where notes = 'it''s \"quoted\"'"), 7);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 7 and format_type is null"),
            content.movedToMiniDisc);

  // Lookup and caption rows of the old file replace those of the template.
  EXPECT_EQ(CountRows(db(), "select * from category"), 1);
  EXPECT_EQ(CountRows(db(), "select * from artists where artist_name = 'Old Artist' and cd"), 1);
  for (const auto& c : tvn::schema::CaptionTableNames()) {
    EXPECT_EQ(CountRows(db(), "select * from " + c), 1) << c;
  }
  EXPECT_EQ(CountRows(db(), "select * from vtcaption where f1 = 'Old vtcaption' and f2 = 'My Field 2'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mdcaption where f1 = 'My Field 1'"), 1);

  // Both messages, in order; the backup holds the old layout.
  ASSERT_EQ(vb::PromptScript::Records().size(), 2u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, std::string(kFirstMessage) + "Old Stuff.30");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbInformation);
  EXPECT_EQ(vb::PromptScript::Records()[1].text, kDoneMessage);
  auto backup = Open(Path("Old Stuff.30"));
  EXPECT_TRUE(HasTable(backup, "cassette"));
  EXPECT_FALSE(HasTable(backup, "mediadata"));
  backup->Close();
  EXPECT_TRUE(NoWorkFilesLeft());

  // Opening it again changes nothing and asks nothing.
  db()->Close();
  vb::PromptScript::Clear();
  OpenCollection("Old Stuff.mdb");
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(CountRows(db(), "select * from mediadata"), total);
}

TEST_F(ConversionTest, CurrentFileOnlyGetsEmptyTapeIndexAllowed) {
  tvn::schema::CreateCollectionFile(Path("av30.mdb"));
  {
    auto d = Open("av30.mdb");
    d->TableDefs("report")->SetAllowZeroLength("TapeIndex", false);
    d->Close();
  }
  OpenCollection("av30.mdb");
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  const auto report = db()->TableDefs("report");
  for (const auto& f : report->Fields) {
    if (f.Name == "TapeIndex") {
      EXPECT_TRUE(f.AllowZeroLength);
    }
  }
  tvntest::AddRow(db(), "report", {{"cat_number", "T1"}, {"TapeIndex", ""}});
  EXPECT_FALSE(std::filesystem::exists(Path("av30.30")));
}

TEST_F(ConversionTest, ReadOnlyCurrentCollectionOpensWithoutAWrite) {
  tvn::schema::CreateCollectionFile(Path("ro.mdb"));
  tvntest::AddRow(Open("ro.mdb"), "mediadata", {{"name", "Kept"}, {"SectionNumber", dao::Variant::Byte(1)}});
  Open("ro.mdb")->Close();
  const std::string before = tvntest::ReadBytes(Path("ro.mdb"));
  std::filesystem::permissions(Path("ro.mdb"), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_NO_THROW(OpenCollection("ro.mdb"));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(CountRows(db(), "select * from mediadata where name = 'Kept'"), 1);
  db()->Close();
  EXPECT_TRUE(tvntest::ReadBytes(Path("ro.mdb")) == before);
  std::filesystem::permissions(Path("ro.mdb"), std::filesystem::perms::owner_all);
}

TEST_F(ConversionTest, FailureHalfWayLosesNothing) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 3);
  {
    // A field that mediadata does not have: the copy of lp, the fifth
    // section, fails after the upgrade and four sections.
    auto d = Open("old.mdb");
    d->TableDefs("lp")->AppendField(dao::FieldDef{"lp_only", dao::dbText, 10, true, false});
    d->Close();
  }
  Open("old.mdb")->Close();
  const std::string before = tvntest::ReadBytes(Path("old.mdb"));

  EXPECT_THROW(OpenCollection("old.mdb"), vb::RuntimeError);
  EXPECT_TRUE(tvntest::ReadBytes(Path("old.mdb")) == before);
  EXPECT_TRUE(NoWorkFilesLeft());
  EXPECT_FALSE(std::filesystem::exists(Path("old.mdb.upgrading")));
  EXPECT_TRUE(tvntest::ReadBytes(Path("old.30")) == before);
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);  // no "converted" message
  auto d = Open("old.mdb");
  EXPECT_FALSE(HasTable(d, "mediadata"));
  EXPECT_FALSE(HasTable(d, "minidisc"));  // the upgrade did not touch the file either
  EXPECT_EQ(CountRows(d, "select * from lp"), 3);
  d->Close();
}

TEST_F(ConversionTest, BackupIsWrittenOnceFromTheUntouchedFileAndMiniDiscsGetTheirSection) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 2);
  Open("old.mdb")->Close();
  const std::string untouched = tvntest::ReadBytes(Path("old.mdb"));
  // A file of that name that is not this file's copy stays as it is, and
  // the file gets a backup of its own, which the message names.
  {
    std::ofstream out(Path("old.30"), std::ios::binary);
    out << "first backup";
  }
  OpenCollection("old.mdb");
  EXPECT_TRUE(tvn::IsCurrentLayout(db()));
  EXPECT_EQ(tvntest::ReadBytes(Path("old.30")), "first backup");
  EXPECT_TRUE(tvntest::ReadBytes(Path("old (2).30")) == untouched);
  ASSERT_FALSE(vb::PromptScript::Records().empty());
  EXPECT_EQ(vb::PromptScript::Records()[0].text, std::string(kFirstMessage) + "old (2).30");
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 7 and section = 'MiniDisc'"), 4);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 7"), 4);
  db()->Close();

  // Without a backup the untouched file is copied.
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("new.mdb"));
  tvntest::FillEarlierCollection(Path("new.mdb"), 1);
  Open("new.mdb")->Close();
  const std::string before = tvntest::ReadBytes(Path("new.mdb"));
  OpenCollection("new.mdb");
  EXPECT_TRUE(tvntest::ReadBytes(Path("new.30")) == before);
  EXPECT_TRUE(NoWorkFilesLeft());
}

TEST_F(ConversionTest, NamesFiledTwiceInASectionGetTheSaveNumberAndAreCounted) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 1);
  const std::string longName(50, 'x');
  {
    auto d = Open("old.mdb");
    // Two cassettes of one name, and a cassette mini-disc with the name of
    // a compact-disc mini-disc: both end in the mini-disc section.
    tvntest::AddRow(d, "cassette", {{"name", "Same"}});
    tvntest::AddRow(d, "cassette", {{"name", "SAME"}});
    tvntest::AddRow(d, "cassette", {{"name", "Both"}, {"Format_Type", "MiniDisk"}});
    tvntest::AddRow(d, "Compact_Disk", {{"name", "Both"}, {"notes", "minidisc"}});
    tvntest::AddRow(d, "lp", {{"name", longName}});
    tvntest::AddRow(d, "lp", {{"name", longName}});
    // The same name in another section is no clash.
    tvntest::AddRow(d, "dvd", {{"name", "Same"}});
    d->Close();
  }
  OpenCollection("old.mdb");
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 1 and name = 'Same'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 1 and name = 'SAME- 2'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 7 and name = 'Both'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 7 and name = 'Both- 2'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 5 and name = '" +
                                std::string(47, 'x') + "- 2'"), 1);
  EXPECT_EQ(CountRows(db(), "select * from mediadata where SectionNumber = 3 and name = 'Same'"), 1);
  ASSERT_EQ(vb::PromptScript::Records().size(), 2u);
  EXPECT_EQ(vb::PromptScript::Records()[1].text,
            std::string(kDoneMessage) + "\n\n3 items were renamed: their names occurred twice in one section.");
}

// A conversion killed at any moment leaves the file as it was; the next
// open converts it from scratch, with the result of an uninterrupted run.
TEST_F(ConversionTest, KilledConversionLeavesTheFileAndTheNextOpenConvertsIt) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  auto content = tvntest::FillEarlierCollection(Path("old.mdb"), 40);
  Open("old.mdb")->Close();
  const std::string before = tvntest::ReadBytes(Path("old.mdb"));
  std::filesystem::copy_file(Path("old.mdb"), Path("whole.mdb"));

  // Kills at set points of the row copy and at random times.
  std::mt19937 random(12345);
  int finished = 0;
  const long killAtRow[] = {1, 150, 300, -1, -1, -1, -1};
  for (long row : killAtRow) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (row > 0)
        tvn::SetConversionProgress([row](long n) {
          if (n == row) raise(SIGKILL);
        });
      try {
        OpenCollection("old.mdb");
      } catch (...) {
      }
      _exit(0);
    }
    if (row < 0) usleep(static_cast<useconds_t>(random() % 150000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    // Either the file as it was, or (a kill after the last step) the
    // finished conversion, which is put back for the next round.
    if (std::filesystem::exists(Path("old.30"))) {
      EXPECT_TRUE(tvntest::ReadBytes(Path("old.30")) == before) << "kill at row " << row;
    }
    if (tvntest::ReadBytes(Path("old.mdb")) != before) {
      auto d = Open("old.mdb");
      EXPECT_TRUE(tvn::IsCurrentLayout(d)) << "kill at row " << row;
      d->Close();
      ++finished;
      std::filesystem::copy_file(Path("old.30"), Path("old.mdb"),
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }

  EXPECT_LT(finished, 7);
  OpenCollection("old.mdb");
  auto counts = [](const dao::DatabasePtr& d) {
    std::vector<long> out;
    for (int s = 1; s <= 9; ++s)
      out.push_back(CountRows(d, "select * from mediadata where SectionNumber = " + std::to_string(s)));
    out.push_back(CountRows(d, "select distinct name, SectionNumber from mediadata"));
    return out;
  };
  const auto interrupted = counts(db());
  db()->Close();
  OpenCollection("whole.mdb");
  EXPECT_EQ(interrupted, counts(db()));
  EXPECT_EQ(interrupted[6], content.movedToMiniDisc);
  EXPECT_TRUE(tvntest::ReadBytes(Path("old.30")) == before);
}

TEST_F(ConversionTest, MissingTemplateOrNameWithoutPointConvertsNothing) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
  tvntest::FillEarlierCollection(Path("old.mdb"), 1);
  std::filesystem::remove(Path("av32e.mdb"));
  tvn::AVData()->LastDB("old.mdb");
  tvn::App().CollectionDB = Open("old.mdb");
  tvn::CommonDataTable().CheckTable();
  db()->Close();
  const std::string before = tvntest::ReadBytes(Path("old.mdb"));
  tvn::App().CollectionDB = Open("old.mdb");
  EXPECT_THROW(tvn::OpenMediaData(), vb::RuntimeError);
  EXPECT_EQ(tvntest::ReadBytes(Path("old.mdb")), before);
  EXPECT_TRUE(NoWorkFilesLeft());

  std::filesystem::copy_file(Path("old.mdb"), Path("nodot"));
  vb::PromptScript::Clear();
  tvn::AVData()->LastDB("nodot");
  tvn::App().CollectionDB = Open("nodot");
  EXPECT_THROW(tvn::OpenMediaData(), vb::RuntimeError);
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(tvntest::ReadBytes(Path("nodot")), before);
}

// The message names the backup as the file is written: after the file as it
// is found on disk, whatever letter case the setting gives.
TEST_F(ConversionTest, TheMessageNamesTheBackupAsItIsWritten) {
  tvn::schema::CreateOriginalEarlierCollectionFile(Path("AV30.MDB"));
  tvntest::FillEarlierCollection(Path("AV30.MDB"), 1);
  OpenCollection("av30.mdb");
  ASSERT_FALSE(vb::PromptScript::Records().empty());
  EXPECT_EQ(vb::PromptScript::Records()[0].text, std::string(kFirstMessage) + "AV30.30");
  std::vector<std::string> backups;
  for (const auto& e : std::filesystem::directory_iterator(dir_))
    if (e.path().extension() == ".30") backups.push_back(e.path().filename().string());
  EXPECT_EQ(backups, std::vector<std::string>{"AV30.30"});
}

// A collection or master list whose name in the data folder is a symbolic
// link is not converted: the converted file would replace the link, and the
// file it names would stay in the old layout. The link, its file and the
// folders stay as they were, and the error names both.
TEST_F(ConversionTest, ALinkedFileIsRefusedWithTheLinkAndItsTargetNamed) {
  const std::filesystem::path elsewhere = dir_ / "elsewhere";
  std::filesystem::create_directory(elsewhere);
  const std::string target = (elsewhere / "old.mdb").string();
  tvn::schema::CreateOriginalEarlierCollectionFile(target);
  tvntest::FillEarlierCollection(target, 2);
  std::filesystem::create_symlink(target, Path("old.mdb"));
  const std::string before = tvntest::ReadBytes(target);

  try {
    OpenCollection("old.mdb");
    ADD_FAILURE() << "converted over a link";
  } catch (const vb::RuntimeError& e) {
    EXPECT_NE(e.Description().find(Path("old.mdb")), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find(target), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find("symbolic link"), std::string::npos);
  }
  EXPECT_TRUE(vb::PromptScript::Texts().empty()) << "no word of a conversion that does not happen";
  EXPECT_TRUE(std::filesystem::is_symlink(Path("old.mdb")));
  EXPECT_EQ(tvntest::ReadBytes(target), before);
  for (const auto& folder : {dir_, elsewhere})
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      const std::string name = e.path().filename().string();
      EXPECT_EQ(name.find(".converting"), std::string::npos) << name;
      EXPECT_EQ(name.find(".upgrading"), std::string::npos) << name;
    }

  // The master list the same way.
  tvn::App().CollectionDB.reset();
  const std::string list = (elsewhere / "admin.sys").string();
  auto tables = tvn::schema::MasterListTables();
  tables.pop_back();  // no game collection list: a conversion is due
  {
    auto d = dao::DBEngine::Workspaces(0).CreateDatabase(list);
    for (const auto& t : tables) d->AppendTableDef(t);
    d->Close();
  }
  std::filesystem::create_symlink(list, Path("admin.sys"));
  const std::string listBefore = tvntest::ReadBytes(list);
  tvn::App().AdminDB = Open("admin.sys");
  EXPECT_THROW(tvn::OpenPlCollections(), vb::RuntimeError);
  if (tvn::App().AdminDB && tvn::App().AdminDB->IsOpen()) tvn::App().AdminDB->Close();
  EXPECT_TRUE(std::filesystem::is_symlink(Path("admin.sys")));
  EXPECT_EQ(tvntest::ReadBytes(list), listBefore);
  EXPECT_FALSE(std::filesystem::exists(Path("Admin.30")));
}

TEST(BackupName, TheWholeNameBeforeItsExtension) {
  EXPECT_EQ(tvn::CollectionBackupName("av30.mdb"), "av30.30");
  EXPECT_EQ(tvn::CollectionBackupName("My.Music.mdb"), "My.Music.30");
  EXPECT_EQ(tvn::CollectionBackupName("/data/v1.2/nodot"), "");
  EXPECT_EQ(tvn::CollectionBackupName("/data/v1.2/old.mdb"), "/data/v1.2/old.30");
  EXPECT_EQ(tvn::CollectionBackupName("nodot"), "");
}

// Two collections whose names are alike up to their first "." each get a
// backup of their own, byte for byte, and each message names its own.
TEST_F(ConversionTest, NamesAlikeUpToAPointGetABackupEach) {
  std::map<std::string, std::string> before;
  for (const char* name : {"My.Songs.mdb", "My.Tunes.mdb"}) {
    tvn::schema::CreateOriginalEarlierCollectionFile(Path(name));
    tvntest::FillEarlierCollection(Path(name), std::string(name) == "My.Songs.mdb" ? 1 : 2);
    Open(name)->Close();
    before[name] = tvntest::ReadBytes(Path(name));
  }
  for (const auto& [name, backup] : {std::pair<std::string, std::string>{"My.Songs.mdb", "My.Songs.30"},
                                     {"My.Tunes.mdb", "My.Tunes.30"}}) {
    vb::PromptScript::Clear();
    OpenCollection(name);
    EXPECT_TRUE(tvn::IsCurrentLayout(db()));
    db()->Close();
    ASSERT_FALSE(vb::PromptScript::Records().empty());
    EXPECT_EQ(vb::PromptScript::Records()[0].text, std::string(kFirstMessage) + backup);
    EXPECT_TRUE(tvntest::ReadBytes(Path(backup)) == before[name]) << backup;
  }
  EXPECT_FALSE(std::filesystem::exists(Path("My.30")));
}

void Alter(const std::string& file, const std::string& sql) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(raw);
}

// What an earlier file lacks besides a section table with its names does
// not stop its conversion: a missing field is empty in every row, a missing
// table adds no rows, and every row the file holds is converted.
TEST_F(ConversionTest, WhatAnEarlierFileLacksBesidesItsNamesConvertsAsEmpty) {
  for (const char* lack :
       {"ALTER TABLE cassette DROP COLUMN GrpNum", "ALTER TABLE cassette DROP COLUMN Player; ALTER TABLE lp DROP COLUMN serial",
        "ALTER TABLE cassette DROP COLUMN Format_Type", "ALTER TABLE Compact_Disk DROP COLUMN notes",
        "ALTER TABLE vt DROP COLUMN slot", "DROP TABLE lp", "DROP TABLE vt", "DROP TABLE artists",
        "DROP TABLE cdcaption; DROP TABLE category"}) {
    SCOPED_TRACE(lack);
    std::filesystem::remove(Path("old.mdb"));
    std::filesystem::remove(Path("old.30"));
    tvn::schema::CreateOriginalEarlierCollectionFile(Path("old.mdb"));
    tvntest::FillEarlierCollection(Path("old.mdb"), 3);
    Alter(Path("old.mdb"), lack);
    long items = 0;
    {
      auto d = Open("old.mdb");
      for (const auto& t : tvn::schema::SectionTableNames())
        if (HasTable(d, t)) items += CountRows(d, "select * from " + t);
      d->Close();
    }
    tvn::OpenCollectionFile(dao::DBEngine::Workspaces(0), Path("old.mdb"), tvn::MediaCollectionKind())->Close();
    vb::PromptScript::Clear();
    ASSERT_NO_THROW(OpenCollection("old.mdb"));
    ASSERT_TRUE(tvn::IsCurrentLayout(db()));
    EXPECT_EQ(CountRows(db(), "select * from mediadata"), items);
    EXPECT_EQ(CountRows(db(), "select * from mediadata where name = 'md tape' and SectionNumber = 7"),
              std::string(lack).find("Format_Type") == std::string::npos ? 1 : 0);
    EXPECT_EQ(vb::PromptScript::Texts().back(), kDoneMessage);
    db()->Close();
  }
  // A file of one section table with names only converts with its rows.
  std::filesystem::remove(Path("lp.mdb"));
  tvn::testing::MakeLookAlike(Path("lp.mdb"), "CREATE TABLE lp (name TEXT); INSERT INTO lp VALUES ('Blue Train');");
  OpenCollection("lp.mdb");
  EXPECT_EQ(CountRows(db(), "select * from mediadata where name = 'Blue Train' and SectionNumber = 5"), 1);
  db()->Close();
}

// Only what makes the conversion impossible refuses an earlier file, and
// it is told as such, the file left as it was; a database with no table of
// either layout is no collection.
TEST_F(ConversionTest, AnEarlierFileIsRefusedOnlyWithoutASectionTableOrItsNames) {
  struct Case {
    const char* sql;
    std::string told;
  };
  for (const Case& c : {Case{"CREATE TABLE lp (name TEXT); CREATE TABLE cassette (title1 TEXT);",
                             "is a collection of the earlier layout that cannot be converted: its table \"cassette\" "
                             "has no field \"name\"."},
                        Case{"CREATE TABLE artists (artist_name TEXT);",
                             "is a database, but not a collection: it has no table \"mediadata\", which every "
                             "collection holds."}}) {
    SCOPED_TRACE(c.sql);
    tvn::testing::MakeLookAlike(Path("odd.mdb"), c.sql);
    const std::string before = tvntest::ReadBytes(Path("odd.mdb"));
    try {
      tvn::OpenCollectionFile(dao::DBEngine::Workspaces(0), Path("odd.mdb"), tvn::MediaCollectionKind());
      ADD_FAILURE() << "opened";
    } catch (const std::exception& e) {
      EXPECT_EQ(tvn::DescribeOpenFailure(e), c.told);
    }
    tvn::AVData()->LastDB("odd.mdb");
    tvn::App().CollectionDB = Open("odd.mdb");
    EXPECT_THROW(tvn::CommonDataTable().CheckTable(), tvn::NotACollectionError);
    tvn::App().CollectionDB->Close();
    EXPECT_EQ(tvntest::ReadBytes(Path("odd.mdb")), before);
    EXPECT_FALSE(std::filesystem::exists(Path("odd.30")));
  }
}

class MasterListTest : public ConversionTest {
 protected:
  // A master list of an older version: avcollections only, or plcollections
  // without its index.
  void MakeOldMasterList(bool withPlCollections) {
    auto tables = tvn::schema::MasterListTables();
    if (withPlCollections)
      tables[1].Indexes.clear();
    else
      tables.pop_back();
    auto d = dao::DBEngine::Workspaces(0).CreateDatabase(Path("Admin.sys"));
    for (const auto& t : tables) d->AppendTableDef(t);
    tvntest::AddRow(d, "avcollections", {{"dbname", "av30.mdb"}, {"AVCollection", "My Collection"}});
    tvntest::AddRow(d, "avcollections", {{"dbname", "Jazz.mdb"}, {"AVCollection", "Jazz"}});
    d->Close();
  }
  void ExpectRebuilt(const std::string& backup) {
    ASSERT_TRUE(tvn::App().AdminDB && tvn::App().AdminDB->IsOpen());
    auto& admin = tvn::App().AdminDB;
    auto pl = admin->OpenRecordset("plcollections");
    pl->SetIndex("dbname");
    pl->Close();
    auto av = admin->OpenRecordset("avcollections");
    av->SetIndex("master");
    av->Seek("=", "Jazz");
    EXPECT_FALSE(av->NoMatch());
    av->Close();
    EXPECT_EQ(CountRows(admin, "select * from avcollections"), 2);
    EXPECT_TRUE(std::filesystem::exists(Path(backup)));
    EXPECT_TRUE(vb::PromptScript::Texts().empty());
    EXPECT_TRUE(NoWorkFilesLeft());
    // The rebuilt list replaced the file under its own name.
    EXPECT_FALSE(std::filesystem::exists(Path("admin.sys")));
  }
};

TEST_F(MasterListTest, WithoutGameListIsRebuiltWithBackupAdmin30) {
  MakeOldMasterList(false);
  tvn::App().AdminDB = Open("admin.sys");
  tvn::OpenPlCollections();
  ExpectRebuilt("Admin.30");
  EXPECT_FALSE(std::filesystem::exists(Path("Admin.30i")));
}

TEST_F(MasterListTest, WithoutGameListIndexIsRebuiltWithBackupAdmin30i) {
  MakeOldMasterList(true);
  {
    auto d = Open("admin.sys");
    tvntest::AddRow(d, "plcollections", {{"dbname", "Chess.mdb"}, {"plCollection", "Chess"}});
    tvntest::AddRow(d, "plcollections", {{"dbname", "Cards.mdb"}, {"plCollection", "Cards"}});
    d->Close();
  }
  tvn::App().AdminDB = Open("admin.sys");
  tvn::OpenPlCollections();
  ExpectRebuilt("Admin.30i");
  // The game collections are kept, in place of the template's row.
  auto& admin = tvn::App().AdminDB;
  EXPECT_EQ(CountRows(admin, "select * from plcollections"), 2);
  EXPECT_EQ(CountRows(admin, "select * from plcollections where dbname = 'Chess.mdb' and plCollection = 'Chess'"), 1);
}

// Backups of the list already in the folder (of another list, or of this
// one at an earlier conversion) stay as they are: the old list gets a copy
// of its own under the next free name, byte for byte.
TEST_F(MasterListTest, ABackupAlreadyThereIsNeverWrittenOver) {
  for (const char* taken : {"Admin.30", "admin (2).30"}) {
    std::ofstream(Path(taken), std::ios::binary) << "an older backup: " << taken;
  }
  MakeOldMasterList(false);
  const std::string before = tvntest::ReadBytes(Path("Admin.sys"));
  tvn::App().AdminDB = Open("admin.sys");
  tvn::OpenPlCollections();
  ExpectRebuilt("Admin (3).30");
  EXPECT_EQ(tvntest::ReadBytes(Path("Admin.30")), "an older backup: Admin.30");
  EXPECT_EQ(tvntest::ReadBytes(Path("admin (2).30")), "an older backup: admin (2).30");
  EXPECT_TRUE(tvntest::ReadBytes(Path("Admin (3).30")) == before);

  // The next list without its index keeps its own copy too.
  tvn::App().AdminDB->Close();
  std::filesystem::remove(Path("Admin.sys"));
  std::ofstream(Path("Admin.30i"), std::ios::binary) << "an older backup: Admin.30i";
  MakeOldMasterList(true);
  const std::string second = tvntest::ReadBytes(Path("Admin.sys"));
  tvn::App().AdminDB = Open("admin.sys");
  tvn::OpenPlCollections();
  ExpectRebuilt("Admin (2).30i");
  EXPECT_EQ(tvntest::ReadBytes(Path("Admin.30i")), "an older backup: Admin.30i");
  EXPECT_TRUE(tvntest::ReadBytes(Path("Admin (2).30i")) == second);
  EXPECT_TRUE(tvntest::ReadBytes(Path("Admin (3).30")) == before);
}

TEST_F(MasterListTest, CurrentListIsLeftAloneAndAFailedRebuildLosesNothing) {
  tvn::schema::CreateMasterListFile(Path("admin.sys"));
  Open("admin.sys")->Close();
  const std::string current = tvntest::ReadBytes(Path("admin.sys"));
  tvn::App().AdminDB = Open("admin.sys");
  tvn::OpenPlCollections();
  tvn::App().AdminDB->Close();
  EXPECT_EQ(tvntest::ReadBytes(Path("admin.sys")), current);
  EXPECT_FALSE(std::filesystem::exists(Path("Admin.30")));

  std::filesystem::remove(Path("admin.sys"));
  MakeOldMasterList(false);
  {
    // A column the template does not have makes the copy fail.
    auto d = Open("admin.sys");
    d->TableDefs("avcollections")->AppendField(dao::FieldDef{"note", dao::dbText, 10, true, false});
    d->Close();
  }
  const std::string before = tvntest::ReadBytes(Path("Admin.sys"));
  tvn::App().AdminDB = Open("admin.sys");
  EXPECT_THROW(tvn::OpenPlCollections(), vb::RuntimeError);
  EXPECT_EQ(tvntest::ReadBytes(Path("Admin.sys")), before);
  EXPECT_TRUE(NoWorkFilesLeft());
}

}  // namespace
