#include "games/PLQDForm.h"

#include <map>
#include <memory>

#include "core/TavolinModule.h"
#include "games/PLModule.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace pl {

namespace {

QPointer<tvn::AVQDForm>& OpenWindow() {
  static QPointer<tvn::AVQDForm> window;
  return window;
}

dao::DatabasePtr GameCollectionPtr() {
  if (!PL().GameDB || !PL().GameDB->IsOpen())
    throw vb::RuntimeError(91, "Object variable or With block variable not set (no game collection is open)");
  return PL().GameDB;
}

dao::Database& GameCollection() { return *GameCollectionPtr(); }

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

const tvn::QuickListLayout& GameQuickList() {
  static const tvn::QuickListLayout layout{
      {0, 1000, 2500, 1800, 1800, 1800, 1800},
      {"", "Section", "Name", "Publisher", "Developer", "Genre", "Aquired On"},
      "mediadata",
      "FROM (((MediaData LEFT OUTER JOIN Developer ON MediaData.developer = Developer.developer) "
      "LEFT OUTER JOIN Genre ON MediaData.genre = Genre.genre) LEFT OUTER JOIN Publisher ON "
      "MediaData.publisher = Publisher.publisher) LEFT OUTER JOIN sections ON "
      "MediaData.sectionNumber = sections.section",
      "MediaData._rowid_",
      {"MediaData.sectionnumber", "MediaData.name", "MediaData.date_aquired", "Developer.Artist_Name",
       "Genre.Category", "Publisher.LabelStudio_Name", "sections.name"},
      {0, 2, 6, 4, 5, 3, 1},
      2,
      // The consoles in the order of their names (a number without a
      // console first), each console's games by name.
      [](dao::Database& db) {
        auto names = std::make_shared<std::map<double, std::string>>();
        db.ForEachRow("select section, name from sections", [&](const std::vector<vb::Variant>& row) {
          if (vb::IsNumeric(row[0]) && !row[1].isNull()) names->emplace(vb::CDbl(row[0]), vb::CStr(row[1]));
          return true;
        });
        return [names](const vb::Variant& a, const vb::Variant& b) {
          auto nameOf = [&](const vb::Variant& v) -> const std::string* {
            if (!vb::IsNumeric(v)) return nullptr;
            auto it = names->find(vb::CDbl(v));
            return it == names->end() ? nullptr : &it->second;
          };
          const std::string* x = nameOf(a);
          const std::string* y = nameOf(b);
          if (!x || !y) return !x && y;
          return vb::CompareLetters(*x, *y) < 0;
        };
      },
  };
  return layout;
}

void GameListReport(forms::FlexGrid& grid) { tvn::FillQuickList(grid, GameCollectionPtr(), GameQuickList()); }

void GameListReport() {
  if (tvn::AVQDForm* w = OpenWindow().data()) w->RefillList();
}

const tvn::QuickDisplayConfig& PLQDForm::GameQuickDisplay() {
  static const tvn::QuickDisplayConfig config{
      "PLQDForm",
      "Pellion Quick Display",
      {{2, "Name"}, {3, "Publisher"}, {4, "Developer"}, {5, "Genre"}},
      true,
      6,
      6,
      &GameQuickList(),
      [] { return GameCollectionPtr(); },
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
