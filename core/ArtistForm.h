#pragma once
// The artist editor ("Artist Manager"): the lookup list of artists, with
// an artist's age, nationality, affiliation, notes and picture.
#include "core/LookupEditorForm.h"

class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QTabWidget;

namespace tvn {

class ArtistForm final : public LookupEditorForm {
  Q_OBJECT

 public:
  explicit ArtistForm(QWidget* parent = nullptr);

  QLineEdit* NameBox() const override { return Artist_Name_text; }

  // Picture buttons: they act on the shown entry, so they are offered only
  // while an entry is shown (not while the list is empty or a new entry
  // is being typed).
  void Add_Picture_Click();
  void Delete_Picture_Click();

  QTabWidget* SSTab1 = nullptr;
  QLineEdit* Artist_Name_text = nullptr;
  QLineEdit* Age_text = nullptr;
  QLineEdit* Nationality_Text = nullptr;
  QLineEdit* Affiliation_Text = nullptr;
  QPlainTextEdit* Artist_Notes_Text = nullptr;
  QScrollArea* PictureScroll = nullptr;
  QLabel* Picture_Box = nullptr;
  QPushButton* Add_Picture = nullptr;
  QPushButton* Delete_Picture = nullptr;

 protected:
  std::vector<QWidget*> TextBoxes() const override;
  std::vector<QWidget*> StateBoxes() const override;
  void ShowFields(dao::Recordset& rs) override;
  void WriteFields(dao::Recordset& rs) override;
  void ShowExtras(dao::Recordset& rs) override;
  void StateChanged() override;
};

// Opens the editor modally over parent.
void ShowArtistManager(QWidget* parent);

}  // namespace tvn
