#include "games/reports/frmWizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

#include "games/reports/GameSelection.h"
#include "games/reports/R00Module.h"
#include "games/reports/RptForm.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Busy.h"

namespace pl {

using tvn::reports::GridRowKind;
using tvn::reports::GridTicked;
using tvn::reports::SetGridRow;
using tvn::reports::ToggleGridRow;

namespace {

const char* const kSections[] = {"Gameboy", "Nintendo", "Sony", "Sega", "Microsoft", "Other"};
const char* const kSpecialRows[] = {"SPECIAL REPORTS", "Developer Utility Report", "Publisher Utility Report",
                                    "Genre Utility Report", "Supports Utility Report",
                                    "System Type Utility Report"};

QTableWidget* MakeGrid(QWidget* parent, const char* name, int columns, const QRect& place) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->setColumnCount(columns);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setGeometry(place);
  return grid;
}

QLabel* Caption(QWidget* parent, const QString& text, const QRect& place) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(place);
  label->setWordWrap(true);
  return label;
}

}  // namespace

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
  setObjectName("frmWizard");
  setWindowTitle("Pellion Report Wizard");
  setModal(true);
  resize(790, 430);
  for (int i = 0; i < 4; ++i) {
    auto* frame = new QWidget(this);
    frame->setObjectName(QString("fraStep%1").arg(i));
    frame->setGeometry(-10000, 0, 790, 380);
    fraStep.push_back(frame);
  }
  lblStep = Caption(fraStep[0], "The Report Wizard - Step 1", {10, 10, 500, 22});
  lblStep->setObjectName("lblStep");
  Caption(fraStep[0],
          "Welcome to The Pellion Report Wizard. The Wizard will take you step by step through the process "
          "preparing  and printing a report.",
          {10, 40, 500, 60});

  QWidget* s1 = fraStep[1];
  ReportTypeOption[0] = new QRadioButton("Create a General Report", s1);
  ReportTypeOption[0]->setObjectName("ReportTypeOption0");
  ReportTypeOption[0]->setGeometry(10, 5, 240, 22);
  ReportTypeOption[0]->setChecked(true);
  ReportTypeOption[1] = new QRadioButton("Create a Special Report", s1);
  ReportTypeOption[1]->setObjectName("ReportTypeOption1");
  ReportTypeOption[1]->setGeometry(280, 5, 240, 22);
  Caption(s1, "Select all desired sections to include on report", {10, 28, 400, 22});
  ReportGrid = MakeGrid(s1, "ReportGrid", 1, {10, 52, 240, 250});
  UtilityGrid = MakeGrid(s1, "UtilityGrid", 1, {280, 52, 240, 250});
  NameBuildCheck = new QCheckBox("Do not build name lists for criteria selection", s1);
  NameBuildCheck->setObjectName("NameBuildCheck");
  NameBuildCheck->setGeometry(10, 310, 480, 22);
  connect(ReportGrid, &QTableWidget::cellClicked, this,
          [this](int row, int) { vb::Guarded([&] { ReportGrid_Click(row); }); });
  connect(UtilityGrid, &QTableWidget::cellClicked, this,
          [this](int row, int) { vb::Guarded([&] { UtilityGrid_Click(row); }); });

  QWidget* s2 = fraStep[2];
  Caption(s2, "Limit Report by ", {10, 5, 300, 22});
  Caption(s2, "A Specific Name", {10, 30, 160, 22});
  NameCombo = tvn::reports::MakeLimitBox(s2, "NameCombo");
  NameCombo->setGeometry(175, 30, 320, 22);
  const char* filterNames[] = {"PublisherGrid", "DeveloperGrid", "GenreGrid", "SupportsGrid", "SysTypesGrid"};
  QTableWidget** filters[] = {&PublisherGrid, &DeveloperGrid, &GenreGrid, &SupportsGrid, &SysTypesGrid};
  for (int i = 0; i < 5; ++i) {
    QTableWidget* grid = MakeGrid(s2, filterNames[i], 2, {10 + i * 154, 65, 148, 305});
    *filters[i] = grid;
    connect(grid, &QTableWidget::cellClicked, this,
            [this, grid](int row, int) { vb::Guarded([&] { ToggleFilterCheck(grid, row); }); });
  }
  Caption(fraStep[3], "The report is now ready to be displayed. Click the FINISH button to display report.",
          {10, 40, 500, 40});

  const char* captions[] = {"Help", "Cancel", "< &Back", "&Next >", "&Finish"};
  const int lefts[] = {8, 420, 510, 600, 690};
  for (int i = 0; i < 5; ++i) {
    auto* button = new QPushButton(captions[i], this);
    button->setObjectName(QString("C_Button%1").arg(i));
    button->setGeometry(lefts[i], 395, 85, 24);
    button->setAutoDefault(false);
    C_Button[static_cast<size_t>(i)] = button;
    connect(button, &QPushButton::clicked, this, [this, i] { vb::Guarded([&] { C_Button_Click(i); }); });
  }
  C_Button[4]->setEnabled(false);

  FillReportGrids();
  FillPublisherFilter();
  FillDeveloperFilter();
  FillGenreFilter();
  FillSupportsFilter();
  FillSysTypesFilter();
}

