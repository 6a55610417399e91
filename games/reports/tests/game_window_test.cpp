// The game report window: its panel per report type, Create Report with
// each writer, the exports, the wizard's Finish, and a media report and a
// game report made in one run keeping their own state.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <filesystem>

#include "core/Schema.h"
#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "games/reports/RptForm.h"
#include "games/reports/frmWizard.h"
#include "games/reports/tests/GameReportSupport.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/RptForm.h"
#include "platform/forms/tests/OnScreen.h"
#include "reports/tests/ModalCloser.h"

namespace {

class GameWindow : public tvntest::GameReportTest {
 protected:
  pl::RptForm& OpenWindow(int type) {
    pl::GameReports().ReportType = static_cast<std::uint8_t>(type);
    window_ = std::make_unique<pl::RptForm>();
    window_->show();
    QApplication::processEvents();
    return *window_;
  }
  void TearDown() override {
    window_.reset();
    GameReportTest::TearDown();
  }
  std::unique_ptr<pl::RptForm> window_;
};

TEST_F(GameWindow, FullReportShowsItsPanelAndTheListsShowNone) {
  pl::RptForm& w = OpenWindow(pl::kFullGameReport);
  EXPECT_EQ(w.windowTitle(), "Pellion - Report Window");
  EXPECT_TRUE(w.R1Frame->isVisible());
  EXPECT_TRUE(w.R1Frame->isAncestorOf(w.ExportFrame));
  EXPECT_TRUE(w.SortOption[0]->isChecked());
  EXPECT_EQ(w.SortOption[4]->text(), "Section");
  EXPECT_TRUE(w.TypeOption[1]->isChecked());
  for (auto* box : w.R6Check) EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(w.R6Check[7]->text(), "Include Notes ");
  EXPECT_FALSE(w.btnPDF->isEnabled());
  EXPECT_EQ(pl::CurrentGameReportWindow(), &w);

  // One Line hides the options of the complete report.
  w.TypeOption[2]->click();
  EXPECT_FALSE(w.OptionsFrame->isVisible());
  w.TypeOption[1]->click();
  EXPECT_TRUE(w.OptionsFrame->isVisible());
  w.SortOption[3]->click();
  EXPECT_EQ(w.LastSortOption(), 3);

  pl::RptForm& list = OpenWindow(pl::kGenreList);
  EXPECT_FALSE(list.R1Frame->isVisible());
  EXPECT_FALSE(list.R1Frame->isAncestorOf(list.ExportFrame));
  EXPECT_TRUE(list.ExportFrame->isVisible());
}

TEST_F(GameWindow, CreateReportRunsTheChosenLayoutEachTime) {
  AddGame("Tetris", 1, AddLookup("publisher", "Nin"));
  AddGame("Ico", 3);
  pl::MarkGameRecords(*db_, {});
  pl::RptForm& w = OpenWindow(pl::kFullGameReport);
  w.TypeOption[2]->click();
  w.SortOption[4]->click();
  w.CreateButton->click();
  const print::Document& doc = w.Printer().document();
  ASSERT_FALSE(doc.pages.empty());
  EXPECT_GT(doc.pages[0].width, doc.pages[0].height);
  EXPECT_EQ(TableRows(doc).size(), 2u);
  EXPECT_EQ(TableRows(doc)[0][0], "Tetris");  // Gameboy before Sony
  EXPECT_TRUE(HasText(doc, "Total Gameboy = 1"));
  EXPECT_TRUE(w.btnPDF->isEnabled());
  EXPECT_FALSE(w.MsgFrame->isVisible());

  w.TypeOption[1]->click();
  w.R6Check[7]->setChecked(false);
  w.CreateButton->click();
  EXPECT_LT(w.Printer().document().pages[0].width, w.Printer().document().pages[0].height);
  EXPECT_TRUE(TableRows(w.Printer().document()).empty());
  EXPECT_TRUE(HasText(w.Printer().document(), "Best Feature"));
  EXPECT_FALSE(HasText(w.Printer().document(), "Notes"));
}

TEST_F(GameWindow, SpecialReportsPrintAtOnceAndAnUnknownTypeMakesNoPages) {
  AddSysType("Handheld");
  pl::RptForm& w = OpenWindow(pl::kSysTypeList);
  w.CreateButton->click();
  EXPECT_TRUE(HasText(w.Printer().document(), "System Type Report"));
  EXPECT_TRUE(HasText(w.Printer().document(), "Handheld"));

  pl::RptForm& none = OpenWindow(9);
  none.CreateButton->click();
  EXPECT_FALSE(HasText(none.Printer().document(), "System Type Report"));
  EXPECT_TRUE(none.btnPDF->isEnabled());
  EXPECT_FALSE(none.MsgFrame->isVisible());
}

TEST_F(GameWindow, ExportsGoToTheLibraryFolderAndFailuresNameTheFile) {
  AddLookup("genre", "Puzzle & Co");
  pl::RptForm& w = OpenWindow(pl::kGenreList);
  w.HTMLCheck->setChecked(true);
  vb::PromptScript::AnswerText("");  // the HTML name left empty
  w.CreateButton->click();
  const std::string html = Path("rpt.htm");
  EXPECT_EQ(w.Printer().ExportFile(), html);
  EXPECT_TRUE(std::filesystem::exists(html));
  const auto messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "When prompted enter the file name for the HTML version of report");
  EXPECT_NE(messages[1].find(html), std::string::npos);

