// The three lookup-list editors: paging and states, section flags, and
// renames and deletions carried into the records.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <filesystem>

#include "core/AppState.h"
#include "core/ArtistForm.h"
#include "core/CategoryForm.h"
#include "core/LabelForm.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "core/tests/OtherProgram.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace {

using tvn::LookupEditorForm;
using vb::PromptScript;
using Btn = tvn::LookupEditorForm::ToolbarButton;

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "lookup_editors_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

const std::string kGuns = "Guns 'n' Roses";

class LookupEditorsTest : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    TestApp();
    DataFolderTest::SetUp();
    tvn::schema::CreateCollectionFile(Path("av30.mdb"));
    db_ = tvntest::Open(Path("av30.mdb"));
    tvn::App().CollectionDB = db_;
  }

  void Item(const std::string& name, std::map<std::string, dao::Variant> values) {
    values["name"] = name;
    values["section"] = "Compact Disc";
    values["SectionNumber"] = dao::Variant::Byte(2);
    tvntest::AddRow(db_, "mediadata", values);
  }
  // The names of the records whose column holds the value.
  std::vector<std::string> With(const std::string& column, const std::string& value) {
    auto rs = db_->OpenRecordset("select name from mediadata where " + column + " = " + dao::SqlQuote(value) +
                                 " order by name");
    std::vector<std::string> names;
    while (!rs->Eof()) {
      names.push_back(vb::NzStr(rs->GetField("name")));
      rs->MoveNext();
    }
    rs->Close();
    return names;
  }
  dao::Variant Field(const std::string& sql, const std::string& field) {
    auto rs = db_->OpenRecordset(sql);
    dao::Variant v = rs->Eof() ? dao::Variant() : rs->GetField(field);
    rs->Close();
    return v;
  }
  static std::vector<bool> Visible(const LookupEditorForm& f) {
    std::vector<bool> v;
    for (int i = 1; i <= 6; ++i) v.push_back(f.Toolbar1Buttons[size_t(i)]->isVisible());
    return v;
  }

  dao::DatabasePtr db_;
};

// Every record naming the artist, in any of the four artist fields, and
// only those, follow a rename and a delete; the apostrophes do no harm.
TEST_F(LookupEditorsTest, ArtistRenameAndDeleteReachAllFourArtistFields) {
  tvntest::AddRow(db_, "artists", {{"artist_name", kGuns}, {"cd", true}});
  tvntest::AddRow(db_, "artists", {{"artist_name", "Other"}});
  Item("a1", {{"artist1", kGuns}});
  Item("a2", {{"artist1", "Other"}, {"artist2", kGuns}});
  Item("a3", {{"artist3", kGuns}});
  Item("a4", {{"artist4", kGuns}, {"artist1", "Guns"}});
  Item("a5", {{"artist1", "Guns 'n' Roses II"}});

  tvn::ArtistForm f;
  f.Form_Load();
  ASSERT_EQ(f.ShownName, kGuns);
  EXPECT_EQ(f.windowTitle().toStdString(), "Artist Manager");
  EXPECT_EQ(f.Select_Item_Combo->count(), 2);

  f.Artist_Name_text->setText(QString::fromStdString("O'Neil's Guns"));
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(f.ShownName, "O'Neil's Guns");
  for (const char* col : {"artist1", "artist2", "artist3", "artist4"}) EXPECT_TRUE(With(col, kGuns).empty());
  EXPECT_EQ(With("artist1", "O'Neil's Guns"), std::vector<std::string>{"a1"});
  EXPECT_EQ(With("artist2", "O'Neil's Guns"), std::vector<std::string>{"a2"});
  EXPECT_EQ(With("artist3", "O'Neil's Guns"), std::vector<std::string>{"a3"});
  EXPECT_EQ(With("artist4", "O'Neil's Guns"), std::vector<std::string>{"a4"});
  EXPECT_EQ(With("artist1", "Guns 'n' Roses II"), std::vector<std::string>{"a5"});
  EXPECT_EQ(With("artist1", "Other"), std::vector<std::string>{"a2"});
  // The chooser is rebuilt in name order.
  EXPECT_EQ(f.Select_Item_Combo->itemText(0).toStdString(), "O'Neil's Guns");

  // And back, then delete it.
  f.Artist_Name_text->setText(QString::fromStdString(kGuns));
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(With("artist4", kGuns), std::vector<std::string>{"a4"});

  PromptScript::Answer(vb::vbNo);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(PromptScript::Records().back().text, "Delete the diplayed record??");
  EXPECT_EQ(PromptScript::Records().back().title, "Delete Warning");
  EXPECT_EQ(With("artist1", kGuns), std::vector<std::string>{"a1"});

  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(tvntest::CountRows(db_, "select * from artists"), 1);
  EXPECT_EQ(f.ShownName, "Other");
  EXPECT_EQ(With("artist1", ""), std::vector<std::string>{"a1"});  // empty text, not null
  EXPECT_EQ(With("artist2", ""), std::vector<std::string>{"a2"});
  EXPECT_EQ(With("artist3", ""), std::vector<std::string>{"a3"});
  EXPECT_EQ(With("artist4", ""), std::vector<std::string>{"a4"});
  EXPECT_EQ(With("artist1", "Guns"), std::vector<std::string>{"a4"});
  EXPECT_EQ(With("artist1", "Other"), std::vector<std::string>{"a2"});
}

