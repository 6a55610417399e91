#pragma once
// The standard report selector: one of eighteen ready reports, with at
// most one limit whose value is picked from a list or typed.
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "reports/output/WizardSteps.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace tvn::reports {

class frmWizardx : public QDialog {
  Q_OBJECT
 public:
  explicit frmWizardx(QWidget* parent = nullptr);

  std::vector<QWidget*> fraStep;
  WizardButtons C_Button{};
  std::array<QRadioButton*, 18> Step1_Option{};
  std::array<QRadioButton*, 7> Step2_Option{};
  QCheckBox* TitleBuildCheck;
  QLabel* PromptLabel;
  QComboBox* List_Check;

  int CurrentStep() const { return currentStep_; }
  int ReportChoice() const { return reportChoice_; }
  int LimitChoice() const { return limitChoice_; }
  const std::string& LimitValue() const { return limitValue_; }

  void C_Button_Click(int index);
  void Button_Routine_Bkwd() {}
  void ShowSelectorStep();
  void PrepareSelectorStep();
  void List_Check_Change();
  void FinishSelection();
  // The Finish work: marks the records of the chosen report, shows the
  // report window and tidies up after it; returns when that window closes.
  void BuildStandardSelection();
  void Form_Activate();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int currentStep_ = 0;
  int lastStep_ = 6;
  int reportChoice_ = 7;
  int limitChoice_ = 1;
  std::string limitValue_;
  bool activated_ = false;
};

}  // namespace tvn::reports
