#pragma once
// The frame both catalogue windows are built on: the section bar on the
// left, the record toolbar and the letter bar above, the title list and
// the record editor's tabs on the right, the user fields and the picture
// tab. It also gives the editor's fields their input behaviour (whole text
// selected on entry, double quotes refused, completion from the list while
// the window's "Use Smart Combo boxes" is checked, F7 and F8), checks a
// date before it is filed with the box on screen, and asks before typed
// changes to the record on show are left behind.
//
// Each window says what is its own: its sections, its fields and tabs, its
// caption table, how it files the record on show; the names of controls
// and handlers stay the ones each window is known by.
#include <QMainWindow>
#include <QKeySequence>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/TextFold.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolBar;
class QTreeWidget;

namespace forms {
class DateBox;
class FlexGrid;
}  // namespace forms

namespace tvn {

// Controls made the way both windows make them, named for the tests and
// the shared routines that find them by name.
namespace frame {
QLineEdit* MakeText(QWidget* parent, const char* name, int maxLength = 0);
// An editable combo that adds nothing to its list by itself; maxLength
// above 0 is the most characters its text takes.
QComboBox* MakeCombo(QWidget* parent, const char* name, int maxLength = 0);
QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption);
forms::DateBox* MakeDate(QWidget* parent, const char* name);
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption);
// A menu entry with its name (and shortcut).
QAction* AddMenuItem(QMenu* menu, QAction*& action, const char* name, const char* caption,
                     const QKeySequence& key = QKeySequence());
}  // namespace frame

// How many titles of a section's rows each letter of the letter bar has.
using LetterCounts = std::array<int, 26>;

// A title row a window keeps of its section's set: the name, its letter on
// the letter bar and the row's bookmark; windows keep more of a row by
// deriving from it.
struct TitleKey {
  std::string name;
  std::string letter;
  dao::Recordset::BookmarkType mark = 0;
};

// After a record was filed: its row (found by its mark) leaves its old
// place among the rows, which are in the order of the section's query, and
// takes its place by name; the section's set takes it in the same place
// without running its query again. Returns the letter that lost its last
// title ("" when none did).
template <class Row>
std::string PlaceTitleRow(std::vector<Row>& rows, LetterCounts& counts, Row row, dao::Recordset& set) {
  std::string emptied;
  auto count = [&counts](const std::string& letter) -> int& { return counts[size_t(letter[0] - 'A')]; };
  for (auto it = rows.begin(); it != rows.end(); ++it) {
    if (it->mark != row.mark) continue;
    if (--count(it->letter) == 0 && it->letter != row.letter) emptied = it->letter;
    rows.erase(it);
    break;
  }
  // After the names it sorts with, as the query orders them.
  const auto at = std::upper_bound(rows.begin(), rows.end(), row,
                                   [](const Row& a, const Row& b) { return vb::CompareLetters(a.name, b.name) < 0; });
  ++count(row.letter);
  const auto placed = rows.insert(at, std::move(row));
  const auto next = placed + 1;
  set.PlaceRow(placed->mark, next == rows.end() ? 0 : next->mark);
  return emptied;
}

// After a record was filed, when only some of the section's rows were read:
// its row (by its mark) takes its place by name in the section's set, which
// is not run again, as PlaceTitleRow places it; rows of equal names keep
// the order of their rows, as the section's query orders them.
void PlaceRowByName(dao::Recordset& set, const std::string& name, dao::Recordset::BookmarkType mark);

// The data layer's number for a bookmark the set does not hold.
constexpr int kNotValidBookmark = 3159;

// Puts the set on the row of that name among its rows (in the set's order):
// the search starts at the row the set stands on, so the next or previous
// record is found at once, and goes round once; off a row it starts at
// the first without moving the set. False when no row has the name, or
// when the set does not hold the named row: another program added or
// removed it since the set was read, and the caller reads it by name.
template <class Row>
bool FindTitleRow(const std::vector<Row>& rows, dao::Recordset& set, const std::string& name) {
  const size_t n = rows.size();
  size_t from = 0;
  if (!set.Eof() && !set.BOF()) {
    const auto start = set.Bookmark();
    while (from < n && rows[from].mark != start) ++from;
    if (from == n) from = 0;
  }
  for (size_t k = 0; k < n; ++k) {
    const Row& row = rows[(from + k) % n];
    if (row.name != name) continue;
    try {
      set.SetBookmark(row.mark);
      return true;
    } catch (const vb::RuntimeError& e) {
      if (e.Number() != kNotValidBookmark) throw;
    }
  }
  return false;
}

