// The marking of report records on real collection files: each statement
// runs through the data layer, and the tests read the flags and the work
// tables back from the file.
#include <gtest/gtest.h>

#include <set>

#include <sqlite3.h>

#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"
#include "reports/ReportSelection.h"

namespace {

using tvn::reports::ReportContext;
using tvn::reports::WizardLimits;

const char* kSections[] = {"", "Cassette", "Compact Disc", "DVD", "Laser Disc", "LP",
                           "Video Tape", "MiniDisc", "MP3", "Software"};

class Selection : public tvntest::DataFolderTest {
 protected:
  void SetUp() override {
    DataFolderTest::SetUp();
    tvn::schema::CreateCollectionFile(Path("c.mdb"));
    db = tvntest::Open(Path("c.mdb"));
  }
  void TearDown() override {
    db->Close();
    DataFolderTest::TearDown();
  }

  void Item(int section, const dao::Variant& name, std::map<std::string, dao::Variant> fields = {}) {
    fields["name"] = name;
    fields["section"] = std::string(kSections[section]);
    fields["SectionNumber"] = dao::Variant::Byte(static_cast<std::uint8_t>(section));
    tvntest::AddRow(db, "mediadata", fields);
  }

  // Names of the records with pr1 set.
  std::set<std::string> Marked() {
    std::set<std::string> out;
    auto rs = db->OpenRecordset("select name from mediadata where pr1");
    while (!rs->Eof()) {
      out.insert(vb::NzStr(rs->GetField("name")));
      rs->MoveNext();
    }
    return out;
  }
  long NullFlags() { return tvntest::CountRows(db, "select * from mediadata where pr1 is null or pr2 is null"); }

  std::set<std::string> General(const std::string& sections, WizardLimits limits = {}) {
    ctx.SectionList = sections;
    tvn::reports::MarkWizardSelection(db, ctx, true, 0, limits);
    return Marked();
  }

  // The report rows as "cat_number: title1,title2,..." in cat_number order.
  std::vector<std::string> Labels() {
    std::vector<std::string> out;
    auto rs = db->OpenRecordset("select * from report order by cat_number");
    while (!rs->Eof()) {
      std::string line = vb::NzStr(rs->GetField("cat_number")) + ":";
      for (int i = 1; i <= 8; ++i) {
        std::string t = vb::NzStr(rs->GetField("title" + std::to_string(i)));
        if (!t.empty()) line += (i > 1 ? "," : "") + t;
      }
      out.push_back(line);
      rs->MoveNext();
    }
    return out;
  }

