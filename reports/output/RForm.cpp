#include "reports/output/RForm.h"

#include <QFile>
#include <QResizeEvent>
#include <QTemporaryDir>

#include "platform/print/Printer.h"
#include "platform/print/PreviewWidget.h"
#include "reports/output/ReportWindow.h"

namespace tvn::reports {

RForm::RForm(ReportContext& context, QWidget* parent)
    : QDialog(parent), context_(context), printer_(std::make_unique<print::Printer>()) {
  setObjectName("RForm");
  setModal(true);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  VSPrinter2 = new print::PreviewWidget(this);
  VSPrinter2->setObjectName("VSPrinter2");
  VSPrinter2->SetPrinter(printer_.get());
  VSPrinter2->setGeometry(0, 0, 529, 448);  // 7935 by 6720 twips
  resize(640, 480);
  Form_Load();
}

RForm::~RForm() {
  Form_Unload();
  VSPrinter2->SetPrinter(nullptr);
}

void RForm::Form_Load() {
  firstActivation_ = true;
  setWindowTitle(QString::fromStdString(context_.HeadingText));
  // A copy that cannot be made leaves an empty preview, as an unreadable
  // document would.
  folder_ = std::make_unique<QTemporaryDir>();
  if (!folder_->isValid() || !context_.CurrentReportWindow) return;
  temporaryFile_ = folder_->filePath("temp.vs");
  if (context_.CurrentReportWindow->Printer().SaveDoc(temporaryFile_.toStdString()))
    printer_->LoadDoc(temporaryFile_.toStdString());
}

void RForm::Form_Activate() {
  if (!firstActivation_) return;
  firstActivation_ = false;
  setWindowState(windowState() | Qt::WindowMaximized);
}

void RForm::Form_Unload() {
  if (!temporaryFile_.isEmpty()) QFile::remove(temporaryFile_);
  folder_.reset();  // the folder goes with what is left in it
}

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
