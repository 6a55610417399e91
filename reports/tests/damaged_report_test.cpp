// A collection damaged after the report library opened it (a disk failing,
// another program gone wrong): the report that meets the damage says so in
// words naming the file, never by an engine number; the collection is not
// written, and no output file is left as if it were the report.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <sqlite3.h>

#include "core/tests/DamagedFiles.h"
#include "core/tests/OtherProgram.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/tests/ReportTestSupport.h"

namespace {

using tvn::reports::RptForm;

class DamagedReport : public tvntest::ReportTest {};

TEST_F(DamagedReport, IsToldNamingTheFileAndLeavesNoOutput) {
  sqlite3* raw = nullptr;
  sqlite3_open(Path("media.mdb").c_str(), &raw);
  sqlite3_exec(raw,
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 3000) "
               "INSERT INTO mediadata (name, section, sectionnumber, pr1, notes) "
               "SELECT printf('Item %04d', i), 'Cassette', 1, 1, 'Note ' || i FROM c",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  RptForm& w = OpenWindow(6, " 1 ");
  w.TypeOption[2]->click();
  w.HTMLCheck->setChecked(true);

  // The window waits for the user, holding no read, when the damage comes.
  tvn::testing::BackToUser();
  tvn::testing::DamageLeavesNow(Path("media.mdb"), "mediadata");
  const std::string damaged = tvn::testing::Content(Path("media.mdb"));
  vb::PromptScript::Clear();
  w.CreateButton->click();

  std::vector<std::string> told;
  for (const std::string& m : Messages())
    if (m != "When prompted enter the file name for the HTML version of report") told.push_back(m);
  ASSERT_EQ(told.size(), 1u) << ::testing::PrintToString(Messages());
  EXPECT_EQ(told[0].rfind("The collection file\n" + Path("media.mdb") + "\nis damaged", 0), 0u) << told[0];
  EXPECT_EQ(told[0].find("Error 3"), std::string::npos) << told[0];
  EXPECT_FALSE(std::filesystem::exists(Path("rpt.htm")));
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    EXPECT_EQ(entry.path().filename().string().rfind("rpt", 0), std::string::npos) << entry.path();
  EXPECT_EQ(tvn::testing::Content(Path("media.mdb")), damaged);
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
