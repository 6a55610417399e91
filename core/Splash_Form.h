#pragma once
// The splash window: the program's version for a few seconds at start,
// after which the launcher opens. Shown from the About command, it waits
// for its Close button instead.
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "core/Windows.h"

namespace tvn {

class Splash_Form : public Form {
  Q_OBJECT

 public:
  Splash_Form();

  QLabel* TitleLabel;
  QLabel* VersionL;
  QPushButton* CloseButton;
  QTimer* Timer1;

  void Timer1_Timer();
  void CloseButton_Click();

 protected:
  void Form_Load() override;
};

// "Version: major.minor.revision".
std::string VersionText();

}  // namespace tvn
