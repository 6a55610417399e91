#pragma once
// Inside the layer: the Qt font of a FontSpec and its metrics, kept so that
// measuring a table of many cells does not build a font per cell.
#include <QFont>
#include <QFontMetricsF>

#include "platform/print/Document.h"

namespace print {

struct FontEntry {
  FontSpec spec;
  QFont font;
  QFontMetricsF metrics;
};

// The entry of a font: one twip a pixel, no hinting.
const FontEntry& FontFor(const FontSpec& spec);

}  // namespace print
