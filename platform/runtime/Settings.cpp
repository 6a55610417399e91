#include "platform/runtime/Settings.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

namespace vb {
namespace {

std::string& RedirectPath() {
  static std::string path;
  return path;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The store of one application. The user's store is one file per
// application; a test's file holds every application as a group.
std::unique_ptr<QSettings> Open(const std::string& appName) {
  std::unique_ptr<QSettings> s;
  if (!RedirectPath().empty()) {
    s = std::make_unique<QSettings>(Q(RedirectPath()), QSettings::IniFormat);
    s->beginGroup(Q(appName));
  } else {
    s = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Tavolin", Q(appName));
  }
  return s;
}

// Section and key names are matched without regard to case, as the old
// store did; an existing spelling is kept when writing.
QString Find(const QStringList& names, const std::string& wanted) {
  QString w = Q(wanted);
  if (names.contains(w)) return w;
  for (const QString& n : names)
    if (n.compare(w, Qt::CaseInsensitive) == 0) return n;
  return w;
}

}  // namespace

std::string GetSetting(const std::string& appName, const std::string& section, const std::string& key,
                       const std::string& defaultValue) {
  auto s = Open(appName);
  s->beginGroup(Find(s->childGroups(), section));
  QString k = Find(s->childKeys(), key);
  if (!s->contains(k)) return defaultValue;
  return s->value(k).toString().toStdString();
}

void SaveSetting(const std::string& appName, const std::string& section, const std::string& key,
                 const std::string& value) {
  auto s = Open(appName);
  s->beginGroup(Find(s->childGroups(), section));
  s->setValue(Find(s->childKeys(), key), Q(value));
  s->endGroup();
  s->sync();
}

void DeleteSetting(const std::string& appName, const std::string& section, const std::string& key) {
  auto s = Open(appName);
  QString group = Find(s->childGroups(), section);
  if (key.empty()) {
    s->remove(group);
  } else {
    s->beginGroup(group);
    s->remove(Find(s->childKeys(), key));
    s->endGroup();
  }
  s->sync();
}

void SetSettingsFile(const std::string& iniPath) { RedirectPath() = iniPath; }

std::string SettingsFolder() {
  const QString file = Open("TVN")->fileName();
  return QFileInfo(file).absolutePath().toStdString();
}

}  // namespace vb
