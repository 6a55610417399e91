// The text behind the glyphs of the PDF files the layer writes (see
// PdfText.h). Qt's writer puts out a plain file: a header, numbered
// objects one after the other, one cross-reference table and a trailer;
// page contents are deflated streams whose length is an object of its own.
// The copy goes object by object in the order of the file, holding one
// object at a time, and writes a new table for the objects' new places.
#include "platform/print/PdfText.h"

#include "platform/print/Fonts.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QIODevice>
#include <QPainter>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>

namespace print {

namespace {

// The mark: a filled square far above and left of any page, which nothing
// else the layer draws comes near. Qt writes it as "<rect> re f", then the
// "Q" that closes the pen's state as the text's pen is set. Whether a "q"
// of the mark's own comes before it depends on what was drawn before
// (after a picture or another fill there is none), so only the rectangle
// and its fill are taken out: the saved states stay as Qt wrote them, and
// so does whatever was drawn before the mark.
constexpr double kMarkAt = -28871;
constexpr double kMarkSize = 7;
const QByteArray kMarkRect = QByteArrayLiteral("\n-28871 -28871 7 7 re\nf\nQ\n");
constexpr qsizetype kMarkClose = 2;  // the "Q\n" the match ends with

bool Inflate(const char* data, qsizetype size, QByteArray* out) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  out->resize(0);  // keeps the room of the page before
  if (out->capacity() < size * 4) out->reserve(size * 4);
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  z.avail_in = static_cast<uInt>(size);
  char buffer[65536];
  int rc = Z_OK;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) break;
    out->append(buffer, static_cast<qsizetype>(sizeof buffer - z.avail_out));
  } while (rc != Z_STREAM_END && (z.avail_in > 0 || z.avail_out == 0));
  inflateEnd(&z);
  return rc == Z_STREAM_END;
}

bool Deflate(const QByteArray& data, QByteArray* out, int level) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  if (out->size() < static_cast<qsizetype>(size)) out->resize(static_cast<qsizetype>(size));
  if (compress2(reinterpret_cast<Bytef*>(out->data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                static_cast<uLong>(data.size()), level) != Z_OK)
    return false;
  out->resize(static_cast<qsizetype>(size));
  return true;
}

// The UTF-16BE of text in hex digits: surrogate pairs stay pairs.
QByteArray HexUtf16(const QString& text) {
  QByteArray out;
  out.reserve(text.size() * 4);
  static const char digits[] = "0123456789ABCDEF";
  for (QChar c : text) {
    const char16_t u = c.unicode();
    out += digits[(u >> 12) & 15];
    out += digits[(u >> 8) & 15];
    out += digits[(u >> 4) & 15];
    out += digits[u & 15];
  }
  return out;
}

// A PDF text string of any text: UTF-16BE behind a byte order mark, so
// that characters beyond U+FFFF keep their surrogate pairs.
QByteArray HexText(const QString& text) { return "<FEFF" + HexUtf16(text) + '>'; }

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

// Where the span of glyphs drawn from `from` to `to` begins and ends so
// that it and the saved states nest: it ends before the first "Q" that
// closes a state saved before from; else at to, past the "Q"s right after
// it that close states saved in the span. A state saved in the span and
// still open there (the pen the next line is drawn with) is left out by
// beginning the span after it. Nothing past limit is taken.
std::pair<qsizetype, qsizetype> SpanBounds(const QByteArray& content, qsizetype from, qsizetype to, qsizetype limit) {
  std::vector<qsizetype> open;  // just past each "q" still open
  const char* s = content.constData();
  qsizetype i = from;
  while (i < limit) {
    while (i < limit && IsSpace(s[i])) ++i;
    const qsizetype start = i;
    while (i < limit && !IsSpace(s[i])) ++i;
    if (start >= to && (open.empty() || i - start != 1 || s[start] != 'Q'))
      return {open.empty() ? from : open.back(), start};
    if (i - start != 1) continue;
    if (s[start] == 'q') {
      open.push_back(i);
    } else if (s[start] == 'Q') {
      if (open.empty()) return {from, start};
      open.pop_back();
    }
  }
  return {open.empty() ? from : open.back(), limit};
}

// The font and text matrix the last glyphs of a span were drawn with,
// set again in an empty text object before the span closes: a reader
// places the span's text with the state in force where it ends, and the
// text objects inside it restored theirs.
QByteArray LastTextState(const QByteArray& content, qsizetype from, qsizetype to) {
  qsizetype tf = content.lastIndexOf(" Tf ", to);
  if (tf < from) return {};
  qsizetype lineStart = content.lastIndexOf('\n', tf) + 1;
  qsizetype lineEnd = content.indexOf('\n', tf);
  if (lineStart < from || lineEnd < 0 || lineEnd > to) return {};
  const QByteArray line = content.mid(lineStart, lineEnd - lineStart);
  if (!line.startsWith('/') || !line.endsWith(" Tm")) return {};
  return "BT\n" + line + "\nET\n";
}

// ---- the glyphs of a line

// The number of glyphs of each face's font file, where it says (its
// "maxp" table): no code Qt gives a glyph of it in a PDF font reaches it.
QHash<int, unsigned>& GlyphCounts() {
  static QHash<int, unsigned> counts;
  return counts;
}

// A number for each face and size text is drawn in, the same for every
// line: Qt writes one PDF font for a face, and names its size where the
// glyphs are shown, so that a face's glyphs are found again by both.
int FaceOf(const QRawFont& raw) {
  static QHash<QString, int> faces;
  const QString key = raw.familyName() + QLatin1Char('\n') + raw.styleName() + QLatin1Char('\n') +
                      QString::number(raw.pixelSize());
  const auto found = faces.constFind(key);
  if (found != faces.constEnd()) return found.value();
  const int face = static_cast<int>(faces.size()) + 1;
  faces.insert(key, face);
  const QByteArray maxp = raw.fontTable("maxp");
  if (maxp.size() >= 6)
    GlyphCounts().insert(face, (static_cast<unsigned>(static_cast<uchar>(maxp[4])) << 8) | static_cast<uchar>(maxp[5]));
  return face;
}

int FaceOf(const QFont& font) {
  static QHash<QString, int> byFont;
  const QString key = font.key();
  const auto found = byFont.constFind(key);
  if (found != byFont.constEnd()) return found.value();
  const int face = FaceOf(QRawFont::fromFont(font));
  byFont.insert(key, face);
  return face;
}

constexpr quint64 kPlainGlyph = quint64{1} << 31;  // a glyph known by its character

quint64 GlyphKey(int face, quint32 glyph) { return (quint64(static_cast<quint32>(face)) << 32) | glyph; }

bool IsNotdef(const GlyphText& g) { return (g.glyph & 0xFFFFFFFFu) == 0; }

qsizetype CodePoints(const QString& text) {
  qsizetype n = 0;
  for (qsizetype i = 0; i < text.size(); ++i)
    if (!text[i].isLowSurrogate() || i == 0 || !text[i - 1].isHighSurrogate()) ++n;
  return n;
}

// ---- the glyphs of a page's content

