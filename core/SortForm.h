#pragma once
// The selection chooser: a prompt and a drop-down list. The caller sets the
// prompt, fills the list and shows the chooser modally; picking an entry
// hides it, and the caller reads the picked text from Choice_List.
#include <QComboBox>
#include <QLabel>

#include "core/Windows.h"

namespace tvn {

class SortForm : public Form {
  Q_OBJECT

 public:
  SortForm();

  QComboBox* Choice_List;
  QLabel* Select_Label;

  void Choice_List_Click();
};

}  // namespace tvn
