#include "reports/output/FileFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstring>

namespace tvn::reports {

std::string DialogFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList entries;
  for (int i = 1; i < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i].split(';')) {
      QString p = pattern.trimmed();
      if (!p.isEmpty()) patterns << p;
    }
    if (patterns.isEmpty()) continue;
    entries << patterns.join(", ") + " (" + patterns.join(' ') + ")";
  }
  return entries.join(";;").toStdString();
}

namespace {

bool IsDatabase(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Names the program keeps in its data folder (matched without regard to
// case): its files, the collections, the copies it keeps of a file found
// damaged ("admin.sys.damaged") and the backups a conversion leaves
// ("AV30.30", "Admin.30", "Admin.30i").
bool IsKeptName(const QString& name) {
  static const char* const kKept[] = {"admin.sys", "admine.sys", "tips.sys", "av32e.mdb", "pl33e.mdb", "temp.mdb",
                                      "admin.30i"};
  for (const char* kept : kKept)
    if (name.compare(QLatin1String(kept), Qt::CaseInsensitive) == 0) return true;
  for (const char* end : {".mdb", ".damaged", ".30"})
    if (name.endsWith(QLatin1String(end), Qt::CaseInsensitive)) return true;
  return false;
}

// The database a file beside it belongs to: "x-journal", "x-wal" and
// "x-shm" are SQLite's own files of the database x, which a write over
// them would damage. Empty for any other name.
QString DatabaseOfCompanion(const QString& path) {
  for (const char* end : {"-journal", "-wal", "-shm"})
    if (path.endsWith(QLatin1String(end), Qt::CaseInsensitive)) return path.chopped(static_cast<qsizetype>(strlen(end)));
  return {};
}

}  // namespace

bool IsProgramFile(const std::string& file, const std::string& dataFolder) {
  const QFileInfo info(QString::fromStdString(file));
  if (info.exists() && IsDatabase(info.absoluteFilePath())) return true;
  const QString folder = QFileInfo(QString::fromStdString(dataFolder)).canonicalFilePath();
  const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
  const bool inDataFolder = !folder.isEmpty() && parent == folder;
  if (inDataFolder && IsKeptName(info.fileName())) return true;
  // A companion file of a database, wherever the database lies, and in the
  // data folder also of a name the program keeps there before it exists.
  const QString database = DatabaseOfCompanion(info.absoluteFilePath());
  return !database.isEmpty() && (IsDatabase(database) || (inDataFolder && IsKeptName(QFileInfo(database).fileName())));
}

std::string WithDocumentExtension(const std::string& file) {
  if (file.empty() || QString::fromStdString(file).endsWith(".vsr", Qt::CaseInsensitive)) return file;
  return file + ".vsr";
}

}  // namespace tvn::reports
