// The quick display: filling, sorting, the quick jump, the row mark and
// opening a record in the catalogue window.
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QLineEdit>
#include <QRadioButton>

#include "core/AVQDForm.h"
#include "core/ArtistForm.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "core/TavolinModule.h"
#include "core/tests/CoreTestSupport.h"
#include "core/tests/QuickDisplayReference.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/tests/OnScreen.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace {

using tvn::AVData;
using tvn::AVQDForm;
using tvn::QuickDisplayHooks;
using vb::PromptScript;

QApplication& TestApp() {
  static int argc = 1;
  static char name[] = "quick_display_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qApp ? static_cast<QApplication*>(qApp) : new QApplication(argc, argv);
  return *app;
}

const char* const kSections[] = {"", "Cassette", "Compact Disc", "DVD", "Laser Disc", "LP", "Video Tape"};

class QuickDisplayTest : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    TestApp();
    DataFolderTest::SetUp();
    tvn::schema::CreateCollectionFile(Path("av30.mdb"));
    db_ = tvntest::Open(Path("av30.mdb"));
    tvn::App().CollectionDB = db_;
    AVData()->QDOpen(0);
    AVData()->SectionNumber(2);
    Item(2, "Moonlight", "Zappa");
    Item(2, "abbey road", "Beatles");
    Item(3, "Matrix", "");
    Item(5, "Nevermind", "Nirvana");
    Item(6, "Alien", "Scott");
    QuickDisplayHooks::Get() = QuickDisplayHooks{};
    QuickDisplayHooks& h = QuickDisplayHooks::Get();
    h.ItemClickProcess = [this](tvn::Byte s) { calls_.push_back("section " + std::to_string(int(s))); };
    h.CS_Load_Data = [this](const std::string& n) { calls_.push_back("load " + n); };
    h.BringForward = [this] { calls_.push_back("front"); };
  }
  void TearDown() override {
    form_.reset();
    QuickDisplayHooks::Get() = QuickDisplayHooks{};
    DataFolderTest::TearDown();
  }

  void Item(int section, const std::string& name, const std::string& artist) {
    tvntest::AddRow(db_, "mediadata", {{"name", name},
                                       {"section", kSections[section]},
                                       {"SectionNumber", dao::Variant::Byte(std::uint8_t(section))},
                                       {"artist1", artist}});
  }
  AVQDForm& Open() {
    form_ = std::make_unique<AVQDForm>();
    form_->Form_Load();
    return *form_;
  }
  std::vector<std::string> Column(int col) const {
    std::vector<std::string> v;
    for (int r = 1; r < form_->QDGrid->Rows(); ++r) v.push_back(form_->QDGrid->TextMatrix(r, col).toStdString());
    return v;
  }
  bool Marked(int row) const {
    for (int c = 1; c <= 7; ++c)
      if (form_->QDGrid->CellFloodPercent(row, c) != 100) return false;
    return form_->QDGrid->CellFloodPercent(row, 0) == 0;
  }
  void Jump(int option, const std::string& text) {
    form_->srchOption[size_t(option)]->setChecked(true);
    form_->srchOption_Click(option);
    form_->txtSearch->setText(QString::fromStdString(text));
    form_->btnSearch_Click();
  }
  // Double-clicks the row holding the name.
  void DoubleClick(const std::string& name) {
    for (int r = 1; r < form_->QDGrid->Rows(); ++r) {
      if (form_->QDGrid->TextMatrix(r, 2).toStdString() == name) {
        form_->QDGrid->SetRow(r);
        form_->QDGrid_DblClick();
        return;
      }
    }
    FAIL() << name;
  }

  dao::DatabasePtr db_;
  std::unique_ptr<AVQDForm> form_;
  std::vector<std::string> calls_;
};

