// A collection that is damaged while the media window has it open (a disk
// failing, another program gone wrong): every command that meets the
// damage says so in words naming the file, never by an engine number,
// and keeps what is on screen; the file is not written.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>
#include <sqlite3.h>

#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AVQDForm.h"
#include "core/AppState.h"
#include "core/tests/DamagedFiles.h"
#include "core/tests/OtherProgram.h"
#include "platform/runtime/Prompter.h"

using cattest::CatalogueTest;
using vb::PromptScript;

namespace {

std::string Shown(tvn::NewMain_Form& w) { return w.CS_Name_Text->text().toStdString(); }

// Enough Compact Discs, with notes, for the table to span many pages.
void FillSection(const std::string& file) {
  sqlite3* raw = nullptr;
  sqlite3_open(file.c_str(), &raw);
  sqlite3_exec(raw,
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
               "INSERT INTO mediadata (name, sectionnumber, section, notes) "
               "SELECT printf('Item %04d', i), 2, 'Compact Disc', 'Note ' || i FROM c",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

// The one message a command gave: the damaged file named, no engine number.
void ExpectToldDamaged(const std::string& file, const char* command) {
  SCOPED_TRACE(command);
  const auto texts = PromptScript::Texts();
  ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
  EXPECT_EQ(texts[0].rfind("The collection file\n" + file + "\nis damaged", 0), 0u) << texts[0];
  EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
  PromptScript::Clear();
}

}  // namespace

TEST_F(CatalogueTest, DamageMetWhileBrowsingFilingOrInTheQuickDisplayIsToldAndTheScreenStays) {
  const std::string file = tvn::App().CollectionDB->Name();
  FillSection(file);
  tvn::NewMain_Form& w = WindowOn(2);
  w.FirstActivate = false;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_EQ(Shown(w), "Item 0001");
  PromptScript::Clear();

  // The window waits for the user, holding no read, when the damage comes.
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(file, "mediadata");
  const std::string damaged = tvn::testing::Content(file);

  // Browsing: the record on show stays.
  w.Toolbar1Buttons[6]->trigger();
  ExpectToldDamaged(file, "next");
  EXPECT_EQ(Shown(w), "Item 0001");

  // The quick display: never empty cells without a word.
  w.menuQD->trigger();
  // The titles come from the name index; the rest of a row is read as it
  // is painted, and told once the paint is over.
  ASSERT_NE(tvn::QuickDisplayWindow(), nullptr);
  tvn::QuickDisplayWindow()->QDGrid->TextMatrix(1, 2);
  tvn::testing::BackToUser();
  ExpectToldDamaged(file, "quick display");
  tvn::QuickDisplayWindow()->close();

  // Filing: what was typed stays on screen, nothing is written.
  w.CD_Notes_Text->setPlainText(QStringLiteral("Typed before the disk failed"));
  w.Toolbar1Buttons[3]->trigger();
  ExpectToldDamaged(file, "file");
  EXPECT_EQ(Shown(w), "Item 0001");
  EXPECT_EQ(w.CD_Notes_Text->toPlainText().toStdString(), "Typed before the disk failed");
  EXPECT_EQ(tvn::testing::Content(file), damaged);
}

// Damage in one of the item table's other indexes (the first artist's),
// which the check at opening does not read: filing a record whose artist
// changed meets it, and it is told as the damaged file, the typing kept,
// the record on show staying and nothing written.
TEST_F(CatalogueTest, DamageInTheArtistIndexIsToldWhenFilingMeetsIt) {
  const std::string file = tvn::App().CollectionDB->Name();
  FillSection(file);
  tvn::NewMain_Form& w = WindowOn(2);
  w.FirstActivate = false;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_EQ(Shown(w), "Item 0001");
  PromptScript::Clear();
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(file, "mediadata.artist1");
  const std::string damaged = tvn::testing::Content(file);

  w.Artist[0]->setEditText(QStringLiteral("Typed Artist"));
  w.Toolbar1Buttons[3]->trigger();
  ExpectToldDamaged(file, "file");
  EXPECT_EQ(Shown(w), "Item 0001");
  EXPECT_EQ(w.Artist[0]->currentText().toStdString(), "Typed Artist");
  EXPECT_EQ(tvn::testing::Content(file), damaged);
}
