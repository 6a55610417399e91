// Filing records: unique names per section, the field rules, the lookup
// rows the record names, text that holds quotes and wildcards, and a save
// that fails half-way.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AddTitleForm.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "core/tests/OtherProgram.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::NewMain_Form;

using cattest::Names;

namespace {

std::string S(const vb::Variant& v) { return vb::NzStr(v); }
std::string T(const QWidget* w) { return NewMain_Form::TextOf(w); }
void Set(QWidget* w, const std::string& text) { NewMain_Form::SetTextOf(w, text); }

vb::Variant Field(int section, const std::string& name, const std::string& field) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select * from mediadata where sectionnumber = " +
                                                   std::to_string(section) + " and name = " + dao::SqlQuote(name));
  EXPECT_FALSE(rs->Eof()) << name;
  vb::Variant v = rs->Eof() ? vb::Variant() : rs->GetField(field);
  rs->Close();
  return v;
}

// Rows of a lookup table: name and the value of one flag column.
std::map<std::string, bool> Lookup(const std::string& table, const std::string& nameColumn, const std::string& flag) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select * from " + table);
  std::map<std::string, bool> out;
  while (!rs->Eof()) {
    const vb::Variant v = rs->GetField(flag);
    out[vb::NzStr(rs->GetField(nameColumn))] = !v.isNull() && vb::CBool(v);
    rs->MoveNext();
  }
  rs->Close();
  return out;
}

long Count(const std::string& table) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select count(*) as n from " + table);
  const long n = vb::CLng(rs->GetField("n"));
  rs->Close();
  return n;
}

// Adds a record through the editor: Add, the name, what else, File.
void AddThroughEditor(NewMain_Form& w, QLineEdit* nameBox, const std::string& name,
                      const std::function<void()>& more = {}) {
  w.Toolbar1_ButtonClick(1);
  nameBox->setText(QString::fromStdString(name));
  if (more) more();
  w.Toolbar1_ButtonClick(3);
}

}  // namespace

TEST_F(CatalogueTest, RepeatedNamesAreNumberedWithinTheirSectionOnly) {
  auto& w = WindowOn(2);
  AddThroughEditor(w, w.CS_Name_Text, "Abbey Road");
  AddThroughEditor(w, w.CS_Name_Text, "Abbey Road");
  AddThroughEditor(w, w.CS_Name_Text, "  Abbey Road  ");
  // Letter case does not make a name another one.
  AddThroughEditor(w, w.CS_Name_Text, "abbey road");
  EXPECT_EQ(Names(2), (std::vector<std::string>{"Abbey Road", "Abbey Road- 2", "Abbey Road- 3", "abbey road- 4"}));
  EXPECT_EQ(T(w.CS_Name_Text), "abbey road- 4");  // the stored record is shown
  EXPECT_EQ(T(w.List_Combo), "abbey road- 4");
  EXPECT_FALSE(w.AddingRecord);
  EXPECT_EQ(S(Field(2, "Abbey Road- 2", "section")), "Compact Disc");
  EXPECT_TRUE(vb::PromptScript::Texts().empty());  // no message on the way

  w.ItemClickProcess(1);
  AddThroughEditor(w, w.CS_Name_Text, "Abbey Road");
  EXPECT_EQ(Names(1), std::vector<std::string>{"Abbey Road"});
  EXPECT_EQ(S(Field(1, "Abbey Road", "section")), "Cassette");
  EXPECT_EQ(vb::CLng(Field(1, "Abbey Road", "SectionNumber")), 1);
}

