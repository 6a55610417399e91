// Table-type recordsets with Index and Seek, query recordsets, and cursor
// movement at both ends.
#include <algorithm>

#include "platform/dao/tests/DaoTestUtil.h"
#include "platform/runtime/Functions.h"

using namespace dao;
using daotest::DaoTest;
using daotest::ErrorOf;
using daotest::Str;
using vb::Variant;

namespace {

class CursorTest : public DaoTest {
 protected:
  void SetUp() override {
    DaoTest::SetUp();
    Create();
    TableDef t("people");
    t.CreateField("name", dbText, 50).AllowZeroLength = true;
    t.CreateField("section", dbByte);
    t.CreateField("born", dbDate);
    t.CreateField("flag", dbBoolean);
    auto& byName = t.CreateIndex("name");
    byName.Fields = {"name"};
    auto& two = t.CreateIndex("secname");
    two.Fields = {"section", "name"};
    db_->AppendTableDef(t);
  }
  void Add(const std::string& name, int section) {
    auto rs = db_->OpenRecordset("people");
    rs->AddNew();
    rs->Fields("name") = Variant(name);
    rs->Fields("section") = Variant(section);
    rs->Update();
  }
  std::vector<std::string> Walk(const RecordsetPtr& rs) {
    std::vector<std::string> out;
    while (!rs->Eof()) {
      out.push_back(Str(rs->GetField("name")));
      rs->MoveNext();
    }
    return out;
  }
};

TEST_F(CursorTest, EmptyRecordsetIsAtBothEnds) {
  auto rs = db_->OpenRecordset("people");
  EXPECT_TRUE(rs->BOF());
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), errNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs->MoveFirst(); }), errNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { rs->GetField("name"); }), errNoCurrentRecord);
  auto q = db_->OpenRecordset("select * from people where name = 'x'");
  EXPECT_TRUE(q->BOF());
  EXPECT_TRUE(q->Eof());
  EXPECT_EQ(q->RecordCount(), 0);
  EXPECT_EQ(ErrorOf([&] { q->MoveNext(); }), errNoCurrentRecord);
  EXPECT_EQ(ErrorOf([&] { q->GetField("name"); }), errNoCurrentRecord);
}

TEST_F(CursorTest, TableWalksInIndexOrderAndSeesOwnAdditions) {
  for (auto n : {"delta", "alpha", "charlie"}) Add(n, 1);
  auto rs = db_->OpenRecordset("people");
  rs->SetIndex("name");
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"alpha", "charlie", "delta"}));
  // At EOF; a row added now shows at once, in its place.
  rs->AddNew();
  rs->Fields("name") = Variant("bravo");
  rs->Update();
  rs->MoveFirst();
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_TRUE(rs->Eof());
  EXPECT_FALSE(rs->BOF());
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), errNoCurrentRecord);
  rs->MovePrevious();
  EXPECT_EQ(Str(rs->GetField("name")), "delta");
  rs->MoveFirst();
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  EXPECT_FALSE(rs->Eof());
  EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), errNoCurrentRecord);
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "alpha");
  rs->MoveLast();
  EXPECT_EQ(Str(rs->GetField("name")), "delta");
}

