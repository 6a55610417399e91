// Opening a collection is all or nothing for the media window too: the
// check at opening reads the keys and the name indexes, so a damaged row
// the window shows first is met by its first read. After a switch in the
// collection manager the collection that was open comes back; at the
// window's first showing the user chooses the way on as at the start. The
// damaged file is never written, no engine number is shown, and no record
// of it stays on screen.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <sqlite3.h>

#include "catalogue/tests/MenuTestSupport.h"
#include "core/AVCollection_Form.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "core/tests/DamagedFiles.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

using cattest::MenuTest;
using vb::PromptScript;

namespace {

// A collection of 5,000 items whose long note (of "Item 2500", an LP) has
// a damaged page, with that item the only LP: the window on the LPs shows
// it, and its note, first.
std::string MakeWornCollection(const std::filesystem::path& dir) {
  const std::string file = (dir / "Worn.mdb").string();
  tvn::schema::CreateCollectionFile(file);
  tvn::testing::DamageCollection(file, tvn::testing::DamagedPart::NoteOverflow);
  sqlite3* raw = nullptr;
  sqlite3_open(file.c_str(), &raw);
  sqlite3_exec(raw, "DELETE FROM mediadata WHERE sectionnumber = 5 AND name <> 'Item 2500'", nullptr, nullptr,
               nullptr);
  sqlite3_close(raw);
  return file;
}

class FirstRead : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    AddItem(5, "Mine");
    worn = MakeWornCollection(Dir());
    before = tvn::testing::Content(worn);
    SetSetting("LG", "5");
    SetSetting("NF", "2");
  }
  void ExpectToldDamagedOnce(const std::string& startsWith) {
    const auto records = PromptScript::Records();
    ASSERT_EQ(records.size(), 1u) << ::testing::PrintToString(PromptScript::Texts());
    EXPECT_EQ(records[0].text.rfind(startsWith, 0), 0u) << records[0].text;
    EXPECT_EQ(records[0].text.find("Error 3"), std::string::npos) << records[0].text;
  }
  std::string worn;
  std::string before;
};

TEST_F(FirstRead, AfterASwitchTheCollectionThatWasOpenComesBack) {
  tvn::NewMain_Form& w = Shown(5);
  ASSERT_EQ(w.CS_Name_Text->text().toStdString(), "Mine");
  whileOpen = [] {
    tvn::AVData()->LastDB("Worn.mdb");
    tvn::AVData()->CurCollection("Worn");
    vb::SaveSetting("TVN", "Startup", "CurDB", "Worn.mdb");
  };
  PromptScript::Clear();
  w.CollectionMenu->trigger();

  ExpectToldDamagedOnce("The collection file\n" + worn + "\nis damaged");
  EXPECT_NE(PromptScript::Texts()[0].find("the collection \"My Collection\" stays open"), std::string::npos);
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(tvn::App().CollectionDB->Name().substr(tvn::App().CollectionDB->Name().rfind('/') + 1), "av30.mdb");
  EXPECT_EQ(tvn::AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(tvn::AVData()->CurCollection(), "My Collection");
  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Mine");
  EXPECT_TRUE(w.windowTitle().contains("My Collection"));
  EXPECT_FALSE(w.windowTitle().contains("Worn"));
  EXPECT_TRUE(w.List_Combo->isEnabled());
  EXPECT_EQ(tvn::testing::Content(worn), before);
}

// The collection the start opened is damaged where the window reads
// first: the way on is offered, and No opens the default collection.
TEST_F(FirstRead, AtTheFirstShowingTheUserChoosesTheWayOn) {
  tvn::App().CollectionDB->Close();
  tvn::AVData()->LastDB("Worn.mdb");
  tvn::AVData()->CurCollection("Worn");
  SetSetting("CurDB", "Worn.mdb");
  tvn::App().CollectionDB = tvn::AVCollection_Form::OpenCollection(tvn::AVCollection_Form::MediaCollections(),
                                                                   dao::DBEngine::Workspaces(0), worn);
  tvn::NewMain_Form& w = Window();
  PromptScript::Clear();
  PromptScript::Answer(vb::vbNo);
  w.Form_Activate();

  ExpectToldDamagedOnce("The collection file\n" + worn + "\nis damaged: it cannot be read as a database.\n\n"
                        "The file is left as it is.\n\nYes: make a new, empty collection under a new name and go on "
                        "with it.\nNo: open the default collection");
  EXPECT_EQ(PromptScript::Records()[0].buttons, vb::vbYesNoCancel + vb::vbExclamation);
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(tvn::AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(Setting("CurDB"), "av30.mdb");
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Mine");
  EXPECT_FALSE(w.windowTitle().contains("Worn"));
  EXPECT_EQ(tvn::testing::Content(worn), before);
}

// Going on without a collection: nothing of the damaged file on screen,
// nothing reads through it, the manager stays reachable.
TEST_F(FirstRead, GivingUpAtTheFirstShowingLeavesTheWindowWithoutACollection) {
  tvn::App().CollectionDB->Close();
  tvn::AVData()->LastDB("Worn.mdb");
  SetSetting("CurDB", "Worn.mdb");
  tvn::App().CollectionDB = tvn::AVCollection_Form::OpenCollection(tvn::AVCollection_Form::MediaCollections(),
                                                                   dao::DBEngine::Workspaces(0), worn);
  tvn::NewMain_Form& w = Window();
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  w.Form_Activate();

  ExpectToldDamagedOnce("The collection file\n" + worn + "\nis damaged");
  EXPECT_TRUE(!tvn::App().CollectionDB || !tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "");
  EXPECT_EQ(w.windowTitle().toStdString(), "Tavolin");
  EXPECT_FALSE(w.List_Combo->isEnabled());
  EXPECT_TRUE(w.CollectionMenu->isEnabled());
  EXPECT_EQ(Setting("CurDB"), "Worn.mdb");
  EXPECT_EQ(tvn::testing::Content(worn), before);
}

}  // namespace
