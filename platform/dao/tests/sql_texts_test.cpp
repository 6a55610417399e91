// SQL texts the program runs, unchanged, on a small collection.
#include "platform/dao/tests/DaoTestUtil.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class SqlTextTest : public DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    TableDef m("mediadata");
    for (auto f : {"name", "section", "artist1", "artist2", "artist3", "artist4", "category", "labelstudio",
                   "cat_number", "Player", "TapeIndex", "format_type"})
      m.CreateField(f, dbText, 50).AllowZeroLength = true;
    m.CreateField("notes", dbMemo).AllowZeroLength = true;
    m.CreateField("SectionNumber", dbByte);
    m.CreateField("GrpNum", dbByte);
    m.CreateField("slot", dbInteger);
    m.CreateField("date_aquired", dbDate);
    m.CreateField("pr1", dbBoolean);
    m.CreateField("pr2", dbBoolean);
    m.CreateIndex("name").Fields = {"name"};
    db_->AppendTableDef(m);
    TableDef r("report");
    r.CreateField("cat_number", dbText, 50).AllowZeroLength = true;
    r.CreateField("name", dbText, 50).AllowZeroLength = true;
    r.CreateField("TapeIndex", dbText, 10).AllowZeroLength = true;
    db_->AppendTableDef(r);
    Row("Abbey Road", 2, "Beatles", "x", 3);
    Row("abba gold", 2, "ABBA", "", 1);
    Row("Blade Runner", 3, "Scott", "", 0);
    Row("Casablanca", 6, "Curtiz", "T1", 0);
    Row("Zardoz", 6, "Boorman", "T2", 0);
  }
  void Row(const std::string& name, int section, const std::string& artist, const std::string& player, int grp) {
    auto rs = db_->OpenRecordset("mediadata");
    rs->AddNew();
    rs->Fields("name") = Variant(name);
    rs->Fields("sectionnumber") = Variant(section);
    rs->Fields("artist1") = Variant(artist);
    rs->Fields("player") = Variant(player);
    if (grp) rs->Fields("grpnum") = Variant(grp);
    rs->Fields("cat_number") = Variant("C" + std::to_string(section));
    rs->Update();
  }
  std::vector<std::string> Names(const std::string& sql, const std::string& field = "name") {
    auto rs = db_->OpenRecordset(sql);
    std::vector<std::string> out;
    while (!rs->Eof()) {
      Variant v = rs->GetField(field);
      out.push_back(v.isNull() ? "<null>" : v.isString() ? v.rawString() : std::to_string(v.rawInt()));
      rs->MoveNext();
    }
    return out;
  }
  long Count(const std::string& sql) { return db_->OpenRecordset(sql)->RecordCount(); }
};

using V = std::vector<std::string>;

TEST_F(SqlTextTest, SectionQueryOrdersWithoutRegardToCase) {
  EXPECT_EQ(Names("select * from mediadata where sectionnumber = 2 order by name"), (V{"abba gold", "Abbey Road"}));
  EXPECT_EQ(Names("select name from mediadata where name = 'CASABLANCA' and sectionnumber = 6"), (V{"Casablanca"}));
  EXPECT_EQ(Names("select section, sectionnumber,name,artist1,category,labelstudio,cat_number,date_aquired from "
                  "mediadata order by sectionnumber,name")
                .size(),
            5u);
}

TEST_F(SqlTextTest, DistinctAndConcatenationWithEmptyText) {
  EXPECT_EQ(Names("select distinct player from mediadata where player & '' > '' and sectionnumber = 2 order by "
                  "player",
                  "player"),
            (V{"x"}));
  EXPECT_EQ(Names("select distinct grpnum from mediadata where isnumeric(grpnum) and sectionnumber = 2  order by "
                  "grpnum",
                  "grpnum"),
            (V{"1", "3"}));
  EXPECT_EQ(Names("select distinct artist1,artist2,artist3,artist4 from mediadata  where sectionnumber = 2 order by "
                  "artist1,artist2,artist3,artist4",
                  "artist1"),
            (V{"ABBA", "Beatles"}));
  // A Null name joined with '' is '': such rows are deleted, named ones stay.
  db_->Execute("insert into mediadata (sectionnumber) values (1)");
  db_->Execute("update mediadata set name = '' where name = 'Zardoz'");
  db_->Execute("delete * from mediadata where name & '' = ''");
  EXPECT_EQ(db_->RecordsAffected(), 2);
  EXPECT_EQ(Count("select * from mediadata"), 4);
}

