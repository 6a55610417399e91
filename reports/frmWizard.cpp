#include "reports/frmWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>

#include <future>

#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/RptForm.h"
#include "platform/runtime/Busy.h"
#include "platform/runtime/TextFold.h"

namespace tvn::reports {

namespace {

struct GridRow {
  const char* text;
  int kind;     // 0 heading, 1 group, 2 item
  int section;  // items only
};
const GridRow kGeneralRows[] = {{"GENERAL REPORTS", 0, 0}, {"MUSIC REPORTS", 1, 0}, {"Cassette", 2, 1},
                                {"Compact Disk", 2, 2},    {"Mini Disk", 2, 7},     {"MP3", 2, 8},
                                {"LP", 2, 5},              {"VIDEO REPORTS", 1, 0}, {"Video Tape", 2, 6},
                                {"DVD", 2, 3},             {"Laser Disk", 2, 4},    {"SOFTWARE REPORTS", 1, 0},
                                {"Software", 2, 9}};
const char* const kSpecialRows[] = {"SPECIAL REPORTS",           "Artist Utility Report",
                                    "Category Utility Report",   "Label/Studio Utility Report",
                                    "Compact Disk Changer Report", "Video Tape Label - Ver 1",
                                    "Video Tape Label - Ver 2"};

QTableWidget* MakeGrid(QWidget* parent, const char* name) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->setColumnCount(1);
  grid->horizontalHeader()->hide();
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return grid;
}

void SetRow(QTableWidget* grid, int row, const QString& text, int kind) {
  SetGridRow(grid, row, 0, text, kind == 0 ? GridRowKind::Heading : kind == 1 ? GridRowKind::Group : GridRowKind::Item);
}

bool Ticked(QTableWidget* grid, int row) { return GridTicked(grid, row, 0); }

QLabel* Text(QWidget* parent, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setWordWrap(true);
  return l;
}

void FillList(QComboBox* box, const std::string& sql, const std::string& field, vb::BusyScope* busy = nullptr) {
  FillLimitBox(box, Module().ReportDatabase, sql, field, busy);
}

std::string Text(QComboBox* box) { return box->currentText().toStdString(); }

}  // namespace

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
  setObjectName("frmWizard");
  setWindowTitle("The Report Wizard - ver 6");
  setModal(true);
  for (int i = 0; i < 4; ++i) {
    auto* frame = new QWidget(this);
    frame->setObjectName(QString("Step%1").arg(i));
    frame->move(-10000, 0);
    fraStep.push_back(frame);
  }
  // Steps 0 and 3: a heading over one text.
  auto textPage = [](QWidget* frame, const QString& text) {
    auto* page = new QVBoxLayout(frame);
    page->addWidget(Text(frame, "The Report Wizard - Step 1"));
    page->addSpacing(10);
    page->addWidget(Text(frame, text));
    page->addStretch();
  };
  textPage(fraStep[0],
           "Welcome to The Tavolin Report Wizard. The Wizard will take you step by step through the process "
           "preparing  and printing a report.");
  textPage(fraStep[3], "The report is now ready to be displayed. Click the FINISH button to display report.");

  // Step 1: the general sections on the left, the special reports and the
  // description of the one ticked on the right, the list switches below.
  QWidget* s1 = fraStep[1];
  ReportTypeOption[0] = new QRadioButton("Create a General Report", s1);
  ReportTypeOption[0]->setObjectName("ReportTypeOption0");
  ReportTypeOption[0]->setChecked(true);
  ReportTypeOption[1] = new QRadioButton("Create a Special Report", s1);
  ReportTypeOption[1]->setObjectName("ReportTypeOption1");
  ReportGrid = MakeGrid(s1, "ReportGrid");
  UtilityGrid = MakeGrid(s1, "UtilityGrid");
  DescriptionLabel = Text(s1, "");
  DescriptionLabel->setObjectName("DescriptionLabel");
  DescriptionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  NameBuildCheck = new QCheckBox("Do not build name lists for criteria selection", s1);
  NameBuildCheck->setObjectName("NameBuildCheck");
  TitleBuildCheck = new QCheckBox("Do not build title lists for criteria selection", s1);
  TitleBuildCheck->setObjectName("TitleBuildCheck");
  auto* page1 = new QGridLayout(s1);
  page1->addWidget(ReportTypeOption[0], 0, 0);
  page1->addWidget(ReportTypeOption[1], 0, 1);
  page1->addWidget(Text(s1, "Select all desired sections to include on report"), 1, 0, 1, 2);
  page1->addWidget(ReportGrid, 2, 0, 2, 1);
  page1->addWidget(UtilityGrid, 2, 1);
  page1->addWidget(DescriptionLabel, 3, 1);
  page1->addWidget(NameBuildCheck, 4, 0, 1, 2);
  page1->addWidget(TitleBuildCheck, 5, 0, 1, 2);
  page1->setRowStretch(3, 1);
  connect(ReportGrid, &QTableWidget::cellClicked, this, [this](int row, int) { ReportGrid_Click(row); });
  connect(UtilityGrid, &QTableWidget::cellClicked, this, [this](int row, int) { UtilityGrid_Click(row); });

  // Step 2: one limit box per line with its caption before it.
  QWidget* s2 = fraStep[2];
  auto* page2 = new QGridLayout(s2);
  page2->addWidget(Text(s2, "Limit Report by "), 0, 0, 1, 2);
  auto limit = [&](const char* name, const char* caption, QLabel** label = nullptr) {
    const int row = page2->rowCount();
    auto* l = new QLabel(caption, s2);
    QComboBox* box = MakeLimitBox(s2, name);
    box->setMinimumWidth(300);
    page2->addWidget(l, row, 0);
    page2->addWidget(box, row, 1);
    if (label) *label = l;
    return box;
  };
  ArtistCombo = limit("ArtistCombo", "A Specific Artist");
  CategoryCombo = limit("CategoryCombo", "A Specific Category");
  LabelCombo = limit("LabelCombo", "A Specific Label/Studio");
  NameCombo = limit("NameCombo", "A Specific Name");
  TitleCombo = limit("TitleCombo", "A Specific Title");
  TapeIndexCombo = limit("TapeIndexCombo", "A Specific Tape Index #", &TapeIndexLabel);
  // The tape index line is hidden for most reports; its room stays kept so
  // the note below does not jump.
  QSizePolicy keep = TapeIndexCombo->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  TapeIndexCombo->setSizePolicy(keep);
  keep = TapeIndexLabel->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  TapeIndexLabel->setSizePolicy(keep);
  page2->addWidget(Text(s2,
                        "Report criteria is processed with a like search of matching characters. For example if "
                        "an  A  is entered for Name the report will include all items beginning with an  A"),
                   page2->rowCount(), 0, 1, 2);
  page2->setRowStretch(page2->rowCount(), 1);
  page2->setColumnStretch(1, 1);

  const char* captions[] = {"Help", "Cancel", "< &Back", "&Next >", "&Finish"};
  const int lefts[] = {120, 2250, 3435, 4560, 5910};
  for (int i = 0; i < 5; ++i) {
    C_Button[static_cast<size_t>(i)] = new QPushButton(captions[i], this);
    C_Button[static_cast<size_t>(i)]->setObjectName(QString("C_Button%1").arg(i));
    C_Button[static_cast<size_t>(i)]->setGeometry(lefts[i] / 15, 0, (i == 3 ? 1065 : 1092) / 15, 312 / 15);
    connect(C_Button[static_cast<size_t>(i)], &QPushButton::clicked, this, [this, i] { C_Button_Click(i); });
  }

  // Loading: help has no topics here; the work table is made ready.
  WidenReportTable(Module().ReportDatabase);
  FillReportTypeGrids();
  ShowAllRows(ReportGrid);
  ShowAllRows(UtilityGrid);
  // The description needs room for the longer of its two texts.
  DescriptionLabel->setMinimumHeight(DescriptionLabel->fontMetrics().height() * 5);
  DescriptionLabel->setText("");
  FitWizardPages(*this, fraStep, C_Button, {520, 340});
}

