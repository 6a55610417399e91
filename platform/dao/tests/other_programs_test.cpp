// Another program on the same file: the layer holds no read once the
// program lets go of its reads between two user actions, a write that
// finds the file busy waits in our own loop and then goes through, and no
// failure inside an SQL function unwinds through the engine.
#include <sqlite3.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/dao/tests/DaoTestUtil.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Waiting.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class OtherProgramTest : public DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    db_->Execute("create table t (name VARCHAR(50), n INTEGER)");
    db_->Execute("create index [t.name] on t (name)");
    db_->BeginTrans();
    for (int i = 0; i < 300; ++i)
      db_->Execute("insert into t (name, n) values ('row " + std::to_string(1000 + i) + "', " + std::to_string(i) +
                   ")");
    db_->CommitTrans();
  }
  void TearDown() override {
    vb::SetWaitHooks({});
    DaoTest::TearDown();
  }

  // What another program gets when it writes to the file at once (no wait).
  int OtherWrite(const std::string& name) {
    sqlite3* other = nullptr;
    sqlite3_open(Path("t.mdb").c_str(), &other);
    const std::string sql = "BEGIN IMMEDIATE; INSERT INTO t (name, n) VALUES ('" + name + "', -1); COMMIT;";
    int rc = sqlite3_exec(other, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    return rc;
  }
  long Count(const std::string& where) {
    long n = 0;
    db_->ForEachRow("select count(*) from t where " + where, [&](const std::vector<Variant>& row) {
      n = vb::CLng(row[0]);
      return false;
    });
    return n;
  }
};

TEST_F(OtherProgramTest, NoReadIsHeldOnceTheProgramLetsGoBetweenActions) {
  // A table walked through its index, a query's scan half read, a query
  // whose rows are all known and that follows its scan again, and a
  // single-row query: each holds a read on its current row.
  auto table = db_->OpenRecordset("t");
  table->SetIndex("name");
  table->MoveNext();
  auto scan = db_->OpenRecordset("select * from t order by name");
  for (int i = 0; i < 5; ++i) scan->MoveNext();
  auto known = db_->OpenRecordset("select * from t where n >= 100 order by n");
  known->MoveLast();
  known->MoveFirst();
  known->MoveNext();
  auto one = db_->OpenRecordset("select * from t where name = 'row 1010'");
  EXPECT_EQ(Str(one->GetField("name")), "row 1010");

  DBEngine::ReleaseReads();
  ASSERT_EQ(OtherWrite("row 0000"), SQLITE_OK);
  EXPECT_EQ(Count("n = -1"), 1);

  // Every set is where it was, reads its row again and walks on.
  EXPECT_EQ(Str(table->GetField("name")), "row 1001");
  EXPECT_EQ(Str(scan->GetField("name")), "row 1005");
  EXPECT_EQ(vb::CLng(known->GetField("n")), 101);
  EXPECT_EQ(Str(one->GetField("name")), "row 1010");
  scan->MoveNext();
  EXPECT_EQ(Str(scan->GetField("name")), "row 1006");
  EXPECT_EQ(scan->RecordCount(), 300);  // its rows were fixed when it let go
  known->MoveNext();
  EXPECT_EQ(vb::CLng(known->GetField("n")), 102);
  // A table follows the file: the other program's row comes first by name.
  table->MoveFirst();
  EXPECT_EQ(Str(table->GetField("name")), "row 0000");

  // Again after a write of our own, an edit through the half-read scan.
  scan->Edit();
  scan->SetField("n", Variant::Long(5000));
  scan->Update();
  scan->MoveNext();
  DBEngine::ReleaseReads();
  EXPECT_EQ(OtherWrite("row 0001"), SQLITE_OK);
  EXPECT_EQ(Count("n = -1"), 2);
  EXPECT_EQ(Count("n = 5000"), 1);
}

