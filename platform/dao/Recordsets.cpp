// Table-type and query recordsets.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>

#include "platform/dao/Convert.h"
#include "platform/dao/DaoInternal.h"
#include "platform/dao/SqlFunctions.h"
#include "platform/runtime/TextFold.h"

namespace dao::detail {

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerChar(c);
  return out;
}

namespace {

struct FinalizeStatement {
  void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using OwnStatement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

std::string ColumnText(sqlite3_stmt* st, int col) {
  const unsigned char* t = sqlite3_column_text(st, col);
  return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(st, col)))
           : std::string();
}

[[noreturn]] void FailRecordDeleted() { Fail(errRecordDeleted, "Record is deleted."); }
[[noreturn]] void FailNoEdit() { Fail(errUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit."); }
[[noreturn]] void FailConversion() { Fail(errConversionFailed, "Data type conversion error."); }
[[noreturn]] void FailNotUpdatable() { Fail(errNotUpdatable, "Cannot update. Database or object is read-only."); }

// The number in a value, for numeric and date columns.
double NumberOf(const Variant& v) {
  if (v.isString()) {
    double d;
    if (ParseNumber(v.rawString(), d)) return d;
    if (SerialFromUserText(v.rawString(), d)) return d;
    std::string u = vb::UpperCase(v.rawString());
    if (u == "TRUE") return -1;
    if (u == "FALSE") return 0;
    FailConversion();
  }
  if (v.isDate() || v.type() == vb::VarType::Double) return v.rawDouble();
  return static_cast<double>(v.rawInt());
}

// Binds a value for a column of DAO type `type` (0: as the value is).
void BindAs(sqlite3_stmt* st, int i, const Variant& v, int type) {
  if (v.isNull() || v.isEmpty()) {
    if (type == dbBoolean) sqlite3_bind_int(st, i, 0);  // a Yes/No field is never Null
    else sqlite3_bind_null(st, i);
    return;
  }
  switch (type) {
    case dbBoolean: sqlite3_bind_int(st, i, NumberOf(v) != 0 ? -1 : 0); return;
    case dbByte:
    case dbInteger:
    case dbLong: {
      double d = std::nearbyint(NumberOf(v));  // to even, as CInt rounds
      double lo = type == dbByte ? 0 : type == dbInteger ? -32768 : -2147483648.0;
      double hi = type == dbByte ? 255 : type == dbInteger ? 32767 : 2147483647.0;
      if (d < lo || d > hi) Fail(3349, "Numeric field overflow.");
      sqlite3_bind_int64(st, i, static_cast<sqlite3_int64>(d));
      return;
    }
    case dbCurrency:
    case dbSingle:
    case dbDouble: sqlite3_bind_double(st, i, NumberOf(v)); return;
    case dbDate: {
      double serial;
      if (v.isString()) {
        if (!SerialFromUserText(v.rawString(), serial)) FailConversion();
      } else {
        serial = NumberOf(v);
      }
      // A number that is no date (another program's far-off value, read
      // back and filed again) is kept as the number it is.
      if (!vb::IsDateSerial(serial)) {
        sqlite3_bind_double(st, i, serial);
        return;
      }
      std::string iso = IsoFromSerial(serial);
      sqlite3_bind_text(st, i, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      return;
    }
    case dbText:
    case dbMemo: {
      if (v.isString()) {
        const std::string& s = v.rawString();
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
      } else {
        std::string s = ValueText(v);
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
      }
      return;
    }
    default: break;
  }
  switch (v.type()) {
    case vb::VarType::String:
      sqlite3_bind_text(st, i, v.rawString().data(), static_cast<int>(v.rawString().size()), SQLITE_STATIC);
      return;
    case vb::VarType::Double: sqlite3_bind_double(st, i, v.rawDouble()); return;
    case vb::VarType::Date: {
      std::string iso = IsoFromSerial(v.rawDouble());
      sqlite3_bind_text(st, i, iso.c_str(), static_cast<int>(iso.size()), SQLITE_TRANSIENT);
      return;
    }
    default: sqlite3_bind_int64(st, i, v.rawInt()); return;
  }
}

// Checks a value against its field before it is written.
void Validate(const Variant& v, const FieldMeta& f) {
  if (f.type != dbText && f.type != dbMemo) return;
  if (v.isNull() || v.isEmpty()) return;
  if (v.isString() && v.rawString().find('\0') != std::string::npos) FailZeroByte();
  if (v.isString() && v.rawString().empty()) {
    if (!f.allowZeroLength)
      Fail(errZeroLength, "Field '" + f.table + "." + f.column + "' cannot be a zero-length string.");
    return;
  }
  if (f.type == dbText && f.size > 0) {
    size_t n = v.isString() ? CharCount(v.rawString()) : CharCount(ValueText(v));
    if (n > static_cast<size_t>(f.size))
      Fail(errFieldTooSmall,
           "The field is too small to accept the amount of data you attempted to add. Try inserting or pasting "
           "less data.");
  }
}

}  // namespace

// ---------------------------------------------------------------- base

std::vector<std::vector<Variant>> RecordsetBase::GetRows(long maxRows) {
  CheckOpen();
  editMode_ = dbEditNone;
  ClearBuffer();
  const size_t n = fields_.size();
  std::vector<std::vector<Variant>> columns(n);
  if (Eof()) return columns;
  if (BOF()) MoveFirst();
  long read = 0;
  while (!Eof() && (maxRows < 0 || read < maxRows)) {
    if (!OnDeletedRow()) {
      // The row is taken straight from the statement that holds it (the
      // running scan on a first pass), without a lookup per field.
      if (Materialized()) {
        for (size_t i = 0; i < n; ++i) columns[i].push_back(MaterializedValue(static_cast<int>(i)));
      } else {
        sqlite3_stmt* st = CurrentRow();
        for (size_t i = 0; i < n; ++i) columns[i].push_back(ValueOf(st, static_cast<int>(i), fields_[i]));
      }
      ++read;
    }
    MoveNext();
  }
  return columns;
}

RecordsetBase::RecordsetBase(DatabaseImplPtr db) : db_(std::move(db)), stmts_(db_->Handle()) {
  db_->Register(this);
}

RecordsetBase::~RecordsetBase() {
  if (db_) db_->Unregister(this);
}

void RecordsetBase::Close() {
  if (!open_) return;
  FinalizeOwn();
  writeStmts_.clear();
  stmts_.Clear();
  open_ = false;
  editMode_ = dbEditNone;
  db_->Unregister(this);
}

void RecordsetBase::Detach() {
  FinalizeOwn();
  writeStmts_.clear();
  stmts_.Clear();
  open_ = false;
}

void RecordsetBase::ReleaseStatements() { stmts_.ResetAll(); }

void RecordsetBase::CheckOpen() const {
  if (!open_) Fail(3420, "Object invalid or no longer set.");
}

void RecordsetBase::BuildFieldMap() {
  fieldMap_.clear();
  for (size_t i = 0; i < fields_.size(); ++i) {
    FieldMeta& f = fields_[i];
    f.lower = LowerAscii(f.name);
    fieldMap_.emplace(f.lower, static_cast<int>(i));
  }
  // "table.field" reaches a field whose bare name another field took.
  for (size_t i = 0; i < fields_.size(); ++i)
    if (!fields_[i].table.empty())
      fieldMap_.emplace(LowerAscii(fields_[i].table) + "." + fields_[i].lower, static_cast<int>(i));
}

int RecordsetBase::FindField(const std::string& name) const {
  char buf[64];
  if (name.size() < sizeof buf) {
    for (size_t i = 0; i < name.size(); ++i) buf[i] = LowerChar(name[i]);
    auto it = fieldMap_.find(std::string(buf, name.size()));
    return it == fieldMap_.end() ? -1 : it->second;
  }
  auto it = fieldMap_.find(LowerAscii(name));
  return it == fieldMap_.end() ? -1 : it->second;
}

int RecordsetBase::FieldIndexOrThrow(const std::string& name) const {
  int i = FindField(name);
  if (i < 0) FailItemNotFound();
  return i;
}

Variant RecordsetBase::GetField(const std::string& name) const {
  CheckOpen();
  return GetField(FieldIndexOrThrow(name));
}

Variant RecordsetBase::GetField(int index) const {
  CheckOpen();
  if (index < 0 || index >= static_cast<int>(fields_.size())) FailItemNotFound();
  if (editMode_ != dbEditNone && buffer_[static_cast<size_t>(index)]) return *buffer_[static_cast<size_t>(index)];
  if (editMode_ == dbEditAdd) return fields_[static_cast<size_t>(index)].type == dbBoolean ? Variant(false) : Variant::Null();
  if (Materialized()) return MaterializedValue(index);
  return ValueOf(CurrentRow(), index, fields_[static_cast<size_t>(index)]);
}

void RecordsetBase::SetField(const std::string& name, const Variant& value) {
  CheckOpen();
  int i = FieldIndexOrThrow(name);
  if (editMode_ == dbEditNone) FailNoEdit();
  const FieldMeta& f = fields_[static_cast<size_t>(i)];
  if (f.table.empty()) Fail(3164, "Field cannot be updated.");
  if (!buffer_[static_cast<size_t>(i)]) touched_.push_back(i);
  buffer_[static_cast<size_t>(i)] = value;
}

FieldDef RecordsetBase::FieldInfo(int index) const {
  CheckOpen();
  if (index < 0 || index >= static_cast<int>(fields_.size())) FailItemNotFound();
  const FieldMeta& m = fields_[static_cast<size_t>(index)];
  FieldDef f;
  f.Name = m.name;
  f.Type = m.type ? m.type : dbText;
  f.Size = m.size;
  f.AllowZeroLength = m.allowZeroLength && (f.Type == dbText || f.Type == dbMemo);
  f.Required = m.required;
  return f;
}

void RecordsetBase::CancelUpdate() {
  CheckOpen();
  editMode_ = dbEditNone;
  ClearBuffer();
}

void RecordsetBase::BeginEdit(int mode) {
  if (buffer_.size() != fields_.size()) {
    buffer_.assign(fields_.size(), std::nullopt);
    touched_.clear();
    booleans_.clear();
    for (size_t i = 0; i < fields_.size(); ++i)
      if (fields_[i].type == dbBoolean && !fields_[i].table.empty()) booleans_.push_back(static_cast<int>(i));
  }
  ClearBuffer();
  editMode_ = mode;
}

void RecordsetBase::ClearBuffer() {
  for (int i : touched_) buffer_[static_cast<size_t>(i)].reset();
  touched_.clear();
}

RawValue RawValue::From(sqlite3_stmt* st, int col) {
  RawValue v;
  v.type = sqlite3_column_type(st, col);
  switch (v.type) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER:
      v.i = sqlite3_column_int64(st, col);
      v.d = static_cast<double>(v.i);
      break;
    case SQLITE_FLOAT:
      v.d = sqlite3_column_double(st, col);
      v.i = sqlite3_column_int64(st, col);
      break;
    default: {
      const unsigned char* t = sqlite3_column_text(st, col);
      if (t) v.text = std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(st, col)));
      if (v.type == SQLITE_BLOB) v.d = sqlite3_column_double(st, col);
      break;
    }
  }
  return v;
}

