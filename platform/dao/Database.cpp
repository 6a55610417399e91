// The database object, workspace and engine over SQLite.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/dao/DaoInternal.h"
#include "platform/dao/SqlFunctions.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Waiting.h"

namespace dao {

std::string SqlEscape(const std::string& text) {
  if (text.find('\0') != std::string::npos) detail::FailZeroByte();
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string SqlQuote(const std::string& text) { return "'" + SqlEscape(text) + "'"; }

namespace detail {
namespace {

constexpr int kBusyTimeoutMs = 500;
// A write that finds the file held by another program waits inside the
// engine this long at a time, so that the windows are painted between
// tries, and gives up after kWriteWaitMs.
constexpr int kWriteTryMs = 100;
constexpr int kWriteWaitMs = 5000;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool StartsWithWord(const std::string& s, const char* word) {
  size_t i = 0;
  while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
  size_t n = std::strlen(word);
  if (s.size() - i < n) return false;
  for (size_t k = 0; k < n; ++k)
    if (std::tolower(static_cast<unsigned char>(s[i + k])) != word[k]) return false;
  return i + n == s.size() || !std::isalnum(static_cast<unsigned char>(s[i + n]));
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// Files of this process that several connections share: a write through
// one makes the others let go of their read positions.
std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}
std::multimap<std::string, DatabaseImpl*>& Registry() {
  static std::multimap<std::string, DatabaseImpl*> r;
  return r;
}

struct WorkspaceState {
  std::vector<std::weak_ptr<DatabaseImpl>> databases;
};
WorkspaceState& Workspace0() {
  static WorkspaceState s;
  return s;
}

std::string FileLockedText(const std::string& path) {
  return "Could not use '" + path + "'; file already in use.";
}
std::string NotADatabaseText(const std::string& path) { return "Unrecognized database format '" + path + "'."; }

// Checks the file before SQLite sees it: SQLite would take an empty or
// missing file for a new database.
void CheckFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    Fail(errCouldNotFindFile, "Could not find file '" + path + "'.");
  std::ifstream in(path, std::ios::binary);
  if (!in)
    Fail(errReadOnly, "The database engine cannot open the file '" + path +
                          "'. It is already opened exclusively by another user, or you need permission to view "
                          "its data.");
  char header[16] = {};
  in.read(header, sizeof header);
  if (in.gcount() != sizeof header || std::memcmp(header, "SQLite format 3", 16) != 0 || st.st_size < 512)
    Fail(errNotADatabase, NotADatabaseText(path));
}

sqlite3* OpenConnection(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  // Each connection is used by one thread only (the program's windows run
  // on the user-interface thread), so SQLite need not lock it on every
  // call: a full listing makes millions of them.
  int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    Fail(errReadOnly, "The database engine cannot open the file '" + path +
                          "'. It is already opened exclusively by another user, or you need permission to view "
                          "its data.");
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // Sorts too big for the page cache spill into memory rather than into
  // temporary files.
  sqlite3_exec(db, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
  RegisterFunctions(db);
  return db;
}

// Reads the schema once so that a locked or damaged file shows now. Each
// engine failure keeps its own message: a healthy file that cannot be
// read here (a leftover journal it may not roll back, a full disk) is not
// called damaged.
void Probe(sqlite3* db, const std::string& path) {
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db, "select count(*) from sqlite_master", -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  if (rc == SQLITE_OK) return;
  const int ext = sqlite3_extended_errcode(db);
  const std::string engine = sqlite3_errmsg(db);
  sqlite3_close(db);
  FailOpen(ext != SQLITE_OK ? ext : rc, path, engine);
}

// The file's user_version once its indexes are built with SQLite's own
// NOCASE (earlier files were indexed under a collation of the same name
// that ordered letters beyond ASCII otherwise).
constexpr int kIndexedWithOwnNocase = 1;

int UserVersion(sqlite3* db) {
  sqlite3_stmt* st = nullptr;
  int v = -1;
  if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
    v = sqlite3_column_int(st, 0);
  sqlite3_finalize(st);
  return v;
}

}  // namespace

void RebuildOldIndexes(sqlite3* db) {
  if (sqlite3_db_readonly(db, "main") != 0 || UserVersion(db) >= kIndexedWithOwnNocase) return;
  // All or nothing; a file another program holds, or one on a full disk,
  // is left as it is and tried again at the next open.
  if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return;
  const std::string sql = "REINDEX NOCASE; PRAGMA user_version = " + std::to_string(kIndexedWithOwnNocase);
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK &&
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
    return;
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void FailOpen(int rc, const std::string& path, const std::string& engine) {
  switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: Fail(errFileLocked, FileLockedText(path));
    case SQLITE_NOTADB: Fail(errNotADatabase, NotADatabaseText(path));
    case SQLITE_CORRUPT: FailDamaged(path);
    case SQLITE_FULL: FailFile(errDiskFull, "Disk full: there is no room to write '" + path + "'.", path);
    case SQLITE_READONLY:
      Fail(errReadOnly, "'" + path +
                            "' cannot be opened: an unfinished change waits in its journal and cannot be undone "
                            "because the file or its folder is read-only. Open it once where it can be written.");
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
      Fail(errReadOnly, "The database engine cannot open the file '" + path +
                            "'. It is already opened exclusively by another user, or you need permission to view "
                            "its data.");
    case SQLITE_IOERR: Fail(3043, "Disk or network error reading '" + path + "'.");
    default: Fail(errGeneral, "Cannot open database '" + path + "': " + engine + ".");
  }
}

int TypeFromDecl(const std::string& decl, int& size) {
  std::string d = Upper(decl);
  size = 0;
  size_t paren = d.find('(');
  std::string base = d.substr(0, paren);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  while (!base.empty() && base.front() == ' ') base.erase(0, 1);
  int n = 0;
  if (paren != std::string::npos) n = std::atoi(d.c_str() + paren + 1);
  if (base == "BOOLEAN" || base == "BIT" || base == "YESNO" || base == "LOGICAL") return size = 1, dbBoolean;
  if (base == "BYTE" || base == "TINYINT") return size = 1, dbByte;
  if (base == "SMALLINT" || base == "SHORT") return size = 2, dbInteger;
  if (base == "INTEGER" || base == "INT" || base == "LONG" || base == "BIGINT" || base == "COUNTER")
    return size = 4, dbLong;
  if (base == "CURRENCY" || base == "MONEY") return size = 8, dbCurrency;
  if (base == "SINGLE") return size = 4, dbSingle;
  if (base == "DOUBLE" || base == "FLOAT" || base == "REAL" || base == "NUMERIC" || base == "DECIMAL" ||
      base == "DOUBLE PRECISION")
    return size = 8, dbDouble;
  if (base == "DATETIME" || base == "DATE" || base == "TIME" || base == "TIMESTAMP") return size = 8, dbDate;
  if (base == "VARCHAR" || base == "CHAR" || base == "NVARCHAR" || base == "CHARACTER" || base == "NCHAR" ||
      (base == "TEXT" && n > 0))
    return size = n > 0 ? n : 255, dbText;
  if (base == "TEXT" || base == "MEMO" || base == "CLOB" || base == "LONGTEXT") return size = 0, dbMemo;
  return 0;
}

std::string DeclFromField(const FieldDef& f) {
  switch (f.Type) {
    case dbBoolean: return "BOOLEAN";
    case dbByte: return "BYTE";
    case dbInteger: return "SMALLINT";
    case dbLong: return "INTEGER";
    case dbCurrency: return "CURRENCY";
    case dbSingle: return "SINGLE";
    case dbDouble: return "DOUBLE";
    case dbDate: return "DATETIME";
    case dbText: return "VARCHAR(" + std::to_string(f.Size > 0 ? f.Size : 50) + ")";
    case dbMemo: return "TEXT";
    default: Fail(errInvalidArgument, "Invalid argument.");
  }
}

int StmtCache::Get(const std::string& sql, sqlite3_stmt** out) {
  auto it = map_.find(sql);
  if (it != map_.end()) {
    uses_.splice(uses_.begin(), uses_, it->second.use);
    *out = it->second.stmt;
    return SQLITE_OK;
  }
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &st,
                              nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(st);
    return rc;
  }
  if (capacity_ && map_.size() >= capacity_) {
    auto old = map_.find(uses_.back());
    sqlite3_finalize(old->second.stmt);
    map_.erase(old);
    uses_.pop_back();
  }
  uses_.push_front(sql);
  map_.emplace(sql, Entry{st, uses_.begin()});
  *out = st;
  return SQLITE_OK;
}

void StmtCache::ResetAll() {
  for (auto& [sql, e] : map_) sqlite3_reset(e.stmt);
}

void StmtCache::Clear() {
  for (auto& [sql, e] : map_) sqlite3_finalize(e.stmt);
  map_.clear();
  uses_.clear();
}

// ---------------------------------------------------------------- database

DatabaseImpl::DatabaseImpl(sqlite3* db, std::string path, std::string name, bool listed)
    : db_(db), path_(std::move(path)), name_(std::move(name)), stmts_(db, kStatementCacheSize), listed_(listed) {
  // A listing of the whole collection sorts some megabytes of rows: with
  // SQLite's small default page cache the sorter spills and every pass
  // reads the file again. A larger cache keeps both in memory; it grows
  // only as far as it is used. (Set here, once the file passed its probe,
  // as the setting reads the schema.)
  UsePageCacheForWalk(false);
  sqlite3_update_hook(db_, &DatabaseImpl::OnRowChanged, this);
  if (!listed_) return;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto [b, e] = Registry().equal_range(path_);
  for (auto it = b; it != e; ++it) {
    ++it->second->siblings_;
    ++siblings_;
  }
  Registry().emplace(path_, this);
}

DatabaseImpl::~DatabaseImpl() { Close(); }

// A new connection fills its large page cache page by page; for a read
// that meets each page once that costs more than the reading itself.
void DatabaseImpl::UsePageCacheForWalk(bool walk) {
  if (!db_) return;
  sqlite3_exec(db_, walk ? "PRAGMA cache_size = -2000" : "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
}

namespace {
// Enough for the saves and lookup renames between two refreshes of a list;
// more and the list is read again.
constexpr size_t kChangesKept = 4096;
}  // namespace

void DatabaseImpl::OnRowChanged(void* self, int, const char*, const char* table, sqlite3_int64 rowid) {
  auto* db = static_cast<DatabaseImpl*>(self);
  db->changes_.push_back({++db->changeSeq_, Lower(table ? table : ""), rowid});
  if (db->changes_.size() > kChangesKept) db->changes_.pop_front();
}

bool DatabaseImpl::ChangedRowsSince(std::uint64_t mark, const std::string& table, std::vector<std::int64_t>& rowids) {
  rowids.clear();
  if (mark > changeSeq_) return false;
  if (mark < changeSeq_ && (changes_.empty() || changes_.front().seq > mark + 1)) return false;
  const std::string wanted = Lower(table);
  for (const Change& c : changes_)
    if (c.seq > mark && c.table == wanted) rowids.push_back(c.rowid);
  std::sort(rowids.begin(), rowids.end());
  rowids.erase(std::unique(rowids.begin(), rowids.end()), rowids.end());
  return true;
}

void DatabaseImpl::ThrowIfClosed() const {
  if (!db_) Fail(3420, "Object invalid or no longer set.");
  if (lent_) Fail(errGeneral, "The collection is being written; the change was not made.");
}

sqlite3* DatabaseImpl::Handle() const {
  ThrowIfClosed();
  return db_;
}

void DatabaseImpl::Raise(int rc, const std::string& context) const {
  std::string msg = db_ ? sqlite3_errmsg(db_) : "";
  int primary = rc & 0xFF;
  switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: FailFile(errFileLocked, FileLockedText(path_), path_);
    case SQLITE_READONLY:
      FailFile(errNotUpdatable, "Cannot update. Database or object is read-only.", path_);
    // Once the file is open, a header that is no longer a database's is
    // damage like any other page the engine cannot read.
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: FailDamaged(path_);
    case SQLITE_FULL: FailFile(errDiskFull, "Not enough space on disk.", path_);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN: FailFile(3043, "Disk or network error.", path_);
    case SQLITE_CONSTRAINT:
      if (rc == SQLITE_CONSTRAINT_NOTNULL) {
        std::string col = msg.substr(msg.rfind('.') == std::string::npos ? 0 : msg.rfind('.') + 1);
        Fail(errRequired, "The field '" + col +
                              "' cannot contain a Null value because the Required property for this field is set "
                              "to True. Enter a value in this field.");
      }
      Fail(errDuplicateKey,
           "The changes you requested to the table were not successful because they would create duplicate "
           "values in the index, primary key, or relationship. Change the data in the field or fields that "
           "contain duplicate data, remove the index, or redefine the index to permit duplicate entries and try "
           "again.");
    default: break;
  }
  if (msg.rfind("no such table: ", 0) == 0) {
    std::string t = msg.substr(15);
    if (size_t dot = t.find('.'); dot != std::string::npos && t.substr(0, dot) == "main") t = t.substr(dot + 1);
    Fail(errTableNotFound, "The database engine cannot find the input table or query '" + t +
                               "'. Make sure it exists and that its name is spelled correctly.");
  }
  if (msg.rfind("no such column: ", 0) == 0) Fail(errTooFewParameters, "Too few parameters. Expected 1.");
  if (msg.find("syntax error") != std::string::npos || msg.rfind("no such function", 0) == 0 ||
      msg.find("wrong number of arguments") != std::string::npos)
    FailSyntax(context);
  if (msg.find("already exists") != std::string::npos) Fail(errObjectExists, msg);
  if (msg.find("Data type mismatch") != std::string::npos) Fail(errDataType, msg);
  Fail(errGeneral, msg + (context.empty() ? "" : " (" + context + ")"));
}

sqlite3_stmt* DatabaseImpl::Prepare(const std::string& sql, const std::string& context) {
  ThrowIfClosed();
  sqlite3_stmt* st = nullptr;
  int rc = stmts_.Get(sql, &st);
  if (rc != SQLITE_OK) Raise(rc, context);
  return st;
}

int DatabaseImpl::StepWrite(sqlite3_stmt* st) {
  struct ShortTries {
    sqlite3* db;
    explicit ShortTries(sqlite3* h) : db(h) { sqlite3_busy_timeout(db, kWriteTryMs); }
    ~ShortTries() { sqlite3_busy_timeout(db, kBusyTimeoutMs); }
  } tries(db_);
  int rc = sqlite3_step(st);
  if ((rc & 0xFF) != SQLITE_BUSY) return rc;
  // A write that failed as busy did nothing (the engine rolled back what
  // it had begun), so it is run again from its start, bindings kept.
  vb::OutsideWait wait;
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteWaitMs);
  while ((rc & 0xFF) == SQLITE_BUSY && std::chrono::steady_clock::now() < until) {
    sqlite3_reset(st);
    wait.Step();
    rc = sqlite3_step(st);
  }
  return rc;
}

void DatabaseImpl::Run(const std::string& sql, const std::string& context) {
  ThrowIfClosed();
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    rc = StepWrite(st);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) rc = SQLITE_OK;
  }
  if (rc != SQLITE_OK) {
    // The message belongs to the failed statement; read it before finalizing.
    std::string msg = sqlite3_errmsg(db_);
    int ext = sqlite3_extended_errcode(db_);
    sqlite3_finalize(st);
    (void)msg;
    Raise(ext ? ext : rc, context);
  }
  affected_ = sqlite3_changes(db_);
  sqlite3_finalize(st);
}

