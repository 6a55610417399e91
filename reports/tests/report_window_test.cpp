// The media report window: its panel on each report type, Create Report
// with and without the HTML export, the PDF export and the document
// commands.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include <sys/stat.h>

#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"
#include "reports/ReportModule.h"
#include "reports/output/FileFilter.h"
#include "reports/output/PrintPageForm.h"
#include "reports/output/SaveLoadDocumentForm.h"
#include "platform/forms/tests/OnScreen.h"
#include "reports/tests/ReportTestSupport.h"
#include "platform/print/tests/OutsideTools.h"

namespace {

using tvn::reports::PrintPageForm;
using tvn::reports::RptForm;
using tvn::reports::SaveLoadDocumentForm;

class ReportWindow : public tvntest::ReportTest {
 protected:
  // Which panel is shown, and whether the export frame stands in it.
  static QString ShownPanel(RptForm& w) {
    if (w.R6Frame->isVisible()) return "R6Frame";
    if (w.R7Frame->isVisible()) return "R7Frame";
    if (w.R8Frame->isVisible()) return "R8Frame";
    return "";
  }
  static bool ExportIn(RptForm& w, QWidget* panel) { return panel->isAncestorOf(w.ExportFrame); }

  // Ticks exactly the given R8Check boxes.
  static void Sections(RptForm& w, std::initializer_list<int> ticked) {
    for (auto* box : w.R8Check) box->setChecked(false);
    for (int i : ticked) w.R8Check[i]->setChecked(true);
  }

  // Save/Load Document with the given choice and file; `pages` handles
  // the page range when saving.
  void SaveLoad(RptForm& w, int option, const std::string& file, std::function<void(PrintPageForm*)> pages = {}) {
    vb::PromptScript::AnswerText(file);
    std::vector<std::function<void(QWidget*)>> steps{[option](QWidget* m) {
      auto* f = qobject_cast<SaveLoadDocumentForm*>(m);
      ASSERT_NE(f, nullptr);
      f->Option1[option]->click();
      f->ApplyButton->click();
    }};
    if (pages) steps.push_back([pages](QWidget* m) {
      auto* f = qobject_cast<PrintPageForm*>(m);
      ASSERT_NE(f, nullptr);
      pages(f);
    });
    WithModal([&] { w.SaveButton->click(); }, steps);
  }

