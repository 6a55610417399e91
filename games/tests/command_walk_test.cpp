// Every command of the game window while another program changes the game
// collection between the commands: it inserts games, changes, renames,
// moves to another console and deletes the game on show and its
// neighbours, and changes the lookup lists and the system-type and
// feature links. Whatever the user answers, no box shows a bare engine
// error or the engine's own words, the window lives on, the file stays
// sound and every row the other program added is kept.
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "core/tests/CommandWalk.h"
#include "games/PLQDForm.h"
#include "games/reports/RptForm.h"
#include "games/reports/frmWizard.h"
#include "games/tests/GameWindowFixture.h"

namespace pl::testing {
namespace {

using tvn::testing::Answers;
using tvn::testing::CommandWalk;
using tvn::testing::OtherConnection;
using tvn::testing::Quoted;

class GameCommandWalk : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    const long publisher =
        Add("publisher", {{"labelstudio_name", vb::Variant(std::string("Nintendo"))}, {"NTOn", vb::Variant(true)}},
            "publisher");
    Add("genre", {{"category", vb::Variant(std::string("Puzzle"))}, {"NTOn", vb::Variant(true)}}, "genre");
    for (const char* name : {"Asteroids", "Bomber", "Castle", "Dig", "Excite", "Frogs", "Kart", "Metro", "Zelda"})
      Game(name, 2, publisher);
    Game("Other One", 6);
    const long cartridge = Add("systype", {{"systype", vb::Variant(std::string("Cartridge"))}}, "systypeid");
    Add("systype", {{"systype", vb::Variant(std::string("Disc"))}}, "systypeid");
    const long rumble = Add("supports", {{"Name", vb::Variant(std::string("Rumble"))}}, "supports");
    for (const std::string& g : Texts("select systemnumber from mediadata", "systemnumber")) {
      Db().Execute("insert into systypemedia (systemnumber, systypeid) values (" + g + ", " +
                   std::to_string(cartridge) + ")");
      Db().Execute("insert into supportsmedia (systemnumber, supports) values (" + g + ", " + std::to_string(rumble) +
                   ")");
    }
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    picture.save(QString::fromStdString(Home() + "/walk.jpg"));
    std::filesystem::create_directories(Home() + "/pics");
    file_ = Db().Name();
  }
  void TearDown() override {
    CloseGameQuickDisplay();
    if (window_) delete window_.data();
    PL().MainWindow = nullptr;
    tvn::testing::Pump();
    GameWindowTest::TearDown();
  }

  PLMain_Form& Reopen() {
    if (window_) delete window_.data();
    PL().MainWindow = nullptr;
    tvn::testing::Pump();
    // A collection the window closed (File > Exit) is opened again, as the
    // launcher does.
    if (!PL().GameDB || !PL().GameDB->IsOpen()) PL().GameDB = PL().Workspace->OpenDatabase(file_);
    PLMain_Form& w = Showing(2);
    running_->setValue(1);
    return w;
  }

  // The other program's change before step k, on the game the window shows
  // and its neighbours; its own rows are never removed by it.
  void OtherProgramChanges(OtherConnection& other, int k) {
    const std::string n = std::to_string(k);
    const std::string shown = window_ ? window_->StoredNameShown() : "";
    const std::string onShow = "name = " + Quoted(shown) + " and sectionnumber = 2 and name not like 'Witness%'";
    const std::string shownKey = "(select systemnumber from mediadata where " + onShow + ")";
    switch (k % 8) {
      case 0: {
        const std::string witness = "Witness " + n;
        other.Change("insert into mediadata (name, sectionnumber, publisher) values (" + Quoted(witness) +
                     ", 2, 1);\n"
                     "insert into publisher (labelstudio_name, NTOn) values (" + Quoted("Witness publisher " + n) +
                     ", 1);");
        witnesses_.insert(witness);
        ++publisherWitnesses_;
        break;
      }
      case 1:
        other.Change("update mediadata set bestfeature = 'Other " + n + "', notes = 'Other notes', players = '4', "
                     "genre = 1 where " + onShow + ";\n"
                     "insert into supportsmedia (systemnumber, supports) select systemnumber, 1 from mediadata "
                     "where " + onShow + ";");
        break;
      case 2: other.Change("delete from mediadata where " + onShow + ";"); break;
      case 3:
        other.Change("delete from mediadata where sectionnumber = 2 and name not like 'Witness%' and name in "
                     "((select max(name) from mediadata where sectionnumber = 2 and name < " + Quoted(shown) +
                     "), (select min(name) from mediadata where sectionnumber = 2 and name > " + Quoted(shown) +
                     "));\n"
                     "insert into mediadata (name, sectionnumber) values ('Filler " + n + "', 2);");
        break;
      case 4: other.Change("update mediadata set name = 'Renamed " + n + "' where " + onShow + ";"); break;
      case 5: other.Change("update mediadata set sectionnumber = 6 where " + onShow + ";"); break;
      case 6:
        other.Change("update genre set category = 'Genre " + n + "' where genre = 1;\n"
                     "insert into systype (systype) values ('System " + n + "');\n"
                     "delete from supports where supports = (select max(supports) from supports where supports > 1);\n"
                     "insert into supports (Name) values ('Feature " + n + "');\n"
                     "delete from systypemedia where systemnumber = " + shownKey + ";");
        break;
      case 7:
        other.Change("delete from mediadata where " + onShow + ";\n"
                     "insert into mediadata (name, sectionnumber) values ('Another " + n + "', 2);");
        break;
    }
  }