// A rename carried into the records keeps the windows painted and drops a
// click made meanwhile; names with wildcard characters are plain text.
TEST_F(LookupEditorsTest, ARenameDropsAClickMadeDuringItAndTakesWildcardsLiterally) {
  tvntest::AddRow(db_, "artists", {{"artist_name", "100% _Pure_ *Hits?*"}});
  Item("a1", {{"artist1", "100% _Pure_ *Hits?*"}});
  Item("a2", {{"artist2", "100X xPurex aHitsba"}});  // what the wildcards would match
  tvn::ArtistForm f;
  f.Form_Load();
  f.show();
  { vb::BusyScope start; }  // the busy clock runs from here
  QTest::qSleep(150);       // the first statement lets the windows paint
  const QPointF centre = QRectF(f.Close_Category->rect()).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    QCoreApplication::postEvent(f.Close_Category, new QMouseEvent(type, centre, f.Close_Category->mapToGlobal(centre),
                                                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  f.Artist_Name_text->setText(QString::fromUtf8("Émile's Greatest"));
  f.Toolbar1_ButtonClick(Btn::btnFile);
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_FALSE(vb::BusyScope::Active());
  EXPECT_EQ(With("artist1", "Émile's Greatest"), std::vector<std::string>{"a1"});
  EXPECT_EQ(With("artist2", "100X xPurex aHitsba"), std::vector<std::string>{"a2"});
}

TEST_F(LookupEditorsTest, CategoryAndLabelRenamesReachTheirColumns) {
  tvntest::AddRow(db_, "category", {{"category", "Rock 'n' Roll"}});
  tvntest::AddRow(db_, "labelstudio", {{"LabelStudio_Name", "Rhino"}});
  Item("c1", {{"category", "Rock 'n' Roll"}, {"labelstudio", "Rhino"}});
  Item("c2", {{"category", "Rock"}, {"labelstudio", "Rhino's"}});

  tvn::CategoryForm c;
  c.Form_Load();
  EXPECT_EQ(c.windowTitle().toStdString(), "Category Manager");
  c.Category_Text->setText("Rock'n'Roll");
  c.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(With("category", "Rock'n'Roll"), std::vector<std::string>{"c1"});
  EXPECT_EQ(With("category", "Rock"), std::vector<std::string>{"c2"});

  tvn::LabelForm l;
  l.Form_Load();
  EXPECT_EQ(l.windowTitle().toStdString(), "Label/Studio Manager");
  l.LabelStudio_Name_Text->setText("Rhino Records");
  l.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(With("labelstudio", "Rhino Records"), std::vector<std::string>{"c1"});
  EXPECT_EQ(With("labelstudio", "Rhino's"), std::vector<std::string>{"c2"});

  PromptScript::Answer(vb::vbYes);
  l.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(With("labelstudio", ""), std::vector<std::string>{"c1"});
}

// A rename that fails part-way leaves the list and every record as they were.
TEST_F(LookupEditorsTest, AFailingRenameChangesNothing) {
  tvntest::AddRow(db_, "artists", {{"artist_name", kGuns}});
  Item("a1", {{"artist1", kGuns}, {"artist4", kGuns}});
  tvn::ArtistForm f;
  f.Form_Load();
  // The last of the four statements fails.
  db_->Execute("CREATE TRIGGER no_artist4 BEFORE UPDATE OF artist4 ON mediadata "
               "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  f.Artist_Name_text->setText("Renamed");
  EXPECT_THROW(f.Toolbar1_ButtonClick(Btn::btnFile), std::exception);
  EXPECT_EQ(With("artist1", kGuns), std::vector<std::string>{"a1"});
  EXPECT_EQ(With("artist4", kGuns), std::vector<std::string>{"a1"});
  EXPECT_EQ(vb::NzStr(Field("select artist_name from artists", "artist_name")), kGuns);
}

TEST_F(LookupEditorsTest, AddingEntriesAndTheEmptyState) {
  Item("x", {{"category", ""}});
  tvn::CategoryForm f;
  f.Form_Load();
  f.show();
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_FALSE(f.Category_Text->isEnabled());
  EXPECT_EQ(tvn::BackColour(f.Category_Text), LookupEditorForm::kDisabledColour);

  f.Toolbar1_ButtonClick(Btn::btnAdd);
  EXPECT_TRUE(f.Category_Text->isEnabled());
  EXPECT_EQ(tvn::BackColour(f.Category_Text), LookupEditorForm::kEnabledColour);
  EXPECT_EQ(Visible(f), (std::vector<bool>{false, true, true, false, false, false}));
  f.Toolbar1_ButtonClick(Btn::btnCancelAdd);
  EXPECT_FALSE(f.Category_Text->isEnabled());
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, false, false, false, false}));

  // Filing new entries touches no record; the new entry becomes the shown one.
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Category_Text->setText("Jazz");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Category_Text->setText("Blues");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(f.ShownName, "Blues");
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, true, true, true, true}));
  EXPECT_EQ(With("category", ""), std::vector<std::string>{"x"});
  EXPECT_EQ(f.Select_Item_Combo->count(), 2);
  EXPECT_EQ(f.Select_Item_Combo->currentText().toStdString(), "Blues");

  // Add then Cancel add shows the entry shown before.
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(f.ShownName, "Jazz");
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  EXPECT_EQ(f.Category_Text->text(), "");
  f.Toolbar1_ButtonClick(Btn::btnCancelAdd);
  EXPECT_EQ(f.ShownName, "Jazz");
  // Paging stops at both ends.
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(f.ShownName, "Jazz");
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  EXPECT_EQ(f.ShownName, "Blues");
  // Picking a name in the chooser shows it.
  f.Select_Item_Combo->setCurrentIndex(1);
  f.Select_Item_Combo_Click();
  EXPECT_EQ(f.ShownName, "Jazz");

  // Deleting the last entries returns to the empty state.
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(tvntest::CountRows(db_, "select * from category"), 0);
  EXPECT_EQ(Visible(f), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_EQ(f.Select_Item_Combo->count(), 0);
  EXPECT_EQ(With("category", ""), std::vector<std::string>{"x"});
}