  void ManyArtists(int count) {
    db_->BeginTrans();
    for (int i = 0; i < count; ++i)
      AddArtist("Artist " + std::to_string(100 + i), {"cd"}, "Some notes about this one.");
    db_->CommitTrans();
  }
};

TEST_F(ReportWindow, EachReportTypeShowsItsOwnPanelWithTheExportFrameInIt) {
  struct Case {
    int type;
    QString panel;
  };
  for (const Case& c : {Case{6, "R6Frame"}, Case{7, "R7Frame"}, Case{8, "R8Frame"}, Case{10, "R8Frame"},
                        Case{9, ""}, Case{16, ""}, Case{17, ""}}) {
    RptForm& w = OpenWindow(c.type);
    EXPECT_EQ(ShownPanel(w), c.panel) << c.type;
    EXPECT_TRUE(w.ExportFrame->isVisible()) << c.type;
    if (c.panel.isEmpty()) {
      EXPECT_TRUE(ExportIn(w, w.OptionsArea->parentWidget()) && !ExportIn(w, w.OptionsArea)) << c.type;
    } else {
      QWidget* panel = w.findChild<QWidget*>(c.panel);
      EXPECT_TRUE(ExportIn(w, panel)) << c.type;
    }
    EXPECT_EQ(w.windowTitle(), "Tavolin - Report Window");
    EXPECT_FALSE(w.btnPDF->isEnabled());
    EXPECT_FALSE(w.Check1->isVisible());
    EXPECT_EQ(w.HTMLCheck->text(), "Create HTML/RTF document");
    EXPECT_EQ(tvn::reports::Module().CurrentReportWindow, &w);
  }
}

TEST_F(ReportWindow, TapeNumberSortShowsOnlyForTheVideoTapesAlone) {
  EXPECT_TRUE(OpenWindow(6, " 6 ").R6SortOption[2]->isVisible());
  EXPECT_FALSE(OpenWindow(6, " 3 6 ").R6SortOption[2]->isVisible());
  EXPECT_FALSE(OpenWindow(6, " 6 3 ").R6SortOption[2]->isVisible());
  EXPECT_FALSE(OpenWindow(6, " 1 ").R6SortOption[2]->isVisible());
  RptForm& w = OpenWindow(6, " 2 ");
  EXPECT_TRUE(w.R6SortOption[1]->isChecked());
  EXPECT_EQ(w.R6SortOption[2]->text(), "Video Tape #/Tape # Index");
  EXPECT_TRUE(w.R7SortOption[0]->isChecked());
}

TEST_F(ReportWindow, OneLineReportHidesTheReportOptions) {
  RptForm& w = OpenWindow(6);
  EXPECT_TRUE(w.Frame14->isVisible());
  w.TypeOption[2]->click();
  EXPECT_FALSE(w.Frame14->isVisible());
  w.TypeOption[1]->click();
  EXPECT_TRUE(w.Frame14->isVisible());
  for (auto* box : w.R6Check) EXPECT_TRUE(RptForm::Ticked(box));
}

TEST_F(ReportWindow, CreateReportBuildsTheChosenSectionsAndOpensThePdfExport) {
  AddArtist("Abba", {"cas"});
  AddArtist("Beck", {"lp"});
  AddArtist("Cher", {"cd"});
  RptForm& w = OpenWindow(8);
  Sections(w, {0, 4});
  w.CreateButton->click();
  const print::Document& doc = w.Printer().document();
  ASSERT_EQ(doc.PageCount(), 1);
  const print::TextItem* abba = Find(doc.pages[0], "Abba");
  const print::TextItem* beck = Find(doc.pages[0], "Beck");
  ASSERT_TRUE(abba && beck);
  EXPECT_EQ(abba->x, 1440);
  EXPECT_EQ(beck->x, 6500);
  EXPECT_EQ(abba->y, beck->y);
  EXPECT_FALSE(HasText(doc, "Cher"));
  EXPECT_TRUE(w.btnPDF->isEnabled());
  EXPECT_FALSE(w.MsgFrame->isVisible());
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(Messages().empty());  // no export, no notice
  EXPECT_EQ(w.VSPrinter1->PageShown(), 1);
}

TEST_F(ReportWindow, ClicksDuringALongReportAreNotActedOnAndTheNoticeCounts) {
  // Enough records that laying them out takes several tenths of a second.
  constexpr int kRecords = 16000;
  db_->BeginTrans();
  for (int i = 0; i < kRecords; ++i)
    db_->Execute("insert into mediadata (name, section, sectionnumber, pr1, title1, title2, title3, title4, title5, "
                 "title6, notes) values ('Item " + std::to_string(i) +
                 "', 'Compact Disc', 2, true, 'One', 'Two', 'Three', 'Four', 'Five', 'Six', 'A note of some length " +
                 std::to_string(i) + "')");
  db_->CommitTrans();
  RptForm& w = OpenWindow(6, " 2 ");
  w.TypeOption[1]->click();  // the complete layout, the slower one
  int creates = 0;
  QObject::connect(w.CreateButton, &QPushButton::clicked, [&] { ++creates; });

  // Once the report is being made, a person clicks Close and Create Report
  // again and presses Escape; the notice is read while the work runs. (The
  // windows are served every tenth of a second: the report is long enough
  // for several.)
  bool clickedMidWork = false;
  QString notice;
  QObject pokes;  // the pokes still waiting end with the test
  std::function<void()> poke;
  auto again = [&] { QMetaObject::invokeMethod(&pokes, poke, Qt::QueuedConnection); };
  poke = [&] {
    if (!vb::BusyScope::Active()) {
      again();
      return;
    }
    notice = w.MsgLabel->text();  // the last one seen while the work runs
    if (clickedMidWork) {
      QTimer::singleShot(10, &pokes, poke);
      return;
    }
    again();
    clickedMidWork = true;
    QTest::mouseClick(w.CloseButton, Qt::LeftButton);
    QTest::mouseClick(w.CreateButton, Qt::LeftButton);
    QTest::keyClick(&w, Qt::Key_Escape);
  };
  again();
  w.CreateButton->click();
  ASSERT_TRUE(clickedMidWork) << "the window took no events while the report was made";
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(creates, 1);
  EXPECT_TRUE(notice.startsWith("Processing Report ........")) << notice.toStdString();
  EXPECT_TRUE(notice.contains(" of " + QString::number(kRecords))) << notice.toStdString();
  EXPECT_GT(w.Printer().PageCount(), 100);
  EXPECT_FALSE(w.MsgFrame->isVisible());
  EXPECT_EQ(w.MsgLabel->text(), "Processing Report ........");
  QApplication::processEvents();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(creates, 1);
}

TEST_F(ReportWindow, HtmlExportFallsBackToTheDataFolderAndIsNotOverwrittenByTheNextReport) {
  AddArtist("Abba", {"cas"});
  AddArtist("Dido", {});
  RptForm& w = OpenWindow(8);
  Sections(w, {0});
  w.HTMLCheck->setChecked(true);
  w.CreateButton->click();  // the file dialog is cancelled
  const std::string html = Path("rpt.htm");
  auto texts = Messages();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "When prompted enter the file name for the HTML version of report");
  EXPECT_EQ(texts[1], "HTML file: \n" + html + "\nhas been created.");
  auto records = vb::PromptScript::Records();
  auto dialog = std::find_if(records.begin(), records.end(), [](auto& r) { return r.kind == "save"; });
  ASSERT_NE(dialog, records.end());
  EXPECT_EQ(dialog->defaultText, html);
  const std::string first = tvntest::ReadBytes(html);
  EXPECT_NE(first.find("Abba"), std::string::npos);
  EXPECT_EQ(first.find("Dido"), std::string::npos);

