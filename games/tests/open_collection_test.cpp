// Choosing and opening the game collection: the setting, the default
// collection made from the template, and the name from the master list.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/Schema.h"
#include "core/tests/LaunchFixture.h"
#include "games/PLModule.h"
#include "platform/runtime/Files.h"
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

TEST_F(OpenGameCollection, FailuresReachTheCallerAndKeepTheOpenCollection) {
  pl::OpenGameDatabase();
  pl::PLGlobals& g = pl::PL();
  dao::DatabasePtr before = g.GameDB;
  std::filesystem::remove(Home() + "/admin.sys");
  EXPECT_THROW(pl::OpenGameDatabase(), vb::RuntimeError);
  EXPECT_EQ(g.GameDB, before);

  // No template to make the default collection from.
  vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
  before->Close();
  g.GameDB.reset();
  std::filesystem::remove(Home() + "/MyGames.mdb");
  std::filesystem::remove(Home() + "/pl33e.mdb");
  EXPECT_THROW(pl::OpenGameDatabase(), vb::RuntimeError);
  EXPECT_FALSE(g.GameDB);
  EXPECT_TRUE(vb::PromptScript::Records().empty());  // nothing shown here
}

}  // namespace
}  // namespace tvn::testing
