// Saves a picture of the catalogue window showing a few sample records:
//   catalogue_screenshot <output.png>
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
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

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

void MakeCover(const std::filesystem::path& file) {
  QPixmap pm(320, 320);
  QPainter p(&pm);
  QLinearGradient g(0, 0, 320, 320);
  g.setColorAt(0, QColor(18, 52, 96));
  g.setColorAt(1, QColor(92, 160, 196));
  p.fillRect(pm.rect(), g);
  p.setPen(QColor(255, 255, 255, 220));
  QFont f = p.font();
  f.setPixelSize(30);
  f.setBold(true);
  p.setFont(f);
  p.drawText(pm.rect().adjusted(20, 20, -20, -20), Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
             "Blue\nHorizon");
  p.end();
  pm.save(QString::fromStdString(file.string()));
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
  std::filesystem::current_path(dir);
  vb::PromptScript::Install();

  tvn::schema::CreateCollectionFile((dir / "av30.mdb").string());
  std::filesystem::create_directories(dir / "pics");
  MakeCover(dir / "pics" / "blue.png");
  auto db = dao::DBEngine::Workspaces(0).OpenDatabase("av30.mdb");
  tvn::App().CollectionDB = db;
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
    rs->SetField("date_aquired", vb::DateSerial(2024, 3, 14));
    rs->SetField("slot", 12);
    rs->SetField("Player", "Master");
    rs->SetField("picture", "pics\\blue.png");
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
  db->Close();
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(dir, ec);
  if (rc == 0) std::printf("%s\n", output.c_str());
  return rc;
}
