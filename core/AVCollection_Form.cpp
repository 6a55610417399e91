#include "core/AVCollection_Form.h"

#include <QCloseEvent>
#include <cstring>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {


// Files in the program folder that belong to the program itself.
constexpr const char* kReservedFiles[] = {"av32e.mdb", "pl33e.mdb", "temp.mdb", "admin.sys", "admine.sys", "tips.sys"};

bool IsReservedFile(const std::string& file) {
  for (const char* reserved : kReservedFiles)
    if (vb::UCase(file) == vb::UCase(reserved)) return true;
  return false;
}

// Both catalogues keep their collection lists in the master list, and
// their files in the one data folder.
struct CollectionList {
  const char* table;
  const char* nameField;
  const char* catalogue;
};
constexpr CollectionList kCollectionLists[] = {{"avcollections", "AVCollection", "media catalogue"},
                                               {"plcollections", "plCollection", "game catalogue"}};

// Characters that are special in file names or file patterns.
constexpr const char* kRefusedCharacters = "*?[]:|\"<>\\/";

// Two names that differ only by blanks or letter case are one name.
std::string NameKey(const std::string& name) {
  std::string key;
  for (char c : vb::UCase(name))
    if (c != ' ' && c != '\t') key += c;
  return key;
}

// A file name from the master list names a file directly inside the data
// folder; anything else ("../other.mdb", "sub/x.mdb") is never touched.
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c < 32) return false;
  return true;
}

void RefuseFileName(const std::string& dbname) {
  vb::MsgBox("The database file name \"" + dbname + "\" is not a plain file name of the data folder.\n"
             "The collection was left as it is.",
             vb::vbOKOnly + vb::vbExclamation);
}

}  // namespace

const CollectionManagerConfig& AVCollection_Form::MediaCollections() {
  static const CollectionManagerConfig config{
      "AVCollection_Form",
      "Collection Manager",
      "avcollections",
      "AVCollection",
      "av32e.mdb",
      "CurDB",
      {"delete * from mediadata"},
      [] { return AVData()->LastDB(); },
      [](const std::string& v) { AVData()->LastDB(v); },
      [] { return AVData()->CurCollection(); },
      [](const std::string& v) { AVData()->CurCollection(v); },
  };
  return config;
}

AVCollection_Form::AVCollection_Form(QWidget* parent) : AVCollection_Form(MediaCollections(), parent) {}

AVCollection_Form::AVCollection_Form(const CollectionManagerConfig& config, QWidget* parent)
    : QDialog(parent), config_(config) {
  setObjectName(QString::fromLatin1(config_.formName));
  setWindowTitle(QString::fromLatin1(config_.caption));
  setModal(true);

  QBoxLayout* layout = config_.listAbove ? static_cast<QBoxLayout*>(new QVBoxLayout(this))
                                         : static_cast<QBoxLayout*>(new QHBoxLayout(this));
  CB_List = new QListWidget(this);
  CB_List->setObjectName(QStringLiteral("CB_List"));
  CB_List->setMinimumWidth(260);
  layout->addWidget(CB_List, 1);

  auto* buttons = new QVBoxLayout;
  auto button = [this, buttons](const char* name, const char* caption, void (AVCollection_Form::*handler)()) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, handler] { vb::Guarded([&] { (this->*handler)(); }); });
    buttons->addWidget(b);
    return b;
  };
  const auto& captions = config_.buttonCaptions;
  CreateCB = button("CreateCB", captions[0], &AVCollection_Form::CreateCB_Click);
  OpenCB = button("OpenCB", captions[1], &AVCollection_Form::OpenCB_Click);
  DeleteCB = button("DeleteCB", captions[2], &AVCollection_Form::DeleteCB_Click);
  btnClearDatabase = button("btnClearDatabase", captions[3], &AVCollection_Form::btnClearDatabase_Click);
  buttons->addStretch(1);
  ExitCB = button("ExitCB", captions[4], &AVCollection_Form::ExitCB_Click);
  layout->addLayout(buttons);
  // Exit comes before the emptying of a collection.
  setTabOrder(CB_List, CreateCB);
  setTabOrder(CreateCB, OpenCB);
  setTabOrder(OpenCB, DeleteCB);
  setTabOrder(DeleteCB, ExitCB);
  setTabOrder(ExitCB, btnClearDatabase);
}

