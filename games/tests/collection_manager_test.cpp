// The game collection manager on real files: create, open, empty and
// delete, and the files of the media catalogue and of the program, which it
// never makes, empties or deletes whatever name is typed.
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/tests/DamagedFiles.h"
#include "games/PLCollection_Form.h"
#include "games/tests/CollectionFixture.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

class GameManagerTest : public GameCollectionTest {
 protected:
  void SetUp() override {
    GameCollectionTest::SetUp();
    tvn::schema::CreateCollectionFile(InHome("av30.mdb"));
    // The game window has closed its collection while the manager runs.
    PL().GameDB->Close();
    PL().GameDB.reset();
    form_ = std::make_unique<PLCollection_Form>();
    form_->Form_Load();
  }
  void TearDown() override {
    form_.reset();
    GameCollectionTest::TearDown();
  }

  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (int i = 0; i < form_->CB_List->count(); ++i) names.push_back(form_->CB_List->item(i)->text().toStdString());
    return names;
  }
  void Select(const std::string& name) {
    const auto items = form_->CB_List->findItems(QString::fromStdString(name), Qt::MatchExactly);
    ASSERT_FALSE(items.isEmpty()) << name;
    form_->CB_List->setCurrentItem(items.first());
    items.first()->setSelected(true);
  }
  void Create(const std::string& name) {
    PromptScript::AnswerText(name);
    form_->CreateCB_Click();
  }
  // Games and link rows of a collection file.
  long InFile(const std::string& file, const std::string& table) {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome(file));
    auto rs = db->OpenRecordset("select count(*) as n from " + table);
    const long n = long(vb::CDbl(rs->GetField("n")));
    rs->Close();
    db->Close();
    return n;
  }
  void PutGame(const std::string& file, const std::string& name) {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome(file));
    db->Execute("insert into mediadata (name, sectionnumber) values (" + dao::SqlQuote(name) + ", 3)");
    db->Execute("insert into systypemedia (systemnumber, systypeid) select systemnumber, 1 from mediadata");
    db->Execute("insert into supportsmedia (systemnumber, supports) select systemnumber, 1 from mediadata");
    db->Execute("insert into genre (category) values ('Puzzle')");
    db->Close();
  }
  void ListRow(const std::string& name, const std::string& dbname) {
    auto admin = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("admin.sys"));
    admin->Execute("insert into plcollections (dbname, plCollection) values (" + dao::SqlQuote(dbname) + ", " +
                   dao::SqlQuote(name) + ")");
    admin->Close();
    form_->FillCollectionList();
  }
  std::string LastText() { return PromptScript::Records().empty() ? "" : PromptScript::Records().back().text; }

  std::unique_ptr<PLCollection_Form> form_;
};

TEST_F(GameManagerTest, WindowListsTheGameCollectionsUnderItsCaption) {
  form_->show();
  EXPECT_EQ(form_->windowTitle().toStdString(), "The Pellion - Collection Utility");
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});
  EXPECT_EQ(form_->CreateCB->text().toStdString(), "Create a New Collection");
  EXPECT_EQ(form_->OpenCB->text().toStdString(), "Open Selected Collection");
  EXPECT_EQ(form_->DeleteCB->text().toStdString(), "Delete Selected Collection");
  EXPECT_EQ(form_->btnClearDatabase->text().toStdString(), "Delete ALL records from Selected Collection");
  EXPECT_EQ(form_->ExitCB->text().toStdString(), "Close Collection Utility");
  EXPECT_LT(form_->CB_List->geometry().bottom(), form_->CreateCB->geometry().top());
  // With nothing selected, Open, Delete and Empty do nothing.
  form_->OpenCB_Click();
  form_->DeleteCB_Click();
  form_->btnClearDatabase_Click();
  EXPECT_TRUE(PromptScript::Records().empty());
}

