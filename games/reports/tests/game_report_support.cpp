#include "games/reports/tests/GameReportSupport.h"

#include "core/Schema.h"
#include "games/reports/R00Module.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvntest {

void GameReportTest::SetUp() {
  static int argc = 1;
  static char name[] = "game_reports_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
  DataFolderTest::SetUp();
  tvn::schema::CreateGameCollectionFile(Path("games.mdb"));
  db_ = Open(Path("games.mdb"));
  auto& m = pl::GameReports();
  m.ReportDatabase = db_;
  m.ReportAppFolder = dir_.string();
  m.ReportType = 0;
  m.SectionList.clear();
  m.ReportTitle.clear();
  m.ReportSubtitle.clear();
}

void GameReportTest::TearDown() {
  pl::GameReports().ReportDatabase.reset();
  if (db_) db_->Close();
  db_.reset();
  DataFolderTest::TearDown();
}

namespace {
long LastKey(const dao::DatabasePtr& db, const std::string& table, const std::string& key) {
  auto rs = db->OpenRecordset("select max(" + key + ") as k from " + table);
  return vb::CLng(rs->GetField("k"));
}
}  // namespace

long GameReportTest::AddLookup(const std::string& table, const std::string& name,
                               const std::vector<std::string>& flags) {
  static const std::map<std::string, std::string> names{
      {"publisher", "labelstudio_name"}, {"developer", "artist_name"}, {"genre", "category"}};
  std::map<std::string, dao::Variant> values{{names.at(table), name}};
  for (const char* f : {"GBOn", "NTOn", "PSOn", "SegaOn", "XOn", "OtherOn"}) values[f] = false;
  for (const auto& f : flags) values[f] = true;
  AddRow(db_, table, values);
  return LastKey(db_, table, table);
}

long GameReportTest::AddSysType(const std::string& name) {
  AddRow(db_, "systype", {{"systype", name}});
  return LastKey(db_, "systype", "systypeid");
}

long GameReportTest::AddSupport(const std::string& name) {
  AddRow(db_, "supports", {{"Name", name}});
  return LastKey(db_, "supports", "supports");
}

long GameReportTest::AddGame(const std::string& name, int section, long publisher, long developer, long genre,
                             const std::map<std::string, dao::Variant>& more) {
  std::map<std::string, dao::Variant> values{{"name", name},
                                             {"sectionnumber", dao::Variant::Byte(static_cast<std::uint8_t>(section))},
                                             {"printrecord", false}};
  if (publisher) values["publisher"] = dao::Variant(static_cast<std::int32_t>(publisher));
  if (developer) values["developer"] = dao::Variant(static_cast<std::int32_t>(developer));
  if (genre) values["genre"] = dao::Variant(static_cast<std::int32_t>(genre));
  for (const auto& [k, v] : more) values[k] = v;
  AddRow(db_, "mediadata", values);
  return LastKey(db_, "mediadata", "systemnumber");
}

void GameReportTest::Link(const std::string& table, long game, long key) {
  const std::string keyField = table == "systypemedia" ? "systypeid" : "supports";
  AddRow(db_, table, {{"systemnumber", dao::Variant(static_cast<std::int32_t>(game))},
                      {keyField, dao::Variant(static_cast<std::int32_t>(key))}});
}

std::vector<std::string> GameReportTest::Marked() {
  std::vector<std::string> out;
  auto rs = db_->OpenRecordset("select name from mediadata where printrecord order by name");
  while (!rs->Eof()) {
    out.push_back(vb::NzStr(rs->GetField("name")));
    rs->MoveNext();
  }
  return out;
}

std::vector<print::TextItem> GameReportTest::Texts(const print::Document& doc) {
  std::vector<print::TextItem> out;
  for (const auto& page : doc.pages)
    for (const auto& t : page.texts)
      if (!t.header && t.table < 0) out.push_back(t);
  return out;
}

bool GameReportTest::HasText(const print::Document& doc, const QString& text) {
  for (const auto& page : doc.pages)
    for (const auto& t : page.texts)
      if (!t.header && t.text == text) return true;
  return false;
}

std::vector<std::vector<QString>> GameReportTest::TableRows(const print::Document& doc) {
  std::vector<std::vector<QString>> out;
  for (const auto& page : doc.pages)
    for (const auto& table : page.tables)
      for (const auto& row : table.rows) {
        if (row.header) continue;
        std::vector<QString> cells;
        for (const auto& c : row.cells) cells.push_back(c.text);
        out.push_back(std::move(cells));
      }
  return out;
}

std::vector<std::string> GameReportTest::Messages() {
  std::vector<std::string> out;
  for (const auto& r : vb::PromptScript::Records())
    if (r.kind == "msgbox") out.push_back(r.text);
  return out;
}

}  // namespace tvntest
