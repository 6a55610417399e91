#include "core/Windows.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "core/AddTitleForm.h"
#include "core/AppState.h"
#include "core/MainForm.h"
#include "core/SortForm.h"
#include "core/Splash_Form.h"
#include "core/Start_Form.h"
#include "core/Tip_Form.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {
int loadedForms = 0;
bool programEnded = false;
int endRequests = 0;  // how often the program was told to end
int programExitCode = 0;
std::function<void(int)>& EndHandler() {
  static std::function<void(int)> handler;
  return handler;
}
MediaCatalogueEntry& CatalogueEntry() {
  static MediaCatalogueEntry entry;
  return entry;
}
}  // namespace

// ---------------------------------------------------------------- Form

Form::Form(QWidget* parent) : QWidget(parent) {}

Form::~Form() {
  if (loaded_) --loadedForms;
  if (modalLoop_) modalLoop_->exit();
}

int Form::LoadedCount() { return loadedForms; }

void Form::Load() {
  // Once the program has ended, no window comes back.
  if (loaded_ || programEnded) return;
  loaded_ = true;
  ++loadedForms;
  try {
    Form_Load();
  } catch (...) {
    if (loaded_) {
      loaded_ = false;
      --loadedForms;
    }
    throw;
  }
}

void Form::Show() {
  Load();
  if (!loaded_) return;  // the load unloaded the window again
  show();
  raise();
  activateWindow();
}

void Form::ShowModal() {
  Load();
  if (!loaded_) return;
  QPointer<Form> self(this);
  QEventLoop loop;
  modalLoop_ = &loop;
  setWindowModality(Qt::ApplicationModal);
  show();
  raise();
  activateWindow();
  loop.exec(QEventLoop::DialogExec);
  if (self) {
    modalLoop_ = nullptr;
    if (isVisible()) hide();
    setWindowModality(Qt::NonModal);
  }
}

void Form::Hide() { hide(); }

void Form::Unload() {
  if (!loaded_ || unloading_) return;
  unloading_ = true;
  const int endsBefore = endRequests;
  try {
    if (!Form_QueryUnload()) {
      unloading_ = false;
      return;
    }
    Form_Unload();
  } catch (...) {
    unloading_ = false;
    throw;
  }
  unloading_ = false;
  if (!loaded_) return;  // the program ended inside the unload
  loaded_ = false;
  --loadedForms;
  hide();
  deleteLater();
  // A program whose last window is gone has nothing left to do.
  if (loadedForms == 0 && !programEnded && endRequests == endsBefore) EndProgram();
}

void Form::Release() {
  if (!loaded_) return;
  loaded_ = false;
  --loadedForms;
}

void Form::setMousePointer(int pointer) {
  mousePointer_ = pointer;
  if (pointer == vbHourglass)
    setCursor(Qt::WaitCursor);
  else
    unsetCursor();
}

int Form::Left() const { return PixelsToTwips(WindowPlace(*this).x()); }
int Form::Top() const { return PixelsToTwips(WindowPlace(*this).y()); }
void Form::SetLeft(int twips) { PlaceWindow(*this, QPoint(TwipsToPixels(twips), WindowPlace(*this).y())); }
void Form::SetTop(int twips) { PlaceWindow(*this, QPoint(WindowPlace(*this).x(), TwipsToPixels(twips))); }

void Form::closeEvent(QCloseEvent* event) {
  // The user closing the window unloads it; Unload hides it itself.
  event->ignore();
  if (loaded_ && !unloading_) Unload();
}

void Form::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (modalLoop_) modalLoop_->exit();
}

bool Form::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::WindowActivate && loaded_) Form_Activate();
  return handled;
}

// ---------------------------------------------------------------- references

namespace win {
FormRef<tvn::Start_Form> Start_Form;
FormRef<tvn::Splash_Form> Splash_Form;
FormRef<tvn::MainForm> MainForm;
FormRef<tvn::Tip_Form> Tip_Form;
FormRef<tvn::SortForm> SortForm;
FormRef<tvn::AddTitleForm> AddTitleForm;
}  // namespace win

// ---------------------------------------------------------------- ending

void ReleaseProgram() {
  // Every window goes at once, without its unload routine.
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* form = qobject_cast<Form*>(w)) form->Release();
  }
  for (QWidget* w : QApplication::topLevelWidgets()) {
    w->hide();
    w->deleteLater();
  }
  AppGlobals& g = App();
  g.CollectionsRS.reset();
  g.CollectionDB.reset();
  g.AdminDB.reset();
  g.OldDB.reset();
  g.ReportLibrary.reset();
}

void EndProgram(int exitCode) {
  ++endRequests;
  if (programEnded) return;
  programEnded = true;
  programExitCode = exitCode;
  if (EndHandler()) {
    EndHandler()(exitCode);
    return;
  }
  ReleaseProgram();
  QCoreApplication::exit(exitCode);
}

bool ProgramEnded() { return programEnded; }
int ProgramExitCode() { return programExitCode; }

void SetEndProgramHandler(std::function<void(int)> handler) { EndHandler() = std::move(handler); }

void ResetProgramEnded() {
  programEnded = false;
  programExitCode = 0;
}

// ---------------------------------------------------------------- catalogue

void RegisterMediaCatalogue(MediaCatalogueEntry entry) { CatalogueEntry() = std::move(entry); }
const MediaCatalogueEntry& MediaCatalogue() { return CatalogueEntry(); }

namespace {
GameCatalogueEntry& GameEntry() {
  static GameCatalogueEntry entry;
  return entry;
}
}  // namespace

void RegisterGameCatalogue(GameCatalogueEntry entry) { GameEntry() = std::move(entry); }
const GameCatalogueEntry& GameCatalogue() { return GameEntry(); }

namespace {

// A number stored as text by the settings store; anything unreadable is
// taken as the default.
double ReadStartupNumber(const std::string& key, double defaultValue) {
  const QString text = QString::fromStdString(vb::GetSetting("TVN", "Startup", key, ""));
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  // "nan" and "inf" read as numbers too; no setting means either.
  return ok && std::isfinite(v) ? v : defaultValue;
}

bool PlaceablePosition(double twips) { return twips > 0 && twips / TwipsPerPixel <= 32767; }

std::string TwipsText(int pixels) { return QString::number(double(float(pixels * TwipsPerPixel))).toStdString(); }

}  // namespace

int ReadStartupByte(const std::string& key, int defaultValue) {
  const double v = ReadStartupNumber(key, defaultValue);
  if (v < 0 || v > 255) return defaultValue;
  return int(v + 0.5);
}

void RestoreWindowPlace(QWidget& w, const std::string& topKey, const std::string& leftKey) {
  const QPoint designed = WindowPlace(w);
  const double top = ReadStartupNumber(topKey, double(designed.y() * TwipsPerPixel));
  const double left = ReadStartupNumber(leftKey, double(designed.x() * TwipsPerPixel));
  QPoint place = designed;
  if (PlaceablePosition(left)) place.setX(int(float(left) / TwipsPerPixel));
  if (PlaceablePosition(top)) place.setY(int(float(top) / TwipsPerPixel));
  if (place != designed) PlaceWindow(w, place);
}

void SaveWindowPlace(const QWidget& w, const std::string& topKey, const std::string& leftKey) {
  const QPoint place = WindowPlace(w);
  vb::SaveSetting("TVN", "Startup", topKey, TwipsText(place.y()));
  vb::SaveSetting("TVN", "Startup", leftKey, TwipsText(place.x()));
}

}  // namespace tvn
