// The collection manager: creating, opening, deleting and clearing
// collections, and what it refuses to do.
#include <QApplication>
#include <QListWidget>
#include <sqlite3.h>

#include <filesystem>

#include "core/AVCollection_Form.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "core/tests/DamagedFiles.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

using tvn::AVCollection_Form;
using tvn::AVData;
using vb::PromptScript;

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "collections_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

class CollectionsTest : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    TestApp();
    DataFolderTest::SetUp();
    tvn::schema::EnsureTemplates(dir_.string());
    tvn::schema::CreateMasterListFile(Path("admin.sys"));
    tvn::schema::CreateCollectionFile(Path("av30.mdb"));
    tvn::App().AppWorkspace = &dao::DBEngine::Workspaces(0);
    AVData()->LastDB("av30.mdb");
    AVData()->CurCollection("My Collection");
    vb::SaveSetting("TVN", "Startup", "CurDB", "av30.mdb");
    form_ = std::make_unique<AVCollection_Form>();
    form_->Form_Load();
  }
  void TearDown() override {
    form_.reset();
    DataFolderTest::TearDown();
  }

  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (int i = 0; i < form_->CB_List->count(); ++i) names.push_back(form_->CB_List->item(i)->text().toStdString());
    return names;
  }
  bool IsListed(const std::string& name) const {
    for (const auto& n : Listed())
      if (n == name) return true;
    return false;
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
  long Items(const std::string& file) {
    auto db = tvntest::Open(Path(file));
    const long n = tvntest::CountRows(db, "select * from mediadata");
    db->Close();
    return n;
  }
  void AddItem(const std::string& file, const std::string& name) {
    auto db = tvntest::Open(Path(file));
    tvntest::AddRow(db, "mediadata", {{"name", name}, {"section", "LP"}, {"SectionNumber", dao::Variant::Byte(5)}});
    db->Close();
  }
  std::string Setting() { return vb::GetSetting("TVN", "Startup", "CurDB", "<none>"); }

  std::unique_ptr<AVCollection_Form> form_;
};

TEST_F(CollectionsTest, CreateOpenAndDeleteACollection) {
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});

  Create("Rock Albums");
  EXPECT_TRUE(vb::FileExists(Path("Rock Albums.mdb")));
  EXPECT_TRUE(IsListed("Rock Albums"));
  EXPECT_EQ(AVData()->LastDB(), "Rock Albums.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "Rock Albums");
  EXPECT_EQ(Setting(), "Rock Albums.mdb");
  EXPECT_EQ(Items("Rock Albums.mdb"), 0);
  EXPECT_EQ(PromptScript::Records().size(), 1u);  // the input box only

  // A listed name again: nothing happens and nothing is said.
  AddItem("Rock Albums.mdb", "kept");
  Create("Rock Albums");
  EXPECT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(Items("Rock Albums.mdb"), 1);
  EXPECT_EQ(Listed().size(), 2u);

  // Open the system collection again.
  Select("My Collection");
  form_->OpenCB_Click();
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "My Collection");
  EXPECT_EQ(Setting(), "av30.mdb");

  // Delete the new one with its file.
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();
  Select("Rock Albums");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_FALSE(IsListed("Rock Albums"));
  EXPECT_FALSE(vb::FileExists(Path("Rock Albums.mdb")));
  const auto texts = PromptScript::Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "Delete the selected collection???");
  EXPECT_EQ(texts.back(), "Do you wish to also delete the physical collection database???");
}

TEST_F(CollectionsTest, DeletingFromTheListOnlyOrNotAtAll) {
  Create("Jazz");
  Create("Blues");  // now the open collection
  Select("Jazz");
  PromptScript::Answer(vb::vbNo);  // not deleted
  form_->DeleteCB_Click();
  EXPECT_TRUE(IsListed("Jazz"));

  Select("Jazz");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbNo);  // keep the file
  form_->DeleteCB_Click();
  EXPECT_FALSE(IsListed("Jazz"));
  EXPECT_TRUE(vb::FileExists(Path("Jazz.mdb")));
}

