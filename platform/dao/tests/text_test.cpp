// User text in SQL and in fields: quotes and wildcard characters are
// stored and found exactly; letters of any alphabet compare without
// regard to case.
#include <sqlite3.h>

#include "platform/dao/Convert.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/tests/DaoTestUtil.h"

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
  // A unique index treats the two spellings as one name.
  TableDef u("u");
  u.CreateField("n", dbText, 20);
  auto& i = u.CreateIndex("n");
  i.Fields = {"n"};
  i.Unique = true;
  db_->AppendTableDef(u);
  db_->Execute("insert into u (n) values ('Élan')");
  EXPECT_EQ(ErrorOf([&] { db_->Execute("insert into u (n) values ('élan')"); }), errDuplicateKey);
  // Order: letters by their upper case, accents after plain letters.
  auto q = db_->OpenRecordset("select * from artists order by artist_name");
  std::vector<std::string> order;
  while (!q->Eof()) {
    order.push_back(Str(q->GetField("artist_name")));
    q->MoveNext();
  }
  EXPECT_EQ(order, (std::vector<std::string>{"apple", "zoë", "Édith Piaf", "Ørsted"}));
}

TEST_F(TextTest, OwnCollationReplacesTheBuiltInOne) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &raw), SQLITE_OK);
  sqlite3_stmt* st = nullptr;
  // Built in, NOCASE folds ASCII only.
  sqlite3_prepare_v2(raw, "select 'é' = 'É' collate nocase", -1, &st, nullptr);
  sqlite3_step(st);
  EXPECT_EQ(sqlite3_column_int(st, 0), 0);
  sqlite3_finalize(st);
  sqlite3_close(raw);
  auto rs = db_->OpenRecordset("select 'é' = 'É' collate nocase as same");
  EXPECT_EQ(rs->GetField("same"), Variant::Long(1));
}

TEST_F(TextTest, TranslationLeavesQuotedTextAlone) {
  detail::SchemaLookup none = [](const std::string&) -> const detail::TableInfo* { return nullptr; };
  auto tr = detail::TranslateJet("select * from t where a = 'x & y, true, left(' & b and c = \"d\"\"e\"", none);
  EXPECT_EQ(tr.sql, "select * from t where a = tvn_cat('x & y, true, left(', b) COLLATE NOCASE and c = 'd\"e'");
  tr = detail::TranslateJet("delete * from [my table] where d < #2/3/1999# and f = True", none);
  EXPECT_EQ(tr.sql, "delete from \"my table\" where d < '1999-02-03' and f = -1");
  EXPECT_FALSE(tr.isSelect);
  tr = detail::TranslateJet("select * from mediadata where isnull(x) order by name", none);
  EXPECT_TRUE(tr.keyed);
  EXPECT_EQ(tr.table, "mediadata");
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
