// The game window on a real game collection: what each console section
// shows, a game loaded into the editor, filing new and edited games with
// their lookups and links, deleting, and the letter bar and title list
// that follow.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/TavolinModule.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;
using V = vb::Variant;

class GameWindow : public GameWindowTest {
 protected:
  long Publisher(const std::string& name, const std::string& flag = "") {
    const long key = Add("publisher", {{"labelstudio_name", V(name)}}, "publisher");
    if (!flag.empty()) Db().Execute("update publisher set " + flag + " = true where publisher = " + std::to_string(key));
    return key;
  }
  long Developer(const std::string& name, const std::string& flag = "") {
    const long key = Add("developer", {{"artist_name", V(name)}}, "developer");
    if (!flag.empty()) Db().Execute("update developer set " + flag + " = true where developer = " + std::to_string(key));
    return key;
  }
  long Genre(const std::string& name, const std::string& flag = "") {
    const long key = Add("genre", {{"category", V(name)}}, "genre");
    if (!flag.empty()) Db().Execute("update genre set " + flag + " = true where genre = " + std::to_string(key));
    return key;
  }
  long SysType(const std::string& name) { return Add("systype", {{"systype", V(name)}}, "systypeid"); }
  long Feature(const std::string& name) { return Add("supports", {{"Name", V(name)}}, "supports"); }
  bool Flag(const std::string& table, const std::string& nameField, const std::string& name, const std::string& flag) {
    return Long("select count(*) as n from " + table + " where " + nameField + " = " + dao::SqlQuote(name) +
                    " and " + flag,
                "n") == 1;
  }
  Strings Links(const std::string& table, const std::string& entryTable, const std::string& key,
                const std::string& nameField, long game) {
    return Texts("select e." + nameField + " as n from " + table + " l inner join " + entryTable + " e on e." + key +
                     " = l." + key + " where l.systemnumber = " + std::to_string(game) + " order by e." + nameField,
                 "n");
  }
  Strings SysTypesOf(long game) { return Links("systypemedia", "systype", "systypeid", "systype", game); }
  Strings FeaturesOf(long game) { return Links("supportsmedia", "supports", "supports", "Name", game); }
};

// ---------------------------------------------------------------- sections

TEST_F(GameWindow, EachSectionShowsItsCaptionFieldCaptionsAndFlaggedLists) {
  const auto& sections = GameSections();
  const char* flags[] = {"gbon", "nton", "pson", "segaon", "xon", "otheron"};
  for (size_t i = 0; i < sections.size(); ++i) {
    Publisher(std::string("Pub ") + sections[i].caption, flags[i]);
    Developer(std::string("Dev ") + sections[i].caption, flags[i]);
    Genre(std::string("Genre ") + sections[i].caption, flags[i]);
    Db().Execute(std::string("update ") + sections[i].captionTable + " set f3 = 'Region " + sections[i].caption + "'");
  }
  Publisher("Everywhere", "gbon");
  Db().Execute("update publisher set nton = true, pson = true, segaon = true, xon = true, otheron = true "
               "where labelstudio_name = 'Everywhere'");
  Publisher("Nowhere");
  Db().Execute("update ocaption set f7 = null");

  Open();
  for (size_t i = 0; i < sections.size(); ++i) {
    const std::string caption = sections[i].caption;
    SCOPED_TRACE(caption);
    Choose(caption);
    EXPECT_EQ(Title(), "The Pellion - My Collection: " + caption);
    EXPECT_EQ(int(PLData().SectionNumber), int(i + 1));
    EXPECT_EQ(W().fCap[0]->text().toStdString(), "My Field 1");
    EXPECT_EQ(W().fCap[2]->text().toStdString(), "Region " + caption);
    EXPECT_EQ(W().fCap[9]->text().toStdString(), "My Field 10");
    EXPECT_EQ(W().fCap[6]->text().toStdString(), i == 5 ? "" : "My Field 7");
    EXPECT_EQ(Items(W().cmbPublisher), (Strings{"Everywhere", "Pub " + caption}));
    EXPECT_EQ(Items(W().cmbDeveloper), Strings{"Dev " + caption});
    EXPECT_EQ(Items(W().cmbGenre), Strings{"Genre " + caption});
    // No games: the editor is greyed out, only Add is offered.
    EXPECT_EQ(VisibleButtons(), "1");
    EXPECT_FALSE(W().txtName->isEnabled());
    EXPECT_EQ(LettersWithFace(2).size(), 26u);
  }
  // A text of no section changes nothing.
  W().SSListBar1_ItemClick("Atari");
  EXPECT_EQ(Title(), "The Pellion - My Collection: Other");
}

