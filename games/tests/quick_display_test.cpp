// The game quick display on a real game collection: the list of every game
// with its lookup names, sorting, the quick jump by prefix in columns 2 to
// 5, and the double click that shows a game in the game window.
#include <QHeaderView>
#include <QScreen>
#include <QTest>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <QMouseEvent>

#include "core/tests/QuickDisplayReference.h"
#include "games/PLQDForm.h"
#include "games/tests/CollectionFixture.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

class GameQuickDisplayTest : public GameCollectionTest {
 protected:
  void SetUp() override {
    GameCollectionTest::SetUp();
    const long nin = Add("publisher", {{"labelstudio_name", vb::Variant(std::string("Nintendo"))}}, "publisher");
    const long sega = Add("publisher", {{"labelstudio_name", vb::Variant(std::string("Sega"))}}, "publisher");
    const long rare = Add("developer", {{"artist_name", vb::Variant(std::string("Rare"))}}, "developer");
    const long puzzle = Add("genre", {{"category", vb::Variant(std::string("Puzzle"))}}, "genre");
    Game("Tetris", 1, nin, 0, puzzle);
    Game("Zelda", 2, nin, rare);
    Game("Banjo", 2, nin, rare);
    Game("Sonic", 4, sega);
    Game("Halo*?", 5);
    Db().Execute("update mediadata set date_aquired = #03/04/2001# where name = 'Zelda'");
    PLData().SectionNumber = 2;
    GameQuickDisplayHooks() = tvn::QuickDisplayHooks{};
    tvn::QuickDisplayHooks& h = GameQuickDisplayHooks();
    h.ItemClickProcess = [this](tvn::Byte s) {
      calls_.push_back("section " + std::to_string(int(s)));
      PLData().SectionNumber = s;
    };
    h.CS_Load_Data = [this](const std::string& n) { calls_.push_back("load " + n); };
    h.BringForward = [this] { calls_.push_back("front"); };
  }
  void TearDown() override {
    form_.reset();
    GameQuickDisplayHooks() = tvn::QuickDisplayHooks{};
    GameCollectionTest::TearDown();
  }
  PLQDForm& Open() {
    form_ = std::make_unique<PLQDForm>();
    form_->Form_Load();
    return *form_;
  }
  std::vector<std::string> Column(int col) const {
    std::vector<std::string> v;
    for (int r = 1; r < form_->QDGrid->Rows(); ++r) v.push_back(form_->QDGrid->TextMatrix(r, col).toStdString());
    return v;
  }
  std::vector<std::string> Row(int r) const {
    std::vector<std::string> v;
    for (int c = 0; c < form_->QDGrid->Cols(); ++c) v.push_back(form_->QDGrid->TextMatrix(r, c).toStdString());
    return v;
  }
  void Jump(int option, const std::string& text) {
    form_->srchOption[size_t(option)]->setChecked(true);
    form_->srchOption_Click(option);
    form_->txtSearch->setText(QString::fromStdString(text));
    form_->QuickJumpSearch();
  }
  void DoubleClick(const std::string& name) {
    for (int r = 1; r < form_->QDGrid->Rows(); ++r) {
      if (form_->QDGrid->TextMatrix(r, 2).toStdString() == name) {
        form_->QDGrid->SetRow(r);
        form_->OpenFromQuickDisplay();
        return;
      }
    }
    FAIL() << name;
  }

  std::unique_ptr<PLQDForm> form_;
  std::vector<std::string> calls_;
};

TEST_F(GameQuickDisplayTest, ListsEveryGameBySectionNameWithItsLookupNames) {
  PLQDForm& f = Open();
  EXPECT_EQ(f.windowTitle().toStdString(), "Pellion Quick Display");
  EXPECT_TRUE(PLData().QDOpen);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"", "Section", "Name", "Publisher", "Developer", "Genre",
                                              "Aquired On"}));
  EXPECT_EQ(f.QDGrid->ColWidth(0), 0);
  // Section names in alphabetical order: Gameboy, Microsoft, Nintendo, Sega.
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Tetris", "Halo*?", "Banjo", "Zelda", "Sonic"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{"1", "Gameboy", "Tetris", "Nintendo", "", "Puzzle", ""}));
  EXPECT_EQ(Row(4), (std::vector<std::string>{"2", "Nintendo", "Zelda", "Nintendo", "Rare", "", "03/04/2001"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"5", "Microsoft", "Halo*?", "", "", "", ""}));
  f.close();
  EXPECT_FALSE(PLData().QDOpen);

  // An empty collection: the headings and one empty row.
  Db().Execute("delete * from mediadata");
  PLQDForm& g = Open();
  ASSERT_EQ(g.QDGrid->Rows(), 2);
  EXPECT_EQ(Row(1), std::vector<std::string>(7, ""));
}