std::string DatabaseImpl::RealTableName(const std::string& name) {
  sqlite3_stmt* st = Prepare(
      "select name from sqlite_master where type in ('table','view') and name = ?1 collate nocase", "");
  StmtUse use(st);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) return reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
  if (rc != SQLITE_DONE) Raise(sqlite3_extended_errcode(db_), name);
  return "";
}

void DatabaseImpl::LoadTable(const std::string& name, TableInfo& info) {
  info.name = name;
  sqlite3_stmt* st = nullptr;
  std::string sql = "pragma table_info(" + QuoteIdent(name) + ")";
  int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(st);
    Raise(rc, name);
  }
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    ColumnInfo c;
    c.name = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    const unsigned char* decl = sqlite3_column_text(st, 2);
    c.declType = decl ? reinterpret_cast<const char*>(decl) : "";
    c.type = TypeFromDecl(c.declType, c.size);
    c.required = sqlite3_column_int(st, 3) != 0;
    c.autoIncrement = sqlite3_column_int(st, 5) == 1 && c.type == dbLong;
    info.columns.push_back(std::move(c));
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) Raise(rc, name);
  {
    // An integer key numbers rows itself only when declared AUTOINCREMENT
    // (a plain key would hand a deleted row's number to the next one).
    sqlite3_stmt* q = Prepare("select sql from sqlite_master where type = 'table' and name = ?1 collate nocase", "");
    StmtUse use(q);
    sqlite3_bind_text(q, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    const bool declared = sqlite3_step(q) == SQLITE_ROW && sqlite3_column_text(q, 0) &&
                          Upper(reinterpret_cast<const char*>(sqlite3_column_text(q, 0))).find("AUTOINCREMENT") !=
                              std::string::npos;
    for (ColumnInfo& c : info.columns) c.autoIncrement = c.autoIncrement && declared;
  }
  if (!RealTableName("tvn_fieldprops").empty()) {
    sqlite3_stmt* p = Prepare(
        "select fieldname from tvn_fieldprops where tablename = ?1 collate nocase and allowzerolength = 0", "");
    StmtUse use(p);
    sqlite3_bind_text(p, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(p) == SQLITE_ROW) {
      int c = info.Find(reinterpret_cast<const char*>(sqlite3_column_text(p, 0)));
      if (c >= 0) info.columns[static_cast<size_t>(c)].allowZeroLength = false;
    }
  }
}

