// User text in SQL and in fields: quotes and wildcard characters are
// stored and found exactly; letters of any alphabet compare without
// regard to case.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/dao/Convert.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/tests/DaoTestUtil.h"
#include "platform/runtime/TextFold.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class TextTest : public DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    TableDef t("artists");
    t.CreateField("artist_name", dbText, 50).AllowZeroLength = true;
    t.CreateField("cd", dbBoolean);
    t.CreateIndex("artist_name").Fields = {"artist_name"};
    db_->AppendTableDef(t);
  }
  void Add(const std::string& name) {
    db_->Execute("insert into artists (artist_name, cd) values (" + SqlQuote(name) + ", true)");
  }
  long Found(const std::string& name) {
    return db_->OpenRecordset("select * from artists where artist_name = '" + SqlEscape(name) + "'")->RecordCount();
  }
};

TEST_F(TextTest, QuotingHelpers) {
  EXPECT_EQ(SqlEscape("O'Brien"), "O''Brien");
  EXPECT_EQ(SqlQuote("it's 'x'"), "'it''s ''x'''");
  EXPECT_EQ(SqlQuote(""), "''");
}

TEST_F(TextTest, AwkwardNamesAreStoredAndFoundExactly) {
  const std::vector<std::string> names = {"O'Brien", "say \"hi\"", "100%", "a*b", "[x]", "what?", "#1", "a & b",
                                          "l'' double", "-- not a comment", "x; drop table artists"};
  for (const auto& n : names) Add(n);
  for (const auto& n : names) EXPECT_EQ(Found(n), 1) << n;
  EXPECT_EQ(Found("O"), 0);
  EXPECT_EQ(Found("100"), 0);
  auto rs = db_->OpenRecordset("artists");
  rs->SetIndex("artist_name");
  for (const auto& n : names) {
    rs->Seek("=", Variant(n));
    ASSERT_FALSE(rs->NoMatch()) << n;
    EXPECT_EQ(Str(rs->GetField("artist_name")), n);
  }
  // Rename cascades as the lookup editors write them.
  db_->Execute("UPDATE artists set artist_name = '" + SqlEscape("O'Neil") + "' where artist_name = '" +
               SqlEscape("O'Brien") + "'");
  EXPECT_EQ(db_->RecordsAffected(), 1);
  EXPECT_EQ(Found("o'neil"), 1);
}

TEST_F(TextTest, UnicodeLettersCompareWithoutRegardToCase) {
  Add("Édith Piaf");
  Add("zoë");
  Add("Ørsted");
  Add("apple");
  EXPECT_EQ(Found("édith piaf"), 1);
  EXPECT_EQ(Found("ÉDITH PIAF"), 1);
  EXPECT_EQ(Found("ZOË"), 1);
  EXPECT_EQ(db_->OpenRecordset("select * from artists where artist_name like 'éd*'")->RecordCount(), 1);
  EXPECT_EQ(db_->OpenRecordset("select * from artists where ucase(artist_name) = 'ZOË'")->RecordCount(), 1);
  auto rs = db_->OpenRecordset("artists");
  rs->SetIndex("artist_name");
  rs->Seek("=", Variant("ørsted"));
  EXPECT_FALSE(rs->NoMatch());
  // A unique index is SQLite's own NOCASE, as every tool reads it: it
  // folds A to Z only.
  TableDef u("u");
  u.CreateField("n", dbText, 20);
  auto& i = u.CreateIndex("n");
  i.Fields = {"n"};
  i.Unique = true;
  db_->AppendTableDef(u);
  db_->Execute("insert into u (n) values ('Elan')");
  EXPECT_EQ(ErrorOf([&] { db_->Execute("insert into u (n) values ('ELAN')"); }), errDuplicateKey);
  // Order: as people read, accented letters among their base letter.
  Add("école");
  Add("Étude");
  Add("Zappa");
  Add("Eagles");
  auto q = db_->OpenRecordset("select * from artists order by artist_name");
  std::vector<std::string> order;
  while (!q->Eof()) {
    order.push_back(Str(q->GetField("artist_name")));
    q->MoveNext();
  }
  const std::vector<std::string> expected = {"apple", "Eagles", "école", "Édith Piaf", "Étude",
                                             "Ørsted", "Zappa", "zoë"};
  EXPECT_EQ(order, expected);
  // The same order when SQLite sorts (an order the rows cannot be sorted by in memory).
  q = db_->OpenRecordset("select artist_name from artists order by artist_name & '' desc");
  order.clear();
  while (!q->Eof()) {
    order.push_back(Str(q->GetField("artist_name")));
    q->MoveNext();
  }
  EXPECT_EQ(order, std::vector<std::string>(expected.rbegin(), expected.rend()));
  // One entry for the spellings of one name.
  Add("\xC3\xA9" "dith piaf");
  q = db_->OpenRecordset("select distinct artist_name from artists where artist_name >= 'E' and artist_name < 'F' "
                         "order by artist_name");
  order.clear();
  for (; !q->Eof(); q->MoveNext()) order.push_back(Str(q->GetField("artist_name")));
  EXPECT_EQ(order, (std::vector<std::string>{"Eagles", "école", "Édith Piaf", "Étude"}));
  // Ranges read letters as the order does.
  EXPECT_EQ(db_->OpenRecordset("select * from artists where artist_name < 'F' and artist_name >= 'E'")->RecordCount(),
            5);
}

