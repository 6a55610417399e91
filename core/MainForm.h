#pragma once
// The launcher: opens the media catalogue and the game catalogue, brings
// an open one forward, and ends the program when it closes, unless the
// user keeps a typed change in one of them.
//
// The game library reaches the launcher only by name: the property
// "MousePointer" of the window and the property "Value" of its check box
// "PLRunning", so it needs nothing of this class.
#include <QCheckBox>
#include <QPushButton>

#include "core/Windows.h"

namespace tvn {

// A check box used as a flag, with the Value (0 or 1) late-bound callers set.
class FlagCheckBox : public QCheckBox {
  Q_OBJECT
  Q_PROPERTY(int Value READ Value WRITE setValue)

 public:
  using QCheckBox::QCheckBox;
  int Value() const { return isChecked() ? 1 : 0; }
  void setValue(int v) { setChecked(v != 0); }
};

class MainForm : public Form {
  Q_OBJECT

 public:
  MainForm();

  QPushButton* btnOpenTavolin;
  QPushButton* btnOpenPellion;
  QPushButton* btnExit;
  FlagCheckBox* AVRunning;
  FlagCheckBox* PLRunning;

  void btnOpenTavolin_Click();
  void btnOpenPellion_Click();
  void btnExit_Click();

 protected:
  void Form_Load() override;
  bool Form_QueryUnload() override;
  void Form_Unload() override;

 private:
  void OpenMediaCatalogueWindow();
};

}  // namespace tvn