// Another program that holds a write on the file for a while, then commits.
// Its commit waits for readers as a well-behaved program does: the program
// may be between reading a row and waiting for the write when the hold
// ends, and must let go of its read while it waits, or neither gets on.
class HeldWrite {
 public:
  HeldWrite(const std::string& path, int holdMs) {
    worker_ = std::thread([this, path, holdMs] {
      sqlite3* other = nullptr;
      sqlite3_open(path.c_str(), &other);
      sqlite3_busy_timeout(other, 20000);
      const int rc = sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO t (name, n) VALUES ('theirs', -2);", nullptr,
                                  nullptr, nullptr);
      {
        std::lock_guard<std::mutex> lock(m_);
        holding_ = rc == SQLITE_OK;
        started_ = true;
      }
      cv_.notify_all();
      std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
      commit_ = sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
      sqlite3_close(other);
    });
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [this] { return started_; });
  }
  ~HeldWrite() {
    if (worker_.joinable()) worker_.join();
  }
  bool Holding() const { return holding_; }
  int Commit() {
    if (worker_.joinable()) worker_.join();
    return commit_;
  }

 private:
  std::thread worker_;
  std::mutex m_;
  std::condition_variable cv_;
  bool started_ = false, holding_ = false;
  std::atomic<int> commit_{-1};
};

TEST_F(OtherProgramTest, AWriteWaitsForAnotherProgramsWriteInOurOwnLoop) {
  int begins = 0, steps = 0, ends = 0;
  vb::SetWaitHooks({[&] { ++begins; }, [&] { ++steps; }, [&] { ++ends; }});
  // A save as the windows make it: a transaction on a set that holds a
  // read on its current row, through Edit and Update.
  auto rs = db_->OpenRecordset("select * from t where n < 10 order by n");
  rs->MoveNext();
  {
    HeldWrite held(Path("t.mdb"), 1000);
    ASSERT_TRUE(held.Holding());
    db_->BeginTrans();
    rs->Edit();
    rs->SetField("name", Variant("ours"));
    rs->Update();
    db_->CommitTrans();
    EXPECT_EQ(held.Commit(), SQLITE_OK);
  }
  EXPECT_EQ(Count("name = 'ours' and n = 1"), 1);
  EXPECT_EQ(Count("name = 'theirs'"), 1);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_GT(steps, 0);

  // A single statement outside a transaction, and a row added through a
  // table, wait the same way.
  {
    HeldWrite held(Path("t.mdb"), 500);
    db_->Execute("update t set n = 7777 where name = 'ours'");
    EXPECT_EQ(held.Commit(), SQLITE_OK);
  }
  {
    HeldWrite held(Path("t.mdb"), 500);
    auto table = db_->OpenRecordset("t");
    table->AddNew();
    table->SetField("name", Variant("added"));
    table->Update();
    EXPECT_EQ(held.Commit(), SQLITE_OK);
  }
  EXPECT_EQ(Count("n = 7777"), 1);
  EXPECT_EQ(Count("name = 'added'"), 1);
  EXPECT_EQ(Count("name = 'theirs'"), 3);
  EXPECT_EQ(begins, 3);
  EXPECT_EQ(ends, 3);
}

TEST_F(OtherProgramTest, AWriteThatWaitsInVainIsRefusedWithTheFileNamed) {
  int begins = 0, ends = 0;
  vb::SetWaitHooks({[&] { ++begins; }, [] {}, [&] { ++ends; }});
  sqlite3* other = nullptr;
  sqlite3_open(Path("t.mdb").c_str(), &other);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM t;", nullptr, nullptr, nullptr), SQLITE_OK);
  std::string text;
  try {
    db_->BeginTrans();
    ADD_FAILURE() << "the transaction began";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), errFileLocked);
    text = e.Description();
  }
  EXPECT_NE(text.find(Path("t.mdb")), std::string::npos) << text;
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  // Nothing was left half begun: the next transaction goes through.
  db_->BeginTrans();
  db_->Execute("delete * from t where n = 0");
  db_->CommitTrans();
  EXPECT_EQ(Count("n >= 0"), 299);
}

