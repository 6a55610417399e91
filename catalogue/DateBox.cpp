#include "catalogue/DateBox.h"

#include <QSizePolicy>

#include "platform/runtime/Functions.h"

namespace tvn {

DateBox::DateBox(QWidget* parent) : QLineEdit(parent) {
  setPlaceholderText("m/d/yyyy");
  setMaxLength(10);
  // Dates keep their size; only the other fields follow the window.
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFixedWidth(fontMetrics().horizontalAdvance("00/00/00000") + 16);
}

void DateBox::SetDateValue(const vb::Variant& value) {
  try {
    if (value.isNull() || value.isEmpty() || !vb::IsDate(value)) {
      clear();
      return;
    }
    setText(QString::fromStdString(vb::Format(vb::CDate(value), "m/d/yyyy")));
  } catch (const vb::RuntimeError&) {
    clear();
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

}  // namespace tvn
