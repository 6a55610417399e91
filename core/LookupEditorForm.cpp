#include "core/LookupEditorForm.h"

#include "platform/runtime/Busy.h"

#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/dao/RowBatches.h"
#include "platform/forms/Controls.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/TextFold.h"

namespace tvn {

namespace {


struct ToolbarEntry {
  const char* text;
  const char* tip;
};
constexpr ToolbarEntry kToolbar[6] = {
    {"Add", "Add new category"},        {"Cancel", "Cancel add"},
    {"File", "File category add/update"}, {"Delete", "Delete Category"},
    {"Previous", "Previous category"},  {"Next", "Next category"},
};

}  // namespace

void SetBackColour(QWidget* box, std::uint32_t bgr) {
  if (!box) return;
  const QColor colour(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
  QPalette p = box->palette();
  p.setColor(QPalette::Base, colour);
  p.setColor(QPalette::Window, colour);
  box->setPalette(p);
}

std::uint32_t BackColour(const QWidget* box) {
  const QColor c = box->palette().color(QPalette::Base);
  return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

std::vector<std::pair<std::string, std::string>> LookupEditorForm::MediaFlags() {
  return {{"cas", "Cassettes"}, {"cd", "Compact/Mini Discs"}, {"DVD", "Video Discs"},
          {"lp", "LPs"},        {"VT", "Video Tapes"},        {"scd", "Software CDs"}};
}

LookupEditorForm::LookupEditorForm(Design design, QWidget* parent) : QDialog(parent), design_(std::move(design)) {
  setObjectName(QString::fromLatin1(design_.formName));
  setWindowTitle(QString::fromLatin1(design_.caption));
  setModal(true);

  layout_ = new QVBoxLayout(this);

  Toolbar1 = new QToolBar(this);
  Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (int i = 1; i <= 6; ++i) {
    QAction* a = Toolbar1->addAction(QString::fromLatin1(kToolbar[i - 1].text));
    a->setToolTip(QString::fromLatin1(kToolbar[i - 1].tip));
    a->setObjectName(QStringLiteral("Toolbar1_%1").arg(i));
    Toolbar1Buttons[size_t(i)] = a;
    connect(a, &QAction::triggered, this, [this, i] { vb::Guarded([&] { Toolbar1_ButtonClick(i); }); });
  }
  layout_->addWidget(Toolbar1);

  auto* chooserRow = new QHBoxLayout;
  Select_Item_Combo = new QComboBox(this);
  Select_Item_Combo->setObjectName(QStringLiteral("Select_Item_Combo"));
  Select_Item_Combo->setEditable(false);
  Select_Item_Combo->setMinimumWidth(260);
  connect(Select_Item_Combo, &QComboBox::activated, this,
          [this](int) { RunGuarded(&LookupEditorForm::Select_Item_Combo_Click); });
  chooserRow->addWidget(Select_Item_Combo, 1);
  layout_->addLayout(chooserRow);

  fieldAreaPos_ = layout_->count();

  // A list without section flags has no "Use With" frame.
  UseWithFrame = new QGroupBox(QStringLiteral("Use With"), this);
  UseWithFrame->setObjectName(QStringLiteral("UseWithFrame"));
  auto* boxes = new QGridLayout(UseWithFrame);
  for (int i = 0; i < int(design_.flags.size()); ++i) {
    auto* box = new QCheckBox(QString::fromStdString(design_.flags[size_t(i)].second), UseWithFrame);
    box->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(design_.boxes)).arg(design_.firstBox + i));
    Artist_UseWith.push_back(box);
    boxes->addWidget(box, i / 3, i % 3);
  }
  layout_->addWidget(UseWithFrame);
  UseWithFrame->setVisible(!design_.flags.empty());

  auto* closeRow = new QHBoxLayout;
  closeRow->addStretch(1);
  Close_Category = new QPushButton(QStringLiteral(" Close "), this);
  Close_Category->setObjectName(QStringLiteral("Close_Category"));
  Close_Category->setAutoDefault(false);
  connect(Close_Category, &QPushButton::clicked, this, [this] { Close_Category_Click(); });
  closeRow->addWidget(Close_Category);
  layout_->addLayout(closeRow);
}

LookupEditorForm::~LookupEditorForm() = default;

void LookupEditorForm::SetFieldArea(QWidget* area) {
  layout_->insertWidget(fieldAreaPos_, area, 1);
  if (QLineEdit* name = NameBox()) {
    connect(name, &QLineEdit::textEdited, this, [this] { RunGuarded(&LookupEditorForm::NameBox_KeyUp); });
  }
}

void LookupEditorForm::RunGuarded(void (LookupEditorForm::*handler)()) {
  vb::Guarded([&] { (this->*handler)(); });
}

dao::Database& LookupEditorForm::Collection() const {
  if (design_.database) return design_.database();
  if (!App().CollectionDB || !App().CollectionDB->IsOpen())
    throw vb::RuntimeError(91, "Object variable or With block variable not set (no collection is open)");
  return *App().CollectionDB;
}

void ShowLookupEditor(LookupEditorForm& editor) {
  if (!vb::Guarded([&] { editor.Form_Load(); })) return;
  editor.exec();
}

// ---- events

void LookupEditorForm::Form_Load() {
  EntryTable = Collection().OpenRecordset(design_.table);
  EntryTable->SetIndex(design_.index);
  // The name box takes no more than the name field holds.
  if (const int width = TextFieldWidth(*EntryTable, design_.nameField); width > 0) NameBox()->setMaxLength(width);
  if (EntryTable->RecordCount() < 1) {
    EnterEmptyState();
  } else {
    emptyState_ = false;
    SetEntryFieldsState(kEnabledColour, true);
    // The first entry of the chooser's letter order is the one shown.
    RefillChooser();
    ShowChosen(0);
    ToolbarBrowseMode(Toolbar1);
  }
  StateChanged();
}

void LookupEditorForm::EnterEmptyState() {
  emptyState_ = true;
  ClearEntry();
  ToolbarEmptyMode(Toolbar1);
  Select_Item_Combo->clear();
  chosenRows_.clear();
  SetEntryFieldsState(kDisabledColour, false);
}

void LookupEditorForm::RefillChooser() {
  dao::Recordset& rs = *EntryTable;
  std::vector<std::string> names;
  std::vector<dao::Recordset::BookmarkType> rows;
  if (rs.RecordCount() > 0) {
    rs.MoveFirst();
    while (!rs.Eof()) {
      names.push_back(vb::NzStr(rs.GetField(design_.nameField)));
      rows.push_back(rs.Bookmark());
      rs.MoveNext();
    }
  }
  // The table's index orders by code, which puts "Édith" after "Zappa";
  // the chooser reads in the letter order of the title list.
  const std::vector<std::uint32_t> order =
      vb::LetterOrder(names.size(), [&names](size_t i) { return std::string_view(names[i]); });
  QStringList items;
  items.reserve(qsizetype(order.size()));
  chosenRows_.clear();
  chosenRows_.reserve(order.size());
  for (std::uint32_t i : order) {
    items << QString::fromStdString(names[i]);
    chosenRows_.push_back(rows[i]);
  }
  Select_Item_Combo->clear();
  Select_Item_Combo->addItems(items);
}

void LookupEditorForm::ShowChosen(int place) {
  if (chosenRows_.empty()) return;
  place = std::clamp(place, 0, int(chosenRows_.size()) - 1);
  EntryTable->SetBookmark(chosenRows_[size_t(place)]);
  ShowEntry();
}

int LookupEditorForm::PlaceOf(dao::Recordset::BookmarkType row) const {
  const auto at = std::find(chosenRows_.begin(), chosenRows_.end(), row);
  return at == chosenRows_.end() ? -1 : int(at - chosenRows_.begin());
}

int LookupEditorForm::CurrentPlace() const {
  const dao::Recordset& rs = *EntryTable;
  if (rs.Eof() || rs.BOF()) return -1;
  return PlaceOf(rs.Bookmark());
}

void LookupEditorForm::Select_Item_Combo_Click() {
  if (!EntryTable || Select_Item_Combo->count() == 0) return;
  const int place = Select_Item_Combo->currentIndex();
  if (place < 0 || size_t(place) >= chosenRows_.size()) return;
  // The entry is found by its row, not its name: an entry without a name,
  // or two names that differ only in accents, show what was picked.
  ShowChosen(place);
}

void LookupEditorForm::Close_Category_Click() { close(); }

void LookupEditorForm::NameBox_KeyUp() {
  if (QLineEdit* name = NameBox()) CheckNoQuote(name);
}

void LookupEditorForm::Toolbar1_ButtonClick(int index) {
  if (!EntryTable) return;
  dao::Recordset& rs = *EntryTable;
  switch (index) {
    case btnAdd:
      AddingEntry = true;
      ToolbarAddMode(Toolbar1);
      if (rs.RecordCount() == 0) SetEntryFieldsState(kEnabledColour, true);
      ClearEntry();
      // The table keeps its position: Cancel add shows that entry again.
      break;

    case btnCancelAdd:
      AddingEntry = false;
      if (rs.RecordCount() < 1) {
        emptyState_ = true;
        ToolbarEmptyMode(Toolbar1);
        SetEntryFieldsState(kDisabledColour, false);
      } else {
        ToolbarBrowseMode(Toolbar1);
      }
      if (rs.RecordCount() > 0) ShowEntry();
      else ClearEntry();
      break;

    case btnFile: {
      if (!SaveEntry()) return;
      emptyState_ = false;
      ToolbarBrowseMode(Toolbar1);
      // The filed entry stays on show, and the chooser names it.
      const dao::Recordset::BookmarkType filed = rs.Bookmark();
      RefillChooser();
      ShowChosen(std::max(0, PlaceOf(filed)));
      break;
    }

    case btnDelete: {
      if (vb::MsgBox("Delete the diplayed record??", vb::vbYesNo, "Delete Warning") != vb::vbYes) return;
      dao::Database& db = Collection();
      const std::string old = ShownName;
      ChangeRecords(db, [&] {
        if (design_.keyField) {
          // No record may keep the key of an entry that is gone.
          const std::int64_t key = std::int64_t(vb::CDbl(rs.GetField(design_.keyField)));
          db.Execute(design_.deleteStatement + std::to_string(key));
          rs.Delete();
        } else {
          rs.Delete();
          // Records still named by an equal entry keep their name.
          if (!NameTaken(old)) CarryIntoRecords(db, old, "");
        }
      });
      RefillQuickDisplay();
      if (rs.RecordCount() < 1) {
        EnterEmptyState();
      } else {
        ToolbarBrowseMode(Toolbar1);
        RefillChooser();
        ShowChosen(0);
      }
      break;
    }

    // Paging follows the chooser's order; the first and last entries stay.
    case btnPrevious:
      ShowChosen(std::max(0, CurrentPlace() - 1));
      break;

    case btnNext:
      ShowChosen(CurrentPlace() + 1);
      break;

    default:
      return;
  }
  StateChanged();
}

// ---- routines

void LookupEditorForm::ClearEntry() {
  for (QCheckBox* box : Artist_UseWith) box->setCheckState(Qt::Unchecked);
  for (QWidget* w : TextBoxes()) forms::SetControlText(w, QString());
  ShownName.clear();
}

void LookupEditorForm::SetEntryFieldsState(std::uint32_t colour, bool enabled) {
  for (QWidget* w : StateBoxes()) {
    SetBackColour(w, colour);
    w->setEnabled(enabled);
  }
}

void LookupEditorForm::ShowEntry() {
  dao::Recordset& rs = *EntryTable;
  ClearEntry();
  LoadUseWithBoxes(design_.firstBox, this, rs, FlagFields(), design_.boxes);
  ShowFields(rs);
  ShowExtras(rs);
  ShownName = NameBox()->text().toStdString();
  // The chooser names the entry on show.
  if (const int place = CurrentPlace(); place >= 0) Select_Item_Combo->setCurrentIndex(place);
}

bool LookupEditorForm::NameTaken(const std::string& name) {
  const std::string wanted = vb::UCase(name);
  dao::RecordsetPtr names =
      Collection().OpenRecordset(std::string("select ") + design_.nameField + " from " + design_.table);
  bool taken = false;
  while (!names->Eof() && !taken) {
    taken = vb::UCase(vb::NzStr(names->GetField(design_.nameField))) == wanted;
    names->MoveNext();
  }
  names->Close();
  return taken;
}

bool LookupEditorForm::SaveEntry() {
  dao::Database& db = Collection();
  dao::Recordset& rs = *EntryTable;
  const std::string oldName = ShownName;
  const std::string newName = NameBox()->text().toStdString();
  // A blank name would name nothing and, carried into the records, blank
  // every record of the entry.
  if (vb::Trim(newName).empty()) {
    vb::MsgBox("Please enter a name; the entry was not filed.", vb::vbOKOnly + vb::vbExclamation);
    return false;
  }
  const bool sameEntry = !AddingEntry && vb::UCase(newName) == vb::UCase(oldName);
  if (!sameEntry && NameTaken(newName)) {
    vb::MsgBox("The name \"" + newName + "\" is in the list already; the entry was not filed.",
               vb::vbOKOnly + vb::vbExclamation);
    return false;
  }
  ChangeRecords(
      db,
      [&] {
        SaveUseWithBoxes(design_.firstBox, this, rs, AddingEntry, FlagFields(), design_.boxes);
        WriteFields(rs);
        rs.Update();
        // An entry without a name names no record: carrying "" into the
        // records would give every record without an entry this name.
        if (!AddingEntry && !oldName.empty()) CarryIntoRecords(db, oldName, newName);
      },
      [&] {
        if (rs.EditMode() != dao::dbEditNone) rs.CancelUpdate();
      });
  const bool renamed = !AddingEntry && !oldName.empty() && oldName != newName;
  AddingEntry = false;
  if (renamed) RefillQuickDisplay();
  rs.Seek("=", vb::Variant(newName));
  if (rs.NoMatch()) rs.MoveFirst();
  ShowEntry();
  return true;
}

std::vector<std::string> LookupEditorForm::FlagFields() const {
  std::vector<std::string> fields;
  for (const auto& flag : design_.flags) fields.push_back(flag.first);
  return fields;
}

void LookupEditorForm::RefillQuickDisplay() {
  if (design_.recordsChanged) {
    design_.recordsChanged();
    return;
  }
  // The records' names changed under an open quick display.
  if (AVData()->QDOpen()) FillQuickDisplayGrid();
}

void LookupEditorForm::ChangeRecords(dao::Database& db, const std::function<void()>& work,
                                     const std::function<void()>& undo) {
  // Changes carried into every record may take a while on a large
  // collection: hourglass, windows painted between the statements, and no
  // click kept for afterwards.
  vb::BusyScope busy(this);
  busy_ = &busy;
  struct Forget {
    vb::BusyScope*& b;
    ~Forget() { b = nullptr; }
  } forget{busy_};
  db.BeginTrans();
  try {
    work();
    // Writing a million records' changes into the file is one step of the
    // engine that took about a second: it runs aside while the windows are
    // painted.
    db.CommitTransAside([&busy](const std::function<void()>& write) { vb::RunAside(write, [&busy] { busy.Tick(); }); });
  } catch (...) {
    if (undo) undo();
    db.Rollback();
    throw;
  }
}

void LookupEditorForm::CarryIntoRecords(dao::Database& db, const std::string& oldName, const std::string& newName) {
  if (oldName.empty()) return;
  if (design_.cascade) {
    design_.cascade(db, oldName, newName);
    return;
  }
  const std::string from = dao::SqlEscape(oldName);
  const std::string to = dao::SqlEscape(newName);
  // A popular name is held by a good share of a large collection: the
  // records change a batch at a time, the windows painted in between.
  const std::function<void()> tick = [this] {
    if (busy_) busy_->Tick();
  };
  for (const std::string& column : design_.columns)
    dao::UpdateMatchingInBatches(db, "mediadata", {column + " = '" + to + "'", column + " = '" + from + "'"}, tick);
}

}  // namespace tvn
