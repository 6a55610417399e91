#include "reports/output/WizardSteps.h"

namespace tvn::reports {

void ShowWizardStep(const std::vector<QWidget*>& steps, const WizardButtons& buttons, int current, int last,
                    int finishFrom) {
  for (int i = 0; i <= last && i < static_cast<int>(steps.size()); ++i) {
    steps[static_cast<size_t>(i)]->move(-10000, steps[static_cast<size_t>(i)]->y());
    steps[static_cast<size_t>(i)]->hide();
  }
  bool ready = current == last || (finishFrom >= 0 && current == finishFrom);
  buttons[2]->setEnabled(current != 0 && !ready);
  buttons[3]->setEnabled(!ready);
  buttons[4]->setEnabled(ready);
  if (current >= 0 && current < static_cast<int>(steps.size())) {
    QWidget* step = steps[static_cast<size_t>(current)];
    step->move(0, step->y());
    step->show();
  }
}

}  // namespace tvn::reports
