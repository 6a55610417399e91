// The five lookup-list editors on a real game collection: what each window
// shows, adding, renaming and deleting entries, and what a delete does to
// the games that use the entry.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "games/PLLookupEditors.h"
#include "games/tests/CollectionFixture.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using Btn = tvn::LookupEditorForm::ToolbarButton;
using vb::PromptScript;

std::vector<bool> Visible(const tvn::LookupEditorForm& f) {
  std::vector<bool> v;
  for (int i = 1; i <= 6; ++i) v.push_back(f.Toolbar1Buttons[size_t(i)]->isVisible());
  return v;
}
std::vector<std::string> Listed(const QComboBox* combo) {
  std::vector<std::string> v;
  for (int i = 0; i < combo->count(); ++i) v.push_back(combo->itemText(i).toStdString());
  return v;
}

class GameEditorsTest : public GameCollectionTest {
 protected:
  long Publisher(const std::string& name) {
    return Add("publisher", {{"labelstudio_name", vb::Variant(name)}}, "publisher");
  }
};

TEST_F(GameEditorsTest, EachEditorOpensEmptyWithItsCaptionLabelAndBoxes) {
  struct Expect {
    GameList list;
    const char* caption;
    const char* label;
    bool consoles;
  };
  const Expect lists[] = {{GameList::SysType, "System Type Manager", "System Type", false},
                          {GameList::Publisher, "Publisher Manager", "Publisher", true},
                          {GameList::Genre, "Genre Manager", "Genre", true},
                          {GameList::Developer, "Developer Manager", "Developer", true},
                          {GameList::Supports, "Supports Manager", "Support", false}};
  for (const Expect& e : lists) {
    SCOPED_TRACE(e.caption);
    std::unique_ptr<PLLookupEditor> f;
    switch (e.list) {
      case GameList::SysType: f = std::make_unique<SysTypeForm>(); break;
      case GameList::Publisher: f = std::make_unique<PublisherForm>(); break;
      case GameList::Genre: f = std::make_unique<GenreForm>(); break;
      case GameList::Developer: f = std::make_unique<DeveloperForm>(); break;
      case GameList::Supports: f = std::make_unique<SupportsForm>(); break;
    }
    f->Form_Load();
    f->show();
    EXPECT_EQ(f->windowTitle().toStdString(), e.caption);
    EXPECT_EQ(f->TableLabel->text().toStdString(), e.label);
    EXPECT_EQ(f->Close_Category->text().toStdString(), " Close ");
    // The empty table: only Add, an empty chooser, a grey and disabled name box.
    EXPECT_EQ(Visible(*f), (std::vector<bool>{true, false, false, false, false, false}));
    EXPECT_EQ(f->Select_Item_Combo->count(), 0);
    EXPECT_FALSE(f->Category_Text->isEnabled());
    EXPECT_EQ(tvn::BackColour(f->Category_Text), 0xE0E0E0u);
    EXPECT_EQ(f->Category_Text->maxLength(), 50);
    EXPECT_EQ(f->UseWithFrame->isVisible(), e.consoles);
    if (e.consoles) {
      ASSERT_EQ(f->Artist_UseWith.size(), 6u);
      EXPECT_EQ(f->Artist_UseWith[0]->objectName().toStdString(), "UseWith_1");
      EXPECT_EQ(f->Artist_UseWith[0]->text().toStdString(), "Game Boy");
      EXPECT_EQ(f->Artist_UseWith[5]->objectName().toStdString(), "UseWith_6");
      EXPECT_EQ(f->Artist_UseWith[4]->text().toStdString(), "Microsoft");
    } else {
      EXPECT_TRUE(f->Artist_UseWith.empty());
    }
  }
}

