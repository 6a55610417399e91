#include "core/AVQDForm.h"

#include <QApplication>
#include <algorithm>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QHeaderView>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <memory>
#include <optional>

#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

QPointer<AVQDForm>& OpenWindow() {
  static QPointer<AVQDForm> window;
  return window;
}

constexpr int kFirstMarkedCol = 1;

dao::DatabasePtr MediaCollection() {
  if (!App().CollectionDB || !App().CollectionDB->IsOpen())
    throw vb::RuntimeError(91, "Object variable or With block variable not set (no collection is open)");
  return App().CollectionDB;
}

bool MediaRecordExists(int section, const std::string& name) {
  dao::RecordsetPtr rs = MediaCollection()->OpenRecordset("select name from mediadata where sectionnumber = " +
                                                          std::to_string(section) + " and name = " +
                                                          dao::SqlQuote(name));
  const bool found = !rs->Eof();
  rs->Close();
  return found;
}

}  // namespace

// The rows tick the busy scope while they read, sort or search a column of
// every row.
AVQDForm::RowsBusy::RowsBusy(const AVQDForm& form, vb::BusyScope& busy) : form_(form) {
  if (QuickListRows* rows = form_.Rows()) rows->SetBusy([&busy] { busy.Tick(); });
}

AVQDForm::RowsBusy::~RowsBusy() {
  // The rows of now: a refill may have replaced those of the start.
  if (QuickListRows* rows = form_.Rows()) rows->SetBusy({});
}

QuickDisplayHooks& QuickDisplayHooks::Get() {
  static QuickDisplayHooks hooks;
  return hooks;
}

const QuickDisplayConfig& AVQDForm::MediaQuickDisplay() {
  static const QuickDisplayConfig config{
      "AVQDForm",
      "Tavolin Quick Display",
      {{2, "Name"}, {3, "Artist"}, {5, "Publisher/Studio"}},
      false,
      7,
      9,
      &MediaQuickList(),
      [] { return MediaCollection(); },
      [](bool open) { AVData()->QDOpen(open ? -1 : 0); },
      [] { return int(AVData()->SectionNumber()); },
      [] () -> QuickDisplayHooks& { return QuickDisplayHooks::Get(); },
      MediaRecordExists,
  };
  return config;
}

AVQDForm::AVQDForm(QWidget* parent) : AVQDForm(MediaQuickDisplay(), parent) {}

