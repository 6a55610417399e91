// A typed change to the record on show in the media window: every command
// of its toolbars and menus either asks about it or keeps it, Cancel leaves
// the file and the screen as they were, and Add asks before it empties the
// editor. And a record of each kind of section typed in whole, filed, and
// every stored column read back.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <algorithm>
#include <map>

#include "catalogue/tests/MenuTestSupport.h"
#include "core/AppState.h"
#include "core/tests/LaunchFixture.h"
#include "core/tests/WindowCommands.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace {

using Strings = std::vector<std::string>;
using vb::PromptScript;

const std::string kName = "Caf\xC3\xA9 '\xC3\x96lsen' \xE2\x80\x94 \xE6\x9D\xB1\xE4\xBA\xAC";
const std::string kNewName = "Nouveau 'd\xC3\xA9" "but' \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
const std::string kStoredNumber = "CK 40579";
const std::string kTyped = "N\xC2\xBA \xC2\xAB" "42\xC2\xBB 'x' \xC4\x85\xC5\xBE \xED\x95\x9C\xEA\xB5\xAD";

// Every table of the open collection as text: what the file holds, but
// what the report wizard keeps for itself (its work tables, and the user
// field captions it copies into the rows it reports).
std::string Content() {
  dao::Database& db = *tvn::App().CollectionDB;
  std::string out;
  for (const std::string& table : db.TableDefNames()) {
    if (table == "report" || table == "title_list") continue;
    out += "[" + table + "]\n";
    auto rs = db.OpenRecordset("select * from " + table);
    while (!rs->Eof()) {
      for (int i = 0; i < rs->FieldCount(); ++i) {
        const std::string column = vb::LCase(rs->FieldInfo(i).Name);
        if (column.size() > 2 && column.front() == 'f' && column.back() == 'c') continue;
        out += vb::NzStr(rs->GetField(i)) + "\t";
      }
      out += "\n";
      rs->MoveNext();
    }
    rs->Close();
  }
  return out;
}

using cattest::Stored;

bool Contains(const Strings& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class LeavingRecordTest : public cattest::MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    const cattest::Fields looked = {{"artist1", vb::Variant("Miles")},
                                    {"category", vb::Variant("Jazz")},
                                    {"labelstudio", vb::Variant("Columbia")},
                                    {"cat_number", vb::Variant(kStoredNumber)}};
    AddItem(2, kName, looked);
    AddItem(2, "Kind of Blue", looked);
    AddItem(2, "Zebra");
    AddArtist("Miles", {"cd"});
    AddLookup("category", "category", "Jazz", {"cd"});
    AddLookup("LabelStudio", "LabelStudio_Name", "Columbia", {"cd"});
    pick = "Miles";
    SetSetting("LG", "2");
    SetSetting("NF", "2");
  }

  // A window of its own, shown on the compact discs with kName on show (or
  // a new record being typed) and kTyped typed into its catalogue number.
  tvn::NewMain_Form* Typed(bool adding) {
    auto* w = new tvn::NewMain_Form();
    w->Form_Activate();
    w->CS_Load_Data(kName);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    if (adding) {
      w->Toolbar1_ButtonClick(1);
      w->CS_Name_Text->setText(QString::fromStdString(kNewName));
    }
    w->CS_CatNum_Text->setText(QString::fromStdString(kTyped));
    return w;
  }
};

