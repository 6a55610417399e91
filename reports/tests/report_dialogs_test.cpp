// The page range, document choice and full-size preview windows, opened
// over a report window that holds a document of several pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>

#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/output/PrintPageForm.h"
#include "reports/output/RForm.h"
#include "reports/output/SaveLoadDocumentForm.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::Module;
using tvn::reports::PrintPageForm;
using tvn::reports::RForm;
using tvn::reports::SaveLoadDocumentForm;

class ReportDialogs : public tvntest::ReportTest {
 protected:
  // A report window whose document has exactly `pages` pages.
  tvn::reports::RptForm& WindowWithPages(int pages) {
    tvn::reports::RptForm& w = OpenWindow(9);
    print::Printer& p = w.Printer();
    p.StartDoc();
    for (int i = 1; i < pages; ++i) {
      p.Text("page " + std::to_string(i));
      p.NewPage();
    }
    p.Text("last page");
    p.EndDoc();
    return w;
  }

  // Runs the page range window; `steps` acts on it while it is open.
  void RunPages(const std::function<void(PrintPageForm&)>& steps) {
    PrintPageForm form(Module(), window_.get());
    QTimer::singleShot(0, [&] {
      steps(form);
      if (form.isVisible()) form.CancelButton->click();
    });
    form.exec();
  }
};

TEST_F(ReportDialogs, PageBoxesAreKeptInsideTheDocument) {
  WindowWithPages(3);
  RunPages([&](PrintPageForm& f) {
    EXPECT_EQ(f.windowTitle(), "Select Pages");
    EXPECT_TRUE(f.PageOption[0]->isChecked());
    EXPECT_FALSE(f.RangeFrame->isEnabled());
    EXPECT_EQ(f.ToPage->text(), "3");
    EXPECT_EQ(f.FromPage->text(), "1");
    f.PageOption[2]->click();
    EXPECT_TRUE(f.RangeFrame->isEnabled());
    f.FromPage->setText("7");
    f.FromPage_LostFocus();
    EXPECT_EQ(f.FromPage->text(), "3");
    f.FromPage->setText("0");
    f.FromPage_LostFocus();
    EXPECT_EQ(f.FromPage->text(), "1");
    f.ToPage->setText("abc");
    f.ToPage_LostFocus();
    EXPECT_EQ(f.ToPage->text(), "1");
    f.ToPage->setText("7");
    f.ToPage_LostFocus();
    EXPECT_EQ(f.ToPage->text(), "3");
    // From 3, To 2: leaving To raises it to From.
    f.FromPage->setText("3");
    f.ToPage->setText("2");
    f.ToPage_LostFocus();
    EXPECT_EQ(f.ToPage->text(), "3");
    f.PageOption[0]->click();
    EXPECT_FALSE(f.RangeFrame->isEnabled());
  });
}

TEST_F(ReportDialogs, AWrongRangeIsRefusedHoweverTheWindowCloses) {
  WindowWithPages(3);
  bool openAfterApply = false, openAfterClose = false;
  RunPages([&](PrintPageForm& f) {
    f.PageOption[2]->click();
    f.ToPage->setText("2");
    f.ToPage_LostFocus();
    f.FromPage->setText("3");  // leaving From does not touch To
    f.ApplyButton->click();
    openAfterApply = f.isVisible();
    f.close();  // the window's own button
    openAfterClose = f.isVisible();
    // Boxes changed by code, never left: still checked against the pages.
    f.FromPage->setText("2");
    f.ToPage->setText("9");
    f.ApplyButton->click();
    EXPECT_TRUE(f.isVisible());
    f.ToPage->setText("3");
    f.ApplyButton->click();
  });
  EXPECT_TRUE(openAfterApply);
  EXPECT_TRUE(openAfterClose);
  const std::string refusal = "Page setting error .... Check the page range settings.";
  EXPECT_EQ(Messages(), (std::vector<std::string>{refusal, refusal, refusal}));
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly);
  EXPECT_EQ(Module().PageFrom, 2);
  EXPECT_EQ(Module().PageTo, 3);
}

TEST_F(ReportDialogs, AllCurrentPageCancelAndClosingGiveTheirRanges) {
  auto& w = WindowWithPages(3);
  RunPages([](PrintPageForm& f) { f.ApplyButton->click(); });
  EXPECT_EQ(Module().PageFrom, 0);
  EXPECT_EQ(Module().PageTo, 0);

  w.VSPrinter1->ShowPage(2);
  RunPages([](PrintPageForm& f) {
    f.PageOption[1]->click();
    f.ApplyButton->click();
  });
  EXPECT_EQ(Module().PageFrom, 2);
  EXPECT_EQ(Module().PageTo, 2);

  RunPages([](PrintPageForm& f) {
    f.PageOption[2]->click();
    f.FromPage->setText("2x");  // the leading number counts
    f.close();
  });
  EXPECT_EQ(Module().PageFrom, 2);
  EXPECT_EQ(Module().PageTo, 3);

  RunPages([](PrintPageForm& f) { f.CancelButton->click(); });
  EXPECT_EQ(Module().PageFrom, -1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ReportDialogs, TheDocumentChoiceStartsUnchosenAndLeavesTheIndex) {
  WindowWithPages(1);
  for (int option : {2, 1, 0}) {
    Module().DocumentAction = 0;
    SaveLoadDocumentForm form(Module(), window_.get());
    QTimer::singleShot(0, [&] {
      EXPECT_EQ(form.windowTitle(), "Load/Save a Report");
      for (auto* o : form.Option1) EXPECT_FALSE(o->isChecked());
      form.Option1[option]->click();
      form.ApplyButton->click();
    });
    form.exec();
    EXPECT_EQ(Module().DocumentAction, option);
  }
  SaveLoadDocumentForm form(Module(), window_.get());
  EXPECT_EQ(form.Option1[0]->text(), "Save current document to a read only file");
  EXPECT_EQ(form.Option1[1]->text(), "Load a previuosly saved document file as new document");
  EXPECT_EQ(form.Option1[2]->text(), "Load a previuosly saved document file and append to current document");
}

TEST_F(ReportDialogs, FullSizePreviewShowsTheWindowsOwnPagesMaximisedWithoutACopy) {
  auto& w = WindowWithPages(3);
  w.VSPrinter1->ShowPage(2);
  Module().HeadingText = "The Tavolin";
  // A data folder that cannot be written does not matter: nothing is
  // copied anywhere.
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  for (int round = 0; round < 2; ++round) {
    int pages = 0, first = 0, turned = 0;
    bool maximised = false, same = false;
    WithModal([&] { w.MaxButton->click(); },
              {[&](QWidget* m) {
                auto* f = qobject_cast<RForm*>(m);
                ASSERT_NE(f, nullptr);
                EXPECT_EQ(f->windowTitle(), "The Tavolin");
                pages = f->Printer().PageCount();
                same = &f->Printer() == &w.Printer();
                maximised = f->isMaximized();
                first = f->VSPrinter2->PageShown();
                f->VSPrinter2->LastPage();
                turned = f->VSPrinter2->PageShown();
                f->close();
              }});
    EXPECT_EQ(pages, 3);
    EXPECT_TRUE(same);
    EXPECT_TRUE(maximised);
    // It opens at page 1 and turns its pages apart from the window's.
    EXPECT_EQ(first, 1);
    EXPECT_EQ(turned, 3);
    EXPECT_EQ(w.VSPrinter1->PageShown(), 2);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  }
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "temp.vs"));
}

}  // namespace
