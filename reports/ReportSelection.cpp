#include "reports/ReportSelection.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <vector>

#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace tvn::reports {

namespace {

const char* const kNoLimits = "***NO LIMITS***";

// Runs work inside one transaction: committed when it ends normally,
// undone when it fails, so an error never leaves half of a group of
// statements applied.
template <class Work>
void InOneTransaction(const dao::DatabasePtr& db, Work work) {
  db->BeginTrans();
  try {
    work();
  } catch (...) {
    db->Rollback();
    throw;
  }
  db->CommitTrans();
}

bool HasTable(const dao::DatabasePtr& db, const std::string& name) {
  for (const std::string& t : db->TableDefNames())
    if (vb::CompareNoCase(t, name) == 0) return true;
  return false;
}

// The ten captions of a caption table's first row ("" for a Null), or
// nothing when the table is missing or holds no row: such a section keeps
// the captions its records carry.
std::optional<std::vector<std::string>> ReadCaptions(const dao::DatabasePtr& db, const std::string& table) {
  if (!HasTable(db, table)) return std::nullopt;
  dao::RecordsetPtr rs = db->OpenRecordset(table);
  std::optional<std::vector<std::string>> out;
  if (!(rs->BOF() && rs->Eof())) {
    rs->MoveFirst();
    out.emplace();
    for (int i = 1; i <= 10; ++i) out->push_back(vb::NzStr(rs->GetField("f" + std::to_string(i))));
  }
  rs->Close();
  return out;
}

std::string SectionCondition(const std::string& sectionList) {
  return "instr(1,'" + sectionList + "',' ' & sectionnumber & ' ') > 0";
}

}  // namespace

dao::RowUpdate ApplyFirstFilter(const std::string& clause) { return {"pr1 = " + clause, "pr1"}; }

dao::RowUpdate ApplySecondFilter(const std::string& clause) { return {"pr2 = true", "(" + clause + ") and pr1"}; }

void FillReportTable(const dao::DatabasePtr& db, const Tick& tick) {
  db->Execute("delete * from report");
  dao::TableDefPtr def = db->TableDefs("mediadata");
  dao::RecordsetPtr from = db->OpenRecordset("select * from mediadata where pr1 and sectionnumber = 6");
  dao::RecordsetPtr to = db->OpenRecordset("report", dao::dbOpenTable);
  if (!(from->BOF() && from->Eof())) {
    // A work table of an older layout may lack a field; its copy is left out
    // rather than ending the report.
    std::vector<std::string> fields;
    for (const dao::FieldDef& f : def->Fields)
      if (to->HasField(f.Name)) fields.push_back(f.Name);
    InOneTransaction(db, [&] {
      from->MoveFirst();
      while (!from->Eof()) {
        to->AddNew();
        for (const std::string& f : fields) to->SetField(f, from->GetField(f));
        to->Update();
        from->MoveNext();
        if (tick) tick();
      }
    });
  }
  from->Close();
  to->Close();
}

void GatherTapeLabels(const dao::DatabasePtr& db, const Tick& tick) {
  dao::RecordsetPtr rs = db->OpenRecordset("select * from report order by cat_number,tapeindex");
  if (rs->BOF() && rs->Eof()) {
    rs->Close();
    return;
  }
  InOneTransaction(db, [&] {
    std::string tape;
    bool haveTape = false;
    dao::Recordset::BookmarkType labelRow = 0;
    int slot = 1;
    rs->MoveFirst();
    while (!rs->Eof()) {
      std::string number = vb::NzStr(rs->GetField("cat_number"));
      if (number.empty()) {
        rs->Delete();
      } else {
        // The order ignores letter case, so the grouping does too: "t1" and
        // "T1" are one tape.
        if (!haveTape || vb::CompareNoCase(number, tape) != 0) {
          tape = number;
          haveTape = true;
          labelRow = rs->Bookmark();
          slot = 1;
          for (int i = 1; i <= 8; ++i) {
            rs->Edit();
            rs->SetField("title" + std::to_string(i), std::string());
            rs->Update();
          }
        }
        if (slot >= 9) {
          rs->Delete();  // a label holds eight recordings
        } else {
          dao::Recordset::BookmarkType here = rs->Bookmark();
          dao::Variant name = rs->GetField("Name");
          rs->SetBookmark(labelRow);
          rs->Edit();
          rs->SetField("title" + std::to_string(slot), name);
          rs->Update();
          rs->SetBookmark(here);
          if (slot > 1) rs->Delete();
          ++slot;
        }
      }
      rs->MoveNext();
      if (tick) tick();
    }
  });
  rs->Close();
}