TEST_F(QuickDisplayTest, ListsEveryRecordAndKeepsTheOpenFlag) {
  AVQDForm& f = Open();
  EXPECT_EQ(f.windowTitle().toStdString(), "Tavolin Quick Display");
  EXPECT_TRUE(AVData()->QDOpen());
  EXPECT_EQ(f.MarkedRow, 0);
  EXPECT_FALSE(f.txtSearch->isEnabled());
  EXPECT_EQ(Column(2), (std::vector<std::string>{"abbey road", "Moonlight", "Matrix", "Nevermind", "Alien"}));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "2", "3", "5", "6"}));
  EXPECT_EQ(f.QDGrid->TextMatrix(0, 5).toStdString(), "Publisher/Studio");

  // A save in the catalogue window refills the open window.
  Item(1, "Tape", "Someone");
  tvn::FillQuickDisplayGrid();
  EXPECT_EQ(Column(2).front(), "Tape");
  EXPECT_EQ(f.QDGrid->Rows(), 7);

  f.close();
  EXPECT_FALSE(AVData()->QDOpen());
}

// The refill after a save puts the saved record in its place without
// reading the order of every row again; the listing stays exactly what a
// fresh fill shows.
TEST_F(QuickDisplayTest, TheRefillAfterASaveFollowsTheChangedRowsOnly) {
  AVQDForm& f = Open();
  Item(2, "Éclair", "Émile");
  tvn::FillQuickDisplayGrid();
  EXPECT_FALSE(f.Rows()->ReadWholeOrder());
  EXPECT_EQ(Column(2), (std::vector<std::string>{"abbey road", "Éclair", "Moonlight", "Matrix", "Nevermind", "Alien"}));
  db_->Execute("update mediadata set name = 'Zebra', SectionNumber = 3 where name = 'abbey road'");
  db_->Execute("delete * from mediadata where name = 'Nevermind'");
  tvn::FillQuickDisplayGrid();
  EXPECT_FALSE(f.Rows()->ReadWholeOrder());
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Éclair", "Moonlight", "Matrix", "Zebra", "Alien"}));
  EXPECT_EQ(Column(0), (std::vector<std::string>{"2", "2", "3", "3", "6"}));

  // After a sort the listing order is read again.
  f.QDGrid->SetCol(2);
  f.menuA_Click();
  tvn::FillQuickDisplayGrid();
  EXPECT_TRUE(f.Rows()->ReadWholeOrder());
  EXPECT_EQ(Column(2), (std::vector<std::string>{"Éclair", "Moonlight", "Matrix", "Zebra", "Alien"}));

  // A table emptied at once is not told row by row: the count shows it.
  db_->Execute("delete * from mediadata");
  tvn::FillQuickDisplayGrid();
  EXPECT_EQ(f.QDGrid->Rows(), 2);
  EXPECT_EQ(f.QDGrid->TextMatrix(1, 2).toStdString(), "");
}

TEST_F(QuickDisplayTest, SortingOnTheCurrentColumn) {
  AVQDForm& f = Open();
  f.QDGrid->SetRow(2);
  f.QDGrid->SetCol(3);
  f.menuA_Click();
  EXPECT_EQ(Column(3), (std::vector<std::string>{"", "Beatles", "Nirvana", "Scott", "Zappa"}));
  EXPECT_EQ(f.QDGrid->TextMatrix(0, 3).toStdString(), "Artist");
  f.menuD_Click();
  EXPECT_EQ(Column(3).front(), "Zappa");
  EXPECT_EQ(Column(2).front(), "Moonlight");  // rows move whole

  // A marked row keeps its mark through a sort.
  f.QDGrid->SetRow(1);
  f.QDGrid_Click();
  f.menuA_Click();
  EXPECT_EQ(f.QDGrid->TextMatrix(f.MarkedRow, 2).toStdString(), "Moonlight");
  EXPECT_TRUE(Marked(f.MarkedRow));
  f.QDGrid->SetRow(1);
  f.QDGrid_Click();
  int marks = 0;
  for (int r = 1; r < f.QDGrid->Rows(); ++r) marks += Marked(r) ? 1 : 0;
  EXPECT_EQ(marks, 1);
}