  vb::PromptScript::Clear();
  w.HTMLCheck->setChecked(false);
  Sections(w, {});
  w.CreateButton->click();
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(tvntest::ReadBytes(html), first);
  EXPECT_TRUE(HasText(w.Printer().document(), "Dido"));
}

TEST_F(ReportWindow, AnHtmlFileThatCannotBeWrittenIsNamedInAWarning) {
  AddArtist("Abba", {"cas"});
  RptForm& w = OpenWindow(8);
  w.HTMLCheck->setChecked(true);
  const std::string bad = Path("missing/folder/out.htm");
  vb::PromptScript::AnswerText(bad);
  w.CreateButton->click();
  auto texts = Messages();
  ASSERT_EQ(texts.size(), 2u);
  // The output's own message: the file, why, and that nothing there changed.
  EXPECT_EQ(texts[1].rfind("The HTML file \"" + bad + "\" cannot be written (No such file or directory)", 0), 0u)
      << texts[1];
  EXPECT_TRUE(QString::fromStdString(texts[1]).endsWith("; the file there before is left as it was.")) << texts[1];
  EXPECT_TRUE(w.CreateButton->isEnabled());
  EXPECT_TRUE(HasText(w.Printer().document(), "Abba"));
}

TEST_F(ReportWindow, PdfExportWritesThePagesAndWarnsWhenItCannot) {
  AddArtist("Abba", {"cas"});
  RptForm& w = OpenWindow(8);
  w.CreateButton->click();
  w.btnPDF->click();  // cancelled: nothing written, nothing said
  EXPECT_FALSE(std::filesystem::exists(Path("rpt.pdf")));
  EXPECT_TRUE(Messages().empty());
  ASSERT_EQ(vb::PromptScript::Records().back().defaultText, Path("rpt.pdf"));

  vb::PromptScript::AnswerText(Path("out.pdf"));
  w.btnPDF->click();
  EXPECT_EQ(tvntest::ReadBytes(Path("out.pdf")).substr(0, 5), "%PDF-");
  EXPECT_TRUE(Messages().empty());

  // A failure is told in the output's own words: the file, the reason and
  // that the file there before is left as it was.
  std::filesystem::create_directories(Path("taken.pdf"));
  for (const auto& [file, reason] : {std::pair{Path("no/such/out.pdf"), "No such file or directory"},
                                     std::pair{Path("taken.pdf"), "directory"}}) {
    vb::PromptScript::Clear();
    vb::PromptScript::AnswerText(file);
    w.btnPDF->click();
    ASSERT_EQ(Messages().size(), 1u);
    const QString text = QString::fromStdString(Messages()[0]);
    EXPECT_TRUE(text.startsWith(QString::fromStdString("The PDF file \"" + file + "\" cannot be written (")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(reason)) << text.toStdString();
    EXPECT_TRUE(text.endsWith("); the file there before is left as it was.")) << text.toStdString();
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  }
  EXPECT_TRUE(std::filesystem::is_directory(Path("taken.pdf")));

  // A report document likewise.
  vb::PromptScript::Clear();
  SaveLoad(w, 0, Path("no/such/doc.vsr"), [](PrintPageForm* f) { f->ApplyButton->click(); });
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(Path("no/such/doc.vsr")), std::string::npos) << Messages()[0];
  EXPECT_NE(Messages()[0].find("(No such file or directory); the file there before is left as it was."),
            std::string::npos)
      << Messages()[0];
}

