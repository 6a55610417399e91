// Field input: select-all on entry, double quotes refused where names are
// typed, combo completion, notes checked as typed, and the user field
// captions renamed per section.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QInputDialog>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSyntaxHighlighter>
#include <QTextEdit>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/SortForm.h"
#include "core/Windows.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using tvn::NewMain_Form;

namespace {

std::string T(const QWidget* w) { return NewMain_Form::TextOf(w); }

// One key typed into a control, as the keyboard delivers it.
void Type(QWidget* control, QChar c) {
  const QString text(c);
  const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : int(c.unicode());
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(control, &press);
  QApplication::sendEvent(control, &release);
}

void Enter(QWidget* control) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(control, &in);
}

void DoubleClick(QWidget* label) {
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                  Qt::NoModifier);
  QApplication::sendEvent(label, &dbl);
}

const char kQuoteMessage[] = "The \" is an an invalid character";

}  // namespace

TEST_F(CatalogueTest, EnteringAFieldSelectsItsText) {
  AddItem(3, "Alien", {{"cat_number", vb::Variant("C-1")}, {"category", vb::Variant("Horror")}});
  auto& w = WindowOn(3);
  w.Video_Name_Text->deselect();
  Enter(w.Video_Name_Text);
  EXPECT_EQ(w.Video_Name_Text->selectedText(), "Alien");
  Enter(w.Video_CatNum_Text);
  EXPECT_EQ(w.Video_CatNum_Text->selectedText(), "C-1");
  Enter(w.CD_Category_List);
  EXPECT_EQ(w.CD_Category_List->lineEdit()->selectedText(), "Horror");
}

TEST_F(CatalogueTest, DoubleQuotesAreRefusedInNamesAndLookupsOnly) {
  AddItem(2, "Abbey Road");
  auto& w = WindowOn(2);
  w.CS_Name_Text->setCursorPosition(5);
  Type(w.CS_Name_Text, '"');
  EXPECT_EQ(T(w.CS_Name_Text), "Abbey Road");
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>{kQuoteMessage});

  vb::PromptScript::Clear();
  w.Artist[0]->setEditText("12");
  Type(w.Artist[0], '"');
  EXPECT_EQ(T(w.Artist[0]), "12");
  w.CD_Record_Company->setEditText("Label");
  Type(w.CD_Record_Company, '"');
  EXPECT_EQ(T(w.CD_Record_Company), "Label");
  // The category is checked on every change, typed or pasted.
  w.CD_Category_List->setEditText("Say \"hi\"");
  EXPECT_EQ(T(w.CD_Category_List), "Say hi");
  EXPECT_EQ(vb::PromptScript::Texts(), std::vector<std::string>(3, kQuoteMessage));

  // The user fields and the notes take them.
  vb::PromptScript::Clear();
  Type(w.fText[0], '"');
  w.CD_Notes_Text->setPlainText("12\" single");
  EXPECT_EQ(T(w.fText[0]), "\"");
  EXPECT_TRUE(vb::PromptScript::Texts().empty());
}

TEST_F(CatalogueTest, LookupCombosCompleteWhileSmartCombosAreOn) {
  tvn::App().CollectionDB->Execute("insert into artists (artist_name, cd) values ('Rock', true)");
  tvn::App().CollectionDB->Execute("insert into artists (artist_name, cd) values ('Rockabilly', true)");
  tvn::App().CollectionDB->Execute("insert into category (category, cd) values ('Jazz', true)");
  AddItem(2, "Any");  // the editor is open for typing
  auto& w = WindowOn(2);
  ASSERT_TRUE(w.SmartComboMenu->isChecked());
  QComboBox* artist = w.Artist[2];
  artist->setEditText("");
  Type(artist, 'r');
  EXPECT_EQ(T(artist), "Rock");
  EXPECT_EQ(artist->lineEdit()->selectedText(), "ock");
  Type(artist, 'o');
  Type(artist, 'x');  // no entry goes on with "Rox"
  EXPECT_EQ(T(artist), "Rox");

  w.CD_Category_List->setEditText("");
  Type(w.CD_Category_List, 'j');
  EXPECT_EQ(T(w.CD_Category_List), "Jazz");

  w.SmartComboMenu->setChecked(false);
  w.CD_Category_List->setEditText("");
  Type(w.CD_Category_List, 'j');
  EXPECT_EQ(T(w.CD_Category_List), "j");
}

TEST_F(CatalogueTest, NotesAreCheckedAsTypedUnlessTurnedOff) {
  auto& w = Window();
  auto highlighted = [&w] { return w.CD_Notes_Text->document()->findChild<QSyntaxHighlighter*>() != nullptr; };
  w.menuAutoSpell->setChecked(true);
  w.ItemClickProcess(2);
  w.CD_Notes_Text->setPlainText("Teh notes");
  EXPECT_FALSE(highlighted());
  w.menuAutoSpell->setChecked(false);
  w.CD_Notes_Text->setPlainText("Teh notes again");
  EXPECT_TRUE(highlighted());
}

