// The launcher: its remembered position, its two catalogue flags, and the
// game catalogue window it opens, brings forward and closes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/Start_Form.h"
#include "core/TavolinModule.h"
#include "core/tests/DamagedFiles.h"
#include "core/tests/LaunchFixture.h"
#include "games/avplclass.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Errors.h"

namespace tvn::testing {
namespace {

std::vector<QWidget*> GameWindows() {
  std::vector<QWidget*> found;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "PLMain_Form" && w->isVisible()) found.push_back(w);
  return found;
}

void Activate(QWidget* w) {
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(w, &activate);
}

class LauncherTest : public LaunchTest {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    App().AppWorkspace = &dao::DBEngine::Workspaces(0);
    RegisterMediaCatalogue({});
    pl::RegisterGameCatalogue();
    // What start-up leaves in the data folder: the templates and the master list.
    schema::EnsureTemplates(Home());
    vb::FileCopy(Home() + "/admine.sys", Home() + "/admin.sys");
  }
  void TearDown() override {
    RegisterMediaCatalogue({});
    RegisterGameCatalogue({});
    LaunchTest::TearDown();
  }

  QPoint DesignPosition() {
    // A launcher made with nothing stored sits where it was designed.
    MainForm probe;
    return probe.pos();
  }
};

TEST_F(LauncherTest, PositionIsRestoredOnlyWhenAboveZero) {
  const QPoint design = DesignPosition();
  {
    // Nothing stored: design position; the close stores it in twips.
    MainForm& launcher = win::MainForm.Get();
    EXPECT_EQ(launcher.pos(), design);
    launcher.move(40, 30);
    launcher.btnExit->click();
    EXPECT_EQ(Setting("SF_L"), "600");
    EXPECT_EQ(Setting("SF_T"), "450");
    EXPECT_EQ(endings_.size(), 1u);
    Pump();
  }
  {
    SetSetting("SF_L", "3000");
    SetSetting("SF_T", "1500");
    MainForm& launcher = win::MainForm.Get();
    EXPECT_EQ(launcher.pos(), QPoint(200, 100));
    launcher.Unload();
    Pump();
  }
  {
    // A window at the left edge comes back at the design left.
    SetSetting("SF_L", "0");
    SetSetting("SF_T", "1500");
    MainForm& launcher = win::MainForm.Get();
    EXPECT_EQ(launcher.pos(), QPoint(design.x(), 100));
    launcher.Unload();
    Pump();
  }
  {
    SetSetting("SF_L", "-45");
    SetSetting("SF_T", "rubbish");
    MainForm& launcher = win::MainForm.Get();
    EXPECT_EQ(launcher.pos(), design);
    launcher.Unload();
    Pump();
  }
  {
    // Numbers no position can have are no position either.
    SetSetting("SF_L", "1e300");
    SetSetting("SF_T", "inf");
    MainForm& launcher = win::MainForm.Get();
    EXPECT_EQ(launcher.pos(), design);
  }
}

TEST_F(LauncherTest, GameCatalogueOpensOnceComesForwardAndClosesThroughTheLibrary) {
  MainForm& launcher = win::MainForm.Get();
  launcher.Show();
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  EXPECT_TRUE(launcher.PLRunning->isHidden());
  EXPECT_TRUE(launcher.AVRunning->isHidden());

  launcher.btnOpenPellion->click();
  EXPECT_EQ(launcher.PLRunning->Value(), 1);
  EXPECT_EQ(launcher.MousePointer(), vbHourglass);
  ASSERT_EQ(GameWindows().size(), 1u);
  QWidget* game = GameWindows().front();
  EXPECT_EQ(game->windowTitle().toStdString(), "The Pellion - My Collection");
  EXPECT_TRUE(launcher.isVisible());

  // Its first activation gives the launcher its pointer back.
  Pump();
  Activate(game);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);

  // A second click opens no second window.
  launcher.setMousePointer(vbDefault);
  launcher.btnOpenPellion->click();
  Pump();
  EXPECT_EQ(GameWindows().size(), 1u);
  EXPECT_EQ(launcher.PLRunning->Value(), 1);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);

  // The window's own close clears the flag; the next click opens it afresh.
  game->close();
  Pump();
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  launcher.btnOpenPellion->click();
  EXPECT_EQ(GameWindows().size(), 1u);
  EXPECT_EQ(launcher.PLRunning->Value(), 1);

  // Closing the launcher closes the game window first.
  launcher.btnExit->click();
  Pump();
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(LauncherTest, GameLibraryFailureIsShownAndTheLauncherStaysUsable) {
  MainForm& launcher = win::MainForm.Get();
  App().AppWorkspace = nullptr;  // the game library cannot work without it
  launcher.btnOpenPellion->click();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);
  EXPECT_TRUE(endings_.empty());
  EXPECT_TRUE(win::MainForm.Loaded());
}