dao::Workspace& AVCollection_Form::Workspace() const {
  if (config_.workspace) return config_.workspace();
  return App().AppWorkspace ? *App().AppWorkspace : dao::DBEngine::Workspaces(0);
}

std::string AVCollection_Form::Folder() const {
  if (config_.folder) return config_.folder();
  return vb::ProgramFolder();
}

AVCollection_Form::~AVCollection_Form() {
  try {
    Form_Unload();
  } catch (...) {
  }
}

// ---- life of the window

void AVCollection_Form::Form_Load() {
  vb::ChDir(Folder());
  const std::string admin = InFolder("admin.sys");
  try {
    if (const std::string shape = FileShapeProblem(admin); !shape.empty()) throw FileShapeError(shape);
    adminDB_ = Workspace().OpenDatabase(admin);
    CheckMasterList(*adminDB_, admin);
    collectionsRS_ = adminDB_->OpenRecordset(config_.list);
    collectionsRS_->SetIndex("master");
  } catch (const std::exception& e) {
    // Said in words, naming the file; the start-up makes a damaged list anew.
    if (adminDB_ && adminDB_->IsOpen()) adminDB_->Close();
    adminDB_.reset();
    const auto* runtime = dynamic_cast<const vb::RuntimeError*>(&e);
    throw vb::RuntimeError(runtime ? runtime->Number() : vb::errPathFileAccess,
                           "The list of collections " + admin + " " + DescribeOpenFailure(e));
  }
  unloaded_ = false;
  FillCollectionList();
}

void AVCollection_Form::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (collectionsRS_ && collectionsRS_->IsOpen()) collectionsRS_->Close();
  collectionsRS_.reset();
  if (adminDB_ && adminDB_->IsOpen()) adminDB_->Close();
  adminDB_.reset();
}

void AVCollection_Form::closeEvent(QCloseEvent* event) {
  vb::Guarded([this] { Form_Unload(); });
  QDialog::closeEvent(event);
}

void AVCollection_Form::done(int result) {
  vb::Guarded([this] { Form_Unload(); });
  QDialog::done(result);
}

void AVCollection_Form::ExitCB_Click() { close(); }

// ---- the list

void AVCollection_Form::FillCollectionList() {
  CB_List->clear();
  dao::Recordset& rs = *collectionsRS_;
  if (rs.RecordCount() < 1) return;
  rs.MoveFirst();
  while (!rs.Eof()) {
    CB_List->addItem(QString::fromStdString(vb::NzStr(rs.GetField(config_.nameField))));
    rs.MoveNext();
  }
}

std::string AVCollection_Form::SelectedText() const {
  QListWidgetItem* item = CB_List->currentItem();
  if (!item || !item->isSelected()) return {};
  return item->text().toStdString();
}

std::string AVCollection_Form::CollectionUsingFile(const std::string& fileName, const std::string& except,
                                                  bool otherOnly) const {
  const std::string wanted = vb::UCase(fileName);
  for (const CollectionList& list : kCollectionLists) {
    const bool own = vb::UCase(list.table) == vb::UCase(config_.list);
    if (own && otherOnly) continue;
    dao::RecordsetPtr rs;
    try {
      rs = adminDB_->OpenRecordset(std::string("select * from ") + list.table);
    } catch (const vb::RuntimeError&) {
      if (own) throw;
      continue;  // a master list without the other catalogue's list
    }
    std::string owner;
    while (!rs->Eof()) {
      const std::string name = vb::NzStr(rs->GetField(list.nameField));
      if (vb::UCase(vb::NzStr(rs->GetField("dbname"))) == wanted && !(own && name == except)) {
        owner = name.empty() ? std::string(" ") : name;
        if (!own) owner += std::string(" (") + list.catalogue + ")";
        break;
      }
      rs->MoveNext();
    }
    rs->Close();
    if (!owner.empty()) return owner;
  }
  return {};
}

bool AVCollection_Form::IsListedName(const std::string& name) const {
  const std::string key = NameKey(name);
  dao::RecordsetPtr rs =
      adminDB_->OpenRecordset(std::string("select ") + config_.nameField + " from " + config_.list);
  bool found = false;
  while (!rs->Eof() && !found) {
    found = NameKey(vb::NzStr(rs->GetField(config_.nameField))) == key;
    rs->MoveNext();
  }
  rs->Close();
  return found;
}