TEST_F(LeavingRecordTest, EveryCommandAsksAboutATypedChangeOrKeepsItAndCancelChangesNothing) {
  for (const bool adding : {false, true}) {
    const std::string question =
        adding ? "Save the new record \"" + kNewName + "\"?" : "Save the changes to \"" + kName + "\"?";
    // Commands that leave the record whatever the record holds: they must ask.
    const Strings leaving = adding ? Strings{"Exit_Menu"}
                                   : Strings{"Toolbar1_1", "Toolbar1_5", "Toolbar1_6", "Exit_Menu",
                                             "CollectionMenu", "Compact_Menu", "View_All_Artists_Menu"};
    Strings names;
    {
      std::unique_ptr<tvn::NewMain_Form> probe(Typed(adding));
      names = tvn::testing::CommandNames(*probe, adding);
    }
    ASSERT_GT(names.size(), adding ? 2u : 30u);
    for (const std::string& name : names) {
      SCOPED_TRACE((adding ? "adding, " : "") + name);
      QPointer<tvn::NewMain_Form> w = Typed(adding);
      const std::string before = Content();
      Strings boxes;
      ASSERT_TRUE(tvn::testing::GiveCancelling(*w, name, boxes));
      const bool asked = Contains(boxes, question);
      if (Contains(leaving, name)) {
        EXPECT_TRUE(asked);
      }
      ASSERT_TRUE(w) << "the window is gone";
      EXPECT_TRUE(w->isVisible());
      EXPECT_EQ(w->CS_Name_Text->text().toStdString(), adding ? kNewName : kName);
      EXPECT_EQ(w->CS_CatNum_Text->text().toStdString(), kTyped);
      w->SSTab1->setCurrentIndex(0);
      EXPECT_ON_SCREEN(w->CS_CatNum_Text);
      if (name == "Toolbar1_3") {
        EXPECT_EQ(Stored(adding ? kNewName : kName, "cat_number"), kTyped);  // filed: kept in the file
        // The next window starts from the record as it was.
        tvn::App().CollectionDB->Execute("delete from mediadata where name = " + dao::SqlQuote(kNewName));
        tvn::App().CollectionDB->Execute("update mediadata set cat_number = " + dao::SqlQuote(kStoredNumber) +
                                         " where name = " + dao::SqlQuote(kName));
      } else {
        EXPECT_EQ(Content(), before);
      }
      delete w.data();
      tvn::testing::Pump();
    }
  }
}

TEST_F(LeavingRecordTest, AddAsksBeforeTheRecordOnShowMakesWayForABlankOne) {
  std::unique_ptr<tvn::NewMain_Form> w(Typed(false));
  auto visibleButtons = [&w] {
    std::string out;
    for (int i = 1; i <= 6; ++i)
      if (w->Toolbar1Buttons[size_t(i)]->isVisible()) out += std::to_string(i);
    return out;
  };
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  w->Toolbar1Buttons[1]->trigger();
  EXPECT_EQ(PromptScript::Texts(), Strings{"Save the changes to \"" + kName + "\"?"});
  EXPECT_FALSE(w->AddingRecord);
  EXPECT_EQ(visibleButtons(), "13456");
  EXPECT_TRUE(w->View_Menu->isEnabled());
  EXPECT_TRUE(w->SSTab1->isTabEnabled(4));

  // No: dropped, and the blank record comes.
  PromptScript::Answer(vb::vbNo);
  w->Toolbar1Buttons[1]->trigger();
  EXPECT_TRUE(w->AddingRecord);
  EXPECT_EQ(visibleButtons(), "23");
  EXPECT_EQ(w->CS_Name_Text->text().toStdString(), "");
  EXPECT_EQ(w->CS_CatNum_Text->text().toStdString(), "");
  EXPECT_EQ(Stored(kName, "cat_number"), kStoredNumber);

  // Yes: filed first.
  w->Toolbar1Buttons[2]->trigger();
  w->CS_Load_Data(kName);
  w->CS_CatNum_Text->setText(QString::fromStdString(kTyped));
  PromptScript::Answer(vb::vbYes);
  w->Toolbar1Buttons[1]->trigger();
  EXPECT_TRUE(w->AddingRecord);
  EXPECT_EQ(w->CS_CatNum_Text->text().toStdString(), "");
  EXPECT_EQ(Stored(kName, "cat_number"), kTyped);
}

TEST_F(LeavingRecordTest, NoCommandEmptiesTheEditorWithoutTheQuestion) {
  // A command that empties the editor without asking first, as one added
  // later might: the clearing itself asks, and Cancel stops the command.
  std::unique_ptr<tvn::NewMain_Form> w(Typed(false));
  QAction* later = w->File_Menu->addAction("Later");
  bool after = false;
  QObject::connect(later, &QAction::triggered, [&] {
    vb::Guarded([&] {
      w->ClearRecordForm();
      after = true;
    });
  });
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  later->trigger();
  EXPECT_EQ(PromptScript::Texts(), Strings{"Save the changes to \"" + kName + "\"?"});  // and no error
  EXPECT_FALSE(after);
  EXPECT_EQ(w->CS_CatNum_Text->text().toStdString(), kTyped);
  PromptScript::Answer(vb::vbNo);
  later->trigger();
  EXPECT_TRUE(after);
  EXPECT_EQ(w->CS_CatNum_Text->text().toStdString(), "");
}

// ---------------------------------------------------------------- a round trip per kind of section