// A glyph a page's content shows: "<code> Tj" in the font and size of the
// last "/F<object> <size> Tf".
struct Shown {
  int font = 0;
  QByteArray size;
  unsigned code = 0;
  qsizetype end = 0;  // just past its "Tj"
  qsizetype hex = 0;  // where the code's hex digits start
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const QByteArray kBoldCopy = QByteArrayLiteral("/Span << /ActualText <> >> BDC");

// The glyphs the content shows, in order, but for the copy Qt draws a
// hair aside, in an empty span, to make a face without bold look bold.
std::vector<Shown> ShownGlyphs(const QByteArray& content) {
  std::vector<Shown> shown;
  const char* s = content.constData();
  const qsizetype n = content.size();
  int font = 0;
  QByteArray size;
  bool copy = false;
  for (qsizetype at = 0; at < n;) {
    const char* nl = static_cast<const char*>(std::memchr(s + at, '\n', static_cast<size_t>(n - at)));
    const qsizetype end = nl ? nl - s : n;
    const qsizetype length = end - at;
    if (length > 6 && s[end - 1] == 'j' && s[end - 2] == 'T' && s[end - 3] == ' ' && s[end - 4] == '>') {
      if (!copy) {
        qsizetype open = end - 5;
        while (open > at && s[open] != '<') --open;
        unsigned code = 0;
        bool ok = s[open] == '<' && end - 4 - open - 1 > 0;
        for (qsizetype i = open + 1; ok && i < end - 4; ++i) {
          const int digit = HexDigit(s[i]);
          ok = digit >= 0 && code < 0x1000000;
          code = code * 16 + static_cast<unsigned>(digit);
        }
        if (ok) shown.push_back({font, size, code, end, open + 1});
      }
    } else if (length > 4 && s[at] == '/' && s[at + 1] == 'F') {
      const QList<QByteArray> words = QByteArray::fromRawData(s + at, length).split(' ');
      const qsizetype tf = words.indexOf("Tf");
      if (tf == 2) {
        font = words[0].mid(2).toInt();
        size = words[1];
      }
    } else if (length == kBoldCopy.size() && std::memcmp(s + at, kBoldCopy.constData(), length) == 0) {
      copy = true;
    } else if (length == 3 && copy && std::memcmp(s + at, "EMC", 3) == 0) {
      copy = false;
    }
    at = end + 1;
  }
  return shown;
}

// The codes of one PDF font that the copy adds: a glyph drawn standing for
// other text than its code already has is shown under a code of its own,
// which the font maps to the same glyph. Qt gives the glyphs of a font the
// codes from 0 on, fewer than the glyphs of its font file, so the codes
// from that count up to the last a font may have are free.
struct OwnCodes {
  unsigned next = 0;  // the next free code
  unsigned first = 0;  // the first code added
  QHash<QPair<unsigned, QString>, unsigned> of;  // Qt's code and a text -> the code of its own
  std::map<unsigned, unsigned> glyphCode;  // a code added -> Qt's code of its glyph
};

constexpr unsigned kCodes = 0x10000;  // a font's two-byte codes

// What the copy has learnt of the fonts' glyphs from the lines drawn with
// them: the text of each code of each font (the first a code is drawn
// with; a glyph drawn for another text gets a code of its own), the
// glyphs known with each text, and the font each face was written as.
struct Learnt {
  std::unordered_map<int, std::map<unsigned, QString>> texts;
  std::unordered_map<int, OwnCodes> own;
  QSet<QPair<quint64, QString>> known;
  QHash<int, int> fontOfFace;

  // The code of its own that glyph `code` of `font` (drawn in `face`)
  // shows under for `text`, or 0 when the font has no code free.
  unsigned OwnCode(int font, int face, unsigned code, const QString& text) {
    OwnCodes& codes = own[font];
    const auto found = codes.of.constFind({code, text});
    if (found != codes.of.constEnd()) return found.value();
    if (codes.next == 0) {
      const auto count = GlyphCounts().constFind(face);
      codes.next = codes.first = count == GlyphCounts().constEnd() ? kCodes : std::max(count.value(), 1u);
    }
    if (codes.next >= kCodes) return 0;
    const unsigned added = codes.next++;
    codes.of.insert({code, text}, added);
    codes.glyphCode.emplace(added, code);
    return added;
  }
};

// Whether text is the text a code already keeps. A letter drawn as one
// glyph may be typed composed in one title and as a letter and combining
// accent in another: that is one text, and the glyph keeps the composed
// form, whichever came first. With the accent typed apart, a composed
// title elsewhere in the file would read back decomposed, and readers that
// take a glyph whose text holds a combining accent for a mark without
// width put a space after it ("Dvořá k").
bool OneText(QString& kept, const QString& text) {
  if (kept == text) return true;
  const QString composed = kept.normalized(QString::NormalizationForm_C);
  if (composed != text.normalized(QString::NormalizationForm_C)) return false;
  if (composed == text) kept = text;
  return true;
}

// Pairs a line's glyphs with the glyphs shown from at on: the faces and
// the fonts (with their sizes) take turns alike, a glyph always shows as
// the same code and a code always stands for the same glyph, and a face
// keeps the font it was written as. Then each code gets its glyph's text;
// a glyph whose code stands for another text already is shown under a
// code of its own, written into content (whose length stays).
bool LearnLine(const TextLine& line, const std::vector<Shown>& shown, size_t at, Learnt& learnt,
               QByteArray& content, bool* recoded) {
  const size_t n = line.glyphs.size();
  std::vector<int> faces;
  std::vector<std::pair<int, QByteArray>> fonts;
  QHash<quint64, unsigned> codeOf;
  QHash<quint64, quint64> glyphOf;
  for (size_t i = 0; i < n; ++i) {
    const GlyphText& g = line.glyphs[i];
    const Shown& s = shown[at + i];
    auto face = std::find(faces.begin(), faces.end(), g.face);
    auto font = std::find(fonts.begin(), fonts.end(), std::make_pair(s.font, s.size));
    if ((face == faces.end()) != (font == fonts.end())) return false;
    if (face == faces.end()) {
      faces.push_back(g.face);
      fonts.emplace_back(s.font, s.size);
    } else if (face - faces.begin() != font - fonts.begin()) {
      return false;
    }
    const auto wrote = learnt.fontOfFace.constFind(g.face);
    if (wrote != learnt.fontOfFace.constEnd() && wrote.value() != s.font) return false;
    const quint64 code = (quint64(static_cast<quint32>(s.font)) << 32) | s.code;
    if (codeOf.value(g.glyph, s.code) != s.code || glyphOf.value(code, g.glyph) != g.glyph) return false;
    codeOf.insert(g.glyph, s.code);
    glyphOf.insert(code, g.glyph);
  }
  for (size_t i = 0; i < n; ++i) {
    const GlyphText& g = line.glyphs[i];
    const Shown& s = shown[at + i];
    learnt.fontOfFace.insert(g.face, s.font);
    // A page whose glyphs are all known is copied as Qt wrote it: a glyph
    // shown under a code of its own is never known.
    const auto known = [&] { learnt.known.insert({g.glyph, g.text}); };
    if (s.code == 0 || IsNotdef(g) || (!g.single && g.text.isEmpty())) {
      known();
      continue;
    }
    const QString text = g.Text();
    std::map<unsigned, QString>& texts = learnt.texts[s.font];
    const auto [first, added] = texts.emplace(s.code, text);
    // A glyph known by its character always stands for it; one written
    // with other than four digits keeps its code.
    const unsigned own = added || OneText(first->second, text) || g.single || s.end - 4 - s.hex != 4
                             ? 0
                             : learnt.OwnCode(s.font, g.face, s.code, text);
    if (own == 0) {
      known();
      continue;
    }
    texts.emplace(own, text);
    static const char digits[] = "0123456789ABCDEF";
    for (int d = 0; d < 4; ++d) content[s.hex + d] = digits[(own >> (12 - 4 * d)) & 15];
    *recoded = true;
  }
  return true;
}

// Where the glyphs of each line end in the content (-1: not known), after
// learning what the lines say of them (recoded: a glyph's code in content
// was changed). The lines must account for every glyph shown, or none is
// learnt.
std::vector<qsizetype> LearnPage(const std::vector<TextLine>& lines, QByteArray& content, Learnt& learnt,
                                 bool* recoded) {
  std::vector<qsizetype> ends(lines.size(), -1);
  const std::vector<Shown> shown = ShownGlyphs(content);
  size_t total = 0;
  for (const TextLine& line : lines) total += line.glyphs.size();
  if (total != shown.size()) return ends;
  size_t at = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const size_t n = lines[k].glyphs.size();
    LearnLine(lines[k], shown, at, learnt, content, recoded);
    if (n > 0) {
      // After the text object the line's last glyph is shown in.
      const qsizetype et = content.indexOf("\nET\n", shown[at + n - 1].end);
      ends[k] = et < 0 ? -1 : et + 4;
    }
    at += n;
  }
  return ends;
}

