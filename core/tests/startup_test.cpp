// Start-up on a data folder: what it creates, which collection it opens,
// how it fails, and the windows that follow it (splash, launcher).
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include "core/CommonDataTable.h"
#include "core/MainForm.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/Start_Form.h"
#include "core/tests/DamagedFiles.h"
#include "core/tests/LaunchFixture.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/tests/Unwritable.h"

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

// The question asked about a collection that cannot be opened.
std::string CollectionQuestion(const std::string& path, const std::string& what, bool offersDefault,
                               const std::string& defaultPath = "") {
  return "The collection file\n" + path + "\n" + what + "\n\nThe file is left as it is.\n\n" +
         "Yes: make a new, empty collection under a new name and go on with it.\n" +
         (offersDefault ? "No: open the default collection \"" + defaultPath + "\" instead.\nCancel: quit Tavolin."
                        : std::string("No: quit Tavolin."));
}

TEST_F(StartupTest, OtherCollectionThatCannotBeOpenedOffersTheDefaultOrQuitting) {
  Home();
  std::ofstream(InHome("broken.mdb")) << "this is no database";
  SetSetting("CurDB", "broken.mdb");
  vb::PromptScript::Answer(vb::vbCancel);
  RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            CollectionQuestion(InHome("broken.mdb"), "is not a database: it is damaged, or a file of another kind.",
                               true, InHome("AV30.mdb")));
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNoCancel + vb::vbExclamation);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Setting("CurDB"), "broken.mdb");

  ResetGlobals();
  vb::PromptScript::Clear();
  vb::PromptScript::Answer(vb::vbNo);
  win::Start_Form.Get().Unload();
  Start_Form& start = RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "My Collection");
  ASSERT_TRUE(App().CollectionDB && App().CollectionDB->IsOpen());
  EXPECT_EQ(std::filesystem::path(App().CollectionDB->Name()).filename(), "AV30.mdb");
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(Content(InHome("broken.mdb")), "this is no database");
}

TEST_F(StartupTest, ListedCollectionsNamedLikeWorkFilesSurviveAStart) {
  // A media and a game collection the managers accepted under such names.
  RunStartup();
  win::Start_Form.Get().Unload();
  schema::CreateCollectionFile(InHome("Temp1.mdb"));
  schema::CreateGameCollectionFile(InHome("Temp2.mdb"));
  {
    auto media = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("Temp1.mdb"));
    media->Execute("insert into mediadata (name, SectionNumber) values ('Kind of Blue', 2)");
    media->Close();
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("Admin.sys"));
    admin->Execute("insert into avcollections (dbname, AVCollection) values ('Temp1.mdb', 'Temp1')");
    admin->Execute("insert into plcollections (dbname, plCollection) values ('Temp2.mdb', 'Temp2')");
    admin->Close();
  }
  SetSetting("CurDB", "Temp1.mdb");
  const std::string games = Content(InHome("Temp2.mdb"));
  ResetGlobals();

  RunStartup();
  EXPECT_TRUE(vb::PromptScript::Records().empty());
  EXPECT_EQ(Content(InHome("Temp2.mdb")), games);
  EXPECT_EQ(AVData()->LastDB(), "Temp1.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "Temp1");
  auto rs = App().CollectionDB->OpenRecordset("select name from mediadata");
  EXPECT_EQ(vb::NzStr(rs->GetField("name")), "Kind of Blue");
  rs->Close();
}

TEST_F(StartupTest, MissingWorkTablesAreMadeAgainAndTheItemsKept) {
  RunStartup();
  win::Start_Form.Get().Unload();
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("AV30.mdb"));
    db->Execute("insert into mediadata (name, SectionNumber) values ('Kept', 1)");
    db->DeleteTableDef("report");
    db->DeleteTableDef("title_list");
    db->Close();
  }
  ResetGlobals();
  Start_Form& start = RunStartup();
  EXPECT_TRUE(vb::PromptScript::Records().empty());
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  auto& db = App().CollectionDB;
  EXPECT_NO_THROW(db->OpenRecordset("select TapeIndex, QRating from report")->Close());
  EXPECT_NO_THROW(db->OpenRecordset("select LongTitle from title_list")->Close());
  EXPECT_EQ(vb::NzStr(db->OpenRecordset("select name from mediadata")->GetField("name")), "Kept");
}

