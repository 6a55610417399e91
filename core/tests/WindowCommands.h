#pragma once
// For tests that work every command a catalogue window offers: the entries
// of its record toolbar, the letters of its letter bar and the entries of
// its menus, each with whether the user can give it now; and a closer for
// the modal windows some of them open, so that a test never waits on one.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <string>
#include <vector>

#include "core/RecordWindow.h"
#include "core/tests/LaunchFixture.h"
#include "platform/runtime/Prompter.h"

namespace tvn::testing {

struct WindowCommand {
  QAction* action = nullptr;
  std::string name;        // the entry's object name, or its caption
  bool reachable = false;  // shown and enabled, in enabled menus
};

inline std::vector<WindowCommand> WindowCommands(RecordWindow& w) {
  std::vector<WindowCommand> out;
  auto name = [](const QAction* a) {
    return a->objectName().isEmpty() ? a->text().toStdString() : a->objectName().toStdString();
  };
  for (size_t i = 1; i < w.Toolbar1Buttons.size(); ++i) {
    QAction* a = w.Toolbar1Buttons[i];
    if (!a || a->isSeparator()) continue;
    out.push_back({a, name(a), a->isVisible() && a->isEnabled() && w.Toolbar1->isEnabled()});
  }
  // The letters the user sees (one face of each letter shows).
  for (size_t i = 1; i < w.LetterButtons.size(); ++i) {
    QAction* a = w.LetterButtons[i];
    if (a && a->isVisible())
      out.push_back({a, "letter " + a->text().toStdString() + " " + std::to_string(i),
                     a->isEnabled() && w.Toolbar2->isEnabled()});
  }
  std::function<void(QMenu*, bool)> walk = [&](QMenu* menu, bool open) {
    open = open && menu->isEnabled() && menu->menuAction()->isEnabled();
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      if (a->menu())
        walk(a->menu(), open);
      else
        out.push_back({a, name(a), open && a->isEnabled() && a->isVisible()});
    }
  };
  for (QAction* top : w.menuBar()->actions())
    if (top->menu()) walk(top->menu(), true);
  return out;
}

// While it lives, any modal window that comes up is closed at once.
class ModalWindowsClosed {
 public:
  ModalWindowsClosed() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        ++closed;
        modal->close();
      }
    });
    timer_.start();
  }
  int closed = 0;

 private:
  QTimer timer_;
};

// The names of the commands a test works with a typed change on show:
// every one; while a record is being added, those the user can reach but
// Cancel add, which is there to drop it.
inline std::vector<std::string> CommandNames(RecordWindow& w, bool adding) {
  std::vector<std::string> names;
  for (const WindowCommand& c : WindowCommands(w))
    if (!adding || (c.reachable && c.name != "Toolbar1_2")) names.push_back(c.name);
  return names;
}

// Gives the command of that name with every box answered Cancel and every
// modal window closed; returns the texts of the boxes shown. False as the
// window has no such command.
inline bool GiveCancelling(RecordWindow& w, const std::string& name, std::vector<std::string>& boxes) {
  QAction* command = nullptr;
  for (const WindowCommand& c : WindowCommands(w))
    if (c.name == name) command = c.action;
  if (!command) return false;
  vb::PromptScript::Clear();
  for (int i = 0; i < 4; ++i) vb::PromptScript::Answer(vb::vbCancel);
  {
    ModalWindowsClosed closer;
    command->trigger();
    Pump();
  }
  boxes = vb::PromptScript::Texts();
  return true;
}

}  // namespace tvn::testing