TEST_F(GameManagerTest, CreateMakesTheFileFromTheTemplateAndOpenMakesItCurrent) {
  Create("Retro");
  EXPECT_EQ(PromptScript::Records().front().text,
            "Enter a name for the new Collection\n\nNOTE: DO NOT USE ANY SPECIAL CHARACTERS!!");
  EXPECT_TRUE(HasEntry("Retro.mdb"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"My Collection", "Retro"}));
  EXPECT_EQ(PLData().LastDB, "Retro.mdb");
  EXPECT_EQ(PLData().CurCollection, "Retro");
  EXPECT_EQ(Setting("CurDB_PL"), "Retro.mdb");
  EXPECT_EQ(Setting("CurDB"), "<none>");
  EXPECT_EQ(InFile("Retro.mdb", "sections"), 6);

  // A listed name is not made again and nothing is said.
  PutGame("Retro.mdb", "Kept");
  PromptScript::Clear();
  Create("retro");
  EXPECT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(InFile("Retro.mdb", "mediadata"), 1);

  // Open the system collection again.
  Select("My Collection");
  form_->OpenCB_Click();
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(PLData().CurCollection, "My Collection");
  EXPECT_EQ(Setting("CurDB_PL"), "MyGames.mdb");
}

TEST_F(GameManagerTest, AnUnlistedFileOfTheNameIsKeptOrReplacedAsTheUserSays) {
  vb::FileCopy(InHome("pl33e.mdb"), InHome("RETRO.MDB"));
  PutGame("RETRO.MDB", "Old game");
  PromptScript::AnswerText("Retro");
  PromptScript::Answer(vb::vbYes);
  form_->CreateCB_Click();
  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(PromptScript::Records()[1].text,
            "The system found a database using this collection name.\nDo you wish to use this database???\n"
            "     Yes = Use existing database\n     No  = Delete current databse and create a new one.");
  EXPECT_EQ(InFile("RETRO.MDB", "mediadata"), 1);

  vb::FileCopy(InHome("RETRO.MDB"), InHome("Arcade.mdb"));
  PromptScript::AnswerText("Arcade");
  PromptScript::Answer(vb::vbNo);
  form_->CreateCB_Click();
  EXPECT_EQ(InFile("Arcade.mdb", "mediadata"), 0);
  EXPECT_EQ(InFile("Arcade.mdb", "genre"), 0);
}

TEST_F(GameManagerTest, NamesOfOtherFilesOrWithPatternCharactersAreRefusedBeforeAnythingIsMade) {
  PutGame("MyGames.mdb", "Mine");
  const auto before = EntryNames();
  const std::vector<std::string> refused = {"av30", "AV30", "pl33e", "Temp", "MyGames", "*", "Ret?o", "[ab]", "a/b"};
  for (const std::string& name : refused) {
    SCOPED_TRACE(name);
    PromptScript::Clear();
    Create(name);
    ASSERT_EQ(PromptScript::Records().size(), 2u);  // the input box and the refusal
    EXPECT_NE(PromptScript::Records()[1].text.find("not created"), std::string::npos);
  }
  auto after = EntryNames();
  std::sort(after.begin(), after.end());
  auto expected = before;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(after, expected);
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});
  EXPECT_EQ(InFile("MyGames.mdb", "mediadata"), 1);
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");

  // Apostrophes and per cent signs are ordinary characters of a name.
  Create("Tom's 100% Games");
  EXPECT_TRUE(HasEntry("Tom's 100% Games.mdb"));
  Select("Tom's 100% Games");
  form_->OpenCB_Click();
  EXPECT_EQ(PLData().LastDB, "Tom's 100% Games.mdb");
}

// A link that points nowhere takes its name as much as a file does: the
// name is refused and nothing is written, so no later start looks for it.
TEST_F(GameManagerTest, ANameTakenByALinkToNowhereIsRefusedAndNothingIsWritten) {
  std::filesystem::create_symlink(InHome("nowhere/gone.mdb"), InHome("Linked.mdb"));
  const std::string list = tvn::testing::Content(InHome("admin.sys"));
  const auto before = EntryNames();
  Create("Linked");
  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(PromptScript::Records()[1].text,
            "Something named \"Linked.mdb\" is in the data folder already; it is left as it is.\n"
            "Please choose another name; the collection was not created.");
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(InHome("Linked.mdb"))));
  EXPECT_FALSE(std::filesystem::exists(InHome("nowhere")));
  EXPECT_EQ(EntryNames(), before);
  EXPECT_EQ(tvn::testing::Content(InHome("admin.sys")), list);
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(Setting("CurDB_PL"), "<none>");
}