TEST_F(CollectionsTest, SystemAndOpenCollectionAreProtected) {
  Create("Current");
  for (const std::string& name : {std::string("My Collection"), std::string("Current")}) {
    PromptScript::Clear();
    Select(name);
    form_->DeleteCB_Click();
    ASSERT_EQ(PromptScript::Records().size(), 1u) << name;
    EXPECT_EQ(PromptScript::Records()[0].text, "The system collection or open collection may not be deleted");
    EXPECT_EQ(PromptScript::Records()[0].buttons, vb::vbOKOnly);
    EXPECT_TRUE(IsListed(name));
  }
  EXPECT_TRUE(vb::FileExists(Path("av30.mdb")));
  EXPECT_TRUE(vb::FileExists(Path("Current.mdb")));

  // Without a selection the three commands do nothing.
  form_->CB_List->clearSelection();
  form_->CB_List->setCurrentItem(nullptr);
  PromptScript::Clear();
  form_->DeleteCB_Click();
  form_->OpenCB_Click();
  form_->btnClearDatabase_Click();
  EXPECT_TRUE(PromptScript::Records().empty());
  EXPECT_EQ(AVData()->LastDB(), "Current.mdb");
}

TEST_F(CollectionsTest, NamesThatCannotBeFilesAreRefusedBeforeAnythingIsCreated) {
  const auto before = tvntest::ReadBytes(Path("av32e.mdb"));
  for (const std::string& name : {std::string("a/b"), std::string("back\\slash"),
                                  std::string(".hidden"), std::string("av32e"), std::string("PL33E"),
                                  std::string("Temp")}) {
    PromptScript::Clear();
    Create(name);
    ASSERT_EQ(PromptScript::Records().size(), 2u) << name;  // input box, then the refusal
    EXPECT_NE(PromptScript::Records()[1].text.find("not created"), std::string::npos) << name;
    EXPECT_FALSE(IsListed(name)) << name;
  }
  EXPECT_EQ(Listed().size(), 1u);
  EXPECT_FALSE(vb::FileExists(Path("a/b.mdb")));
  EXPECT_FALSE(vb::FileExists(Path(".hidden.mdb")));
  EXPECT_EQ(tvntest::ReadBytes(Path("av32e.mdb")), before);
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting(), "av30.mdb");

  // Cancel (an empty answer) and an all-blank answer do nothing at all.
  PromptScript::Clear();
  Create("");
  Create("   ");
  EXPECT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(Listed().size(), 1u);
}

TEST_F(CollectionsTest, AnExistingUnlistedFileIsUsedOrReplacedAsTheUserAnswers) {
  tvn::schema::CreateCollectionFile(Path("Found.mdb"));
  AddItem("Found.mdb", "old item");

  PromptScript::AnswerText("Found");
  PromptScript::Answer(vb::vbYes);
  form_->CreateCB_Click();
  EXPECT_TRUE(IsListed("Found"));
  EXPECT_EQ(Items("Found.mdb"), 1);
  EXPECT_EQ(AVData()->LastDB(), "Found.mdb");
  EXPECT_NE(PromptScript::Texts().back().find("     No  = Delete current databse and create a new one."),
            std::string::npos);

  tvn::schema::CreateCollectionFile(Path("Stale.mdb"));
  AddItem("Stale.mdb", "stale item");
  PromptScript::AnswerText("Stale");
  PromptScript::Answer(vb::vbNo);
  form_->CreateCB_Click();
  EXPECT_TRUE(IsListed("Stale"));
  EXPECT_EQ(Items("Stale.mdb"), 0);
  EXPECT_EQ(AVData()->LastDB(), "Stale.mdb");

  // The system collection's file is never taken over by another name.
  AddItem("av30.mdb", "system item");
  PromptScript::Clear();
  Create("AV30");
  EXPECT_FALSE(IsListed("AV30"));
  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_NE(PromptScript::Records()[1].text.find("My Collection"), std::string::npos);
  EXPECT_EQ(Items("av30.mdb"), 1);
}

// A name the data folder holds as something other than a file (a link that
// points nowhere, a folder) is refused as taken, and nothing is written.
TEST_F(CollectionsTest, ANameTakenByALinkToNowhereOrAFolderIsRefusedAndNothingIsWritten) {
  std::filesystem::create_symlink(Path("nowhere/gone.mdb"), Path("Linked.mdb"));
  std::filesystem::create_directory(Path("Filed.mdb"));
  const auto list = tvntest::ReadBytes(Path("admin.sys"));
  for (const std::string& name : {std::string("Linked"), std::string("LINKED"), std::string("Filed")}) {
    PromptScript::Clear();
    Create(name);
    ASSERT_EQ(PromptScript::Records().size(), 2u) << name;
    EXPECT_EQ(PromptScript::Records()[1].text,
              "Something named \"" + name + ".mdb\" is in the data folder already; it is left as it is.\n"
              "Please choose another name; the collection was not created.");
    EXPECT_EQ(PromptScript::Records()[1].buttons, vb::vbOKOnly + vb::vbExclamation);
  }
  EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::symlink_status(Path("Linked.mdb"))));
  EXPECT_FALSE(std::filesystem::exists(Path("nowhere")));
  EXPECT_TRUE(std::filesystem::is_empty(Path("Filed.mdb")));
  EXPECT_EQ(tvntest::ReadBytes(Path("admin.sys")), list);
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting(), "av30.mdb");
}

