#include "games/PLCollection_Form.h"

#include "core/OpenFailure.h"
#include "games/PLModule.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl {

namespace {

std::string GameFolder() { return PLData().APath.empty() ? vb::ProgramFolder() : PLData().APath; }

dao::Workspace& GameWorkspace() {
  if (!PL().Workspace) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return *PL().Workspace;
}

}  // namespace

const tvn::CollectionManagerConfig& PLCollection_Form::GameCollections() {
  static const tvn::CollectionManagerConfig config{
      "PLCollection_Form",
      "The Pellion - Collection Utility",
      "plcollections",
      "plCollection",
      "pl33e.mdb",
      "CurDB_PL",
      // The link rows go with the games: a new game must not find the
      // system types and features of a deleted one.
      {"delete * from systypemedia", "delete * from supportsmedia", "delete * from mediadata"},
      [] { return PLData().LastDB; },
      [](const std::string& v) { PLData().LastDB = v; },
      [] { return PLData().CurCollection; },
      [](const std::string& v) { PLData().CurCollection = v; },
      {"Create a New Collection", "Open Selected Collection", "Delete Selected Collection",
       "Delete ALL records from Selected Collection", "Close Collection Utility"},
      true,
      [] () -> dao::Workspace& { return GameWorkspace(); },
      [] { return GameFolder(); },
      &GameCollectionKind(),
  };
  return config;
}

PLCollection_Form::PLCollection_Form(QWidget* parent) : AVCollection_Form(GameCollections(), parent) {}

void OpenLastGameDatabase() {
  PLGlobals& g = PL();
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  g.GameDB = OpenGameCollectionFile(GameFolder() + "/" + PLData().LastDB);
}

namespace {

// Opens LastDB and has the window read it; a collection the window could
// not read is closed again.
void OpenAndRead(const std::function<void()>& firstRead) {
  OpenLastGameDatabase();
  if (!firstRead) return;
  try {
    firstRead();
  } catch (...) {
    PLGlobals& g = PL();
    if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
    g.GameDB.reset();
    throw;
  }
}

}  // namespace

bool ReadGameCollectionFirst(const std::function<void()>& firstRead, const std::function<void()>& readAgain) {
  avplDataclass& d = PLData();
  const std::string folder = GameFolder();
  auto close = [] {
    PLGlobals& g = PL();
    if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
    g.GameDB.reset();
  };
  tvn::CurrentCollectionOpening how;
  how.giveUp = "go on without a game collection and open one in the Collection Manager (Utilities menu).";
  how.gaveUp = "The window goes on without a game collection; open one in the Collection Manager (Utilities menu).";
  how.defaultFile = DefaultGameDB;
  how.defaultPath = folder + "/" + DefaultGameDB;
  how.path = [&] { return folder + "/" + d.LastDB; };
  how.open = [&] { OpenAndRead(readAgain); };
  how.canUseDefault = [&] { return vb::FileExists(folder + "/" + DefaultGameDB); };
  how.useDefault = [&] {
    d.LastDB = DefaultGameDB;
    d.CurCollection = tvn::AVCollection_Form::ListedName(PLCollection_Form::GameCollections(), DefaultGameDB);
    vb::SaveSetting("TVN", "Startup", "CurDB_PL", DefaultGameDB);
  };
  return tvn::AVCollection_Form::FirstReadOrWayOn(PLCollection_Form::GameCollections(), firstRead, close, how);
}

bool ShowGameCollectionManager(QWidget* parent, const std::function<void()>& firstRead) {
  PLGlobals& g = PL();
  avplDataclass& d = PLData();
  const std::string previousFile = d.LastDB;
  const std::string previousName = d.CurCollection;
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  {
    PLCollection_Form form(parent);
    if (vb::Guarded([&] { form.Form_Load(); })) form.exec();
  }
  // Switching is all or nothing: the window's first read is part of it.
  return tvn::AVCollection_Form::TakeChosenCollection(PLCollection_Form::GameCollections(), previousFile,
                                                      previousName, [&] { OpenAndRead(firstRead); });
}

}  // namespace pl
