// Start-up on a data folder: what it creates, which collection it opens,
// how it fails, and the windows that follow it (splash, launcher).
#include <gtest/gtest.h>

#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/Start_Form.h"
#include "core/tests/LaunchFixture.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"

namespace tvn::testing {
namespace {

class StartupTest : public LaunchTest {
 protected:
  Start_Form& RunStartup() { return win::Start_Form.Get(); }

  // The display name the master list in the data folder gives a file.
  std::string ListedName(const std::string& dbName) {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("admin.sys"));
    auto rs = db->OpenRecordset("avcollections", dao::dbOpenTable);
    rs->SetIndex("dbname");
    rs->Seek("=", dbName);
    std::string name = rs->NoMatch() ? "" : vb::NzStr(rs->GetField("AVCollection"));
    rs->Close();
    db->Close();
    return name;
  }
};

TEST_F(StartupTest, EmptyFolderIsFilledAndTheDefaultCollectionOpened) {
  // The data folder does not even exist yet.
  Start_Form& start = RunStartup();

  EXPECT_TRUE(vb::PromptScript::Records().empty()) << vb::PromptScript::Texts().front();
  EXPECT_TRUE(endings_.empty());
  // Templates, then what the start-up makes of them, under these very names.
  for (const char* template_ : {"av32e.mdb", "admine.sys", "tips.sys"})
    EXPECT_TRUE(vb::FileExists(InHome(template_))) << template_;
  EXPECT_TRUE(HasEntry("Admin.sys"));
  EXPECT_TRUE(HasEntry("AV30.mdb"));
  EXPECT_TRUE(HasEntry("PICS"));
  EXPECT_TRUE(std::filesystem::is_directory(InHome("PICS")));

  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(AVData()->CurCollection(), ListedName("av30.mdb"));
  ASSERT_TRUE(App().CollectionDB);
  EXPECT_TRUE(App().CollectionDB->IsOpen());
  EXPECT_NE(App().AppWorkspace, nullptr);
  // The master list is closed again; the collection is of the current layout.
  EXPECT_TRUE(!App().AdminDB || !App().AdminDB->IsOpen());
  EXPECT_NO_THROW(App().CollectionDB->OpenRecordset("mediadata")->Close());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Home()));
}

TEST_F(StartupTest, ExistingFilesInOtherLetterCaseAreKept) {
  Home();
  schema::EnsureTemplates(Home());
  // A master list under an upper-case name, naming the user's collection.
  schema::CreateMasterListFile(InHome("ADMIN.SYS"));
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("ADMIN.SYS"));
    db->Execute("delete * from avcollections");
    db->Execute("insert into avcollections (AVCollection, dbname) values ('Records of Mine', 'MyStuff.MDB')");
    db->Close();
  }
  std::filesystem::create_directory(InHome("pics"));
  schema::CreateCollectionFile(InHome("MyStuff.MDB"));
  SetSetting("CurDB", "mystuff.mdb");

  RunStartup();

  EXPECT_TRUE(vb::PromptScript::Records().empty());
  EXPECT_FALSE(HasEntry("Admin.sys"));
  EXPECT_FALSE(HasEntry("PICS"));
  // The default collection is still made, but the user's is the one opened.
  EXPECT_TRUE(HasEntry("AV30.mdb"));
  EXPECT_EQ(Setting("CurDB"), "mystuff.mdb");
  EXPECT_EQ(AVData()->LastDB(), "mystuff.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "Records of Mine");
  ASSERT_TRUE(App().CollectionDB);
  EXPECT_EQ(std::filesystem::path(App().CollectionDB->Name()).filename(), "MyStuff.MDB");
}

TEST_F(StartupTest, CollectionThatIsGoneFallsBackToTheDefault) {
  SetSetting("CurDB", "gone.mdb");
  RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            "The current collection file\n" + InHome("gone.mdb") +
                "\nwas not found. The default collection will be opened.");
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  ASSERT_TRUE(App().CollectionDB);
  EXPECT_EQ(std::filesystem::path(App().CollectionDB->Name()).filename(), "AV30.mdb");
}

TEST_F(StartupTest, PlainFileNamedPicsShowsTheErrorAndEndsTheProgram) {
  Home();
  std::ofstream(InHome("PICS")) << "not a folder";

  Start_Form& start = RunStartup();

  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].kind, "msgbox");
  EXPECT_EQ(vb::PromptScript::Records()[0].text.rfind("Error 75", 0), 0u) << vb::PromptScript::Records()[0].text;
  ASSERT_EQ(endings_.size(), 1u);
  EXPECT_NE(endings_[0], 0);
  // Nothing after the failing step ran; what came before it stays.
  EXPECT_TRUE(HasEntry("Admin.sys"));
  EXPECT_FALSE(HasEntry("AV30.mdb"));
  EXPECT_FALSE(App().CollectionDB);
  EXPECT_TRUE(start.Continue_but->isHidden());
  EXPECT_TRUE(std::filesystem::is_regular_file(InHome("PICS")));
}