TEST_F(StartupTest, FolderInPlaceOfTheListAndTheTipsIsToldAndTheStartGoesOn) {
  Home();
  std::filesystem::create_directory(InHome("admin.sys"));
  std::filesystem::create_directory(InHome("tips.sys"));
  Start_Form& start = RunStartup();
  EXPECT_EQ(vb::PromptScript::Texts(),
            std::vector<std::string>{"The list of collections\n" + InHome("admin.sys") +
                                     "\nis a folder, not a file.\n\nTavolin goes on without it this time and leaves "
                                     "it as it is; the collection managers cannot be used until it can be read."});
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  ASSERT_TRUE(App().CollectionDB && App().CollectionDB->IsOpen());
  EXPECT_EQ(AVData()->CurCollection(), "");
  EXPECT_TRUE(std::filesystem::is_directory(InHome("admin.sys/")));
  EXPECT_TRUE(std::filesystem::is_directory(InHome("tips.sys")));
}

TEST_F(StartupTest, LockedDefaultCollectionIsReportedAsInUseAndLeftAlone) {
  RunStartup();
  win::Start_Form.Get().Unload();
  ResetGlobals();
  const std::string before = Content(InHome("AV30.mdb"));
  {
    LockedByAnotherProgram lock(InHome("AV30.mdb"));
    ASSERT_TRUE(lock.Locked());
    vb::PromptScript::Answer(vb::vbNo);
    RunStartup();
  }
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            CollectionQuestion(InHome("AV30.mdb"),
                               "is in use by another program. It may open once that program has let it go.", false));
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNo + vb::vbExclamation + vb::vbDefaultButton2);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Content(InHome("AV30.mdb")), before);
  EXPECT_FALSE(std::filesystem::exists(InHome("AV30.mdb-journal")));
}

// A collection another program holds is only passing: the default answer
// quits and leaves every setting and file as it was; the way on is offered.
TEST_F(StartupTest, LockedCollectionIsKeptCurrentByTheDefaultAnswer) {
  RunStartup();
  win::Start_Form.Get().Unload();
  schema::CreateCollectionFile(InHome("Jazz.mdb"));
  SetSetting("CurDB", "Jazz.mdb");
  ResetGlobals();
  const std::string before = Content(InHome("Jazz.mdb"));
  {
    LockedByAnotherProgram lock(InHome("Jazz.mdb"));
    ASSERT_TRUE(lock.Locked());
    RunStartup();  // every box answered with its default
  }
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            CollectionQuestion(InHome("Jazz.mdb"),
                               "is in use by another program. It may open once that program has let it go.", true,
                               InHome("AV30.mdb")));
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbYesNoCancel + vb::vbExclamation + vb::vbDefaultButton3);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Setting("CurDB"), "Jazz.mdb");
  EXPECT_FALSE(HasEntry("New Collection.mdb"));
  EXPECT_EQ(Content(InHome("Jazz.mdb")), before);
}

TEST_F(StartupTest, FolderInPlaceOfTheCurrentCollectionIsSaidToBeAFolder) {
  RunStartup();
  win::Start_Form.Get().Unload();
  std::filesystem::create_directory(InHome("Jazz.mdb"));
  SetSetting("CurDB", "Jazz.mdb");
  ResetGlobals();
  RunStartup();
  EXPECT_EQ(vb::PromptScript::Texts(),
            std::vector<std::string>{"The current collection file\n" + InHome("Jazz.mdb") +
                                     "\nis a folder, not a file. The default collection will be opened."});
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_TRUE(std::filesystem::is_directory(InHome("Jazz.mdb")));
}

