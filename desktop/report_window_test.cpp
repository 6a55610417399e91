// The report window on a screen with a window manager: turning the preview's
// pages with the mouse, the full-size preview maximised over the window, and
// a dialog that stays modal over it.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "desktop/DesktopSupport.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "reports/output/RForm.h"
#include "reports/output/SaveLoadDocumentForm.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RForm;
using tvn::reports::RptForm;
using tvn::reports::SaveLoadDocumentForm;

class ReportDesktop : public tvntest::ReportTest {
 protected:
  static void SetUpTestSuite() { tvndesk::PlatformForDisplay(); }
  void SetUp() override {
    tvntest::ReportTest::SetUp();
    if (!tvndesk::HaveDisplay()) GTEST_SKIP() << "no X display: run through scripts/test.sh";
  }

  // The artist report over enough artists for several pages, on screen.
  RptForm& ShownReport() {
    db_->BeginTrans();
    for (int i = 0; i < 150; ++i) AddArtist("Artist " + std::to_string(100 + i), {"cd"}, "Notes on this one.");
    db_->CommitTrans();
    RptForm& w = OpenWindow(8);
    EXPECT_TRUE(tvndesk::ShowSettled(w));
    QTest::mouseClick(w.CreateButton, Qt::LeftButton);
    return w;
  }

  // The page line the preview shows; empty when the user cannot read it.
  static QString PageLabel(print::PreviewWidget& preview) {
    const auto* label = preview.findChild<QLabel*>("PageLabel");
    return tvn::test::OnScreen(label) ? label->text() : QString();
  }
  static QToolButton* PageButton(print::PreviewWidget& preview, const char* name) {
    return preview.findChild<QToolButton*>(name);
  }

  // Runs look on the modal window that click opens, once it is active on
  // screen; the action returns when that window has closed.
  static void OnModal(const std::function<void()>& click, const std::function<void(QWidget*)>& look,
                      QWidget* beneath) {
    bool seen = false;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      QWidget* top = QApplication::activeModalWidget();
      if (seen || !top || top == beneath || !top->isVisible()) return;
      seen = true;
      timer.stop();
      look(top);
      if (top->isVisible()) top->close();
    });
    timer.start();
    click();
    EXPECT_TRUE(seen) << "no modal window opened";
  }

  // A click on a control of a window sent to the window as the screen
  // delivers it, so that a modal window above can refuse it.
  static void ClickThroughScreen(QWidget& window, QWidget* control) {
    ASSERT_NE(control, nullptr);
    const QPoint at = control->mapTo(&window, control->rect().center());
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
  }

  // The window the screen shows at a point of the screen.
  static QWidget* TopAt(const QPoint& global) { return QApplication::topLevelAt(global); }
};

TEST_F(ReportDesktop, PreviewPagesTurnWithTheButtonsAndTheButtonsFollow) {
  RptForm& w = ShownReport();
  print::PreviewWidget& preview = *w.VSPrinter1;
  ASSERT_ON_SCREEN(&preview);
  const int pages = w.Printer().PageCount();
  ASSERT_GE(pages, 3);
  const QString of = QString(" of %1").arg(pages);
  EXPECT_EQ(PageLabel(preview), "Page 1" + of);
  EXPECT_FALSE(PageButton(preview, "PreviousPageButton")->isEnabled());
  EXPECT_FALSE(PageButton(preview, "FirstPageButton")->isEnabled());
  ASSERT_TRUE(PageButton(preview, "NextPageButton")->isEnabled());

  QTest::mouseClick(PageButton(preview, "NextPageButton"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return PageLabel(preview) == "Page 2" + of; }, tvndesk::kPatience));
  EXPECT_EQ(w.Printer().PreviewPage(), 2);
  EXPECT_TRUE(PageButton(preview, "PreviousPageButton")->isEnabled());

  QTest::mouseClick(PageButton(preview, "LastPageButton"), Qt::LeftButton);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return PageLabel(preview) == QString("Page %1").arg(pages) + of; }, tvndesk::kPatience));
  EXPECT_FALSE(PageButton(preview, "NextPageButton")->isEnabled());
  EXPECT_FALSE(PageButton(preview, "LastPageButton")->isEnabled());

  QTest::mouseClick(PageButton(preview, "PreviousPageButton"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return PageLabel(preview) == QString("Page %1").arg(pages - 1) + of; },
                              tvndesk::kPatience));
  QTest::mouseClick(PageButton(preview, "FirstPageButton"), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return PageLabel(preview) == "Page 1" + of; }, tvndesk::kPatience));

  // The whole page stands inside the view at every page.
  auto* scroll = preview.findChild<QScrollArea*>("PageScroll");
  const QWidget* page = scroll->widget();
  EXPECT_ON_SCREEN(page);
  EXPECT_LE(page->width(), scroll->viewport()->width());
  EXPECT_LE(page->height(), scroll->viewport()->height());
}

