#include "reports/tests/ModalCloser.h"
// The short menu commands: input options, the lookup editors and what the
// window refreshes after them, quick display, reports, help, tips, About,
// web page, support mail and Exit.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include "catalogue/CatalogueHooks.h"
#include "catalogue/tests/MenuTestSupport.h"
#include "core/AVQDForm.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/TavolinModule.h"
#include "core/Tip_Form.h"
#include "core/Windows.h"
#include "platform/forms/Spelling.h"
#include "platform/runtime/Prompter.h"

using cattest::MenuTest;
using Strings = std::vector<std::string>;
using V = vb::Variant;

namespace {

bool Contains(const QComboBox* combo, const char* text) { return combo->findText(QString::fromUtf8(text)) >= 0; }

// Runs f once the next modal window has opened.
void WhenShown(std::function<void()> f) { QTimer::singleShot(0, qApp, std::move(f)); }

}  // namespace

TEST_F(MenuTest, ArtistEditorRefreshesTheArtistsOnlyTheOtherEditorsAllThreeLists) {
  AddArtist("Old Name", {"cd"});
  AddItem(2, "Kind of Blue", {{"artist1", V("Old Name")}});
  auto& w = Shown(2);
  ASSERT_EQ(w.Artist[0]->currentText().toStdString(), "Old Name");

  // While the editor is open the user renames the artist (carried into
  // the records) and a category and a label appear elsewhere.
  whileOpen = [this] {
    auto& db = *tvn::App().CollectionDB;
    db.Execute("update artists set artist_name = 'New Name' where artist_name = 'Old Name'");
    db.Execute("update mediadata set artist1 = 'New Name' where artist1 = 'Old Name'");
    AddLookup("category", "category", "Modal Jazz", {"cd"});
    AddLookup("labelstudio", "LabelStudio_Name", "Columbia", {"cd"});
  };
  w.ArtistManagerMenu->trigger();
  EXPECT_EQ(opened, Strings{"artists"});
  EXPECT_TRUE(Contains(w.Artist[3], "New Name"));
  EXPECT_FALSE(Contains(w.Artist[3], "Old Name"));
  EXPECT_EQ(w.Artist[0]->currentText().toStdString(), "New Name") << "the record is shown again";
  EXPECT_FALSE(Contains(w.CD_Category_List, "Modal Jazz"));
  EXPECT_FALSE(Contains(w.CD_Record_Company, "Columbia"));

  whileOpen = nullptr;
  w.CategoryMMenu->trigger();
  EXPECT_TRUE(Contains(w.CD_Category_List, "Modal Jazz"));
  EXPECT_TRUE(Contains(w.CD_Record_Company, "Columbia"));

  whileOpen = [this] { AddLookup("labelstudio", "LabelStudio_Name", "Impulse!", {"cd"}); };
  w.LSMenu->trigger();
  EXPECT_TRUE(Contains(w.CD_Record_Company, "Impulse!"));
  EXPECT_EQ(opened, (Strings{"artists", "categories", "labels"}));
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Kind of Blue");

  // In an empty section the editors leave the empty title list.
  w.ItemClickProcess(5);
  w.ArtistManagerMenu->trigger();
  EXPECT_EQ(w.List_Combo->count(), 0);
  EXPECT_FALSE(w.CS_Name_Text->isEnabled());
}

TEST_F(MenuTest, InputOptionsToggleTheirMarks) {
  auto& w = Shown(2);
  EXPECT_TRUE(w.SmartComboMenu->isChecked());
  EXPECT_TRUE(tvn::SmartComboEnabled());
  w.SmartComboMenu->trigger();
  EXPECT_FALSE(w.SmartComboMenu->isChecked());
  EXPECT_FALSE(tvn::SmartComboEnabled());
  w.SmartComboMenu->trigger();
  EXPECT_TRUE(w.SmartComboMenu->isChecked());

  // Checking as the user types ends when the option is checked.
  tvn::CheckTyping(w.CD_Notes_Text);
  auto highlighters = [&] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return w.CD_Notes_Text->document()->findChildren<forms::SpellHighlighter*>().size();
  };
  ASSERT_EQ(highlighters(), 1);
  EXPECT_FALSE(w.menuAutoSpell->isChecked());
  w.menuAutoSpell->trigger();
  EXPECT_TRUE(w.menuAutoSpell->isChecked());
  EXPECT_EQ(highlighters(), 0);
  w.menuAutoSpell->trigger();
  EXPECT_FALSE(w.menuAutoSpell->isChecked());
  EXPECT_EQ(highlighters(), 0);
}

