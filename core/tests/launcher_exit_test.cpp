// The launcher's Exit and close box with a typed change on show in both
// catalogue windows: each window asks through its own close, the game
// window first; Cancel in either keeps the program running, with the
// windows, what they show and the files as they were.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <functional>

#include "catalogue/NewMain_Form.h"
#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "core/tests/LaunchFixture.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "games/avplclass.h"
#include "games/tests/GameRows.h"
#include "platform/forms/tests/OnScreen.h"

namespace tvn::testing {
namespace {

using Strings = std::vector<std::string>;
using vb::PromptScript;

const std::string kRecord = "Caf\xC3\xA9 '\xC3\x96lsen' \xE6\x9D\xB1\xE4\xBA\xAC";
const std::string kGame = "Z\xC3\xA9lda '\xCE\xA9'";
const std::string kTyped = "N\xC2\xBA \xC2\xAB" "42\xC2\xBB \xC4\x85\xC5\xBE \xED\x95\x9C";
const std::string kRecordQuestion = "Save the changes to \"" + kRecord + "\"?";
const std::string kGameQuestion = "Save the changes to \"" + kGame + "\"?";

class LauncherExitTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    App().AppWorkspace = &dao::DBEngine::Workspaces(0);
    schema::EnsureTemplates(Home());
    vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
    mediaFile_ = InHome("av30.mdb");
    schema::CreateCollectionFile(mediaFile_);
    App().CollectionDB = App().AppWorkspace->OpenDatabase(mediaFile_);
    tvntest::AddRow(App().CollectionDB, "mediadata",
                    {{"name", vb::Variant(kRecord)}, {"SectionNumber", vb::Variant::Byte(2)},
                     {"section", vb::Variant("Compact Disc")}});
    AVData()->LastDB("av30.mdb");
    AVData()->CurCollection("My Collection");
    gameFile_ = InHome("MyGames.mdb");
    vb::FileCopy(Home() + "/pl33e.mdb", gameFile_);
    {
      dao::DatabasePtr games = App().AppWorkspace->OpenDatabase(gameFile_);
      pl::testing::AddGameRow(*games, "mediadata",
                              {{"name", vb::Variant(kGame)}, {"sectionnumber", vb::Variant::Byte(2)}});
      games->Close();
    }
    for (const auto& [key, value] : {std::pair{"CurDB_PL", "MyGames.mdb"}, {"NF", "2"}, {"LG", "2"}, {"LPL", "2"}})
      SetSetting(key, value);
    RegisterCatalogueWindow();
    pl::RegisterGameCatalogue();
  }
  void TearDown() override {
    // Whatever they still show, the windows go without a question.
    delete CatalogueWindow();
    delete pl::PL().MainWindow.data();
    Pump();
    RegisterMediaCatalogue({});
    RegisterGameCatalogue({});
    if (pl::PL().GameDB) pl::PL().GameDB->Close();
    pl::PL().GameDB.reset();
    if (App().CollectionDB) App().CollectionDB->Close();
    LaunchTest::TearDown();
  }

  // Both catalogues open from the launcher, each with text typed into the
  // record on show.
  MainForm& BothTyped(const std::string& text = kTyped) {
    MainForm& launcher = win::MainForm.Get();
    launcher.Show();
    if (!CatalogueWindow()) launcher.btnOpenTavolin->click();
    if (!pl::PL().MainWindow) launcher.btnOpenPellion->click();
    Pump();
    EXPECT_TRUE(Media() && Game());
    if (Media() && Game()) {
      EXPECT_EQ(Media()->CS_Name_Text->text().toStdString(), kRecord);
      EXPECT_EQ(Game()->txtName->text().toStdString(), kGame);
      Media()->CS_CatNum_Text->setText(QString::fromStdString(text));
      Game()->txtBestFeature->setText(QString::fromStdString(text));
    }
    return launcher;
  }
  static NewMain_Form* Media() { return CatalogueWindow(); }
  static pl::PLMain_Form* Game() { return pl::PL().MainWindow.data(); }

  std::string mediaFile_, gameFile_;
};

TEST_F(LauncherExitTest, EachCatalogueAsksAndCancelKeepsTheProgramRunningAsItWas) {
  MainForm& launcher = BothTyped();
  ASSERT_TRUE(Media() && Game());
  const std::string media = tvntest::ReadBytes(mediaFile_), games = tvntest::ReadBytes(gameFile_);
  auto asItWas = [&](bool gameOpen) {
    EXPECT_TRUE(endings_.empty());
    EXPECT_TRUE(win::MainForm.Loaded());
    EXPECT_TRUE(launcher.isVisible());
    ASSERT_TRUE(Media());
    EXPECT_EQ(launcher.AVRunning->Value(), 1);
    EXPECT_EQ(Media()->CS_CatNum_Text->text().toStdString(), kTyped);
    EXPECT_ON_SCREEN(Media()->CS_CatNum_Text);
    EXPECT_EQ(tvntest::ReadBytes(mediaFile_), media);
    if (!gameOpen) return;
    ASSERT_TRUE(Game());
    EXPECT_EQ(launcher.PLRunning->Value(), 1);
    EXPECT_EQ(Game()->txtBestFeature->text().toStdString(), kTyped);
    EXPECT_ON_SCREEN(Game()->txtBestFeature);
    EXPECT_EQ(tvntest::ReadBytes(gameFile_), games);
  };
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"Exit", [&] { launcher.btnExit->click(); }}, {"close box", [&] { launcher.close(); }}};

  // Cancel to the game window's question: nothing else is asked, nothing closes.
  for (const auto& [way, close] : ways) {
    SCOPED_TRACE(way);
    PromptScript::Clear();
    PromptScript::Answer(vb::vbCancel);
    close();
    Pump();
    EXPECT_EQ(PromptScript::Texts(), Strings{kGameQuestion});
    asItWas(true);
  }

  // Yes files the game and closes its window; Cancel to the media window's
  // question keeps the program running with that window as it was.
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbCancel);
  launcher.btnExit->click();
  Pump();
  EXPECT_EQ(PromptScript::Texts(), (Strings{kGameQuestion, kRecordQuestion}));
  EXPECT_FALSE(Game());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  asItWas(false);
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  launcher.close();
  Pump();
  EXPECT_EQ(PromptScript::Texts(), Strings{kRecordQuestion});
  asItWas(false);

  // No drops the game's change, Yes files the record's: the program ends.
  const std::string again = "again Ã© '2'";
  BothTyped(again);
  PromptScript::Clear();
  PromptScript::Answer(vb::vbNo);
  PromptScript::Answer(vb::vbYes);
  launcher.btnExit->click();
  Pump();
  EXPECT_EQ(PromptScript::Texts(), (Strings{kGameQuestion, kRecordQuestion}));
  EXPECT_EQ(endings_.size(), 1u);
  auto stored = [](const dao::DatabasePtr& db, const std::string& sql) {
    auto rs = db->OpenRecordset(sql);
    const std::string v = rs->Eof() ? "<none>" : vb::NzStr(rs->GetField(0));
    rs->Close();
    return v;
  };
  const dao::DatabasePtr check = App().AppWorkspace->OpenDatabase(mediaFile_);
  EXPECT_EQ(stored(check, "select cat_number from mediadata"), again);
  check->Close();
  const dao::DatabasePtr gameCheck = App().AppWorkspace->OpenDatabase(gameFile_);
  EXPECT_EQ(stored(gameCheck, "select bestfeature from mediadata"), kTyped);  // the first Yes; the No dropped again
  gameCheck->Close();
}

}  // namespace
}  // namespace tvn::testing
