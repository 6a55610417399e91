#pragma once
// The SQLite side of the data layer: the database object and the two
// kinds of recordset. Not part of the public interface.
#include <sqlite3.h>

#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/dao/DaoErrors.h"
#include "platform/dao/JetSql.h"

namespace dao::detail {

// Names of tables and fields compare without regard to ASCII case.
inline char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
std::string LowerAscii(std::string_view s);

class RecordsetBase;

// DAO type of a declared column type; size gets the Text length.
int TypeFromDecl(const std::string& decl, int& size);
// The declared column type of a field definition.
std::string DeclFromField(const FieldDef& f);
// Raises the error for an engine code met while opening the file at path
// (engine: SQLite's own text, shown for codes without a message here).
[[noreturn]] void FailOpen(int rc, const std::string& path, const std::string& engine);
// Rebuilds, once, the NOCASE indexes of a file written before they were
// kept on SQLite's own collation; a read-only or busy file stays as it is.
void RebuildOldIndexes(sqlite3* db);

// A prepared statement that is reset when it goes out of scope.
class StmtUse {
 public:
  explicit StmtUse(sqlite3_stmt* s) : s_(s) {}
  ~StmtUse() {
    if (s_) sqlite3_reset(s_);  // every use binds all its parameters anew
  }
  StmtUse(const StmtUse&) = delete;
  StmtUse& operator=(const StmtUse&) = delete;
  sqlite3_stmt* get() const { return s_; }

 private:
  sqlite3_stmt* s_;
};

// Statements a database keeps prepared: enough for every query the
// windows repeat, few enough that text built from user input (each
// search a new statement) cannot grow the cache without end.
constexpr size_t kStatementCacheSize = 256;

// Prepared statements by text, finalized together. With a capacity, the
// least recently used statement is finalized once more are kept: a
// caller must not hold a statement across more than `capacity` later Gets.
class StmtCache {
 public:
  explicit StmtCache(sqlite3* db = nullptr, size_t capacity = 0) : db_(db), capacity_(capacity) {}
  ~StmtCache() { Clear(); }
  StmtCache(const StmtCache&) = delete;
  StmtCache& operator=(const StmtCache&) = delete;
  void SetDb(sqlite3* db) { db_ = db; }
  // Returns SQLITE_OK and the statement, or the error code.
  int Get(const std::string& sql, sqlite3_stmt** out);
  void ResetAll();
  void Clear();
  size_t Size() const { return map_.size(); }

 private:
  struct Entry {
    sqlite3_stmt* stmt;
    std::list<std::string>::iterator use;  // place in uses_
  };
  sqlite3* db_;
  size_t capacity_;  // 0: unbounded
  std::unordered_map<std::string, Entry> map_;
  std::list<std::string> uses_;  // most recent first
};

class DatabaseImpl : public Database {
 public:
  // listed: one of the program's open connections, which the engine lets
  // go of and tells of each other's writes; a connection for work on
  // another thread is not.
  DatabaseImpl(sqlite3* db, std::string path, std::string name, bool listed = true);
  ~DatabaseImpl() override;

  std::string Name() const override { return name_; }
  RecordsetPtr OpenRecordset(const std::string& source, int type = dbOpenDefault) override;
  RecordsetPtr OpenRecordsetAside(const std::string& sql, const std::function<void()>& tick,
                                  const Aside& aside) override;
  void Execute(const std::string& sql) override;
  void ForEachRow(const std::string& sql, const std::function<bool(const std::vector<Variant>&)>& row) override;
  // The same, with the select's field names given to names before the
  // first row; asRecordset reads the rows by the statement a recordset of
  // the select reads them by (the same rows in the same order, sometimes
  // without a sort).
  void ForEachRow(const std::string& sql, const std::function<void(std::vector<std::string>)>& names,
                  const std::function<bool(const std::vector<Variant>&)>& row, bool asRecordset = false);
  // Whether the order in the columns' own collations (which the indexes
  // serve) is the program's order for the select's rows.
  bool PlainOrderHolds(const Translation& tr);
  // How many rows a select gives, counted without its order.
  long CountRows(const std::string& sql);
  long RecordsAffected() const override { return affected_; }
  void AppendTexts(const std::string& table, const std::string& field, size_t count,
                   const std::function<std::string_view(size_t)>& value) override;
  std::uint64_t ChangeMark() override { return changeSeq_; }
  bool ChangedRowsSince(std::uint64_t mark, const std::string& table, std::vector<std::int64_t>& rowids) override;
  std::vector<std::string> TableDefNames() override;
  TableDefPtr TableDefs(const std::string& name) override;
  TableDefPtr CreateTableDef(const std::string& name) override;
  void AppendTableDef(const TableDef& def) override;
  void DeleteTableDef(const std::string& name) override;
  void BeginTrans() override;
  void CommitTrans() override;
  void CommitTransAside(const Aside& aside) override;
  void Rollback() override;
  void Close() override;
  bool IsOpen() const override { return db_ != nullptr; }
  void MendIndexes() override;
  void UsePageCacheForWalk(bool walk) override;

