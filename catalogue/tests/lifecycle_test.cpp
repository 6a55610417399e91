// The window's life: where it opens, what its first activation does, the
// tips window, what it stores when it closes, and locking the navigation.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QComboBox>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/Windows.h"

using cattest::CatalogueTest;

TEST_F(CatalogueTest, FirstRunShowsHelpOnceAndOpensVideoTapes) {
  AddItem(6, "Brazil");
  {
    auto& w = Window();
    w.Form_Activate();
    EXPECT_EQ(helpTopics, std::vector<int>{2});
    EXPECT_EQ(Setting("NF"), "2");
    EXPECT_EQ(tvn::AVData()->SectionNumber(), 6);
    EXPECT_EQ(w.Video_Name_Text->text().toStdString(), "Brazil");
    // Later activations repeat nothing.
    w.Form_Activate();
    EXPECT_EQ(helpTopics.size(), 1u);
    w.Form_Unload();
  }
  EXPECT_EQ(Setting("LG"), "6");

  // The next run: no help, the last section again.
  SetSetting("LG", "2");
  helpTopics.clear();
  tvn::NewMain_Form second;
  second.Form_Activate();
  EXPECT_TRUE(helpTopics.empty());
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 2);
}

TEST_F(CatalogueTest, DamagedSectionSettingFallsBackToVideoTapes) {
  SetSetting("NF", "2");
  SetSetting("LG", "42");
  Window().Form_Activate();
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 6);
}

TEST_F(CatalogueTest, TipsWindowOpensOnEveryActivationWhileATipIsDue) {
  SetSetting("NF", "2");
  auto& w = Window();
  w.Form_Activate();
  EXPECT_EQ(tipsShown, 0);
  tvn::App().TipNum = 1000;
  w.Form_Activate();
  EXPECT_EQ(tipsShown, 1);
  w.Form_Activate();  // the tips window set the number back to 0
  EXPECT_EQ(tipsShown, 1);
  tvn::App().TipNum = 3;
  w.Form_Activate();
  EXPECT_EQ(tipsShown, 2);
}

TEST_F(CatalogueTest, StoredPositionIsAppliedOnlyWhenAboveZero) {
  SetSetting("TV_L", "0");
  SetSetting("TV_T", "1500");
  tvn::NewMain_Form w;
  const int designedLeft = tvn::NewMain_Form().x();
  EXPECT_EQ(w.x(), designedLeft);
  EXPECT_EQ(w.y(), 100);  // 1500 twips

  SetSetting("TV_L", "3000");
  SetSetting("TV_T", "-15");
  tvn::NewMain_Form moved;
  EXPECT_EQ(moved.x(), 200);
  EXPECT_EQ(moved.y(), tvn::NewMain_Form().y());
}

TEST_F(CatalogueTest, UnreadableNumbersInTheSettingsCountAsMissing) {
  const QPoint designed = tvn::NewMain_Form().pos();
  // Texts that read as numbers no position or section can be.
  SetSetting("TV_L", "1e30");
  SetSetting("TV_T", "inf");
  SetSetting("NF", "nan");
  SetSetting("LG", "nan");
  auto& w = Window();
  EXPECT_EQ(w.pos(), designed);
  w.Form_Activate();
  EXPECT_EQ(helpTopics, std::vector<int>{2});
  EXPECT_EQ(Setting("NF"), "2");
  EXPECT_EQ(tvn::AVData()->SectionNumber(), 6);
}

TEST_F(CatalogueTest, UnloadStoresPositionInTwipsAndKeepsLastSectionWhenNoneChosen) {
  SetSetting("LG", "4");
  {
    tvn::NewMain_Form w;
    w.move(120, 80);
    w.Form_Unload();
  }
  EXPECT_EQ(Setting("TV_L"), "1800");
  EXPECT_EQ(Setting("TV_T"), "1200");
  EXPECT_EQ(Setting("LG"), "4");  // no section was current
}

TEST_F(CatalogueTest, UnloadClearsTheLaunchersRunningMark) {
  QWidget launcher;
  auto* running = new QCheckBox(&launcher);
  running->setObjectName("AVRunning");
  running->setChecked(true);
  launcher.setCursor(Qt::WaitCursor);
  {
    tvn::NewMain_Form w(&launcher);
    SetSetting("NF", "2");
    w.Form_Activate();
    EXPECT_NE(launcher.cursor().shape(), Qt::WaitCursor);
    EXPECT_TRUE(running->isChecked());
  }
  EXPECT_FALSE(running->isChecked());
}

TEST_F(CatalogueTest, EnableUiLocksAndFreesTheNavigation) {
  auto& w = WindowOn(1);
  w.EnableUi(false);
  EXPECT_FALSE(w.SSListBar1->isEnabled());
  EXPECT_FALSE(w.List_Combo->isEnabled());
  EXPECT_FALSE(w.Toolbar2->isEnabled());
  EXPECT_FALSE(w.Toolbar1Buttons[8]->isVisible());
  EXPECT_FALSE(w.View_Menu->isEnabled());
  EXPECT_FALSE(w.UtilitiesMenu->isEnabled());
  EXPECT_FALSE(w.Help_Menu->isEnabled());
  EXPECT_TRUE(w.File_Menu->isEnabled());
  w.EnableUi(true);
  EXPECT_TRUE(w.SSListBar1->isEnabled());
  EXPECT_TRUE(w.Toolbar2->isEnabled());
  EXPECT_TRUE(w.Toolbar1Buttons[8]->isVisible());
  EXPECT_TRUE(w.Help_Menu->isEnabled());
}

TEST_F(CatalogueTest, LauncherOpensOneWindowAndClosesIt) {
  SetSetting("NF", "2");
  QWidget launcher;
  tvn::ShowCatalogueWindow(&launcher);
  tvn::NewMain_Form* first = tvn::CatalogueWindow();
  ASSERT_NE(first, nullptr);
  tvn::ShowCatalogueWindow(&launcher);
  EXPECT_EQ(tvn::CatalogueWindow(), first);
  tvn::CloseCatalogueWindow();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(tvn::CatalogueWindow(), nullptr);
}

TEST_F(CatalogueTest, RegisteredWithTheLauncherItOpensComesForwardAndUnloads) {
  SetSetting("NF", "2");
  tvn::RegisterCatalogueWindow();
  const tvn::MediaCatalogueEntry& entry = tvn::MediaCatalogue();
  ASSERT_TRUE(entry.Show && entry.BringForward && entry.Unload);
  entry.Show();
  tvn::NewMain_Form* w = tvn::CatalogueWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isVisible());
  entry.BringForward();
  EXPECT_EQ(tvn::CatalogueWindow(), w);
  entry.Unload();
  EXPECT_EQ(tvn::CatalogueWindow(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  tvn::RegisterMediaCatalogue({});
}