TEST_F(CursorTest, DeleteWhileWalkingMovesOn) {
  for (auto n : {"a", "b", "c", "d"}) Add(n, 1);
  auto rs = db_->OpenRecordset("people");
  rs->SetIndex("name");
  std::vector<std::string> kept;
  while (!rs->Eof()) {
    std::string n = Str(rs->GetField("name"));
    if (n == "b" || n == "d") {
      rs->Delete();
      EXPECT_EQ(ErrorOf([&] { rs->GetField("name"); }), 3167);
    } else {
      kept.push_back(n);
    }
    rs->MoveNext();
  }
  EXPECT_EQ(kept, (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(rs->RecordCount(), 2);
  // The same through a query recordset.
  auto q = db_->OpenRecordset("select * from people order by name");
  q->Delete();
  q->MoveNext();
  EXPECT_EQ(Str(q->GetField("name")), "c");
  EXPECT_EQ(q->RecordCount(), 1);
  q->MovePrevious();
  EXPECT_TRUE(q->BOF());
}

TEST_F(CursorTest, SeekComparisonsOnOneFieldIndex) {
  for (auto n : {"b", "d", "f"}) Add(n, 1);
  auto rs = db_->OpenRecordset("people");
  rs->SetIndex("name");
  auto seek = [&](const char* cmp, const char* key) -> std::string {
    rs->Seek(cmp, Variant(key));
    return rs->NoMatch() ? "nomatch" : Str(rs->GetField("name"));
  };
  EXPECT_EQ(seek("=", "D"), "d");  // without regard to case
  EXPECT_EQ(seek("=", "c"), "nomatch");
  EXPECT_EQ(ErrorOf([&] { rs->GetField("name"); }), errNoCurrentRecord);
  EXPECT_EQ(seek(">=", "c"), "d");
  EXPECT_EQ(seek(">=", "d"), "d");
  EXPECT_EQ(seek(">", "d"), "f");
  EXPECT_EQ(seek(">", "f"), "nomatch");
  EXPECT_EQ(seek("<", "d"), "b");
  EXPECT_EQ(seek("<=", "d"), "d");
  EXPECT_EQ(seek("<=", "e"), "d");
  EXPECT_EQ(seek("<", "b"), "nomatch");
  // After a match the walk goes on from there.
  seek("=", "d");
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "f");
}

TEST_F(CursorTest, SeekOnTwoFieldIndexAndNullKeys) {
  Add("x", 2);
  Add("a", 3);
  Add("m", 2);
  {
    auto rs = db_->OpenRecordset("people");
    rs->AddNew();
    rs->Fields("section") = Variant(2);  // name stays Null
    rs->Update();
  }
  auto rs = db_->OpenRecordset("people");
  rs->SetIndex("secname");
  rs->Seek("=", Variant(2), Variant("m"));
  ASSERT_FALSE(rs->NoMatch());
  EXPECT_EQ(Str(rs->GetField("name")), "m");
  rs->Seek(">", Variant(2), Variant("m"));
  EXPECT_EQ(Str(rs->GetField("name")), "x");
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "a");
  rs->Seek("<", Variant(2), Variant("m"));
  EXPECT_TRUE(rs->GetField("name").isNull());  // Null sorts first within section 2
  rs->Seek("=", Variant(2));
  EXPECT_TRUE(rs->GetField("name").isNull());
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "m");
  rs->MovePrevious();
  EXPECT_TRUE(rs->GetField("name").isNull());
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  rs->Seek("=", Variant(4), Variant("a"));
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(ErrorOf([&] { rs->SetIndex("nosuch"); }), 3800);
}

TEST_F(CursorTest, DynasetKeepsAddedRowsAndEdits) {
  for (auto n : {"b", "a"}) Add(n, 1);
  auto rs = db_->OpenRecordset("select * from people where name = 'TVNPERZZDIIUUFFEE$#)_(@SSCXG' and section = 1");
  EXPECT_TRUE(rs->Eof());
  rs->AddNew();
  rs->Fields("name") = Variant("new");
  rs->Fields("section") = Variant(1);
  rs->Update();
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(Str(rs->GetField("name")), "new");  // after the addition it holds the new row
  rs->Edit();
  rs->Fields("name") = Variant("newer");
  rs->Update();
  EXPECT_EQ(Str(rs->GetField("name")), "newer");
  rs->MoveFirst();
  EXPECT_EQ(Str(rs->GetField("name")), "newer");

  auto all = db_->OpenRecordset("select name from people order by name");
  EXPECT_EQ(all->RecordCount(), 3);
  auto bm = all->Bookmark();
  all->MoveNext();
  all->AddNew();
  all->Fields("name") = Variant("0first");
  all->Update();
  EXPECT_EQ(Str(all->GetField("name")), "b");  // the current row stays
  all->MoveLast();
  EXPECT_EQ(Str(all->GetField("name")), "0first");  // added rows join the end
  all->SetBookmark(bm);
  EXPECT_EQ(Str(all->GetField("name")), "a");
  EXPECT_EQ(all->RecordCount(), 4);
  EXPECT_EQ(ErrorOf([&] { all->SetBookmark(987654); }), 3159);
}

