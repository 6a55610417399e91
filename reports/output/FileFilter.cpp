#include "reports/output/FileFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

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

// Names the program keeps in its data folder (matched without regard to case).
bool IsKeptName(const QString& name) {
  static const char* const kKept[] = {"admin.sys", "admine.sys", "tips.sys", "av32e.mdb", "pl33e.mdb", "temp.mdb"};
  for (const char* kept : kKept)
    if (name.compare(QLatin1String(kept), Qt::CaseInsensitive) == 0) return true;
  return name.endsWith(".mdb", Qt::CaseInsensitive);  // the collections
}

}  // namespace

bool IsProgramFile(const std::string& file, const std::string& dataFolder) {
  const QFileInfo info(QString::fromStdString(file));
  if (info.exists() && IsDatabase(info.absoluteFilePath())) return true;
  const QString folder = QFileInfo(QString::fromStdString(dataFolder)).canonicalFilePath();
  const QString parent = QFileInfo(info.absolutePath()).canonicalFilePath();
  return !folder.isEmpty() && parent == folder && IsKeptName(info.fileName());
}

std::string WithDocumentExtension(const std::string& file) {
  if (file.empty() || QString::fromStdString(file).endsWith(".vsr", Qt::CaseInsensitive)) return file;
  return file + ".vsr";
}

}  // namespace tvn::reports
