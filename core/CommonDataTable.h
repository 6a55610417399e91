#pragma once
// Brings an open collection of the earlier layout (one item table per
// section) up to the last state of that layout, so the conversion finds
// every table and field it copies. Does nothing on a current-layout file.
#include <cstdint>
#include <string>

#include "platform/dao/Dao.h"

namespace tvn {
struct CollectionKind;
}

namespace tvn {

// The work copy an earlier-layout file is upgraded in, beside the file.
std::string UpgradeWorkCopyName(const std::string& file);
bool IsUpgradeWorkCopy(const std::string& file);

// Removes from the folder what the program's own interrupted work left
// behind and only that: files whose names carry a mark only the program
// writes (the work copies of a conversion and of an upgrade, a template
// being written, the work file of a file copy or a compaction of a program
// no longer running) with their journals. A file that "admin.sys" lists as
// a media or game collection, or that "CurDB" or "CurDB_PL" names, is never
// removed, whatever its name; when the master list cannot be read nothing
// is removed. A file named `keep` (a full path) stays. Failures to remove
// are ignored.
void RemoveLeftoverFiles(const std::string& folder, const std::string& keep = "");

// What a media collection holds: the current layout's item table, or the
// item tables every collection of the earlier layout has had.
const CollectionKind& MediaCollectionKind();

// Raised for a database that lacks a table or field a collection of its
// catalogue holds (a file of another program, say). noun: "collection",
// "game collection", "list of collections"; table: the table found
// missing, or the table that lacks field.
class NotACollectionError : public vb::RuntimeError {
 public:
  // earlierLayout: the file is a collection of the earlier layout that
  // lacks what its conversion cannot do without.
  explicit NotACollectionError(const std::string& file, const std::string& noun = "collection",
                               const std::string& table = "mediadata", const std::string& field = "",
                               bool earlierLayout = false);
  const std::string& Noun() const { return noun_; }
  const std::string& Table() const { return table_; }
  const std::string& Field() const { return field_; }
  bool EarlierLayout() const { return earlierLayout_; }

 private:
  std::string noun_;
  std::string table_;
  std::string field_;
  bool earlierLayout_ = false;
};

class CommonDataTable {
 public:
  // On a current-layout file: recreates a missing work table of the reports
  // ("report", "title_list"), which holds no user data, and changes nothing
  // else. When App().CollectionDB is of the earlier layout: writes its backup
  // (once) and leaves App().CollectionDB open on an upgraded work copy
  // (UpgradeWorkCopyName), which the conversion reads and removes. The
  // file itself is not written. A database of neither layout raises
  // NotACollectionError and is left as it is.
  void CheckTable();
  // True when the table had the field; when it had not, it has been added.
  bool Has_Table_Field(const dao::DatabasePtr& db, const std::string& table,
                       const std::string& field, int type, std::int16_t size);
  // True when the source file was compacted in place.
  bool Compact_A_Database(const std::string& source, const std::string& temporary);

 private:
  void UpgradeOpenCollection();
  void EnsureSectionTable(const std::string& table, const std::string& captionTable,
                          bool miniDisc, bool mp3);
  void EnsureAdminRecord();
  void AddTableField(dao::TableDef& def, const std::string& name, int type, std::int16_t size);
  bool FieldIsReadable(dao::Recordset& rs, const std::string& field, int type);
};

}  // namespace tvn
