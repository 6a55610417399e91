#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

std::string TempFile(const char* stem) {
  char tmpl[64];
  std::snprintf(tmpl, sizeof tmpl, "/tmp/tvn-%s-XXXXXX", stem);
  int fd = mkstemp(tmpl);
  close(fd);
  unlink(tmpl);
  return tmpl;
}

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = TempFile("settings");
    vb::SetSettingsFile(path_);
  }
  void TearDown() override {
    vb::SetSettingsFile("");
    unlink(path_.c_str());
  }
  std::string path_;
};

class Prompter : public ::testing::Test {
 protected:
  void SetUp() override { vb::PromptScript::Install(); }
  void TearDown() override {
    vb::PromptScript::Uninstall();
    unsetenv("TAVOLIN_PROMPT_LOG");
  }
};

}  // namespace

TEST_F(Settings, SaveGetAndDelete) {
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB", "av30.mdb"), "av30.mdb");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "TipOnOff"), "");
  vb::SaveSetting("TVN", "Startup", "CurDB", "Jazz.mdb");
  vb::SaveSetting("TVN", "Startup", "SF_T", "1200");
  vb::SaveSetting("TVN", "Other", "x", "1");
  vb::SaveSetting("PL", "Startup", "CurDB", "games.mdb");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB", "av30.mdb"), "Jazz.mdb");
  EXPECT_EQ(vb::GetSetting("PL", "Startup", "CurDB"), "games.mdb");  // applications stay apart
  // Names are matched without regard to case; the stored spelling is kept.
  EXPECT_EQ(vb::GetSetting("TVN", "startup", "curdb"), "Jazz.mdb");
  vb::SaveSetting("TVN", "STARTUP", "CURDB", "Rock.mdb");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB"), "Rock.mdb");
  EXPECT_EQ(Read(path_).find("CURDB"), std::string::npos);
  // Texts with odd characters come back as they were.
  vb::SaveSetting("TVN", "Startup", "Odd", "Édith; \"x\" = 1/2");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "Odd"), "Édith; \"x\" = 1/2");

  vb::DeleteSetting("TVN", "Startup", "CurDB");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB", "none"), "none");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "SF_T"), "1200");
  vb::DeleteSetting("TVN", "startup");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "SF_T", "gone"), "gone");
  EXPECT_EQ(vb::GetSetting("TVN", "Other", "x"), "1");
  // Deleting what is not there is harmless.
  vb::DeleteSetting("TVN", "Nothing", "here");
}

TEST_F(Settings, RedirectKeepsFilesApart) {
  vb::SaveSetting("TVN", "Startup", "CurDB", "a.mdb");
  std::string other = TempFile("settings2");
  vb::SetSettingsFile(other);
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB", "default"), "default");
  vb::SetSettingsFile(path_);
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB"), "a.mdb");
  unlink(other.c_str());
}

TEST_F(Prompter, ScriptedAnswersAndRecords) {
  vb::SetAppTitle("Tavolin Test");
  vb::PromptScript::Answer(vb::vbNo);
  vb::PromptScript::AnswerText("Jazz");
  vb::PromptScript::AnswerText("/tmp/pic.jpg");
  EXPECT_EQ(vb::MsgBox("Delete the displayed record??", vb::vbYesNo | vb::vbQuestion, "Delete Warning"), vb::vbNo);
  EXPECT_EQ(vb::InputBox("Enter a name", "", "x"), "Jazz");
  EXPECT_EQ(vb::GetOpenFileName("Pick", "Pictures (*.jpg)"), "/tmp/pic.jpg");
  // An empty queue answers with the default button / text / no file.
  EXPECT_EQ(vb::MsgBox("Sure?", vb::vbYesNo | vb::vbDefaultButton2), vb::vbNo);
  EXPECT_EQ(vb::MsgBox("Go?", vb::vbYesNoCancel), vb::vbYes);
  EXPECT_EQ(vb::MsgBox("Done."), vb::vbOK);
  EXPECT_EQ(vb::InputBox("Label", "Caption Modify", "Old"), "Old");
  EXPECT_EQ(vb::GetSaveFileName("Save", "*.vsr"), "");

  const auto& r = vb::PromptScript::Records();
  ASSERT_EQ(r.size(), 8u);
  EXPECT_EQ(r[0].kind, "msgbox");
  EXPECT_EQ(r[0].title, "Delete Warning");
  EXPECT_EQ(r[0].buttons, vb::vbYesNo | vb::vbQuestion);
  EXPECT_EQ(r[1].kind, "inputbox");
  EXPECT_EQ(r[1].title, "Tavolin Test");  // no title of its own: the program's
  EXPECT_EQ(r[1].defaultText, "x");
  EXPECT_EQ(r[2].kind, "open");
  EXPECT_EQ(r[2].title, "Pick");
  EXPECT_EQ(r[7].kind, "save");
  EXPECT_EQ(vb::PromptScript::Texts()[3], "Sure?");
  vb::PromptScript::Clear();
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(Prompter, LogModeWritesOneLinePerBox) {
  vb::PromptScript::Uninstall();
  std::string log = TempFile("prompts");
  setenv("TAVOLIN_PROMPT_LOG", log.c_str(), 1);
  EXPECT_EQ(vb::MsgBox("Please make a copy\nCompact database now??", vb::vbYesNo | vb::vbDefaultButton2,
                       "Compact Warning"),
            vb::vbNo);
  EXPECT_EQ(vb::MsgBox("Saved.", vb::vbOKOnly, "Info"), vb::vbOK);
  EXPECT_EQ(vb::InputBox("Enter\tname", "New", "av31"), "av31");
  EXPECT_EQ(vb::GetOpenFileName("Pick a picture", "Pictures (*.jpg)"), "");
  EXPECT_EQ(Read(log),
            "Compact Warning\tPlease make a copy\\nCompact database now??\tYes/No\tNo\n"
            "Info\tSaved.\tOK\tOK\n"
            "New\tEnter\\tname\tOK/Cancel\tav31\n"
            "Pick a picture\tPictures (*.jpg)\tOpen/Cancel\t\n");
  unlink(log.c_str());
}

TEST_F(Prompter, GuardShowsNumberAndText) {
  EXPECT_TRUE(vb::Guarded([] {}));
  EXPECT_FALSE(vb::Guarded([] { throw vb::RuntimeError(3021, "No current record."); }));
  EXPECT_FALSE(vb::Guarded([] { throw std::runtime_error("boom"); }));
  EXPECT_FALSE(vb::Guarded([] { throw 42; }));
  // A command the user stopped shows nothing more.
  EXPECT_FALSE(vb::Guarded([] { throw vb::Cancelled(); }));
  const auto& r = vb::PromptScript::Records();
  ASSERT_EQ(r.size(), 3u);
  // The data layer's errors are told in words, never by a bare number.
  EXPECT_EQ(r[0].text,
            "The record asked for is no longer in the collection: another program may have removed it.\n\n"
            "Nothing more was done.");
  EXPECT_EQ(r[0].buttons, vb::vbOKOnly | vb::vbExclamation);
  EXPECT_EQ(r[1].text, "Error 51: boom");
  EXPECT_EQ(r[2].text, "Error 51: Internal error");
}

TEST_F(Prompter, ApplicationKeepsExceptionsOutOfTheEventLoop) {
  int argc = 1;
  char name[] = "qt_test";
  char* argv[] = {name, nullptr};
  vb::Application app(argc, argv);
  bool after = false;
  QTimer::singleShot(0, [] { throw vb::RuntimeError(53, "File not found"); });
  QTimer::singleShot(0, [&] {
    after = true;
    app.quit();
  });
  app.exec();
  EXPECT_TRUE(after);  // the loop went on after the failing handler
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "Error 53: File not found");
}

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

