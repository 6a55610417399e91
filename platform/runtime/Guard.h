#pragma once
// The one guard between window code and Qt's event loop: an exception must
// never unwind through the loop, so every event handler runs inside
// Guarded, which shows a caught error's number and text to the user.
#include <QApplication>
#include <functional>

namespace vb {

// Runs a handler; a vb::RuntimeError (database errors included) is shown
// with its number and text, any other exception as an internal error; a
// vb::Cancelled (the user stopped the command) is shown as nothing.
// Returns false when the handler ended with an error or was stopped.
bool Guarded(const std::function<void()>& handler);

// The program's application object: the same guard around every event
// delivery, as the last line behind the handlers' own.
class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vb
