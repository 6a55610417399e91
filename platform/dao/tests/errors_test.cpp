// Errors with the engine's numbers: missing files, tables and fields, bad
// and locked files, values that do not fit.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "platform/dao/DaoInternal.h"
#include "platform/runtime/Functions.h"
#include "platform/dao/tests/DaoTestUtil.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class ErrorsTest : public DaoTest {
 protected:
  void MakeTable() {
    Create();
    TableDef t("avcollections");
    t.CreateField("dbname", dbText, 10).AllowZeroLength = true;
    t.CreateField("AVCollection", dbText, 50);  // no zero-length strings
    t.CreateField("n", dbInteger);
    auto& i = t.CreateIndex("dbname");
    i.Fields = {"dbname"};
    i.Unique = true;
    db_->AppendTableDef(t);
  }
  void Write(const std::string& file, const std::string& bytes) {
    std::ofstream out(Path(file), std::ios::binary);
    out << bytes;
  }
};

TEST_F(ErrorsTest, MissingFileIsNotCreated) {
  Workspace& ws = DBEngine::Workspaces(0);
  try {
    ws.OpenDatabase(Path("av30.mdb"));
    FAIL() << "opened a missing file";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), errCouldNotFindFile);
    EXPECT_EQ(e.Description(), "Could not find file '" + Path("av30.mdb") + "'.");
  }
  EXPECT_FALSE(std::filesystem::exists(Path("av30.mdb")));
  Create("x.mdb");
  EXPECT_EQ(ErrorOf([&] { ws.CreateDatabase(Path("x.mdb")); }), 3204);
}

TEST_F(ErrorsTest, CorruptEmptyAndTruncatedFiles) {
  Workspace& ws = DBEngine::Workspaces(0);
  Write("garbage.mdb", std::string(4096, '\x5a'));
  EXPECT_EQ(ErrorOf([&] { ws.OpenDatabase(Path("garbage.mdb")); }), errNotADatabase);
  Write("empty.mdb", "");
  EXPECT_EQ(ErrorOf([&] { ws.OpenDatabase(Path("empty.mdb")); }), errNotADatabase);
  // A real database cut short, then with its pages overwritten.
  MakeTable();
  for (int i = 0; i < 300; ++i)
    db_->Execute("insert into avcollections (dbname, AVCollection) values ('f" + std::to_string(i) + "', '" +
                 std::string(40, 'x') + "')");
  db_->Close();
  std::string file = Path("t.mdb");
  auto size = std::filesystem::file_size(file);
  {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(size / 2));
    std::string junk(size / 2, '\xff');
    f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
  }
  int err = ErrorOf([&] {
    auto db = ws.OpenDatabase(file);
    auto rs = db->OpenRecordset("select * from avcollections order by dbname");
    while (!rs->Eof()) rs->MoveNext();
  });
  EXPECT_TRUE(err == 3049 || err == errNotADatabase) << err;
}

TEST_F(ErrorsTest, LockedFileIsNotAMissingTable) {
  MakeTable();
  db_->Close();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(Path("t.mdb").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO avcollections (dbname) VALUES ('held');", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  Workspace& ws = DBEngine::Workspaces(0);
  EXPECT_EQ(ErrorOf([&] { ws.OpenDatabase(Path("t.mdb")); }), errFileLocked);
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  // Opened first, locked afterwards: opening a table says locked too.
  auto db = ws.OpenDatabase(Path("t.mdb"));
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT INTO avcollections (dbname) VALUES ('held2');", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(ErrorOf([&] { db->OpenRecordset("avcollections"); }), errFileLocked);
  EXPECT_EQ(ErrorOf([&] { db->Execute("delete * from avcollections"); }), errFileLocked);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(db->OpenRecordset("avcollections")->RecordCount(), 1);
}

TEST_F(ErrorsTest, MissingTablesAndFields) {
  MakeTable();
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("mediadata"); }), errTableNotFound);
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("select * from mediadata"); }), errTableNotFound);
  EXPECT_EQ(ErrorOf([&] { db_->Execute("delete * from mediadata"); }), errTableNotFound);
  EXPECT_EQ(ErrorOf([&] { db_->TableDefs("mediadata"); }), errItemNotFound);
  auto rs = db_->OpenRecordset("AVCOLLECTIONS");  // names without regard to case
  rs->AddNew();
  EXPECT_EQ(ErrorOf([&] { rs->Fields("nosuch") = Variant(1); }), errItemNotFound);
  rs->Fields("DBNAME") = Variant("a.mdb");
  rs->Fields("avcollection") = Variant("A");
  rs->Update();
  EXPECT_EQ(ErrorOf([&] { rs->GetField("nosuch"); }), errItemNotFound);
  EXPECT_EQ(Str(rs->GetField("DbName")), "a.mdb");
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), errUpdateWithoutEdit);
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("select nosuch from avcollections"); }), 3061);
  EXPECT_EQ(ErrorOf([&] { db_->Execute("selec * form x"); }), errSyntax);
}

