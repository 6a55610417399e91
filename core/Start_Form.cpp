#include "core/Start_Form.h"

#include <fcntl.h>
#include <unistd.h>

#include <QVBoxLayout>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <system_error>

#include "core/AVCollection_Form.h"
#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/ConversionModule32.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "core/Splash_Form.h"
#include "core/TavolinModule.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
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

// The display name the master list gives file, or "" (a Null name, no row).
std::string ListedDisplayName(dao::Database& admin, const std::string& file) {
  auto rs = admin.OpenRecordset("avcollections", dao::dbOpenTable);
  rs->SetIndex("dbname");
  rs->Seek("=", file);
  const std::string name = rs->NoMatch() ? std::string() : vb::NzStr(rs->GetField("AVCollection"));
  rs->Close();
  return name;
}

std::string Absolute(const std::string& name) {
  return std::filesystem::absolute(vb::ResolvePath(name)).lexically_normal().string();
}

// A name no entry of the folder has: base, then base2, base3, ...
std::string FreeNameBeside(const std::string& base) {
  std::string name = base;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(name, ec)); ++n)
    name = base + std::to_string(n);
  return name;
}

// Where the data folder's name came from, for the messages about it.
std::string NamedBy() {
  const char* home = std::getenv("TAVOLIN_HOME");
  return home && *home ? "\n(the folder TAVOLIN_HOME names)" : std::string();
}

// The data folder is there as a folder, or is made; anything else is told
// and the program ends before it writes anything.
void SettleDataFolder(const std::string& folder) {
  std::error_code ec;
  const auto status = std::filesystem::status(folder, ec);
  if (std::filesystem::is_directory(status)) return;
  if (std::filesystem::exists(status)) {
    vb::MsgBox("The data folder\n" + folder + NamedBy() + "\nis a file, not a folder.\n\nNothing was made. " +
                   "Name a folder, or move the file away. Tavolin ends now.",
               vb::vbOKOnly + vb::vbExclamation);
    throw OpenDeclined();
  }
  std::filesystem::create_directories(folder, ec);
  if (ec || !std::filesystem::is_directory(folder)) {
    vb::MsgBox("The data folder\n" + folder + NamedBy() + "\ncannot be made: " + ec.message() +
                   ".\n\nNothing was made. Tavolin ends now.",
               vb::vbOKOnly + vb::vbExclamation);
    throw OpenDeclined();
  }
}

// True when the folder takes no new file, whoever runs the program: tried
// with a file that is removed again at once.
bool FolderTakesNoFile(const std::string& folder) {
  const std::string probe = folder + "/.tvn-write-" + std::to_string(::getpid());
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EACCES || errno == EPERM || errno == EROFS;
  ::close(fd);
  ::unlink(probe.c_str());
  return false;
}

// Runs work that makes the fixed files of the data folder. A folder that
// cannot be written is named and the program ends, rather than leave the
// engine's word for it.
void MakeInDataFolder(const std::string& folder, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception&) {
    if (!FolderTakesNoFile(folder)) throw;
    vb::MsgBox("The data folder\n" + folder + NamedBy() +
                   "\ncannot be written, so the files Tavolin keeps there cannot be made.\n\nNothing was made. " +
                   "Give the folder write access, or name another folder. Tavolin ends now.",
               vb::vbOKOnly + vb::vbExclamation);
    throw OpenDeclined();
  }
}

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
  } catch (const OpenDeclined&) {
    EndProgram(1);
    return;
  } catch (const vb::RuntimeError& e) {
    vb::TellError(e);
    EndProgram(1);
    return;
  } catch (const std::exception& e) {
    vb::TellError(e);
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
  SettleDataFolder(folder);
  vb::ChDir(folder);
  MakeInDataFolder(folder, [&] {
    RemoveLeftoverFiles(folder);
    schema::EnsureTemplates(folder);
  });

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
      const bool isFolder = !vb::Dir(folder, data.LastDB(), true).empty();
      vb::MsgBox("The current collection file\n" + vb::ResolvePath(data.LastDB()) +
                     (isFolder ? "\nis a folder, not a file." : "\nwas not found.") +
                     " The default collection will be opened.",
                 vb::vbExclamation);
      data.LastDB(DefaultCollectionFile);
      vb::SaveSetting("TVN", "Startup", "CurDB", DefaultCollectionFile);
    }
  }

  // 6. The fixed files; a copy never replaces a file that is there, and a
  // folder standing in a file's place is left to the steps below to report.
  MakeInDataFolder(folder, [&] {
    if (!ListHolds(vb::Dir(folder, "*.sys"), "ADMIN.SYS") && vb::Dir(folder, "admin.sys", true).empty())
      vb::FileCopy("AdminE.sys", "Admin.sys", false);
    if (!ListHolds(vb::Dir(folder, "*", true), "PICS")) vb::MkDir("PICS");
    if (!ListHolds(vb::Dir(folder, "*.mdb"), "AV30.MDB") && vb::Dir(folder, "av30.mdb", true).empty())
      vb::FileCopy("av32e.mdb", "AV30.mdb", false);
  });

  // 7. The master list: the display name of the current collection.
  const bool listUsable = ReadMasterList();

  // 8. The collection, and 9. bring it to the current layout.
  OpenCurrentCollection(listUsable);

  // A pending tip of the day shows at the catalogue window's first activation.
  ReadTipSetting();
}

