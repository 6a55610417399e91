#include "core/Start_Form.h"

#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/ConversionModule32.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/TavolinModule.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {

// True when the listing holds a name equal, upper-cased, to upperName.
bool ListHolds(const std::vector<std::string>& names, const std::string& upperName) {
  for (const std::string& n : names) {
    if (n == "." || n == "..") continue;
    if (vb::UCase(n) == upperName) return true;
  }
  return false;
}

// The user chose to end rather than go on with the default collection;
// the reason has been shown already.
struct StartDeclined {};

}  // namespace

Start_Form::Start_Form() {
  setObjectName("Start_Form");
  setWindowTitle("Tavolin");
  TitleLabel = new QLabel("Tavolin", this);
  TitleLabel->setObjectName("TitleLabel");
  TitleLabel->setAlignment(Qt::AlignCenter);
  QFont f = TitleLabel->font();
  f.setPointSize(f.pointSize() * 2);
  f.setBold(true);
  TitleLabel->setFont(f);
  Continue_but = new QPushButton("Continue", this);
  Continue_but->setObjectName("Continue_but");
  Continue_but->setVisible(false);  // shown once the start-up work is done
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(TitleLabel);
  layout->addWidget(Continue_but, 0, Qt::AlignHCenter);
  resize(320, 160);
  connect(Continue_but, &QPushButton::clicked, this, [this] { Continue_but_Click(); });
}

void Start_Form::Form_Load() {
  try {
    StartupWork();
  } catch (const StartDeclined&) {
    EndProgram(1);
    return;
  } catch (const vb::RuntimeError& e) {
    vb::ShowError(e.Number(), e.Description());
    EndProgram(1);
    return;
  } catch (const std::exception& e) {
    vb::ShowError(51, e.what());
    EndProgram(1);
    return;
  }
  // Step 10: wait for the user.
  Continue_but->setVisible(true);
}

void Start_Form::StartupWork() {
  const std::string folder = vb::ProgramFolder();

  // 1. Help file.
  SetHelpFile(this, folder);

  // 2. The program folder becomes the current folder; a new data folder
  // is created and given the templates the program ships.
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
    if (ec) throw vb::RuntimeError(vb::errPathNotFound, "Path not found: " + folder);
  }
  vb::ChDir(folder);
  RemoveLeftoverFiles(folder);
  schema::EnsureTemplates(folder);

  // 3. The workspace every database is opened through.
  AppGlobals& g = App();
  g.AppWorkspace = &dao::DBEngine::Workspaces(0);

  // 4. The collection in use last time.
  TVNDATA& data = *AVData();
  data.LastDB(vb::GetSetting("TVN", "Startup", "CurDB"));

  // 5. Settle the collection file.
  if (data.LastDB().empty()) {
    data.LastDB(DefaultCollectionFile);
    vb::SaveSetting("TVN", "Startup", "CurDB", DefaultCollectionFile);
  } else if (data.LastDB() != DefaultCollectionFile) {
    if (!ListHolds(vb::Dir(folder, "*.mdb"), vb::UCase(data.LastDB()))) {
      vb::MsgBox("The current collection file\n" + vb::ResolvePath(data.LastDB()) +
                     "\nwas not found. The default collection will be opened.",
                 vb::vbExclamation);
      data.LastDB(DefaultCollectionFile);
      vb::SaveSetting("TVN", "Startup", "CurDB", DefaultCollectionFile);
    }
  }

  // 6. The fixed files; a copy never replaces a file that is there.
  if (!ListHolds(vb::Dir(folder, "*.sys"), "ADMIN.SYS")) vb::FileCopy("AdminE.sys", "Admin.sys", false);
  if (!ListHolds(vb::Dir(folder, "*", true), "PICS")) vb::MkDir("PICS");
  if (!ListHolds(vb::Dir(folder, "*.mdb"), "AV30.MDB")) vb::FileCopy("av32e.mdb", "AV30.mdb", false);

  // 7. The master list: the display name of the current collection.
  auto lookUpDisplayName = [&] {
    g.AdminDB = g.AppWorkspace->OpenDatabase("admin.sys");
    OpenPlCollections();
    g.CollectionsRS = g.AdminDB->OpenRecordset("avcollections", dao::dbOpenTable);
    g.CollectionsRS->SetIndex("dbname");
    g.CollectionsRS->Seek("=", data.LastDB());
    data.CurCollection(g.CollectionsRS->NoMatch() ? std::string()
                                                  : vb::NzStr(g.CollectionsRS->GetField("AVCollection")));
    g.CollectionsRS->Close();
    g.AdminDB->Close();
  };
  lookUpDisplayName();

  // 8. The collection, and 9. bring it to the current layout.
  auto openCollection = [&] {
    g.CollectionDB = g.AppWorkspace->OpenDatabase(data.LastDB());
    CommonDataTable table;
    table.CheckTable();
    OpenMediaData();
  };
  std::string failure;
  try {
    openCollection();
  } catch (const vb::RuntimeError& e) {
    if (vb::UCase(data.LastDB()) == vb::UCase(DefaultCollectionFile)) throw;
    failure = e.Description();
  } catch (const std::exception& e) {
    if (vb::UCase(data.LastDB()) == vb::UCase(DefaultCollectionFile)) throw;
    failure = e.what();
  }
  if (!failure.empty()) {
    // A current collection that cannot be used need not end the program at
    // every start: the user may go on with the default one.
    if (g.CollectionDB && g.CollectionDB->IsOpen()) g.CollectionDB->Close();
    const int answer = vb::MsgBox("The current collection file\n" + vb::ResolvePath(data.LastDB()) +
                                      "\ncannot be opened:\n" + failure +
                                      "\n\nOpen the default collection instead?",
                                  vb::vbYesNo + vb::vbExclamation);
    if (answer != vb::vbYes) throw StartDeclined{};
    data.LastDB(DefaultCollectionFile);
    vb::SaveSetting("TVN", "Startup", "CurDB", DefaultCollectionFile);
    lookUpDisplayName();
    openCollection();
  }

  // A pending tip of the day shows at the catalogue window's first activation.
  ReadTipSetting();
}

void Start_Form::Continue_but_Click() {
  setMousePointer(vbHourglass);
  Unload();
}

void Start_Form::Form_Unload() {
  // The first close leads on to the splash window; a later one ends the program.
  TVNDATA& data = *AVData();
  if (!data.OnExit()) {
    data.OnExit(vb::True);
    win::Splash_Form->Show();
  } else {
    EndProgram();
  }
}

}  // namespace tvn
