// Tavolin: the program starts with its start window, whose load does the
// start-up work; the event loop runs until the launcher ends the program.
#include <QApplication>

#include "catalogue/NewMain_Form.h"
#include "core/Start_Form.h"
#include "core/Windows.h"
#include "games/avplclass.h"
#include "platform/dao/Dao.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

int main(int argc, char** argv) {
  // No exception crosses the event loop: the application object shows it.
  vb::Application app(argc, argv);
  QApplication::setApplicationName("Tavolin");
  // The windows decide when the program ends (the launcher's close, or the
  // last window's unload), not Qt's last-window rule.
  QApplication::setQuitOnLastWindowClosed(false);
  vb::SetAppTitle("Tavolin");
  // Other programs may write to the open files: no read is held while the
  // program waits for the user, and a write that finds a file busy waits
  // with the windows painted.
  vb::BusyScope::InstallEventLoopHooks([] { dao::DBEngine::ReleaseReads(); });
  // The launcher opens both catalogues through what they register.
  tvn::RegisterCatalogueWindow();
  pl::RegisterGameCatalogue();
  if (!vb::Guarded([] { tvn::win::Start_Form->Show(); })) return 1;
  if (tvn::ProgramEnded()) return tvn::ProgramExitCode();
  return app.exec();
}