TEST_F(CatalogueTest, EditsKeepTheNameUnlessItIsRenamedOntoAnother) {
  AddItem(5, "Blue");
  AddItem(5, "Kind of Blue");
  auto& w = WindowOn(5);
  w.CS_Load_Data("Blue");
  w.CD_Notes_Text->setPlainText("Only the notes change");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(5), (std::vector<std::string>{"Blue", "Kind of Blue"}));
  EXPECT_EQ(S(Field(5, "Blue", "notes")), "Only the notes change");

  w.CS_Name_Text->setText("Blue Train");  // a free name
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(5), (std::vector<std::string>{"Blue Train", "Kind of Blue"}));

  w.CS_Name_Text->setText("BLUE TRAIN");  // its own name in other letters
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(5), (std::vector<std::string>{"BLUE TRAIN", "Kind of Blue"}));

  w.CS_Name_Text->setText("Kind of Blue");  // another record's name
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(5), (std::vector<std::string>{"Kind of Blue", "Kind of Blue- 2"}));
  EXPECT_EQ(T(w.CS_Name_Text), "Kind of Blue- 2");
}

TEST_F(CatalogueTest, LongNamesAreCutAndTheirSuffixAlwaysFits) {
  auto& w = WindowOn(3);
  auto add = [&w](const std::string& name) {
    w.Toolbar1_ButtonClick(1);
    w.Video_Name_Text->setMaxLength(100);  // as if pasted past the box's limit
    w.Video_Name_Text->setText(QString::fromStdString(name));
    w.Toolbar1_ButtonClick(3);
  };
  const std::string sixty = std::string(30, 'x') + std::string(30, 'y');
  add("   " + sixty + "  ");
  const std::string first48 = sixty.substr(0, 48);
  ASSERT_EQ(Names(3), std::vector<std::string>{first48});
  // The same name again: the base gives way to the suffix.
  for (int i = 0; i < 9; ++i) add(sixty);
  const std::vector<std::string> names = Names(3);
  ASSERT_EQ(names.size(), 10u);
  EXPECT_NE(std::find(names.begin(), names.end(), sixty.substr(0, 47) + "- 2"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), sixty.substr(0, 46) + "- 10"), names.end());
  for (const auto& n : names) EXPECT_LE(n.size(), 50u) << n;
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, ALongNumberedNameSurvivesAnEditThatLeavesItAlone) {
  // The name box holds 48 characters; a numbered name can be 50 long.
  const std::string base(48, 'z');
  const std::string numbered = base.substr(0, 47) + "- 2";
  auto& w = WindowOn(3);
  AddThroughEditor(w, w.Video_Name_Text, base);
  AddThroughEditor(w, w.Video_Name_Text, base);
  ASSERT_EQ(Names(3), (std::vector<std::string>{numbered, base}));

  w.CS_Load_Data(numbered);
  EXPECT_EQ(T(w.Video_Name_Text), numbered);  // the whole name, its number too
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), numbered);
  w.CD_Notes_Text->setPlainText("Only the notes change");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(3), (std::vector<std::string>{numbered, base}));
  EXPECT_EQ(S(Field(3, numbered, "notes")), "Only the notes change");

  // Renamed on purpose, it takes the new name.
  w.Video_Name_Text->setText("Short");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(3), (std::vector<std::string>{"Short", base}));
}

TEST_F(CatalogueTest, YearDateAndNumberRules) {
  AddItem(3, "Alien", {{"RYear", vb::DateSerial(1980, 1, 1)}, {"sides", vb::Variant(1.0)},
                       {"date_aquired", vb::DateSerial(2000, 5, 6)}});
  auto& w = WindowOn(3);
  w.Video_RYear_Text->setText("79");      // no date: the stored year stays
  w.Video_Date_Text->setText("");         // an empty date box stores Null
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::Year(Field(3, "Alien", "RYear")), 1980);
  EXPECT_EQ(vb::CDbl(Field(3, "Alien", "sides")), 1.0);
  EXPECT_TRUE(Field(3, "Alien", "date_aquired").isNull());

  w.Video_RYear_Text->setText("1979");
  w.Video_Sides_Combo->setEditText("2");
  w.Video_Date_Text->setText("12/31/1999");
  w.Video_Rating_Combo->setEditText("PG13X");  // cut to its column
  w.Toolbar1_ButtonClick(3);
  const vb::Variant year = Field(3, "Alien", "RYear");
  EXPECT_EQ(vb::Year(year), 1979);
  EXPECT_EQ(vb::Month(year), 1);
  EXPECT_EQ(vb::Day(year), 1);
  EXPECT_EQ(vb::CDbl(Field(3, "Alien", "sides")), 2.0);
  EXPECT_EQ(vb::Format(Field(3, "Alien", "date_aquired"), "mm/dd/yyyy"), "12/31/1999");
  EXPECT_EQ(S(Field(3, "Alien", "rating")), "PG13");
  EXPECT_EQ(T(w.Video_RYear_Text), "1979");  // the record shown again

  // Changer fields of a compact disc: numbers only.
  AddItem(2, "Changer", {{"slot", vb::Variant(4)}});
  w.ItemClickProcess(2);
  w.CD_Group_Text->setText("3");
  w.fText[0]->setText("  kept as typed  ");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::CLng(Field(2, "Changer", "slot")), 4);
  EXPECT_EQ(vb::CLng(Field(2, "Changer", "GrpNum")), 3);
  EXPECT_EQ(S(Field(2, "Changer", "f1")), "  kept as typed  ");
}

