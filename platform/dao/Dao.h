#pragma once
// A small data-access layer with the vocabulary of the classic desktop
// database objects (engine, workspace, database, recordset, table
// definition, field, index) over SQLite 3. The window code opens tables by
// name and walks them through an index with Seek, opens SQL text as
// recordsets, and adds, edits and deletes rows through them.
//
// SQL text is accepted in the desktop engine's dialect (ucase, instr, &,
// `delete * from`, `*` wildcards, #m/d/yyyy# dates ...) and translated.
// Errors are thrown as dao::Error with the engine's numbers and texts.
//
// Objects are handed around by shared pointer: a database or recordset is
// one object, whoever holds it.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Variant.h"

namespace dao {

using vb::Variant;

// Field type codes.
enum DataType : int {
  dbBoolean = 1,
  dbByte = 2,
  dbInteger = 3,
  dbLong = 4,
  dbCurrency = 5,
  dbSingle = 6,
  dbDouble = 7,
  dbDate = 8,
  dbText = 10,
  dbMemo = 12,
};

enum RecordsetType : int {
  dbOpenDefault = 0,  // table-type for a table name, dynaset for SQL text
  dbOpenTable = 1,
  dbOpenDynaset = 2,
  dbOpenSnapshot = 4,
};

enum EditMode : int { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };

// Engine error numbers the callers look at.
enum ErrorNumber : int {
  errNoCurrentRecord = 3021,     // "No current record."
  errRecordDeleted = 3167,       // "Record is deleted." (another connection deleted the row)
  errDuplicateKey = 3022,
  errCouldNotFindFile = 3024,    // "Could not find file '...'."
  errInvalidOperation = 3219,
  errTableNotFound = 3078,
  errUpdateWithoutEdit = 3020,
  errNotADatabase = 3343,        // "Unrecognized database format '...'."
  errFileLocked = 3045,          // "Could not use '...'; file already in use."
  errReadOnly = 3051,            // "The engine cannot open the file '...'. It is already opened exclusively by another user, or you need permission to view its data."
  errItemNotFound = 3265,        // "Item not found in this collection."
  errFieldTooSmall = 3163,       // "The field is too small to accept the amount of data you attempted to add. ..."
  errDamaged = 3049,             // the file is damaged (the engine found a page it cannot read)
  errNotUpdatable = 3027,        // "Cannot update. Database or object is read-only."
  errObjectExists = 3010,        // "Table '...' already exists."
  errIndexExists = 3284,         // "Index already exists."
  errSyntax = 3075,              // syntax error in query expression
  errDataType = 3464,            // "Data type mismatch in criteria expression."
  errConversion = 13,            // "Type mismatch"
  errGeneral = 3000,             // any other engine failure
};

// An engine error; windows catch vb::RuntimeError and show number and text.
class Error : public vb::RuntimeError {
 public:
  using vb::RuntimeError::RuntimeError;
};

// An engine error about the file as a whole rather than about one
// statement: damaged, read-only, in use, a full disk. It names the file,
// so that whoever tells the user can name it too. Every damaged page the
// engine meets, at opening or at any later read or write, is raised as
// one of these with number errDamaged.
class FileError : public Error {
 public:
  FileError(int number, const std::string& description, std::string path)
      : Error(number, description), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Quoting of user text for SQL built by concatenation: every single quote
// doubled. SqlEscape gives the inside of a quoted literal, SqlQuote the
// whole literal with its quotes.
std::string SqlEscape(const std::string& text);
std::string SqlQuote(const std::string& text);

class Database;
class Recordset;
namespace detail {
class DatabaseImpl;
}
class TableDef;
class Workspace;
using DatabasePtr = std::shared_ptr<Database>;
using RecordsetPtr = std::shared_ptr<Recordset>;
using TableDefPtr = std::shared_ptr<TableDef>;

// A field definition (in a TableDef) or a field of a recordset's current row.
struct FieldDef {
  std::string Name;
  int Type = dbText;
  int Size = 50;                 // characters for Text; 0 = the type's own size
  bool AllowZeroLength = false;  // Text and Memo: "" may be stored
  bool Required = false;
  // Long only: the table numbers new rows itself, never reusing the key of
  // a deleted row (the table's primary key; at most one per table).
  bool AutoIncrement = false;
};

struct IndexDef {
  std::string Name;
  std::vector<std::string> Fields;  // in key order
  bool Primary = false;
  bool Unique = false;
};

class TableDef {
 public:
  explicit TableDef(std::string name) : Name(std::move(name)) {}
  std::string Name;
  std::vector<FieldDef> Fields;
  std::vector<IndexDef> Indexes;