TEST_F(StartupTest, AfterTheErrorEndNothingLoadsAgain) {
  // As the program starts: the reference loads the window, then shows it;
  // the ending releases every window as the real one does.
  SetEndProgramHandler([this](int code) {
    endings_.push_back(code);
    ReleaseProgram();
  });
  Home();
  std::ofstream(InHome("PICS")) << "not a folder";
  win::Start_Form->Show();
  EXPECT_TRUE(ProgramEnded());
  EXPECT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_FALSE(win::Splash_Form.Loaded());
  EXPECT_FALSE(win::Start_Form.Loaded());
}

TEST_F(StartupTest, UnreadableCollectionNamesTheFileAndNoEndsTheProgram) {
  Home();
  std::ofstream(InHome("broken.mdb")) << "this is no database";
  SetSetting("CurDB", "broken.mdb");
  vb::PromptScript::Answer(vb::vbNo);
  RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& asked = vb::PromptScript::Records()[0];
  EXPECT_EQ(asked.buttons, vb::vbYesNo + vb::vbExclamation);
  EXPECT_EQ(asked.text.rfind("The current collection file\n" + InHome("broken.mdb") + "\ncannot be opened:\n", 0), 0u)
      << asked.text;
  EXPECT_NE(asked.text.find("\n\nOpen the default collection instead?"), std::string::npos);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Setting("CurDB"), "broken.mdb");
  EXPECT_TRUE(HasEntry("AV30.mdb"));
}

TEST_F(StartupTest, UnreadableCollectionYesGoesOnWithTheDefault) {
  Home();
  std::ofstream(InHome("broken.mdb")) << "this is no database";
  SetSetting("CurDB", "broken.mdb");
  vb::PromptScript::Answer(vb::vbYes);
  Start_Form& start = RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_TRUE(endings_.empty());
  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  ASSERT_TRUE(App().CollectionDB && App().CollectionDB->IsOpen());
  EXPECT_EQ(std::filesystem::path(App().CollectionDB->Name()).filename(), "AV30.mdb");
  EXPECT_FALSE(start.Continue_but->isHidden());
  // The damaged file is left as it was.
  std::ifstream in(InHome("broken.mdb"));
  std::string content;
  std::getline(in, content);
  EXPECT_EQ(content, "this is no database");
}

TEST_F(StartupTest, ContinueLeadsThroughSplashToLauncher) {
  Start_Form& start = RunStartup();
  start.Continue_but->click();
  Pump();

  EXPECT_FALSE(win::Start_Form.Loaded());
  EXPECT_TRUE(AVData()->OnExit());
  Splash_Form* splash = win::Splash_Form.Peek();
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->isVisible());
  EXPECT_EQ(splash->VersionL->text().toStdString(),
            "Version: " + std::to_string(schema::VersionMajor()) + "." + std::to_string(schema::VersionMinor()) +
                "." + std::to_string(schema::VersionRevision()));
  EXPECT_TRUE(splash->Timer1->isActive());
  EXPECT_EQ(splash->Timer1->interval(), 3500);
  EXPECT_TRUE(splash->CloseButton->isHidden());
  EXPECT_FALSE(win::MainForm.Loaded());

  splash->Timer1_Timer();
  Pump();
  // The launcher is up and has closed the splash window.
  ASSERT_TRUE(win::MainForm.Loaded());
  EXPECT_TRUE(win::MainForm->isVisible());
  EXPECT_EQ(win::MainForm->windowTitle().toStdString(), "Tavolin");
  EXPECT_FALSE(win::Splash_Form.Loaded());
  EXPECT_TRUE(endings_.empty());

  win::MainForm->btnExit->click();
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_NE(Setting("SF_T"), "<none>");
}

TEST_F(StartupTest, SecondCloseOfTheStartWindowEndsTheProgram) {
  AVData()->OnExit(vb::True);
  Start_Form& start = RunStartup();
  start.Continue_but->click();
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_FALSE(win::Splash_Form.Loaded());
}

TEST_F(StartupTest, AboutModeWaitsForCloseAndNeverOpensTheLauncher) {
  App().AboutMode = true;
  Splash_Form& about = win::Splash_Form.Get();
  EXPECT_FALSE(about.CloseButton->isHidden());
  EXPECT_FALSE(about.Timer1->isActive());
  about.CloseButton->click();
  Pump();
  EXPECT_FALSE(win::Splash_Form.Loaded());
  EXPECT_FALSE(win::MainForm.Loaded());
  // A later show makes a fresh window.
  App().AboutMode = false;
  Splash_Form& splash = win::Splash_Form.Get();
  EXPECT_NE(&splash, &about);
  EXPECT_TRUE(splash.Timer1->isActive());
}

TEST_F(StartupTest, ClosingTheLastWindowEndsTheProgram) {
  Splash_Form& splash = win::Splash_Form.Get();
  splash.Show();
  splash.close();
  EXPECT_EQ(endings_.size(), 1u);
}

}  // namespace
}  // namespace tvn::testing