// An entry without a name names no record: renaming it must not give its
// new name to every record that has no artist.
TEST_F(LookupEditorsTest, RenamingAnEntryWithoutANameTouchesNoRecord) {
  tvntest::AddRow(db_, "artists", {{"artist_name", ""}});
  Item("blank", {{"artist1", ""}});
  tvn::ArtistForm f;
  f.Form_Load();
  ASSERT_EQ(f.ShownName, "");
  f.Artist_Name_text->setText("Somebody");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(With("artist1", ""), std::vector<std::string>{"blank"});
  EXPECT_TRUE(With("artist1", "Somebody").empty());
}

// A chooser name the table cannot find (a stored name without text) keeps
// the shown entry current, so File still changes that entry.
// An entry without a name is listed (first) and shown when picked; picking
// another name afterwards makes that one the row File acts on.
TEST_F(LookupEditorsTest, AnEntryWithoutANameIsPickedByItsRow) {
  tvntest::AddRow(db_, "artists", {{"artist_nationality", "none"}});  // no name at all
  tvntest::AddRow(db_, "artists", {{"artist_name", "Alpha"}});
  tvn::ArtistForm f;
  f.Form_Load();
  f.Toolbar1_ButtonClick(Btn::btnNext);
  ASSERT_EQ(f.ShownName, "Alpha");
  const int blank = f.Select_Item_Combo->findText(QString());
  ASSERT_EQ(blank, 0);
  f.Select_Item_Combo->setCurrentIndex(blank);
  f.Select_Item_Combo_Click();
  EXPECT_EQ(f.ShownName, "");
  EXPECT_EQ(f.Nationality_Text->text().toStdString(), "none");
  f.Select_Item_Combo->setCurrentIndex(1);
  f.Select_Item_Combo_Click();
  EXPECT_EQ(f.ShownName, "Alpha");
  f.Nationality_Text->setText("Swedish");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(vb::NzStr(Field("select * from artists where artist_name = 'Alpha'", "artist_nationality")), "Swedish");
  EXPECT_EQ(tvntest::CountRows(db_, "select * from artists"), 2);
}

