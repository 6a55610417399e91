#pragma once
// The full-size preview: the report window's current document in a
// maximised window of its own, captioned with the report's product line.
// It shows the window's own pages, turned apart from the window's preview.
#include <QDialog>
#include <memory>

#include "reports/output/ReportContext.h"

namespace print {
class Printer;
class PreviewWidget;
}  // namespace print

namespace tvn::reports {

class RForm : public QDialog {
  Q_OBJECT
 public:
  RForm(ReportContext& context, QWidget* parent = nullptr);
  ~RForm() override;

  print::PreviewWidget* VSPrinter2;
  // The surface shown: the report window's, or an empty one without it.
  print::Printer& Printer() const { return *shown_; }

  void Form_Load();
  void Form_Activate();
  void Form_Unload();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void done(int result) override;

 private:
  ReportContext& context_;
  std::unique_ptr<print::Printer> empty_;
  print::Printer* shown_ = nullptr;
  bool firstActivation_ = true;
};

}  // namespace tvn::reports