AVQDForm::AVQDForm(const QuickDisplayConfig& config, QWidget* parent) : QWidget(parent, Qt::Window), config_(config) {
  setObjectName(QString::fromLatin1(config_.formName));
  setWindowTitle(QString::fromLatin1(config_.caption));
  resize(900, 560);

  auto* layout = new QVBoxLayout(this);

  auto* searchRow = new QHBoxLayout;
  auto* options = new QGroupBox(this);
  auto* optionRow = new QHBoxLayout(options);
  for (const auto& [index, caption] : config_.searchOptions) {
    auto* b = new QRadioButton(QString::fromLatin1(caption), options);
    b->setObjectName(QStringLiteral("srchOption_%1").arg(index));
    srchOption[size_t(index)] = b;
    optionRow->addWidget(b);
    connect(b, &QRadioButton::clicked, this, [this, i = index] { vb::Guarded([&] { srchOption_Click(i); }); });
  }
  searchRow->addWidget(options);
  txtSearch = new QLineEdit(this);
  txtSearch->setObjectName(QStringLiteral("txtSearch"));
  txtSearch->setEnabled(false);
  searchRow->addWidget(txtSearch, 1);
  btnSearch = new QPushButton(QStringLiteral("Quick Jump"), this);
  btnSearch->setObjectName(QStringLiteral("btnSearch"));
  connect(btnSearch, &QPushButton::clicked, this, [this] { vb::Guarded([this] { btnSearch_Click(); }); });
  searchRow->addWidget(btnSearch);
  layout->addLayout(searchRow);

  QDGrid = new forms::FlexGrid(this);
  QDGrid->setObjectName(QStringLiteral("QDGrid"));
  // Columns widen to their contents as rows come into view: the scroll bar
  // is shown when they no longer fit (FitHorizontalBar), keeping the row on
  // show in view, and an empty one is never shown.
  QDGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QDGrid->viewport()->installEventFilter(this);
  connect(QDGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { vb::Guarded([this] { FitColumns(); }); });
  connect(QDGrid, &forms::FlexGrid::Click, this, [this] { vb::Guarded([this] { QDGrid_Click(); }); });
  connect(QDGrid, &forms::FlexGrid::DblClick, this, [this] { vb::Guarded([this] { QDGrid_DblClick(); }); });
  connect(QDGrid, &forms::FlexGrid::MouseUp, this, [this](Qt::MouseButton button, const QPoint& pos) {
    vb::Guarded([&] { QDGrid_MouseUp(button, pos); });
  });
  layout->addWidget(QDGrid, 1);

  auto* bottom = new QHBoxLayout;
  auto* hints = new QVBoxLayout;
  SortHint = new QLabel(QStringLiteral("..to sort on any column, select then right click"), this);
  OpenHint = new QLabel(QStringLiteral("..Double click to open on main form"), this);
  hints->addWidget(SortHint);
  hints->addWidget(OpenHint);
  bottom->addLayout(hints, 1);
  btnClose = new QPushButton(QStringLiteral("Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));
  connect(btnClose, &QPushButton::clicked, this, [this] { btnClose_Click(); });
  bottom->addWidget(btnClose);
  layout->addLayout(bottom);

  popup1 = new QMenu(QStringLiteral("popupmenu"), this);
  popup1->setObjectName(QStringLiteral("popup1"));
  menuA = popup1->addAction(QStringLiteral("Sort Ascending"));
  menuA->setObjectName(QStringLiteral("menuA"));
  menuD = popup1->addAction(QStringLiteral("Sort Descending"));
  menuD->setObjectName(QStringLiteral("menuD"));
  connect(menuA, &QAction::triggered, this, [this] { vb::Guarded([this] { menuA_Click(); }); });
  connect(menuD, &QAction::triggered, this, [this] { vb::Guarded([this] { menuD_Click(); }); });
}

AVQDForm::~AVQDForm() { Form_Unload(); }

// ---- life of the window

void AVQDForm::Form_Load() {
  config_.setOpen(true);
  loaded_ = true;
  FillList();
  MarkedRow = 0;
  // The window opens wholly on the screen, as wide as its columns need.
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  int wanted = 0;
  for (int c = 0; c < QDGrid->Cols(); ++c)
    if (!QDGrid->isColumnHidden(c)) wanted += QDGrid->columnWidth(c);
  wanted += QDGrid->verticalScrollBar()->sizeHint().width() + 2 * QDGrid->frameWidth() + 40;
  // The frame the window manager adds is not known before the window is shown.
  constexpr int kFrame = 40;
  const int width = std::clamp(std::max(wanted, 720), 200, std::max(200, room.width() - kFrame));
  const int height = std::clamp(560, 200, std::max(200, room.height() - kFrame));
  resize(width, height);
  move(room.x() + std::max(0, (room.width() - width - kFrame) / 2), room.y() + std::max(0, (room.height() - height - kFrame) / 2));
}

void AVQDForm::FillList() {
  vb::BusyScope busy(this);
  listed_ = config_.database();
  FillQuickList(*QDGrid, listed_, *config_.layout, [&busy] { busy.Tick(); });
  FitColumns();
}

void AVQDForm::RefillList() {
  QuickListRows* rows = Rows();
  // Another collection opened since: its rows from the start.
  if (!rows || config_.database() != listed_) {
    FillList();
    return;
  }
  vb::BusyScope busy(this);
  rows->Refill([&busy] { busy.Tick(); });
  QDGrid->SourceReset();
  QDGrid->SetRow(1);
  QDGrid->SetTopRow(1);
  FitColumns();
}

QuickListRows* AVQDForm::Rows() const { return dynamic_cast<QuickListRows*>(QDGrid->RowSource()); }

void AVQDForm::FitColumns() {
  // The header's captions and the cells of the rows on screen are shown
  // whole; a column is only ever widened, so that it does not jump about
  // while the user scrolls.
  const QFontMetrics cellFont(QDGrid->font());
  const QFontMetrics headFont(QDGrid->horizontalHeader()->font());
  const int top = std::max(1, QDGrid->TopRow());
  const int shown = QDGrid->viewport()->height() / std::max(1, QDGrid->verticalHeader()->defaultSectionSize()) + 1;
  const int last = std::min(QDGrid->Rows() - 1, top + std::max(shown, 30));
  for (int c = 1; c < QDGrid->Cols(); ++c) {
    if (QDGrid->ColWidth(c) == 0) continue;
    int need = headFont.horizontalAdvance(QDGrid->TextMatrix(0, c)) + 24;
    for (int r = top; r <= last; ++r) need = std::max(need, cellFont.horizontalAdvance(QDGrid->TextMatrix(r, c)) + 16);
    if (need > QDGrid->columnWidth(c)) QDGrid->SetColWidth(c, need * 15);
  }
  FitHorizontalBar();
}

void AVQDForm::FitHorizontalBar() {
  if (fittingBar_) return;
  fittingBar_ = true;
  struct Done {
    bool& b;
    ~Done() { b = false; }
  } done{fittingBar_};
  const bool needed = QDGrid->horizontalHeader()->length() > QDGrid->viewport()->width();
  const Qt::ScrollBarPolicy policy = needed ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  if (QDGrid->horizontalScrollBarPolicy() == policy) return;
  // The bar takes its height from the rows: the row on show must stay whole.
  const int row = QDGrid->Row();
  const QModelIndex current =
      row >= QDGrid->FixedRows() && row < QDGrid->Rows()
          ? QDGrid->model()->index(row - QDGrid->FixedRows(), std::max(1, QDGrid->Col()))
          : QModelIndex();
  const bool wasInView = current.isValid() && QDGrid->viewport()->rect().contains(QDGrid->visualRect(current));
  QDGrid->setHorizontalScrollBarPolicy(policy);
  // The rows' scroll range follows the new height at once, not at the next
  // layout, so that the row can be brought back into view now.
  QMetaObject::invokeMethod(QDGrid, "updateGeometries", Qt::DirectConnection);
  if (wasInView) QDGrid->scrollTo(current);
}

bool AVQDForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == QDGrid->viewport() && event->type() == QEvent::Resize) vb::Guarded([this] { FitHorizontalBar(); });
  return QWidget::eventFilter(watched, event);
}