TEST_F(LookupEditorsTest, SectionFlagsAreStoredAndShown) {
  tvn::ArtistForm f;
  f.Form_Load();
  EXPECT_EQ(f.Artist_UseWith[0]->objectName().toStdString(), "Artist_UseWith_0");
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Artist_Name_text->setText("Flags");
  f.Artist_UseWith[1]->setCheckState(Qt::Checked);                 // cd
  f.Artist_UseWith[4]->setCheckState(Qt::Checked);                 // VT
  f.Artist_UseWith[5]->setCheckState(Qt::PartiallyChecked);        // greyed: false
  f.Toolbar1_ButtonClick(Btn::btnFile);
  const std::string sql = "select * from artists where artist_name = 'Flags'";
  EXPECT_FALSE(vb::CBool(Field(sql, "cas")));
  EXPECT_TRUE(vb::CBool(Field(sql, "cd")));
  EXPECT_FALSE(vb::CBool(Field(sql, "dvd")));
  EXPECT_FALSE(vb::CBool(Field(sql, "lp")));
  EXPECT_TRUE(vb::CBool(Field(sql, "vt")));
  EXPECT_FALSE(vb::CBool(Field(sql, "scd")));

  tvn::ArtistForm g;
  g.Form_Load();
  std::vector<bool> ticked;
  for (QCheckBox* b : g.Artist_UseWith) ticked.push_back(b->checkState() == Qt::Checked);
  EXPECT_EQ(ticked, (std::vector<bool>{false, true, false, false, true, false}));

  // The category editor's boxes start at 12, the label editor's at 6.
  tvn::CategoryForm c;
  tvn::LabelForm l;
  EXPECT_EQ(c.Artist_UseWith[0]->objectName().toStdString(), "Artist_UseWith_12");
  EXPECT_EQ(l.Artist_UseWith[5]->objectName().toStdString(), "Artist_UseWith_11");
}

TEST_F(LookupEditorsTest, LabelWebAndMailBelongToSoftwareEntriesOnly) {
  tvntest::AddRow(db_, "labelstudio", {{"LabelStudio_Name", "Games Inc"}, {"scd", true},
                                       {"lswww", "http://games.example"}, {"LSEmail", "a@games.example"}});
  tvntest::AddRow(db_, "labelstudio", {{"LabelStudio_Name", "Studio"}, {"dvd", true}, {"lswww", "http://kept"}});
  tvn::LabelForm f;
  f.Form_Load();
  ASSERT_EQ(f.ShownName, "Games Inc");
  EXPECT_EQ(f.LS_WWW_Text->text(), "http://games.example");
  EXPECT_EQ(f.LS_EMAIL_Text->text(), "a@games.example");
  f.Toolbar1_ButtonClick(Btn::btnNext);
  ASSERT_EQ(f.ShownName, "Studio");
  EXPECT_EQ(f.LS_WWW_Text->text(), "");
  f.LS_WWW_Text->setText("http://typed");
  f.LabelStudio_Location_Text->setText("Here");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  const std::string sql = "select * from labelstudio where LabelStudio_Name = 'Studio'";
  EXPECT_EQ(vb::NzStr(Field(sql, "lswww")), "http://kept");
  EXPECT_EQ(vb::NzStr(Field(sql, "LabelStudio_Location")), "Here");
}