void frmWizard::FillReportGrids() {
  ReportGrid->clear();
  ReportGrid->setRowCount(8);
  SetGridRow(ReportGrid, 0, 0, "GENERAL REPORTS", GridRowKind::Heading);
  SetGridRow(ReportGrid, 1, 0, "ALL SECTIONS", GridRowKind::Group);
  for (int r = 2; r <= 7; ++r) SetGridRow(ReportGrid, r, 0, kSections[r - 2], GridRowKind::Item);
  UtilityGrid->clear();
  UtilityGrid->setRowCount(6);
  for (int r = 0; r < 6; ++r)
    SetGridRow(UtilityGrid, r, 0, kSpecialRows[r], r == 0 ? GridRowKind::Heading : GridRowKind::Item);
}

void frmWizard::FillFilter(QTableWidget* grid, const char* heading, const std::string& sql,
                           const std::string& keyField, const std::string& nameField, const char* allText) {
  grid->clear();
  grid->setRowCount(1);
  grid->setColumnWidth(0, 0);
  grid->setColumnHidden(0, true);
  SetGridRow(grid, 0, 1, heading, GridRowKind::Heading);
  dao::RecordsetPtr rs = GameReports().ReportDatabase->OpenRecordset(sql);
  if (rs->Eof()) {
    rs->Close();
    return;
  }
  grid->setUpdatesEnabled(false);
  rs->MoveLast();
  grid->setRowCount(static_cast<int>(rs->RecordCount()) + 2);
  SetGridRow(grid, 1, 1, allText, GridRowKind::Group);
  rs->MoveFirst();
  for (int row = 2; !rs->Eof(); ++row) {
    grid->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(vb::Trim(vb::NzStr(rs->GetField(keyField))))));
    SetGridRow(grid, row, 1, QString::fromStdString(vb::NzStr(rs->GetField(nameField))), GridRowKind::Item);
    rs->MoveNext();
  }
  rs->Close();
  grid->setUpdatesEnabled(true);
  // A freshly loaded grid means no limit: its "ALL" row and every entry ticked.
  ToggleFilterCheck(grid, 1);
}

void frmWizard::FillPublisherFilter() {
  FillFilter(PublisherGrid, "Publishers", "select * from publisher order by labelstudio_name", "publisher",
             "labelstudio_name", "ALL PUBLISHERS");
}
void frmWizard::FillDeveloperFilter() {
  FillFilter(DeveloperGrid, "Developers", "select * from developer order by artist_name", "developer",
             "artist_name", "ALL DEVELOPERS");
}
void frmWizard::FillGenreFilter() {
  FillFilter(GenreGrid, "Genres", "select * from genre order by category", "genre", "category", "ALL GENRES");
}
void frmWizard::FillSupportsFilter() {
  FillFilter(SupportsGrid, "Supports", "select * from supports order by name", "supports", "Name",
             "ALL SUPPORTS");
}
void frmWizard::FillSysTypesFilter() {
  FillFilter(SysTypesGrid, "System Types", "select * from systype order by systype", "systypeid", "systype",
             "ALL SYSTEM TYPES");
}

void frmWizard::ReportGrid_Click(int row) {
  if (row <= 0 || row > 7) return;
  if (row == 1)
    ToggleGridRow(ReportGrid, 1, 0, 2, 7);
  else
    ToggleGridRow(ReportGrid, row, 0);
}

void frmWizard::UtilityGrid_Click(int row) {
  if (row <= 0 || row > 5) return;
  QSignalBlocker block(UtilityGrid);
  for (int r = 1; r <= 5; ++r) tvn::reports::SetGridTick(UtilityGrid, r, 0, r == row);
  UtilityGrid->setCurrentCell(row, 0);
}

void frmWizard::ToggleFilterCheck(QTableWidget* grid, int row) {
  if (row <= 0 || row >= grid->rowCount()) return;
  if (row == 1)
    ToggleGridRow(grid, 1, 1, 2, grid->rowCount() - 1);
  else
    ToggleGridRow(grid, row, 1);
}