TEST_F(SqlTextTest, InstrOverSectionListAndBooleanStores) {
  std::string list = " 2 6 ";
  db_->Execute("update mediadata set pr1 = instr(1,'" + list + "',' ' & sectionnumber & ' ') > 0");
  EXPECT_EQ(Names("select * from mediadata where pr1 order by name"),
            (V{"abba gold", "Abbey Road", "Casablanca", "Zardoz"}));
  // Stored as True (-1) and False (0), never Null.
  EXPECT_EQ(Count("select * from mediadata where pr1 = -1"), 4);
  EXPECT_EQ(Count("select * from mediadata where pr1 = 0"), 1);
  auto rs = db_->OpenRecordset("select * from mediadata where pr1 and sectionnumber = 6");
  EXPECT_EQ(rs->GetField("pr1"), Variant(true));
  EXPECT_EQ(rs->RecordCount(), 2);
  // A clause that is Null for a row stores False.
  db_->Execute("update mediadata set pr1 = left(player,1) = 'T' where pr1");
  EXPECT_EQ(Count("select * from mediadata where pr1 = 0"), 3);
  db_->Execute("update mediadata set pr2 = true where (sectionnumber = 2) and not pr1");
  db_->Execute("update mediadata set pr1 = true where pr2");
  db_->Execute("update mediadata set pr1 = false where not pr2 and pr1");
  EXPECT_EQ(Names("select * from mediadata where pr1 order by name"), (V{"abba gold", "Abbey Road"}));
  db_->Execute("update mediadata set pr1 = false, pr2 = false");
  EXPECT_EQ(Count("select * from mediadata where pr1 or pr2"), 0);
  db_->Execute("update mediadata set pr1 =  sectionnumber = 3");
  EXPECT_EQ(Names("select * from mediadata where not isnull(name) and pr1 order by name,artist1,artist2,artist3,artist4"),
            (V{"Blade Runner"}));
  db_->Execute("update mediadata set pr2 = pr1");
  EXPECT_EQ(Count("select * from mediadata where pr2"), 1);
}

TEST_F(SqlTextTest, InstrUcaseLeftAndFunctions) {
  db_->Execute("update mediadata set notes = 'a MiniDisc copy' where name = 'Zardoz'");
  EXPECT_EQ(Names("select * from mediadata where (instr(1,ucase(notes),'MINIDISC') > 0) or "
                  "(instr(1,ucase(notes),'MINIDISK') > 0) ;"),
            (V{"Zardoz"}));
  EXPECT_EQ(Names("select * from mediadata where instr(notes,'minidisc') > 0"), (V{"Zardoz"}));  // textual
  EXPECT_EQ(Names("select * from mediadata where left(name,2) = 'AB' order by name"), (V{"abba gold", "Abbey Road"}));
  EXPECT_EQ(Names("select lcase(name) & '|' & len(name) & '|' & mid(name,2,3) & '|' & right(name,2) & '|' & "
                  "trim('  x  ') as v from mediadata where name = 'Zardoz'",
                  "v"),
            (V{"zardoz|6|ard|oz|x"}));
  db_->Execute("update mediadata set date_aquired = #12/31/1999# where name = 'Zardoz'");
  EXPECT_EQ(Names("select format(date_aquired,'yyyy') & '/' & year(date_aquired) & '/' & "
                  "format(date_aquired, 'mm/dd/yyyy') as v from mediadata where date_aquired = #12/31/1999#",
                  "v"),
            (V{"1999/1999/12/31/1999"}));
  auto rs = db_->OpenRecordset("select * from mediadata where date_aquired > #1/1/1999#");
  ASSERT_FALSE(rs->Eof());
  Variant d = rs->GetField("date_aquired");
  ASSERT_TRUE(d.isDate());
  EXPECT_DOUBLE_EQ(d.rawDouble(), 36525.0);  // 12/31/1999 as a date serial
  EXPECT_EQ(Names("select * from mediadata where instr(1,' 1 6 ',' ' & trim(str(sectionnumber)) & ' ') > 0 order "
                  "by name"),
            (V{"Casablanca", "Zardoz"}));
}

