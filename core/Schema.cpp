// The layout of every file the program keeps, in one place. The templates
// that a new data folder needs are written from these definitions, so the
// program never depends on data files shipped beside it.
#include "core/Schema.h"

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <unistd.h>

#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"

#ifndef TVN_VERSION_MAJOR
#define TVN_VERSION_MAJOR 6
#endif
#ifndef TVN_VERSION_MINOR
#define TVN_VERSION_MINOR 0
#endif
#ifndef TVN_VERSION_REVISION
#define TVN_VERSION_REVISION 12
#endif

namespace tvn::schema {

namespace {

using dao::FieldDef;
using dao::IndexDef;
using dao::TableDef;

// Every Text and Memo field the program creates accepts "": the windows
// write empty text into them.
FieldDef Field(const std::string& name, int type, int size = 0) {
  FieldDef f;
  f.Name = name;
  f.Type = type;
  f.Size = type == dao::dbText ? size : 0;
  f.AllowZeroLength = type == dao::dbText || type == dao::dbMemo;
  return f;
}

void Add(TableDef& t, const std::string& name, int type, int size = 0) {
  t.Fields.push_back(Field(name, type, size));
}

void AddIndex(TableDef& t, const std::string& name, std::vector<std::string> fields,
              bool unique = false) {
  IndexDef i;
  i.Name = name;
  i.Fields = std::move(fields);
  i.Unique = unique;
  t.Indexes.push_back(std::move(i));
}

void AddNumbered(TableDef& t, const std::string& prefix, int from, int to, int type, int size,
                 const std::string& suffix = "") {
  for (int n = from; n <= to; ++n) Add(t, prefix + std::to_string(n) + suffix, type, size);
}

// The section flags of the lookup tables.
void AddSectionFlags(TableDef& t) {
  for (const char* f : {"cas", "cd", "dvd", "vt", "lp", "scd"}) Add(t, f, dao::dbBoolean);
}

// The item fields of an earlier-layout section table, in the order in which
// the upgrade creates a missing one.
TableDef SectionTable(const std::string& name, bool mp3) {
  TableDef t(name);
  Add(t, "name", dao::dbText, 50);
  Add(t, "category", dao::dbText, 50);
  Add(t, "labelstudio", dao::dbText, 50);
  if (mp3) Add(t, "filelocation", dao::dbText, 100);
  AddNumbered(t, "artist", 1, 4, dao::dbText, 50);
  Add(t, "cat_number", dao::dbText, 50);
  Add(t, "notes", dao::dbMemo);
  Add(t, "picture", dao::dbText, 50);
  Add(t, "date_aquired", dao::dbDate);
  AddNumbered(t, "title", 1, 40, dao::dbText, 60);
  AddNumbered(t, "extra", 1, 3, dao::dbText, 50);
  Add(t, "Total_Time", dao::dbText, 10);
  Add(t, "serial", dao::dbText, 50);
  Add(t, "slot", dao::dbInteger);
  Add(t, "section", dao::dbText, 50);
  Add(t, "track_time", dao::dbText, 10);
  Add(t, "track_num", dao::dbInteger);
  AddNumbered(t, "f", 1, 10, dao::dbText, 50);
  Add(t, "Format_Type", dao::dbText, 50);
  Add(t, "GrpNum", dao::dbByte);
  Add(t, "Player", dao::dbText, 10);
  for (const char* i : {"artist1", "artist2", "artist3", "artist4", "category", "date_aquired",
                        "labelstudio", "name"})
    AddIndex(t, i, {i});
  return t;
}

TableDef CaptionTable(const std::string& name) {
  TableDef t(name);
  AddNumbered(t, "f", 1, 10, dao::dbText, 50);
  return t;
}

// The item fields of mediadata (also the columns of the report work table).
void AddItemFields(TableDef& t) {
  Add(t, "name", dao::dbText, 50);
  Add(t, "section", dao::dbText, 50);
  Add(t, "SectionNumber", dao::dbByte);
  Add(t, "category", dao::dbText, 50);
  Add(t, "labelstudio", dao::dbText, 50);
  AddNumbered(t, "artist", 1, 4, dao::dbText, 50);
  Add(t, "cat_number", dao::dbText, 50);
  Add(t, "notes", dao::dbMemo);
  Add(t, "picture", dao::dbText, 50);
  Add(t, "date_aquired", dao::dbDate);
  AddNumbered(t, "title", 1, 40, dao::dbText, 60);
  AddNumbered(t, "extra", 1, 3, dao::dbText, 50);
  Add(t, "Total_Time", dao::dbText, 10);
  Add(t, "serial", dao::dbText, 50);
  Add(t, "slot", dao::dbInteger);
  Add(t, "track_time", dao::dbText, 10);
  Add(t, "track_num", dao::dbInteger);
  AddNumbered(t, "f", 1, 10, dao::dbText, 50);
  Add(t, "Format_Type", dao::dbText, 50);
  Add(t, "GrpNum", dao::dbByte);
  Add(t, "Player", dao::dbText, 10);
  Add(t, "filelocation", dao::dbText, 100);
  Add(t, "QRating", dao::dbText, 10);
  Add(t, "TapeIndex", dao::dbText, 10);
  Add(t, "format_type2", dao::dbText, 50);
  Add(t, "rating", dao::dbText, 4);       // the record editor stores at most 4 characters
  Add(t, "RYear", dao::dbDate);
  Add(t, "SRatio", dao::dbText, 10);
  Add(t, "PRatio", dao::dbText, 10);
  Add(t, "sides", dao::dbDouble);         // any numeric text the editor accepts
  Add(t, "Tape_Speed", dao::dbText, 2);   // the record editor stores at most 2 characters
  Add(t, "homepage", dao::dbText, 50);
  Add(t, "emailid", dao::dbText, 50);
  Add(t, "pr1", dao::dbBoolean);
  Add(t, "pr2", dao::dbBoolean);
  // Captions of f1..f10 copied in by the report selections.
  AddNumbered(t, "f", 1, 10, dao::dbText, 50, "c");
}

TableDef ArtistsTable() {
  TableDef t("artists");
  Add(t, "artist_name", dao::dbText, 50);
  Add(t, "Artist_Age", dao::dbDouble);
  Add(t, "artist_nationality", dao::dbText, 255);
  Add(t, "affiliation", dao::dbText, 255);
  Add(t, "artist_notes", dao::dbMemo);
  Add(t, "Picture", dao::dbText, 255);
  AddSectionFlags(t);
  AddIndex(t, "artist_name", {"artist_name"});
  return t;
}

TableDef CategoryTable() {
  TableDef t("category");
  Add(t, "category", dao::dbText, 50);
  AddSectionFlags(t);
  AddIndex(t, "category", {"category"});
  return t;
}

TableDef LabelStudioTable() {
  TableDef t("labelstudio");
  Add(t, "LabelStudio_Name", dao::dbText, 50);
  Add(t, "LabelStudio_Location", dao::dbText, 255);
  Add(t, "LabelStudio_Notes", dao::dbMemo);
  Add(t, "LSEmail", dao::dbText, 255);
  Add(t, "lswww", dao::dbText, 255);
  AddSectionFlags(t);
  AddIndex(t, "name", {"LabelStudio_Name"});
  return t;
}

TableDef AdminTable() {
  TableDef t("admin");
  Add(t, "Ver", dao::dbText, 50);
  Add(t, "Extra", dao::dbText, 50);
  return t;
}

TableDef ReportTable() {
  TableDef t("report");
  AddItemFields(t);
  AddIndex(t, "TapeNum", {"cat_number", "TapeIndex"});
  return t;
}

TableDef TitleListTable() {
  TableDef t("title_list");
  Add(t, "LongTitle", dao::dbText, 60);
  return t;
}

// The tables both layouts share, after the section tables.
void AddSharedTables(std::vector<TableDef>& out) {
  out.push_back(ArtistsTable());
  out.push_back(CategoryTable());
  out.push_back(LabelStudioTable());
  for (const auto& c : CaptionTableNames()) out.push_back(CaptionTable(c));
  out.push_back(AdminTable());
  out.push_back(ReportTable());
  out.push_back(TitleListTable());
}

// Creates the file under a temporary name and moves it into place only
// when it is complete, so an interrupted start never leaves half a template.
template <typename Fill>
void CreateFile(const std::string& path, const std::vector<TableDef>& tables, Fill fill) {
  std::string work = path + ".new" + std::to_string(::getpid());
  if (vb::FileExists(work)) vb::Kill(work);
  try {
    dao::DatabasePtr db = dao::DBEngine::Workspaces(0).CreateDatabase(work);
    db->BeginTrans();
    for (const auto& t : tables) db->AppendTableDef(t);
    fill(*db);
    db->CommitTrans();
    db->Close();
    vb::Name(work, path);
  } catch (...) {
    if (vb::FileExists(work)) vb::Kill(work);
    throw;
  }
}

void FillCaptionRow(dao::Database& db, const std::string& table) {
  auto rs = db.OpenRecordset(table);
  rs->AddNew();
  for (int n = 1; n <= 10; ++n)
    rs->SetField("f" + std::to_string(n), "My Field " + std::to_string(n));
  rs->Update();
  rs->Close();
}

void AddRow(dao::Database& db, const std::string& table,
            const std::vector<std::pair<std::string, dao::Variant>>& values) {
  auto rs = db.OpenRecordset(table);
  rs->AddNew();
  for (const auto& [k, v] : values) rs->SetField(k, v);
  rs->Update();
  rs->Close();
}

// The tips of the tips window, numbered from 1 without gaps.
const std::array<const char*, 24> kTips = {
    "Each collection keeps its items in nine sections: Cassettes, Compact Discs, DVDs, Laser Discs, "
    "LPs, Video Tapes, MiniDisc, MP3 and Software. Pick a section on the section bar to see its titles.",
    "To add an item, press Add on the toolbar, fill in the fields and press File. Cancel add leaves "
    "the record as it was.",
    "Only the name of an item is required. If the section already holds the same name, Tavolin adds "
    "\"- 2\", \"- 3\" and so on to the new item's name.",
    "The letter bar jumps to the titles that begin with a letter, and shows which letters have titles "
    "in the section.",
    "The Artists Manager, Category Manager and Label/Studio Manager on the Utilities menu keep the "
    "lists that feed the record editor's drop-down boxes.",
    "Renaming an artist, category or label/studio in its manager changes every record that names it.",
    "The \"Use With\" boxes of a lookup entry decide in which sections the entry is offered.",
    "Double-click the caption of one of the ten user fields to give it a name of your own. Each "
    "section keeps its own captions.",
    "The quick display (F2 on the View menu) shows the section's records in a grid that you can "
    "search and sort.",
    "The View menu narrows the title list to the records of one artist, category, label/studio, "
    "format or tape number. \"Display all records\" brings every record back.",
    "Video tapes can be sorted by tape number and tape index with \"Display Records Using Tape #/Tape "
    "Index # Sort\" on the View menu.",
    "The Report Wizard prints and previews reports of one or more sections, limited by artist, "
    "category, label/studio, name, title or tape number.",
    "Reports can be saved as report documents and exported to PDF or HTML from the report window.",
    "The Compact Disk Changer Report lists where each disc sits in your changers, by artist, by "
    "changer or by group number.",
    "The video tape label reports print labels for your tapes with the tape number and up to eight "
    "titles each.",
    "The Collection Manager (Ctrl+M) creates new collections and switches between them. The system "
    "collection \"My Collection\" cannot be deleted.",
    "Pictures of items and artists are kept in the pics folder. A picture chosen elsewhere is copied "
    "there when you agree.",
    "With \"Use Smart Combo boxes\" checked on the File menu, the drop-down boxes complete what you "
    "type from their lists.",
    "Press F7 in a field to check its spelling, and F8 to look up the selected word in the thesaurus.",
    "The double-quote character cannot be used in text fields; Tavolin removes it as you type.",
    "Type a four-digit year in the release year box of a video and Tavolin stores it as the first of "
    "January of that year.",
    "\"Compact Current Database\" on the Utilities menu makes the collection file smaller. Make a copy "
    "of the file first.",
    "The launcher opens the media catalogue and the game catalogue, which keeps your video games by "
    "console.",
    "To see these tips again, choose Tips on the Help menu. Tick \"Do not display  at startup\" to "
    "stop them at start.",
};

}  // namespace

std::string VersionText() {
  return std::to_string(VersionMajor()) + std::to_string(VersionMinor()) +
         std::to_string(VersionRevision());
}

const std::vector<std::string>& SectionTableNames() {
  static const std::vector<std::string> names = {"cassette", "Compact_Disk", "dvd", "ld", "lp",
                                                 "vt",       "minidisc",     "mp3", "scd"};
  return names;
}

const std::vector<std::string>& CaptionTableNames() {
  static const std::vector<std::string> names = {
      "cassettecaption", "cdcaption", "dvdcaption", "ldcaption", "lpcaption",
      "vtcaption",       "mdcaption", "mpcaption",  "scdcaption"};
  return names;
}

const std::vector<std::string>& SectionDisplayNames() {
  static const std::vector<std::string> names = {"Cassette", "Compact Disc", "DVD",
                                                 "Laser Disc", "LP", "Video Tape",
                                                 "MiniDisc", "MP3", "Software"};
  return names;
}

std::vector<dao::TableDef> CollectionTables() {
  std::vector<TableDef> out;
  TableDef media("mediadata");
  AddItemFields(media);
  for (const char* i : {"artist1", "artist2", "artist3", "artist4", "category", "date_aquired",
                        "labelstudio", "name", "SectionNumber"})
    AddIndex(media, i, {i});
  // A section's titles in name order, and one name within a section, are
  // what the catalogue window asks for most: one index serves both.
  AddIndex(media, "SectionName", {"SectionNumber", "name"});
  out.push_back(std::move(media));
  AddSharedTables(out);
  return out;
}

std::vector<dao::TableDef> EarlierCollectionTables() {
  std::vector<TableDef> out;
  for (const auto& name : SectionTableNames()) {
    TableDef t = SectionTable(name, name == "mp3");
    if (name == "vt" || name == "dvd" || name == "ld") Add(t, "QRating", dao::dbText, 10);
    if (name == "vt") {
      Add(t, "TapeIndex", dao::dbText, 10);
      AddIndex(t, "TapeNum", {"cat_number", "TapeIndex"});
    }
    out.push_back(std::move(t));
  }
  AddSharedTables(out);
  return out;
}

std::vector<dao::TableDef> OriginalEarlierCollectionTables() {
  std::vector<TableDef> out;
  for (auto& t : EarlierCollectionTables()) {
    const std::string& n = t.Name;
    if (n == "minidisc" || n == "mp3" || n == "mdcaption" || n == "mpcaption" || n == "admin")
      continue;
    auto drop = [&t](std::initializer_list<const char*> fields) {
      for (const char* f : fields) {
        std::erase_if(t.Fields, [f](const FieldDef& d) { return d.Name == f; });
        std::erase_if(t.Indexes, [f](const IndexDef& i) {
          for (const auto& x : i.Fields)
            if (x == f) return true;
          return false;
        });
      }
    };
    if (n == "vt") drop({"QRating", "TapeIndex"});
    if (n == "dvd" || n == "ld") drop({"QRating"});
    if (n == "Compact_Disk") drop({"GrpNum", "Player"});
    if (n == "report") drop({"QRating", "TapeIndex", "filelocation", "GrpNum", "Player"});
    out.push_back(std::move(t));
  }
  return out;
}

std::vector<dao::TableDef> MasterListTables() {
  std::vector<TableDef> out;
  TableDef av("avcollections");
  Add(av, "dbname", dao::dbText, 255);
  Add(av, "AVCollection", dao::dbText, 255);
  AddIndex(av, "dbname", {"dbname"});
  AddIndex(av, "master", {"AVCollection"});
  out.push_back(std::move(av));
  TableDef pl("plcollections");
  Add(pl, "dbname", dao::dbText, 255);
  Add(pl, "plCollection", dao::dbText, 255);
  AddIndex(pl, "dbname", {"dbname"});
  AddIndex(pl, "master", {"plCollection"});
  out.push_back(std::move(pl));
  return out;
}

std::vector<dao::TableDef> TipsTables() {
  TableDef t("tips");
  Add(t, "tipnum", dao::dbInteger);
  Add(t, "Tip", dao::dbMemo);
  AddIndex(t, "tipnum", {"tipnum"}, true);
  return {t};
}

int TipCount() { return static_cast<int>(kTips.size()); }

void CreateCollectionFile(const std::string& path) {
  CreateFile(path, CollectionTables(), [](dao::Database& db) {
    for (const auto& c : CaptionTableNames()) FillCaptionRow(db, c);
    AddRow(db, "admin", {{"Ver", VersionText()}, {"Extra", ""}});
  });
}

void CreateEarlierCollectionFile(const std::string& path) {
  CreateFile(path, EarlierCollectionTables(), [](dao::Database& db) {
    for (const auto& c : CaptionTableNames()) FillCaptionRow(db, c);
    AddRow(db, "admin", {{"Ver", VersionText()}, {"Extra", ""}});
  });
}

void CreateOriginalEarlierCollectionFile(const std::string& path) {
  CreateFile(path, OriginalEarlierCollectionTables(), [](dao::Database& db) {
    for (const auto& c : CaptionTableNames())
      if (c != "mdcaption" && c != "mpcaption") FillCaptionRow(db, c);
  });
}

void CreateMasterListFile(const std::string& path) {
  CreateFile(path, MasterListTables(), [](dao::Database& db) {
    AddRow(db, "avcollections", {{"dbname", "av30.mdb"}, {"AVCollection", "My Collection"}});
    AddRow(db, "plcollections", {{"dbname", "MyGames.mdb"}, {"plCollection", "My Collection"}});
  });
}

void CreateTipsFile(const std::string& path) {
  CreateFile(path, TipsTables(), [](dao::Database& db) {
    auto rs = db.OpenRecordset("tips");
    for (int n = 1; n <= TipCount(); ++n) {
      rs->AddNew();
      rs->SetField("tipnum", dao::Variant::Integer(static_cast<std::int16_t>(n)));
      rs->SetField("Tip", kTips[n - 1]);
      rs->Update();
    }
    rs->Close();
  });
}


// ---- the game collection ("pl33e.mdb", copied to each game collection)

const std::vector<std::string>& GameCaptionTableNames() {
  static const std::vector<std::string> names = {"gbcaption",   "ncaption", "pscaption",
                                                 "segacaption", "xcaption", "ocaption"};
  return names;
}

const std::vector<std::string>& GameSectionNames() {
  static const std::vector<std::string> names = {"Gameboy", "Nintendo", "Sony", "Sega", "Microsoft", "Other"};
  return names;
}

namespace {

// A key the table numbers itself; a deleted row's number is never handed
// out again, so a new game never inherits a deleted one's links.
void AddAutoNumber(TableDef& t, const std::string& name) {
  FieldDef f = Field(name, dao::dbLong);
  f.AutoIncrement = true;
  t.Fields.push_back(f);
}

// A lookup list of the game catalogue: its key, its name and the six
// console flags that say in which sections the entry is offered.
TableDef GameLookupTable(const std::string& table, const std::string& key, const std::string& name) {
  TableDef t(table);
  AddAutoNumber(t, key);
  Add(t, name, dao::dbText, 50);
  for (const char* f : {"GBOn", "NTOn", "PSOn", "SegaOn", "XOn", "OtherOn"}) Add(t, f, dao::dbBoolean);
  AddIndex(t, "name", {name});
  return t;
}

TableDef GameLinkTable(const std::string& table, const std::string& key) {
  TableDef t(table);
  Add(t, "systemnumber", dao::dbLong);
  Add(t, key, dao::dbLong);
  AddIndex(t, "systemnumber", {"systemnumber"});
  AddIndex(t, key, {key});
  return t;
}

}  // namespace

std::vector<dao::TableDef> GameCollectionTables() {
  std::vector<TableDef> out;
  TableDef games("mediadata");
  AddAutoNumber(games, "systemnumber");
  Add(games, "name", dao::dbText, 50);
  Add(games, "sectionnumber", dao::dbByte);
  Add(games, "date_aquired", dao::dbDate);
  Add(games, "date_released", dao::dbDate);
  for (const char* f : {"publisher", "developer", "genre"}) Add(games, f, dao::dbLong);
  for (const char* f : {"bestfeature", "worstfeature", "homepage", "Format", "rating"})
    Add(games, f, dao::dbText, 50);
  Add(games, "players", dao::dbText, 10);
  AddNumbered(games, "f", 1, 10, dao::dbText, 50);
  for (const char* f : {"hintstips", "instructions", "notes"}) Add(games, f, dao::dbMemo);
  Add(games, "Picture", dao::dbText, 255);
  Add(games, "printrecord", dao::dbBoolean);
  AddIndex(games, "SectionName", {"sectionnumber", "name"});
  for (const char* f : {"publisher", "developer", "genre"}) AddIndex(games, f, {f});
  out.push_back(std::move(games));

  TableDef sections("sections");
  Add(sections, "section", dao::dbByte);
  Add(sections, "name", dao::dbText, 50);
  AddIndex(sections, "section", {"section"}, true);
  out.push_back(std::move(sections));

  out.push_back(GameLookupTable("publisher", "publisher", "labelstudio_name"));
  out.push_back(GameLookupTable("developer", "developer", "artist_name"));
  out.push_back(GameLookupTable("genre", "genre", "category"));

  TableDef systype("systype");
  AddAutoNumber(systype, "systypeid");
  Add(systype, "systype", dao::dbText, 50);
  AddIndex(systype, "systype", {"systype"});
  out.push_back(std::move(systype));
  TableDef supports("supports");
  AddAutoNumber(supports, "supports");
  Add(supports, "Name", dao::dbText, 50);
  AddIndex(supports, "name", {"Name"});
  out.push_back(std::move(supports));

  out.push_back(GameLinkTable("systypemedia", "systypeid"));
  out.push_back(GameLinkTable("supportsmedia", "supports"));
  for (const auto& c : GameCaptionTableNames()) {
    TableDef t(c);
    AddNumbered(t, "f", 1, 10, dao::dbText, 50);
    out.push_back(std::move(t));
  }
  return out;
}

void CreateGameCollectionFile(const std::string& path) {
  CreateFile(path, GameCollectionTables(), [](dao::Database& db) {
    const auto& names = GameSectionNames();
    for (size_t n = 0; n < names.size(); ++n)
      AddRow(db, "sections", {{"section", dao::Variant::Byte(static_cast<std::uint8_t>(n + 1))},
                              {"name", names[n]}});
    for (const auto& c : GameCaptionTableNames()) FillCaptionRow(db, c);
  });
}

MissingPart MissingFrom(dao::Database& db, const std::vector<TableDef>& layout,
                        const std::vector<std::string>& optional) {
  auto upper = [](const auto& names, auto name) {
    std::set<std::string> out;
    for (const auto& n : names) out.insert(vb::UCase(name(n)));
    return out;
  };
  auto itself = [](const std::string& n) { return n; };
  const std::set<std::string> tables = upper(db.TableDefNames(), itself);
  const std::set<std::string> mayLack = upper(optional, itself);
  for (const TableDef& wanted : layout) {
    if (!tables.count(vb::UCase(wanted.Name))) {
      if (mayLack.count(vb::UCase(wanted.Name))) continue;
      return {wanted.Name, ""};
    }
    const dao::TableDefPtr stored = db.TableDefs(wanted.Name);
    const std::set<std::string> fields = upper(stored->Fields, [](const FieldDef& f) { return f.Name; });
    for (const FieldDef& f : wanted.Fields)
      if (!fields.count(vb::UCase(f.Name))) return {wanted.Name, f.Name};
  }
  return {};
}

MissingPart MissingFromAny(dao::Database& db, const std::vector<TableDef>& layout) {
  std::vector<TableDef> held;
  std::vector<std::string> optional;
  const std::vector<std::string> names = db.TableDefNames();
  for (const TableDef& t : layout) {
    optional.push_back(t.Name);
    for (const auto& n : names)
      if (vb::UCase(n) == vb::UCase(t.Name)) held.push_back(t);
  }
  if (held.empty()) return layout.empty() ? MissingPart{} : MissingPart{layout.front().Name, ""};
  return MissingFrom(db, held, optional);
}

std::vector<dao::TableDef> EarlierCollectionNeeds() {
  std::vector<TableDef> out;
  for (const auto& name : SectionTableNames()) {
    TableDef t(name);
    Add(t, "name", dao::dbText, 50);
    out.push_back(std::move(t));
  }
  return out;
}

namespace {

// True when the file opens and holds every table and field of its layout.
bool HoldsTables(const std::string& path, const std::vector<TableDef>& tables) {
  try {
    dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase(path, false, true);
    bool all = true;
    try {
      all = MissingFrom(*db, tables).None();
    } catch (const vb::RuntimeError&) {
      all = false;
    }
    for (const auto& t : tables) {
      try {
        db->OpenRecordset(t.Name)->Close();
      } catch (const vb::RuntimeError&) {
        all = false;
      }
    }
    db->Close();
    return all;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void EnsureTemplates(const std::string& folder) {
  const std::string base = folder.empty() ? std::string(".") : folder;
  // A template that is missing, does not open or lacks a table is written
  // anew from the layout here; the copies made from it are then sound.
  auto ensure = [&base](const std::string& name, const std::vector<TableDef>& tables,
                        void (*create)(const std::string&)) {
    for (const auto& f : vb::Dir(base, name, true))
      throw vb::RuntimeError(vb::errPathFileAccess,
                             "The template " + base + "/" + f + " is a folder, not a file");
    const auto found = vb::Dir(base, name);
    const std::string path = base + "/" + (found.empty() ? name : found.front());
    if (!found.empty() && HoldsTables(path, tables)) return;
    create(path);
  };
  ensure("av32e.mdb", CollectionTables(), &CreateCollectionFile);
  ensure("admine.sys", MasterListTables(), &CreateMasterListFile);
  // The tips are not needed to work: a folder in their place is left as it
  // is, and only the tips are skipped.
  if (vb::Dir(base, "tips.sys", true).empty()) ensure("tips.sys", TipsTables(), &CreateTipsFile);
  ensure("pl33e.mdb", GameCollectionTables(), &CreateGameCollectionFile);
}

int VersionMajor() { return TVN_VERSION_MAJOR; }
int VersionMinor() { return TVN_VERSION_MINOR; }
int VersionRevision() { return TVN_VERSION_REVISION; }

namespace {

int TextWidthIn(const std::vector<TableDef>& tables, const std::string& table, const std::string& field) {
  for (const TableDef& t : tables) {
    if (vb::CompareText(t.Name, table) != 0) continue;
    for (const FieldDef& f : t.Fields)
      if (vb::CompareText(f.Name, field) == 0) return f.Type == dao::dbText ? f.Size : 0;
  }
  return 0;
}

}  // namespace

int CollectionTextWidth(const std::string& table, const std::string& field) {
  static const std::vector<TableDef> tables = CollectionTables();
  return TextWidthIn(tables, table, field);
}

int GameTextWidth(const std::string& table, const std::string& field) {
  static const std::vector<TableDef> tables = GameCollectionTables();
  return TextWidthIn(tables, table, field);
}

}  // namespace tvn::schema
