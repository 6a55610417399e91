// The text behind the glyphs of the PDF files the layer writes (see
// PdfText.h). Qt's writer puts out a plain file: a header, numbered
// objects one after the other, one cross-reference table and a trailer;
// page contents are deflated streams whose length is an object of its own.
// The copy goes object by object in the order of the file, holding one
// object at a time, and writes a new table for the objects' new places.
#include "platform/print/PdfText.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QPainter>

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
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

// The fastest level: the streams are copied page by page as the export
// runs, and most of their bytes are the same few operators.
bool Deflate(const QByteArray& data, QByteArray* out) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  if (out->size() < static_cast<qsizetype>(size)) out->resize(static_cast<qsizetype>(size));
  if (compress2(reinterpret_cast<Bytef*>(out->data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                static_cast<uLong>(data.size()), Z_BEST_SPEED) != Z_OK)
    return false;
  out->resize(static_cast<qsizetype>(size));
  return true;
}

// A PDF text string of any text: UTF-16BE behind a byte order mark, so
// that characters beyond U+FFFF keep their surrogate pairs.
QByteArray HexText(const QString& text) {
  QByteArray out;
  out.reserve(6 + text.size() * 4);
  out += "<FEFF";
  static const char digits[] = "0123456789ABCDEF";
  for (QChar c : text) {
    const char16_t u = c.unicode();
    out += digits[(u >> 12) & 15];
    out += digits[(u >> 8) & 15];
    out += digits[(u >> 4) & 15];
    out += digits[u & 15];
  }
  out += '>';
  return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }

// Where the span that starts at from ends: before the first "Q" that
// closes a state saved before from, so that the span and the saved states
// nest; else at to, or before a state saved and not yet closed there (the
// one the next mark is drawn in).
qsizetype SpanEnd(const QByteArray& content, qsizetype from, qsizetype to) {
  int depth = 0;
  qsizetype opened = to;  // where the outermost state still open was saved
  const char* s = content.constData();
  qsizetype i = from;
  while (i < to) {
    while (i < to && IsSpace(s[i])) ++i;
    const qsizetype start = i;
    while (i < to && !IsSpace(s[i])) ++i;
    if (i - start != 1) continue;
    if (s[start] == 'q') {
      if (depth++ == 0) opened = start;
    } else if (s[start] == 'Q') {
      if (depth == 0) return start;
      --depth;
    }
  }
  return depth > 0 ? opened : to;
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

// The page's content with each mark replaced by the start of a span
// holding the text of its run. With a count of marks other than of texts
// (which the layer never draws) the marks go and the glyphs keep the text
// the fonts give them.
void SpannedContent(const QByteArray& content, const std::vector<QString>& texts, QByteArray& out) {
  struct Mark {
    qsizetype start, end;
  };
  std::vector<Mark> marks;
  for (qsizetype at = content.indexOf(kMarkRect); at >= 0; at = content.indexOf(kMarkRect, at + 1))
    marks.push_back({at + 1, at + kMarkRect.size() - kMarkClose});
  const bool spans = marks.size() == texts.size();
  out.resize(0);
  if (out.capacity() < content.size() + content.size() / 4) out.reserve(content.size() + content.size() / 4);
  qsizetype copied = 0;
  for (size_t k = 0; k < marks.size(); ++k) {
    out.append(content.constData() + copied, marks[k].start - copied);
    // The "Q" after the fill closes a state saved before the mark: it
    // stays before the span.
    out.append(content.constData() + marks[k].end, kMarkClose);
    copied = marks[k].end + kMarkClose;
    if (!spans) continue;
    out += "/Span <</ActualText ";
    out += HexText(texts[k]);
    out += ">> BDC\n";
    const qsizetype limit = k + 1 < marks.size() ? marks[k + 1].start : content.size();
    const qsizetype end = SpanEnd(content, copied, limit);
    out.append(content.constData() + copied, end - copied);
    out += LastTextState(content, copied, end);
    out += "EMC\n";
    copied = end;
  }
  out.append(content.constData() + copied, content.size() - copied);
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

// Into the room out already has when it is enough.
bool ReadAt(QIODevice& in, qint64 at, qint64 size, QByteArray* out) {
  if (!in.seek(at)) return false;
  out->resize(static_cast<qsizetype>(size));
  return in.read(out->data(), size) == size;
}

}  // namespace

void MarkTextSpan(QPainter& painter) {
  painter.fillRect(QRectF(kMarkAt, kMarkAt, kMarkSize, kMarkSize), Qt::black);
}

QString VisualOrder(const QString& text) {
  // The bidirectional algorithm for one left-to-right line, without
  // explicit embeddings: each character's level, then the runs of each
  // level and above turned round, from the highest level down.
  enum Kind { L, R, AN, EN, N };
  std::vector<char32_t> chars;
  chars.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    char32_t c = text[i].unicode();
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      c = QChar::surrogateToUcs4(text[i], text[i + 1]);
      ++i;
    }
    chars.push_back(c);
  }
  const size_t n = chars.size();
  std::vector<Kind> kind(n);
  Kind previous = L;          // of the character before, marks following their base
  Kind strong = L;            // the last strong kind, Arabic letters as AN's cue
  bool arabic = false;
  for (size_t i = 0; i < n; ++i) {
    Kind k = N;
    switch (QChar::direction(chars[i])) {
      case QChar::DirL: k = L; break;
      case QChar::DirR: k = R; break;
      case QChar::DirAL: k = R; break;
      case QChar::DirAN: k = AN; break;
      case QChar::DirEN: k = EN; break;
      case QChar::DirNSM: k = previous; break;
      default: k = N; break;
    }
    if (QChar::direction(chars[i]) == QChar::DirAL) arabic = true;
    else if (k == L || (k == R && QChar::direction(chars[i]) == QChar::DirR)) arabic = false;
    if (k == EN && arabic) k = AN;
    if (k == EN && strong == L) k = L;
    if (k == L || k == R) strong = k;
    kind[i] = k;
    previous = k;
  }
  // Neutrals take the direction on both sides of them when it is the
  // same (numbers count as right to left), else the line's.
  for (size_t i = 0; i < n;) {
    if (kind[i] != N) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < n && kind[j] == N) ++j;
    const bool before = i > 0 && kind[i - 1] != L;
    const bool after = j < n && kind[j] != L;
    for (size_t k = i; k < j; ++k) kind[k] = before && after ? R : L;
    i = j;
  }
  std::vector<int> level(n);
  int highest = 0;
  for (size_t i = 0; i < n; ++i) {
    level[i] = kind[i] == L ? 0 : kind[i] == R ? 1 : 2;
    highest = std::max(highest, level[i]);
  }
  for (int l = highest; l >= 1; --l) {
    for (size_t i = 0; i < n;) {
      if (level[i] < l) {
        ++i;
        continue;
      }
      size_t j = i;
      while (j < n && level[j] >= l) ++j;
      std::reverse(chars.begin() + static_cast<std::ptrdiff_t>(i), chars.begin() + static_cast<std::ptrdiff_t>(j));
      std::reverse(level.begin() + static_cast<std::ptrdiff_t>(i), level.begin() + static_cast<std::ptrdiff_t>(j));
      i = j;
    }
  }
  QString out;
  out.reserve(text.size());
  for (char32_t c : chars) out += QString::fromUcs4(&c, 1);
  return out;
}