TEST_F(LauncherTest, ADamagedGameCollectionTheUserGivesUpOnLeavesTheLauncherUsable) {
  {
    std::ofstream(Home() + "/MyGames.mdb") << "not a database";
  }
  MainForm& launcher = win::MainForm.Get();
  vb::PromptScript::Answer(vb::vbNo);  // do not open the game catalogue now
  launcher.btnOpenPellion->click();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text.rfind("The game collection file\n" + Home() + "/MyGames.mdb\n", 0), 0u);
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);

  // The next try may take the way on: a new collection, and the window opens.
  vb::PromptScript::Answer(vb::vbYes);
  vb::PromptScript::AnswerText("Fresh Games");
  launcher.btnOpenPellion->click();
  EXPECT_EQ(GameWindows().size(), 1u);
  EXPECT_EQ(launcher.PLRunning->Value(), 1);
  EXPECT_TRUE(std::filesystem::exists(Home() + "/Fresh Games.mdb"));
  EXPECT_EQ(Content(Home() + "/MyGames.mdb"), "not a database");
  launcher.btnExit->click();
  Pump();
  EXPECT_TRUE(GameWindows().empty());
}

// Games on damaged pages under a schema that reads well: the user is told
// before any game window shows, and no window opens empty on the file.
TEST_F(LauncherTest, DamagedGamePagesAreToldBeforeAnyGameWindowShows) {
  schema::CreateGameCollectionFile(Home() + "/MyGames.mdb");
  DamageItemPages(Home() + "/MyGames.mdb", DamagedPage::MiddleLeaf);
  const std::string before = Content(Home() + "/MyGames.mdb");
  MainForm& launcher = win::MainForm.Get();
  vb::PromptScript::Answer(vb::vbNo);  // do not open the game catalogue now
  launcher.btnOpenPellion->click();
  Pump();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_EQ(vb::PromptScript::Records()[0].text.rfind("The game collection file\n" + Home() +
                                                          "/MyGames.mdb\nis damaged: it cannot be read as a "
                                                          "database.\n\nThe file is left as it is.",
                                                      0),
            0u)
      << vb::PromptScript::Records()[0].text;
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  EXPECT_EQ(Content(Home() + "/MyGames.mdb"), before);
  launcher.btnExit->click();
  Pump();
}

TEST_F(LauncherTest, WithoutARegisteredGameCatalogueTheButtonLeavesNothingRunning) {
  RegisterGameCatalogue({});
  MainForm& launcher = win::MainForm.Get();
  launcher.btnOpenPellion->click();
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(launcher.PLRunning->Value(), 0);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);
  // The launcher still closes cleanly.
  launcher.btnExit->click();
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

TEST_F(LauncherTest, GameWindowReachesTheLauncherOnlyByName) {
  // Any window with the two members will do; names match without regard to case.
  Form standIn;
  auto* flag = new FlagCheckBox(&standIn);
  flag->setObjectName("plRUNNING");
  flag->setValue(1);
  standIn.setMousePointer(vbHourglass);

  avplclass games;
  dao::Workspace* ws = App().AppWorkspace;
  std::string folder = vb::ProgramFolder();
  QObject* frm = &standIn;
  games.fload(ws, folder, frm);
  EXPECT_EQ(frm, &standIn);
  EXPECT_EQ(ws, App().AppWorkspace);
  EXPECT_EQ(folder, vb::ProgramFolder());
  ASSERT_EQ(GameWindows().size(), 1u);
  Activate(GameWindows().front());
  EXPECT_EQ(standIn.MousePointer(), vbDefault);

  // A second object acts on the same window.
  avplclass other;
  other.FrontWindow();
  other.FClose();
  Pump();
  EXPECT_TRUE(GameWindows().empty());
  EXPECT_EQ(flag->Value(), 0);
  // Nothing open: both do nothing.
  EXPECT_NO_THROW(other.FClose());
  EXPECT_NO_THROW(other.FrontWindow());
  EXPECT_TRUE(vb::PromptScript::Records().empty());
}

// Data folders under names the system allows: each is used under its own
// name by the start-up and by both catalogues; a "\" in it is part of the
// name.
struct FolderName {
  const char* label;
  const char* name;
};

void PrintTo(const FolderName& f, std::ostream* os) { *os << '"' << f.name << '"'; }

class OddlyNamedDataFolder : public LaunchTest, public ::testing::WithParamInterface<FolderName> {
 protected:
  void SetUp() override {
    LaunchTest::SetUp();
    NameHome(GetParam().name);
    RegisterMediaCatalogue({});
    pl::RegisterGameCatalogue();
  }
  void TearDown() override {
    RegisterMediaCatalogue({});
    RegisterGameCatalogue({});
    LaunchTest::TearDown();
  }
};