Variant RecordsetBase::ValueOf(sqlite3_stmt* st, int col, const FieldMeta& f) const {
  return ValueFrom(RawValue::From(st, col), f);
}

Variant RecordsetBase::ValueFrom(const RawValue& v, const FieldMeta& f) const { return VariantFrom(v, f); }

Variant VariantFrom(const RawValue& v, const FieldMeta& f) {
  const int t = v.type;
  if (t == SQLITE_NULL) return Variant::Null();
  switch (f.type) {
    case dbBoolean:
      if (t == SQLITE_TEXT) {
        std::string u = vb::UpperCase(std::string(v.text));
        double d;
        return Variant(u == "TRUE" || (ParseNumber(u, d) && d != 0));
      }
      return Variant(v.d != 0);
    case dbByte:
    case dbInteger:
    case dbLong: {
      if (t != SQLITE_INTEGER && t != SQLITE_FLOAT) break;
      sqlite3_int64 i = v.i;
      if (f.type == dbByte && i >= 0 && i <= 255) return Variant::Byte(static_cast<std::uint8_t>(i));
      if (f.type == dbInteger && i >= -32768 && i <= 32767) return Variant::Integer(static_cast<std::int16_t>(i));
      if (i >= INT32_MIN && i <= INT32_MAX) return Variant::Long(static_cast<std::int32_t>(i));
      return Variant(static_cast<double>(i));
    }
    case dbCurrency:
    case dbSingle:
    case dbDouble:
      if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return Variant(v.d);
      break;
    case dbDate: {
      if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return Variant::Date(v.d);
      double serial;
      std::string s(v.text);
      if (SerialFromIso(s, serial) || SerialFromUserText(s, serial)) return Variant::Date(serial);
      return Variant(std::move(s));
    }
    case dbText:
    case dbMemo:
      if (t == SQLITE_FLOAT) return Variant(NumberText(v.d));
      return Variant(std::string(v.text));
    default: break;
  }
  switch (t) {
    case SQLITE_INTEGER: {
      sqlite3_int64 i = v.i;
      if (i >= INT32_MIN && i <= INT32_MAX) return Variant::Long(static_cast<std::int32_t>(i));
      return Variant(static_cast<double>(i));
    }
    case SQLITE_FLOAT: return Variant(v.d);
    default: return Variant(std::string(v.text));
  }
}

std::int64_t RecordsetBase::WriteBuffer(const std::string& table, std::int64_t rowid) {
  bool insert = editMode_ == dbEditAdd;
  std::string sql;
  std::vector<int> cols;
  cols = touched_;
  for (int i : cols) Validate(*buffer_[static_cast<size_t>(i)], fields_[static_cast<size_t>(i)]);
  // A new row's Yes/No fields are False rather than Null.
  if (insert)
    for (int b : booleans_)
      if (!buffer_[static_cast<size_t>(b)]) cols.push_back(b);
  std::sort(cols.begin(), cols.end());
  if (!insert && cols.empty()) return rowid;
  // The statement for this set of columns, made once.
  std::string key(insert ? "i" : "u");
  for (int c : cols) {
    key += static_cast<char>(c & 0xFF);
    key += static_cast<char>(c >> 8);
  }
  sqlite3_stmt* st = nullptr;
  auto found = writeStmts_.find(key);
  if (found != writeStmts_.end()) {
    st = found->second;
  } else {
    if (insert) {
      if (cols.empty()) {
        sql = "INSERT INTO " + QuoteIdent(table) + " DEFAULT VALUES";
      } else {
        sql = "INSERT INTO " + QuoteIdent(table) + " (";
        std::string values;
        for (size_t k = 0; k < cols.size(); ++k) {
          sql += (k ? "," : "") + QuoteIdent(fields_[static_cast<size_t>(cols[k])].column);
          values += k ? ",?" : "?";
        }
        sql += ") VALUES (" + values + ")";
      }
    } else {
      sql = "UPDATE " + QuoteIdent(table) + " SET ";
      for (size_t k = 0; k < cols.size(); ++k)
        sql += (k ? "," : "") + QuoteIdent(fields_[static_cast<size_t>(cols[k])].column) + "=?";
      sql += " WHERE _rowid_=?";
    }
    int rc = stmts_.Get(sql, &st);
    if (rc != SQLITE_OK) db_->Raise(rc, sql);
    writeStmts_.emplace(key, st);
  }
  db_->BeforeWrite(false);
  int rc;
  StmtUse use(st);
  for (size_t k = 0; k < cols.size(); ++k) {
    size_t i = static_cast<size_t>(cols[k]);
    static const Variant null = Variant::Null();
    BindAs(st, static_cast<int>(k + 1), buffer_[i] ? *buffer_[i] : null, fields_[i].type);
  }
  if (!insert) sqlite3_bind_int64(st, static_cast<int>(cols.size() + 1), rowid);
  rc = db_->StepWrite(st);
  if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table);
  db_->AfterWrite();
  if (!insert && sqlite3_changes(db_->Handle()) == 0) FailRecordDeleted();  // deleted meanwhile
  std::int64_t id = insert ? sqlite3_last_insert_rowid(db_->Handle()) : rowid;
  lastModified_ = id;
  return id;
}

void RecordsetBase::DeleteRow(const std::string& table, std::int64_t rowid) {
  db_->BeforeWrite(false);
  sqlite3_stmt* st = nullptr;
  std::string sql = "DELETE FROM " + QuoteIdent(table) + " WHERE _rowid_=?";
  int rc = stmts_.Get(sql, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, sql);
  StmtUse use(st);
  sqlite3_bind_int64(st, 1, rowid);
  rc = db_->StepWrite(st);
  if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table);
  db_->AfterWrite();
}

// ---------------------------------------------------------------- table

TableRecordset::TableRecordset(DatabaseImplPtr db, const TableInfo& info) : RecordsetBase(std::move(db)) {
  table_ = info.name;
  for (const ColumnInfo& c : info.columns) {
    FieldMeta f;
    f.name = c.name;
    f.table = info.name;
    f.column = c.name;
    f.type = c.type;
    f.size = c.size;
    f.allowZeroLength = c.allowZeroLength;
    f.required = c.required;
    fields_.push_back(std::move(f));
  }
  BuildFieldMap();
  selectAll_ = "SELECT *, _rowid_ FROM " + QuoteIdent(table_);
  pointSql_ = selectAll_ + " WHERE _rowid_ = ?1";
  if (!Step(true, {}, 0, -1)) pos_ = Pos::Before;
}

TableRecordset::~TableRecordset() { ClearKeys(); }

void TableRecordset::ClearKeys() {
  for (sqlite3_value* v : keys_) sqlite3_value_free(v);
  keys_.clear();
}