TEST_F(LookupEditorsTest, ArtistAgeAndPicture) {
  std::filesystem::create_directories(Path("pics"));
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(Path("pics/face.png"))));
  tvntest::AddRow(db_, "artists", {{"artist_name", "A"}, {"Artist_Age", 40.0}, {"Picture", "pics\\face.png"}});
  tvntest::AddRow(db_, "artists", {{"artist_name", "B"}, {"Picture", "pics\\missing.jpg"}});

  tvn::ArtistForm f;
  f.Form_Load();
  EXPECT_EQ(f.Age_text->text(), "40");
  EXPECT_FALSE(f.Picture_Box->pixmap().isNull());
  // Text that is no number does not reach the stored age.
  f.Age_text->setText("forty");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(vb::CDbl(Field("select * from artists where artist_name = 'A'", "Artist_Age")), 40.0);

  // A picture that is gone shows nothing, and its reference is kept.
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(f.ShownName, "B");
  EXPECT_TRUE(f.Picture_Box->pixmap().isNull());
  EXPECT_EQ(vb::NzStr(Field("select * from artists where artist_name = 'B'", "Picture")), "pics\\missing.jpg");

  // Delete Picture clears the shown entry's picture; while adding, the
  // picture buttons are not offered.
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  f.Delete_Picture_Click();
  EXPECT_EQ(vb::NzStr(Field("select * from artists where artist_name = 'A'", "Picture")), "");
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  EXPECT_FALSE(f.Add_Picture->isEnabled());
  EXPECT_FALSE(f.Delete_Picture->isEnabled());
}

TEST_F(LookupEditorsTest, NameBoxRefusesTheDoubleQuote) {
  tvn::CategoryForm f;
  f.Form_Load();
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  f.Category_Text->setText("12\" singles \"");
  emit f.Category_Text->textEdited(f.Category_Text->text());
  EXPECT_EQ(f.Category_Text->text(), "12 singles ");
  ASSERT_EQ(PromptScript::Records().size(), 1u);
}

TEST_F(LookupEditorsTest, BlankOrTakenNamesAreRefusedAndWriteNothing) {
  tvntest::AddRow(db_, "category", {{"category", "Jazz"}});
  tvntest::AddRow(db_, "category", {{"category", "Rock"}});
  Item("j", {{"category", "Jazz"}});
  tvn::CategoryForm c;
  c.Form_Load();
  ASSERT_EQ(c.ShownName, "Jazz");
  for (const char* bad : {"", "   ", "rock", "ROCK"}) {
    PromptScript::Clear();
    c.Category_Text->setText(bad);
    c.Toolbar1_ButtonClick(Btn::btnFile);
    ASSERT_EQ(PromptScript::Records().size(), 1u) << bad;
    EXPECT_NE(PromptScript::Records()[0].text.find("not filed"), std::string::npos) << bad;
    EXPECT_EQ(With("category", "Jazz"), std::vector<std::string>{"j"}) << bad;
    EXPECT_EQ(tvntest::CountRows(db_, "select * from category where category = 'Jazz'"), 1) << bad;
  }
  // The shown entry may change its own letter case.
  c.Category_Text->setText("JAZZ");
  c.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(With("category", "JAZZ"), std::vector<std::string>{"j"});

  // A new entry cannot take a listed name either.
  c.Toolbar1_ButtonClick(Btn::btnAdd);
  c.Category_Text->setText(" ");
  PromptScript::Clear();
  c.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(PromptScript::Records().size(), 1u);
  EXPECT_TRUE(c.AddingEntry);
  EXPECT_FALSE(c.Toolbar1Buttons[Btn::btnAdd]->isVisible() && c.isVisible());
  EXPECT_EQ(tvntest::CountRows(db_, "select * from category"), 2);

  // The name box takes at most the field's width.
  tvn::LabelForm l;
  l.Form_Load();
  EXPECT_GT(l.LabelStudio_Name_Text->maxLength(), 0);
  EXPECT_LT(l.LabelStudio_Name_Text->maxLength(), 32767);
  EXPECT_GT(c.Category_Text->maxLength(), 0);
  EXPECT_LT(c.Category_Text->maxLength(), 32767);
}

