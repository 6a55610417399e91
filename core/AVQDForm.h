#pragma once
// The quick display: every record of the open collection, all sections
// together, in one grid. The user sorts on any column from the right-click
// menu, jumps to the first row at or after a typed text in the name,
// artist or publisher/studio column, and double-clicks a row to open its
// record in the catalogue window. Modeless: while it is open
// TVNDATA.QDOpen is true and every record save refills the grid.
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/QuickDisplayRows.h"
#include "core/TVNDATA.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace forms {
class FlexGrid;
}
namespace vb {
class BusyScope;
}

namespace tvn {

// How the quick display reaches the catalogue window, which lives in a
// library built on this one. The program wires these when it creates the
// catalogue window; an unset hook does nothing.
struct QuickDisplayHooks {
  // The catalogue window is open and is adding a new record.
  std::function<bool()> AddingRecord;
  // Drops that new record (the catalogue's Cancel add).
  std::function<void()> CancelAdd;
  // Switches the catalogue window to a section (1 to 9).
  std::function<void(Byte section)> ItemClickProcess;
  // Loads the record of that name of the current section.
  std::function<void(const std::string& name)> CS_Load_Data;
  // Brings the catalogue window to the front with the focus.
  std::function<void()> BringForward;

  static QuickDisplayHooks& Get();
};

// What tells one catalogue's quick display from the other's.
struct QuickDisplayConfig {
  const char* formName;
  const char* caption;
  // The search options: the grid column each searches, and its caption.
  std::vector<std::pair<int, const char*>> searchOptions;
  // Quick Jump finds the first row whose cell begins with the text (true)
  // or the first at or after it (false).
  bool prefixOnly;
  int lastMarkedCol;  // the mark covers columns 1 to this
  int sections;       // section numbers run from 1 to this
  // What the grid lists, from which collection (raises when none is open).
  const QuickListLayout* layout;
  std::function<dao::DatabasePtr()> database;
  // Tells the catalogue the window is open (true) or closed.
  std::function<void(bool)> setOpen;
  // The section on show in the catalogue window.
  std::function<int()> currentSection;
  std::function<QuickDisplayHooks&()> hooks;
  // Whether the record of a row still exists; empty: always. A row whose
  // record is gone refills the grid and loads nothing.
  std::function<bool(int section, const std::string& name)> recordExists = {};
};

class AVQDForm : public QWidget {
  Q_OBJECT

 public:
  explicit AVQDForm(QWidget* parent = nullptr);
  AVQDForm(const QuickDisplayConfig& config, QWidget* parent);
  ~AVQDForm() override;

  // The media catalogue's configuration.
  static const QuickDisplayConfig& MediaQuickDisplay();

  // Grid columns.
  enum Column : int { colSection = 0, colSectionName = 1, colName = 2, colArtist = 3, colPublisher = 5 };

  // ---- events
  void Form_Load();
  void Form_Unload();
  void btnClose_Click();
  void srchOption_Click(int index);
  void btnSearch_Click();
  void QDGrid_Click();
  void QDGrid_DblClick();
  void QDGrid_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
  void menuA_Click();
  void menuD_Click();

  // ---- routines
  // Moves the row mark to the grid's current row (mark true) or removes it.
  void HighlightQuickRow(bool mark);
  // Sorts the data rows on the current column (a sort code of the grid),
  // then widens the columns for the rows shown (fit); busy within the
  // caller's scope when given, else its own.
  void SortRows(int order, bool fit = true, vb::BusyScope* busy = nullptr);
  // Lists the collection's rows again in the listing order (after a
  // record was saved): only the order is read, the rows as shown.
  void RefillList();
  // The rows the grid lists.
  QuickListRows* Rows() const;

  // ---- window state
  std::int32_t MarkedRow = 0;

  // ---- controls
  forms::FlexGrid* QDGrid = nullptr;
  QLineEdit* txtSearch = nullptr;
  // Indexed by the grid column each searches: 2 Name, 3 Artist, 5 Publisher/Studio
  // (game catalogue: 2 Name, 3 Publisher, 4 Developer, 5 Genre).
  std::array<QRadioButton*, 6> srchOption{};
  QPushButton* btnSearch = nullptr;
  QPushButton* btnClose = nullptr;
  QLabel* SortHint = nullptr;
  QLabel* OpenHint = nullptr;
  QMenu* popup1 = nullptr;
  QAction* menuA = nullptr;
  QAction* menuD = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class RowsBusy {
   public:
    RowsBusy(const AVQDForm& form, vb::BusyScope& busy);
    ~RowsBusy();
    RowsBusy(const RowsBusy&) = delete;
    RowsBusy& operator=(const RowsBusy&) = delete;

   private:
    const AVQDForm& form_;
  };
  // Widens the columns whose header or shown cells would be cut.
  void FitColumns();
  // Shows the horizontal scroll bar exactly while the columns are wider
  // than the grid; the current row stays in view when the bar comes.
  void FitHorizontalBar();
  void FillList();

  QuickDisplayConfig config_;
  bool loaded_ = false;
  bool fittingBar_ = false;  // FitHorizontalBar is running
  dao::DatabasePtr listed_;  // the collection the grid lists
};

// Fills the grid with the rows the layout lists from db (read as shown),
// in the listing order; busy runs once per row read.
void FillQuickList(forms::FlexGrid& grid, const dao::DatabasePtr& db, const QuickListLayout& layout,
                   const std::function<void()>& busy = {});

// Shows the one window kept in slot (made by make and loaded when there
// is none), or brings it to the front; nullptr when it could not be loaded.
AVQDForm* ShowQuickDisplayIn(QPointer<AVQDForm>& slot, const std::function<AVQDForm*()>& make);

// Opens the quick display (not modal), or brings it to the front when it
// is open. Returns the window, or nullptr when it could not be loaded.
AVQDForm* ShowQuickDisplay(QWidget* parent = nullptr);
// The open quick display, or nullptr.
AVQDForm* QuickDisplayWindow();
// Closes the quick display when it is open.
void CloseQuickDisplay();

}  // namespace tvn