void TableRecordset::TakeKeys(sqlite3_stmt* st) {
  ClearKeys();
  for (int p : indexFieldPos_) keys_.push_back(sqlite3_value_dup(sqlite3_column_value(st, p)));
  rowid_ = sqlite3_column_int64(st, static_cast<int>(fields_.size()));
}

void TableRecordset::FinalizeOwn() { row_ = nullptr; }

void TableRecordset::ReleaseStatements() {
  RecordsetBase::ReleaseStatements();
  row_ = nullptr;
}

std::string TableRecordset::Col(size_t level) const { return indexCols_[level]; }

std::string TableRecordset::OrderBy(size_t fromLevel, bool desc) const {
  std::string s;
  for (size_t i = fromLevel; i < indexCols_.size(); ++i) s += indexCols_[i] + (desc ? " DESC, " : ", ");
  return s + (desc ? "_rowid_ DESC" : "_rowid_");
}

bool TableRecordset::TryPosition(const std::string& where, const std::string& order,
                                 const std::vector<sqlite3_value*>& binds, const std::int64_t* rowid) {
  std::int64_t rowidValue = rowid ? *rowid : 0;
  std::string sql = selectAll_;
  if (!where.empty()) sql += " WHERE " + where;
  sql += " ORDER BY " + order + " LIMIT 1";
  sqlite3_stmt* st = nullptr;
  int rc = stmts_.Get(sql, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, sql);
  if (row_) {
    sqlite3_reset(row_);
    row_ = nullptr;
  }
  sqlite3_reset(st);
  for (size_t i = 0; i < binds.size(); ++i) sqlite3_bind_value(st, static_cast<int>(i + 1), binds[i]);
  if (rowid) sqlite3_bind_int64(st, static_cast<int>(binds.size() + 1), rowidValue);
  rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) {
    row_ = st;
    rowGen_ = db_->Generation();
    TakeKeys(st);
    pos_ = Pos::On;
    return true;
  }
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table_);
  return false;
}

// Moves to the row after (forward) or before the position made of the
// first `known` index keys and a tail: 0 the rowid, -1 below every row
// with those keys, +1 above them. NULL keys sort first, as in the index.
bool TableRecordset::Step(bool forward, const std::vector<sqlite3_value*>& keys, int known, int tail) {
  size_t n = static_cast<size_t>(known);
  for (size_t L = n + 1; L-- > 0;) {
    std::string fixed;
    std::vector<sqlite3_value*> binds;
    for (size_t i = 0; i < L; ++i) {
      fixed += (i ? " AND " : "") + Col(i) + " IS ?";
      binds.push_back(keys[i]);
    }
    auto join = [&](const std::string& cond) { return fixed.empty() ? cond : cond.empty() ? fixed : fixed + " AND " + cond; };
    if (L == n) {
      if (tail == 0) {
        std::string cond = forward ? "_rowid_ > ?" : "_rowid_ < ?";
        if (TryPosition(join(cond), forward ? "_rowid_" : "_rowid_ DESC", binds, &rowid_)) return true;
      } else if ((tail < 0) == forward) {
        if (TryPosition(fixed, OrderBy(L, !forward), binds)) return true;
      }
      continue;
    }
    bool keyNull = sqlite3_value_type(keys[L]) == SQLITE_NULL;
    if (forward) {
      std::vector<sqlite3_value*> b = binds;
      std::string cond = Col(L) + (keyNull ? " IS NOT NULL" : " > ?");
      if (!keyNull) b.push_back(keys[L]);
      if (TryPosition(join(cond), OrderBy(L, false), b)) return true;
    } else if (!keyNull) {
      std::vector<sqlite3_value*> b = binds;
      b.push_back(keys[L]);
      if (TryPosition(join(Col(L) + " < ?"), OrderBy(L, true), b)) return true;
      if (TryPosition(join(Col(L) + " IS NULL"), OrderBy(L + 1, true), binds)) return true;
    }
  }
  return false;
}

bool TableRecordset::Empty() {
  sqlite3_stmt* st = nullptr;
  std::string sql = "SELECT 1 FROM " + QuoteIdent(table_) + " LIMIT 1";
  int rc = stmts_.Get(sql, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, sql);
  StmtUse use(st);
  rc = sqlite3_step(st);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table_);
  return rc != SQLITE_ROW;
}

bool TableRecordset::BOF() const {
  CheckOpen();
  return pos_ == Pos::Before || (pos_ == Pos::After && const_cast<TableRecordset*>(this)->Empty());
}

bool TableRecordset::Eof() const {
  CheckOpen();
  return pos_ == Pos::After || (pos_ == Pos::Before && const_cast<TableRecordset*>(this)->Empty());
}

long TableRecordset::RecordCount() {
  CheckOpen();
  sqlite3_stmt* st = nullptr;
  std::string sql = "SELECT count(*) FROM " + QuoteIdent(table_);
  int rc = stmts_.Get(sql, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, sql);
  StmtUse use(st);
  if (sqlite3_step(st) != SQLITE_ROW) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table_);
  return static_cast<long>(sqlite3_column_int64(st, 0));
}

void TableRecordset::MoveFirst() {
  CheckOpen();
  editMode_ = dbEditNone;
  if (!Step(true, {}, 0, -1)) {
    pos_ = Pos::Before;
    FailNoCurrentRecord();
  }
}

void TableRecordset::MoveLast() {
  CheckOpen();
  editMode_ = dbEditNone;
  if (!Step(false, {}, 0, 1)) {
    pos_ = Pos::After;
    FailNoCurrentRecord();
  }
}

void TableRecordset::MoveNext() {
  CheckOpen();
  editMode_ = dbEditNone;
  if (pos_ == Pos::After || (pos_ == Pos::Before && Empty())) FailNoCurrentRecord();
  bool found = pos_ == Pos::Before ? Step(true, {}, 0, -1)
                                   : Step(true, keys_, static_cast<int>(indexCols_.size()), 0);
  if (!found) pos_ = Pos::After;
}

void TableRecordset::MovePrevious() {
  CheckOpen();
  editMode_ = dbEditNone;
  if (pos_ == Pos::Before || (pos_ == Pos::After && Empty())) FailNoCurrentRecord();
  bool found = pos_ == Pos::After ? Step(false, {}, 0, 1)
                                  : Step(false, keys_, static_cast<int>(indexCols_.size()), 0);
  if (!found) pos_ = Pos::Before;
}

sqlite3_stmt* TableRecordset::CurrentRow() const {
  if (pos_ == Pos::Deleted) FailRecordDeleted();
  if (pos_ != Pos::On) FailNoCurrentRecord();
  if (row_ && rowGen_ == db_->Generation()) return row_;
  auto* self = const_cast<TableRecordset*>(this);
  if (row_) sqlite3_reset(row_);
  row_ = nullptr;
  sqlite3_stmt* st = nullptr;
  int rc = self->stmts_.Get(pointSql_, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, pointSql_);
  sqlite3_reset(st);
  sqlite3_bind_int64(st, 1, rowid_);
  rc = sqlite3_step(st);
  if (rc != SQLITE_ROW) {
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), table_);
    FailRecordDeleted();
  }
  row_ = st;
  rowGen_ = db_->Generation();
  return st;
}

void TableRecordset::AddNew() {
  CheckOpen();
  BeginEdit(dbEditAdd);
}

void TableRecordset::Edit() {
  CheckOpen();
  CurrentRow();
  BeginEdit(dbEditInProgress);
}

void TableRecordset::Update() {
  CheckOpen();
  if (editMode_ == dbEditNone) FailNoEdit();
  if (editMode_ == dbEditAdd) {
    bool hadRow = pos_ == Pos::On;
    std::int64_t id = WriteBuffer(table_, 0);
    editMode_ = dbEditNone;
    ClearBuffer();
    if (!hadRow) {  // a table with no current row shows the new one
      rowid_ = id;
      pos_ = Pos::On;
      TakeKeys(CurrentRow());
    }
    return;
  }
  WriteBuffer(table_, rowid_);
  editMode_ = dbEditNone;
  ClearBuffer();
  TakeKeys(CurrentRow());  // the row keeps its place in the index order
}

void TableRecordset::Delete() {
  CheckOpen();
  CurrentRow();
  editMode_ = dbEditNone;
  DeleteRow(table_, rowid_);
  if (row_) sqlite3_reset(row_);
  row_ = nullptr;
  pos_ = Pos::Deleted;
}