void frmWizard::FillReportTypeGrids() {
  ReportGrid->clear();
  ReportGrid->setRowCount(13);
  for (int r = 0; r < 13; ++r) SetRow(ReportGrid, r, kGeneralRows[r].text, kGeneralRows[r].kind);
  UtilityGrid->clear();
  UtilityGrid->setRowCount(7);
  for (int r = 0; r < 7; ++r) SetRow(UtilityGrid, r, kSpecialRows[r], r == 0 ? 0 : 2);
  FillList(ArtistCombo, "select distinct artist_name from Artists order by artist_name", "artist_name");
  FillList(CategoryCombo, "select distinct category from Category order by category", "category");
  FillList(LabelCombo, "select distinct LabelStudio_Name from LabelStudio order by labelstudio_name",
           "labelstudio_name");
}

void frmWizard::ReportGrid_Click(int row) {
  if (row <= 0 || row == 11 || row > 12) return;
  if (row == 1)
    ToggleGridRow(ReportGrid, row, 0, 2, 6);
  else if (row == 7)
    ToggleGridRow(ReportGrid, row, 0, 8, 10);
  else
    ToggleGridRow(ReportGrid, row, 0);
}

void frmWizard::UtilityGrid_Click(int row) {
  if (row <= 0 || row > 6) return;
  QSignalBlocker block(UtilityGrid);
  for (int r = 1; r <= 6; ++r) UtilityGrid->item(r, 0)->setCheckState(r == row ? Qt::Checked : Qt::Unchecked);
  UtilityGrid->setCurrentCell(row, 0);
  if (row == 5)
    DescriptionLabel->setText(
        "This report is based on Avery #5199  -  uses Tape # sort Spans Tape titles across multiple Records");
  else if (row == 6)
    DescriptionLabel->setText(
        "This report is based on Avery #5199  - uses Title sort Spans Tape titles across single record");
  else
    DescriptionLabel->setText("");
}

