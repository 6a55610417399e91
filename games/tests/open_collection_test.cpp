// Choosing and opening the game collection: the setting, the default
// collection made from the template, and the name from the master list.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Schema.h"
#include "core/OpenFailure.h"
#include "core/tests/DamagedFiles.h"
#include "core/tests/LaunchFixture.h"
#include "games/PLModule.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Settings.h"

namespace tvn::testing {
namespace {

class OpenGameCollection : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    schema::EnsureTemplates(Home());
    vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
    pl::PLGlobals& g = pl::PL();
    g.Workspace = &dao::DBEngine::Workspaces(0);
    pl::PLData().APath = Home();
    pl::PLData().CurCollection.clear();
  }
  void TearDown() override {
    pl::PLGlobals& g = pl::PL();
    if (g.GameDB) g.GameDB->Close();
    g.GameDB.reset();
    LaunchTest::TearDown();
  }
  std::string Setting() { return vb::GetSetting("TVN", "Startup", "CurDB_PL", "<none>"); }
  void Set(const std::string& v) { vb::SaveSetting("TVN", "Startup", "CurDB_PL", v); }
  bool Exists(const std::string& name) { return std::filesystem::exists(Home() + "/" + name); }
};

TEST_F(OpenGameCollection, FirstOpenMakesTheDefaultCollectionFromTheTemplate) {
  pl::OpenGameDatabase();
  pl::PLGlobals& g = pl::PL();
  EXPECT_EQ(Setting(), "MyGames.mdb");
  EXPECT_TRUE(Exists("MyGames.mdb"));
  EXPECT_EQ(pl::PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(pl::PLData().CurCollection, "My Collection");
  ASSERT_TRUE(g.GameDB);
  auto rs = g.GameDB->OpenRecordset("select name from sections where section = 6");
  EXPECT_EQ(vb::NzStr(rs->GetField("name")), "Other");

  // A game added now is still there on the next open: the file is not remade.
  g.GameDB->Execute("insert into mediadata (name, sectionnumber) values ('Tetris', 1)");
  pl::OpenGameDatabase();
  EXPECT_EQ(vb::NzStr(g.GameDB->OpenRecordset("select name from mediadata")->GetField("name")), "Tetris");
}

TEST_F(OpenGameCollection, SettingIsMatchedWithoutCaseAndAMissingFileFallsBackToTheDefault) {
  // A collection of its own, listed in the master list, named in other case.
  schema::CreateGameCollectionFile(Home() + "/Retro's [Games].mdb");
  {
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(Home() + "/admin.sys");
    auto rs = admin->OpenRecordset("plcollections");
    rs->AddNew();
    rs->SetField("dbname", vb::Variant(std::string("Retro's [Games].mdb")));
    rs->SetField("plCollection", vb::Variant(std::string("Retro's [Games]")));
    rs->Update();
    admin->Close();
  }
  Set("retro's [GAMES].MDB");
  pl::OpenGameDatabase();
  EXPECT_EQ(pl::PLData().LastDB, "Retro's [Games].mdb");
  EXPECT_EQ(pl::PLData().CurCollection, "Retro's [Games]");
  EXPECT_FALSE(Exists("MyGames.mdb"));  // a named collection that exists is used as it is

  // The default collection spelled in other case is found, not remade.
  Set("mygames.MDB");
  pl::OpenGameDatabase();
  EXPECT_TRUE(Exists("MyGames.mdb"));
  EXPECT_EQ(pl::PLData().CurCollection, "My Collection");

  // A setting naming a missing file: the default collection, and the setting rewritten.
  Set("gone.mdb");
  pl::OpenGameDatabase();
  EXPECT_EQ(Setting(), "MyGames.mdb");
  EXPECT_EQ(pl::PLData().LastDB, "MyGames.mdb");
}

TEST_F(OpenGameCollection, AMissingListOrTemplateIsNoFailureAndTheRestNamesTheFile) {
  // The list only gives the display name: without it the collection opens.
  std::filesystem::remove(Home() + "/admin.sys");
  pl::PLData().CurCollection = "Before";
  pl::OpenGameDatabase();
  pl::PLGlobals& g = pl::PL();
  ASSERT_TRUE(g.GameDB && g.GameDB->IsOpen());
  EXPECT_EQ(pl::PLData().CurCollection, "Before");

  // A missing template is written again before the default collection is made.
  g.GameDB->Close();
  g.GameDB.reset();
  std::filesystem::remove(Home() + "/MyGames.mdb");
  std::filesystem::remove(Home() + "/pl33e.mdb");
  pl::OpenGameDatabase();
  EXPECT_TRUE(Exists("MyGames.mdb"));
  ASSERT_TRUE(g.GameDB && g.GameDB->IsOpen());

  // One that cannot be written: the error names both files.
  g.GameDB->Close();
  g.GameDB.reset();
  std::filesystem::remove(Home() + "/MyGames.mdb");
  std::filesystem::remove(Home() + "/pl33e.mdb");
  std::filesystem::create_directory(Home() + "/pl33e.mdb");
  try {
    pl::OpenGameDatabase();
    ADD_FAILURE() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_NE(e.Description().find(Home() + "/MyGames.mdb"), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find(Home() + "/pl33e.mdb"), std::string::npos) << e.Description();
  }
  EXPECT_FALSE(g.GameDB);
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(OpenGameCollection, FallingBackToTheDefaultCollectionIsTold) {
  Set("gone.mdb");
  pl::OpenGameDatabase();
  EXPECT_EQ(vb::PromptScript::Texts(),
            std::vector<std::string>{"The current game collection file\n" + Home() +
                                     "/gone.mdb\ncannot be found.\n\nThe default game collection \"MyGames.mdb\" "
                                     "will be opened."});
  EXPECT_EQ(Setting(), "MyGames.mdb");

  vb::PromptScript::Clear();
  std::filesystem::create_directory(Home() + "/Shelf.mdb");
  Set("Shelf.mdb");
  pl::OpenGameDatabase();
  ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
  EXPECT_NE(vb::PromptScript::Texts()[0].find("Shelf.mdb\nis a folder, not a file."), std::string::npos);
  EXPECT_EQ(pl::PLData().LastDB, "MyGames.mdb");
}

class DamagedGameCollection : public OpenGameCollection, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedGameCollection, IsLeftAsItIsAndTheUserChoosesTheWayOn) {
  schema::CreateGameCollectionFile(Home() + "/Retro.mdb");
  MakeDamaged(Home() + "/Retro.mdb", GetParam());
  const std::string before = Content(Home() + "/Retro.mdb");
  Set("Retro.mdb");
  pl::PLGlobals& g = pl::PL();

  // Cancel: the catalogue does not open, and nothing changed.
  vb::PromptScript::Answer(vb::vbCancel);
  EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& asked = vb::PromptScript::Records()[0];
  EXPECT_EQ(asked.text.rfind("The game collection file\n" + Home() + "/Retro.mdb\n", 0), 0u) << asked.text;
  EXPECT_NE(asked.text.find("\n\nThe file is left as it is.\n\nYes: make a new, empty game collection under a new "
                            "name and go on with it.\nNo: open the default game collection \"" +
                            Home() + "/MyGames.mdb\" instead.\nCancel: do not open the game catalogue now."),
            std::string::npos)
      << asked.text;
  EXPECT_EQ(asked.buttons, vb::vbYesNoCancel + vb::vbExclamation);
  EXPECT_FALSE(g.GameDB);
  EXPECT_EQ(Setting(), "Retro.mdb");

  // No: the default collection.
  vb::PromptScript::Answer(vb::vbNo);
  pl::OpenGameDatabase();
  EXPECT_EQ(pl::PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(Setting(), "MyGames.mdb");
  ASSERT_TRUE(g.GameDB && g.GameDB->IsOpen());

  // Yes: a new, empty collection under the name given, listed and current.
  g.GameDB->Close();
  g.GameDB.reset();
  Set("Retro.mdb");
  vb::PromptScript::Answer(vb::vbYes);
  vb::PromptScript::AnswerText("Retro Again");
  pl::OpenGameDatabase();
  EXPECT_EQ(pl::PLData().LastDB, "Retro Again.mdb");
  EXPECT_EQ(pl::PLData().CurCollection, "Retro Again");
  EXPECT_EQ(Setting(), "Retro Again.mdb");
  ASSERT_TRUE(g.GameDB && g.GameDB->IsOpen());
  EXPECT_NO_THROW(g.GameDB->OpenRecordset("sections")->Close());
  auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(Home() + "/admin.sys");
  auto rs = admin->OpenRecordset("select plCollection from plcollections where dbname = 'Retro Again.mdb'");
  EXPECT_EQ(vb::NzStr(rs->GetField("plCollection")), "Retro Again");
  rs->Close();
  admin->Close();

  EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);
}

// A folder under the setting's name is no file of the folder: the default
// collection is opened and the user told (above).
INSTANTIATE_TEST_SUITE_P(Each, DamagedGameCollection,
                         ::testing::Values(Damage::RandomBytes, Damage::CutShort, Damage::OtherTables,
                                           Damage::OtherProgram),
                         [](const auto& info) { return std::string(DamageName(info.param)); });

// A file lacking any one table the game window reads is no game collection:
// told in words, the file unchanged, nothing opened.
TEST_F(OpenGameCollection, ACollectionLackingATableTheWindowReadsIsRefusedUnchanged) {
  for (const char* table : {"systype", "supportsmedia", "genre", "gbcaption"}) {
    SCOPED_TRACE(table);
    schema::CreateGameCollectionFile(Home() + "/Retro.mdb");
    {
      auto db = dao::DBEngine::Workspaces(0).OpenDatabase(Home() + "/Retro.mdb");
      db->DeleteTableDef(table);
      db->Close();
    }
    const std::string before = Content(Home() + "/Retro.mdb");
    Set("Retro.mdb");
    vb::PromptScript::Clear();
    vb::PromptScript::Answer(vb::vbCancel);
    EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
    ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
    EXPECT_EQ(vb::PromptScript::Records()[0].text.rfind("The game collection file\n" + Home() +
                                                            "/Retro.mdb\nis a database, but not a game collection: "
                                                            "it has no table \"" + table + "\"",
                                                        0),
              0u)
        << vb::PromptScript::Records()[0].text;
    EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNoCancel + vb::vbExclamation);
    EXPECT_FALSE(pl::PL().GameDB);
    EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);
    std::filesystem::remove(Home() + "/Retro.mdb");
  }
}

