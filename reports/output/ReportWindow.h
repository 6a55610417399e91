#pragma once
// The part of a report window both report libraries share: the preview
// (VSPrinter1) with its four buttons, the "Processing Report" notice, the
// export frame, and the commands Create Report, PDF export, Save/Load
// Document, full-size preview and Close. A library's own window adds its
// options panels and says which writer Create Report runs.
#include <QDialog>
#include <memory>
#include <string>

#include "reports/output/ReportContext.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class QWidget;

namespace print {
class Printer;
class PreviewWidget;
}  // namespace print

namespace tvn::reports {

class ReportWindowFrame : public QDialog {
  Q_OBJECT
 public:
  // caption: the window's caption; context: the library's state, which
  // must outlive the window.
  ReportWindowFrame(ReportContext& context, const QString& caption, QWidget* parent = nullptr);
  ~ReportWindowFrame() override;

  ReportContext& Context() const { return context_; }
  // The document surface the preview shows and the writers draw on.
  print::Printer& Printer() const;

  print::PreviewWidget* VSPrinter1;
  QPushButton* MaxButton;
  QPushButton* CreateButton;
  QPushButton* SaveButton;
  QPushButton* CloseButton;
  QFrame* MsgFrame;
  QLabel* MsgLabel;
  QFrame* ExportFrame;
  QPushButton* btnPDF;
  QCheckBox* Check1;
  QCheckBox* HTMLCheck;

  // The left column of the window, where the options panels stand; the
  // export frame stands at its foot until a panel takes it in.
  QWidget* OptionsArea;

  // Asks for a file name; "" when the user cancels. The save form serves
  // files about to be written, the open form documents about to be loaded.
  std::string AskFileName(const std::string& defaultName, const std::string& filter, bool forSaving = true);

  void CreateButton_Click();
  void btnPDF_Click();
  void SaveButton_Click();
  void MaxButton_Click();
  void CloseButton_Click();

  // Moves the export frame into a panel's layout (below what it holds).
  void PlaceExportFrame(QWidget* panel);
  // Opens the window large enough to show the whole of a scrolled options
  // panel, as far as the screen allows: only a small screen leaves the
  // panel to scrolling.
  void ShowWholePanel(QScrollArea* panel);

 protected:
  // Runs the writer of the current report type on Printer().
  virtual void RunReportWriter() = 0;
  void closeEvent(QCloseEvent* event) override;

 private:
  // The document or page range the save command writes; false when the
  // range was cancelled.
  bool SaveDocument(const std::string& file);
  void LoadDocument(const std::string& file, bool append);

  ReportContext& context_;
  std::unique_ptr<print::Printer> printer_;
  QVBoxLayout* optionsLayout_;
};

// A default export or document name in the data folder ("rpt.pdf").
std::string DataFolderFile(const ReportContext& context, const std::string& name);

}  // namespace tvn::reports