  dao::DatabasePtr db;
  ReportContext ctx;
};

using Names = std::set<std::string>;

TEST_F(Selection, GeneralReportMarksTheChosenSectionsOnly) {
  Item(1, "Tape A");
  Item(1, "Tape B");
  Item(2, "Disc");
  Item(9, "Program");
  EXPECT_EQ(General(" 1 "), (Names{"Tape A", "Tape B"}));
  EXPECT_EQ(ctx.ReportType, 6);
  EXPECT_EQ(General(" 1 2 9 "), (Names{"Tape A", "Tape B", "Disc", "Program"}));
  EXPECT_EQ(General(" 2 "), (Names{"Disc"}));
  EXPECT_EQ(NullFlags(), 0);
}

TEST_F(Selection, ArtistLimitMatchesAnyArtistByPrefixIgnoringCase) {
  Item(2, "One", {{"artist3", "ABBA"}});
  Item(2, "Two", {{"artist1", "Abbott"}});
  Item(2, "Three", {{"artist1", "Beatles"}});
  Item(2, "Nulls");  // every artist Null
  Item(2, "Accent", {{"artist4", "Édith Piaf"}});
  EXPECT_EQ(General(" 2 ", {.artist = "ab"}), (Names{"One", "Two"}));
  EXPECT_EQ(NullFlags(), 0) << "a Null artist ends as not marked, never as Null";
  EXPECT_EQ(General(" 2 ", {.artist = " ÉD "}), (Names{"Accent"})) << "trimmed, non-ASCII case";
  EXPECT_EQ(General(" 2 ", {.artist = "édith"}), (Names{"Accent"}));
  EXPECT_EQ(General(" 2 ", {.artist = "   "}).size(), 5u) << "blanks are no limit";
  EXPECT_EQ(General(" 2 ", {.artist = "  ***no limits*** "}).size(), 5u);
}

TEST_F(Selection, CategoryLabelNameAndTapeLimitsMustAllHold) {
  Item(2, "Rock EMI", {{"category", "Rock"}, {"labelstudio", "EMI"}});
  Item(2, "Rock Other", {{"category", "Rock"}, {"labelstudio", "Decca"}});
  Item(2, "Pop EMI", {{"category", "Pop"}, {"labelstudio", "EMI"}});
  EXPECT_EQ(General(" 2 ", {.category = "Rock", .label = "EMI"}), (Names{"Rock EMI"}));
  EXPECT_EQ(General(" 2 ", {.category = " rock "}), (Names{"Rock EMI", "Rock Other"})) << "value trimmed";
  EXPECT_EQ(General(" 2 ", {.category = "  ", .label = "emi"}), (Names{"Rock EMI", "Pop EMI"}));
  EXPECT_EQ(General(" 2 ", {.name = "Rock "}), (Names{"Rock EMI", "Rock Other"}));
  EXPECT_EQ(General(" 2 ", {.name = "Pop  "}), Names{}) << "the name keeps its blanks and counts them";
  EXPECT_EQ(General(" 2 ", {.artist = "x", .category = "Rock"}), Names{});
  // A prefix as long as the limit in characters, one beyond U+FFFF too.
  Item(2, "\xF0\xA0\xAE\xB7\xE9\x87\x8E Live");
  Item(2, "\xF0\xA0\xAE\xB7 Other");
  EXPECT_EQ(General(" 2 ", {.name = "\xF0\xA0\xAE\xB7\xE9\x87\x8E"}), (Names{"\xF0\xA0\xAE\xB7\xE9\x87\x8E Live"}));
  EXPECT_EQ(General(" 2 ", {.name = "\xF0\xA0\xAE\xB7"}).size(), 2u);
}

TEST_F(Selection, QuotesAndAmpersandsAreSearchedLiterally) {
  Item(6, "Don't Stop", {{"cat_number", "T'1"}, {"artist1", "Simon & Garfunkel"}});
  Item(6, "Dont Stop", {{"cat_number", "T1"}, {"artist1", "Simon"}});
  EXPECT_EQ(General(" 6 ", {.name = "Don't"}), (Names{"Don't Stop"}));
  EXPECT_EQ(General(" 6 ", {.tapeIndex = "T'1"}), (Names{"Don't Stop"}));
  EXPECT_EQ(General(" 6 ", {.tapeIndex = "T"}), Names{}) << "the tape number is compared whole";
  EXPECT_EQ(General(" 6 ", {.artist = "Simon & G"}), (Names{"Don't Stop"}));
}

TEST_F(Selection, TitleLimitKeepsRecordsWithAnyMatchingTitle) {
  Item(5, "Early", {{"title1", "Yesterday"}});
  Item(5, "Late", {{"title40", "yesterday once more"}});
  Item(5, "Notes", {{"notes", "Yesterday"}, {"title2", "Help"}});
  Item(1, "Other section", {{"title1", "Yesterday"}});
  EXPECT_EQ(General(" 5 ", {.title = "Yes"}), (Names{"Early", "Late"}));
  EXPECT_EQ(General(" 5 ", {.category = "x", .title = "Yes"}), Names{});
  EXPECT_EQ(NullFlags(), 0);
}

// The two narrowing statements on their own: the first keeps a mark only
// where its clause holds, the second notes a match among the marked only.
TEST_F(Selection, TheFiltersNarrowOnlyTheMarkedRecords) {
  Item(2, "Rock marked", {{"category", "Rock"}});
  Item(2, "Pop marked", {{"category", "Pop"}});
  Item(3, "Rock unmarked", {{"category", "Rock"}});
  db->Execute("update mediadata set pr1 = (sectionnumber = 2), pr2 = false");
  dao::UpdateInRowBatches(*db, "mediadata", {tvn::reports::ApplySecondFilter(" category = 'Rock'")});
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr2"), 1);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr2 and name = 'Rock marked'"), 1);
  dao::UpdateInRowBatches(*db, "mediadata", {tvn::reports::ApplyFirstFilter(" (category = 'Rock')")});
  EXPECT_EQ(Marked(), (Names{"Rock marked"}));
}