TEST_F(GameWindow, FieldCaptionRenamedByDoubleClickStaysWithItsSection) {
  Open(3);
  W().SSTab1->setCurrentIndex(2);
  W().show();
  PromptScript::AnswerText("Region");
  QTest::mouseDClick(W().fCap[1], Qt::LeftButton);
  ASSERT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_EQ(PromptScript::Records()[0].kind, "inputbox");
  EXPECT_EQ(W().fCap[1]->text().toStdString(), "Region");
  EXPECT_EQ(Texts("select f2 from pscaption", "f2"), Strings{"Region"});
  EXPECT_EQ(Texts("select f2 from gbcaption", "f2"), Strings{"My Field 2"});

  Choose("Gameboy");
  EXPECT_EQ(W().fCap[1]->text().toStdString(), "My Field 2");
  Choose("Sony");
  EXPECT_EQ(W().fCap[1]->text().toStdString(), "Region");

  // Cancelled: the caption stays.
  PromptScript::AnswerText("");
  W().F2Cap_DblClick();
  EXPECT_EQ(W().fCap[1]->text().toStdString(), "Region");
  EXPECT_EQ(Texts("select f2 from pscaption", "f2"), Strings{"Region"});
}

// ---------------------------------------------------------------- load

TEST_F(GameWindow, LoadShowsEveryFieldOfTheGame) {
  const long nin = Publisher("Nintendo", "gbon");
  const long rare = Developer("Rare", "gbon");
  const long puzzle = Genre("Puzzle", "gbon");
  const long handheld = SysType("Handheld");
  SysType("Console");
  const long link = Feature("Link cable");
  Feature("Rumble");
  const long game = Game("Tetris", 1, nin, rare, puzzle);
  std::filesystem::create_directories(InHome("pics"));
  QImage image(8, 6, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(InHome("pics/tetris.png"))));
  Db().Execute("update mediadata set date_aquired = #03/04/2001#, date_released = #12/31/1989#, "
               "hintstips = 'Hint', instructions = 'Drop', notes = 'Classic', bestfeature = 'Music', "
               "worstfeature = 'None', homepage = 'http://x', Format = 'Cartridge', rating = 'E Everyone:', "
               "players = '2', f1 = 'one', f10 = 'ten', Picture = 'pics\\tetris.png' where systemnumber = " +
               std::to_string(game));
  Add("systypemedia", {{"systemnumber", V(game)}, {"systypeid", V(handheld)}});
  Add("supportsmedia", {{"systemnumber", V(game)}, {"supports", V(link)}});

  Open(1);
  EXPECT_EQ(Name(), "Tetris");
  EXPECT_EQ(W().txtHints->toPlainText().toStdString(), "Hint");
  EXPECT_EQ(W().txtInstructions->toPlainText().toStdString(), "Drop");
  EXPECT_EQ(W().txtNotes->toPlainText().toStdString(), "Classic");
  EXPECT_EQ(W().DateAquired->text().toStdString(), "3/4/2001");
  EXPECT_EQ(W().DateReleased->text().toStdString(), "12/31/1989");
  EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), "Nintendo");
  EXPECT_EQ(W().cmbDeveloper->currentText().toStdString(), "Rare");
  EXPECT_EQ(W().cmbGenre->currentText().toStdString(), "Puzzle");
  EXPECT_EQ(W().txtBestFeature->text().toStdString(), "Music");
  EXPECT_EQ(W().txtWorstFeature->text().toStdString(), "None");
  EXPECT_EQ(W().txtHomepage->text().toStdString(), "http://x");
  EXPECT_EQ(W().cmbFormat->currentText().toStdString(), "Cartridge");
  EXPECT_EQ(W().cmbRating->currentText().toStdString(), "E Everyone:");
  EXPECT_EQ(W().txtPlayers->text().toStdString(), "2");
  EXPECT_EQ(W().fText[0]->text().toStdString(), "one");
  EXPECT_EQ(W().fText[9]->text().toStdString(), "ten");
  EXPECT_EQ(W().fText[4]->text().toStdString(), "");
  EXPECT_EQ(Ticked(W().tGrid), Strings{"Handheld"});
  EXPECT_EQ(Ticked(W().sGrid), Strings{"Link cable"});
  EXPECT_FALSE(W().Picture_Box->pixmap().isNull());
  EXPECT_TRUE(W().SSTab1->isTabEnabled(6));
  EXPECT_EQ(W().SSTab1->currentIndex(), 0);
  EXPECT_EQ(ListText(), "Tetris");
  EXPECT_EQ(VisibleButtons(), "1 3 4 5 6");
}

TEST_F(GameWindow, NullDatesAndAPictureThatCannotBeShownLeaveTheBoxesEmpty) {
  const long missing = Game("Asteroids", 2);
  const long broken = Game("Breakout", 2);
  const long none = Game("Centipede", 2, 99);  // a publisher key with no row
  Db().Execute("update mediadata set Picture = 'pics\\gone.jpg' where systemnumber = " + std::to_string(missing));
  std::filesystem::create_directories(InHome("pics"));
  std::ofstream(InHome("pics/broken.png")) << "not a picture";
  Db().Execute("update mediadata set Picture = 'pics\\broken.png' where systemnumber = " + std::to_string(broken));
  ASSERT_EQ(Count("mediadata where date_aquired is null and date_released is null"), 3);

  Open(2);
  for (const std::string name : {"Asteroids", "Breakout", "Centipede"}) {
    SCOPED_TRACE(name);
    W().LoadData_PL(name);
    EXPECT_EQ(Name(), name);
    EXPECT_EQ(W().DateAquired->text().toStdString(), "");
    EXPECT_EQ(W().DateReleased->text().toStdString(), "");
    EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), "");
    EXPECT_TRUE(W().Picture_Box->pixmap().isNull());
    EXPECT_EQ(ListText(), name);
  }
  // The references stay for a picture folder that comes back.
  EXPECT_EQ(Texts("select Picture from mediadata where systemnumber = " + std::to_string(missing), "Picture"),
            Strings{"pics\\gone.jpg"});
  EXPECT_EQ(Texts("select Picture from mediadata where systemnumber = " + std::to_string(broken), "Picture"),
            Strings{"pics\\broken.png"});
  (void)none;
  EXPECT_TRUE(PromptScript::Records().empty());
}

