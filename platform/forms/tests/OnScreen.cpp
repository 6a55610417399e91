#include "platform/forms/tests/OnScreen.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextEdit>
#include <QToolButton>
#include <QRegularExpression>
#include <QVector>

namespace tvn::test {
namespace {

QString Describe(const QWidget* w) {
  QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
  return name;
}

std::string S(const QString& s) { return s.toStdString(); }

QString Plain(QString text) {
  text.remove(QRegularExpression("&(?!&)"));  // mnemonics are not drawn as '&'
  return text;
}

// The rectangle of w in the coordinates of ancestor.
QRect RectIn(const QWidget* w, const QWidget* ancestor) {
  return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size());
}

// Why the caption is cut, or an empty text when it shows whole.
QString CaptionCut(const QWidget* w) {
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->text().isEmpty() || label->pixmap().isNull() == false) return {};
    QRect room = label->contentsRect();
    room.adjust(label->margin(), label->margin(), -label->margin(), -label->margin());
    if (label->wordWrap()) {
      int need = label->heightForWidth(label->width());
      if (need > label->height()) return QString("needs %1 px of height, has %2").arg(need).arg(label->height());
      return {};
    }
    QSize need = label->sizeHint();
    if (need.width() > label->width() + 1)
      return QString("needs %1 px of width, has %2").arg(need.width()).arg(label->width());
    if (label->fontMetrics().height() > label->height() + 1)
      return QString("needs %1 px of height, has %2").arg(label->fontMetrics().height()).arg(label->height());
    return {};
  }
  if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
    auto* b = static_cast<const QAbstractButton*>(w);
    if (b->text().isEmpty()) return {};
    QSize need = b->sizeHint();
    if (need.width() > b->width() + 1) return QString("needs %1 px of width, has %2").arg(need.width()).arg(b->width());
    if (b->fontMetrics().height() > b->height() + 1)
      return QString("needs %1 px of height, has %2").arg(b->fontMetrics().height()).arg(b->height());
    return {};
  }
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
    if (b->text().isEmpty()) return {};
    int text = 0;
    for (const QString& line : Plain(b->text()).split('\n'))
      text = std::max(text, b->fontMetrics().horizontalAdvance(line));
    int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    if (auto* tb = qobject_cast<const QToolButton*>(w); tb && tb->toolButtonStyle() != Qt::ToolButtonTextBesideIcon)
      icon = 0;
    int need = text + icon + 4;
    if (need > b->width()) return QString("needs %1 px of width, has %2").arg(need).arg(b->width());
    return {};
  }
  if (auto* g = qobject_cast<const QGroupBox*>(w)) {
    if (g->title().isEmpty()) return {};
    int need = g->fontMetrics().horizontalAdvance(Plain(g->title())) + 8;
    if (need > g->width()) return QString("title needs %1 px of width, has %2").arg(need).arg(g->width());
  }
  return {};
}

bool IsLeafControl(const QWidget* w) {
  return qobject_cast<const QLabel*>(w) || qobject_cast<const QAbstractButton*>(w) ||
         qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QTextEdit*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w);
}

bool Inside(const QWidget* inner, const QWidget* outer) {
  for (const QWidget* p = inner; p; p = p->parentWidget())
    if (p == outer) return true;
  return false;
}

}  // namespace

::testing::AssertionResult OnScreen(const QWidget* widget) {
  if (!widget) return ::testing::AssertionFailure() << "no widget";
  const QString name = Describe(widget);
  if (!widget->isVisible()) {
    for (const QWidget* p = widget; p; p = p->parentWidget())
      if (p->isHidden())
        return ::testing::AssertionFailure() << S(name) << " is not shown: " << S(Describe(p)) << " is hidden";
    return ::testing::AssertionFailure() << S(name) << " is not shown";
  }
  if (widget->width() <= 0 || widget->height() <= 0)
    return ::testing::AssertionFailure() << S(name) << " has no size";
  // Each ancestor clips what lies outside it (a scrolled area's viewport, a
  // frame too small for its contents, the window itself).
  for (const QWidget* p = widget->parentWidget(); p; p = p->parentWidget()) {
    QRect r = RectIn(widget, p);
    if (!p->rect().contains(r))
      return ::testing::AssertionFailure()
             << S(name) << " at " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height()
             << " is cut off by " << S(Describe(p)) << " (" << p->width() << "x" << p->height() << ")";
    if (p->isWindow()) break;
  }
  if (QString cut = CaptionCut(widget); !cut.isEmpty())
    return ::testing::AssertionFailure() << S(name) << " shows its caption cut: " << S(cut);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult NothingOverlaps(const QWidget* container) {
  if (!container) return ::testing::AssertionFailure() << "no container";
  QVector<const QWidget*> shown;
  for (const QWidget* w : container->findChildren<QWidget*>())
    if (w->isVisible() && IsLeafControl(w)) shown.push_back(w);
  for (int i = 0; i < shown.size(); ++i)
    for (int j = i + 1; j < shown.size(); ++j) {
      const QWidget* a = shown[i];
      const QWidget* b = shown[j];
      if (Inside(a, b) || Inside(b, a)) continue;
      // Parts of one compound control (a combo's line edit, a view's scroll bars).
      if (Inside(a, b->parentWidget()) && qobject_cast<const QAbstractScrollArea*>(b->parentWidget())) continue;
      QRect ra = RectIn(a, container->window());
      QRect rb = RectIn(b, container->window());
      if (ra.intersects(rb))
        return ::testing::AssertionFailure() << S(Describe(a)) << " and " << S(Describe(b)) << " overlap";
    }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult RowVisible(const QAbstractItemView* view, int row) {
  if (auto r = OnScreen(view); !r) return r;
  QModelIndex index = view->model() ? view->model()->index(row, 0, view->rootIndex()) : QModelIndex();
  if (!index.isValid()) return ::testing::AssertionFailure() << "row " << row << " does not exist";
  // The row's first column that shows: a grid's key column may be hidden.
  QRect rect = view->visualRect(index);
  for (int c = 1; rect.height() <= 0 && c < view->model()->columnCount(view->rootIndex()); ++c)
    rect = view->visualRect(view->model()->index(row, c, view->rootIndex()));
  const QRect room = view->viewport()->rect();
  if (rect.height() <= 0 || rect.bottom() < room.top() || rect.top() > room.bottom())
    return ::testing::AssertionFailure() << "row " << row << " of " << S(Describe(view)) << " is scrolled out of view";
  return ::testing::AssertionSuccess();
}

}  // namespace tvn::test
