#pragma once
// Step switching of the report wizards: every step frame is parked out of
// sight and the current one moved into view; Back, Next and Finish are
// enabled by the step on show.
#include <QPushButton>
#include <QWidget>
#include <array>
#include <vector>

namespace tvn::reports {

// The wizards' button bar: 0 Help, 1 Cancel, 2 Back, 3 Next, 4 Finish.
using WizardButtons = std::array<QPushButton*, 5>;

// Shows step `current` of `steps` (0 to `last`): Back is off on the first
// and the last step, Next off on the last, Finish on only on the last.
// `finishFrom` lets a wizard treat an earlier step as a ready page too.
void ShowWizardStep(const std::vector<QWidget*>& steps, const WizardButtons& buttons, int current, int last,
                    int finishFrom = -1);

}  // namespace tvn::reports
