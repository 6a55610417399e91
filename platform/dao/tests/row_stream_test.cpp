// A select read aside gives what the same select gives as a recordset on
// the caller's connection: the same rows in the same order, the same
// values, names and count; a stream stopped early ends at once and leaves
// the file free; a failure reaches the reader; inside a transaction the
// rows are read where its changes are seen.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/dao/RowStream.h"
#include "platform/dao/tests/DaoTestUtil.h"
#include "platform/runtime/Functions.h"

using daotest::ErrorOf;
using vb::Variant;

namespace {

class RowStreamTest : public daotest::DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    db_->Execute("create table t (name VARCHAR(50), artist VARCHAR(50), n INTEGER, acquired DATETIME, flag BOOLEAN)");
  }
  void Add(int count) {
    // Names beyond ASCII, cases, ties, nulls, dates and flags, so that the
    // program's own order and the conversions of values all take part.
    const std::vector<std::string> names{"Éclair", "eclair",           "Zoë", "apple", "Ωmega",
                                         "東京",   "O'Brien \"Live\"", "",    "*?[1]", "Apple"};
    db_->BeginTrans();
    for (int i = 0; i < count; ++i) {
      const std::string name = names[size_t(i) % names.size()];
      db_->Execute("insert into t (name, artist, n, acquired, flag) values (" +
                   (i % 13 == 0 ? std::string("null") : dao::SqlQuote(name)) + ", " +
                   (i % 7 == 0 ? std::string("null") : dao::SqlQuote("Artist " + std::to_string(i % 5))) + ", " +
                   std::to_string(i) + ", #" + std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) +
                   "/1999#, " + (i % 2 ? "true" : "false") + ")");
    }
    db_->CommitTrans();
  }
  // Every row of the select as the caller's connection gives it.
  std::vector<std::vector<Variant>> ByRecordset(const std::string& sql) {
    std::vector<std::vector<Variant>> out;
    auto rs = db_->OpenRecordset(sql);
    for (; !rs->Eof(); rs->MoveNext()) {
      out.emplace_back();
      for (int i = 0; i < rs->FieldCount(); ++i) out.back().push_back(rs->GetField(i));
    }
    rs->Close();
    return out;
  }
  static std::string Shown(const Variant& v) {
    return v.isNull() ? "<null>" : std::to_string(int(v.type())) + ":" + vb::NzStr(v);
  }
};

TEST_F(RowStreamTest, GivesTheRowsValuesNamesAndCountOfTheSameSelectInItsOrder) {
  Add(2000);
  // Names beyond ASCII are put in order by the program; rows of plain
  // ASCII only may be read in an index's order.
  for (const char* where : {"n >= 5", "n mod 10 in (3, 6, 8, 9)"}) {
    SCOPED_TRACE(where);
    const std::string sql = std::string("select * from t where ") + where + " order by name, artist desc";
    const auto expected = ByRecordset(sql);
    int ticks = 0;
    dao::RowStream rows(db_, sql, [&] { ++ticks; });
    EXPECT_EQ(rows.Count(), long(expected.size()));
    EXPECT_EQ(rows.Names(), (std::vector<std::string>{"name", "artist", "n", "acquired", "flag"}));
    size_t i = 0;
    while (rows.Next()) {
      ASSERT_LT(i, expected.size());
      for (int f = 0; f < 5; ++f)
        ASSERT_EQ(Shown(rows.Field(f)), Shown(expected[i][size_t(f)])) << "row " << i << " field " << f;
      EXPECT_EQ(Shown(rows.Field("ARTIST")), Shown(expected[i][1]));
      ++i;
    }
    EXPECT_EQ(i, expected.size());
    EXPECT_EQ(rows.KnownCount(), long(expected.size()));
    EXPECT_FALSE(rows.Next()) << "stays at its end";
    EXPECT_EQ(ErrorOf([&] { rows.Field("no_such_field"); }), ErrorOf([&] {
                auto rs = db_->OpenRecordset(sql);
                rs->GetField("no_such_field");
              }));
  }
}