TEST_F(GameEditorsTest, AddCancelSaveAndPagingOfGenres) {
  Add("genre", {{"category", vb::Variant(std::string("Puzzle"))}, {"PSOn", vb::Variant(true)}});
  Add("genre", {{"category", vb::Variant(std::string("Racing"))}});
  GenreForm f;
  f.Form_Load();
  f.show();
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Puzzle");
  EXPECT_TRUE(f.Artist_UseWith[2]->isChecked());  // Sony
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, true, true, true, true}));

  // Previous on the first entry and Next on the last keep the entry shown.
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Puzzle");
  f.Toolbar1_ButtonClick(Btn::btnNext);
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Racing");
  EXPECT_FALSE(f.Artist_UseWith[2]->isChecked());

  // Add then Cancel: the entry on show before comes back.
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  EXPECT_EQ(Visible(f), (std::vector<bool>{false, true, true, false, false, false}));
  EXPECT_TRUE(f.Category_Text->text().isEmpty());
  f.Toolbar1_ButtonClick(Btn::btnCancelAdd);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Racing");

  // Add "Arcade" for Game Boy and Sega: shown, listed in its place, stored with its consoles.
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Category_Text->setText("Arcade");
  f.Artist_UseWith[0]->setChecked(true);
  f.Artist_UseWith[3]->setChecked(true);
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Arcade");
  EXPECT_EQ(Listed(f.Select_Item_Combo), (std::vector<std::string>{"Arcade", "Puzzle", "Racing"}));
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, true, true, true, true}));
  EXPECT_EQ(Count("genre where category = 'Arcade' and GBOn and SegaOn and not PSOn and not OtherOn"), 1);

  // Choosing a name in the chooser shows it.
  f.Select_Item_Combo->setCurrentIndex(1);
  f.Select_Item_Combo_Click();
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Puzzle");
  // Unticking Sony and filing takes the genre out of the Sony section.
  f.Artist_UseWith[2]->setChecked(false);
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(Count("genre where category = 'Puzzle' and PSOn"), 0);

  // The double quote is refused in the name box.
  f.Category_Text->setText("Say \"hi\"");
  f.NameBox_KeyUp();
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Say hi");
}

TEST_F(GameEditorsTest, RenameKeepsTheGamesAndDeleteResetsTheirKey) {
  const long nin = Publisher("Nin");
  const long other = Publisher("Sego");
  Game("Zelda", 2, nin);
  Game("Mario", 2, nin);
  Game("Metroid", 1, nin);
  Game("Sonic", 4, other);

  PublisherForm f;
  f.Form_Load();
  f.show();
  ASSERT_EQ(f.Category_Text->text().toStdString(), "Nin");
  f.Category_Text->setText("Nintendo Co.");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  // The games hold the key: they show the new name without being touched.
  EXPECT_EQ(Texts("select labelstudio_name from mediadata inner join publisher on mediadata.publisher = "
                  "publisher.publisher where mediadata.name = 'Zelda'",
                  "labelstudio_name"),
            std::vector<std::string>{"Nintendo Co."});
  EXPECT_EQ(Count("mediadata where publisher = " + std::to_string(nin)), 3);

  // No keeps everything; Yes resets the key in the three games, which stay.
  PromptScript::Answer(vb::vbNo);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(Count("publisher"), 2);
  PromptScript::Clear();
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  ASSERT_FALSE(PromptScript::Records().empty());
  EXPECT_EQ(PromptScript::Records().back().text, "Delete the diplayed record??");
  EXPECT_EQ(PromptScript::Records().back().title, "Delete Warning");
  EXPECT_EQ(Count("mediadata"), 4);
  EXPECT_EQ(Count("mediadata where publisher = 0"), 3);
  EXPECT_EQ(Count("mediadata where publisher = " + std::to_string(other)), 1);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Sego");

  // Deleting the last entry gives the empty state.
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(Count("mediadata where publisher = 0"), 4);
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_FALSE(f.Category_Text->isEnabled());
  EXPECT_EQ(f.Select_Item_Combo->count(), 0);
}

