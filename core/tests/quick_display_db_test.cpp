// The quick-display and distinct-value fillers on a real collection file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include <QApplication>
#include <QComboBox>

#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/dao/Dao.h"
#include "platform/forms/FlexGrid.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

// The sanitizer build runs several times slower; time limits widen there.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif

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

TEST_F(Collection, HundredThousandRecordsFillTheGridQuickly) {
  db_->BeginTrans();
  {
    auto rs = db_->OpenRecordset("mediadata");
    for (int i = 0; i < 100000; ++i) {
      rs->AddNew();
      char name[32];
      std::snprintf(name, sizeof name, "Title %06d", 99999 - i);
      rs->SetField("name", vb::Variant(name));
      rs->SetField("section", vb::Variant("LP"));
      rs->SetField("sectionnumber", vb::Variant(1 + i % 9));
      rs->SetField("artist1", vb::Variant("Artist"));
      if (i % 2) rs->SetField("date_aquired", vb::Variant::Date(36161.0 + i % 365));
      rs->Update();
    }
  }
  db_->CommitTrans();
  forms::FlexGrid grid;
  const auto start = std::chrono::steady_clock::now();
  tvn::FillQuickDisplayGrid(grid, *db_);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("quick display of 100,000 records: %.3f s\n", seconds);
  ASSERT_EQ(grid.Rows(), 100001);
  EXPECT_EQ(grid.TextMatrix(1, 0), "1");
  EXPECT_EQ(grid.TextMatrix(100000, 0), "9");
  // By section, then by name.
  EXPECT_LT(grid.TextMatrix(1, 2), grid.TextMatrix(2, 2));
  int dated = 0;
  for (int r = 1; r <= 1000; ++r) dated += grid.TextMatrix(r, 7).isEmpty() ? 0 : 1;
  EXPECT_GT(dated, 0);
  EXPECT_LT(dated, 1000);
  EXPECT_LT(seconds, kSlowBuild ? 40.0 : 10.0);
}

}  // namespace
