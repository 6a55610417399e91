// The record-window frame of the two catalogue windows: layout, wiring,
// input behaviour, the date check and the question about typed changes.
#include "core/RecordWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/FieldCaptions.h"
#include "core/TavolinModule.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DateBox.h"
#include "platform/forms/FlexGrid.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

void PlaceRowByName(dao::Recordset& set, const std::string& name, dao::Recordset::BookmarkType mark) {
  set.PlaceRowInOrder(mark, [&name, mark](const dao::Recordset& row) {
    const int c = vb::CompareLetters(vb::NzStr(row.GetField("Name")), name);
    return c < 0 || (c == 0 && row.Bookmark() < mark);
  });
}

// ---------------------------------------------------------------- controls

namespace frame {

QLineEdit* MakeText(QWidget* parent, const char* name, int maxLength) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, int maxLength) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(true);
  if (maxLength > 0) c->lineEdit()->setMaxLength(maxLength);
  c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption) {
  auto* l = new QLabel(QString::fromUtf8(caption), parent);
  if (name) l->setObjectName(name);
  return l;
}

forms::DateBox* MakeDate(QWidget* parent, const char* name) {
  auto* d = new forms::DateBox(parent);
  d->setObjectName(name);
  return d;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(name);
  return b;
}

QAction* AddMenuItem(QMenu* menu, QAction*& action, const char* name, const char* caption,
                     const QKeySequence& key) {
  action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(name);
  if (!key.isEmpty()) action->setShortcut(key);
  return action;
}

}  // namespace frame

namespace {

class FieldInputFilter : public QObject {
 public:
  FieldInputFilter(QWidget* control, unsigned behaviour) : QObject(control), control_(control), behaviour_(behaviour) {}

  bool eventFilter(QObject*, QEvent* event) override {
    // A locked editor takes no keys.
    if (!control_->isEnabled()) return false;
    if (event->type() == QEvent::FocusIn && (behaviour_ & kSelectAll)) {
      SelectAll(control_);
      // A click places the caret after the focus arrives; select once more after it.
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
        QPointer<QWidget> control = control_;
        QTimer::singleShot(0, control_, [control] {
          if (control) SelectAll(control);
        });
      }
    } else if (event->type() == QEvent::KeyPress && (behaviour_ & kComplete)) {
      // The combo itself has the focus; its line edit gets the key only
      // when the list did not complete it.
      const QString text = static_cast<QKeyEvent*>(event)->text();
      if (text.size() != 1) return false;
      std::int16_t key = std::int16_t(text[0].unicode());
      ComboAutoComplete(key, control_);
      return key == 0;
    } else if (event->type() == QEvent::KeyRelease) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      // The key is in the text by now.
      if (behaviour_ & kQuoteOnKeyUp) CheckNoQuote(control_);
      if (behaviour_ & (kQuoteOnKeyUp | kSpellKeys)) SpellAndThesaurusKeys(control_, key);
    }
    return false;
  }

  static void SelectAll(QWidget* control) {
    if (auto* e = qobject_cast<QLineEdit*>(control)) {
      e->selectAll();
    } else if (auto* c = qobject_cast<QComboBox*>(control); c && c->lineEdit()) {
      c->lineEdit()->selectAll();
    } else if (auto* t = qobject_cast<QTextEdit*>(control)) {
      t->selectAll();
    }
  }

 private:
  QWidget* control_;
  unsigned behaviour_;
};

// One grid row's cells and their ticks, as the snapshot keeps it.
std::string GridRowState(const forms::FlexGrid* grid, int row) {
  std::string cells;
  for (int c = 0; c < grid->Cols(); ++c) {
    cells += grid->TextMatrix(row, c).toStdString();
    cells += char(0x1F);
    cells += std::to_string(grid->CellCheckedAt(row, c));
    cells += char(0x1E);
  }
  return cells;
}

QColor FromBgr(std::uint32_t colour) {
  return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

}  // namespace

RecordWindow::RecordWindow(QWidget* parent) : QMainWindow(parent) {
  // While a catalogue is open, other programs may write to its file: no
  // read is held once the window waits for the user again.
  vb::BusyScope::InstallEventLoopHooks([] { dao::DBEngine::ReleaseReads(); });
}

