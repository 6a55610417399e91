#include "core/SortForm.h"

#include <QApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/runtime/TextFold.h"

namespace tvn {

SortForm::SortForm() {
  setObjectName("SortForm");
  setWindowTitle(TitleFor({}));
  Choice_List = new QComboBox(this);
  Choice_List->setObjectName("Choice_List");
  Choice_List->setEditable(false);
  Select_Label = new QLabel("Pick the desired Artist from the list above", this);
  Select_Label->setObjectName("Select_Label");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Choice_List);
  layout->addWidget(Select_Label);
  resize(320, 90);
  connect(Choice_List, &QComboBox::activated, this, [this](int) { Choice_List_Click(); });
}

void SortForm::Choice_List_Click() { Hide(); }

QString SortForm::TitleFor(const QString& prompt) {
  static const QRegularExpression what(QStringLiteral("^Pick the desired (.+) from the list above$"));
  const auto m = what.match(prompt.trimmed());
  if (!m.hasMatch()) return QStringLiteral("Select");
  const QString thing = m.captured(1);
  const bool vowel = QStringLiteral("AEIOUaeiou").contains(thing.front());
  return QStringLiteral("Select %1 %2").arg(vowel ? QStringLiteral("an") : QStringLiteral("a"), thing);
}

void SortForm::showEvent(QShowEvent* event) {
  // Before the window is mapped: the list, the title and the place are
  // right from the first paint.
  if (!event->spontaneous()) {
    SortChoices();
    setWindowTitle(TitleFor(Select_Label->text()));
    PlaceOverOpener();
  }
  Form::showEvent(event);
}

void SortForm::SortChoices() {
  const int count = Choice_List->count();
  std::vector<std::string> texts;
  texts.reserve(size_t(count));
  for (int i = 0; i < count; ++i) texts.push_back(Choice_List->itemText(i).toStdString());
  const std::vector<std::uint32_t> order =
      vb::LetterOrder(texts.size(), [&texts](size_t i) { return std::string_view(texts[i]); });
  bool sorted = true;
  for (size_t i = 0; i < order.size() && sorted; ++i) sorted = order[i] == i;
  if (sorted) return;
  const int current = Choice_List->currentIndex();
  QStringList items;
  items.reserve(count);
  int newCurrent = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    items << QString::fromStdString(texts[order[i]]);
    if (int(order[i]) == current) newCurrent = int(i);
  }
  const bool blocked = Choice_List->blockSignals(true);
  Choice_List->clear();
  Choice_List->addItems(items);
  Choice_List->setCurrentIndex(newCurrent);
  Choice_List->blockSignals(blocked);
}

void SortForm::PlaceOverOpener() {
  adjustSize();
  resize(std::max(width(), 320), height());
  const QWidget* opener = QApplication::activeWindow();
  if (opener == this) opener = nullptr;
  QRect over;
  if (opener && opener->isVisible()) {
    over = opener->frameGeometry();
  } else if (const QScreen* screen = this->screen()) {
    over = screen->availableGeometry();
  } else {
    return;
  }
  QRect place(QPoint(0, 0), size());
  place.moveCenter(over.center());
  // Kept wholly on the opener's screen.
  if (const QScreen* screen = opener ? opener->screen() : this->screen()) {
    const QRect room = screen->availableGeometry();
    place.moveLeft(std::clamp(place.left(), room.left(), std::max(room.left(), room.right() - place.width())));
    place.moveTop(std::clamp(place.top(), room.top(), std::max(room.top(), room.bottom() - place.height())));
  }
  move(place.topLeft());
}

}  // namespace tvn
