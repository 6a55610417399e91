#pragma once
// Step switching of the report wizards: every step frame is parked out of
// sight and the current one moved into view; Back, Next and Finish are
// enabled by the step on show. Also the check grids the wizards choose
// sections and limits in.
#include <QDialog>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"
#include "reports/output/LimitList.h"

class QComboBox;
class QTableWidget;

namespace vb {
class BusyScope;
}

namespace tvn::reports {

// The wizards' button bar: 0 Help, 1 Cancel, 2 Back, 3 Next, 4 Finish.
using WizardButtons = std::array<QPushButton*, 5>;

// Shows step `current` of `steps` (0 to `last`): Back is off on the first
// and the last step, Next off on the last, Finish on only on the last.
// `finishFrom` lets a wizard treat an earlier step as a ready page too.
void ShowWizardStep(const std::vector<QWidget*>& steps, const WizardButtons& buttons, int current, int last,
                    int finishFrom = -1);

// What the wizards' buttons do around their own work: Cancel rejects the
// dialog; Back runs `back` and goes one step back; Next runs `next` (which
// may move `current` itself, back to the first page on a refusal) and goes
// one step on; Finish runs `finish` and accepts. Help does nothing here.
// The step on show is shown again after Back and Next.
struct WizardActions {
  std::function<void()> back;
  std::function<void()> next;
  std::function<void()> finish;
  std::function<void()> show;
};
void RunWizardButton(QDialog& wizard, int index, int& current, int last, const WizardActions& actions);

// Rows of a check grid: a bold centred heading without a check box, a bold
// grey group row ("ALL ...") whose check the rows under it follow, and
// plain rows. Every check box starts unchecked.
enum class GridRowKind { Heading, Group, Item };
void SetGridRow(QTableWidget* grid, int row, int column, const QString& text, GridRowKind kind);
bool GridTicked(const QTableWidget* grid, int row, int column);
void SetGridTick(QTableWidget* grid, int row, int column, bool ticked);
// Toggles the check of a row; a group row then copies its new state to
// rows firstMember to lastMember. The row becomes current.
void ToggleGridRow(QTableWidget* grid, int row, int column, int firstMember = 0, int lastMember = -1);

// A limit box of the wizards: the user picks an entry or types the start
// of the values wanted. What is typed stays exactly as typed: a typed "B"
// means every value beginning with B, so the box neither completes it to
// the first matching entry nor adds it to the list on Enter. Its width is
// set by a fixed number of characters, not by its entries, and its list
// takes every entry to be as high as the first: a list of a million
// entries is never measured entry by entry.
QComboBox* MakeLimitBox(QWidget* parent, const char* name);
// Refills a limit box: the no-limit entry, then `field` of every row of
// `sql` (a Null as an empty entry), and shows the no-limit entry; busy, when
// given, keeps the windows painted while a long list is read on a
// connection of its own.
void FillLimitBox(QComboBox* box, const dao::DatabasePtr& db, const std::string& sql, const std::string& field,
                  vb::BusyScope* busy = nullptr);
// The same with the entries at hand (the no-limit entry goes first).
void FillLimitBox(QComboBox* box, LimitList entries);
// Runs work on a connection of its own to db's file, on a thread of its
// own, while busy keeps the windows painted (the engine sorts or commits
// a long list in single steps that would hold the window for seconds); the
// windows' reads are let go of before and between paints, so that work
// that writes is not kept waiting. Without busy, work runs here on db.
// An error in work is thrown here.
void RunOnOwnConnection(const dao::DatabasePtr& db, bool readOnly,
                        const std::function<void(const dao::DatabasePtr&)>& work, vb::BusyScope* busy);
// Lets go of a limit box's entries once its text has been read; the text
// on show stays.
void ReleaseLimitBox(QComboBox* box);
extern const char* const kNoLimits;  // "***NO LIMITS***"

// Gives a check grid the height and width to show every row whole without
// scrolling (the grid's rows must be written first).
void ShowAllRows(QTableWidget* grid);

// Sizes the wizard to its pages: every page (laid out by its own layout)
// gets the room the largest one needs at the window's font, at least
// `least`, and the button bar goes below them at the buttons' own lefts.
// Pages laid out so never cut or overprint a caption, whatever the font.
void FitWizardPages(QDialog& wizard, const std::vector<QWidget*>& steps, const WizardButtons& buttons,
                    QSize least);

}  // namespace tvn::reports