TEST_F(CollectionsTest, ClearingDeletesTheRecordsOfTheNamedCollectionOnly) {
  Create("Videos");
  AddItem("Videos.mdb", "one");
  AddItem("Videos.mdb", "two");
  AddItem("av30.mdb", "system item");
  {
    auto db = tvntest::Open(Path("Videos.mdb"));
    tvntest::AddRow(db, "artists", {{"artist_name", "Stays"}});
    db->Close();
  }

  Select("Videos");
  PromptScript::Answer(vb::vbNo);
  form_->btnClearDatabase_Click();
  EXPECT_EQ(Items("Videos.mdb"), 2);
  EXPECT_NE(PromptScript::Texts().back().find(" of the Collection: Videos"), std::string::npos);

  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  EXPECT_EQ(Items("Videos.mdb"), 0);
  EXPECT_EQ(Items("av30.mdb"), 1);
  auto db = tvntest::Open(Path("Videos.mdb"));
  EXPECT_EQ(tvntest::CountRows(db, "select * from artists"), 1);
  db->Close();
}

TEST_F(CollectionsTest, OpeningACollectionWhoseFileIsGoneKeepsTheCurrentOne) {
  Create("Gone");
  Select("My Collection");
  form_->OpenCB_Click();
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();
  vb::Kill(Path("Gone.mdb"));
  Select("Gone");
  PromptScript::Clear();
  form_->OpenCB_Click();
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_NE(PromptScript::Records()[0].text.find("was not found"), std::string::npos);
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting(), "av30.mdb");
}

// Another program's SQLite file, listed or found under a new name, is
// checked as the start-up checks it: told in words, never made current,
// emptied or listed, and never written.
TEST_F(CollectionsTest, AFileOfAnotherProgramIsRefusedUnchangedWhateverIsAsked) {
  for (const char* file : {"Ledger.mdb", "Accounts.mdb"}) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(Path(file).c_str(), &raw), SQLITE_OK);
    sqlite3_exec(raw, "CREATE TABLE entries (name TEXT COLLATE NOCASE); CREATE INDEX entries_name ON entries (name);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  const std::string ledger = tvntest::ReadBytes(Path("Ledger.mdb"));
  const std::string accounts = tvntest::ReadBytes(Path("Accounts.mdb"));
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    admin->Execute("insert into avcollections (dbname, AVCollection) values ('Ledger.mdb', 'Ledger')");
    admin->Close();
  }
  form_->FillCollectionList();
  const std::string refused = "The collection file\n" + Path("Ledger.mdb") +
                              "\nis a database, but not a collection: it has no table \"mediadata\", which every "
                              "collection holds.\n\nThe file is left as it is and was not ";
  const std::string stays = "; the collection \"My Collection\" stays open. Choose another collection, or create a new one.";

  Select("Ledger");
  PromptScript::Clear();
  form_->OpenCB_Click();
  EXPECT_EQ(PromptScript::Texts(), std::vector<std::string>{refused + "opened" + stays});
  EXPECT_FALSE(form_->result() == QDialog::Accepted);

  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  ASSERT_EQ(PromptScript::Texts().size(), 2u);
  EXPECT_EQ(PromptScript::Texts()[1], refused + "emptied" + stays);

  // Kept under a new name: refused before it is listed.
  PromptScript::Clear();
  PromptScript::AnswerText("Accounts");
  PromptScript::Answer(vb::vbYes);
  form_->CreateCB_Click();
  ASSERT_EQ(PromptScript::Texts().size(), 3u);  // the name, whether to keep the file, why it is refused
  EXPECT_EQ(PromptScript::Texts()[2].rfind("The collection file\n" + Path("Accounts.mdb") + "\n", 0), 0u);
  EXPECT_FALSE(IsListed("Accounts"));

  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(AVData()->CurCollection(), "My Collection");
  EXPECT_EQ(Setting(), "av30.mdb");
  EXPECT_EQ(tvntest::ReadBytes(Path("Ledger.mdb")), ledger);
  EXPECT_EQ(tvntest::ReadBytes(Path("Accounts.mdb")), accounts);
}