TEST_F(SqlTextTest, LikeWithDialectWildcards) {
  EXPECT_EQ(Names("select * from mediadata where name like 'ab*' order by name"), (V{"abba gold", "Abbey Road"}));
  EXPECT_EQ(Names("select * from mediadata where name like '?ardoz'"), (V{"Zardoz"}));
  EXPECT_EQ(Names("select * from mediadata where name like '*RUN*'"), (V{"Blade Runner"}));
  EXPECT_EQ(Names("select * from mediadata where name like 'Z%'").size(), 0u);  // % is no wildcard here
}

TEST_F(SqlTextTest, InsertSelectStarMatchesColumnsByName) {
  // Target with the columns in another order, one extra and fewer overall.
  TableDef t("minidisc");
  t.CreateField("notes", dbMemo).AllowZeroLength = true;
  t.CreateField("extra", dbText, 20).AllowZeroLength = true;
  TableDef s("cassette");
  s.CreateField("name", dbText, 50).AllowZeroLength = true;
  s.CreateField("format_type", dbText, 50).AllowZeroLength = true;
  s.CreateField("notes", dbMemo).AllowZeroLength = true;
  t.CreateField("Format_Type", dbText, 50).AllowZeroLength = true;
  t.CreateField("NAME", dbText, 50).AllowZeroLength = true;
  db_->AppendTableDef(t);
  db_->AppendTableDef(s);
  db_->Execute("insert into cassette (name, format_type, notes) values ('Tape O''Brien', 'MiniDisk', 'n')");
  db_->Execute("insert into cassette (name, format_type) values ('Other', 'Normal')");
  db_->Execute(std::string(" INSERT INTO MiniDisc ") + "SELECT *" + "FROM Cassette where format_type = 'MiniDisk';");
  auto rs = db_->OpenRecordset("select * from minidisc");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(Str(rs->GetField("name")), "Tape O'Brien");
  EXPECT_EQ(Str(rs->GetField("notes")), "n");
  EXPECT_TRUE(rs->GetField("extra").isNull());
  // A source field the target lacks: the copy refuses rather than drop it.
  EXPECT_EQ(ErrorOf([&] { db_->Execute("insert into report select * from mediadata"); }), 3127);
  // Copying into a table that has every source field works.
  db_->Execute("insert into mediadata select * from cassette where name like 'tape*'");
  EXPECT_EQ(Count("select * from mediadata where name = 'tape o''brien'"), 1);
}

TEST_F(SqlTextTest, ReportTablesAndAggregates) {
  db_->Execute("delete * from report");
  db_->Execute("insert into report (cat_number, name) values ('', 'blank')");
  db_->Execute("insert into report (name) values ('null')");
  db_->Execute("insert into report (cat_number, name) values ('T9', 'tape')");
  EXPECT_EQ(Names("select * from report where cat_number & '' > '' order by cat_number"), (V{"tape"}));
  db_->Execute("update report set cat_number = name");
  EXPECT_EQ(Names("select * from report order by cat_number,tapeindex"), (V{"blank", "null", "tape"}));
  TableDef c("codetable");
  c.CreateField("e_id", dbLong);
  db_->AppendTableDef(c);
  db_->Execute("insert into codetable (e_id) values (7)");
  db_->Execute("insert into codetable (e_id) values (42)");
  auto rs = db_->OpenRecordset("SELECT Max(e_id) AS [Maxsegid] FROM codetable;");
  EXPECT_EQ(rs->GetField("maxsegid"), Variant::Long(42));
}

TEST_F(SqlTextTest, JoinWithTwoNameColumns) {
  TableDef s("sections");
  s.CreateField("section", dbByte);
  s.CreateField("name", dbText, 50).AllowZeroLength = true;
  db_->AppendTableDef(s);
  db_->Execute("insert into sections (section, name) values (6, 'Video Tape')");
  auto rs = db_->OpenRecordset(
      "SELECT MediaData.*, sections.name FROM MediaData LEFT OUTER JOIN sections ON MediaData.sectionNumber = "
      "sections.section where mediadata.sectionnumber = 6 order by sections.name,mediadata.name");
  ASSERT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(Str(rs->GetField("name")), "Casablanca");  // the first table's field
  EXPECT_EQ(Str(rs->GetField("Sections.Name")), "Video Tape");
  EXPECT_EQ(Str(rs->GetField("mediadata.name")), "Casablanca");
  EXPECT_EQ(ErrorOf([&] { rs->Edit(); }), 3027);  // a join is read-only here
}

}  // namespace