// The page's content with each mark replaced by the start of a span
// holding the text of its line, the span ending after the line's glyphs.
// With a count of marks other than of marked lines (which the layer never
// draws) the marks go and the glyphs keep the text the fonts give them.
void SpannedContent(const QByteArray& content, const std::vector<TextLine>& lines, const std::vector<qsizetype>& ends,
                    QByteArray& out) {
  struct Mark {
    qsizetype start, end;
  };
  std::vector<Mark> marks;
  for (qsizetype at = content.indexOf(kMarkRect); at >= 0; at = content.indexOf(kMarkRect, at + 1))
    marks.push_back({at + 1, at + kMarkRect.size() - kMarkClose});
  std::vector<size_t> marked;
  for (size_t k = 0; k < lines.size(); ++k)
    if (lines[k].span) marked.push_back(k);
  const bool spans = marks.size() == marked.size();
  const bool leftToRight = ReadsLeftToRight(lines);
  out.resize(0);
  if (out.capacity() < content.size() + content.size() / 4) out.reserve(content.size() + content.size() / 4);
  qsizetype copied = 0;
  for (size_t k = 0; k < marks.size(); ++k) {
    out.append(content.constData() + copied, marks[k].start - copied);
    // The "Q" after the fill closes a state saved before the mark: it
    // stays before the span.
    out.append(content.constData() + marks[k].end, kMarkClose);
    copied = marks[k].end + kMarkClose;
    // So do the states closed right after it, as the next line's font or
    // pen is set.
    while (copied + 2 <= content.size() && content[copied] == 'Q' && content[copied + 1] == '\n') {
      out.append("Q\n");
      copied += 2;
    }
    if (!spans) continue;
    const size_t line = marked[k];
    const qsizetype limit = k + 1 < marks.size() ? marks[k + 1].start : content.size();
    const qsizetype glyphsEnd = ends[line] >= copied && ends[line] < limit ? ends[line] : limit;
    const auto [begin, end] = SpanBounds(content, copied, glyphsEnd, limit);
    out.append(content.constData() + copied, begin - copied);
    if (!out.isEmpty() && !IsSpace(out.back())) out += '\n';
    out += "/Span <</ActualText ";
    out += HexText(SpanText(lines[line].text, leftToRight));
    out += ">> BDC\n";
    // Qt's empty span around the copy of bold glyphs in a face without
    // bold would end the line's span for some readers: inside the line's
    // span, which stands for all its glyphs, it is a plain marked content.
    for (qsizetype at = begin; at < end;) {
      qsizetype copy = content.indexOf(kBoldCopy, at);
      if (copy < 0 || copy >= end) copy = end;
      out.append(content.constData() + at, copy - at);
      if (copy == end) break;
      out += "/Span BMC";
      at = copy + kBoldCopy.size();
    }
    out += LastTextState(content, begin, end);
    out += "EMC\n";
    copied = end;
  }
  out.append(content.constData() + copied, content.size() - copied);
}
// ---- bold in a face without bold

// Qt makes a face without bold look bold by drawing each run of its glyphs
// a second time, a hair aside, in an empty span: readers that take the
// text from the glyphs alone read the run twice. The copy is taken out and
// the run itself is stroked as well as filled, with a pen as wide as the
// copy was aside, in the colour it is filled with: as bold to the eye, and
// drawn once. In content (the copy in Qt's span, or in the plain marked
// content a line's span turns it into), each run is
//   q <fill colour> scn ... BT /F.. Tf <matrix> Tm
//   <x> <y> Td <glyph> Tj ...
//   <matrix> Tm <span> <x'> <y> Td <glyph> Tj ... EMC ET Q
// A copy not found in that form is left as Qt wrote it. Out holds the
// content with the copies replaced; false when there were none.
bool BoldByStroke(const QByteArray& content, QByteArray& out) {
  static const QByteArray spans[] = {kBoldCopy + '\n', QByteArrayLiteral("/Span BMC\n")};
  auto nextCopy = [&](qsizetype from, qsizetype* markerSize) {
    qsizetype best = -1;
    for (const QByteArray& span : spans) {
      const qsizetype at = content.indexOf("Tm\n" + span, from);
      if (at >= 0 && (best < 0 || at < best)) {
        best = at;
        *markerSize = span.size();
      }
    }
    return best;
  };
  // The x of the first "<x> <y> Td" from at on, in its line.
  auto firstX = [&](qsizetype at, double* x) {
    const qsizetype end = content.indexOf('\n', at);
    if (end < 0) return false;
    const QList<QByteArray> words = content.mid(at, end - at).split(' ');
    bool ok = words.size() >= 3 && words[2] == "Td";
    if (ok) *x = words[0].toDouble(&ok);
    return ok;
  };
  out.resize(0);
  qsizetype copied = 0;
  qsizetype markerSize = 0;
  for (qsizetype tm = nextCopy(0, &markerSize); tm >= 0; tm = nextCopy(tm + 1, &markerSize)) {
    const qsizetype copyStart = content.lastIndexOf('\n', tm) + 1;  // its matrix line
    const qsizetype copyEnd = content.indexOf("\nEMC\n", tm);
    const qsizetype bt = content.lastIndexOf("\nBT\n", tm);
    if (copyStart <= 0 || copyEnd < 0 || bt < copied) continue;
    // The run's first glyph, on the line after its font and matrix.
    const qsizetype runAt = content.indexOf('\n', bt + 4) + 1;
    double x = 0, copyX = 0;
    if (runAt <= 0 || runAt >= copyStart || !firstX(runAt, &x) || !firstX(tm + 3 + markerSize, &copyX)) continue;
    const double aside = std::abs(x - copyX);
    // The fill colour the run's own saved state sets, just before it.
    const qsizetype q = content.lastIndexOf("\nq\n", bt);
    const qsizetype fill = content.indexOf("\n/CSp cs ", q);
    if (q < copied || fill < 0 || fill > bt || content.indexOf("\nQ\n", q) < bt || aside <= 0 || aside > 1000)
      continue;
    const qsizetype fillEnd = content.indexOf('\n', fill + 1);
    QByteArray stroke = content.mid(fill + 1, fillEnd - fill - 1);
    if (!stroke.endsWith(" scn")) continue;
    stroke.replace(0, 8, "/CSp CS ");
    stroke.chop(4);
    // The stroke widens the glyph on every side, the copy on one.
    stroke += " SCN\n" + QByteArray::number(aside / 2, 'g', 6) + " w 1 j 2 Tr";
    out.append(content.constData() + copied, bt + 1 - copied);
    out += stroke;
    out.append(content.constData() + bt, copyStart - bt);
    copied = copyEnd + 5;  // past "\nEMC\n"
    tm = copyEnd;
  }
  if (copied == 0) return false;
  out.append(content.constData() + copied, content.size() - copied);
  return true;
}

// ---- /ToUnicode maps

// The entries of a map Qt wrote: code -> text, read from every
// "<a> <b> <u>" and "<a> <b> [<u> ...]" line. Qt's blocks after the first
// start with bytes of its memory and repeat the entries before them:
// a line that is not an entry is passed over and a code met again keeps
// its first text.
std::map<unsigned, QByteArray> MapEntries(const QByteArray& cmap) {
  std::map<unsigned, QByteArray> entries;
  auto hexAt = [&](qsizetype& i, QByteArray* digits) {
    if (i >= cmap.size() || cmap[i] != '<') return false;
    const qsizetype close = cmap.indexOf('>', i);
    if (close < 0) return false;
    *digits = cmap.mid(i + 1, close - i - 1);
    if (digits->isEmpty() || digits->size() % 4 != 0) return false;
    for (char c : *digits)
      if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    i = close + 1;
    return true;
  };
  qsizetype i = 0;
  while (i < cmap.size()) {
    const qsizetype lineEnd = cmap.indexOf('\n', i) < 0 ? cmap.size() : cmap.indexOf('\n', i);
    qsizetype p = i;
    QByteArray a, b, u;
    if (hexAt(p, &a) && p < lineEnd && cmap[p++] == ' ' && hexAt(p, &b) && p < lineEnd && cmap[p++] == ' ' &&
        a.size() == 4 && b.size() == 4) {
      const unsigned first = a.toUInt(nullptr, 16), last = b.toUInt(nullptr, 16);
      if (p < lineEnd && cmap[p] == '[') {
        ++p;
        unsigned code = first;
        while (p < lineEnd && code <= last) {
          while (p < lineEnd && cmap[p] == ' ') ++p;
          if (!hexAt(p, &u)) break;
          entries.emplace(code++, u);
        }
      } else if (hexAt(p, &u) && last >= first && last - first < 256 && u.size() == 4) {
        unsigned value = u.toUInt(nullptr, 16);
        for (unsigned code = first; code <= last; ++code, ++value) {
          char digits[5];
          std::snprintf(digits, sizeof digits, "%04X", value & 0xFFFF);
          entries.emplace(code, QByteArray(digits, 4));
        }
      }
    }
    i = lineEnd + 1;
  }
  entries.erase(0);  // the writer's placeholder for glyph 0
  return entries;
}

