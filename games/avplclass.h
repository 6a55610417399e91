#pragma once
// The entry of the game catalogue library: the program opens, brings
// forward and closes the game catalogue window through these three calls.
// Every instance acts on the one game window of the library.
#include <string>

class QObject;
namespace dao {
class Workspace;
}

class avplclass {
 public:
  // Keeps the workspace, the program folder and the launcher window, then
  // shows the game catalogue window, not modal. None of the arguments is
  // changed. An error reaches the caller.
  void fload(dao::Workspace*& WS, std::string& Apathx, QObject*& frmx);
  // Brings the game window to the front with the focus; never fails.
  void FrontWindow();
  // Closes the game window as its close box does: a typed change to the
  // game on show is asked about first, and Cancel keeps the window open.
  void FClose();
};

namespace pl {
// Tells the launcher how to reach the game catalogue (the program calls
// this once at start-up, before the launcher shows).
void RegisterGameCatalogue();
}  // namespace pl