// ---------------------------------------------------------------- save

TEST_F(GameWindow, NewLookupsAreAddedWithTheSectionsFlag) {
  Developer("Rare", "gbon");
  Open(3);
  Press(1);
  EXPECT_EQ(VisibleButtons(), "2 3");
  EXPECT_FALSE(W().SSListBar1->isEnabled());
  EXPECT_FALSE(W().SSTab1->isTabEnabled(6));
  Type(W().txtName, "Crash");
  Type(W().cmbPublisher, "Tom's 100% *Best*? [Games]");
  Type(W().cmbDeveloper, "Rare");
  Type(W().cmbGenre, "Platform");
  Type(W().txtPlayers, "1 to 4 players here");
  Press(3);

  EXPECT_TRUE(PromptScript::Records().empty()) << PromptScript::Texts().front();
  EXPECT_EQ(Name(), "Crash");
  EXPECT_EQ(VisibleButtons(), "1 3 4 5 6");
  EXPECT_TRUE(W().SSListBar1->isEnabled());
  EXPECT_TRUE(W().SSTab1->isTabEnabled(6));
  const std::string pub = "Tom's 100% *Best*? [Games]";
  EXPECT_TRUE(Flag("publisher", "labelstudio_name", pub, "pson"));
  EXPECT_FALSE(Flag("publisher", "labelstudio_name", pub, "gbon or nton or segaon or xon or otheron"));
  EXPECT_TRUE(Flag("developer", "artist_name", "Rare", "gbon and pson"));
  EXPECT_EQ(Count("developer"), 1);
  EXPECT_TRUE(Flag("genre", "category", "Platform", "pson"));
  // The lists of the section name the new entries at once; an entry that
  // was there already joins the list when the section is next chosen.
  EXPECT_EQ(Items(W().cmbPublisher), Strings{pub});
  EXPECT_EQ(Items(W().cmbGenre), Strings{"Platform"});
  EXPECT_EQ(Items(W().cmbDeveloper), Strings{});
  EXPECT_EQ(W().cmbDeveloper->currentText().toStdString(), "Rare");
  EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), pub);
  EXPECT_EQ(W().txtPlayers->text().toStdString(), "1 to 4 pla");
  EXPECT_EQ(Count("mediadata where sectionnumber = 3 and name = 'Crash'"), 1);

  // Filed again under the same texts: no second entry.
  Press(3);
  EXPECT_EQ(Count("publisher"), 1);
  EXPECT_EQ(Count("mediadata"), 1);
  Choose("Gameboy");
  EXPECT_EQ(Items(W().cmbPublisher), Strings{});
  EXPECT_EQ(Items(W().cmbDeveloper), Strings{"Rare"});
  Choose("Sony");
  EXPECT_EQ(Items(W().cmbDeveloper), Strings{"Rare"});
}

TEST_F(GameWindow, DatesAreFiledOnlyWhenTheyReadForSure) {
  const long game = Game("Tetris", 1);
  Db().Execute("update mediadata set date_aquired = #03/04/2001# where systemnumber = " + std::to_string(game));
  Open(1);
  ASSERT_EQ(W().DateAquired->text().toStdString(), "3/4/2001");
  // A day past the month's end, a day-first date and a two-digit year are
  // refused with a message; the stored date stays and the text is kept.
  for (const std::string typed : {"2/30/2001", "13/12/2001", "1/2/03"}) {
    SCOPED_TRACE(typed);
    PromptScript::Clear();
    W().DateAquired->setText(QString::fromStdString(typed));
    W().txtNotes->setPlainText("Edited");
    Press(3);
    ASSERT_EQ(PromptScript::Records().size(), 1u);
    EXPECT_NE(PromptScript::Records()[0].text.find(typed), std::string::npos) << PromptScript::Records()[0].text;
    EXPECT_EQ(W().DateAquired->text().toStdString(), typed);
    EXPECT_EQ(Count("mediadata where date_aquired = #03/04/2001# and notes is null"), 1);
  }
  W().DateAquired->setText("12/31/1999");
  W().DateReleased->setText("Dec 1, 1989");
  Press(3);
  EXPECT_EQ(Count("mediadata where date_aquired = #12/31/1999# and date_released = #12/01/1989#"), 1);
  EXPECT_EQ(W().DateAquired->text().toStdString(), "12/31/1999");
  // The button empties the box, and an empty box files Null.
  W().btnBlankADate->click();
  EXPECT_EQ(W().DateAquired->text().toStdString(), "");
  Press(3);
  EXPECT_EQ(Count("mediadata where date_aquired is null and date_released = #12/01/1989#"), 1);
}