// Row keys far apart (a record another program wrote with a key of its
// choosing) are found by their keys all the same: the rows sort and jump
// whole.
TEST_F(QuickDisplayTest, RowsOfFarApartKeysSortAndJumpWhole) {
  db_->Execute("insert into mediadata (rowid, name, section, SectionNumber, artist1) values (5000000000, 'Far "
               "Away', 'CD', 2, 'Aaron')");
  db_->Execute("insert into mediadata (rowid, name, section, SectionNumber, artist1) values (-7, 'Below Zero', "
               "'CD', 2, 'Zed')");
  AVQDForm& f = Open();
  f.QDGrid->SetCol(3);
  f.menuA_Click();
  EXPECT_EQ(Column(3), (std::vector<std::string>{"", "Aaron", "Beatles", "Nirvana", "Scott", "Zappa", "Zed"}));
  EXPECT_EQ(f.QDGrid->TextMatrix(2, 2).toStdString(), "Far Away");
  EXPECT_EQ(f.QDGrid->TextMatrix(7, 2).toStdString(), "Below Zero");
  Jump(2, "below");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Below Zero");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 3).toStdString(), "Zed");
}

TEST_F(QuickDisplayTest, QuickJumpLandsOnTheFirstRowAtOrAfterTheText) {
  AVQDForm& f = Open();
  // An empty text does nothing, not even a sort.
  f.QDGrid->SetCol(3);
  f.menuD_Click();
  f.srchOption_Click(2);
  EXPECT_TRUE(f.txtSearch->isEnabled());
  f.btnSearch_Click();
  EXPECT_EQ(Column(3).front(), "Zappa");

  Jump(2, "m");
  EXPECT_EQ(Column(2), (std::vector<std::string>{"abbey road", "Alien", "Matrix", "Moonlight", "Nevermind"}));
  EXPECT_EQ(f.QDGrid->Row(), 3);
  EXPECT_EQ(f.MarkedRow, 3);
  EXPECT_TRUE(Marked(3));

  // No name begins with "MP": the next one after it.
  Jump(2, "mp");
  EXPECT_EQ(f.QDGrid->Row(), 5);
  EXPECT_FALSE(Marked(3));
  EXPECT_TRUE(Marked(5));

  // A cell shorter than the text is compared whole: "Scott" < "SCOTTY".
  Jump(3, "scotty");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 3).toStdString(), "Zappa");

  // Past every entry: row 1, and no mark.
  Jump(2, "zzz");
  EXPECT_EQ(f.QDGrid->Row(), 1);
  EXPECT_EQ(f.MarkedRow, 0);
  for (int r = 1; r < f.QDGrid->Rows(); ++r) EXPECT_FALSE(Marked(r)) << r;
}

// The rows are sorted letter by letter; the jump lands where the text
// stands in that order, not where raw character codes would put it.
TEST_F(QuickDisplayTest, QuickJumpFollowsTheLetterOrderOfTheRows) {
  Item(2, "Ágætis byrjun", "Sigur Rós");
  Item(2, "Kind of Blue", "Davis");
  Item(2, "Éclair", "Émile");
  Item(2, "Zappa in New York", "Zappa");
  AVQDForm& f = Open();
  Jump(2, "kind");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Kind of Blue");
  EXPECT_EQ(Column(2).front(), "abbey road");
  EXPECT_EQ(Column(2)[1], "Ágætis byrjun");  // among the A
  Jump(2, "zap");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Zappa in New York");
  Jump(2, "ecl");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Éclair");
  Jump(3, "emile");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 3).toStdString(), "Émile");
}

// Quick Jump passes over the rows before the text by halving where the
// sort left the cells in the order of their letters. Where cells differ
// only in accents the order of their first letters says nothing of which
// reaches the text, so the jump still lands on the first row a scan from
// the top lands on, whatever order the rows had before (a descending sort).
TEST_F(QuickDisplayTest, QuickJumpAmongNamesAlikeButForAccentsLandsWhereAScanDoes) {
  db_->BeginTrans();
  for (int i = 0; i < 600; ++i) Item(1 + i % 6, "Item " + std::to_string(i), "");
  for (const char* name : {"eA", "Éb", "ec", "Éd", "élan", "Elan", "f"}) Item(2, name, "");
  db_->CommitTrans();
  AVQDForm& f = Open();
  auto at = [&f] { return f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(); };
  // "eA" and "ec" fall short of "É" on their accent; "Éb" is the first to reach it.
  Jump(2, "É");
  EXPECT_EQ(at(), "Éb");
  EXPECT_EQ(f.MarkedRow, f.QDGrid->Row());
  Jump(2, "ÉL");
  EXPECT_EQ(at(), "élan");
  Jump(2, "ÉZ");
  EXPECT_EQ(at(), "f");
  f.QDGrid->SetCol(2);
  f.menuD_Click();
  tvntest::ExpectSortsAndJumpsAsThePlainWay(f, {{2, false}},
                                            {{2, "É"}, {2, "e"}, {2, "ÉLAN"}, {2, "élam"}, {2, "item 5"}, {2, "zzz"}},
                                            false);
}

