// A typed change to the game on show: every command of the game window's
// toolbars and menus either asks about it or keeps it, Cancel leaves the
// file and the screen as they were; Add and File > Exit ask as the close
// box does. And a game typed in whole, filed, and every stored column and
// link read back.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <map>

#include "core/tests/WindowCommands.h"
#include "games/PLQDForm.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

const std::string kGame = "Z\xC3\xA9lda '\xCE\xA9' \xE6\x9D\xB1\xE4\xBA\xAC";
const std::string kNewGame = "Nouveau 'd\xC3\xA9" "but' \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
const std::string kTyped = "N\xC2\xBA \xC2\xAB" "42\xC2\xBB 'x' \xC4\x85\xC5\xBE \xED\x95\x9C\xEA\xB5\xAD";

bool Contains(const Strings& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class LeavingGameTest : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    publisher_ = Add("publisher", {{"labelstudio_name", vb::Variant(std::string("Nintendo"))}, {"NTOn", vb::Variant(true)}},
                     "publisher");
    Game(kGame, 2, publisher_);
    Game("Asteroids", 2);
    Game("Pong", 2);
    Add("systype", {{"systype", vb::Variant(std::string("Cartridge"))}}, "systypeid");
    Add("systype", {{"systype", vb::Variant(std::string("Disc \xC3\xA9"))}}, "systypeid");
    Add("supports", {{"Name", vb::Variant(std::string("Rumble"))}}, "supports");
    SetSetting("LPL", "2");
  }
  void TearDown() override {
    CloseGameQuickDisplay();
    // Gone without a question, whatever it shows.
    if (window_) delete window_.data();
    PL().MainWindow = nullptr;
    tvn::testing::Pump();
    GameWindowTest::TearDown();
  }

  // Every table of the game collection as text: what the file holds.
  std::string Content() {
    std::string out;
    for (const std::string& table : Db().TableDefNames()) {
      out += "[" + table + "]\n";
      auto rs = Db().OpenRecordset("select * from " + table);
      while (!rs->Eof()) {
        for (int i = 0; i < rs->FieldCount(); ++i) out += vb::NzStr(rs->GetField(i)) + "\t";
        out += "\n";
        rs->MoveNext();
      }
      rs->Close();
    }
    return out;
  }

  // A fresh window, shown with kGame on show (or a new game being typed)
  // and kTyped typed into its best feature.
  PLMain_Form& Typed(bool adding) {
    if (window_) delete window_.data();
    PL().MainWindow = nullptr;
    PLMain_Form& w = Open(2);
    running_->setValue(1);
    w.LoadData_PL(kGame);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    if (adding) {
      Press(1);
      Type(w.txtName, kNewGame);
    }
    Type(w.txtBestFeature, kTyped);
    return w;
  }

  long publisher_ = 0;
};

TEST_F(LeavingGameTest, EveryCommandAsksAboutATypedChangeOrKeepsItAndCancelChangesNothing) {
  for (const bool adding : {false, true}) {
    const std::string question =
        adding ? "Save the new record \"" + kNewGame + "\"?" : "Save the changes to \"" + kGame + "\"?";
    const Strings leaving = adding ? Strings{"Exit_Menu"}
                                   : Strings{"Toolbar1_1", "Toolbar1_5", "Toolbar1_6", "Exit_Menu",
                                             "CollectionMenu", "Compact_Menu", "ArtistManagerMenu"};
    const Strings names = tvn::testing::CommandNames(Typed(adding), adding);
    ASSERT_GT(names.size(), adding ? 2u : 20u);
    for (const std::string& name : names) {
      SCOPED_TRACE((adding ? "adding, " : "") + name);
      PLMain_Form& w = Typed(adding);
      const std::string before = Content();
      Strings boxes;
      ASSERT_TRUE(tvn::testing::GiveCancelling(w, name, boxes));
      CloseGameQuickDisplay();
      const bool asked = Contains(boxes, question);
      if (Contains(leaving, name)) {
        EXPECT_TRUE(asked);
      }
      ASSERT_TRUE(window_) << "the window is gone";
      EXPECT_TRUE(W().isVisible());
      EXPECT_EQ(running_->Value(), 1);
      EXPECT_EQ(Name(), adding ? kNewGame : kGame);
      EXPECT_EQ(W().txtBestFeature->text().toStdString(), kTyped);
      W().SSTab1->setCurrentIndex(0);
      EXPECT_ON_SCREEN(W().txtBestFeature);
      if (name == "Toolbar1_3") {
        EXPECT_EQ(Texts("select bestfeature from mediadata where name = " + dao::SqlQuote(adding ? kNewGame : kGame),
                        "bestfeature"),
                  Strings{kTyped});
        // The next window starts from the game as it was.
        Db().Execute("delete from mediadata where name = " + dao::SqlQuote(kNewGame));
        Db().Execute("update mediadata set bestfeature = Null where name = " + dao::SqlQuote(kGame));
      } else {
        EXPECT_EQ(Content(), before);
      }
    }
  }
}

