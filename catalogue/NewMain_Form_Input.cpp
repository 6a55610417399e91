// The editor's input behaviour: the whole text selected on entry, double
// quotes refused in the name and lookup fields, combo completion, the
// spelling and thesaurus keys, notes checked as typed; the user field
// captions, renamed by a double click and kept per section; the lookup
// combos' publisher addresses; and the wiring of the editor's buttons.
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

namespace {


// What a field does on entry, on a key and on a key release.
enum Behaviour : unsigned {
  kSelectAll = 1,     // the whole text is selected on entry
  kComplete = 2,      // a typed key completes the text from the list
  kQuoteOnKeyUp = 4,  // a key release removes double quotes, then F7/F8
  kSpellKeys = 8,     // a key release runs F7/F8
};

class FieldInputFilter : public QObject {
 public:
  FieldInputFilter(QWidget* control, unsigned behaviour)
      : QObject(control), control_(control), behaviour_(behaviour) {}

  bool eventFilter(QObject*, QEvent* event) override {
    // A locked editor takes no keys.
    if (!control_->isEnabled()) return false;
    switch (event->type()) {
      case QEvent::FocusIn:
        if (behaviour_ & kSelectAll) {
          NewMain_Form::SelectAllText(control_);
          // A click places the caret after the focus arrives; select once more after it.
          if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            QPointer<QWidget> control = control_;
            QTimer::singleShot(0, control_, [control] {
              if (control) NewMain_Form::SelectAllText(control);
            });
          }
        }
        return false;
      case QEvent::KeyPress: {
        if (!(behaviour_ & kComplete)) return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() != 1) return false;
        std::int16_t key = std::int16_t(text[0].unicode());
        ComboAutoComplete(key, control_);
        return key == 0;
      }
      case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (behaviour_ & kQuoteOnKeyUp) {
          // The key is in the text by now.
          CheckNoQuote(control_);
          SpellAndThesaurusKeys(control_, key);
        } else if (behaviour_ & kSpellKeys) {
          SpellAndThesaurusKeys(control_, key);
        }
        return false;
      }
      default:
        return false;
    }
  }

 private:
  QWidget* control_;
  unsigned behaviour_;
};

void Give(QWidget* control, unsigned behaviour) {
  control->installEventFilter(new FieldInputFilter(control, behaviour));
  if (behaviour & kComplete) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) AttachComboAutoComplete(combo);
  }
}

}  // namespace

