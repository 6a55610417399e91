// Table definitions read from and written to the file, compaction and
// files made by other SQLite tools.
#include <sqlite3.h>

#include "platform/dao/tests/DaoTestUtil.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class TableDefsTest : public DaoTest {};

const FieldDef* FieldOf(const TableDef& t, const std::string& name) {
  for (const auto& f : t.Fields)
    if (f.Name == name) return &f;
  return nullptr;
}

TEST_F(TableDefsTest, DefinitionsRoundTrip) {
  Create();
  TableDef t("report");
  t.CreateField("cat_number", dbText, 50).AllowZeroLength = true;
  t.CreateField("TapeIndex", dbText, 10);
  t.CreateField("GrpNum", dbByte);
  t.CreateField("slot", dbInteger);
  t.CreateField("count", dbLong);
  t.CreateField("sides", dbDouble);
  t.CreateField("when", dbDate);
  t.CreateField("flag", dbBoolean);
  t.CreateField("notes", dbMemo);
  auto& idx = t.CreateIndex("TapeNum");
  idx.Fields = {"cat_number", "TapeIndex"};
  db_->AppendTableDef(t);
  EXPECT_EQ(ErrorOf([&] { db_->AppendTableDef(t); }), errObjectExists);
  EXPECT_EQ(db_->TableDefNames(), std::vector<std::string>{"report"});

  auto def = db_->TableDefs("REPORT");
  ASSERT_EQ(def->Fields.size(), 9u);
  const int types[] = {dbText, dbText, dbByte, dbInteger, dbLong, dbDouble, dbDate, dbBoolean, dbMemo};
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(def->Fields[i].Type, types[i]) << def->Fields[i].Name;
  EXPECT_EQ(FieldOf(*def, "TapeIndex")->Size, 10);
  EXPECT_TRUE(FieldOf(*def, "cat_number")->AllowZeroLength);
  EXPECT_FALSE(FieldOf(*def, "TapeIndex")->AllowZeroLength);
  ASSERT_EQ(def->Indexes.size(), 1u);
  EXPECT_EQ(def->Indexes[0].Name, "TapeNum");
  EXPECT_EQ(def->Indexes[0].Fields, (std::vector<std::string>{"cat_number", "TapeIndex"}));

  // Changing AllowZeroLength on the stored table.
  def->SetAllowZeroLength("tapeindex", true);
  EXPECT_TRUE(FieldOf(*db_->TableDefs("report"), "TapeIndex")->AllowZeroLength);
  auto rs = db_->OpenRecordset("report");
  rs->AddNew();
  rs->Fields("tapeindex") = Variant("");
  rs->Update();
  EXPECT_EQ(Str(rs->GetField("TapeIndex")), "");
  EXPECT_EQ(rs->GetField("flag"), Variant(false));  // a new Yes/No field is False

  // Values come back in their kinds.
  rs->Edit();
  rs->Fields("GrpNum") = Variant(3);
  rs->Fields("slot") = Variant(7);
  rs->Fields("count") = Variant(100000);
  rs->Fields("sides") = Variant(2.5);
  rs->Fields("when") = Variant("12/31/1999");
  rs->Fields("flag") = Variant(true);
  rs->Update();
  EXPECT_EQ(rs->GetField("GrpNum"), Variant::Byte(3));
  EXPECT_EQ(rs->GetField("slot"), Variant::Integer(7));
  EXPECT_EQ(rs->GetField("count"), Variant::Long(100000));
  EXPECT_EQ(rs->GetField("sides"), Variant(2.5));
  EXPECT_EQ(rs->GetField("when"), Variant::Date(36525.0));
  EXPECT_EQ(rs->GetField("flag"), Variant(true));
  EXPECT_TRUE(rs->GetField("notes").isNull());
  EXPECT_EQ(rs->FieldInfo(1).Size, 10);
}