  std::string file_;
  std::set<std::string> witnesses_;
  size_t publisherWitnesses_ = 0;
};

TEST_F(GameCommandWalk, NoCommandShowsAnEngineErrorWhileAnotherProgramChangesTheCollection) {
  PLMain_Form* w = &Reopen();
  OtherConnection other(file_);
  CommandWalk walk;
  std::vector<std::string> commands = tvn::testing::CommandNamesOf(*w);
  for (const char* b : {"title list", "section Nintendo", "section Other", "section Nintendo", "add and file",
                        "type and file", "Add_Picture", "Delete_Picture", "clear acquired", "clear released",
                        "tick system", "tick feature", "caption"})
    commands.push_back(b);

  int k = 0;
  for (const Answers answers : {Answers::Defaults, Answers::Yes, Answers::No, Answers::Cancel}) {
    for (const std::string& name : commands) {
      OtherProgramChanges(other, k);
      if (k % 2 == 1 && w->txtBestFeature->isEnabled()) {
        w->txtBestFeature->setText(QString::fromStdString("Typed " + std::to_string(k)));
        w->txtNotes->setPlainText("Typed notes");
      }
      const std::string shownBefore = w->StoredNameShown();
      const std::string what = "step " + std::to_string(k) + " " + name;
      ++k;
      std::vector<std::string> texts;
      std::function<void()> act;
      if (name == "title list") {
        act = [w, k] {
          const int count = w->List_Combo->count();
          if (count == 0) return;
          w->List_Combo->setCurrentIndex(k % count);
          emit w->List_Combo->activated(k % count);
        };
      } else if (name.rfind("section ", 0) == 0) {
        act = [w, caption = name.substr(8)] {
          const auto items =
              w->SSListBar1->findItems(QString::fromStdString(caption), Qt::MatchExactly | Qt::MatchRecursive);
          if (!items.isEmpty()) emit w->SSListBar1->itemClicked(items.first(), 0);
        };
      } else if (name == "add and file") {
        act = [w, k] {
          w->Toolbar1Buttons[1]->trigger();
          if (!w->AddMode) return;
          w->txtName->setText(QString::fromStdString("Walk " + std::to_string(k)));
          w->Toolbar1Buttons[3]->trigger();
        };
      } else if (name == "type and file") {
        act = [w] {
          if (!w->txtBestFeature->isEnabled() || !w->Toolbar1Buttons[3]->isVisible()) return;
          w->txtBestFeature->setText("Typed to file");
          w->Toolbar1Buttons[3]->trigger();
        };
      } else if (name == "Add_Picture" || name == "Delete_Picture") {
        if (name == "Add_Picture") texts = {Home() + "/walk.jpg"};
        act = [w, name] { (name == "Add_Picture" ? w->Add_Picture : w->Delete_Picture)->click(); };
      } else if (name == "clear acquired" || name == "clear released") {
        act = [w, name] { (name == "clear acquired" ? w->btnBlankADate : w->btnBlankRDate)->click(); };
      } else if (name == "tick system" || name == "tick feature") {
        act = [w, name] {
          forms::FlexGrid* grid = name == "tick system" ? w->tGrid : w->sGrid;
          if (grid->Rows() < 2 || !grid->isEnabled()) return;
          grid->SetRow(1);
          grid->SetCol(1);
          emit grid->Click();
        };
      } else if (name == "caption") {
        texts = {"Walk caption"};
        act = [w] { w->f1Cap_DblClick(); };
      } else {
        act = [w, name] { tvn::testing::GiveCommand(*w, name); };
      }
      walk.Step(what, answers, act, texts);
      if (name == "Toolbar1_4" && witnesses_.count(shownBefore) &&
          other.Column("select name from mediadata where name = " + Quoted(shownBefore)).empty())
        witnesses_.erase(shownBefore);
      if (!window_ || !window_->isVisible()) w = &Reopen();
    }
  }

  EXPECT_TRUE(walk.faults.empty()) << walk.faults.size() << " boxes showed engine errors:\n"
                                   << tvn::testing::Lines(walk.faults);
  EXPECT_TRUE(other.Failures().empty()) << "the other program could not write:\n"
                                        << tvn::testing::Lines(other.Failures());
  EXPECT_GT(walk.steps, 150);
  EXPECT_FALSE(walk.boxes.empty());
  EXPECT_EQ(other.Column("pragma integrity_check"), std::vector<std::string>{"ok"});
  for (const std::string& witness : witnesses_)
    EXPECT_EQ(other.Column("select name from mediadata where name = " + Quoted(witness)).size(), 1u) << witness;
  EXPECT_EQ(other.Column("select labelstudio_name from publisher where labelstudio_name like 'Witness%'").size(),
            publisherWitnesses_);
}

