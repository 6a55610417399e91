// What the user was shown, for the window tests of both catalogues: the
// message boxes the prompter put up, and the tab a control stands on.
#pragma once

#include <QTabWidget>
#include <QWidget>

#include <string>

#include "platform/runtime/Prompter.h"

namespace tvn::testing {

// Every box shown so far, each in brackets, for a failure's message.
inline std::string Boxes() {
  std::string out;
  for (const std::string& t : vb::PromptScript::Texts()) out += "[" + t + "]";
  return out;
}

inline bool BoxSays(const std::string& words) {
  for (const std::string& t : vb::PromptScript::Texts())
    if (t.find(words) != std::string::npos) return true;
  return false;
}

// Brings forward every tab the control stands on, as the user would
// before typing into it.
inline void Reveal(QWidget* control) {
  for (QWidget* w = control; w; w = w->parentWidget()) {
    QWidget* stack = w->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
  }
}

}  // namespace tvn::testing
