// Conversion of an earlier-layout collection (one item table per section)
// into the current layout, and of a master list without the game
// collection list.
//
// Both conversions build the new file beside the old one and move it over
// the old name in one rename only when every table has been copied: until
// then the user's file stays as it was under its own name, so a failure at
// any step loses nothing. The ".30" backup is kept as well.
#include "core/ConversionModule32.h"

#include <filesystem>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/Compaction.h"
#include "core/UniqueName.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

const char* const kWorkSuffix = ".converting";

std::function<void(long)>& Progress() {
  static std::function<void(long)> progress;
  return progress;
}
long rowsCopied = 0;

void CloseIfOpen(const dao::DatabasePtr& db) {
  if (db && db->IsOpen()) db->Close();
}

// Copies every row of a table of `from` into `targetTable` of `to`, field
// by field under the same names; section tables also get their number.
void CopyRows(dao::Database& from, dao::Database& to, const std::string& table,
              const std::string& targetTable, std::uint8_t sectionNumber) {
  std::vector<std::string> names;
  const dao::TableDefPtr def = from.TableDefs(table);
  for (const auto& f : def->Fields) names.push_back(f.Name);
  auto source = from.OpenRecordset(table);
  auto target = to.OpenRecordset(targetTable);
  if (!(source->BOF() && source->Eof())) {
    source->MoveFirst();
    while (!source->Eof()) {
      target->AddNew();
      for (const auto& n : names) target->SetField(n, source->GetField(n));
      if (sectionNumber > 0) target->SetField("SectionNumber", dao::Variant::Byte(sectionNumber));
      target->Update();
      ++rowsCopied;
      if (Progress()) Progress()(rowsCopied);
      source->MoveNext();
    }
  }
  source->Close();
  target->Close();
}

// Runs `fill` on a copy of `templateName` opened as `db`, then puts the
// copy in place of `target`. On failure the copy is removed and the error
// goes on to the caller; `target` has not been touched.
template <typename Fill>
void RebuildFromTemplate(dao::DatabasePtr& db, const std::string& templateName,
                         const std::string& target, Fill fill) {
  const std::string work = target + kWorkSuffix;
  try {
    vb::FileCopy(vb::ResolvePath(templateName), work, true);
    db = AppWorkspace().OpenDatabase(work);
    db->BeginTrans();
    fill();
    db->CommitTrans();
    CloseIfOpen(App().OldDB);
    db->Close();
    vb::Name(work, target);
  } catch (...) {
    try {
      if (db && db->IsOpen()) {
        try {
          db->Rollback();
        } catch (const std::exception&) {
        }
        db->Close();
      }
      CloseIfOpen(App().OldDB);
      if (vb::FileExists(work)) vb::Kill(work);
    } catch (const std::exception&) {
      // The first error is the one the caller needs to see.
    }
    throw;
  }
}

// Gives every name that occurs a second time in one section the numbered
// form a save would give it; the first row keeps the plain name. Returns
// how many rows were renamed.
long NumberTwiceFiledNames(dao::Database& db) {
  constexpr long kNameWidth = 50;
  std::set<std::pair<int, std::string>> seen;  // section, name in upper case
  auto key = [](int section, const std::string& n) { return std::make_pair(section, vb::UCase(n)); };
  long renamed = 0;
  auto rs = db.OpenRecordset("mediadata");
  while (!rs->Eof()) {
    const int section = static_cast<int>(vb::Val(vb::NzStr(rs->GetField("SectionNumber"))));
    const dao::Variant value = rs->GetField("name");
    if (!vb::IsNull(value)) {
      const std::string name = vb::NzStr(value);
      if (seen.count(key(section, name))) {
        const std::string unique = NumberedUniqueName(
            name, kNameWidth, [&](const std::string& c) { return seen.count(key(section, c)) > 0; });
        rs->Edit();
        rs->SetField("name", unique);
        rs->Update();
        seen.insert(key(section, unique));
        ++renamed;
      } else {
        seen.insert(key(section, name));
      }
    }
    rs->MoveNext();
  }
  rs->Close();
  return renamed;
}

// One spelling for one file, whatever the path it is reached by.
std::string FileKey(const std::string& file) {
  std::error_code error;
  const auto canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(file, error), error);
  return error ? file : canonical.string();
}

std::map<std::string, std::string>& BackupsMade() {
  static std::map<std::string, std::string> made;
  return made;
}