const TableInfo* DatabaseImpl::Table(const std::string& name) {
  ThrowIfClosed();
  std::string key = Lower(name);
  auto it = tables_.find(key);
  if (it != tables_.end()) return it->second.get();
  std::string real = RealTableName(name);
  if (real.empty()) return nullptr;
  auto info = std::make_unique<TableInfo>();
  LoadTable(real, *info);
  const TableInfo* p = info.get();
  tables_[key] = std::move(info);
  return p;
}

void DatabaseImpl::SchemaChanged() {
  tables_.clear();
  translations_.clear();
}

const Translation& DatabaseImpl::Translate(const std::string& jet) {
  auto it = translations_.find(jet);
  if (it != translations_.end()) return it->second;
  if (translations_.size() > 500) translations_.clear();
  Translation tr = TranslateJet(jet, [this](const std::string& t) { return Table(t); });
  return translations_.emplace(jet, std::move(tr)).first->second;
}

void DatabaseImpl::Register(RecordsetBase* rs) { recordsets_.push_back(rs); }

void DatabaseImpl::Unregister(RecordsetBase* rs) {
  recordsets_.erase(std::remove(recordsets_.begin(), recordsets_.end(), rs), recordsets_.end());
}

void DatabaseImpl::ReleaseAll() {
  if (lent_) return;
  for (RecordsetBase* rs : recordsets_) rs->ReleaseStatements();
  stmts_.ResetAll();
}

