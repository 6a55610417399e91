#include "games/PLModule.h"

#include <QMetaProperty>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
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

}  // namespace

void OpenGameDatabase() {
  PLGlobals& g = PL();
  if (!g.Workspace) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  avplDataclass& d = PLData();
  const std::string folder = d.APath.empty() ? vb::ProgramFolder() : d.APath;
  vb::ChDir(folder);
  std::string last = vb::GetSetting("TVN", "Startup", "CurDB_PL", "");
  std::string found = last.empty() ? std::string() : FileInFolder(folder, last);
  if (found.empty()) {
    // No setting, or one naming a file that is not there: the default
    // collection, made from the template when it is missing too.
    last = DefaultGameDB;
    vb::SaveSetting("TVN", "Startup", "CurDB_PL", last);
    found = FileInFolder(folder, last);
    if (found.empty()) {
      vb::FileCopy(folder + "/pl33e.mdb", folder + "/" + last, false);
      found = last;
    }
  }
  {
    dao::DatabasePtr admin = g.Workspace->OpenDatabase(folder + "/admin.sys");
    dao::RecordsetPtr rs = admin->OpenRecordset("plcollections", dao::dbOpenTable);
    rs->SetIndex("dbname");
    rs->Seek("=", vb::Variant(found));
    if (!rs->NoMatch()) {
      d.CurCollection = vb::NzStr(rs->GetField("plCollection"));
    }
    rs->Close();
    admin->Close();
  }
  dao::DatabasePtr db = g.Workspace->OpenDatabase(folder + "/" + found);
  if (g.GameDB) g.GameDB->Close();
  g.GameDB = db;
  d.LastDB = found;
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