TEST_F(ErrorsTest, ValuesThatDoNotFit) {
  MakeTable();
  auto rs = db_->OpenRecordset("avcollections");
  rs->AddNew();
  rs->Fields("dbname") = Variant("12345678901");  // 11 characters into Text 10
  rs->Fields("avcollection") = Variant("x");
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), errFieldTooSmall);
  rs->Fields("dbname") = Variant("ÉÉÉÉÉÉÉÉÉÉ");  // 10 characters, 20 bytes: fits
  rs->Update();
  rs->AddNew();
  rs->Fields("dbname") = Variant("b");
  rs->Fields("avcollection") = Variant("");
  try {
    rs->Update();
    FAIL() << "zero-length string stored";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 3315);
    EXPECT_EQ(e.Description(), "Field 'avcollections.AVCollection' cannot be a zero-length string.");
  }
  rs->Fields("avcollection") = Variant("B");
  rs->Fields("n") = Variant(40000);
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3349);
  rs->Fields("n") = Variant("abc");
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3421);
  rs->Fields("n") = Variant(2.5);  // rounds to even
  rs->Update();
  EXPECT_EQ(ErrorOf([&] { rs->Seek("=", Variant("b")); }), 3019);  // no index chosen
  rs->SetIndex("dbname");
  rs->Seek("=", Variant("B"));
  ASSERT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->GetField("n"), Variant::Integer(2));
}

TEST_F(ErrorsTest, DuplicateKeyAndAtomicUpdate) {
  MakeTable();
  db_->Execute("insert into avcollections (dbname, avcollection) values ('a', 'A')");
  db_->Execute("insert into avcollections (dbname, avcollection) values ('b', 'B')");
  auto rs = db_->OpenRecordset("avcollections");
  rs->AddNew();
  rs->Fields("dbname") = Variant("A");  // the unique index ignores case
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), errDuplicateKey);
  rs->CancelUpdate();
  // One statement fails as a whole: neither row changes.
  EXPECT_EQ(ErrorOf([&] { db_->Execute("update avcollections set dbname = 'c'"); }), errDuplicateKey);
  auto q = db_->OpenRecordset("select dbname from avcollections order by dbname");
  EXPECT_EQ(Str(q->GetField("dbname")), "a");
  q->MoveNext();
  EXPECT_EQ(Str(q->GetField("dbname")), "b");
}

}  // namespace