TEST_F(GameManagerTest, DeleteKeepsTheSystemTheOpenAndSharedCollectionsAndTheirFiles) {
  Create("Retro");
  Create("Arcade");  // now the open collection
  Select("My Collection");
  form_->DeleteCB_Click();
  EXPECT_EQ(LastText(), "The system collection or open collection may not be deleted");
  Select("Arcade");
  form_->DeleteCB_Click();
  EXPECT_EQ(LastText(), "The system collection or open collection may not be deleted");

  // Yes, then No: the entry goes, the file stays.
  Select("Retro");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbNo);
  form_->DeleteCB_Click();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Arcade", "My Collection"}));
  EXPECT_TRUE(HasEntry("Retro.mdb"));

  // Another entry on the open collection's file is the open collection.
  ListRow("Arcade copy", "arcade.MDB");
  Select("Arcade copy");
  form_->DeleteCB_Click();
  EXPECT_EQ(LastText(), "The system collection or open collection may not be deleted");
  // A second entry on a file: deleting it keeps the file the other uses.
  ListRow("Old", "Retro.mdb");
  ListRow("Retro copy", "retro.MDB");
  Select("Retro copy");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_TRUE(HasEntry("Retro.mdb"));
  EXPECT_NE(LastText().find("was kept"), std::string::npos);
  // An entry on the media collection's file never deletes it.
  ListRow("Sneaky", "av30.mdb");
  Select("Sneaky");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_TRUE(HasEntry("av30.mdb"));
  // The last entry of a file takes it along.
  Select("Old");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_FALSE(HasEntry("Retro.mdb"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Arcade", "Arcade copy", "My Collection"}));
}

TEST_F(GameManagerTest, EmptyRemovesTheGamesAndTheirLinksOfTheNamedCollectionOnly) {
  PutGame("MyGames.mdb", "Mine");
  Select("My Collection");
  PromptScript::Answer(vb::vbNo);
  form_->btnClearDatabase_Click();
  EXPECT_EQ(LastText(), "WARNING!!!!\nThis will delete all records from all sections\n of the Collection: My "
                        "Collection\nDo you wish to continue????");
  EXPECT_EQ(InFile("MyGames.mdb", "mediadata"), 1);

  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  EXPECT_EQ(InFile("MyGames.mdb", "mediadata"), 0);
  EXPECT_EQ(InFile("MyGames.mdb", "systypemedia"), 0);
  EXPECT_EQ(InFile("MyGames.mdb", "supportsmedia"), 0);
  EXPECT_EQ(InFile("MyGames.mdb", "genre"), 1);  // the lookup lists stay

  // A missing file: a clear message and nothing made.
  ListRow("Gone", "Gone.mdb");
  Select("Gone");
  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  EXPECT_NE(LastText().find("was not found"), std::string::npos);
  EXPECT_FALSE(HasEntry("Gone.mdb"));
  // And the same on open: the current collection stays.
  form_->OpenCB_Click();
  EXPECT_NE(LastText().find("was not found"), std::string::npos);
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");

  // An entry on the media collection's file neither empties nor opens it.
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("av30.mdb"));
    db->Execute("insert into mediadata (name, section, sectionnumber) values ('Abbey Road', 'LP', 5)");
    db->Close();
  }
  ListRow("Sneaky", "AV30.mdb");
  Select("Sneaky");
  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  EXPECT_NE(LastText().find("belongs to the collection"), std::string::npos);
  EXPECT_EQ(InFile("av30.mdb", "mediadata"), 1);
  form_->OpenCB_Click();
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
}

TEST_F(GameManagerTest, TheWindowsCollectionIsClosedWhileTheManagerRunsAndLastDBOpenedAfter) {
  Create("Retro");
  Select("My Collection");
  form_->OpenCB_Click();
  form_.reset();
  PL().GameDB = PL().Workspace->OpenDatabase(InHome("MyGames.mdb"));

  bool closedWhileShown = false;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<PLCollection_Form*>(QApplication::activeModalWidget());
    if (!shown) return;
    closedWhileShown = !PL().GameDB;
    const auto items = shown->CB_List->findItems("Retro", Qt::MatchExactly);
    if (items.isEmpty()) return;
    shown->CB_List->setCurrentItem(items.first());
    items.first()->setSelected(true);
    shown->OpenCB_Click();
  });
  ShowGameCollectionManager(nullptr);
  EXPECT_TRUE(closedWhileShown);
  ASSERT_TRUE(PL().GameDB);
  EXPECT_EQ(PLData().LastDB, "Retro.mdb");
  EXPECT_EQ(Count("sections"), 6);
  Db().Execute("insert into mediadata (name, sectionnumber) values ('New', 1)");
  PL().GameDB->Close();
  PL().GameDB.reset();
  EXPECT_EQ(InFile("Retro.mdb", "mediadata"), 1);
}

