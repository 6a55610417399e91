// The tip of the day: which tip it opens on, stepping, and the "TipOnOff"
// setting it leaves behind.
#include <gtest/gtest.h>

#include "core/Schema.h"
#include "core/Tip_Form.h"
#include "core/tests/LaunchFixture.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Prompter.h"

namespace tvn::testing {
namespace {

class TipsTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    vb::ChDir(Home());
    schema::CreateTipsFile(InHome("tips.sys"));
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("tips.sys"));
    db->Execute("delete * from tips");
    for (int i = 1; i <= 10; ++i)
      db->Execute("insert into tips (tipnum, Tip) values (" + std::to_string(i) + ", 'Tip " + std::to_string(i) + "')");
    db->Close();
    App().AppWorkspace = &dao::DBEngine::Workspaces(0);
  }

  Tip_Form& Open() { return win::Tip_Form.Get(); }
  static std::string Shown(Tip_Form& f) { return f.Text1->toPlainText().toStdString(); }
  // Closes the window and gives back what it stored.
  std::string CloseAndRead(Tip_Form& f) {
    f.CloseTip->click();
    EXPECT_EQ(App().TipNum, 0);
    EXPECT_FALSE(App().AdminDB);
    return Setting("TipOnOff");
  }
};

TEST_F(TipsTest, MenuOpensOnTheFirstTipAndKeepsTipsOff) {
  SetSetting("TipOnOff", "0");
  App().TipNum = 1000;
  Tip_Form& f = Open();
  EXPECT_EQ(f.windowTitle().toStdString(), "Form1");
  EXPECT_EQ(f.TipCheck->text().toStdString(), "Do not display  at startup");
  EXPECT_EQ(f.TipCount(), 10);
  EXPECT_EQ(Shown(f), "Tip 1");
  EXPECT_TRUE(f.TipCheck->isChecked());
  EXPECT_EQ(App().TipNum, 1);
  EXPECT_EQ(CloseAndRead(f), "0");
}

TEST_F(TipsTest, MenuStartsAtTheFirstTipWhateverComesNext) {
  SetSetting("TipOnOff", "7");
  App().TipNum = 1000;
  Tip_Form& f = Open();
  EXPECT_EQ(Shown(f), "Tip 1");
  EXPECT_FALSE(f.TipCheck->isChecked());
  EXPECT_EQ(CloseAndRead(f), "2");
}

TEST_F(TipsTest, PendingTipIsShownAndSteppingSavesTheNextOne) {
  SetSetting("TipOnOff", "3");
  App().TipNum = 3;
  Tip_Form& f = Open();
  EXPECT_EQ(Shown(f), "Tip 3");
  f.NextTip->click();
  EXPECT_EQ(Shown(f), "Tip 4");
  EXPECT_EQ(App().TipNum, 4);
  EXPECT_EQ(CloseAndRead(f), "5");
}

TEST_F(TipsTest, NextWrapsAroundAndTheLastTipSavesTheFirst) {
  SetSetting("TipOnOff", "9");
  App().TipNum = 9;
  Tip_Form& e = Open();
  EXPECT_EQ(CloseAndRead(e), "10");  // the last tip still comes next

  App().TipNum = 9;
  SetSetting("TipOnOff", "9");
  Tip_Form& f = Open();
  f.NextTip->click();
  EXPECT_EQ(Shown(f), "Tip 10");
  EXPECT_EQ(CloseAndRead(f), "1");

  App().TipNum = 10;
  Tip_Form& g = Open();
  EXPECT_NE(&g, &f);
  EXPECT_EQ(Shown(g), "Tip 1");  // the setting now says 1
  g.CloseTip->click();
  SetSetting("TipOnOff", "10");
  App().TipNum = 10;
  Tip_Form& h = Open();
  EXPECT_EQ(Shown(h), "Tip 10");
  h.NextTip->click();
  EXPECT_EQ(Shown(h), "Tip 1");
  EXPECT_EQ(App().TipNum, 1);
}

TEST_F(TipsTest, UntickingSavesTheNextTipAndTickingSavesZero) {
  SetSetting("TipOnOff", "0");
  App().TipNum = 1000;
  Tip_Form& f = Open();
  f.TipCheck->setChecked(false);
  EXPECT_EQ(CloseAndRead(f), "2");

  SetSetting("TipOnOff", "4");
  App().TipNum = 4;
  Tip_Form& g = Open();
  g.TipCheck->setChecked(true);
  EXPECT_EQ(CloseAndRead(g), "0");
}

TEST_F(TipsTest, RememberedTipThatIsGoneFallsBackToTheFirst) {
  SetSetting("TipOnOff", "25");
  App().TipNum = 25;
  Tip_Form& f = Open();
  EXPECT_EQ(Shown(f), "Tip 1");
  EXPECT_EQ(App().TipNum, 1);
  EXPECT_EQ(CloseAndRead(f), "2");
}

TEST_F(TipsTest, UnreadableTipsFileShowsOneMessageAndClearsThePendingTip) {
  // A file without the tips table.
  std::filesystem::remove(InHome("tips.sys"));
  dao::DBEngine::Workspaces(0).CreateDatabase(InHome("tips.sys"))->Close();
  App().TipNum = 3;
  vb::PromptScript::Clear();
  ShowTipOfTheDay();
  EXPECT_FALSE(win::Tip_Form.Loaded());
  EXPECT_EQ(App().TipNum, 0);
  EXPECT_FALSE(App().AdminDB && App().AdminDB->IsOpen());
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text.rfind("The tips file\n" + InHome("tips.sys") + "\ncannot be opened:\n", 0),
            0u)
      << vb::PromptScript::Records()[0].text;

  // At the next start the damaged file is rebuilt like a missing one.
  schema::EnsureTemplates(Home());
  App().TipNum = 1;
  Tip_Form& f = Open();
  EXPECT_EQ(f.TipCount(), schema::TipCount());
}

// A folder where the tips file should be is no damage to report whenever a
// tip is due: the tip is skipped without a word. Asked for from the menu,
// it is said to be a folder.
TEST_F(TipsTest, AFolderInPlaceOfTheTipsFileOnlySkipsTheTips) {
  std::filesystem::remove(InHome("tips.sys"));
  std::filesystem::create_directory(InHome("tips.sys"));
  App().TipNum = 3;
  vb::PromptScript::Clear();
  ShowTipOfTheDay();
  EXPECT_TRUE(vb::PromptScript::Records().empty()) << vb::PromptScript::Texts().front();
  EXPECT_FALSE(win::Tip_Form.Loaded());
  EXPECT_EQ(App().TipNum, 0);

  App().TipNum = 1000;
  ShowTipOfTheDay();
  EXPECT_EQ(vb::PromptScript::Texts(),
            std::vector<std::string>{"The tips file\n" + InHome("tips.sys") + "\nis a folder, not a file."});
  EXPECT_EQ(App().TipNum, 0);
  EXPECT_TRUE(std::filesystem::is_directory(InHome("tips.sys")));
}

}  // namespace
}  // namespace tvn::testing
