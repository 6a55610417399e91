#include "games/PLModule.h"

#include <QMetaProperty>

#include "core/AVCollection_Form.h"
#include "core/CommonDataTable.h"
#include "core/OpenFailure.h"
#include "core/Schema.h"
#include "games/PLCollection_Form.h"

#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl {

namespace {
constexpr int errNoSuchMember = 438;
const char* const NoSuchMemberText = "Object doesn't support this property or method";
}  // namespace

PLGlobals& PL() {
  static PLGlobals globals;
  return globals;
}

avplDataclass& PLData() {
  static avplDataclass data;
  return data;
}

void SetLateBound(QObject* object, const char* property, int value) {
  if (!object) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  const QMetaObject* meta = object->metaObject();
  const QString wanted = QString::fromLatin1(property);
  for (int i = 0; i < meta->propertyCount(); ++i) {
    QMetaProperty p = meta->property(i);
    if (wanted.compare(QString::fromLatin1(p.name()), Qt::CaseInsensitive) == 0 && p.isWritable()) {
      p.write(object, value);
      return;
    }
  }
  throw vb::RuntimeError(errNoSuchMember, NoSuchMemberText);
}

QObject* LateBoundChild(QObject* object, const char* name) {
  if (!object) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  const QString wanted = QString::fromLatin1(name);
  for (QObject* child : object->findChildren<QObject*>()) {
    if (wanted.compare(child->objectName(), Qt::CaseInsensitive) == 0) return child;
  }
  throw vb::RuntimeError(errNoSuchMember, NoSuchMemberText);
}

namespace {

// The file of the folder with this name, letter case ignored; "" if none.
std::string FileInFolder(const std::string& folder, const std::string& name) {
  for (const std::string& f : vb::Dir(folder, "*.mdb"))
    if (QString::fromStdString(f).compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0) return f;
  return "";
}

// The name the file has in the folder, or name itself when there is none.
std::string SameNameInFolder(const std::string& folder, const std::string& name) {
  const std::string found = FileInFolder(folder, name);
  return found.empty() ? name : found;
}

// The display name plcollections gives file; the previous name when the
// list has none or cannot be read (the start-up has told the user about a
// list that cannot be read).
void LookUpGameCollectionName(const std::string& folder, const std::string& file) {
  try {
    dao::DatabasePtr admin = PL().Workspace->OpenDatabase(folder + "/admin.sys");
    try {
      dao::RecordsetPtr rs = admin->OpenRecordset("plcollections", dao::dbOpenTable);
      rs->SetIndex("dbname");
      rs->Seek("=", vb::Variant(file));
      if (!rs->NoMatch()) PLData().CurCollection = vb::NzStr(rs->GetField("plCollection"));
      rs->Close();
    } catch (...) {
      admin->Close();
      throw;
    }
    admin->Close();
  } catch (const std::exception&) {
  }
}

// Makes the default collection from the template when nothing has its name.
void MakeDefaultGameCollection(const std::string& folder) {
  if (!vb::Dir(folder, DefaultGameDB).empty() || !vb::Dir(folder, DefaultGameDB, true).empty()) return;
  const std::string templ = folder + "/pl33e.mdb";
  try {
    if (vb::Dir(folder, "pl33e.mdb").empty()) tvn::schema::EnsureTemplates(folder);
    vb::FileCopy(folder + "/" + SameNameInFolder(folder, "pl33e.mdb"), folder + "/" + DefaultGameDB, false);
  } catch (const vb::RuntimeError& e) {
    throw vb::RuntimeError(e.Number(), "The default game collection " + folder + "/" + DefaultGameDB +
                                           " could not be made from the template " + templ + ": " + e.Description());
  }
}

}  // namespace

void OpenGameDatabase() {
  PLGlobals& g = PL();
  if (!g.Workspace) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  avplDataclass& d = PLData();
  const std::string folder = d.APath.empty() ? vb::ProgramFolder() : d.APath;
  vb::ChDir(folder);
  const std::string setting = vb::GetSetting("TVN", "Startup", "CurDB_PL", "");
  std::string found = setting.empty() ? std::string() : FileInFolder(folder, setting);
  if (found.empty()) {
    // No setting, or one naming a file that is not there: the default
    // collection, made from the template when it is missing too. The user
    // is told whenever a collection of their own is passed over.
    if (!setting.empty() && vb::UCase(setting) != vb::UCase(DefaultGameDB))
      vb::MsgBox("The current game collection file\n" + folder + "/" + setting + "\n" +
                     (vb::Dir(folder, setting, true).empty() ? "cannot be found." : "is a folder, not a file.") +
                     "\n\nThe default game collection \"" + DefaultGameDB + "\" will be opened.",
                 vb::vbExclamation);
    vb::SaveSetting("TVN", "Startup", "CurDB_PL", DefaultGameDB);
    MakeDefaultGameCollection(folder);
    found = SameNameInFolder(folder, DefaultGameDB);
  }
  const std::string previous = d.LastDB;
  d.LastDB = found;
  tvn::CurrentCollectionOpening how;
  how.giveUp = "do not open the game catalogue now.";
  how.gaveUp = "The game catalogue is not opened now.";
  how.defaultFile = DefaultGameDB;
  how.defaultPath = folder + "/" + DefaultGameDB;
  how.path = [&] { return folder + "/" + d.LastDB; };
  how.open = [&] {
    dao::DatabasePtr db = OpenGameCollectionFile(folder + "/" + d.LastDB);
    LookUpGameCollectionName(folder, d.LastDB);
    if (g.GameDB) g.GameDB->Close();
    g.GameDB = db;
  };
  how.canUseDefault = [] { return true; };
  how.useDefault = [&] {
    vb::SaveSetting("TVN", "Startup", "CurDB_PL", DefaultGameDB);
    MakeDefaultGameCollection(folder);
    d.LastDB = SameNameInFolder(folder, DefaultGameDB);
  };
  try {
    tvn::AVCollection_Form::OpenCurrentCollection(PLCollection_Form::GameCollections(), how);
  } catch (const tvn::OpenDeclined&) {
    d.LastDB = previous;
    throw;
  }
}

const tvn::CollectionKind& GameCollectionKind() {
  static const tvn::CollectionKind kind{"game collection", tvn::schema::GameCollectionTables(), {}, "mediadata"};
  return kind;
}

dao::DatabasePtr OpenGameCollectionFile(const std::string& path) {
  if (!PL().Workspace) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return tvn::OpenCollectionFile(*PL().Workspace, path, GameCollectionKind());
}

namespace {

std::string LookupName(const char* table, const char* keyField, const char* nameField, long key) {
  if (key == 0 || !PL().GameDB) return "";
  dao::RecordsetPtr rs = PL().GameDB->OpenRecordset(std::string("select ") + nameField + " from " + table +
                                                    " where " + keyField + " = " + std::to_string(key));
  std::string name;
  if (!rs->Eof()) name = vb::NzStr(rs->GetField(nameField));
  rs->Close();
  return name;
}

}  // namespace

std::string LookupPublisherName(long key) { return LookupName("publisher", "publisher", "labelstudio_name", key); }
std::string LookupDeveloperName(long key) { return LookupName("developer", "developer", "artist_name", key); }
std::string LookupGenreName(long key) { return LookupName("genre", "genre", "category", key); }

}  // namespace pl
