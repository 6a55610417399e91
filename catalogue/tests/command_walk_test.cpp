// Every command of the media window while another program changes the
// collection between the commands: it inserts, changes, renames, moves and
// deletes the record on show and its neighbours, reuses a removed record's
// key and changes the lookup tables. Whatever the user answers, no box
// shows a bare engine error or the engine's own words, the window lives
// on, the file stays sound and every row the other program added is kept.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTableWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "catalogue/MenuHooks.h"
#include "catalogue/NewMain_Form.h"
#include "catalogue/tests/MenuTestSupport.h"
#include "core/AVCollection_Form.h"
#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "core/Windows.h"
#include "core/tests/CommandWalk.h"
#include "platform/forms/FlexGrid.h"
#include "reports/RptForm.h"
#include "reports/frmWizard.h"
#include "reports/frmWizardx.h"

namespace {

using tvn::testing::Answers;
using tvn::testing::CommandWalk;
using tvn::testing::OtherConnection;
using tvn::testing::Quoted;

class MediaCommandWalk : public cattest::MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    // The real editors, quick display and About box; the collection
    // manager (which needs the master list) and the desktop's programs
    // stay recorders, and the chooser picks an artist.
    tvn::MenuHooks::Reset();
    tvn::RegisterCatalogueWindow();
    auto& h = tvn::MenuHooks::Get();
    h.showCollectionManager = [](QWidget*) {};
    h.openWithShell = [](const std::string&) {};
    h.showChooser = [](tvn::SortForm& chooser) {
      chooser.Choice_List->setCurrentIndex(chooser.Choice_List->count() > 1 ? 1 : 0);
    };
    for (const char* name : {"Abbey", "Blue", "Cobalt", "Delta", "Echo", "Fable", "Kind", "Mango", "Zebra"}) {
      cattest::Fields f = {{"artist1", vb::Variant("Miles")},    {"artist2", vb::Variant("Bill")},
                           {"category", vb::Variant("Jazz")},   {"labelstudio", vb::Variant("Columbia")},
                           {"cat_number", vb::Variant("CK 1")}, {"notes", vb::Variant("Stored notes")},
                           {"date_aquired", vb::Variant("3/4/1999")}};
      for (int i = 1; i <= 8; ++i) f["title" + std::to_string(i)] = vb::Variant("Track " + std::to_string(i));
      AddItem(2, name, f);
    }
    AddItem(6, "Tape One");
    AddArtist("Miles", {"cd"});
    AddArtist("Bill", {"cd"});
    AddLookup("category", "category", "Jazz", {"cd"});
    AddLookup("LabelStudio", "LabelStudio_Name", "Columbia", {"cd"});
    std::filesystem::create_directories(Dir() / "pics");
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    picture.save(QString::fromStdString((Dir() / "walk.jpg").string()));
    file_ = tvn::App().CollectionDB->Name();
    // The launcher stays loaded behind the catalogue, as in the program:
    // closing a window the menus opened never ends the program.
    launcher_ = new tvn::Form;
    launcher_->Load();
    tvn::SetEndProgramHandler([this](int) {
      ++endings_;
      tvn::ResetProgramEnded();
    });
  }
  void TearDown() override {
    if (w_) delete w_.data();
    delete launcher_.data();
    tvn::testing::Pump();
    tvn::SetEndProgramHandler({});
    tvn::ResetProgramEnded();
    MenuTest::TearDown();
  }

  tvn::NewMain_Form& Open() {
    if (w_) delete w_.data();
    tvn::testing::Pump();
    SetSetting("LG", "2");
    SetSetting("NF", "2");
    // As the program opens it: the quick display reaches this window.
    tvn::ShowCatalogueWindow(launcher_);
    w_ = tvn::CatalogueWindow();
    w_->Form_Activate();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w_.data()));
    return *w_;
  }

  // The other program's change before step k, on the record the window
  // shows and its neighbours; its own rows are never removed by it.
  void OtherProgramChanges(OtherConnection& other, int k) {
    const std::string n = std::to_string(k);
    const std::string shown = w_ ? w_->StoredNameShown() : "";
    const std::string onShow = "name = " + Quoted(shown) + " and sectionnumber = 2 and name not like 'Witness%'";
    const std::string notOurs = " and name not like 'Witness%'";
    switch (k % 8) {
      case 0: {
        const std::string witness = "Witness " + n;
        other.Change("insert into mediadata (name, sectionnumber, section, artist1, title1) values (" +
                     Quoted(witness) + ", 2, 'Compact Disc', 'Miles', 'Other title');\n"
                     "insert into artists (artist_name, cd) values (" + Quoted("Witness artist " + n) + ", 1);");
        witnesses_.insert(witness);
        ++artistWitnesses_;
        break;
      }
      case 1:
        other.Change("update mediadata set cat_number = 'Other " + n + "', notes = 'Other notes', title7 = "
                     "'Other title', artist4 = 'Other artist', labelstudio = 'Other label' where " + onShow + ";");
        break;
      case 2: other.Change("delete from mediadata where " + onShow + ";"); break;
      case 3:
        other.Change("delete from mediadata where sectionnumber = 2" + notOurs +
                     " and name in ((select max(name) from mediadata where sectionnumber = 2 and name < " +
                     Quoted(shown) + "), (select min(name) from mediadata where sectionnumber = 2 and name > " +
                     Quoted(shown) + "));\n"
                     "insert into mediadata (name, sectionnumber, section) values ('Filler " + n +
                     "', 2, 'Compact Disc');");
        break;
      case 4: other.Change("update mediadata set name = 'Renamed " + n + "' where " + onShow + ";"); break;
      case 5:
        other.Change("update mediadata set sectionnumber = 6, section = 'Video Tape' where " + onShow + ";");
        break;
      case 6:
        other.Change("update category set category = 'Cat " + n + "' where category = (select min(category) from "
                     "category);\n"
                     "delete from labelstudio where labelstudio_name = (select min(labelstudio_name) from "
                     "labelstudio);\n"
                     "update artists set artist_name = 'Artist " + n + "' where artist_name = 'Bill';");
        break;
      case 7:
        // The record on show goes, and a new row may take its key.
        other.Change("delete from mediadata where " + onShow + ";\n"
                     "insert into mediadata (name, sectionnumber, section) values ('Reused " + n +
                     "', 6, 'Video Tape');");
        break;
    }
  }

  QPointer<tvn::NewMain_Form> w_;
  QPointer<tvn::Form> launcher_;
  int endings_ = 0;
  std::string file_;
  std::set<std::string> witnesses_;
  size_t artistWitnesses_ = 0;
};

