// The life of the game window on a real game collection: its settings and
// the launcher's flags, activations after the first, a filing the engine
// refuses, and compaction beside an open media collection.
#include <QApplication>
#include <QEvent>
#include <QTextEdit>
#include <filesystem>
#include <fstream>

#include "core/AppState.h"
#include "core/Compaction.h"
#include "core/Schema.h"
#include "core/tests/OtherProgram.h"
#include "games/PLQDForm.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;
using V = vb::Variant;

class GameWindowLife : public GameWindowTest {};

// ---------------------------------------------------------------- settings

TEST_F(GameWindowLife, SettingsAreReadAtTheStartAndWrittenOnUnload) {
  Game("Sonic", 4);
  SetSetting("PL_T", "1500");
  SetSetting("PL_L", "3000");
  Open(4);
  EXPECT_EQ(Title(), "The Pellion - My Collection: Sega");
  EXPECT_EQ(Name(), "Sonic");
  // The first activation gives the launcher its pointer back.
  EXPECT_EQ(launcher_->MousePointer(), 0);
  EXPECT_EQ(running_->Value(), 1);

  Choose("Microsoft");
  W().Unload();
  tvn::testing::Pump();
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(Setting("LPL"), "5");
  EXPECT_EQ(Setting("PL_T"), "1500");
  EXPECT_EQ(Setting("PL_L"), "3000");
  EXPECT_EQ(running_->Value(), 0);

  // Opened again: the section left last.
  Open(5);
  EXPECT_EQ(Title(), "The Pellion - My Collection: Microsoft");
  EXPECT_EQ(VisibleButtons(), "1");
}

TEST_F(GameWindowLife, NoSettingsGiveGameboyAndAWindowClosedBeforeAnySectionKeepsLPL) {
  Game("Tetris", 1);
  SetSetting("PL_T", "0");
  SetSetting("PL_L", "-300");
  window_ = new PLMain_Form;
  const QPoint designed = window_->pos();
  SetSetting("LPL", "3");
  window_->Unload();
  tvn::testing::Pump();
  EXPECT_EQ(Setting("LPL"), "3");

  vb::DeleteSetting("TVN", "Startup", "LPL");
  window_ = new PLMain_Form;
  EXPECT_EQ(window_->pos(), designed);
  window_->Form_Activate();
  EXPECT_EQ(Title(), "The Pellion - My Collection: Gameboy");
  EXPECT_EQ(Name(), "Tetris");
}

TEST_F(GameWindowLife, ADamagedSectionSettingShowsGameboyAndTheQuickDisplayClosesWithTheWindow) {
  Game("Tetris", 1);
  SetSetting("LPL", "9");
  window_ = new PLMain_Form;
  window_->Form_Activate();
  EXPECT_EQ(Title(), "The Pellion - My Collection: Gameboy");
  W().qdmenu->trigger();
  ASSERT_NE(GameQuickDisplayWindow(), nullptr);
  EXPECT_TRUE(PLData().QDOpen);
  W().Unload();
  tvn::testing::Pump();
  EXPECT_FALSE(PLData().QDOpen);
  EXPECT_EQ(GameQuickDisplayWindow(), nullptr);
  EXPECT_EQ(Setting("LPL"), "1");
}

TEST_F(GameWindowLife, AReloadDoesNotDoubleTheFixedLists) {
  Open(1);
  W().Form_Load();
  W().Form_Load();
  EXPECT_EQ(Items(W().cmbFormat), (Strings{"Cartridge", "CD Rom", "DVD", "Other"}));
  EXPECT_EQ(Items(W().cmbRating), (Strings{"E Everyone:", "M Mature", "RP Pending", "T Teen"}));
  EXPECT_EQ(W().tGrid->Rows(), 2);
}

TEST_F(GameWindowLife, ALaterActivationNeverDiscardsAGameBeingAdded) {
  Game("Tetris", 1);
  Open(1);
  W().show();
  tvn::testing::Pump();
  Press(1);
  Type(W().txtName, "Half typed");
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&W(), &activate);
  W().hide();
  W().show();
  tvn::testing::Pump();
  EXPECT_TRUE(W().AddMode);
  EXPECT_EQ(Name(), "Half typed");
  EXPECT_EQ(VisibleButtons(), "2 3");
  Press(3);
  EXPECT_EQ(Count("mediadata where name = 'Half typed' and sectionnumber = 1"), 1);
}

// ---------------------------------------------------------------- a refused filing

