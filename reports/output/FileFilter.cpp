#include "reports/output/FileFilter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstring>
#include <deque>
#include <filesystem>

#include "platform/runtime/Settings.h"

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
  // Only a plain file is read: opening a pipe would wait for a writer.
  if (!QFileInfo(path).isFile()) return false;
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

// Where a write to a file lands, and every name it goes through on the way.
struct WritePath {
  // The file the bytes end in: every symbolic link followed to its end,
  // in the folder part too, whether or not that file exists yet.
  QString target;
  // Each link met on the way, as the place where it stands.
  QStringList links;
  // The links lead round in a circle (or one cannot be read): there is no
  // end to judge.
  bool endless = false;
};

WritePath Follow(const std::string& file) {
  namespace fs = std::filesystem;
  // The kernel's own bound on the links one path may go through.
  constexpr int kMaxLinks = 40;
  WritePath out;
  std::error_code error;
  fs::path path = fs::absolute(fs::path(file), error);
  if (error) path = fs::path(file);
  fs::path done = path.root_path();
  const fs::path relative = path.relative_path();
  std::deque<fs::path> rest(relative.begin(), relative.end());
  int links = 0;
  while (!rest.empty()) {
    const fs::path part = rest.front();
    rest.pop_front();
    if (part.empty() || part == ".") continue;
    // What is done is free of links already, so its parent is the real one.
    if (part == "..") {
      done = done.parent_path();
      continue;
    }
    const fs::path next = done / part;
    if (!fs::is_symlink(fs::symlink_status(next, error))) {
      done = next;
      continue;
    }
    out.links << QFile::decodeName(next.c_str());
    const fs::path target = fs::read_symlink(next, error);
    if (++links > kMaxLinks || error) {
      out.endless = true;
      return out;
    }
    // A relative target reads from the link's own folder, which is done.
    if (target.is_absolute()) done = target.root_path();
    const fs::path tail = target.relative_path();
    rest.insert(rest.begin(), tail.begin(), tail.end());
  }
  out.target = QFile::decodeName(done.c_str());
  return out;
}

// The name the export's writer (QSaveFile) puts its file under: it follows
// a link at the end of the name link by link, joining a relative target to
// the link's folder as written, without the links in that folder. So the
// file it writes may lie elsewhere than the one the system reaches by the
// name; both are judged. A circle leaves the name itself.
QString SavedFileName(const std::string& file) {
  QFileInfo info(QString::fromStdString(file));
  int depth = 128;
  while (--depth > 0 && info.isSymLink()) info.setFile(info.symLinkTarget());
  return depth > 0 ? info.filePath() : QString::fromStdString(file);
}

// The folders whose files are the program's own besides the data folder,
// links followed: the settings stores' folder, and the data folder's
// picture folder ("PICS", any letter case), whose files the records name.
struct OwnFolders {
  QString data, settings, pictures;
};

// The check of one place, links already followed.
bool IsProgramPlace(const QString& path, const OwnFolders& own) {
  const QFileInfo info(path);
  if (IsDatabase(path)) return true;
  const QString& folder = own.data;
  const bool inDataFolder = !folder.isEmpty() && info.path() == folder;
  if (inDataFolder && IsKeptName(info.fileName())) return true;
  if (!own.settings.isEmpty() && info.path() == own.settings &&
      (info.fileName().endsWith(QLatin1String(".ini"), Qt::CaseInsensitive) ||
       info.fileName().endsWith(QLatin1String(".ini.lock"), Qt::CaseInsensitive)))
    return true;
  if (!own.pictures.isEmpty() && info.path().compare(own.pictures, Qt::CaseInsensitive) == 0) return true;
  // A companion file of a database, wherever the database lies, and in the
  // data folder also of a name the program keeps there before it exists.
  const QString database = DatabaseOfCompanion(path);
  return !database.isEmpty() && (IsDatabase(database) || (inDataFolder && IsKeptName(QFileInfo(database).fileName())));
}

}  // namespace

std::string ExportRefusal(const std::string& file, const std::string& dataFolder) {
  const WritePath reached = Follow(file);
  const WritePath written = Follow(SavedFileName(file).toStdString());
  if (reached.endless || written.endless)
    return "The file\n" + file + "\nis a symbolic link that leads round in a circle and is not written.";
  const WritePath data = Follow(dataFolder);
  OwnFolders own;
  if (!data.endless) {
    own.data = data.target;
    own.pictures = own.data + "/PICS";
    // The picture folder as it is spelt on disk, and where a link leads.
    const QDir dir(own.data);
    for (const QString& entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
      if (entry.compare(QLatin1String("pics"), Qt::CaseInsensitive) == 0) {
        const WritePath pictures = Follow(dir.filePath(entry).toStdString());
        own.pictures = pictures.endless ? dir.filePath(entry) : pictures.target;
      }
  }
  const WritePath settings = Follow(vb::SettingsFolder());
  if (!settings.endless) own.settings = settings.target;
  // A link named like a file of the program would show the export under
  // that name, so every name on the way is judged, not only the ends.
  QStringList places{written.target, reached.target};
  places << reached.links << written.links;
  for (const QString& place : places) {
    if (!IsProgramPlace(place, own)) continue;
    if (reached.links.isEmpty())
      return "The file\n" + file + "\nbelongs to the program itself and is not written over.";
    if (place == written.target || place == reached.target)
      return "The file\n" + file + "\nis a link to\n" + place.toStdString() +
             "\nwhich belongs to the program itself and is not written over.";
    return "The file\n" + file + "\nleads through the link\n" + place.toStdString() +
           "\nwhich bears the name of a file of the program; nothing is written there.";
  }
  return {};
}

bool IsProgramFile(const std::string& file, const std::string& dataFolder) {
  return !ExportRefusal(file, dataFolder).empty();
}

std::string WithDocumentExtension(const std::string& file) {
  if (file.empty() || QString::fromStdString(file).endsWith(".vsr", Qt::CaseInsensitive)) return file;
  return file + ".vsr";
}

}  // namespace tvn::reports
