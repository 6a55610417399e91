// The report wizard opened from the catalogue window on a screen with a
// window manager: its steps as they show, a message box over it that
// leaves it on its step, and the report window that Finish opens over it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "desktop/DesktopCatalogueTest.h"
#include "platform/print/PreviewWidget.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/RptForm.h"
#include "reports/frmWizard.h"

namespace {

using tvn::reports::frmWizard;
using tvn::reports::RptForm;

class ReportWizardDesktop : public tvndesk::CatalogueDesktopTest {
 protected:
  void SetUp() override {
    tvndesk::CatalogueDesktopTest::SetUp();
    if (IsSkipped()) return;
    // The boxes are shown for real here, to be answered on the screen.
    vb::PromptScript::Uninstall();
  }
};

// Runs look once a modal window of type T is up and active, and notes that
// it ran.
template <typename T>
void WhenActive(std::function<void(T*)> look, bool* ran) {
  tvndesk::WhenModalActive<T>([look, ran](T* top) {
    *ran = true;
    look(top);
  });
}

// The step frame that stands on the wizard's face: moved to the left edge
// and shown; -1 when not exactly one does.
int StepOnShow(const frmWizard& w) {
  int shown = -1;
  for (size_t i = 0; i < w.fraStep.size(); ++i) {
    QWidget* f = w.fraStep[i];
    if (f->x() == 0 && f->isVisible() && w.rect().intersects(f->geometry())) {
      if (shown >= 0) return -1;
      shown = static_cast<int>(i);
    }
  }
  return shown;
}

std::string Enabled(const frmWizard& w) {
  std::string s;
  for (auto* b : w.C_Button) s += b->isEnabled() ? '1' : '0';
  return s;
}

void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

void ClickCell(QTableWidget* grid, int row) {
  ASSERT_TRUE(tvn::test::RowVisible(grid, row));
  const QRect cell = grid->visualItemRect(grid->item(row, 0));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

}  // namespace

TEST_F(ReportWizardDesktop, StepsMessageBoxAndTheReportWindowFromFinish) {
  AddItem(2, "Alpha", {{"artist1", vb::Variant("O'Brien")}, {"player", vb::Variant("Rack")}});
  AddItem(2, "Beta", {{"artist1", vb::Variant::Null()}});
  auto& catalogue = Window();
  ASSERT_TRUE(tvndesk::ShowSettled(catalogue));
  tvn::reports::Module().ReportTitle.clear();

  bool wizardRan = false, boxRan = false, reportRan = false;
  WhenActive<frmWizard>(
      [&](frmWizard* w) {
        if (!tvndesk::Settled(*w)) {
          ADD_FAILURE() << "the wizard's place never settled";
          w->reject();  // a modal left open would hang the case
          return;
        }
        EXPECT_EQ(w->windowTitle(), "The Report Wizard - ver 6");
        EXPECT_EQ(StepOnShow(*w), 0);
        EXPECT_EQ(Enabled(*w), "11010");

        Click(w->C_Button[3]);
        EXPECT_EQ(StepOnShow(*w), 1);
        EXPECT_EQ(Enabled(*w), "11110");
        EXPECT_ON_SCREEN(w->ReportGrid);
        // The two list boxes stand whole on their step, above the buttons.
        for (QWidget* box : {static_cast<QWidget*>(w->NameBuildCheck), static_cast<QWidget*>(w->TitleBuildCheck)}) {
          EXPECT_TRUE(w->fraStep[1]->rect().contains(box->geometry())) << box->objectName().toStdString();
          EXPECT_LE(box->mapTo(w, QPoint(0, box->height())).y(), w->C_Button[3]->y());
        }

        // Nothing chosen: the message box stands over the wizard, and
        // once it is answered the wizard is active again on the same step.
        WhenActive<QMessageBox>(
            [&](QMessageBox* box) {
              EXPECT_EQ(box->text(), "Please select a report option");
              EXPECT_EQ(box->parentWidget(), w);
              EXPECT_TRUE(tvndesk::Frame(*w).contains(tvndesk::Frame(*box).center()));
              EXPECT_TRUE(w->isVisible());
              QAbstractButton* ok = box->buttons().value(0);
              ASSERT_TRUE(ok);
              Click(ok);
            },
            &boxRan);
        Click(w->C_Button[3]);
        EXPECT_TRUE(boxRan);
        EXPECT_TRUE(tvndesk::Active(*w));
        tvndesk::Drain();  // what the activation after the box queued
        EXPECT_EQ(StepOnShow(*w), 1) << "the box must not start the wizard over";
        EXPECT_EQ(Enabled(*w), "11110");

        Click(w->ReportTypeOption[1]);
        EXPECT_TRUE(w->ReportTypeOption[1]->isChecked());
        ClickCell(w->UtilityGrid, 4);
        EXPECT_EQ(w->UtilityGrid->item(4, 0)->checkState(), Qt::Checked);
        Click(w->C_Button[3]);
        EXPECT_EQ(StepOnShow(*w), 2);
        EXPECT_ON_SCREEN(w->ArtistCombo);
        EXPECT_FALSE(w->TapeIndexCombo->isVisible());
        Click(w->C_Button[2]);
        EXPECT_EQ(StepOnShow(*w), 1);
        Click(w->C_Button[3]);
        Click(w->C_Button[3]);
        EXPECT_EQ(StepOnShow(*w), 3);
        EXPECT_EQ(Enabled(*w), "11001");

        // Finish: the report window opens over the wizard, on the changer
        // report's options, and makes the report.
        WhenActive<RptForm>(
            [&](RptForm* r) {
              if (!tvndesk::Settled(*r)) {
                ADD_FAILURE() << "the report window's place never settled";
                r->close();
                return;
              }
              EXPECT_EQ(r->windowTitle(), "Tavolin - Report Window");
              EXPECT_ON_SCREEN(r->R7Frame);
              EXPECT_FALSE(r->R8Frame->isVisible());
              EXPECT_ON_SCREEN(r->R7SortOption[0]);
              EXPECT_TRUE(r->R7SortOption[0]->isChecked());
              EXPECT_TRUE(w->isVisible()) << "the wizard stays beneath";
              EXPECT_EQ(StepOnShow(*w), 3);
              Click(r->CreateButton);
              EXPECT_TRUE(QTest::qWaitFor([&] { return r->btnPDF->isEnabled(); }, tvndesk::kPatience));
              const print::Document& doc = r->Printer().document();
              ASSERT_EQ(doc.PageCount(), 1);
              bool title = false, disc = false, artist = false;
              for (const auto& t : doc.pages[0].texts) {
                title |= t.text == "Compact Disc Changer Report";
                disc |= t.text == "Alpha";
                artist |= t.text == "O'Brien";
              }
              EXPECT_TRUE(title && disc && artist);
              EXPECT_ON_SCREEN(r->VSPrinter1);
              Click(r->CloseButton);
            },
            &reportRan);
        Click(w->C_Button[4]);
        EXPECT_TRUE(reportRan);
        EXPECT_FALSE(w->isVisible()) << "the wizard closes after the report window";
      },
      &wizardRan);
  catalogue.ReportMenu->trigger();
  EXPECT_TRUE(wizardRan);
  EXPECT_TRUE(tvndesk::Active(catalogue));
  EXPECT_EQ(tvn::reports::Module().ReportTitle, "") << "the headings are cleared after the report";
}
