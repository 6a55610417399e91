#pragma once
// Inside the layer: the Qt font of a FontSpec and its metrics, kept so that
// measuring a table of many cells does not build a font per cell.
#include <QFont>
#include <QFontMetricsF>
#include <QHash>

#include <cstdint>
#include <vector>

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
  double ascent = 0, descent = 0;
  // Whether plain Latin text in this font may be measured from its parts
  // (see TextAdvance): true for the families whose shaping of that text is
  // no more than each glyph's advance and a kerning of each adjacent pair.
  bool pairwise = false;
  // In 64ths of a pixel, as the shaper counts: the advance of each Latin-1
  // character and the kerning of each pair, filled as they are met.
  mutable std::vector<std::int32_t> advances;
  mutable std::vector<std::int32_t> kerning;
};

// The text as its glyphs are chosen: composed (NFC), so that a letter
// typed with a combining accent (names copied from files made on other
// systems often come so) prints as the accented letter typed as one,
// rather than with the accent taken from another face and set beside it.
// Text with no combining sequence is returned as it is, without a copy.
// The text behind the glyphs stays as typed: with typedOf, where the text
// changes, typedOf gets for each character of the result the place in text
// its piece starts at (-1 for the rest of a composed letter), then the
// size of text; it is left empty where nothing changes.
QString DrawnText(const QString& text, std::vector<qsizetype>* typedOf = nullptr);

// A letter with marks that do not compose into one character and that the
// face of its run lacks (such as "q" with an acute): the letter and its
// marks are drawn in the first face of the other scripts that has them
// all, which sets the marks on the letter. The pieces of drawn text (as
// DrawnText gives it) that are, in the order of the text.
struct MarkFace {
  qsizetype start = 0, length = 0;
  FontSpec font;
};
std::vector<MarkFace> MarkFaces(const QString& drawn, const FontSpec& font);

// The entry of a font: one twip a pixel, no hinting.
const FontEntry& FontFor(const FontSpec& spec);

// The width of text in the entry's font, to the last bit what
// metrics.horizontalAdvance(text) gives. Text of plain Latin-1 characters
// in a pairwise font is summed from cached advances and pair kernings
// instead of being shaped again; anything else is shaped as a whole.
double TextAdvance(const FontEntry& entry, const QString& text);

// The width of a run of text in a font, as MeasureText gives it; a short
// text that was met before is replaced by the copy already kept, so that
// the runs share it.
double MeasureRun(const FontSpec& font, QString& text);

}  // namespace print