RecordWindow::LongWork::LongWork(RecordWindow& w)
    : w_(w), busy_(std::make_unique<vb::BusyScope>(&w)), was_(w.busy_) {
  w_.busy_ = busy_.get();
}

RecordWindow::LongWork::~LongWork() { w_.busy_ = was_; }

RecordWindow::~RecordWindow() = default;

// ---------------------------------------------------------------- building

void RecordWindow::BuildFileMenu(const QKeySequence& smartComboKey) {
  File_Menu = menuBar()->addMenu("&File");
  File_Menu->setObjectName("File_Menu");
  frame::AddMenuItem(File_Menu, SmartComboMenu, "SmartComboMenu", "Use Smart Combo boxes", smartComboKey);
  SmartComboMenu->setCheckable(true);
  SmartComboMenu->setChecked(true);
  frame::AddMenuItem(File_Menu, menuAutoSpell, "menuAutoSpell", "Do not use auto spell check for any field");
  menuAutoSpell->setCheckable(true);
  File_Menu->addSeparator();
  frame::AddMenuItem(File_Menu, Exit_Menu, "Exit_Menu", "Exit");
}

void RecordWindow::BuildRecordToolbars(int letterBarHeight) {
  Toolbar1 = addToolBar("Record");
  Toolbar1->setObjectName("Toolbar1");
  Toolbar1->setMovable(false);
  Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const char* tips[] = {nullptr,
                        "Add a new record",
                        "Cancel add",
                        "File changes/add",
                        "Delete record",
                        "Move to previous record",
                        "Move to next record",
                        nullptr,
                        "Report Wizard"};
  const char* captions[] = {nullptr, "Add", "Cancel", "File", "Delete", "Previous", "Next", nullptr, "Reports"};
  for (int i = 1; i <= 8; ++i) {
    QAction* a = i == 7 ? Toolbar1->addSeparator() : Toolbar1->addAction(QString::fromUtf8(captions[i]));
    if (i != 7) {
      a->setToolTip(QString::fromUtf8(tips[i]));
      connect(a, &QAction::triggered, this, [this, i] { RunCommand([this, i] { Toolbar1_ButtonClick(i); }); });
    }
    a->setObjectName(QString("Toolbar1_%1").arg(i));
    Toolbar1Buttons[size_t(i)] = a;
  }

  addToolBarBreak();
  Toolbar2 = addToolBar("Letters");
  Toolbar2->setObjectName("Toolbar2");
  Toolbar2->setMovable(false);
  if (letterBarHeight > 0) Toolbar2->setFixedHeight(letterBarHeight);
  forms::BuildLetterBar(Toolbar2, LetterButtons,
                        [this](int index) { RunCommand([this, index] { Toolbar2_ButtonClick(index); }); });
}

void RecordWindow::BuildFrame(int sectionBarMin, int sectionBarMax) {
  auto* central = new QWidget(this);
  auto* outer = new QHBoxLayout(central);
  auto* splitter = new QSplitter(Qt::Horizontal, central);
  outer->addWidget(splitter);

  SSListBar1 = forms::NewSectionBar(splitter, sectionBarMin, sectionBarMax);

  auto* right = new QWidget(splitter);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  auto* listRow = new QHBoxLayout();
  listRow->addWidget(new QLabel("Titles:", right));
  List_Combo = forms::NewTitleList(right);
  listRow->addWidget(List_Combo, 1);
  rightLayout->addLayout(listRow);

  SSTab1 = new QTabWidget(right);
  SSTab1->setObjectName("SSTab1");
  rightLayout->addWidget(SSTab1, 1);

  splitter->addWidget(SSListBar1);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  setCentralWidget(central);
}

QWidget* RecordWindow::BuildMyFieldsTab(int fieldLength) {
  auto* tab = new QWidget();
  auto* form = new QFormLayout(tab);
  for (size_t i = 0; i < fText.size(); ++i) {
    const QString n = QString::number(i + 1);
    fCap[i] = new QLabel("My Field " + n, tab);
    fCap[i]->setObjectName(i == 1 ? QString("F2Cap") : "f" + n + "Cap");
    fText[i] = new QLineEdit(tab);
    fText[i]->setObjectName(i == 1 ? QString("f2text") : "f" + n + "Text");
    fText[i]->setMaxLength(fieldLength);
    form->addRow(fCap[i], fText[i]);
  }
  return tab;
}