  const std::string pdf = Path("games.pdf");
  vb::PromptScript::AnswerText(pdf);
  w.btnPDF->click();
  EXPECT_TRUE(std::filesystem::exists(pdf));

  // A failure is told in the output's own words: the file, the reason and
  // that the file there before is left as it was.
  const std::string bad = Path("no such folder/out.pdf");
  vb::PromptScript::AnswerText(bad);
  w.btnPDF->click();
  ASSERT_EQ(Messages().size(), 3u);
  EXPECT_EQ(Messages()[2], "The PDF file \"" + bad +
                               "\" cannot be written (No such file or directory); the file there before is left as "
                               "it was.");

  // A link is judged by the file it leads to: the open collection's
  // journal is never made, by the PDF or the HTML export.
  std::filesystem::create_directories(Path("out"));
  std::filesystem::create_symlink("../games.mdb-journal", Path("out/games.pdf"));
  const std::string journal = Path("games.mdb-journal");
  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Path("out/games.pdf"));
  w.btnPDF->click();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(Path("out/games.pdf")), std::string::npos) << Messages()[0];
  EXPECT_FALSE(std::filesystem::exists(journal));
  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Path("out/games.pdf"));
  w.CreateButton->click();
  EXPECT_FALSE(std::filesystem::exists(journal));
  EXPECT_EQ(w.Printer().ExportFile(), html) << "the dialog cancelled the second time: the default name";
}

TEST_F(GameWindow, FinishMarksTheGamesAndOpensTheGameReportWindow) {
  const long nin = AddLookup("publisher", "Nin");
  const long sega = AddLookup("publisher", "Sega Co");
  AddGame("Tetris", 1, nin);
  AddGame("Sonic", 4, sega);
  AddGame("Kirby", 1, sega);
  pl::frmWizard wizard;
  wizard.show();
  QApplication::processEvents();
  wizard.C_Button_Click(3);
  wizard.ReportGrid_Click(2);
  wizard.C_Button_Click(3);
  // Only Sega Co among the publishers.
  wizard.ToggleFilterCheck(wizard.PublisherGrid, 1);
  for (int r = 2; r < wizard.PublisherGrid->rowCount(); ++r)
    if (wizard.PublisherGrid->item(r, 1)->text() == "Sega Co") wizard.ToggleFilterCheck(wizard.PublisherGrid, r);
  wizard.C_Button_Click(3);
  EXPECT_TRUE(wizard.C_Button[4]->isEnabled());
  bool sawWindow = false;
  std::vector<std::vector<QString>> rows;
  tvntest::WhenModal(
      [&](QWidget* top) {
        auto* report = qobject_cast<pl::RptForm*>(top);
        ASSERT_NE(report, nullptr);
        sawWindow = true;
        EXPECT_TRUE(report->R1Frame->isVisible());
        report->TypeOption[2]->click();
        report->CreateButton->click();
        rows = TableRows(report->Printer().document());
      },
      &wizard);
  wizard.C_Button_Click(4);
  EXPECT_TRUE(sawWindow);
  EXPECT_EQ(rows, (std::vector<std::vector<QString>>{{"Kirby", "Gameboy", "Sega Co", "", ""}}));
  EXPECT_EQ(Marked(), (std::vector<std::string>{"Kirby"}));
}