TEST_F(GameWindow, NamesAreUniqueWithinASectionAndStoredExactly) {
  Game("Halo", 5);
  Game("Halo", 6);
  Open(5);
  AddGame("Halo");
  EXPECT_EQ(Name(), "Halo- 2");
  AddGame("halo");
  EXPECT_EQ(Name(), "halo- 3");
  EXPECT_EQ(Texts("select name from mediadata where sectionnumber = 5 order by systemnumber", "name"),
            (Strings{"Halo", "Halo- 2", "halo- 3"}));
  EXPECT_EQ(Count("mediadata where sectionnumber = 6"), 1);

  // An edit under the unchanged name, and a rename changing only the
  // letter case, keep the name.
  W().LoadData_PL("Halo");
  W().txtNotes->setPlainText("Edited");
  Press(3);
  EXPECT_EQ(Name(), "Halo");
  Type(W().txtName, "HALO");
  Press(3);
  EXPECT_EQ(Name(), "HALO");
  EXPECT_EQ(Count("mediadata where sectionnumber = 5"), 3);
  EXPECT_EQ(Texts("select name from mediadata where sectionnumber = 5 order by systemnumber", "name"),
            (Strings{"HALO", "Halo- 2", "halo- 3"}));

  // Quotes and wildcards are stored, listed and found as typed; a name that
  // would match them as a pattern is another game.
  const std::string odd = "Tom's 100% *Best*? [Q]";
  AddGame(odd);
  AddGame("Tom's 100X *Best*x [Q]");
  AddGame(odd);
  EXPECT_EQ(Name(), odd + "- 2");
  W().LoadData_PL(odd);
  EXPECT_EQ(Name(), odd);
  EXPECT_EQ(ListText(), odd);
  EXPECT_EQ(Items(W().List_Combo), (Strings{odd, odd + "- 2", "Tom's 100X *Best*x [Q]"}));

  // A long name with its number stays within the field; filed again as
  // shown, the game keeps it.
  const std::string longName(60, 'L');
  AddGame(longName);
  AddGame(longName);
  const std::string numbered = std::string(47, 'L') + "- 2";
  EXPECT_EQ(ListText(), numbered);
  EXPECT_EQ(Count("mediadata where name = '" + std::string(48, 'L') + "'"), 1);
  EXPECT_EQ(Count("mediadata where name = '" + numbered + "'"), 1);
  Press(3);
  EXPECT_EQ(Count("mediadata where name = '" + numbered + "'"), 1);
  EXPECT_EQ(Count("mediadata where name like 'LLL*'"), 2);
  EXPECT_TRUE(PromptScript::Records().empty());
}

// Every box takes what its column holds: a paste one character too long is
// cut in the box, and File stores what the box shows, without a message.
TEST_F(GameWindow, EveryBoxTakesWhatItsColumnHoldsAndFilesWhatItShows) {
  const long game = Game("Rec", 6);
  Open(6);
  ASSERT_EQ(Name(), "Rec");
  auto width = [this](const std::string& table, const std::string& column) {
    dao::RecordsetPtr rs = Db().OpenRecordset("select * from " + table + " where 0 = 1");
    const int n = tvn::TextFieldWidth(*rs, column);
    rs->Close();
    return n;
  };
  auto oneTooMany = [](int n) {
    std::string s;
    for (int i = 0; i <= n; ++i) s += char('a' + i % 26);
    return s;
  };
  struct Box {
    QWidget* box;
    std::string table, column, stored;  // stored: the select that reads it back
  };
  const std::string row = " where systemnumber = " + std::to_string(game);
  std::vector<Box> boxes = {
      {W().txtBestFeature, "mediadata", "bestfeature", ""}, {W().txtWorstFeature, "mediadata", "worstfeature", ""},
      {W().txtHomepage, "mediadata", "homepage", ""},       {W().cmbFormat, "mediadata", "Format", ""},
      {W().cmbRating, "mediadata", "rating", ""},           {W().txtPlayers, "mediadata", "players", ""},
      {W().cmbPublisher, "publisher", "labelstudio_name",
       "select p.labelstudio_name as v from publisher p, mediadata m where m.publisher = p.publisher and m.systemnumber = "},
      {W().cmbDeveloper, "developer", "artist_name",
       "select d.artist_name as v from developer d, mediadata m where m.developer = d.developer and m.systemnumber = "},
      {W().cmbGenre, "genre", "category",
       "select g.category as v from genre g, mediadata m where m.genre = g.genre and m.systemnumber = "}};
  for (int i = 0; i < 10; ++i) boxes.push_back({W().fText[size_t(i)], "mediadata", "f" + std::to_string(i + 1), ""});
  for (const Box& b : boxes) {
    const int n = width(b.table, b.column);
    ASSERT_GT(n, 0) << b.column;
    QLineEdit* line = qobject_cast<QComboBox*>(b.box) ? qobject_cast<QComboBox*>(b.box)->lineEdit()
                                                       : qobject_cast<QLineEdit*>(b.box);
    QApplication::clipboard()->setText(QString::fromStdString(oneTooMany(n)));
    line->selectAll();
    line->paste();
    EXPECT_EQ(PLMain_Form::TextOf(b.box), oneTooMany(n).substr(0, size_t(n))) << b.column;
  }
  PromptScript::Clear();
  Press(3);
  EXPECT_EQ(PromptScript::Texts(), Strings{});
  for (const Box& b : boxes) {
    const std::string sql = b.stored.empty() ? "select " + b.column + " as v from mediadata" + row
                                             : b.stored + std::to_string(game);
    EXPECT_EQ(Texts(sql, "v"), Strings{PLMain_Form::TextOf(b.box)}) << b.column;
    EXPECT_EQ(vb::Len(PLMain_Form::TextOf(b.box)), width(b.table, b.column)) << b.column;
  }
}

