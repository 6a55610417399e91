#pragma once
// Inside the layer: the text a PDF reader gets back from the glyphs of a
// page. Qt's PDF writer gives each glyph the one character the font's own
// map leads to it from: a shaped Arabic letter comes back as a
// presentation form, a conjunct or a ligature as one letter or none, a
// character beyond U+FFFF as a control character, and a space as a tab.
// So the page layer says, for each line it draws, which characters each
// glyph was shaped from, and the file Qt wrote is copied with every font's
// /ToUnicode map rebuilt from them. Where a glyph stands for several
// characters or the glyphs do not run in the order typed, the line is also
// marked as it is painted, and the copy puts its glyphs in a span whose
// /ActualText is the line as typed, for the readers that honour it.
#include <QPointF>
#include <QString>

#include <functional>
#include <vector>

class QFont;
class QIODevice;
class QPainter;
class QTextLayout;

namespace print {

// One glyph a line draws and the characters it was shaped from.
struct GlyphText {
  quint64 glyph = 0;  // the glyph in a key of its face, the same wherever it is drawn
  int face = 0;       // the face it is drawn in
  char16_t single = 0;  // the one character of plain text, which text then leaves empty
  QString text;
  QString Text() const { return text.isEmpty() && single ? QString(QChar(single)) : text; }
};

// The text behind a line of the page: its glyphs in the order the painter
// draws them, and whether the line is marked for a span.
struct TextLine {
  QString text;  // as typed
  std::vector<GlyphText> glyphs;
  bool span = false;
};

// Whether text draws one glyph for each character, in the order typed, in
// any face the layer prints with: plain Latin, Greek and Cyrillic without
// marks, ligatures or right-to-left text. Such text is not shaped again to
// learn its glyphs.
bool IsPlainText(const QString& text);

// Adds to line text and its glyphs, drawn with painter.drawText in font.
void AddDrawnText(const QString& text, const QFont& font, TextLine& line);

// Lays out layout's text (and formats, set before) as one line, left to
// right, unwrapped: as QPainter::drawText shapes a line.
void LayOutOneLine(QTextLayout& layout);

// Adds to line the text and glyphs of the first line of layout (laid out,
// drawn with QTextLayout::draw). Where the layout's text is the typed text
// with letters and their marks composed, typed and typedOf (DrawnText)
// give the text as typed, which the glyphs then stand for.
void AddLaidOutText(const QTextLayout& layout, TextLine& line, const QString* typed = nullptr,
                    const std::vector<qsizetype>* typedOf = nullptr);

// Draws the first line of layout (laid out) at at, as QTextLayout::draw
// does, its glyphs in the order AddLaidOutText lists them.
void DrawLaidOutLine(QPainter& painter, const QTextLayout& layout, QPointF at);

// Decides whether the line needs a span: a glyph standing for other than
// one character, a glyph for no character, or glyphs out of typed order.
void FinishLine(TextLine& line);

// Whether a reader takes the page of these lines to read left to right:
// it holds no more right-to-left letters than letters of other scripts.
bool ReadsLeftToRight(const std::vector<TextLine>& lines);

// The text a line's span gives, so that readers that place it over the
// glyphs left to right, and turn its right-to-left stretches round as the
// page's direction has them, read the line as typed.
QString SpanText(const QString& text, bool leftToRight);

// Draws the mark that starts a line's span: a speck off the page, which
// the copy takes out again.
void MarkTextSpan(QPainter& painter);

// Copies the PDF in `in`, as Qt's writer wrote it, to `out`: lines(i)
// gives the lines page i + 1 drew, in the order drawn. tick is called now
// and then while the copy runs. False with *error set when the file is not
// one this layer understands or a write fails.
bool WritePdfText(QIODevice& in, QIODevice& out, const std::function<std::vector<TextLine>(int page)>& lines,
                  const std::function<void()>& tick, QString* error);

}  // namespace print
