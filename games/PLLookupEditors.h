#pragma once
// The five lookup-list editors of the game catalogue: system types,
// publishers, genres, developers and supported features. They are the
// lookup editor of the media catalogue on the open game collection: the
// games hold an entry's key, so a rename changes no game, and a delete
// resets the key in the games (publishers, genres, developers) or removes
// the link rows (system types, features) in the same transaction as the
// entry's own delete. Publishers, genres and developers carry the six
// console boxes "UseWith_1" to "UseWith_6".
#include <QLineEdit>

#include "core/LookupEditorForm.h"

class QLabel;


namespace pl {

// The lists, in the order of the game window's menu.
enum class GameList { SysType, Publisher, Genre, Developer, Supports };

class PLLookupEditor : public tvn::LookupEditorForm {
  Q_OBJECT

 public:
  QLineEdit* NameBox() const override { return Category_Text; }

  QLineEdit* Category_Text = nullptr;
  QLabel* TableLabel = nullptr;

  // The design of one list.
  static Design DesignOf(GameList list);

 protected:
  PLLookupEditor(GameList list, QWidget* parent);

  std::vector<QWidget*> TextBoxes() const override { return {Category_Text}; }
  std::vector<QWidget*> StateBoxes() const override { return {Category_Text}; }
  void ShowFields(dao::Recordset& rs) override;
  void WriteFields(dao::Recordset& rs) override;
};

class SysTypeForm final : public PLLookupEditor {
  Q_OBJECT
 public:
  explicit SysTypeForm(QWidget* parent = nullptr) : PLLookupEditor(GameList::SysType, parent) {}
};

class PublisherForm final : public PLLookupEditor {
  Q_OBJECT
 public:
  explicit PublisherForm(QWidget* parent = nullptr) : PLLookupEditor(GameList::Publisher, parent) {}
};

class GenreForm final : public PLLookupEditor {
  Q_OBJECT
 public:
  explicit GenreForm(QWidget* parent = nullptr) : PLLookupEditor(GameList::Genre, parent) {}
};

class DeveloperForm final : public PLLookupEditor {
  Q_OBJECT
 public:
  explicit DeveloperForm(QWidget* parent = nullptr) : PLLookupEditor(GameList::Developer, parent) {}
};

class SupportsForm final : public PLLookupEditor {
  Q_OBJECT
 public:
  explicit SupportsForm(QWidget* parent = nullptr) : PLLookupEditor(GameList::Supports, parent) {}
};

// Shows the editor of a list modally over parent and returns when it has
// closed; the caller then refills its list and refreshes the game on show.
// An error of the opening is shown and the editor is not opened.
void ShowGameLookupEditor(GameList list, QWidget* parent);

}  // namespace pl
