#pragma once
// A date field that may be left empty: the user types a date ("m/d/yyyy")
// or clears it. It keeps its width when the window is resized, so a date
// never stretches across the frame.
#include <QLineEdit>

#include "platform/runtime/Variant.h"

namespace tvn {

class DateBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit DateBox(QWidget* parent = nullptr);

  // Shows a date value as "m/d/yyyy"; anything that is no date (Null,
  // Empty, a text that does not read as a date) empties the box.
  void SetDateValue(const vb::Variant& value);
  // True when the text is a date from 100/1/1 to 9999/12/31.
  bool HoldsDate() const;
};

}  // namespace tvn
