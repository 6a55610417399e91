#include "platform/forms/ShellOpen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/forms/HelpViewer.h"
#include "platform/runtime/Files.h"

namespace forms {

namespace {
std::function<bool(const QUrl&)>& Handler() {
  static std::function<bool(const QUrl&)> handler;
  return handler;
}
// Only a document is handed to the desktop: a regular file (a link is
// judged by what it points to) that is neither a program nor a desktop
// launcher, either of which the desktop would run instead of showing.
bool IsDocument(const QFileInfo& file) {
  if (!file.exists() || !file.isFile()) return false;
  const QFileInfo real(file.canonicalFilePath());
  if (!real.isFile() || real.isExecutable()) return false;
  for (const QFileInfo* f : {&file, &real})
    if (f->fileName().endsWith(QLatin1String(".desktop"), Qt::CaseInsensitive)) return false;
  return true;
}

}  // namespace

bool ShellTargetUrl(const std::string& target, QUrl* url) {
  const QString t = QString::fromStdString(target).trimmed();
  if (t.isEmpty()) return false;
  if (t.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
    const QUrl local(t, QUrl::TolerantMode);
    if (!local.isValid() || !local.isLocalFile() || !IsDocument(QFileInfo(local.toLocalFile()))) return false;
    *url = local;
    return true;
  }
  static const char* const schemes[] = {"http:", "https:", "ftp:", "mailto:"};
  for (const char* s : schemes) {
    if (t.startsWith(QLatin1String(s), Qt::CaseInsensitive)) {
      *url = QUrl(t, QUrl::TolerantMode);
      return url->isValid();
    }
  }
  if (t.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
    *url = QUrl(QStringLiteral("http://") + t, QUrl::TolerantMode);
    return url->isValid();
  }
  // The target is kept in a record as it was typed, "\" separators and all.
  const QFileInfo file(QString::fromStdString(vb::ResolveKept(t.toStdString())));
  if (!IsDocument(file)) return false;
  *url = QUrl::fromLocalFile(file.absoluteFilePath());
  return true;
}

bool ShellOpen(const std::string& target) {
  // "help:page.html" names a page of the program's own help.
  const QString t = QString::fromStdString(target).trimmed();
  if (t.startsWith(QLatin1String("help:"), Qt::CaseInsensitive)) return ShowHelpPageByName(t.mid(5).toStdString());
  QUrl url;
  if (!ShellTargetUrl(target, &url)) return false;
  if (Handler()) return Handler()(url);
  return QDesktopServices::openUrl(url);
}

void SetShellOpenHandler(std::function<bool(const QUrl&)> handler) { Handler() = std::move(handler); }

}  // namespace forms
