#pragma once
// "Load/Save a Report": save the current document, or load a saved one as
// a new document or appended to the current one. The choice lands in the
// library's DocumentAction (0, 1, 2); the caller sets it to 0 first.
#include <QDialog>
#include <array>

#include "reports/output/ReportContext.h"

class QPushButton;
class QRadioButton;

namespace tvn::reports {

class SaveLoadDocumentForm : public QDialog {
  Q_OBJECT
 public:
  SaveLoadDocumentForm(ReportContext& context, QWidget* parent = nullptr);

  std::array<QRadioButton*, 3> Option1{};
  QPushButton* ApplyButton;

  void Option1_Click(int index);
  void ApplyButton_Click();

 private:
  ReportContext& context_;
};

}  // namespace tvn::reports
