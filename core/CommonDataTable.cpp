// Upgrade of an earlier-layout collection to the last state of that layout.
// The upgrade runs in several steps (new tables, moved mini-disc rows, new
// fields) on a work copy of the file, which the conversion then reads; the
// user's file itself is only ever replaced by the finished conversion.
#include "core/CommonDataTable.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "core/AppState.h"
#include "core/ConversionModule32.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {

bool TableOpens(const dao::DatabasePtr& db, const std::string& table) {
  try {
    auto rs = db->OpenRecordset(table);
    rs->Close();
    return true;
  } catch (const vb::RuntimeError& e) {
    if (e.Number() == dao::errTableNotFound) return false;
    throw;
  }
}

void DeleteAllRows(const dao::RecordsetPtr& rs) {
  if (!(rs->BOF() && rs->Eof())) {
    // Counted first: no move is made after the last row is gone.
    rs->MoveLast();
    const long rows = rs->RecordCount();
    rs->MoveFirst();
    for (long i = 0; i < rows; ++i) {
      rs->Delete();
      if (i + 1 < rows) rs->MoveNext();
    }
  }
  rs->Close();
}

const char* const kUpgradeSuffix = ".upgrading";

}  // namespace

namespace {

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// True when the process that wrote a file with this number in its name has
// ended: a file another running copy of the program is writing stays.
bool ProcessGone(const std::string& digits) {
  if (!AllDigits(digits) || digits.size() > 9) return false;
  const long pid = std::stol(digits);
  return pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// True for the names only the program's own interrupted work gives a file:
// each carries a mark a collection name never gets from the managers (they
// always end a collection's file name in ".mdb"). A name such as "Temp1.mdb"
// carries no such mark: a user may have named a collection so.
bool IsLeftover(std::string name) {
  for (const char* journal : {"-journal", "-wal", "-shm"})
    if (EndsWith(name, journal)) {
      name.resize(name.size() - std::strlen(journal));
      break;
    }
  if (EndsWith(name, ".converting") || EndsWith(name, kUpgradeSuffix)) return true;
  // A template being written: "<name>.new<process>".
  const auto dotNew = name.rfind(".new");
  if (dotNew != std::string::npos && dotNew > 0 && AllDigits(name.substr(dotNew + 4)))
    return ProcessGone(name.substr(dotNew + 4));
  // A file copy's or a compaction's work file ".tvn-<process>-<n>.tmp".
  if (name.rfind(".tvn-", 0) == 0 && EndsWith(name, ".tmp")) {
    const std::string rest = name.substr(5);
    const auto dash = rest.find('-');
    return dash != std::string::npos && ProcessGone(rest.substr(0, dash));
  }
  return false;
}

// The file names the collection lists and the current-collection settings
// name, upper-cased (the names are matched without regard to case). False
// when a list exists but cannot be read: nothing can then be proven not to
// be a collection.
bool ListedCollectionNames(const std::string& folder, std::set<std::string>& names) {
  for (const char* key : {"CurDB", "CurDB_PL"}) {
    const std::string current = vb::GetSetting("TVN", "Startup", key, "");
    if (!current.empty()) names.insert(vb::UCase(current));
  }
  std::string admin;
  for (const std::string& f : vb::Dir(folder, "admin.sys")) admin = folder + "/" + f;
  if (admin.empty()) return vb::Dir(folder, "admin.sys", true).empty();
  try {
    dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase(admin, false, true);
    try {
      for (const char* table : {"avcollections", "plcollections"}) {
        dao::RecordsetPtr rs;
        try {
          rs = db->OpenRecordset(std::string("select dbname from ") + table);
        } catch (const vb::RuntimeError& e) {
          if (e.Number() == dao::errTableNotFound) continue;  // an older list without the game table
          throw;
        }
        for (; !rs->Eof(); rs->MoveNext()) names.insert(vb::UCase(vb::NzStr(rs->GetField("dbname"))));
        rs->Close();
      }
    } catch (...) {
      db->Close();
      throw;
    }
    db->Close();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void RemoveLeftoverFiles(const std::string& folder, const std::string& keep) {
  const std::string base = folder.empty() ? std::string(".") : folder;
  std::set<std::string> listed;
  if (!ListedCollectionNames(base, listed)) return;
  std::error_code ec;
  std::vector<std::filesystem::path> doomed;
  for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError) || it->is_symlink(typeError)) continue;
    if (!keep.empty() && std::filesystem::equivalent(it->path(), keep, typeError)) continue;
    std::string name = it->path().filename().string();
    if (!IsLeftover(name)) continue;
    // A listed collection and its journals are never touched, whatever the name.
    for (const char* journal : {"-journal", "-wal", "-shm"})
      if (EndsWith(name, journal)) name.resize(name.size() - std::strlen(journal));
    if (listed.count(vb::UCase(name))) continue;
    doomed.push_back(it->path());
  }
  for (const auto& p : doomed) std::filesystem::remove(p, ec);
}

std::string UpgradeWorkCopyName(const std::string& file) { return file + kUpgradeSuffix; }

bool IsUpgradeWorkCopy(const std::string& file) {
  const std::string suffix = kUpgradeSuffix;
  return file.size() > suffix.size() && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0;
}

NotACollectionError::NotACollectionError(const std::string& file, const std::string& noun, const std::string& table,
                                         const std::string& field, bool earlierLayout)
    : vb::RuntimeError(dao::errTableNotFound,
                       "'" + file + "' is a database, but not a " + noun + ": " +
                           (field.empty() ? "it has no table '" + table + "'."
                                          : "its table '" + table + "' has no field '" + field + "'.")),
      noun_(noun),
      table_(table),
      field_(field),
      earlierLayout_(earlierLayout) {}

namespace {

bool IsWorkTable(const std::string& table) {
  const std::string t = vb::UCase(table);
  return t == "REPORT" || t == "TITLE_LIST";
}

// A layout without the work tables of the reports: they hold no user data
// and are made again when missing, so a file is not judged by them.
std::vector<dao::TableDef> WithoutWorkTables(std::vector<dao::TableDef> layout) {
  std::erase_if(layout, [](const dao::TableDef& t) { return IsWorkTable(t.Name); });
  return layout;
}

}  // namespace

const CollectionKind& MediaCollectionKind() {
  // An earlier-layout file is asked only for what its conversion cannot
  // do without; the upgrade makes everything else it lacks, empty.
  static const CollectionKind kind{"collection", WithoutWorkTables(schema::CollectionTables()),
                                   schema::EarlierCollectionNeeds(), "mediadata"};
  return kind;
}

namespace {

// An earlier-layout file may lack tables and fields that older versions
// did not have or that another program dropped: each is made, empty (a
// caption table with the captions a new one gets), so that the upgrade
// and the conversion find every table and field they read.
void CompleteEarlierLayout(const dao::DatabasePtr& db) {
  std::set<std::string> tables;
  for (const auto& n : db->TableDefNames()) tables.insert(vb::UCase(n));
  const auto& captions = schema::CaptionTableNames();
  for (const auto& def : WithoutWorkTables(schema::OriginalEarlierCollectionTables())) {
    if (!tables.count(vb::UCase(def.Name))) {
      db->AppendTableDef(def);
      if (std::find(captions.begin(), captions.end(), def.Name) == captions.end()) continue;
      auto rs = db->OpenRecordset(def.Name);
      rs->AddNew();
      for (int n = 1; n <= 10; ++n) rs->SetField("f" + std::to_string(n), "My Field " + std::to_string(n));
      rs->Update();
      rs->Close();
      continue;
    }
    const dao::TableDefPtr stored = db->TableDefs(def.Name);
    std::set<std::string> fields;
    for (const auto& f : stored->Fields) fields.insert(vb::UCase(f.Name));
    for (const auto& f : def.Fields)
      if (!fields.count(vb::UCase(f.Name))) stored->AppendField(f);
  }
}

// The work tables of the reports hold no user data: a file that lost them
// gets them back empty.
void EnsureWorkTables(const dao::DatabasePtr& db, const std::vector<dao::TableDef>& layout) {
  for (const auto& def : layout)
    if ((def.Name == "report" || def.Name == "title_list") && !TableOpens(db, def.Name)) db->AppendTableDef(def);
}

}  // namespace

void CommonDataTable::CheckTable() {
  auto& app = App();
  if (IsCurrentLayout(app.CollectionDB)) {
    EnsureWorkTables(app.CollectionDB, schema::CollectionTables());
    return;
  }
  const std::string file = app.CollectionDB->Name();
  // A copy being upgraded already is not copied again.
  if (IsUpgradeWorkCopy(file)) {
    UpgradeOpenCollection();
    return;
  }
  // A database of another kind is no collection: it is neither copied nor
  // changed, and the caller says so.
  if (const schema::MissingPart lacking = schema::MissingFromAny(*app.CollectionDB, MediaCollectionKind().earlierTables);
      !lacking.None())
    throw lacking.field.empty() ? NotACollectionError(file)
                                : NotACollectionError(file, "collection", lacking.table, lacking.field, true);

  // The backup is taken from the file as the user left it, under a name of
  // its own; a later attempt after an interrupted one finds that copy.
  app.CollectionDB->Close();
  MakeCollectionBackup(file);

  // The upgrade changes a copy only: the user's file is never written
  // until the converted file replaces it in one rename, so an interruption
  // at any point leaves it as it was.
  const std::string work = UpgradeWorkCopyName(file);
  try {
    vb::FileCopy(file, work, true);
    app.CollectionDB = AppWorkspace().OpenDatabase(work);
    UpgradeOpenCollection();
  } catch (...) {
    try {
      if (app.CollectionDB && app.CollectionDB->IsOpen()) app.CollectionDB->Close();
      if (vb::FileExists(work)) vb::Kill(work);
      app.CollectionDB = AppWorkspace().OpenDatabase(file);
    } catch (...) {
      // The first error is the one to report.
    }
    throw;
  }
}

void CommonDataTable::UpgradeOpenCollection() {
  auto& app = App();
  app.CollectionDB->BeginTrans();
  try {
    CompleteEarlierLayout(app.CollectionDB);
    EnsureWorkTables(app.CollectionDB, schema::EarlierCollectionTables());
    EnsureAdminRecord();
    EnsureSectionTable("MiniDisc", "MDCaption", true, false);
    EnsureSectionTable("MP3", "MPCaption", false, true);

    struct Upgrade {
      const char* table;
      const char* field;
      int type;
      std::int16_t size;
    };
    static const Upgrade upgrades[] = {
        {"vt", "QRating", dao::dbText, 10},          {"vt", "TapeIndex", dao::dbText, 10},
        {"dvd", "QRating", dao::dbText, 10},         {"ld", "QRating", dao::dbText, 10},
        {"report", "QRating", dao::dbText, 10},      {"report", "TapeIndex", dao::dbText, 10},
        {"report", "filelocation", dao::dbText, 100}, {"title_list", "LongTitle", dao::dbText, 60},
        {"Compact_Disk", "GrpNum", dao::dbByte, 1},  {"Compact_Disk", "Player", dao::dbText, 10},
        {"Report", "GrpNum", dao::dbByte, 1},        {"Report", "Player", dao::dbText, 10},
    };
    for (const auto& u : upgrades) Has_Table_Field(app.CollectionDB, u.table, u.field, u.type, u.size);

    auto admin = app.CollectionDB->OpenRecordset("admin");
    admin->MoveFirst();
    admin->Edit();
    admin->SetField("ver", schema::VersionText());
    admin->Update();
    admin->Close();
    app.CollectionDB->CommitTrans();
  } catch (...) {
    try {
      app.CollectionDB->Rollback();
    } catch (const std::exception&) {
    }
    throw;
  }
}

bool CommonDataTable::Has_Table_Field(const dao::DatabasePtr& db, const std::string& table,
                                      const std::string& field, int type, std::int16_t size) {
  auto rs = db->OpenRecordset(table);
  bool addedRow = false;
  if (rs->BOF() && rs->Eof()) {
    rs->AddNew();
    rs->Update();
    addedRow = true;
  }
  rs->MoveFirst();
  const bool readable = FieldIsReadable(*rs, field, type);
  if (addedRow) {
    rs->MoveFirst();
    rs->Delete();
  }
  rs->Close();

  if (!readable) {
    dao::FieldDef f;
    f.Name = field;
    f.Type = type;
    f.Size = type == dao::dbText ? size : 0;
    f.AllowZeroLength = type == dao::dbText || type == dao::dbMemo;
    db->TableDefs(table)->AppendField(f);
  }

  // Failures from here on are ignored: the index may exist already.
  if (field == "TapeIndex") {
    try {
      auto def = db->TableDefs(table);
      dao::IndexDef index;
      index.Name = "TapeNum";
      index.Fields = {"cat_number", "TapeIndex"};
      def->AppendIndex(index);
    } catch (const std::exception&) {
    }
  }
  return readable;
}

bool CommonDataTable::Compact_A_Database(const std::string& source, const std::string& temporary) {
  try {
    // What an interrupted compaction left is cleared first; the copy made
    // now goes under the name the caller chose.
    const std::string resolved = vb::ResolvePath(source);
    const auto slash = resolved.find_last_of('/');
    RemoveLeftoverFiles(slash == std::string::npos ? std::string(".") : resolved.substr(0, slash),
                        vb::ResolvePath(temporary));
    dao::DBEngine::CompactDatabase(source, temporary);
    // Moving the compacted copy over the source in one step means the
    // database is never missing under its name.
    vb::Name(temporary, vb::ResolvePath(source));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void CommonDataTable::EnsureSectionTable(const std::string& table, const std::string& captionTable,
                                         bool miniDisc, bool mp3) {
  auto& db = App().CollectionDB;
  if (TableOpens(db, table)) return;

  auto def = db->CreateTableDef(table);
  auto text = [&](const std::string& name, std::int16_t size) {
    AddTableField(*def, name, dao::dbText, size);
  };
  text("name", 50);
  text("category", 50);
  text("labelstudio", 50);
  if (mp3) text("filelocation", 100);
  for (int n = 1; n <= 4; ++n) text("artist" + std::to_string(n), 50);
  text("cat_number", 50);
  AddTableField(*def, "notes", dao::dbMemo, 0);
  text("picture", 50);
  AddTableField(*def, "date_aquired", dao::dbDate, 0);
  for (int n = 1; n <= 40; ++n) text("title" + std::to_string(n), 60);
  for (int n = 1; n <= 3; ++n) text("extra" + std::to_string(n), 50);
  text("Total_Time", 10);
  text("serial", 50);
  AddTableField(*def, "slot", dao::dbInteger, 0);
  text("section", 50);
  text("track_time", 10);
  AddTableField(*def, "track_num", dao::dbInteger, 0);
  for (int n = 1; n <= 10; ++n) text("f" + std::to_string(n), 50);
  text("Format_Type", 50);
  AddTableField(*def, "GrpNum", dao::dbByte, 0);
  text("Player", 10);
  for (const char* i : {"artist1", "artist2", "artist3", "artist4", "category", "date_aquired",
                        "labelstudio", "name"}) {
    dao::IndexDef index;
    index.Name = i;
    index.Fields = {i};
    def->Indexes.push_back(index);
  }
  db->AppendTableDef(*def);

  // A caption table left behind without its section table is kept as it is.
  if (!TableOpens(db, captionTable)) {
    auto captions = db->CreateTableDef(captionTable);
    for (int n = 1; n <= 10; ++n) AddTableField(*captions, "f" + std::to_string(n), dao::dbText, 50);
    db->AppendTableDef(*captions);
    auto rs = db->OpenRecordset(captionTable);
    rs->AddNew();
    for (int n = 1; n <= 10; ++n)
      rs->SetField("f" + std::to_string(n), "My Field " + std::to_string(n));
    rs->Update();
    rs->Close();
  }

  if (!miniDisc) return;
  // Earlier versions filed mini-discs under cassettes and compact discs.
  db->Execute(std::string(" INSERT INTO MiniDisc ") + "SELECT *" +
              "FROM Cassette where format_type = 'MiniDisk';");
  DeleteAllRows(db->OpenRecordset("select * from cassette where format_type = 'MiniDisk'"));
  db->Execute(std::string(" INSERT INTO MiniDisc ") + "SELECT *" +
              "FROM Compact_Disk where (instr(1,ucase(notes),'MINIDISC') > 0) or "
              "(instr(1,ucase(notes),'MINIDISK') > 0) ;");
  DeleteAllRows(db->OpenRecordset(
      "select * from Compact_Disk where (instr(1,ucase(notes),'MINIDISC') > 0) or "
      "(instr(1,ucase(notes),'MINIDISK') > 0)"));
  auto md = db->OpenRecordset("minidisc");
  if (!(md->BOF() && md->Eof())) {
    md->MoveFirst();
    while (!md->Eof()) {
      md->Edit();
      md->SetField("format_type", dao::Variant::Null());
      // Moved rows are filed under the mini-disc section, not the one they came from.
      md->SetField("section", schema::SectionDisplayNames()[6]);
      md->Update();
      md->MoveNext();
    }
  }
  md->Close();
}

void CommonDataTable::EnsureAdminRecord() {
  auto& db = App().CollectionDB;
  if (!TableOpens(db, "admin")) {
    auto def = db->CreateTableDef("Admin");
    AddTableField(*def, "Ver", dao::dbText, 50);
    AddTableField(*def, "Extra", dao::dbText, 50);
    db->AppendTableDef(*def);
  }
  auto rs = db->OpenRecordset("admin");
  if (rs->BOF() && rs->Eof()) {
    rs->AddNew();
    rs->Update();
  }
  rs->Close();
}

void CommonDataTable::AddTableField(dao::TableDef& def, const std::string& name, int type,
                                   std::int16_t size) {
  dao::FieldDef f;
  f.Name = name;
  f.Type = type;
  f.Size = type == dao::dbText ? size : 0;
  f.AllowZeroLength = type == dao::dbText || type == dao::dbMemo;
  def.Fields.push_back(f);
}

bool CommonDataTable::FieldIsReadable(dao::Recordset& rs, const std::string& field, int type) {
  try {
    dao::Variant v = rs.GetField(field);
    switch (type) {
      case dao::dbText:
      case dao::dbMemo:
        (void)vb::NzStr(v);
        break;
      case dao::dbInteger:
      case dao::dbLong:
      case dao::dbDouble:
        (void)vb::IsNumeric(v);
        break;
      default:
        break;
    }
    return true;
  } catch (const vb::RuntimeError&) {
    return false;
  }
}

}  // namespace tvn
