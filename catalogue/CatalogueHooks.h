#pragma once
// The neighbours the catalogue window reaches: the help viewer, the tips
// window, the quick display and the sort chooser. Each is one function,
// so the program wires the real windows and tests put in recorders.
#include <functional>

class QWidget;

namespace tvn {

class NewMain_Form;

struct CatalogueHooks {
  std::function<void(int topic)> showHelpTopic;
  std::function<void()> quitHelp;
  // Shows the tips window modally over the catalogue window.
  std::function<void(QWidget* owner)> showTips;
  std::function<void()> closeQuickDisplay;
  // After the window's load and before its unload (the hidden sort
  // chooser and the spelling dictionary follow the window's life).
  std::function<void(NewMain_Form*)> windowLoaded;
  std::function<void(NewMain_Form*)> windowUnloading;

  // The hooks in force; every member is callable (defaults do the program's work).
  static CatalogueHooks& Get();
  // Puts back the program's defaults.
  static void Reset();
};

}  // namespace tvn
