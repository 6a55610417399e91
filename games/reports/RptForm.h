#pragma once
// The game library's report window: the shared report window frame with
// the options panel of the full game report. Create Report runs the game
// writer of the current report type.
#include <array>
#include <cstdint>

#include "games/reports/R00Module.h"
#include "reports/output/ReportWindow.h"

class QGroupBox;
class QRadioButton;
class QScrollArea;

namespace pl {

class RptForm : public tvn::reports::ReportWindowFrame {
  Q_OBJECT
 public:
  // Opens on the game library's report state (GameReports()).
  explicit RptForm(QWidget* parent = nullptr);
  ~RptForm() override;

  QScrollArea* R1Frame;
  QGroupBox* SortFrame;
  std::array<QRadioButton*, 5> SortOption{};
  QGroupBox* OptionsFrame;
  std::array<QCheckBox*, 8> R6Check{};
  QGroupBox* TypeFrame;
  std::array<QRadioButton*, 3> TypeOption{};  // 1 and 2; 0 unused

  void Form_Load();
  void SortOption_Click(int index);
  void TypeOption_Click(int index);

  // The full game report's options as the controls show them now.
  FullGameReportOptions Options() const;
  int LastSortOption() const { return lastSort_; }

 protected:
  void RunReportWriter() override;

 private:
  std::uint8_t lastSort_ = 0;
};

// The game report window now open (nullptr when none is).
RptForm* CurrentGameReportWindow();

}  // namespace pl