TEST_F(GameWindow, SystemTypeAndFeatureLinksAreSavedChangedAndRemoved) {
  SysType("Handheld");
  SysType("Console");
  SysType("PC");
  Feature("Link cable");
  Feature("Rumble");
  Game("Other game", 4);
  Open(4);
  Press(1);
  Type(W().txtName, "Sonic");
  W().SSTab1->setCurrentIndex(1);
  ClickRow(W().tGrid, "Handheld");
  ClickRow(W().tGrid, "PC");
  ClickRow(W().sGrid, "Rumble");
  // The heading and an empty cell are no entries.
  W().tGrid->SetRow(0);
  W().tGrid_Click();
  Press(3);
  const long sonic = Number("Sonic");
  EXPECT_EQ(SysTypesOf(sonic), (Strings{"Handheld", "PC"}));
  EXPECT_EQ(FeaturesOf(sonic), Strings{"Rumble"});
  EXPECT_EQ(Ticked(W().tGrid), (Strings{"Handheld", "PC"}));
  EXPECT_EQ(W().tGrid->TopRow(), 1);

  // Another game shows none; back on Sonic the ticks come back.
  W().LoadData_PL("Other game");
  EXPECT_EQ(Ticked(W().tGrid), Strings{});
  EXPECT_EQ(Ticked(W().sGrid), Strings{});
  W().LoadData_PL("Sonic");
  EXPECT_EQ(Ticked(W().tGrid), (Strings{"Handheld", "PC"}));

  ClickRow(W().tGrid, "PC");
  ClickRow(W().tGrid, "Console");
  ClickRow(W().sGrid, "Link cable");
  Press(3);
  Press(3);  // filed twice: still one row a link
  EXPECT_EQ(SysTypesOf(sonic), (Strings{"Console", "Handheld"}));
  EXPECT_EQ(FeaturesOf(sonic), (Strings{"Link cable", "Rumble"}));
  EXPECT_EQ(Count("systypemedia"), 2);

  ClickRow(W().tGrid, "Console");
  ClickRow(W().tGrid, "Handheld");
  ClickRow(W().sGrid, "Link cable");
  ClickRow(W().sGrid, "Rumble");
  Press(3);
  EXPECT_EQ(Count("systypemedia"), 0);
  EXPECT_EQ(Count("supportsmedia"), 0);
  EXPECT_EQ(Ticked(W().tGrid), Strings{});
}

TEST_F(GameWindow, DeleteRemovesTheGameWithItsLinksAndRebuildsTheLetterBar) {
  const long st = SysType("Handheld");
  const long ft = Feature("Rumble");
  Game("Zelda", 2);
  const long mario = Game("Mario", 2);
  Game("Asteroids", 2);
  for (long g : {mario, Number("Zelda")}) {
    Add("systypemedia", {{"systemnumber", V(g)}, {"systypeid", V(st)}});
    Add("supportsmedia", {{"systemnumber", V(g)}, {"supports", V(ft)}});
  }
  Open(2);
  EXPECT_EQ(LettersWithFace(1), "A");
  EXPECT_EQ(LettersWithFace(0), "MZ");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Asteroids"});

  // Refused: nothing changes.
  W().LoadData_PL("Mario");
  PromptScript::Answer(vb::vbNo);
  Press(4);
  EXPECT_EQ(PromptScript::Records().back().text, "Delete the displayed record??");
  EXPECT_EQ(PromptScript::Records().back().title, "Delete Warning");
  EXPECT_EQ(Count("mediadata"), 3);
  EXPECT_EQ(Name(), "Mario");

  PromptScript::Answer(vb::vbYes);
  Press(4);
  EXPECT_EQ(Count("mediadata"), 2);
  EXPECT_EQ(Count("systypemedia where systemnumber = " + std::to_string(mario)), 0);
  EXPECT_EQ(Count("supportsmedia where systemnumber = " + std::to_string(mario)), 0);
  EXPECT_EQ(Count("systypemedia"), 1);
  // The section's first game is shown, under its letter.
  EXPECT_EQ(Name(), "Asteroids");
  EXPECT_EQ(LettersWithFace(1), "A");
  EXPECT_EQ(LettersWithFace(0), "Z");
  EXPECT_EQ(Face('M'), 2);

  // A new game number never takes over the deleted game's links.
  AddGame("Metroid");
  EXPECT_GT(Number("Metroid"), mario);
  W().SSTab1->setCurrentIndex(1);
  EXPECT_EQ(Ticked(W().tGrid), Strings{});
  EXPECT_EQ(Face('M'), 1);
  EXPECT_EQ(Face('A'), 0);
  EXPECT_EQ(Items(W().List_Combo), Strings{"Metroid"});
  EXPECT_EQ(ListText(), "Metroid");

  for (const char* name : {"Asteroids", "Metroid", "Zelda"}) {
    W().LoadData_PL(name);
    PromptScript::Answer(vb::vbYes);
    Press(4);
  }
  EXPECT_EQ(Count("mediadata"), 0);
  EXPECT_EQ(Count("systypemedia"), 0);
  EXPECT_EQ(VisibleButtons(), "1");
  EXPECT_FALSE(W().txtName->isEnabled());
  EXPECT_EQ(W().List_Combo->count(), 0);
  EXPECT_EQ(LettersWithFace(2).size(), 26u);
}

