#include "games/PLCollection_Form.h"

#include "core/OpenFailure.h"
#include "games/PLModule.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Guard.h"

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
  };
  return config;
}

PLCollection_Form::PLCollection_Form(QWidget* parent) : AVCollection_Form(GameCollections(), parent) {}

void OpenLastGameDatabase() {
  PLGlobals& g = PL();
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  g.GameDB = GameWorkspace().OpenDatabase(GameFolder() + "/" + PLData().LastDB);
}

void ShowGameCollectionManager(QWidget* parent) {
  PLGlobals& g = PL();
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  {
    PLCollection_Form form(parent);
    if (vb::Guarded([&] { form.Form_Load(); })) form.exec();
  }
  // The manager only makes collections current whose file is there. Should
  // it be gone or unusable all the same, the opening of the catalogue says
  // why and offers the way on (a new collection, or the default one).
  try {
    OpenLastGameDatabase();
  } catch (const std::exception&) {
    vb::Guarded([] {
      try {
        OpenGameDatabase();
      } catch (const tvn::OpenDeclined&) {
        // Told already; the window stays without a collection.
      }
    });
  }
}

}  // namespace pl