TEST_F(OtherProgramTest, WorkAsideWritesOnItsOwnConnectionAndWaitsWithoutTheWindowsHooks) {
  // The program's hooks paint windows: a wait on another thread must not
  // run them.
  std::atomic<int> hooked{0};
  vb::SetWaitHooks({[&] { ++hooked; }, [&] { ++hooked; }, [&] { ++hooked; }});
  // The windows hold a read on a row; they let go of it before work aside
  // starts, and read on afterwards.
  auto rs = db_->OpenRecordset("select * from t order by name");
  rs->MoveNext();
  DBEngine::ReleaseReads();
  std::string failure;
  {
    HeldWrite held(Path("t.mdb"), 300);
    ASSERT_TRUE(held.Holding());
    std::thread aside([&] {
      try {
        DatabasePtr own = DBEngine::Workspaces(0).OpenAside(Path("t.mdb"));
        own->BeginTrans();
        own->AppendTexts("T", "Name", 3, [](size_t i) { return i == 0 ? std::string_view("it's \"aside\"") : "more"; });
        EXPECT_EQ(own->RecordsAffected(), 3);
        own->CommitTrans();
        own->Close();
      } catch (const std::exception& e) {
        failure = e.what();
      }
    });
    aside.join();
    EXPECT_EQ(held.Commit(), SQLITE_OK);
  }
  EXPECT_EQ(failure, "");
  EXPECT_EQ(hooked.load(), 0);
  EXPECT_EQ(Count("name = 'it''s \"aside\"' and n is null"), 1);
  EXPECT_EQ(Count("name = 'more'"), 2);
  EXPECT_EQ(Count("name = 'theirs'"), 1);
  EXPECT_EQ(Str(rs->GetField("name")), "row 1001");
  // A connection aside is not one of the open databases: letting go of
  // the reads or rolling back the workspace never reaches it.
  DatabasePtr own = DBEngine::Workspaces(0).OpenAside(Path("t.mdb"), true);
  auto mine = own->OpenRecordset("select * from t order by name");
  mine->MoveNext();
  DBEngine::ReleaseReads();
  EXPECT_NE(OtherWrite("row 9999"), SQLITE_OK) << "its read is its own to end";
  mine->Close();
  own->Close();
  EXPECT_EQ(OtherWrite("row 9999"), SQLITE_OK);
  // The bound append names what is missing.
  EXPECT_EQ(ErrorOf([&] { db_->AppendTexts("nowhere", "name", 1, [](size_t) { return std::string_view("x"); }); }),
            errTableNotFound);
  EXPECT_EQ(ErrorOf([&] { db_->AppendTexts("t", "nothing", 1, [](size_t) { return std::string_view("x"); }); }),
            errItemNotFound);
}

TEST_F(OtherProgramTest, FailuresInsideSqlFunctionsAreErrorsOfTheStatement) {
  // An unclosed "[" in a pattern: the runtime's Like refuses it.
  EXPECT_NE(ErrorOf([&] { Count("name like '[ro*'"); }), 0);
  EXPECT_NE(ErrorOf([&] {
              auto rs = db_->OpenRecordset("select * from t where name like 'row [1*' order by name");
              while (!rs->Eof()) rs->MoveNext();
            }),
            0);
  auto table = db_->OpenRecordset("select * from t where n > 5");
  EXPECT_NE(ErrorOf([&] { db_->Execute("update t set n = 1 where name like '['"); }), 0);
  // The statements ended with their errors: no read stays behind, and the
  // connection goes on working.
  table->Close();
  EXPECT_EQ(OtherWrite("row [x"), SQLITE_OK);
  EXPECT_EQ(Count("name like 'row [[]x'"), 1);
  EXPECT_EQ(Count("n = 1"), 1);
}

}  // namespace