// The collection made current turns unusable before it is opened again
// (overwritten by another program): told once, naming the file, and no
// collection is opened, so the window reads nothing through one.
TEST_F(GameManagerTest, ACurrentCollectionThatFailsAgainIsToldAndLeftClosed) {
  Create("Retro");
  form_.reset();
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<PLCollection_Form*>(QApplication::activeModalWidget());
    if (!shown) return;
    std::ofstream(InHome("Retro.mdb"), std::ios::trunc) << "overwritten by another program";
    shown->ExitCB_Click();
  });
  PromptScript::Clear();
  EXPECT_FALSE(ShowGameCollectionManager(nullptr));
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(PromptScript::Records()[0].text.rfind("The game collection file\n" + InHome("Retro.mdb") + "\n", 0), 0u)
      << PromptScript::Records()[0].text;
  EXPECT_FALSE(PL().GameDB);
  EXPECT_EQ(PLData().LastDB, "Retro.mdb");
}

// Listed files that are no game collection (another program's, one that
// lost a table the window reads) are refused when chosen; the collection
// that was open stays, and no file is written.
TEST_F(GameManagerTest, ChosenFilesThatAreNoGameCollectionAreRefusedAndTheOpenOneStays) {
  tvn::testing::MakeDamaged(InHome("Ledger.mdb"), tvn::testing::Damage::OtherProgram);
  tvn::schema::CreateGameCollectionFile(InHome("Broken.mdb"));
  {
    auto db = dao::DBEngine::Workspaces(0).OpenDatabase(InHome("Broken.mdb"));
    db->DeleteTableDef("systype");
    db->Close();
  }
  ListRow("Ledger", "Ledger.mdb");
  ListRow("Broken", "Broken.mdb");
  const std::string ledger = tvn::testing::Content(InHome("Ledger.mdb"));
  const std::string broken = tvn::testing::Content(InHome("Broken.mdb"));
  form_.reset();
  PL().GameDB = PL().Workspace->OpenDatabase(InHome("MyGames.mdb"));
  vb::SaveSetting("TVN", "Startup", "CurDB_PL", "MyGames.mdb");
  bool stillShown = false;
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<PLCollection_Form*>(QApplication::activeModalWidget());
    if (!shown) return;
    for (const char* name : {"Ledger", "Broken"}) {
      const auto items = shown->CB_List->findItems(name, Qt::MatchExactly);
      if (items.isEmpty()) return;
      shown->CB_List->setCurrentItem(items.first());
      items.first()->setSelected(true);
      shown->OpenCB_Click();
    }
    stillShown = shown->isVisible();
    shown->ExitCB_Click();
  });
  PromptScript::Clear();
  EXPECT_TRUE(ShowGameCollectionManager(nullptr));
  EXPECT_TRUE(stillShown);
  const auto texts = PromptScript::Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].rfind("The game collection file\n" + InHome("Ledger.mdb") +
                               "\nis a database, but not a game collection: it has no table \"mediadata\"",
                           0),
            0u)
      << texts[0];
  EXPECT_EQ(texts[1].rfind("The game collection file\n" + InHome("Broken.mdb") +
                               "\nis a database, but not a game collection: it has no table \"systype\"",
                           0),
            0u)
      << texts[1];
  EXPECT_NE(texts[1].find("the collection \"My Collection\" stays open"), std::string::npos) << texts[1];
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(PLData().CurCollection, "My Collection");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB_PL", ""), "MyGames.mdb");
  EXPECT_EQ(tvn::testing::Content(InHome("Ledger.mdb")), ledger);
  EXPECT_EQ(tvn::testing::Content(InHome("Broken.mdb")), broken);
}

