#include <QApplication>
#include <QComboBox>
#include <cstdlib>

#include "catalogue/CatalogueHooks.h"
#include "catalogue/tests/CatalogueTestSupport.h"
#include "core/AppState.h"
#include "core/Schema.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace cattest {

namespace {
const char* kSectionNames[] = {"", "Cassette", "Compact Disc", "DVD", "Laser Disc", "LP",
                               "Video Tape", "MiniDisc", "MP3", "Software"};
}

void CatalogueTest::SetUpTestSuite() {
  if (!qApp) {
    static int argc = 1;
    static char name[] = "catalogue_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
  }
}

void CatalogueTest::SetUp() {
  tvntest::DataFolderTest::SetUp();

  tvn::SetAVData(std::make_shared<tvn::TVNDATA>());
  tvn::AVData()->CurCollection("My Collection");
  tvn::App().TipNum = 0;
  const std::string db = (dir_ / "av30.mdb").string();
  tvn::schema::CreateCollectionFile(db);
  tvn::App().CollectionDB = dao::DBEngine::Workspaces(0).OpenDatabase(db);

  auto& hooks = tvn::CatalogueHooks::Get();
  hooks.showHelpTopic = [this](int topic) { helpTopics.push_back(topic); };
  hooks.quitHelp = [] {};
  hooks.closeQuickDisplay = [] {};
  hooks.windowLoaded = [](tvn::NewMain_Form*) {};
  hooks.windowUnloading = [](tvn::NewMain_Form*) {};
  hooks.showTips = [this](QWidget*) {
    ++tipsShown;
    tvn::App().TipNum = 0;  // as the tips window does when it closes
  };
}

void CatalogueTest::TearDown() {
  window_.reset();
  tvn::CatalogueHooks::Reset();
  tvntest::DataFolderTest::TearDown();
}

std::vector<std::string> Names(int section) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select name from mediadata where sectionnumber = " +
                                                   std::to_string(section) + " order by name");
  std::vector<std::string> out;
  while (!rs->Eof()) {
    out.push_back(vb::NzStr(rs->GetField("name")));
    rs->MoveNext();
  }
  rs->Close();
  return out;
}

std::string Stored(const std::string& name, const std::string& field) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("select " + field + " from mediadata where name = " +
                                                   dao::SqlQuote(name));
  const std::string v = rs->Eof() ? "<none>" : vb::NzStr(rs->GetField(field));
  rs->Close();
  return v;
}

void CatalogueTest::AddItem(int section, const std::string& name, const Fields& more) {
  auto rs = tvn::App().CollectionDB->OpenRecordset("mediadata");
  rs->AddNew();
  rs->SetField("name", vb::Variant(name));
  rs->SetField("SectionNumber", vb::Variant::Byte(std::uint8_t(section)));
  rs->SetField("section", vb::Variant(kSectionNames[section]));
  for (const auto& [field, value] : more) rs->SetField(field, value);
  rs->Update();
  rs->Close();
}

tvn::NewMain_Form& CatalogueTest::Window() {
  if (!window_) window_ = std::make_unique<tvn::NewMain_Form>();
  return *window_;
}

tvn::NewMain_Form& CatalogueTest::WindowOn(int section) {
  tvn::NewMain_Form& w = Window();
  w.ItemClickProcess(tvn::Byte(section));
  return w;
}

void CatalogueTest::SetSetting(const std::string& key, const std::string& value) {
  vb::SaveSetting("TVN", "Startup", key, value);
}

std::string CatalogueTest::Setting(const std::string& key) { return vb::GetSetting("TVN", "Startup", key, ""); }

int CatalogueTest::Face(char letter) {
  const int first = 3 * (letter - 'A' + 1) - 2;
  int shown = -1;
  for (int role = 0; role < 3; ++role) {
    if (Window().LetterButtons[first + role]->isVisible()) {
      if (shown != -1) return -1;
      shown = role;
    }
  }
  return shown;
}

std::vector<std::string> CatalogueTest::Items(const QComboBox* combo) {
  std::vector<std::string> out;
  for (int i = 0; i < combo->count(); ++i) out.push_back(combo->itemText(i).toStdString());
  return out;
}

}  // namespace cattest