QWidget* RecordWindow::BuildPictureTab(QScrollArea** scroll) {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);
  Picture_Box = new QLabel();
  Picture_Box->setObjectName("Picture_Box");
  Picture_Box->setAlignment(Qt::AlignCenter);
  Picture_Box->setMinimumSize(200, 150);
  if (scroll) {
    *scroll = new QScrollArea(tab);
    (*scroll)->setObjectName("SSScroll1");
    (*scroll)->setWidgetResizable(true);
    (*scroll)->setWidget(Picture_Box);
    layout->addWidget(*scroll, 1);
  } else {
    Picture_Box->setParent(tab);
    Picture_Box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    layout->addWidget(Picture_Box, 1);
  }
  auto* buttons = new QHBoxLayout();
  Add_Picture = frame::MakeButton(tab, "Add_Picture", "Add/Change Picture");
  Delete_Picture = frame::MakeButton(tab, "Delete_Picture", "Delete Picture");
  buttons->addWidget(Add_Picture);
  buttons->addWidget(Delete_Picture);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  return tab;
}

void RecordWindow::ConnectFrame() {
  connect(SSListBar1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
    const std::string caption = item->text(0).toStdString();
    RunCommand([this, &caption] { SSListBar1_ItemClick(caption); });
  });
  connect(List_Combo, &QComboBox::activated, this, [this](int) { RunCommand([this] { List_Combo_Click(); }); });
  connect(Add_Picture, &QPushButton::clicked, this, [this] { RunCommand([this] { Add_Picture_Click(); }); });
  connect(Delete_Picture, &QPushButton::clicked, this, [this] { RunCommand([this] { Delete_Picture_Click(); }); });
  const std::array<void (RecordWindow::*)(), 10> captionHandlers = {
      &RecordWindow::f1Cap_DblClick, &RecordWindow::F2Cap_DblClick, &RecordWindow::f3Cap_DblClick,
      &RecordWindow::f4Cap_DblClick, &RecordWindow::f5Cap_DblClick, &RecordWindow::f6Cap_DblClick,
      &RecordWindow::f7Cap_DblClick, &RecordWindow::f8Cap_DblClick, &RecordWindow::f9Cap_DblClick,
      &RecordWindow::f10Cap_DblClick};
  for (size_t i = 0; i < captionHandlers.size(); ++i) {
    const auto handler = captionHandlers[i];
    OnCaptionDoubleClick(fCap[i], [this, handler] { (this->*handler)(); });
  }
}

void RecordWindow::EnableFrame(bool on, std::initializer_list<QMenu*> menus) {
  SSListBar1->setEnabled(on);
  List_Combo->setEnabled(on);
  Toolbar2->setEnabled(on);
  Toolbar1Buttons[8]->setVisible(on);
  for (QMenu* menu : menus) {
    menu->setEnabled(on);
    menu->menuAction()->setEnabled(on);
  }
  update();
}

void RecordWindow::ShowWithoutCollection(bool without, std::initializer_list<QMenu*> menus, QAction* keep) {
  EnableFrame(!without, {});
  Toolbar1->setEnabled(!without);
  SSTab1->setEnabled(!without);
  for (QMenu* menu : menus)
    for (QAction* action : menu->actions())
      if (action != keep) action->setEnabled(!without);
}

// ---------------------------------------------------------------- input

void RecordWindow::GiveInput(QWidget* control, unsigned behaviour) {
  control->installEventFilter(new FieldInputFilter(control, behaviour));
  if (behaviour & kComplete) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) AttachComboAutoComplete(combo);
  }
}

void RecordWindow::BringControlForward(QWidget* control) {
  // From the outermost tab control inwards, so each page is shown in turn.
  std::vector<std::pair<QTabWidget*, QWidget*>> pages;
  for (QWidget* w = control; w && w != this; w = w->parentWidget()) {
    QWidget* stack = w->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs && tabs->indexOf(w) >= 0) pages.emplace_back(tabs, w);
  }
  for (auto it = pages.rbegin(); it != pages.rend(); ++it) it->first->setCurrentWidget(it->second);
}

