#include "reports/output/WizardSteps.h"

#include <QComboBox>
#include <QAbstractListModel>
#include <QListView>
#include <QHeaderView>
#include <QLayout>
#include <QTableWidget>

#include "platform/forms/ComboFind.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/TextFold.h"
#include "platform/runtime/Functions.h"

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

namespace tvn::reports {

const char* const kNoLimits = "***NO LIMITS***";

namespace {

// A limit box's entries, read by the list as it shows them; the no-limit
// entry may stand before them without being one of them, so that a list
// of millions is not copied to put it first.
class LimitEntries : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  void Reset(LimitList entries, bool lead) {
    beginResetModel();
    entries_ = std::move(entries);
    entries_.Trim();
    lead_ = lead;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(entries_.Size() + (lead_ ? 1 : 0));
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
      return {};
    if (lead_ && index.row() == 0) return QString::fromUtf8(kNoLimits);
    const std::string_view entry = entries_.At(static_cast<size_t>(index.row() - (lead_ ? 1 : 0)));
    return QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
  }
  // The box empties its list through this (QComboBox::clear).
  bool removeRows(int row, int count, const QModelIndex& parent = {}) override {
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rowCount()) return false;
    beginRemoveRows(parent, row, row + count - 1);
    size_t first = static_cast<size_t>(row), last = first + static_cast<size_t>(count);
    if (lead_) {
      if (first == 0) lead_ = false;
      first = first == 0 ? 0 : first - 1;
      last -= 1;
    }
    entries_.Erase(first, last);
    endRemoveRows();
    return true;
  }

 private:
  LimitList entries_;
  bool lead_ = false;
};

}  // namespace

QComboBox* MakeLimitBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setEditable(true);
  forms::MakePlainCombo(box);
  // Qt's default sizes the box by its widest entry, measuring every one.
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  box->setMinimumContentsLength(30);
  if (auto* list = qobject_cast<QListView*>(box->view())) list->setUniformItemSizes(true);
  return box;
}

namespace {

// `field` of every row of `sql` (a Null as an empty entry), after the
// no-limit entry.
LimitList ReadEntries(const dao::DatabasePtr& db, const std::string& sql, const std::string& field) {
  LimitList entries;
  entries.Add(kNoLimits);
  dao::RecordsetPtr rs = db->OpenRecordset(sql);
  int column = -1;
  for (int i = 0; i < rs->FieldCount() && column < 0; ++i)
    if (vb::CompareNoCase(rs->FieldInfo(i).Name, field) == 0) column = i;
  while (column >= 0 && !rs->Eof()) {
    // A block of rows at a time rather than a look-up per value.
    const auto block = rs->GetRows(4096);
    if (block.empty() || block[static_cast<size_t>(column)].empty()) break;
    for (const auto& value : block[static_cast<size_t>(column)]) entries.Add(vb::NzStr(value));
  }
  rs->Close();
  return entries;
}

void ShowEntries(QComboBox* box, LimitList entries, bool lead) {
  // The entries go to the box's model at once: a title list can hold a
  // million entries, and adding them one by one took minutes.
  auto* model = dynamic_cast<LimitEntries*>(box->model());
  if (!model) {
    model = new LimitEntries(box);
    box->setModel(model);
  }
  model->Reset(std::move(entries), lead);
  box->setCurrentText(kNoLimits);
}

}  // namespace

void RunOnOwnConnection(const dao::DatabasePtr& db, bool readOnly,
                        const std::function<void(const dao::DatabasePtr&)>& work, vb::BusyScope* busy) {
  if (!busy) {
    work(db);
    return;
  }
  const std::string file = db->Name();
  dao::DBEngine::ReleaseReads();
  vb::RunAside(
      [&] {
        dao::DatabasePtr own = dao::DBEngine::Workspaces(0).OpenAside(file, readOnly, readOnly);
        try {
          work(own);
        } catch (...) {
          own->Close();
          throw;
        }
        own->Close();
      },
      [busy] {
        // A paint may read rows (a list behind the wizard); its read must
        // not keep the work from writing.
        busy->Tick();
        dao::DBEngine::ReleaseReads();
      });
}

void FillLimitBox(QComboBox* box, const dao::DatabasePtr& db, const std::string& sql, const std::string& field,
                  vb::BusyScope* busy) {
  LimitList entries;
  RunOnOwnConnection(db, true, [&](const dao::DatabasePtr& on) { entries = ReadEntries(on, sql, field); }, busy);
  ShowEntries(box, std::move(entries), false);
}

void FillLimitBox(QComboBox* box, LimitList entries) { ShowEntries(box, std::move(entries), true); }

void ReleaseLimitBox(QComboBox* box) {
  const QString shown = box->currentText();
  QSignalBlocker quiet(box);
  if (auto* model = dynamic_cast<LimitEntries*>(box->model())) model->Reset({}, false);
  box->setEditText(shown);
}

}  // namespace tvn::reports

namespace tvn::reports {

void ShowAllRows(QTableWidget* grid) {
  const int frame = 2 * grid->frameWidth();
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  int width = 0;
  for (int c = 0; c < grid->columnCount(); ++c)
    if (!grid->isColumnHidden(c)) width += static_cast<const QAbstractItemView*>(grid)->sizeHintForColumn(c);
  grid->setMinimumSize(width + frame + 4, grid->verticalHeader()->length() + frame);
}

void FitWizardPages(QDialog& wizard, const std::vector<QWidget*>& steps, const WizardButtons& buttons,
                    QSize least) {
  int width = least.width();
  for (QWidget* step : steps)
    if (QLayout* layout = step->layout()) width = std::max(width, layout->totalSizeHint().width());
  int height = least.height();
  for (QWidget* step : steps)
    if (QLayout* layout = step->layout())
      height = std::max(height, layout->hasHeightForWidth() ? layout->totalHeightForWidth(width)
                                                           : layout->totalSizeHint().height());
  int barHeight = 0;
  for (QPushButton* button : buttons) {
    const int need = button->fontMetrics().horizontalAdvance(button->text()) + 16;
    if (button->width() < need) button->resize(need, button->height());
    button->resize(button->width(), std::max(button->height(), button->sizeHint().height()));
    barHeight = std::max(barHeight, button->height());
  }
  // Buttons keep their order; one widened by its caption pushes the next.
  int right = 0;
  for (QPushButton* button : buttons) {
    button->move(std::max(button->x(), right + 4), height + 8);
    right = button->geometry().right();
  }
  width = std::max(width, right + 8);
  for (QWidget* step : steps) step->setGeometry(step->x(), 0, width, height);
  wizard.resize(width, height + barHeight + 16);
}

}  // namespace tvn::reports
