#pragma once
// Puts one row into a table of a game collection and returns the key the
// table numbered it with; shared by the tests and the sample-filling tools.
#include <map>
#include <string>

#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"

namespace pl::testing {

// key: the auto-numbered field to read back ("" reads nothing, returns 0).
inline long AddGameRow(dao::Database& db, const std::string& table, const std::map<std::string, vb::Variant>& values,
                       const std::string& key = "") {
  dao::RecordsetPtr rs = db.OpenRecordset(table, dao::dbOpenTable);
  rs->AddNew();
  for (const auto& [f, v] : values) rs->SetField(f, v);
  rs->Update();
  rs->Close();
  if (key.empty()) return 0;
  dao::RecordsetPtr k = db.OpenRecordset("select max(" + key + ") as k from " + table);
  const long n = k->Eof() ? 0 : long(vb::CDbl(k->GetField("k")));
  k->Close();
  return n;
}

}  // namespace pl::testing