TEST_F(LookupEditorsTest, DeletingOneOfTwoEqualEntriesKeepsTheRecordsNames) {
  tvntest::AddRow(db_, "category", {{"category", "Blues"}});
  tvntest::AddRow(db_, "category", {{"category", "blues"}});
  Item("b", {{"category", "Blues"}});
  tvn::CategoryForm c;
  c.Form_Load();
  PromptScript::Answer(vb::vbYes);
  c.Toolbar1_ButtonClick(Btn::btnDelete);
  EXPECT_EQ(tvntest::CountRows(db_, "select * from category"), 1);
  EXPECT_EQ(With("category", "Blues"), std::vector<std::string>{"b"});
}

TEST_F(LookupEditorsTest, TickingSoftwareShowsTheStoredAddressesAndUntouchedBoxesAreNotWritten) {
  tvntest::AddRow(db_, "labelstudio", {{"LabelStudio_Name", "Soft"}, {"dvd", true},
                                       {"lswww", "http://stored"}, {"LSEmail", "me@stored"}});
  tvn::LabelForm f;
  f.Form_Load();
  ASSERT_EQ(f.ShownName, "Soft");
  EXPECT_EQ(f.LS_WWW_Text->text(), "");
  f.Artist_UseWith[5]->click();  // the user ticks "Software CDs"
  ASSERT_EQ(f.Artist_UseWith[5]->checkState(), Qt::Checked);
  EXPECT_EQ(f.LS_WWW_Text->text(), "http://stored");
  EXPECT_EQ(f.LS_EMAIL_Text->text(), "me@stored");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  const std::string sql = "select * from labelstudio where LabelStudio_Name = 'Soft'";
  EXPECT_EQ(vb::NzStr(Field(sql, "lswww")), "http://stored");
  EXPECT_EQ(vb::NzStr(Field(sql, "LSEmail")), "me@stored");
  EXPECT_TRUE(vb::CBool(Field(sql, "scd")));

  // Ticked in code, without the boxes ever showing the addresses: kept.
  f.Artist_UseWith[5]->setCheckState(Qt::Unchecked);
  f.Toolbar1_ButtonClick(Btn::btnFile);
  f.Artist_UseWith[5]->setChecked(true);
  f.LS_WWW_Text->setText("");
  f.LS_EMAIL_Text->setText("");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(vb::NzStr(Field(sql, "lswww")), "http://stored");
}

