// The check at opening reads a game collection's keys and name indexes, so
// a damaged game the window shows first is met by the window's first read.
// At the window's first showing the user then chooses the way on as when
// the catalogue opens; the damaged file is never written, no engine number
// is shown, and no game of it stays on screen.
#include <sqlite3.h>

#include "core/tests/DamagedFiles.h"
#include "games/PLCollection_Form.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

class GameFirstRead : public GameWindowTest {
 protected:
  // A game collection of 5,000 games whose long note (of "Item 2500", in
  // the fifth section) has a damaged page, that game the only one of its
  // section; made current, opened as the catalogue opens it.
  void OpenOnWornCollection() {
    worn = Home() + "/Worn.mdb";
    tvn::schema::CreateGameCollectionFile(worn);
    tvn::testing::DamageCollection(worn, tvn::testing::DamagedPart::NoteOverflow);
    sqlite3* raw = nullptr;
    sqlite3_open(worn.c_str(), &raw);
    sqlite3_exec(raw, "DELETE FROM mediadata WHERE sectionnumber = 5 AND name <> 'Item 2500'", nullptr, nullptr,
                 nullptr);
    sqlite3_close(raw);
    before = tvn::testing::Content(worn);
    PL().GameDB->Close();
    PLData().LastDB = "Worn.mdb";
    PLData().CurCollection = "Worn";
    SetSetting("CurDB_PL", "Worn.mdb");
    PL().GameDB = OpenGameCollectionFile(worn);
  }
  void ExpectToldDamagedOnce() {
    const auto texts = PromptScript::Texts();
    ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[0].rfind("The game collection file\n" + worn + "\nis damaged", 0), 0u) << texts[0];
    EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
  }
  std::string worn;
  std::string before;
};

TEST_F(GameFirstRead, TheDefaultCollectionOpensInsteadWhenChosen) {
  Game("Mine", 5);
  OpenOnWornCollection();
  PromptScript::Clear();
  PromptScript::Answer(vb::vbNo);
  PLMain_Form& w = Open(5);

  ExpectToldDamagedOnce();
  EXPECT_NE(PromptScript::Texts()[0].find("No: open the default game collection"), std::string::npos);
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(Setting("CurDB_PL"), "MyGames.mdb");
  EXPECT_EQ(Name(), "Mine");
  EXPECT_FALSE(w.windowTitle().contains("Worn"));
  EXPECT_TRUE(w.List_Combo->isEnabled());
  EXPECT_EQ(tvn::testing::Content(worn), before);
}

TEST_F(GameFirstRead, GivingUpLeavesTheWindowWithoutACollection) {
  OpenOnWornCollection();
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  PLMain_Form& w = Open(5);

  ExpectToldDamagedOnce();
  EXPECT_FALSE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(w.windowTitle().toStdString(), "The Pellion");
  EXPECT_FALSE(w.List_Combo->isEnabled());
  EXPECT_TRUE(w.CollectionMenu->isEnabled());
  EXPECT_EQ(Setting("CurDB_PL"), "Worn.mdb");
  EXPECT_EQ(tvn::testing::Content(worn), before);
}

}  // namespace
}  // namespace pl::testing