TEST_F(ReportWindow, DocumentsSaveAllOrARangeAndLoadAsNewOrAppended) {
  ManyArtists(60);
  RptForm& w = OpenWindow(8);
  w.CreateButton->click();
  const int pages = w.Printer().PageCount();
  ASSERT_GE(pages, 3);

  SaveLoad(w, 0, Path("all.vsr"), [](PrintPageForm* f) { f->ApplyButton->click(); });
  SaveLoad(w, 0, Path("part.vsr"), [](PrintPageForm* f) {
    f->PageOption[2]->click();
    f->FromPage->setText("2");
    f->ToPage->setText("3");
    f->ApplyButton->click();
  });
  w.VSPrinter1->ShowPage(2);
  SaveLoad(w, 0, Path("one.vsr"), [](PrintPageForm* f) {
    f->PageOption[1]->click();
    f->ApplyButton->click();
  });
  SaveLoad(w, 0, Path("none.vsr"), [](PrintPageForm* f) { f->CancelButton->click(); });
  EXPECT_FALSE(std::filesystem::exists(Path("none.vsr")));
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

  SaveLoad(w, 1, Path("part.vsr"));
  EXPECT_EQ(w.Printer().PageCount(), 2);
  SaveLoad(w, 2, Path("all.vsr"));
  EXPECT_EQ(w.Printer().PageCount(), 2 + pages);
  SaveLoad(w, 1, Path("one.vsr"));
  ASSERT_EQ(w.Printer().PageCount(), 1);
  EXPECT_TRUE(Messages().empty());

  // A file that is no report document is refused; the document stays.
  {
    QFile junk(QString::fromStdString(Path("junk.vsr")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a report at all");
  }
  SaveLoad(w, 2, Path("junk.vsr"));
  EXPECT_EQ(w.Printer().PageCount(), 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find("junk.vsr"), std::string::npos);
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ReportWindow, ACancelledDocumentDialogEndsTheCommandSilently) {
  RptForm& w = OpenWindow(9);
  w.CreateButton->click();
  WithModal([&] { w.SaveButton->click(); }, {[](QWidget* m) { qobject_cast<QDialog*>(m)->close(); }});
  EXPECT_EQ(tvn::reports::Module().DocumentAction, 0);
  EXPECT_TRUE(Messages().empty());
  auto records = vb::PromptScript::Records();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().kind, "save");
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

// The file dialogs only ask before overwriting; a report written over a
// collection or the collection list would destroy it, so such names are
// refused and the dialog comes back.
TEST_F(ReportWindow, ExportsNeverWriteOverTheProgramsOwnFiles) {
  AddArtist("Abba", {"cas"});
  std::filesystem::create_directories(Path("elsewhere"));
  std::filesystem::copy_file(Path("media.mdb"), Path("admin.sys"));
  std::filesystem::copy_file(Path("media.mdb"), Path("elsewhere/old collection.mdb"));
  const std::string admin = tvntest::ReadBytes(Path("admin.sys"));
  RptForm& w = OpenWindow(8);
  w.CreateButton->click();

  for (const std::string& own : {Path("admin.sys"), Path("ADMIN.SYS"), Path("elsewhere/old collection.mdb"),
                                 Path("tips.sys"), Path("new.mdb")}) {
    vb::PromptScript::Clear();
    vb::PromptScript::AnswerText(own);
    vb::PromptScript::AnswerText(Path("out.pdf"));
    w.btnPDF->click();
    ASSERT_EQ(Messages().size(), 1u) << own;
    EXPECT_NE(Messages()[0].find(own), std::string::npos);
    EXPECT_EQ(tvntest::ReadBytes(Path("out.pdf")).substr(0, 5), "%PDF-") << "the second name is written";
    std::filesystem::remove(Path("out.pdf"));
  }
  EXPECT_EQ(tvntest::ReadBytes(Path("admin.sys")), admin);
  EXPECT_FALSE(std::filesystem::exists(Path("tips.sys")));
  EXPECT_FALSE(std::filesystem::exists(Path("new.mdb")));
  // A collection of the same name elsewhere is still a database.
  EXPECT_TRUE(tvn::reports::IsProgramFile(Path("elsewhere/old collection.mdb"), Path("")));
  EXPECT_FALSE(tvn::reports::IsProgramFile(Path("elsewhere/new.mdb"), Path("")));
  // SQLite's own files of a database, the damaged copies and the backups a
  // conversion leaves, with or without the file there yet.
  for (const char* own : {"AV30.mdb-journal", "admin.sys-wal", "Admin.sys-shm", "Admin.sys.damaged", "av30.mdb.damaged",
                          "AV30.30", "Admin.30", "ADMIN.30I", "admin.30i-journal"})
    EXPECT_TRUE(tvn::reports::IsProgramFile(Path(own), Path(""))) << own;
  EXPECT_TRUE(tvn::reports::IsProgramFile(Path("elsewhere/old collection.mdb-journal"), Path("")));
  for (const char* other : {"elsewhere/new.mdb-journal", "elsewhere/Admin.30", "report-journal", "notes.30.htm",
                            "damaged.htm"})
    EXPECT_FALSE(tvn::reports::IsProgramFile(Path(other), Path(""))) << other;

  // The HTML export too; refusing and then cancelling writes nothing there.
  vb::PromptScript::Clear();
  w.HTMLCheck->setChecked(true);
  vb::PromptScript::AnswerText(Path("admin.sys"));
  vb::PromptScript::AnswerText(Path("artists.htm"));
  w.CreateButton->click();
  EXPECT_EQ(tvntest::ReadBytes(Path("admin.sys")), admin);
  EXPECT_NE(tvntest::ReadBytes(Path("artists.htm")).find("Abba"), std::string::npos);
}

// A file's content as sha256sum reads it, or "absent" when no file is
// there (a link is followed, as a write would follow it).
std::string Sha256(const std::string& file) {
  std::error_code error;  // a link leading round in a circle reaches no file
  if (!std::filesystem::exists(file, error)) return "absent";
  const auto out = printtest::RunTool("sha256sum", {QString::fromStdString(file)});
  return out ? out->section(' ', 0, 0).toStdString() : "sha256sum failed";
}

// The settings stores, the pictures the records name, and a link in the
// data folder that bears the name of one of the program's files and leads
// to a folder: none of them is written through an export's name.
TEST_F(ReportWindow, ExportsNeverWriteOverTheSettingsAPictureOrThroughAProgramsName) {
  namespace fs = std::filesystem;
  AddArtist("Abba", {"cas"});
  vb::SaveSetting("TVN", "Startup", "LG", "2");
  vb::SaveSetting("PL", "Startup", "LPL", "1");
  // The stores as they lie (one file for every application in a test).
  std::vector<std::string> stores;
  for (const auto& e : fs::directory_iterator(vb::SettingsFolder()))
    if (e.path().extension() == ".ini") stores.push_back(e.path().string());
  ASSERT_FALSE(stores.empty());
  fs::create_directories(Path("PICS"));
  {
    QFile picture(QString::fromStdString(Path("PICS/cover.jpg")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("a picture a record names");
  }
  fs::create_directories(Path("elsewhere"));
  fs::create_directory_symlink(Path("elsewhere"), Path("admin.sys"));
  fs::create_directory_symlink(Path("elsewhere"), Path("Old.mdb"));

  RptForm& w = OpenWindow(8);
  w.CreateButton->click();
  struct Case {
    std::string typed, reached;
  };
  std::vector<Case> cases{Case{Path("PICS/cover.jpg"), Path("PICS/cover.jpg")},
                          Case{Path("pics/cover.jpg"), Path("PICS/cover.jpg")},
                          Case{Path("admin.sys/out.pdf"), Path("elsewhere/out.pdf")},
                          Case{Path("Old.mdb/out.pdf"), Path("elsewhere/out.pdf")}};
  for (const std::string& store : stores) cases.push_back(Case{store, store});
  for (const Case& c : cases) {
    const std::string before = Sha256(c.reached);
    vb::PromptScript::Clear();
    vb::PromptScript::AnswerText(c.typed);
    vb::PromptScript::AnswerText(Path("plain.pdf"));
    w.btnPDF->click();
    const auto texts = Messages();
    ASSERT_EQ(texts.size(), 1u) << c.typed;
    EXPECT_NE(texts[0].find(c.typed), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("Choose another name."), std::string::npos) << texts[0];
    EXPECT_EQ(Sha256(c.reached), before) << c.typed;
    EXPECT_EQ(tvntest::ReadBytes(Path("plain.pdf")).substr(0, 5), "%PDF-") << "the second name is written";
    fs::remove(Path("plain.pdf"));
  }
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "LG"), "2");
  // Other names in those folders stay free.
  EXPECT_FALSE(tvn::reports::IsProgramFile(vb::SettingsFolder() + "/report.pdf", Path("")));
  EXPECT_FALSE(tvn::reports::IsProgramFile(Path("elsewhere/out.pdf"), Path("")));
  EXPECT_FALSE(tvn::reports::IsProgramFile(Path("PICS.pdf"), Path("")));
}

// A link carries a write to wherever it leads: the export is judged by the
// file it would reach, however many links and folders lead there.
TEST_F(ReportWindow, ExportsThroughSymbolicLinksNeverReachTheProgramsOwnFiles) {
  namespace fs = std::filesystem;
  AddArtist("Abba", {"cas"});
  fs::copy_file(Path("media.mdb"), Path("admin.sys"));
  {
    QFile backup(QString::fromStdString(Path("AV30.30")));
    ASSERT_TRUE(backup.open(QIODevice::WriteOnly));
    backup.write("the collection as it was before its conversion");
  }
  fs::create_directories(Path("out"));
  fs::create_directories(Path("deep/er"));
  // The open collection's journal, which is not there between changes.
  fs::create_symlink("../media.mdb-journal", Path("out/evil2.pdf"));
  fs::create_symlink("../media.mdb", Path("out/collection.pdf"));
  fs::create_symlink("../admin.sys", Path("out/admin.pdf"));
  fs::create_symlink("../AV30.30", Path("out/backup.pdf"));
  // A chain: relative, then absolute, then relative again, to a name kept
  // before its file exists.
  fs::create_symlink("next.pdf", Path("out/chain.pdf"));
  fs::create_symlink(Path("deep/last.pdf"), Path("out/next.pdf"));
  fs::create_symlink("../media.mdb.damaged", Path("deep/last.pdf"));
  // A link in the folder part, and one at the end.
  fs::create_directory_symlink("../deep/er", Path("out/folder"));
  fs::create_symlink("../../tips.sys", Path("deep/er/tips.pdf"));
  // A relative link seen through a linked folder: the system reaches
  // deep/media.mdb-journal, but the file is saved by the name joined as
  // written, out/lex/../../media.mdb-journal, the collection's journal.
  fs::create_directories(Path("deep/er/x"));
  fs::create_directory_symlink(Path("deep/er/x"), Path("out/lex"));
  fs::create_symlink("../../media.mdb-journal", Path("deep/er/x/t.pdf"));
  fs::create_symlink("loop2.pdf", Path("out/loop1.pdf"));
  fs::create_symlink("loop1.pdf", Path("out/loop2.pdf"));
  // A link to a harmless place is written through as any name.
  fs::create_symlink("../deep/report.pdf", Path("out/fine.pdf"));

  RptForm& w = OpenWindow(8);
  w.CreateButton->click();
  struct Case {
    std::string typed, reached;
  };
  for (const Case& c : {Case{"out/evil2.pdf", "media.mdb-journal"}, Case{"out/collection.pdf", "media.mdb"},
                        Case{"out/admin.pdf", "admin.sys"}, Case{"out/backup.pdf", "AV30.30"},
                        Case{"out/chain.pdf", "media.mdb.damaged"}, Case{"out/folder/tips.pdf", "tips.sys"},
                        Case{"out/lex/t.pdf", "media.mdb-journal"},
                        Case{"out/loop1.pdf", "out/loop2.pdf"}}) {
    const std::string before = Sha256(Path(c.reached));
    vb::PromptScript::Clear();
    vb::PromptScript::AnswerText(Path(c.typed));
    vb::PromptScript::AnswerText(Path("plain.pdf"));
    w.btnPDF->click();
    const auto texts = Messages();
    ASSERT_EQ(texts.size(), 1u) << c.typed;
    EXPECT_NE(texts[0].find(Path(c.typed)), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("Choose another name."), std::string::npos) << texts[0];
    EXPECT_EQ(Sha256(Path(c.reached)), before) << c.typed;
    EXPECT_EQ(tvntest::ReadBytes(Path("plain.pdf")).substr(0, 5), "%PDF-") << "the second name is written";
    fs::remove(Path("plain.pdf"));
  }
  EXPECT_NE(Messages()[0].find("circle"), std::string::npos) << Messages()[0];
  EXPECT_FALSE(fs::exists(Path("media.mdb-journal")));
  EXPECT_FALSE(fs::exists(Path("deep/media.mdb-journal")));
  EXPECT_FALSE(fs::exists(Path("tips.sys")));
  EXPECT_EQ(tvntest::CountRows(db_, "select * from artists"), 1) << "the collection still opens and reads";

  // A pipe is no database and is never read to find out: the judging of
  // the name must not wait for a writer.
  ASSERT_EQ(mkfifo(Path("out/pipe.pdf").c_str(), 0600), 0);
  EXPECT_FALSE(tvn::reports::IsProgramFile(Path("out/pipe.pdf"), Path("")));

  vb::PromptScript::Clear();
  vb::PromptScript::AnswerText(Path("out/fine.pdf"));
  w.btnPDF->click();
  EXPECT_TRUE(Messages().empty());
  EXPECT_TRUE(fs::is_symlink(Path("out/fine.pdf")));
  const auto text = printtest::PdfText(QString::fromStdString(Path("deep/report.pdf")));
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains("Abba")) << text->toStdString();

  // The HTML export: the name typed, and the name nobody typed.
  const std::string journal = Sha256(Path("media.mdb-journal"));
  vb::PromptScript::Clear();
  w.HTMLCheck->setChecked(true);
  vb::PromptScript::AnswerText(Path("out/evil2.pdf"));
  vb::PromptScript::AnswerText(Path("deep/artists.htm"));
  w.CreateButton->click();
  EXPECT_EQ(Sha256(Path("media.mdb-journal")), journal);
  EXPECT_NE(tvntest::ReadBytes(Path("deep/artists.htm")).find("Abba"), std::string::npos);
  fs::create_symlink("admin.sys", Path("rpt.htm"));
  const std::string admin = Sha256(Path("admin.sys"));
  vb::PromptScript::Clear();
  w.CreateButton->click();  // the dialog cancelled: the default name
  auto texts = Messages();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[1].find(Path("rpt.htm")), std::string::npos) << texts[1];
  EXPECT_EQ(texts[1].find("has been created"), std::string::npos) << texts[1];
  EXPECT_EQ(Sha256(Path("admin.sys")), admin);
  EXPECT_TRUE(w.Printer().ExportFile().empty());
  EXPECT_TRUE(HasText(w.Printer().document(), "Abba")) << "the report itself is made";

  // A document typed without its extension is judged by the name it is
  // saved under.
  w.HTMLCheck->setChecked(false);
  fs::create_symlink("../admin.sys", Path("out/admin.vsr"));
  vb::PromptScript::Clear();
  SaveLoad(w, 0, Path("out/admin"));
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(Path("out/admin.vsr")), std::string::npos) << Messages()[0];
  EXPECT_EQ(Messages()[0].find("already exists"), std::string::npos) << Messages()[0];
  EXPECT_EQ(Sha256(Path("admin.sys")), admin);
}