// Another program's number in a date column that is no date (far outside
// the years 100 to 9999, an infinity): read as the number it is, never as a
// made-up day, and written back unchanged when the program files it again.
TEST_F(OtherProgramTest, ANumberOutsideTheCalendarInADateColumnIsKeptAsItIs) {
  db_->Execute("create table d (name VARCHAR(50), bought DATETIME)");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(Path("t.mdb").c_str(), &other), SQLITE_OK);
  const char* values = "insert into d values ('a far', 1e300), ('b past', -1e300), ('c inf', 9e999), "
                       "('d next', 2958466), ('e last', 2958465.5);";
  ASSERT_EQ(sqlite3_exec(other, values, nullptr, nullptr, nullptr), SQLITE_OK);
  auto stored = [other] {
    std::string out;
    sqlite3_exec(
        other, "select typeof(bought) || ' ' || quote(bought) from d order by name",
        [](void* o, int, char** v, char**) {
          *static_cast<std::string*>(o) += std::string(v[0]) + "\n";
          return 0;
        },
        &out, nullptr);
    return out;
  };
  const std::string before = stored();

  auto rs = db_->OpenRecordset("select * from d order by name", dbOpenDynaset);
  std::vector<bool> dates;
  while (!rs->Eof()) {
    const Variant v = rs->GetField("bought");
    dates.push_back(vb::IsDate(v));
    rs->Edit();
    rs->SetField("bought", v);
    rs->Update();
    rs->MoveNext();
  }
  rs->Close();
  EXPECT_EQ(dates, (std::vector<bool>{false, false, false, false, true}));
  const std::string after = stored();
  sqlite3_close(other);
  // The four that are no dates are the numbers they were; the last day of
  // 9999 is a date and is written as one.
  EXPECT_EQ(before.substr(0, before.rfind("real")), after.substr(0, after.rfind("text")));
  EXPECT_NE(after.find("text '9999-12-31 12:00:00'"), std::string::npos) << after;
}

namespace {

// Runs the commit it is handed on a thread of its own, as a window does,
// noting what the caller could do with the connection meanwhile.
struct CommitOnAThread {
  dao::DatabasePtr db;
  std::thread::id ranOn;
  int useMeanwhile = -1;
  void operator()(const std::function<void()>& work) {
    // The connection is lent: a use from this thread fails rather than
    // racing the commit, and letting go of reads passes it by.
    useMeanwhile = ErrorOf([&] { db->Execute("delete * from t"); });
    DBEngine::ReleaseReads();
    std::thread worker([&] {
      ranOn = std::this_thread::get_id();
      work();
    });
    worker.join();
  }
};

}  // namespace

TEST_F(OtherProgramTest, ACommitAsideWritesOnItsThreadAndARefusedOneStaysOursToRollBack) {
  CommitOnAThread aside{db_, {}, -1};
  db_->BeginTrans();
  db_->Execute("update t set n = n + 1000 where n < 100");
  db_->CommitTransAside(std::ref(aside));
  EXPECT_NE(aside.ranOn, std::thread::id());
  EXPECT_NE(aside.ranOn, std::this_thread::get_id());
  EXPECT_NE(aside.useMeanwhile, 0) << "the lent connection was used during the commit";
  EXPECT_EQ(Count("n >= 1000"), 100);
  // Committed and let go: another program writes at once, and the
  // connection is ours again.
  EXPECT_EQ(OtherWrite("after"), SQLITE_OK);
  db_->Execute("delete * from t where name = 'after'");

  // A commit another program's read holds off until the engine gives up:
  // the transaction is still open, so the caller's rollback undoes the
  // change and the next transaction begins.
  sqlite3* other = nullptr;
  sqlite3_open(Path("t.mdb").c_str(), &other);
  sqlite3_stmt* read = nullptr;
  sqlite3_prepare_v2(other, "SELECT name FROM t", -1, &read, nullptr);
  db_->BeginTrans();
  db_->Execute("delete * from t where n < 200");
  ASSERT_EQ(sqlite3_step(read), SQLITE_ROW);
  EXPECT_EQ(ErrorOf([&] { db_->CommitTransAside(std::ref(aside)); }), errFileLocked);
  sqlite3_finalize(read);
  sqlite3_close(other);
  db_->Rollback();
  EXPECT_EQ(Count("n >= 0"), 300);
  db_->BeginTrans();
  db_->Execute("delete * from t where n = 299");
  db_->CommitTransAside(std::ref(aside));
  EXPECT_EQ(Count("n >= 0"), 299);
  // Nested, the commit releases the inner transaction where it stands.
  db_->BeginTrans();
  db_->BeginTrans();
  db_->Execute("delete * from t where n = 298");
  aside.ranOn = {};
  db_->CommitTransAside(std::ref(aside));
  EXPECT_EQ(aside.ranOn, std::thread::id());
  db_->CommitTrans();
  EXPECT_EQ(Count("n >= 0"), 298);
}
