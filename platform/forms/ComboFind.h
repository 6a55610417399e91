#pragma once
// Combo-box helpers: the prefix search the completion of typed entries
// relies on, and the set-up that makes an editable QComboBox behave as a
// plain combo box (no completion or list growth of Qt's own).
class QComboBox;
class QString;

namespace forms {

// Index of the first list item, from the top, whose text begins with
// prefix without regard to letter case; -1 when none does. An empty prefix
// matches the first item.
int FindStringPrefix(const QComboBox* combo, const QString& prefix);

// Removes Qt's own completer and stops Enter from adding the typed text to
// the list: the program decides about completion itself.
void MakePlainCombo(QComboBox* combo);

}  // namespace forms