TEST_F(GameWindowLife, ARefusedNewGameShowsTheErrorWritesNothingAndKeepsTheText) {
  Game("Tetris", 1);
  Add("systype", {{"systype", V(std::string("Handheld"))}});
  Open(1);
  Db().Execute("CREATE TRIGGER no_games BEFORE INSERT ON mediadata BEGIN SELECT RAISE(ABORT, 'full'); END");
  Press(1);
  Type(W().txtName, "Zelda");
  Type(W().cmbPublisher, "Nintendo");
  Type(W().cmbGenre, "Adventure");
  ClickRow(W().tGrid, "Handheld");
  Press(3);

  ASSERT_EQ(PromptScript::Records().size(), 1u);
  // The engine's error in its words, never a bare number.
  EXPECT_EQ(PromptScript::Records()[0].text.rfind("The collection could not be read or written as asked:", 0), 0u)
      << PromptScript::Records()[0].text;
  EXPECT_EQ(PromptScript::Records()[0].text.find("Error 3"), std::string::npos) << PromptScript::Records()[0].text;
  EXPECT_EQ(Count("mediadata"), 1);
  EXPECT_EQ(Count("publisher"), 0);
  EXPECT_EQ(Count("genre"), 0);
  EXPECT_EQ(Count("systypemedia"), 0);
  EXPECT_TRUE(W().AddMode);
  EXPECT_EQ(Name(), "Zelda");
  EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), "Nintendo");
  EXPECT_EQ(Ticked(W().tGrid), Strings{"Handheld"});
  EXPECT_EQ(VisibleButtons(), "2 3");
  EXPECT_FALSE(W().SSListBar1->isEnabled());

  // Once the engine takes it, the same filing stores the game once.
  Db().Execute("DROP TRIGGER no_games");
  Press(3);
  EXPECT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(Count("mediadata where name = 'Zelda'"), 1);
  EXPECT_EQ(Count("publisher"), 1);
  EXPECT_EQ(Count("systypemedia"), 1);
  EXPECT_FALSE(W().AddMode);
  EXPECT_EQ(VisibleButtons(), "1 3 4 5 6");
}

TEST_F(GameWindowLife, ARefusedEditKeepsTheStoredGameAndItsLinks) {
  const long st = Add("systype", {{"systype", V(std::string("Handheld"))}}, "systypeid");
  Add("supports", {{"Name", V(std::string("Rumble"))}});
  const long game = Game("Tetris", 1);
  Add("systypemedia", {{"systemnumber", V(game)}, {"systypeid", V(st)}});
  Open(1);
  Db().Execute("CREATE TRIGGER no_features BEFORE INSERT ON supportsmedia BEGIN SELECT RAISE(ABORT, 'no'); END");
  W().txtNotes->setPlainText("Edited notes");
  Type(W().txtName, "Tetris DX");
  ClickRow(W().tGrid, "Handheld");
  ClickRow(W().sGrid, "Rumble");
  Press(3);

  EXPECT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(Texts("select name from mediadata", "name"), Strings{"Tetris"});
  EXPECT_EQ(Count("mediadata where notes is null"), 1);
  EXPECT_EQ(Count("systypemedia where systemnumber = " + std::to_string(game)), 1);
  EXPECT_EQ(Count("supportsmedia"), 0);
  EXPECT_EQ(Name(), "Tetris DX");
  EXPECT_EQ(W().txtNotes->toPlainText().toStdString(), "Edited notes");
  EXPECT_EQ(Ticked(W().sGrid), Strings{"Rumble"});
  EXPECT_EQ(Ticked(W().tGrid), Strings{});
}

// ---------------------------------------------------------------- compaction

class GameCompaction : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    // The media catalogue has its collection open in the same workspace.
    tvn::schema::CreateCollectionFile(InHome("av30.mdb"));
    media_ = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("av30.mdb"));
    tvn::App().CollectionDB = media_;
    media_->Execute("insert into mediadata (name, sectionnumber) values ('Kind of Blue', 2)");
    Db().BeginTrans();
    const std::string notes(400, 'n');
    for (int i = 0; i < 400; ++i)
      Db().Execute("insert into mediadata (name, sectionnumber, notes) values ('Game " + std::to_string(1000 + i) +
                   "', 2, '" + notes + "')");
    Db().CommitTrans();
    Db().Execute("delete * from mediadata where name > 'Game 1010'");
    file_ = InHome("MyGames.mdb");
  }
  void TearDown() override {
    if (media_ && media_->IsOpen()) media_->Close();
    media_.reset();
    GameWindowTest::TearDown();
  }
  Strings WorkFiles() {
    Strings v;
    for (const auto& e : std::filesystem::directory_iterator(Home()))
      if (e.path().filename().string().rfind(".tvn-", 0) == 0) v.push_back(e.path().filename().string());
    return v;
  }
  std::string Question() {
    return "Please make a copy of the file " + file_ + " before compacting database\nCompact database now??";
  }
  long MediaItems() {
    auto rs = media_->OpenRecordset("select count(*) as n from mediadata");
    const long n = long(vb::CDbl(rs->GetField("n")));
    rs->Close();
    return n;
  }

  dao::DatabasePtr media_;
  std::string file_;
};