TEST_F(Selection, TapeLabelsOneRowPerTapeWithEightRecordingsAtMost) {
  Item(6, "Film A", {{"cat_number", "T01"}, {"TapeIndex", "2"}});
  Item(6, "Film B", {{"cat_number", "T01"}, {"TapeIndex", "1"}});
  Item(6, "Film C", {{"cat_number", "t01"}, {"TapeIndex", "3"}});  // same tape, other case
  Item(6, "No number");
  Item(6, "Empty number", {{"cat_number", ""}});
  for (int i = 1; i <= 10; ++i)
    Item(6, "Long " + std::to_string(i), {{"cat_number", "T02"}, {"TapeIndex", std::to_string(i)}});
  Item(1, "Cassette", {{"cat_number", "T01"}});

  ctx.SectionList = " 6 ";
  tvn::reports::MarkWizardSelection(db, ctx, false, 5, {});
  // Recordings in tapeindex (text) order: "1", "10", "2", ...
  EXPECT_EQ(Labels(), (std::vector<std::string>{
                          "T01:Film B,Film A,Film C",
                          "T02:Long 1,Long 10,Long 2,Long 3,Long 4,Long 5,Long 6,Long 7"}));

  tvn::reports::MarkWizardSelection(db, ctx, false, 6, {});
  EXPECT_EQ(tvntest::CountRows(db, "select * from report"), 15);
  EXPECT_EQ(tvntest::CountRows(db, "select * from report where cat_number = name"), 15);
}

TEST_F(Selection, SpecialReportsOtherThanLabelsMarkNothing) {
  Item(2, "Disc");
  for (int special = 1; special <= 4; ++special) {
    ctx.SectionList = "";
    tvn::reports::MarkWizardSelection(db, ctx, false, special, {.artist = "D"});
    EXPECT_TRUE(Marked().empty()) << special;
  }
}

TEST_F(Selection, FinishingRemovesNamelessRecordsAndClearsTheHeadings) {
  Item(1, "Kept");
  Item(1, " ");
  Item(1, "");
  Item(1, dao::Variant::Null());
  ctx.ReportTitle = "Cassettes";
  ctx.ReportSubtitle = "for x";
  tvn::reports::FinishReport(db, ctx);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata"), 2);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name = ' '"), 1);
  EXPECT_EQ(ctx.ReportTitle, "");
  EXPECT_EQ(ctx.ReportSubtitle, "");

  // Found first (as the wizards do, aside): only those found, and only
  // while they still lack a name.
  Item(1, "");
  Item(1, dao::Variant::Null());
  const std::vector<std::int64_t> nameless = tvn::reports::NamelessRecords(db);
  ASSERT_EQ(nameless.size(), 2u);
  Item(1, "");  // after the look
  db->Execute("update mediadata set name = 'Named meanwhile' where rowid = " + std::to_string(nameless[0]));
  tvn::reports::FinishReport(db, ctx, &nameless);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name & '' = ''"), 1);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name = 'Named meanwhile'"), 1);
}