TEST_F(CursorTest, WritesThroughOneRecordsetDoNotDisturbAnotherScan) {
  for (int i = 0; i < 50; ++i) Add("n" + std::to_string(100 + i), 1);
  auto scan = db_->OpenRecordset("select * from people where section = 1 order by name");
  EXPECT_EQ(scan->RecordCount(), 50);
  int seen = 0;
  while (!scan->Eof()) {
    std::string n = Str(scan->GetField("name"));
    // Renaming rows ahead of the scan must neither repeat nor drop rows.
    db_->Execute("update people set name = 'z' & name where name = '" + n + "'");
    ++seen;
    scan->MoveNext();
  }
  EXPECT_EQ(seen, 50);
  scan->MoveFirst();
  EXPECT_EQ(Str(scan->GetField("name")), "zn100");
}

TEST_F(CursorTest, BookmarkOnTableReturnsToRow) {
  for (auto n : {"a", "b", "c"}) Add(n, 1);
  auto rs = db_->OpenRecordset("people");
  rs->SetIndex("name");
  rs->MoveNext();
  auto bm = rs->Bookmark();
  rs->MoveLast();
  rs->SetBookmark(bm);
  EXPECT_EQ(Str(rs->GetField("name")), "b");
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "c");
}

TEST_F(CursorTest, TransactionsRollBack) {
  Add("kept", 1);
  db_->BeginTrans();
  Add("gone", 1);
  db_->Execute("delete * from people where name = 'kept'");
  db_->Rollback();
  auto rs = db_->OpenRecordset("select * from people");
  EXPECT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(Str(rs->GetField("name")), "kept");
  db_->BeginTrans();
  Add("second", 1);
  db_->CommitTrans();
  EXPECT_EQ(db_->OpenRecordset("people")->RecordCount(), 2);
  EXPECT_EQ(ErrorOf([&] { db_->CommitTrans(); }), 3034);
}

}  // namespace

namespace {

TEST_F(CursorTest, WalkAfterMoveLastSeesEveryRowOnce) {
  for (int i = 0; i < 30; ++i) Add("n" + std::to_string(100 + i), i % 2);
  auto rs = db_->OpenRecordset("select * from people where section = 1 order by name");
  rs->MoveLast();
  EXPECT_EQ(Str(rs->GetField("name")), "n129");
  EXPECT_EQ(rs->RecordCount(), 15);
  rs->MoveFirst();
  std::vector<std::string> seen;
  while (!rs->Eof()) {
    std::string n = Str(rs->GetField("name"));
    seen.push_back(n);
    if (n == "n105") rs->Delete();  // a write in the middle of the walk
    if (n == "n111") {
      rs->Edit();
      rs->Fields("name") = Variant("n0-moved");  // would sort first if the query ran again
      rs->Update();
      EXPECT_EQ(Str(rs->GetField("name")), "n0-moved");
    }
    rs->MoveNext();
  }
  EXPECT_EQ(seen.size(), 15u);
  EXPECT_EQ(seen.front(), "n101");
  EXPECT_EQ(seen.back(), "n129");
  rs->MovePrevious();
  EXPECT_EQ(Str(rs->GetField("name")), "n129");
  rs->MoveFirst();
  rs->MoveNext();
  rs->MoveNext();
  EXPECT_EQ(Str(rs->GetField("name")), "n107");  // n105 was deleted
  EXPECT_EQ(rs->RecordCount(), 14);
}

}  // namespace