// A map of the same entries in blocks of at most a hundred, the most a
// block may hold.
QByteArray SoundMap(const std::map<unsigned, QByteArray>& entries) {
  QByteArray out =
      "/CIDInit /ProcSet findresource begin\n"
      "12 dict begin\n"
      "begincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n"
      "/CMapType 2 def\n"
      "1 begincodespacerange\n"
      "<0000> <FFFF>\n"
      "endcodespacerange\n";
  auto it = entries.begin();
  while (it != entries.end()) {
    const size_t n = std::min<size_t>(100, static_cast<size_t>(std::distance(it, entries.end())));
    out += QByteArray::number(static_cast<qulonglong>(n)) + " beginbfchar\n";
    for (size_t k = 0; k < n; ++k, ++it) {
      char code[8];
      std::snprintf(code, sizeof code, "<%04X> ", it->first);
      out += code;
      out += '<' + it->second + ">\n";
    }
    out += "endbfchar\n";
  }
  out +=
      "endcmap\n"
      "CMapName currentdict /CMap defineresource pop\n"
      "end\n"
      "end\n";
  return out;
}

// ---- the file

struct XrefEntry {
  qint64 offset = 0;
  bool used = false;
  QByteArray line;  // as Qt wrote it, for the entries kept as they are
};

QByteArray ObjectHeader(int number) { return QByteArray::number(number) + " 0 obj\n"; }

// Into the room out already has when it is enough. Only what the file
// holds is read: a place or length from a damaged table is refused before
// any room is taken for it.
bool ReadAt(QIODevice& in, qint64 at, qint64 size, QByteArray* out) {
  const qint64 total = in.size();
  if (at < 0 || size < 0 || at > total || size > total - at) return false;
  if (!in.seek(at)) return false;
  out->resize(static_cast<qsizetype>(size));
  return in.read(out->data(), size) == size;
}

// The number after key in an object ("/CIDSet <n> 0 R"), or 0.
int ReferenceAfter(const QByteArray& object, const char* key, bool* ok = nullptr) {
  const qsizetype at = object.indexOf(key);
  if (at < 0) {
    if (ok) *ok = false;
    return 0;
  }
  const qsizetype from = at + static_cast<qsizetype>(std::strlen(key));
  qsizetype end = from;
  while (end < object.size() && std::isdigit(static_cast<unsigned char>(object[end]))) ++end;
  return object.mid(from, end - from).toInt(ok);
}

// The number in "/ToUnicode <n> 0 R" of an object's dictionary, or 0.
int ToUnicodeOf(const QByteArray& object) {
  const qsizetype at = object.indexOf("/ToUnicode ");
  if (at < 0) return 0;
  return object.mid(at + 11, 12).split(' ').value(0).toInt();
}

}  // namespace

void MarkTextSpan(QPainter& painter) {
  painter.fillRect(QRectF(kMarkAt, kMarkAt, kMarkSize, kMarkSize), Qt::black);
}

namespace {

// The side a character reads to, as readers that rebuild a line's order
// class it: a letter of a right-to-left script, any other letter, a digit,
// or neither (spaces, punctuation). A mark goes with its letter.
enum class Side { Right, Left, Digit, Neutral };

Side SideOf(char32_t c) {
  switch (QChar::direction(c)) {
    case QChar::DirR:
    case QChar::DirAL:
      return Side::Right;
    case QChar::DirL:
      return Side::Left;
    case QChar::DirEN:
    case QChar::DirAN:
    case QChar::DirES:  // signs, separators and currencies read with the digits
    case QChar::DirET:
    case QChar::DirCS:
      return Side::Digit;
    default:
      return Side::Neutral;
  }
}

struct Sided {
  char32_t c;
  Side side;
};

std::vector<Sided> SidesOf(const QString& text) {
  std::vector<Sided> out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    Side side = SideOf(c);
    const auto category = QChar::category(c);
    if (!out.empty() && (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)) side = out.back().side;
    out.push_back({c, side});
  }
  return out;
}

void Append(QString& out, const std::vector<Sided>& chars, size_t from, size_t to, bool reversed) {
  for (size_t k = from; k < to; ++k) {
    const char32_t c = chars[reversed ? to - 1 - (k - from) : k].c;
    out += QString::fromUcs4(&c, 1);
  }
}

constexpr char32_t kLeftMark = 0x200E;   // reads as a letter of the left-to-right scripts
constexpr char32_t kRightMark = 0x200F;  // reads as a right-to-left letter

}  // namespace

bool ReadsLeftToRight(const std::vector<TextLine>& lines) {
  qsizetype balance = 0;
  for (const TextLine& line : lines)
    for (const Sided& c : SidesOf(line.text)) balance += c.side == Side::Left ? 1 : c.side == Side::Right ? -1 : 0;
  return balance >= 0;
}

QString SpanText(const QString& text, bool leftToRight) {
  // The reader places the span's characters over its glyphs from left to
  // right, then turns round what it takes for right-to-left stretches: on
  // a page of mostly left-to-right text, each stretch from a right-to-left
  // letter to the next letter or digit of another side; else the whole
  // line, keeping the stretches of letters and digits of the other
  // scripts as they stand. The span gives the text so that this turning
  // round yields the order typed, with a mark (which shows nothing) where
  // a space or punctuation would otherwise be turned with the wrong
  // stretch.
  const std::vector<Sided> chars = SidesOf(text);
  const size_t n = chars.size();
  auto isRight = [&](size_t k) { return chars[k].side == Side::Right; };
  auto isStrong = [&](size_t k) { return chars[k].side == Side::Left || chars[k].side == Side::Digit; };
  QString out;
  out.reserve(text.size() + 8);
  if (leftToRight) {
    // Stretches of the text as typed: one holding no right-to-left letter
    // kept as it is; one from a right-to-left letter to the last such
    // letter before a letter or digit of another side, turned round.
    for (size_t i = 0; i < n;) {
      size_t j = i;
      while (j < n && !isRight(j)) ++j;
      Append(out, chars, i, j, false);
      if (j == n) break;
      size_t end = j, k = j;
      while (k < n && !isStrong(k)) {
        if (isRight(k)) end = k + 1;
        ++k;
      }
      Append(out, chars, j, end, true);
      if (end < n && !isStrong(end)) out += QString::fromUcs4(&kLeftMark, 1);
      i = end;
    }
    return out;
  }
  // Pieces of the text as typed, the reader giving them from the span's
  // end back: one holding no letter or digit of the other scripts (turned
  // round), then one holding no right-to-left letter and ending in a
  // letter or digit (kept as it is), and so on.
  struct Piece {
    size_t from, to;
    bool turned;
    bool marked;  // a right-to-left piece that must start with a right-to-left letter
  };
  std::vector<Piece> pieces;
  for (size_t i = 0; i < n;) {
    size_t j = i;
    while (j < n && !isStrong(j)) ++j;
    if (j > i || pieces.empty()) pieces.push_back({i, j, true, !pieces.empty() && !isRight(i)});
    if (j == n) break;
    size_t end = j, k = j;
    while (k < n && !isRight(k)) {
      if (isStrong(k)) end = k + 1;
      ++k;
    }
    pieces.push_back({j, end, false, false});
    i = end;
  }
  for (size_t p = pieces.size(); p-- > 0;) {
    const Piece& piece = pieces[p];
    if (!piece.turned) {
      Append(out, chars, piece.from, piece.to, false);
      continue;
    }
    Append(out, chars, piece.from, piece.to, true);
    if (piece.marked) out += QString::fromUcs4(&kRightMark, 1);
  }
  return out;
}

bool IsPlainText(const QString& text) {
  const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = s[i];
    const bool plain = (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x250 && c != 0xAD) || (c >= 0x370 && c < 0x483) ||
                       (c >= 0x48A && c < 0x530);
    if (!plain) return false;
    // Pairs some faces join into one glyph: "fi", "fl", "ff".
    if (c == 'f' && i + 1 < n && (s[i + 1] == 'i' || s[i + 1] == 'l' || s[i + 1] == 'f')) return false;
  }
  return true;
}

