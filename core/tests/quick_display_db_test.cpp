// The quick-display and distinct-value fillers on a real collection file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QComboBox>

#include "core/AppState.h"
#include "core/QuickDisplayRows.h"
#include "core/TavolinModule.h"
#include "platform/dao/Dao.h"
#include "platform/forms/FlexGrid.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "quick_display_db_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class Collection : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApp();
    char tmpl[] = "/tmp/tvnqd-XXXXXX";
    dir_ = mkdtemp(tmpl);
    db_ = dao::DBEngine::Workspaces(0).CreateDatabase(dir_ + "/av30.mdb");
    dao::TableDef m("mediadata");
    for (auto f : {"name", "section", "artist1", "category", "labelstudio", "cat_number", "format_type2"})
      m.CreateField(f, dao::dbText, 50).AllowZeroLength = true;
    m.CreateField("SectionNumber", dao::dbByte);
    m.CreateField("date_aquired", dao::dbDate);
    db_->AppendTableDef(m);
    tvn::App().CollectionDB = db_;
  }
  void TearDown() override {
    tvn::App().CollectionDB.reset();
    db_.reset();
    std::filesystem::remove_all(dir_);
  }
  void Add(const std::string& name, int section, const vb::Variant& sound, const vb::Variant& acquired = vb::Variant::Null()) {
    auto rs = db_->OpenRecordset("mediadata");
    rs->AddNew();
    rs->SetField("name", vb::Variant(name));
    rs->SetField("section", vb::Variant("S" + std::to_string(section)));
    rs->SetField("sectionnumber", vb::Variant(section));
    rs->SetField("format_type2", sound);
    rs->SetField("date_aquired", acquired);
    rs->Update();
  }
  std::string dir_;
  dao::DatabasePtr db_;
};

TEST_F(Collection, DistinctValuesOfTheSectionOnceInOrder) {
  Add("a", 3, vb::Variant("Stereo"));
  Add("b", 3, vb::Variant("Dolby"));
  Add("c", 3, vb::Variant("Stereo"));
  Add("d", 3, vb::Variant(""));
  Add("e", 3, vb::Variant::Null());
  Add("f", 6, vb::Variant("Mono"));
  Add("g", 3, vb::Variant("Director's cut"));
  tvn::AVData()->SectionNumber(3);
  QComboBox combo;
  std::string filter;
  tvn::FillDistinctCombo(&combo, "format_type2", filter);
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  EXPECT_EQ(items, QStringList({"Director's cut", "Dolby", "Stereo"}));

  tvn::AVData()->SectionNumber(4);  // a section without values: empty
  filter.clear();
  tvn::FillDistinctCombo(&combo, "format_type2", filter);
  EXPECT_EQ(combo.count(), 0);
}

TEST_F(Collection, CellsShowTheStoredValuesAndAnEmptyCollectionOneEmptyRow) {
  db_->Execute("insert into mediadata (name, section, sectionnumber, artist1, category, cat_number, date_aquired) "
               "values ('Zeta', 'Cassette', 1, 'Abba', 'Rock', 'C-1', #1/1/1999#)");
  db_->Execute("insert into mediadata (name, section, sectionnumber) values ('alpha', 'Compact Disc', 2)");
  db_->Execute("insert into mediadata (name, section, sectionnumber, date_aquired) values ('Mid', 'DVD', 3, 'not a date')");
  forms::FlexGrid grid;
  grid.SetRows(10);
  grid.SetTextMatrix(9, 2, "stale");
  tvn::FillQuickDisplayGrid(grid, *db_);
  ASSERT_EQ(grid.Rows(), 4);
  ASSERT_EQ(grid.Cols(), 8);
  QStringList header;
  for (int c = 1; c < 8; ++c) header << grid.TextMatrix(0, c);
  EXPECT_EQ(header, QStringList({"Section", "Name", "Artist", "Category", "Publisher/Studio", "Catolog #", "Aquired On"}));
  EXPECT_TRUE(grid.isColumnHidden(0));
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(1, 1), "Cassette");
  EXPECT_EQ(grid.TextMatrix(1, 6), "C-1");
  EXPECT_EQ(grid.TextMatrix(1, 7), "01/01/1999");
  EXPECT_EQ(grid.TextMatrix(2, 3), "");  // no artist
  EXPECT_EQ(grid.TextMatrix(2, 7), "");  // no date
  EXPECT_EQ(grid.TextMatrix(3, 7), "");  // not a date
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_TRUE(grid.Redraw());

  grid.SetCol(2);
  grid.Sort(forms::flexSortGenericAscending);
  EXPECT_EQ(grid.TextMatrix(1, 2), "alpha");
  EXPECT_EQ(grid.TextMatrix(1, 0), "2");  // the hidden section number moves with its row
  EXPECT_EQ(grid.TextMatrix(3, 2), "Zeta");

  db_->Execute("delete * from mediadata");
  tvn::FillQuickDisplayGrid(grid, *db_);
  EXPECT_EQ(grid.Rows(), 2);
  EXPECT_EQ(grid.TextMatrix(1, 2), "");
  EXPECT_EQ(grid.TextMatrix(0, 2), "Name");
}