void AVQDForm::Form_Unload() {
  if (!loaded_) return;
  loaded_ = false;
  config_.setOpen(false);
}

void AVQDForm::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QWidget::closeEvent(event);
}

void AVQDForm::btnClose_Click() { close(); }

// ---- search

void AVQDForm::srchOption_Click(int index) {
  QDGrid->SetCol(index);
  txtSearch->setEnabled(true);
}

void AVQDForm::btnSearch_Click() {
  const QString text = txtSearch->text();
  if (text.isEmpty()) return;
  // The first chosen option names the column; none keeps the current one.
  for (const auto& option : config_.searchOptions) {
    if (srchOption[size_t(option.first)]->isChecked()) {
      QDGrid->SetCol(option.first);
      break;
    }
  }
  vb::BusyScope busy(this);
  QDGrid->SetRedraw(false);
  // The columns are fitted once the found row is on top, not to the top
  // rows of the sort.
  SortRows(forms::flexSortGenericAscending, false, &busy);

  // The rows were just sorted letter by letter (accents with their letter,
  // without regard to case); the search compares the same way, so that it
  // lands where the text would stand in the order shown.
  int found = -1;
  {
    RowsBusy ticking(*this, busy);
    // Kept while it searches, should the windows it keeps painted replace it.
    const std::shared_ptr<forms::GridRowSource> source = QDGrid->SharedRowSource();
    if (auto* rows = dynamic_cast<QuickListRows*>(source.get())) {
      const int r = rows->JumpRow(QDGrid->Col(), text, config_.prefixOnly);
      if (r >= 0) found = r + QDGrid->FixedRows();
    }
  }
  QDGrid->SetRow(found > 0 ? found : 1);
  QDGrid->SetTopRow(QDGrid->Row());
  QDGrid->SetRedraw(true);
  HighlightQuickRow(found > 0);
  FitColumns();
}

// ---- grid

void AVQDForm::QDGrid_Click() { HighlightQuickRow(true); }

void AVQDForm::HighlightQuickRow(bool mark) {
  if (QDGrid->Row() <= 0) return;
  const int row = QDGrid->Row();
  const int col = QDGrid->Col();
  const bool redraw = QDGrid->Redraw();
  QDGrid->SetRedraw(false);
  // A refill may have left fewer rows than the mark's number.
  if (MarkedRow > 0 && MarkedRow < QDGrid->Rows()) {
    for (int c = kFirstMarkedCol; c <= config_.lastMarkedCol; ++c) QDGrid->SetCellFloodPercent(MarkedRow, c, 0);
  }
  MarkedRow = row;
  if (mark) {
    for (int c = kFirstMarkedCol; c <= config_.lastMarkedCol; ++c) QDGrid->SetCellFloodPercent(row, c, 100);
  } else {
    MarkedRow = 0;
  }
  QDGrid->SetCol(col);
  QDGrid->SetRedraw(redraw);
}

