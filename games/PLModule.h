#pragma once
// The game library's shared state: one set for the library, whichever
// avplclass object set it.
#include <QPointer>
#include <QObject>
#include <string>

namespace dao {
class Workspace;
}

namespace pl {

class PLMain_Form;

struct PLGlobals {
  dao::Workspace* Workspace = nullptr;  // the program's; every game database is opened through it
  QPointer<QObject> Launcher;           // the program's launcher window, reached by member names only
  std::string APath;                    // the program folder
  QPointer<PLMain_Form> MainWindow;     // the game catalogue window while it exists
};

PLGlobals& PL();

// Sets a property of a late-bound object, its name matched without regard
// to case; a missing property raises run-time error 438.
void SetLateBound(QObject* object, const char* property, int value);
// The child of a late-bound object by name, matched without regard to
// case; a missing child raises run-time error 438.
QObject* LateBoundChild(QObject* object, const char* name);

}  // namespace pl
