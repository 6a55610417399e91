// Tavolin: the program starts with its start window, whose load does the
// start-up work; the event loop runs until the launcher ends the program.
#include <QApplication>
#include <exception>

#include "core/Start_Form.h"
#include "core/Windows.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Prompter.h"

namespace {

// No exception may cross the event loop: an error nobody caught is shown
// with its number and text, and the program ends.
// TODO(runtime): give way to vb::Application of platform/runtime/Guard.h.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const vb::RuntimeError& e) {
      vb::ShowError(e.Number(), e.Description());
    } catch (const std::exception& e) {
      vb::ShowError(51, e.what());
    } catch (...) {
      vb::ShowError(51, "Internal error");
    }
    tvn::EndProgram(1);
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  GuardedApplication app(argc, argv);
  QApplication::setApplicationName("Tavolin");
  // The windows decide when the program ends (the launcher's close, or the
  // last window's unload), not Qt's last-window rule.
  QApplication::setQuitOnLastWindowClosed(false);
  vb::SetAppTitle("Tavolin");
  try {
    tvn::win::Start_Form->Show();
  } catch (const vb::RuntimeError& e) {
    vb::ShowError(e.Number(), e.Description());
    return 1;
  }
  if (tvn::ProgramEnded()) return tvn::ProgramExitCode();
  return app.exec();
}
