#include "reports/frmWizardx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/RptForm.h"
#include "platform/runtime/Busy.h"
#include "reports/output/WindowBusy.h"

namespace tvn::reports {

namespace {

QLabel* Caption(QWidget* frame, const QString& text) {
  auto* l = new QLabel(text, frame);
  l->setWordWrap(true);
  return l;
}

// Where each report choice stands on its page: the single sections in two
// columns, the utility reports in a third, the spans under them across the
// page, the two label versions side by side at the foot.
struct ChoicePlace {
  int index, row, column, span;
};
const ChoicePlace kChoicePlaces[] = {
    {1, 2, 0, 1},  {2, 3, 0, 1},   {14, 4, 0, 1},  {15, 5, 0, 1},  {4, 6, 0, 1},   {5, 2, 1, 1},
    {3, 3, 1, 1},  {0, 4, 1, 1},   {6, 5, 1, 1},   {8, 2, 2, 1},   {9, 3, 2, 1},   {10, 4, 2, 1},
    {13, 5, 2, 1}, {7, 7, 0, 3},   {11, 8, 0, 3},  {12, 9, 0, 3},  {16, 10, 0, 2}, {17, 10, 2, 1}};

// The limit choices in two columns, in the order they stand.
const int kLimitColumns[2][4] = {{1, 2, 3, 4}, {0, 5, -1, 6}};
const char* const kLimitCaptions[] = {"A Specific Name",    "All", "A Specific Artist", "A Specific Category",
                                      "A Specific Label/Studio", "A Specific Title  ", "A Specific Tape Index #"};

}  // namespace

frmWizardx::frmWizardx(QWidget* parent) : QDialog(parent) {
  setObjectName("frmWizardx");
  setWindowTitle("The Report Wizard - ver 5");
  setModal(true);
  std::vector<QVBoxLayout*> pages;
  for (int i = 0; i <= 6; ++i) {
    auto* frame = new QWidget(this);
    frame->setObjectName(QString("fraStep%1").arg(i));
    frame->move(-10000, 0);
    auto* page = new QVBoxLayout(frame);
    Caption(frame, "The Report Wizard - Step 1")->setObjectName("lblStep");
    page->addWidget(frame->findChild<QLabel*>("lblStep"));
    page->addSpacing(8);
    pages.push_back(page);
    fraStep.push_back(frame);
  }
  pages[0]->addWidget(Caption(fraStep[0],
                              "Welcome to The Tavolin Report Wizard. The Wizard will take you step by step "
                              "through the process preparing  and printing a report."));
  pages[5]->addWidget(
      Caption(fraStep[5], "The report is now ready to be displayed. Click the FINISH button to display report."));

  QWidget* p1 = fraStep[1];
  auto* choices = new QGridLayout;
  choices->addWidget(Caption(p1, "Select Report Type"), 0, 0, 1, 3, Qt::AlignHCenter);
  choices->addWidget(Caption(p1, "General Reports"), 1, 0, 1, 2, Qt::AlignHCenter);
  choices->addWidget(Caption(p1, "Utility Reports"), 1, 2);
  for (const ChoicePlace& place : kChoicePlaces) {
    const StandardChoice* c = FindStandardChoice(place.index);
    auto* option = new QRadioButton(c->caption, p1);
    option->setObjectName(QString("Step1_Option%1").arg(c->index));
    choices->addWidget(option, place.row, place.column, 1, place.span);
    Step1_Option[static_cast<size_t>(c->index)] = option;
  }
  Step1_Option[7]->setChecked(true);
  choices->addWidget(Caption(p1, "(Avery #5199  -  uses Tape # sort Spans Tape titles across multiple Records)"), 11,
                     0, 1, 2, Qt::AlignTop);
  choices->addWidget(Caption(p1, "(Avery #5199  - uses Title sort Spans Tape titles across single record)"), 11, 2,
                     Qt::AlignTop);
  pages[1]->addLayout(choices);

  QWidget* p2 = fraStep[2];
  pages[2]->addWidget(Caption(p2, "Limit Report to"), 0, Qt::AlignHCenter);
  auto* limits = new QHBoxLayout;
  for (const auto& column : kLimitColumns) {
    auto* options = new QVBoxLayout;
    for (int i : column) {
      if (i < 0) {
        // The title list switch, with its warning, belongs to the title limit.
        options->addWidget(Caption(p2, "Building title list may take a few minutes"));
        TitleBuildCheck = new QCheckBox("Do not build title list", p2);
        TitleBuildCheck->setObjectName("TitleBuildCheck");
        options->addWidget(TitleBuildCheck);
        continue;
      }
      auto* option = new QRadioButton(kLimitCaptions[i], p2);
      option->setObjectName(QString("Step2_Option%1").arg(i));
      options->addWidget(option);
      Step2_Option[static_cast<size_t>(i)] = option;
    }
    options->addStretch();
    limits->addLayout(options);
  }
  pages[2]->addLayout(limits);
  Step2_Option[1]->setChecked(true);
  Step2_Option[6]->setVisible(false);

  QWidget* p3 = fraStep[3];
  PromptLabel = Caption(p3, "From which group ?");
  pages[3]->addWidget(PromptLabel);
  List_Check = MakeLimitBox(p3, "List_Check");
  pages[3]->addWidget(List_Check);
  connect(List_Check, &QComboBox::currentTextChanged, this, [this] { List_Check_Change(); });
  for (QVBoxLayout* page : pages) page->addStretch();

  const char* captions[] = {"Help", "Cancel", "< &Back", "&Next >", "&Finish"};
  const int lefts[] = {120, 2250, 3435, 4560, 5910};
  for (int i = 0; i < 5; ++i) {
    auto* b = new QPushButton(captions[i], this);
    b->setObjectName(QString("C_Button%1").arg(i));
    b->setGeometry(lefts[i] / 15, 0, (i == 3 ? 1065 : 1092) / 15, 312 / 15);
    connect(b, &QPushButton::clicked, this, [this, i] { C_Button_Click(i); });
    C_Button[static_cast<size_t>(i)] = b;
  }
  FitWizardPages(*this, fraStep, C_Button, {7395 / 15, 4260 / 15});
  WidenReportTable(Module().ReportDatabase);
}

void frmWizardx::Form_Activate() {
  currentStep_ = 0;
  lastStep_ = 6;
  ShowSelectorStep();
}

void frmWizardx::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (activated_) return;  // a window closing over it does not start it over
  activated_ = true;
  Form_Activate();
}