std::string frmWizard::ReadCheckedKeys(const QTableWidget* grid) {
  if (grid->rowCount() < 2 || GridTicked(grid, 1, 1)) return "";
  std::string keys;
  for (int r = 2; r < grid->rowCount(); ++r)
    if (GridTicked(grid, r, 1)) keys += " " + grid->item(r, 0)->text().toStdString();
  if (!keys.empty()) keys += " ";
  return keys;
}

void frmWizard::ShowWizardStep() { tvn::reports::ShowWizardStep(fraStep, C_Button, currentStep_, lastStep_); }

void frmWizard::C_Button_Click(int index) {
  tvn::reports::RunWizardButton(*this, index, currentStep_, lastStep_,
                                {{}, [this] { PrepareGameLimits(); }, [this] { SelectGameRecords(); },
                                 [this] { ShowWizardStep(); }});
}

void frmWizard::PrepareGameLimits() {
  if (currentStep_ != 1) return;
  tvn::reports::ReportContext& m = GameReports();
  vb::BusyScope busy(this);
  specialChoice_ = 0;
  sectionList_.clear();
  m.SectionList.clear();
  if (!ReportTypeOption[0]->isChecked()) {
    m.ReportType = kNoGameReport;
    for (int r = 1; r <= 5 && specialChoice_ == 0; ++r)
      if (GridTicked(UtilityGrid, r, 0)) specialChoice_ = r;
    if (specialChoice_ == 0) {
      vb::MsgBox("Please select a report option", vb::vbInformation | vb::vbOKOnly);
      currentStep_ = 0;
      return;
    }
    m.ReportType = static_cast<std::uint8_t>(specialChoice_ + 1);
    ++currentStep_;  // past the limits page
    return;
  }
  m.ReportType = kFullGameReport;
  for (int r = 1; r <= 7; ++r) {
    if (!GridTicked(ReportGrid, r, 0)) continue;
    if (r == 1) {
      sectionList_ = "ALL";
      break;
    }
    sectionList_ += " " + std::to_string(r - 1);
  }
  if (sectionList_ != "ALL") sectionList_ += " ";
  if (vb::Trim(sectionList_).empty()) {
    sectionList_.clear();
    vb::MsgBox("A section must be selected", vb::vbInformation | vb::vbOKOnly);
    currentStep_ = 0;
    m.ReportType = kNoGameReport;
    return;
  }
  m.SectionList = sectionList_;
  if (!NameBuildCheck->isChecked()) {
    // "ALL" offers the names of every section.
    const std::string sql = sectionList_ == "ALL"
                                ? std::string("select distinct name from mediadata order by name")
                                : "select distinct name from mediadata where instr(1,'" + sectionList_ +
                                      "',' ' & sectionnumber & ' ') > 0 order by name";
    tvn::reports::FillLimitBox(NameCombo, m.ReportDatabase, sql, "Name", &busy);
  }
}

GameLimits frmWizard::Limits() const {
  GameLimits limits;
  limits.sectionList = GameReports().SectionList;
  limits.genres = ReadCheckedKeys(GenreGrid);
  limits.developers = ReadCheckedKeys(DeveloperGrid);
  limits.publishers = ReadCheckedKeys(PublisherGrid);
  limits.supports = ReadCheckedKeys(SupportsGrid);
  limits.sysTypes = ReadCheckedKeys(SysTypesGrid);
  limits.name = NameCombo->currentText().toStdString();
  return limits;
}

void frmWizard::SelectGameRecords() {
  tvn::reports::ReportContext& m = GameReports();
  {
    vb::BusyScope busy(this);
    const GameLimits limits = Limits();
    // The name list is done with: its entries are not carried into the report.
    tvn::reports::ReleaseLimitBox(NameCombo);
    // Marked aside, on a connection of its own, so that the engine's
    // commit never holds the window.
    if (m.ReportType == kFullGameReport)
      tvn::reports::RunOnOwnConnection(
          m.ReportDatabase, false, [&limits](const dao::DatabasePtr& db) { MarkGameRecords(*db, limits); }, &busy);
  }
  RptForm report(this);
  report.exec();
}

void frmWizard::Form_Activate() {
  currentStep_ = 0;
  lastStep_ = 3;
  ShowWizardStep();
}

void frmWizard::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Only the first showing starts the wizard over: closing a message box
  // or the report window over it must not send the user back to step 1.
  if (activated_) return;
  activated_ = true;
  Form_Activate();
}

}  // namespace pl