void AVQDForm::QDGrid_DblClick() {
  QDGrid->SetCol(colSection);
  const std::string sectionText = QDGrid->Text().toStdString();
  if (!vb::IsNumeric(vb::Variant(sectionText))) return;
  const double number = vb::Val(sectionText);
  if (number < 1 || number > config_.sections) return;
  const Byte section = Byte(number);
  QDGrid->SetCol(colName);
  const std::string name = QDGrid->Text().toStdString();

  QuickDisplayHooks& hooks = config_.hooks();
  // Loading a record over a new one that is being typed would make the
  // next save add the loaded record a second time.
  if (hooks.AddingRecord && hooks.AddingRecord()) {
    if (vb::MsgBox("A new record is being added in the catalogue window.\n"
                   "Drop the new record and open \"" + name + "\"?",
                   vb::vbYesNo + vb::vbQuestion) != vb::vbYes)
      return;
    if (hooks.CancelAdd) hooks.CancelAdd();
    if (hooks.AddingRecord()) return;  // the new record could not be dropped
  }

  // A record another program deleted since the grid was filled: the user
  // is told, the grid shows what is there now, and the catalogue window
  // keeps the record it shows.
  if (config_.recordExists && !config_.recordExists(section, name)) {
    vb::MsgBox("\"" + name + "\" was removed from the collection \"" + config_.database()->Name() +
                   "\" by another program.",
               vb::vbOKOnly + vb::vbInformation, "Record Removed");
    MarkedRow = 0;
    RefillList();
    return;
  }

  setCursor(Qt::WaitCursor);
  struct RestoreCursor {
    QWidget* w;
    ~RestoreCursor() { w->unsetCursor(); }
  } restore{this};
  HighlightQuickRow(true);
  if (section != config_.currentSection() && hooks.ItemClickProcess) hooks.ItemClickProcess(section);
  QDGrid->SetCol(colName);
  if (hooks.CS_Load_Data) hooks.CS_Load_Data(name);
  unsetCursor();
  if (hooks.BringForward) hooks.BringForward();
}

void AVQDForm::QDGrid_MouseUp(Qt::MouseButton button, const QPoint& globalPos) {
  if (button == Qt::LeftButton) return;
  popup1->popup(globalPos);
}

void AVQDForm::menuA_Click() { SortRows(forms::flexSortGenericAscending); }

void AVQDForm::menuD_Click() { SortRows(forms::flexSortGenericDescending); }

void AVQDForm::SortRows(int order, bool fit, vb::BusyScope* outer) {
  std::optional<vb::BusyScope> own;
  vb::BusyScope& busy = outer ? *outer : own.emplace(this);
  {
    RowsBusy ticking(*this, busy);
    QDGrid->Sort(order);
  }
  if (fit) FitColumns();
  // The mark travels with its row; MarkedRow follows it, so the next
  // marking clears the row that carries it.
  if (MarkedRow <= 0) return;
  for (int r = 1; r < QDGrid->Rows(); ++r) {
    busy.Tick();
    if (QDGrid->CellFloodPercent(r, kFirstMarkedCol) == 100) {
      MarkedRow = r;
      return;
    }
  }
}

// ---- filling

void FillQuickList(forms::FlexGrid& grid, const dao::DatabasePtr& db, const QuickListLayout& layout,
                   const std::function<void()>& busy) {
  const int cols = int(layout.widths.size());
  grid.SetRedraw(false);
  grid.SetRowSource(nullptr);
  grid.Clear();
  grid.SetFixedRows(1);
  grid.SetCols(cols);
  for (int c = 0; c < cols; ++c) grid.SetColWidth(c, layout.widths[size_t(c)]);
  for (int c = 1; c < cols && c < int(layout.captions.size()); ++c)
    grid.SetTextMatrix(0, c, QString::fromLatin1(layout.captions[size_t(c)]));
  auto rows = std::make_shared<QuickListRows>([db]() -> dao::Database& { return *db; }, layout);
  try {
    rows->Refill(busy);
  } catch (...) {
    grid.SetRedraw(true);
    throw;
  }
  grid.SetRowSource(rows);
  grid.SetRow(1);
  grid.SetRedraw(true);
}

// ---- the one window

AVQDForm* ShowQuickDisplay(QWidget* parent) {
  return ShowQuickDisplayIn(OpenWindow(), [parent] { return new AVQDForm(parent); });
}

AVQDForm* ShowQuickDisplayIn(QPointer<AVQDForm>& window, const std::function<AVQDForm*()>& make) {
  if (!window) {
    auto* w = make();
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (!vb::Guarded([w] { w->Form_Load(); })) {
      w->Form_Unload();
      w->deleteLater();
      return nullptr;
    }
    window = w;
  }
  window->show();
  window->raise();
  window->activateWindow();
  return window.data();
}

AVQDForm* QuickDisplayWindow() { return OpenWindow().data(); }

void CloseQuickDisplay() {
  if (AVQDForm* w = OpenWindow().data()) w->close();
}

}  // namespace tvn
