#pragma once
// The program-wide variables the windows share. They live until the
// program ends; nothing here is saved.
#include <memory>

#include "core/TVNDATA.h"
#include "platform/dao/Dao.h"

class TVNInit;    // the report library's entry object

namespace tvn {

// The one state object, created on first use.
TVNDATA* AVData();
// Replaces the held state object (the report entry hands back the same one).
void SetAVData(std::shared_ptr<TVNDATA> data);
std::shared_ptr<TVNDATA> AVDataRef();

struct AppGlobals {
  dao::Workspace* AppWorkspace = nullptr;  // workspace 0, set at start-up
  dao::DatabasePtr CollectionDB;           // the open collection
  dao::DatabasePtr AdminDB;                // "admin.sys" (or "tips.sys" while the tips window runs)
  dao::RecordsetPtr CollectionsRS;         // table avcollections of the master list
  dao::DatabasePtr OldDB;                  // the backup file during a conversion
  std::int16_t TipNum = 0;                 // 0 none, 1000 asked for from the menu, else the tip shown
  bool AboutMode = false;                  // the splash window is shown as the About window
  std::shared_ptr<TVNInit> ReportLibrary;
};

AppGlobals& App();

// The shared workspace; the engine's workspace 0 until start-up sets one.
dao::Workspace& AppWorkspace();

}  // namespace tvn