bool RecordWindow::CheckDateToFile(forms::DateBox* box) {
  if (!box || box->Fileable()) return true;
  BringControlForward(box);
  return CheckFileableDate(box);
}

std::string RecordWindow::FiledTitleLetter(const std::string& name) { return forms::TitleLetter(vb::Trim(name)); }

void RecordWindow::ShowMovedTitleLetters(const std::string& emptied, const std::string& joined) {
  if (forms::IsBarLetter(emptied)) {
    const int first = forms::LetterButtonNumber(emptied);
    for (int i = 0; i < 3; ++i) LetterButtons[size_t(first + i)]->setVisible(i == 2);
  }
  forms::ShowLetterWithTitles(LetterButtons, forms::LetterButtonNumber(joined));
}

// ---------------------------------------------------------------- user field captions

void RecordWindow::RenameCaption(int field) {
  if (field < 1 || field > int(fCap.size())) return;
  RenameFieldCaption(CaptionRecordset(), "f" + std::to_string(field), fCap[size_t(field - 1)]);
}

void RecordWindow::f1Cap_DblClick() { RenameCaption(1); }
void RecordWindow::F2Cap_DblClick() { RenameCaption(2); }
void RecordWindow::f3Cap_DblClick() { RenameCaption(3); }
void RecordWindow::f4Cap_DblClick() { RenameCaption(4); }
void RecordWindow::f5Cap_DblClick() { RenameCaption(5); }
void RecordWindow::f6Cap_DblClick() { RenameCaption(6); }
void RecordWindow::f7Cap_DblClick() { RenameCaption(7); }
void RecordWindow::f8Cap_DblClick() { RenameCaption(8); }
void RecordWindow::f9Cap_DblClick() { RenameCaption(9); }
void RecordWindow::f10Cap_DblClick() { RenameCaption(10); }

// ---------------------------------------------------------------- text helpers

std::string RecordWindow::TextOf(const QWidget* control) { return forms::ControlText(control).toStdString(); }

void RecordWindow::SetTextOf(QWidget* control, const std::string& text) {
  const QString q = QString::fromStdString(text);
  if (auto* c = qobject_cast<QComboBox*>(control); c && !c->isEditable()) {
    c->setCurrentIndex(c->findText(q, Qt::MatchExactly | Qt::MatchCaseSensitive));
    return;
  }
  forms::SetControlText(control, q);
}

std::uint32_t RecordWindow::BackColourOf(const QWidget* control) {
  const QColor c = control->palette().color(QPalette::Base);
  return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) | (std::uint32_t(c.blue()) << 16);
}

void RecordWindow::SetBackColourOf(QWidget* control, std::uint32_t colour) {
  QPalette p = control->palette();
  p.setColor(QPalette::Base, FromBgr(colour));
  control->setPalette(p);
}

// ---------------------------------------------------------------- typed changes

RecordWindow::FieldParts RecordWindow::FieldState(const QWidget* w) {
  if (const auto* grid = qobject_cast<const forms::FlexGrid*>(w)) {
    // Each row's cells and their ticks; where the grid stands is no change.
    FieldParts rows;
    for (int r = grid->FixedRows(); r < grid->Rows(); ++r) rows.push_back(GridRowState(grid, r));
    return rows;
  }
  // An empty date box over a stored value it could not show differs from
  // one the user cleared: Clear Date is a change to file.
  if (const auto* date = qobject_cast<const forms::DateBox*>(w); date && date->HidesStoredValue())
    return {TextOf(w) + char(0x1F) + "hidden"};
  return {TextOf(w)};
}

std::vector<RecordWindow::FieldParts> RecordWindow::Snapshot() const {
  std::vector<FieldParts> out;
  for (const QWidget* w : RecordFields())
    if (w) out.push_back(FieldState(w));
  return out;
}

const RecordWindow::FieldParts* RecordWindow::ShownState(const QWidget* control) const {
  for (size_t i = 0; i < snapshotFields_.size() && i < snapshot_.size(); ++i)
    if (snapshotFields_[i] == control) return &snapshot_[i];
  return nullptr;
}

