#pragma once
// The modal dialog in which the user retypes one title.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tvn::reports {

class EditTitleForm : public QDialog {
  Q_OBJECT
 public:
  explicit EditTitleForm(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* TitleText;
  QPushButton* ApplyButton;
  QPushButton* CancelButton;

  void Form_Load();
  void TitleText_KeyUp();
  void ApplyButton_Click();
  void CancelButton_Click();
};

}  // namespace tvn::reports