TEST_F(ReportWindow, ADocumentTypedWithoutItsExtensionIsSavedAsVsr) {
  AddArtist("Abba", {"cas"});
  RptForm& w = OpenWindow(8);
  w.CreateButton->click();
  auto apply = [](PrintPageForm* f) { f->ApplyButton->click(); };
  SaveLoad(w, 0, Path("my report"), apply);
  EXPECT_TRUE(std::filesystem::exists(Path("my report.vsr")));
  EXPECT_FALSE(std::filesystem::exists(Path("my report")));
  EXPECT_TRUE(Messages().empty());
  SaveLoad(w, 0, Path("Upper.VSR"), apply);
  EXPECT_TRUE(std::filesystem::exists(Path("Upper.VSR")));

  // The dialog asked about "my report" only: replacing the document under
  // its full name is asked here, and No keeps it.
  const std::string kept = tvntest::ReadBytes(Path("my report.vsr"));
  AddArtist("Beck", {"cas"});
  w.CreateButton->click();
  vb::PromptScript::Clear();
  vb::PromptScript::Answer(vb::vbNo);
  SaveLoad(w, 0, Path("my report"));  // no page range is asked for
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(Path("my report.vsr")), std::string::npos);
  EXPECT_EQ(tvntest::ReadBytes(Path("my report.vsr")), kept);
  vb::PromptScript::Answer(vb::vbYes);
  SaveLoad(w, 0, Path("my report"), apply);
  EXPECT_NE(tvntest::ReadBytes(Path("my report.vsr")), kept);
}

