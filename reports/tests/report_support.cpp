#include "reports/tests/ReportTestSupport.h"

#include <QPointer>
#include <QTimer>

#include "core/Schema.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"

namespace tvntest {

void ReportTest::SetUp() {
  static int argc = 1;
  static char name[] = "reports_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
  DataFolderTest::SetUp();
  tvn::schema::CreateCollectionFile(Path("media.mdb"));
  db_ = Open(Path("media.mdb"));
  auto& m = tvn::reports::Module();
  m.ReportDatabase = db_;
  m.ReportAppFolder = dir_.string();
  m.ReportTitle.clear();
  m.ReportSubtitle.clear();
}

void ReportTest::TearDown() {
  window_.reset();
  tvn::reports::Module().ReportDatabase.reset();
  if (db_) db_->Close();
  db_.reset();
  DataFolderTest::TearDown();
}

tvn::reports::RptForm& ReportTest::OpenWindow(int type, const std::string& sections) {
  auto& m = tvn::reports::Module();
  m.ReportType = static_cast<std::uint8_t>(type);
  m.SectionList = sections;
  window_ = std::make_unique<tvn::reports::RptForm>();
  window_->show();
  QApplication::processEvents();
  return *window_;
}

void ReportTest::WithModal(const std::function<void()>& action, std::vector<std::function<void(QWidget*)>> steps) {
  auto remaining = std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps));
  auto timer = std::make_shared<QTimer>();
  auto handled = std::make_shared<QPointer<QWidget>>();
  timer->setInterval(5);
  QObject::connect(timer.get(), &QTimer::timeout, [remaining, handled] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == *handled || remaining->empty()) return;
    if (modal->inherits("tvn::reports::ReportWindowFrame")) return;
    *handled = modal;
    auto step = remaining->front();
    remaining->erase(remaining->begin());
    step(modal);
  });
  timer->start();
  action();
  timer->stop();
  EXPECT_TRUE(remaining->empty()) << remaining->size() << " modal windows never opened";
}

void ReportTest::AddArtist(const std::string& name, const std::vector<std::string>& flags, const std::string& notes,
                           const std::string& nationality) {
  std::map<std::string, dao::Variant> values{{"artist_name", name}};
  for (const char* f : {"cas", "cd", "dvd", "vt", "lp", "scd"}) values[f] = false;
  for (const auto& f : flags) values[f] = true;
  if (!notes.empty()) values["artist_notes"] = notes;
  if (!nationality.empty()) values["artist_nationality"] = nationality;
  AddRow(db_, "artists", values);
}

std::vector<print::TextItem> ReportTest::Texts(const print::Page& page) {
  std::vector<print::TextItem> out;
  for (const auto& t : page.texts)
    if (!t.header) out.push_back(t);
  return out;
}

const print::TextItem* ReportTest::Find(const print::Page& page, const QString& text) {
  for (const auto& t : page.texts)
    if (!t.header && t.text == text) return &t;
  return nullptr;
}

std::vector<std::string> ReportTest::Messages() {
  std::vector<std::string> out;
  for (const auto& r : vb::PromptScript::Records())
    if (r.kind == "msgbox") out.push_back(r.text);
  return out;
}

bool ReportTest::HasText(const print::Document& doc, const QString& text) {
  for (const auto& page : doc.pages)
    if (Find(page, text)) return true;
  return false;
}

}  // namespace tvntest