// A box filed as a number takes what its column holds: anything else is
// told, naming the field, with the typing kept and nothing filed; a number
// the column holds is filed as typed, and an emptied box files no number.
TEST_F(CatalogueTest, NumberBoxesFileOnlyWhatTheirColumnsHold) {
  AddItem(2, "Changer", {{"slot", vb::Variant(4)}, {"GrpNum", vb::Variant(2)}});
  AddItem(3, "Alien", {{"sides", vb::Variant(1.0)}});
  auto& w = WindowOn(2);
  ASSERT_EQ(T(w.CS_Name_Text), "Changer");
  struct Case {
    QWidget* box;
    const char* caption;
    std::vector<const char*> refused;
  };
  const std::vector<const char*> never = {"12abc", "\xEF\xBC\x91\xEF\xBC\x92", "slot nine", "1e400", "-1"};
  std::vector<const char*> slot = never, group = never, sides = never;
  for (const char* s : {"99999999999", "1e10", "32768", "2.5"}) slot.push_back(s);
  for (const char* s : {"256", "1e10", "3.5"}) group.push_back(s);
  for (const Case& c : {Case{w.CD_Slot_Text, "Changer Slot #", slot}, Case{w.CD_Group_Text, "Changer Group #", group}}) {
    for (const char* typed : c.refused) {
      SCOPED_TRACE(std::string(c.caption) + ": " + typed);
      Set(c.box, typed);
      w.SSTab1->setCurrentIndex(1);  // the box is out of sight, on the Main tab
      vb::PromptScript::Clear();
      w.Toolbar1_ButtonClick(3);
      ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
      EXPECT_EQ(w.SSTab1->currentIndex(), 0) << "the box told about is brought forward";
      const std::string said = vb::PromptScript::Texts().front();
      EXPECT_NE(said.find(std::string("The ") + c.caption + " box takes a whole number"), std::string::npos) << said;
      EXPECT_NE(said.find(std::string("\"") + typed + "\""), std::string::npos) << said;
      EXPECT_EQ(T(c.box), typed);
      EXPECT_EQ(vb::CLng(Field(2, "Changer", "slot")), 4);
      EXPECT_EQ(vb::CLng(Field(2, "Changer", "GrpNum")), 2);
    }
    Set(c.box, "");
  }
  Set(w.CD_Slot_Text, " 32767 ");
  Set(w.CD_Group_Text, "255");
  vb::PromptScript::Clear();
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
  EXPECT_EQ(vb::CLng(Field(2, "Changer", "slot")), 32767);
  EXPECT_EQ(vb::CLng(Field(2, "Changer", "GrpNum")), 255);
  Set(w.CD_Slot_Text, "");
  Set(w.CD_Group_Text, "0");
  w.Toolbar1_ButtonClick(3);
  EXPECT_TRUE(Field(2, "Changer", "slot").isNull());
  EXPECT_EQ(vb::CLng(Field(2, "Changer", "GrpNum")), 0);

  w.ItemClickProcess(3);
  ASSERT_EQ(T(w.Video_Name_Text), "Alien");
  for (const char* typed : {"two", "-1", "1e400", "\xEF\xBC\x92"}) {
    SCOPED_TRACE(typed);
    w.Video_Sides_Combo->setEditText(QString::fromUtf8(typed));
    vb::PromptScript::Clear();
    w.Toolbar1_ButtonClick(3);
    ASSERT_EQ(vb::PromptScript::Texts().size(), 1u);
    EXPECT_NE(vb::PromptScript::Texts().front().find("The Sides box takes a number from 0 up"), std::string::npos)
        << vb::PromptScript::Texts().front();
    EXPECT_EQ(T(w.Video_Sides_Combo), typed);
    EXPECT_EQ(vb::CDbl(Field(3, "Alien", "sides")), 1.0);
  }
  w.Video_Sides_Combo->setEditText("1e10");
  vb::PromptScript::Clear();
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
  EXPECT_EQ(vb::CDbl(Field(3, "Alien", "sides")), 1e10);
}

