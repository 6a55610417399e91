#pragma once
// Conversion of collections and of the master list into the current
// layout, and the opening routines of the shared module that call it.
#include <cstdint>
#include <string>

namespace tvn {

// Shared-module routines.
void OpenMediaData();           // ensures App().CollectionDB is of the current layout; leaves it open
void PrepareReportTapeIndex();  // report.TapeIndex accepts empty strings
void OpenPlCollections();       // ensures "admin.sys" has plcollections with index "dbname"; leaves App().AdminDB open

// ConversionModule32.
void ConvertCollection();
void CopyTableRows(const std::string& oldTable, std::uint8_t sectionNumber);
void ConvertMasterList(const std::string& backupName);
void CopyMasterRows(const std::string& table);

}  // namespace tvn
