#include "platform/forms/LetterBar.h"

#include <QPainter>
#include <QToolBar>

#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace forms {

namespace {

const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// One face of a letter button: has titles (plain), active (filled) or no
// titles (greyed).
QIcon LetterFace(char letter, int role) {
  QPixmap pm(18, 18);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QColor fill = role == 1 ? QColor(40, 90, 170) : QColor(0, 0, 0, 0);
  QColor ink = role == 0 ? QColor(20, 20, 20) : role == 1 ? QColor(255, 255, 255) : QColor(170, 170, 170);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawRoundedRect(QRectF(1, 1, 16, 16), 3, 3);
  QFont f = p.font();
  f.setBold(role != 2);
  f.setPixelSize(12);
  p.setFont(f);
  p.setPen(ink);
  p.drawText(QRect(0, 0, 18, 18), Qt::AlignCenter, QString(QChar(letter)));
  return QIcon(pm);
}

bool IsNumber(int i) { return i >= 1 && i <= 76 && (i - 1) % 3 == 0; }

}  // namespace

void BuildLetterBar(QToolBar* bar, LetterButtons& buttons, const std::function<void(int)>& click) {
  bar->setIconSize(QSize(18, 18));
  for (int k = 1; k <= 26; ++k) {
    const char letter = char('A' + k - 1);
    const QString l(QChar{letter});
    for (int role = 0; role < 3; ++role) {
      const int index = 3 * k - 2 + role;
      QAction* a = bar->addAction(LetterFace(letter, role), l);
      a->setObjectName(QString("Toolbar2_%1").arg(index));
      a->setToolTip(role == 0   ? "Selection for titles beginning with " + l
                    : role == 1 ? QString("Active list of titles")
                                : "No Data for " + l);
      a->setVisible(role == 2);
      QObject::connect(a, &QAction::triggered, bar, [click, index] { click(index); });
      buttons[size_t(index)] = a;
    }
  }
}

std::string TitleLetter(const std::string& name) {
  if (name.empty()) return "A";
  const std::u32string first = vb::DecodeUtf8(vb::Left(name, 1));
  const char32_t letter = first.empty() ? U'A' : vb::BaseLetter(first[0]);
  return letter >= U'A' && letter <= U'Z' ? std::string(1, static_cast<char>(letter)) : std::string("A");
}

bool IsBarLetter(const std::string& text) {
  return text.size() == 1 && kLetters.find(text[0]) != std::string::npos;
}

int LetterButtonNumber(const std::string& letter) {
  if (!IsBarLetter(letter)) return 1;
  return 3 * int(kLetters.find(letter[0])) + 1;
}

std::string LetterOfButton(int index) {
  if (index < 1 || index > 78) return "A";
  return std::string(1, kLetters[size_t((index - 1) / 3)]);
}

void ResetLetterButtons(const LetterButtons& buttons) {
  for (size_t i = 1; i <= 76; i += 3) {
    buttons[i]->setVisible(false);
    buttons[i + 1]->setVisible(false);
    buttons[i + 2]->setVisible(true);
  }
}

void ShowLetterWithTitles(const LetterButtons& buttons, int number) {
  if (!IsNumber(number)) return;
  const size_t i = size_t(number);
  buttons[i]->setVisible(true);
  buttons[i + 1]->setVisible(false);
  buttons[i + 2]->setVisible(false);
}

void SwapLetterButtons(const LetterButtons& buttons, int active, int previous) {
  if (IsNumber(previous) && !buttons[size_t(previous) + 2]->isVisible()) {
    buttons[size_t(previous) + 1]->setVisible(false);
    buttons[size_t(previous)]->setVisible(true);
  }
  if (IsNumber(active) && !buttons[size_t(active) + 2]->isVisible()) {
    buttons[size_t(active)]->setVisible(false);
    buttons[size_t(active) + 1]->setVisible(true);
  }
}

}  // namespace forms