// An earlier-layout collection is copied to its ".30" backup before anything
// at all is written to it; a master list of another program is kept as it
// came, byte for byte, before a new one is made.
TEST_F(StartupTest, BackupsAreTakenFromTheUntouchedFile) {
  RunStartup();
  win::Start_Form.Get().Unload();
  schema::CreateOriginalEarlierCollectionFile(InHome("Old.mdb"));
  for (const char* file : {"Old.mdb"}) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(InHome(file).c_str(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "PRAGMA user_version = 0", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  SetSetting("CurDB", "Old.mdb");
  MakeDamaged(InHome("Admin.sys"), Damage::OtherProgram);
  const std::string collection = Content(InHome("Old.mdb"));
  const std::string list = Content(InHome("Admin.sys"));
  ResetGlobals();
  Start_Form& start = RunStartup();
  EXPECT_TRUE(endings_.empty()) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(Content(InHome("Old.30")), collection);
  EXPECT_EQ(Content(InHome("Admin.sys.damaged")), list);
}

// An interrupted change whose journal the folder does not let be finished:
// the file and the folder are named, nothing is offered that cannot work
// there, and the journal stays.
TEST_F(StartupTest, InterruptedChangeInAReadOnlyFolderIsToldAndItsJournalKept) {
  if (tvntest::RunAsNobodyInstead()) return;
  RunStartup();
  win::Start_Form.Get().Unload();
  {
    // A change cut off while its pages were already in the file.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(InHome("AV30.mdb").c_str(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "PRAGMA cache_size = 10; BEGIN; CREATE TABLE filler (x);"
                 "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
                 "INSERT INTO filler SELECT randomblob(200) FROM c;", nullptr, nullptr, nullptr);
    std::filesystem::copy_file(InHome("AV30.mdb"), InHome("cut.mdb"));
    std::filesystem::copy_file(InHome("AV30.mdb-journal"), InHome("cut.mdb-journal"));
    sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  SetSetting("CurDB", "cut.mdb");
  const std::string journal = Content(InHome("cut.mdb-journal"));
  ResetGlobals();
  {
    tvntest::UnwritableFolder locked(Home());
    ASSERT_TRUE(locked.Holds()) << locked.How();
    RunStartup();
  }
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const auto& told = vb::PromptScript::Records()[0];
  EXPECT_EQ(told.buttons, vb::vbOKOnly + vb::vbExclamation);
  EXPECT_NE(told.text.find("Write access to the folder\n" + Home() + "\nis needed to finish the interrupted change"),
            std::string::npos)
      << told.text;
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Content(InHome("cut.mdb-journal")), journal);
}

// A collection in a folder that cannot be written opens for browsing and
// says so at once, naming the file, before any change is refused.
TEST_F(StartupTest, ACollectionThatCannotBeWrittenSaysSoWhenItOpens) {
  if (tvntest::RunAsNobodyInstead()) return;
  RunStartup();
  win::Start_Form.Get().Unload();
  ResetGlobals();
  {
    tvntest::UnwritableFolder locked(Home());
    ASSERT_TRUE(locked.Holds()) << locked.How();
    RunStartup();
  }
  const auto texts = vb::PromptScript::Texts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back().rfind("The collection file\n" + InHome("AV30.mdb") +
                                   "\ncan be read but not written: its folder is read-only.",
                               0),
            0u)
      << ::testing::PrintToString(texts);
  EXPECT_TRUE(endings_.empty());
}

// TAVOLIN_HOME naming a file: said so, and the program ends having made
// nothing, the file untouched.
TEST_F(StartupTest, ADataFolderThatIsAFileIsToldAndNothingIsMade) {
  const std::string file = TestFolder() + "/plain file";
  std::ofstream(file) << "mine";
  NameHome(file);
  Start_Form& start = RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            "The data folder\n" + file +
                "\n(the folder TAVOLIN_HOME names)\nis a file, not a folder.\n\nNothing was made. Name a folder, or "
                "move the file away. Tavolin ends now.");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly + vb::vbExclamation);
  ASSERT_EQ(endings_.size(), 1u);
  EXPECT_NE(endings_[0], 0);
  EXPECT_TRUE(start.Continue_but->isHidden());
  EXPECT_EQ(Content(file), "mine");
  std::vector<std::string> beside;
  for (const auto& e : std::filesystem::directory_iterator(TestFolder())) beside.push_back(e.path().filename());
  EXPECT_EQ(beside, std::vector<std::string>{"plain file"});
}