// Where the order of the rows is not that of their letters - numbers
// among the names sort as numbers, a character beyond the basic plane is
// cut in half by the text's length, a record is gone - the jump still
// lands on the row a scan from the top lands on.
TEST_F(QuickDisplayTest, QuickJumpLandsWhereAScanDoesOnNumbersCutCharactersAndGoneRecords) {
  const QString highHalf(QChar(0xD83D));
  auto expectAsTheScan = [this](const QString& text, const char* why) {
    AVQDForm& f = *form_;
    f.srchOption[2]->setChecked(true);
    f.srchOption_Click(2);
    f.txtSearch->setText(text);
    f.btnSearch_Click();
    const int found = tvntest::JumpRow(tvntest::ShownRows(*f.QDGrid), 2, text, false);
    EXPECT_EQ(f.QDGrid->Row(), found < 0 ? 1 : found + 1) << why;
    EXPECT_EQ(f.MarkedRow, found < 0 ? 0 : found + 1) << why;
    return found < 0 ? std::string() : f.QDGrid->TextMatrix(found + 1, 2).toStdString();
  };
  {
    // "9" sorts before "10" as a number, yet stands after "5" as a text.
    for (const char* name : {"9", "10", "Zebra", "1a"}) Item(2, name, "");
    Open();
    EXPECT_EQ(expectAsTheScan("5", "numbers"), "9");
    EXPECT_EQ(expectAsTheScan("1", "numbers"), "9");
    expectAsTheScan("1b", "numbers");
    expectAsTheScan("zz", "numbers");
  }
  db_->Execute("delete * from mediadata");
  {
    // Two characters of text cut "a😀" in the middle of its emoji.
    for (const char* name : {"aZ", "a😀", "a\xef\xbf\xbf", "b", "a😀x", "ab"}) Item(2, name, "");
    Open();
    expectAsTheScan("a[", "cut emoji");
    expectAsTheScan(QString::fromUtf8("a\xef\xbf\xbe"), "cut emoji");
    expectAsTheScan(QStringLiteral("a") + highHalf, "cut emoji");
    EXPECT_EQ(expectAsTheScan(QString::fromUtf8("a😀"), "cut emoji"), "a😀");
    expectAsTheScan(QString::fromUtf8("a😀y"), "cut emoji");
  }
  {
    // A record another program deleted after the grid was filled shows
    // empty, and the jump passes over it.
    for (const char* name : {"Moon", "Mars", "Venus"}) Item(3, name, "");
    Open();
    dao::DatabasePtr other = tvntest::Open(Path("av30.mdb"));
    other->Execute("delete * from mediadata where name = 'Mars'");
    other->Close();
    EXPECT_EQ(expectAsTheScan("m", "gone"), "Moon");
    EXPECT_EQ(expectAsTheScan("ma", "gone"), "Moon");
    EXPECT_EQ(expectAsTheScan("v", "gone"), "Venus");
  }
}

// A large collection: the grid has read only the rows it showed, yet the
// sort and the jump cover every row.
// The horizontal scroll bar shows only while the columns do not fit, and
// the row on show stays whole when it comes.
TEST_F(QuickDisplayTest, TheHorizontalScrollBarShowsOnlyWhenTheColumnsOverflow) {
  AVQDForm& f = Open();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  QScrollBar* bar = f.QDGrid->horizontalScrollBar();
  // Wider than its columns (the test screen may be narrower than they are).
  f.resize(f.QDGrid->horizontalHeader()->length() + 200, f.height());
  QTest::qWait(0);
  EXPECT_ON_SCREEN(f.QDGrid);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_LE(f.QDGrid->horizontalHeader()->length(), f.QDGrid->viewport()->width());

  // Narrower than its columns: the bar is there to reach them, the marked
  // row still in view.
  Jump(2, "nevermind");
  const int found = f.QDGrid->Row();
  f.resize(f.QDGrid->horizontalHeader()->length() / 2, f.height());
  QTest::qWait(0);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_GT(bar->maximum(), 0);
  const QRect row = f.QDGrid->visualRect(f.QDGrid->model()->index(found - 1, 2));
  EXPECT_TRUE(f.QDGrid->viewport()->rect().contains(row));

  // Wide again: gone.
  f.resize(f.QDGrid->horizontalHeader()->length() + 200, f.height());
  QTest::qWait(0);
  EXPECT_FALSE(bar->isVisible());
}

