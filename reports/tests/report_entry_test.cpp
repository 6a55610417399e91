#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/runtime/Prompter.h"
#include "reports/EditTitleForm.h"
#include "reports/ReportModule.h"
#include "reports/TVNInit.h"

#include <filesystem>

#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "reports/tests/ModalCloser.h"

namespace {

struct App {
  App() {
    static int argc = 1;
    static char name[] = "reports_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
};

class ReportEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    static App app;
    vb::PromptScript::Install();
    vb::PromptScript::Clear();
  }
  void TearDown() override { vb::PromptScript::Uninstall(); }

  // Runs the title editor on text, doing `steps` in the open dialog.
  std::string EditTitle(const std::string& text, std::function<void(tvn::reports::EditTitleForm*)> steps) {
    std::string value = text;
    vb::TextControlAdapter control([&] { return value; }, [&](const std::string& t) { value = t; });
    QTimer::singleShot(0, [&] {
      auto* form = qobject_cast<tvn::reports::EditTitleForm*>(QApplication::activeModalWidget());
      ASSERT_NE(form, nullptr);
      steps(form);
      if (form->isVisible()) form->CancelButton->click();
    });
    TVNInit().EditTitleRoutine(control, "/unused");
    return value;
  }
};

TEST_F(ReportEntry, TitleEditorStartsWithTheTextAndAppliesTheEdit) {
  std::string seen;
  std::string result = EditTitle("Side A", [&](auto* form) {
    seen = form->TitleText->text().toStdString();
    form->TitleText->setText("Side B");
    form->ApplyButton->click();
  });
  EXPECT_EQ(seen, "Side A");
  EXPECT_EQ(result, "Side B");
}

TEST_F(ReportEntry, EmptyApplyKeepsTheDialogOpenAndCancelChangesNothing) {
  bool stillOpen = false;
  std::string result = EditTitle("Track 1", [&](auto* form) {
    form->TitleText->clear();
    form->ApplyButton->click();
    stillOpen = form->isVisible();
    form->TitleText->setText("edited");
    form->CancelButton->click();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, "Track 1");
}

TEST_F(ReportEntry, DoubleQuotesAreRemovedWithOneMessage) {
  std::string result = EditTitle("x", [&](auto* form) {
    form->TitleText->setText("12\" single \"mix\"");
    QTest::keyClick(form->TitleText, Qt::Key_End);
    form->ApplyButton->click();
  });
  EXPECT_EQ(result, "12 single mix");
  auto texts = vb::PromptScript::Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "The \" is an an invalid character");
}

TEST_F(ReportEntry, StartStandardReportKeepsItsArgumentsAndOpensTheChosenWizard) {
  auto dir = std::filesystem::temp_directory_path() / "tvn_entry_test";
  std::filesystem::create_directories(dir);
  std::string file = (dir / "c.mdb").string();
  std::filesystem::remove(file);
  tvn::schema::CreateCollectionFile(file);
  dao::DatabasePtr db = tvntest::Open(file);
  std::shared_ptr<tvn::TVNDATA> state;
  TVNInit init;
  std::vector<std::string> opened;
  auto closeIt = [&] {
    tvntest::WhenModal([&](QWidget* top) { opened.push_back(top->windowTitle().toStdString()); });
  };
  closeIt();
  init.StartStandardReport(db, state, "/data/folder");
  closeIt();
  init.StartStandardReport(db, state, "/data/folder", true);
  EXPECT_EQ(tvn::reports::Module().ReportAppFolder, "/data/folder");
  EXPECT_EQ(opened, (std::vector<std::string>{"The Report Wizard - ver 6", "The Report Wizard - ver 5"}));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  db->Close();
  tvn::reports::Module().ReportDatabase.reset();
  std::filesystem::remove_all(dir);
}

}  // namespace