void Start_Form::LookUpDisplayName() {
  AppGlobals& g = App();
  TVNDATA& data = *AVData();
  try {
    g.AdminDB = g.AppWorkspace->OpenDatabase("admin.sys");
    // Nothing is written to a list lacking a table or field of a list of
    // this program (an older one lacks only the game catalogue's table,
    // which is added below).
    CheckMasterList(*g.AdminDB, Absolute("admin.sys"));
    OpenPlCollections();
    g.AdminDB->MendIndexes();
    data.CurCollection(ListedDisplayName(*g.AdminDB, data.LastDB()));
    g.AdminDB->Close();
  } catch (...) {
    if (g.AdminDB && g.AdminDB->IsOpen()) g.AdminDB->Close();
    g.AdminDB.reset();
    throw;
  }
}

bool Start_Form::ReadMasterList() {
  const std::string path = Absolute("admin.sys");
  std::string what;
  try {
    if (const std::string shape = FileShapeProblem(path); !shape.empty()) throw FileShapeError(shape);
    LookUpDisplayName();
    return true;
  } catch (const std::exception& e) {
    what = DescribeOpenFailure(e);
    const bool folder = std::filesystem::is_directory(path);
    std::error_code ec;
    const bool journal = std::filesystem::exists(path + "-journal", ec) || std::filesystem::exists(path + "-wal", ec);
    if (folder || IsPassingFailure(e) || journal) {
      // Nothing is replaced: the file may be sound, or its unfinished change
      // may still be rolled back once it can be written.
      vb::MsgBox("The list of collections\n" + path + "\n" + what +
                     "\n\nTavolin goes on without it this time and leaves it as it is; the collection managers "
                     "cannot be used until it can be read.",
                 vb::vbExclamation);
      return false;
    }
  }
  return RebuildMasterList(path, what);
}

bool Start_Form::RebuildMasterList(const std::string& path, const std::string& what) {
  TVNDATA& data = *AVData();
  const std::string kept = FreeNameBeside(path + ".damaged");
  try {
    // Byte for byte, before anything is written under the list's name.
    vb::FileCopy(path, kept, false);
    vb::FileCopy("AdminE.sys", path, true);
    auto admin = App().AppWorkspace->OpenDatabase(path);
    // The current collections of both catalogues stay listed.
    auto listCurrent = [&](const char* table, const char* nameField, const std::string& file) {
      if (file.empty() || vb::Dir(".", file).empty()) return;
      auto rs = admin->OpenRecordset(table, dao::dbOpenTable);
      rs->SetIndex("dbname");
      rs->Seek("=", file);
      const bool listed = !rs->NoMatch();
      if (!listed) {
        rs->AddNew();
        rs->SetField("dbname", file);
        const std::string stem = file.size() > 4 && vb::UCase(file.substr(file.size() - 4)) == ".MDB"
                                     ? file.substr(0, file.size() - 4)
                                     : file;
        rs->SetField(nameField, stem);
        rs->Update();
      }
      rs->Close();
    };
    listCurrent("avcollections", "AVCollection", data.LastDB());
    listCurrent("plcollections", "plCollection", vb::GetSetting("TVN", "Startup", "CurDB_PL", ""));
    admin->Close();
  } catch (const std::exception& e) {
    vb::MsgBox("The list of collections\n" + path + "\n" + what + "\n\nA new list could not be made (" + e.what() +
                   ").\nTavolin goes on without it this time.",
               vb::vbExclamation);
    return false;
  }
  vb::MsgBox("The list of collections\n" + path + "\n" + what + "\n\nIt has been kept, byte for byte, as\n" + kept +
                 "\nand a new list has been made that holds the current media and game collections. Add your other "
                 "collections again in the collection managers.",
             vb::vbExclamation);
  try {
    LookUpDisplayName();
    return true;
  } catch (const std::exception& e) {
    vb::MsgBox("The new list of collections\n" + path + "\n" + DescribeOpenFailure(e) +
                   "\nTavolin goes on without it this time.",
               vb::vbExclamation);
    return false;
  }
}

void Start_Form::OpenCurrentCollection(bool listUsable) {
  AppGlobals& g = App();
  TVNDATA& data = *AVData();
  CurrentCollectionOpening how;
  how.giveUp = "quit Tavolin.";
  how.gaveUp = "Tavolin ends now.";
  how.defaultFile = DefaultCollectionFile;
  how.defaultPath = Absolute(DefaultCollectionFile);
  how.path = [&] { return Absolute(data.LastDB()); };
  how.open = [&] {
    try {
      g.CollectionDB = AVCollection_Form::OpenCollection(AVCollection_Form::MediaCollections(), *g.AppWorkspace,
                                                         Absolute(data.LastDB()));
      CommonDataTable table;
      table.CheckTable();
      OpenMediaData();
    } catch (...) {
      if (g.CollectionDB && g.CollectionDB->IsOpen()) g.CollectionDB->Close();
      g.CollectionDB.reset();
      throw;
    }
  };
  how.canUseDefault = [] { return vb::FileExists(DefaultCollectionFile); };
  how.useDefault = [&] {
    data.LastDB(DefaultCollectionFile);
    vb::SaveSetting("TVN", "Startup", "CurDB", DefaultCollectionFile);
    data.CurCollection("");
    if (!listUsable) return;
    try {
      LookUpDisplayName();
    } catch (const std::exception&) {
      // The list read a moment ago; the name stays empty.
    }
  };
  AVCollection_Form::OpenCurrentCollection(AVCollection_Form::MediaCollections(), how);
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
