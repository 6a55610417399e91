// Stand-in until the toolbar and navigation arrive: the toolbar states
// show what the window needs to browse; the commands do nothing yet.
#include <QAction>

#include "games/PLMain_Form.h"

namespace pl {

void PLMain_Form::Toolbar1_ButtonClick(int) {}
void PLMain_Form::ShowCurrentRecord() {}
void PLMain_Form::SetToolbarBrowse() {
  for (int i = 1; i <= 6; ++i)
    if (Toolbar1Buttons[size_t(i)]) Toolbar1Buttons[size_t(i)]->setVisible(i != 2);
}
void PLMain_Form::SetToolbarVisible() {
  for (int i = 1; i <= 6; ++i)
    if (Toolbar1Buttons[size_t(i)]) Toolbar1Buttons[size_t(i)]->setVisible(i == 2 || i == 3);
}
void PLMain_Form::SetToolbarEmpty() {
  for (int i = 1; i <= 6; ++i)
    if (Toolbar1Buttons[size_t(i)]) Toolbar1Buttons[size_t(i)]->setVisible(i == 1);
}
void PLMain_Form::Add_Picture_Click() {}
void PLMain_Form::Delete_Picture_Click() {}
void PLMain_Form::btnBlankADate_Click() {}
void PLMain_Form::btnBlankRDate_Click() {}
void PLMain_Form::ConnectRecordEditing() {}

}  // namespace pl