// The backup as the message names it: under the folder the setting gives,
// with the name the copy has on disk.
std::string BackupAsWritten(const std::string& file, const std::string& made) {
  const auto folderEnd = file.find_last_of("/\\");
  const auto nameStart = made.find_last_of('/');
  return file.substr(0, folderEnd == std::string::npos ? 0 : folderEnd + 1) +
         made.substr(nameStart == std::string::npos ? 0 : nameStart + 1);
}

}  // namespace

void SetConversionProgress(std::function<void(long rowsCopied)> progress) { Progress() = std::move(progress); }

std::string CollectionBackupName(const std::string& file) {
  const auto sep = file.find_last_of("/\\");
  const auto start = sep == std::string::npos ? 0 : sep + 1;
  const auto dot = file.rfind('.');
  if (dot == std::string::npos || dot < start) return "";
  return file.substr(0, dot) + ".30";
}

std::string MakeCollectionBackup(const std::string& file) {
  const std::string source = vb::ResolvePath(file);
  std::string first = CollectionBackupName(source);
  if (first.empty()) first = source + ".30";
  const std::string made = CopyToOwnBackup(source, first);
  BackupsMade()[FileKey(source)] = made;
  return made;
}

std::string BackupMadeFor(const std::string& file) {
  const auto it = BackupsMade().find(FileKey(vb::ResolvePath(file)));
  return it == BackupsMade().end() ? std::string() : it->second;
}

bool IsCurrentLayout(const dao::DatabasePtr& db) {
  try {
    auto rs = db->OpenRecordset("mediadata");
    rs->Close();
    return true;
  } catch (const vb::RuntimeError& e) {
    // Only a missing table marks the earlier layout; a locked or damaged
    // file is reported, never converted.
    if (e.Number() == dao::errTableNotFound) return false;
    throw;
  }
}

void OpenMediaData() {
  auto& app = App();
  if (IsCurrentLayout(app.CollectionDB)) {
    PrepareReportTapeIndex();
    return;
  }
  ConvertCollection();
  app.CollectionDB = AppWorkspace().OpenDatabase(AVData()->LastDB());
}

void PrepareReportTapeIndex() {
  // Written only when it needs changing: a read-only collection that is
  // current already opens for browsing.
  const dao::TableDefPtr report = App().CollectionDB->TableDefs("report");
  for (const auto& f : report->Fields)
    if (vb::UCase(f.Name) == "TAPEINDEX" && f.AllowZeroLength) return;
  report->SetAllowZeroLength("TapeIndex", true);
}

void OpenPlCollections() {
  auto& app = App();
  if (!app.AdminDB || !app.AdminDB->IsOpen()) app.AdminDB = AppWorkspace().OpenDatabase("admin.sys");
  std::string backup = "Admin.30";
  dao::RecordsetPtr rs;
  try {
    rs = app.AdminDB->OpenRecordset("plcollections");
    backup = "Admin.30i";
    rs->SetIndex("dbname");
    rs->Close();
    return;
  } catch (const vb::RuntimeError& e) {
    if (rs && rs->IsOpen()) rs->Close();
    // A master list that cannot be read is not rebuilt.
    if (!rs && e.Number() != dao::errTableNotFound) throw;
  }
  ConvertMasterList(backup);
  app.AdminDB = AppWorkspace().OpenDatabase("admin.sys");
}