TEST_F(TextTest, OwnCollationLeavesTheBuiltInOneAlone) {
  // The program's collation has a name of its own; NOCASE is SQLite's.
  auto rs = db_->OpenRecordset("select 'é' = 'É' collate nocase as builtin, 'é' = 'É' collate tvntext as own, "
                               "'école' < 'Zappa' collate tvntext as before");
  EXPECT_EQ(rs->GetField("builtin"), Variant::Long(0));
  EXPECT_EQ(rs->GetField("own"), Variant::Long(1));
  EXPECT_EQ(rs->GetField("before"), Variant::Long(1));
}

// What the standard sqlite3 shell answers to sql on the file (its output,
// blanks at the end removed); empty when the shell is not installed.
std::string Shell(const std::string& file, const std::string& sql) {
  if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0) return "";
  auto quote = [](const std::string& a) {
    std::string q = "'";
    for (char c : a) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
  };
  const std::string cmd = "sqlite3 " + quote(file) + " " + quote(sql) + " 2>&1";
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

std::vector<std::string> Names(const RecordsetPtr& rs) {
  std::vector<std::string> out;
  for (; !rs->Eof(); rs->MoveNext()) out.push_back(Str(rs->GetField("artist_name")));
  return out;
}

// A file the program wrote passes the standard shell's check, and rows the
// shell adds are found and sorted by the program like its own.
TEST_F(TextTest, OtherToolsSeeAConsistentFile) {
  if (Shell(Path("t.mdb"), "select 1") != "1") GTEST_SKIP() << "the sqlite3 shell is not installed";
  for (const char* n : {"Zappa", "école", "Étude", "édith", "ÉDITH II", "apple", "_under", "Ørsted", "zoë"}) Add(n);
  db_->Execute("update artists set artist_name = 'Éclat' where artist_name = 'apple'");
  db_->Execute("delete from artists where artist_name = 'zoë'");
  auto rs = db_->OpenRecordset("artists");
  rs->AddNew();
  rs->Fields("artist_name") = Variant("Èvora");
  rs->Update();
  rs.reset();
  db_->Close();
  EXPECT_EQ(Shell(Path("t.mdb"), "pragma integrity_check"), "ok");

  EXPECT_EQ(Shell(Path("t.mdb"), "insert into artists (artist_name) values ('Ébène')"), "");
  auto db = DBEngine::Workspaces(0).OpenDatabase(Path("t.mdb"));
  auto t = db->OpenRecordset("artists");
  t->SetIndex("artist_name");
  t->Seek("=", Variant("ébène"));
  ASSERT_FALSE(t->NoMatch());
  EXPECT_EQ(Str(t->GetField("artist_name")), "Ébène");
  t->Seek("=", Variant("ZAPPA"));
  EXPECT_FALSE(t->NoMatch());
  EXPECT_EQ(db->OpenRecordset("select * from artists where artist_name = 'ÉBÈNE'")->RecordCount(), 1);
  EXPECT_EQ(Names(db->OpenRecordset("select * from artists order by artist_name")),
            (std::vector<std::string>{"_under", "Ébène", "Éclat", "école", "édith", "ÉDITH II", "Étude", "Èvora",
                                      "Ørsted", "Zappa"}));
}

