#pragma once
// The one guard between window code and Qt's event loop: an exception must
// never unwind through the loop, so every event handler runs inside
// Guarded, which shows a caught error's number and text to the user.
#include <QApplication>
#include <exception>
#include <functional>
#include <string>

namespace vb {

// Runs a handler; a vb::RuntimeError (database errors included) is shown
// with its number and text, any other exception as an internal error; a
// vb::Cancelled (the user stopped the command) is shown as nothing.
// Returns false when the handler ended with an error or was stopped.
bool Guarded(const std::function<void()>& handler);

// Shows a caught error to the user: in words when the teller below knows
// it, else through ShowError. Every window's error path ends here.
void TellError(const std::exception& error);

// Installs who puts an error in the user's words (the file it concerns and
// the way on): it returns the message, or "" when the error is not one it
// knows. The latest teller replaces the one before.
void SetErrorTeller(std::function<std::string(const std::exception&)> teller);

// The program's application object: the same guard around every event
// delivery, as the last line behind the handlers' own.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vb