void AddDrawnText(const QString& text, const QFont& font, TextLine& line) {
  if (text.isEmpty()) return;
  if (IsPlainText(text)) {
    line.text += text;
    // The face of the font last met, kept: a line's runs mostly share it.
    // Held for the life of the process, never destroyed after the fonts.
    static QFont* lastFont = new QFont;
    static int lastFace = 0;
    if (!lastFace || !(font == *lastFont)) {
      *lastFont = font;
      lastFace = FaceOf(font);
    }
    const int face = lastFace;
    line.glyphs.reserve(line.glyphs.size() + static_cast<size_t>(text.size()));
    for (QChar c : text) line.glyphs.push_back({GlyphKey(face, kPlainGlyph | c.unicode()), face, c.unicode(), {}});
    return;
  }
  // Shaped as QPainter::drawText shapes it: one line, left to right, with
  // letters and their marks composed, the glyphs standing for the text typed.
  std::vector<qsizetype> typedOf;
  const QString drawn = DrawnText(text, &typedOf);
  QTextLayout layout(drawn, font);
  LayOutOneLine(layout);
  AddLaidOutText(layout, line, &text, &typedOf);
}

void LayOutOneLine(QTextLayout& layout) {
  QTextOption option;
  option.setTextDirection(Qt::LeftToRight);
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
}

namespace {

// ---- the order a line's glyphs are drawn in

struct RunGlyph {
  qsizetype run;
  qsizetype index;
};

// The first character each run of a laid out line draws.
std::vector<qsizetype> FirstCharacters(const QTextLine& line, const QList<QGlyphRun>& runs) {
  std::vector<qsizetype> first(static_cast<size_t>(runs.size()), std::numeric_limits<qsizetype>::max());
  QHash<QPair<quint32, QPair<qint64, qint64>>, qsizetype> runOf;  // glyph and place -> run
  for (qsizetype r = 0; r < runs.size(); ++r) {
    const QList<quint32> glyphs = runs[r].glyphIndexes();
    const QList<QPointF> places = runs[r].positions();
    for (qsizetype g = 0; g < glyphs.size(); ++g)
      runOf.insert({glyphs[g], {qRound64(places[g].x() * 64), qRound64(places[g].y() * 64)}}, r);
  }
  for (qsizetype i = line.textStart(); i < line.textStart() + line.textLength(); ++i)
    for (const QGlyphRun& part : line.glyphRuns(static_cast<int>(i), 1)) {
      const QList<quint32> glyphs = part.glyphIndexes();
      const QList<QPointF> places = part.positions();
      for (qsizetype g = 0; g < glyphs.size(); ++g) {
        const auto r = runOf.constFind({glyphs[g], {qRound64(places[g].x() * 64), qRound64(places[g].y() * 64)}});
        if (r != runOf.constEnd()) first[static_cast<size_t>(r.value())] = std::min(first[static_cast<size_t>(r.value())], i);
      }
    }
  return first;
}

// Whether the layout draws its line itself, in Qt's order: a line with
// underlined text, whose underlines Qt's PDF writer misplaces when the
// glyphs are drawn run by run.
bool DrawnByLayout(const QTextLayout& layout) {
  const QList<QTextLayout::FormatRange> formats = layout.formats();
  return std::any_of(formats.begin(), formats.end(),
                     [](const QTextLayout::FormatRange& f) { return f.format.font().underline(); });
}

// The glyphs of a laid out line's runs in the order the line draws them:
// the order typed. Readers that take the text in the order it is drawn
// then read a right-to-left title, and what follows it, as typed; Qt
// itself lists a line's runs as they stand left to right. Each run keeps
// its glyphs in the order Qt shaped them, which in a right-to-left run is
// the order typed too.
std::vector<RunGlyph> DrawingOrder(const QTextLine& line, const QList<QGlyphRun>& runs, bool byLayout) {
  std::vector<qsizetype> runOrder(static_cast<size_t>(runs.size()));
  for (qsizetype r = 0; r < runs.size(); ++r) runOrder[static_cast<size_t>(r)] = r;
  const bool rightToLeft = !byLayout && std::any_of(runs.begin(), runs.end(), [](const QGlyphRun& r) {
    return r.flags().testFlag(QGlyphRun::RightToLeft);
  });
  if (rightToLeft) {
    const std::vector<qsizetype> first = FirstCharacters(line, runs);
    std::stable_sort(runOrder.begin(), runOrder.end(), [&](qsizetype a, qsizetype b) {
      return first[static_cast<size_t>(a)] < first[static_cast<size_t>(b)];
    });
  }
  std::vector<RunGlyph> order;
  for (qsizetype r : runOrder)
    for (qsizetype g = 0; g < runs[r].glyphIndexes().size(); ++g) order.push_back({r, g});
  return order;
}

}  // namespace

void DrawLaidOutLine(QPainter& painter, const QTextLayout& layout, QPointF at) {
  if (layout.lineCount() < 1) return;
  if (DrawnByLayout(layout)) {
    layout.draw(&painter, at);
    return;
  }
  const QTextLine l = layout.lineAt(0);
  const QList<QGlyphRun> runs = l.glyphRuns();
  // The format each glyph is drawn in, for its pen: found by its glyph
  // and place among the glyphs of each format's characters (the first
  // format wins where a glyph stands for characters of two).
  const QList<QTextLayout::FormatRange> formats = layout.formats();
  QHash<QPair<quint32, QPair<qint64, qint64>>, int> formatAt;
  for (qsizetype f = formats.size(); f-- > 0;)
    for (const QGlyphRun& part : l.glyphRuns(formats[f].start, formats[f].length)) {
      const QList<quint32> glyphs = part.glyphIndexes();
      const QList<QPointF> places = part.positions();
      for (qsizetype g = 0; g < glyphs.size(); ++g)
        formatAt.insert({glyphs[g], {qRound64(places[g].x() * 64), qRound64(places[g].y() * 64)}}, static_cast<int>(f));
    }
  auto formatOf = [&](const RunGlyph& at) {
    const QGlyphRun& run = runs[at.run];
    const QPointF place = run.positions()[at.index];
    return formatAt.value({run.glyphIndexes()[at.index], {qRound64(place.x() * 64), qRound64(place.y() * 64)}}, -1);
  };
  const std::vector<RunGlyph> order = DrawingOrder(l, runs, false);
  painter.save();
  for (size_t i = 0; i < order.size();) {
    const qsizetype r = order[i].run;
    const int format = formatOf(order[i]);
    QList<quint32> glyphs;
    QList<QPointF> places;
    size_t j = i;
    for (; j < order.size() && order[j].run == r && formatOf(order[j]) == format; ++j) {
      glyphs.push_back(runs[r].glyphIndexes()[order[j].index]);
      places.push_back(runs[r].positions()[order[j].index]);
    }
    QGlyphRun part = runs[r];
    part.setGlyphIndexes(glyphs);
    part.setPositions(places);
    if (format >= 0) painter.setPen(QPen(formats[format].format.foreground().color(), 0));
    painter.drawGlyphRun(at, part);
    i = j;
  }
  painter.restore();
}

