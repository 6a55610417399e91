#include "core/UniqueName.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"

namespace tvn {

namespace {

bool SameBytes(const std::string& a, const std::string& b) {
  std::error_code error;
  if (std::filesystem::file_size(a, error) != std::filesystem::file_size(b, error) || error) return false;
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  std::vector<char> bx(1 << 16), by(1 << 16);
  while (x && y) {
    x.read(bx.data(), std::streamsize(bx.size()));
    y.read(by.data(), std::streamsize(by.size()));
    if (x.gcount() != y.gcount() || !std::equal(bx.begin(), bx.begin() + x.gcount(), by.begin())) return false;
  }
  return x.eof() && y.eof();
}

}  // namespace

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

std::string CopyToOwnBackup(const std::string& file, const std::string& firstChoice) {
  const std::string source = vb::ResolvePath(file);
  // The number goes before the extension of the file name (not of a folder).
  const auto sep = firstChoice.find_last_of('/');
  const auto dot = firstChoice.rfind('.');
  const bool hasExtension = dot != std::string::npos && (sep == std::string::npos || dot > sep);
  const std::string stem = hasExtension ? firstChoice.substr(0, dot) : firstChoice;
  const std::string extension = hasExtension ? firstChoice.substr(dot) : std::string();
  for (int n = 1;; ++n) {
    const std::string candidate = n == 1 ? firstChoice : stem + " (" + std::to_string(n) + ")" + extension;
    std::error_code error;
    // The file itself (a collection named "x.30") is no backup of itself.
    if (std::filesystem::equivalent(vb::ResolvePath(candidate), source, error)) continue;
    if (vb::FileCopy(source, candidate, false) || SameBytes(vb::ResolvePath(candidate), source))
      return vb::ResolvePath(candidate);
  }
}

}  // namespace tvn