bool AVCollection_Form::RefusedListFile(const std::string& dbname) const {
  if (!IsPlainFileName(dbname)) {
    RefuseFileName(dbname);
    return true;
  }
  if (IsReservedFile(dbname)) {
    vb::MsgBox("The database file \"" + dbname + "\" is kept by the program itself.\nThe collection was left as it is.",
               vb::vbOKOnly + vb::vbExclamation);
    return true;
  }
  // Only the other catalogue's entries count here: two entries of this
  // list naming one file are one collection.
  const std::string owner = CollectionUsingFile(dbname, "", true);
  if (!owner.empty()) {
    vb::MsgBox("The database file \"" + dbname + "\" belongs to the collection \"" + vb::Trim(owner) +
                   "\".\nThe collection was left as it is.",
               vb::vbOKOnly + vb::vbExclamation);
    return true;
  }
  return false;
}

// ---- create

std::string AVCollection_Form::CollectionNameProblem(const std::string& name) {
  if (vb::Trim(name).empty()) return "A collection needs a name.";
  for (unsigned char c : name) {
    if (std::strchr(kRefusedCharacters, c) && c != 0)
      return "A collection name may not contain any of  * ? [ ] : | \" < > \\ /";
    if (c < 32 || c == 127) return "A collection name may not contain control characters.";
  }
  if (name.front() == '.') return "A collection name may not begin with \".\".";
  const std::string file = name + ".mdb";
  if (file.size() > 255) return "The collection name is too long.";
  if (IsReservedFile(file))
    return "The file \"" + file + "\" is kept by the program itself; please choose another name.";
  return {};
}

namespace {

// Something of this name is in the folder in any form and any letter case:
// a file, a folder, or a link, also one that points nowhere (a new file
// made under that name would land wherever the link points, or nowhere).
bool NameTaken(const std::string& folder, const std::string& fileName) { return vb::EntryExists(folder, fileName); }

std::string TakenText(const std::string& fileName) {
  return "Something named \"" + fileName + "\" is in the data folder already; it is left as it is.";
}

// Why the master list refuses name and fileName for a new collection of
// list, or "" when it does not (also when the list cannot be read: the
// caller then goes on without it).
std::string ListedProblem(dao::Workspace& ws, const std::string& admin, const char* list, const char* nameField,
                          const std::string& name, const std::string& fileName) {
  dao::DatabasePtr db;
  try {
    db = ws.OpenDatabase(admin, false, true);
  } catch (const std::exception&) {
    return {};
  }
  std::string problem;
  try {
    for (const CollectionList& other : kCollectionLists) {
      auto rs = db->OpenRecordset(std::string("select * from ") + other.table);
      for (; !rs->Eof() && problem.empty(); rs->MoveNext()) {
        if (vb::UCase(vb::NzStr(rs->GetField("dbname"))) == vb::UCase(fileName))
          problem = "The file \"" + fileName + "\" belongs to a collection of the " + other.catalogue + ".";
        else if (vb::UCase(other.table) == vb::UCase(list) && NameKey(vb::NzStr(rs->GetField(nameField))) == NameKey(name))
          problem = "A collection named \"" + name + "\" is listed already.";
      }
      rs->Close();
    }
  } catch (const std::exception&) {
  }
  db->Close();
  return problem;
}

}  // namespace