// A date another program stored far outside the calendar is no date: its
// cell is empty, as the catalogue's date box is, never a made-up day.
TEST_F(QuickDisplayTest, ADateFarOutsideTheCalendarShowsAnEmptyCell) {
  auto other = tvntest::Open(Path("av30.mdb"));
  other->Execute("update mediadata set date_aquired = 1e300 where name = 'Moonlight'");
  other->Execute("update mediadata set date_aquired = -1e300 where name = 'Matrix'");
  other->Execute("update mediadata set date_aquired = 36525 where name = 'Alien'");
  other->Close();
  AVQDForm& f = Open();
  for (int r = 1; r < f.QDGrid->Rows(); ++r) {
    const std::string name = f.QDGrid->TextMatrix(r, 2).toStdString();
    const std::string date = f.QDGrid->TextMatrix(r, 7).toStdString();
    EXPECT_EQ(date, name == "Alien" ? "12/31/1999" : "") << name;
  }
}

TEST_F(QuickDisplayTest, SortAndJumpCoverRowsNotYetShown) {
  db_->BeginTrans();
  for (int i = 0; i < 3000; ++i)
    Item(1 + i % 6, "Title " + std::to_string(10000 + i), i == 2999 ? "Aaron" : "Artist " + std::to_string(i % 50));
  db_->CommitTrans();
  AVQDForm& f = Open();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
  auto* rows = f.Rows();
  ASSERT_NE(rows, nullptr);
  EXPECT_LT(rows->PagesRead(), 4);
  f.QDGrid->SetCol(3);
  f.menuA_Click();
  EXPECT_EQ(f.QDGrid->TextMatrix(1, 3).toStdString(), "");
  EXPECT_EQ(f.QDGrid->TextMatrix(2, 2).toStdString(), "Title 12999");  // after the one without an artist
  // The five names of the fixture come first, then the titles in order.
  Jump(2, "title 12998");
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Title 12998");
  EXPECT_EQ(f.QDGrid->Row(), 3004);
  EXPECT_TRUE(Marked(3004));
  // Shown whole (the row helper looks at column 0, which is hidden here).
  const QRect found = f.QDGrid->visualRect(f.QDGrid->model()->index(3004 - 1, 2));
  EXPECT_TRUE(f.QDGrid->viewport()->rect().contains(found)) << found.y() << " " << f.QDGrid->viewport()->height();
}