TEST_F(MediaCommandWalk, NoCommandShowsAnEngineErrorWhileAnotherProgramChangesTheCollection) {
  tvn::NewMain_Form* w = &Open();
  OtherConnection other(file_);
  CommandWalk walk;
  // The commands the window has (toolbars, letters, menus), then its buttons.
  std::vector<std::string> commands = tvn::testing::CommandNamesOf(*w);
  const std::vector<std::string> buttons = {
      "title list",  "section Compact Discs", "section Video Tapes", "section Compact Discs", "add and file",
      "type and file", "Add_Picture", "Delete_Picture", "clear date", "title add", "title modify",
      "title delete", "caption"};
  for (const std::string& b : buttons) commands.push_back(b);

  int k = 0;
  for (const Answers answers : {Answers::Defaults, Answers::Yes, Answers::No, Answers::Cancel}) {
    for (const std::string& name : commands) {
      OtherProgramChanges(other, k);
      // Every other step the user has typed into the record on show.
      if (k % 2 == 1 && w->CS_CatNum_Text->isEnabled()) {
        w->CS_CatNum_Text->setText(QString::fromStdString("Typed " + std::to_string(k)));
        w->CD_Notes_Text->setPlainText("Typed notes");
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
          if (!w->AddingRecord) return;
          w->CS_Name_Text->setText(QString::fromStdString("Walk " + std::to_string(k)));
          w->Toolbar1Buttons[3]->trigger();
        };
      } else if (name == "type and file") {
        act = [w] {
          if (!w->CS_CatNum_Text->isEnabled() || !w->Toolbar1Buttons[3]->isVisible()) return;
          w->CS_CatNum_Text->setText("Typed to file");
          w->Toolbar1Buttons[3]->trigger();
        };
      } else if (name == "Add_Picture" || name == "Delete_Picture") {
        if (name == "Add_Picture") texts = {(Dir() / "walk.jpg").string()};
        act = [w, name] { (name == "Add_Picture" ? w->Add_Picture : w->Delete_Picture)->click(); };
      } else if (name == "clear date") {
        act = [w] { w->btnbdm->click(); };
      } else if (name == "title add" || name == "title modify" || name == "title delete") {
        act = [w, name] {
          w->TGrid->SetRow(1);
          w->TGrid->SetCol(1);
          (name == "title add" ? w->AddButton : name == "title modify" ? w->ModifyButton : w->DeleteButton)->click();
        };
      } else if (name == "caption") {
        texts = {"Walk caption"};
        act = [w] { w->f1Cap_DblClick(); };
      } else {
        act = [w, name] { tvn::testing::GiveCommand(*w, name); };
      }
      walk.Step(what, answers, act, texts);
      // The user's own Delete may remove a row the other program added.
      if (name == "Toolbar1_4" && witnesses_.count(shownBefore) &&
          other.Column("select name from mediadata where name = " + Quoted(shownBefore)).empty())
        witnesses_.erase(shownBefore);
      // File > Exit closes the window: the user opens it again.
      if (!w_ || !w_->isVisible()) w = &Open();
    }
  }

  EXPECT_TRUE(walk.faults.empty()) << walk.faults.size() << " boxes showed engine errors:\n"
                                   << tvn::testing::Lines(walk.faults);
  EXPECT_TRUE(other.Failures().empty()) << "the other program could not write:\n"
                                        << tvn::testing::Lines(other.Failures());
  EXPECT_GT(walk.steps, 200);
  EXPECT_EQ(endings_, 0);
  // Boxes were shown: the walk met the other program's changes.
  EXPECT_FALSE(walk.boxes.empty());
  EXPECT_EQ(other.Column("pragma integrity_check"), std::vector<std::string>{"ok"});
  for (const std::string& witness : witnesses_)
    EXPECT_EQ(other.Column("select name from mediadata where name = " + Quoted(witness)).size(), 1u) << witness;
  const auto artists = other.Column("select artist_name from artists where artist_name like 'Witness artist%'");
  EXPECT_EQ(artists.size(), artistWitnesses_);
}