struct Typing {
  QWidget* control;
  std::string text;    // typed, and shown again when the record is shown again
  std::string column;  // "" for none
  std::string stored;  // what the column holds after filing
};

TEST_F(LeavingRecordTest, EveryFieldOfEveryKindOfSectionIsFiledAndReadBack) {
  auto& w = Shown(2);
  const std::string day = vb::NzStr(vb::DateSerial(2001, 3, 14));
  const std::string year = vb::NzStr(vb::DateSerial(1999, 1, 1));
  // Cassette and LP take a format; compact discs the changer fields; MP3
  // a file; DVD and Laser Disc ratios and sides; video tapes the tape
  // fields; software its addresses.
  const std::map<int, const char*> lookupColumn = {{1, "cas"}, {2, "cd"}, {3, "DVD"}, {6, "VT"}, {8, "cd"}, {9, "scd"}};
  for (const int section : {1, 2, 8, 3, 6, 9}) {
    SCOPED_TRACE("section " + std::to_string(section));
    const std::string n = std::to_string(section);
    AddItem(section, "~ untouched " + n);  // what a column the window does not write holds
    w.ItemClickProcess(tvn::Byte(section));
    w.Toolbar1_ButtonClick(1);
    ASSERT_TRUE(w.AddingRecord);

    const std::string name = "\xC3\x89t\xC3\xA9 'n\xC2\xBA " + n + "' \xE6\x97\xA5\xE6\x9C\xAC";
    std::vector<Typing> typed;
    auto type = [&typed](QWidget* control, const std::string& text, const std::string& column,
                         const std::string& stored = "\x01") {
      typed.push_back({control, text, column, stored == "\x01" ? text : stored});
    };
    for (int j = 0; j < 4; ++j)
      type(w.Artist[size_t(j)], "Art\xC3\xADst " + std::to_string(j + 1) + " " + n, "artist" + std::to_string(j + 1));
    type(w.CD_Record_Company, "L\xC3\xA4" "bel " + n, "labelstudio");
    type(w.CD_Category_List, "Cat\xC3\xA9gorie " + n, "category");
    type(w.CD_Notes_Text, "Notes 'q' \xE2\x80\x94 " + n + "\nsecond line", "notes");
    for (int f = 0; f < 10; ++f)
      type(w.fText[size_t(f)], "F" + std::to_string(f + 1) + " \xC3\xBC " + n, "f" + std::to_string(f + 1));
    if (section == 1 || section == 2 || section == 8) {
      type(w.CS_Name_Text, name, "name");
      type(w.CS_CatNum_Text, "CAT-" + n + " \xC3\xB8", "cat_number");
      type(w.CS_TTime_Text, "45:1" + n, "total_time");
      type(w.CS_Date_Text, "3/14/2001", "date_aquired", day);
      if (section == 1) type(w.CS_Format_List_Text, "Chrome \xC3\xA9", "format_type");
      if (section == 2) {
        type(w.CD_Slot_Text, "7", "slot");
        type(w.CD_Group_Text, "3", "grpnum");
        type(w.PlayerCombo, "Pl\xC3\xA5yer 2", "player");
        type(w.CD_Serial_Text, "SER 'x' 9", "serial");
      }
      if (section == 8) type(w.FileLocationText, "/music/\xC3\xA9t\xC3\xA9 'x'.mp3", "filelocation");
    } else if (section == 3 || section == 6) {
      type(w.Video_Name_Text, name, "name");
      type(w.Video_CatNum_Text, "VID-" + n, "cat_number");
      type(w.Video_TTime_Text, "1:5" + n, "total_time");
      type(w.Video_Sound_Text, "St\xC3\xA9r\xC3\xA9o " + n, "format_type2");
      type(w.Video_Rating_Combo, "PG" + n, "rating");
      type(w.QRating, "****", "qrating");
      type(w.Video_RYear_Text, "1999", "ryear", year);
      type(w.Video_Date_Text, "3/14/2001", "date_aquired", day);
      if (section == 3) {
        type(w.Video_SRatio_Text, "16:9", "sratio");
        type(w.Video_PRatio_Text, "2.35:1", "pratio");
        type(w.Video_Sides_Combo, "2", "sides");
      }
      if (section == 6) {
        type(w.VT_Format_List_Text, "VHS \xC3\xA9", "format_type");
        type(w.Speed_List, "SP", "tape_speed");
        type(w.TapeIndex, "IX-" + n, "tapeindex");
      }
    } else {
      type(w.SCD_Name_Text, name, "name");
      type(w.SCD_CatNum_Text, "SW-" + n, "cat_number");
      type(w.Homepage_text, "https://example.invalid/\xC3\xA9", "homepage");
      type(w.Email_Text, "o'neil@example.invalid", "emailid");
      type(w.SCD_Date_Text, "3/14/2001", "date_aquired", day);
    }
    for (const Typing& t : typed) tvn::RecordWindow::SetTextOf(t.control, t.text);
    std::map<std::string, std::string> expected;
    for (const Typing& t : typed) expected[vb::LCase(t.column)] = t.stored;
    for (int r = 1; r <= tvn::NewMain_Form::kTitleRows; ++r) {
      const std::string title = "Titre " + std::to_string(r) + " \xE2\x99\xAA " + n;
      w.TGrid->SetTextMatrix(r, 1, QString::fromStdString(title));
      expected["title" + std::to_string(r)] = title;
    }
    expected["sectionnumber"] = n;

    PromptScript::Clear();
    w.Toolbar1_ButtonClick(3);
    EXPECT_TRUE(PromptScript::Texts().empty());
    ASSERT_FALSE(w.AddingRecord);

    // Every column of the stored row: what was typed, or what a row the
    // window never wrote holds.
    auto row = tvn::App().CollectionDB->OpenRecordset("select * from mediadata where sectionnumber = " + n +
                                                      " order by name");
    std::map<std::string, std::string> filed, untouched;
    for (; !row->Eof(); row->MoveNext()) {
      const std::string rowName = vb::NzStr(row->GetField("name"));
      if (rowName != name && rowName != "~ untouched " + n) continue;
      for (int i = 0; i < row->FieldCount(); ++i)
        (rowName == name ? filed : untouched)[vb::LCase(row->FieldInfo(i).Name)] = vb::NzStr(row->GetField(i));
    }
    row->Close();
    ASSERT_FALSE(filed.empty());
    for (const auto& [column, value] : filed) {
      if (column == "section" || column == "id") continue;
      const auto e = expected.find(column);
      EXPECT_EQ(value, e != expected.end() ? e->second : untouched[column]) << column;
    }
    for (const auto& [column, value] : expected) EXPECT_TRUE(filed.count(column)) << column;

    // The lookup lists offer what the record names, in its section.
    const std::string flag = lookupColumn.at(section);
    auto flagged = [&flag](const std::string& table, const std::string& field, const std::string& value) {
      auto rs = tvn::App().CollectionDB->OpenRecordset("select " + flag + " from " + table + " where " + field +
                                                       " = " + dao::SqlQuote(value));
      const bool on = !rs->Eof() && vb::CBool(rs->GetField(0));
      rs->Close();
      return on;
    };
    for (int j = 1; j <= 4; ++j) EXPECT_TRUE(flagged("artists", "artist_name", expected["artist" + std::to_string(j)]));
    EXPECT_TRUE(flagged("category", "category", expected["category"]));
    EXPECT_TRUE(flagged("LabelStudio", "LabelStudio_Name", expected["labelstudio"]));
    if (section == 9) {
      auto rs = tvn::App().CollectionDB->OpenRecordset("select LSEmail, lswww from LabelStudio where LabelStudio_Name = " +
                                                       dao::SqlQuote(expected["labelstudio"]));
      ASSERT_FALSE(rs->Eof());
      EXPECT_EQ(vb::NzStr(rs->GetField("LSEmail")), expected["emailid"]);
      EXPECT_EQ(vb::NzStr(rs->GetField("lswww")), expected["homepage"]);
      rs->Close();
    }

    // Shown again from the file, every field reads as typed.
    w.CS_Load_Data("~ untouched " + n);
    w.CS_Load_Data(name);
    for (const Typing& t : typed) EXPECT_EQ(tvn::RecordWindow::TextOf(t.control), t.text) << t.column;
    for (int r = 1; r <= tvn::NewMain_Form::kTitleRows; ++r)
      EXPECT_EQ(w.TGrid->TextMatrix(r, 1).toStdString(), expected["title" + std::to_string(r)]);
    w.SSTab1->setCurrentIndex(0);
    w.show();
    EXPECT_ON_SCREEN(typed.front().control);
  }
}

}  // namespace
