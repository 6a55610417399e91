#include "core/UniqueName.h"

#include "platform/dao/Dao.h"
#include "platform/runtime/Functions.h"

namespace tvn {

std::string NumberedUniqueName(const std::string& name, long width,
                               const std::function<bool(const std::string&)>& taken) {
  std::string candidate = name;
  for (int n = 1; taken(candidate); ++n) {
    const std::string suffix = "-" + std::string(" ") + std::to_string(n + 1);
    // The suffix must fit the column: the name gives way, never the save.
    candidate = vb::Left(name, width - vb::Len(suffix)) + suffix;
  }
  return candidate;
}

std::string UniqueNameInSection(dao::Database& db, int section, const std::string& name,
                                const std::string& ownName, long width) {
  const std::string where = " and sectionnumber = " + vb::Trim(std::to_string(section));
  auto taken = [&](const std::string& candidate) {
    dao::RecordsetPtr rs = db.OpenRecordset("select name from mediadata where name = " + dao::SqlQuote(candidate) + where);
    long holders = 0;
    while (!rs->Eof()) {
      ++holders;
      rs->MoveNext();
    }
    rs->Close();
    if (!ownName.empty() && vb::CompareText(candidate, ownName) == 0) --holders;
    return holders > 0;
  };
  return NumberedUniqueName(name, width, taken);
}

}  // namespace tvn