void AddLaidOutText(const QTextLayout& layout, TextLine& line, const QString* typed,
                    const std::vector<qsizetype>* typedOf) {
  const QString text = layout.text();
  const bool retyped = typed && typedOf && static_cast<qsizetype>(typedOf->size()) == text.size() + 1;
  line.text += retyped ? *typed : text;
  if (layout.lineCount() < 1) return;
  const QTextLine l = layout.lineAt(0);
  // Which characters each glyph drawn comes from: the glyphs the line
  // draws for each character on its own, a glyph known by its face, index
  // and place.
  struct Place {
    int face;
    quint32 glyph;
    qint64 x, y;
    bool operator==(const Place&) const = default;
  };
  struct PlaceHash {
    size_t operator()(const Place& p) const {
      return qHashMulti(0, p.face, p.glyph, p.x, p.y);
    }
  };
  auto placeOf = [](int face, quint32 glyph, QPointF at) {
    return Place{face, glyph, qRound64(at.x() * 64), qRound64(at.y() * 64)};
  };
  std::unordered_map<Place, std::vector<qsizetype>, PlaceHash> charsOf;
  QHash<QRawFont, int> faces;
  auto faceOf = [&](const QRawFont& raw) {
    auto found = faces.find(raw);
    if (found == faces.end()) found = faces.insert(raw, FaceOf(raw));
    return found.value();
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int length = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    for (const QGlyphRun& run : l.glyphRuns(static_cast<int>(i), length)) {
      const int face = faceOf(run.rawFont());
      const QList<quint32> glyphs = run.glyphIndexes();
      const QList<QPointF> places = run.positions();
      for (qsizetype g = 0; g < glyphs.size(); ++g) charsOf[placeOf(face, glyphs[g], places[g])].push_back(i);
    }
    i += length - 1;
  }
  // The glyphs as the line draws them, each with its cluster's characters.
  struct Drawn {
    int face;
    quint32 glyph;
    std::vector<qsizetype> chars;
    QRawFont raw;
    int run;
    bool rightToLeft;
  };
  std::vector<Drawn> drawn;
  const QList<QGlyphRun> runs = l.glyphRuns();
  const bool byLayout = DrawnByLayout(layout);
  for (const RunGlyph& at : DrawingOrder(l, runs, byLayout)) {
    const QGlyphRun& run = runs[at.run];
    const int face = faceOf(run.rawFont());
    const quint32 glyph = run.glyphIndexes()[at.index];
    const auto found = charsOf.find(placeOf(face, glyph, run.positions()[at.index]));
    drawn.push_back({face, glyph, found == charsOf.end() ? std::vector<qsizetype>{} : found->second, run.rawFont(),
                     static_cast<int>(at.run), run.flags().testFlag(QGlyphRun::RightToLeft)});
  }
  // Where a cluster draws several glyphs (a vowel before its consonant, a
  // conjunct's parts), each glyph that is a character's own glyph gives
  // that character, and the characters drawn by no glyph of their own go
  // to the first glyph that has none, else to the cluster's first glyph.
  auto charText = [&](qsizetype i) {
    const int length = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    return text.mid(i, length);
  };
  // What a character drawn stands for: itself, or the letter and marks
  // typed that it was composed from (and nothing for the rest of them).
  auto typedText = [&](qsizetype i) {
    if (!retyped) return charText(i);
    const qsizetype from = (*typedOf)[static_cast<size_t>(i)];
    if (from < 0) return QString();
    qsizetype next = i + charText(i).size();
    while ((*typedOf)[static_cast<size_t>(next)] < 0) ++next;
    return typed->mid(from, (*typedOf)[static_cast<size_t>(next)] - from);
  };
  // A character's glyphs, as Qt gives them, run from its cluster's first
  // glyph: glyphs next to each other that share a character are one
  // cluster, of all their characters.
  std::vector<QString> texts(drawn.size());
  for (size_t g = 0; g < drawn.size();) {
    std::vector<size_t> cluster{g};
    std::vector<qsizetype> chars = drawn[g].chars;
    size_t h = g + 1;
    for (; h < drawn.size(); ++h) {
      const auto& next = drawn[h].chars;
      if (std::none_of(next.begin(), next.end(),
                       [&](qsizetype i) { return std::find(chars.begin(), chars.end(), i) != chars.end(); }))
        break;
      cluster.push_back(h);
      chars.insert(chars.end(), next.begin(), next.end());
    }
    g = h;
    std::sort(chars.begin(), chars.end());
    chars.erase(std::unique(chars.begin(), chars.end()), chars.end());
    if (cluster.size() == 1) {
      for (qsizetype i : chars) texts[cluster.front()] += typedText(i);
      continue;
    }
    // A glyph that is a character's own takes it; of the same character
    // typed twice (the signs that join a conjunct and end it), the last,
    // so that the glyphs drawn first keep the letters typed first.
    std::vector<bool> given(chars.size());
    for (size_t c : cluster) {
      for (size_t k = chars.size(); k-- > 0;) {
        if (given[k] || !texts[c].isEmpty()) continue;
        const QList<quint32> own = drawn[c].raw.glyphIndexesForString(charText(chars[k]));
        if (own.size() == 1 && own[0] == drawn[c].glyph) {
          texts[c] = typedText(chars[k]);
          given[k] = true;
        }
      }
    }
    // A character drawn as the glyphs of the parts it decomposes into (a
    // Thai or Lao AM as NIKHAHIT and AA, a Tamil O as a sign before its
    // letter and one after) is the text of the part drawn last, and the
    // others read as a joiner: a reader of glyphs then gets the character
    // itself, where it is typed, and not its parts in the order drawn.
    for (size_t k = 0; k < chars.size(); ++k) {
      if (given[k]) continue;
      const QString parts = charText(chars[k]).normalized(QString::NormalizationForm_KD);
      if (parts.size() < 2) continue;
      std::vector<size_t> to;
      for (QChar part : parts)
        for (size_t c : cluster) {
          const QList<quint32> own = drawn[c].raw.glyphIndexesForString(QString(part));
          if (texts[c].isEmpty() && own.size() == 1 && own[0] == drawn[c].glyph &&
              std::find(to.begin(), to.end(), c) == to.end()) {
            to.push_back(c);
            break;
          }
        }
      if (to.size() != static_cast<size_t>(parts.size())) continue;
      const size_t last = *std::max_element(to.begin(), to.end());
      for (size_t c : to) texts[c] = c == last ? typedText(chars[k]) : QString(QChar(0x200D));
      given[k] = true;
    }
    size_t to = cluster.front();
    for (size_t c : cluster)
      if (texts[c].isEmpty()) {
        to = c;
        break;
      }
    QString rest;
    for (size_t k = 0; k < given.size(); ++k)
      if (!given[k]) rest += typedText(chars[k]);
    texts[to] += rest;
    // A glyph left with none (the second part of a split vowel) reads as
    // a joiner: nothing a reader shows, where no text would read as a
    // replacement character.
    for (size_t c : cluster)
      if (texts[c].isEmpty()) texts[c] = QChar(0x200D);
  }
  // A line the layout draws itself lists the parts of a right-to-left item
  // that different faces draw left to right, each part's glyphs in the
  // order typed; the painter draws the parts in the order typed too. The
  // parts of one item follow each other, right to left, in one format.
  // Any other line is drawn as listed (DrawingOrder).
  const QList<QTextLayout::FormatRange> formats = layout.formats();
  struct Part {
    size_t from, to;  // glyphs of drawn
    qsizetype first, last;  // characters
    int format;
    bool rightToLeft;
  };
  std::vector<Part> parts;
  for (size_t g = 0; g < drawn.size(); ++g) {
    if (parts.empty() || drawn[g].run != drawn[parts.back().from].run)
      parts.push_back({g, g, std::numeric_limits<qsizetype>::max(), -1, -1, drawn[g].rightToLeft});
    Part& part = parts.back();
    part.to = g + 1;
    for (qsizetype i : drawn[g].chars) {
      part.first = std::min(part.first, i);
      part.last = std::max(part.last, i);
    }
  }
  for (Part& part : parts)
    for (qsizetype f = 0; f < formats.size(); ++f)
      if (part.first >= formats[f].start && part.first < formats[f].start + formats[f].length) part.format = static_cast<int>(f);
  std::vector<size_t> order;
  order.reserve(drawn.size());
  for (size_t p = 0; p < parts.size() && byLayout;) {
    size_t q = p + 1;
    if (parts[p].rightToLeft)
      while (q < parts.size() && parts[q].rightToLeft && parts[q].format == parts[p].format &&
             parts[q].last >= 0 && parts[q].last < parts[q - 1].first)
        ++q;
    for (size_t k = q; k-- > p;)
      for (size_t g = parts[k].from; g < parts[k].to; ++g) order.push_back(g);
    p = q;
  }
  if (!byLayout)
    for (size_t g = 0; g < drawn.size(); ++g) order.push_back(g);
  line.glyphs.reserve(line.glyphs.size() + drawn.size());
  for (size_t g : order) line.glyphs.push_back({GlyphKey(drawn[g].face, drawn[g].glyph), drawn[g].face, 0, texts[g]});
}

void FinishLine(TextLine& line) {
  // Plain text draws its characters one glyph each, in order.
  if (std::all_of(line.glyphs.begin(), line.glyphs.end(), [](const GlyphText& g) { return g.single != 0; }) &&
      static_cast<qsizetype>(line.glyphs.size()) == line.text.size()) {
    line.span = false;
    return;
  }
  QString drawn;
  drawn.reserve(line.text.size());
  bool one = true;
  for (const GlyphText& g : line.glyphs) {
    if (g.single) {
      drawn += QChar(g.single);
      continue;
    }
    if (IsNotdef(g) || CodePoints(g.text) != 1) one = false;
    drawn += g.text;
  }
  // Readers rebuild the order of right-to-left text from where its glyphs
  // stand, and not all of them alike; marks stacked over a letter can
  // stand high enough to read as a line of their own: such a line keeps a
  // span.
  bool placed = false;
  for (qsizetype i = 0; i < line.text.size() && !placed; ++i) {
    const QChar c = line.text[i];
    const QChar::Direction d = c.direction();
    placed = d == QChar::DirR || d == QChar::DirAL || c.category() == QChar::Mark_NonSpacing;
  }
  // A space between glyphs of two faces is read by some readers from where
  // the glyphs stand, and lost: a line that mixes faces and holds a space
  // keeps a span too.
  bool mixedSpaced = false;
  if (line.text.contains(QChar(' ')) && !line.glyphs.empty()) {
    const int first = line.glyphs.front().face;
    mixedSpaced = std::any_of(line.glyphs.begin(), line.glyphs.end(),
                              [first](const GlyphText& g) { return g.face != first; });
  }
  line.span = !one || drawn != line.text || placed || mixedSpaced;
}

