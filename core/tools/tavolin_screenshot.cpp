// Saves a picture of one of the program's windows over a sample collection:
//   tavolin_screenshot catalogue <window.png> [report.png]
//       the media catalogue window on a few compact discs, and optionally
//       the first page of their standard media report
//   tavolin_screenshot games <window.png>
//       the game catalogue window on a few Nintendo games
// Works in a data folder of its own (TAVOLIN_HOME is set to a new temporary
// folder, removed at the end), so the user's collections are never touched.
// The windows are opened as the program opens them: from the launcher,
// through what each catalogue library registers.
#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/MainForm.h"
#include "core/Schema.h"
#include "core/Windows.h"
#include "games/avplclass.h"
#include "games/tests/GameRows.h"
#include "platform/dao/Dao.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/StandardReport.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- media samples

struct Disc {
  const char* name;
  const char* artist;
  const char* category;
  const char* label;
  const char* number;
  std::vector<const char*> titles;
};

const Disc kDiscs[] = {
    {"Blue Horizon", "The Harbour Quartet", "Jazz", "Northlight Records", "NL-1021",
     {"Morning Tide", "Lantern Walk", "Blue Horizon", "Salt and Cedar", "The Long Pier", "Night Ferry"}},
    {"Bright Lines", "Marta Vell", "Pop", "Coastal Sound", "CS-88", {"Bright Lines", "Paper Sky"}},
    {"Cold River Songs", "Ivo Brannock", "Folk", "Fieldstone", "FS-12", {"Cold River", "Ash Grove"}},
    {"Evening Ragas", "Sahana Iyer", "World", "Meridian", "MR-301", {"Alap", "Jor", "Jhala"}},
    {"Glass Garden", "Orin Talley Trio", "Jazz", "Northlight Records", "NL-1034", {"Glass Garden"}},
};

// A square cover of its own for each disc: a gradient from the given colour
// with the record's name on it.
void MakeCover(const fs::path& file, int size, const QColor& from, const QString& caption) {
  QPixmap pm(size, size);
  QPainter p(&pm);
  QLinearGradient g(0, 0, size, size);
  g.setColorAt(0, from);
  g.setColorAt(1, QColor(92, 160, 196));
  p.fillRect(pm.rect(), g);
  p.setPen(QColor(255, 255, 255, 220));
  QFont f = p.font();
  f.setPixelSize(size / 10);
  f.setBold(true);
  p.setFont(f);
  p.drawText(pm.rect().adjusted(size / 16, size / 16, -size / 16, -size / 16),
             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, caption);
  p.end();
  pm.save(QString::fromStdString(file.string()));
}

// The media collection "av30.mdb" with the discs, their covers and lookups.
dao::DatabasePtr FillDiscs(const fs::path& dir) {
  tvn::schema::CreateCollectionFile((dir / "av30.mdb").string());
  fs::create_directories(dir / "pics");
  const QColor colours[] = {QColor(18, 52, 96), QColor(120, 40, 70), QColor(40, 90, 50), QColor(150, 90, 20),
                            QColor(60, 60, 60)};
  for (size_t i = 0; i < std::size(kDiscs); ++i)
    MakeCover(dir / "pics" / ("cover" + std::to_string(i + 1) + ".png"), 160, colours[i % std::size(colours)],
              QString::fromUtf8(kDiscs[i].name));
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "av30.mdb").string());
  int coverNumber = 0;
  for (const Disc& s : kDiscs) {
    auto rs = db->OpenRecordset("mediadata");
    rs->AddNew();
    rs->SetField("name", s.name);
    rs->SetField("SectionNumber", vb::Variant::Byte(2));
    rs->SetField("section", "Compact Disc");
    rs->SetField("artist1", s.artist);
    rs->SetField("category", s.category);
    rs->SetField("labelstudio", s.label);
    rs->SetField("cat_number", s.number);
    rs->SetField("total_time", "47:12");
    rs->SetField("format_type", "Stereo");
    rs->SetField("format_type2", "DDD");
    rs->SetField("RYear", vb::DateSerial(2019, 9, 6));
    rs->SetField("date_aquired", vb::DateSerial(2024, 3, 14));
    rs->SetField("slot", 12);
    rs->SetField("Player", "Master");
    rs->SetField("picture", "pics\\cover" + std::to_string(++coverNumber) + ".png");
    for (size_t t = 0; t < s.titles.size(); ++t) rs->SetField("title" + std::to_string(t + 1), s.titles[t]);
    rs->Update();
    rs->Close();
    for (const auto& [table, field, value] :
         {std::tuple{"artists", "artist_name", s.artist}, {"category", "category", s.category},
          {"labelstudio", "LabelStudio_Name", s.label}}) {
      auto lookup = db->OpenRecordset(table);
      lookup->AddNew();
      lookup->SetField(field, value);
      lookup->SetField("cd", true);
      lookup->Update();
      lookup->Close();
    }
  }
  return db;
}

