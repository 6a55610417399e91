#include "core/CategoryForm.h"

#include <QFormLayout>
#include <QLineEdit>

#include "platform/runtime/Functions.h"

namespace tvn {

CategoryForm::CategoryForm(QWidget* parent)
    : LookupEditorForm({"CategoryForm", "Category Manager", "Category", "category", "Category", 12, {"category"}},
                       parent) {
  auto* area = new QWidget(this);
  auto* form = new QFormLayout(area);
  Category_Text = new QLineEdit(area);
  Category_Text->setObjectName(QStringLiteral("Category_Text"));
  form->addRow(QStringLiteral("Category"), Category_Text);
  SetFieldArea(area);
}

std::vector<QWidget*> CategoryForm::TextBoxes() const { return {Category_Text}; }

std::vector<QWidget*> CategoryForm::StateBoxes() const { return {Category_Text}; }

void CategoryForm::ShowFields(dao::Recordset& rs) {
  Category_Text->setText(QString::fromStdString(vb::NzStr(rs.GetField("Category"))));
}

void CategoryForm::WriteFields(dao::Recordset& rs) {
  rs.SetField("Category", vb::Variant(Category_Text->text().toStdString()));
}

void ShowCategoryManager(QWidget* parent) {
  CategoryForm editor(parent);
  ShowLookupEditor(editor);
}

}  // namespace tvn