// Every table of a game collection by name, each with one field of another
// program's: refused at the game catalogue's start, the field named.
TEST_F(OpenGameCollection, ALookAlikeCollectionIsRefusedUnchangedNamingTheFieldItLacks) {
  std::string sql;
  for (const dao::TableDef& t : schema::GameCollectionTables()) sql += "CREATE TABLE " + t.Name + " (x);";
  MakeLookAlike(Home() + "/Retro.mdb", sql + "INSERT INTO mediadata VALUES (1);");
  const std::string before = Content(Home() + "/Retro.mdb");
  Set("Retro.mdb");
  vb::PromptScript::Answer(vb::vbCancel);
  EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& asked = vb::PromptScript::Records()[0];
  EXPECT_EQ(asked.text.rfind("The game collection file\n" + Home() +
                                 "/Retro.mdb\nis a database, but not a game collection: its table \"mediadata\" has "
                                 "no field \"systemnumber\", which every game collection holds.\n\nThe file is left "
                                 "as it is.\n\nYes: make a new, empty game collection",
                             0),
            0u)
      << asked.text;
  EXPECT_EQ(asked.buttons, vb::vbYesNoCancel + vb::vbExclamation);
  EXPECT_FALSE(pl::PL().GameDB);
  EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);
}

// Damaged pages of the games under a schema that reads well: told as the
// media catalogue tells them, before the window reads, the file unchanged.
class DamagedGamePages : public OpenGameCollection, public ::testing::WithParamInterface<DamagedPage> {};

