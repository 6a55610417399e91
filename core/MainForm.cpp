#include "core/MainForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>

#include "core/AppState.h"
#include "core/OpenFailure.h"
#include "core/Splash_Form.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace tvn {

namespace {

// A stored position in twips; anything that is not a number, or a number
// no window position can have, counts as "no position" and leaves the
// window where it is.
double StoredTwips(const std::string& text) {
  bool ok = false;
  const double v = QString::fromStdString(text).trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > std::numeric_limits<int>::max()) return 0.0;
  return v;
}

}  // namespace

MainForm::MainForm() {
  setObjectName("MainForm");
  setWindowTitle("Tavolin");
  btnOpenTavolin = new QPushButton("Tavolin", this);
  btnOpenTavolin->setObjectName("btnOpenTavolin");
  btnOpenPellion = new QPushButton("Pellion", this);
  btnOpenPellion->setObjectName("btnOpenPellion");
  btnExit = new QPushButton("Exit", this);
  btnExit->setObjectName("btnExit");
  AVRunning = new FlagCheckBox("AVRunning", this);
  AVRunning->setObjectName("AVRunning");
  AVRunning->setVisible(false);
  PLRunning = new FlagCheckBox("PLRunning", this);
  PLRunning->setObjectName("PLRunning");
  PLRunning->setVisible(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(btnOpenTavolin);
  layout->addWidget(btnOpenPellion);
  layout->addWidget(btnExit);
  setFixedSize(220, 150);

  connect(btnOpenTavolin, &QPushButton::clicked, this, [this] { btnOpenTavolin_Click(); });
  connect(btnOpenPellion, &QPushButton::clicked, this, [this] { btnOpenPellion_Click(); });
  connect(btnExit, &QPushButton::clicked, this, [this] { btnExit_Click(); });

  // The design position: the middle of the screen.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }

  // Initialise: the position of the last run, when there is one.
  const double top = StoredTwips(vb::GetSetting("TVN", "Startup", "SF_T", std::to_string(Top())));
  const double left = StoredTwips(vb::GetSetting("TVN", "Startup", "SF_L", std::to_string(Left())));
  if (left > 0) SetLeft(static_cast<int>(left));
  if (top > 0) SetTop(static_cast<int>(top));
}

void MainForm::Form_Load() {
  if (Splash_Form* splash = win::Splash_Form.Peek()) splash->Unload();
}

void MainForm::btnOpenTavolin_Click() {
  if (AVRunning->Value() == 1) {
    try {
      if (MediaCatalogue().BringForward) MediaCatalogue().BringForward();
    } catch (...) {
      // Bringing the window forward may fail; it is still open.
    }
    return;
  }
  setMousePointer(vbHourglass);
  AVRunning->setValue(1);
  OpenMediaCatalogueWindow();
}

void MainForm::OpenMediaCatalogueWindow() {
  const MediaCatalogueEntry& catalogue = MediaCatalogue();
  if (catalogue.Show) {
    try {
      catalogue.Show();
    } catch (...) {
      // The window did not open: the launcher must be able to try again.
      AVRunning->setValue(0);
      setMousePointer(vbDefault);
      throw;
    }
    return;
  }
  // No media catalogue in this build: nothing is open after all.
  AVRunning->setValue(0);
  setMousePointer(vbDefault);
}

void MainForm::btnOpenPellion_Click() {
  const GameCatalogueEntry& games = GameCatalogue();
  if (PLRunning->Value() == 1) {
    if (games.FrontWindow) games.FrontWindow();
    return;
  }
  setMousePointer(vbHourglass);
  PLRunning->setValue(1);
  if (!games.fload) {
    // No game catalogue in this build: nothing is open after all.
    PLRunning->setValue(0);
    setMousePointer(vbDefault);
    return;
  }
  std::string path = vb::ProgramFolder();
  dao::Workspace* ws = App().AppWorkspace;
  QObject* launcher = this;
  try {
    games.fload(ws, path, launcher);
  } catch (const OpenDeclined&) {
    // The user chose not to open it after being told why.
    PLRunning->setValue(0);
    setMousePointer(vbDefault);
    return;
  } catch (const vb::RuntimeError& e) {
    // The game catalogue did not open: say why and stay usable.
    vb::TellError(e);
    PLRunning->setValue(0);
    setMousePointer(vbDefault);
    return;
  } catch (const std::exception& e) {
    vb::TellError(e);
    PLRunning->setValue(0);
    setMousePointer(vbDefault);
    return;
  }
  App().AppWorkspace = ws;
}

void MainForm::btnExit_Click() { Unload(); }

bool MainForm::Form_QueryUnload() {
  // Each open catalogue closes through its own close, which asks about a
  // typed change to its record on show; one the user keeps open keeps the
  // launcher, and so the program, running. The game window goes first, as
  // it always closed first. A window clears its flag only when it closes.
  if (PLRunning->Value() == 1 && GameCatalogue().FClose) GameCatalogue().FClose();
  if (PLRunning->Value() == 1) return false;
  if (AVRunning->Value() == 1 && MediaCatalogue().Unload) MediaCatalogue().Unload();
  return AVRunning->Value() != 1;
}

void MainForm::Form_Unload() {
  vb::SaveSetting("TVN", "Startup", "SF_T", std::to_string(Top()));
  vb::SaveSetting("TVN", "Startup", "SF_L", std::to_string(Left()));
  // Both catalogues are closed by now (Form_QueryUnload).
  EndProgram();
}

}  // namespace tvn
