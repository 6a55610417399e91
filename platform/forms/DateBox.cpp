#include "platform/forms/DateBox.h"

#include <QRegularExpression>
#include <QSizePolicy>

#include "platform/runtime/Functions.h"

namespace forms {

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
  setPlaceholderText("m/d/yyyy");
  // Long enough for a date written out ("September 30, 1999"): a date cut
  // to the box's width reads as another date.
  setMaxLength(40);
  // Dates keep their size; only the other fields follow the window.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFixedWidth(fontMetrics().horizontalAdvance("00/00/00000") + 16);
  // Whatever the box shows or the user types replaces the hidden value.
  connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!t.isEmpty()) hides_ = false;
  });
  connect(this, &QLineEdit::textEdited, this, [this] { hides_ = false; });
}

void DateBox::ShowUnreadable() {
  clear();
  hides_ = true;
}

void DateBox::ClearDate() {
  clear();
  hides_ = false;
}

void DateBox::SetDateValue(const vb::Variant& value) {
  hides_ = false;
  try {
    if (value.isNull() || value.isEmpty()) {
      clear();
      return;
    }
    if (!vb::IsDate(value)) {
      ShowUnreadable();
      return;
    }
    setText(QString::fromStdString(vb::Format(vb::CDate(value), "m/d/yyyy")));
  } catch (const vb::RuntimeError&) {
    ShowUnreadable();
  }
}

bool DateBox::HoldsDate() const {
  const std::string t = text().trimmed().toStdString();
  if (t.empty() || !vb::IsDate(vb::Variant(t))) return false;
  try {
    const int y = vb::Year(vb::CDate(vb::Variant(t)));
    return y >= 100 && y <= 9999;
  } catch (const vb::RuntimeError&) {
    return false;
  }
}

}  // namespace forms

namespace forms {

bool DateBox::Fileable() const {
  const QString t = text().trimmed();
  if (t.isEmpty()) return true;
  static const QRegularExpression digits(R"(^(\d{1,2})/(\d{1,2})/(\d{4})$)");
  static const QRegularExpression iso(R"(^(\d{4})-(\d{1,2})-(\d{1,2})$)");
  static const QRegularExpression numeric(R"(^[\d\s/.\-]+$)");
  static const QRegularExpression year(R"((?<!\d)(\d{4})(?!\d))");
  auto m = digits.match(t);
  const bool yearFirst = !m.hasMatch();
  if (yearFirst) m = iso.match(t);
  if (m.hasMatch()) {
    const int yr = m.captured(yearFirst ? 1 : 3).toInt();
    const int mo = m.captured(yearFirst ? 2 : 1).toInt(), da = m.captured(yearFirst ? 3 : 2).toInt();
    if (yr < 100 || mo < 1 || mo > 12 || da < 1) return false;
    try {
      // DateSerial rolls 2/30 over into March: the date must come back whole.
      const vb::Variant d = vb::DateSerial(yr, mo, da);
      return vb::Year(d) == yr && vb::Month(d) == mo && vb::Day(d) == da;
    } catch (const vb::RuntimeError&) {
      return false;
    }
  }
  // Any other form in digits only ("31/12/1999", "12/31/99")
  // leaves the order of day and month or the century to a guess.
  if (numeric.match(t).hasMatch()) return false;
  // A month's name: the year written in full must be the date's year.
  const auto y = year.match(t);
  if (!y.hasMatch() || !HoldsDate()) return false;
  try {
    return vb::Year(vb::CDate(vb::Variant(t.toStdString()))) == y.captured(1).toInt();
  } catch (const vb::RuntimeError&) {
    return false;
  }
}

vb::Variant DateBox::FiledValue() const {
  const std::string t = text().trimmed().toStdString();
  if (t.empty()) return vb::Variant::Null();
  const QString q = QString::fromStdString(t);
  if (const auto m = QRegularExpression(R"(^(\d{1,2})/(\d{1,2})/(\d{4})$)").match(q); m.hasMatch())
    return vb::DateSerial(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
  if (const auto m = QRegularExpression(R"(^(\d{4})-(\d{1,2})-(\d{1,2})$)").match(q); m.hasMatch())
    return vb::DateSerial(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
  return vb::CDate(vb::Variant(t));
}

}  // namespace forms
