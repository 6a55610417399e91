#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/AppState.h"
#include "core/Schema.h"
#include "core/tests/CoreTestSupport.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvntest {

namespace {
void CloseAll() {
  auto& app = tvn::App();
  for (auto* db : {&app.CollectionDB, &app.AdminDB, &app.OldDB}) {
    if (*db && (*db)->IsOpen()) (*db)->Close();
    db->reset();
  }
  app.CollectionsRS.reset();
}
}  // namespace

void DataFolderTest::SetUp() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "tvncoreXXXXXX").string();
  ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
  dir_ = tmpl;
  ::setenv("TAVOLIN_HOME", dir_.c_str(), 1);
  vb::SetSettingsFile((dir_ / "settings.ini").string());
  oldCwd_ = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  vb::PromptScript::Install();
  vb::PromptScript::Clear();
  CloseAll();
}

void DataFolderTest::TearDown() {
  CloseAll();
  vb::PromptScript::Uninstall();
  std::filesystem::current_path(oldCwd_);
  vb::SetSettingsFile("");
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

dao::DatabasePtr Open(const std::string& path) {
  return dao::DBEngine::Workspaces(0).OpenDatabase(path);
}

long CountRows(const dao::DatabasePtr& db, const std::string& sql) {
  auto rs = db->OpenRecordset(sql);
  long n = 0;
  if (!(rs->BOF() && rs->Eof())) {
    rs->MoveFirst();
    while (!rs->Eof()) {
      ++n;
      rs->MoveNext();
    }
  }
  rs->Close();
  return n;
}

bool HasTable(const dao::DatabasePtr& db, const std::string& table) {
  for (const auto& t : db->TableDefNames())
    if (vb::CompareText(t, table) == 0) return true;
  return false;
}

bool HasField(const dao::DatabasePtr& db, const std::string& table, const std::string& field) {
  const auto def = db->TableDefs(table);
  for (const auto& f : def->Fields)
    if (vb::CompareText(f.Name, field) == 0) return true;
  return false;
}

void AddRow(const dao::DatabasePtr& db, const std::string& table,
            const std::map<std::string, dao::Variant>& values) {
  auto rs = db->OpenRecordset(table);
  rs->AddNew();
  for (const auto& [k, v] : values) rs->SetField(k, v);
  rs->Update();
  rs->Close();
}

EarlierContent FillEarlierCollection(const std::string& path, int perSection) {
  EarlierContent content;
  auto db = Open(path);
  db->BeginTrans();
  for (const auto& table : tvn::schema::SectionTableNames()) {
    if (!HasTable(db, table)) continue;
    auto rs = db->OpenRecordset(table);
    for (int i = 1; i <= perSection; ++i) {
      rs->AddNew();
      rs->SetField("name", table + " item " + std::to_string(i));
      rs->SetField("artist1", "Artist " + std::to_string(i % 7));
      rs->SetField("notes", i == 1 ? "it's \"quoted\"" : "plain notes");
      rs->SetField("title1", "First title");
      rs->SetField("date_aquired", i % 2 ? dao::Variant::Null() : vb::DateSerial(1998, 3, i % 28 + 1));
      rs->SetField("slot", dao::Variant::Integer(static_cast<std::int16_t>(i)));
      rs->Update();
    }
    rs->Close();
    content.rowsPerTable[table] = perSection;
  }
  // Mini-discs filed under cassettes and compact discs by older versions.
  AddRow(db, "cassette", {{"name", "md tape"}, {"Format_Type", "MiniDisk"}});
  AddRow(db, "cassette", {{"name", "md tape 2"}, {"Format_Type", "MiniDisk"}});
  AddRow(db, "cassette", {{"name", "not md"}, {"Format_Type", "MiniDisk tape"}});  // not the mini-disc mark
  AddRow(db, "Compact_Disk", {{"name", "md cd"}, {"notes", "copied to a minidisc"}});
  AddRow(db, "Compact_Disk", {{"name", "md cd 2"}, {"notes", "MiniDisk"}});
  AddRow(db, "Compact_Disk", {{"name", "plain cd"}, {"notes", "mini disc"}});
  content.rowsPerTable["cassette"] += 1;
  content.rowsPerTable["Compact_Disk"] += 1;
  content.movedToMiniDisc = 4;

  AddRow(db, "artists", {{"artist_name", "Old Artist"}, {"cd", true}});
  AddRow(db, "category", {{"category", "Old Category"}, {"cas", true}});
  AddRow(db, "labelstudio", {{"LabelStudio_Name", "Old Label"}, {"scd", true}});
  for (const auto& c : tvn::schema::CaptionTableNames()) {
    if (!HasTable(db, c)) continue;
    if (CountRows(db, "select * from " + c) == 0)
      AddRow(db, c, {{"f1", "Old " + c}});
    else
      db->Execute("update " + c + " set f1 = 'Old " + c + "'");
  }
  db->CommitTrans();
  db->Close();
  return content;
}

}  // namespace tvntest
