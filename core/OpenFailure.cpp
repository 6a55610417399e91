#include "core/OpenFailure.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/CommonDataTable.h"
#include "core/Compaction.h"
#include "core/Schema.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"

namespace tvn {

namespace {

// Engine numbers of a damaged file, a full disk and a disk that fails.
constexpr int errCorrupt = dao::errDamaged;
constexpr int errDiskFull = 3026;
constexpr int errDiskError = 3043;

std::uint32_t BigEndian(const unsigned char* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
  return v;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::string FileShapeProblem(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  if (S_ISDIR(st.st_mode)) return "is a folder, not a file.";
  if (!S_ISREG(st.st_mode)) return {};
  // A journal beside the file holds a change the engine rolls back on
  // opening; the size may differ until it has.
  for (const char* journal : {"-journal", "-wal"})
    if (Exists(path + journal)) return {};
  std::ifstream in(path, std::ios::binary);
  unsigned char header[100] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return {};
  if (std::string(reinterpret_cast<char*>(header), 16) != std::string("SQLite format 3", 16)) return {};
  std::uint32_t pageSize = BigEndian(header + 16, 2);
  if (pageSize == 1) pageSize = 65536;
  const std::uint32_t pages = BigEndian(header + 28, 4);
  // The page count is only kept up to date when these two agree.
  if (BigEndian(header + 24, 4) != BigEndian(header + 92, 4) || pages == 0) return {};
  const std::uint64_t expected = std::uint64_t(pageSize) * pages;
  if (std::uint64_t(st.st_size) < expected)
    return "is damaged: it has been cut short (it holds " + std::to_string(st.st_size) + " of its " +
           std::to_string(expected) + " bytes).";
  return {};
}

std::string DescribeOpenFailure(const std::exception& error) {
  if (dynamic_cast<const FileShapeError*>(&error)) return error.what();
  if (const auto* link = dynamic_cast<const LinkedFileError*>(&error)) return link->Problem();
  if (const auto* e = dynamic_cast<const NotACollectionError*>(&error); e && e->EarlierLayout())
    return "is a " + e->Noun() + " of the earlier layout that cannot be converted: its table \"" + e->Table() +
           "\" has no field \"" + e->Field() + "\".";
  if (const auto* e = dynamic_cast<const NotACollectionError*>(&error))
    return "is a database, but not a " + e->Noun() + ": " +
           (e->Field().empty() ? "it has no table \"" + e->Table() + "\""
                               : "its table \"" + e->Table() + "\" has no field \"" + e->Field() + "\"") +
           ", which every " + e->Noun() + " holds.";
  const auto* e = dynamic_cast<const vb::RuntimeError*>(&error);
  if (!e) return std::string("cannot be opened: ") + error.what();
  switch (e->Number()) {
    case dao::errCouldNotFindFile:
    case vb::errFileNotFound:
      return "cannot be found.";
    case dao::errFileLocked:
      return "is in use by another program. It may open once that program has let it go.";
    case dao::errReadOnly:
    case vb::errPermissionDenied:
      return "cannot be read or written just now (" + e->Description() + ")";
    case dao::errNotADatabase:
      return "is not a database: it is damaged, or a file of another kind.";
    case errCorrupt:
      return "is damaged: it cannot be read as a database.";
    case dao::errTableNotFound:
    case dao::errItemNotFound:
      return "is damaged or of another kind: a table it must hold is missing (" + e->Description() + ")";
    default:
      return "cannot be opened: " + e->Description();
  }
}

bool IsPassingFailure(const std::exception& error) {
  const auto* e = dynamic_cast<const vb::RuntimeError*>(&error);
  if (!e) return false;
  switch (e->Number()) {
    case dao::errFileLocked:
    case dao::errReadOnly:
    case vb::errPermissionDenied:
    case errDiskFull:
      return true;
    default:
      return false;
  }
}

namespace {

bool HasTable(const std::vector<std::string>& names, const std::string& table) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return vb::UCase(n) == vb::UCase(table); });
}

}  // namespace

