#pragma once
// The editor of one lookup list (artists, categories, labels/studios).
// The three editors are one window: a chooser of every entry in name order,
// the six-button record toolbar, the entry's fields, the six "Use With"
// section boxes and a Close button. The entry table is opened on the open
// collection by table name and walked through its name index.
//
// Because the records of mediadata hold the lookup names themselves, a
// rename or a delete is carried into every record by UPDATE statements.
// The entry's own change and those statements run in one transaction, so
// a failure leaves both the list and the records as they were.
//
// A derived window supplies its table, its fields and the mediadata
// columns that carry its names; everything else lives here. A list whose
// records hold the entry's key instead (the game catalogue's) names no
// columns: a rename then touches no record, and a delete runs the design's
// statement on the key in the same transaction.
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QToolBar;
class QVBoxLayout;

namespace vb {
class BusyScope;
}

namespace tvn {

class LookupEditorForm : public QDialog {
  Q_OBJECT

 public:
  // Background colours of the field boxes (0x00BBGGRR).
  static constexpr std::uint32_t kEnabledColour = 0xFFFFFF;
  static constexpr std::uint32_t kDisabledColour = 0xE0E0E0;

  // Toolbar buttons by position.
  enum ToolbarButton : int { btnAdd = 1, btnCancelAdd = 2, btnFile = 3, btnDelete = 4, btnPrevious = 5, btnNext = 6 };

  // What tells one editor from another.
  struct Design {
    const char* formName;   // objectName of the window
    const char* caption;
    const char* table;      // table opened by name
    const char* index;      // its name index
    const char* nameField;  // chooser list and seek key
    std::int16_t firstBox;  // index of the first "Use With" box
    std::vector<std::string> columns;  // mediadata columns holding the names
    // The section flags in box order with their captions; the boxes are
    // named "<boxes>_<firstBox + i>".
    std::vector<std::pair<std::string, std::string>> flags = MediaFlags();
    const char* boxes = "Artist_UseWith";
    // The database of the entry table; empty: the open media collection.
    std::function<dao::Database&()> database = {};
    // Carries a rename (newName) or a delete ("") into the records, inside
    // the editor's transaction; empty: an UPDATE of each of columns in
    // mediadata.
    std::function<void(dao::Database&, const std::string& oldName, const std::string& newName)> cascade = {};
    // Records that hold the entry's key: the key field, and the statement
    // that the key (a decimal number) completes, run before the entry is
    // deleted. Empty: the records hold names (columns, cascade).
    const char* keyField = nullptr;
    std::string deleteStatement = {};
    // Called after a rename or a delete changed what the records show;
    // empty: the media quick display is refilled when it is open.
    std::function<void()> recordsChanged = {};
  };
  // The six media section flags: cas, cd, DVD, lp, VT, scd.
  static std::vector<std::pair<std::string, std::string>> MediaFlags();

  ~LookupEditorForm() override;

  // ---- events
  // Opens the entry table and shows its first entry (or the empty state).
  void Form_Load();
  void Select_Item_Combo_Click();
  void Toolbar1_ButtonClick(int index);
  void Close_Category_Click();
  // The name box refuses the double quote.
  void NameBox_KeyUp();

  // ---- routines
  void ClearEntry();
  void ShowEntry();
  void SetEntryFieldsState(std::uint32_t colour, bool enabled);
  // Files the shown or new entry; false (after a message, nothing written)
  // for a blank name or a name another entry has.
  bool SaveEntry();

  const Design& design() const { return design_; }
  // The box whose text is the entry's name.
  virtual QLineEdit* NameBox() const = 0;

  // ---- window state
  dao::RecordsetPtr EntryTable;
  bool AddingEntry = false;
  std::string ShownName;

  // ---- controls
  QToolBar* Toolbar1 = nullptr;
  std::array<QAction*, 7> Toolbar1Buttons{};  // 1 .. 6
  QComboBox* Select_Item_Combo = nullptr;
  QGroupBox* UseWithFrame = nullptr;
  // The section boxes in the order of the design's flags; each is named
  // "<boxes>_<firstBox + i>".
  std::vector<QCheckBox*> Artist_UseWith;
  QPushButton* Close_Category = nullptr;

 protected:
  LookupEditorForm(Design design, QWidget* parent);

  // Puts the derived window's field area between the chooser and the
  // "Use With" frame.
  void SetFieldArea(QWidget* area);

  // Every text box that ClearEntry empties.
  virtual std::vector<QWidget*> TextBoxes() const = 0;
  // The boxes whose colour and enabled state follow the editor's state.
  virtual std::vector<QWidget*> StateBoxes() const = 0;
  // Copies the current row into the boxes (after the section flags are loaded).
  virtual void ShowFields(dao::Recordset& rs) = 0;
  // Writes the boxes into the pending row (after the section flags are set).
  virtual void WriteFields(dao::Recordset& rs) = 0;
  // After the fields are shown (the artist editor shows its picture).
  virtual void ShowExtras(dao::Recordset&) {}
  // The editor changed between its empty, browsing and adding states.
  virtual void StateChanged() {}

  // The section box of the Software flag ("Software CDs").
  QCheckBox* SoftwareBox() const { return Artist_UseWith[5]; }
  bool IsEmptyState() const { return emptyState_; }

  dao::Database& Collection() const;

 private:
  void EnterEmptyState();
  // Fills the chooser with every entry's name in letter order and keeps
  // each entry's row beside it, so that the chooser, the shown entry and
  // Previous/Next follow one order. The table's position is left to the
  // caller, who shows an entry next.
  void RefillChooser();
  // Shows the entry at that place of the chooser's order (kept within the
  // list) and names it there.
  void ShowChosen(int place);
  // The place of a row in the chooser's order; -1 when it is not listed.
  int PlaceOf(dao::Recordset::BookmarkType row) const;
  // The same for the table's current row.
  int CurrentPlace() const;
  // Whether an entry of the table has this name, letter case aside.
  bool NameTaken(const std::string& name);
  void RefillQuickDisplay();
  std::vector<std::string> FlagFields() const;
  void RunGuarded(void (LookupEditorForm::*handler)());
  // Runs work in one transaction, busy; a failure runs undo and rolls the
  // transaction back.
  void ChangeRecords(dao::Database& db, const std::function<void()>& work, const std::function<void()>& undo = {});
  // The UPDATE statements of a rename (newName) or a delete ("").
  void CarryIntoRecords(dao::Database& db, const std::string& oldName, const std::string& newName);

  Design design_;
  QVBoxLayout* layout_ = nullptr;
  int fieldAreaPos_ = 0;
  bool emptyState_ = false;
  vb::BusyScope* busy_ = nullptr;  // while records are changed
  // The rows of the chooser's entries, in its order.
  std::vector<dao::Recordset::BookmarkType> chosenRows_;
};

// Loads an editor and shows it modally; an error of the load is shown and
// the editor is not opened.
void ShowLookupEditor(LookupEditorForm& editor);

// Sets a box's background from a 0x00BBGGRR colour.
void SetBackColour(QWidget* box, std::uint32_t bgr);
// The background colour of a box as 0x00BBGGRR.
std::uint32_t BackColour(const QWidget* box);

}  // namespace tvn
