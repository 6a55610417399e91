#pragma once
// The game quick display ("Pellion Quick Display"): every game of the open
// collection in one grid, the media quick display on the game collection.
// The user sorts any column, jumps to the first game whose name,
// publisher, developer or genre begins with a typed text, and double-clicks
// a row to show that game in the game window. Modeless; filled once per
// opening.
#include "core/AVQDForm.h"

namespace pl {

class PLQDForm final : public tvn::AVQDForm {
  Q_OBJECT

 public:
  explicit PLQDForm(QWidget* parent = nullptr);

  static const tvn::QuickDisplayConfig& GameQuickDisplay();

  // Grid columns.
  enum GameColumn : int { colPublisher = 3, colDeveloper = 4, colGenre = 5, colAcquired = 6 };

  // The handlers under the names of the game window's family.
  void QuickJumpSearch() { btnSearch_Click(); }
  void OpenFromQuickDisplay() { QDGrid_DblClick(); }
};

// How the quick display reaches the game window; the window sets these
// when it is created (adding a game, dropping it, switching section,
// loading a game by name, coming to the front).
tvn::QuickDisplayHooks& GameQuickDisplayHooks();

// What the game quick display lists.
const tvn::QuickListLayout& GameQuickList();

// Fills a grid with every game of the open collection: column 0 (hidden)
// the section number, then section, name, publisher, developer, genre and
// the date acquired, in the order of section name and game name.
void GameListReport(forms::FlexGrid& grid);
// The same for the open quick display; nothing when it is closed.
void GameListReport();

// Opens the quick display, or brings it to the front when it is open;
// nullptr when it could not be loaded (the error was shown).
PLQDForm* ShowGameQuickDisplay(QWidget* parent = nullptr);
// The open quick display, or nullptr.
PLQDForm* GameQuickDisplayWindow();
// Closes it when it is open (the game window does on its unload).
void CloseGameQuickDisplay();

}  // namespace pl