// Files of another program that carry a collection's table names but not
// its fields: refused, naming what they lack, before anything is written.
TEST_F(CollectionsTest, ALookAlikeFileIsRefusedUnchangedOnOpenAndWhenKeptOnCreate) {
  tvn::testing::MakeLookAlike(Path("Shelf.mdb"), "CREATE TABLE mediadata (x, y); INSERT INTO mediadata VALUES (1, 2);");
  tvn::testing::MakeLookAlike(Path("Crate.mdb"),
                              "CREATE TABLE mediadata (name TEXT, section TEXT, sectionnumber INTEGER);"
                              "INSERT INTO mediadata VALUES ('Blue Train', 'LP', 5);");
  const std::string shelf = tvntest::ReadBytes(Path("Shelf.mdb"));
  const std::string crate = tvntest::ReadBytes(Path("Crate.mdb"));
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    admin->Execute("insert into avcollections (dbname, AVCollection) values ('Shelf.mdb', 'Shelf')");
    admin->Close();
  }
  form_->FillCollectionList();

  Select("Shelf");
  PromptScript::Clear();
  form_->OpenCB_Click();
  EXPECT_EQ(PromptScript::Texts(),
            std::vector<std::string>{"The collection file\n" + Path("Shelf.mdb") +
                                     "\nis a database, but not a collection: its table \"mediadata\" has no field "
                                     "\"name\", which every collection holds.\n\nThe file is left as it is and was not "
                                     "opened; the collection \"My Collection\" stays open. Choose another collection, "
                                     "or create a new one."});
  EXPECT_FALSE(form_->result() == QDialog::Accepted);

  PromptScript::Clear();
  PromptScript::AnswerText("Crate");
  PromptScript::Answer(vb::vbYes);
  form_->CreateCB_Click();
  ASSERT_EQ(PromptScript::Texts().size(), 3u);  // the name, whether to keep the file, why it is refused
  EXPECT_EQ(PromptScript::Texts()[2].rfind("The collection file\n" + Path("Crate.mdb") +
                                               "\nis a database, but not a collection: its table \"mediadata\" has "
                                               "no field \"category\", which every collection holds.",
                                           0),
            0u)
      << PromptScript::Texts()[2];
  EXPECT_FALSE(IsListed("Crate"));

  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting(), "av30.mdb");
  EXPECT_EQ(tvntest::ReadBytes(Path("Shelf.mdb")), shelf);
  EXPECT_EQ(tvntest::ReadBytes(Path("Crate.mdb")), crate);
}

// A list with the lists' table names and indexes but not their fields is
// named with what it lacks, and left as it is.
TEST_F(CollectionsTest, ALookAlikeListIsNamedWithWhatItLacksAndLeftUnchanged) {
  form_.reset();
  tvn::testing::MakeLookAlike(Path("admin.sys"),
                              "CREATE TABLE avcollections (dbname TEXT, x TEXT);"
                              "CREATE INDEX \"avcollections.master\" ON avcollections (x);"
                              "CREATE TABLE plcollections (dbname TEXT, plCollection TEXT);"
                              "CREATE INDEX \"plcollections.master\" ON plcollections (plCollection);");
  const std::string before = tvntest::ReadBytes(Path("admin.sys"));
  AVCollection_Form form;
  try {
    form.Form_Load();
    ADD_FAILURE() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "The list of collections " + Path("admin.sys") +
                                   " is a database, but not a list of collections: its table \"avcollections\" has "
                                   "no field \"AVCollection\", which every list of collections holds.");
  }
  EXPECT_EQ(tvntest::ReadBytes(Path("admin.sys")), before);
}

