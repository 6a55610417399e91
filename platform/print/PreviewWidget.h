#pragma once
// Shows one page of a Printer's document: page navigation, zoom to fit and
// the page shown now (the Printer's PreviewPage follows it).
#include <QWidget>

class QLabel;
class QScrollArea;
class QToolButton;

namespace print {

class Printer;
class PageView;

class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWidget(QWidget* parent = nullptr);
  ~PreviewWidget() override;

  // The surface shown; the widget follows its document and preview page.
  void SetPrinter(Printer* printer);
  // The same, but the widget turns its pages on its own, from page 1,
  // leaving the surface's preview page as it is: a second view of one
  // document.
  void SetPrinterViewedApart(Printer* printer);
  Printer* printer() const;

  int PageShown() const;  // 1-based, 0 with no pages
  void ShowPage(int page);
  void NextPage();
  void PreviousPage();
  void FirstPage();
  void LastPage();

  // Zoom in percent of the page's real size; ZoomToFit fits the whole page
  // into the view (the default, kept on resize).
  double Zoom() const;
  void SetZoom(double percent);
  void ZoomToFit();
  bool FitsPage() const;

 signals:
  void pageShown(int page);

 private:
  void Update();

  Printer* printer_ = nullptr;
  int ownPage_ = -1;  // the page shown when viewed apart; -1 follows the surface
  QScrollArea* scroll_ = nullptr;
  PageView* view_ = nullptr;
  QToolButton* first_ = nullptr;
  QToolButton* previous_ = nullptr;
  QToolButton* next_ = nullptr;
  QToolButton* last_ = nullptr;
  QToolButton* fit_ = nullptr;
  QLabel* pageLabel_ = nullptr;
  double zoom_ = 100;
  bool fit_mode_ = true;

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

}  // namespace print
