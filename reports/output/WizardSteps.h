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
#include <vector>

class QTableWidget;

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

}  // namespace tvn::reports
