#pragma once
// A date field that may be left empty: the user types a date ("m/d/yyyy")
// or clears it. It keeps its width when the window is resized, so a date
// never stretches across the frame.
#include <QLineEdit>

#include "platform/runtime/Variant.h"

namespace forms {

class DateBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit DateBox(QWidget* parent = nullptr);

  // Shows a date value as "m/d/yyyy"; anything that is no date (Null,
  // Empty, a text that does not read as a date) empties the box.
  void SetDateValue(const vb::Variant& value);
  // A stored value the box cannot show: it shows empty, and remembers
  // that something is stored until the user clears or types.
  void ShowUnreadable();
  // The box shows empty over a stored value it could not show.
  bool HidesStoredValue() const { return hides_; }
  // Empties the box at the user's word (its Clear Date button): a stored
  // value it could not show is to be erased too.
  void ClearDate();
  // True when the text is a date from 100/1/1 to 9999/12/31.
  bool HoldsDate() const;

  // A date the box can be filed with: empty, or a whole date with a
  // four-digit year, either as digits ("12/31/1999" month first, or
  // "1999-12-31") or with the month's name ("Dec 31, 1999"). Two-digit years, days beyond the
  // month's end and day-first texts are refused rather than guessed.
  bool Fileable() const;
  // What filing stores: Null for an empty box, else the date. Only after
  // Fileable() returned True.
  vb::Variant FiledValue() const;

 private:
  bool hides_ = false;
};

}  // namespace forms