  // Building a definition (before it is appended to a database).
  FieldDef& CreateField(const std::string& name, int type, int size = 0);
  IndexDef& CreateIndex(const std::string& name);

  // On a definition that belongs to a database (taken from TableDefs):
  // add one field or index to the stored table at once.
  void AppendField(const FieldDef& field);
  void AppendIndex(const IndexDef& index);
  // Change AllowZeroLength of a stored field.
  void SetAllowZeroLength(const std::string& field, bool allow);

 private:
  friend class Database;
  friend class detail::DatabaseImpl;
  std::weak_ptr<Database> db_;
};

// A recordset: a table opened by name (table-type: Index, Seek) or the rows
// of an SQL text (dynaset or snapshot). Rows added through it stay on it.
class Recordset {
 public:
  virtual ~Recordset() = default;

  virtual bool BOF() const = 0;
  virtual bool Eof() const = 0;  // EOF is a C macro, hence the spelling
  virtual long RecordCount() = 0;
  virtual int Type() const = 0;
  virtual int EditMode() const = 0;

  virtual void MoveFirst() = 0;
  virtual void MoveLast() = 0;
  virtual void MoveNext() = 0;
  virtual void MovePrevious() = 0;

  virtual void AddNew() = 0;
  virtual void Edit() = 0;
  virtual void Update() = 0;
  virtual void CancelUpdate() = 0;
  virtual void Delete() = 0;  // the current row; position is then "deleted" until a move

  // Field access by name (without regard to case) or by position.
  virtual Variant GetField(const std::string& name) const = 0;
  virtual Variant GetField(int index) const = 0;
  virtual void SetField(const std::string& name, const Variant& value) = 0;
  virtual int FieldCount() const = 0;
  virtual FieldDef FieldInfo(int index) const = 0;
  virtual bool HasField(const std::string& name) const = 0;

  // Reads the rows from the current one on (the first when before it),
  // at most maxRows of them (all when maxRows < 0), in one pass, and moves
  // past them: onto the next row, or to EOF when they ran out. Deleted
  // rows are skipped. The result holds one vector per field, in field
  // order, each with one value per row read (empty at EOF).
  virtual std::vector<std::vector<Variant>> GetRows(long maxRows = -1);

  // Table-type only.
  virtual void SetIndex(const std::string& indexName) = 0;
  virtual std::string Index() const = 0;
  // Comparison "=", "<", "<=", ">", ">="; one key per field of the index.
  virtual void Seek(const std::string& comparison, const Variant& key1,
                    const Variant& key2 = Variant()) = 0;
  virtual bool NoMatch() const = 0;