// The row to show in place of a record that another program removed: the
// first row (among those `passes` lets through) whose name sorts after the
// name (direction 1) or the last before it (direction 2), going round;
// direction 0 takes the row of that very name when there is one, else as
// 1. rows.size() when no row passes.
template <class Row, class Passes>
size_t NearestTitleRow(const std::vector<Row>& rows, const std::string& name, int direction, Passes passes) {
  size_t after = rows.size(), before = rows.size(), first = rows.size(), last = rows.size();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!passes(rows[i])) continue;
    if (first == rows.size()) first = i;
    last = i;
    const int c = vb::CompareLetters(rows[i].name, name);
    if (direction == 0 && c == 0 && rows[i].name == name) return i;
    if (c > 0 && after == rows.size()) after = i;
    if (c < 0) before = i;
  }
  if (direction == 2) return before != rows.size() ? before : last;
  return after != rows.size() ? after : first;
}

// What a field does on entry, on a key and on a key release.
enum FieldInput : unsigned {
  kSelectAll = 1,     // the whole text is selected on entry
  kComplete = 2,      // a typed key completes the text from the list (smart combos)
  kQuoteOnKeyUp = 4,  // a key release removes double quotes, then F7/F8
  kSpellKeys = 8,     // a key release runs F7/F8
};

class RecordWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Colours the editor takes (0x00BBGGRR, as stored by the classic forms).
  static constexpr std::uint32_t kEditableColour = 0xFFFFFF;
  static constexpr std::uint32_t kLockedColour = 0xE0E0E0;
  static constexpr int kTwipsPerPixel = 15;

  ~RecordWindow() override;

  // ---- the frame's controls
  QTreeWidget* SSListBar1 = nullptr;
  QToolBar* Toolbar1 = nullptr;
  QToolBar* Toolbar2 = nullptr;
  std::array<QAction*, 9> Toolbar1Buttons{};  // 1..8
  std::array<QAction*, 79> LetterButtons{};   // 1..78
  QComboBox* List_Combo = nullptr;
  QTabWidget* SSTab1 = nullptr;
  // My Fields tab: f1Text, f2text, f3Text ... f10Text and their captions
  // f1Cap, F2Cap, f3Cap ... f10Cap (index 0 is field 1).
  std::array<QLineEdit*, 10> fText{};
  std::array<QLabel*, 10> fCap{};
  QLabel* Picture_Box = nullptr;
  QPushButton* Add_Picture = nullptr;
  QPushButton* Delete_Picture = nullptr;
  QMenu* File_Menu = nullptr;
  QAction* SmartComboMenu = nullptr;
  QAction* menuAutoSpell = nullptr;
  QAction* Exit_Menu = nullptr;

  // The letter bar's state: button numbers of the active letter and of the
  // letter active before it.
  int ActiveLetterButton = 1;
  int PreviousLetterButton = 51;
  bool FirstActivate = false;

  // ---- handlers both windows have
  virtual void SSListBar1_ItemClick(const std::string& caption) = 0;
  virtual void Toolbar1_ButtonClick(int index) = 0;
  virtual void Toolbar2_ButtonClick(int index) = 0;
  virtual void List_Combo_Click() = 0;
  virtual void Add_Picture_Click() = 0;
  virtual void Delete_Picture_Click() = 0;
  // Renaming a user field of the section on show.
  void f1Cap_DblClick();
  void F2Cap_DblClick();
  void f3Cap_DblClick();
  void f4Cap_DblClick();
  void f5Cap_DblClick();
  void f6Cap_DblClick();
  void f7Cap_DblClick();
  void f8Cap_DblClick();
  void f9Cap_DblClick();
  void f10Cap_DblClick();

  // ---- text of any edit control
  static std::string TextOf(const QWidget* control);
  static void SetTextOf(QWidget* control, const std::string& text);
  // The back colour an edit control shows, and setting it (0x00BBGGRR).
  static std::uint32_t BackColourOf(const QWidget* control);
  static void SetBackColourOf(QWidget* control, std::uint32_t colour);

  // ---- typed changes to the record on show
  // Remembers what the editor shows now as the record's unchanged state;
  // called after every load, clearing and filing.
  void TakeRecordSnapshot();
  // The editor shows something other than what was remembered.
  bool RecordChanged() const;
  // Before the window leaves the record on show: when it was changed, asks
  // whether to save the changes. Yes files them (a refused filing keeps
  // the record), No drops them, Cancel keeps the record. True when the
  // window may go on. answerNextLoadToo: a refusal also answers the load
  // that follows in the same event (the quick display chooses a section,
  // then a record, and the user is asked once).
  bool ConfirmLeaveRecord(bool answerNextLoadToo = false);
  // Whether the window may be unloaded now: a typed change to the record
  // on show is asked about as above; false when the user keeps it. Every
  // close of the window asks through here (its close box, File > Exit, the
  // launcher's Exit and close box, which end the program only when both
  // catalogues have closed).
  bool QueryUnload() { return unloaded_ || ConfirmLeaveRecord(); }
  // While it lives the window is leaving the record on show (the user was
  // asked, or what is shown was just filed or dropped): its loads and list
  // refills ask nothing.
  class LeaveScope {
   public:
    explicit LeaveScope(RecordWindow& w) : w_(w), was_(w.leaving_) { w_.leaving_ = true; }
    ~LeaveScope() { w_.leaving_ = was_; }
    LeaveScope(const LeaveScope&) = delete;
    LeaveScope& operator=(const LeaveScope&) = delete;

   private:
    RecordWindow& w_;
    bool was_;
  };

  // The record on show as it was stored when it was shown: its name ("" when
  // no stored record is on show).
  const std::string& StoredNameShown() const { return storedName_; }

  // The letter bar's letter for the title of a record just filed.
  static std::string FiledTitleLetter(const std::string& name);
  // After a filed record moved: the letter it left shows its no-data face
  // when it lost its last title ("" for none), the letter it joined shows
  // that it has titles; no other letter is touched.
  void ShowMovedTitleLetters(const std::string& emptied, const std::string& joined);

 protected:
  explicit RecordWindow(QWidget* parent = nullptr);

  // ---- building the frame (in this order)
  // The File menu: the smart-combo switch, the spelling switch and Exit.
  void BuildFileMenu(const QKeySequence& smartComboKey = QKeySequence());
  // The record toolbar and, below it, the letter bar (height 0: its own).
  void BuildRecordToolbars(int letterBarHeight = 0);
  // The central splitter: the section bar between the given widths, the
  // title list above the tab control. The window adds its tabs after.
  void BuildFrame(int sectionBarMin, int sectionBarMax);
  QWidget* BuildMyFieldsTab(int fieldLength);
  // The picture and its two buttons; scrolled: the picture in a scroll area.
  QWidget* BuildPictureTab(QScrollArea** scroll = nullptr);
  // Wires the frame's controls to the handlers above.
  void ConnectFrame();

  // Navigation, the title list and the given menus on or off; the report
  // button (8) of the record toolbar shown or hidden with them.
  void EnableFrame(bool on, std::initializer_list<QMenu*> menus);
  // The window without a collection (without true), or with one again:
  // every control and every command of menus that reads the collection is
  // off, all but keep, the command that opens one.
  void ShowWithoutCollection(bool without, std::initializer_list<QMenu*> menus, QAction* keep);

  // Long work of the window (a big section chosen): the hourglass, the
  // windows kept painted, clicks and keys made meanwhile dropped. The rows
  // read call TickLongWork as they go.
  class LongWork {
   public:
    explicit LongWork(RecordWindow& w);
    ~LongWork();
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

   private:
    RecordWindow& w_;
    std::unique_ptr<vb::BusyScope> busy_;
    vb::BusyScope* was_;
  };
  void TickLongWork() {
    if (busy_ && (++ticks_ & 255) == 0) busy_->Tick();
  }

  // Gives a field its input behaviour (FieldInput flags).
  void GiveInput(QWidget* control, unsigned behaviour);

  // A date box that can be filed; else its tab is brought forward, the
  // user is told and the box gets the focus.
  bool CheckDateToFile(forms::DateBox* box);
  // Brings the tab (and any tab above it) holding the control forward.
  void BringControlForward(QWidget* control);

  // The window's routines that empty the editor call this first. Unless
  // the window is leaving the record already (the command asked before it
  // changed anything), a typed change is asked about here, and Cancel stops
  // the command (vb::Cancelled, which the command guard shows as nothing)
  // with the change kept: however a command reaches the editor, it cannot
  // empty it without the question.
  void AboutToClearRecord();

  // ---- another program on the record on show
  // Remembers the stored row of the record just shown (the row the set
  // stands on): its key and the columns the window files, as read. Every
  // load calls it; ForgetStoredRow when the editor is emptied.
  void KeepStoredRow(const dao::Recordset& row);
  void ForgetStoredRow();
  // Before the record on show is filed (not while a new one is added):
  // the row is read again, in one query by its key. Unchanged: true, the
  // save goes on. Changed by another program: the user keeps the typed
  // changes (true), takes the stored record (shown again, the typing
  // dropped) or goes back to the typing (both false). Removed by another
  // program: the user files what is on screen as a new record (true, after
  // BeginFilingAsNew) or drops it, and the window moves on to a record that
  // exists (false).
  bool ConfirmStoredRecord();
  // A field the user changed from what was shown (by the last load,
  // clearing or filing); true for a field the window does not track.
  bool FieldTouched(const QWidget* control) const;
  // One row of a grid field (a title, a tick of a list) the user changed
  // from what was shown; true for a row the window does not track.
  bool GridRowTouched(const forms::FlexGrid* grid, int row) const;
  // A list of values filed into numbered columns (the artist boxes, the
  // title rows): each value the user changed goes in, each other one keeps
  // what is stored now. shown[i] is the value on screen, touched[i]
  // whether the user changed it, storedNow[i] the column's value now. The
  // user's gaps are closed up (empty values go to the end).
  static std::vector<std::string> MergeTypedList(const std::vector<std::string>& shown,
                                                 const std::vector<bool>& touched,
                                                 const std::vector<std::string>& storedNow);
  // The record of that name, which the window was asked to show, was
  // removed by another program: the user is told, and the window moves on
  // to the record after it that exists.
  void TellRecordGone(const std::string& name);
  // The one path every command of the window takes (the toolbars, the
  // letters, the menus, the section bar, the title list, the picture
  // buttons): when a row it reads or writes was removed by another program
  // meanwhile, the user is told that the record is gone and the window
  // moves on to one that exists; any other failure is told in words by the
  // error path (vb::TellError). The window never shows the engine's own
  // words for a removed row.
  void RunCommand(const std::function<void()>& command);
  // A command that writes to the stored row of the record on show (the
  // picture buttons), on the same path.
  void ChangeRowOnShow(const std::function<void()>& change) { RunCommand(change); }
  // When the row the set stands on was removed by another program (the set
  // still lists it): the window moves on from the record named `from` in
  // the direction (1 on, 2 back), nothing asked, and true.
  bool StepOverGoneRow(const dao::RecordsetPtr& set, const std::string& from, int direction);

  // Every close of the window comes here: QueryUnload, then (once) the
  // window's own unload; Cancel keeps the window open as it was.
  void closeEvent(QCloseEvent* event) final;
  bool unloaded_ = false;

  // ---- what each window gives
  // The window's own unload (its settings kept, its recordsets closed, the
  // launcher told); sets unloaded_.
  virtual void UnloadWindow() = 0;
  // The caption table's row of the section on show.
  virtual dao::RecordsetPtr& CaptionRecordset() = 0;
  // Every control of the record editor whose contents are filed.
  virtual std::vector<QWidget*> RecordFields() const = 0;
  // The name of the record on show (as typed), and whether a new record is
  // being entered.
  virtual std::string RecordNameShown() const = 0;
  virtual bool AddingNewRecord() const = 0;
  // Files the record on show as the toolbar's File does; false when it
  // was refused or failed (nothing filed).
  virtual bool FileShownRecord() = 0;
  // The collection the window shows, and the columns of mediadata its save
  // writes (those compared with what another program stored).
  virtual dao::Database& RecordDatabase() const = 0;
  virtual const std::vector<std::string>& FiledColumns() const = 0;
  // Shows the stored record of that name, nothing asked.
  virtual void ShowStoredRecord(const std::string& name) = 0;
  // The section is read again (rows another program removed leave it and
  // its title list and letters) and the record nearest the name in the
  // direction (1 on, 2 back, 0 that name or on) is shown; nothing asked.
  virtual void MoveOnFromGoneRecord(const std::string& name, int direction) = 0;
  // The next save files what is on screen as a new record.
  virtual void BeginFilingAsNew() = 0;

 private:
  void RenameCaption(int field);
  // What a field shows, in parts: one for a box, one per row for a grid.
  using FieldParts = std::vector<std::string>;
  std::vector<FieldParts> Snapshot() const;
  static FieldParts FieldState(const QWidget* control);
  const FieldParts* ShownState(const QWidget* control) const;
  std::vector<FieldParts> snapshot_;
  std::vector<const QWidget*> snapshotFields_;
  // The stored row of the record on show.
  std::int64_t storedKey_ = 0;
  bool storedKept_ = false;
  std::string storedName_;
  std::string storedSection_;
  std::vector<vb::Variant> storedValues_;
  // The stored row of the record on show now, in one query by its key;
  // found false when it is gone. name, section: its name and section now.
  std::vector<vb::Variant> ReadStoredRow(bool& found, std::string& name, std::string& section) const;
  bool keepRecord_ = false;
  vb::BusyScope* busy_ = nullptr;
  unsigned ticks_ = 0;
  bool leaving_ = false;
};

}  // namespace tvn
