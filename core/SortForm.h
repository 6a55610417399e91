#pragma once
// The selection chooser: a prompt and a drop-down list. The caller sets the
// prompt, fills the list and shows the chooser modally; picking an entry
// hides it, and the caller reads the picked text from Choice_List.
//
// Whatever order the caller fills the list in, it is shown in the letter
// order of the title list, under a title naming what is chosen, centred on
// the window that opened it.
#include <QComboBox>
#include <QLabel>
#include <QPointer>

#include "core/Windows.h"

namespace tvn {

class SortForm : public Form {
  Q_OBJECT

 public:
  SortForm();

  QComboBox* Choice_List;
  QLabel* Select_Label;

  void Choice_List_Click();

  // The title for a prompt: "Pick the desired Artist from the list above"
  // gives "Select an Artist"; a prompt of another form gives "Select".
  static QString TitleFor(const QString& prompt);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Puts the entries in letter order; what is current stays current.
  void SortChoices();
  // Centres the chooser on the window that was active when it was shown.
  void PlaceOverOpener();
};

}  // namespace tvn