TEST_F(TableDefsTest, AppendFieldsAndIndexesToStoredTable) {
  Create();
  TableDef t("vt");
  t.CreateField("name", dbText, 50).AllowZeroLength = true;
  t.CreateField("cat_number", dbText, 50).AllowZeroLength = true;
  db_->AppendTableDef(t);
  db_->Execute("insert into vt (name, cat_number) values ('b', 'T1')");
  db_->Execute("insert into vt (name, cat_number) values ('a', 'T1')");
  auto rs = db_->OpenRecordset("vt");  // open while the table grows

  auto def = db_->TableDefs("vt");
  FieldDef f;
  f.Name = "TapeIndex";
  f.Type = dbText;
  f.Size = 10;
  f.AllowZeroLength = true;
  def->AppendField(f);
  FieldDef b;
  b.Name = "pr1";
  b.Type = dbBoolean;
  def->AppendField(b);
  EXPECT_EQ(ErrorOf([&] { def->AppendField(f); }), 3191);
  IndexDef i;
  i.Name = "TapeNum";
  i.Fields = {"cat_number", "TapeIndex"};
  def->AppendIndex(i);
  EXPECT_EQ(ErrorOf([&] { def->AppendIndex(i); }), errIndexExists);
  // Index names are per table: another table may have its own "TapeNum".
  TableDef other("dvd");
  other.CreateField("cat_number", dbText, 50);
  other.CreateField("TapeIndex", dbText, 10);
  other.CreateIndex("TapeNum").Fields = {"cat_number"};
  db_->AppendTableDef(other);

  auto reread = db_->TableDefs("vt");
  EXPECT_EQ(reread->Fields.size(), 4u);
  EXPECT_EQ(reread->Indexes.size(), 1u);
  auto t2 = db_->OpenRecordset("vt");
  t2->SetIndex("TapeNum");
  t2->Seek("=", Variant("T1"), Variant::Null());
  ASSERT_FALSE(t2->NoMatch());
  EXPECT_EQ(t2->GetField("pr1"), Variant(false));  // existing rows read False
  EXPECT_EQ(db_->OpenRecordset("select * from vt where not pr1")->RecordCount(), 2);
  EXPECT_EQ(rs->RecordCount(), 2);
  db_->DeleteTableDef("dvd");
  EXPECT_EQ(db_->TableDefNames(), std::vector<std::string>{"vt"});
}

TEST_F(TableDefsTest, AutoNumberedKeyIsReadBackAndNeverReusedEvenAfterCompaction) {
  Create("src.mdb");
  TableDef t("games");
  t.CreateField("id", dbLong).AutoIncrement = true;
  t.CreateField("name", dbText, 20);
  db_->AppendTableDef(t);
  auto def = db_->TableDefs("games");
  EXPECT_TRUE(FieldOf(*def, "id")->AutoIncrement);
  EXPECT_EQ(FieldOf(*def, "id")->Type, dbLong);
  EXPECT_FALSE(FieldOf(*def, "name")->AutoIncrement);

  auto add = [&](const char* name) {
    auto rs = db_->OpenRecordset("games");
    rs->AddNew();
    rs->Fields("name") = Variant(name);
    rs->Update();
  };
  add("a");
  add("b");
  db_->Execute("delete from games where id = 2");
  add("c");  // the deleted row's number stays unused
  EXPECT_EQ(db_->OpenRecordset("select id from games where name = 'c'")->GetField("id"), Variant::Long(3));
  db_->Close();

  DBEngine::CompactDatabase(Path("src.mdb"), Path("Temp.mdb"));
  db_ = DBEngine::Workspaces(0).OpenDatabase(Path("Temp.mdb"));
  EXPECT_TRUE(FieldOf(*db_->TableDefs("games"), "id")->AutoIncrement);
  db_->Execute("delete from games where id = 3");
  add("d");
  EXPECT_EQ(db_->OpenRecordset("select id from games where name = 'd'")->GetField("id"), Variant::Long(4));

  // Only a Long can number itself.
  TableDef bad("bad");
  bad.CreateField("id", dbText, 5).AutoIncrement = true;
  EXPECT_EQ(ErrorOf([&] { db_->AppendTableDef(bad); }), 3001);  // "Invalid argument."
}

