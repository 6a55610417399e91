// The page preview: a scrolled page view over the layer's own painter, and
// a row of page buttons.
#include "platform/print/PreviewWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/print/Printer.h"

namespace print {

// Paints the page shown, scaled from twips to the widget.
class PageView : public QWidget {
 public:
  explicit PageView(QWidget* parent) : QWidget(parent) { setObjectName("PageView"); }
  const Printer* printer = nullptr;
  int page = 0;
  double scale = 96.0 / kTwipsPerInch;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!printer || page < 1) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(scale, scale);
    RenderPage(*printer, page, painter);
  }
};

namespace {
QToolButton* Button(QWidget* parent, const char* name, const QString& text, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setText(text);
  b->setToolTip(tip);
  return b;
}
}  // namespace

PreviewWidget::PreviewWidget(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  auto* bar = new QHBoxLayout;
  first_ = Button(this, "FirstPageButton", "|<", "First page");
  previous_ = Button(this, "PreviousPageButton", "<", "Previous page");
  next_ = Button(this, "NextPageButton", ">", "Next page");
  last_ = Button(this, "LastPageButton", ">|", "Last page");
  fit_ = Button(this, "ZoomFitButton", "Fit", "Whole page");
  pageLabel_ = new QLabel(this);
  pageLabel_->setObjectName("PageLabel");
  bar->addWidget(first_);
  bar->addWidget(previous_);
  bar->addWidget(pageLabel_);
  bar->addWidget(next_);
  bar->addWidget(last_);
  bar->addStretch();
  bar->addWidget(fit_);
  layout->addLayout(bar);
  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("PageScroll");
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setBackgroundRole(QPalette::Dark);
  view_ = new PageView(scroll_);
  scroll_->setWidget(view_);
  layout->addWidget(scroll_, 1);
  connect(first_, &QToolButton::clicked, this, &PreviewWidget::FirstPage);
  connect(previous_, &QToolButton::clicked, this, &PreviewWidget::PreviousPage);
  connect(next_, &QToolButton::clicked, this, &PreviewWidget::NextPage);
  connect(last_, &QToolButton::clicked, this, &PreviewWidget::LastPage);
  connect(fit_, &QToolButton::clicked, this, &PreviewWidget::ZoomToFit);
  Update();
}

PreviewWidget::~PreviewWidget() = default;

void PreviewWidget::SetPrinterViewedApart(Printer* printer) {
  SetPrinter(printer);
  if (!printer_) return;
  disconnect(printer_, &Printer::previewPageChanged, this, nullptr);
  ownPage_ = printer_->PageCount() > 0 ? 1 : 0;
  Update();
}

void PreviewWidget::SetPrinter(Printer* printer) {
  if (printer_) disconnect(printer_, nullptr, this, nullptr);
  printer_ = printer;
  view_->printer = printer;
  ownPage_ = -1;
  if (printer_) {
    connect(printer_, &Printer::documentChanged, this, &PreviewWidget::Update);
    connect(printer_, &Printer::previewPageChanged, this, [this](int page) {
      Update();
      emit pageShown(page);
    });
    connect(printer_, &Printer::refreshRequested, this, &PreviewWidget::Update);
    connect(printer_, &QObject::destroyed, this, [this] {
      printer_ = nullptr;
      view_->printer = nullptr;
      Update();
    });
  }
  Update();
}

Printer* PreviewWidget::printer() const { return printer_; }
int PreviewWidget::PageShown() const {
  if (!printer_) return 0;
  if (ownPage_ < 0) return printer_->PreviewPage();
  const int pages = printer_->PageCount();
  return pages == 0 ? 0 : std::clamp(ownPage_, 1, pages);
}
void PreviewWidget::ShowPage(int page) {
  if (!printer_) return;
  if (ownPage_ < 0) {
    printer_->SetPreviewPage(page);
    return;
  }
  const int pages = printer_->PageCount();
  page = pages == 0 ? 0 : std::clamp(page, 1, pages);
  if (page == PageShown()) return;
  ownPage_ = page;
  Update();
  emit pageShown(page);
}
void PreviewWidget::NextPage() { ShowPage(PageShown() + 1); }
void PreviewWidget::PreviousPage() { ShowPage(PageShown() - 1); }
void PreviewWidget::FirstPage() { ShowPage(1); }
void PreviewWidget::LastPage() {
  if (printer_) ShowPage(printer_->PageCount());
}
double PreviewWidget::Zoom() const { return zoom_; }
void PreviewWidget::SetZoom(double percent) {
  zoom_ = std::clamp(percent, 5.0, 800.0);
  fit_mode_ = false;
  Update();
}
void PreviewWidget::ZoomToFit() {
  fit_mode_ = true;
  Update();
}
bool PreviewWidget::FitsPage() const { return fit_mode_; }

void PreviewWidget::Update() {
  const int pages = printer_ ? printer_->PageCount() : 0;
  const int page = PageShown();
  double w = kLetterWidth, h = kLetterHeight;
  if (page >= 1 && page <= pages) {
    const Page& p = printer_->document().pages[static_cast<size_t>(page - 1)];
    w = p.width;
    h = p.height;
  }
  // Zoom 100 is the page's real size on a 96-dpi screen.
  const double real = logicalDpiX() / kTwipsPerInch;
  if (fit_mode_) {
    const QSize area = scroll_->viewport()->size() - QSize(8, 8);
    const double s = std::max(0.01, std::min(area.width() / w, area.height() / h));
    zoom_ = s / real * 100.0;
  }
  const double scale = real * zoom_ / 100.0;
  view_->page = page;
  view_->scale = scale;
  view_->setFixedSize(std::max(1, static_cast<int>(w * scale)), std::max(1, static_cast<int>(h * scale)));
  view_->update();
  pageLabel_->setText(pages == 0 ? QString() : QStringLiteral("Page %1 of %2").arg(page).arg(pages));
  first_->setEnabled(page > 1);
  previous_->setEnabled(page > 1);
  next_->setEnabled(page < pages);
  last_->setEnabled(page < pages);
}

void PreviewWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fit_mode_) Update();
}

}  // namespace print
