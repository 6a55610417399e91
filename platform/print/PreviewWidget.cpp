// The page preview.
#include "platform/print/PreviewWidget.h"

#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

#include "platform/print/Printer.h"

namespace print {

class PageView : public QWidget {};

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {}
PreviewWidget::~PreviewWidget() = default;
void PreviewWidget::SetPrinter(Printer* printer) { printer_ = printer; }
Printer* PreviewWidget::printer() const { return printer_; }
int PreviewWidget::PageShown() const { return printer_ ? printer_->PreviewPage() : 0; }
void PreviewWidget::ShowPage(int page) { if (printer_) printer_->SetPreviewPage(page); }
void PreviewWidget::NextPage() { ShowPage(PageShown() + 1); }
void PreviewWidget::PreviousPage() { ShowPage(PageShown() - 1); }
void PreviewWidget::FirstPage() { ShowPage(1); }
void PreviewWidget::LastPage() { if (printer_) ShowPage(printer_->PageCount()); }
double PreviewWidget::Zoom() const { return zoom_; }
void PreviewWidget::SetZoom(double percent) { zoom_ = percent; fit_mode_ = false; }
void PreviewWidget::ZoomToFit() { fit_mode_ = true; }
bool PreviewWidget::FitsPage() const { return fit_mode_; }
void PreviewWidget::Update() {}
void PreviewWidget::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

}  // namespace print