TEST_F(TableDefsTest, CompactCopiesIntoNewFile) {
  Create("src.mdb");
  TableDef t("a");
  t.CreateField("n", dbText, 5).AllowZeroLength = false;
  db_->AppendTableDef(t);
  db_->Execute("insert into a (n) values ('x')");
  db_->Close();
  DBEngine::CompactDatabase(Path("src.mdb"), Path("Temp.mdb"));
  EXPECT_EQ(ErrorOf([&] { DBEngine::CompactDatabase(Path("src.mdb"), Path("Temp.mdb")); }), 3204);
  EXPECT_EQ(ErrorOf([&] { DBEngine::CompactDatabase(Path("none.mdb"), Path("t2.mdb")); }), errCouldNotFindFile);
  auto db = DBEngine::Workspaces(0).OpenDatabase(Path("Temp.mdb"));
  EXPECT_EQ(Str(db->OpenRecordset("a")->GetField("n")), "x");
  EXPECT_FALSE(db->TableDefs("a")->Fields[0].AllowZeroLength);  // field properties travel too
}

TEST_F(TableDefsTest, FileMadeWithPlainSqliteOpens) {
  std::string file = Path("made.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE tips (tipnum INTEGER, Tip TEXT COLLATE NOCASE, shown BOOLEAN, d DATETIME);"
                         "CREATE INDEX \"tips.tipnum\" ON tips (tipnum);"
                         "INSERT INTO tips VALUES (2, 'second', 1, '2001-02-03'), (1, 'first', 0, NULL);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  auto db = DBEngine::Workspaces(0).OpenDatabase(file);
  auto rs = db->OpenRecordset("tips");
  rs->SetIndex("tipnum");
  EXPECT_EQ(rs->GetField("tipnum"), Variant::Long(1));
  EXPECT_EQ(Str(rs->GetField("tip")), "first");
  rs->MoveNext();
  EXPECT_EQ(rs->GetField("shown"), Variant(true));
  EXPECT_EQ(rs->GetField("d"), Variant::Date(36925.0));
  EXPECT_TRUE(db->TableDefs("tips")->Fields[1].AllowZeroLength);
  EXPECT_EQ(db->TableDefs("tips")->Fields[1].Type, dbMemo);
}

}  // namespace

namespace {

TEST_F(TableDefsTest, DefinitionFromCreateTableDefGrowsUntilAppended) {
  Create();
  auto def = db_->CreateTableDef("title_list");
  def->AppendField(def->CreateField("LongTitle", dbText, 60));  // the habit of Fields.Append
  EXPECT_EQ(def->Fields.size(), 1u);
  db_->AppendTableDef(*def);
  FieldDef more;
  more.Name = "extra";
  more.Type = dbLong;
  def->AppendField(more);  // now the stored table grows
  EXPECT_EQ(db_->TableDefs("title_list")->Fields.size(), 2u);
  auto rs = db_->OpenRecordset("title_list", dbOpenDynaset);
  EXPECT_EQ(rs->Type(), dbOpenDynaset);
  EXPECT_EQ(rs->FieldCount(), 2);
  EXPECT_EQ(rs->FieldInfo(1).Type, dbLong);
}

}  // namespace

namespace {

TEST_F(TableDefsTest, FileNamesResolveWithoutRegardToCase) {
  Create("admin.sys");
  db_->Close();
  auto db = DBEngine::Workspaces(0).OpenDatabase(Path("ADMIN.SYS"));
  EXPECT_EQ(db->Name(), Path("admin.sys"));
  DBEngine::CompactDatabase(Path("Admin.Sys"), Path("Temp.mdb"));
  EXPECT_TRUE(std::filesystem::exists(Path("Temp.mdb")));
}

}  // namespace
