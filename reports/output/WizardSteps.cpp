#include "reports/output/WizardSteps.h"

#include <QTableWidget>

namespace tvn::reports {

void RunWizardButton(QDialog& wizard, int index, int& current, int last, const WizardActions& actions) {
  switch (index) {
    case 1:
      wizard.reject();
      break;
    case 2:
      if (actions.back) actions.back();
      if (current >= 1) --current;
      if (actions.show) actions.show();
      break;
    case 3:
      if (actions.next) actions.next();
      if (current < last) ++current;
      if (actions.show) actions.show();
      break;
    case 4:
      if (actions.finish) actions.finish();
      wizard.accept();
      break;
    default:
      break;  // Help opens no topic in this version
  }
}

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

namespace tvn::reports {

void SetGridRow(QTableWidget* grid, int row, int column, const QString& text, GridRowKind kind) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  QFont font = item->font();
  font.setBold(kind != GridRowKind::Item);
  item->setFont(font);
  if (kind == GridRowKind::Heading) {
    item->setTextAlignment(Qt::AlignCenter);
  } else {
    item->setCheckState(Qt::Unchecked);
    if (kind == GridRowKind::Group) item->setBackground(QColor(224, 224, 224));
  }
  grid->setItem(row, column, item);
}

bool GridTicked(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item && item->checkState() == Qt::Checked;
}

void SetGridTick(QTableWidget* grid, int row, int column, bool ticked) {
  if (QTableWidgetItem* item = grid->item(row, column)) item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void ToggleGridRow(QTableWidget* grid, int row, int column, int firstMember, int lastMember) {
  QSignalBlocker block(grid);
  const bool ticked = !GridTicked(grid, row, column);
  SetGridTick(grid, row, column, ticked);
  for (int r = firstMember; r <= lastMember; ++r) SetGridTick(grid, r, column, ticked);
  grid->setCurrentCell(row, column);
}

}  // namespace tvn::reports