namespace {

// The usual clean-out loop: delete, move on, until EOF, down to the last
// row of the set.
TEST_F(CursorTest, DeleteAndMoveNextEmptiesTheSet) {
  for (auto n : {"a", "b", "c"}) Add(n, 1);
  for (const char* source : {"select * from people order by name", "people"}) {
    SCOPED_TRACE(source);
    if (std::string(source) == "people") {
      for (auto n : {"a", "b", "c"}) Add(n, 1);
    }
    auto rs = db_->OpenRecordset(source);
    int deleted = 0;
    while (!rs->Eof()) {
      rs->Delete();
      ++deleted;
      rs->MoveNext();
    }
    EXPECT_EQ(deleted, 3);
    EXPECT_TRUE(rs->BOF());
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), errNoCurrentRecord);
    EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), errNoCurrentRecord);
  }
  // Only the row left deleted, with others read before it.
  Add("x", 1);
  Add("y", 1);
  auto q = db_->OpenRecordset("select * from people order by name");
  q->MoveLast();
  q->Delete();
  q->MoveNext();
  EXPECT_TRUE(q->Eof());
  q->MovePrevious();
  EXPECT_EQ(Str(q->GetField("name")), "x");
  q->Delete();
  q->MovePrevious();
  EXPECT_TRUE(q->BOF());
  EXPECT_TRUE(q->Eof());
}

TEST_F(CursorTest, GetRowsReadsColumnsAndMovesPast) {
  for (int i = 0; i < 12; ++i) Add("n" + std::to_string(100 + i), i % 3);
  auto rs = db_->OpenRecordset("select name, section, born from people where section <> 2 order by name");
  // A first block, then the rest; the position follows.
  auto first = rs->GetRows(3);
  ASSERT_EQ(first.size(), 3u);
  ASSERT_EQ(first[0].size(), 3u);
  EXPECT_EQ(Str(first[0][0]), "n100");
  EXPECT_EQ(Str(first[0][2]), "n103");
  EXPECT_EQ(first[1][1].type(), vb::VarType::Byte);
  EXPECT_EQ(first[1][1].rawInt(), 1);
  EXPECT_TRUE(first[2][0].isNull());
  EXPECT_EQ(Str(rs->GetField("name")), "n104");
  rs->MoveNext();  // n106: n105 is in section 2
  rs->Delete();    // a deleted current row is not read
  auto rest = rs->GetRows();
  ASSERT_EQ(rest[0].size(), 3u);
  EXPECT_EQ(Str(rest[0][0]), "n107");
  EXPECT_EQ(Str(rest[0][2]), "n110");
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->RecordCount(), 7);
  // At EOF nothing is read; from BOF the first row is.
  EXPECT_TRUE(rs->GetRows()[0].empty());
  rs->MoveFirst();
  rs->MovePrevious();
  EXPECT_EQ(rs->GetRows()[0].size(), 7u);
  // After MoveLast every rowid is known and the rows are read again by
  // the rerun query; a table and a query read whole give the same.
  rs->MoveLast();
  rs->MoveFirst();
  EXPECT_EQ(rs->GetRows()[0].size(), 7u);
  auto table = db_->OpenRecordset("people");
  table->SetIndex("name");
  auto all = table->GetRows();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].size(), 11u);
  EXPECT_EQ(Str(all[0][10]), "n111");
  EXPECT_EQ(all[3][0].type(), vb::VarType::Boolean);
  auto grouped = db_->OpenRecordset("select section, count(*) as n from people group by section");
  auto counts = grouped->GetRows();
  ASSERT_EQ(counts[1].size(), 3u);
  EXPECT_EQ(vb::NzStr(counts[1][0]), "3");  // one of section 0 was deleted
}

}  // namespace