TEST_F(CatalogueTest, LookupRowsFollowWhatTheRecordNames) {
  auto& w = WindowOn(7);  // MiniDisc: the compact-disc column
  AddThroughEditor(w, w.CS_Name_Text, "Mini", [&] {
    Set(w.Artist[1], "  New Artist ");
    Set(w.CD_Category_List, "Ambient");
    Set(w.CD_Record_Company, "Warp");
  });
  EXPECT_EQ(Lookup("artists", "artist_name", "cd"), (std::map<std::string, bool>{{"New Artist", true}}));
  EXPECT_EQ(Lookup("category", "category", "cd"), (std::map<std::string, bool>{{"Ambient", true}}));
  EXPECT_EQ(Lookup("labelstudio", "LabelStudio_Name", "cd"), (std::map<std::string, bool>{{"Warp", true}}));
  EXPECT_EQ(S(Field(7, "Mini", "artist1")), "New Artist");  // the boxes close up
  // The new names are offered at once.
  EXPECT_EQ(Items(w.Artist[3]), std::vector<std::string>{"New Artist"});

  w.ItemClickProcess(8);  // MP3 sets the same column
  AddThroughEditor(w, w.CS_Name_Text, "Track", [&] { Set(w.Artist[0], "Other"); });
  EXPECT_TRUE(Lookup("artists", "artist_name", "cd")["Other"]);

  w.ItemClickProcess(4);  // Laser Disc: the DVD column of an existing row
  AddThroughEditor(w, w.Video_Name_Text, "Laser", [&] { Set(w.Artist[0], "new artist"); });
  EXPECT_EQ(Lookup("artists", "artist_name", "DVD"),
            (std::map<std::string, bool>{{"New Artist", true}, {"Other", false}}));

  // Four empty artist boxes leave the artists alone.
  const long before = Count("artists");
  AddThroughEditor(w, w.Video_Name_Text, "No Artists");
  EXPECT_EQ(Count("artists"), before);
}

TEST_F(CatalogueTest, SoftwarePublisherKeepsItsAddresses) {
  auto& w = WindowOn(9);
  AddThroughEditor(w, w.SCD_Name_Text, "Editor", [&] {
    Set(w.CD_Record_Company, "Acme Soft");
    w.Email_Text->setText("support@acme.example");
    w.Homepage_text->setText("www.acme.example");
  });
  auto publisher = [](const char* field) {
    auto rs = tvn::App().CollectionDB->OpenRecordset("select * from labelstudio where LabelStudio_Name = 'Acme Soft'");
    const vb::Variant v = rs->Eof() ? vb::Variant() : rs->GetField(field);
    rs->Close();
    return v;
  };
  EXPECT_EQ(Count("labelstudio"), 1);
  EXPECT_EQ(S(publisher("LSEmail")), "support@acme.example");
  EXPECT_EQ(S(publisher("lswww")), "www.acme.example");
  EXPECT_TRUE(vb::CBool(publisher("scd")));
  EXPECT_EQ(S(Field(9, "Editor", "emailid")), "support@acme.example");

  w.Email_Text->setText("help@acme.example");
  w.Homepage_text->setText("");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Count("labelstudio"), 1);
  EXPECT_EQ(S(publisher("LSEmail")), "help@acme.example");
  EXPECT_EQ(S(publisher("lswww")), "");

  // Choosing the publisher fills its addresses; an unknown one empties them.
  w.Email_Text->clear();
  Set(w.CD_Record_Company, "Acme Soft");
  w.CD_Record_Company_Click();
  EXPECT_EQ(T(w.Email_Text), "help@acme.example");
  EXPECT_EQ(T(w.Homepage_text), "");
  Set(w.CD_Record_Company, "Nobody");
  w.CD_Record_Company_Click();
  EXPECT_EQ(T(w.Email_Text), "");
  // Outside the software section the addresses are left alone.
  w.ItemClickProcess(2);
  w.Email_Text->setText("stays");
  Set(w.CD_Record_Company, "Acme Soft");
  w.CD_Record_Company_Click();
  EXPECT_EQ(T(w.Email_Text), "stays");
}

