#pragma once
// The title entry dialog: the user types one title, and Apply puts it into
// the first empty row (1 to 40) of the catalogue window's title grid.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "core/Windows.h"

namespace tvn {

// What the dialog needs of the title grid: rows 1 to 40 hold the titles;
// Text is the cell of the current row in the title column.
class TitleGridAccess {
 public:
  virtual ~TitleGridAccess() = default;
  virtual void SetRow(int row) = 0;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

class AddTitleForm : public Form {
  Q_OBJECT

 public:
  AddTitleForm();

  QLabel* Label1;
  QLineEdit* TitleText;
  QPushButton* ApplyButton;
  QPushButton* CancelButton;

  // The grid Apply writes to; set by the catalogue window before it shows the dialog.
  TitleGridAccess* Grid = nullptr;

  void ApplyButton_Click();
  void CancelButton_Click();
  void TitleText_Change();
};

}  // namespace tvn
