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

}  // namespace tvn::testing
