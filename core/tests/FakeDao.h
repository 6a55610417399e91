#pragma once
// In-memory stand-ins for a recordset and a database, for tests of code
// that walks rows: rows of named fields, a current position, AddNew/Edit/
// Update, bookmarks. SQL is not run: the test decides which rows a text
// opens.
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"

namespace fake {

using Row = std::vector<std::pair<std::string, vb::Variant>>;

class Recordset : public dao::Recordset {
 public:
  explicit Recordset(std::vector<Row> rows = {}) : rows_(std::move(rows)) { pos_ = rows_.empty() ? 0 : 0; }
  std::vector<Row> rows_;
  long pos_ = 0;
  int editMode_ = dao::dbEditNone;
  Row pending_;
  bool closed_ = false;
  int moveLastCalls_ = 0;

  bool BOF() const override { return rows_.empty() || pos_ < 0; }
  bool Eof() const override { return rows_.empty() || pos_ >= long(rows_.size()); }
  long RecordCount() override { return long(rows_.size()); }
  int Type() const override { return dao::dbOpenDynaset; }
  int EditMode() const override { return editMode_; }
  void MoveFirst() override { pos_ = 0; }
  void MoveLast() override { ++moveLastCalls_; pos_ = long(rows_.size()) - 1; }
  void MoveNext() override { ++pos_; }
  void MovePrevious() override { --pos_; }
  void AddNew() override { editMode_ = dao::dbEditAdd; pending_ = rows_.empty() ? Row{} : Blank(rows_[0]); }
  void Edit() override { Current(); editMode_ = dao::dbEditInProgress; pending_ = rows_[size_t(pos_)]; }
  void Update() override {
    if (editMode_ == dao::dbEditNone) throw dao::Error(dao::errUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    if (editMode_ == dao::dbEditAdd) rows_.push_back(pending_);
    else rows_[size_t(pos_)] = pending_;
    editMode_ = dao::dbEditNone;
  }
  void CancelUpdate() override { editMode_ = dao::dbEditNone; }
  void Delete() override { Current(); rows_.erase(rows_.begin() + pos_); }
  vb::Variant GetField(const std::string& name) const override {
    const Row& r = editMode_ != dao::dbEditNone ? pending_ : Current();
    for (const auto& [n, v] : r)
      if (vb::CompareText(n, name) == 0) return v;
    throw dao::Error(dao::errItemNotFound, "Item not found in this collection.");
  }
  vb::Variant GetField(int index) const override { return Current().at(size_t(index)).second; }
  void SetField(const std::string& name, const vb::Variant& value) override {
    if (editMode_ == dao::dbEditNone) throw dao::Error(dao::errUpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit.");
    for (auto& [n, v] : pending_)
      if (vb::CompareText(n, name) == 0) { v = value; return; }
    pending_.emplace_back(name, value);
  }
  int FieldCount() const override { return rows_.empty() ? 0 : int(rows_[0].size()); }
  dao::FieldDef FieldInfo(int index) const override { return dao::FieldDef{rows_.at(0).at(size_t(index)).first}; }
  bool HasField(const std::string& name) const override {
    if (rows_.empty()) return false;
    return std::any_of(rows_[0].begin(), rows_[0].end(), [&](const auto& f) { return vb::CompareText(f.first, name) == 0; });
  }
  void SetIndex(const std::string&) override {}
  std::string Index() const override { return {}; }
  void Seek(const std::string&, const vb::Variant&, const vb::Variant&) override {}
  bool NoMatch() const override { return true; }
  BookmarkType Bookmark() const override { Current(); return pos_; }
  void SetBookmark(BookmarkType b) override { pos_ = long(b); }
  void Close() override { closed_ = true; }
  bool IsOpen() const override { return !closed_; }

  const Row& Current() const {
    if (pos_ < 0 || pos_ >= long(rows_.size())) throw dao::Error(dao::errNoCurrentRecord, "No current record.");
    return rows_[size_t(pos_)];
  }

 private:
  static Row Blank(const Row& like) {
    Row r = like;
    for (auto& f : r) f.second = vb::Variant::Null();
    return r;
  }
};

class Database : public dao::Database {
 public:
  // Called with each SQL text opened; returns the rows it gives.
  std::function<std::vector<Row>(const std::string&)> rowsFor;
  std::vector<std::string> opened;
  std::shared_ptr<Recordset> last;

  std::string Name() const override { return "fake.mdb"; }
  dao::RecordsetPtr OpenRecordset(const std::string& source, int) override {
    opened.push_back(source);
    last = std::make_shared<Recordset>(rowsFor ? rowsFor(source) : std::vector<Row>{});
    return last;
  }
  void Execute(const std::string&) override {}
  long RecordsAffected() const override { return 0; }
  std::vector<std::string> TableDefNames() override { return {}; }
  dao::TableDefPtr TableDefs(const std::string&) override { throw dao::Error(dao::errItemNotFound, "Item not found in this collection."); }
  dao::TableDefPtr CreateTableDef(const std::string& name) override { return std::make_shared<dao::TableDef>(name); }
  void AppendTableDef(const dao::TableDef&) override {}
  void DeleteTableDef(const std::string&) override {}
  void BeginTrans() override {}
  void CommitTrans() override {}
  void Rollback() override {}
  void Close() override {}
  bool IsOpen() const override { return true; }
};

}  // namespace fake