void TableRecordset::SetIndex(const std::string& indexName) {
  CheckOpen();
  sqlite3* h = db_->Handle();
  sqlite3_stmt* st = nullptr;
  std::string stored;
  {
    int rc = stmts_.Get("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE AND "
                        "name = ?2 COLLATE NOCASE",
                        &st);
    if (rc != SQLITE_OK) db_->Raise(rc, indexName);
    StmtUse use(st);
    std::string want = table_ + "." + indexName;
    sqlite3_bind_text(st, 1, table_.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, want.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) stored = ColumnText(st, 0);
    else if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(h), indexName);
  }
  if (stored.empty()) Fail(errInvalidIndex, "'" + indexName + "' is not an index in this table.");
  std::vector<std::string> cols;
  std::vector<int> pos;
  std::string sql = "PRAGMA index_info(" + QuoteIdent(stored) + ")";
  if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
    while (sqlite3_step(st) == SQLITE_ROW) {
      std::string c = ColumnText(st, 2);
      int f = FindField(c);
      if (f < 0) {
        sqlite3_finalize(st);
        Fail(errInvalidIndex, "'" + indexName + "' is not an index in this table.");
      }
      cols.push_back(QuoteIdent(c));
      pos.push_back(f);
    }
  sqlite3_finalize(st);
  indexName_ = indexName;
  indexCols_ = cols;
  indexFieldPos_ = pos;
  editMode_ = dbEditNone;
  // A new order starts at its first row.
  if (!Step(true, {}, 0, -1)) pos_ = Pos::Before;
}

namespace {
bool BeyondAscii(sqlite3_value* v) {
  const unsigned char* t = sqlite3_value_text(v);
  for (int i = 0, n = sqlite3_value_bytes(v); t && i < n; ++i)
    if (t[i] >= 0x80) return true;
  return false;
}
}  // namespace

void TableRecordset::Seek(const std::string& comparison, const Variant& key1, const Variant& key2) {
  CheckOpen();
  if (indexCols_.empty()) Fail(errNoIndex, "Operation invalid without a current index.");
  editMode_ = dbEditNone;
  size_t n = key2.isEmpty() ? 1 : 2;
  if (n > indexCols_.size()) n = indexCols_.size();
  // Keys take the type of their index field.
  std::vector<sqlite3_value*> keys;
  sqlite3_stmt* conv = nullptr;
  std::string csql = "SELECT ?1, ?2";
  int rc = stmts_.Get(csql, &conv);
  if (rc != SQLITE_OK) db_->Raise(rc, csql);
  {
    StmtUse use(conv);
    const Variant* k[2] = {&key1, &key2};
    for (size_t i = 0; i < n; ++i) {
      int type = fields_[static_cast<size_t>(indexFieldPos_[i])].type;
      if (k[i]->isNull() || k[i]->isEmpty()) sqlite3_bind_null(conv, static_cast<int>(i + 1));
      else BindAs(conv, static_cast<int>(i + 1), *k[i], type);
    }
    sqlite3_step(conv);
    for (size_t i = 0; i < n; ++i) keys.push_back(sqlite3_value_dup(sqlite3_column_value(conv, static_cast<int>(i))));
  }
  bool found = false;
  try {
    if (comparison == "=") {
      std::string where;
      // A key beyond ASCII is matched by the program's collation (Unicode
      // letter case); a plain one by the index's own, which then serves.
      for (size_t i = 0; i < n; ++i) {
        where += (i ? " AND " : "") + Col(i);
        if (sqlite3_value_type(keys[i]) == SQLITE_TEXT && BeyondAscii(keys[i]))
          where += std::string(" COLLATE ") + kTextCollation;
        where += " IS ?";
      }
      found = TryPosition(where, OrderBy(0, false), keys);
    } else if (comparison == ">=") {
      found = Step(true, keys, static_cast<int>(n), -1);
    } else if (comparison == ">") {
      found = Step(true, keys, static_cast<int>(n), 1);
    } else if (comparison == "<") {
      found = Step(false, keys, static_cast<int>(n), -1);
    } else if (comparison == "<=") {
      found = Step(false, keys, static_cast<int>(n), 1);
    } else {
      Fail(errInvalidArgument, "Invalid argument.");
    }
  } catch (...) {
    for (sqlite3_value* v : keys) sqlite3_value_free(v);
    throw;
  }
  for (sqlite3_value* v : keys) sqlite3_value_free(v);
  noMatch_ = !found;
  if (!found) {
    if (row_) sqlite3_reset(row_);
    row_ = nullptr;
    pos_ = Pos::After;
  }
}

Recordset::BookmarkType TableRecordset::Bookmark() const {
  CheckOpen();
  CurrentRow();
  return rowid_;
}

void TableRecordset::SetBookmark(BookmarkType bookmark) {
  CheckOpen();
  editMode_ = dbEditNone;
  std::int64_t old = rowid_;
  Pos oldPos = pos_;
  rowid_ = bookmark;
  pos_ = Pos::On;
  row_ = nullptr;
  try {
    TakeKeys(CurrentRow());
  } catch (const Error&) {
    rowid_ = old;
    pos_ = oldPos;
    Fail(errNotValidBookmark, "Not a valid bookmark.");
  }
}

// ---------------------------------------------------------------- query

QueryRecordset::QueryRecordset(DatabaseImplPtr db, const Translation& tr, int type, const std::function<void()>& tick,
                               const Database::Aside& aside)
    : RecordsetBase(std::move(db)), type_(type), keyed_(tr.keyed), tr_(tr) {
  sqlite3* h = db_->Handle();
  sqlite3_stmt* st = nullptr;
  const bool plain = keyed_ && db_->PlainOrderHolds(tr_);
  if (plain) tr_.fromRest = tr_.fromRestPlain;
  if (keyed_) {
    std::string sql = "SELECT " + tr_.selectList + ", _rowid_ " + tr_.fromRest;
    if (sqlite3_prepare_v3(h, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr) != SQLITE_OK) {
      sqlite3_finalize(st);
      st = nullptr;
      keyed_ = false;  // a view, for one: read it whole
    }
    pointSql_ = "SELECT " + tr_.selectList + ", _rowid_ FROM " + QuoteIdent(tr_.table) + " WHERE _rowid_ = ?1";
  }
  if (!st) {
    int rc = sqlite3_prepare_v2(h, tr_.sql.c_str(), -1, &st, nullptr);
    if (rc != SQLITE_OK) {
      std::string msg = sqlite3_errmsg(h);
      int ext = sqlite3_extended_errcode(h);
      sqlite3_finalize(st);
      (void)msg;
      db_->Raise(ext, tr_.sql);
    }
  }
  int n = sqlite3_column_count(st) - (keyed_ ? 1 : 0);
  for (int i = 0; i < n; ++i) {
    FieldMeta f;
    f.name = sqlite3_column_name(st, i);
    const char* table = sqlite3_column_table_name(st, i);
    const char* origin = sqlite3_column_origin_name(st, i);
    const char* decl = sqlite3_column_decltype(st, i);
    if (decl) f.type = TypeFromDecl(decl, f.size);
    if (table && origin) {
      f.table = table;
      f.column = origin;
      if (const TableInfo* info = db_->Table(table)) {
        int c = info->Find(origin);
        if (c >= 0) {
          f.allowZeroLength = info->columns[static_cast<size_t>(c)].allowZeroLength;
          f.required = info->columns[static_cast<size_t>(c)].required;
        }
      }
    }
    fields_.push_back(std::move(f));
  }
  BuildFieldMap();
  if (keyed_) {
    scan_ = st;
  } else {
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      std::vector<Variant> row;
      row.reserve(static_cast<size_t>(n));
      for (int i = 0; i < n; ++i) row.push_back(ValueOf(st, i, fields_[static_cast<size_t>(i)]));
      rows_.push_back(std::move(row));
      deleted_.push_back(0);
    }
    int ext = sqlite3_extended_errcode(h);
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
      db_->Raise(ext, tr_.sql);
    }
    complete_ = true;
    live_ = static_cast<long>(rows_.size());
  }
  // The engine sorts in the program's collation in one step before its
  // first row, which for a large set holds the window; the keys are
  // ordered here instead where the caller can keep the window turning.
  if (keyed_ && !(tick && aside && !plain && OrderByKeys(tick, aside))) FetchMore();
  if (Known() > 0) {
    pos_ = 0;
    bof_ = eof_ = false;
  }
}

QueryRecordset::~QueryRecordset() {
  if (scan_) sqlite3_finalize(scan_);
}

bool QueryRecordset::FetchMore() {
  if (complete_ || !scan_) return false;
  int rc = sqlite3_step(scan_);
  if (rc == SQLITE_ROW) {
    rowids_.push_back(sqlite3_column_int64(scan_, static_cast<int>(fields_.size())));
    deleted_.push_back(0);
    ++live_;
    scanAt_ = static_cast<long>(rowids_.size()) - 1;
    return true;
  }
  complete_ = true;
  scanAt_ = -1;
  int ext = sqlite3_extended_errcode(db_->Handle());
  if (rc != SQLITE_DONE) {
    sqlite3_finalize(scan_);
    scan_ = nullptr;
    db_->Raise(ext, tr_.sql);
  }
  sqlite3_reset(scan_);  // kept to walk the rows again (Follow)
  return false;
}

void QueryRecordset::Drain() {
  if (complete_ || !scan_) return;
  if (!DrainByRowids())
    while (FetchMore()) {
    }
}

