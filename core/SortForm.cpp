#include "core/SortForm.h"

#include <QVBoxLayout>

namespace tvn {

SortForm::SortForm() {
  setObjectName("SortForm");
  setWindowTitle(" ");
  Choice_List = new QComboBox(this);
  Choice_List->setObjectName("Choice_List");
  Choice_List->setEditable(false);
  Select_Label = new QLabel("Pick the desired Artist from the list above", this);
  Select_Label->setObjectName("Select_Label");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Choice_List);
  layout->addWidget(Select_Label);
  resize(320, 90);
  connect(Choice_List, &QComboBox::activated, this, [this](int) { Choice_List_Click(); });
}

void SortForm::Choice_List_Click() { Hide(); }

}  // namespace tvn
