#pragma once
// Inside the layer: the Qt font of a FontSpec and its metrics, kept so that
// measuring a table of many cells does not build a font per cell.
#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include "platform/print/Document.h"

namespace print {

struct FontEntry {
  FontSpec spec;
  QFont font;
  QFontMetricsF metrics;
  // Widths of the short texts met in this font. A report prints the same
  // labels on every record: each is measured once, and its runs share one
  // copy of the text instead of holding their own.
  QHash<QString, double> widths;
};

// The entry of a font: one twip a pixel, no hinting.
const FontEntry& FontFor(const FontSpec& spec);

// The width of a run of text in a font, as MeasureText gives it; a short
// text that was met before is replaced by the copy already kept, so that
// the runs share it.
double MeasureRun(const FontSpec& font, QString& text);

}  // namespace print
