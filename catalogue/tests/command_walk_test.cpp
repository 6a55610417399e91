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
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <set>

#include "catalogue/MenuHooks.h"
#include "catalogue/tests/MenuTestSupport.h"
#include "core/AppState.h"
#include "core/Windows.h"
#include "core/tests/CommandWalk.h"
#include "platform/forms/FlexGrid.h"

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
    w_ = new tvn::NewMain_Form();
    w_->Form_Activate();
    w_->show();
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

}  // namespace
