#include "reports/output/PrintPageForm.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/print/Printer.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "reports/output/ReportWindow.h"

namespace tvn::reports {

PrintPageForm::PrintPageForm(ReportContext& context, QWidget* parent) : QDialog(parent), context_(context) {
  setObjectName("PrintPageForm");
  setWindowTitle("Select Pages");
  setModal(true);
  Label1 = new QLabel("Select Print Range", this);
  Label1->setObjectName("Label1");
  const char* captions[] = {"All", "Current Page", "Page Range"};
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    PageOption[i] = new QRadioButton(captions[i], this);
    PageOption[i]->setObjectName(QString("PageOption_%1").arg(i));
    group->addButton(PageOption[i], i);
  }
  RangeFrame = new QGroupBox(this);
  RangeFrame->setObjectName("RangeFrame");
  RangeFrame->setEnabled(false);
  Label2[0] = new QLabel("From Page", RangeFrame);
  Label2[0]->setObjectName("Label2_0");
  FromPage = new QLineEdit("1", RangeFrame);
  FromPage->setObjectName("FromPage");
  Label2[1] = new QLabel("To Page", RangeFrame);
  Label2[1]->setObjectName("Label2_1");
  ToPage = new QLineEdit("99", RangeFrame);
  ToPage->setObjectName("ToPage");
  auto* range = new QGridLayout(RangeFrame);
  range->addWidget(Label2[0], 0, 0);
  range->addWidget(FromPage, 0, 1);
  range->addWidget(Label2[1], 1, 0);
  range->addWidget(ToPage, 1, 1);
  ApplyButton = new QPushButton("Apply", this);
  ApplyButton->setObjectName("ApplyButton");
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName("CancelButton");
  for (QPushButton* b : {ApplyButton, CancelButton}) b->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ApplyButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  for (auto* option : PageOption) layout->addWidget(option);
  layout->addWidget(RangeFrame);
  layout->addLayout(buttons);

  for (int i = 0; i < 3; ++i)
    connect(PageOption[i], &QRadioButton::clicked, this, [this, i] { vb::Guarded([&] { PageOption_Click(i); }); });
  connect(FromPage, &QLineEdit::editingFinished, this, [this] { vb::Guarded([&] { FromPage_LostFocus(); }); });
  connect(ToPage, &QLineEdit::editingFinished, this, [this] { vb::Guarded([&] { ToPage_LostFocus(); }); });
  connect(ApplyButton, &QPushButton::clicked, this, [this] { vb::Guarded([&] { ApplyButton_Click(); }); });
  connect(CancelButton, &QPushButton::clicked, this, [this] { vb::Guarded([&] { CancelButton_Click(); }); });
  Form_Load();
}

int PrintPageForm::PageCount() const {
  return context_.CurrentReportWindow ? context_.CurrentReportWindow->Printer().PageCount() : 0;
}

std::int32_t PrintPageForm::PageValue(const QLineEdit* box) {
  double value = vb::Val(box->text().toStdString());
  // Far beyond any page count either way; rounding as the runtime does.
  value = std::clamp(value, -1e9, 1e9);
  return static_cast<std::int32_t>(std::nearbyint(value));
}

void PrintPageForm::Form_Load() {
  context_.PageFrom = 0;
  context_.PageTo = 0;
  PageOption[0]->setChecked(true);
  ToPage->setText(QString::number(PageCount()));
}

void PrintPageForm::PageOption_Click(int index) {
  (void)index;
  RangeFrame->setEnabled(PageOption[2]->isChecked());
}

void PrintPageForm::FromPage_LostFocus() {
  if (PageValue(FromPage) < 1) FromPage->setText("1");
  if (PageCount() < PageValue(FromPage)) FromPage->setText(QString::number(PageCount()));
}

void PrintPageForm::ToPage_LostFocus() {
  if (PageValue(ToPage) < 1) ToPage->setText("1");
  if (PageCount() < PageValue(ToPage)) ToPage->setText(QString::number(PageCount()));
  if (PageValue(FromPage) > PageValue(ToPage)) ToPage->setText(FromPage->text());
}

bool PrintPageForm::RangeIsValid() const {
  const std::int32_t from = PageValue(FromPage), to = PageValue(ToPage);
  return 1 <= from && from <= to && to <= PageCount();
}

void PrintPageForm::RefuseRange() {
  vb::MsgBox("Page setting error .... Check the page range settings.", vb::vbOKOnly, vb::AppTitle());
}

void PrintPageForm::ApplyButton_Click() {
  // A range goes on only when every page of it exists, however the boxes
  // were filled in.
  if (PageOption[2]->isChecked() && !RangeIsValid()) {
    RefuseRange();
    return;
  }
  Finish(false);
}

void PrintPageForm::CancelButton_Click() { Finish(true); }

void PrintPageForm::reject() {
  // Closing the window (its own button or Escape) counts as Apply, range
  // check included, so no range outside the document gets through.
  ApplyButton_Click();
}

void PrintPageForm::Finish(bool cancelled) {
  if (cancelled) {
    context_.PageFrom = -1;
  } else if (PageOption[1]->isChecked()) {
    int page = context_.CurrentReportWindow ? context_.CurrentReportWindow->Printer().PreviewPage() : 0;
    context_.PageFrom = page;
    context_.PageTo = page;
  } else if (PageOption[2]->isChecked()) {
    context_.PageFrom = PageValue(FromPage);
    context_.PageTo = PageValue(ToPage);
  } else {
    context_.PageFrom = 0;
    context_.PageTo = 0;
  }
  done(cancelled ? QDialog::Rejected : QDialog::Accepted);
}

}  // namespace tvn::reports
