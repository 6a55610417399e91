#pragma once
// The title entry dialog: the user types one title, and Apply puts it into
// the first empty row (1 to 40) of the catalogue window's title grid.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "core/Windows.h"

namespace forms {
class FlexGrid;
}

namespace tvn {

class AddTitleForm : public Form {
  Q_OBJECT

 public:
  AddTitleForm();

  QLabel* Label1;
  QLineEdit* TitleText;
  QPushButton* ApplyButton;
  QPushButton* CancelButton;

  // The catalogue window's title grid (rows 1 to 40 hold the titles, its
  // current column is the title column); set before the dialog is shown.
  forms::FlexGrid* TGrid = nullptr;

  void ApplyButton_Click();
  void CancelButton_Click();
  void TitleText_Change();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace tvn