void AddLongTitle(const dao::DatabasePtr& db, const std::string& title) {
  dao::RecordsetPtr rs = db->OpenRecordset("select * from title_list where longtitle = '" + dao::SqlEscape(title) + "'");
  if (rs->BOF() && rs->Eof()) {
    rs->AddNew();
    rs->SetField("longtitle", title);
    rs->Update();
  }
  rs->Close();
}

namespace {

// The titles listed so far, each once by its upper case (as the database
// compares texts, letter case aside), in an open table of their positions
// in the list: a node-based set of a million keys spent most of its time
// allocating and chasing them.
class TitleSet {
 public:
  explicit TitleSet(LimitList& list) : list_(list), slots_(1024, kEmpty) {}

  // Adds value to the list unless a title equal to it in upper case is
  // there already; true when it was added.
  bool Add(std::string_view value) {
    key_ = vb::UpperCase(value);
    const std::uint32_t hash = static_cast<std::uint32_t>(std::hash<std::string_view>()(key_));
    size_t at = Find(hash);
    while (slots_[at] != kEmpty) {
      const std::uint32_t index = slots_[at];
      if (hashes_[index] == hash && vb::UpperCase(list_.At(index)) == key_) return false;
      at = (at + 1) & (slots_.size() - 1);
    }
    slots_[at] = static_cast<std::uint32_t>(hashes_.size());
    hashes_.push_back(hash);
    list_.Add(value);
    // Kept at most three quarters full: ten million titles fit 64 MB of slots.
    if (hashes_.size() * 4 > slots_.size() * 3) Grow();
    return true;
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  size_t Find(std::uint32_t hash) const { return hash & (slots_.size() - 1); }
  void Grow() {
    slots_.assign(slots_.size() * 2, kEmpty);
    for (std::uint32_t i = 0; i < hashes_.size(); ++i) {
      size_t at = Find(hashes_[i]);
      while (slots_[at] != kEmpty) at = (at + 1) & (slots_.size() - 1);
      slots_[at] = i;
    }
  }

  LimitList& list_;
  std::vector<std::uint32_t> slots_;
  std::vector<std::uint32_t> hashes_;  // of each listed title's upper case
  std::string key_;
};

}  // namespace

LimitList ReadTitleList(const dao::DatabasePtr& db, const std::string& sectionList, const Tick& tick) {
  // One pass over the records with the titles already listed kept in
  // memory: a look-up in the table per title made the list quadratic in
  // the collection. The key is the text as the database compares it (letter
  // case aside), so of two spellings the first in record order stays, as
  // adding them one by one left it.
  std::string columns;
  for (int t = 1; t <= 40; ++t) columns += (t > 1 ? "," : "") + std::string("title") + std::to_string(t);
  LimitList found;
  TitleSet listed(found);
  std::string other;
  auto ticked = std::chrono::steady_clock::now();
  // The rows stream by without being held as a recordset: a recordset
  // keeps a key per row and copies every row into blocks of values.
  db->ForEachRow("select " + columns + " from mediadata where " + SectionCondition(sectionList),
                 [&](const std::vector<dao::Variant>& row) {
                   if (tick && std::chrono::steady_clock::now() - ticked > std::chrono::milliseconds(50)) {
                     tick();
                     ticked = std::chrono::steady_clock::now();
                   }
                   for (const dao::Variant& cell : row) {
                     if (cell.isNull()) continue;
                     const std::string_view value =
                         cell.isString() ? std::string_view(cell.rawString()) : (other = vb::NzStr(cell));
                     if (!value.empty()) listed.Add(value);
                   }
                   return true;
                 });
  found.Trim();
  return found;
}

void StoreTitleList(const dao::DatabasePtr& db, const LimitList& titles) {
  InOneTransaction(db, [&] {
    db->Execute("delete * from title_list");
    db->AppendTexts("title_list", "longtitle", titles.Size(), [&titles](size_t i) { return titles.Stored(i); });
  });
}

LimitList BuildTitleList(const dao::DatabasePtr& db, const std::string& sectionList, const Tick& tick) {
  LimitList titles = ReadTitleList(db, sectionList, tick);
  StoreTitleList(db, titles);
  // The list as "select * from title_list order by longtitle" reads it: no
  // two titles are equal to the text collation (they were kept once each,
  // letter case aside), so their letter order is the only one.
  titles.SortByLetters();
  return titles;
}

void ApplySectionCaptions(const dao::DatabasePtr& db, const Tick& tick) {
  static const std::vector<std::string> tables = {"cassettecaption", "cdcaption", "dvdcaption",
                                                  "ldcaption",       "lpcaption", "vtcaption",
                                                  "mdcaption",       "mpcaption", "scdcaption"};
  std::vector<dao::RowUpdate> updates;
  for (size_t s = 1; s <= tables.size(); ++s) {
    auto captions = ReadCaptions(db, tables[s - 1]);
    if (!captions) continue;
    dao::RowUpdate update;
    // Only the records whose captions differ are written: the wizard runs
    // this each time it opens, and rewriting every record of a large
    // collection made opening it slow. The comparison is byte for byte
    // (as blobs, outside any collation), so a caption whose letter case
    // changed is still written, and a missing caption (Null) becomes the
    // empty text as before.
    std::string differs;
    for (int i = 1; i <= 10; ++i) {
      const std::string field = "f" + std::to_string(i) + "c";
      const std::string value = "'" + dao::SqlEscape((*captions)[static_cast<size_t>(i - 1)]) + "'";
      if (i > 1) {
        update.set += ", ";
        differs += " or ";
      }
      update.set += field + " = " + value;
      differs += "isnull(" + field + ") or cast(" + field + " as blob) <> cast(" + value + " as blob)";
    }
    update.where = "sectionnumber = " + std::to_string(s) + " and (" + differs + ")";
    updates.push_back(std::move(update));
  }
  if (updates.empty()) return;
  InOneTransaction(db, [&] { dao::UpdateInRowBatches(*db, "mediadata", updates, tick); });
}

void WidenReportTable(const dao::DatabasePtr& db) {
  dao::RecordsetPtr rs = db->OpenRecordset("report", dao::dbOpenTable);
  bool hasF1 = rs->HasField("f1");
  rs->Close();
  if (hasF1) return;
  dao::TableDefPtr def = db->TableDefs("report");
  for (int i = 1; i <= 10; ++i) {
    for (const std::string& name : {"f" + std::to_string(i), "f" + std::to_string(i) + "c"}) {
      dao::FieldDef f;
      f.Name = name;
      f.Type = dao::dbText;
      f.Size = 50;
      f.AllowZeroLength = true;
      try {
        def->AppendField(f);
      } catch (const dao::Error&) {
        // the field is there already
      }
    }
  }
}

namespace {
const char* const kNameless = "name & '' = ''";
}  // namespace

std::vector<std::int64_t> NamelessRecords(const dao::DatabasePtr& db) {
  std::vector<std::int64_t> rows;
  db->ForEachRow(std::string("select rowid from mediadata where ") + kNameless, [&rows](const std::vector<dao::Variant>& row) {
    rows.push_back(static_cast<std::int64_t>(vb::CDbl(row[0])));
    return true;
  });
  return rows;
}

void FinishReport(const dao::DatabasePtr& db, ReportContext& ctx, const std::vector<std::int64_t>* nameless) {
  ctx.ReportTitle.clear();
  ctx.ReportSubtitle.clear();
  if (!nameless) {
    db->Execute(std::string("delete * from mediadata where ") + kNameless);
    return;
  }
  // Only the records found, each still without a name.
  for (size_t i = 0; i < nameless->size(); i += 500) {
    std::string ids;
    for (size_t j = i; j < nameless->size() && j < i + 500; ++j) ids += (j > i ? "," : "") + std::to_string((*nameless)[j]);
    db->Execute("delete * from mediadata where rowid in (" + ids + ") and " + kNameless);
  }
}

// ---------------------------------------------------------------- wizard

namespace {

// A limit box's value without the blanks around it; the no-limit entry,
// in any letter case, is no value.
std::string LimitValueOf(std::string& box, bool trim) {
  if (vb::UCase(vb::Trim(box)) == kNoLimits) box.clear();
  return trim ? vb::Trim(box) : box;
}

std::string Prefix(const std::string& field, const std::string& value) {
  return "left(" + field + "," + std::to_string(vb::Len(value)) + ") ='" + dao::SqlEscape(value) + "'";
}

}  // namespace

void MarkWizardSelection(const dao::DatabasePtr& db, ReportContext& ctx, bool general, int special,
                         WizardLimits limits, const Tick& tick) {
  // Every statement below changes each record by its own fields alone, so
  // they run together a batch of records at a time.
  std::vector<dao::RowUpdate> updates{{"pr1 = false, pr2 = false", ""}};
  if (general) {
    updates.push_back({"pr1 = " + SectionCondition(ctx.SectionList), ""});
    ctx.ReportType = 6;
  } else if (special > 4) {
    updates.push_back({"pr1 = " + SectionCondition(ctx.SectionList), ""});
  }

  if (ctx.ReportType == 6 && general) {
    std::string artist = LimitValueOf(limits.artist, true);
    std::string category = LimitValueOf(limits.category, true);
    std::string label = LimitValueOf(limits.label, true);
    std::string name = LimitValueOf(limits.name, false);
    std::string title = LimitValueOf(limits.title, true);
    std::string tape = LimitValueOf(limits.tapeIndex, true);

    if (!artist.empty()) {
      std::string clause = " (";
      for (int i = 1; i <= 4; ++i) {
        if (i > 1) clause += " or ";
        clause += Prefix("artist" + std::to_string(i), artist);
      }
      updates.push_back(ApplyFirstFilter(clause + ")"));
    }

    std::string clause;
    auto add = [&](const std::string& part) {
      if (!clause.empty()) clause += " and ";
      clause += part;
    };
    if (!category.empty()) add(" (" + Prefix("category", category) + ")");
    if (!label.empty()) add(" (" + Prefix("labelstudio", label) + ")");
    if (!name.empty()) add(" (" + Prefix("name", name) + ")");
    if (!tape.empty()) add(" (cat_number ='" + dao::SqlEscape(tape) + "')");
    if (!clause.empty()) updates.push_back(ApplyFirstFilter(clause));

    if (!title.empty()) {
      for (int t = 1; t <= 40; ++t)
        updates.push_back(ApplySecondFilter(" " + Prefix("title" + std::to_string(t), title)));
      updates.push_back({"pr1 = false", "not pr2 and pr1"});
    }
  }
  InOneTransaction(db, [&] { dao::UpdateInRowBatches(*db, "mediadata", updates, tick); });

  if (!general && special > 4) FillReportTable(db, tick);
  if (!general && special == 5) GatherTapeLabels(db, tick);
  if (!general && special == 6) db->Execute("update report set cat_number = name");
}

// -------------------------------------------------------------- selector

namespace {

const StandardChoice kChoices[] = {
    {13, "Compact Disk Changer Report", 4830, 2370, 7, nullptr, nullptr},
    {1, "Cassette", 180, 1335, 6, "Cassettes", " sectionnumber = 1"},
    {2, "Compact Disk", 180, 1590, 6, "Compact Disks", " sectionnumber = 2"},
    {3, "DVD", 2115, 1590, 6, "DVDs", " sectionnumber = 3"},
    {0, "Laser Disc", 2115, 1830, 6, "Laser Discs", " sectionnumber = 4"},
    {4, "LP", 180, 2310, 6, "LPs", " sectionnumber = 5"},
    {14, "MiniDisk", 180, 1830, 6, "MiniDisc", " sectionnumber = 7"},
    {15, "MP3", 180, 2070, 6, "MP3", " sectionnumber = 8"},
    {16, "Video Tape Label - Ver 1", 195, 3405, 16, "Video Tapes", " sectionnumber = 6"},
    {17, "Video Tape Label - Ver 2", 3795, 3420, 17, "Video Tapes", " sectionnumber = 6"},
    {5, "Video Tape", 2115, 1335, 6, "Video Tapes", " sectionnumber = 6"},
    {6, "Software", 2115, 2070, 6, "Software", " sectionnumber = 9"},
    {7, "Span all sections except Software", 195, 2550, 6, "All Media", " sectionnumber <> 9"},
    {8, "Artists", 4830, 1455, 8, nullptr, nullptr},
    {9, "Category", 4830, 1785, 9, nullptr, nullptr},
    {10, "Label or Studio", 4830, 2100, 10, nullptr, nullptr},
    {11, "Span Cassette, CD, MiniDisc, MP3 and LP sections", 195, 2805, 6, "All Audio",
     " (sectionnumber = 8 or sectionnumber = 7 or sectionnumber = 1 or sectionnumber = 2 or sectionnumber = 5)"},
    {12, "Span DVD, Laser Disc, and Video Tape sections", 195, 3105, 6, "All Video",
     " (sectionnumber = 6 or sectionnumber = 3 or sectionnumber = 4)"},
};

// The caption table of a record's section text; "" when it has none.
std::string CaptionTableFor(const std::string& section) {
  static const std::map<std::string, std::string> tables = {
      {"Cassette", "cassettecaption"}, {"Compact Disc", "cdcaption"}, {"LP", "lpcaption"},
      {"DVD", "dvdcaption"},           {"Laser Disc", "ldcaption"},   {"Video Tape", "vtcaption"},
      {"Software", "scdcaption"},      {"MP3", "mpcaption"},          {"MiniDisc", "mdcaption"}};
  auto it = tables.find(section);
  return it == tables.end() ? std::string() : it->second;
}

// The selector's limit: entry i of its clauses (the title limit has forty).
std::vector<std::string> StandardLimitClauses(int limitChoice, const std::string& limitValue) {
  std::string n = std::to_string(vb::Len(limitValue));
  std::string v = dao::SqlEscape(limitValue);
  switch (limitChoice) {
    case 2:
      return {" (artist1 = '" + v + "' or artist2 = '" + v + "' or artist3 = '" + v + "' or artist4 = '" + v +
              "') and "};
    case 3:
      return {" category ='" + v + "' and "};
    case 4:
      return {" labelstudio ='" + v + "' and "};
    case 0:
      return {" left(name," + n + ") ='" + v + "' and "};
    case 5: {
      std::vector<std::string> out;
      for (int i = 1; i <= 40; ++i) out.push_back(" left(title" + std::to_string(i) + "," + n + ") ='" + v + "' and ");
      return out;
    }
    case 6:
      return {" cat_number ='" + v + "' and"};
    default:
      return {""};
  }
}

// Copies into each marked record the captions of its own section.
void CopyRecordCaptions(const dao::DatabasePtr& db, const Tick& tick) {
  std::map<std::string, std::optional<std::vector<std::string>>> seen;
  dao::RecordsetPtr rs = db->OpenRecordset("select * from mediadata where pr1");
  if (!(rs->BOF() && rs->Eof())) {
    InOneTransaction(db, [&] {
      rs->MoveFirst();
      while (!rs->Eof()) {
        std::string table = CaptionTableFor(vb::NzStr(rs->GetField("section")));
        if (!table.empty()) {
          auto it = seen.find(table);
          if (it == seen.end()) it = seen.emplace(table, ReadCaptions(db, table)).first;
          if (it->second) {
            rs->Edit();
            for (int i = 1; i <= 10; ++i)
              rs->SetField("f" + std::to_string(i) + "c", (*it->second)[static_cast<size_t>(i - 1)]);
            rs->Update();
          }
        }
        rs->MoveNext();
        if (tick) tick();
      }
    });
  }
  rs->Close();
}

}  // namespace

const StandardChoice* StandardChoices(int& count) {
  count = static_cast<int>(std::size(kChoices));
  return kChoices;
}

const StandardChoice* FindStandardChoice(int index) {
  for (const StandardChoice& c : kChoices)
    if (c.index == index) return &c;
  return nullptr;
}

void MarkStandardSelection(const dao::DatabasePtr& db, ReportContext& ctx, int reportChoice, int limitChoice,
                           const std::string& limitValue, const Tick& tick) {
  const StandardChoice* choice = FindStandardChoice(reportChoice);
  if (!choice) choice = FindStandardChoice(7);
  db->Execute("delete * from report");
  InOneTransaction(db, [&] { dao::UpdateInRowBatches(*db, "mediadata", {{"pr1 = false, pr2 = false", ""}}, tick); });
  ctx.ReportType = choice->reportType;
  // The report window's tape-number sort follows the report being made.
  ctx.SectionList = choice->condition && std::string(choice->condition) == " sectionnumber = 6" ? " 6 " : "";
  if (!choice->condition) {
    ctx.ReportSubtitle.clear();  // the utility and changer reports take no limit
    return;
  }
  if (limitChoice == 1) ctx.ReportSubtitle.clear();

  std::vector<std::string> clauses = StandardLimitClauses(limitChoice, limitValue);
  ctx.ReportTitle = choice->title;
  // Each statement changes a record by its own fields alone, so they run
  // together a batch of records at a time.
  std::vector<dao::RowUpdate> updates;
  for (const std::string& clause : clauses) {
    updates.push_back({"pr1 = " + clause + choice->condition, ""});
    updates.push_back({"pr1 = true", "pr2"});
    updates.push_back({"pr2 = pr1", ""});
  }
  InOneTransaction(db, [&] { dao::UpdateInRowBatches(*db, "mediadata", updates, tick); });
  CopyRecordCaptions(db, tick);

  if (ctx.ReportType == 16 || ctx.ReportType == 17) {
    FillReportTable(db, tick);
    if (ctx.ReportType == 16)
      GatherTapeLabels(db, tick);
    else
      db->Execute("update report set cat_number = name");
  }
}

}  // namespace tvn::reports