TEST_F(Selection, TitleListHoldsEachTitleOnce) {
  Item(2, "A", {{"title1", "Intro"}, {"title2", "It's Over"}, {"title39", "intro"}});
  Item(2, "B", {{"title1", "Intro"}});
  Item(1, "C", {{"title1", "Elsewhere"}});
  tvn::reports::BuildTitleList(db, " 2 ");
  EXPECT_EQ(tvntest::CountRows(db, "select * from title_list"), 2) << "the list compares without case";
  EXPECT_EQ(tvntest::CountRows(db, "select * from title_list where longtitle = 'It''s Over'"), 1);
  tvn::reports::AddLongTitle(db, "It's Over");
  EXPECT_EQ(tvntest::CountRows(db, "select * from title_list"), 2);
}

TEST_F(Selection, TitleListKeepsTheFirstSpellingInRecordOrder) {
  // Letters beyond ASCII compare without case too; the spelling met first
  // (record by record, title field by title field) is the one listed.
  Item(2, "A", {{"title1", "Édith"}, {"title2", "zoé"}});
  Item(2, "B", {{"title1", "ÉDITH"}, {"title3", "ZOÉ"}, {"title4", "Edith"}});
  Item(2, "C", {{"title40", "édith"}, {"title1", "Zoe"}});
  // Texts the letter order has to place: other scripts, signs before the
  // letters, a quote, digits, a long title and one that begins another.
  Item(2, "D", {{"title1", "東京物語"}, {"title2", "_intro"}, {"title3", "O'Brien's \"Song\""}, {"title4", "10 Years"},
                {"title5", "Zoe and more"}, {"title6", std::string(45, 'z')}, {"title7", "Ωmega"}, {"title8", "ß"}});
  const tvn::reports::LimitList given = tvn::reports::BuildTitleList(db, " 2 ");
  std::vector<std::string> listed;
  auto rs = db->OpenRecordset("select longtitle from title_list order by longtitle");
  while (!rs->Eof()) {
    listed.push_back(vb::NzStr(rs->GetField("longtitle")));
    rs->MoveNext();
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"10 Years", "_intro", "Edith", "Édith", "O'Brien's \"Song\"", "ß", "Zoe",
                                              "zoé", "Zoe and more", std::string(45, 'z'), "Ωmega", "東京物語"}));
  // What the wizard's box is given is exactly the list as read by title.
  std::vector<std::string> handed;
  for (size_t i = 0; i < given.Size(); ++i) handed.emplace_back(given.At(i));
  EXPECT_EQ(handed, listed);
  // Building again starts from an empty list rather than adding to it.
  tvn::reports::BuildTitleList(db, " 2 ");
  EXPECT_EQ(tvntest::CountRows(db, "select * from title_list"), 12);
}

TEST_F(Selection, SectionCaptionsAreCopiedAndMissingTablesKeepThem) {
  Item(1, "Tape", {{"f1c", "old"}});
  Item(2, "Disc", {{"f1c", "old"}});
  db->Execute("update cassettecaption set f1 = 'Producer''s note', f2 = null");
  db->DeleteTableDef("cdcaption");
  tvn::reports::ApplySectionCaptions(db);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where f1c = 'Producer''s note' and f2c = ''"), 1);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name = 'Disc' and f1c = 'old'"), 1);
}

