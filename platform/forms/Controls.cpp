#include "platform/forms/Controls.h"

#include <algorithm>

#include <QComboBox>
#include <QTreeWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

namespace forms {

namespace {

QLineEdit* EditOf(const QWidget* control) {
  if (auto* e = qobject_cast<QLineEdit*>(const_cast<QWidget*>(control))) return e;
  if (auto* c = qobject_cast<QComboBox*>(const_cast<QWidget*>(control))) return c->lineEdit();
  return nullptr;
}

QTextCursor CursorOf(const QWidget* control, bool* ok) {
  *ok = true;
  if (auto* t = qobject_cast<const QTextEdit*>(control)) return t->textCursor();
  if (auto* p = qobject_cast<const QPlainTextEdit*>(control)) return p->textCursor();
  *ok = false;
  return {};
}

void SetCursorOf(QWidget* control, const QTextCursor& c) {
  if (auto* t = qobject_cast<QTextEdit*>(control)) t->setTextCursor(c);
  else if (auto* p = qobject_cast<QPlainTextEdit*>(control)) p->setTextCursor(c);
}

}  // namespace

QString ControlArrayName(const QString& array, int index) {
  return array + QLatin1Char('_') + QString::number(index);
}

bool IsTextControl(const QWidget* control) {
  return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QComboBox*>(control) ||
         qobject_cast<const QTextEdit*>(control) || qobject_cast<const QPlainTextEdit*>(control);
}

QString ControlText(const QWidget* control) {
  if (auto* e = qobject_cast<const QLineEdit*>(control)) return e->text();
  if (auto* c = qobject_cast<const QComboBox*>(control)) return c->currentText();
  if (auto* t = qobject_cast<const QTextEdit*>(control)) return t->toPlainText();
  if (auto* p = qobject_cast<const QPlainTextEdit*>(control)) return p->toPlainText();
  return {};
}

bool SetControlText(QWidget* control, const QString& text) {
  if (auto* e = qobject_cast<QLineEdit*>(control)) {
    e->setText(text);
    return true;
  }
  if (auto* c = qobject_cast<QComboBox*>(control)) {
    if (c->isEditable()) {
      c->setEditText(text);
    } else {
      c->setCurrentIndex(c->findText(text));
    }
    return true;
  }
  if (auto* t = qobject_cast<QTextEdit*>(control)) {
    t->setPlainText(text);
    return true;
  }
  if (auto* p = qobject_cast<QPlainTextEdit*>(control)) {
    p->setPlainText(text);
    return true;
  }
  return false;
}

QString SelectedText(const QWidget* control) {
  if (auto* e = EditOf(control)) return e->selectedText();
  bool ok = false;
  QTextCursor c = CursorOf(control, &ok);
  if (!ok) return {};
  // The document's paragraph separators read as line breaks.
  return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void ReplaceSelection(QWidget* control, const QString& text) {
  if (auto* e = EditOf(control)) {
    e->insert(text);
    return;
  }
  bool ok = false;
  QTextCursor c = CursorOf(control, &ok);
  if (!ok) return;
  c.insertText(text);
  SetCursorOf(control, c);
}

int SelStart(const QWidget* control) {
  if (auto* e = EditOf(control)) return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
  bool ok = false;
  QTextCursor c = CursorOf(control, &ok);
  return ok ? c.selectionStart() : 0;
}

int SelLength(const QWidget* control) {
  if (auto* e = EditOf(control)) return e->hasSelectedText() ? int(e->selectedText().size()) : 0;
  bool ok = false;
  QTextCursor c = CursorOf(control, &ok);
  return ok ? c.selectionEnd() - c.selectionStart() : 0;
}

void SetSelection(QWidget* control, int start, int length) {
  const int size = int(ControlText(control).size());
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  if (auto* e = EditOf(control)) {
    e->setSelection(start, length);
    return;
  }
  bool ok = false;
  QTextCursor c = CursorOf(control, &ok);
  if (!ok) return;
  c.setPosition(start);
  c.setPosition(start + length, QTextCursor::KeepAnchor);
  SetCursorOf(control, c);
}

QTreeWidget* NewSectionBar(QWidget* parent, int minWidth, int maxWidth) {
  auto* bar = new QTreeWidget(parent);
  bar->setObjectName("SSListBar1");
  bar->setHeaderHidden(true);
  bar->setRootIsDecorated(false);
  bar->setMinimumWidth(minWidth);
  bar->setMaximumWidth(maxWidth);
  return bar;
}

QComboBox* NewTitleList(QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName("List_Combo");
  list->setEditable(true);
  list->lineEdit()->setReadOnly(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->setMaxVisibleItems(25);
  list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  list->setMinimumContentsLength(30);
  return list;
}

}  // namespace forms
