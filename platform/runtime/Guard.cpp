#include "platform/runtime/Guard.h"

#include <cstdio>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Prompter.h"

namespace vb {
namespace {

// Showing the error must not throw in turn: the guard is the last line.
void Show(int number, const std::string& text) {
  try {
    ShowError(number, text);
  } catch (...) {
    std::fprintf(stderr, "Error %d: %s\n", number, text.c_str());
  }
}

}  // namespace

bool Guarded(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const Cancelled&) {
    // The user's own answer: nothing to tell.
  } catch (const RuntimeError& e) {
    Show(e.Number(), e.Description());
  } catch (const std::exception& e) {
    Show(errInternal, e.what());
  } catch (...) {
    Show(errInternal, ErrorText(errInternal));
  }
  return false;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  Guarded([&] { result = QApplication::notify(receiver, event); });
  return result;
}

}  // namespace vb
