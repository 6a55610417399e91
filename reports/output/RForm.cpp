#include "reports/output/RForm.h"

#include <QResizeEvent>

#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "reports/output/ReportWindow.h"

namespace tvn::reports {

RForm::RForm(ReportContext& context, QWidget* parent)
    : QDialog(parent), context_(context), empty_(std::make_unique<print::Printer>()), shown_(empty_.get()) {
  setObjectName("RForm");
  setModal(true);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  VSPrinter2 = new print::PreviewWidget(this);
  VSPrinter2->setObjectName("VSPrinter2");
  VSPrinter2->setGeometry(0, 0, 529, 448);  // 7935 by 6720 twips
  resize(640, 480);
  Form_Load();
}

RForm::~RForm() { VSPrinter2->SetPrinter(nullptr); }

void RForm::Form_Load() {
  firstActivation_ = true;
  setWindowTitle(QString::fromStdString(context_.HeadingText));
  // The window's pages are shown as they are, never copied: a long report
  // shows at once and in no more memory.
  shown_ = context_.CurrentReportWindow ? &context_.CurrentReportWindow->Printer() : empty_.get();
  VSPrinter2->SetPrinterViewedApart(shown_);
}

void RForm::Form_Activate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  setWindowState(windowState() | Qt::WindowMaximized);
}

void RForm::Form_Unload() { VSPrinter2->SetPrinter(empty_.get()); }

void RForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Form_Activate();
}

void RForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // The preview leaves 100 twips at the side and 400 below.
  VSPrinter2->resize(std::max(0, width() - 7), std::max(0, height() - 27));
}

void RForm::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

}  // namespace tvn::reports
