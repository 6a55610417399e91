#include "core/LabelForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"

namespace tvn {

namespace {

QString FieldText(dao::Recordset& rs, const char* field) {
  return QString::fromStdString(vb::NzStr(rs.GetField(field)));
}

}  // namespace

LabelForm::LabelForm(QWidget* parent)
    : LookupEditorForm(
          {"LabelForm", "Label/Studio Manager", "LabelStudio", "name", "LabelStudio_Name", 6, {"labelstudio"}},
          parent) {
  auto* area = new QWidget(this);
  auto* form = new QFormLayout(area);
  auto line = [area](const char* name) {
    auto* box = new QLineEdit(area);
    box->setObjectName(QString::fromLatin1(name));
    return box;
  };
  LabelStudio_Name_Text = line("LabelStudio_Name_Text");
  form->addRow(QStringLiteral("Label/Studio Name"), LabelStudio_Name_Text);
  LabelStudio_Location_Text = line("LabelStudio_Location_Text");
  form->addRow(QStringLiteral("Label/Studio Location"), LabelStudio_Location_Text);
  LabelStudio_Notes_Text = new QPlainTextEdit(area);
  LabelStudio_Notes_Text->setObjectName(QStringLiteral("LabelStudio_Notes_Text"));
  form->addRow(QStringLiteral("Label/Studio Notes"), LabelStudio_Notes_Text);
  LS_WWW_Text = line("LS_WWW_Text");
  form->addRow(QStringLiteral("Label/Studio Internet Homepage URL"), LS_WWW_Text);
  LS_EMAIL_Text = line("LS_EMAIL_Text");
  form->addRow(QStringLiteral("Label/Studio Email ID"), LS_EMAIL_Text);
  SetFieldArea(area);
  connect(SoftwareBox(), &QCheckBox::clicked, this, [this](bool ticked) {
    if (ticked) vb::Guarded([this] { ShowStoredAddresses(); });
  });
  // The addresses are stored only for a software publisher: while the box
  // is unticked they take no typing that File would drop.
  connect(SoftwareBox(), &QCheckBox::stateChanged, this, [this] { FollowSoftwareBox(); });
  FollowSoftwareBox();
}

void LabelForm::FollowSoftwareBox() {
  const bool software = SoftwareBox()->checkState() == Qt::Checked;
  for (QLineEdit* box : {LS_WWW_Text, LS_EMAIL_Text}) {
    box->setReadOnly(!software);
    SetBackColour(box, software ? kEnabledColour : kDisabledColour);
  }
}

void LabelForm::ShowStoredAddresses() {
  if (AddingEntry || addressesShown_ || !EntryTable || EntryTable->Eof() || EntryTable->BOF()) return;
  // What the user typed while the box was ticked before stays.
  if (!LS_EMAIL_Text->isModified()) LS_EMAIL_Text->setText(FieldText(*EntryTable, "LSEmail"));
  if (!LS_WWW_Text->isModified()) LS_WWW_Text->setText(FieldText(*EntryTable, "lswww"));
  addressesShown_ = true;
}

std::vector<QWidget*> LabelForm::TextBoxes() const {
  return {LabelStudio_Name_Text, LabelStudio_Location_Text, LabelStudio_Notes_Text, LS_WWW_Text, LS_EMAIL_Text};
}

std::vector<QWidget*> LabelForm::StateBoxes() const {
  return {LabelStudio_Name_Text, LabelStudio_Location_Text, LabelStudio_Notes_Text};
}

void LabelForm::ShowFields(dao::Recordset& rs) {
  LabelStudio_Name_Text->setText(FieldText(rs, "LabelStudio_Name"));
  LabelStudio_Location_Text->setText(FieldText(rs, "LabelStudio_Location"));
  LabelStudio_Notes_Text->setPlainText(FieldText(rs, "LabelStudio_Notes"));
  addressesShown_ = SoftwareBox()->checkState() == Qt::Checked;
  if (addressesShown_) {
    LS_EMAIL_Text->setText(FieldText(rs, "LSEmail"));
    LS_WWW_Text->setText(FieldText(rs, "lswww"));
  }
}

void LabelForm::WriteFields(dao::Recordset& rs) {
  rs.SetField("LabelStudio_Name", vb::Variant(LabelStudio_Name_Text->text().toStdString()));
  rs.SetField("LabelStudio_Location", vb::Variant(LabelStudio_Location_Text->text().toStdString()));
  rs.SetField("LabelStudio_Notes", vb::Variant(LabelStudio_Notes_Text->toPlainText().toStdString()));
  // Boxes that never showed the stored addresses and were not typed in
  // hold nothing to store.
  const bool addresses =
      AddingEntry || addressesShown_ || LS_EMAIL_Text->isModified() || LS_WWW_Text->isModified();
  if (SoftwareBox()->checkState() == Qt::Checked && addresses) {
    rs.SetField("LSEmail", vb::Variant(LS_EMAIL_Text->text().toStdString()));
    rs.SetField("lswww", vb::Variant(LS_WWW_Text->text().toStdString()));
  }
}

void ShowLabelManager(QWidget* parent) {
  LabelForm editor(parent);
  ShowLookupEditor(editor);
}

}  // namespace tvn