TEST_F(CatalogueTest, QuotesAndWildcardsAreStoredAndFoundExactly) {
  AddItem(2, "Rock and Roll");
  AddItem(2, "100% Hits");
  auto& w = WindowOn(2);
  const std::vector<std::string> odd = {"Rock 'n' Roll", "100%", "Hits*", "Hit?", "[live]", "x' or '1'='1"};
  for (const auto& name : odd) {
    AddThroughEditor(w, w.CS_Name_Text, name, [&] {
      Set(w.Artist[0], "O'Brien");
      Set(w.CD_Category_List, "Rock 'n' Roll [50%]");
    });
    EXPECT_EQ(T(w.CS_Name_Text), name);  // stored and shown again under its own name
  }
  AddThroughEditor(w, w.CS_Name_Text, "Rock 'n' Roll");
  std::vector<std::string> expected = {"100%", "100% Hits", "Hit?", "Hits*", "Rock 'n' Roll", "Rock 'n' Roll- 2",
                                       "Rock and Roll", "[live]", "x' or '1'='1"};
  std::vector<std::string> names = Names(2);
  std::sort(names.begin(), names.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  EXPECT_EQ(Lookup("artists", "artist_name", "cd"), (std::map<std::string, bool>{{"O'Brien", true}}));
  EXPECT_EQ(Lookup("category", "category", "cd"), (std::map<std::string, bool>{{"Rock 'n' Roll [50%]", true}}));
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, AFailedSaveKeepsTheEditorAndWritesNothing) {
  auto& w = WindowOn(2);
  tvn::App().CollectionDB->Execute(
      "CREATE TRIGGER no_artists BEFORE INSERT ON artists BEGIN SELECT RAISE(ABORT, 'disk full'); END");
  w.Toolbar1_ButtonClick(1);
  w.CS_Name_Text->setText("Half Written");
  Set(w.Artist[0], "Someone");
  Set(w.CD_Category_List, "Jazz");
  w.Toolbar1_ButtonClick(3);
  const auto texts = vb::PromptScript::Texts();
  ASSERT_EQ(texts.size(), 1u);
  // The engine's text, never a bare number (the trigger stands for a full disk).
  EXPECT_EQ(texts[0].rfind("The collection could not be read or written as asked:", 0), 0u) << texts[0];
  EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
  EXPECT_TRUE(Names(2).empty());
  EXPECT_EQ(Count("category"), 0);
  // Still adding, with what the user typed.
  EXPECT_TRUE(w.AddingRecord);
  EXPECT_EQ(T(w.CS_Name_Text), "Half Written");
  EXPECT_EQ(T(w.Artist[0]), "Someone");
  EXPECT_FALSE(w.Toolbar1Buttons[1]->isVisible());
  EXPECT_TRUE(w.Toolbar1Buttons[3]->isVisible());

  // Once the cause is gone the same contents file once.
  tvn::App().CollectionDB->Execute("DROP TRIGGER no_artists");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(2), std::vector<std::string>{"Half Written"});
  EXPECT_EQ(Count("category"), 1);
  EXPECT_FALSE(w.AddingRecord);

  // A failing edit leaves the stored row as it was and the editor as typed.
  tvn::App().CollectionDB->Execute(
      "CREATE TRIGGER no_edits BEFORE UPDATE ON mediadata BEGIN SELECT RAISE(ABORT, 'file locked'); END");
  w.CS_Name_Text->setText("Renamed");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(2), std::vector<std::string>{"Half Written"});
  EXPECT_EQ(T(w.CS_Name_Text), "Renamed");
  tvn::App().CollectionDB->Execute("DROP TRIGGER no_edits");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Names(2), std::vector<std::string>{"Renamed"});
}

