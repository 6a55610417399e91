#pragma once
// The tip of the day: one tip at a time from "tips.sys", Next steps on
// (after the last tip comes the first), and the close remembers which tip
// comes next, or "0" when tips are not wanted at start.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdint>

#include "core/Windows.h"
#include "platform/dao/Dao.h"

namespace tvn {

// Shows the tips window modally. When "tips.sys" cannot be read, one
// message names the file and the pending tip is cleared, so it is not
// asked for again at the next activation.
void ShowTipOfTheDay();

class Tip_Form : public Form {
  Q_OBJECT

 public:
  Tip_Form();

  QGroupBox* Frame1;
  QLabel* Image1;
  QLabel* Label1;
  QPlainTextEdit* Text1;
  QCheckBox* TipCheck;
  QPushButton* NextTip;
  QPushButton* CloseTip;

  void NextTip_Click();
  void CloseTip_Click();

  std::int32_t TipCount() const { return tipCount_; }

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void ShowCurrentTip();

  dao::RecordsetPtr tips_;
  std::int32_t tipCount_ = 0;
};

}  // namespace tvn