  // For the recordsets and table definitions.
  sqlite3* Handle() const;
  const std::string& Path() const { return path_; }
  // Maps an SQLite failure to the engine's error and throws it.
  [[noreturn]] void Raise(int rc, const std::string& context) const;
  sqlite3_stmt* Prepare(const std::string& sql, const std::string& context);  // cached
  // Runs one statement with no result rows.
  void Run(const std::string& sql, const std::string& context);
  const TableInfo* Table(const std::string& name);
  void SchemaChanged();
  const Translation& Translate(const std::string& jet);
  // Every write through this connection calls this first: open
  // recordsets let go of running scans so the write cannot disturb them,
  // and other connections to the same file release their read locks.
  void BeforeWrite(bool schemaChange);
  void AfterWrite() { ++generation_; }
  std::uint64_t Generation() const { return generation_; }
  void Register(RecordsetBase* rs);
  void Unregister(RecordsetBase* rs);
  void ReleaseAll();  // all recordsets drop their statements
  // Steps a statement that writes. When another program holds the file,
  // the step is tried again, in our own loop (vb::OutsideWait between
  // tries), for a few seconds; returns the last result code.
  int StepWrite(sqlite3_stmt* st);
  void AppendFieldTo(const std::string& table, const FieldDef& f);
  void AppendIndexTo(const std::string& table, const IndexDef& idx);
  void SetAllowZeroLength(const std::string& table, const std::string& field, bool allow);
  int TransactionDepth() const { return transDepth_; }

 private:
  void LoadTable(const std::string& name, TableInfo& info);
  // This connection and the others of this process to the same file let
  // go of their reads, before a write lock is asked for: the engine does
  // not wait for a lock that a connection holding a read asks for, and
  // another program cannot finish its write while any read is held.
  void ReleaseReadsOfFile();
  // The other open connections of this process to the same file.
  std::vector<DatabaseImpl*> Siblings() const;
  std::string RealTableName(const std::string& name);
  void ThrowIfClosed() const;

  sqlite3* db_;
  std::string path_;  // resolved file name
  std::string name_;
  StmtCache stmts_;
  long affected_ = 0;
  std::uint64_t generation_ = 0;
  int transDepth_ = 0;
  bool lent_ = false;  // committing on another thread (CommitTransAside)
  int siblings_ = 0;  // other open connections to the same file in this process
  bool listed_ = true;
  std::vector<RecordsetBase*> recordsets_;
  std::map<std::string, std::unique_ptr<TableInfo>> tables_;  // by lower-case name
  std::unordered_map<std::string, Translation> translations_;
  // The last rows changed through this connection, newest last.
  struct Change {
    std::uint64_t seq;
    std::string table;  // lower case
    std::int64_t rowid;
  };
  static void OnRowChanged(void* self, int op, const char* database, const char* table, sqlite3_int64 rowid);
  std::deque<Change> changes_;
  std::uint64_t changeSeq_ = 0;
};

using DatabaseImplPtr = std::shared_ptr<DatabaseImpl>;

// Description of one field of a recordset.
struct FieldMeta {
  std::string name;
  std::string lower;
  std::string table;  // the stored table it comes from ("" for an expression)
  std::string column;
  int type = 0;
  int size = 0;
  bool allowZeroLength = true;
  bool required = false;
};

// One value of a result row as SQLite holds it; text points into the
// statement (or a copy) and lives only as long as that.
struct RawValue {
  int type = SQLITE_NULL;
  sqlite3_int64 i = 0;  // INTEGER, and FLOAT as SQLite converts it
  double d = 0;         // FLOAT, and INTEGER or BLOB as SQLite converts them
  std::string_view text;  // TEXT and BLOB
  static RawValue From(sqlite3_stmt* st, int col);
};

// The value of a field as the program reads it: by the field's type (a
// date from its stored text, a Byte as a Byte ...), else as stored.
Variant VariantFrom(const RawValue& v, const FieldMeta& f);

// What both kinds of recordset share: fields, the edit buffer, reading
// values from the statement that holds the current row, writing rows.
class RecordsetBase : public Recordset {
 public:
  explicit RecordsetBase(DatabaseImplPtr db);
  ~RecordsetBase() override;