bool AVCollection_Form::MakeReplacementCollection(const CollectionManagerConfig& config) {
  const std::string folder = config.folder ? config.folder() : vb::ProgramFolder();
  dao::Workspace& ws = config.workspace ? config.workspace()
                                        : (App().AppWorkspace ? *App().AppWorkspace : dao::DBEngine::Workspaces(0));
  const std::string admin = folder + "/admin.sys";
  // The name offered is free in the folder and in the list, so the default
  // answer always goes through.
  int number = 1;
  auto nextSuggestion = [&] {
    for (;;) {
      const std::string name = number == 1 ? std::string("New Collection") : "New Collection " + std::to_string(number);
      ++number;
      if (!NameTaken(folder, name + ".mdb") &&
          ListedProblem(ws, admin, config.list, config.nameField, name, name + ".mdb").empty())
        return name;
    }
  };
  std::string suggestion = nextSuggestion();

  for (;;) {
    const std::string name = vb::Trim(
        vb::InputBox("Enter a name for the new Collection\n\nNOTE: DO NOT USE ANY SPECIAL CHARACTERS!!", "", suggestion));
    if (name.empty()) return false;
    const std::string fileName = name + ".mdb";
    std::string problem = CollectionNameProblem(name);
    if (problem.empty() && NameTaken(folder, fileName)) problem = TakenText(fileName);
    if (problem.empty()) problem = ListedProblem(ws, admin, config.list, config.nameField, name, fileName);
    if (!problem.empty()) {
      vb::MsgBox(problem + "\nPlease choose another name.", vb::vbOKOnly + vb::vbExclamation);
      if (name == suggestion) suggestion = nextSuggestion();
      continue;
    }
    try {
      if (vb::Dir(folder, config.templateFile).empty()) schema::EnsureTemplates(folder);
      vb::FileCopy(folder + "/" + config.templateFile, folder + "/" + fileName, false);
    } catch (const std::exception& e) {
      // The folder takes no new file: another name would not help.
      vb::MsgBox("The collection " + folder + "/" + fileName + " could not be made from the template " + folder + "/" +
                     config.templateFile + ":\n" + e.what(),
                 vb::vbOKOnly + vb::vbExclamation);
      throw OpenDeclined();
    }
    // Listed when the master list can take it; a list that cannot be
    // written has been reported by whoever found it so.
    try {
      dao::DatabasePtr db = ws.OpenDatabase(admin);
      try {
        CheckMasterList(*db, admin);
      } catch (...) {
        db->Close();
        throw;
      }
      auto rs = db->OpenRecordset(config.list, dao::dbOpenTable);
      rs->AddNew();
      rs->SetField("dbname", vb::Variant(fileName));
      rs->SetField(config.nameField, vb::Variant(name));
      rs->Update();
      rs->Close();
      db->Close();
    } catch (const std::exception&) {
    }
    config.setLastDB(fileName);
    config.setCurCollection(name);
    vb::SaveSetting("TVN", "Startup", config.settingKey, fileName);
    return true;
  }
}

const CollectionKind& AVCollection_Form::Kind() const { return config_.kind ? *config_.kind : MediaCollectionKind(); }

dao::DatabasePtr AVCollection_Form::OpenCollection(const CollectionManagerConfig& config, dao::Workspace& workspace,
                                                   const std::string& path) {
  return OpenCollectionFile(workspace, path, config.kind ? *config.kind : MediaCollectionKind());
}

dao::DatabasePtr AVCollection_Form::OpenChosenCollection(const std::string& file, const std::string& action) const {
  const std::string path = InFolder(file);
  try {
    return OpenCollection(config_, Workspace(), path);
  } catch (const std::exception& e) {
    const std::string current = config_.curCollection();
    vb::MsgBox(CannotUseText(Kind().noun, path, UnderstandOpenFailure(e, path).what) +
                   "\n\nThe file is left as it is and was not " + action + "; " +
                   (current.empty() ? std::string("the open collection stays open")
                                    : "the collection \"" + current + "\" stays open") +
                   ". Choose another collection, or create a new one.",
               vb::vbOKOnly + vb::vbExclamation);
    return nullptr;
  }
}

void AVCollection_Form::OpenCurrentCollection(const CollectionManagerConfig& config,
                                              const CurrentCollectionOpening& how) {
  const std::string& noun = config.kind ? config.kind->noun : MediaCollectionKind().noun;
  std::string madeNow;  // a collection just made from the template
  for (;;) {
    const std::string file = config.lastDB();
    const std::string path = how.path();
    OpenFailure failure{};
    bool opened = false;
    try {
      how.open();
      opened = true;
    } catch (const std::exception& e) {
      failure = UnderstandOpenFailure(e, path);
    }
    if (opened) {
      // Browsing works; what would write is refused later, so it is said now.
      if (const std::string readOnly = ReadOnlyText(noun, path); !readOnly.empty())
        vb::MsgBox(readOnly, vb::vbOKOnly + vb::vbInformation);
      return;
    }
    if (file == madeNow) {
      // Not even an empty collection opens: the template or the folder is at fault.
      vb::MsgBox(CannotUseText("new " + noun, path, failure.what), vb::vbOKOnly + vb::vbExclamation);
      throw OpenDeclined();
    }
    if (failure.kind == OpenFailureKind::NeedsFolderWrite) {
      // Neither a new collection nor the default one can be written there.
      vb::MsgBox(CannotUseText(noun, path, failure.what) + "\n\nThe file and its journal are left as they are. " +
                     how.gaveUp,
                 vb::vbOKOnly + vb::vbExclamation);
      throw OpenDeclined();
    }
    // The file is never changed here; the user chooses the way on. A file
    // that may open later is not replaced by default.
    const bool isDefault = vb::UCase(file) == vb::UCase(how.defaultFile);
    const bool canFallBack = !isDefault && how.canUseDefault();
    const bool passing = failure.kind == OpenFailureKind::Passing;
    const int answer = vb::MsgBox(
        CannotUseText(noun, path, failure.what) + "\n\nThe file is left as it is.\n\n" + "Yes: make a new, empty " +
            noun + " under a new name and go on with it.\n" +
            (canFallBack ? "No: open the default " + noun + " \"" + how.defaultPath + "\" instead.\nCancel: " + how.giveUp
                         : "No: " + how.giveUp),
        (canFallBack ? vb::vbYesNoCancel : vb::vbYesNo) + vb::vbExclamation +
            (passing ? (canFallBack ? vb::vbDefaultButton3 : vb::vbDefaultButton2) : 0));
    if (answer == vb::vbYes) {
      // Cancelled: the question comes again.
      if (MakeReplacementCollection(config)) madeNow = config.lastDB();
      continue;
    }
    if (answer != vb::vbNo || !canFallBack) throw OpenDeclined();
    how.useDefault();
  }
}