TEST_F(LeavingGameTest, AddAndExitAskAsTheCloseBoxDoes) {
  PLMain_Form& w = Typed(false);
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  Press(1);
  EXPECT_EQ(PromptScript::Texts(), Strings{"Save the changes to \"" + kGame + "\"?"});
  EXPECT_FALSE(w.AddMode);
  EXPECT_EQ(VisibleButtons(), "1 3 4 5 6");
  EXPECT_TRUE(w.UtilitiesMenu->menuAction()->isEnabled());

  PromptScript::Answer(vb::vbYes);
  Press(1);
  EXPECT_TRUE(w.AddMode);
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(Texts("select bestfeature from mediadata where name = " + dao::SqlQuote(kGame), "bestfeature"),
            Strings{kTyped});

  // The new game: File > Exit asks about it; No drops it and the window goes.
  Type(w.txtName, kNewGame);
  PromptScript::Clear();
  PromptScript::Answer(vb::vbCancel);
  w.Exit_Menu->trigger();
  EXPECT_EQ(PromptScript::Texts(), Strings{"Save the new record \"" + kNewGame + "\"?"});
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(running_->Value(), 1);
  PromptScript::Answer(vb::vbNo);
  w.Exit_Menu->trigger();
  tvn::testing::Pump();
  EXPECT_FALSE(window_);
  EXPECT_EQ(running_->Value(), 0);
  EXPECT_EQ(Count("mediadata where name = " + dao::SqlQuote(kNewGame)), 0);
}

