#include "games/PLLookupEditors.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "games/PLModule.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"

namespace pl {

namespace {

dao::Database& GameCollection() {
  if (!PL().GameDB || !PL().GameDB->IsOpen())
    throw vb::RuntimeError(91, "Object variable or With block variable not set (no game collection is open)");
  return *PL().GameDB;
}

// The console flags in the order of the boxes, with the boxes' captions.
std::vector<std::pair<std::string, std::string>> ConsoleFlags() {
  return {{"GBOn", "Game Boy"}, {"NTOn", "Nintendo"},   {"PSOn", "Sony"},
          {"SegaOn", "Sega"},   {"XOn", "Microsoft"}, {"OtherOn", "Other"}};
}

struct ListInfo {
  const char* formName;
  const char* caption;
  const char* table;
  const char* index;
  const char* nameField;
  const char* keyField;
  bool consoles;
  const char* label;
  const char* deleteStatement;
};

const ListInfo& Info(GameList list) {
  static const ListInfo lists[] = {
      {"SysTypeForm", "System Type Manager", "systype", "systype", "systype", "systypeid", false, "System Type",
       "delete * from systypemedia where systypeid = "},
      {"PublisherForm", "Publisher Manager", "publisher", "name", "labelstudio_name", "publisher", true, "Publisher",
       "UPDATE mediadata set publisher = '0' where publisher = "},
      {"GenreForm", "Genre Manager", "genre", "name", "category", "genre", true, "Genre",
       "UPDATE mediadata set genre = '0' where genre = "},
      {"DeveloperForm", "Developer Manager", "developer", "name", "artist_name", "developer", true, "Developer",
       "UPDATE mediadata set developer = '0' where developer = "},
      {"SupportsForm", "Supports Manager", "supports", "name", "Name", "supports", false, "Support",
       "delete * from supportsmedia where supports = "},
  };
  return lists[int(list)];
}

}  // namespace

tvn::LookupEditorForm::Design PLLookupEditor::DesignOf(GameList list) {
  const ListInfo& i = Info(list);
  Design d{i.formName, i.caption, i.table, i.index, i.nameField, 1, {}};
  d.flags = i.consoles ? ConsoleFlags() : std::vector<std::pair<std::string, std::string>>{};
  d.boxes = "UseWith";
  d.database = [] () -> dao::Database& { return GameCollection(); };
  d.keyField = i.keyField;
  d.deleteStatement = i.deleteStatement;
  // The game quick display is filled once per opening.
  d.recordsChanged = [] {};
  return d;
}

PLLookupEditor::PLLookupEditor(GameList list, QWidget* parent) : LookupEditorForm(DesignOf(list), parent) {
  auto* area = new QWidget(this);
  auto* form = new QFormLayout(area);
  Category_Text = new QLineEdit(area);
  Category_Text->setObjectName(QStringLiteral("Category_Text"));
  TableLabel = new QLabel(QString::fromLatin1(Info(list).label), area);
  TableLabel->setObjectName(QStringLiteral("Label1"));
  form->addRow(TableLabel, Category_Text);
  SetFieldArea(area);
}

void PLLookupEditor::ShowFields(dao::Recordset& rs) {
  Category_Text->setText(QString::fromStdString(vb::NzStr(rs.GetField(design().nameField))));
}

void PLLookupEditor::WriteFields(dao::Recordset& rs) {
  rs.SetField(design().nameField, vb::Variant(Category_Text->text().toStdString()));
}

void ShowGameLookupEditor(GameList list, QWidget* parent) {
  switch (list) {
    case GameList::SysType: {
      SysTypeForm f(parent);
      tvn::ShowLookupEditor(f);
      break;
    }
    case GameList::Publisher: {
      PublisherForm f(parent);
      tvn::ShowLookupEditor(f);
      break;
    }
    case GameList::Genre: {
      GenreForm f(parent);
      tvn::ShowLookupEditor(f);
      break;
    }
    case GameList::Developer: {
      DeveloperForm f(parent);
      tvn::ShowLookupEditor(f);
      break;
    }
    case GameList::Supports: {
      SupportsForm f(parent);
      tvn::ShowLookupEditor(f);
      break;
    }
  }
}

}  // namespace pl
