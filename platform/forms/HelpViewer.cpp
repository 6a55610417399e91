#include "platform/forms/HelpViewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/runtime/Files.h"

namespace forms {

namespace {

const char* const kHelpFileName = "Reruve.HLP";

class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Tavolin Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window alone does not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    contents_ = new QPushButton(QStringLiteral("Contents"), this);
    back_ = new QPushButton(QStringLiteral("Back"), this);
    bar->addWidget(contents_);
    bar->addWidget(back_);
    bar->addStretch(1);
    layout->addLayout(bar);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    resize(560, 480);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(contents_, &QPushButton::clicked, this, [this] {
      if (!contentsPage_.isEmpty()) browser_->setSource(QUrl::fromLocalFile(contentsPage_));
    });
  }
  void Show(const QString& page, const QString& contentsPage) {
    contentsPage_ = contentsPage;
    browser_->setSource(QUrl::fromLocalFile(page));
    show();
    raise();
    activateWindow();
  }
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  QPushButton* contents_;
  QPushButton* back_;
  QString contentsPage_;
};

QPointer<HelpWindow>& Window() {
  static QPointer<HelpWindow> window;
  return window;
}

bool IsFile(const std::string& path) { return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile(); }

}  // namespace

std::map<int, HelpTopic> ReadHelpFile(const std::string& helpFile) {
  std::map<int, HelpTopic> topics;
  QFile f(QString::fromStdString(helpFile));
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return topics;
  QTextStream in(&f);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool ok = false;
    const int topic = parts.value(0).toInt(&ok);
    if (!ok || parts.size() < 2) continue;
    topics[topic] = HelpTopic{parts[1].toStdString(), parts.mid(2).join(QLatin1Char(' ')).toStdString()};
  }
  return topics;
}

std::string ShippedHelpFolder() {
  return (QCoreApplication::applicationDirPath() + QStringLiteral("/help")).toStdString();
}

std::string EffectiveHelpFile(const std::string& helpFile) {
  const std::string resolved = vb::ResolvePath(helpFile);
  if (IsFile(resolved)) return resolved;
  const std::string shipped = ShippedHelpFolder() + "/" + kHelpFileName;
  return IsFile(shipped) ? shipped : std::string();
}

namespace {
bool ShowFromFile(const std::string& file, int topic, const QString& pageByName) {
  if (file.empty()) return false;
  const auto topics = ReadHelpFile(file);
  const QDir folder = QFileInfo(QString::fromStdString(file)).absoluteDir();
  QString contents;
  if (auto it = topics.find(1); it != topics.end()) contents = folder.filePath(QString::fromStdString(it->second.page));
  QString page;
  if (!pageByName.isEmpty()) {
    page = folder.filePath(pageByName);
  } else if (auto it = topics.find(topic); it != topics.end()) {
    page = folder.filePath(QString::fromStdString(it->second.page));
  } else {
    page = contents;
  }
  if (page.isEmpty() || !QFileInfo(page).isFile()) return false;
  if (!Window()) Window() = new HelpWindow;
  Window()->Show(page, contents);
  return true;
}
}  // namespace

bool ShowHelpPage(const std::string& helpFile, int topic) {
  return ShowFromFile(EffectiveHelpFile(helpFile), topic, {});
}

bool ShowHelpPageByName(const std::string& page) {
  const QString name = QFileInfo(QString::fromStdString(page)).fileName();  // no folders
  if (name.isEmpty()) return false;
  return ShowFromFile(EffectiveHelpFile(ShippedHelpFolder() + "/" + kHelpFileName), 0, name);
}

void CloseHelp() {
  if (Window()) {
    delete Window().data();
    Window() = nullptr;
  }
}

QTextBrowser* HelpBrowser() { return Window() ? Window()->browser() : nullptr; }

}  // namespace forms