TEST_F(MenuTest, ReportCommandsShareOneEntryObjectAndKeepTheState) {
  AddItem(2, "Kind of Blue");
  auto& w = Shown(2);
  tvn::App().ReportLibrary.reset();
  const auto state = tvn::AVDataRef();
  tvntest::WhenModal([](QWidget*) {});
  w.ReportMenu->trigger();
  const auto library = tvn::App().ReportLibrary;
  ASSERT_TRUE(library);
  tvntest::WhenModal([](QWidget*) {});
  w.RWStandardmenu->trigger();
  EXPECT_EQ(tvn::App().ReportLibrary, library);
  EXPECT_EQ(tvn::AVDataRef(), state);
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  tvn::App().ReportLibrary.reset();
}

TEST_F(MenuTest, HelpWebAndMailCommands) {
  auto& w = Shown(2);
  helpTopics.clear();
  w.Content_Menu->trigger();
  EXPECT_EQ(helpTopics, std::vector<int>{1});

  w.WebMenu->trigger();
  w.EmailMenu->trigger();
  ASSERT_EQ(shellTargets.size(), 2u);
  EXPECT_FALSE(shellTargets[0].empty());
  EXPECT_EQ(shellTargets[1].rfind("mailto:", 0), 0u);
  EXPECT_EQ(shellTargets[1].find("mailto:", 1), std::string::npos);
}

TEST_F(MenuTest, TipsShowWhateverTheSettingSays) {
  auto& w = Shown(2);
  for (const char* setting : {"0", "3", ""}) {
    SCOPED_TRACE(setting);
    SetSetting("TipOnOff", setting);
    tvn::ReadTipSetting();
    const int before = tipsShown;
    w.TipMenu->trigger();
    EXPECT_EQ(tipsShown, before + 1);
  }

  // The real tips window, with tips switched off: it opens on the first
  // tip with "do not display" ticked.
  tvn::schema::CreateTipsFile((Dir() / "tips.sys").string());
  {
    // Only the tips hook is the program's own; the rest stay recorders.
    const tvn::CatalogueHooks recorders = tvn::CatalogueHooks::Get();
    tvn::CatalogueHooks::Reset();
    auto realTips = tvn::CatalogueHooks::Get().showTips;
    tvn::CatalogueHooks::Get() = recorders;
    tvn::CatalogueHooks::Get().showTips = realTips;
  }
  tvn::win::SortForm.Get();  // a loaded window besides the tips: closing them ends nothing
  ASSERT_FALSE(tvn::ProgramEnded());
  SetSetting("TipOnOff", "0");
  bool ticked = false;
  std::string text;
  WhenShown([&] {
    tvn::Tip_Form* tips = tvn::win::Tip_Form.Peek();
    ASSERT_NE(tips, nullptr);
    ticked = tips->TipCheck->isChecked();
    text = tips->Text1->toPlainText().toStdString();
    tips->CloseTip->click();
  });
  w.TipMenu_Click();
  EXPECT_TRUE(ticked);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(tvn::App().TipNum, 0);
  EXPECT_EQ(Setting("TipOnOff"), "0");
}

TEST_F(MenuTest, AboutShowsTheSplashWindowInAboutMode) {
  auto& w = Shown(2);
  w.MenuAbout->trigger();
  EXPECT_EQ(opened, Strings{"about"});
  EXPECT_TRUE(aboutModeWhileShown);
  EXPECT_FALSE(tvn::App().AboutMode);

  // The real window waits for its Close button.
  tvn::MenuHooks::Reset();
  tvn::win::SortForm.Get();
  ASSERT_FALSE(tvn::ProgramEnded());
  bool closeOffered = false;
  WhenShown([&] {
    tvn::Splash_Form* about = tvn::win::Splash_Form.Peek();
    ASSERT_NE(about, nullptr);
    closeOffered = about->CloseButton->isVisibleTo(about) && !about->Timer1->isActive();
    about->CloseButton->click();
  });
  w.MenuAbout_Click();
  EXPECT_TRUE(closeOffered);
  EXPECT_FALSE(tvn::App().AboutMode);
  EXPECT_EQ(tvn::win::Splash_Form.Peek(), nullptr);
}

TEST_F(MenuTest, QuickDisplayOpensWithoutWaitingAndExitUnloadsTheWindow) {
  AddItem(2, "Kind of Blue");
  auto& w = Shown(2);
  tvn::MenuHooks::Reset();
  w.menuQD->trigger();  // returns at once: the window is not modal
  QWidget* qd = nullptr;
  for (QWidget* t : QApplication::topLevelWidgets())
    if (t->objectName() == "AVQDForm" && t->isVisible()) qd = t;
  ASSERT_NE(qd, nullptr);
  EXPECT_FALSE(qd->isModal());
  tvn::CloseQuickDisplay();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  SetSetting("LG", "");
  w.Exit_Menu->trigger();
  EXPECT_EQ(Setting("LG"), "2") << "the window's unload ran";
}
