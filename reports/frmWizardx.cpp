#include "reports/frmWizardx.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "platform/runtime/Functions.h"
#include "reports/ReportModule.h"
#include "reports/ReportSelection.h"
#include "reports/RptForm.h"
#include "reports/output/WindowBusy.h"

namespace tvn::reports {

namespace {

// Twips to pixels at the usual 15 twips a pixel.
int Px(int twips) { return twips / 15; }

QLabel* Caption(QWidget* frame, const QString& text, int left, int top, int width = 300) {
  auto* l = new QLabel(text, frame);
  l->setGeometry(Px(left), Px(top), width, 20);
  return l;
}

struct LimitOption {
  const char* caption;
  int left, top;
};
const LimitOption kLimits[] = {{"A Specific Name", 3975, 1410},       {"All", 525, 1425},
                               {"A Specific Artist", 525, 1830},      {"A Specific Category", 525, 2265},
                               {"A Specific Label/Studio", 525, 2685}, {"A Specific Title  ", 3990, 2025},
                               {"A Specific Tape Index #", 3990, 3195}};

}  // namespace

frmWizardx::frmWizardx(QWidget* parent) : QDialog(parent) {
  setObjectName("frmWizardx");
  setWindowTitle("The Report Wizard - ver 5");
  setModal(true);
  resize(Px(7395), Px(4305 + 570));
  for (int i = 0; i <= 6; ++i) {
    auto* frame = new QWidget(this);
    frame->setObjectName(QString("fraStep%1").arg(i));
    frame->setGeometry(-10000, 0, Px(7395), Px(4260));
    Caption(frame, "The Report Wizard - Step 1", 120, 120)->setObjectName("lblStep");
    fraStep.push_back(frame);
  }
  auto* welcome = Caption(fraStep[0],
                          "Welcome to The Tavolin Report Wizard. The Wizard will take you step by step through the "
                          "process preparing  and printing a report.",
                          1500, 1200, 360);
  welcome->setWordWrap(true);
  welcome->setMinimumHeight(60);
  auto* ready = Caption(fraStep[5],
                        "The report is now ready to be displayed. Click the FINISH button to display report.", 1500,
                        1200, 360);
  ready->setWordWrap(true);
  ready->setMinimumHeight(60);

  QWidget* p1 = fraStep[1];
  Caption(p1, "Select Report Type", 2205, 525);
  Caption(p1, "General Reports", 840, 930);
  Caption(p1, "Utility Reports", 4605, 960);
  int count = 0;
  const StandardChoice* choices = StandardChoices(count);
  for (int k = 0; k < count; ++k) {
    const StandardChoice& c = choices[k];
    auto* option = new QRadioButton(c.caption, p1);
    option->setObjectName(QString("Step1_Option%1").arg(c.index));
    option->setGeometry(Px(c.left), Px(c.top), 250, 18);
    Step1_Option[static_cast<size_t>(c.index)] = option;
  }
  Step1_Option[7]->setChecked(true);
  Caption(p1, "(Avery #5199  -  uses Tape # sort Spans Tape titles across multiple Records)", 435, 3660, 240)
      ->setWordWrap(true);
  Caption(p1, "(Avery #5199  - uses Title sort Spans Tape titles across single record)", 4035, 3690, 220)
      ->setWordWrap(true);

  QWidget* p2 = fraStep[2];
  Caption(p2, "Limit Report to", 2340, 915);
  for (int i = 0; i < 7; ++i) {
    auto* option = new QRadioButton(kLimits[i].caption, p2);
    option->setObjectName(QString("Step2_Option%1").arg(i));
    option->setGeometry(Px(kLimits[i].left), Px(kLimits[i].top), 200, 18);
    Step2_Option[static_cast<size_t>(i)] = option;
  }
  Step2_Option[1]->setChecked(true);
  Step2_Option[6]->setVisible(false);
  TitleBuildCheck = new QCheckBox("Do not build title list", p2);
  TitleBuildCheck->setObjectName("TitleBuildCheck");
  TitleBuildCheck->setGeometry(Px(4305), Px(2655), 200, 18);
  Caption(p2, "Building title list may take a few minutes", 4095, 2370, 230);

  QWidget* p3 = fraStep[3];
  PromptLabel = Caption(p3, "From which group ?", 1710, 1380);
  List_Check = new QComboBox(p3);
  List_Check->setObjectName("List_Check");
  List_Check->setEditable(true);
  List_Check->setGeometry(Px(165), Px(2115), Px(6690), 22);
  connect(List_Check, &QComboBox::currentTextChanged, this, [this] { List_Check_Change(); });

  const char* captions[] = {"Help", "Cancel", "< &Back", "&Next >", "&Finish"};
  const int lefts[] = {120, 2250, 3435, 4560, 5910};
  for (int i = 0; i < 5; ++i) {
    auto* b = new QPushButton(captions[i], this);
    b->setObjectName(QString("C_Button%1").arg(i));
    b->setGeometry(Px(lefts[i]), Px(4305 + (i == 0 ? 135 : 120)), Px(i == 3 ? 1065 : 1092), Px(312));
    connect(b, &QPushButton::clicked, this, [this, i] { C_Button_Click(i); });
    C_Button[static_cast<size_t>(i)] = b;
  }
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

void frmWizardx::FinishSelection() {
  ReportModuleState& m = Module();
  {
    WindowBusy busy(this);
    setEnabled(false);
    try {
      MarkStandardSelection(m.ReportDatabase, m, reportChoice_, limitChoice_, limitValue_);
    } catch (...) {
      setEnabled(true);
      throw;
    }
    setEnabled(true);
  }
  {
    RptForm report(this);
    report.exec();
  }
  FinishReport(m.ReportDatabase, m);
}

}  // namespace tvn::reports