// ---------------------------------------------------------------- titles

TEST_F(GameWindow, LetterBarAndTitleListFollowAddsAndLetterChoices) {
  Game("Zelda", 1);
  Game("1942", 1);
  Game("alpha", 1);
  Open(1);
  // A title that starts with no letter is listed under A.
  EXPECT_EQ(LettersWithFace(1), "A");
  EXPECT_EQ(LettersWithFace(0), "Z");
  EXPECT_EQ(Items(W().List_Combo), (Strings{"1942", "alpha"}));
  EXPECT_EQ(Name(), "1942");

  // A no-data letter changes nothing.
  W().Toolbar2_ButtonClick(3 * ('Q' - 'A') + 3);
  EXPECT_EQ(Name(), "1942");
  EXPECT_EQ(LettersWithFace(1), "A");

  W().LetterButtons[size_t(3 * ('Z' - 'A') + 1)]->trigger();
  EXPECT_EQ(LettersWithFace(1), "Z");
  EXPECT_EQ(LettersWithFace(0), "A");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Zelda"});
  EXPECT_EQ(Name(), "Zelda");

  // A new game's letter becomes active and lists its titles.
  AddGame("Mario");
  EXPECT_EQ(LettersWithFace(1), "M");
  EXPECT_EQ(LettersWithFace(0), "AZ");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Mario"});
  AddGame("Alpha");
  EXPECT_EQ(Items(W().List_Combo), (Strings{"1942", "alpha", "Alpha- 2"}));
  EXPECT_EQ(ListText(), "Alpha- 2");
  EXPECT_EQ(LettersWithFace(1), "A");

  // Choosing a title in the list shows it.
  W().List_Combo->setCurrentIndex(1);
  emit W().List_Combo->activated(1);
  EXPECT_EQ(Name(), "alpha");
}

// Titles starting with accents, either case, digits, quotes and other
// scripts: a section chosen lights only its own letters, lists the first
// letter's titles in the section's order, and shows the first of them.
TEST_F(GameWindow, ChosenSectionListsOddFirstCharactersUnderTheirLetters) {
  Game("Quake", 1);
  Game("Kirby", 1);
  for (const char* name : {"Zork", "zap", "\u00c9chec", "\u00e9clair", "Ecco", "3D Tetris", "'Round", "\u4e2d\u6587",
                           "\u03a9mega", "\u00c4rger", "apple"})
    Game(name, 2);
  Open(1);
  EXPECT_EQ(LettersWithFace(1), "K");
  EXPECT_EQ(LettersWithFace(0), "Q");

  std::uint8_t section = 2;
  W().ItemClickProcessPL(section);
  EXPECT_EQ(LettersWithFace(1), "A");
  EXPECT_EQ(LettersWithFace(0), "EZ");
  EXPECT_EQ(Items(W().List_Combo),
            (Strings{"'Round", "3D Tetris", "apple", "\u00c4rger", "\u03a9mega", "\u4e2d\u6587"}));
  EXPECT_EQ(Name(), "'Round");

  W().LetterButtons[size_t(3 * ('E' - 'A') + 1)]->trigger();
  EXPECT_EQ(Items(W().List_Combo), (Strings{"Ecco", "\u00c9chec", "\u00e9clair"}));
  EXPECT_EQ(Name(), "Ecco");
  W().LetterButtons[size_t(3 * ('Z' - 'A') + 1)]->trigger();
  EXPECT_EQ(Items(W().List_Combo), (Strings{"zap", "Zork"}));

  section = 1;
  W().ItemClickProcessPL(section);
  EXPECT_EQ(LettersWithFace(1), "K");
  EXPECT_EQ(LettersWithFace(0), "Q");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Kirby"});
  EXPECT_EQ(Name(), "Kirby");
}