TEST_F(CollectionsTest, NamesWithPatternCharactersAreRefusedAndNeverExpandedOnDelete) {
  for (const char* bad : {"*", "a?b", "[x]", "c:d", "p|q", "say \"hi\"", "<x>"}) {
    PromptScript::Clear();
    Create(bad);
    ASSERT_EQ(PromptScript::Records().size(), 2u) << bad;
    EXPECT_NE(PromptScript::Records()[1].text.find("not created"), std::string::npos) << bad;
  }
  EXPECT_EQ(Listed().size(), 1u);

  // A "*" row that came into the list another way deletes only its own file.
  Create("Keep");
  Select("My Collection");
  form_->OpenCB_Click();
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    tvntest::AddRow(admin, "avcollections", {{"dbname", "*.mdb"}, {"AVCollection", "Star"}});
    admin->Close();
  }
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();
  Select("Star");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_FALSE(IsListed("Star"));
  EXPECT_TRUE(vb::FileExists(Path("Keep.mdb")));
  EXPECT_TRUE(vb::FileExists(Path("av30.mdb")));
  EXPECT_TRUE(vb::FileExists(Path("av32e.mdb")));
}

TEST_F(CollectionsTest, NamesAreTrimmedAndBlanksOrCaseDoNotMakeANewName) {
  Create("  Rock Albums  ");
  EXPECT_TRUE(IsListed("Rock Albums"));
  EXPECT_TRUE(vb::FileExists(Path("Rock Albums.mdb")));
  Create("rock  albums");
  Create("ROCKALBUMS");
  EXPECT_EQ(Listed().size(), 2u);
}

TEST_F(CollectionsTest, TheOpenCollectionsRowAndFileStayWhateverItsName) {
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    tvntest::AddRow(admin, "avcollections", {{"dbname", "AV30.mdb"}, {"AVCollection", "Alias"}});
    admin->Close();
  }
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();
  Select("Alias");
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  ASSERT_FALSE(PromptScript::Records().empty());
  EXPECT_EQ(PromptScript::Records()[0].text, "The system collection or open collection may not be deleted");
  EXPECT_TRUE(IsListed("Alias"));
  EXPECT_TRUE(vb::FileExists(Path("av30.mdb")));
}

TEST_F(CollectionsTest, AFileNameOutsideTheDataFolderIsNeverOpenedClearedOrDeleted) {
  const std::filesystem::path outside = dir_ / "sub";
  std::filesystem::create_directories(outside);
  tvn::schema::CreateCollectionFile((outside / "other.mdb").string());
  AddItem("sub/other.mdb", "outside item");
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    tvntest::AddRow(admin, "avcollections", {{"dbname", "sub/other.mdb"}, {"AVCollection", "Far"}});
    admin->Close();
  }
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();

  Select("Far");
  PromptScript::Clear();
  form_->OpenCB_Click();
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
  ASSERT_EQ(PromptScript::Records().size(), 1u);

  Select("Far");
  PromptScript::Answer(vb::vbYes);
  form_->btnClearDatabase_Click();
  Select("Far");
  PromptScript::Answer(vb::vbYes);
  PromptScript::Answer(vb::vbYes);
  form_->DeleteCB_Click();
  EXPECT_EQ(Items("sub/other.mdb"), 1);
  EXPECT_TRUE(vb::FileExists(Path("sub/other.mdb")));
}

TEST_F(CollectionsTest, AFileTheGameCatalogueListsIsRefusedBeforeTheQuestion) {
  tvn::schema::CreateCollectionFile(Path("MyGames.mdb"));
  AddItem("MyGames.mdb", "a game");
  PromptScript::Clear();
  Create("mygames");
  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_NE(PromptScript::Records()[1].text.find("not created"), std::string::npos);
  EXPECT_FALSE(IsListed("mygames"));
  EXPECT_EQ(Items("MyGames.mdb"), 1);
}