std::vector<DatabaseImpl*> DatabaseImpl::Siblings() const {
  std::vector<DatabaseImpl*> others;
  if (siblings_ == 0) return others;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  auto [b, e] = Registry().equal_range(path_);
  for (auto it = b; it != e; ++it)
    if (it->second != this) others.push_back(it->second);
  return others;
}

void DatabaseImpl::ReleaseReadsOfFile() {
  ReleaseAll();
  for (DatabaseImpl* o : Siblings()) o->ReleaseAll();
}

void DatabaseImpl::BeforeWrite(bool schemaChange) {
  ThrowIfClosed();
  if (schemaChange) ReleaseAll();
  else
    for (RecordsetBase* rs : recordsets_) rs->BeforeOwnWrite();
  for (DatabaseImpl* o : Siblings()) {
    o->ReleaseAll();
    o->AfterWrite();
    if (schemaChange) o->SchemaChanged();
  }
}

RecordsetPtr DatabaseImpl::OpenRecordset(const std::string& source, int type) {
  ThrowIfClosed();
  std::string s = source;
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(0, 1);
  bool isName = !s.empty() && s.find_first_of(" \t\r\n") == std::string::npos && !StartsWithWord(s, "select");
  if (s.size() > 2 && s.front() == '[' && s.back() == ']' && s.find(']') == s.size() - 1) {
    s = s.substr(1, s.size() - 2);
    isName = true;
  }
  auto self = std::static_pointer_cast<DatabaseImpl>(shared_from_this());
  if (isName) {
    const TableInfo* info = Table(s);
    if (!info)
      Fail(errTableNotFound, "The database engine cannot find the input table or query '" + s +
                                 "'. Make sure it exists and that its name is spelled correctly.");
    if (type == dbOpenDefault || type == dbOpenTable) return std::make_shared<TableRecordset>(self, *info);
    return std::make_shared<QueryRecordset>(self, Translate("select * from [" + info->name + "]"), type);
  }
  if (type == dbOpenTable) Fail(errInvalidOperation, "Invalid operation.");
  const Translation& tr = Translate(s);
  if (!tr.isSelect) Fail(3219, "Invalid operation.");
  return std::make_shared<QueryRecordset>(self, tr, type == dbOpenDefault ? dbOpenDynaset : type);
}

RecordsetPtr DatabaseImpl::OpenRecordsetAside(const std::string& sql, const std::function<void()>& tick,
                                              const Aside& aside) {
  ThrowIfClosed();
  std::string s = sql;
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.erase(0, 1);
  if (!tick || !aside || !StartsWithWord(s, "select")) return OpenRecordset(sql);
  const Translation& tr = Translate(s);
  if (!tr.isSelect) Fail(3219, "Invalid operation.");
  auto self = std::static_pointer_cast<DatabaseImpl>(shared_from_this());
  return std::make_shared<QueryRecordset>(self, tr, dbOpenDynaset, tick, aside);
}

