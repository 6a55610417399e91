#pragma once
// The start window: the program's first window. Its load does the start-up
// work (program folder, master list, picture folder, current collection);
// its Continue button closes it, and its first close shows the splash window.
#include <QLabel>
#include <QPushButton>
#include <string>

#include "core/Windows.h"

namespace tvn {

class Start_Form : public Form {
  Q_OBJECT

 public:
  Start_Form();

  QLabel* TitleLabel;
  QPushButton* Continue_but;

  void Continue_but_Click();

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  // Steps 1 to 9 of the start-up; errors reach Form_Load.
  void StartupWork();
  // Step 7. False when the program goes on without the master list: it is a
  // folder, locked, unreadable, or damaged and could not be made anew (a
  // damaged list is kept under a new name and made anew from its template,
  // listing the current collections). Every case is told to the user.
  bool ReadMasterList();
  bool RebuildMasterList(const std::string& path, const std::string& what);
  // Opens the master list, sets CurCollection from it and closes it again;
  // failures reach the caller.
  void LookUpDisplayName();
  // Steps 8 and 9. A collection that cannot be opened is left as it is; the
  // user makes a new collection, opens the default one or quits
  // (OpenDeclined).
  void OpenCurrentCollection(bool listUsable);
};

// The collection file the start-up falls back to.
inline constexpr const char* DefaultCollectionFile = "av30.mdb";

}  // namespace tvn