TEST_F(Selection, SectionCaptionsRewriteOnlyWhatDiffers) {
  Item(1, "Same");
  Item(1, "Cased");
  Item(1, "Empty");
  db->Execute("update cassettecaption set f1 = 'Producer', f2 = 'Édition', f3 = ''");
  tvn::reports::ApplySectionCaptions(db);
  // Every write of a caption field is counted by a trigger made outside
  // the program, as another SQLite tool would see the writes.
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(Path("c.mdb").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "create table caption_writes (name text);"
                           "create trigger count_caption_writes after update of f1c, f2c, f3c on mediadata "
                           "begin insert into caption_writes values (new.name); end;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
  }
  auto writes = [&] { return tvntest::CountRows(db, "select * from caption_writes"); };
  tvn::reports::ApplySectionCaptions(db);
  EXPECT_EQ(writes(), 0) << "captions in place: nothing to write";

  // A change of letter case alone is still a change, and so is a Null.
  db->Execute("update mediadata set f1c = 'PRODUCER', f2c = 'ÉDITION' where name = 'Cased'");
  db->Execute("update mediadata set f3c = null where name = 'Empty'");
  db->Execute("delete * from caption_writes");
  tvn::reports::ApplySectionCaptions(db);
  EXPECT_EQ(writes(), 2);
  auto rs = db->OpenRecordset("select f1c, f2c, f3c from mediadata where sectionnumber = 1");
  int rows = 0;
  for (; !rs->Eof(); rs->MoveNext(), ++rows) {
    EXPECT_EQ(vb::NzStr(rs->GetField("f1c")), "Producer");
    EXPECT_EQ(vb::NzStr(rs->GetField("f2c")), "Édition");
    EXPECT_FALSE(rs->GetField("f3c").isNull());
  }
  EXPECT_EQ(rows, 3);
}

// A collection larger than any batch the work is split into (records
// written, titles inserted, rows read): the marks, the title list and the
// captions are those of the same work done record by record.
TEST_F(Selection, ResultsPastEveryBatchAreThoseOfTheRecordByRecordWork) {
  constexpr int kRecords = 4700;
  auto title = [](int i, int t) -> std::string {
    if (t == 1) return (i % 3 == 0 ? "SONG " : "Song ") + std::to_string(i % 300);
    if (t == 2) return (i % 2 ? "Élan " : "élan ") + std::to_string(i % 90);
    return i % 5 == 0 ? "It's " + std::to_string(i % 40) : "";
  };
  db->BeginTrans();
  auto rs = db->OpenRecordset("mediadata");
  for (int i = 0; i < kRecords; ++i) {
    const int section = 1 + i % 9;
    rs->AddNew();
    rs->SetField("name", "Name " + std::to_string(i));
    rs->SetField("section", std::string(kSections[section]));
    rs->SetField("SectionNumber", dao::Variant::Byte(static_cast<std::uint8_t>(section)));
    rs->SetField("artist1", "Artist " + std::to_string(i % 50));
    rs->SetField("title1", title(i, 1));
    rs->SetField("title2", title(i, 2));
    if (!title(i, 39).empty()) rs->SetField("title39", title(i, 39));
    rs->Update();
  }
  rs->Close();
  db->CommitTrans();
  // Rowids with gaps, as deletions leave them.
  db->Execute("delete * from mediadata where name like 'Name 1?0'");
  auto kept = [](int i) { return !(i >= 100 && i < 200 && i % 10 == 0); };

  // Marks: sections 1, 2 and 5, an artist prefix and a title prefix.
  Names expected;
  for (int i = 0; i < kRecords; ++i) {
    const int section = 1 + i % 9;
    const std::string artist = "Artist " + std::to_string(i % 50);
    bool titled = false;
    for (int t : {1, 2, 39}) titled = titled || vb::UpperCase(title(i, t)).rfind("SONG 1", 0) == 0;
    if (kept(i) && (section == 1 || section == 2 || section == 5) && artist.rfind("Artist 1", 0) == 0 && titled)
      expected.insert("Name " + std::to_string(i));
  }
  ASSERT_GT(expected.size(), 10u);
  EXPECT_EQ(General(" 1 2 5 ", {.artist = "Artist 1", .title = "song 1"}), expected);
  EXPECT_EQ(NullFlags(), 0);

  // The title list: the same rows in the same order as one look-up and
  // insert per title.
  auto listed = [&] {
    std::vector<std::string> out;
    auto list = db->OpenRecordset("select longtitle from title_list order by rowid");
    for (; !list->Eof(); list->MoveNext()) out.push_back(vb::NzStr(list->GetField(0)));
    return out;
  };
  db->Execute("delete * from title_list");
  auto records = db->OpenRecordset("select * from mediadata where sectionnumber in (1, 2, 3, 5) order by rowid");
  for (; !records->Eof(); records->MoveNext())
    for (int t = 1; t <= 40; ++t) {
      const std::string value = vb::NzStr(records->GetField("title" + std::to_string(t)));
      if (!value.empty()) tvn::reports::AddLongTitle(db, value);
    }
  records->Close();
  const std::vector<std::string> oneByOne = listed();
  ASSERT_GT(oneByOne.size(), 300u);
  const tvn::reports::LimitList given = tvn::reports::BuildTitleList(db, " 1 2 3 5 ");
  EXPECT_EQ(listed(), oneByOne);
  // The titles handed to the wizard's box: the list as the engine reads it
  // by title.
  std::vector<std::string> byTitle, handed;
  auto read = db->OpenRecordset("select * from title_list order by longtitle");
  for (; !read->Eof(); read->MoveNext()) byTitle.push_back(vb::NzStr(read->GetField("longtitle")));
  for (size_t i = 0; i < given.Size(); ++i) handed.emplace_back(given.At(i));
  EXPECT_EQ(handed, byTitle);

  // Captions: every record carries its own section's.
  db->Execute("update cassettecaption set f1 = 'Producer''s', f10 = 'Last'");
  db->Execute("update scdcaption set f1 = 'Platform'");
  tvn::reports::ApplySectionCaptions(db);
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where sectionnumber = 1 and f1c = 'Producer''s' and "
                                   "f10c = 'Last'"),
            tvntest::CountRows(db, "select * from mediadata where sectionnumber = 1"));
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where sectionnumber = 9 and f1c = 'Platform'"),
            tvntest::CountRows(db, "select * from mediadata where sectionnumber = 9"));
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where f2c is null"), 0);
}

