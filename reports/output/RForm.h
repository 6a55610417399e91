#pragma once
// The full-size preview: the report window's current document in a
// maximised window of its own, captioned with the report's product line.
#include <QDialog>
#include <memory>

#include "reports/output/ReportContext.h"

class QTemporaryDir;

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
  print::Printer& Printer() const { return *printer_; }
  // The copy of the document this window reads, while it is open.
  QString TemporaryFile() const { return temporaryFile_; }

  void Form_Load();
  void Form_Activate();
  void Form_Unload();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void done(int result) override;

 private:
  ReportContext& context_;
  std::unique_ptr<print::Printer> printer_;
  // The copy goes to a folder of the system's temporary area, never to
  // the data folder, which may not be writable.
  std::unique_ptr<QTemporaryDir> folder_;
  QString temporaryFile_;
  bool firstActivation_ = true;
};

}  // namespace tvn::reports
