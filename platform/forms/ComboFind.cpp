#include "platform/forms/ComboFind.h"

#include <QComboBox>
#include <QString>

namespace forms {

int FindStringPrefix(const QComboBox* combo, const QString& prefix) {
  if (!combo) return -1;
  const int n = combo->count();
  for (int i = 0; i < n; ++i) {
    if (combo->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

void MakePlainCombo(QComboBox* combo) {
  if (!combo) return;
  combo->setInsertPolicy(QComboBox::NoInsert);
  if (combo->isEditable()) combo->setCompleter(nullptr);
}

}  // namespace forms