// An empty data folder that takes no file: named, and nothing is made
// in it; root too is kept out.
TEST_F(StartupTest, AnEmptyDataFolderThatCannotBeWrittenIsNamedAndNothingIsMade) {
  if (tvntest::RunAsNobodyInstead()) return;
  Home();
  Start_Form* start = nullptr;
  {
    tvntest::UnwritableFolder locked(Home());
    ASSERT_TRUE(locked.Holds()) << locked.How();
    start = &RunStartup();
  }
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_EQ(vb::PromptScript::Records()[0].text,
            "The data folder\n" + Home() +
                "\n(the folder TAVOLIN_HOME names)\ncannot be written, so the files Tavolin keeps there cannot be "
                "made.\n\nNothing was made. Give the folder write access, or name another folder. Tavolin ends now.");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbOKOnly + vb::vbExclamation);
  ASSERT_EQ(endings_.size(), 1u);
  EXPECT_NE(endings_[0], 0);
  EXPECT_TRUE(start->Continue_but->isHidden());
  EXPECT_TRUE(EntryNames().empty()) << ::testing::PrintToString(EntryNames());
}

// What a failure leaves the user to do: wait (locked, unreadable), choose
// another file (damaged), or give the folder write access (an interrupted
// change that cannot be finished there, whatever the engine called it).
TEST_F(StartupTest, FailuresAreSortedByWhatTheyLeaveTheUserToDo) {
  const std::string file = InHome("x.mdb");
  Home();
  std::ofstream(file) << "x";
  const vb::RuntimeError locked(dao::errFileLocked, "locked"), unreadable(dao::errReadOnly, "denied"),
      notDatabase(dao::errNotADatabase, "no"), disk(3043, "Disk or network error");
  EXPECT_EQ(UnderstandOpenFailure(locked, file, true).kind, OpenFailureKind::Passing);
  EXPECT_EQ(UnderstandOpenFailure(unreadable, file, true).kind, OpenFailureKind::Passing);
  EXPECT_EQ(UnderstandOpenFailure(notDatabase, file, true).kind, OpenFailureKind::Unusable);
  EXPECT_EQ(UnderstandOpenFailure(disk, file, false).kind, OpenFailureKind::Unusable);  // no journal
  std::ofstream(file + "-journal") << "j";
  EXPECT_EQ(UnderstandOpenFailure(disk, file, true).kind, OpenFailureKind::Unusable);
  EXPECT_EQ(UnderstandOpenFailure(NotACollectionError(file), file, false).kind, OpenFailureKind::Unusable);
  for (const vb::RuntimeError* e : {&disk, &unreadable}) {
    const OpenFailure f = UnderstandOpenFailure(*e, file, false);
    EXPECT_EQ(f.kind, OpenFailureKind::NeedsFolderWrite);
    EXPECT_NE(f.what.find(file + "-journal"), std::string::npos) << f.what;
    EXPECT_NE(f.what.find("Write access to the folder\n" + Home() + "\nis needed to finish the interrupted change"),
              std::string::npos)
        << f.what;
  }
}

TEST_F(StartupTest, DefaultAnswersAloneGetPastADamagedCollection) {
  // As a run without a person answers: every box with its default.
  RunStartup();
  win::Start_Form.Get().Unload();
  {
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("Admin.sys"));
    admin->Execute("insert into avcollections (dbname, AVCollection) values ('Gone.mdb', 'New Collection')");
    admin->Close();
  }
  MakeDamaged(InHome("AV30.mdb"), Damage::RandomBytes);
  ResetGlobals();
  Start_Form& start = RunStartup();
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(AVData()->LastDB(), "New Collection 2.mdb");
  EXPECT_EQ(ListedName("New Collection 2.mdb"), "New Collection 2");
}