// The web and e-mail boxes take typing only while "Software CDs" is ticked,
// since File stores them only then: nothing typed is dropped unseen.
TEST_F(LookupEditorsTest, LabelAddressBoxesTakeTypingOnlyWhileSoftwareIsTicked) {
  tvntest::AddRow(db_, "labelstudio", {{"LabelStudio_Name", "Studio"}, {"dvd", true},
                                       {"lswww", "http://kept"}, {"LSEmail", "kept@studio"}});
  tvn::LabelForm f;
  f.Form_Load();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  ASSERT_EQ(f.ShownName, "Studio");
  QCheckBox* software = f.Artist_UseWith[5];
  ASSERT_ON_SCREEN(f.LS_WWW_Text);
  ASSERT_ON_SCREEN(f.LS_EMAIL_Text);
  ASSERT_ON_SCREEN(software);

  auto typeInto = [](QLineEdit* box, const char* text) {
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, QString::fromLatin1(text));
  };
  typeInto(f.LS_WWW_Text, "http://typed");
  typeInto(f.LS_EMAIL_Text, "typed@x");
  EXPECT_EQ(f.LS_WWW_Text->text(), "");
  EXPECT_EQ(f.LS_EMAIL_Text->text(), "");
  EXPECT_EQ(tvn::BackColour(f.LS_WWW_Text), LookupEditorForm::kDisabledColour);

  // Ticked by the user: the stored addresses come, and typing goes in at once.
  QTest::mouseClick(software, Qt::LeftButton, {}, QPoint(8, software->height() / 2));
  ASSERT_EQ(software->checkState(), Qt::Checked);
  EXPECT_FALSE(f.LS_WWW_Text->isReadOnly());
  EXPECT_EQ(tvn::BackColour(f.LS_WWW_Text), LookupEditorForm::kEnabledColour);
  typeInto(f.LS_WWW_Text, "/new");
  EXPECT_EQ(f.LS_WWW_Text->text(), "http://kept/new");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  const std::string sql = "select * from labelstudio where LabelStudio_Name = 'Studio'";
  EXPECT_EQ(vb::NzStr(Field(sql, "lswww")), "http://kept/new");
  EXPECT_EQ(vb::NzStr(Field(sql, "LSEmail")), "kept@studio");

  // Unticked again and filed: the addresses are kept as stored and the
  // boxes are read-only once more.
  QTest::mouseClick(software, Qt::LeftButton, {}, QPoint(8, software->height() / 2));
  EXPECT_TRUE(f.LS_WWW_Text->isReadOnly());
  EXPECT_TRUE(f.LS_EMAIL_Text->isReadOnly());
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(vb::NzStr(Field(sql, "lswww")), "http://kept/new");
  EXPECT_FALSE(vb::CBool(Field(sql, "scd")));

  // A new entry starts unticked: read-only until ticked.
  f.Toolbar1_ButtonClick(Btn::btnAdd);
  EXPECT_TRUE(f.LS_WWW_Text->isReadOnly());
  software->click();
  EXPECT_FALSE(f.LS_WWW_Text->isReadOnly());
  EXPECT_EQ(f.LS_WWW_Text->text(), "");
}

// The chooser reads in the letter order of the title list, accents under
// their letter, whatever order the stored index walks; a pick still finds
// its entry.
TEST_F(LookupEditorsTest, TheChooserListsNamesInLetterOrder) {
  for (const char* name : {"Rock", "\xC3\x89lectro", "alpha", "Zed", "eclectic"})
    tvntest::AddRow(db_, "category", {{"category", name}});
  tvn::CategoryForm c;
  c.Form_Load();
  auto listed = [&c] {
    std::vector<std::string> items;
    for (int i = 0; i < c.Select_Item_Combo->count(); ++i)
      items.push_back(c.Select_Item_Combo->itemText(i).toStdString());
    return items;
  };
  const std::vector<std::string> expected{"alpha", "eclectic", "\xC3\x89lectro", "Rock", "Zed"};
  EXPECT_EQ(listed(), expected);
  EXPECT_EQ(c.Select_Item_Combo->currentText().toStdString(), "alpha");
  c.Select_Item_Combo->setCurrentIndex(2);
  c.Select_Item_Combo_Click();
  EXPECT_EQ(c.ShownName, "\xC3\x89lectro");
  // Rebuilt after File in the same order.
  c.Category_Text->setText("Electro");
  c.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(listed(), (std::vector<std::string>{"alpha", "eclectic", "Electro", "Rock", "Zed"}));
}