// Names beyond ASCII stand where a reader looks for them, among the plain
// names the index orders, in every section.
TEST_F(Collection, RowsAreListedBySectionThenNameLetterByLetter) {
  for (const char* name : {"Zappa", "école", "Eagles", "Ágætis byrjun", "apple", "Étude", "ant", "Kind of Blue"})
    Add(name, 2, vb::Variant::Null());
  Add("Éclair", 1, vb::Variant::Null());
  Add("Zulu", 1, vb::Variant::Null());
  Add("Bravo", 1, vb::Variant::Null());
  db_->Execute("insert into mediadata (section, sectionnumber) values ('S2', 2)");  // no name: first of its section
  forms::FlexGrid grid;
  tvn::FillQuickDisplayGrid(grid, *db_);
  QStringList names;
  for (int r = 1; r < grid.Rows(); ++r) names << grid.TextMatrix(r, 0) + " " + grid.TextMatrix(r, 2);
  EXPECT_EQ(names, QStringList({"1 Bravo", "1 Éclair", "1 Zulu", "2 ", "2 Ágætis byrjun", "2 ant", "2 apple",
                                "2 Eagles", "2 école", "2 Étude", "2 Kind of Blue", "2 Zappa"}));
}

// The grid holds the order of the rows, not their texts: what it shows is
// read a page at a time as the rows come into view.
TEST_F(Collection, OnlyTheRowsShownAreRead) {
  db_->BeginTrans();
  {
    auto rs = db_->OpenRecordset("mediadata");
    for (int i = 0; i < 20000; ++i) {
      rs->AddNew();
      char name[32];
      std::snprintf(name, sizeof name, "Title %06d", 19999 - i);
      rs->SetField("name", vb::Variant(name));
      rs->SetField("section", vb::Variant("LP"));
      rs->SetField("sectionnumber", vb::Variant(1 + i % 9));
      if (i % 2) rs->SetField("date_aquired", vb::Variant::Date(36161.0 + i % 365));
      rs->Update();
    }
  }
  db_->CommitTrans();
  forms::FlexGrid grid;
  tvn::FillQuickDisplayGrid(grid, *db_);
  auto* rows = dynamic_cast<tvn::QuickListRows*>(grid.RowSource());
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(grid.Rows(), 20001);
  EXPECT_EQ(rows->PagesRead(), 0);
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(20000, 0), "9");
  EXPECT_LT(grid.TextMatrix(1, 2), grid.TextMatrix(2, 2));
  EXPECT_EQ(rows->PagesRead(), 2);
  int dated = 0;
  for (int r = 1; r <= 1000; ++r) dated += grid.TextMatrix(r, 7).isEmpty() ? 0 : 1;
  EXPECT_GT(dated, 0);
  EXPECT_LT(dated, 1000);
  EXPECT_LT(rows->PagesRead(), 20);
}

TEST_F(Collection, TheRefillEntryReadsNothingWithoutAnOpenQuickDisplay) {
  Add("One", 5, vb::Variant::Null());
  db_->Close();  // anything read now would fail
  tvn::FillQuickDisplayGrid();
}

}  // namespace

// The rows listed again while a search or a jump keeps the windows painted
// (a record saved meanwhile): nothing found in the rows that were searched
// stands for a row of the new listing.
TEST_F(Collection, ARefillWhileTheRowsAreSearchedFindsNoRow) {
  for (const char* name : {"Delta", "Alpha", "Charlie", "Bravo"}) Add(name, 1, vb::Variant::Null());
  forms::FlexGrid grid;
  tvn::FillQuickDisplayGrid(grid, *db_);
  auto* rows = dynamic_cast<tvn::QuickListRows*>(grid.RowSource());
  ASSERT_NE(rows, nullptr);
  rows->Sort(2, true);
  int refills = 0;
  rows->SetBusy([&] {
    if (refills++ == 0) rows->Refill();
  });
  EXPECT_EQ(rows->FindRowUtf8(2, 0, [](std::string_view) { return true; }), -1);
  rows->SetBusy({});
  rows->Sort(2, true);
  refills = 0;
  rows->SetBusy([&] {
    if (refills++ == 0) rows->Refill();
  });
  EXPECT_EQ(rows->JumpRow(2, "b", false), -1);
  rows->SetBusy({});
  EXPECT_EQ(rows->JumpRow(2, "b", false), 1);
}
