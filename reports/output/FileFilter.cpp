#include "reports/output/FileFilter.h"

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

}  // namespace tvn::reports
