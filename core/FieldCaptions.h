#pragma once
// The captions of the ten user fields, kept per section in the first row
// of a caption table. Both catalogue windows rename them the same way: a
// double click on the caption asks for the new one.
#include <functional>
#include <string>

#include "platform/dao/Dao.h"

class QLabel;

namespace tvn {

// Asks for the new caption of fieldName ("f1" ... "f10") in a box that takes
// the 50 characters the caption row stores, stores it (adding the row when
// the table has none) and shows it on label. An empty answer changes
// nothing; a caption of blanks is refused with a message; a database error
// is shown and the caption stays as it was.
void RenameFieldCaption(const dao::RecordsetPtr& captions, const std::string& fieldName, QLabel* label);

// Runs onDoubleClick whenever label is double-clicked, and keeps the label
// narrow (KeepCaptionNarrow).
void OnCaptionDoubleClick(QLabel* label, std::function<void()> onDoubleClick);

// The characters of a caption's line: longer captions wrap.
constexpr int kCaptionLineChars = 18;
// Keeps a caption label within kCaptionLineChars characters: a longer
// caption, set now or later, wraps, so that it leaves its field the width
// it has.
void KeepCaptionNarrow(QLabel* label);

}  // namespace tvn