// A lookup editor closed over a game another program removed meanwhile:
// the window says the game is gone and shows one that exists, never the
// engine's words. Every menu command reaches the record on show so.
TEST_F(GameCommandWalk, AnEditorClosedOverAGameAnotherProgramRemovedTellsItAndMovesOn) {
  PLMain_Form& w = Reopen();
  ASSERT_EQ(Name(), "Asteroids");
  OtherConnection other(file_);
  const Strings gone = {"Asteroids", "Bomber"};
  const Strings next = {"Bomber", "Castle"};
  const std::vector<QAction*> editors = {w.menuSysType, w.menuSupports};
  for (size_t i = 0; i < editors.size(); ++i) {
    other.Change("delete from mediadata where name = " + Quoted(gone[i]) + ";");
    CommandWalk walk;
    walk.Step("editor", Answers::Defaults, [&] { editors[i]->trigger(); });
    EXPECT_EQ(walk.boxes, Strings{"editor: \"" + gone[i] + "\" was removed from the collection \"" + file_ +
                                  "\" by another program."});
    EXPECT_EQ(Name(), next[i]);
    EXPECT_EQ(w.StoredNameShown(), next[i]);
  }
}

// The games a report marked, changed by another program between the
// wizard's Finish and Create Report (one renamed, one deleted, one
// unmarked, one of another section marked), and the limit entries the
// user ticked and unticked changed under the wizard. The quick display:
// sorted, then a game the other program just removed or renamed is jumped
// to and opened from the list.
TEST_F(GameCommandWalk, ReportMarksAndQuickJumpMeetWhatAnotherProgramJustChanged) {
  PLMain_Form* w = &Reopen();
  OtherConnection other(file_);
  CommandWalk walk;
  const std::string pdf = Home() + "/walk.pdf";
  int k = 0;
  int printed = 0;
  int jumpsToGone = 0;
  int printsRead = 0;
  for (const Answers answers : {Answers::Defaults, Answers::Yes, Answers::No, Answers::Cancel}) {
    std::string renamed, deleted;
    const auto drive = [&](QWidget* window) {
      if (auto* wizard = qobject_cast<pl::frmWizard*>(window)) {
        wizard->C_Button[3]->click();
        wizard->ReportGrid_Click(1);  // all sections
        wizard->C_Button[3]->click();
        // Limits ticked and unticked, then changed by the other program.
        for (QTableWidget* grid : {wizard->PublisherGrid, wizard->SupportsGrid, wizard->SysTypesGrid})
          for (int row = 1; row < std::min(grid->rowCount(), 3); ++row) wizard->ToggleFilterCheck(grid, row);
        if (wizard->SupportsGrid->rowCount() > 2) wizard->ToggleFilterCheck(wizard->SupportsGrid, 2);
        other.Change("update publisher set labelstudio_name = 'Publisher " + std::to_string(k) +
                     "' where publisher = 1;\n"
                     "delete from supports where supports = (select max(supports) from supports);\n"
                     "delete from systype where systypeid = (select max(systypeid) from systype);");
        for (int i = 0; i < 8 && !wizard->C_Button[4]->isEnabled(); ++i) wizard->C_Button[3]->click();
        wizard->C_Button[4]->click();
      } else if (auto* report = qobject_cast<pl::RptForm*>(window)) {
        const std::vector<std::string> marked =
            other.Column("select name from mediadata where printrecord and name not like 'Witness%' order by name");
        if (marked.size() >= 3) {
          renamed = "Printed " + std::to_string(k);
          deleted = marked[1];
          other.Change("update mediadata set name = " + Quoted(renamed) + " where name = " + Quoted(marked[0]) +
                       ";\ndelete from mediadata where name = " + Quoted(marked[1]) +
                       ";\nupdate mediadata set printrecord = 0 where name = " + Quoted(marked[2]) +
                       ";\nupdate mediadata set printrecord = 1 where name = 'Other One';");
        }
        report->CreateButton->click();
        std::filesystem::remove(pdf);
        report->btnPDF->click();
        if (!std::filesystem::exists(pdf)) return;
        ++printed;
        // The games marked now are printed, as they are now.
        QProcess pdftotext;
        pdftotext.start("pdftotext", {QString::fromStdString(pdf), "-"});
        ASSERT_TRUE(pdftotext.waitForFinished(30000));
        const std::string text = pdftotext.readAllStandardOutput().toStdString();
        if (!renamed.empty()) {
          EXPECT_NE(text.find(renamed), std::string::npos) << text;
          EXPECT_EQ(text.find(deleted + "\n"), std::string::npos) << deleted << "\n" << text;
          ++printsRead;
        }
      }
    };
    OtherProgramChanges(other, k);
    if (k % 2 == 1 && w->txtBestFeature->isEnabled()) w->txtBestFeature->setText("Typed");
    ++k;
    walk.Step("step " + std::to_string(k) + " report", answers, [w] { tvn::testing::GiveCommand(*w, "ReportMenu"); },
              {pdf, pdf, pdf}, drive);
    if (!window_ || !window_->isVisible()) w = &Reopen();

    for (int jump = 0; jump < 3; ++jump) {
      OtherProgramChanges(other, k);
      ++k;
      walk.Step("step " + std::to_string(k) + " quick display", answers,
                [w] { tvn::testing::GiveCommand(*w, "qdmenu"); });
      PLQDForm* qd = GameQuickDisplayWindow();
      if (!qd) continue;
      ++k;
      walk.Step("step " + std::to_string(k) + " quick sort", answers, [qd] {
        qd->QDGrid->SetRow(1);
        qd->QDGrid->SetCol(3);
        qd->menuD->trigger();
        qd->QDGrid->SetCol(2);
        qd->menuA->trigger();
      });
      std::string target;
      for (int r = 1; r < qd->QDGrid->Rows() && target.empty(); ++r) {
        const std::string name = qd->QDGrid->TextMatrix(r, 2).toStdString();
        if (qd->QDGrid->TextMatrix(r, 0) == "2" && name.rfind("Witness", 0) != 0 && name != w->StoredNameShown() &&
            !other.Column("select name from mediadata where name = " + Quoted(name)).empty())
          target = name;
      }
      if (target.empty()) continue;
      // The third time the name stays: the other program changes that
      // record and the one on show, where the user has typed.
      const bool stays = jump == 2;
      other.Change(jump == 0 ? "delete from mediadata where name = " + Quoted(target) + ";"
                   : jump == 1
                       ? "update mediadata set name = 'Jumped " + std::to_string(k) + "' where name = " +
                             Quoted(target) + ";"
                       : "update mediadata set notes = 'Notes of the other program' where name = " + Quoted(target) +
                             " or name = " + Quoted(w->StoredNameShown()) + ";");
      if ((stays || k % 2 == 1) && w->txtBestFeature->isEnabled()) w->txtBestFeature->setText("Typed");
      ++k;
      walk.Step("step " + std::to_string(k) + " quick jump to " + target, answers, [qd, target] {
        qd->srchOption[2]->click();
        qd->txtSearch->setText(QString::fromStdString(target));
        qd->QuickJumpSearch();
      });
      ASSERT_EQ(GameQuickDisplayWindow(), qd);
      EXPECT_EQ(qd->QDGrid->TextMatrix(qd->QDGrid->Row(), 2).toStdString(), target);
      ++k;
      const size_t boxesBefore = walk.boxes.size();
      walk.Step("step " + std::to_string(k) + " quick open", answers, [qd] { emit qd->QDGrid->DblClick(); });
      if (!window_ || !window_->isVisible()) w = &Reopen();
      if (!stays) {
        // The gone record is told, never shown.
        EXPECT_GT(walk.boxes.size(), boxesBefore) << target;
        EXPECT_NE(w->StoredNameShown(), target);
        ++jumpsToGone;
      } else if (answers == Answers::Yes || answers == Answers::No) {
        // Past the question on the typing, the record opens as stored now.
        EXPECT_EQ(w->StoredNameShown(), target) << tvn::testing::Lines(walk.boxes);
        EXPECT_EQ(w->txtNotes->toPlainText().toStdString(), "Notes of the other program");
      }
      walk.Step("step " + std::to_string(k) + " quick close", answers, [qd] { qd->btnClose->click(); });
    }
  }

  EXPECT_TRUE(walk.faults.empty()) << walk.faults.size() << " boxes showed engine errors:\n"
                                   << tvn::testing::Lines(walk.faults);
  EXPECT_TRUE(other.Failures().empty()) << "the other program could not write:\n"
                                        << tvn::testing::Lines(other.Failures());
  EXPECT_GE(printed, 4);
  EXPECT_GE(printsRead, 2);
  EXPECT_GE(jumpsToGone, 6);
  EXPECT_EQ(other.Column("pragma integrity_check"), std::vector<std::string>{"ok"});
  for (const std::string& witness : witnesses_)
    EXPECT_EQ(other.Column("select name from mediadata where name = " + Quoted(witness)).size(), 1u) << witness;
}