// A caption of the full 50 characters shows whole on the My Fields tab and
// leaves its field the width it had; the box that asks for it shows its
// title and such a caption whole.
TEST_F(CatalogueTest, ALongFieldCaptionNeitherSqueezesItsFieldNorIsCut) {
  auto& w = WindowOn(2);
  w.FirstActivate = false;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  w.SSTab1->setCurrentIndex(1);
  QTest::qWait(0);
  ASSERT_ON_SCREEN(w.fText[0]);
  const int fieldWidth = w.fText[0]->width();
  const std::string caption = "Where it was bought and what it cost at the time.";
  ASSERT_EQ(caption.size(), 49u);
  vb::PromptScript::AnswerText(caption + "!");
  DoubleClick(w.fCap[0]);
  QTest::qWait(0);
  EXPECT_EQ(w.fCap[0]->text().toStdString(), caption + "!");
  EXPECT_ON_SCREEN(w.fCap[0]);
  EXPECT_ON_SCREEN(w.fText[0]);
  EXPECT_GE(w.fText[0]->width(), fieldWidth * 9 / 10);
  EXPECT_TRUE(::tvn::test::NothingOverlaps(w.SSTab1->currentWidget()));

  // The box itself, as the user sees it.
  vb::PromptScript::Uninstall();
  struct Seen {
    int width = 0, titleNeeds = 0, fieldWidth = 0, textNeeds = 0;
  } seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
    if (!box) return;
    QFont bold = QApplication::font();
    bold.setBold(true);
    seen.width = box->width();
    seen.titleNeeds = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 120;
    auto* field = box->findChild<QLineEdit*>();
    seen.fieldWidth = field->width();
    seen.textNeeds = field->fontMetrics().horizontalAdvance(field->text()) + 8;
    box->reject();
  });
  w.f1Cap_DblClick();
  vb::PromptScript::Install();
  ASSERT_GT(seen.width, 0) << "no input box was shown";
  EXPECT_GE(seen.width, seen.titleNeeds);
  EXPECT_GE(seen.fieldWidth, seen.textNeeds);
  EXPECT_EQ(w.fCap[0]->text().toStdString(), caption + "!");  // Cancel changed nothing
}

TEST_F(CatalogueTest, FieldCaptionsAreRenamedPerSectionAndKept) {
  auto& w = WindowOn(1);
  vb::PromptScript::AnswerText("Dolby");
  DoubleClick(w.fCap[2]);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "Enter the desired field label");
  EXPECT_EQ(vb::PromptScript::Records()[0].title, "Caption Modify");
  EXPECT_EQ(w.fCap[2]->text(), "Dolby");

  // Cancel changes nothing.
  vb::PromptScript::AnswerText("");
  w.f3Cap_DblClick();
  EXPECT_EQ(w.fCap[2]->text(), "Dolby");
  EXPECT_EQ(vb::PromptScript::Records()[1].defaultText, "Dolby");

  w.ItemClickProcess(2);
  EXPECT_NE(w.fCap[2]->text(), "Dolby");
  vb::PromptScript::AnswerText("Changer");
  DoubleClick(w.fCap[9]);
  EXPECT_EQ(w.fCap[9]->text(), "Changer");
  w.ItemClickProcess(1);
  EXPECT_EQ(w.fCap[2]->text(), "Dolby");
  EXPECT_NE(w.fCap[9]->text(), "Changer");

  // Kept in the collection file.
  auto rs = tvn::App().CollectionDB->OpenRecordset("select f3 from cassettecaption");
  EXPECT_EQ(vb::NzStr(rs->GetField("f3")), "Dolby");
  rs->Close();
  rs = tvn::App().CollectionDB->OpenRecordset("select f10 from cdcaption");
  EXPECT_EQ(vb::NzStr(rs->GetField("f10")), "Changer");
  rs->Close();
}

TEST_F(CatalogueTest, ArtistSelectionListOffersTheSectionsArtists) {
  tvn::App().CollectionDB->Execute("insert into artists (artist_name, cd) values ('Disc Only', true)");
  tvn::App().CollectionDB->Execute("insert into artists (artist_name, dvd) values ('Film Only', true)");
  auto& w = WindowOn(8);
  w.FillArtistSelectionList();
  EXPECT_EQ(Items(tvn::win::SortForm->Choice_List), std::vector<std::string>{"Disc Only"});
  EXPECT_TRUE(w.ListHasItems);
  w.ItemClickProcess(4);
  w.FillArtistSelectionList();
  EXPECT_EQ(Items(tvn::win::SortForm->Choice_List), std::vector<std::string>{"Film Only"});
  w.ItemClickProcess(1);
  w.FillArtistSelectionList();
  EXPECT_TRUE(Items(tvn::win::SortForm->Choice_List).empty());
  EXPECT_FALSE(w.ListHasItems);
  tvn::win::SortForm->Unload();
}