// The name typed for a new collection when the current one cannot be used:
// a link that points nowhere holds its name as a file would.
TEST_F(StartupTest, ANewCollectionNameTakenByALinkToNowhereIsRefused) {
  RunStartup();
  win::Start_Form.Get().Unload();
  MakeDamaged(InHome("AV30.mdb"), Damage::RandomBytes);
  std::filesystem::create_symlink(InHome("nowhere/gone.mdb"), InHome("Linked.mdb"));
  ResetGlobals();
  vb::PromptScript::Answer(vb::vbYes);
  vb::PromptScript::AnswerText("Linked");
  vb::PromptScript::AnswerText("Rescued");
  Start_Form& start = RunStartup();
  const auto& asked = vb::PromptScript::Records();
  ASSERT_EQ(asked.size(), 4u) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_EQ(asked[2].text,
            "Something named \"Linked.mdb\" is in the data folder already; it is left as it is.\n"
            "Please choose another name.");
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(Setting("CurDB"), "Rescued.mdb");
  EXPECT_EQ(ListedName("Linked.mdb"), "");
  EXPECT_EQ(ListedName("Rescued.mdb"), "Rescued");
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(InHome("Linked.mdb"))));
  EXPECT_FALSE(std::filesystem::exists(InHome("nowhere")));
}

class DamagedStartupFile : public StartupTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedStartupFile, DefaultCollectionIsLeftAndANewOneMadeCurrent) {
  RunStartup();
  win::Start_Form.Get().Unload();
  MakeDamaged(InHome("AV30.mdb"), GetParam());
  const std::string before = Content(InHome("AV30.mdb"));
  ResetGlobals();

  // A name that is taken first, then a free one.
  vb::PromptScript::Answer(vb::vbYes);
  vb::PromptScript::AnswerText("My Collection");
  vb::PromptScript::AnswerText("Rescued Records");
  Start_Form& start = RunStartup();

  const auto& asked = vb::PromptScript::Records();
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[0].text.rfind("The collection file\n" + InHome("AV30.mdb") + "\n", 0), 0u) << asked[0].text;
  EXPECT_EQ(asked[0].buttons, vb::vbYesNo + vb::vbExclamation);
  EXPECT_EQ(asked[1].kind, "inputbox");
  EXPECT_EQ(asked[1].defaultText, "New Collection");
  EXPECT_EQ(asked[2].text, "A collection named \"My Collection\" is listed already.\nPlease choose another name.");
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(Setting("CurDB"), "Rescued Records.mdb");
  EXPECT_EQ(AVData()->LastDB(), "Rescued Records.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "Rescued Records");
  EXPECT_EQ(ListedName("Rescued Records.mdb"), "Rescued Records");
  ASSERT_TRUE(App().CollectionDB && App().CollectionDB->IsOpen());
  EXPECT_EQ(std::filesystem::path(App().CollectionDB->Name()).filename(), "Rescued Records.mdb");
  EXPECT_NO_THROW(App().CollectionDB->OpenRecordset("mediadata")->Close());
  // The damaged file is as it was, and nothing was made beside it.
  EXPECT_EQ(Content(InHome("AV30.mdb")), before);
  EXPECT_FALSE(std::filesystem::exists(InHome("AV30.30")));

  // The next start opens the new collection without a question.
  win::Start_Form.Get().Unload();
  ResetGlobals();
  vb::PromptScript::Clear();
  RunStartup();
  EXPECT_TRUE(vb::PromptScript::Records().empty());
  EXPECT_EQ(AVData()->CurCollection(), "Rescued Records");
}

// A folder in the list's place is no damaged list: it has its own test.
class DamagedMasterList : public StartupTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedMasterList, IsKeptAsItWasAndMadeAnewWithTheCurrentCollections) {
  RunStartup();
  win::Start_Form.Get().Unload();
  schema::CreateCollectionFile(InHome("Jazz.mdb"));
  schema::CreateGameCollectionFile(InHome("Retro.mdb"));
  SetSetting("CurDB", "Jazz.mdb");
  SetSetting("CurDB_PL", "Retro.mdb");
  MakeDamaged(InHome("Admin.sys"), GetParam());
  const std::string before = Content(InHome("Admin.sys"));
  ResetGlobals();

