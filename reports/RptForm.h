#pragma once
// The report window of the media report library: the shared report
// window frame with the options panels of the media report types at its
// left. Create Report runs the writer of the current ReportType.
#include <array>

#include "reports/output/ReportWindow.h"

class QGroupBox;
class QRadioButton;
class QScrollArea;

namespace tvn::reports {

class RptForm : public ReportWindowFrame {
  Q_OBJECT
 public:
  // Opens on the media library's state (Module()).
  explicit RptForm(QWidget* parent = nullptr);
  ~RptForm() override;

  // Report type 6: complete or one-line report, sort order, options.
  QScrollArea* R6Frame;
  QGroupBox* TypeFrame;
  std::array<QRadioButton*, 3> TypeOption{};  // 1 and 2; 0 unused
  QGroupBox* SortFrame;
  std::array<QRadioButton*, 5> R6SortOption{};
  QGroupBox* Frame14;
  std::array<QCheckBox*, 7> R6Check{};
  // Report type 7: the changer grouping.
  QFrame* R7Frame;
  QGroupBox* Frame3;
  std::array<QRadioButton*, 3> R7SortOption{};
  // Report types 8 and 10: the sections whose entries are listed.
  QFrame* R8Frame;
  QGroupBox* Frame5;
  std::array<QCheckBox*, 6> R8Check{};

  void Form_Load();
  void TypeOption_Click(int index);

  // A check box counts as ticked when its value is 1.
  static bool Ticked(const QCheckBox* box);

 protected:
  void RunReportWriter() override;
};

// The media report window now open (nullptr when none is).
RptForm* CurrentRptForm();

}  // namespace tvn::reports