void DatabaseImpl::Execute(const std::string& sql) {
  ThrowIfClosed();
  Translation tr = Translate(sql);
  if (tr.isSelect) Fail(3065, "Cannot execute a select query.");
  bool ddl = StartsWithWord(sql, "create") || StartsWithWord(sql, "alter") || StartsWithWord(sql, "drop");
  BeforeWrite(ddl);
  if (ddl) {
    Run(tr.sql, sql);
    SchemaChanged();
  } else {
    sqlite3_stmt* st = Prepare(tr.sql, sql);
    StmtUse use(st);
    int rc = StepWrite(st);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) Raise(sqlite3_extended_errcode(db_), sql);
    affected_ = sqlite3_changes(db_);
  }
  AfterWrite();
}

void DatabaseImpl::AppendTexts(const std::string& table, const std::string& field, size_t count,
                               const std::function<std::string_view(size_t)>& value) {
  ThrowIfClosed();
  const TableInfo* info = Table(table);
  if (!info)
    Fail(errTableNotFound, "The database engine cannot find the input table or query '" + table +
                               "'. Make sure it exists and that its name is spelled correctly.");
  const int column = info->Find(field);
  if (column < 0) FailItemNotFound();
  const std::string sql = "INSERT INTO " + QuoteIdent(info->name) + " (" +
                          QuoteIdent(info->columns[static_cast<size_t>(column)].name) + ") VALUES (?1)";
  BeforeWrite(false);
  sqlite3_stmt* st = Prepare(sql, sql);
  StmtUse use(st);
  affected_ = 0;
  for (size_t i = 0; i < count; ++i) {
    const std::string_view text = value(i);
    sqlite3_bind_text(st, 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    const int rc = StepWrite(st);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) Raise(sqlite3_extended_errcode(db_), sql);
    sqlite3_reset(st);
    ++affected_;
  }
  AfterWrite();
}

std::vector<std::string> DatabaseImpl::TableDefNames() {
  ThrowIfClosed();
  std::vector<std::string> out;
  sqlite3_stmt* st = Prepare("select name from sqlite_master where type = 'table' order by name", "");
  StmtUse use(st);
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::string n = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    std::string l = Lower(n);
    if (l.rfind("sqlite_", 0) == 0 || l.rfind("tvn_", 0) == 0) continue;
    out.push_back(n);
  }
  if (rc != SQLITE_DONE) Raise(sqlite3_extended_errcode(db_), "");
  return out;
}

TableDefPtr DatabaseImpl::TableDefs(const std::string& name) {
  const TableInfo* info = Table(name);
  if (!info) FailItemNotFound();
  auto def = std::make_shared<TableDef>(info->name);
  for (const ColumnInfo& c : info->columns) {
    FieldDef f;
    f.Name = c.name;
    f.Type = c.type ? c.type : dbText;
    f.Size = c.size;
    f.AllowZeroLength = c.allowZeroLength && (f.Type == dbText || f.Type == dbMemo);
    f.Required = c.required;
    f.AutoIncrement = c.autoIncrement;
    def->Fields.push_back(f);
  }
  // Indexes: the stored name "T.N" is index N of table T.
  std::string prefix = Lower(info->name) + ".";
  sqlite3_stmt* st = nullptr;
  std::string sql = "pragma index_list(" + QuoteIdent(info->name) + ")";
  if (int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr); rc != SQLITE_OK) {
    sqlite3_finalize(st);
    Raise(rc, name);
  }
  std::vector<std::tuple<std::string, bool, std::string>> list;
  while (sqlite3_step(st) == SQLITE_ROW)
    list.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)), sqlite3_column_int(st, 2) != 0,
                      reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
  sqlite3_finalize(st);
  for (auto& [stored, unique, origin] : list) {
    IndexDef idx;
    idx.Name = Lower(stored).rfind(prefix, 0) == 0 ? stored.substr(prefix.size()) : stored;
    if (origin == "pk") idx.Name = "PrimaryKey";
    idx.Unique = unique;
    idx.Primary = origin == "pk" || (unique && Lower(idx.Name) == "primarykey");
    std::string isql = "pragma index_info(" + QuoteIdent(stored) + ")";
    if (sqlite3_prepare_v2(db_, isql.c_str(), -1, &st, nullptr) == SQLITE_OK)
      while (sqlite3_step(st) == SQLITE_ROW) {
        const unsigned char* col = sqlite3_column_text(st, 2);
        idx.Fields.push_back(col ? reinterpret_cast<const char*>(col) : "");
      }
    sqlite3_finalize(st);
    def->Indexes.push_back(idx);
  }
  std::reverse(def->Indexes.begin(), def->Indexes.end());  // in the order they were made
  def->db_ = std::static_pointer_cast<Database>(shared_from_this());
  return def;
}

TableDefPtr DatabaseImpl::CreateTableDef(const std::string& name) {
  ThrowIfClosed();
  auto def = std::make_shared<TableDef>(name);
  def->db_ = std::static_pointer_cast<Database>(shared_from_this());
  return def;
}