  Start_Form& start = RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  const std::string& told = vb::PromptScript::Records()[0].text;
  EXPECT_EQ(told.rfind("The list of collections\n" + InHome("Admin.sys") + "\n", 0), 0u) << told;
  EXPECT_NE(told.find("It has been kept, byte for byte, as\n" + InHome("Admin.sys.damaged") + "\n"), std::string::npos)
      << told;
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(Content(InHome("Admin.sys.damaged")), before);
  EXPECT_EQ(ListedName("Jazz.mdb"), "Jazz");
  EXPECT_EQ(ListedName("av30.mdb"), "My Collection");
  EXPECT_EQ(AVData()->CurCollection(), "Jazz");
  auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("Admin.sys"));
  auto rs = admin->OpenRecordset("select plCollection from plcollections where dbname = 'Retro.mdb'");
  EXPECT_EQ(vb::NzStr(rs->GetField("plCollection")), "Retro");
  rs->Close();
  admin->Close();
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedStartupFile,
                         ::testing::Values(Damage::RandomBytes, Damage::CutShort, Damage::OtherTables,
                                           Damage::OtherProgram, Damage::Folder),
                         [](const auto& info) { return std::string(DamageName(info.param)); });
INSTANTIATE_TEST_SUITE_P(Each, DamagedMasterList,
                         ::testing::Values(Damage::RandomBytes, Damage::CutShort, Damage::OtherTables,
                                           Damage::OtherProgram),
                         [](const auto& info) { return std::string(DamageName(info.param)); });

// Files that look like ours by their table names alone: refused before
// anything is written to them, naming the table or field they lack.
TEST_F(StartupTest, ALookAlikeCollectionIsRefusedUnchangedNamingWhatItLacks) {
  RunStartup();
  win::Start_Form.Get().Unload();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"CREATE TABLE mediadata (x, y); INSERT INTO mediadata VALUES (1, 2);",
       "its table \"mediadata\" has no field \"name\""},
      {"CREATE TABLE mediadata (name TEXT, section TEXT, sectionnumber INTEGER);"
       "INSERT INTO mediadata VALUES ('Blue Train', 'LP', 5);",
       "its table \"mediadata\" has no field \"category\""},
  };
  for (const auto& [sql, lacks] : cases) {
    SCOPED_TRACE(sql);
    MakeLookAlike(InHome("AV30.mdb"), sql);
    const std::string before = Content(InHome("AV30.mdb"));
    ResetGlobals();
    vb::PromptScript::Clear();
    endings_.clear();
    vb::PromptScript::Answer(vb::vbNo);
    RunStartup();
    ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
    const auto& told = vb::PromptScript::Records()[0];
    EXPECT_EQ(told.text.rfind("The collection file\n" + InHome("AV30.mdb") +
                                  "\nis a database, but not a collection: " + lacks +
                                  ", which every collection holds.\n\nThe file is left as it is.\n\nYes: make a new, "
                                  "empty collection under a new name and go on with it.\nNo: quit Tavolin.",
                              0),
              0u)
        << told.text;
    EXPECT_EQ(told.buttons, vb::vbYesNo + vb::vbExclamation);
    EXPECT_EQ(endings_.size(), 1u);
    EXPECT_EQ(Content(InHome("AV30.mdb")), before);
    EXPECT_EQ(AskTheTool(InHome("AV30.mdb"), "pragma user_version"), std::vector<std::string>{"0"});
    win::Start_Form.Get().Unload();
  }
}

// A list of collections of an older version, without the game catalogue's
// table: converted at the start (its old file kept as "Admin.30"), its
// collections still listed, and nothing refused or told.
TEST_F(StartupTest, AnOlderListOfCollectionsWithoutTheGamesTableIsConverted) {
  RunStartup();
  win::Start_Form.Get().Unload();
  MakeLookAlike(InHome("Admin.sys"),
                "CREATE TABLE avcollections (dbname VARCHAR(255), AVCollection VARCHAR(255));"
                "CREATE INDEX \"avcollections.dbname\" ON avcollections (dbname);"
                "CREATE INDEX \"avcollections.master\" ON avcollections (AVCollection);"
                "INSERT INTO avcollections VALUES ('av30.mdb', 'My Collection');"
                "INSERT INTO avcollections VALUES ('Jazz.mdb', 'Jazz');");
  const std::string before = Content(InHome("Admin.sys"));
  ResetGlobals();
  Start_Form& start = RunStartup();
  EXPECT_TRUE(vb::PromptScript::Records().empty()) << ::testing::PrintToString(vb::PromptScript::Texts());
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_FALSE(std::filesystem::exists(InHome("Admin.sys.damaged")));
  EXPECT_EQ(Content(InHome("Admin.30")), before);
  EXPECT_EQ(ListedName("av30.mdb"), "My Collection");
  EXPECT_EQ(ListedName("Jazz.mdb"), "Jazz");
  EXPECT_EQ(AskTheTool(InHome("Admin.sys"), "select count(*) from plcollections where 0"), std::vector<std::string>{"0"});
}