// Learns the remaining rowids from the same query reduced to its rowids,
// which reads far less than the scan; the scan stays where it was and can
// go on feeding a forward walk. Fails (and the scan is stepped to its end
// instead) when the two disagree about the rows already seen.
bool QueryRecordset::DrainByRowids() {
  sqlite3_stmt* st = nullptr;
  if (stmts_.Get("SELECT _rowid_ " + tr_.fromRest, &st) != SQLITE_OK) return false;
  StmtUse use(st);
  size_t k = 0;
  std::vector<std::int64_t> rest;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::int64_t id = sqlite3_column_int64(st, 0);
    if (k < rowids_.size()) {
      if (rowids_[k] != id) return false;
    } else {
      rest.push_back(id);
    }
    ++k;
  }
  if (rc != SQLITE_DONE || k < rowids_.size()) return false;
  rowids_.insert(rowids_.end(), rest.begin(), rest.end());
  deleted_.insert(deleted_.end(), rest.size(), 0);
  live_ += static_cast<long>(rest.size());
  complete_ = true;
  return true;
}

void QueryRecordset::StopFollowing() {
  if (complete_ && scan_ && scanAt_ >= 0) sqlite3_reset(scan_);
  if (complete_) scanAt_ = -1;
}

// Once every rowid is known (after MoveLast, RecordCount of a finished
// scan, a write ...), a walk from the first row runs the query again
// beside the known rowids, so rows are read as fast as on the first pass.
// Each row the scan gives must be the one expected; otherwise the rows
// are read by rowid from there on.
void QueryRecordset::Follow(long target) {
  if (!complete_ || !scan_ || scanAt_ >= target) return;
  long idx = scanAt_;
  if (idx < 0) {
    long first = 0;
    while (first < static_cast<long>(Known()) && Deleted(static_cast<size_t>(first))) ++first;
    if (target != first) return;
    sqlite3_reset(scan_);
  } else if (target - idx > 8) {
    StopFollowing();
    return;
  }
  int rowidCol = static_cast<int>(fields_.size());
  while (idx < target) {
    long next = idx + 1;
    while (next < static_cast<long>(Known()) && Deleted(static_cast<size_t>(next))) ++next;
    if (next >= static_cast<long>(Known()) || sqlite3_step(scan_) != SQLITE_ROW ||
        sqlite3_column_int64(scan_, rowidCol) != rowids_[static_cast<size_t>(next)]) {
      sqlite3_reset(scan_);
      scanAt_ = -1;
      return;
    }
    idx = next;
  }
  scanAt_ = idx;
}

void QueryRecordset::ReleaseStatements() {
  Drain();
  StopFollowing();
  RecordsetBase::ReleaseStatements();
  point_ = nullptr;
  pointAt_ = -1;
}

void QueryRecordset::FinalizeOwn() {
  if (scan_) sqlite3_finalize(scan_);
  scan_ = nullptr;
  point_ = nullptr;
  complete_ = true;
}

bool QueryRecordset::BOF() const {
  CheckOpen();
  return bof_ || (complete_ && live_ == 0);
}

bool QueryRecordset::Eof() const {
  CheckOpen();
  return eof_ || (complete_ && live_ == 0);
}

long QueryRecordset::RecordCount() {
  CheckOpen();
  if (complete_) return live_;
  if (!count_) {
    sqlite3_stmt* st = nullptr;
    const std::string sql = CountSql(tr_);
    int rc = stmts_.Get(sql, &st);
    if (rc != SQLITE_OK) db_->Raise(rc, sql);
    StmtUse use(st);
    if (sqlite3_step(st) != SQLITE_ROW) db_->Raise(sqlite3_extended_errcode(db_->Handle()), tr_.sql);
    count_ = static_cast<long>(sqlite3_column_int64(st, 0));
  }
  return *count_;
}

void QueryRecordset::MoveFirst() {
  CheckOpen();
  editMode_ = dbEditNone;
  long i = 0;
  while (true) {
    if (i >= static_cast<long>(Known()) && !FetchMore()) FailNoCurrentRecord();
    if (!Deleted(static_cast<size_t>(i))) break;
    ++i;
  }
  pos_ = i;
  bof_ = eof_ = false;
  Follow(pos_);
}

void QueryRecordset::MoveLast() {
  CheckOpen();
  editMode_ = dbEditNone;
  Drain();
  long i = static_cast<long>(Known()) - 1;
  while (i >= 0 && Deleted(static_cast<size_t>(i))) --i;
  if (i < 0) FailNoCurrentRecord();
  pos_ = i;
  bof_ = eof_ = false;
}

void QueryRecordset::MoveNext() {
  CheckOpen();
  editMode_ = dbEditNone;
  // On a row just deleted (the last one left, too) the move goes on to
  // EOF; only a set with no position left to leave refuses.
  if (eof_ || (complete_ && live_ == 0 && bof_)) FailNoCurrentRecord();
  long i = pos_ + 1;
  while (true) {
    if (i >= static_cast<long>(Known()) && !FetchMore()) {
      pos_ = static_cast<long>(Known());
      eof_ = true;
      bof_ = live_ == 0;
      return;
    }
    if (!Deleted(static_cast<size_t>(i))) break;
    ++i;
  }
  pos_ = i;
  bof_ = eof_ = false;
  Follow(pos_);
}

void QueryRecordset::MovePrevious() {
  CheckOpen();
  editMode_ = dbEditNone;
  if (bof_ || (complete_ && live_ == 0 && eof_)) FailNoCurrentRecord();
  long i = pos_ - 1;
  while (i >= 0 && Deleted(static_cast<size_t>(i))) --i;
  if (i < 0) {
    pos_ = -1;
    bof_ = true;
    eof_ = live_ == 0;
    return;
  }
  pos_ = i;
  bof_ = eof_ = false;
}

void QueryRecordset::CurrentOrThrow() const {
  if (pos_ < 0 || pos_ >= static_cast<long>(Known())) FailNoCurrentRecord();
  if (Deleted(static_cast<size_t>(pos_))) FailRecordDeleted();
}

sqlite3_stmt* QueryRecordset::CurrentRow() const {
  CurrentOrThrow();
  if (scan_ && scanAt_ == pos_) return scan_;
  if (point_ && pointAt_ == pos_ && pointGen_ == db_->Generation()) return point_;
  auto* self = const_cast<QueryRecordset*>(this);
  sqlite3_stmt* st = nullptr;
  int rc = self->stmts_.Get(pointSql_, &st);
  if (rc != SQLITE_OK) db_->Raise(rc, pointSql_);
  sqlite3_reset(st);
  sqlite3_bind_int64(st, 1, rowids_[static_cast<size_t>(pos_)]);
  rc = sqlite3_step(st);
  if (rc != SQLITE_ROW) {
    sqlite3_reset(st);
    point_ = nullptr;
    if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(db_->Handle()), tr_.sql);
    FailRecordDeleted();
  }
  point_ = st;
  pointAt_ = pos_;
  pointGen_ = db_->Generation();
  return st;
}

Variant QueryRecordset::MaterializedValue(int index) const {
  CurrentOrThrow();
  return rows_[static_cast<size_t>(pos_)][static_cast<size_t>(index)];
}

std::vector<std::vector<Variant>> QueryRecordset::GetRows(long maxRows) {
  CheckOpen();
  // All rows of a recordset nobody has moved in yet: SQLite would sort
  // them row by row through its index and the table; reading the table
  // in stored order and sorting the keys here is several times faster.
  if (maxRows < 0 && keyed_ && !tr_.orderBy.empty() && scan_ && !complete_ && pos_ == 0 && rowids_.size() == 1 &&
      !Deleted(0) && editMode_ == dbEditNone) {
    std::vector<std::vector<Variant>> columns;
    if (ReadAllSorted(columns)) return columns;
  }
  return RecordsetBase::GetRows(maxRows);
}