// Whatever the titles begin with, the letters lit and each letter's list
// are those of the section's games read in full, in the set's order.
TEST_F(GameWindow, LettersAndListsAreThoseOfTheWholeSectionRead) {
  const Strings names = {"Zork", "zap", "\u00c9chec", "\u00e9clair", "Ecco", "3D Tetris", "'Round", "\u4e2d\u6587",
                         "\u03a9mega", "\u00c4rger", "apple", "Apple", "", "[Bracket]", "_under", "{brace}", "~tilde",
                         "\xF0\x9F\x98\x80 Smile", "\u00d8resund", "Z", "z", "1942", "Caf\u00e9 B", "Cafe A", "caf\u00e9 a"};
  for (const std::string& name : names) Game(name, 2);
  Game("Quake", 1);
  std::map<char, Strings> expected;
  auto rs = PL().GameDB->OpenRecordset("select * from mediadata where sectionnumber = 2 order by name");
  for (; !rs->Eof(); rs->MoveNext()) {
    const std::string name = vb::NzStr(rs->GetField("Name"));
    expected[forms::TitleLetter(name)[0]].push_back(name);
  }
  rs->Close();
  const std::string first = expected['A'].front();

  Open(2);
  std::string lit;
  for (const auto& [letter, titles] : expected) lit += letter;
  EXPECT_EQ(LettersWithFace(1), "A");
  EXPECT_EQ(LettersWithFace(0) + LettersWithFace(1), lit.substr(1) + "A");
  EXPECT_EQ(Name(), first);
  for (const auto& [letter, titles] : expected) {
    SCOPED_TRACE(std::string(1, letter));
    W().LetterButtons[size_t(3 * (letter - 'A') + 1)]->trigger();
    EXPECT_EQ(Items(W().List_Combo), titles);
    EXPECT_EQ(Name(), titles.front());
  }
}

TEST_F(GameWindow, PreviousAndNextCrossLettersAndWrapRound) {
  for (const char* n : {"Alpha", "Axe", "Bravo", "Zulu"}) Game(n, 6);
  Open(6);
  EXPECT_EQ(Name(), "Alpha");
  Press(6);
  EXPECT_EQ(Name(), "Axe");
  EXPECT_EQ(LettersWithFace(1), "A");
  Press(6);
  EXPECT_EQ(Name(), "Bravo");
  EXPECT_EQ(LettersWithFace(1), "B");
  EXPECT_EQ(LettersWithFace(0), "AZ");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Bravo"});
  EXPECT_EQ(ListText(), "Bravo");
  Press(6);
  Press(6);  // past the last: the first
  EXPECT_EQ(Name(), "Alpha");
  EXPECT_EQ(LettersWithFace(1), "A");
  Press(5);  // before the first: the last
  EXPECT_EQ(Name(), "Zulu");
  EXPECT_EQ(LettersWithFace(1), "Z");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Zulu"});
  Press(5);
  EXPECT_EQ(Name(), "Bravo");

  // A new game takes its place in the order: Next goes on from it.
  AddGame("Bz");
  EXPECT_EQ(Items(W().List_Combo), (Strings{"Bravo", "Bz"}));
  Press(6);
  EXPECT_EQ(Name(), "Zulu");
  Press(5);
  EXPECT_EQ(Name(), "Bz");
  PromptScript::Answer(vb::vbYes);
  Press(4);
  EXPECT_EQ(Name(), "Alpha");

  // After add and cancel the shown game is filed in place, not copied.
  Press(1);
  Type(W().txtName, "Never filed");
  Press(2);
  EXPECT_EQ(Name(), "Alpha");
  EXPECT_EQ(VisibleButtons(), "1 3 4 5 6");
  Type(W().txtBestFeature, "Speed");
  Press(3);
  EXPECT_EQ(Count("mediadata"), 4);
  EXPECT_EQ(Texts("select bestfeature from mediadata where name = 'Alpha'", "bestfeature"), Strings{"Speed"});
}

TEST_F(GameWindow, ARenameMovesTheGameToItsNewLetter) {
  Game("Alpha", 3);
  Game("Beta", 3);
  Open(3);
  ASSERT_EQ(Name(), "Alpha");
  Type(W().txtName, "Zeta");
  Press(3);
  EXPECT_EQ(Name(), "Zeta");
  EXPECT_EQ(Texts("select name from mediadata order by name", "name"), (Strings{"Beta", "Zeta"}));
  EXPECT_EQ(LettersWithFace(1), "Z");
  EXPECT_EQ(LettersWithFace(0), "B");
  EXPECT_EQ(Face('A'), 2);
  EXPECT_EQ(Items(W().List_Combo), Strings{"Zeta"});
  // The section's order follows the new name.
  Press(6);
  EXPECT_EQ(Name(), "Beta");
  EXPECT_EQ(LettersWithFace(1), "B");
}

TEST_F(GameWindow, AddAndCancelInAnEmptySectionWhitenThenGreyTheEditor) {
  Open(6);
  EXPECT_FALSE(W().txtName->isEnabled());
  EXPECT_EQ(PLMain_Form::BackColourOf(W().txtName), PLMain_Form::kLockedColour);
  Press(1);
  EXPECT_TRUE(W().txtName->isEnabled());
  EXPECT_EQ(PLMain_Form::BackColourOf(W().txtName), PLMain_Form::kEditableColour);
  EXPECT_EQ(VisibleButtons(), "2 3");
  EXPECT_FALSE(W().Toolbar1Buttons[8]->isVisible());
  EXPECT_FALSE(W().UtilitiesMenu->isEnabled());
  // Filing without a name is stopped with its message.
  Press(3);
  ASSERT_EQ(PromptScript::Texts(), Strings{"The system requires that a name be entered."});
  EXPECT_TRUE(W().AddMode);
  EXPECT_EQ(Count("mediadata"), 0);
  Press(2);
  EXPECT_FALSE(W().AddMode);
  EXPECT_FALSE(W().txtName->isEnabled());
  EXPECT_EQ(PLMain_Form::BackColourOf(W().txtName), PLMain_Form::kLockedColour);
  EXPECT_EQ(VisibleButtons(), "1");
  EXPECT_TRUE(W().Toolbar1Buttons[8]->isVisible());
  EXPECT_TRUE(W().UtilitiesMenu->isEnabled());
  EXPECT_TRUE(W().SSListBar1->isEnabled());
}

