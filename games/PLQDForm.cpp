#include "games/PLQDForm.h"

#include "core/TavolinModule.h"
#include "games/PLModule.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Errors.h"

namespace pl {

namespace {

QPointer<tvn::AVQDForm>& OpenWindow() {
  static QPointer<tvn::AVQDForm> window;
  return window;
}

dao::Database& GameCollection() {
  if (!PL().GameDB || !PL().GameDB->IsOpen())
    throw vb::RuntimeError(91, "Object variable or With block variable not set (no game collection is open)");
  return *PL().GameDB;
}

bool GameExists(int section, const std::string& name) {
  dao::RecordsetPtr rs = GameCollection().OpenRecordset(
      "select systemnumber from mediadata where sectionnumber = " + std::to_string(section) +
      " and name = " + dao::SqlQuote(name));
  const bool found = !rs->Eof();
  rs->Close();
  return found;
}

}  // namespace

tvn::QuickDisplayHooks& GameQuickDisplayHooks() {
  static tvn::QuickDisplayHooks hooks;
  return hooks;
}

void GameListReport(forms::FlexGrid& grid) {
  static const tvn::QueryGridLayout layout{
      {0, 1000, 2500, 1800, 1800, 1800, 1800},
      {"", "Section", "Name", "Publisher", "Developer", "Genre", "Aquired On"},
      "SELECT MediaData.sectionnumber,MediaData.name,MediaData.date_aquired, Developer.Artist_Name, Genre.Category, "
      "Publisher.LabelStudio_Name, "
      "sections.name FROM (((MediaData LEFT OUTER JOIN Developer ON MediaData.developer = Developer.developer) "
      "LEFT OUTER JOIN Genre ON MediaData.genre = Genre.genre) LEFT OUTER JOIN Publisher ON "
      "MediaData.publisher = Publisher.publisher) LEFT OUTER JOIN sections ON "
      "MediaData.sectionNumber = sections.section order by sections.name,mediadata.name",
      // sectionnumber, name, date_aquired, developer, genre, publisher, section name
      {0, 2, 6, 4, 5, 3, 1},
      2,
  };
  dao::Database& db = GameCollection();
  // One read transaction: the rows are read under one lock.
  db.BeginTrans();
  try {
    tvn::FillQueryGrid(grid, db, layout);
  } catch (...) {
    db.Rollback();
    throw;
  }
  db.CommitTrans();
}

void GameListReport() {
  if (tvn::AVQDForm* w = OpenWindow().data()) GameListReport(*w->QDGrid);
}

const tvn::QuickDisplayConfig& PLQDForm::GameQuickDisplay() {
  static const tvn::QuickDisplayConfig config{
      "PLQDForm",
      "Pellion Quick Display",
      {{2, "Name"}, {3, "Publisher"}, {4, "Developer"}, {5, "Genre"}},
      true,
      6,
      6,
      [](forms::FlexGrid& grid) { GameListReport(grid); },
      [](bool open) { PLData().QDOpen = open; },
      [] { return int(PLData().SectionNumber); },
      [] () -> tvn::QuickDisplayHooks& { return GameQuickDisplayHooks(); },
      [](int section, const std::string& name) { return GameExists(section, name); },
  };
  return config;
}

PLQDForm::PLQDForm(QWidget* parent) : AVQDForm(GameQuickDisplay(), parent) {}

PLQDForm* ShowGameQuickDisplay(QWidget* parent) {
  return static_cast<PLQDForm*>(tvn::ShowQuickDisplayIn(OpenWindow(), [parent] { return new PLQDForm(parent); }));
}

PLQDForm* GameQuickDisplayWindow() { return static_cast<PLQDForm*>(OpenWindow().data()); }

void CloseGameQuickDisplay() {
  if (tvn::AVQDForm* w = OpenWindow().data()) w->close();
}

}  // namespace pl
