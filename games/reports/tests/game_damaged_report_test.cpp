// A game collection damaged after the game report library opened it: the
// report that meets the damage says so in words naming the file, never by
// an engine number; the collection is not written, and no output file is
// left as if it were the report.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <sqlite3.h>

#include "core/tests/DamagedFiles.h"
#include "core/tests/OtherProgram.h"
#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "games/reports/RptForm.h"
#include "games/reports/tests/GameReportSupport.h"
#include "platform/runtime/Prompter.h"

namespace {

class GameDamagedReport : public tvntest::GameReportTest {};

TEST_F(GameDamagedReport, IsToldNamingTheFileAndLeavesNoOutput) {
  sqlite3* raw = nullptr;
  sqlite3_open(Path("games.mdb").c_str(), &raw);
  sqlite3_exec(raw,
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
               "INSERT INTO mediadata (name, sectionnumber, notes) "
               "SELECT printf('Game %04d', i), 1, 'Note ' || i FROM c",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  pl::MarkGameRecords(*db_, {});
  pl::GameReports().ReportType = static_cast<std::uint8_t>(pl::kFullGameReport);
  auto window = std::make_unique<pl::RptForm>();
  window->show();
  QApplication::processEvents();
  window->TypeOption[2]->click();
  window->HTMLCheck->setChecked(true);

  // The window waits for the user, holding no read, when the damage comes.
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(Path("games.mdb"), "mediadata");
  const std::string damaged = tvn::testing::Content(Path("games.mdb"));
  vb::PromptScript::Clear();
  window->CreateButton->click();

  std::vector<std::string> told;
  for (const std::string& m : Messages())
    if (m != "When prompted enter the file name for the HTML version of report") told.push_back(m);
  ASSERT_EQ(told.size(), 1u) << ::testing::PrintToString(Messages());
  EXPECT_EQ(told[0].rfind("The collection file\n" + Path("games.mdb") + "\nis damaged", 0), 0u) << told[0];
  EXPECT_EQ(told[0].find("Error 3"), std::string::npos) << told[0];
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().rfind("rpt", 0), std::string::npos) << entry.path();
  EXPECT_EQ(tvn::testing::Content(Path("games.mdb")), damaged);
  window.reset();
}

}  // namespace