TEST_F(GameQuickDisplayTest, QuickJumpFindsOnlyAPrefixInTheChosenColumn) {
  PLQDForm& f = Open();
  EXPECT_EQ(f.srchOption[4]->text().toStdString(), "Developer");
  Jump(2, "so");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Sonic");
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Banjo", "Halo*?", "Sonic", "Tetris", "Zelda"}));
  EXPECT_EQ(f.MarkedRow, f.QDGrid->Row());
  EXPECT_EQ(f.QDGrid->TopRow(), f.QDGrid->Row());

  // The wildcard characters are plain text.
  Jump(2, "halo*?");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Halo*?");
  Jump(2, "h*");
  EXPECT_EQ(f.QDGrid->Row(), 1);
  EXPECT_EQ(f.MarkedRow, 0);

  // No developer begins with "Q": row 1 and no mark, not the next one after it.
  Jump(4, "q");
  EXPECT_EQ(f.QDGrid->Row(), 1);
  EXPECT_EQ(f.MarkedRow, 0);
  Jump(4, "RA");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 4).toStdString(), "Rare");
  Jump(5, "puz");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Tetris");

  // Sorting descending on the publisher column.
  f.QDGrid->SetCol(3);
  f.menuD_Click();
  EXPECT_EQ(Column(3).front(), "Sega");
}

// The jump compares as the rows were sorted, letter by letter: a game
// beginning with an accented letter is no match for a text beginning with
// Z, which raw character codes would make it.
TEST_F(GameQuickDisplayTest, QuickJumpFollowsTheLetterOrderOfTheRows) {
  Game("Éclair Quest", 2);
  Game("Zap", 2);
  PLQDForm& f = Open();
  Jump(2, "zap");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Zap");
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Banjo", "Éclair Quest", "Halo*?", "Sonic", "Tetris", "Zap", "Zelda"}));
  Jump(2, "éCL");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Éclair Quest");
}

// Only a game that begins with the text is found: among names that differ
// from it only in accents, the first that has them all, or none at all
// (never the next game after them).
TEST_F(GameQuickDisplayTest, QuickJumpAmongNamesAlikeButForAccentsFindsOnlyABeginning) {
  for (const char* name : {"eA", "ec", "Éb", "Éd", "f"}) Game(name, 2);
  PLQDForm& f = Open();
  auto at = [this] { return form_->QDGrid->TextMatrix(form_->QDGrid->Row(), 2).toStdString(); };
  Jump(2, "É");
  EXPECT_EQ(at(), "Éb");
  EXPECT_EQ(f.MarkedRow, f.QDGrid->Row());
  Jump(2, "e");
  EXPECT_EQ(at(), "eA");
  Jump(2, "éC");
  EXPECT_EQ(f.QDGrid->Row(), 1);
  EXPECT_EQ(f.MarkedRow, 0);
  Db().Execute("delete * from mediadata where name in ('Éb', 'Éd')");
  PLQDForm& g = Open();
  Jump(2, "É");
  EXPECT_EQ(g.QDGrid->Row(), 1);
  EXPECT_EQ(g.MarkedRow, 0);
  // Numbers among the names sort as numbers: "9" begins with 9 all the same.
  for (const char* name : {"9", "10", "1a"}) Game(name, 2);
  PLQDForm& h = Open();
  Jump(2, "9");
  EXPECT_EQ(at(), "9");
  EXPECT_EQ(h.MarkedRow, h.QDGrid->Row());
}

// The window opens inside the screen, its headings and the cells of the
// rows shown not cut.
TEST_F(GameQuickDisplayTest, OpensOnTheScreenWithColumnsWideEnough) {
  Game("A very long game name that goes on and on, and on", 2);
  Db().Execute("update mediadata set date_aquired = #11/22/2001#");
  PLQDForm& f = Open();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  const QRect screen = f.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(f.frameGeometry())) << f.frameGeometry().width() << " " << screen.width();
  EXPECT_ON_SCREEN(f.QDGrid);
  EXPECT_ON_SCREEN(f.btnSearch);
  EXPECT_ON_SCREEN(f.btnClose);
  EXPECT_ON_SCREEN(f.txtSearch);
  for (int option : {2, 3, 4, 5}) EXPECT_ON_SCREEN(f.srchOption[size_t(option)]);
  EXPECT_TRUE(tvn::test::NothingOverlaps(&f));
  const QFontMetrics cells(f.QDGrid->font());
  const QFontMetrics heads(f.QDGrid->horizontalHeader()->font());
  for (int c = 1; c < f.QDGrid->Cols(); ++c) {
    EXPECT_GE(f.QDGrid->columnWidth(c), heads.horizontalAdvance(f.QDGrid->TextMatrix(0, c)) + 8) << c;
    for (int r = 1; r < f.QDGrid->Rows(); ++r)
      EXPECT_GE(f.QDGrid->columnWidth(c), cells.horizontalAdvance(f.QDGrid->TextMatrix(r, c)) + 8) << r << " " << c;
  }
}