namespace {

// One order key of a row, in SQLite's order of kinds: Null, numbers, text,
// blobs.
struct SortKey {
  std::uint8_t kind = 0;  // 0 Null, 1 number, 2 text, 3 blob
  bool integer = false;
  union {
    std::int64_t i = 0;
    double d;
  };
  std::string text;
};

int CompareNumbers(const SortKey& a, const SortKey& b) {
  if (a.integer && b.integer) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
  const double x = a.integer ? static_cast<double>(a.i) : a.d;
  const double y = b.integer ? static_cast<double>(b.i) : b.d;
  return x < y ? -1 : (x > y ? 1 : 0);
}

int CompareBytes(const std::string& a, const std::string& b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c < 0 ? -1 : 1;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Writes the keys of every row as byte strings that compare with memcmp
// as SQLite orders the keys: kind first (Null, number, text), numbers as
// order-preserving doubles, text folded as the TVNTEXT collation folds
// ASCII and ended by a zero byte; a descending key has its bytes
// inverted. Returns false (use the comparison) for what this cannot
// encode: non-ASCII text under TVNTEXT, zero bytes, blobs, integers beyond
// a double's precision.
bool EncodeKeys(const std::vector<std::vector<SortKey>>& keys, const std::vector<bool>& nocase,
                const std::vector<bool>& desc, std::string& arena, std::vector<std::uint32_t>& offsets) {
  const size_t rows = keys.empty() ? 0 : keys[0].size();
  offsets.assign(rows + 1, 0);
  arena.clear();
  arena.reserve(rows * 24);
  for (size_t r = 0; r < rows; ++r) {
    offsets[r] = static_cast<std::uint32_t>(arena.size());
    for (size_t k = 0; k < keys.size(); ++k) {
      const size_t start = arena.size();
      const SortKey& key = keys[k][r];
      arena.push_back(static_cast<char>(key.kind + 1));
      if (key.kind == 1) {
        double d;
        if (key.integer) {
          if (key.i > (std::int64_t(1) << 53) || key.i < -(std::int64_t(1) << 53)) return false;
          d = static_cast<double>(key.i);
        } else {
          d = key.d;
        }
        if (d == 0) d = 0;  // -0 sorts with 0
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        bits = (bits >> 63) ? ~bits : bits | (std::uint64_t(1) << 63);
        for (int b = 7; b >= 0; --b) arena.push_back(static_cast<char>((bits >> (8 * b)) & 0xFF));
      } else if (key.kind == 2) {
        for (char ch : key.text) {
          const unsigned char c = static_cast<unsigned char>(ch);
          if (c == 0 || (nocase[k] && c >= 0x80)) return false;
          arena.push_back(nocase[k] && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : ch);
        }
        arena.push_back('\0');
      } else if (key.kind == 3) {
        return false;
      }
      if (desc[k])
        for (size_t i = start; i < arena.size(); ++i) arena[i] = static_cast<char>(~arena[i]);
      if (arena.size() > 0xFFFFFFF0u) return false;
    }
  }
  offsets[rows] = static_cast<std::uint32_t>(arena.size());
  return true;
}

}  // namespace

bool QueryRecordset::ReadAllSorted(std::vector<std::vector<Variant>>& columns) {
  sqlite3* h = db_->Handle();
  // Text sorts by the TVNTEXT collation whatever the column declares, as
  // the translated order does.
  const size_t terms = tr_.orderBy.size();
  std::vector<bool> nocase(terms, true);
  std::vector<bool> desc(terms);
  std::string sql = "SELECT " + tr_.selectList + ", _rowid_";
  for (size_t k = 0; k < terms; ++k) {
    if (sqlite3_table_column_metadata(h, nullptr, tr_.table.c_str(), tr_.orderBy[k].column.c_str(), nullptr,
                                      nullptr, nullptr, nullptr, nullptr) != SQLITE_OK)
      return false;
    desc[k] = tr_.orderBy[k].desc;
    sql += ", " + QuoteIdent(tr_.orderBy[k].column);
  }
  sql += " " + tr_.unordered;
  sqlite3_stmt* st = nullptr;
  const bool prepared = sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) == SQLITE_OK;
  const OwnStatement own(st);
  if (!prepared) return false;
  const size_t n = fields_.size();
  if (sqlite3_column_count(st) != static_cast<int>(n + 1 + terms)) return false;

  // The values are kept as SQLite gives them, compactly (texts in one
  // buffer), until the order is known; only then are they made into
  // Variants, in their final order.
  struct Cell {
    union {
      sqlite3_int64 i;
      double d;
    };
    std::uint32_t off;
    std::uint32_t len;
    std::uint8_t type;
  };
  const size_t expected = static_cast<size_t>(std::max(0L, RecordCount()));
  std::vector<Cell> cells;
  cells.reserve(expected * n);
  std::string texts;
  std::vector<std::int64_t> ids;
  ids.reserve(expected);
  std::vector<std::vector<SortKey>> keys(terms);  // by order column
  for (auto& column : keys) column.reserve(expected);
  const int rowidCol = static_cast<int>(n);
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    for (size_t i = 0; i < n; ++i) {
      const RawValue v = RawValue::From(st, static_cast<int>(i));
      Cell& c = cells.emplace_back();
      c.type = static_cast<std::uint8_t>(v.type);
      c.off = static_cast<std::uint32_t>(texts.size());
      c.len = static_cast<std::uint32_t>(v.text.size());
      if (v.type == SQLITE_INTEGER) c.i = v.i;
      else c.d = v.d;
      texts.append(v.text);
      if (texts.size() > 0xFFFFFFF0u) return false;
    }
    ids.push_back(sqlite3_column_int64(st, rowidCol));
    for (size_t k = 0; k < terms; ++k) {
      const int col = rowidCol + 1 + static_cast<int>(k);
      SortKey& key = keys[k].emplace_back();
      switch (sqlite3_column_type(st, col)) {
        case SQLITE_NULL: break;
        case SQLITE_INTEGER:
          key.kind = 1;
          key.integer = true;
          key.i = sqlite3_column_int64(st, col);
          break;
        case SQLITE_FLOAT:
          key.kind = 1;
          key.d = sqlite3_column_double(st, col);
          break;
        case SQLITE_TEXT:
          key.kind = 2;
          key.text = ColumnText(st, col);
          break;
        default: {
          key.kind = 3;
          const void* b = sqlite3_column_blob(st, col);
          key.text.assign(static_cast<const char*>(b), static_cast<size_t>(sqlite3_column_bytes(st, col)));
          break;
        }
      }
    }
  }
  if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(h), tr_.sql);

  const size_t rows = ids.size();
  std::vector<std::uint32_t> order(rows);
  for (size_t r = 0; r < rows; ++r) order[r] = static_cast<std::uint32_t>(r);
  std::string arena;
  std::vector<std::uint32_t> offsets;
  if (EncodeKeys(keys, nocase, desc, arena, offsets)) {
    // Each row's keys as one byte string that compares as the keys do.
    struct Encoded {
      const char* p;
      std::uint32_t len;
      std::uint32_t row;
    };
    std::vector<Encoded> enc(rows);
    for (size_t r = 0; r < rows; ++r)
      enc[r] = Encoded{arena.data() + offsets[r], offsets[r + 1] - offsets[r], static_cast<std::uint32_t>(r)};
    std::stable_sort(enc.begin(), enc.end(), [](const Encoded& a, const Encoded& b) {
      const int c = std::memcmp(a.p, b.p, std::min(a.len, b.len));
      return c != 0 ? c < 0 : a.len < b.len;
    });
    for (size_t r = 0; r < rows; ++r) order[r] = enc[r].row;
  } else {
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
      for (size_t k = 0; k < terms; ++k) {
        const SortKey& x = keys[k][a];
        const SortKey& y = keys[k][b];
        int c;
        if (x.kind != y.kind) c = x.kind < y.kind ? -1 : 1;
        else if (x.kind == 1) c = CompareNumbers(x, y);
        else if (x.kind == 2 && nocase[k])
          c = TextCompare(x.text.data(), static_cast<int>(x.text.size()), y.text.data(),
                            static_cast<int>(y.text.size()));
        else if (x.kind >= 2) c = CompareBytes(x.text, y.text);
        else c = 0;
        if (c != 0) return desc[k] ? c > 0 : c < 0;
      }
      return false;
    });
  }

  columns.assign(n, {});
  for (auto& column : columns) column.reserve(rows);
  constexpr size_t kAhead = 8;  // rows come from all over memory: fetch them early
  for (size_t k = 0; k < rows; ++k) {
    if (k + kAhead < rows) {
      const Cell* next = &cells[size_t(order[k + kAhead]) * n];
      __builtin_prefetch(next);
      __builtin_prefetch(reinterpret_cast<const char*>(next + n) - 1);
      __builtin_prefetch(texts.data() + next->off);
    }
    const Cell* row = &cells[size_t(order[k]) * n];
    for (size_t i = 0; i < n; ++i) {
      const Cell& c = row[i];
      RawValue v;
      v.type = c.type;
      if (c.type == SQLITE_INTEGER) {
        v.i = c.i;
        v.d = static_cast<double>(c.i);
      } else {
        v.d = c.d;
        // As SQLite makes an integer of a real: truncated, saturating.
        if (c.type == SQLITE_FLOAT)
          v.i = c.d <= -9223372036854775808.0  ? INT64_MIN
                : c.d >= 9223372036854775807.0 ? INT64_MAX
                                               : static_cast<sqlite3_int64>(c.d);
      }
      v.text = std::string_view(texts.data() + c.off, c.len);
      columns[i].push_back(ValueFrom(v, fields_[i]));
    }
  }
  rowids_.clear();
  rowids_.reserve(rows);
  for (std::uint32_t i : order) rowids_.push_back(ids[i]);
  deleted_.assign(rows, 0);
  live_ = static_cast<long>(rows);
  complete_ = true;
  count_.reset();
  // The scan is left at its start: a later walk runs it again and follows
  // the rowids known now.
  sqlite3_reset(scan_);
  scanAt_ = -1;
  pos_ = static_cast<long>(rows);
  eof_ = true;
  bof_ = rows == 0;
  return true;
}