TEST_F(ReportDesktop, FullSizePreviewIsMaximisedOverTheWindowAndGivesItBackOnClose) {
  RptForm& w = ShownReport();
  const int pages = w.Printer().PageCount();
  w.VSPrinter1->ShowPage(2);
  OnModal(
      [&] { QTest::mouseClick(w.MaxButton, Qt::LeftButton); },
      [&](QWidget* m) {
        auto* f = qobject_cast<RForm*>(m);
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(tvndesk::Active(*f));
        ASSERT_TRUE(QTest::qWaitFor([&] { return f->isMaximized(); }, tvndesk::kPatience));
        ASSERT_TRUE(tvndesk::Settled(*f));
        // It covers the window beneath and fills the screen's free area.
        const QRect available = f->screen()->availableGeometry();
        EXPECT_TRUE(tvndesk::Frame(*f).contains(tvndesk::Frame(w).intersected(available)));
        EXPECT_GE(f->width(), available.width() * 9 / 10);
        EXPECT_GE(f->height(), available.height() * 8 / 10);
        EXPECT_EQ(TopAt(tvndesk::Frame(w).center()), f);
        // Its preview fills it and shows the same document from page 1.
        print::PreviewWidget& big = *f->VSPrinter2;
        EXPECT_ON_SCREEN(&big);
        EXPECT_GE(big.width(), f->width() - 10);
        EXPECT_GE(big.height(), f->height() - 30);
        EXPECT_EQ(PageLabel(big), QString("Page 1 of %1").arg(pages));
        QTest::mouseClick(PageButton(big, "NextPageButton"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return PageLabel(big) == QString("Page 2 of %1").arg(pages); },
                                    tvndesk::kPatience));
        // A page shown larger: the page in the full-size view is larger
        // than the one in the report window.
        EXPECT_GT(big.findChild<QScrollArea*>("PageScroll")->widget()->height(),
                  w.VSPrinter1->findChild<QScrollArea*>("PageScroll")->widget()->height());
      },
      &w);
  ASSERT_TRUE(tvndesk::Active(w));
  EXPECT_EQ(TopAt(tvndesk::Frame(w).center()), &w);
  EXPECT_EQ(w.VSPrinter1->PageShown(), 2);
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ReportDesktop, DocumentDialogStaysModalOverTheWindowUntilItCloses) {
  RptForm& w = ShownReport();
  OnModal(
      [&] { QTest::mouseClick(w.SaveButton, Qt::LeftButton); },
      [&](QWidget* m) {
        auto* f = qobject_cast<SaveLoadDocumentForm*>(m);
        ASSERT_NE(f, nullptr);
        ASSERT_TRUE(tvndesk::Active(*f));
        ASSERT_TRUE(tvndesk::Settled(*f));
        EXPECT_EQ(f->windowTitle(), "Load/Save a Report");
        EXPECT_TRUE(f->isModal());
        EXPECT_EQ(TopAt(tvndesk::Frame(*f).center()), f);
        // The window beneath takes no clicks while the dialog is up: the
        // clicks go in through the window system, as the user's would.
        ClickThroughScreen(w, w.CloseButton);
        ClickThroughScreen(w, w.VSPrinter1->findChild<QToolButton*>("NextPageButton"));
        QApplication::processEvents();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.VSPrinter1->PageShown(), 1);
        EXPECT_EQ(QApplication::activeModalWidget(), f);
        EXPECT_TRUE(f->isVisible());
        // Escape closes it without a choice; the file box that follows is
        // answered by the script with a cancel.
        QTest::keyClick(f->windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !f->isVisible(); }, tvndesk::kPatience));
      },
      &w);
  ASSERT_TRUE(tvndesk::Active(w));
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.CloseButton->isEnabled());
  EXPECT_TRUE(Messages().empty());
  // The same click reaches the window once the dialog is gone.
  ClickThroughScreen(w, w.VSPrinter1->findChild<QToolButton*>("NextPageButton"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.VSPrinter1->PageShown() == 2; }, tvndesk::kPatience));
}

}  // namespace