TEST_P(DamagedGamePages, AreToldAsADamagedFileWithTheWayOn) {
  schema::CreateGameCollectionFile(Home() + "/Retro.mdb");
  DamageItemPages(Home() + "/Retro.mdb", GetParam());
  const std::string before = Content(Home() + "/Retro.mdb");
  Set("Retro.mdb");
  vb::PromptScript::Answer(vb::vbCancel);
  EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& asked = vb::PromptScript::Records()[0];
  EXPECT_EQ(asked.text, "The game collection file\n" + Home() +
                            "/Retro.mdb\nis damaged: it cannot be read as a database.\n\nThe file is left as it "
                            "is.\n\nYes: make a new, empty game collection under a new name and go on with it.\nNo: "
                            "open the default game collection \"" +
                            Home() + "/MyGames.mdb\" instead.\nCancel: do not open the game catalogue now.");
  EXPECT_EQ(asked.buttons, vb::vbYesNoCancel + vb::vbExclamation);
  EXPECT_FALSE(pl::PL().GameDB);
  EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);

  // The way on: the default collection opens.
  vb::PromptScript::Answer(vb::vbNo);
  pl::OpenGameDatabase();
  EXPECT_EQ(pl::PLData().LastDB, "MyGames.mdb");
  ASSERT_TRUE(pl::PL().GameDB && pl::PL().GameDB->IsOpen());
  EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedGamePages, ::testing::Values(DamagedPage::Root, DamagedPage::MiddleLeaf),
                         [](const auto& info) { return info.param == DamagedPage::Root ? "Root" : "MiddleLeaf"; });