namespace {

// A row's order key as read for OrderByKeys: its kind (0 Null, 1 integer,
// 2 real, 3 text, 4 blob) and its value, a number in place (a real's
// bits), text and blobs by their place in one buffer.
struct RowKey {
  std::int64_t id;
  std::uint64_t value;
  std::uint32_t size;
  std::uint8_t kind;
};

double RealOf(const RowKey& k) {
  double d;
  std::memcpy(&d, &k.value, sizeof d);
  return d;
}

int CompareNumberKeys(const RowKey& a, const RowKey& b) {
  SortKey x, y;
  x.integer = a.kind == 1;
  y.integer = b.kind == 1;
  if (x.integer) x.i = static_cast<std::int64_t>(a.value);
  else x.d = RealOf(a);
  if (y.integer) y.i = static_cast<std::int64_t>(b.value);
  else y.d = RealOf(b);
  return CompareNumbers(x, y);
}

// The rowids of the rows in the order SQLite gives for one order column
// under the TVNTEXT collation: Null, numbers, text in the program's
// letter order, blobs by their bytes (all reversed when descending), rows
// with equal keys in the order of their rowids. Pure work on the keys,
// which may run on a thread of its own.
std::vector<std::int64_t> OrderOfKeys(std::vector<RowKey>& keys, const std::string& texts, bool desc) {
  auto byId = [](const RowKey& a, const RowKey& b) { return a.id < b.id; };
  if (!std::is_sorted(keys.begin(), keys.end(), byId)) std::sort(keys.begin(), keys.end(), byId);
  std::vector<std::uint32_t> nulls, numbers, words, blobs;
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::uint8_t kind = keys[i].kind;
    (kind == 0 ? nulls : kind <= 2 ? numbers : kind == 3 ? words : blobs).push_back(static_cast<std::uint32_t>(i));
  }
  std::stable_sort(numbers.begin(), numbers.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = CompareNumberKeys(keys[a], keys[b]);
    return desc ? c > 0 : c < 0;
  });
  auto text = [&](std::uint32_t i) { return std::string_view(texts.data() + keys[i].value, keys[i].size); };
  std::stable_sort(blobs.begin(), blobs.end(), [&](std::uint32_t a, std::uint32_t b) {
    const int c = text(a).compare(text(b));
    return desc ? c > 0 : c < 0;
  });
  {
    const vb::LetterSortKeys letters(words.size(), [&](size_t i) { return text(words[i]); });
    const std::vector<std::uint32_t> by = letters.StableOrder(!desc);
    std::vector<std::uint32_t> sorted(by.size());
    for (size_t i = 0; i < by.size(); ++i) sorted[i] = words[by[i]];
    words = std::move(sorted);
  }
  std::vector<std::int64_t> ids;
  ids.reserve(keys.size());
  auto add = [&](const std::vector<std::uint32_t>& group) {
    for (std::uint32_t i : group) ids.push_back(keys[i].id);
  };
  if (desc) {
    add(blobs), add(words), add(numbers), add(nulls);
  } else {
    add(nulls), add(numbers), add(words), add(blobs);
  }
  return ids;
}

}  // namespace

bool QueryRecordset::OrderByKeys(const std::function<void()>& tick, const Database::Aside& aside) {
  if (tr_.orderBy.size() != 1 || tr_.unordered.empty()) return false;
  sqlite3* h = db_->Handle();
  const Translation::OrderTerm& term = tr_.orderBy[0];
  if (sqlite3_table_column_metadata(h, nullptr, tr_.table.c_str(), term.column.c_str(), nullptr, nullptr, nullptr,
                                    nullptr, nullptr) != SQLITE_OK)
    return false;
  const std::string sql = "SELECT _rowid_, " + QuoteIdent(term.column) + " " + tr_.unordered;
  sqlite3_stmt* st = nullptr;
  const bool prepared = sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) == SQLITE_OK;
  const OwnStatement own(st);
  if (!prepared) return false;
  // The set is ordered here from now on: the engine's sorted scan is not
  // run, and nothing (a write meanwhile, say) may start it.
  sqlite3_finalize(scan_);
  scan_ = nullptr;
  complete_ = true;
  scanAt_ = -1;

  // Only the keys are kept, and the window turns between two rows read
  // whenever a few milliseconds have gone, however slow the reading.
  constexpr auto kTickEvery = std::chrono::milliseconds(10);
  std::vector<RowKey> keys;
  std::string texts;
  auto ticked = std::chrono::steady_clock::now();
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    RowKey& k = keys.emplace_back(RowKey{sqlite3_column_int64(st, 0), 0, 0, 0});
    switch (sqlite3_column_type(st, 1)) {
      case SQLITE_NULL: break;
      case SQLITE_INTEGER:
        k.kind = 1;
        k.value = static_cast<std::uint64_t>(sqlite3_column_int64(st, 1));
        break;
      case SQLITE_FLOAT: {
        k.kind = 2;
        double d = sqlite3_column_double(st, 1);
        if (d == 0) d = 0;  // -0 sorts with 0
        std::memcpy(&k.value, &d, sizeof d);
        break;
      }
      default: {
        k.kind = sqlite3_column_type(st, 1) == SQLITE_TEXT ? 3 : 4;
        const void* p = k.kind == 3 ? static_cast<const void*>(sqlite3_column_text(st, 1)) : sqlite3_column_blob(st, 1);
        k.value = texts.size();
        k.size = static_cast<std::uint32_t>(sqlite3_column_bytes(st, 1));
        if (p) texts.append(static_cast<const char*>(p), k.size);
        break;
      }
    }
    if ((keys.size() & 63) == 0 && std::chrono::steady_clock::now() - ticked >= kTickEvery) {
      tick();
      ticked = std::chrono::steady_clock::now();
    }
  }
  if (rc != SQLITE_DONE) db_->Raise(sqlite3_extended_errcode(h), tr_.sql);
  sqlite3_reset(st);  // no read held while the keys are sorted

  std::vector<std::int64_t> ordered;
  aside([&] { ordered = OrderOfKeys(keys, texts, term.desc); });
  rowids_ = std::move(ordered);
  deleted_.assign(rowids_.size(), 0);
  live_ = static_cast<long>(rowids_.size());
  count_.reset();
  return true;
}

void QueryRecordset::CheckUpdatable() const {
  if (!keyed_ || type_ == dbOpenSnapshot) FailNotUpdatable();
}

void QueryRecordset::AddNew() {
  CheckOpen();
  CheckUpdatable();
  BeginEdit(dbEditAdd);
}

void QueryRecordset::Edit() {
  CheckOpen();
  CheckUpdatable();
  CurrentRow();
  BeginEdit(dbEditInProgress);
}

void QueryRecordset::Update() {
  CheckOpen();
  if (editMode_ == dbEditNone) FailNoEdit();
  if (editMode_ == dbEditAdd) {
    bool hadRow = pos_ >= 0 && pos_ < static_cast<long>(Known()) && !Deleted(static_cast<size_t>(pos_));
    std::int64_t id = WriteBuffer(tr_.table, 0);  // ends the scan first
    editMode_ = dbEditNone;
    ClearBuffer();
    // The new row joins the end of the set and stays reachable.
    rowids_.push_back(id);
    deleted_.push_back(0);
    ++live_;
    if (!hadRow) {
      pos_ = static_cast<long>(rowids_.size()) - 1;
      bof_ = eof_ = false;
    }
    return;
  }
  WriteBuffer(tr_.table, rowids_[static_cast<size_t>(pos_)]);
  editMode_ = dbEditNone;
  ClearBuffer();
}

void QueryRecordset::Delete() {
  CheckOpen();
  CheckUpdatable();
  CurrentOrThrow();
  editMode_ = dbEditNone;
  DeleteRow(tr_.table, rowids_[static_cast<size_t>(pos_)]);
  deleted_[static_cast<size_t>(pos_)] = 1;
  --live_;
}

void QueryRecordset::SetIndex(const std::string&) {
  CheckOpen();
  Fail(3251, "Operation is not supported for this type of object.");
}

void QueryRecordset::Seek(const std::string&, const Variant&, const Variant&) {
  CheckOpen();
  Fail(3251, "Operation is not supported for this type of object.");
}

Recordset::BookmarkType QueryRecordset::Bookmark() const {
  CheckOpen();
  CurrentOrThrow();
  return keyed_ ? rowids_[static_cast<size_t>(pos_)] : pos_;
}

void QueryRecordset::SetBookmark(BookmarkType bookmark) {
  CheckOpen();
  editMode_ = dbEditNone;
  long found = -1;
  if (keyed_) {
    for (size_t i = 0; i < rowids_.size() && found < 0; ++i)
      if (rowids_[i] == bookmark) found = static_cast<long>(i);
    while (found < 0 && FetchMore())
      if (rowids_.back() == bookmark) found = static_cast<long>(rowids_.size()) - 1;
  } else if (bookmark >= 0 && bookmark < static_cast<long>(rows_.size())) {
    found = static_cast<long>(bookmark);
  }
  if (found < 0 || Deleted(static_cast<size_t>(found))) Fail(errNotValidBookmark, "Not a valid bookmark.");
  pos_ = found;
  bof_ = eof_ = false;
}

