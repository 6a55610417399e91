#pragma once
// "Select Pages": all pages, the page shown now, or a range, for saving a
// report document. The choice lands in the library's PageFrom and PageTo
// (-1 when cancelled; 0 and 0 for all pages).
#include <QDialog>
#include <array>
#include <cstdint>

#include "reports/output/ReportContext.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tvn::reports {

class PrintPageForm : public QDialog {
  Q_OBJECT
 public:
  PrintPageForm(ReportContext& context, QWidget* parent = nullptr);

  QLabel* Label1;
  std::array<QRadioButton*, 3> PageOption{};
  QGroupBox* RangeFrame;
  std::array<QLabel*, 2> Label2{};
  QLineEdit* FromPage;
  QLineEdit* ToPage;
  QPushButton* ApplyButton;
  QPushButton* CancelButton;

  void Form_Load();
  void PageOption_Click(int index);
  void FromPage_LostFocus();
  void ToPage_LostFocus();
  void ApplyButton_Click();
  void CancelButton_Click();

  // The page count of the report window's document.
  int PageCount() const;
  // A page box read the lenient way: its leading number, 0 when none.
  static std::int32_t PageValue(const QLineEdit* box);

 public slots:
  void reject() override;

 private:
  // Whether the range boxes hold 1 <= From <= To <= the page count.
  bool RangeIsValid() const;
  // Tells the user the range is wrong; the window stays open.
  void RefuseRange();
  // Leaves the choice in PageFrom and PageTo and closes.
  void Finish(bool cancelled);

  ReportContext& context_;
};

}  // namespace tvn::reports