TEST_F(LeavingGameTest, EveryFieldAndLinkOfAGameIsFiledAndReadBack) {
  Game("~ untouched", 2);
  PLMain_Form& w = Open(2);
  Press(1);
  const std::map<std::string, std::pair<QWidget*, std::string>> typed = {
      {"name", {w.txtName, "\xC3\x89t\xC3\xA9 'n\xC2\xBA 2' \xE6\x97\xA5\xE6\x9C\xAC"}},
      {"hintstips", {w.txtHints, "Hints 'a'\n\xE2\x80\x94 \xC3\xBC"}},
      {"notes", {w.txtNotes, "Notes \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"}},
      {"instructions", {w.txtInstructions, "Press \xE2\x86\x91 twice"}},
      {"date_aquired", {w.DateAquired, "3/14/2001"}},
      {"date_released", {w.DateReleased, "12/31/1999"}},
      {"publisher", {w.cmbPublisher, "Pub\xC3\xAC 'x'"}},
      {"developer", {w.cmbDeveloper, "D\xC3\xA9v 2"}},
      {"genre", {w.cmbGenre, "G\xC3\xA9nre"}},
      {"bestfeature", {w.txtBestFeature, "Best \xC2\xAB" "b\xC2\xBB"}},
      {"worstfeature", {w.txtWorstFeature, "Worst '\xC3\xB8'"}},
      {"homepage", {w.txtHomepage, "https://example.invalid/\xC3\xA9"}},
      {"format", {w.cmbFormat, "Cart \xC3\xA9"}},
      {"rating", {w.cmbRating, "T Teen"}},
      {"players", {w.txtPlayers, "1-4 \xC3\xA9"}},
  };
  std::map<std::string, std::string> expected;
  for (const auto& [column, field] : typed) {
    PLMain_Form::SetTextOf(field.first, field.second);
    expected[column] = field.second;
  }
  for (size_t f = 0; f < w.fText.size(); ++f) {
    const std::string text = "F" + std::to_string(f + 1) + " \xE2\x99\xAA";
    w.fText[f]->setText(QString::fromStdString(text));
    expected["f" + std::to_string(f + 1)] = text;
  }
  expected["sectionnumber"] = "2";
  expected["date_aquired"] = vb::NzStr(vb::DateSerial(2001, 3, 14));
  expected["date_released"] = vb::NzStr(vb::DateSerial(1999, 12, 31));
  ClickRow(w.tGrid, "Disc \xC3\xA9");
  ClickRow(w.sGrid, "Rumble");

  PromptScript::Clear();
  Press(3);
  EXPECT_TRUE(PromptScript::Texts().empty());
  ASSERT_FALSE(w.AddMode);

  // Every column: what was typed (the lookup keys naming what was typed),
  // or what a row the window never wrote holds.
  std::map<std::string, std::string> filed, untouched;
  auto rs = Db().OpenRecordset("select * from mediadata where sectionnumber = 2");
  for (; !rs->Eof(); rs->MoveNext()) {
    const std::string rowName = vb::NzStr(rs->GetField("name"));
    if (rowName != expected["name"] && rowName != "~ untouched") continue;
    for (int i = 0; i < rs->FieldCount(); ++i)
      (rowName == expected["name"] ? filed : untouched)[vb::LCase(rs->FieldInfo(i).Name)] = vb::NzStr(rs->GetField(i));
  }
  rs->Close();
  ASSERT_FALSE(filed.empty());
  const std::string number = filed["systemnumber"];
  const std::map<std::string, std::string> lookupNames = {
      {"publisher", "select labelstudio_name as n from publisher where publisher = "},
      {"developer", "select artist_name as n from developer where developer = "},
      {"genre", "select category as n from genre where genre = "}};
  for (const auto& [column, value] : filed) {
    if (column == "systemnumber") continue;
    const auto lookup = lookupNames.find(column);
    const std::string read = lookup == lookupNames.end() ? value : (value.empty() ? "" : Texts(lookup->second + value, "n").at(0));
    const auto e = expected.find(column);
    EXPECT_EQ(read, e != expected.end() ? e->second : untouched[column]) << column;
  }
  for (const auto& [column, value] : expected) EXPECT_TRUE(filed.count(column)) << column;
  // Each lookup entry is offered in the section, and the links name the ticked rows.
  EXPECT_EQ(Count("publisher where NTOn <> 0 and labelstudio_name = " + dao::SqlQuote(expected["publisher"])), 1);
  EXPECT_EQ(Count("developer where NTOn <> 0 and artist_name = " + dao::SqlQuote(expected["developer"])), 1);
  EXPECT_EQ(Count("genre where NTOn <> 0 and category = " + dao::SqlQuote(expected["genre"])), 1);
  EXPECT_EQ(Texts("select s.systype as n from systypemedia m, systype s where m.systypeid = s.systypeid and "
                  "m.systemnumber = " + number, "n"),
            Strings{"Disc \xC3\xA9"});
  EXPECT_EQ(Texts("select s.Name as n from supportsmedia m, supports s where m.supports = s.supports and "
                  "m.systemnumber = " + number, "n"),
            Strings{"Rumble"});

  // Shown again from the file, every field reads as typed.
  w.LoadData_PL("~ untouched");
  w.LoadData_PL(expected["name"]);
  for (const auto& [column, field] : typed) EXPECT_EQ(PLMain_Form::TextOf(field.first), field.second) << column;
  for (size_t f = 0; f < w.fText.size(); ++f)
    EXPECT_EQ(w.fText[f]->text().toStdString(), expected["f" + std::to_string(f + 1)]);
  EXPECT_EQ(Ticked(w.tGrid), Strings{"Disc \xC3\xA9"});
  EXPECT_EQ(Ticked(w.sGrid), Strings{"Rumble"});
}

}  // namespace
}  // namespace pl::testing