void frmWizard::ShowWizardStep() { tvn::reports::ShowWizardStep(fraStep, C_Button, currentStep_, lastStep_); }

void frmWizard::C_Button_Click(int index) {
  RunWizardButton(*this, index, currentStep_, lastStep_,
                  {[this] { Button_Routine_Bkwd(); }, [this] { PrepareWizardLimits(); },
                   [this] { BuildSelectionFlags(); }, [this] { ShowWizardStep(); }});
}

void frmWizard::PrepareWizardLimits() {
  if (currentStep_ != 1) return;
  ReportModuleState& m = Module();
  vb::BusyScope busy(this);
  specialChoice_ = 0;
  m.SectionList = "";
  if (ReportTypeOption[0]->isChecked()) {
    std::string list;
    for (int r = 1; r <= 12; ++r)
      if (kGeneralRows[r].kind == 2 && Ticked(ReportGrid, r)) list += std::to_string(kGeneralRows[r].section) + " ";
    if (!list.empty()) m.SectionList = " " + list + " ";
  } else {
    for (int r = 1; r <= 6 && specialChoice_ == 0; ++r)
      if (Ticked(UtilityGrid, r)) specialChoice_ = r;
    static const std::uint8_t types[] = {0, 8, 9, 10, 7, 16, 17};
    if (specialChoice_ > 0) m.ReportType = types[specialChoice_];
    if (specialChoice_ >= 5) m.SectionList = " 6 ";
  }
  if (m.SectionList.empty() && specialChoice_ == 0) {
    vb::MsgBox("Please select a report option", vb::vbInformation | vb::vbOKOnly);
    currentStep_ = 0;
    return;
  }
  bool tapesOnly = vb::Trim(m.SectionList) == "6";
  TapeIndexCombo->setVisible(tapesOnly);
  TapeIndexLabel->setVisible(tapesOnly);
  TapeIndexCombo->clear();
  if (tapesOnly)
    FillList(TapeIndexCombo, "select distinct cat_number from mediadata where sectionnumber = 6 order by cat_number",
             "cat_number", &busy);
  std::string inList = "instr(1,'" + m.SectionList + "',' ' & sectionnumber & ' ') > 0";
  if (!NameBuildCheck->isChecked())
    FillList(NameCombo, "select distinct name from mediadata where " + inList + " order by name", "Name", &busy);
  if (!TitleBuildCheck->isChecked()) {
    // Built aside, on connections of their own: the list's commit alone
    // held the window for half a second at 100,000 records. The titles are
    // read on a connection that only reads (it needs no large page cache),
    // then written while their letter order is worked out beside the
    // writing: the box gets them in the order it would read them back in.
    LimitList titles;
    RunOnOwnConnection(
        m.ReportDatabase, true, [&](const dao::DatabasePtr& db) { titles = ReadTitleList(db, m.SectionList); }, &busy);
    std::vector<std::uint32_t> order;
    RunOnOwnConnection(
        m.ReportDatabase, false,
        [&](const dao::DatabasePtr& db) {
          // Both only read the list. Should the writing fail, the sort is
          // waited for (by its future) before the list goes.
          std::future<std::vector<std::uint32_t>> sorted =
              std::async(std::launch::async, [&titles] { return titles.LetterOrder(); });
          StoreTitleList(db, titles);
          order = sorted.get();
        },
        &busy);
    titles.SetOrder(std::move(order));
    FillLimitBox(TitleCombo, std::move(titles));
  }
}