TEST_F(GameWindow, AnAddedPictureIsCopiedBesideTheOthersNeverOverThem) {
  const long a = Game("Alpha", 1);
  Game("Beta", 1);
  std::filesystem::create_directories(InHome("pics"));
  std::filesystem::create_directories(InHome("elsewhere"));
  QImage mine(4, 4, QImage::Format_RGB32);
  mine.fill(Qt::green);
  ASSERT_TRUE(mine.save(QString::fromStdString(InHome("pics/shot.jpg"))));
  const auto kept = std::filesystem::file_size(InHome("pics/shot.jpg"));
  QImage theirs(16, 16, QImage::Format_RGB32);
  theirs.fill(Qt::yellow);
  ASSERT_TRUE(theirs.save(QString::fromStdString(InHome("elsewhere/shot.jpg"))));
  Open(1);
  W().SSTab1->setCurrentIndex(6);
  PromptScript::AnswerText(InHome("elsewhere/shot.jpg"));
  PromptScript::Answer(vb::vbYes);
  W().Add_Picture->click();

  EXPECT_EQ(PromptScript::Records().size(), 2u);
  EXPECT_EQ(std::filesystem::file_size(InHome("pics/shot.jpg")), kept);
  ASSERT_TRUE(std::filesystem::exists(InHome("pics/shot (2).jpg")));
  EXPECT_EQ(Texts("select Picture from mediadata where systemnumber = " + std::to_string(a), "Picture"),
            Strings{"pics\\shot (2).jpg"});
  ASSERT_FALSE(W().Picture_Box->pixmap().isNull());
  EXPECT_EQ(W().Picture_Box->pixmap().width(), 16);
  // A new game takes no picture until it is stored.
  Press(1);
  EXPECT_FALSE(W().SSTab1->isTabEnabled(6));
}

TEST_F(GameWindow, DeletePictureClearsTheShownGamesPictureOnly) {
  const long a = Game("Alpha", 1);
  const long b = Game("Beta", 1);
  std::filesystem::create_directories(InHome("pics"));
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(QString::fromStdString(InHome("pics/a.png"))));
  Db().Execute("update mediadata set Picture = 'pics\\a.png'");
  Open(1);
  ASSERT_FALSE(W().Picture_Box->pixmap().isNull());
  W().Delete_Picture->click();
  EXPECT_TRUE(W().Picture_Box->pixmap().isNull());
  EXPECT_EQ(Texts("select Picture from mediadata where systemnumber = " + std::to_string(a), "Picture"), Strings{""});
  EXPECT_EQ(Texts("select Picture from mediadata where systemnumber = " + std::to_string(b), "Picture"),
            Strings{"pics\\a.png"});
  EXPECT_TRUE(std::filesystem::exists(InHome("pics/a.png")));
  Press(6);
  EXPECT_FALSE(W().Picture_Box->pixmap().isNull());
}

// Games filed into a section that was shown by its letters only take the
// place a fresh read of the section gives them: Next steps through the
// same order before and after the section is chosen again.
TEST_F(GameWindow, FiledGamesStepInTheOrderOfTheSectionReadAgain) {
  for (const char* name : {"Alpha", "Delta", "Gamma", "Omega", "Zulu", "9 Lives", "Eclair"}) Game(name, 3);
  Game("Elsewhere", 1);
  Open(3);
  AddGame("Kappa");       // among the others
  AddGame("1st Strike");  // not a letter: listed under A
  AddGame("Delta");       // a name another game has
  AddGame("\xc3\x89tude");  // an accented letter
  ASSERT_EQ(Name(), "\xc3\x89tude");
  Type(W().txtName, "Beta");  // renamed across letters
  Press(3);
  ASSERT_EQ(Name(), "Beta");
  // The letters lit and the list of the letter shown follow the filed names.
  EXPECT_EQ(LettersWithFace(1), "B");
  EXPECT_EQ(LettersWithFace(0), "ADEGKOZ");
  EXPECT_EQ(Items(W().List_Combo), Strings{"Beta"});
  const size_t n = size_t(Count("mediadata where sectionnumber = 3"));
  ASSERT_EQ(n, 11u);
  auto walk = [this, n] {
    Strings names;
    for (size_t i = 0; i < n; ++i) {
      Press(6);
      names.push_back(Name());
    }
    return names;
  };
  const Strings filed = walk();
  EXPECT_EQ(Name(), "Beta");  // once round
  Choose("Gameboy");
  Choose("Sony");
  Strings fresh = walk();
  // Both walks go round once; they are compared from the same game.
  const auto at = std::find(fresh.begin(), fresh.end(), "Beta");
  ASSERT_NE(at, fresh.end());
  std::rotate(fresh.begin(), at + 1, fresh.end());
  EXPECT_EQ(filed, fresh);
}

}  // namespace
}  // namespace pl::testing