TEST(ReportFileFilter, TheWindowsFiltersReadAsQtFilters) {
  EXPECT_EQ(tvn::reports::DialogFilter("*.pdf | *.pdf"), "*.pdf (*.pdf)");
  EXPECT_EQ(tvn::reports::DialogFilter("(*.htm; *html)) | *.htm;*.html"), "*.htm, *.html (*.htm *.html)");
  EXPECT_EQ(tvn::reports::DialogFilter("(*.vsr;)) | *.vsr;"), "*.vsr (*.vsr)");
}

}  // namespace

namespace {

// Every caption of the window shows whole at its opening size, whichever
// panel the report type brings, and nothing overprints anything else.
TEST_F(ReportWindow, EveryCaptionShowsWholeAtTheOpeningSize) {
  for (int type : {6, 7, 8, 9, 16}) {
    SCOPED_TRACE(type);
    RptForm& w = OpenWindow(type);
    QApplication::processEvents();
    for (QWidget* child : w.findChildren<QWidget*>()) {
      if (child->isVisible() && (qobject_cast<QAbstractButton*>(child) || qobject_cast<QGroupBox*>(child))) {
        EXPECT_ON_SCREEN(child);
      }
    }
    EXPECT_TRUE(tvn::test::NothingOverlaps(&w));
  }
}

}  // namespace