TEST_P(OddlyNamedDataFolder, StartsAndOpensTheMediaAndGameCollections) {
  Start_Form& start = win::Start_Form.Get();
  EXPECT_TRUE(vb::PromptScript::Records().empty()) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  for (const char* made : {"Admin.sys", "AV30.mdb", "PICS", "av32e.mdb", "admine.sys", "pl33e.mdb"})
    EXPECT_TRUE(HasEntry(made)) << made;
  ASSERT_TRUE(App().CollectionDB && App().CollectionDB->IsOpen());
  EXPECT_EQ(App().CollectionDB->Name(), InHome("AV30.mdb"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Home(false)));
  // A picture kept as "pics\..." is found inside the folder.
  std::ofstream(InHome("PICS/cover.jpg")) << "jpg";
  EXPECT_EQ(PicturePath("pics\\cover.jpg"), InHome("PICS/cover.jpg"));

  MainForm& launcher = win::MainForm.Get();
  launcher.Show();
  launcher.btnOpenPellion->click();
  EXPECT_TRUE(vb::PromptScript::Records().empty()) << ::testing::PrintToString(vb::PromptScript::Texts());
  ASSERT_EQ(GameWindows().size(), 1u);
  EXPECT_EQ(GameWindows().front()->windowTitle().toStdString(), "The Pellion - My Collection");
  EXPECT_TRUE(HasEntry("MyGames.mdb"));
  launcher.btnExit->click();
  Pump();
  EXPECT_TRUE(GameWindows().empty());

  // Nothing was made beside the folder, under a name cut at its "\".
  std::vector<std::string> beside;
  for (const auto& e : std::filesystem::directory_iterator(TestFolder()))
    if (e.path().filename() != "settings.ini") beside.push_back(e.path().filename());
  EXPECT_EQ(beside, std::vector<std::string>{std::filesystem::path(Home(false)).filename()});
}

INSTANTIATE_TEST_SUITE_P(Each, OddlyNamedDataFolder,
                         ::testing::Values(FolderName{"Backslash", "back\\slash"},
                                           FolderName{"EndingInABackslash", "ends here\\"},
                                           FolderName{"Quotes", "it's \"quoted\""},
                                           FolderName{"Spaces", "  spaced  out  "},
                                           FolderName{"Accents", "Éditions à part"},
                                           FolderName{"OtherScripts", "日本語 папка ελληνικά"},
                                           FolderName{"PatternCharacters", "[x] #1 a*b?"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(LauncherTest, MediaCatalogueFlagAndCloseOrder) {
  std::vector<std::string> events;
  int shows = 0;
  RegisterMediaCatalogue({[&] { ++shows; },
                          [&] {
                            events.push_back("forward");
                            throw std::runtime_error("cannot take the focus");
                          },
                          [&] {
                            events.push_back("media closed");
                            // As the window does when it closes.
                            win::MainForm.Peek()->AVRunning->setValue(0);
                          }});
  MainForm& launcher = win::MainForm.Get();
  QObject::connect(launcher.PLRunning, &QCheckBox::toggled, [&](bool on) {
    if (!on) events.push_back("game closed");
  });

  launcher.btnOpenTavolin->click();
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(launcher.AVRunning->Value(), 1);
  EXPECT_EQ(launcher.MousePointer(), vbHourglass);
  launcher.btnOpenTavolin->click();  // the error of bringing it forward is ignored
  EXPECT_EQ(shows, 1);

  launcher.btnOpenPellion->click();
  launcher.btnExit->click();
  Pump();
  EXPECT_EQ(events, (std::vector<std::string>{"forward", "game closed", "media closed"}));
  EXPECT_EQ(endings_.size(), 1u);
}

TEST_F(LauncherTest, MediaCatalogueThatFailsToOpenCanBeOpenedAgain) {
  int shows = 0;
  RegisterMediaCatalogue({[&] {
                            if (++shows == 1) throw vb::RuntimeError(3044, "Not a valid path.");
                          },
                          [] {}, [] {}});
  MainForm& launcher = win::MainForm.Get();
  EXPECT_THROW(launcher.btnOpenTavolin_Click(), vb::RuntimeError);
  EXPECT_EQ(launcher.AVRunning->Value(), 0);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);
  launcher.btnOpenTavolin_Click();
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(launcher.AVRunning->Value(), 1);
  RegisterMediaCatalogue({});
}

TEST_F(LauncherTest, WithoutMediaCatalogueNothingStaysMarkedOpen) {
  MainForm& launcher = win::MainForm.Get();
  launcher.btnOpenTavolin->click();
  EXPECT_EQ(launcher.AVRunning->Value(), 0);
  EXPECT_EQ(launcher.MousePointer(), vbDefault);
}

}  // namespace
}  // namespace tvn::testing
