// Updates run a batch of rows at a time end as the same updates run once
// each over the whole table.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/dao/RowBatches.h"
#include "platform/dao/tests/DaoTestUtil.h"

namespace {

class RowBatchesTest : public daotest::DaoTest {
 protected:
  // n of every row, in rowid order.
  std::vector<long> Values() {
    std::vector<long> out;
    auto rs = db_->OpenRecordset("select n from t order by rowid");
    for (; !rs->Eof(); rs->MoveNext()) out.push_back(static_cast<long>(rs->GetField(0).rawInt()));
    return out;
  }
};

TEST_F(RowBatchesTest, BatchesOverRowidsWithGapsEndAsWholeTableStatements) {
  auto db = Create();
  db->Execute("create table t (n INTEGER, flag BOOLEAN)");
  // Rowids with gaps and one far past the others, so that batches by row
  // count and batches by rowid value would differ.
  db->BeginTrans();
  for (long id : {1, 2, 3, 7, 8, 20, 21, 22, 23, 1000000000})
    db->Execute("insert into t (rowid, n, flag) values (" + std::to_string(id) + ", " + std::to_string(id) + ", false)");
  db->CommitTrans();
  // Each update reads what the one before wrote in the same row.
  const std::vector<dao::RowUpdate> updates{{"n = n * 2", ""}, {"flag = true", "n > 10"}, {"n = n + 1", "flag"}};
  int ticks = 0;
  db->BeginTrans();
  dao::UpdateInRowBatches(*db, "t", updates, [&] { ++ticks; }, 3);
  db->CommitTrans();
  EXPECT_EQ(Values(), (std::vector<long>{2, 4, 6, 15, 17, 41, 43, 45, 47, 2000000001}));
  EXPECT_EQ(ticks, 4 * 3) << "four batches of at most three rows, a tick after each statement";

  // An empty table runs nothing.
  db->Execute("delete * from t");
  ticks = 0;
  dao::UpdateInRowBatches(*db, "t", updates, [&] { ++ticks; }, 3);
  EXPECT_EQ(ticks, 0);
}

// A name carried into the rows that hold it, a few of those rows at a
// time: every holder changes and nothing else, also when the new name
// still matches the old one (a change of case under a case-blind
// column), where batches found again by the name would never end.
TEST_F(RowBatchesTest, MatchingRowsChangeInBatchesAndNoOthers) {
  auto db = Create();
  // A name field as the collections make theirs: compared without case.
  dao::TableDef table("t");
  table.CreateField("n", dao::dbLong);
  table.CreateField("name", dao::dbText, 50);
  table.CreateIndex("name").Fields = {"name"};
  db->AppendTableDef(table);
  db->BeginTrans();
  for (long i = 1; i <= 40; ++i)
    db->Execute("insert into t (rowid, n, name) values (" + std::to_string(i * 3) + ", " + std::to_string(i) +
                ", '" + (i % 3 == 0 ? "Old" : "Other") + "')");
  db->CommitTrans();
  auto holders = [&](const std::string& name) {
    std::vector<long> out;
    auto rs = db->OpenRecordset("select n from t where name = '" + name + "' collate binary order by rowid");
    for (; !rs->Eof(); rs->MoveNext()) out.push_back(static_cast<long>(rs->GetField(0).rawInt()));
    return out;
  };
  const std::vector<long> expected{3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 36, 39};

  int ticks = 0;
  db->BeginTrans();
  dao::UpdateMatchingInBatches(*db, "t", {"name = 'New'", "name = 'Old'"}, [&] { ++ticks; }, 4);
  db->CommitTrans();
  EXPECT_EQ(holders("New"), expected);
  EXPECT_TRUE(holders("Old").empty());
  EXPECT_EQ(holders("Other").size(), 27u);
  EXPECT_EQ(ticks, 4) << "thirteen holders in batches of four";

  db->BeginTrans();
  dao::UpdateMatchingInBatches(*db, "t", {"name = 'NEW'", "name = 'new'"}, {}, 4);
  db->CommitTrans();
  EXPECT_EQ(holders("NEW"), expected);
}

// Batches sized by time end as the whole-table statements, over more rows
// than the first batch takes.
TEST_F(RowBatchesTest, BatchesSizedByTimeCoverEveryRow) {
  auto db = Create();
  db->Execute("create table t (n INTEGER, flag BOOLEAN)");
  db->BeginTrans();
  for (long i = 1; i <= 5000; ++i) db->Execute("insert into t (n, flag) values (" + std::to_string(i) + ", false)");
  db->CommitTrans();
  db->BeginTrans();
  dao::UpdateInRowBatches(*db, "t", {{"n = n * 2", ""}, {"n = n + 1", "n > 9000"}});
  dao::UpdateMatchingInBatches(*db, "t", {"flag = true", "n % 7 = 0"});
  db->CommitTrans();
  std::vector<long> expected;
  for (long i = 1; i <= 5000; ++i) expected.push_back(i * 2 > 9000 ? i * 2 + 1 : i * 2);
  EXPECT_EQ(Values(), expected);
  auto rs = db->OpenRecordset("select count(*) from t where flag");
  EXPECT_EQ(rs->GetField(0).rawInt(), std::count_if(expected.begin(), expected.end(), [](long n) { return n % 7 == 0; }));
}

}  // namespace