TEST_F(GameWindow, AMediaReportAndAGameReportKeepTheirOwnState) {
  tvn::schema::CreateCollectionFile(Path("media.mdb"));
  dao::DatabasePtr media = tvntest::Open(Path("media.mdb"));
  auto& mm = tvn::reports::Module();
  mm.ReportDatabase = media;
  mm.ReportAppFolder = dir_.string();
  mm.ReportType = 9;
  mm.SectionList = " 2 ";
  mm.ReportSubtitle = "for Blues";
  AddGame("Tetris", 1);
  pl::MarkGameRecords(*db_, {});
  {
    tvn::reports::RptForm mediaWindow;
    mediaWindow.show();
    mediaWindow.CreateButton->click();
    EXPECT_TRUE(HasText(mediaWindow.Printer().document(), "Category Report"));
  }
  pl::GameReports().SectionList = "ALL";
  pl::RptForm& game = OpenWindow(pl::kGenreList);
  game.CreateButton->click();
  pl::RptForm& full = OpenWindow(pl::kFullGameReport);
  full.CreateButton->click();
  EXPECT_TRUE(HasText(full.Printer().document(), "Game Report"));
  EXPECT_FALSE(HasText(full.Printer().document(), "for Blues"));
  EXPECT_FALSE(HasText(full.Printer().document(), "Category Report"));

  EXPECT_EQ(mm.ReportType, 9);
  EXPECT_EQ(mm.SectionList, " 2 ");
  EXPECT_EQ(mm.ReportTitle, "Category Report");
  EXPECT_EQ(mm.ReportSubtitle, "for Blues");
  EXPECT_EQ(pl::GameReports().ReportType, pl::kFullGameReport);
  EXPECT_EQ(pl::GameReports().SectionList, "ALL");
  EXPECT_EQ(pl::GameReports().ReportTitle, "Game Report");
  EXPECT_EQ(tvn::reports::CurrentRptForm(), nullptr);
  mm.ReportDatabase.reset();
  media->Close();
}

}  // namespace

namespace {

// Every command of the window, and every option of the complete report,
// can be used at the window's opening size in both report types.
TEST_F(GameWindow, EveryCommandShowsAtTheOpeningSizeInEveryMode) {
  pl::RptForm& w = OpenWindow(pl::kFullGameReport);
  for (int type : {1, 2, 1}) {
    w.TypeOption[static_cast<size_t>(type)]->click();
    QApplication::processEvents();
    SCOPED_TRACE(type);
    for (QWidget* command : std::initializer_list<QWidget*>{w.CreateButton, w.SaveButton, w.CloseButton, w.MaxButton,
                                                            w.btnPDF, w.HTMLCheck, w.TypeOption[1], w.TypeOption[2]})
      EXPECT_ON_SCREEN(command);
    for (QRadioButton* option : w.SortOption) EXPECT_ON_SCREEN(option);
    if (type == 1) {
      for (QCheckBox* box : w.R6Check) EXPECT_ON_SCREEN(box);
    }
    EXPECT_TRUE(tvn::test::NothingOverlaps(&w));
  }
  pl::RptForm& list = OpenWindow(pl::kGenreList);
  for (QWidget* command : std::initializer_list<QWidget*>{list.CreateButton, list.SaveButton, list.CloseButton,
                                                          list.MaxButton, list.btnPDF, list.HTMLCheck})
    EXPECT_ON_SCREEN(command);
}

}  // namespace