// The standard report of the compact discs, as the standard selector makes
// it, first page only.
bool SaveReportPage(const dao::DatabasePtr& db, const fs::path& dir, const fs::path& file) {
  auto& state = tvn::reports::Module();
  state.ReportDatabase = db;
  state.ReportAppFolder = dir.string();
  tvn::reports::MarkStandardSelection(db, state, 2, 1, "");
  print::Printer printer;
  tvn::reports::PrintMediaReport(printer, tvn::reports::StandardReportOptions{});
  state.ReportDatabase.reset();
  return print::RenderPageImage(printer.document(), 1, 96).save(QString::fromStdString(file.string()));
}

// ---------------------------------------------------------------- game samples

using pl::testing::AddGameRow;

struct Game {
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
const Game kGames[] = {
    {"Aurora Drift", "Lumen Interactive", "Northwind Studio", "Racing", "E Everyone:", "1-4",
     "Split-screen night races", {"Cartridge"}, {"Rumble Pak", "Memory Pak"}},
    {"Brass Lantern", "Lumen Interactive", "Cobalt Forge", "Adventure", "T Teen", "1", "Hand-drawn caverns",
     {"Cartridge"}, {"Memory Pak"}},
    {"Cinder Peaks", "Harbour Games", "Cobalt Forge", "Platform", "E Everyone:", "1-2", "Co-op climbing",
     {"Cartridge"}, {"Rumble Pak"}},
    {"Tidewatch", "Harbour Games", "Northwind Studio", "Strategy", "T Teen", "1-4", "Weather that changes the map",
     {"Cartridge", "Disk Drive"}, {"Memory Pak", "Expansion Pak"}},
};

// The key of a lookup name, made (flagged for Nintendo) on first use.
long Lookup(dao::Database& db, std::map<std::string, long>& known, const std::string& table, const std::string& field,
            const std::string& key, const std::string& name, bool flagged) {
  const std::string id = table + "\n" + name;
  if (auto it = known.find(id); it != known.end()) return it->second;
  std::map<std::string, vb::Variant> values{{field, vb::Variant(name)}};
  if (flagged) values["NTOn"] = vb::Variant(true);
  return known[id] = AddGameRow(db, table, values, key);
}

// The game collection "MyGames.mdb", made from the template, with the games.
void FillGames(const fs::path& dir) {
  vb::FileCopy((dir / "pl33e.mdb").string(), (dir / "MyGames.mdb").string());
  dao::DatabasePtr db = dao::DBEngine::Workspaces(0).OpenDatabase((dir / "MyGames.mdb").string());
  std::map<std::string, long> known;
  for (const char* t : {"Cartridge", "CD Rom", "Disk Drive"})
    Lookup(*db, known, "systype", "systype", "systypeid", t, false);
  for (const char* s : {"Expansion Pak", "Memory Pak", "Rumble Pak", "Transfer Pak"})
    Lookup(*db, known, "supports", "Name", "supports", s, false);
  int day = 0;
  for (const Game& s : kGames) {
    ++day;
    const long game = AddGameRow(
        *db, "mediadata",
        {{"name", vb::Variant(std::string(s.name))},
         {"sectionnumber", dao::Variant::Byte(2)},
         {"publisher", vb::Variant(Lookup(*db, known, "publisher", "labelstudio_name", "publisher", s.publisher, true))},
         {"developer", vb::Variant(Lookup(*db, known, "developer", "artist_name", "developer", s.developer, true))},
         {"genre", vb::Variant(Lookup(*db, known, "genre", "category", "genre", s.genre, true))},
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
      AddGameRow(*db, "systypemedia",
                 {{"systemnumber", vb::Variant(game)},
                  {"systypeid", vb::Variant(Lookup(*db, known, "systype", "systype", "systypeid", t, false))}});
    for (const char* f : s.supports)
      AddGameRow(*db, "supportsmedia",
                 {{"systemnumber", vb::Variant(game)},
                  {"supports", vb::Variant(Lookup(*db, known, "supports", "Name", "supports", f, false))}});
  }
  db->Close();
}

// ---------------------------------------------------------------- the window

// The window the launcher opened: the shown top-level window other than
// the launcher itself.
QWidget* OpenedWindow(const QWidget* launcher) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != launcher && w->isVisible() && !w->isModal() && w->windowType() != Qt::ToolTip) return w;
  return nullptr;
}

// Clicks the launcher's button, waits until the window it opens has been
// shown, has done its first activation's work and has painted, and saves
// it at the given size.
bool SaveWindow(QPushButton* button, QSize size, const fs::path& file) {
  tvn::MainForm& launcher = tvn::win::MainForm.Get();
  button->click();
  QElapsedTimer clock;
  clock.start();
  QWidget* w = nullptr;
  while (!(w = OpenedWindow(&launcher)) && clock.elapsed() < 30000) QApplication::processEvents(QEventLoop::AllEvents, 50);
  if (!w) {
    std::fprintf(stderr, "no window opened\n");
    return false;
  }
  w->resize(size);
  // The first activation's work is queued behind the show; the pointer
  // the launcher set while opening is put back when it is done.
  while (launcher.MousePointer() != tvn::vbDefault && clock.elapsed() < 30000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  for (int round = 0; round < 10; ++round) QApplication::processEvents(QEventLoop::AllEvents, 20);
  if (!w->grab().save(QString::fromStdString(file.string()))) {
    std::fprintf(stderr, "cannot write %s\n", file.c_str());
    return false;
  }
  std::printf("%s\n", file.c_str());
  return true;
}

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s catalogue <window.png> [report.png]\n"
               "       %s games <window.png>\n",
               program, program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage(argv[0]);
  const std::string which = argv[1];
  const bool catalogue = which == "catalogue";
  if (!catalogue && which != "games") return Usage(argv[0]);
  if ((catalogue && argc > 4) || (!catalogue && argc != 3)) return Usage(argv[0]);
  const fs::path output = fs::absolute(argv[2]);
  const fs::path reportOutput = argc == 4 ? fs::absolute(argv[3]) : fs::path();

  std::string tmpl = (fs::temp_directory_path() / "tvnshotXXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const fs::path dir = tmpl;
  ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  vb::SetSettingsFile((dir / "settings.ini").string());
  // The last sections used: compact discs and Nintendo; no first-run help
  // and no tip over the window.
  vb::SaveSetting("TVN", "Startup", "LG", "2");
  vb::SaveSetting("TVN", "Startup", "LPL", "2");
  vb::SaveSetting("TVN", "Startup", "NF", "2");
  vb::SaveSetting("TVN", "Startup", "TipOnOff", "0");
  fs::current_path(dir);
  vb::PromptScript::Install();
  tvn::schema::EnsureTemplates(dir.string());
  vb::FileCopy((dir / "admine.sys").string(), (dir / "admin.sys").string());

  tvn::RegisterCatalogueWindow();
  pl::RegisterGameCatalogue();
  tvn::App().AppWorkspace = &dao::DBEngine::Workspaces(0);
  tvn::MainForm& launcher = tvn::win::MainForm.Get();

  bool ok = false;
  dao::DatabasePtr db;
  if (catalogue) {
    db = FillDiscs(dir);
    tvn::App().CollectionDB = db;
    tvn::AVData()->CurCollection("My Collection");
    ok = SaveWindow(launcher.btnOpenTavolin, QSize(1000, 660), output);
    if (tvn::MediaCatalogue().Unload) tvn::MediaCatalogue().Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (ok && !reportOutput.empty()) {
      ok = SaveReportPage(db, dir, reportOutput);
      if (ok) std::printf("%s\n", reportOutput.c_str());
    }
  } else {
    FillGames(dir);
    ok = SaveWindow(launcher.btnOpenPellion, QSize(1000, 640), output);
    if (tvn::GameCatalogue().FClose) tvn::GameCatalogue().FClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  tvn::App().CollectionDB.reset();
  if (db && db->IsOpen()) db->Close();
  std::error_code ec;
  fs::current_path(fs::temp_directory_path(), ec);
  fs::remove_all(dir, ec);
  return ok ? 0 : 1;
}