namespace {

// The game catalogue's report queries: nested outer joins over lookups.
TEST_F(DaoTest, GameReportJoins) {
  Create();
  db_->Execute("create table MediaData (name VARCHAR(50) COLLATE NOCASE, sectionNumber BYTE, developer INTEGER, "
               "genre INTEGER, publisher INTEGER, systemnumber INTEGER, printrecord BOOLEAN DEFAULT 0, "
               "date_aquired DATETIME)");
  db_->Execute("create table Developer (developer INTEGER, Artist_Name VARCHAR(50) COLLATE NOCASE)");
  db_->Execute("create table Genre (genre INTEGER, Category VARCHAR(50) COLLATE NOCASE)");
  db_->Execute("create table Publisher (publisher INTEGER, LabelStudio_Name VARCHAR(50) COLLATE NOCASE)");
  db_->Execute("create table sections (section BYTE, name VARCHAR(50) COLLATE NOCASE)");
  db_->Execute("create table SysType (systypeID INTEGER, systype VARCHAR(50) COLLATE NOCASE)");
  db_->Execute("create table SysTypeMedia (SysTypeID INTEGER, systemnumber INTEGER)");
  db_->Execute("insert into MediaData values ('Tetris', 1, 1, 1, 0, 10, 0, #5/6/1990#)");
  db_->Execute("insert into MediaData values ('Zelda', 2, 2, 0, 1, 11, 0, null)");
  db_->Execute("insert into Developer values (1, 'Pajitnov')");
  db_->Execute("insert into Developer values (2, 'Miyamoto')");
  db_->Execute("insert into Genre values (1, 'Puzzle')");
  db_->Execute("insert into Publisher values (1, 'Big N')");
  db_->Execute("insert into sections values (1, 'Gameboy')");
  db_->Execute("insert into sections values (2, 'Nintendo')");
  db_->Execute("insert into SysType values (3, 'Handheld')");
  db_->Execute("insert into SysTypeMedia values (3, 10)");

  db_->Execute("update mediadata set printrecord = true");
  db_->Execute(std::string("update mediadata set printrecord = ") + " instr(1,'" + " 1" + " ',' ' & "
               "trim(str(sectionnumber)) & ' ') > 0 and printrecord");
  std::string from =
      std::string("sections.name FROM (((MediaData LEFT OUTER JOIN Developer ON MediaData.developer = "
                  "Developer.developer) ") +
      "LEFT OUTER JOIN Genre ON MediaData.genre = Genre.genre) LEFT OUTER JOIN Publisher ON " +
      "MediaData.publisher = Publisher.publisher) LEFT OUTER JOIN sections ON " +
      "MediaData.sectionNumber = sections.section ";
  auto rs = db_->OpenRecordset("SELECT MediaData.*, Developer.Artist_Name, Genre.Category, Publisher.LabelStudio_Name, " +
                               from + "where printrecord order by mediadata.name");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(Str(rs->GetField("name")), "Tetris");
  EXPECT_EQ(Str(rs->GetField("sections.name")), "Gameboy");
  EXPECT_EQ(Str(rs->GetField("artist_name")), "Pajitnov");
  EXPECT_TRUE(rs->GetField("labelstudio_name").isNull());
  EXPECT_EQ(rs->GetField("date_aquired"), Variant::Date(32999.0));
  auto all = db_->OpenRecordset("SELECT MediaData.sectionnumber,MediaData.name,MediaData.date_aquired, "
                                "Developer.Artist_Name, Genre.Category, Publisher.LabelStudio_Name, " +
                                from + "order by sections.name,mediadata.name");
  EXPECT_EQ(all->RecordCount(), 2);
  all->MoveLast();
  EXPECT_EQ(Str(all->GetField("labelstudio_name")), "Big N");
  auto sys = db_->OpenRecordset(
      "SELECT SysType.* FROM SysTypeMedia INNER JOIN SysType ON SysTypeMedia.SysTypeID = SysType.systypeID where "
      "systypemedia.systemnumber = 10;");
  EXPECT_EQ(Str(sys->GetField("systype")), "Handheld");
}

}  // namespace