namespace {

// The table's long texts (Memo fields, declared TEXT): a note too long for
// its row's page goes on in pages of its own, which only reading the text
// itself walks.
std::vector<std::string> Columns(dao::Database& db, const std::string& table, bool longTextsOnly) {
  std::vector<std::string> columns;
  db.ForEachRow("select name, type from pragma_table_info(" + dao::SqlQuote(table) + ")",
                [&](const std::vector<dao::Variant>& row) {
                  if (!longTextsOnly || vb::UCase(vb::NzStr(row.at(1))) == "TEXT")
                    columns.push_back(vb::NzStr(row.at(0)));
                  return true;
                });
  return columns;
}
std::vector<std::string> LongTextColumns(dao::Database& db, const std::string& table) {
  return Columns(db, table, true);
}
std::vector<std::string> AllColumns(dao::Database& db, const std::string& table) { return Columns(db, table, false); }

// The table's indexes with the first column of each ("" for an index on
// an expression); with nameOnly, only those holding the item's name: the
// windows read a section's titles, and find one by its name, through
// these.
std::vector<std::pair<std::string, std::string>> TableIndexes(dao::Database& db, const std::string& table,
                                                              bool nameOnly) {
  std::vector<std::pair<std::string, std::string>> indexes;  // index, its first column
  db.ForEachRow("select il.name, (select ii.name from pragma_index_info(il.name) ii order by ii.seqno limit 1), "
                "exists (select 1 from pragma_index_info(il.name) ii where upper(ii.name) = 'NAME') from "
                "pragma_index_list(" +
                    dao::SqlQuote(table) + ") il",
                [&](const std::vector<dao::Variant>& row) {
                  if (!nameOnly || vb::CLng(row.at(2)) != 0)
                    indexes.emplace_back(vb::NzStr(row.at(0)), vb::NzStr(row.at(1)));
                  return true;
                });
  return indexes;
}

// A name as the layer's SQL takes it: in brackets (double quotes stand for
// text there).
std::string QuoteName(const std::string& name) { return "[" + name + "]"; }

}  // namespace

void ReadThrough(dao::Database& db, const std::string& table, long long stretch, Depth depth) {
  // The windows stay painted from the first moment: a stretch can take long
  // on a cold disk, so each is short, and the ticks go by time.
  vb::BusyScope busy;
  busy.Tick();
  // Every page of the name indexes: a section's title list reads them in
  // order. Each is one pass over the index alone.
  auto indexes = TableIndexes(db, table, depth != Depth::Whole);
  if (depth == Depth::Keys) {
    // Only the one a section's title list is read through (the section,
    // then the name), when the table has it: each index read costs about
    // as much again as the walk of the keys.
    std::vector<std::pair<std::string, std::string>> titles;
    for (const auto& index : indexes)
      if (vb::UCase(index.second) == "SECTIONNUMBER") titles.push_back(index);
    if (!titles.empty()) indexes = titles;
  }
  for (const auto& [index, column] : indexes) {
    db.ForEachRow("select count(" + (column.empty() ? std::string("*") : QuoteName(column)) + ") from " +
                      QuoteName(table) + " indexed by " + QuoteName(index),
                  [](const std::vector<dao::Variant>&) { return false; });
    busy.Tick();
  }
  if (depth == Depth::Keys) {
    // The keys alone, in key order through the table's own pages: each
    // stretch ends at the key a stretch of rows further on, which the
    // engine finds stepping from key to key without reading a row.
    std::string after = "_rowid_ >= -9223372036854775808";  // every key, through the table itself
    for (;;) {
      std::string end;
      db.ForEachRow("select cast(_rowid_ as text) from " + QuoteName(table) + " where " + after +
                        " order by _rowid_ limit 1 offset " + std::to_string(stretch - 1),
                    [&](const std::vector<dao::Variant>& row) {
                      end = vb::CStr(row.at(0));  // a key past what a Long holds stays whole
                      return false;
                    });
      busy.Tick();
      if (end.empty()) {
        // Fewer rows than a stretch are left: walked by the count.
        db.ForEachRow("select count(*) from " + QuoteName(table) + " where " + after,
                      [](const std::vector<dao::Variant>&) { return false; });
        busy.Tick();
        return;
      }
      after = "_rowid_ > " + end;
    }
  }
  // Every row of the table in key order, a stretch at a time: the table's
  // own pages (not a smaller index that holds the key too), the rows'
  // contents as deep as asked and the pages a long note goes on in.
  std::string read = "0";
  for (const std::string& c : depth == Depth::NameIndexes ? LongTextColumns(db, table) : AllColumns(db, table))
    read += " + coalesce(length(" + QuoteName(c) + "), 0)";
  std::string after;  // the first stretch starts at the lowest key, whatever it is
  for (;;) {
    long long count = 0;
    std::string last;
    db.ForEachRow("select count(*), cast(max(k) as text), sum(w) from (select _rowid_ as k, " + read +
                      " as w from " + QuoteName(table) + after + " order by _rowid_ limit " +
                      std::to_string(stretch) + ")",
                  [&](const std::vector<dao::Variant>& row) {
                    count = vb::CLng(row.at(0));
                    if (count > 0) last = vb::CStr(row.at(1));  // a key past what a Long holds stays whole
                    return false;
                  });
    busy.Tick();
    if (count < stretch) return;
    after = " where _rowid_ > " + last;
  }
}

