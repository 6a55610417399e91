#pragma once
// Inside the layer: the text a PDF reader gets back from the glyphs of a
// page. Qt's PDF writer gives each glyph one character through the font's
// /ToUnicode map, which cannot say what a shaped Arabic letter, a Thai or
// Devanagari cluster or a character beyond U+FFFF was typed as, and breaks
// past a hundred ranges. So each run of text a page draws is marked as it
// is painted, and the file Qt wrote is copied with every mark replaced by
// a span whose /ActualText is the run's text, and with every /ToUnicode
// map rewritten as a sound one.
#include <QString>

#include <functional>
#include <vector>

class QIODevice;
class QPainter;

namespace print {

// Draws the mark that starts a run's span: a speck off the page, which
// the copy takes out again.
void MarkTextSpan(QPainter& painter);

// The characters of text in the order a line of it shows them left to
// right: the order a reader of the PDF expects the text behind the glyphs
// in, and turns back into the order typed.
QString VisualOrder(const QString& text);

// Copies the PDF in `in`, as Qt's writer wrote it, to `out`: spans(i) gives
// the texts of the marked runs of page i + 1 in the order they were drawn.
// tick is called now and then while the copy runs. False with *error set
// when the file is not one this layer understands or a write fails.
bool WritePdfText(QIODevice& in, QIODevice& out, const std::function<std::vector<QString>(int page)>& spans,
                  const std::function<void()>& tick, QString* error);

}  // namespace print