// A collection the user may not write to, opened as SQLite opens a
// write-protected file: the records show, and a save gives the engine's
// message, writes nothing and keeps everything typed.
TEST_F(CatalogueTest, ASaveOnAReadOnlyCollectionGivesTheEnginesMessageAndKeepsWhatWasTyped) {
  AddItem(2, "Kept", {{"notes", vb::Variant("old notes")}});
  const std::string file = (Dir() / "av30.mdb").string();
  tvn::App().CollectionDB->Close();
  const std::string before = tvntest::ReadBytes(file);
  tvn::App().CollectionDB = dao::DBEngine::Workspaces(0).OpenDatabase(file, false, true);
  auto& w = WindowOn(2);
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
  EXPECT_EQ(T(w.CS_Name_Text), "Kept");
  EXPECT_EQ(T(w.CD_Notes_Text), "old notes");

  auto refusedAsReadOnly = [] {
    const auto texts = vb::PromptScript::Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("read-only"), std::string::npos) << texts[0];
    vb::PromptScript::Clear();
  };
  // An edit.
  w.CS_Name_Text->setText("Renamed");
  Set(w.CD_Notes_Text, "new notes");
  w.Toolbar1_ButtonClick(3);
  refusedAsReadOnly();
  EXPECT_EQ(T(w.CS_Name_Text), "Renamed");
  EXPECT_EQ(T(w.CD_Notes_Text), "new notes");
  EXPECT_EQ(Names(2), std::vector<std::string>{"Kept"});

  // A new record: Add asks about the edit still on show, which is dropped.
  vb::PromptScript::Answer(vb::vbNo);
  w.Toolbar1_ButtonClick(1);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{"Save the changes to \"Renamed\"?"});
  vb::PromptScript::Clear();
  w.CS_Name_Text->setText("New One");
  Set(w.Artist[0], "Someone");
  Set(w.CD_Category_List, "Jazz");
  w.Toolbar1_ButtonClick(3);
  refusedAsReadOnly();
  EXPECT_TRUE(w.AddingRecord);
  EXPECT_EQ(T(w.CS_Name_Text), "New One");
  EXPECT_EQ(T(w.Artist[0]), "Someone");
  EXPECT_EQ(T(w.CD_Category_List), "Jazz");
  EXPECT_TRUE(w.Toolbar1Buttons[3]->isVisible());
  EXPECT_EQ(Names(2), std::vector<std::string>{"Kept"});

  tvn::App().CollectionDB->Close();
  EXPECT_TRUE(tvntest::ReadBytes(file) == before);
}