// The stored index orders by code ("b" before "Ångström"), the chooser by
// letters: the entry on show is always the one the chooser names, from the
// opening on, paging follows the chooser, and Delete removes what both show.
TEST_F(LookupEditorsTest, TheChooserAndTheFormShowTheSameEntryAndDeleteRemovesIt) {
  const std::string angstrom = "\xC3\x85ngstr\xC3\xB6m";
  for (const std::string& name : {std::string("b"), std::string("Zappa, Frank"), angstrom})
    tvntest::AddRow(db_, "artists", {{"artist_name", name}, {"cd", true}});
  Item("r1", {{"artist1", "b"}});
  Item("r2", {{"artist1", angstrom}});
  tvn::ArtistForm f;
  f.Form_Load();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  ASSERT_ON_SCREEN(f.Select_Item_Combo);
  ASSERT_ON_SCREEN(f.Artist_Name_text);
  auto shown = [&f] {
    return std::make_pair(f.Select_Item_Combo->currentText().toStdString(), f.Artist_Name_text->text().toStdString());
  };
  EXPECT_EQ(shown(), std::make_pair(angstrom, angstrom));
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(shown(), std::make_pair(std::string("b"), std::string("b")));
  f.Toolbar1_ButtonClick(Btn::btnNext);
  f.Toolbar1_ButtonClick(Btn::btnNext);
  EXPECT_EQ(shown(), std::make_pair(std::string("Zappa, Frank"), std::string("Zappa, Frank")));
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  EXPECT_EQ(shown(), std::make_pair(angstrom, angstrom));

  // A filed change keeps its entry on show and named.
  f.Nationality_Text->setText("Swedish");
  f.Toolbar1_ButtonClick(Btn::btnNext);
  f.Nationality_Text->setText("Somewhere");
  f.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(shown(), std::make_pair(std::string("b"), std::string("b")));

  f.Toolbar1_ButtonClick(Btn::btnPrevious);
  PromptScript::Answer(vb::vbYes);
  f.Toolbar1_ButtonClick(Btn::btnDelete);
  // The file, read by the standard tool: the entry both showed is gone,
  // and only its records lost the name.
  const tvn::testing::ToolRun run = tvn::testing::RunTool(
      Path("av30.mdb"), "select artist_name from artists order by artist_name;\n"
                        "select name || '=' || artist1 from mediadata order by name;\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "b\nZappa, Frank\nr1=b\nr2=\n");
  EXPECT_EQ(shown(), std::make_pair(std::string("b"), std::string("b")));
}

// An editor of another design: its own database, two flags with their own
// box names, and its own cascade.
class TwoFlagEditor final : public LookupEditorForm {
 public:
  TwoFlagEditor(dao::DatabasePtr db, std::vector<std::string>* cascaded)
      : LookupEditorForm({"TwoFlagEditor", "Two", "Category", "category", "Category", 0, {},
                          {{"cas", "First"}, {"cd", "Second"}}, "Pick",
                          [db]() -> dao::Database& { return *db; },
                          [cascaded](dao::Database&, const std::string& o, const std::string& n) {
                            cascaded->push_back(o + ">" + n);
                          }},
                         nullptr) {
    box_ = new QLineEdit(this);
    SetFieldArea(box_);
  }
  QLineEdit* NameBox() const override { return box_; }

 protected:
  std::vector<QWidget*> TextBoxes() const override { return {box_}; }
  std::vector<QWidget*> StateBoxes() const override { return {box_}; }
  void ShowFields(dao::Recordset& rs) override { box_->setText(QString::fromStdString(vb::NzStr(rs.GetField("category")))); }
  void WriteFields(dao::Recordset& rs) override { rs.SetField("category", vb::Variant(box_->text().toStdString())); }

 private:
  QLineEdit* box_ = nullptr;
};

TEST_F(LookupEditorsTest, AnotherDesignKeepsItsDatabaseFlagsAndCascade) {
  tvntest::AddRow(db_, "category", {{"category", "Old"}, {"cd", true}});
  tvn::App().CollectionDB.reset();  // the editor never needs the media collection
  std::vector<std::string> cascaded;
  TwoFlagEditor e(db_, &cascaded);
  e.Form_Load();
  ASSERT_EQ(e.Artist_UseWith.size(), 2u);
  EXPECT_EQ(e.Artist_UseWith[1]->objectName().toStdString(), "Pick_1");
  EXPECT_EQ(e.Artist_UseWith[1]->text().toStdString(), "Second");
  EXPECT_EQ(e.Artist_UseWith[1]->checkState(), Qt::Checked);
  e.NameBox()->setText("New");
  e.Artist_UseWith[0]->setChecked(true);
  e.Toolbar1_ButtonClick(Btn::btnFile);
  EXPECT_EQ(cascaded, std::vector<std::string>{"Old>New"});
  EXPECT_TRUE(vb::CBool(Field("select cas from category where category = 'New'", "cas")));
  tvn::App().CollectionDB = db_;
}

}  // namespace