// Filling the grid keeps the windows painted; a click made meanwhile is
// dropped, not played back once the fill is done.
TEST_F(QuickDisplayTest, AClickDuringTheFillIsNotActedOn) {
  form_ = std::make_unique<AVQDForm>();
  form_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  { vb::BusyScope start; }  // the busy clock runs from here
  QTest::qSleep(150);       // the fill's first row lets the windows paint
  const QPointF centre = QRectF(form_->btnClose->rect()).center();
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
    QCoreApplication::postEvent(form_->btnClose, new QMouseEvent(type, centre, form_->btnClose->mapToGlobal(centre),
                                                                 Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
  form_->Form_Load();
  QCoreApplication::processEvents();
  EXPECT_TRUE(form_->isVisible());
  EXPECT_TRUE(AVData()->QDOpen());
  EXPECT_FALSE(vb::BusyScope::Active());
  EXPECT_EQ(form_->QDGrid->Rows(), 6);
}

// Many pages of rows with awkward texts: each sort and each jump lands on
// exactly the rows a plain pair-by-pair sort and a scan from the top give.
TEST_F(QuickDisplayTest, SortAndJumpOverManyPagesLandWhereThePlainWayDoes) {
  std::uint32_t seed = 7;
  db_->BeginTrans();
  for (int i = 0; i < 1500; ++i) {
    const int section = 1 + i % 6;
    tvntest::AddRow(db_, "mediadata",
                    {{"name", tvntest::AwkwardText(seed)},
                     {"section", kSections[section]},
                     {"SectionNumber", dao::Variant::Byte(std::uint8_t(section))},
                     {"artist1", tvntest::AwkwardText(seed)},
                     {"labelstudio", tvntest::AwkwardText(seed)},
                     {"cat_number", i % 3 ? std::to_string(i * 37 % 1000) : tvntest::AwkwardText(seed)}});
  }
  db_->CommitTrans();
  AVQDForm& f = Open();
  f.show();
  ASSERT_EQ(f.QDGrid->Rows(), 1506);
  tvntest::ExpectSortsAndJumpsAsThePlainWay(f, {{3, true}, {3, false}, {6, true}, {2, false}},
                                            {{2, "m"}, {2, "élan 3"}, {2, "1"}, {2, "9"}, {3, "ZAPPA"}, {3, "*"}, {5, "中"}, {5, "straSSe"}, {5, "~~~"}},
                                            false);
}

// Thousands of names beyond ASCII in one section, and artists alike in
// their first letters or only in case and accents: the listing puts every
// name in its letter place, and sorts and jumps (quotes, wildcards,
// accents, past the end) land exactly where the plain way does.
TEST_F(QuickDisplayTest, ManyAccentedNamesAndAlikeTextsListSortAndJumpAsThePlainWay) {
  const char* const heads[] = {"Élan ", "élan ", "Item ", "Ørn ", "Zoë ", "o'Brien ", "50% ", "a_b*? ", "Ábc "};
  const char* const artists[] = {"Collected Recordings Volume Two", "COLLECTED RECORDINGS VOLUME TWO",
                                 "Collected Récordings Volume Two", "Collected Recordings Volume One",
                                 "Sâme",  "Same", "SAME"};
  db_->BeginTrans();
  for (int i = 0; i < 10000; ++i) Item(i % 7 ? 1 : 2, heads[i % 9] + std::to_string(i), artists[(i / 3) % 7]);
  db_->CommitTrans();
  AVQDForm& f = Open();
  f.show();
  const tvntest::GridRows listed = tvntest::ShownRows(*f.QDGrid);
  ASSERT_EQ(listed.size(), 10005u);
  for (size_t r = 1; r < listed.size(); ++r) {
    const int a = listed[r - 1][0].toInt(), b = listed[r][0].toInt();
    ASSERT_LE(a, b) << r;
    if (a != b) continue;
    ASSERT_LT(vb::CompareLetters(listed[r - 1][2].toStdString(), listed[r][2].toStdString()), 0)
        << listed[r - 1][2].toStdString() << " | " << listed[r][2].toStdString();
  }
  tvntest::ExpectSortsAndJumpsAsThePlainWay(
      f, {{3, true}, {3, false}, {2, false}},
      {{3, "collected r"}, {3, "SÂME"}, {3, "same"}, {2, "o'b"}, {2, "50%"}, {2, "a_b*"}, {2, "ÉLAN 99"}, {2, "zzz"}},
      false);
}

// A sort or a jump keeps the windows painted; a click made meanwhile is
// dropped, not played back once the work is done (here on a column read
// already, where only the sort itself or the scan is left).
TEST_F(QuickDisplayTest, AClickDuringASortOrAJumpIsNotActedOn) {
  AVQDForm& f = Open();
  f.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

  f.QDGrid->SetCol(3);
  f.menuA_Click();
  tvntest::ClickDuringTheNextWait(f.btnClose);
  f.menuD_Click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(Column(3).front(), "Zappa");

  f.QDGrid->SetCol(2);
  f.menuA_Click();
  tvntest::ClickDuringTheNextWait(f.btnClose);
  Jump(2, "n");
  QCoreApplication::processEvents();
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(AVData()->QDOpen());
  EXPECT_EQ(f.QDGrid->TextMatrix(f.QDGrid->Row(), 2).toStdString(), "Nevermind");
  EXPECT_FALSE(vb::BusyScope::Active());
}

TEST_F(QuickDisplayTest, ClickingMovesTheMark) {
  AVQDForm& f = Open();
  f.QDGrid->SetRow(2);
  f.QDGrid_Click();
  EXPECT_TRUE(Marked(2));
  f.QDGrid->SetRow(4);
  f.QDGrid_Click();
  EXPECT_FALSE(Marked(2));
  EXPECT_TRUE(Marked(4));
  // A refill to fewer rows leaves a mark number past the end: no harm.
  db_->Execute("delete * from mediadata where SectionNumber > 2");
  tvn::FillQuickDisplayGrid();
  f.QDGrid->SetRow(1);
  f.QDGrid_Click();
  EXPECT_TRUE(Marked(1));
}

TEST_F(QuickDisplayTest, DoubleClickOpensTheRecordInItsSection) {
  AVQDForm& f = Open();
  DoubleClick("Matrix");
  EXPECT_EQ(calls_, (std::vector<std::string>{"section 3", "load Matrix", "front"}));
  EXPECT_EQ(f.QDGrid->Col(), 2);
  EXPECT_TRUE(Marked(f.QDGrid->Row()));

  // Same section as the catalogue's: only the load.
  calls_.clear();
  DoubleClick("Moonlight");
  EXPECT_EQ(calls_, (std::vector<std::string>{"load Moonlight", "front"}));

  // The header row, and the empty row of an empty collection, do nothing.
  calls_.clear();
  f.QDGrid->SetRow(0);
  f.QDGrid_DblClick();
  db_->Execute("delete * from mediadata");
  tvn::FillQuickDisplayGrid();
  ASSERT_EQ(f.QDGrid->Rows(), 2);
  f.QDGrid->SetRow(1);
  f.QDGrid_DblClick();
  EXPECT_TRUE(calls_.empty());
}

// A record opened over a new one being typed would be saved twice.
TEST_F(QuickDisplayTest, DoubleClickWhileTheCatalogueAddsAsksFirst) {
  bool adding = true;
  QuickDisplayHooks::Get().AddingRecord = [&adding] { return adding; };
  QuickDisplayHooks::Get().CancelAdd = [this, &adding] {
    calls_.push_back("cancel add");
    adding = false;
  };
  Open();
  PromptScript::Answer(vb::vbNo);
  DoubleClick("Alien");
  EXPECT_TRUE(calls_.empty());
  EXPECT_TRUE(adding);
  ASSERT_EQ(PromptScript::Records().size(), 1u);

  PromptScript::Answer(vb::vbYes);
  DoubleClick("Alien");
  EXPECT_EQ(calls_, (std::vector<std::string>{"cancel add", "section 6", "load Alien", "front"}));
}

TEST_F(QuickDisplayTest, OneWindowAtATime) {
  AVQDForm* w = tvn::ShowQuickDisplay();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(tvn::ShowQuickDisplay(), w);
  EXPECT_EQ(tvn::QuickDisplayWindow(), w);
  EXPECT_TRUE(AVData()->QDOpen());
  tvn::CloseQuickDisplay();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(tvn::QuickDisplayWindow(), nullptr);
  EXPECT_FALSE(AVData()->QDOpen());
}

TEST_F(QuickDisplayTest, ALookupRenameOrDeleteRefillsTheOpenDisplay) {
  tvntest::AddRow(db_, "artists", {{"artist_name", "Zappa"}});
  AVQDForm& f = Open();
  ASSERT_EQ(f.QDGrid->TextMatrix(2, 3).toStdString(), "Zappa");
  tvn::ArtistForm editor;
  editor.Form_Load();
  editor.Artist_Name_text->setText("Frank Zappa");
  editor.Toolbar1_ButtonClick(tvn::LookupEditorForm::btnFile);
  EXPECT_EQ(f.QDGrid->TextMatrix(2, 3).toStdString(), "Frank Zappa");

  vb::PromptScript::Answer(vb::vbYes);
  editor.Toolbar1_ButtonClick(tvn::LookupEditorForm::btnDelete);
  EXPECT_EQ(f.QDGrid->TextMatrix(2, 3).toStdString(), "");
  EXPECT_EQ(f.QDGrid->TextMatrix(2, 2).toStdString(), "Moonlight");
}

}  // namespace