TEST_F(ReportWindow, ALongReportsPagesFileGoesWithTheWindowAndAFolderThatCannotTakeThemIsNamed) {
  ManyArtists(200);
  struct Restore {
    ~Restore() {
      print::PageStore::SetThreshold(512);
      print::PageStore::SetFolder({});
    }
  } restore;
  print::PageStore::SetThreshold(1);
  RptForm& w = OpenWindow(8);

  const std::string folder = Path("no/such/folder");
  print::PageStore::SetFolder(QString::fromStdString(folder));
  w.CreateButton->click();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_NE(Messages()[0].find(folder), std::string::npos) << Messages()[0];
  const int pages = w.Printer().PageCount();
  ASSERT_GE(pages, 8);
  EXPECT_TRUE(HasText(w.Printer().document(), "Artist 100"));
  EXPECT_TRUE(HasText(w.Printer().document(), "Artist 299"));
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);

  print::PageStore::SetFolder({});
  w.CreateButton->click();
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(w.Printer().PageCount(), pages);
  EXPECT_TRUE(HasText(w.Printer().document(), "Artist 299"));
  w.VSPrinter1->ShowPage(pages);
  EXPECT_EQ(w.VSPrinter1->PageShown(), pages);
  const QString file = w.Printer().document().pages.FileName();
  ASSERT_FALSE(file.isEmpty());
  EXPECT_TRUE(QFile::exists(file));

  w.close();
  EXPECT_FALSE(QFile::exists(file));
}