// A master list with the list tables' names but not their fields: kept as
// it came, byte for byte, and made anew, the message naming what it lacks.
TEST_F(StartupTest, ALookAlikeMasterListIsKeptUnchangedNamingWhatItLacks) {
  RunStartup();
  win::Start_Form.Get().Unload();
  MakeLookAlike(InHome("Admin.sys"),
                "CREATE TABLE avcollections (dbname TEXT, x TEXT);"
                "CREATE INDEX \"avcollections.dbname\" ON avcollections (dbname);"
                "CREATE TABLE plcollections (dbname TEXT, plCollection TEXT);"
                "CREATE INDEX \"plcollections.dbname\" ON plcollections (dbname);");
  const std::string before = Content(InHome("Admin.sys"));
  ResetGlobals();
  Start_Form& start = RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
  const std::string& told = vb::PromptScript::Records()[0].text;
  EXPECT_EQ(told.rfind("The list of collections\n" + InHome("Admin.sys") +
                           "\nis a database, but not a list of collections: its table \"avcollections\" has no field "
                           "\"AVCollection\", which every list of collections holds.\n\nIt has been kept, byte for "
                           "byte, as\n" +
                           InHome("Admin.sys.damaged") + "\n",
                       0),
            0u)
      << told;
  EXPECT_EQ(Content(InHome("Admin.sys.damaged")), before);
  EXPECT_TRUE(endings_.empty());
  EXPECT_FALSE(start.Continue_but->isHidden());
  EXPECT_EQ(ListedName("av30.mdb"), "My Collection");
}

// Damaged pages of the item table under a schema that reads well: told
// as a damaged file at once, with the way on offered, the file unchanged.
class DamagedItemPages : public StartupTest, public ::testing::WithParamInterface<DamagedPage> {};

TEST_P(DamagedItemPages, AreToldBeforeTheWindowReadsThem) {
  RunStartup();
  win::Start_Form.Get().Unload();
  DamageItemPages(InHome("AV30.mdb"), GetParam());
  const std::string before = Content(InHome("AV30.mdb"));
  ResetGlobals();
  vb::PromptScript::Answer(vb::vbNo);
  RunStartup();
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
  const auto& told = vb::PromptScript::Records()[0];
  EXPECT_EQ(told.text.rfind("The collection file\n" + InHome("AV30.mdb") +
                                "\nis damaged: it cannot be read as a database.\n\nThe file is left as it is.\n\nYes: "
                                "make a new, empty collection under a new name and go on with it.\nNo: quit Tavolin.",
                            0),
            0u)
      << told.text;
  EXPECT_EQ(told.buttons, vb::vbYesNo + vb::vbExclamation);
  EXPECT_EQ(endings_.size(), 1u);
  EXPECT_EQ(Content(InHome("AV30.mdb")), before);
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedItemPages, ::testing::Values(DamagedPage::Root, DamagedPage::MiddleLeaf),
                         [](const auto& info) { return info.param == DamagedPage::Root ? "Root" : "MiddleLeaf"; });

// Damage in an index the check at opening reads (the name index, a
// list's index): told at start as a damaged file, never by an engine
// number, with the file and the setting unchanged. Damage it leaves to
// the read that meets it (a row's contents, the pages of a long note):
// the start goes on with nothing told or written, and the read that meets
// it raises the damaged file, which every window tells in words naming it.
class DamagedCollectionParts : public StartupTest, public ::testing::WithParamInterface<DamagedPart> {};