TEST_F(Prompter, RealBoxesAnswerWithTheButtonPressed) {
  vb::PromptScript::Uninstall();
  int argc = 1;
  char name[] = "qt_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QString shownTitle;
  bool defaultIsYes = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shownTitle = box->windowTitle();
    defaultIsYes = box->defaultButton() == box->button(QMessageBox::Yes);
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(vb::MsgBox("Delete?", vb::vbYesNo, "Delete Warning"), vb::vbNo);
  EXPECT_EQ(shownTitle, "Delete Warning");
  EXPECT_TRUE(defaultIsYes);

  QTimer::singleShot(0, [] {
    auto* dlg = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->textValue(), "Old");
    dlg->setTextValue("New caption");
    dlg->accept();
  });
  EXPECT_EQ(vb::InputBox("Enter the desired field label", "Caption Modify", "Old"), "New caption");
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(vb::InputBox("Label", "", "Old"), "");  // cancelled
}

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <thread>

#include "platform/runtime/Busy.h"

namespace {

void PostClick(QWidget* w) {
  QPointF at(w->width() / 2.0, w->height() / 2.0);
  QPointF global = w->mapToGlobal(at);
  QCoreApplication::postEvent(
      w, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  QCoreApplication::postEvent(
      w, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Runs the event loop through a Tick as long work would, past its 100 ms step.
void WorkAWhile(vb::BusyScope& busy) {
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(110));
    busy.Tick();
  }
}

}  // namespace

TEST_F(Prompter, BusyWorkPaintsButActsOnNoInputMadeDuringIt) {
  int argc = 1;
  char name[] = "qt_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  QWidget window;
  auto* button = new QPushButton("Create Report", &window);
  button->resize(120, 30);
  window.resize(200, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  int clicks = 0, painted = 0;
  QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });

  class PaintCount : public QObject {
   public:
    explicit PaintCount(int& n) : n_(n) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++n_;
      return false;
    }
    int& n_;
  } counter(painted);
  window.installEventFilter(&counter);

  long long seenDone = -1, seenTotal = -1;
  {
    vb::BusyScope busy(&window, [&](long long d, long long t) { seenDone = d, seenTotal = t; });
    EXPECT_TRUE(vb::BusyScope::Active());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    PostClick(button);
    QCoreApplication::postEvent(button, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
    QCoreApplication::postEvent(button, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " "));
    QCoreApplication::postEvent(&window, new QCloseEvent);
    window.update();
    WorkAWhile(busy);
    busy.Progress(500, 500);
    EXPECT_GT(painted, 0);  // the window repainted mid-work
  }
  EXPECT_FALSE(vb::BusyScope::Active());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks, 0);           // dropped, not delivered late
  EXPECT_TRUE(window.isVisible());  // the close request was refused
  EXPECT_EQ(seenDone, 500);
  EXPECT_EQ(seenTotal, 500);

  // After the work, input acts again.
  PostClick(button);
  QCoreApplication::processEvents();
  EXPECT_EQ(clicks, 1);
}

TEST_F(Prompter, AMessageMidWorkCanBeAnsweredAndTheWaitGoesOn) {
  vb::PromptScript::Uninstall();
  int argc = 1;
  char name[] = "qt_test";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  vb::BusyScope outer;
  {
    vb::BusyScope inner;  // nested work keeps the state until the outer ends
  }
  EXPECT_TRUE(vb::BusyScope::Active());
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(vb::BusyScope::Active());
    QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
  });
  EXPECT_EQ(vb::MsgBox("Go on?", vb::vbYesNo), vb::vbNo);
  EXPECT_TRUE(vb::BusyScope::Active());
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  outer.Done();
  EXPECT_FALSE(vb::BusyScope::Active());
}