bool WritePdfText(QIODevice& in, QIODevice& out, const std::function<std::vector<QString>(int page)>& spans,
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
  const QList<QByteArray> head = xref.mid(5, countEnd - 5).trimmed().split(' ');
  if (head.size() != 2 || head[0] != "0") return fail(unknown);
  const int count = head[1].toInt();
  const qsizetype entriesAt = countEnd + 1;
  if (count <= 0 || entriesAt + qsizetype{count} * 20 > xref.size()) return fail(unknown);
  std::vector<XrefEntry> entries(static_cast<size_t>(count));
  std::vector<std::pair<qint64, int>> order;  // offset, object number
  for (int i = 0; i < count; ++i) {
    XrefEntry& e = entries[static_cast<size_t>(i)];
    e.line = xref.mid(entriesAt + qsizetype{i} * 20, 20);
    e.offset = e.line.left(10).toLongLong();
    if (e.line.size() == 20 && e.line[17] == 'n' && e.offset > 0) order.emplace_back(e.offset, i);
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

  QHash<int, int> pageOfContent;  // content stream object -> page index
  QByteArray content, spanned, packed;  // kept from page to page, with their room
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
      if (!put(bytes)) return fail(unwritten);
      continue;
    }
    const qsizetype dataAt = streamAt + 10;
    qsizetype dataEnd = streamEnd;
    if (dataEnd > dataAt && bytes[dataEnd - 1] == '\n') --dataEnd;
    const QByteArray dict = bytes.mid(bodyAt, streamAt + 2 - bodyAt);
    const auto page = pageOfContent.constFind(number);
    if (page != pageOfContent.constEnd() && dict.contains("/Filter /FlateDecode") &&
        Inflate(bytes.constData() + dataAt, dataEnd - dataAt, &content)) {
      SpannedContent(content, spans(page.value()), spanned);
      if (!Deflate(spanned, &packed)) return fail(unknown);
      if (!put(header + "<<\n/Length " + QByteArray::number(packed.size()) + "\n/Filter /FlateDecode\n>>\nstream\n") ||
          !put(packed) || !put("\nendstream\nendobj\n"))
        return fail(unwritten);
      continue;
    }
    if (!dict.contains("/Filter") && bytes.mid(dataAt, 40).startsWith("/CIDInit /ProcSet findresource begin")) {
      QByteArray map;
      if (!Deflate(SoundMap(MapEntries(bytes.mid(dataAt, dataEnd - dataAt))), &map)) return fail(unknown);
      if (!put(header + "<<\n/Length " + QByteArray::number(map.size()) + "\n/Filter /FlateDecode\n>>\nstream\n") ||
          !put(map) ||
          !put("\nendstream\nendobj\n"))
        return fail(unwritten);
      continue;
    }
    if (!put(bytes)) return fail(unwritten);
  }

  QByteArray table = "xref\n0 " + QByteArray::number(count) + "\n";
  for (const XrefEntry& e : entries) {
    if (e.line.size() == 20 && e.line[17] == 'n' && e.offset > 0) {
      char line[32];
      std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(e.offset));
      table += QByteArray(line, 20);
    } else {
      table += e.line;
    }
  }
  table += trailer.left(trailerEnd);
  table += "startxref\n" + QByteArray::number(written) + "\n%%EOF\n";
  if (!put(table)) return fail(unwritten);
  return true;
}

}  // namespace print