// A game collection damaged in its name index, in a row's contents, in
// the pages of a long note or in a link table's index: Open refuses what
// the check reads, the first read (here every game whole) meets the rest,
// and either way it is told once as damaged, never with an engine number;
// the open collection, the setting and the file stay.
class DamagedGameCollection : public GameManagerTest,
                              public ::testing::WithParamInterface<tvn::testing::DamagedPart> {};

TEST_P(DamagedGameCollection, IsRefusedOnOpenAndTheOpenOneStays) {
  tvn::schema::CreateGameCollectionFile(InHome("Worn.mdb"));
  tvn::testing::DamageCollection(InHome("Worn.mdb"), GetParam());
  ListRow("Worn", "Worn.mdb");
  const std::string before = tvn::testing::Content(InHome("Worn.mdb"));
  form_.reset();
  PL().GameDB = PL().Workspace->OpenDatabase(InHome("MyGames.mdb"));
  vb::SaveSetting("TVN", "Startup", "CurDB_PL", "MyGames.mdb");
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<PLCollection_Form*>(QApplication::activeModalWidget());
    if (!shown) return;
    const auto items = shown->CB_List->findItems("Worn", Qt::MatchExactly);
    if (!items.isEmpty()) {
      shown->CB_List->setCurrentItem(items.first());
      items.first()->setSelected(true);
      shown->OpenCB_Click();
    }
    shown->ExitCB_Click();
  });
  PromptScript::Clear();
  auto readEveryGame = [] {
    PL().GameDB->ForEachRow("select * from mediadata", [](const std::vector<dao::Variant>&) { return true; });
  };
  EXPECT_TRUE(ShowGameCollectionManager(nullptr, readEveryGame));
  EXPECT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  const auto texts = PromptScript::Texts();
  ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
  EXPECT_EQ(texts[0].rfind("The game collection file\n" + InHome("Worn.mdb") + "\nis damaged", 0), 0u) << texts[0];
  EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB_PL", ""), "MyGames.mdb");
  EXPECT_EQ(tvn::testing::Content(InHome("Worn.mdb")), before);
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedGameCollection,
                         ::testing::Values(tvn::testing::DamagedPart::NameIndex, tvn::testing::DamagedPart::RowBackHalf,
                                           tvn::testing::DamagedPart::NoteOverflow,
                                           tvn::testing::DamagedPart::ListIndex),
                         [](const auto& info) { return std::string(tvn::testing::PartName(info.param)); });

// Files carrying a game collection's table names, not its fields: refused
// on Open and when kept on Create, naming the field, their bytes unchanged.
// Opening is all or nothing: when the window's first read of the chosen
// collection meets damage the check at opening did not read, the user is
// told in words naming the file, and the collection that was open is
// opened and read again, under its name and in "CurDB_PL"; the file is
// left as it is.
TEST_F(GameManagerTest, AFirstReadThatFailsBringsBackTheCollectionThatWasOpen) {
  tvn::schema::CreateGameCollectionFile(InHome("Worn.mdb"));
  ListRow("Worn", "Worn.mdb");
  const std::string before = tvn::testing::Content(InHome("Worn.mdb"));
  form_.reset();
  PL().GameDB = PL().Workspace->OpenDatabase(InHome("MyGames.mdb"));
  vb::SaveSetting("TVN", "Startup", "CurDB_PL", "MyGames.mdb");
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<PLCollection_Form*>(QApplication::activeModalWidget());
    if (!shown) return;
    const auto items = shown->CB_List->findItems("Worn", Qt::MatchExactly);
    if (!items.isEmpty()) {
      shown->CB_List->setCurrentItem(items.first());
      items.first()->setSelected(true);
      shown->OpenCB_Click();
    }
  });
  std::vector<std::string> read;  // the collections the window read
  auto firstRead = [&] {
    const std::string name = PL().GameDB->Name();
    read.push_back(name.substr(name.rfind('/') + 1));
    if (read.back() == "Worn.mdb")
      throw dao::FileError(dao::errDamaged, "database disk image is malformed", InHome("Worn.mdb"));
  };
  PromptScript::Clear();
  EXPECT_TRUE(ShowGameCollectionManager(nullptr, firstRead));
  EXPECT_EQ(read, (std::vector<std::string>{"Worn.mdb", "MyGames.mdb"}));
  const auto texts = PromptScript::Texts();
  ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
  EXPECT_EQ(texts[0].rfind("The game collection file\n" + InHome("Worn.mdb") + "\nis damaged", 0), 0u) << texts[0];
  EXPECT_NE(texts[0].find("stays open"), std::string::npos) << texts[0];
  EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
  EXPECT_EQ(PLData().LastDB, "MyGames.mdb");
  EXPECT_EQ(PLData().CurCollection, "My Collection");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB_PL", ""), "MyGames.mdb");
  ASSERT_TRUE(PL().GameDB && PL().GameDB->IsOpen());
  EXPECT_EQ(PL().GameDB->Name(), InHome("MyGames.mdb"));
  EXPECT_EQ(tvn::testing::Content(InHome("Worn.mdb")), before);
}