bool AVCollection_Form::TakeChosenCollection(const CollectionManagerConfig& config, const std::string& previousFile,
                                              const std::string& previousName,
                                              const std::function<void()>& openAndRead) {
  const std::string& noun = config.kind ? config.kind->noun : MediaCollectionKind().noun;
  const std::string folder = config.folder ? config.folder() : vb::ProgramFolder();
  auto tell = [&](const std::exception& e, const std::string& file, const std::string& after) {
    const std::string path = folder + "/" + file;
    vb::MsgBox(CannotUseText(noun, path, UnderstandOpenFailure(e, path).what) + after,
               vb::vbOKOnly + vb::vbExclamation);
  };
  // The manager makes only a collection current that it has checked; what
  // the check does not read (or another program spoiled since) shows when
  // the window reads it, and then the collection that was open stays.
  const std::string tried = config.lastDB();
  const bool canGoBack = !previousFile.empty() && vb::UCase(previousFile) != vb::UCase(tried);
  try {
    openAndRead();
    return true;
  } catch (const std::exception& e) {
    tell(e, tried,
         canGoBack ? "\n\nThe file is left as it is; the " + noun + " \"" + previousName + "\" stays open."
                   : std::string("\n\nThe file is left as it is."));
  }
  if (!canGoBack) return false;
  config.setLastDB(previousFile);
  config.setCurCollection(previousName);
  vb::SaveSetting("TVN", "Startup", config.settingKey, previousFile);
  try {
    openAndRead();
    return true;
  } catch (const std::exception& e) {
    tell(e, previousFile, "");
  }
  return false;
}

bool AVCollection_Form::FirstReadOrWayOn(const CollectionManagerConfig& config, const std::function<void()>& firstRead,
                                         const std::function<void()>& close, const CurrentCollectionOpening& how) {
  try {
    firstRead();
    return true;
  } catch (const dao::FileError& e) {
    if (e.Number() != dao::errDamaged && e.Number() != dao::errNotADatabase) {
      vb::TellError(e);
      return true;
    }
  } catch (const std::exception& e) {
    vb::TellError(e);
    return true;
  }
  close();
  try {
    OpenCurrentCollection(config, how);
    return true;
  } catch (const OpenDeclined&) {
    return false;
  }
}

std::string AVCollection_Form::ListedName(const CollectionManagerConfig& config, const std::string& file) {
  const std::string folder = config.folder ? config.folder() : vb::ProgramFolder();
  dao::Workspace& ws = config.workspace ? config.workspace()
                                        : (App().AppWorkspace ? *App().AppWorkspace : dao::DBEngine::Workspaces(0));
  std::string name;
  try {
    dao::DatabasePtr db = ws.OpenDatabase(folder + "/admin.sys", false, true);
    try {
      auto rs = db->OpenRecordset(std::string("select ") + config.nameField + " from " + config.list +
                                  " where upper(dbname) = " + dao::SqlQuote(vb::UCase(file)));
      if (!rs->Eof()) name = vb::NzStr(rs->GetField(config.nameField));
      rs->Close();
    } catch (const std::exception&) {
    }
    db->Close();
  } catch (const std::exception&) {
  }
  return name;
}

