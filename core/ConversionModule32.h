#pragma once
// Conversion of collections and of the master list into the current
// layout, and the opening routines of the shared module that call it.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/dao/Dao.h"

namespace tvn {

// Shared-module routines.
void OpenMediaData();           // ensures App().CollectionDB is of the current layout; leaves it open
void PrepareReportTapeIndex();  // report.TapeIndex accepts empty strings
void OpenPlCollections();       // ensures "admin.sys" has plcollections with index "dbname"; leaves App().AdminDB open

// ConversionModule32.
void ConvertCollection();
void CopyTableRows(const std::string& oldTable, std::uint8_t sectionNumber);
// backupName ("Admin.30", "Admin.30i") is the first choice of name for the
// old list's copy; a name another file has gets a number (CopyToOwnBackup).
void ConvertMasterList(const std::string& backupName);
void CopyMasterRows(const std::string& table);

// While a conversion copies rows, progress is told the number of rows
// copied so far in that conversion, after each row. Empty (the default):
// nothing is told.
void SetConversionProgress(std::function<void(long rowsCopied)> progress);

// The first choice of backup name for a collection file: its whole name
// up to its last "." (of the file name, not of a folder) followed by
// ".30"; "" when the name has no ".".
std::string CollectionBackupName(const std::string& file);
// Copies file to a backup beside it that is its own: the first of
// CollectionBackupName(file) ("name.30" for a name without "."), "name
// (2).30", "name (3).30" ... that no other file has. A backup already
// there with the same bytes as file (left by an interrupted attempt on the
// same file) is kept and used. Returns the backup's path; raises when the
// copy cannot be made. The conversion's message names what the last call
// for the same file returned (BackupMadeFor).
std::string MakeCollectionBackup(const std::string& file);
// The backup MakeCollectionBackup made last for file (any spelling of its
// path); "" when none.
std::string BackupMadeFor(const std::string& file);
// True when table mediadata opens; false when the file has no such table
// (the earlier layout). Any other failure (locked, damaged) is raised.
bool IsCurrentLayout(const dao::DatabasePtr& db);

}  // namespace tvn
