#pragma once
// The label/studio editor ("Label/Studio Manager"): the lookup list of
// labels and studios. The web address and e-mail belong to software
// publishers: they are shown and written only for an entry ticked for
// "Software CDs"; while it is unticked their boxes take no typing.
#include "core/LookupEditorForm.h"

class QPlainTextEdit;

namespace tvn {

class LabelForm final : public LookupEditorForm {
  Q_OBJECT

 public:
  explicit LabelForm(QWidget* parent = nullptr);

  QLineEdit* NameBox() const override { return LabelStudio_Name_Text; }

  QLineEdit* LabelStudio_Name_Text = nullptr;
  QLineEdit* LabelStudio_Location_Text = nullptr;
  QPlainTextEdit* LabelStudio_Notes_Text = nullptr;
  QLineEdit* LS_WWW_Text = nullptr;
  QLineEdit* LS_EMAIL_Text = nullptr;

 protected:
  std::vector<QWidget*> TextBoxes() const override;
  std::vector<QWidget*> StateBoxes() const override;
  void ShowFields(dao::Recordset& rs) override;
  void WriteFields(dao::Recordset& rs) override;

 private:
  // Ticking "Software CDs" on a shown entry brings its stored addresses.
  void ShowStoredAddresses();
  // The web and e-mail boxes are read-only (and grey) while "Software CDs"
  // is unticked.
  void FollowSoftwareBox();
  bool addressesShown_ = false;
};

// Opens the editor modally over parent.
void ShowLabelManager(QWidget* parent);

}  // namespace tvn