void frmWizard::BuildSelectionFlags() {
  ReportModuleState& m = Module();
  {
    vb::BusyScope busy(this);
    WizardLimits limits{Text(ArtistCombo), Text(CategoryCombo), Text(LabelCombo),
                        Text(NameCombo),   Text(TitleCombo),    Text(TapeIndexCombo)};
    // The lists are done with: their entries (a million titles can take
    // tens of megabytes) are not carried into the report.
    for (QComboBox* box : {ArtistCombo, CategoryCombo, LabelCombo, NameCombo, TitleCombo, TapeIndexCombo})
      ReleaseLimitBox(box);
    // Marked aside, on a connection of its own: the commit of a million
    // marks is one step of the engine that would hold the window.
    const bool general = ReportTypeOption[0]->isChecked();
    RunOnOwnConnection(
        m.ReportDatabase, false,
        [&](const dao::DatabasePtr& db) { MarkWizardSelection(db, m, general, specialChoice_, limits); }, &busy);
  }
  {
    RptForm report(this);
    report.exec();
  }
  // The records without a name go: they are looked for aside (a scan of
  // the whole collection) and removed here, so that the windows follow.
  vb::BusyScope busy(this);
  std::vector<std::int64_t> nameless;
  RunOnOwnConnection(
      m.ReportDatabase, true, [&nameless](const dao::DatabasePtr& db) { nameless = NamelessRecords(db); }, &busy);
  FinishReport(m.ReportDatabase, m, &nameless);
}

void frmWizard::Form_Activate() {
  currentStep_ = 0;
  lastStep_ = 3;
  ShowWizardStep();
  QApplication::processEvents();
  // With the captions in place this writes nothing and ends at once; on a
  // collection whose records lack them it writes every record, so the
  // window is kept painted and clicks are dropped meanwhile.
  vb::BusyScope busy(this);
  RunOnOwnConnection(Module().ReportDatabase, false, [](const dao::DatabasePtr& db) { ApplySectionCaptions(db); },
                     &busy);
}

void frmWizard::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Only the first showing starts the wizard over: a message box over it
  // or the report window closing must not send the user back to step 1.
  if (activated_) return;
  activated_ = true;
  Form_Activate();
}

}  // namespace tvn::reports