// The letter clicked had titles when the letter bar was marked, but
// filing the record on show first read the section again without them
// (another program removed them): the window moves on to a record that
// exists, never to an empty editor that takes typing no File can store.
TEST_F(MediaCommandWalk, ALetterWhoseTitlesAnotherProgramRemovedMovesOnToARecordThatExists) {
  tvn::NewMain_Form& w = Open();
  ASSERT_TRUE(tvn::testing::GiveCommand(w, "letter K"));
  ASSERT_EQ(w.CS_Name_Text->text().toStdString(), "Kind");
  w.CS_CatNum_Text->setText("Typed");
  OtherConnection other(file_);
  other.Change("delete from mediadata where name in ('Kind', 'Mango');");
  vb::PromptScript::Clear();
  vb::PromptScript::Answer(vb::vbYes);  // save the changes
  vb::PromptScript::Answer(vb::vbYes);  // file the removed record anew
  ASSERT_TRUE(tvn::testing::GiveCommand(w, "letter M"));
  tvn::testing::Pump();
  EXPECT_EQ(vb::PromptScript::Texts().size(), 2u) << tvn::testing::Lines(vb::PromptScript::Texts());
  EXPECT_EQ(w.CS_Name_Text->text().toStdString(), "Zebra");
  EXPECT_EQ(w.StoredNameShown(), "Zebra");
  EXPECT_EQ(other.Column("select cat_number from mediadata where name = 'Kind'"), std::vector<std::string>{"Typed"});
  EXPECT_EQ(w.List_Combo->currentText().toStdString(), "Zebra");
}

