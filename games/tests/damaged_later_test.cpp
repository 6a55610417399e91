// A game collection that is damaged while the game window has it open:
// browsing, filing and the quick display say so in words naming the file,
// never by an engine number, and keep the game on show and the typing;
// the file is not written.
#include <QComboBox>
#include <QTest>
#include <QTextEdit>
#include <sqlite3.h>

#include "core/tests/DamagedFiles.h"
#include "core/tests/OtherProgram.h"
#include "games/PLQDForm.h"
#include "games/tests/GameWindowFixture.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Prompter.h"

namespace pl::testing {
namespace {

using vb::PromptScript;

class DamagedGameLater : public GameWindowTest {
 protected:
  // The one message a command gave: the damaged file named, no engine number.
  void ExpectToldDamaged(const std::string& file, const char* command) {
    SCOPED_TRACE(command);
    const auto texts = PromptScript::Texts();
    ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[0].rfind("The collection file\n" + file + "\nis damaged", 0), 0u) << texts[0];
    EXPECT_EQ(texts[0].find("Error 3"), std::string::npos) << texts[0];
    PromptScript::Clear();
  }
};

TEST_F(DamagedGameLater, DamageMetWhileBrowsingFilingOrInTheQuickDisplayIsToldAndTheScreenStays) {
  const std::string file = Db().Name();
  {
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    sqlite3_exec(raw,
                 "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
                 "INSERT INTO mediadata (name, sectionnumber, notes) "
                 "SELECT printf('Game %04d', i), 6, 'Note ' || i FROM c",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  Showing(6);
  ASSERT_EQ(Name(), "Game 0001");
  PromptScript::Clear();
  // The window waits for the user, holding no read, when the damage comes.
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(file, "mediadata");
  const std::string damaged = tvn::testing::Content(file);

  Press(6);
  ExpectToldDamaged(file, "next");
  EXPECT_EQ(Name(), "Game 0001");

  W().qdmenu->trigger();
  if (PLQDForm* qd = GameQuickDisplayWindow()) {
    qd->QDGrid->TextMatrix(1, 2);
    tvn::testing::BackToUser();
  }
  ExpectToldDamaged(file, "quick display");
  if (PLQDForm* qd = GameQuickDisplayWindow()) qd->close();

  W().txtNotes->setPlainText(QStringLiteral("Typed before the disk failed"));
  Press(3);
  ExpectToldDamaged(file, "file");
  EXPECT_EQ(Name(), "Game 0001");
  EXPECT_EQ(W().txtNotes->toPlainText().toStdString(), "Typed before the disk failed");
  EXPECT_EQ(tvn::testing::Content(file), damaged);
}

// Damage in one of the game table's other indexes (the publisher's),
// which the check at opening does not read: filing a game whose publisher
// changed meets it, and it is told as the damaged file, the typing kept,
// the game on show staying and nothing written.
TEST_F(DamagedGameLater, DamageInThePublisherIndexIsToldWhenFilingMeetsIt) {
  const std::string file = Db().Name();
  {
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    sqlite3_exec(raw,
                 "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
                 "INSERT INTO mediadata (name, sectionnumber, publisher) "
                 "SELECT printf('Game %04d', i), 6, i % 50 FROM c",
                 nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  Showing(6);
  ASSERT_EQ(Name(), "Game 0001");
  PromptScript::Clear();
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(file, "mediadata.publisher");
  const std::string damaged = tvn::testing::Content(file);

  W().cmbPublisher->setEditText(QStringLiteral("Typed Publisher"));
  Press(3);
  ExpectToldDamaged(file, "file");
  EXPECT_EQ(Name(), "Game 0001");
  EXPECT_EQ(W().cmbPublisher->currentText().toStdString(), "Typed Publisher");
  EXPECT_EQ(tvn::testing::Content(file), damaged);
}

}  // namespace
}  // namespace pl::testing