TEST_F(GameManagerTest, ALookAlikeFileIsRefusedUnchangedOnOpenAndWhenKeptOnCreate) {
  std::string sql;
  for (const dao::TableDef& t : tvn::schema::GameCollectionTables()) sql += "CREATE TABLE " + t.Name + " (x);";
  tvn::testing::MakeLookAlike(InHome("Shelf.mdb"), sql);
  tvn::testing::MakeLookAlike(InHome("Crate.mdb"), sql + "DROP TABLE mediadata;"
                                                         "CREATE TABLE mediadata (name TEXT, section TEXT, sectionnumber);");
  const std::string shelf = tvn::testing::Content(InHome("Shelf.mdb"));
  const std::string crate = tvn::testing::Content(InHome("Crate.mdb"));
  ListRow("Shelf", "Shelf.mdb");
  const std::string lastDB = PLData().LastDB;

  Select("Shelf");
  PromptScript::Clear();
  form_->OpenCB_Click();
  ASSERT_EQ(PromptScript::Texts().size(), 1u);
  EXPECT_EQ(PromptScript::Texts()[0].rfind("The game collection file\n" + InHome("Shelf.mdb") +
                                               "\nis a database, but not a game collection: its table \"mediadata\" "
                                               "has no field \"systemnumber\", which every game collection holds.",
                                           0),
            0u)
      << PromptScript::Texts()[0];

  PromptScript::Clear();
  PromptScript::AnswerText("Crate");
  PromptScript::Answer(vb::vbYes);
  form_->CreateCB_Click();
  ASSERT_EQ(PromptScript::Texts().size(), 3u);  // the name, whether to keep the file, why it is refused
  EXPECT_EQ(PromptScript::Texts()[2].rfind("The game collection file\n" + InHome("Crate.mdb") +
                                               "\nis a database, but not a game collection: its table \"mediadata\" "
                                               "has no field \"systemnumber\"",
                                           0),
            0u)
      << PromptScript::Texts()[2];
  const auto listed = Listed();
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "Crate"), 0);
  EXPECT_EQ(PLData().LastDB, lastDB);
  EXPECT_EQ(tvn::testing::Content(InHome("Shelf.mdb")), shelf);
  EXPECT_EQ(tvn::testing::Content(InHome("Crate.mdb")), crate);
}

// A list whose game table lacks its display-name field is named so when
// the manager opens, and left as it is.
TEST_F(GameManagerTest, ALookAlikeListIsNamedWithWhatItLacksAndLeftUnchanged) {
  form_.reset();
  tvn::testing::MakeLookAlike(InHome("admin.sys"),
                              "CREATE TABLE avcollections (dbname TEXT, AVCollection TEXT);"
                              "CREATE INDEX \"avcollections.master\" ON avcollections (AVCollection);"
                              "CREATE TABLE plcollections (dbname TEXT, x TEXT);"
                              "CREATE INDEX \"plcollections.master\" ON plcollections (x);");
  const std::string before = tvn::testing::Content(InHome("admin.sys"));
  PLCollection_Form form;
  try {
    form.Form_Load();
    ADD_FAILURE() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "The list of collections " + InHome("admin.sys") +
                                   " is a database, but not a list of collections: its table \"plcollections\" has "
                                   "no field \"plCollection\", which every list of collections holds.");
  }
  EXPECT_EQ(tvn::testing::Content(InHome("admin.sys")), before);
}

}  // namespace
}  // namespace pl::testing