void frmWizardx::ShowSelectorStep() { ShowWizardStep(fraStep, C_Button, currentStep_, lastStep_, 5); }

void frmWizardx::C_Button_Click(int index) {
  switch (index) {
    case 1:
      Module().ReportSubtitle.clear();
      reject();
      break;
    case 2:
      Button_Routine_Bkwd();
      if (currentStep_ > 0) --currentStep_;
      ShowSelectorStep();
      break;
    case 3:
      PrepareSelectorStep();
      if (currentStep_ < lastStep_) ++currentStep_;
      ShowSelectorStep();
      break;
    case 4:
      FinishSelection();
      accept();
      break;
    default:
      break;  // Help opens no topic in this version
  }
}

void frmWizardx::PrepareSelectorStep() {
  const dao::DatabasePtr& db = Module().ReportDatabase;
  if (currentStep_ == 1) {
    static const int order[] = {13, 1, 2, 3, 0, 4, 14, 15, 16, 17, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int i : order)
      if (Step1_Option[static_cast<size_t>(i)]->isChecked()) {
        reportChoice_ = i;
        break;
      }
    Step2_Option[6]->setVisible(reportChoice_ == 5);
    Step2_Option[2]->setVisible(reportChoice_ != 6);
    if (reportChoice_ == 13 || (reportChoice_ >= 8 && reportChoice_ <= 10)) currentStep_ = 4;
    Step2_Option[1]->setChecked(true);
    return;
  }
  if (currentStep_ == 3) {
    currentStep_ = 4;
    return;
  }
  if (currentStep_ != 2) return;
  WindowBusy busy(this);
  if (Step2_Option[1]->isChecked()) {
    limitChoice_ = 1;
    currentStep_ = 4;
  }
  List_Check->clear();
  auto addAll = [&](const std::string& sql, const std::string& field) {
    dao::RecordsetPtr rs = db->OpenRecordset(sql);
    while (!rs->Eof()) {
      List_Check->addItem(QString::fromStdString(vb::NzStr(rs->GetField(field))));
      rs->MoveNext();
    }
    rs->Close();
  };
  static const char* prompts[] = {"", "", "Select desired Artist", "Select desired Category",
                                  "Select desired Label or Studio"};
  static const char* lists[][2] = {
      {"", ""},
      {"", ""},
      {"select distinct artist_name from Artists order by artist_name", "artist_name"},
      {"select distinct category from Category order by category", "category"},
      {"select distinct labelstudio_name from LabelStudio order by labelstudio_name", "labelstudio_name"}};
  for (int i = 2; i <= 4; ++i)
    if (Step2_Option[static_cast<size_t>(i)]->isChecked()) {
      limitChoice_ = i;
      PromptLabel->setText(prompts[i]);
      addAll(lists[i][0], lists[i][1]);
    }
  bool title = Step2_Option[5]->isChecked();
  if (title || Step2_Option[0]->isChecked()) {
    db->Execute("delete * from title_list");
    if (reportChoice_ < 8 || reportChoice_ > 10) {
      bool buildTitles = title && !TitleBuildCheck->isChecked();
      dao::RecordsetPtr rs = db->OpenRecordset("mediadata");
      while (!rs->Eof()) {
        if (buildTitles)
          for (int t = 1; t <= 40; ++t) {
            std::string value = vb::NzStr(rs->GetField("title" + std::to_string(t)));
            if (value > "") AddLongTitle(db, value);
          }
        if (!title) List_Check->addItem(QString::fromStdString(vb::NzStr(rs->GetField("Name"))));
        rs->MoveNext();
      }
      rs->Close();
    }
    if (title) {
      limitChoice_ = 5;
      PromptLabel->setText("Select desired Title");
      addAll("select * from title_list order by longtitle", "longtitle");
    } else {
      limitChoice_ = 0;
      PromptLabel->setText("Select desired Name");
    }
  }
  if (Step2_Option[6]->isChecked() && Step2_Option[6]->isVisibleTo(fraStep[2])) {
    limitChoice_ = 6;
    PromptLabel->setText("Enter desired Tape Index #");
    // The video-tape catalogue numbers live in mediadata's tape section.
    dao::RecordsetPtr rs = db->OpenRecordset("select cat_number from mediadata where sectionnumber = 6");
    while (!rs->Eof()) {
      QString number = QString::fromStdString(vb::NzStr(rs->GetField("cat_number")));
      if (List_Check->findText(number, Qt::MatchExactly) < 0) List_Check->addItem(number);
      rs->MoveNext();
    }
    rs->Close();
  }
}

void frmWizardx::List_Check_Change() {
  limitValue_ = List_Check->currentText().toStdString();
  Module().ReportSubtitle = "for " + limitValue_;
}

void frmWizardx::FinishSelection() { BuildStandardSelection(); }

void frmWizardx::BuildStandardSelection() {
  ReportModuleState& m = Module();
  {
    // Clicks are dropped and the window kept painted while the records are
    // marked.
    vb::BusyScope busy(this);
    RunOnOwnConnection(
        m.ReportDatabase, false,
        [&](const dao::DatabasePtr& db) { MarkStandardSelection(db, m, reportChoice_, limitChoice_, limitValue_); },
        &busy);
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

}  // namespace tvn::reports
