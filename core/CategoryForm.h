#pragma once
// The category editor ("Category Manager"): the lookup list of categories.
#include "core/LookupEditorForm.h"

namespace tvn {

class CategoryForm final : public LookupEditorForm {
  Q_OBJECT

 public:
  explicit CategoryForm(QWidget* parent = nullptr);

  QLineEdit* NameBox() const override { return Category_Text; }

  QLineEdit* Category_Text = nullptr;

 protected:
  std::vector<QWidget*> TextBoxes() const override;
  std::vector<QWidget*> StateBoxes() const override;
  void ShowFields(dao::Recordset& rs) override;
  void WriteFields(dao::Recordset& rs) override;
};

// Opens the editor modally over parent.
void ShowCategoryManager(QWidget* parent);

}  // namespace tvn