namespace {
std::string ColumnSql(const FieldDef& f) {
  std::string s = QuoteIdent(f.Name) + " " + DeclFromField(f);
  if (f.AutoIncrement) {
    if (f.Type != dbLong) Fail(errInvalidArgument, "Invalid argument.");
    return s + " PRIMARY KEY AUTOINCREMENT";
  }
  if (f.Required) s += " NOT NULL";
  if (f.Type == dbBoolean) s += " DEFAULT 0";  // a Yes/No field is never Null
  if (f.Type == dbText || f.Type == dbMemo) s += " COLLATE NOCASE";
  return s;
}

std::string IndexSql(const std::string& table, const IndexDef& idx) {
  if (idx.Fields.empty()) Fail(3264, "No field defined--cannot append TableDef or Index.");
  std::string s = std::string("CREATE ") + (idx.Unique || idx.Primary ? "UNIQUE " : "") + "INDEX " +
                  QuoteIdent(table + "." + idx.Name) + " ON " + QuoteIdent(table) + " (";
  for (size_t i = 0; i < idx.Fields.size(); ++i) s += (i ? ", " : "") + QuoteIdent(idx.Fields[i]);
  return s + ")";
}

// A savepoint around several statements: all or nothing.
class Atomic {
 public:
  explicit Atomic(DatabaseImpl& db) : db_(db) { db_.Run("SAVEPOINT tvn_ddl", ""); }
  ~Atomic() {
    if (!done_) {
      sqlite3_exec(db_.Handle(), "ROLLBACK TO tvn_ddl; RELEASE tvn_ddl", nullptr, nullptr, nullptr);
      db_.SchemaChanged();
    }
  }
  void Commit() {
    db_.Run("RELEASE tvn_ddl", "");
    done_ = true;
  }

 private:
  DatabaseImpl& db_;
  bool done_ = false;
};

void StoreZeroLength(DatabaseImpl& db, const std::string& table, const std::string& field, bool allow) {
  db.Run("CREATE TABLE IF NOT EXISTS tvn_fieldprops (tablename TEXT COLLATE NOCASE, fieldname TEXT COLLATE "
         "NOCASE, allowzerolength INTEGER, PRIMARY KEY (tablename, fieldname))",
         "");
  db.Run("DELETE FROM tvn_fieldprops WHERE tablename = " + SqlQuote(table) + " AND fieldname = " + SqlQuote(field),
         "");
  if (!allow)
    db.Run("INSERT INTO tvn_fieldprops VALUES (" + SqlQuote(table) + ", " + SqlQuote(field) + ", 0)", "");
}
}  // namespace