TEST_F(GameEditorsTest, DeletingASystemTypeOrFeatureRemovesOnlyItsLinks) {
  const long handheld = Add("systype", {{"systype", vb::Variant(std::string("Handheld"))}}, "systypeid");
  const long console = Add("systype", {{"systype", vb::Variant(std::string("Console"))}}, "systypeid");
  const long online = Add("supports", {{"Name", vb::Variant(std::string("Online"))}}, "supports");
  const long a = Game("Tetris", 1);
  const long b = Game("Pong", 6);
  for (long g : {a, b}) {
    Add("systypemedia", {{"systemnumber", vb::Variant(g)}, {"systypeid", vb::Variant(handheld)}});
    Add("systypemedia", {{"systemnumber", vb::Variant(g)}, {"systypeid", vb::Variant(console)}});
    Add("supportsmedia", {{"systemnumber", vb::Variant(g)}, {"supports", vb::Variant(online)}});
  }
  {
    SysTypeForm f;
    f.Form_Load();
    // Index order: Console first, then Handheld.
    f.Toolbar1_ButtonClick(Btn::btnNext);
    ASSERT_EQ(f.Category_Text->text().toStdString(), "Handheld");
    PromptScript::Answer(vb::vbYes);
    f.Toolbar1_ButtonClick(Btn::btnDelete);
  }
  EXPECT_EQ(Count("systypemedia where systypeid = " + std::to_string(handheld)), 0);
  EXPECT_EQ(Count("systypemedia where systypeid = " + std::to_string(console)), 2);
  EXPECT_EQ(Count("mediadata"), 2);
  {
    SupportsForm f;
    f.Form_Load();
    PromptScript::Answer(vb::vbYes);
    f.Toolbar1_ButtonClick(Btn::btnDelete);
  }
  EXPECT_EQ(Count("supportsmedia"), 0);
  EXPECT_EQ(Count("systypemedia"), 2);
}

TEST_F(GameEditorsTest, NamesWithQuotesAndWildcardsAreKeptExactly) {
  const std::string odd = "Tom's *?% [Games]";
  const long plain = Add("developer", {{"artist_name", vb::Variant(std::string("Tom's"))}}, "developer");
  Game("Quest", 3, 0, plain);
  DeveloperForm f;
  f.Form_Load();
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Category_Text->setText(QString::fromStdString(odd));
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(Texts("select artist_name from developer order by artist_name", "artist_name"),
            (std::vector<std::string>{"Tom's", odd}));
  EXPECT_EQ(f.Category_Text->text().toStdString(), odd);

  // Found through the chooser, and its delete leaves the other entry and its game.
  f.Select_Item_Combo->setCurrentIndex(0);
  f.Select_Item_Combo_Click();
  f.Select_Item_Combo->setCurrentIndex(1);
  f.Select_Item_Combo_Click();
  ASSERT_EQ(f.Category_Text->text().toStdString(), odd);
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(Texts("select artist_name from developer", "artist_name"), std::vector<std::string>{"Tom's"});
  EXPECT_EQ(Count("mediadata where developer = " + std::to_string(plain)), 1);
}

TEST_F(GameEditorsTest, AFailedDeleteLeavesTheEntryAndTheGamesAsTheyWere) {
  const long nin = Publisher("Nin");
  Game("Zelda", 2, nin);
  // The engine refuses the entry's own delete after the games were reset.
  Db().Execute("CREATE TRIGGER keep_publisher BEFORE DELETE ON publisher BEGIN SELECT RAISE(ABORT, 'kept'); END");
  PublisherForm f;
  f.Form_Load();
  PromptScript::Answer(vb::vbYes);
  EXPECT_ANY_THROW(f.Toolbar1_ButtonClick(Btn::btnDelete));
  EXPECT_EQ(Count("publisher"), 1);
  EXPECT_EQ(Count("mediadata where publisher = " + std::to_string(nin)), 1);
  // The editor stays usable.
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(f.Category_Text->text().toStdString(), "Nin");
}

}  // namespace
}  // namespace pl::testing