  int EditMode() const override { return editMode_; }
  Variant GetField(const std::string& name) const override;
  Variant GetField(int index) const override;
  void SetField(const std::string& name, const Variant& value) override;
  int FieldCount() const override { return static_cast<int>(fields_.size()); }
  FieldDef FieldInfo(int index) const override;
  bool HasField(const std::string& name) const override { return FindField(name) >= 0; }
  void Close() override;
  bool IsOpen() const override { return open_; }
  void CancelUpdate() override;
  std::vector<std::vector<Variant>> GetRows(long maxRows) override;

  // Called by the database before a write through its own connection.
  virtual void BeforeOwnWrite() {}
  // Called before schema changes and writes through another connection:
  // every statement is reset.
  virtual void ReleaseStatements();
  void Detach();  // the database closed
  // Finalizes statements the recordset owns outside its cache.
  virtual void FinalizeOwn() {}

 protected:
  void CheckOpen() const;
  int FindField(const std::string& name) const;
  int FieldIndexOrThrow(const std::string& name) const;
  void BuildFieldMap();
  // The statement positioned on the current row and the column offset of
  // field 0 in it; throws 3021/3167 when there is no current row.
  virtual sqlite3_stmt* CurrentRow() const = 0;
  virtual Variant MaterializedValue(int) const { return Variant::Null(); }
  virtual bool Materialized() const { return false; }
  // True while the position is on a row deleted through this recordset.
  virtual bool OnDeletedRow() const { return false; }
  void BeginEdit(int mode);
  // Writes the buffer: inserts (returns the new rowid) or updates rowid.
  std::int64_t WriteBuffer(const std::string& table, std::int64_t rowid);
  void DeleteRow(const std::string& table, std::int64_t rowid);
  Variant ValueOf(sqlite3_stmt* st, int col, const FieldMeta& f) const;
  Variant ValueFrom(const RawValue& v, const FieldMeta& f) const;

  DatabaseImplPtr db_;
  bool open_ = true;
  std::vector<FieldMeta> fields_;
  std::unordered_map<std::string, int> fieldMap_;  // lower-case name (and table.name) -> index
  int editMode_ = dbEditNone;
  void ClearBuffer();
  std::vector<std::optional<Variant>> buffer_;
  std::vector<int> touched_;   // fields set since AddNew/Edit
  std::vector<int> booleans_;  // Yes/No fields of a stored table
  StmtCache stmts_;
  std::unordered_map<std::string, sqlite3_stmt*> writeStmts_;  // by column set; owned by stmts_
  std::int64_t lastModified_ = 0;
};

// A stored table opened by name: rows in the order of the current index
// (or of rowid), reached through keyset queries so that additions and
// deletions show at once.
class TableRecordset : public RecordsetBase {
 public:
  TableRecordset(DatabaseImplPtr db, const TableInfo& info);
  ~TableRecordset() override;

  bool BOF() const override;
  bool Eof() const override;
  long RecordCount() override;
  int Type() const override { return dbOpenTable; }
  void MoveFirst() override;
  void MoveLast() override;
  void MoveNext() override;
  void MovePrevious() override;
  void AddNew() override;
  void Edit() override;
  void Update() override;
  void Delete() override;
  void SetIndex(const std::string& indexName) override;
  std::string Index() const override { return indexName_; }
  void Seek(const std::string& comparison, const Variant& key1, const Variant& key2 = Variant()) override;
  bool NoMatch() const override { return noMatch_; }
  BookmarkType Bookmark() const override;
  void SetBookmark(BookmarkType bookmark) override;
  void ReleaseStatements() override;
  void FinalizeOwn() override;
  bool OnDeletedRow() const override { return pos_ == Pos::Deleted; }
  // An open cursor on the table would make SQLite save its place at every
  // insert; the row is read again by rowid when needed.
  void BeforeOwnWrite() override {
    if (row_) sqlite3_reset(row_);
    row_ = nullptr;
  }

 protected:
  sqlite3_stmt* CurrentRow() const override;

 private:
  enum class Pos { Before, On, Deleted, After };
  bool Empty();
  // Runs a navigation query; on a row, makes it current and returns true.
  bool TryPosition(const std::string& where, const std::string& order, const std::vector<sqlite3_value*>& binds,
                   const std::int64_t* rowid = nullptr);
  bool Step(bool forward, const std::vector<sqlite3_value*>& keys, int known, int tail);
  void TakeKeys(sqlite3_stmt* st);
  void ClearKeys();
  std::string OrderBy(size_t fromLevel, bool desc) const;
  std::string Col(size_t level) const;