  // An opaque position token for the current row.
  using BookmarkType = std::int64_t;
  virtual BookmarkType Bookmark() const = 0;
  virtual void SetBookmark(BookmarkType bookmark) = 0;
  // Updatable SQL sets only: puts the row of that bookmark (a row of the
  // set's table, in the set or not yet) before the row `before` (0: after
  // the last) without running the query again, and makes it current. For a
  // caller that knows where a write it made puts the row in the set's order.
  // Other sets raise 3251.
  virtual void PlaceRow(BookmarkType row, BookmarkType before);
  // The same for a caller that does not know the row after it: the place
  // is found by halving over the set, which stands on each row compared;
  // goesAfter says whether the row placed sorts after the current one.
  virtual void PlaceRowInOrder(BookmarkType row, const std::function<bool(const Recordset&)>& goesAfter);

  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Convenience accessor in the style of rs!name / rs("name").
  class FieldRef {
   public:
    FieldRef(Recordset& rs, std::string name) : rs_(rs), name_(std::move(name)) {}
    Variant Value() const { return rs_.GetField(name_); }
    operator Variant() const { return Value(); }
    FieldRef& operator=(const Variant& v) { rs_.SetField(name_, v); return *this; }
   private:
    Recordset& rs_;
    std::string name_;
  };
  FieldRef Fields(const std::string& name) { return FieldRef(*this, name); }
  FieldRef operator[](const std::string& name) { return Fields(name); }
};

class Database : public std::enable_shared_from_this<Database> {
 public:
  virtual ~Database() = default;

  // File name as opened (after resolving letter case).
  virtual std::string Name() const = 0;

  // A table name opens a table-type recordset (dbOpenDefault); SQL text
  // opens a dynaset. A missing table raises 3078.
  virtual RecordsetPtr OpenRecordset(const std::string& source, int type = dbOpenDefault) = 0;
  // Runs an action query (insert, update, delete, create ...).
  virtual void Execute(const std::string& sql) = 0;
  // Reads the rows of a select from the first to the last without keeping
  // them, for reads too long to hold as a recordset (one key per row of a
  // large table): each row's values go to row, which returns false to
  // stop. The statement has ended when the call returns. row must not use
  // the database.
  virtual void ForEachRow(const std::string& sql, const std::function<bool(const std::vector<Variant>&)>& row);
  virtual long RecordsAffected() const = 0;
  // Adds count rows to table, the text value(i) in field of the i-th and
  // the other fields at their defaults, through one statement with the
  // value bound: a long list spelled out as SQL text is read and parsed
  // again for every few rows. A failure leaves the rows added before it;
  // the caller's transaction keeps the whole all or nothing.
  virtual void AppendTexts(const std::string& table, const std::string& field, size_t count,
                           const std::function<std::string_view(size_t)>& value);

  // Rows of a table added, changed or deleted through this database since
  // a mark, so that a list of the table's rows can follow them without
  // reading the table again. ChangedRowsSince gives false when that is no
  // longer known (too many changes since); a table emptied at once may
  // not be told row by row, so a caller checks its count as well.
  virtual std::uint64_t ChangeMark() { return 0; }
  virtual bool ChangedRowsSince(std::uint64_t mark, const std::string& table, std::vector<std::int64_t>& rowids) {
    (void)mark, (void)table, (void)rowids;
    return false;
  }

  // Table definitions (user tables only).
  virtual std::vector<std::string> TableDefNames() = 0;
  // The definition of a stored table, live: AppendField/AppendIndex act on
  // the file. Raises 3265 when the table does not exist.
  virtual TableDefPtr TableDefs(const std::string& name) = 0;
  virtual TableDefPtr CreateTableDef(const std::string& name) = 0;
  // Creates the table with its fields and indexes.
  virtual void AppendTableDef(const TableDef& def) = 0;
  virtual void DeleteTableDef(const std::string& name) = 0;

  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void Rollback() = 0;
  // Commits like CommitTrans, but the engine's writing of the file, which
  // for a transaction that changed much of a large file is one long step,
  // is handed to `aside` to run (on a thread of its own while the caller's
  // windows are kept painted). Nothing else may use this connection until
  // aside returns. A nested transaction is released here, as by
  // CommitTrans. Should the commit fail, the transaction stays open for
  // Rollback when the engine kept it open.
  using Aside = std::function<void(const std::function<void()>& work)>;
  virtual void CommitTransAside(const Aside& aside) {
    (void)aside;
    CommitTrans();
  }
  // Opens a dynaset as OpenRecordset does, for a set whose opening may take
  // long: a large set ordered by one text field holding names beyond ASCII,
  // which the engine would sort in one long step before the first row.
  // Here only the order's keys are read, with tick called every few
  // milliseconds meanwhile, and their sort is handed to aside; the rows
  // are then read by their keys as they are reached. The order is the one
  // OpenRecordset gives.
  virtual RecordsetPtr OpenRecordsetAside(const std::string& sql, const std::function<void()>& tick,
                                          const Aside& aside) {
    (void)tick, (void)aside;
    return OpenRecordset(sql);
  }