bool AVCollection_Form::CheckExistingDatabase() {
  const int answer = vb::MsgBox(
      "The system found a database using this collection name.\nDo you wish to use this database???\n"
      "     Yes = Use existing database\n"
      "     No  = Delete current databse and create a new one.",
      vb::vbYesNo);
  return answer == vb::vbYes;
}

void AVCollection_Form::CreateCB_Click() {
  const std::string answer =
      vb::Trim(vb::InputBox("Enter a name for the new Collection\n\nNOTE: DO NOT USE ANY SPECIAL CHARACTERS!!"));
  if (answer.empty()) return;  // Cancel
  dao::Recordset& rs = *collectionsRS_;
  if (IsListedName(answer)) return;  // the collection is listed already

  const std::string problem = CollectionNameProblem(answer);
  if (!problem.empty()) {
    vb::MsgBox(problem + "\nThe collection was not created.", vb::vbOKOnly + vb::vbExclamation);
    return;
  }
  const std::string fileName = answer + ".mdb";

  // A file another collection uses is neither shared nor replaced.
  const std::string owner = CollectionUsingFile(fileName);
  if (!owner.empty()) {
    vb::MsgBox("The database file \"" + fileName + "\" belongs to the collection \"" + vb::Trim(owner) +
                   "\".\nPlease choose another name; the collection was not created.",
               vb::vbOKOnly + vb::vbExclamation);
    return;
  }

  bool exists = false;
  const std::string wanted = vb::UCase(fileName);
  for (const std::string& found : vb::Dir(Folder(), "*.mdb")) {
    if (vb::UCase(found) == wanted) {
      exists = true;
      break;
    }
  }
  if (vb::FileExists(InFolder(fileName))) exists = true;
  // Only a file can be offered for use or replaced; anything else of that
  // name (a folder, a link that points nowhere) is left alone.
  if (!exists && NameTaken(Folder(), fileName)) {
    vb::MsgBox(TakenText(fileName) + "\nPlease choose another name; the collection was not created.",
               vb::vbOKOnly + vb::vbExclamation);
    return;
  }

  // A file no list names is the user's to keep or to replace; one that is
  // kept must be a collection of this catalogue.
  bool keep = exists && CheckExistingDatabase();
  if (keep) {
    dao::DatabasePtr db = OpenChosenCollection(fileName, "listed");
    if (!db) return;
    db->Close();
  }
  if (!keep) {
    try {
      if (!vb::FileExists(InFolder(config_.templateFile))) schema::EnsureTemplates(Folder());
      vb::FileCopy(InFolder(config_.templateFile), InFolder(fileName), true);
    } catch (const std::exception& e) {
      vb::MsgBox("The collection \"" + answer + "\" could not be created:\n" + e.what(),
                 vb::vbOKOnly + vb::vbExclamation);
      return;
    }
  }

  config_.setLastDB(fileName);
  config_.setCurCollection(answer);
  vb::SaveSetting("TVN", "Startup", config_.settingKey, config_.lastDB());

  rs.AddNew();
  rs.SetField("dbname", vb::Variant(config_.lastDB()));
  rs.SetField(config_.nameField, vb::Variant(config_.curCollection()));
  rs.Update();
  FillCollectionList();
}

// ---- open

void AVCollection_Form::OpenCB_Click() {
  if (!CB_List->currentItem() || !CB_List->currentItem()->isSelected()) return;
  const std::string selected = SelectedText();
  dao::Recordset& rs = *collectionsRS_;
  rs.Seek("=", vb::Variant(selected));
  if (rs.NoMatch()) return;
  const std::string dbname = vb::NzStr(rs.GetField("dbname"));
  if (RefusedListFile(dbname)) return;
  // Switching to a file that is gone would leave no collection to open.
  if (!vb::FileExists(InFolder(dbname)) && !vb::FolderExists(InFolder(dbname))) {
    vb::MsgBox("The database file \"" + dbname + "\" of the collection \"" + selected +
                   "\" was not found.\nThe current collection stays open.",
               vb::vbOKOnly + vb::vbExclamation);
    return;
  }
  // Checked as the start-up checks it: a file that cannot be used is never
  // made current.
  dao::DatabasePtr chosen = OpenChosenCollection(dbname, "opened");
  if (!chosen) return;
  chosen->Close();
  config_.setLastDB(dbname);
  config_.setCurCollection(vb::NzStr(rs.GetField(config_.nameField)));
  vb::SaveSetting("TVN", "Startup", config_.settingKey, config_.lastDB());
  accept();
}