TEST_F(CatalogueTest, DatesThatCannotBeReadForSureAreRefusedAndTheStoredDateStays) {
  AddItem(6, "Brazil", {{"date_aquired", vb::DateSerial(2000, 5, 6)}});
  auto& w = WindowOn(6);
  auto stored = [] { return vb::Format(Field(6, "Brazil", "date_aquired"), "yyyy-mm-dd"); };
  for (const char* bad : {"31/12/1999", "2/30/2001", "12/31/99", "13/1/2001", "Dec 31", "Dec 31, 19", "soon"}) {
    vb::PromptScript::Clear();
    w.Video_Date_Text->setText(bad);
    w.Toolbar1_ButtonClick(3);
    ASSERT_EQ(vb::PromptScript::Texts().size(), 1u) << bad;
    EXPECT_NE(vb::PromptScript::Texts()[0].find("is not a whole date"), std::string::npos) << bad;
    EXPECT_EQ(stored(), "2000-05-06") << bad;
    EXPECT_EQ(T(w.Video_Date_Text), bad);  // what was typed stays to be mended
  }

  // Written out, the date is read whole, not from the box's first characters.
  const std::pair<const char*, const char*> good[] = {{"December 5, 1999", "1999-12-05"},
                                                      {"Dec 31, 1999", "1999-12-31"},
                                                      {"2/28/2001", "2001-02-28"},
                                                      {"1999-07-04", "1999-07-04"}};
  for (const auto& [typed, date] : good) {
    vb::PromptScript::Clear();
    w.Video_Date_Text->setText(typed);
    w.Toolbar1_ButtonClick(3);
    EXPECT_TRUE(vb::PromptScript::Texts().empty()) << typed;
    EXPECT_EQ(stored(), date) << typed;
  }
  // Shown again, the box holds the whole date.
  EXPECT_EQ(T(w.Video_Date_Text), "7/4/1999");
  w.Video_Date_Text->setText("");
  w.Toolbar1_ButtonClick(3);
  EXPECT_TRUE(Field(6, "Brazil", "date_aquired").isNull());
}

TEST_F(CatalogueTest, AnEmptyNameIsRefused) {
  auto& w = WindowOn(6);
  w.Toolbar1_ButtonClick(1);
  w.Video_Name_Text->setText("   ");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{"The system requires that a name be entered."});
  EXPECT_TRUE(Names(6).empty());
  EXPECT_TRUE(w.AddingRecord);
  EXPECT_FALSE(w.SSListBar1->isEnabled());  // the add goes on
}

TEST_F(CatalogueTest, SoundListFollowsTheSavedValues) {
  AddItem(6, "Brazil", {{"format_type2", vb::Variant("Mono")}});
  AddItem(6, "Casablanca", {{"format_type2", vb::Variant("Mono")}});
  auto& w = WindowOn(6);
  ASSERT_EQ(Items(w.Video_Sound_Text), std::vector<std::string>{"Mono"});
  w.Video_Sound_Text->setEditText("Stereo");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Items(w.Video_Sound_Text), (std::vector<std::string>{"Mono", "Stereo"}));
  w.CS_Load_Data("Casablanca");
  w.Video_Sound_Text->setEditText("Stereo");  // the last record of Mono
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(Items(w.Video_Sound_Text), std::vector<std::string>{"Stereo"});
  EXPECT_EQ(T(w.Video_Sound_Text), "Stereo");
}

// ------------------------------------------------ what a box can hold

namespace {

// The characters the open collection's mediadata column holds (0: no text).
int ColumnWidth(const std::string& column) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select * from mediadata where 0 = 1");
  const int width = tvn::TextFieldWidth(*rs, column);
  rs->Close();
  return width;
}

QLineEdit* LineOf(QWidget* box) {
  if (auto* combo = qobject_cast<QComboBox*>(box)) return combo->lineEdit();
  return qobject_cast<QLineEdit*>(box);
}

// Pastes text over the whole of a box, as the user does with Ctrl+V.
void Paste(QWidget* box, const std::string& text) {
  QApplication::clipboard()->setText(QString::fromStdString(text));
  QLineEdit* line = LineOf(box);
  line->selectAll();
  line->paste();
}

// Text one character longer than the column, every character telling its place.
std::string OneTooMany(int width) {
  std::string s;
  for (int i = 0; i <= width; ++i) s += char('a' + i % 26);
  return s;
}

}  // namespace

