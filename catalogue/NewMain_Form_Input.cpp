// The editor's input behaviour, field by field (the behaviours themselves
// are the record-window frame's): the whole text selected on entry, double
// quotes refused in the name and lookup fields, combo completion, the
// spelling and thesaurus keys, notes checked as typed; the lookup combos'
// publisher addresses; and the wiring of the editor's buttons.
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AppState.h"
#include "core/FieldCaptions.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

void NewMain_Form::ConnectRecordEditing() {
  // The editor's buttons.
  connect(AddButton, &QPushButton::clicked, this, [this] { AddButton_Click(); });
  connect(ModifyButton, &QPushButton::clicked, this, [this] { ModifyButton_Click(); });
  connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteButton_Click(); });
  connect(btnbdm, &QPushButton::clicked, this, [this] { btnbdm_Click(); });
  connect(btnbdv, &QPushButton::clicked, this, [this] { btnbdv_Click(); });
  connect(btnBlankADate, &QPushButton::clicked, this, [this] { btnBlankADate_Click(); });
  connect(PlayButton, &QPushButton::clicked, this, [this] { PlayButton_Click(); });
  connect(CD_Record_Company, &QComboBox::activated, this, [this](int) { CD_Record_Company_Click(); });

  // The input behaviour of each field.
  for (QComboBox* artist : Artist) GiveInput(artist, kSelectAll | kComplete | kQuoteOnKeyUp);
  GiveInput(CD_Category_List, kSelectAll | kComplete | kSpellKeys);
  connect(CD_Category_List, &QComboBox::editTextChanged, this, [this] { CheckNoQuote(CD_Category_List); });
  GiveInput(CD_Record_Company, kSelectAll | kComplete | kQuoteOnKeyUp);
  GiveInput(CS_Name_Text, kQuoteOnKeyUp);
  GiveInput(Video_Name_Text, kSelectAll | kQuoteOnKeyUp);
  GiveInput(SCD_Name_Text, kSelectAll | kQuoteOnKeyUp);
  for (QComboBox* list :
       {CS_Format_List_Text, VT_Format_List_Text, Speed_List, QRating, Video_Rating_Combo, Video_Sides_Combo})
    GiveInput(list, kSelectAll | kComplete);
  GiveInput(Video_Sound_Text, kComplete);
  for (QLineEdit* field : fText) GiveInput(field, kSelectAll | kSpellKeys);
  for (QWidget* field : std::initializer_list<QWidget*>{
           CD_Group_Text, CD_Serial_Text, CD_Slot_Text, CS_CatNum_Text, CS_TTime_Text, PlayerCombo,
           FileLocationText, TapeIndex, Video_CatNum_Text, Video_PRatio_Text, Video_SRatio_Text, Video_RYear_Text,
           SCD_CatNum_Text, Homepage_text, Email_Text, CS_Date_Text, Video_Date_Text, SCD_Date_Text})
    GiveInput(field, kSelectAll);
  GiveInput(CD_Notes_Text, kSpellKeys);
  connect(CD_Notes_Text, &QTextEdit::textChanged, this, [this] { CD_Notes_Text_Change(); });
}

void NewMain_Form::CD_Notes_Text_Change() {
  if (!menuAutoSpell->isChecked()) CheckTyping(CD_Notes_Text);
}

// ---------------------------------------------------------------- lookup combos

void NewMain_Form::CD_Record_Company_Click() {
  if (!On(AVData()->SCD_On())) return;
  const std::string name = TextOf(CD_Record_Company);
  if (name.empty()) return;
  std::string home, mail;
  if (PublisherRecords && PublisherRecords->IsOpen()) {
    PublisherRecords->Seek("=", vb::Variant(name));
    if (!PublisherRecords->NoMatch()) {
      home = vb::NzStr(PublisherRecords->GetField("lswww"));
      mail = vb::NzStr(PublisherRecords->GetField("LSEmail"));
    }
  }
  Homepage_text->setText(QString::fromStdString(home));
  Email_Text->setText(QString::fromStdString(mail));
}

}  // namespace tvn