// A game opened from the quick display, removed by another program, typed
// into, then another game opened from the list: the user's Yes to saving
// offers to file the typing anew, as File does, and the window moves on
// to the game asked for. Twice: the second time over a game opened just
// after such a filing anew.
TEST_F(GameCommandWalk, OpeningFromTheListOverAGameAnotherProgramRemovedOffersToFileItAnew) {
  PLMain_Form& w = Reopen();
  PLQDForm* qd = ShowGameQuickDisplay(&w);
  ASSERT_NE(qd, nullptr);
  auto open = [qd](const std::string& name) {
    for (int r = 1; r < qd->QDGrid->Rows(); ++r)
      if (qd->QDGrid->TextMatrix(r, 2).toStdString() == name) {
        qd->QDGrid->SetRow(r);
        emit qd->QDGrid->DblClick();
        tvn::testing::Pump();
        return true;
      }
    return false;
  };
  ASSERT_TRUE(open("Castle"));
  ASSERT_EQ(w.StoredNameShown(), "Castle");
  OtherConnection other(file_);
  const std::pair<std::string, std::string> steps[] = {{"Castle", "Dig"}, {"Dig", "Frogs"}};
  for (const auto& [gone, next] : steps) {
    // The first time the game is moved and renamed, the second deleted.
    other.Change(gone == "Castle" ? "update mediadata set sectionnumber = 6, name = 'Moved' where name = 'Castle';"
                                  : "delete from mediadata where name = " + Quoted(gone) + ";");
    w.txtBestFeature->setText(QString::fromStdString("Typed for " + gone));
    vb::PromptScript::Clear();
    vb::PromptScript::Answer(vb::vbYes);  // save the changes
    vb::PromptScript::Answer(vb::vbYes);  // file the removed game anew
    ASSERT_TRUE(open(next));
    const Strings boxes = vb::PromptScript::Texts();
    ASSERT_EQ(boxes.size(), 2u) << tvn::testing::Lines(boxes);
    EXPECT_EQ(boxes[0], "Save the changes to \"" + gone + "\"?");
    EXPECT_EQ(boxes[1].rfind("\"" + gone + "\" was removed from the collection", 0), 0u) << boxes[1];
    EXPECT_EQ(other.Column("select bestfeature from mediadata where name = " + Quoted(gone) + " and sectionnumber = 2"),
              Strings{"Typed for " + gone});
    EXPECT_EQ(w.StoredNameShown(), next);
    EXPECT_EQ(Name(), next);
  }
}

// A game another program added after the window read its section, opened
// from the quick display: it is shown, without a box.
TEST_F(GameCommandWalk, AGameAnotherProgramAddedOpensFromTheList) {
  PLMain_Form& w = Reopen();
  OtherConnection other(file_);
  other.Change("insert into mediadata (name, sectionnumber, notes) values ('Bonus', 2, 'Added elsewhere');");
  PLQDForm* qd = ShowGameQuickDisplay(&w);
  ASSERT_NE(qd, nullptr);
  vb::PromptScript::Clear();
  qd->srchOption[2]->click();
  qd->txtSearch->setText("Bonus");
  qd->QuickJumpSearch();
  ASSERT_EQ(qd->QDGrid->TextMatrix(qd->QDGrid->Row(), 2).toStdString(), "Bonus");
  emit qd->QDGrid->DblClick();
  tvn::testing::Pump();
  EXPECT_TRUE(vb::PromptScript::Texts().empty()) << tvn::testing::Lines(vb::PromptScript::Texts());
  EXPECT_EQ(w.StoredNameShown(), "Bonus");
  EXPECT_EQ(w.txtNotes->toPlainText().toStdString(), "Added elsewhere");
}

}  // namespace
}  // namespace pl::testing
