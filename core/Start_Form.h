#pragma once
// The start window: the program's first window. Its load does the start-up
// work (program folder, master list, picture folder, current collection);
// its Continue button closes it, and its first close shows the splash window.
#include <QLabel>
#include <QPushButton>

#include "core/Windows.h"

namespace tvn {

class Start_Form : public Form {
  Q_OBJECT

 public:
  Start_Form();

  QLabel* TitleLabel;
  QPushButton* Continue_but;

  void Continue_but_Click();

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  // Steps 1 to 9 of the start-up; errors reach Form_Load.
  void StartupWork();
};

// The collection file the start-up falls back to.
inline constexpr const char* DefaultCollectionFile = "av30.mdb";

}  // namespace tvn
