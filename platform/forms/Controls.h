#pragma once
// Finding the controls of a window by name, and the few things the shared
// routines do to any text control (text, selection), whatever Qt class
// stands behind it.
//
// Naming: a control carries its name as objectName ("Select_Item_Combo").
// An element of a control array is named "<array>_<index>", so the third
// box of the array Artist_UseWith is "Artist_UseWith_2".
#include <QString>
#include <QWidget>

class QComboBox;
class QTreeWidget;

namespace forms {

// The child of window (at any depth) of that name and class, or nullptr.
template <class T>
T* FindControl(const QWidget* window, const QString& name) {
  if (!window) return nullptr;
  return window->findChild<T*>(name);
}

// The element index of the control array name.
QString ControlArrayName(const QString& array, int index);

template <class T>
T* ControlArrayItem(const QWidget* window, const QString& array, int index) {
  return FindControl<T>(window, ControlArrayName(array, index));
}

// Text controls: QLineEdit, QComboBox (its edit text, or the current item
// of a list-only combo), QTextEdit, QPlainTextEdit. Other widgets have no
// text here ("" and false).
bool IsTextControl(const QWidget* control);
QString ControlText(const QWidget* control);
// Sets the whole text; returns false for a control without text.
bool SetControlText(QWidget* control, const QString& text);
// The selected part of the text ("" when nothing is selected).
QString SelectedText(const QWidget* control);
// Replaces the selection (or inserts at the caret) with text.
void ReplaceSelection(QWidget* control, const QString& text);
// Caret position (SelStart) and selection length (SelLength), in characters.
int SelStart(const QWidget* control);
int SelLength(const QWidget* control);
// Selects length characters from start (the caret ends after them).
void SetSelection(QWidget* control, int start, int length);

// The catalogue windows' section bar "SSListBar1": a flat list without a
// header, between the given widths.
QTreeWidget* NewSectionBar(QWidget* parent, int minWidth, int maxWidth);
// The catalogue windows' title list "List_Combo": shows the chosen title,
// takes no typing of its own and lists 25 titles at a time.
QComboBox* NewTitleList(QWidget* parent);

}  // namespace forms