namespace {

TEST_F(ErrorsTest, TwoConnectionsToOneFileDoNotLockEachOther) {
  MakeTable();
  for (int i = 0; i < 20; ++i)
    db_->Execute("insert into avcollections (dbname, avcollection) values ('f" + std::to_string(i) + "', 'x')");
  auto second = DBEngine::Workspaces(0).OpenDatabase(Path("t.mdb"));
  auto scan = second->OpenRecordset("select * from avcollections order by dbname");
  auto table = second->OpenRecordset("avcollections");
  scan->MoveNext();
  // The other connection's open reads must not block this write.
  db_->Execute("update avcollections set avcollection = 'y'");
  EXPECT_EQ(db_->RecordsAffected(), 20);
  EXPECT_EQ(Str(scan->GetField("avcollection")), "y");
  EXPECT_EQ(Str(table->GetField("avcollection")), "y");
  scan->MoveNext();
  EXPECT_EQ(Str(scan->GetField("dbname")), "f10");
  EXPECT_EQ(scan->RecordCount(), 20);
}

TEST_F(ErrorsTest, ReadOnlyDatabaseRefusesWrites) {
  MakeTable();
  db_->Close();
  auto ro = DBEngine::Workspaces(0).OpenDatabase(Path("t.mdb"), false, true);
  EXPECT_EQ(ErrorOf([&] { ro->Execute("delete * from avcollections"); }), 3027);
  auto rs = ro->OpenRecordset("avcollections");
  rs->AddNew();
  rs->Fields("dbname") = Variant("a");
  EXPECT_EQ(ErrorOf([&] { rs->Update(); }), 3027);
  // A closed database and its recordsets refuse use with a clear error.
  ro->Close();
  EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), 3420);
  EXPECT_EQ(ErrorOf([&] { ro->OpenRecordset("avcollections"); }), 3420);
}

// A healthy file that cannot be read as it stands (an unfinished change in
// its journal, opened where it may not be undone) is not called damaged;
// each engine failure keeps a message of its own.
TEST_F(ErrorsTest, OpenFailuresOfHealthyFilesAreNotCalledCorrupt) {
  MakeTable();
  for (int i = 0; i < 200; ++i)
    db_->Execute("insert into avcollections (dbname, AVCollection) values ('f" + std::to_string(i) + "', '" +
                 std::string(40, 'x') + "')");
  db_->Close();
  // Another program stopped in the middle of a change: its journal is left
  // beside the file (copied while the change is under way).
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(Path("t.mdb").c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "PRAGMA cache_size = 1; BEGIN; UPDATE avcollections SET AVCollection = 'changed';",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  ASSERT_TRUE(std::filesystem::exists(Path("t.mdb-journal")));
  std::filesystem::copy_file(Path("t.mdb"), Path("left.mdb"));
  std::filesystem::copy_file(Path("t.mdb-journal"), Path("left.mdb-journal"));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  try {
    DBEngine::Workspaces(0).OpenDatabase(Path("left.mdb"), false, true);
    FAIL() << "read a file whose change was not undone";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), errReadOnly);
    EXPECT_EQ(e.Description().find("corrupt"), std::string::npos) << e.Description();
    EXPECT_NE(e.Description().find("journal"), std::string::npos) << e.Description();
  }
  // Opened where it can be written, the change is undone and every row reads as it was.
  auto db = DBEngine::Workspaces(0).OpenDatabase(Path("left.mdb"));
  auto rs = db->OpenRecordset("select count(*) as n from avcollections where AVCollection = 'changed'");
  EXPECT_EQ(vb::CLng(rs->GetField("n")), 0);

  auto message = [](int rc) {
    try {
      detail::FailOpen(rc, "/data/c.mdb", "engine text");
    } catch (const Error& e) {
      return std::to_string(e.Number()) + " " + e.Description();
    }
    return std::string();
  };
  EXPECT_EQ(message(SQLITE_FULL), "3026 Disk full: there is no room to write '/data/c.mdb'.");
  EXPECT_EQ(message(SQLITE_IOERR_READ), "3043 Disk or network error reading '/data/c.mdb'.");
  EXPECT_EQ(message(SQLITE_BUSY), "3045 Could not use '/data/c.mdb'; file already in use.");
  EXPECT_EQ(message(SQLITE_NOTADB), "3343 Unrecognized database format '/data/c.mdb'.");
  for (int rc : {SQLITE_CANTOPEN, SQLITE_PERM, SQLITE_READONLY, SQLITE_FULL, SQLITE_IOERR, SQLITE_LOCKED})
    EXPECT_EQ(message(rc).find("corrupt"), std::string::npos) << rc;
  EXPECT_NE(message(SQLITE_CORRUPT).find("corrupt"), std::string::npos);
}

}  // namespace
