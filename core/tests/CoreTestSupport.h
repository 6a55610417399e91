#pragma once
// Shared fixture of the core tests: a temporary data folder that is the
// current folder, a settings file of its own, scripted message boxes, and
// helpers that build collections of either layout with rows in them.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

namespace tvntest {

class DataFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;

 private:
  std::filesystem::path oldCwd_;
};

// The whole content of a file.
std::string ReadBytes(const std::string& path);

dao::DatabasePtr Open(const std::string& path);
long CountRows(const dao::DatabasePtr& db, const std::string& sql);
bool HasTable(const dao::DatabasePtr& db, const std::string& table);
bool HasField(const dao::DatabasePtr& db, const std::string& table, const std::string& field);

// Adds one row with the given values.
void AddRow(const dao::DatabasePtr& db, const std::string& table,
            const std::map<std::string, dao::Variant>& values);

// What FillEarlierCollection put into a file, for the checks after an
// upgrade or a conversion.
struct EarlierContent {
  std::map<std::string, long> rowsPerTable;  // section table -> rows that stay in it
  long movedToMiniDisc = 0;                 // cassette and compact-disc rows moved by the upgrade
};

// Puts items into every section table the file has (perSection each, with
// a Null and a set date_aquired among them), mini-disc items into cassette
// and Compact_Disk, and rows into the lookup and caption tables.
EarlierContent FillEarlierCollection(const std::string& path, int perSection);

}  // namespace tvntest