  // Rebuilds, once, the NOCASE indexes of a file written before they were
  // kept on SQLite's own collation, and marks the file so. Opening a file
  // writes nothing: the caller mends a file only once it knows the file is
  // one of the program's own. A read-only or busy file stays as it is.
  virtual void MendIndexes() {}

  // For one walk over every page of a large file, each page read once: the
  // engine's small default page cache walks it several times faster than
  // the large one a listing's sort wants. Ends with the scope's end.
  class WalkCache {
   public:
    explicit WalkCache(Database& db) : db_(db) { db_.UsePageCacheForWalk(true); }
    ~WalkCache() { db_.UsePageCacheForWalk(false); }
    WalkCache(const WalkCache&) = delete;
    WalkCache& operator=(const WalkCache&) = delete;

   private:
    Database& db_;
  };
  virtual void UsePageCacheForWalk(bool walk) { (void)walk; }

  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};

class Workspace {
 public:
  // Opens an existing database file; the name is resolved relative to the
  // current folder without regard to letter case, "\" read as "/".
  // A missing file raises 3024; a file that is no database raises 3343.
  // The engine may roll back an interrupted change; nothing else is
  // written to the file (see Database::MendIndexes).
  DatabasePtr OpenDatabase(const std::string& name, bool exclusive = false, bool readOnly = false);
  // A connection of its own to an existing file, for work on another
  // thread while this one keeps the windows painted: the engine keeps it
  // apart from the open databases (ReleaseReads, Workspace transactions and
  // the other connections' writes never reach it), so only the thread
  // that works on it touches it. The caller closes it, and lets go of the
  // other connections' reads first when it writes. readsOnce: the work
  // reads the file through once (a scan), so the connection keeps a small
  // page cache.
  DatabasePtr OpenAside(const std::string& name, bool readOnly = false, bool readsOnce = false);
  // Creates a new, empty database file (3204 when it exists).
  DatabasePtr CreateDatabase(const std::string& name);
  void BeginTrans();
  void CommitTrans();
  void Rollback();
};

class DBEngine {
 public:
  static Workspace& Workspaces(int index = 0);
  // Lets go of every read the open databases hold between two calls
  // (statements stepped on a current row, scans half read), so that other
  // programs can write to the files meanwhile. Positions stay; a row is
  // read again when next asked for. The program calls it whenever it goes
  // back to waiting for the user. Never throws.
  static void ReleaseReads();
  // Copies source into a new, compacted file target; target must not exist.
  static void CompactDatabase(const std::string& source, const std::string& target);
  // Rewrites file in place, compacted, through the engine's own journal:
  // other programs may keep it open and go on writing to it. A write another
  // program holds is waited for as long as a write of this layer waits;
  // longer, and the file is left as it was (errFileLocked naming it). Run
  // it on a connection of its own: every statement of this process on the
  // file must have let go of its reads.
  static void CompactInPlace(const std::string& file);
};

// Ending a recordset's work on the way out of a failure, where a second
// error would hide the first: a pending AddNew or Edit is dropped and a
// set is closed and let go; errors of either are swallowed.
inline void CancelPending(const RecordsetPtr& rs) {
  if (!rs) return;
  try {
    if (rs->IsOpen() && rs->EditMode() != dbEditNone) rs->CancelUpdate();
  } catch (const vb::RuntimeError&) {
  }
}

inline void CloseQuietly(RecordsetPtr& rs) {
  if (!rs) return;
  try {
    rs->Close();
  } catch (const vb::RuntimeError&) {
  }
  rs.reset();
}

}  // namespace dao