namespace {

// A whole ordered query read at once comes in the order a walk through
// it gives, for Null and numeric keys, letter case, accents and both
// directions; the recordset is usable afterwards.
TEST_F(CursorTest, GetRowsOfAnOrderedQueryKeepsTheQueryOrder) {
  const char* names[] = {"beta", "Alpha", "alpha2", "\xC3\x89mile", "\xC3\xA9mile2", "zed", "Zulu", "mid", "10", "9"};
  int i = 0;
  for (const char* n : names) {
    auto rs = db_->OpenRecordset("people");
    rs->AddNew();
    rs->Fields("name") = Variant(n);
    if (i % 4 != 3) rs->Fields("section") = Variant(i % 3);
    if (i % 2 == 0) rs->Fields("born") = Variant::Date(36000.0 + (i * 7) % 5);
    rs->Update();
    ++i;
  }
  auto namesOf = [](const std::vector<Variant>& column) {
    std::vector<std::string> out;
    for (const Variant& v : column) out.push_back(Str(v));
    return out;
  };
  auto check = [&] {
  for (const char* sql : {"select * from people order by section, name",
                          "select name, section from people order by section desc, name desc",
                          "select name from people where section <> 1 order by born, name",
                          "select name from people order by born desc, [name] asc",
                          "select name, section as s from people order by s desc, name",
                          "select name, born section from people order by section, name",
                          "select name, section from people order by section, name"}) {
    SCOPED_TRACE(sql);
    auto walk = db_->OpenRecordset(sql);
    std::vector<std::string> expected = Walk(walk);
    auto bulk = db_->OpenRecordset(sql);
    auto columns = bulk->GetRows();
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(namesOf(columns[0]), expected);  // name is the first field of every list
    EXPECT_TRUE(bulk->Eof());
    EXPECT_EQ(bulk->RecordCount(), static_cast<long>(expected.size()));
    bulk->MoveFirst();
    EXPECT_EQ(Walk(bulk), expected);
    bulk->MoveLast();
    EXPECT_EQ(Str(bulk->GetField("name")), expected.back());
  }
  };
  check();
  // Plain ASCII names take the quicker way through the keys.
  db_->Execute("delete from people where name like '*mile*'");
  Add("Mi", 2);
  Add("-5", 0);
  check();
  // The rows read stay editable through the recordset.
  auto rs = db_->OpenRecordset("select name, section from people order by section, name");
  auto first = rs->GetRows();
  rs->MoveFirst();
  rs->Edit();
  rs->Fields("name") = Variant("renamed");
  rs->Update();
  EXPECT_EQ(Str(rs->GetField("name")), "renamed");
  EXPECT_EQ(db_->OpenRecordset("select count(*) as c from people where name = 'renamed'")->GetField(0).rawInt(), 1);
}

TEST_F(CursorTest, APlacedRowTakesItsPlaceWithoutTheQueryRunningAgain) {
  for (const char* n : {"Alpha", "Charlie", "Echo"}) Add(n, 1);
  auto rs = db_->OpenRecordset("select * from people where section = 1 order by name");
  auto mark = [this](const std::string& name) {
    auto one = db_->OpenRecordset("select * from people where name = '" + name + "'");
    return one->Bookmark();
  };
  // A row written elsewhere joins the set where the caller says.
  Add("Delta", 1);
  rs->PlaceRow(mark("Delta"), mark("Echo"));
  EXPECT_EQ(Str(rs->GetField("name")), "Delta");
  rs->MoveFirst();
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"Alpha", "Charlie", "Delta", "Echo"}));
  EXPECT_EQ(rs->RecordCount(), 4);
  // A row of the set moves, here to the end; walking back agrees.
  db_->Execute("update people set name = 'Foxtrot' where name = 'Alpha'");
  rs->PlaceRow(mark("Foxtrot"), 0);
  rs->MoveFirst();
  EXPECT_EQ(Walk(rs), (std::vector<std::string>{"Charlie", "Delta", "Echo", "Foxtrot"}));
  rs->MoveLast();
  EXPECT_EQ(Str(rs->GetField("name")), "Foxtrot");
  rs->MovePrevious();
  EXPECT_EQ(Str(rs->GetField("name")), "Echo");
  EXPECT_EQ(rs->RecordCount(), 4);
  // Table-type sets keep their index's order: nothing to place there.
  auto table = db_->OpenRecordset("people");
  EXPECT_EQ(ErrorOf([&] { table->PlaceRow(mark("Delta"), 0); }), 3251);
}