// The same manager on the game catalogue's list: its own template, list
// and setting, and the media list's files are out of its reach.
TEST_F(CollectionsTest, TheSecondConfigurationKeepsToItsOwnListTemplateAndSetting) {
  std::string last = "MyGames.mdb", current = "My Collection";
  tvn::CollectionManagerConfig games{"PLCollection_Form", "Collection Manager", "plcollections", "plCollection",
                                     "pl33e.mdb", "CurDB_PL", {"delete * from mediadata"},
                                     [&] { return last; }, [&](const std::string& v) { last = v; },
                                     [&] { return current; }, [&](const std::string& v) { current = v; }};
  // A stand-in template of its own: the game schema is not needed here.
  vb::FileCopy(Path("av32e.mdb"), Path("pl33e.mdb"));
  AddItem("pl33e.mdb", "template mark");
  form_ = std::make_unique<AVCollection_Form>(games, nullptr);
  form_->Form_Load();
  EXPECT_EQ(form_->objectName().toStdString(), "PLCollection_Form");
  EXPECT_EQ(Listed(), std::vector<std::string>{"My Collection"});

  Create("Consoles");
  EXPECT_TRUE(IsListed("Consoles"));
  EXPECT_EQ(last, "Consoles.mdb");
  EXPECT_EQ(current, "Consoles");
  EXPECT_EQ(vb::GetSetting("TVN", "Startup", "CurDB_PL", ""), "Consoles.mdb");
  EXPECT_EQ(Setting(), "av30.mdb");
  EXPECT_EQ(tvntest::ReadBytes(Path("Consoles.mdb")), tvntest::ReadBytes(Path("pl33e.mdb")));
  EXPECT_EQ(AVData()->LastDB(), "av30.mdb");

  // The media collection's file is refused before any question.
  PromptScript::Clear();
  Create("AV30");
  ASSERT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_NE(PromptScript::Records()[1].text.find("not created"), std::string::npos);
  EXPECT_FALSE(IsListed("AV30"));
}

}  // namespace

namespace {

TEST_F(CollectionsTest, AListThatCannotBeReadIsNamedAndDescribed) {
  form_.reset();
  std::filesystem::remove(Path("admin.sys"));
  std::filesystem::create_directory(Path("admin.sys"));
  AVCollection_Form form;
  try {
    form.Form_Load();
    ADD_FAILURE() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Description(), "The list of collections " + Path("admin.sys") + " is a folder, not a file.");
  }
  EXPECT_TRUE(std::filesystem::is_directory(Path("admin.sys")));
}

// A collection damaged where the check at opening reads (the name index,
// a list's index) is refused on Open as damaged, never by an engine
// number; the current collection, the setting and the file stay. Damage
// the check leaves to the read that meets it (a row's contents, a long
// note, the item table's artist index) opens here, and nothing is written
// to the file: the window's first read, or a later command, tells it.
class DamagedMediaCollection : public CollectionsTest,
                               public ::testing::WithParamInterface<tvn::testing::DamagedPart> {};

TEST_P(DamagedMediaCollection, IsRefusedOnOpenWhenTheCheckReadsTheDamage) {
  tvn::schema::CreateCollectionFile(Path("Worn.mdb"));
  tvn::testing::DamageCollection(Path("Worn.mdb"), GetParam());
  {
    auto admin = tvntest::Open(Path("admin.sys"));
    admin->Execute("insert into avcollections (dbname, AVCollection) values ('Worn.mdb', 'Worn')");
    admin->Close();
  }
  form_ = std::make_unique<AVCollection_Form>();
  form_->Form_Load();
  const std::string before = tvn::testing::Content(Path("Worn.mdb"));
  Select("Worn");
  PromptScript::Clear();
  form_->OpenCB_Click();
  const auto texts = PromptScript::Texts();
  const auto part = GetParam();
  if (part == tvn::testing::DamagedPart::OtherIndex || part == tvn::testing::DamagedPart::RowBackHalf ||
      part == tvn::testing::DamagedPart::NoteOverflow) {
    EXPECT_TRUE(texts.empty()) << ::testing::PrintToString(texts);
    EXPECT_EQ(AVData()->LastDB(), "Worn.mdb");
  } else {
    ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[0].rfind("The collection file\n" + Path("Worn.mdb") + "\nis damaged", 0), 0u) << texts[0];
    EXPECT_NE(texts[0].find("the collection \"My Collection\" stays open"), std::string::npos) << texts[0];
    EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
    EXPECT_EQ(AVData()->LastDB(), "av30.mdb");
    EXPECT_EQ(AVData()->CurCollection(), "My Collection");
    EXPECT_EQ(Setting(), "av30.mdb");
  }
  EXPECT_EQ(tvn::testing::Content(Path("Worn.mdb")), before);
}

INSTANTIATE_TEST_SUITE_P(Each, DamagedMediaCollection,
                         ::testing::Values(tvn::testing::DamagedPart::NameIndex, tvn::testing::DamagedPart::RowBackHalf,
                                           tvn::testing::DamagedPart::NoteOverflow,
                                           tvn::testing::DamagedPart::ListIndex,
                                           tvn::testing::DamagedPart::OtherIndex),
                         [](const auto& info) { return std::string(tvn::testing::PartName(info.param)); });

}  // namespace
