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
}  // namespace

bool ShellTargetUrl(const std::string& target, QUrl* url) {
  const QString t = QString::fromStdString(target).trimmed();
  if (t.isEmpty()) return false;
  static const char* const schemes[] = {"http:", "https:", "ftp:", "file:", "mailto:"};
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
  const QFileInfo file(QString::fromStdString(vb::ResolvePath(t.toStdString())));
  if (!file.exists()) return false;
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