TEST_F(CatalogueTest, EveryBoxTakesWhatItsColumnHoldsAndFilesWhatItShows) {
  using Box = std::pair<QWidget*, std::string>;
  auto& w = Window();
  // Each section family with the boxes it files.
  const std::vector<std::pair<int, std::vector<Box>>> sections = {
      {1, {{w.CS_CatNum_Text, "cat_number"}, {w.CS_TTime_Text, "total_time"},
           {w.CS_Format_List_Text, "format_type"}}},
      {2, {{w.CD_Serial_Text, "serial"}, {w.PlayerCombo, "player"}}},
      {8, {{w.FileLocationText, "filelocation"}}},
      {3, {{w.Video_CatNum_Text, "cat_number"}, {w.Video_TTime_Text, "total_time"},
           {w.Video_PRatio_Text, "PRatio"}, {w.Video_SRatio_Text, "SRatio"},
           {w.Video_Sound_Text, "format_type2"}, {w.Video_Rating_Combo, "rating"}, {w.QRating, "QRating"}}},
      {6, {{w.VT_Format_List_Text, "format_type"}, {w.Speed_List, "Tape_Speed"}, {w.TapeIndex, "TapeIndex"}}},
      {9, {{w.SCD_CatNum_Text, "cat_number"}, {w.Homepage_text, "homepage"}, {w.Email_Text, "emailid"}}},
  };
  for (const auto& [section, own] : sections) {
    SCOPED_TRACE(section);
    AddItem(section, "Rec");
    WindowOn(section);
    ASSERT_EQ(T(w.List_Combo), "Rec");
    std::vector<Box> boxes = own;
    for (int i = 0; i < 4; ++i) boxes.push_back({w.Artist[size_t(i)], "artist" + std::to_string(i + 1)});
    boxes.push_back({w.CD_Record_Company, "labelstudio"});
    boxes.push_back({w.CD_Category_List, "category"});
    for (int i = 0; i < 10; ++i) boxes.push_back({w.fText[size_t(i)], "f" + std::to_string(i + 1)});
    for (const auto& [box, column] : boxes) {
      const int width = ColumnWidth(column);
      ASSERT_GT(width, 0) << column;
      const std::string pasted = OneTooMany(width);
      Paste(box, pasted);
      EXPECT_EQ(T(box), pasted.substr(0, size_t(width))) << column << ": the box shows what it will file";
    }
    vb::PromptScript::Clear();
    w.Toolbar1_ButtonClick(3);
    EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
    for (const auto& [box, column] : boxes) {
      EXPECT_EQ(S(Field(section, "Rec", column)), T(box)) << column;
      EXPECT_EQ(vb::Len(T(box)), ColumnWidth(column)) << column;
    }
  }

  // A typed title takes what its column holds, and files it.
  w.Toolbar1_ButtonClick(1);
  w.SCD_Name_Text->setText("Titled");
  tvn::AddTitleForm title;
  title.TGrid = w.TGrid;
  const int width = ColumnWidth("title1");
  Paste(title.TitleText, OneTooMany(width));
  title.ApplyButton_Click();
  EXPECT_EQ(w.TGrid->TextMatrix(1, 1).toStdString(), OneTooMany(width).substr(0, size_t(width)));
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
  EXPECT_EQ(S(Field(9, "Titled", "title1")), OneTooMany(width).substr(0, size_t(width)));
}

TEST_F(CatalogueTest, ValuesAnotherProgramStoredLongerThanTheirColumnsStayAsStored) {
  const std::string name(60, 'n'), catalog(70, 'c');
  const tvn::testing::ToolRun run = tvn::testing::RunTool(
      tvn::App().CollectionDB->Name(),
      "insert into mediadata (name, sectionnumber, section, cat_number) values ('" + name + "', 2, 'Compact Disc', '" +
          catalog + "');\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  auto& w = WindowOn(2);
  ASSERT_EQ(T(w.CS_Name_Text), name);
  // Filed untouched, and with only the notes typed: nothing refused, the
  // stored values left as they are.
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
  w.CD_Notes_Text->setPlainText("typed");
  w.Toolbar1_ButtonClick(3);
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{});
  EXPECT_EQ(Names(2), std::vector<std::string>{name});
  EXPECT_EQ(S(Field(2, name, "cat_number")), catalog);
  EXPECT_EQ(S(Field(2, name, "notes")), "typed");
  EXPECT_FALSE(w.AddingRecord);
}
