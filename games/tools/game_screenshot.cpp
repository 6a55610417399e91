// Saves a picture of the game catalogue window showing a few sample games:
//   game_screenshot <output.png>
// Works in a data folder of its own (TAVOLIN_HOME is set to a new
// temporary folder), so the user's collections are never touched. The
// window is opened as the launcher opens it, on a stand-in launcher.
#include <QApplication>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/MainForm.h"
#include "core/Schema.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "games/avplclass.h"
#include "games/tests/GameRows.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace {

using pl::testing::AddGameRow;

struct Sample {
  const char* name;
  const char* publisher;
  const char* developer;
  const char* genre;
  const char* rating;
  const char* players;
  const char* best;
  std::vector<const char*> systypes;
  std::vector<const char*> supports;
};

// Nintendo section games; the first one (by name) is on show.
const Sample kSamples[] = {
    {"Aurora Drift", "Lumen Interactive", "Northwind Studio", "Racing", "E Everyone:", "1-4",
     "Split-screen night races", {"Cartridge"}, {"Rumble Pak", "Memory Pak"}},
    {"Brass Lantern", "Lumen Interactive", "Cobalt Forge", "Adventure", "T Teen", "1",
     "Hand-drawn caverns", {"Cartridge"}, {"Memory Pak"}},
    {"Cinder Peaks", "Harbour Games", "Cobalt Forge", "Platform", "E Everyone:", "1-2",
     "Co-op climbing", {"Cartridge"}, {"Rumble Pak"}},
    {"Tidewatch", "Harbour Games", "Northwind Studio", "Strategy", "T Teen", "1-4",
     "Weather that changes the map", {"Cartridge", "Disk Drive"}, {"Memory Pak", "Expansion Pak"}},
};

// The key of a lookup name, made (flagged for Nintendo) on first use.
long Lookup(dao::Database& db, std::map<std::string, long>& known, const std::string& table,
            const std::string& field, const std::string& key, const std::string& name, bool flagged) {
  const std::string id = table + "\n" + name;
  if (auto it = known.find(id); it != known.end()) return it->second;
  std::map<std::string, vb::Variant> values{{field, vb::Variant(name)}};
  if (flagged) values["NTOn"] = vb::Variant(true);
  return known[id] = AddGameRow(db, table, values, key);
}

void FillSamples(dao::Database& db) {
  std::map<std::string, long> known;
  for (const char* t : {"Cartridge", "CD Rom", "Disk Drive"}) Lookup(db, known, "systype", "systype", "systypeid", t, false);
  for (const char* s : {"Expansion Pak", "Memory Pak", "Rumble Pak", "Transfer Pak"})
    Lookup(db, known, "supports", "Name", "supports", s, false);
  int day = 0;
  for (const Sample& s : kSamples) {
    ++day;
    const long game = AddGameRow(
        db, "mediadata",
        {{"name", vb::Variant(std::string(s.name))},
         {"sectionnumber", dao::Variant::Byte(2)},
         {"publisher", vb::Variant(Lookup(db, known, "publisher", "labelstudio_name", "publisher", s.publisher, true))},
         {"developer", vb::Variant(Lookup(db, known, "developer", "artist_name", "developer", s.developer, true))},
         {"genre", vb::Variant(Lookup(db, known, "genre", "category", "genre", s.genre, true))},
         {"date_aquired", vb::DateSerial(2024, 2, 10 + day)},
         {"date_released", vb::DateSerial(1998, 11, day)},
         {"rating", vb::Variant(std::string(s.rating))},
         {"Format", vb::Variant(std::string("Cartridge"))},
         {"players", vb::Variant(std::string(s.players))},
         {"bestfeature", vb::Variant(std::string(s.best))},
         {"worstfeature", vb::Variant(std::string("Long loading screens"))},
         {"homepage", vb::Variant(std::string("https://example.org/games"))}},
        "systemnumber");
    for (const char* t : s.systypes)
      AddGameRow(db, "systypemedia",
             {{"systemnumber", vb::Variant(game)},
              {"systypeid", vb::Variant(Lookup(db, known, "systype", "systype", "systypeid", t, false))}},
             "");
    for (const char* f : s.supports)
      AddGameRow(db, "supportsmedia",
             {{"systemnumber", vb::Variant(game)},
              {"supports", vb::Variant(Lookup(db, known, "supports", "Name", "supports", f, false))}},
             "");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path output = std::filesystem::absolute(argv[1]);
  QApplication app(argc, argv);

  std::string tmpl = (std::filesystem::temp_directory_path() / "tvnshotXXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const std::filesystem::path dir = tmpl;
  ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
  vb::SetSettingsFile((dir / "settings.ini").string());
  vb::SaveSetting("TVN", "Startup", "LPL", "2");
  std::filesystem::current_path(dir);
  vb::PromptScript::Install();

  tvn::schema::EnsureTemplates(dir.string());
  vb::FileCopy((dir / "admine.sys").string(), (dir / "admin.sys").string());
  vb::FileCopy((dir / "pl33e.mdb").string(), (dir / "MyGames.mdb").string());
  {
    dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "MyGames.mdb").string());
    FillSamples(*db);
    db->Close();
  }

  tvn::Form launcher;
  auto* running = new tvn::FlagCheckBox(&launcher);
  running->setObjectName("PLRunning");
  avplclass games;
  dao::Workspace* ws = &dao::DBEngine::Workspaces(0);
  std::string folder = dir.string();
  QObject* frm = &launcher;
  int rc = 0;
  try {
    games.fload(ws, folder, frm);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "the game window did not open: %s\n", e.what());
    rc = 1;
  }
  pl::PLMain_Form* window = pl::PL().MainWindow;
  if (rc == 0 && window) {
    window->resize(1000, 640);
    QTimer::singleShot(800, [&] {
      if (!window->grab().save(QString::fromStdString(output.string()))) rc = 1;
      app.quit();
    });
    app.exec();
    games.FClose();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  pl::PLGlobals& g = pl::PL();
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(dir, ec);
  if (rc == 0) std::printf("%s\n", output.c_str());
  return rc;
}
