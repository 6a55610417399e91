#include "games/reports/GameSelection.h"

#include <QString>

#include "platform/runtime/Functions.h"

namespace pl {
namespace {

// A key list holds only numbers and blanks; anything else (a list never
// read from a grid) is dropped so that it cannot reach the statement.
std::string KeyList(const std::string& list) {
  std::string out;
  for (char c : list)
    if ((c >= '0' && c <= '9') || c == ' ' || c == '-') out += c;
  return out;
}

void Narrow(dao::Database& db, const std::string& list, const std::string& field) {
  if (list.empty()) return;
  db.Execute("update mediadata set printrecord =  instr(1,'" + KeyList(list) + "',' ' & trim(str(" + field +
             ")) & ' ') > 0 and printrecord");
}

// True when the link table holds a row of the game that the clause allows.
bool Linked(dao::Database& db, const std::string& sql) {
  dao::RecordsetPtr rs = db.OpenRecordset(sql);
  const bool found = !rs->Eof();
  rs->Close();
  return found;
}

}  // namespace

void MarkGameRecords(dao::Database& db, const GameLimits& limits) {
  db.Execute("update mediadata set printrecord = true");
  if (limits.sectionList != "ALL") Narrow(db, limits.sectionList + " ", "sectionnumber");
  Narrow(db, limits.genres, "genre");
  Narrow(db, limits.developers, "developer");
  Narrow(db, limits.publishers, "publisher");
  if (!limits.name.empty() && limits.name != "***NO LIMITS***") {
    // Text limits match by prefix.
    const std::string length = std::to_string(QString::fromStdString(limits.name).size());
    db.Execute("update mediadata set printrecord = left(name, " + length + ") = " + dao::SqlQuote(limits.name) +
               " and printrecord");
  }

  const std::string supports =
      limits.supports.empty()
          ? std::string()
          : " where instr(1,'" + KeyList(limits.supports) + "',' ' & trim(str(supports)) & ' ') > 0 ";
  const std::string sysTypes =
      limits.sysTypes.empty()
          ? std::string()
          : " where instr(1,'" + KeyList(limits.sysTypes) + "',' ' & trim(str(systypeid)) & ' ') > 0 ";
  if (supports.empty() && sysTypes.empty()) return;

  // One transaction for the many single-row writes.
  db.BeginTrans();
  try {
    dao::RecordsetPtr rs = db.OpenRecordset("select * from mediadata where printrecord order by name");
    while (!rs->Eof()) {
      const std::string number = vb::Trim(vb::NzStr(rs->GetField("systemnumber")));
      bool keep = true;
      if (!sysTypes.empty())
        keep = Linked(db, "select systemnumber from systypemedia " + sysTypes + " and systemnumber = " + number);
      if (keep && !supports.empty())
        keep = Linked(db, "select SystemNumber from supportsmedia " + supports + " and systemnumber = " + number);
      if (!keep) {
        rs->Edit();
        rs->SetField("printrecord", dao::Variant(false));
        rs->Update();
      }
      rs->MoveNext();
    }
    rs->Close();
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
}

}  // namespace pl