void ConvertCollection() {
  auto& app = App();
  const std::string file = AVData()->LastDB();
  const std::string target = vb::ResolvePath(file);
  const std::string backup = CollectionBackupName(file);
  // The rows are read from the upgraded work copy, never from the file.
  const bool haveWorkCopy = app.CollectionDB && app.CollectionDB->IsOpen() &&
                            IsUpgradeWorkCopy(app.CollectionDB->Name());
  if (!backup.empty() && !haveWorkCopy) CommonDataTable().CheckTable();
  const std::string work = app.CollectionDB && app.CollectionDB->IsOpen() ? app.CollectionDB->Name() : "";
  CloseIfOpen(app.CollectionDB);
  auto dropWorkCopy = [&] {
    if (IsUpgradeWorkCopy(work) && vb::FileExists(work)) vb::Kill(work);
  };

  if (backup.empty()) {
    dropWorkCopy();
    throw vb::RuntimeError(vb::errInvalidProcedureCall, "Invalid procedure call or argument");
  }
  if (const std::string problem = LinkedFileProblem(target, "converted"); !problem.empty()) {
    dropWorkCopy();
    throw LinkedFileError(target, problem);
  }

  // The upgrade made the backup; a work copy left by an earlier run was
  // upgraded without one, and gets it now from the untouched file.
  std::string made = BackupMadeFor(target);
  if (made.empty()) {
    try {
      made = MakeCollectionBackup(target);
    } catch (...) {
      dropWorkCopy();
      throw;
    }
  }
  vb::MsgBox(std::string("The Collection being opened has not been converted") + "\n" +
                 "to version 6.x. The Collection will now be converted." + "\n\n" +
                 "The old version file will be saved as: " + BackupAsWritten(file, made),
             vb::vbInformation);

  rowsCopied = 0;
  long renamed = 0;
  try {
    if (!IsUpgradeWorkCopy(work))
      throw vb::RuntimeError(vb::errInvalidProcedureCall, "Invalid procedure call or argument");
    RebuildFromTemplate(app.CollectionDB, "av32e.mdb", target, [&] {
      app.OldDB = AppWorkspace().OpenDatabase(work, false, true);
      for (const char* t : {"category", "labelstudio", "mdcaption", "mpcaption", "scdcaption",
                            "vtcaption", "cassettecaption", "cdcaption", "dvdcaption", "ldcaption",
                            "lpcaption"})
        app.CollectionDB->Execute(std::string("delete * from ") + t);
      const char* sections[] = {"cassette", "Compact_Disk", "dvd", "ld", "lp",
                                "vt",       "minidisc",     "mp3", "scd"};
      for (std::uint8_t s = 1; s <= 9; ++s) CopyTableRows(sections[s - 1], s);
      for (const char* t : {"artists", "cassettecaption", "category", "cdcaption", "dvdcaption",
                            "labelstudio", "ldcaption", "mdcaption", "mpcaption", "scdcaption",
                            "vtcaption", "lpcaption"})
        CopyTableRows(t, 0);
      renamed = NumberTwiceFiledNames(*app.CollectionDB);
    });
  } catch (...) {
    try {
      dropWorkCopy();
    } catch (const std::exception&) {
    }
    throw;
  }
  dropWorkCopy();

  std::string done = "The Collection has been converted to version 6.0 format.";
  if (renamed > 0)
    done += "\n\n" + std::to_string(renamed) +
            (renamed == 1 ? " item was renamed: its name occurred twice in one section."
                          : " items were renamed: their names occurred twice in one section.");
  vb::MsgBox(done, vb::vbInformation);
}

void CopyTableRows(const std::string& oldTable, std::uint8_t sectionNumber) {
  auto& app = App();
  CopyRows(*app.OldDB, *app.CollectionDB, oldTable, sectionNumber > 0 ? "mediadata" : oldTable,
           sectionNumber);
}

void ConvertMasterList(const std::string& backupName) {
  auto& app = App();
  CloseIfOpen(app.AdminDB);
  const std::string master = vb::ResolvePath("admin.sys");
  if (const std::string problem = LinkedFileProblem(master, "converted"); !problem.empty())
    throw LinkedFileError(master, problem);
  // Beside the list, under a name no other file has: an older backup (of
  // another list, or of this one before it changed) stays as it is.
  const auto folderEnd = master.find_last_of('/');
  const std::string backupPath =
      CopyToOwnBackup(master, master.substr(0, folderEnd == std::string::npos ? 0 : folderEnd + 1) + backupName);
  rowsCopied = 0;

  // The media collection list is carried over, and the game collection
  // list when the old file has one (it only lacked its index); otherwise
  // plcollections comes from the template.
  RebuildFromTemplate(app.AdminDB, "admine.sys", master, [&] {
    app.OldDB = AppWorkspace().OpenDatabase(backupPath, false, true);
    app.AdminDB->Execute("delete * from avcollections");
    CopyMasterRows("avcollections");
    bool hasGameList = true;
    try {
      app.OldDB->OpenRecordset("plcollections")->Close();
    } catch (const vb::RuntimeError& e) {
      if (e.Number() != dao::errTableNotFound) throw;
      hasGameList = false;
    }
    if (hasGameList) {
      app.AdminDB->Execute("delete * from plcollections");
      CopyMasterRows("plcollections");
    }
  });
}

void CopyMasterRows(const std::string& table) {
  auto& app = App();
  CopyRows(*app.OldDB, *app.AdminDB, table, table, 0);
}

}  // namespace tvn
