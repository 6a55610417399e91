#pragma once
// The media report wizard: a general report over chosen sections with
// its limits, or one of the six special reports, in four steps.
#include <QDialog>
#include <array>
#include <vector>

#include "reports/output/WizardSteps.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace tvn::reports {

class frmWizard : public QDialog {
  Q_OBJECT
 public:
  explicit frmWizard(QWidget* parent = nullptr);

  std::vector<QWidget*> fraStep;
  WizardButtons C_Button{};
  std::array<QRadioButton*, 2> ReportTypeOption{};
  QTableWidget* ReportGrid;
  QTableWidget* UtilityGrid;
  QLabel* DescriptionLabel;
  QCheckBox* NameBuildCheck;
  QCheckBox* TitleBuildCheck;
  QComboBox* ArtistCombo;
  QComboBox* CategoryCombo;
  QComboBox* LabelCombo;
  QComboBox* NameCombo;
  QComboBox* TitleCombo;
  QComboBox* TapeIndexCombo;
  QLabel* TapeIndexLabel;

  int CurrentStep() const { return currentStep_; }

  void C_Button_Click(int index);
  void Button_Routine_Bkwd() {}
  void ShowWizardStep();
  void PrepareWizardLimits();
  void FillReportTypeGrids();
  void ReportGrid_Click(int row);
  void UtilityGrid_Click(int row);
  void Form_Activate();
  void BuildSelectionFlags();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int currentStep_ = 0;
  int lastStep_ = 3;
  int specialChoice_ = 0;
  bool activated_ = false;
};

}  // namespace tvn::reports