  std::string table_;
  std::string indexName_;
  std::vector<std::string> indexCols_;  // quoted column names
  std::vector<int> indexFieldPos_;      // field index of each index column
  Pos pos_ = Pos::Before;
  bool noMatch_ = false;
  std::int64_t rowid_ = 0;
  std::vector<sqlite3_value*> keys_;  // index key values of the current row
  mutable sqlite3_stmt* row_ = nullptr;
  mutable std::uint64_t rowGen_ = 0;
  std::string selectAll_;
  std::string pointSql_;
};

// The rows of SQL text. A select on one table keeps the rowids of its rows
// (read as the caller moves on) and reads a row again by rowid; any other
// select is read whole into memory and cannot be changed.
class QueryRecordset : public RecordsetBase {
 public:
  // tick and aside given: a set the engine would sort whole in the
  // program's collation is ordered here instead (OrderByKeys).
  QueryRecordset(DatabaseImplPtr db, const Translation& tr, int type, const std::function<void()>& tick = {},
                 const Database::Aside& aside = {});
  ~QueryRecordset() override;

  bool BOF() const override;
  bool Eof() const override;
  long RecordCount() override;
  int Type() const override { return type_; }
  void MoveFirst() override;
  void MoveLast() override;
  void MoveNext() override;
  void MovePrevious() override;
  void AddNew() override;
  void Edit() override;
  void Update() override;
  void Delete() override;
  void SetIndex(const std::string&) override;
  std::string Index() const override { return ""; }
  void Seek(const std::string&, const Variant&, const Variant& = Variant()) override;
  bool NoMatch() const override { return false; }
  BookmarkType Bookmark() const override;
  void SetBookmark(BookmarkType bookmark) override;
  void PlaceRow(BookmarkType row, BookmarkType before) override;
  void PlaceRowInOrder(BookmarkType row, const std::function<bool(const Recordset&)>& goesAfter) override;
  void BeforeOwnWrite() override {
    Drain();
    StopFollowing();
    if (point_) sqlite3_reset(point_);
    point_ = nullptr;
    pointAt_ = -1;
  }
  void ReleaseStatements() override;
  void FinalizeOwn() override;

 protected:
  sqlite3_stmt* CurrentRow() const override;
  Variant MaterializedValue(int index) const override;
  bool Materialized() const override { return !keyed_; }
  std::vector<std::vector<Variant>> GetRows(long maxRows) override;
  bool OnDeletedRow() const override {
    return pos_ >= 0 && pos_ < static_cast<long>(Known()) && Deleted(static_cast<size_t>(pos_));
  }

 private:
  size_t Known() const { return keyed_ ? rowids_.size() : rows_.size(); }
  // Every row of a fresh recordset read in stored order and sorted here;
  // false (nothing changed) when the order cannot be reproduced so.
  bool ReadAllSorted(std::vector<std::vector<Variant>>& columns);
  // Orders the set by reading only its rowids and order keys, a stretch at
  // a time with tick between, and sorting them through aside, as the
  // engine would in the program's collation; false (nothing changed) when
  // the order is not one this can reproduce.
  bool OrderByKeys(const std::function<void()>& tick, const Database::Aside& aside);
  bool FetchMore();  // one more row from the scan; false at its end
  // PlaceRow's halves: every rowid read and the row taken out of the set;
  // the row put back at an index and made current.
  void TakeRowOut(BookmarkType row);
  void PutRowAt(BookmarkType row, size_t at);
  void Drain();
  bool DrainByRowids();
  void Follow(long target);
  void StopFollowing();
  void CheckUpdatable() const;
  bool Deleted(size_t i) const { return deleted_[i] != 0; }
  void CurrentOrThrow() const;

  int type_;
  bool keyed_;
  Translation tr_;
  sqlite3_stmt* scan_ = nullptr;  // running scan (keyed), owned
  bool complete_ = false;
  long scanAt_ = -1;  // row index the scan is positioned on
  std::vector<std::int64_t> rowids_;
  std::vector<std::vector<Variant>> rows_;  // materialized results
  std::vector<char> deleted_;
  long live_ = 0;  // rows not deleted
  long pos_ = -1;  // -1 before the first row; Known() after the last
  bool bof_ = true, eof_ = true;
  mutable sqlite3_stmt* point_ = nullptr;
  mutable long pointAt_ = -1;
  mutable std::uint64_t pointGen_ = 0;
  std::string pointSql_;
  std::optional<long> count_;
};

}  // namespace dao::detail
