#include "games/avplclass.h"

#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "core/Windows.h"
#include "platform/runtime/Errors.h"

void avplclass::fload(dao::Workspace*& WS, std::string& Apathx, QObject*& frmx) {
  if (!WS || !frmx) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  pl::PLGlobals& g = pl::PL();
  g.Workspace = WS;
  g.Launcher = frmx;
  pl::PLData().APath = Apathx;
  if (!g.MainWindow) pl::OpenGameDatabase();
  if (!g.MainWindow) g.MainWindow = new pl::PLMain_Form();
  g.MainWindow->show();
  g.MainWindow->raise();
  g.MainWindow->activateWindow();
}

void avplclass::FrontWindow() {
  try {
    pl::PLMain_Form* w = pl::PL().MainWindow;
    if (w && w->isVisible()) {
      w->raise();
      w->activateWindow();
    }
  } catch (...) {
    // Bringing the window forward never fails towards the caller.
  }
}

void avplclass::FClose() {
  if (pl::PLMain_Form* w = pl::PL().MainWindow) w->close();
}

namespace pl {

void RegisterGameCatalogue() {
  // One entry object serves the program; every object acts on the same window.
  static avplclass games;
  tvn::RegisterGameCatalogue({
      [](dao::Workspace*& ws, std::string& path, QObject*& launcher) { games.fload(ws, path, launcher); },
      [] { games.FrontWindow(); },
      [] { games.FClose(); },
  });
}

}  // namespace pl