// Locked by another program: a passing state. The default answer changes
// nothing; a new collection and the default one are still offered.
TEST_F(OpenGameCollection, ALockedCollectionIsLeftCurrentByTheDefaultAnswer) {
  schema::CreateGameCollectionFile(Home() + "/Retro.mdb");
  Set("Retro.mdb");
  const std::string before = Content(Home() + "/Retro.mdb");
  {
    LockedByAnotherProgram lock(Home() + "/Retro.mdb");
    ASSERT_TRUE(lock.Locked());
    EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);  // no answer scripted: the default one
  }
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& asked = vb::PromptScript::Records()[0];
  EXPECT_NE(asked.text.find("is in use by another program"), std::string::npos) << asked.text;
  EXPECT_NE(asked.text.find("Yes: make a new, empty game collection"), std::string::npos);
  EXPECT_NE(asked.text.find("No: open the default game collection"), std::string::npos);
  EXPECT_EQ(asked.buttons, vb::vbYesNoCancel + vb::vbExclamation + vb::vbDefaultButton3);
  EXPECT_EQ(Setting(), "Retro.mdb");
  EXPECT_FALSE(pl::PL().GameDB);
  EXPECT_FALSE(Exists("New Collection.mdb"));
  EXPECT_EQ(Content(Home() + "/Retro.mdb"), before);
}

TEST_F(OpenGameCollection, DamagedDefaultCollectionOffersANewOneOrGivingUp) {
  pl::OpenGameDatabase();
  pl::PL().GameDB->Close();
  pl::PL().GameDB.reset();
  MakeDamaged(Home() + "/MyGames.mdb", Damage::RandomBytes);
  vb::PromptScript::Answer(vb::vbNo);
  EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNo + vb::vbExclamation);
  EXPECT_NE(vb::PromptScript::Records()[0].text.find("No: do not open the game catalogue now."), std::string::npos);
}

TEST_F(OpenGameCollection, ANewCollectionThatDoesNotOpenEndsTheAttempt) {
  // A template that makes no game collection: no new collection after new collection.
  MakeDamaged(Home() + "/MyGames.mdb", Damage::RandomBytes);
  MakeDamaged(Home() + "/pl33e.mdb", Damage::OtherTables);
  vb::PromptScript::Answer(vb::vbYes);
  vb::PromptScript::AnswerText("Another Try");
  EXPECT_THROW(pl::OpenGameDatabase(), OpenDeclined);
  const auto texts = vb::PromptScript::Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[2].rfind("The new game collection file\n" + Home() + "/Another Try.mdb\n", 0), 0u) << texts[2];
  EXPECT_FALSE(pl::PL().GameDB);
}

}  // namespace
}  // namespace tvn::testing
