#include "platform/runtime/Guard.h"

#include <cstdio>
#include <utility>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Prompter.h"

namespace vb {
namespace {

std::function<std::string(const std::exception&)>& Teller() {
  static std::function<std::string(const std::exception&)> teller;
  return teller;
}

// Showing the error must not throw in turn: the guard is the last line.
void Show(int number, const std::string& text) {
  try {
    ShowError(number, text);
  } catch (...) {
    std::fprintf(stderr, "Error %d: %s\n", number, text.c_str());
  }
}

}  // namespace

void SetErrorTeller(std::function<std::string(const std::exception&)> teller) { Teller() = std::move(teller); }

void TellError(const std::exception& error) {
  try {
    if (Teller())
      if (const std::string words = Teller()(error); !words.empty()) {
        MsgBox(words, vbOKOnly | vbExclamation);
        return;
      }
  } catch (...) {
    // Told below by number and text instead.
  }
  if (const auto* e = dynamic_cast<const RuntimeError*>(&error)) Show(e->Number(), e->Description());
  else Show(errInternal, error.what());
}

bool Guarded(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const Cancelled&) {
    // The user's own answer: nothing to tell.
  } catch (const std::exception& e) {
    TellError(e);
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