// The records a report marked, changed by another program while the
// report window is open: one renamed, one deleted, one unmarked, one of
// another section marked, one changed. Create Report prints what is
// marked now, in words, and the PDF export writes it.
// The quick display: sorted, then a name the other program just removed
// or renamed is jumped to and opened from the list.
TEST_F(MediaCommandWalk, ReportMarksAndQuickJumpMeetWhatAnotherProgramJustChanged) {
  tvn::NewMain_Form* w = &Open();
  OtherConnection other(file_);
  CommandWalk walk;
  const std::string pdf = (Dir() / "walk.pdf").string();
  // The selector's choices over the rounds: one section, all but software,
  // the audio span, the tape labels (which read the work table).
  const int choices[] = {2, 7, 11, 16};
  int k = 0;
  int printed = 0;
  int jumpsToGone = 0;
  int printsRead = 0;
  int round = 0;
  for (const Answers answers : {Answers::Defaults, Answers::Yes, Answers::No, Answers::Cancel}) {
    const int choice = choices[round++];
    std::string renamed, deleted;
    auto changeMarked = [&] {
      const std::vector<std::string> marked =
          other.Column("select name from mediadata where pr1 and name not like 'Witness%' order by name");
      if (marked.size() < 3) return;
      renamed = "Printed " + std::to_string(k);
      deleted = marked[1];
      other.Change("update mediadata set name = " + Quoted(renamed) + " where name = " + Quoted(marked[0]) +
                   ";\ndelete from mediadata where name = " + Quoted(marked[1]) +
                   ";\nupdate mediadata set pr1 = 0 where name = " + Quoted(marked[2]) +
                   ";\nupdate mediadata set pr1 = 1 where name = 'Tape One';\n"
                   "update mediadata set notes = 'Other notes' where pr1 and name not like 'Witness%';");
    };
    const auto drive = [&](QWidget* window) {
      // Told by class name: the report library is reached only through the
      // window's menus, so this test does not link it.
      const std::string kind = window->metaObject()->className();
      if (kind == "tvn::reports::frmWizardx") {
        auto* selector = static_cast<tvn::reports::frmWizardx*>(window);
        selector->Step1_Option[size_t(choice)]->setChecked(true);
        for (int i = 0; i < 8 && !selector->C_Button[4]->isEnabled(); ++i) selector->C_Button[3]->click();
        selector->C_Button[4]->click();
      } else if (kind == "tvn::reports::frmWizard") {
        auto* wizard = static_cast<tvn::reports::frmWizard*>(window);
        // A general report: the audio sections ticked, one of them
        // unticked again in the later rounds.
        wizard->C_Button[3]->click();
        wizard->ReportTypeOption[0]->setChecked(true);
        emit wizard->ReportGrid->cellClicked(1, 0);
        if (round > 2) emit wizard->ReportGrid->cellClicked(3, 0);
        for (int i = 0; i < 8 && !wizard->C_Button[4]->isEnabled(); ++i) wizard->C_Button[3]->click();
        wizard->C_Button[4]->click();
      } else if (kind == "tvn::reports::RptForm") {
        auto* report = static_cast<tvn::reports::RptForm*>(window);
        changeMarked();
        report->CreateButton->click();
        std::filesystem::remove(pdf);
        report->btnPDF->click();
        if (std::filesystem::exists(pdf)) ++printed;
      }
    };
    for (const std::string& name : {std::string("RWStandardmenu"), std::string("ReportMenu")}) {
      OtherProgramChanges(other, k);
      if (k % 2 == 1 && w->CS_CatNum_Text->isEnabled()) w->CS_CatNum_Text->setText("Typed");
      ++k;
      walk.Step("step " + std::to_string(k) + " " + name, answers,
                [w, name] { tvn::testing::GiveCommand(*w, name); }, {pdf, pdf, pdf}, drive);
      if (!w_ || !w_->isVisible()) w = &Open();
      // The one-section report printed the marked records as they are now.
      if (name == "RWStandardmenu" && choice == 2 && !renamed.empty() && std::filesystem::exists(pdf)) {
        QProcess pdftotext;
        pdftotext.start("pdftotext", {QString::fromStdString(pdf), "-"});
        ASSERT_TRUE(pdftotext.waitForFinished(30000));
        const std::string text = pdftotext.readAllStandardOutput().toStdString();
        EXPECT_NE(text.find(renamed), std::string::npos) << text;
        EXPECT_EQ(text.find(deleted + "\n"), std::string::npos) << deleted << "\n" << text;
        ++printsRead;
      }
    }

    // The quick display, sorted, then a jump to a name that is gone.
    for (int jump = 0; jump < 3; ++jump) {
      OtherProgramChanges(other, k);
      ++k;
      walk.Step("step " + std::to_string(k) + " quick display", answers,
                [w] { tvn::testing::GiveCommand(*w, "menuQD"); });
      tvn::AVQDForm* qd = tvn::QuickDisplayWindow();
      if (!qd) continue;
      ++k;
      walk.Step("step " + std::to_string(k) + " quick sort", answers, [qd] {
        qd->QDGrid->SetRow(1);
        qd->QDGrid->SetCol(3);
        qd->menuD->trigger();
        qd->QDGrid->SetCol(2);
        qd->menuA->trigger();
      });
      // A name the grid lists, of the section on show, goes or is renamed.
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
      if ((stays || k % 2 == 1) && w->CS_CatNum_Text->isEnabled()) w->CS_CatNum_Text->setText("Typed");
      ++k;
      walk.Step("step " + std::to_string(k) + " quick jump to " + target, answers, [qd, target] {
        qd->srchOption[2]->click();
        qd->txtSearch->setText(QString::fromStdString(target));
        qd->btnSearch->click();
      });
      ASSERT_EQ(tvn::QuickDisplayWindow(), qd);
      EXPECT_EQ(qd->QDGrid->TextMatrix(qd->QDGrid->Row(), 2).toStdString(), target);
      ++k;
      const size_t boxesBefore = walk.boxes.size();
      walk.Step("step " + std::to_string(k) + " quick open", answers, [qd] { emit qd->QDGrid->DblClick(); });
      if (!w_ || !w_->isVisible()) w = &Open();
      if (!stays) {
        // The gone record is told, never shown.
        EXPECT_GT(walk.boxes.size(), boxesBefore) << target;
        EXPECT_NE(w->StoredNameShown(), target);
        ++jumpsToGone;
      } else if (answers == Answers::Yes || answers == Answers::No) {
        // Past the question on the typing, the record opens as stored now.
        EXPECT_EQ(w->StoredNameShown(), target) << tvn::testing::Lines(walk.boxes);
        EXPECT_EQ(w->CD_Notes_Text->toPlainText().toStdString(), "Notes of the other program");
      }
      walk.Step("step " + std::to_string(k) + " quick close", answers, [qd] { qd->btnClose->click(); });
    }
  }

  EXPECT_TRUE(walk.faults.empty()) << walk.faults.size() << " boxes showed engine errors:\n"
                                   << tvn::testing::Lines(walk.faults);
  EXPECT_TRUE(other.Failures().empty()) << "the other program could not write:\n"
                                        << tvn::testing::Lines(other.Failures());
  EXPECT_GE(printed, 4);
  EXPECT_EQ(printsRead, 1);
  EXPECT_GE(jumpsToGone, 6);
  EXPECT_EQ(endings_, 0);
  EXPECT_EQ(other.Column("pragma integrity_check"), std::vector<std::string>{"ok"});
  for (const std::string& witness : witnesses_)
    EXPECT_EQ(other.Column("select name from mediadata where name = " + Quoted(witness)).size(), 1u) << witness;
}

