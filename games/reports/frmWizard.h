#pragma once
// The game report wizard: a general report over chosen game sections with
// its limits, or one of the five lookup-list reports, in four steps.
#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "reports/output/WizardSteps.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace pl {

struct GameLimits;

class frmWizard : public QDialog {
  Q_OBJECT
 public:
  explicit frmWizard(QWidget* parent = nullptr);

  std::vector<QWidget*> fraStep;
  tvn::reports::WizardButtons C_Button{};
  QLabel* lblStep;
  std::array<QRadioButton*, 2> ReportTypeOption{};
  QCheckBox* NameBuildCheck;
  QTableWidget* ReportGrid;
  QTableWidget* UtilityGrid;
  QComboBox* NameCombo;
  QTableWidget* PublisherGrid;
  QTableWidget* DeveloperGrid;
  QTableWidget* GenreGrid;
  QTableWidget* SupportsGrid;
  QTableWidget* SysTypesGrid;

  int CurrentStep() const { return currentStep_; }
  // What Next on step 1 wrote: the sections of a general report.
  const std::string& SectionList() const { return sectionList_; }

  void C_Button_Click(int index);
  void ShowWizardStep();
  void PrepareGameLimits();
  void FillReportGrids();
  void FillPublisherFilter();
  void FillDeveloperFilter();
  void FillGenreFilter();
  void FillSupportsFilter();
  void FillSysTypesFilter();
  void ReportGrid_Click(int row);
  void UtilityGrid_Click(int row);
  void ToggleFilterCheck(QTableWidget* grid, int row);
  // The keys of the ticked entries, blank-framed; "" for no limit.
  static std::string ReadCheckedKeys(const QTableWidget* grid);
  // The limits the wizard's pages choose now.
  GameLimits Limits() const;
  void SelectGameRecords();
  void Form_Activate();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillFilter(QTableWidget* grid, const char* heading, const std::string& sql, const std::string& keyField,
                  const std::string& nameField, const char* allText);
  int currentStep_ = 0;
  int lastStep_ = 3;
  int specialChoice_ = 0;
  std::string sectionList_;
  bool activated_ = false;
};

}  // namespace pl