bool RecordWindow::FieldTouched(const QWidget* control) const {
  const FieldParts* shown = ShownState(control);
  return !shown || FieldState(control) != *shown;
}

bool RecordWindow::GridRowTouched(const forms::FlexGrid* grid, int row) const {
  const FieldParts* shown = ShownState(grid);
  const int part = row - grid->FixedRows();
  if (!shown || part < 0 || size_t(part) >= shown->size() || row >= grid->Rows()) return true;
  return GridRowState(grid, row) != (*shown)[size_t(part)];
}

std::vector<std::string> RecordWindow::MergeTypedList(const std::vector<std::string>& shown,
                                                      const std::vector<bool>& touched,
                                                      const std::vector<std::string>& storedNow) {
  const size_t n = shown.size();
  auto typed = [&](size_t i) { return i >= touched.size() || touched[i] || i >= storedNow.size(); };
  std::vector<std::string> merged;
  for (size_t i = 0; i < n; ++i) merged.push_back(typed(i) ? shown[i] : storedNow[i]);
  // The editor files a list without gaps. A gap the user made (a value
  // emptied, or one typed after an empty place) is closed up; a gap another
  // program left between values the user did not touch stays where it is.
  auto empty = [&](size_t i) { return vb::Trim(merged[i]).empty(); };
  bool closeUp = false;
  for (size_t i = 0; i < n && !closeUp; ++i) {
    if (!empty(i)) continue;
    for (size_t j = i + 1; j < n && !closeUp; ++j) closeUp = !empty(j) && (typed(i) || typed(j));
  }
  if (closeUp) {
    std::vector<std::string> closed;
    for (size_t i = 0; i < n; ++i)
      if (!empty(i)) closed.push_back(merged[i]);
    closed.resize(n);
    merged = std::move(closed);
  }
  return merged;
}

void RecordWindow::TakeRecordSnapshot() {
  snapshot_ = Snapshot();
  snapshotFields_.clear();
  for (const QWidget* w : RecordFields())
    if (w) snapshotFields_.push_back(w);
}

bool RecordWindow::RecordChanged() const { return !snapshot_.empty() && Snapshot() != snapshot_; }

void RecordWindow::AboutToClearRecord() {
  if (leaving_ || !RecordChanged()) return;
  if (!ConfirmLeaveRecord()) throw vb::Cancelled();
}

void RecordWindow::closeEvent(QCloseEvent* event) {
  if (!QueryUnload()) {
    event->ignore();
    return;
  }
  if (!unloaded_) UnloadWindow();
  event->accept();
}

bool RecordWindow::ConfirmLeaveRecord(bool answerNextLoadToo) {
  if (keepRecord_) {
    keepRecord_ = false;
    return false;
  }
  if (leaving_ || !RecordChanged()) return true;
  const std::string name = vb::Trim(RecordNameShown());
  const std::string prompt = AddingNewRecord()
                                 ? (name.empty() ? std::string("Save the new record?")
                                                 : "Save the new record \"" + name + "\"?")
                                 : "Save the changes to \"" + name + "\"?";
  int answer = 0;
  {
    LeaveScope leaving(*this);
    answer = vb::MsgBox(prompt, vb::vbYesNoCancel + vb::vbQuestion, "Unsaved Changes");
  }
  if (answer == vb::vbYes) {
    bool filed = false;
    {
      LeaveScope leaving(*this);
      filed = FileShownRecord();
    }
    if (filed) {
      TakeRecordSnapshot();
      return true;
    }
  } else if (answer == vb::vbNo) {
    TakeRecordSnapshot();
    return true;
  }
  if (answerNextLoadToo) {
    keepRecord_ = true;
    QTimer::singleShot(0, this, [this] { keepRecord_ = false; });
  }
  return false;
}

// ---------------------------------------------------------------- another program

void RecordWindow::KeepStoredRow(const dao::Recordset& row) {
  ForgetStoredRow();
  storedKey_ = row.Bookmark();
  storedName_ = vb::NzStr(row.GetField("Name"));
  storedSection_ = vb::NzStr(row.GetField("SectionNumber"));
  for (const std::string& column : FiledColumns())
    storedValues_.push_back(row.HasField(column) ? row.GetField(column) : vb::Variant::Null());
  storedKept_ = true;
}

