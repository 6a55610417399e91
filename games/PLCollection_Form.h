#pragma once
// The game collection manager: the collection manager of the media
// catalogue on the game catalogue's list plcollections, its template
// "pl33e.mdb" and its setting "CurDB_PL". The game window closes its
// collection while the manager is shown and opens LastDB afterwards, which
// ShowGameCollectionManager does for it.
#include <functional>

#include "core/AVCollection_Form.h"

namespace pl {

class PLCollection_Form final : public tvn::AVCollection_Form {
  Q_OBJECT

 public:
  explicit PLCollection_Form(QWidget* parent = nullptr);

  // The game catalogue's configuration.
  static const tvn::CollectionManagerConfig& GameCollections();

  // Sets useExisting to whether a file of the new collection's name is to
  // be kept (the user's answer).
  void CheckExistingCollectionFile(bool& useExisting) { useExisting = CheckExistingDatabase(); }
};

// Closes the open game collection, shows the manager modally over parent
// and then opens the collection named by LastDB and runs firstRead, the
// window's first read of it. When either fails the user is told and the
// collection that was open is opened and read again (LastDB,
// CurCollection and "CurDB_PL" back as they were): switching is all or
// nothing. False when no collection could be opened and read: the caller
// then reads nothing through PL().GameDB.
bool ShowGameCollectionManager(QWidget* parent, const std::function<void()>& firstRead = {});

// The game window's first read (firstRead) of the collection the catalogue
// opened on. When it meets a damaged file (what the check at opening does
// not read) the file is closed and left as it is, and the user chooses the
// way on as when the catalogue opens: a new collection, the default one
// (each opened and read by readAgain), or the window without a
// collection. False in that last case: nothing reads through PL().GameDB.
bool ReadGameCollectionFirst(const std::function<void()>& firstRead, const std::function<void()>& readAgain);

// Opens LastDB of the program folder as the game collection, checked as
// every opening is; failures reach the caller and leave no collection open.
void OpenLastGameDatabase();

}  // namespace pl