// Plain ASCII orders as SQLite's NOCASE orders it, so that an index serves
// the order while the rows hold nothing else; one accented row and the
// program's order takes over, the ASCII rows keeping their places.
TEST_F(TextTest, AsciiOrdersAsTheIndexAndAccentsJoinTheirLetter) {
  for (const char* n : {"b", "_x", "A", "[y", "Zed", "a2"}) Add(n);
  const char* sql = "select * from artists where artist_name > '' order by artist_name";
  const std::vector<std::string> ascii = {"[y", "_x", "A", "a2", "b", "Zed"};
  EXPECT_EQ(Names(db_->OpenRecordset(sql)), ascii);
  EXPECT_EQ(Names(db_->OpenRecordset("select * from artists order by artist_name desc")),
            std::vector<std::string>(ascii.rbegin(), ascii.rend()));
  Add("\xC3\xA1");  // á
  EXPECT_EQ(Names(db_->OpenRecordset(sql)),
            (std::vector<std::string>{"[y", "_x", "A", "\xC3\xA1", "a2", "b", "Zed"}));
}

// A file indexed under the earlier collation of the same name is rebuilt
// once when mended, and is then consistent for every tool; opening alone,
// for reading or writing, leaves every byte as it was.
TEST_F(TextTest, FilesIndexedEarlierAreRebuiltWhenMendedNeverOnOpen) {
  if (Shell(Path("t.mdb"), "select 1") != "1") GTEST_SKIP() << "the sqlite3 shell is not installed";
  db_->Close();
  const std::string file = Path("old.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
  auto earlier = [](void*, int la, const void* a, int lb, const void* b) {
    return vb::CompareNoCase(std::string_view(static_cast<const char*>(a), static_cast<size_t>(la)),
                             std::string_view(static_cast<const char*>(b), static_cast<size_t>(lb)));
  };
  ASSERT_EQ(sqlite3_create_collation(raw, "NOCASE", SQLITE_UTF8, nullptr, earlier), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw,
                         "CREATE TABLE artists (artist_name VARCHAR(50) COLLATE NOCASE);"
                         "CREATE INDEX \"artists.artist_name\" ON artists (artist_name);"
                         "INSERT INTO artists VALUES ('Étude'), ('édith'), ('_x'), ('apple'), ('Ôde'), ('ôde2');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  ASSERT_NE(Shell(file, "pragma integrity_check"), "ok");  // what earlier versions left
  ASSERT_EQ(Shell(file, "pragma user_version"), "0");

  // Opened, read-only or for writing, and read: nothing is written.
  auto bytes = [&] {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = bytes();
  DBEngine::Workspaces(0).OpenDatabase(file, false, true)->Close();
  auto db = DBEngine::Workspaces(0).OpenDatabase(file);
  db->OpenRecordset("select * from artists")->Close();
  db->Close();
  EXPECT_EQ(bytes(), before);
  db = DBEngine::Workspaces(0).OpenDatabase(file);
  db->MendIndexes();
  db->Close();
  EXPECT_EQ(Shell(file, "pragma integrity_check"), "ok");
  EXPECT_EQ(Shell(file, "pragma user_version"), "1");
  EXPECT_EQ(Shell(file, "select count(*) from artists"), "6");
}

TEST_F(TextTest, TranslationLeavesQuotedTextAlone) {
  detail::SchemaLookup none = [](const std::string&) -> const detail::TableInfo* { return nullptr; };
  auto tr = detail::TranslateJet("select * from t where a = 'x & y, true, left(' & b and c = \"d\"\"e\"", none);
  EXPECT_EQ(tr.sql, "select * from t where a = tvn_cat('x & y, true, left(', b) COLLATE TVNTEXT and c = 'd\"e'");
  tr = detail::TranslateJet("delete * from [my table] where d < #2/3/1999# and f = True", none);
  EXPECT_EQ(tr.sql, "delete from \"my table\" where d < '1999-02-03' and f = -1");
  EXPECT_FALSE(tr.isSelect);
  tr = detail::TranslateJet("select * from mediadata where isnull(x) order by name", none);
  EXPECT_TRUE(tr.keyed);
  EXPECT_EQ(tr.table, "mediadata");
  EXPECT_EQ(tr.sql, "select * from mediadata where tvn_isnull(x) order by name COLLATE TVNTEXT");
  EXPECT_EQ(tr.orderBy.size(), 1u);
  tr = detail::TranslateJet("select * from t where n = 'Zoë' and m = 'x' order by a desc, b collate binary", none);
  EXPECT_EQ(tr.sql, "select * from t where n COLLATE TVNTEXT = 'Zoë' and m = 'x' order by a COLLATE TVNTEXT "
                    "desc, b collate binary");
  tr = detail::TranslateJet("select distinct a, t.b, c + 1 from t order by a", none);
  EXPECT_EQ(tr.sql, "select distinct a COLLATE TVNTEXT AS \"a\", t.b COLLATE TVNTEXT AS \"b\", c + 1 from t "
                    "order by a COLLATE TVNTEXT");
  tr = detail::TranslateJet("update t set n = 'Zoë' where n = 'Zoe'", none);
  EXPECT_EQ(tr.sql, "update t set n = 'Zoë' where n = 'Zoe'");
  EXPECT_FALSE(detail::TranslateJet("select distinct a from t", none).keyed);
  EXPECT_FALSE(detail::TranslateJet("select a.x from t as a", none).keyed);
  EXPECT_EQ(ErrorOf([&] { detail::TranslateJet("select 'open", none); }), errSyntax);
  EXPECT_EQ(ErrorOf([&] { detail::TranslateJet("delete from t; drop table u", none); }), 3142);
}

TEST_F(TextTest, DialectConversions) {
  using namespace detail;
  EXPECT_EQ(NumberText(2.0), "2");
  EXPECT_EQ(NumberText(2.5), "2.5");
  EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
  double s = 0;
  ASSERT_TRUE(SerialFromUserText("12/31/99", s));
  EXPECT_EQ(IsoFromSerial(s), "1999-12-31");
  ASSERT_TRUE(SerialFromUserText("1/1/2001 1:30 PM", s));
  EXPECT_EQ(IsoFromSerial(s), "2001-01-01 13:30:00");
  EXPECT_FALSE(SerialFromUserText("2/30/1999", s));
  EXPECT_EQ(FormatValue(Variant::Date(36526.0), "mmmm d, yyyy"), "January 1, 2000");
  EXPECT_EQ(FormatValue(Variant(1234.5), "#,##0.00"), "1,234.50");
  EXPECT_TRUE(LikeMatch("Abc", "a[a-c]?"));
  EXPECT_TRUE(LikeMatch("a1", "a#"));
  EXPECT_FALSE(LikeMatch("ab", "a[!b]"));
  EXPECT_TRUE(LikeMatch("a*b", "a[*]b"));
}

}  // namespace
