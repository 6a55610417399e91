#include "games/reports/GameSelection.h"

#include "platform/dao/RowBatches.h"
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

// "update mediadata set printrecord = <the key in the list> and printrecord";
// nothing for no limit.
void Narrow(std::vector<dao::RowUpdate>& updates, const std::string& list, const std::string& field) {
  if (list.empty()) return;
  updates.push_back({"printrecord =  instr(1,'" + KeyList(list) + "',' ' & trim(str(" + field + ")) & ' ') > 0 and printrecord", ""});
}

}  // namespace

void MarkGameRecords(dao::Database& db, const GameLimits& limits, const std::function<void()>& tick) {
  // Each statement changes a game by its own fields (and the link tables,
  // which none of them writes), so they run together a batch of games at a
  // time, in one transaction.
  std::vector<dao::RowUpdate> updates{{"printrecord = true", ""}};
  if (limits.sectionList != "ALL") Narrow(updates, limits.sectionList + " ", "sectionnumber");
  Narrow(updates, limits.genres, "genre");
  Narrow(updates, limits.developers, "developer");
  Narrow(updates, limits.publishers, "publisher");
  if (!limits.name.empty() && limits.name != "***NO LIMITS***") {
    // Text limits match by prefix, as long as the limit in characters (the
    // engine's left() counts a character beyond U+FFFF once).
    const std::string length = std::to_string(vb::Len(limits.name));
    updates.push_back(
        {"printrecord = left(name, " + length + ") = " + dao::SqlQuote(limits.name) + " and printrecord", ""});
  }

  // A game stays marked only when its link table holds a row the limit
  // allows, for system types and features alike.
  auto linked = [&](const std::string& table, const std::string& keyField, const std::string& list) {
    if (list.empty()) return;
    updates.push_back({"printrecord = false", "printrecord and not exists (select systemnumber from " + table +
                                                  " where instr(1,'" + KeyList(list) + "',' ' & trim(str(" +
                                                  keyField + ")) & ' ') > 0 and systemnumber = "
                                                  "mediadata.systemnumber)"});
  };
  linked("systypemedia", "systypeid", limits.sysTypes);
  linked("supportsmedia", "supports", limits.supports);

  db.BeginTrans();
  try {
    dao::UpdateInRowBatches(db, "mediadata", updates, tick);
    db.CommitTrans();
  } catch (...) {
    db.Rollback();
    throw;
  }
}

}  // namespace pl