TEST_F(Selection, ReportTableGainsTheUserFields) {
  db->DeleteTableDef("report");
  db->Execute("create table report (name text(50), cat_number text(50))");
  tvn::reports::WidenReportTable(db);
  EXPECT_TRUE(tvntest::HasField(db, "report", "f1"));
  EXPECT_TRUE(tvntest::HasField(db, "report", "f10c"));
  tvn::reports::WidenReportTable(db);  // a second time changes nothing
  Item(6, "Film", {{"cat_number", "T1"}});
  ctx.SectionList = " 6 ";
  tvn::reports::MarkWizardSelection(db, ctx, false, 6, {});
  EXPECT_EQ(tvntest::CountRows(db, "select * from report where cat_number = 'Film'"), 1);
}

// ------------------------------------------------------ standard selector

class StandardSelection : public Selection {
 protected:
  std::set<std::string> Standard(int choice, int limit = 1, const std::string& value = "") {
    tvn::reports::MarkStandardSelection(db, ctx, choice, limit, value);
    return Marked();
  }
};

TEST_F(StandardSelection, EachChoiceSetsTypeTitleAndSections) {
  for (int s = 1; s <= 9; ++s) Item(s, std::string("in ") + kSections[s]);
  struct Expect {
    int choice;
    int type;
    const char* title;
    std::set<int> sections;
  };
  const Expect expected[] = {
      {1, 6, "Cassettes", {1}},      {2, 6, "Compact Disks", {2}},  {14, 6, "MiniDisc", {7}},
      {15, 6, "MP3", {8}},           {4, 6, "LPs", {5}},            {5, 6, "Video Tapes", {6}},
      {3, 6, "DVDs", {3}},           {0, 6, "Laser Discs", {4}},    {6, 6, "Software", {9}},
      {8, 8, "", {}},                {9, 9, "", {}},                {10, 10, "", {}},
      {13, 7, "", {}},               {7, 6, "All Media", {1, 2, 3, 4, 5, 6, 7, 8}},
      {11, 6, "All Audio", {8, 7, 1, 2, 5}},                        {12, 6, "All Video", {6, 3, 4}},
      {16, 16, "Video Tapes", {6}},  {17, 17, "Video Tapes", {6}}};
  int count = 0;
  tvn::reports::StandardChoices(count);
  EXPECT_EQ(count, 18);
  for (const Expect& e : expected) {
    ctx.ReportTitle.clear();
    ctx.ReportSubtitle = "for old";
    Names want;
    for (int s : e.sections) want.insert(std::string("in ") + kSections[s]);
    EXPECT_EQ(Standard(e.choice), want) << e.choice;
    EXPECT_EQ(ctx.ReportType, e.type) << e.choice;
    EXPECT_EQ(ctx.ReportTitle, e.title) << e.choice;
    EXPECT_EQ(ctx.ReportSubtitle, "") << e.choice;
    EXPECT_EQ(ctx.SectionList, e.choice == 5 || e.choice >= 16 ? " 6 " : "") << e.choice;
    EXPECT_EQ(NullFlags(), 0);
  }
}