void QueryRecordset::TakeRowOut(BookmarkType row) {
  CheckOpen();
  CheckUpdatable();
  editMode_ = dbEditNone;
  // Every rowid known, and no walk following the scan: the order is no
  // longer the scan's, so rows are read by rowid from now on.
  BeforeOwnWrite();
  if (scan_) sqlite3_reset(scan_);
  scanAt_ = -1;
  for (size_t i = 0; i < rowids_.size(); ++i) {
    if (rowids_[i] != row) continue;
    if (!Deleted(i)) --live_;
    rowids_.erase(rowids_.begin() + static_cast<long>(i));
    deleted_.erase(deleted_.begin() + static_cast<long>(i));
    break;
  }
}

void QueryRecordset::PutRowAt(BookmarkType row, size_t at) {
  // The rows after it move up one: a row read at an index is read again.
  if (point_) sqlite3_reset(point_);
  point_ = nullptr;
  pointAt_ = -1;
  rowids_.insert(rowids_.begin() + static_cast<long>(at), row);
  deleted_.insert(deleted_.begin() + static_cast<long>(at), 0);
  ++live_;
  count_.reset();
  pos_ = static_cast<long>(at);
  bof_ = eof_ = false;
}

void QueryRecordset::PlaceRow(BookmarkType row, BookmarkType before) {
  TakeRowOut(row);
  size_t at = rowids_.size();
  if (before != 0)
    for (size_t i = 0; i < rowids_.size(); ++i)
      if (rowids_[i] == before && !Deleted(i)) {
        at = i;
        break;
      }
  PutRowAt(row, at);
}

void QueryRecordset::PlaceRowInOrder(BookmarkType row, const std::function<bool(const Recordset&)>& goesAfter) {
  TakeRowOut(row);
  // Halving over the rows in the set's order: a few rows read, however
  // many the set holds. Rows this set deleted and rows another program
  // removed (no name to compare) are stepped over to the next row read.
  size_t lo = 0, hi = rowids_.size();
  while (lo < hi) {
    const size_t mid = lo + (hi - lo) / 2;
    size_t probe = mid;
    int after = -1;
    for (; probe < hi && after < 0; ++probe) {
      if (Deleted(probe)) continue;
      pos_ = static_cast<long>(probe);
      bof_ = eof_ = false;
      try {
        after = goesAfter(*this) ? 1 : 0;
      } catch (const Error& e) {
        if (e.Number() != errRecordDeleted) throw;
      }
    }
    if (after < 0) {
      hi = mid;  // nothing to compare from mid on
    } else if (after == 1) {
      lo = probe;  // probe is one past the row compared
    } else {
      hi = probe - 1;
    }
  }
  PutRowAt(row, lo);
}

}  // namespace dao::detail

namespace dao {

// For recordsets of other makes (fakes in tests): field by field.
void Recordset::PlaceRow(BookmarkType, BookmarkType) {
  detail::Fail(3251, "Operation is not supported for this type of object.");
}

void Recordset::PlaceRowInOrder(BookmarkType, const std::function<bool(const Recordset&)>&) {
  detail::Fail(3251, "Operation is not supported for this type of object.");
}

std::vector<std::vector<Variant>> Recordset::GetRows(long maxRows) {
  const int n = FieldCount();
  std::vector<std::vector<Variant>> columns(static_cast<size_t>(n));
  if (Eof()) return columns;
  if (BOF()) MoveFirst();
  for (long read = 0; !Eof() && (maxRows < 0 || read < maxRows); ++read) {
    for (int i = 0; i < n; ++i) columns[static_cast<size_t>(i)].push_back(GetField(i));
    MoveNext();
  }
  return columns;
}

}  // namespace dao

namespace dao {

// For databases of other makes (fakes in tests): through a recordset.
void Database::ForEachRow(const std::string& sql, const std::function<bool(const std::vector<Variant>&)>& row) {
  RecordsetPtr rs = OpenRecordset(sql, dbOpenSnapshot);
  std::vector<Variant> values(static_cast<size_t>(rs->FieldCount()));
  while (!rs->Eof()) {
    for (size_t i = 0; i < values.size(); ++i) values[i] = rs->GetField(static_cast<int>(i));
    if (!row(values)) break;
    rs->MoveNext();
  }
  rs->Close();
}

// For databases of other makes: a statement a row.
void Database::AppendTexts(const std::string& table, const std::string& field, size_t count,
                           const std::function<std::string_view(size_t)>& value) {
  for (size_t i = 0; i < count; ++i)
    Execute("insert into " + table + " (" + field + ") values (" + SqlQuote(std::string(value(i))) + ")");
}

}  // namespace dao

namespace dao::detail {

namespace {


// A statement outside the connection's cache, finalized when it goes;
// a failure to prepare it is raised naming context.
OwnStatement PrepareOwn(DatabaseImpl& db, const std::string& sql, const std::string& context) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    const int ext = sqlite3_extended_errcode(db.Handle());
    sqlite3_finalize(st);
    db.Raise(ext, context);
  }
  return OwnStatement(st);
}

}  // namespace

// Whether the order in the columns' own collations (which the indexes
// serve) is the program's order for these rows: so while every order
// column of the rows holds numbers, or text of plain ASCII in a column
// under NOCASE (on which the two agree). One narrow pass over the rows,
// usually over an index.
bool DatabaseImpl::PlainOrderHolds(const Translation& tr) {
  if (tr.orderBy.empty() || tr.fromRestPlain.empty() || tr.unordered.empty()) return false;
  sqlite3* h = db_;
  std::string cols, wide;
  for (size_t k = 0; k < tr.orderBy.size(); ++k) {
    const std::string& column = tr.orderBy[k].column;
    const char* coll = nullptr;
    if (sqlite3_table_column_metadata(h, nullptr, tr.table.c_str(), column.c_str(), nullptr, &coll, nullptr,
                                      nullptr, nullptr) != SQLITE_OK)
      return false;
    const std::string c = "c" + std::to_string(k);
    cols += (k ? ", " : "") + QuoteIdent(column) + " AS " + c;
    wide += std::string(k ? " OR " : "") +
            (coll && LowerAscii(coll) == "nocase" ? "tvn_wide(" + c + ")" : "typeof(" + c + ") IN ('text', 'blob')");
  }
  sqlite3_stmt* st = nullptr;
  const std::string sql = "SELECT 1 FROM (SELECT " + cols + " " + tr.unordered + ") WHERE " + wide + " LIMIT 1";
  if (sqlite3_prepare_v2(h, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
    sqlite3_finalize(st);
    return false;
  }
  const OwnStatement own(st);
  return sqlite3_step(st) == SQLITE_DONE;
}

void DatabaseImpl::ForEachRow(const std::string& sql, const std::function<bool(const std::vector<Variant>&)>& row) {
  ForEachRow(sql, {}, row);
}

void DatabaseImpl::ForEachRow(const std::string& sql, const std::function<void(std::vector<std::string>)>& names,
                              const std::function<bool(const std::vector<Variant>&)>& row, bool asRecordset) {
  ThrowIfClosed();
  const Translation& tr = Translate(sql);
  if (!tr.isSelect) Fail(3219, "Invalid operation.");
  // The rows as a recordset reads them: in the order an index can serve
  // while that order is the program's own.
  const bool plain = asRecordset && tr.keyed && PlainOrderHolds(tr);
  const std::string text = plain ? "SELECT " + tr.selectList + " " + tr.fromRestPlain : tr.sql;
  // A statement of its own, not one of the cache: row may run long and the
  // statement must not be finalized under it.
  const OwnStatement own = PrepareOwn(*this, text, sql);
  sqlite3_stmt* st = own.get();
  const int n = sqlite3_column_count(st);
  std::vector<FieldMeta> fields(static_cast<size_t>(n));
  std::vector<std::string> fieldNames;
  for (int i = 0; i < n; ++i) {
    if (const char* decl = sqlite3_column_decltype(st, i))
      fields[static_cast<size_t>(i)].type = TypeFromDecl(decl, fields[static_cast<size_t>(i)].size);
    if (names) fieldNames.emplace_back(sqlite3_column_name(st, i));
  }
  if (names) names(std::move(fieldNames));
  std::vector<Variant> values(static_cast<size_t>(n));
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    for (int i = 0; i < n; ++i)
      values[static_cast<size_t>(i)] = VariantFrom(RawValue::From(st, i), fields[static_cast<size_t>(i)]);
    if (!row(values)) return;
  }
  if (rc != SQLITE_DONE) Raise(sqlite3_extended_errcode(db_), sql);
}

long DatabaseImpl::CountRows(const std::string& sql) {
  ThrowIfClosed();
  const Translation& tr = Translate(sql);
  if (!tr.isSelect) Fail(3219, "Invalid operation.");
  const std::string count = CountSql(tr);
  const OwnStatement own = PrepareOwn(*this, count, sql);
  sqlite3_stmt* st = own.get();
  if (sqlite3_step(st) != SQLITE_ROW) Raise(sqlite3_extended_errcode(db_), sql);
  return static_cast<long>(sqlite3_column_int64(st, 0));
}

}  // namespace dao::detail
