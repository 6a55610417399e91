#pragma once
// A data folder holding the templates, the master list and the default game
// collection "MyGames.mdb", opened as the library's game collection; with
// helpers to put games and lookup entries in and to read the file back.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/Schema.h"
#include "core/tests/LaunchFixture.h"
#include "games/PLModule.h"
#include "games/tests/GameRows.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"

namespace pl::testing {

class GameCollectionTest : public tvn::testing::LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    tvn::schema::EnsureTemplates(Home());
    vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
    vb::FileCopy(Home() + "/pl33e.mdb", Home() + "/MyGames.mdb");
    PLGlobals& g = PL();
    g.Workspace = &dao::DBEngine::Workspaces(0);
    PLData() = avplDataclass{};
    PLData().APath = Home();
    PLData().LastDB = "MyGames.mdb";
    PLData().CurCollection = "My Collection";
    g.GameDB = g.Workspace->OpenDatabase(Home() + "/MyGames.mdb");
  }
  void TearDown() override {
    PLGlobals& g = PL();
    if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
    g.GameDB.reset();
    g.Workspace = nullptr;
    LaunchTest::TearDown();
  }

  dao::Database& Db() { return *PL().GameDB; }

  // Adds a row and returns the key the table gave it (its first field).
  long Add(const std::string& table, const std::map<std::string, vb::Variant>& values,
           const std::string& key = "") {
    return AddGameRow(Db(), table, values, key);
  }
  long Game(const std::string& name, int section, long publisher = 0, long developer = 0, long genre = 0) {
    return Add("mediadata",
               {{"name", vb::Variant(name)},
                {"sectionnumber", dao::Variant::Byte(std::uint8_t(section))},
                {"publisher", vb::Variant(publisher)},
                {"developer", vb::Variant(developer)},
                {"genre", vb::Variant(genre)}},
               "systemnumber");
  }
  long Long(const std::string& sql, const std::string& field) {
    dao::RecordsetPtr rs = Db().OpenRecordset(sql);
    const long v = rs->Eof() ? -1 : long(vb::CDbl(rs->GetField(field)));
    rs->Close();
    return v;
  }
  long Count(const std::string& sql) { return Long("select count(*) as n from " + sql, "n"); }
  std::vector<std::string> Texts(const std::string& sql, const std::string& field) {
    dao::RecordsetPtr rs = Db().OpenRecordset(sql);
    std::vector<std::string> out;
    while (!rs->Eof()) {
      out.push_back(vb::NzStr(rs->GetField(field)));
      rs->MoveNext();
    }
    rs->Close();
    return out;
  }
};

}  // namespace pl::testing