TEST_F(StandardSelection, LimitsCompareWholeValuesExceptNameAndTitle) {
  Item(1, "Smith tape", {{"artist2", "smith"}, {"category", "Jazz"}, {"labelstudio", "Blue"}});
  Item(1, "Smithers tape", {{"artist1", "Smithers"}, {"title33", "A Night"}});
  Item(2, "Smith disc", {{"artist1", "Smith"}});
  Item(1, "O'Neil's", {{"title1", "anthem"}});
  ctx.ReportSubtitle = "for Smith";
  EXPECT_EQ(Standard(1, 2, "Smith"), (Names{"Smith tape"}));
  EXPECT_EQ(ctx.ReportSubtitle, "for Smith") << "a limit keeps the subtitle";
  EXPECT_EQ(Standard(1, 3, "jazz"), (Names{"Smith tape"}));
  EXPECT_EQ(Standard(1, 3, "Jaz"), Names{});
  EXPECT_EQ(Standard(1, 4, "Blue"), (Names{"Smith tape"}));
  EXPECT_EQ(Standard(7, 0, "Smith"), (Names{"Smith tape", "Smithers tape", "Smith disc"}));
  EXPECT_EQ(Standard(1, 0, "O'Nei"), (Names{"O'Neil's"}));
  Item(1, "\xF0\xA0\xAE\xB7\xE9\x87\x8E tape");
  EXPECT_EQ(Standard(1, 0, "\xF0\xA0\xAE\xB7\xE9\x87\x8E"), (Names{"\xF0\xA0\xAE\xB7\xE9\x87\x8E tape"}));
  EXPECT_EQ(Standard(1, 5, "a"), (Names{"Smithers tape", "O'Neil's"}));
  EXPECT_EQ(NullFlags(), 0);
}

TEST_F(StandardSelection, TapeChoicesAndCaptions) {
  Item(6, "Film A", {{"cat_number", "V1"}, {"TapeIndex", "1"}, {"f1c", "old"}});
  Item(6, "Film B", {{"cat_number", "V1"}, {"TapeIndex", "2"}});
  Item(6, "Loose");
  Item(3, "Odd section", {{"f1c", "kept"}});
  db->Execute("update mediadata set section = 'Unknown' where name = 'Odd section'");
  db->Execute("update vtcaption set f1 = 'Director'");
  EXPECT_EQ(Standard(5, 6, "V1"), (Names{"Film A", "Film B"}));
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where pr1 and f1c = 'Director'"), 2);
  EXPECT_EQ(Standard(7), (Names{"Film A", "Film B", "Loose", "Odd section"}));
  EXPECT_EQ(tvntest::CountRows(db, "select * from mediadata where name = 'Odd section' and f1c = 'kept'"), 1);

  Standard(16);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"V1:Film A,Film B"}));
  Standard(17);
  EXPECT_EQ(Labels(), (std::vector<std::string>{"Film A:", "Film B:", "Loose:"}));
  Standard(8);
  EXPECT_EQ(tvntest::CountRows(db, "select * from report"), 0);
}

}  // namespace