void RecordWindow::ForgetStoredRow() {
  storedKept_ = false;
  storedKey_ = 0;
  storedName_.clear();
  storedSection_.clear();
  storedValues_.clear();
}

std::vector<vb::Variant> RecordWindow::ReadStoredRow(bool& found, std::string& name, std::string& section) const {
  std::vector<vb::Variant> values;
  dao::RecordsetPtr row =
      RecordDatabase().OpenRecordset("select * from mediadata where _rowid_ = " + std::to_string(storedKey_));
  found = !row->Eof();
  if (found) {
    name = vb::NzStr(row->GetField("Name"));
    section = vb::NzStr(row->GetField("SectionNumber"));
  }
  if (found)
    for (const std::string& column : FiledColumns())
      values.push_back(row->HasField(column) ? row->GetField(column) : vb::Variant::Null());
  row->Close();
  return values;
}

bool RecordWindow::StepOverGoneRow(const dao::RecordsetPtr& set, const std::string& from, int direction) {
  if (!set || !set->IsOpen() || set->Eof() || set->BOF()) return false;
  try {
    set->GetField(0);
    return false;
  } catch (const vb::RuntimeError& e) {
    if (e.Number() != dao::errRecordDeleted) throw;
  }
  LeaveScope gone(*this);
  MoveOnFromGoneRecord(from, direction);
  return true;
}

bool RecordWindow::ConfirmStoredRecord() {
  if (AddingNewRecord() || !storedKept_) return true;
  bool found = false;
  std::string nameNow, sectionNow;
  const std::vector<vb::Variant> now = ReadStoredRow(found, nameNow, sectionNow);
  const std::string name = storedName_;
  const std::string file = RecordDatabase().Name();
  const bool moved = sectionNow != storedSection_;
  // A row under the key whose name and section both differ is another
  // record (the one shown was removed and its key given to a new row): the
  // typing never goes into a row the user was not shown.
  if (!found || (moved && nameNow != name)) {
    const int answer =
        vb::MsgBox("\"" + name + "\" was removed from the collection \"" + file +
                       "\" by another program.\n\nFile what is on screen as a new record?",
                   vb::vbYesNo + vb::vbExclamation, "Record Removed");
    if (answer == vb::vbYes) {
      BeginFilingAsNew();
      ForgetStoredRow();
      return true;
    }
    LeaveScope dropped(*this);
    MoveOnFromGoneRecord(name, 1);
    return false;
  }
  if (now == storedValues_) return true;
  const int answer = vb::MsgBox(
      "\"" + name + "\" was changed in the collection \"" + file +
          "\" by another program since it was shown.\n\n"
          "Yes: file your changes; the fields you did not change keep what is stored now.\n"
          "No: show the record as it is stored now; your changes are dropped.\n"
          "Cancel: go back to your changes.",
      vb::vbYesNoCancel + vb::vbExclamation, "Record Changed");
  if (answer == vb::vbYes) return true;
  if (answer == vb::vbNo) {
    LeaveScope dropped(*this);
    // Moved to another section: the section is read again and the record
    // after it shown. Renamed: the titles are read again as well.
    if (moved)
      MoveOnFromGoneRecord(name, 1);
    else if (nameNow == name)
      ShowStoredRecord(name);
    else
      MoveOnFromGoneRecord(nameNow, 0);
  }
  return false;
}

void RecordWindow::RunCommand(const std::function<void()>& command) {
  bool gone = false;
  vb::Guarded([&] {
    try {
      command();
    } catch (const vb::RuntimeError& e) {
      if (e.Number() != dao::errRecordDeleted) throw;
      gone = true;
    }
  });
  if (gone) vb::Guarded([this] { TellRecordGone(StoredNameShown()); });
}

void RecordWindow::TellRecordGone(const std::string& name) {
  const std::string which = name.empty() ? std::string("A record") : "\"" + name + "\"";
  vb::MsgBox(which + " was removed from the collection \"" + RecordDatabase().Name() + "\" by another program.",
             vb::vbOKOnly + vb::vbInformation, "Record Removed");
  LeaveScope gone(*this);
  MoveOnFromGoneRecord(name, 1);
}

}  // namespace tvn
