// Updates run a batch of rows at a time end as the same updates run once
// each over the whole table.
#include <gtest/gtest.h>

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

}  // namespace