TEST_P(DamagedCollectionParts, AreToldAtStartAndNothingIsChanged) {
  RunStartup();
  win::Start_Form.Get().Unload();
  DamageCollection(InHome("AV30.mdb"), GetParam());
  const std::string before = Content(InHome("AV30.mdb"));
  const std::string setting = vb::GetSetting("TVN", "Startup", "CurDB");
  ResetGlobals();
  const bool metLater = GetParam() == DamagedPart::RowBackHalf || GetParam() == DamagedPart::NoteOverflow;
  if (!metLater) vb::PromptScript::Answer(vb::vbNo);
  Start_Form& start = RunStartup();
  if (metLater) {
    EXPECT_TRUE(vb::PromptScript::Records().empty()) << ::testing::PrintToString(vb::PromptScript::Texts());
    EXPECT_TRUE(endings_.empty());
    EXPECT_FALSE(start.Continue_but->isHidden());
    std::string told;
    try {
      App().CollectionDB->ForEachRow("select * from mediadata", [](const std::vector<dao::Variant>&) { return true; });
    } catch (const std::exception& e) {
      told = FileErrorText(e);
    }
    EXPECT_EQ(told.rfind("The collection file\n" + InHome("AV30.mdb") + "\nis damaged", 0), 0u) << told;
  } else {
    ASSERT_EQ(vb::PromptScript::Records().size(), 1u) << ::testing::PrintToString(vb::PromptScript::Texts());
    const std::string told = vb::PromptScript::Records()[0].text;
    EXPECT_EQ(told.rfind("The collection file\n" + InHome("AV30.mdb") + "\nis damaged", 0), 0u) << told;
    EXPECT_EQ(told.find("Error 3"), std::string::npos) << told;
    EXPECT_EQ(endings_.size(), 1u);
  }
  EXPECT_EQ(Content(InHome("AV30.mdb")), before);
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB"), setting);
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedCollectionParts,
                         ::testing::Values(DamagedPart::NameIndex, DamagedPart::RowBackHalf,
                                           DamagedPart::NoteOverflow, DamagedPart::ListIndex),
                         [](const auto& info) { return std::string(PartName(info.param)); });

// The walk goes a stretch at a time: the leaf of the highest key, in the
// last stretch of a file larger than one, is read too.
TEST_F(StartupTest, DamageInTheLeafOfTheHighestKeyIsFoundPastTheFirstStretch) {
  RunStartup();
  win::Start_Form.Get().Unload();
  DamageCollection(InHome("AV30.mdb"), DamagedPart::LastRowLeaf, 3000);
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("AV30.mdb"));
  int number = 0;
  try {
    ReadThrough(*db, "mediadata", 1000);
  } catch (const vb::RuntimeError& e) {
    number = e.Number();
  }
  db->Close();
  EXPECT_EQ(number, dao::errDamaged);
}

// The one error path of the windows: an engine error is never shown as a
// bare number; a file error names the file and says the typing stays.
TEST_F(StartupTest, EngineErrorsAreToldInWordsNamingTheFile) {
  vb::TellError(dao::FileError(dao::errDamaged, "engine text", "/data/Tunes.mdb"));
  vb::TellError(dao::FileError(dao::errNotUpdatable, "engine text", "/data/Tunes.mdb"));
  vb::TellError(dao::Error(3021, "No current record."));
  vb::ShowError(3167, "Record is deleted.");
  const auto texts = vb::PromptScript::Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0].rfind("The collection file\n/data/Tunes.mdb\nis damaged: it cannot be read as a database.\n\n"
                           "What you typed stays on screen.",
                           0),
            0u)
      << texts[0];
  EXPECT_EQ(texts[1].rfind("The collection file\n/data/Tunes.mdb\ncannot be written: the file or its folder is "
                           "read-only.",
                           0),
            0u)
      << texts[1];
  for (const std::string& t : texts) EXPECT_EQ(t.find("Error 3"), std::string::npos) << t;
  // A row another program removed is said so, never in the data layer's words.
  EXPECT_EQ(texts[3].find("Record is deleted"), std::string::npos) << texts[3];
  EXPECT_NE(texts[3].find("another program removed it"), std::string::npos) << texts[3];
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