// ---- delete

void AVCollection_Form::DeleteCB_Click() {
  if (!CB_List->currentItem() || !CB_List->currentItem()->isSelected()) return;
  const std::string selected = SelectedText();
  dao::Recordset& rs = *collectionsRS_;
  // The open collection is known by its file, whatever name the row shows.
  rs.Seek("=", vb::Variant(selected));
  const bool openRow = !rs.NoMatch() && vb::UCase(vb::NzStr(rs.GetField("dbname"))) == vb::UCase(config_.lastDB());
  if (selected == config_.curCollection() || selected == kSystemCollection || openRow) {
    vb::MsgBox("The system collection or open collection may not be deleted", vb::vbOKOnly);
    return;
  }
  if (vb::MsgBox("Delete the selected collection???", vb::vbYesNo) != vb::vbYes) return;
  rs.Seek("=", vb::Variant(selected));
  if (rs.NoMatch()) return;
  const std::string dbname = vb::NzStr(rs.GetField("dbname"));
  if (vb::MsgBox("Do you wish to also delete the physical collection database???", vb::vbYesNo) ==
      vb::vbYes) {
    // The file of the open collection, or one another entry lists, stays.
    const bool openFile = vb::UCase(dbname) == vb::UCase(config_.lastDB());
    const std::string other = CollectionUsingFile(dbname, selected);
    if (!IsPlainFileName(dbname)) {
      RefuseFileName(dbname);
      return;
    } else if (openFile || !other.empty()) {
      vb::MsgBox("The database file \"" + dbname + "\" is used by " +
                     (openFile ? std::string("the open collection") : "the collection \"" + vb::Trim(other) + "\"") +
                     " and was kept.",
                 vb::vbOKOnly + vb::vbInformation);
    } else if (IsReservedFile(dbname)) {
      vb::MsgBox("The database file \"" + dbname + "\" is kept by the program itself and was kept.",
                 vb::vbOKOnly + vb::vbInformation);
    } else if (!dbname.empty() && vb::FileExists(InFolder(dbname))) {
      vb::KillFile(InFolder(dbname));
    }
    rs.Seek("=", vb::Variant(selected));
    if (rs.NoMatch()) return;
  }
  rs.Delete();
  FillCollectionList();
}

// ---- clear

void AVCollection_Form::btnClearDatabase_Click() {
  if (!CB_List->currentItem() || !CB_List->currentItem()->isSelected()) return;
  const std::string selected = SelectedText();
  if (vb::MsgBox("WARNING!!!!\nThis will delete all records from all sections\n of the Collection: " + selected +
                     "\nDo you wish to continue????",
                 vb::vbYesNo) == vb::vbNo)
    return;
  // The records deleted are those of the collection the warning names.
  dao::Recordset& rs = *collectionsRS_;
  rs.Seek("=", vb::Variant(selected));
  if (rs.NoMatch()) return;
  const std::string dbname = vb::NzStr(rs.GetField("dbname"));
  if (RefusedListFile(dbname)) return;
  // A file that is gone has no records to delete; opening it would fail
  // with the engine's words only.
  if (!vb::FileExists(InFolder(dbname))) {
    vb::MsgBox("The database file \"" + dbname + "\" of the collection \"" + selected +
                   "\" was not found.\nNo record was deleted.",
               vb::vbOKOnly + vb::vbExclamation);
    return;
  }
  try {
    dao::DatabasePtr db = OpenChosenCollection(dbname, "emptied");
    if (!db) return;
    // All of the collection's records go, or none.
    db->BeginTrans();
    try {
      for (const std::string& statement : config_.clearStatements) db->Execute(statement);
      db->CommitTrans();
    } catch (...) {
      db->Rollback();
      db->Close();
      throw;
    }
    db->Close();
  } catch (const vb::RuntimeError& e) {
    vb::MsgBox("The records of the collection \"" + selected + "\" could not be deleted:\n" + e.Description(),
               vb::vbOKOnly + vb::vbExclamation);
  }
}

void ShowCollectionManager(QWidget* parent) {
  AVCollection_Form form(parent);
  if (!vb::Guarded([&] { form.Form_Load(); })) return;
  form.exec();
}

}  // namespace tvn