// The collection manager itself: the user makes a second collection, goes
// back to the first, then switches to the second while another program
// commits rows to it one by one, and compacts it while the writer goes on.
// Every row the writer committed is in the file afterwards, its writes
// never fail, and the window shows the second collection.
TEST_F(MediaCommandWalk, SwitchingToAndCompactingACollectionAnotherProgramWritesKeepsEveryRow) {
  tvn::schema::EnsureTemplates(Dir().string());
  tvn::schema::CreateMasterListFile((Dir() / "admin.sys").string());
  tvn::MenuHooks::Get().showCollectionManager = [](QWidget* owner) { tvn::ShowCollectionManager(owner); };
  tvn::NewMain_Form* w = &Open();
  CommandWalk walk;
  // Works the manager with `work`, then leaves it by Exit.
  auto manage = [](std::function<void(tvn::AVCollection_Form&)> work) {
    return [work](QWidget* window) {
      auto* manager = qobject_cast<tvn::AVCollection_Form*>(window);
      if (!manager) return;
      work(*manager);
      if (manager->isVisible()) manager->ExitCB->click();
    };
  };
  auto choose = [](const std::string& name) {
    return [name](tvn::AVCollection_Form& manager) {
      const auto items = manager.CB_List->findItems(QString::fromStdString(name), Qt::MatchExactly);
      if (items.isEmpty()) return;
      manager.CB_List->setCurrentItem(items.first());
      items.first()->setSelected(true);
      manager.OpenCB->click();
    };
  };
  auto collection = [w] { return [w] { tvn::testing::GiveCommand(*w, "CollectionMenu"); }; };

  walk.Step("create Second", Answers::Defaults, collection(), {"Second"},
            manage([](tvn::AVCollection_Form& manager) { manager.CreateCB->click(); }));
  ASSERT_EQ(tvn::AVData()->LastDB(), "Second.mdb");
  walk.Step("open My Collection", Answers::Defaults, collection(), {}, manage(choose("My Collection")));
  ASSERT_EQ(tvn::AVData()->LastDB(), "av30.mdb");
  EXPECT_EQ(w->StoredNameShown(), "Abbey");

  const std::string second = (Dir() / "Second.mdb").string();
  tvn::testing::RowWriter writer(second,
                                 "insert into mediadata (name, SectionNumber, section) values ('Other ' || ?1, 2, "
                                 "'Compact Disc')");
  writer.WaitBeyond(3);
  // Met at the very moment the other program commits (on a busy machine a
  // commit may outlast the wait of a read), the file is told in use and
  // nothing changes; the user tries again, as the message says.
  size_t inUse = 0;
  for (int attempt = 0; attempt < 5 && tvn::AVData()->LastDB() != "Second.mdb"; ++attempt) {
    const size_t before = walk.boxes.size();
    walk.Step("open Second", Answers::Defaults, collection(), {}, manage(choose("Second")));
    for (size_t i = before; i < walk.boxes.size(); ++i) {
      EXPECT_NE(walk.boxes[i].find("is in use by another program"), std::string::npos) << walk.boxes[i];
      ++inUse;
    }
  }
  EXPECT_EQ(tvn::AVData()->LastDB(), "Second.mdb");
  EXPECT_TRUE(w->windowTitle().contains("Second"));
  EXPECT_EQ(w->StoredNameShown().rfind("Other ", 0), 0u) << w->StoredNameShown();
  tvn::testing::UserWaitsWhileWriting(writer, 5);
  walk.Step("compact Second", Answers::Yes, [w] { tvn::testing::GiveCommand(*w, "Compact_Menu"); });
  tvn::testing::UserWaitsWhileWriting(writer, 10);
  walk.Step("title list", Answers::Defaults, [w] { tvn::testing::GiveCommand(*w, "letter O"); });
  // The program is back to waiting for the user (its reads let go) when
  // the other program stops.
  tvn::testing::UserWaitsWhileWriting(writer, 3);
  writer.Stop();

  EXPECT_TRUE(walk.faults.empty()) << tvn::testing::Lines(walk.faults);
  EXPECT_EQ(writer.Error(), "");
  // The name typed, the compaction question, and the tries told in use.
  EXPECT_EQ(walk.boxes.size(), 2u + inUse) << tvn::testing::Lines(walk.boxes);
  ASSERT_TRUE(tvn::App().CollectionDB && tvn::App().CollectionDB->IsOpen());
  EXPECT_EQ(tvn::App().CollectionDB->Name(), second);
  OtherConnection after(second);
  EXPECT_EQ(after.Column("select count(distinct name) from mediadata where name like 'Other %'"),
            std::vector<std::string>{std::to_string(writer.Committed())});
  EXPECT_EQ(after.Column("pragma integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(w->StoredNameShown().rfind("Other ", 0), 0u) << w->StoredNameShown();
  EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(endings_, 0);
}

// A record another program added after the window read its section,
// opened from the quick display: it is shown, without a box.
TEST_F(MediaCommandWalk, ARecordAnotherProgramAddedOpensFromTheList) {
  tvn::NewMain_Form& w = Open();
  OtherConnection other(file_);
  other.Change("insert into mediadata (name, sectionnumber, section, notes) values ('Bonus', 2, 'Compact Disc', "
               "'Added elsewhere');");
  ASSERT_TRUE(tvn::testing::GiveCommand(w, "menuQD"));
  tvn::AVQDForm* qd = tvn::QuickDisplayWindow();
  ASSERT_NE(qd, nullptr);
  vb::PromptScript::Clear();
  qd->srchOption[2]->click();
  qd->txtSearch->setText("Bonus");
  qd->btnSearch->click();
  ASSERT_EQ(qd->QDGrid->TextMatrix(qd->QDGrid->Row(), 2).toStdString(), "Bonus");
  emit qd->QDGrid->DblClick();
  tvn::testing::Pump();
  EXPECT_TRUE(vb::PromptScript::Texts().empty()) << tvn::testing::Lines(vb::PromptScript::Texts());
  EXPECT_EQ(w.StoredNameShown(), "Bonus");
  EXPECT_EQ(w.CD_Notes_Text->toPlainText().toStdString(), "Added elsewhere");
}

}  // namespace
