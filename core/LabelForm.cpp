#include "core/LabelForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/runtime/Functions.h"

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
  if (SoftwareBox()->checkState() == Qt::Checked) {
    LS_EMAIL_Text->setText(FieldText(rs, "LSEmail"));
    LS_WWW_Text->setText(FieldText(rs, "lswww"));
  }
}

void LabelForm::WriteFields(dao::Recordset& rs) {
  rs.SetField("LabelStudio_Name", vb::Variant(LabelStudio_Name_Text->text().toStdString()));
  rs.SetField("LabelStudio_Location", vb::Variant(LabelStudio_Location_Text->text().toStdString()));
  rs.SetField("LabelStudio_Notes", vb::Variant(LabelStudio_Notes_Text->toPlainText().toStdString()));
  if (SoftwareBox()->checkState() == Qt::Checked) {
    rs.SetField("LSEmail", vb::Variant(LS_EMAIL_Text->text().toStdString()));
    rs.SetField("lswww", vb::Variant(LS_WWW_Text->text().toStdString()));
  }
}

void ShowLabelManager(QWidget* parent) {
  LabelForm editor(parent);
  ShowLookupEditor(editor);
}

}  // namespace tvn