void DatabaseImpl::AppendTableDef(const TableDef& def) {
  ThrowIfClosed();
  if (!RealTableName(def.Name).empty()) Fail(errObjectExists, "Table '" + def.Name + "' already exists.");
  if (def.Fields.empty()) Fail(3264, "No field defined--cannot append TableDef or Index.");
  BeforeWrite(true);
  {
    Atomic tx(*this);
    std::string sql = "CREATE TABLE " + QuoteIdent(def.Name) + " (";
    for (size_t i = 0; i < def.Fields.size(); ++i) sql += (i ? ", " : "") + ColumnSql(def.Fields[i]);
    Run(sql + ")", sql);
    for (const IndexDef& idx : def.Indexes) Run(IndexSql(def.Name, idx), def.Name);
    for (const FieldDef& f : def.Fields)
      if ((f.Type == dbText || f.Type == dbMemo) && !f.AllowZeroLength) StoreZeroLength(*this, def.Name, f.Name, false);
    tx.Commit();
  }
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::AppendFieldTo(const std::string& table, const FieldDef& f) {
  const TableInfo* info = Table(table);
  if (!info) FailItemNotFound();
  if (info->Find(f.Name) >= 0) Fail(errFieldExists, "Cannot define field more than once.");
  std::string real = info->name;
  BeforeWrite(true);
  {
    Atomic tx(*this);
    Run("ALTER TABLE " + QuoteIdent(real) + " ADD COLUMN " + ColumnSql(f), real);
    if ((f.Type == dbText || f.Type == dbMemo) && !f.AllowZeroLength) StoreZeroLength(*this, real, f.Name, false);
    tx.Commit();
  }
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::AppendIndexTo(const std::string& table, const IndexDef& idx) {
  const TableInfo* info = Table(table);
  if (!info) FailItemNotFound();
  std::string real = info->name;
  for (const std::string& f : idx.Fields)
    if (info->Find(f) < 0) FailItemNotFound();
  sqlite3_stmt* st = Prepare("select 1 from sqlite_master where type = 'index' and name = ?1 collate nocase", "");
  {
    StmtUse use(st);
    std::string stored = real + "." + idx.Name;
    sqlite3_bind_text(st, 1, stored.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(st) == SQLITE_ROW) Fail(errIndexExists, "Index already exists.");
  }
  BeforeWrite(true);
  Run(IndexSql(real, idx), real);
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::SetAllowZeroLength(const std::string& table, const std::string& field, bool allow) {
  const TableInfo* info = Table(table);
  if (!info) FailItemNotFound();
  int c = info->Find(field);
  if (c < 0) FailItemNotFound();
  std::string real = info->name, col = info->columns[static_cast<size_t>(c)].name;
  BeforeWrite(true);
  {
    Atomic tx(*this);
    StoreZeroLength(*this, real, col, allow);
    tx.Commit();
  }
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::DeleteTableDef(const std::string& name) {
  std::string real = RealTableName(name);
  if (real.empty()) FailItemNotFound();
  BeforeWrite(true);
  {
    Atomic tx(*this);
    Run("DROP TABLE " + QuoteIdent(real), real);
    if (!RealTableName("tvn_fieldprops").empty())
      Run("DELETE FROM tvn_fieldprops WHERE tablename = " + SqlQuote(real), "");
    tx.Commit();
  }
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::BeginTrans() {
  ThrowIfClosed();
  if (transDepth_ == 0) {
    // The write lock is taken at the start, while nothing is held: a
    // transaction that read first would have to raise its read lock to a
    // write lock later, which the engine refuses at once (without waiting)
    // while another program writes.
    ReleaseReadsOfFile();
    Run(sqlite3_db_readonly(db_, "main") > 0 ? "BEGIN" : "BEGIN IMMEDIATE", "");
  } else {
    Run("SAVEPOINT tvn_t" + std::to_string(transDepth_), "");
  }
  ++transDepth_;
}

void DatabaseImpl::CommitTrans() {
  ThrowIfClosed();
  if (transDepth_ == 0)
    Fail(errNoTransaction, "You tried to commit or rollback a transaction without first beginning a transaction.");
  --transDepth_;
  try {
    Run(transDepth_ == 0 ? "COMMIT" : "RELEASE tvn_t" + std::to_string(transDepth_), "");
  } catch (...) {
    // A commit the engine refused (another program reading, a full disk)
    // leaves the transaction open: it stays ours to roll back, and the
    // next BeginTrans is not refused as nested.
    if (transDepth_ == 0 && !sqlite3_get_autocommit(db_)) transDepth_ = 1;
    throw;
  }
}

void DatabaseImpl::CommitTransAside(const Aside& aside) {
  ThrowIfClosed();
  if (transDepth_ != 1 || !aside) {
    CommitTrans();
    return;
  }
  int rc = SQLITE_OK;
  {
    // The window thread must not reach the connection while the other
    // thread commits on it (it is opened without the engine's locking):
    // ReleaseReads passes it by, and any other use fails instead of
    // racing.
    struct Lent {
      bool& lent;
      explicit Lent(bool& l) : lent(l) { lent = true; }
      ~Lent() { lent = false; }
    } lent(lent_);
    aside([this, &rc] {
      // The engine waits for a reader of another program by itself here:
      // the caller's windows are painted meanwhile.
      sqlite3_busy_timeout(db_, kWriteWaitMs);
      rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
      if (rc != SQLITE_OK) rc = sqlite3_extended_errcode(db_);
      sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    });
  }
  if (sqlite3_get_autocommit(db_)) transDepth_ = 0;
  if (rc != SQLITE_OK) Raise(rc, "");
}

void DatabaseImpl::Rollback() {
  ThrowIfClosed();
  if (transDepth_ == 0)
    Fail(errNoTransaction, "You tried to commit or rollback a transaction without first beginning a transaction.");
  BeforeWrite(true);
  --transDepth_;
  if (transDepth_ == 0) Run("ROLLBACK", "");
  else {
    std::string sp = "tvn_t" + std::to_string(transDepth_);
    Run("ROLLBACK TO " + sp, "");
    Run("RELEASE " + sp, "");
  }
  SchemaChanged();
  AfterWrite();
}

void DatabaseImpl::MendIndexes() { RebuildOldIndexes(Handle()); }

void DatabaseImpl::Close() {
  if (!db_) return;
  std::vector<RecordsetBase*> open = recordsets_;
  for (RecordsetBase* rs : open) rs->Detach();
  recordsets_.clear();
  if (transDepth_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  transDepth_ = 0;
  stmts_.Clear();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  if (listed_) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto [b, e] = Registry().equal_range(path_);
    for (auto it = b; it != e;) {
      if (it->second == this) {
        it = Registry().erase(it);
        continue;
      }
      --it->second->siblings_;
      ++it;
    }
    siblings_ = 0;
  }
  tables_.clear();
  translations_.clear();
}

}  // namespace detail

// ---------------------------------------------------------------- TableDef

FieldDef& TableDef::CreateField(const std::string& name, int type, int size) {
  FieldDef f;
  f.Name = name;
  f.Type = type;
  if (type == dbText) f.Size = size > 0 ? size : 50;
  else {
    int s = 0;
    detail::TypeFromDecl(detail::DeclFromField(f), s);
    f.Size = s;
  }
  Fields.push_back(f);
  return Fields.back();
}

IndexDef& TableDef::CreateIndex(const std::string& name) {
  IndexDef idx;
  idx.Name = name;
  Indexes.push_back(idx);
  return Indexes.back();
}

namespace {
// The database a definition belongs to, when its table is stored there.
std::shared_ptr<detail::DatabaseImpl> StoredIn(const std::weak_ptr<Database>& weak, const std::string& table) {
  auto db = std::dynamic_pointer_cast<detail::DatabaseImpl>(weak.lock());
  if (db && db->IsOpen() && db->Table(table)) return db;
  return nullptr;
}
}  // namespace

void TableDef::AppendField(const FieldDef& field) {
  auto db = StoredIn(db_, Name);
  if (db) db->AppendFieldTo(Name, field);
  // CreateField has already put a field into the definition; appending
  // that field again changes nothing.
  for (FieldDef& f : Fields)
    if (detail::SameName(f.Name, field.Name)) {
      if (&f != &field) f = field;
      return;
    }
  Fields.push_back(field);
}

void TableDef::AppendIndex(const IndexDef& index) {
  auto db = StoredIn(db_, Name);
  if (db) db->AppendIndexTo(Name, index);
  for (IndexDef& i : Indexes)
    if (detail::SameName(i.Name, index.Name)) {
      if (&i != &index) i = index;
      return;
    }
  Indexes.push_back(index);
}

void TableDef::SetAllowZeroLength(const std::string& field, bool allow) {
  auto db = StoredIn(db_, Name);
  if (db) db->SetAllowZeroLength(Name, field, allow);
  for (FieldDef& f : Fields)
    if (detail::SameName(f.Name, field)) {
      f.AllowZeroLength = allow;
      return;
    }
  if (!db) detail::FailItemNotFound();
}

// ---------------------------------------------------------------- workspace

DatabasePtr Workspace::OpenDatabase(const std::string& name, bool exclusive, bool readOnly) {
  (void)exclusive;  // one program uses the files; SQLite's own locking is enough
  std::string path = detail::Absolute(vb::ResolvePath(name));
  detail::CheckFile(path);
  sqlite3* db = detail::OpenConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
  detail::Probe(db, path);
  auto impl = std::make_shared<detail::DatabaseImpl>(db, path, path);
  detail::Workspace0().databases.push_back(impl);
  return impl;
}

DatabasePtr Workspace::OpenAside(const std::string& name, bool readOnly, bool readsOnce) {
  std::string path = detail::Absolute(vb::ResolvePath(name));
  detail::CheckFile(path);
  sqlite3* db = detail::OpenConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
  detail::Probe(db, path);
  auto impl = std::make_shared<detail::DatabaseImpl>(db, path, path, false);
  if (readsOnce) impl->UsePageCacheForWalk(true);
  return impl;
}

DatabasePtr Workspace::CreateDatabase(const std::string& name) {
  std::string path = detail::Absolute(vb::ResolvePath(name));
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) detail::Fail(detail::errDatabaseExists, "Database already exists.");
  sqlite3* db = detail::OpenConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  // Writing the header makes the file a database at once (an empty file
  // would not pass as one).
  if (sqlite3_exec(db, "PRAGMA user_version = 1; CREATE TABLE tvn_new (x); DROP TABLE tvn_new;", nullptr, nullptr,
                   nullptr) != SQLITE_OK) {
    std::string msg = sqlite3_errmsg(db);
    sqlite3_close(db);
    std::remove(path.c_str());
    detail::Fail(errGeneral, "Could not create '" + path + "': " + msg);
  }
  auto impl = std::make_shared<detail::DatabaseImpl>(db, path, path);
  detail::Workspace0().databases.push_back(impl);
  return impl;
}

namespace {
template <class F>
void ForEachOpen(F f) {
  auto& list = detail::Workspace0().databases;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [](const std::weak_ptr<detail::DatabaseImpl>& w) {
                              auto p = w.lock();
                              return !p || !p->IsOpen();
                            }),
             list.end());
  for (auto& w : list)
    if (auto p = w.lock()) f(*p);
}
}  // namespace

void Workspace::BeginTrans() {
  ForEachOpen([](detail::DatabaseImpl& d) { d.BeginTrans(); });
}
void Workspace::CommitTrans() {
  ForEachOpen([](detail::DatabaseImpl& d) {
    if (d.TransactionDepth() > 0) d.CommitTrans();
  });
}
void Workspace::Rollback() {
  ForEachOpen([](detail::DatabaseImpl& d) {
    if (d.TransactionDepth() > 0) d.Rollback();
  });
}

void DBEngine::ReleaseReads() {
  ForEachOpen([](detail::DatabaseImpl& d) {
    try {
      d.ReleaseAll();
    } catch (...) {
      // A set that could not finish reading its keys keeps what it has.
    }
  });
}

Workspace& DBEngine::Workspaces(int index) {
  static Workspace ws;
  if (index != 0) detail::FailItemNotFound();
  return ws;
}

void DBEngine::CompactDatabase(const std::string& source, const std::string& target) {
  std::string src = detail::Absolute(vb::ResolvePath(source));
  std::string dst = detail::Absolute(vb::ResolvePath(target));
  detail::CheckFile(src);
  struct stat st {};
  if (::stat(dst.c_str(), &st) == 0) detail::Fail(detail::errDatabaseExists, "Database already exists.");
  sqlite3* db = detail::OpenConnection(src, SQLITE_OPEN_READONLY);
  detail::Probe(db, src);
  // The copy's indexes are built anew with this layer's collation.
  std::string sql = "VACUUM INTO " + SqlQuote(dst);
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  std::string msg = sqlite3_errmsg(db);
  int ext = sqlite3_extended_errcode(db);
  sqlite3_close(db);
  if (rc != SQLITE_OK) {
    std::remove(dst.c_str());
    if ((ext & 0xFF) == SQLITE_BUSY) detail::Fail(errFileLocked, detail::FileLockedText(src));
    if ((ext & 0xFF) == SQLITE_CORRUPT || (ext & 0xFF) == SQLITE_NOTADB)
      detail::FailDamaged(src);
    detail::Fail(errGeneral, "Could not compact '" + src + "': " + msg);
  }
}

void DBEngine::CompactInPlace(const std::string& file) {
  const std::string path = detail::Absolute(vb::ResolvePath(file));
  detail::CheckFile(path);
  sqlite3* db = detail::OpenConnection(path, SQLITE_OPEN_READWRITE);
  detail::Probe(db, path);
  // The engine rebuilds the file inside one transaction of its journal, so
  // an interruption at any moment is rolled back at the next open and a
  // writer of another program only waits. This runs aside from the
  // windows, so the whole wait is one engine call.
  sqlite3_busy_timeout(db, detail::kWriteWaitMs);
  const int rc = sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr);
  const std::string msg = sqlite3_errmsg(db);
  const int ext = sqlite3_extended_errcode(db);
  const bool readOnly = sqlite3_db_readonly(db, "main") == 1;
  sqlite3_close(db);
  if (rc == SQLITE_OK) return;
  switch (ext & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: detail::Fail(errFileLocked, detail::FileLockedText(path));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      detail::Fail(detail::errCorrupt, "Cannot open database '" + path +
                                           "'. It may not be a database that your application recognizes, or "
                                           "the file may be corrupt.");
    case SQLITE_FULL: detail::Fail(detail::errDiskFull, "Disk full: there is no room to compact '" + path + "'.");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      detail::Fail(errReadOnly, "'" + path + "' cannot be compacted: " +
                                    (readOnly ? "the file is read-only." : "its folder is read-only."));
    default: detail::Fail(errGeneral, "Could not compact '" + path + "': " + msg);
  }
}

}  // namespace dao