void NewMain_Form::ConnectRecordEditing() {
  // The editor's buttons.
  connect(AddButton, &QPushButton::clicked, this, [this] { AddButton_Click(); });
  connect(ModifyButton, &QPushButton::clicked, this, [this] { ModifyButton_Click(); });
  connect(DeleteButton, &QPushButton::clicked, this, [this] { DeleteButton_Click(); });
  connect(Add_Picture, &QPushButton::clicked, this, [this] { Add_Picture_Click(); });
  connect(Delete_Picture, &QPushButton::clicked, this, [this] { Delete_Picture_Click(); });
  connect(btnbdm, &QPushButton::clicked, this, [this] { btnbdm_Click(); });
  connect(btnbdv, &QPushButton::clicked, this, [this] { btnbdv_Click(); });
  connect(btnBlankADate, &QPushButton::clicked, this, [this] { btnBlankADate_Click(); });
  connect(PlayButton, &QPushButton::clicked, this, [this] { PlayButton_Click(); });
  connect(CD_Record_Company, &QComboBox::activated, this, [this](int) { CD_Record_Company_Click(); });

  // The input behaviour of each field.
  for (QComboBox* artist : Artist) Give(artist, kSelectAll | kComplete | kQuoteOnKeyUp);
  Give(CD_Category_List, kSelectAll | kComplete | kSpellKeys);
  connect(CD_Category_List, &QComboBox::editTextChanged, this, [this] { CheckNoQuote(CD_Category_List); });
  Give(CD_Record_Company, kSelectAll | kComplete | kQuoteOnKeyUp);
  Give(CS_Name_Text, kQuoteOnKeyUp);
  Give(Video_Name_Text, kSelectAll | kQuoteOnKeyUp);
  Give(SCD_Name_Text, kSelectAll | kQuoteOnKeyUp);
  for (QComboBox* list :
       {CS_Format_List_Text, VT_Format_List_Text, Speed_List, QRating, Video_Rating_Combo, Video_Sides_Combo})
    Give(list, kSelectAll | kComplete);
  Give(Video_Sound_Text, kComplete);
  for (QLineEdit* field : fText) Give(field, kSelectAll | kSpellKeys);
  for (QWidget* field : std::initializer_list<QWidget*>{
           CD_Group_Text, CD_Serial_Text, CD_Slot_Text, CS_CatNum_Text, CS_TTime_Text, PlayerCombo,
           FileLocationText, TapeIndex, Video_CatNum_Text, Video_PRatio_Text, Video_SRatio_Text, Video_RYear_Text,
           SCD_CatNum_Text, Homepage_text, Email_Text, CS_Date_Text, Video_Date_Text, SCD_Date_Text})
    Give(field, kSelectAll);
  Give(CD_Notes_Text, kSpellKeys);
  connect(CD_Notes_Text, &QTextEdit::textChanged, this, [this] { CD_Notes_Text_Change(); });

  // Renaming the user field captions.
  const std::array<void (NewMain_Form::*)(), 10> captionHandlers = {
      &NewMain_Form::f1Cap_DblClick, &NewMain_Form::F2Cap_DblClick, &NewMain_Form::f3Cap_DblClick,
      &NewMain_Form::f4Cap_DblClick, &NewMain_Form::f5Cap_DblClick, &NewMain_Form::f6Cap_DblClick,
      &NewMain_Form::f7Cap_DblClick, &NewMain_Form::f8Cap_DblClick, &NewMain_Form::f9Cap_DblClick,
      &NewMain_Form::f10Cap_DblClick};
  for (int i = 0; i < 10; ++i) {
    const auto handler = captionHandlers[i];
    OnCaptionDoubleClick(fCap[i], [this, handler] { (this->*handler)(); });
  }
}

void NewMain_Form::SelectAllText(QWidget* control) {
  if (auto* e = qobject_cast<QLineEdit*>(control)) {
    e->selectAll();
  } else if (auto* c = qobject_cast<QComboBox*>(control); c && c->lineEdit()) {
    c->lineEdit()->selectAll();
  } else if (auto* t = qobject_cast<QTextEdit*>(control)) {
    t->selectAll();
  }
}

void NewMain_Form::CD_Notes_Text_Change() {
  if (!menuAutoSpell->isChecked()) CheckTyping(CD_Notes_Text);
}

// ---------------------------------------------------------------- user field captions

void NewMain_Form::EditFieldCaption(const std::string& fieldName, QLabel* label) {
  RenameFieldCaption(CaptionRecords, fieldName, label);
}

void NewMain_Form::f1Cap_DblClick() { EditFieldCaption("f1", fCap[0]); }
void NewMain_Form::F2Cap_DblClick() { EditFieldCaption("f2", fCap[1]); }
void NewMain_Form::f3Cap_DblClick() { EditFieldCaption("f3", fCap[2]); }
void NewMain_Form::f4Cap_DblClick() { EditFieldCaption("f4", fCap[3]); }
void NewMain_Form::f5Cap_DblClick() { EditFieldCaption("f5", fCap[4]); }
void NewMain_Form::f6Cap_DblClick() { EditFieldCaption("f6", fCap[5]); }
void NewMain_Form::f7Cap_DblClick() { EditFieldCaption("f7", fCap[6]); }
void NewMain_Form::f8Cap_DblClick() { EditFieldCaption("f8", fCap[7]); }
void NewMain_Form::f9Cap_DblClick() { EditFieldCaption("f9", fCap[8]); }
void NewMain_Form::f10Cap_DblClick() { EditFieldCaption("f10", fCap[9]); }

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
