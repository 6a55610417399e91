#pragma once
// Translation of the desktop engine's SQL dialect into SQLite's, token by
// token so that quoted text is never rewritten.
#include <functional>
#include <string>
#include <vector>

namespace dao::detail {

struct ColumnInfo {
  std::string name;
  int type = 0;  // DAO type code; 0 when the declared type says nothing
  int size = 0;
  bool allowZeroLength = true;
  bool required = false;
  bool autoIncrement = false;
  std::string declType;
};

struct TableInfo {
  std::string name;
  std::vector<ColumnInfo> columns;
  // Index of a column (without regard to case), -1 when absent.
  int Find(const std::string& column) const;
};

// Looks up a stored table (without regard to case); nullptr when absent.
using SchemaLookup = std::function<const TableInfo*(const std::string& table)>;

struct Translation {
  std::string sql;  // SQLite text
  bool isSelect = false;
  // A select on one table whose rows can be reached again by rowid: the
  // recordset reads "select <list>, _rowid_ from <rest>" and a row by
  // "select <list>, _rowid_ from <table> where _rowid_ = ?".
  bool keyed = false;
  std::string table;
  std::string selectList;
  std::string fromRest;  // "from <table> where ... order by ..."
  std::string countSql;  // "select count(*) from <table> where ..." (no order)
  // A keyed select of plain columns ordered by plain columns of its table
  // only: "from <table> where ..." without the order, and the order's
  // columns with their direction, so that the rows can be read in stored
  // order and sorted in memory. Empty when the order is not that simple.
  struct OrderTerm {
    std::string column;
    bool desc = false;
  };
  std::vector<OrderTerm> orderBy;
  std::string unordered;
  // fromRest with the order in the columns' own collations, which an index
  // can serve; it gives the same order as fromRest while no order column
  // of the rows holds text beyond ASCII.
  std::string fromRestPlain;
};

// The statement counting a translated select's rows.
inline std::string CountSql(const Translation& tr) {
  return tr.countSql.empty() ? "SELECT count(*) FROM (" + tr.sql + ")" : tr.countSql;
}

// Throws dao::Error (3075 syntax, 3127 unknown field in INSERT INTO).
Translation TranslateJet(const std::string& jet, const SchemaLookup& schema);

// Names of tables and fields are equal without regard to (ASCII) case.
bool SameName(const std::string& a, const std::string& b);

// Double quotes for an SQLite identifier.
std::string QuoteIdent(const std::string& name);

}  // namespace dao::detail
