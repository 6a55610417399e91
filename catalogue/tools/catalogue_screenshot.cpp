// Saves a picture of the catalogue window showing a few sample records,
// and optionally the first page of their standard media report:
//   catalogue_screenshot <output.png> [report.png]
// Works in a data folder of its own (TAVOLIN_HOME is set to a new
// temporary folder), so the user's collections are never touched.
#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "catalogue/CatalogueHooks.h"
#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/StandardReport.h"

namespace {

struct Sample {
  const char* name;
  const char* artist;
  const char* category;
  const char* label;
  const char* number;
  std::vector<const char*> titles;
};

const Sample kSamples[] = {
    {"Blue Horizon", "The Harbour Quartet", "Jazz", "Northlight Records", "NL-1021",
     {"Morning Tide", "Lantern Walk", "Blue Horizon", "Salt and Cedar", "The Long Pier", "Night Ferry"}},
    {"Bright Lines", "Marta Vell", "Pop", "Coastal Sound", "CS-88", {"Bright Lines", "Paper Sky"}},
    {"Cold River Songs", "Ivo Brannock", "Folk", "Fieldstone", "FS-12", {"Cold River", "Ash Grove"}},
    {"Evening Ragas", "Sahana Iyer", "World", "Meridian", "MR-301", {"Alap", "Jor", "Jhala"}},
    {"Glass Garden", "Orin Talley Trio", "Jazz", "Northlight Records", "NL-1034", {"Glass Garden"}},
};

// A square cover of its own for each sample: a gradient from the given
// colour with the record's name on it.
void MakeCover(const std::filesystem::path& file, int size, const QColor& from, const QString& caption) {
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

// The standard report of the compact discs, as the standard selector
// makes it, first page only.
bool SaveReportPage(const dao::DatabasePtr& db, const std::filesystem::path& dir, const std::filesystem::path& file) {
  auto& state = tvn::reports::Module();
  state.ReportDatabase = db;
  state.ReportAppFolder = dir.string();
  tvn::reports::MarkStandardSelection(db, state, 2, 1, "");
  print::Printer printer;
  tvn::reports::PrintMediaReport(printer, tvn::reports::StandardReportOptions{});
  state.ReportDatabase.reset();
  return print::RenderPageImage(printer.document(), 1, 96).save(QString::fromStdString(file.string()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <output.png> [report.png]\n", argv[0]);
    return 2;
  }
  const std::filesystem::path output = std::filesystem::absolute(argv[1]);
  const std::filesystem::path reportOutput = argc == 3 ? std::filesystem::absolute(argv[2]) : std::filesystem::path();
  QApplication app(argc, argv);

  std::string tmpl = (std::filesystem::temp_directory_path() / "tvnshotXXXXXX").string();
  if (!::mkdtemp(tmpl.data())) return 1;
  const std::filesystem::path dir = tmpl;
  ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
  vb::SetSettingsFile((dir / "settings.ini").string());
  std::filesystem::current_path(dir);
  vb::PromptScript::Install();

  tvn::schema::CreateCollectionFile((dir / "av30.mdb").string());
  std::filesystem::create_directories(dir / "pics");
  const QColor colours[] = {QColor(18, 52, 96), QColor(120, 40, 70), QColor(40, 90, 50), QColor(150, 90, 20),
                            QColor(60, 60, 60)};
  for (size_t i = 0; i < std::size(kSamples); ++i)
    MakeCover(dir / "pics" / ("cover" + std::to_string(i + 1) + ".png"), 160, colours[i % std::size(colours)],
              QString::fromUtf8(kSamples[i].name));
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase("av30.mdb");
  tvn::App().CollectionDB = db;
  int coverNumber = 0;
  for (const Sample& s : kSamples) {
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
  tvn::AVData()->CurCollection("My Collection");

  auto& hooks = tvn::CatalogueHooks::Get();
  hooks.showHelpTopic = [](int) {};
  hooks.windowLoaded = [](tvn::NewMain_Form*) {};
  hooks.windowUnloading = [](tvn::NewMain_Form*) {};
  tvn::NewMain_Form window;
  window.resize(1000, 660);
  window.show();
  window.ItemClickProcess(2);

  int rc = 0;
  QTimer::singleShot(800, [&] {
    if (!window.grab().save(QString::fromStdString(output.string()))) rc = 1;
    app.quit();
  });
  app.exec();
  window.Form_Unload();
  if (rc == 0 && !reportOutput.empty()) {
    if (SaveReportPage(db, dir, reportOutput))
      std::printf("%s\n", reportOutput.c_str());
    else
      rc = 1;
  }
  db->Close();
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(dir, ec);
  if (rc == 0) std::printf("%s\n", output.c_str());
  return rc;
}
