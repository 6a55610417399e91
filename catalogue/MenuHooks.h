#pragma once
// The windows and file operations the catalogue window's menus reach.
// Each is one function, so the program uses the real ones and tests put
// in recorders or make an operation fail.
#include <functional>
#include <string>

class QWidget;

namespace tvn {

class SortForm;

struct MenuHooks {
  // Shows the selection chooser modally; the choice is left in its Choice_List.
  std::function<void(SortForm& chooser)> showChooser;
  // The modal windows of the Utilities and Help menus, over owner.
  std::function<void(QWidget* owner)> showCollectionManager;
  std::function<void(QWidget* owner)> showArtistManager;
  std::function<void(QWidget* owner)> showCategoryManager;
  std::function<void(QWidget* owner)> showLabelManager;
  std::function<void(QWidget* owner)> showAbout;
  // The quick display, not modal.
  std::function<void(QWidget* owner)> showQuickDisplay;
  // A file, web or mail address opened with the desktop's program for it.
  std::function<void(const std::string& target)> openWithShell;
  // Told, after the progress dialog has been updated, the number of rows
  // copied so far while an earlier-layout collection is converted (the
  // default does nothing more).
  std::function<void(QWidget* owner, long rowsCopied)> conversionProgress;

  // The hooks in force; every member is callable.
  static MenuHooks& Get();
  // Puts back the program's defaults.
  static void Reset();
};

}  // namespace tvn