TEST_F(RowStreamTest, AnEmptySelectAndAFailingOneAreToldAsTheRecordsetTellsThem) {
  Add(20);
  {
    dao::RowStream rows(db_, "select * from t where n < 0 order by name", [] {});
    EXPECT_EQ(rows.Count(), 0);
    EXPECT_FALSE(rows.Next());
  }
  const std::string bad = "select * from t order by no_such_field";
  const int expected = ErrorOf([&] { db_->OpenRecordset(bad); });
  ASSERT_NE(expected, 0);
  EXPECT_EQ(ErrorOf([&] {
              dao::RowStream rows(db_, bad, [] {});
              rows.Count();
              while (rows.Next()) {
              }
            }),
            expected);
}

TEST_F(RowStreamTest, AStreamLeftEarlyEndsAtOnceAndLeavesTheFileFreeForWrites) {
  Add(30000);
  const auto start = std::chrono::steady_clock::now();
  {
    dao::RowStream rows(db_, "select * from t order by artist, name, n desc", [] {});
    ASSERT_TRUE(rows.Next());
    ASSERT_TRUE(rows.Next());
  }
  {
    // Left before the first row: the engine's sort is interrupted.
    dao::RowStream rows(db_, "select * from t order by artist, name, n desc", [] {});
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  db_->Execute("update t set flag = true");
  EXPECT_EQ(db_->RecordsAffected(), 30000);
}

TEST_F(RowStreamTest, InsideATransactionTheRowsAreReadWhereItsChangesAreSeen) {
  Add(10);
  db_->BeginTrans();
  db_->Execute("insert into t (name, n) values ('only in the transaction', 99)");
  {
    dao::RowStream rows(db_, "select name from t where n = 99", [] {});
    EXPECT_EQ(rows.Count(), 1);
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(vb::NzStr(rows.Field(0)), "only in the transaction");
  }
  db_->Rollback();
}

// Rows handed over on the reading thread: the same rows in the same order
// as the recordset, a failure told as it tells it, a tick that fails ends
// the reading; inside a transaction nothing is read aside.
TEST_F(RowStreamTest, RowsReadAsideOnTheReadingThreadAreThoseOfTheSameSelect) {
  Add(3000);
  const std::string sql = "select name, n, acquired from t order by name, n";
  std::vector<std::vector<Variant>> aside;
  int ticks = 0;
  // Each read holds its first row until the window's side has ticked, so
  // that it cannot end before that side has waited once.
  std::atomic<bool> ticked{false};
  const auto held = [&ticked](size_t rowsSoFar) {
    for (int i = 0; rowsSoFar == 0 && !ticked && i < 2000; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  ASSERT_TRUE(dao::ForEachRowAside(
      db_, sql,
      [&](const std::vector<Variant>& row) {
        held(aside.size());
        return aside.push_back(row), true;
      },
      [&] {
        ++ticks;
        ticked = true;
      }));
  const auto expected = ByRecordset(sql);
  ASSERT_EQ(aside.size(), expected.size());
  for (size_t i = 0; i < aside.size(); ++i)
    for (size_t f = 0; f < 3; ++f) ASSERT_EQ(Shown(aside[i][f]), Shown(expected[i][f])) << i;
  EXPECT_GT(ticks, 0);

  const std::string bad = "select * from t order by no_such_field";
  const int error = ErrorOf([&] { db_->OpenRecordset(bad); });
  EXPECT_EQ(ErrorOf([&] { dao::ForEachRowAside(db_, bad, [](const std::vector<Variant>&) { return true; }, [] {}); }),
            error);
  ticked = false;
  EXPECT_THROW(dao::ForEachRowAside(
                   db_, "select * from t order by artist, name, n desc",
                   [&held, rows = size_t(0)](const std::vector<Variant>&) mutable {
                     held(rows++);
                     return true;
                   },
                   [&ticked] {
                     ticked = true;
                     throw std::runtime_error("tick");
                   }),
               std::runtime_error);
  db_->Execute("update t set flag = true");  // the file is free again

  db_->BeginTrans();
  EXPECT_FALSE(dao::ForEachRowAside(db_, sql, [](const std::vector<Variant>&) { return true; }, [] {}));
  db_->Rollback();
}

}  // namespace