TEST_F(CursorTest, ARowPlacedByComparingFindsItsPlaceAmongRowsGoneFromTheSet) {
  for (const char* n : {"Alpha", "Bravo", "Charlie", "Delta", "Echo", "Golf", "Hotel", "India"}) Add(n, 1);
  auto rs = db_->OpenRecordset("select * from people where section = 1 order by name");
  auto mark = [this](const std::string& name) {
    auto one = db_->OpenRecordset("select * from people where name = '" + name + "'");
    return one->Bookmark();
  };
  auto place = [&rs, &mark](const std::string& name) {
    rs->PlaceRowInOrder(mark(name), [name](const Recordset& row) { return Str(row.GetField("name")) < name; });
    EXPECT_EQ(Str(rs->GetField("name")), name);
  };
  // One row deleted through the set, two by another writer: the halving
  // meets them and still places the row between its neighbours.
  rs->MoveFirst();
  rs->MoveNext();
  rs->Delete();
  db_->Execute("delete from people where name in ('Echo', 'Delta')");
  Add("Foxtrot", 1);
  place("Foxtrot");
  // The rows still there, in the set's order (a gone row reads as "-").
  auto rows = [&rs] {
    std::vector<std::string> names;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
      try {
        names.push_back(Str(rs->GetField("name")));
      } catch (const Error&) {
        names.push_back("-");
      }
    }
    return names;
  };
  std::vector<std::string> seen = rows();
  seen.erase(std::remove(seen.begin(), seen.end(), "-"), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"Alpha", "Charlie", "Foxtrot", "Golf", "Hotel", "India"}));
  // First and last of the set.
  Add("Aardvark", 1);
  place("Aardvark");
  rs->MovePrevious();
  EXPECT_TRUE(rs->BOF());
  Add("Zulu", 1);
  place("Zulu");
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rows().size(), 10u);  // with the two gone rows
  EXPECT_EQ(ErrorOf([&] { db_->OpenRecordset("people")->PlaceRowInOrder(mark("Zulu"), {}); }), 3251);
}

}  // namespace

namespace {

// A long forward read gives every row, typed as the fields are, and stops
// when asked; the rows changed through the database are told by key.
TEST_F(CursorTest, ForEachRowAndTheChangedRows) {
  Add("b", 1);
  Add("a", 2);
  db_->Execute("update people set born = #2/3/2001# where name = 'a'");
  std::vector<std::string> seen;
  db_->ForEachRow("select name, section, born from people order by name", [&](const std::vector<Variant>& row) {
    seen.push_back(Str(row[0]) + "/" + vb::CStr(row[1]) + "/" + (row[2].isDate() ? "date" : "none"));
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"a/2/date", "b/1/none"}));
  int rows = 0;
  db_->ForEachRow("select * from people", [&](const std::vector<Variant>&) { return ++rows < 1; });
  EXPECT_EQ(rows, 1);
  // A query the engine refuses raises as opening it would.
  EXPECT_EQ(ErrorOf([&] { db_->ForEachRow("select nothere from people", [](const std::vector<Variant>&) { return true; }); }),
            ErrorOf([&] { db_->OpenRecordset("select nothere from people"); }));

  const std::uint64_t mark = db_->ChangeMark();
  std::vector<std::int64_t> changed;
  ASSERT_TRUE(db_->ChangedRowsSince(mark, "people", changed));
  EXPECT_TRUE(changed.empty());
  Add("c", 3);                                                  // rowid 3
  db_->Execute("update people set section = 4 where name = 'a'");  // rowid 2
  db_->Execute("delete * from people where name = 'b'");         // rowid 1
  ASSERT_TRUE(db_->ChangedRowsSince(mark, "PEOPLE", changed));
  EXPECT_EQ(changed, (std::vector<std::int64_t>{1, 2, 3}));
  ASSERT_TRUE(db_->ChangedRowsSince(mark, "other", changed));
  EXPECT_TRUE(changed.empty());
  // Too many changes since the mark: no longer known.
  db_->BeginTrans();
  for (int i = 0; i < 5000; ++i) db_->Execute("update people set section = " + std::to_string(i % 9) + " where name = 'c'");
  db_->CommitTrans();
  EXPECT_FALSE(db_->ChangedRowsSince(mark, "people", changed));
  const std::uint64_t now = db_->ChangeMark();
  ASSERT_TRUE(db_->ChangedRowsSince(now, "people", changed));
  EXPECT_TRUE(changed.empty());
}

}  // namespace