// Many pages of games with awkward names and lookup names: each sort and
// each jump lands on exactly the rows a plain pair-by-pair sort and a scan
// from the top for the first row beginning with the text give.
TEST_F(GameQuickDisplayTest, SortAndJumpOverManyPagesLandWhereThePlainWayDoes) {
  std::uint32_t seed = 11;
  Db().BeginTrans();
  std::vector<long> publishers, developers, genres;
  for (int i = 0; i < 30; ++i) {
    publishers.push_back(Add("publisher", {{"labelstudio_name", vb::Variant(tvntest::AwkwardText(seed))}}, "publisher"));
    developers.push_back(Add("developer", {{"artist_name", vb::Variant(tvntest::AwkwardText(seed))}}, "developer"));
    genres.push_back(Add("genre", {{"category", vb::Variant(tvntest::AwkwardText(seed))}}, "genre"));
  }
  for (int i = 0; i < 1500; ++i)
    Game(tvntest::AwkwardText(seed), 1 + i % 6, publishers[size_t(i * 7 % 30)], i % 5 ? developers[size_t(i % 30)] : 0,
         genres[size_t(i * 11 % 30)]);
  Db().CommitTrans();
  PLQDForm& f = Open();
  f.show();
  ASSERT_EQ(f.QDGrid->Rows(), 1506);
  tvntest::ExpectSortsAndJumpsAsThePlainWay(f, {{3, true}, {3, false}, {2, true}, {5, false}},
                                            {{2, "item"}, {2, "ÉLAN"}, {2, "1"}, {2, "zz"}, {3, "straSSe"}, {4, "*?"}, {5, "中"}, {5, "q"}},
                                            true);
}

// A click made while a sort or a jump runs is dropped, not played back
// once the work is done.
TEST_F(GameQuickDisplayTest, AClickDuringASortOrAJumpIsNotActedOn) {
  PLQDForm& f = Open();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

  f.QDGrid->SetCol(3);
  f.menuA_Click();
  tvntest::ClickDuringTheNextWait(f.btnClose);
  f.menuD_Click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(Column(3).front(), "Sega");

  f.QDGrid->SetCol(2);
  f.menuA_Click();
  tvntest::ClickDuringTheNextWait(f.btnClose);
  Jump(2, "so");
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(PLData().QDOpen);
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Sonic");
}

TEST_F(GameQuickDisplayTest, DoubleClickShowsTheGameInItsSection) {
  PLQDForm& f = Open();
  DoubleClick("Sonic");
  EXPECT_EQ(calls_, (std::vector<std::string>{"section 4", "load Sonic", "front"}));
  calls_.clear();
  DoubleClick("Sonic");
  EXPECT_EQ(calls_, (std::vector<std::string>{"load Sonic", "front"}));

  // The header row does nothing.
  calls_.clear();
  f.QDGrid->SetRow(0);
  f.OpenFromQuickDisplay();
  EXPECT_TRUE(calls_.empty());

  // A game deleted since the grid was filled: the grid refills, nothing loads.
  Db().Execute("delete * from mediadata where name = 'Zelda'");
  DoubleClick("Zelda");
  EXPECT_TRUE(calls_.empty());
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Tetris", "Halo*?", "Banjo", "Sonic"}));
}

TEST_F(GameQuickDisplayTest, DoubleClickWhileAGameIsBeingAddedAsksFirst) {
  bool adding = true;
  GameQuickDisplayHooks().AddingRecord = [&adding] { return adding; };
  GameQuickDisplayHooks().CancelAdd = [this, &adding] {
    calls_.push_back("cancel add");
    adding = false;
  };
  Open();
  PromptScript::Answer(vb::vbNo);
  DoubleClick("Tetris");
  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(adding);
  PromptScript::Answer(vb::vbYes);
  DoubleClick("Tetris");
  EXPECT_EQ(calls_, (std::vector<std::string>{"cancel add", "section 1", "load Tetris", "front"}));
}

TEST_F(GameQuickDisplayTest, OneWindowAtATimeApartFromTheMediaOne) {
  PLQDForm* a = ShowGameQuickDisplay();
  ASSERT_TRUE(a);
  EXPECT_EQ(ShowGameQuickDisplay(), a);
  EXPECT_EQ(GameQuickDisplayWindow(), a);
  EXPECT_EQ(tvn::QuickDisplayWindow(), nullptr);
  CloseGameQuickDisplay();
  tvn::testing::Pump();
  EXPECT_EQ(GameQuickDisplayWindow(), nullptr);
  EXPECT_FALSE(PLData().QDOpen);
}

}  // namespace
}  // namespace pl::testing