dao::DatabasePtr OpenCollectionFile(dao::Workspace& workspace, const std::string& path, const CollectionKind& kind) {
  if (const std::string shape = FileShapeProblem(path); !shape.empty()) throw FileShapeError(shape);
  dao::DatabasePtr db = workspace.OpenDatabase(path);
  try {
    // Only the schema and the item table are read until the file is known
    // to be a collection of the kind and sound where the window reads first.
    schema::MissingPart missing = schema::MissingFrom(*db, kind.tables);
    if (missing.None()) {
      {
        const dao::Database::WalkCache walk(*db);
        ReadThrough(*db, kind.itemTable);
        // The lists, captions, sections and links: the window's first read
        // takes them whole, through any of their indexes.
        for (const dao::TableDef& t : kind.tables)
          if (vb::UCase(t.Name) != vb::UCase(kind.itemTable))
            ReadThrough(*db, t.Name, kReadThroughStretch, Depth::Whole);
      }
      db->MendIndexes();
      return db;
    }
    const std::vector<std::string> names = db->TableDefNames();
    if (!kind.earlierTables.empty() && !HasTable(names, kind.itemTable)) {
      const schema::MissingPart earlier = schema::MissingFromAny(*db, kind.earlierTables);
      if (earlier.None()) return db;
      // An earlier-layout file is told by what its conversion lacks;
      // without any table of that layout, by the item table.
      if (!earlier.field.empty()) throw NotACollectionError(path, kind.noun, earlier.table, earlier.field, true);
    }
    throw NotACollectionError(path, kind.noun, missing.table, missing.field);
  } catch (...) {
    db->Close();
    throw;
  }
}

void CheckMasterList(dao::Database& db, const std::string& path) {
  const schema::MissingPart missing = schema::MissingFrom(db, schema::MasterListTables(), {"plcollections"});
  if (!missing.None()) throw NotACollectionError(path, "list of collections", missing.table, missing.field);
}

OpenFailure UnderstandOpenFailure(const std::exception& error, const std::string& path, bool folderWritable) {
  std::error_code ec;
  const bool journal = std::filesystem::is_regular_file(path + "-journal", ec);
  const bool shapeOrTable =
      dynamic_cast<const FileShapeError*>(&error) || dynamic_cast<const NotACollectionError*>(&error);
  if (journal && !folderWritable && !shapeOrTable) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return {OpenFailureKind::NeedsFolderWrite,
            "cannot be opened: a change to it was interrupted, and its journal\n" + path +
                "-journal\nholds what is needed to finish it. Write access to the folder\n" + folder +
                "\nis needed to finish the interrupted change; until then the file cannot be used."};
  }
  return {IsPassingFailure(error) ? OpenFailureKind::Passing : OpenFailureKind::Unusable, DescribeOpenFailure(error)};
}

OpenFailure UnderstandOpenFailure(const std::exception& error, const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return UnderstandOpenFailure(error, path, ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0);
}

std::string CannotUseText(const std::string& noun, const std::string& path, const std::string& what) {
  return "The " + noun + " file\n" + path + "\n" + what;
}

std::string ReadOnlyText(const std::string& noun, const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const bool fileWritable = ::access(path.c_str(), W_OK) == 0;
  const bool folderWritable = ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  if (fileWritable && folderWritable) return {};
  return CannotUseText(noun, path,
                       std::string("can be read but not written: ") +
                           (fileWritable ? "its folder is read-only." : "the file is read-only.") +
                           "\n\nYou can browse it; filing, deleting and every other change will be refused "
                           "until the file and its folder can be written.");
}

std::string FileErrorText(const std::exception& error) {
  const auto* e = dynamic_cast<const dao::FileError*>(&error);
  if (!e) return {};
  const std::string name = std::filesystem::path(e->Path()).filename().string();
  const std::string noun = vb::UCase(name) == "ADMIN.SYS" ? "list of collections" : "collection";
  std::string what;
  std::string wayOn;
  switch (e->Number()) {
    case errCorrupt:
      what = "is damaged: it cannot be read as a database.";
      wayOn = "The file is left as it is. To go on, open another collection, or make a new one, in the Collection "
              "Manager (Utilities menu).";
      break;
    case dao::errNotUpdatable:
      what = "cannot be written: the file or its folder is read-only.";
      wayOn = "Nothing was changed. Give the file and its folder write access, or open another collection in the "
              "Collection Manager (Utilities menu).";
      break;
    case dao::errFileLocked:
      what = "is in use by another program.";
      wayOn = "Nothing was changed. Try again once that program has let it go.";
      break;
    case errDiskFull:
      what = "cannot be written: the disk is full.";
      wayOn = "Nothing was changed. Make room on the disk and try again.";
      break;
    case errDiskError:
      what = "cannot be read or written: the disk or the network failed.";
      wayOn = "Try again once the disk or the network works.";
      break;
    default:
      what = "cannot be used: " + e->Description();
      wayOn = "Nothing more was done.";
      break;
  }
  return CannotUseText(noun, e->Path(), what) + "\n\nWhat you typed stays on screen. " + wayOn;
}

namespace {
// Every window's error path tells file errors in these words: installed
// once, when the library that knows the files is loaded.
[[maybe_unused]] const bool kFileErrorsTold = (vb::SetErrorTeller(FileErrorText), true);
}  // namespace

}  // namespace tvn