bool WritePdfText(QIODevice& in, QIODevice& out, const std::function<std::vector<TextLine>(int page)>& lines,
                  const std::function<void()>& tick, QString* error) {
  auto fail = [&](const QString& why) {
    if (error) *error = why;
    return false;
  };
  const QString unknown = QStringLiteral("the PDF writer's output has an unknown form");
  const qint64 size = in.size();
  QByteArray tail;
  if (!ReadAt(in, std::max<qint64>(0, size - 64), std::min<qint64>(64, size), &tail)) return fail(unknown);
  const qsizetype sx = tail.lastIndexOf("startxref");
  if (sx < 0) return fail(unknown);
  const qint64 xrefAt = tail.mid(sx + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
  if (xrefAt <= 0 || xrefAt >= size) return fail(unknown);
  QByteArray xref;
  if (!ReadAt(in, xrefAt, size - xrefAt, &xref) || !xref.startsWith("xref\n")) return fail(unknown);
  // "xref\n0 N\n" then N entries of 20 bytes, then the trailer.
  const qsizetype countEnd = xref.indexOf('\n', 5);
  if (countEnd < 0) return fail(unknown);
  const QList<QByteArray> head = xref.mid(5, countEnd - 5).trimmed().split(' ');
  if (head.size() != 2 || head[0] != "0") return fail(unknown);
  const int count = head[1].toInt();
  const qsizetype entriesAt = countEnd + 1;
  if (count <= 0 || count > (xref.size() - entriesAt) / 20) return fail(unknown);
  std::vector<XrefEntry> entries(static_cast<size_t>(count));
  std::vector<std::pair<qint64, int>> order;  // offset, object number
  for (int i = 0; i < count; ++i) {
    XrefEntry& e = entries[static_cast<size_t>(i)];
    e.line = xref.mid(entriesAt + qsizetype{i} * 20, 20);
    e.offset = e.line.left(10).toLongLong();
    e.used = e.line.size() == 20 && e.line[17] == 'n' && e.offset > 0;
    if (!e.used) continue;
    // Every object lies between the header and the table.
    if (e.offset >= xrefAt) return fail(unknown);
    order.emplace_back(e.offset, i);
  }
  const QByteArray trailer = xref.mid(entriesAt + qsizetype{count} * 20);
  const qsizetype trailerEnd = trailer.indexOf("startxref");
  if (trailerEnd < 0) return fail(unknown);
  xref.clear();
  std::sort(order.begin(), order.end());
  if (order.empty()) return fail(unknown);

  const QString unwritten = QStringLiteral("the file cannot be written");
  qint64 written = 0;
  auto put = [&](const QByteArray& bytes) {
    if (out.write(bytes) != bytes.size()) return false;
    written += bytes.size();
    return true;
  };
  QByteArray bytes;
  if (!ReadAt(in, 0, order.front().first, &bytes) || !put(bytes)) return fail(unwritten);

  Learnt learnt;
  // The fonts' text maps come before the fonts that name them: each is
  // held until its font is met, and written after it with what the pages
  // taught of that font.
  QHash<int, QByteArray> heldMaps;
  auto putMap = [&](int number, const QByteArray& qtMap, int font) {
    std::map<unsigned, QByteArray> map = MapEntries(qtMap);
    const auto texts = learnt.texts.find(font);
    if (texts != learnt.texts.end())
      for (const auto& [code, text] : texts->second) map[code] = HexUtf16(text);
    QByteArray packed;
    if (!Deflate(SoundMap(map), &packed, Z_DEFAULT_COMPRESSION)) return false;
    entries[static_cast<size_t>(number)].offset = written;
    return put(ObjectHeader(number) + "<<\n/Length " + QByteArray::number(packed.size()) +
               "\n/Filter /FlateDecode\n>>\nstream\n") &&
           put(packed) && put("\nendstream\nendobj\n");
  };

  // A font's glyph widths and the map of its codes to its glyphs (Qt's:
  // each code is its glyph) come before the font object that names them,
  // and after the pages: each is held until its font is met, and written
  // with the codes the pages added to that font.
  QHash<int, QByteArray> heldCids;
  QHash<int, int> fontOfCid, cidSetOfDescriptor, cidSetOwner;
  QSet<int> recodedFonts;
  auto putCidFont = [&](int number, const QByteArray& object, int font) {
    entries[static_cast<size_t>(number)].offset = written;
    const auto found = learnt.own.find(font);
    if (found == learnt.own.end() || found->second.glyphCode.empty()) return put(object);
    const OwnCodes& codes = found->second;
    QByteArray out = object;
    static const QByteArray identity = QByteArrayLiteral("/CIDToGIDMap /Identity");
    const qsizetype at = out.indexOf(identity);
    if (at < 0) return false;
    const int mapNumber = static_cast<int>(entries.size());
    entries.push_back({0, true, {}});
    out.replace(at, identity.size(), "/CIDToGIDMap " + QByteArray::number(mapNumber) + " 0 R");
    // The widths: "/W [c [w ...] c1 c2 w ...]"; a code added takes its
    // glyph's width. Every code Qt gave lies below the first added.
    const qsizetype w = out.indexOf("/W [");
    if (w >= 0) {
      qsizetype close = w + 3;  // the array's closing bracket
      for (int depth = 0; close < out.size(); ++close) {
        depth += out[close] == '[' ? 1 : out[close] == ']' ? -1 : 0;
        if (depth == 0) break;
      }
      if (close >= out.size()) return false;
      std::map<unsigned, QByteArray> widths;
      const QByteArray inner = out.mid(w + 4, close - w - 4).replace('[', " [ ").replace(']', " ] ").simplified();
      const QList<QByteArray> words = inner.isEmpty() ? QList<QByteArray>{} : inner.split(' ');
      for (qsizetype i = 0; i < words.size();) {
        bool ok = false;
        const unsigned first = words[i].toUInt(&ok);
        if (!ok || i + 1 >= words.size()) return false;
        if (words[i + 1] == "[") {
          i += 2;
          for (unsigned code = first; i < words.size() && words[i] != "]"; ++i) widths[code++] = words[i];
          ++i;
        } else {
          const unsigned last = words[i + 1].toUInt(&ok);
          if (!ok || i + 2 >= words.size() || last < first) return false;
          if (last >= kCodes) return false;
          for (unsigned code = first; code <= last; ++code) widths[code] = words[i + 2];
          i += 3;
        }
      }
      if (!widths.empty() && widths.rbegin()->first >= codes.first) return false;
      QByteArray added;
      for (const auto& [code, glyph] : codes.glyphCode) {
        auto width = widths.find(glyph);
        if (width == widths.end()) continue;
        added += ' ' + QByteArray::number(code) + " [" + width->second + ']';
      }
      out.insert(close, added + ' ');
    }
    const int descriptor = ReferenceAfter(out, "/FontDescriptor ");
    if (cidSetOfDescriptor.contains(descriptor)) cidSetOwner.insert(cidSetOfDescriptor.value(descriptor), font);
    if (!put(out)) return false;
    // The map: two bytes for each code up to the last added.
    const unsigned last = codes.glyphCode.rbegin()->first;
    QByteArray gids(static_cast<qsizetype>(last + 1) * 2, '\0');
    for (unsigned code = 0; code <= last; ++code) {
      const auto added = codes.glyphCode.find(code);
      const unsigned glyph = code < codes.first ? code : added != codes.glyphCode.end() ? added->second : 0;
      gids[code * 2] = static_cast<char>(glyph >> 8);
      gids[code * 2 + 1] = static_cast<char>(glyph & 0xFF);
    }
    QByteArray packedMap;
    if (!Deflate(gids, &packedMap, Z_DEFAULT_COMPRESSION)) return false;
    entries[static_cast<size_t>(mapNumber)].offset = written;
    recodedFonts.insert(font);
    return put(ObjectHeader(mapNumber) + "<<\n/Length " + QByteArray::number(packedMap.size()) +
               "\n/Filter /FlateDecode\n>>\nstream\n") &&
           put(packedMap) && put("\nendstream\nendobj\n");
  };

  QHash<int, int> pageOfContent;  // content stream object -> page index
  QSet<int> boldCopied;  // the faces of pages where Qt drew bold twice
  QByteArray content, spanned, bolder, packed;  // kept from page to page, with their room
  int pages = 0;
  for (size_t k = 0; k < order.size(); ++k) {
    if (tick && k % 512 == 511) tick();
    const auto [offset, number] = order[k];
    const qint64 end = k + 1 < order.size() ? order[k + 1].first : xrefAt;
    if (!ReadAt(in, offset, end - offset, &bytes)) return fail(unknown);
    entries[static_cast<size_t>(number)].offset = written;
    const QByteArray header = ObjectHeader(number);
    if (!bytes.startsWith(header)) return fail(unknown);
    const qsizetype bodyAt = header.size();
    // A page: its content stream comes later in the file.
    if (bytes.mid(bodyAt, 40).contains("/Type /Page\n")) {
      const qsizetype c = bytes.indexOf("/Contents ");
      if (c > 0) pageOfContent.insert(bytes.mid(c + 10, 12).split(' ').value(0).toInt(), pages);
      ++pages;
    }
    const qsizetype streamAt = bytes.indexOf(">>\nstream\n", bodyAt);
    const qsizetype streamEnd = bytes.lastIndexOf("endstream");
    if (streamAt < 0 || streamEnd < streamAt) {
      if (bytes.mid(bodyAt, 60).contains("/Subtype /CIDFontType2")) {
        const int font = fontOfCid.value(number);
        if (font == 0) {
          heldCids.insert(number, bytes);
        } else if (!putCidFont(number, bytes, font)) {
          return fail(unknown);
        }
        continue;
      }
      if (!put(bytes)) return fail(unwritten);
      const int cidSet = ReferenceAfter(bytes, "/CIDSet ");
      if (cidSet) cidSetOfDescriptor.insert(number, cidSet);
      const int cid = ReferenceAfter(bytes, "/DescendantFonts [");
      if (cid) {
        fontOfCid.insert(cid, number);
        const auto held = heldCids.find(cid);
        if (held != heldCids.end()) {
          if (!putCidFont(cid, held.value(), number)) return fail(unknown);
          heldCids.erase(held);
        }
      }
      const int map = ToUnicodeOf(bytes);
      const auto held = heldMaps.find(map);
      if (held != heldMaps.end()) {
        if (!putMap(map, held.value(), number)) return fail(unwritten);
        heldMaps.erase(held);
      }
      continue;
    }
    const qsizetype dataAt = streamAt + 10;
    qsizetype dataEnd = streamEnd;
    if (dataEnd > dataAt && bytes[dataEnd - 1] == '\n') --dataEnd;
    const QByteArray dict = bytes.mid(bodyAt, streamAt + 2 - bodyAt);
    const auto page = pageOfContent.constFind(number);
    if (page != pageOfContent.constEnd() && dict.contains("/Filter /FlateDecode")) {
      // A page whose lines are all plain and whose glyphs are all known
      // is copied as Qt wrote it.
      const std::vector<TextLine> drawn = lines(page.value());
      // Bold in a face without bold is drawn twice by Qt, which readers of
      // glyphs read twice: a page with glyphs of a face that was drawn so
      // on a page before is rewritten too.
      bool read = false;
      for (const TextLine& line : drawn) {
        read = read || line.span;
        for (const GlyphText& g : line.glyphs)
          read = read || !learnt.known.contains({g.glyph, g.text}) || (!g.single && boldCopied.contains(g.face));
        if (read) break;
      }
      if (read && Inflate(bytes.constData() + dataAt, dataEnd - dataAt, &content)) {
        if (content.contains(kBoldCopy))
          for (const TextLine& line : drawn)
            for (const GlyphText& g : line.glyphs)
              if (!g.single) boldCopied.insert(g.face);
        const bool spans = read && content.contains(kMarkRect);
        bool recoded = false;
        const std::vector<qsizetype> ends = LearnPage(drawn, content, learnt, &recoded);
        if (spans) SpannedContent(content, drawn, ends, spanned);
        const bool bold = BoldByStroke(spans ? spanned : content, bolder);
        if (spans || bold || recoded) {
          if (!Deflate(bold ? bolder : spans ? spanned : content, &packed, Z_DEFAULT_COMPRESSION)) return fail(unknown);
          if (!put(header + "<<\n/Length " + QByteArray::number(packed.size()) +
                   "\n/Filter /FlateDecode\n>>\nstream\n") ||
              !put(packed) || !put("\nendstream\nendobj\n"))
            return fail(unwritten);
          continue;
        }
      }
      if (!put(bytes)) return fail(unwritten);
      continue;
    }
    const auto cidSetFont = cidSetOwner.constFind(number);
    if (cidSetFont != cidSetOwner.constEnd() && !dict.contains("/Filter")) {
      // The glyphs the font file holds, a bit for each code from the
      // first byte's highest on: the codes added hold glyphs too.
      bool ok = false;
      const qsizetype length = ReferenceAfter(dict, "/Length ", &ok);
      if (!ok || length < 0 || dataAt + length > bytes.size()) return fail(unknown);
      QByteArray bits = bytes.mid(dataAt, length);
      const OwnCodes& codes = learnt.own[cidSetFont.value()];
      const qsizetype need = static_cast<qsizetype>(codes.glyphCode.rbegin()->first / 8 + 1);
      if (bits.size() < need) bits.append(need - bits.size(), '\0');
      for (const auto& [code, glyph] : codes.glyphCode) bits[code / 8] = static_cast<char>(bits[code / 8] | (0x80 >> (code % 8)));
      if (!put(header + "<<\n/Length " + QByteArray::number(bits.size()) + "\n>>\nstream\n") || !put(bits) ||
          !put("\nendstream\nendobj\n"))
        return fail(unwritten);
      continue;
    }
    if (!dict.contains("/Filter") && bytes.mid(dataAt, 40).startsWith("/CIDInit /ProcSet findresource begin")) {
      heldMaps.insert(number, bytes.mid(dataAt, dataEnd - dataAt));
      continue;
    }
    if (!put(bytes)) return fail(unwritten);
  }
  // A map no font named (which Qt does not write) keeps Qt's entries.
  for (auto held = heldMaps.cbegin(); held != heldMaps.cend(); ++held)
    if (!putMap(held.key(), held.value(), 0)) return fail(unwritten);
  for (auto held = heldCids.cbegin(); held != heldCids.cend(); ++held) {
    entries[static_cast<size_t>(held.key())].offset = written;
    if (!put(held.value())) return fail(unwritten);
  }
  // The pages show codes added to a font: a font that could not take them
  // would print them as nothing.
  for (const auto& [font, codes] : learnt.own)
    if (!codes.glyphCode.empty() && !recodedFonts.contains(font)) return fail(unknown);

  QByteArray table = "xref\n0 " + QByteArray::number(static_cast<qulonglong>(entries.size())) + "\n";
  for (const XrefEntry& e : entries) {
    if (e.used) {
      char line[32];
      std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(e.offset));
      table += QByteArray(line, 20);
    } else {
      table += e.line;
    }
  }
  // The objects added count in the trailer's size.
  QByteArray closing = trailer.left(trailerEnd);
  const qsizetype sizeAt = closing.indexOf("/Size ");
  if (sizeAt >= 0 && static_cast<size_t>(count) != entries.size()) {
    qsizetype sizeEnd = sizeAt + 6;
    while (sizeEnd < closing.size() && std::isdigit(static_cast<unsigned char>(closing[sizeEnd]))) ++sizeEnd;
    closing.replace(sizeAt + 6, sizeEnd - sizeAt - 6, QByteArray::number(static_cast<qulonglong>(entries.size())));
  }
  table += closing;
  table += "startxref\n" + QByteArray::number(written) + "\n%%EOF\n";
  if (!put(table)) return fail(unwritten);
  return true;
}
}  // namespace print