TEST_F(GameCompaction, AnsweredNoChangesNothing) {
  Open(2);
  const auto db = PL().GameDB;
  const auto size = std::filesystem::file_size(file_);
  PromptScript::Answer(vb::vbNo);
  W().Compact_Menu->trigger();
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(PromptScript::Records()[0].text, Question());
  EXPECT_EQ(PromptScript::Records()[0].title, "Compact Warning");
  EXPECT_EQ(PromptScript::Records()[0].buttons, vb::vbYesNo);
  EXPECT_EQ(PL().GameDB, db);
  EXPECT_TRUE(db->IsOpen());
  EXPECT_EQ(std::filesystem::file_size(file_), size);
  EXPECT_EQ(Name(), "Game 1000");
}

TEST_F(GameCompaction, YesCompactsTheGameFileAndLeavesTheMediaCollectionOpen) {
  Open(2);
  W().LoadData_PL("Game 1005");
  const auto size = std::filesystem::file_size(file_);
  // A section stored by an earlier session does not pull the window away.
  vb::SaveSetting("TVN", "Startup", "LPL", "5");
  PromptScript::Answer(vb::vbYes);
  W().Compact_Menu->trigger();

  EXPECT_EQ(PromptScript::Texts(), Strings{Question()});
  EXPECT_LT(std::filesystem::file_size(file_), size);
  EXPECT_TRUE(WorkFiles().empty());
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(Count("mediadata"), 11);
  // The media collection is untouched and still answers.
  ASSERT_TRUE(media_->IsOpen());
  EXPECT_EQ(MediaItems(), 1);
  media_->Execute("insert into mediadata (name, sectionnumber) values ('Blue Train', 2)");
  EXPECT_EQ(MediaItems(), 2);
  // The window starts afresh on the section it was on and works on.
  EXPECT_EQ(Title(), "The Pellion - My Collection: Nintendo");
  EXPECT_EQ(Name(), "Game 1000");
  EXPECT_TRUE(W().isEnabled());
  AddGame("After");
  EXPECT_EQ(Count("mediadata where name = 'After'"), 1);
}

TEST_F(GameCompaction, AFailureOpensTheOriginalAgainAndSaysSo) {
  Open(2);
  const auto size = std::filesystem::file_size(file_);
  // The copy is cut short by a full disk.
  const tvn::FileStep engine = tvn::CompactionStep();
  tvn::CompactionStep() = [](const std::string&) { throw vb::RuntimeError(3026, "Not enough space on disk."); };
  PromptScript::Answer(vb::vbYes);
  W().Compact_Menu->trigger();
  tvn::CompactionStep() = engine;

  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(PromptScript::Records()[1].text, "There was an error compacting Database");
  EXPECT_EQ(PromptScript::Records()[1].buttons, vb::vbOKOnly);
  EXPECT_EQ(std::filesystem::file_size(file_), size);
  EXPECT_TRUE(WorkFiles().empty());
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(Count("mediadata"), 11);
  EXPECT_EQ(MediaItems(), 1);
  EXPECT_TRUE(W().isEnabled());
  Choose("Nintendo");
  EXPECT_EQ(Name(), "Game 1000");
  EXPECT_TRUE(W().SSListBar1->isEnabled());
}

// Another program commits games one by one all through the compaction of
// the game collection: every game it committed is in the file afterwards,
// the file is sound, and its writes never fail.
TEST_F(GameCompaction, EveryGameAnotherProgramCommitsMeanwhileIsKept) {
  Open(2);
  tvn::testing::RowWriter writer(file_, "insert into mediadata (name, SectionNumber) values ('Other ' || ?1, 2)");
  const tvn::FileStep engine = tvn::CompactionStep();
  int beforeCompaction = 0;
  tvn::CompactionStep() = [&](const std::string& compacted) {
    writer.WaitBeyond(5);
    beforeCompaction = writer.Committed();
    engine(compacted);
  };
  PromptScript::Answer(vb::vbYes);
  W().Compact_Menu->trigger();
  tvn::CompactionStep() = engine;
  tvn::testing::UserWaitsWhileWriting(writer, 20);
  writer.Stop();

  EXPECT_EQ(writer.Error(), "");
  EXPECT_EQ(PromptScript::Texts(), Strings{Question()});
  EXPECT_GT(beforeCompaction, 0);
  const tvn::testing::ToolRun run = tvn::testing::RunTool(
      file_, "select count(distinct name) from mediadata where name like 'Other %';\npragma integrity_check;\n");
  EXPECT_EQ(run.out, std::to_string(writer.Committed()) + "\nok\n") << run.err;
  EXPECT_TRUE(WorkFiles().empty());
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(MediaItems(), 1);
}

}  // namespace
}  // namespace pl::testing
