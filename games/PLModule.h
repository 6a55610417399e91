#pragma once
// The game library's shared state: one set for the library, whichever
// avplclass object set it.
#include <QPointer>
#include <QObject>
#include <string>

#include <functional>
#include <memory>

#include "core/OpenFailure.h"
#include "games/avplDataclass.h"
#include "platform/dao/Dao.h"

namespace pl {

class PLMain_Form;

struct PLGlobals {
  dao::Workspace* Workspace = nullptr;  // the program's; every game database is opened through it
  QPointer<QObject> Launcher;           // the program's launcher window, reached by member names only
  QPointer<PLMain_Form> MainWindow;     // the game catalogue window while it exists
  dao::DatabasePtr GameDB;              // the open game collection
  // Unloads the quick display (set by it while it is open).
  std::function<void()> CloseQuickDisplay;
};

// The state object, created on first use and kept for the library's life.
avplDataclass& PLData();

// The default game collection, made from the template when missing.
inline constexpr const char* DefaultGameDB = "MyGames.mdb";

// Chooses the game collection from the setting "CurDB_PL" (falling back to
// the default collection, and saying so, when it names no file of the
// program folder), makes the default collection from "pl33e.mdb" when it is
// missing, reads its display name from the master list (kept when the list
// cannot be read) and opens it. A collection that cannot be opened is left
// as it is: the user makes a new one, opens the default one or gives up
// (tvn::OpenDeclined). Other failures reach the caller, naming the file.
void OpenGameDatabase();

// What a game collection holds: every table and field the game window reads.
const tvn::CollectionKind& GameCollectionKind();
// Opens the game collection file at path as every opening does
// (tvn::OpenCollectionFile): refused before anything is written when it is
// no game collection.
dao::DatabasePtr OpenGameCollectionFile(const std::string& path);

PLGlobals& PL();

// The name of a publisher, developer or genre by its key; "" when the key
// is 0 or names no row.
std::string LookupPublisherName(long key);
std::string LookupDeveloperName(long key);
std::string LookupGenreName(long key);

// Sets a property of a late-bound object, its name matched without regard
// to case; a missing property raises run-time error 438.
void SetLateBound(QObject* object, const char* property, int value);
// The child of a late-bound object by name, matched without regard to
// case; a missing child raises run-time error 438.
QObject* LateBoundChild(QObject* object, const char* name);

}  // namespace pl
