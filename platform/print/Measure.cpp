// Text measurement and the units of pictures, independent of any screen:
// fonts are sized in pixels of one twip, and measured on an image of 1440
// dots per inch.
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFont>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/print/Fonts.h"

#include "platform/print/Printer.h"

namespace print {

QColor ColorFromBgr(long bgr) {
  const auto v = static_cast<unsigned long>(bgr) & 0xFFFFFFu;
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

QString FamilyFor(const std::string& name) {
  const QString n = QString::fromStdString(name).trimmed().toLower();
  if (n.isEmpty() || n == "arial" || n == "helvetica" || n == "ms sans serif") return "Liberation Sans";
  if (n == "times new roman" || n == "times") return "Liberation Serif";
  if (n == "courier new" || n == "courier") return "Liberation Mono";
  return QString::fromStdString(name);
}

double HimetricToTwips(double himetric) { return himetric * 1440.0 / 2540.0; }

namespace {
double DotsPerInch(int dotsPerMeter) {
  // Dots per metre are stored whole: 3780 is 96 dpi, 11811 is 300.
  return dotsPerMeter > 0 ? std::max(1.0, std::round(dotsPerMeter * 0.0254)) : 96.0;
}
}  // namespace

double PictureWidthTwips(const Picture& image) {
  return image.isNull() ? 0 : image.width() * kTwipsPerInch / DotsPerInch(image.dotsPerMeterX());
}
double PictureHeightTwips(const Picture& image) {
  return image.isNull() ? 0 : image.height() * kTwipsPerInch / DotsPerInch(image.dotsPerMeterY());
}
double PictureWidthHimetric(const Picture& image) { return PictureWidthTwips(image) * 2540.0 / 1440.0; }
double PictureHeightHimetric(const Picture& image) { return PictureHeightTwips(image) * 2540.0 / 1440.0; }

}  // namespace print

namespace print {

namespace {
// The Han text fonts made at build time beside the programs (bin/fonts):
// the Noto CJK glyphs under cmaps that keep one code point per glyph, so
// that the PDF writer's text of every glyph is the character drawn rather
// than a radical of the same shape. Their families in the order they are
// tried; none when they were not made.
const QStringList& HanTextFamilies() {
  static const QStringList families = [] {
    QStringList out;
    const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& name : dir.entryList({QStringLiteral("TavolinHanText-*.ttc")}, QDir::Files, QDir::Name)) {
      const int id = QFontDatabase::addApplicationFont(dir.filePath(name));
      for (const QString& family : QFontDatabase::applicationFontFamilies(id))
        if (!out.contains(family)) out.push_back(family);
    }
    // The face holding most of the text first, then its twins' faces.
    std::stable_sort(out.begin(), out.end(),
                     [](const QString& a, const QString& b) { return a.size() < b.size(); });
    return out;
  }();
  return families;
}

// The faces of the other scripts a collector types, tried after the Han
// text faces for what neither the asked font nor they have: Noto's core
// set (fonts-noto-core), then the faces of symbols. Listed rather than left to the system's choice,
// which may be a font without the shaping a script needs, or none. Those
// missing on the machine are left out.
const QStringList& ScriptFamilies() {
  static const QStringList families = [] {
    const QStringList wanted{
        "Noto Sans Arabic",    "Noto Sans Hebrew",    "Noto Sans Thai",      "Noto Sans Lao",
        "Noto Sans Khmer",     "Noto Sans Myanmar",   "Noto Sans Devanagari", "Noto Sans Bengali",
        "Noto Sans Gurmukhi",  "Noto Sans Gujarati",  "Noto Sans Oriya",     "Noto Sans Tamil",
        "Noto Sans Telugu",    "Noto Sans Kannada",   "Noto Sans Malayalam", "Noto Sans Sinhala",
        "Noto Sans Armenian",  "Noto Sans Georgian",  "Noto Sans Ethiopic",  "Noto Sans Tibetan",
        "Noto Sans Mongolian", "Noto Sans Syriac",    "Noto Sans Thaana",    "Noto Sans",
        // Musical symbols, then emoji and the other pictographs in black
        // and white as the rest of the page (fonts-symbola): without it
        // they print as the box of a missing glyph, their text behind it.
        "Noto Music", "Symbola"};
    QStringList out;
    for (const QString& family : wanted)
      if (QFontDatabase::hasFamily(family)) out.push_back(family);
    return out;
  }();
  return families;
}

QFont MakeFont(const FontSpec& spec) {
  QFont f(FamilyFor(spec.name));
  // The script faces are given as the family's substitutes, tried after
  // the families of the font: listed among those, they would be part of
  // every lookup of the font, which a report does on every change of it.
  static QSet<QString> substituted;
  if (!substituted.contains(f.family())) {
    substituted.insert(f.family());
    QFont::insertSubstitutions(f.family(), ScriptFamilies());
  }
  f.setFamilies(QStringList{f.family()} + HanTextFamilies());
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(spec.size * kTwipsPerPoint))));
  f.setBold(spec.bold);
  f.setItalic(spec.italic);
  f.setUnderline(spec.underline);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setKerning(true);
  return f;
}

const QPaintDevice& MeasureDevice() {
  static QImage device = [] {
    QImage img(1, 1, QImage::Format_ARGB32);
    const int dpm = static_cast<int>(std::lround(kTwipsPerInch / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
  }();
  return device;
}
}  // namespace

namespace {
// The size and styles first: a report switches bold on and off for every
// label, and these tell its fonts apart without comparing names.
bool SameFont(const FontSpec& a, const FontSpec& b) {
  return a.size == b.size && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
         a.name == b.name;
}
}  // namespace

const FontEntry& FontFor(const FontSpec& spec) {
  static std::vector<std::unique_ptr<FontEntry>> cache;
  static const FontEntry* last = nullptr;
  if (last && SameFont(last->spec, spec)) return *last;
  for (const auto& e : cache) {
    if (SameFont(e->spec, spec)) {
      last = e.get();
      return *last;
    }
  }
  QFont f = MakeFont(spec);
  auto entry = std::make_unique<FontEntry>(FontEntry{spec, f, QFontMetricsF(f, &MeasureDevice()), {}, 0, 0, false, {}, {}});
  entry->ascent = entry->metrics.ascent();
  entry->descent = entry->metrics.descent();
  // The families the reports use, checked glyph pair by glyph pair and on
  // whole texts: their kerning is pairwise, with no ligature or contextual
  // substitution among Latin-1 letters. Another family is always shaped.
  const QString family = QFontInfo(f).family();
  entry->pairwise = family == QLatin1String("Liberation Sans") || family == QLatin1String("Liberation Serif") ||
                    family == QLatin1String("Liberation Mono");
  cache.push_back(std::move(entry));
  last = cache.back().get();
  return *last;
}

namespace {
constexpr std::int32_t kUnmeasured = INT32_MIN;
constexpr std::int32_t kNotPlain = INT32_MIN + 1;

// Characters that shape as a glyph of their own: printable Latin-1, without
// the soft hyphen (drawn only at a break) and the no-break space.
bool PlainLatin(char16_t c) { return (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFF && c != 0xAD); }

std::int32_t Sixtyfourths(double width) { return static_cast<std::int32_t>(std::lround(width * 64)); }

std::int32_t AdvanceOf(const FontEntry& e, char16_t c) {
  std::int32_t& a = e.advances[c];
  if (a == kUnmeasured)
    a = e.metrics.inFont(QChar(c)) ? Sixtyfourths(e.metrics.horizontalAdvance(QString(QChar(c)))) : kNotPlain;
  return a;
}

std::int32_t KerningOf(const FontEntry& e, char16_t a, char16_t b, std::int32_t advanceA, std::int32_t advanceB) {
  std::int32_t& k = e.kerning[static_cast<size_t>(a) * 256 + b];
  if (k == kUnmeasured) {
    const QChar pair[2] = {QChar(a), QChar(b)};
    k = Sixtyfourths(e.metrics.horizontalAdvance(QString(pair, 2))) - advanceA - advanceB;
  }
  return k;
}
}  // namespace

namespace {
bool IsMark(char32_t c) {
  const auto cat = QChar::category(c);
  return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing;
}

char32_t CodeAt(const char16_t* s, qsizetype n, qsizetype k, qsizetype& width) {
  if (QChar::isHighSurrogate(s[k]) && k + 1 < n && QChar::isLowSurrogate(s[k + 1])) {
    width = 2;
    return QChar::surrogateToUcs4(s[k], s[k + 1]);
  }
  width = 1;
  return s[k];
}

// Where the first character at or after from that composes with what
// comes before it begins: nothing below the combining diacritical marks
// does, so most text is passed over in one scan.
qsizetype FirstPossibleMark(const QString& text) {
  const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
  qsizetype i = 0;
  while (i < text.size() && s[i] < 0x0300) ++i;
  return i;
}

// Calls f(letter, end) for each run of marks in s: letter is where the
// character they follow begins (-1 for marks that begin the text), end
// where the marks end.
template <class F>
void ForEachMarkRun(const char16_t* s, qsizetype n, F&& f) {
  for (qsizetype k = 0, letter = -1; k < n;) {
    qsizetype w = 0;
    if (!IsMark(CodeAt(s, n, k, w))) {
      letter = k;
      k += w;
      continue;
    }
    qsizetype end = k + w;
    while (end < n) {
      qsizetype w2 = 0;
      if (!IsMark(CodeAt(s, n, end, w2))) break;
      end += w2;
    }
    f(letter, end);
    k = end;
  }
}
}  // namespace

QString DrawnText(const QString& text, std::vector<qsizetype>* typedOf) {
  if (typedOf) typedOf->clear();
  const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
  const qsizetype n = text.size();
  if (FirstPossibleMark(text) == n) return text;
  // Only a letter with the marks that follow it is composed. Whole-text
  // composition would also swap characters that merely have a canonical
  // twin (the compatibility ideographs, the Ohm and Kelvin signs) for
  // another character, and the page would no longer show what was typed.
  QString out;
  out.reserve(n);
  // Each character of out from the typed text as it is, or the start of a
  // letter with its marks composed.
  auto copied = [&](qsizetype from, qsizetype to) {
    out.append(QStringView(text).mid(from, to - from));
    if (typedOf)
      for (qsizetype i = from; i < to; ++i) typedOf->push_back(i);
  };
  qsizetype done = 0;  // text before this is in out already
  ForEachMarkRun(s, n, [&](qsizetype letter, qsizetype end) {
    // Marks that begin the text are composed among themselves.
    const qsizetype base = std::max<qsizetype>(letter, 0);
    copied(done, base);
    const QString composed = text.mid(base, end - base).normalized(QString::NormalizationForm_C);
    // A letter whose marks do not all compose into it stays as typed: its
    // marks are then set on it by a face that has them all (MarkFaces).
    const bool whole = composed.size() == 1 || (composed.size() == 2 && composed[0].isHighSurrogate());
    if (!whole) {
      copied(base, end);
    } else {
      out.append(composed);
    }
    if (typedOf && out.size() > static_cast<qsizetype>(typedOf->size())) {
      typedOf->push_back(base);
      for (qsizetype i = 1; i < composed.size(); ++i) typedOf->push_back(-1);
    }
    done = end;
  });
  if (done == 0) {
    if (typedOf) typedOf->clear();
    return text;
  }
  copied(done, n);
  if (typedOf) typedOf->push_back(n);
  return out;
}

namespace {
// The families a piece of text is looked for in, each face once.
bool FamilyHas(const QString& family, const QString& piece) {
  static QHash<QString, std::shared_ptr<QFontMetricsF>> metrics;
  auto& m = metrics[family];
  if (!m) {
    QFont f(family);
    f.setStyleStrategy(QFont::NoFontMerging);
    m = std::make_shared<QFontMetricsF>(f, &MeasureDevice());
  }
  for (qsizetype i = 0; i < piece.size(); ++i) {
    qsizetype w = 0;
    const char32_t c = CodeAt(reinterpret_cast<const char16_t*>(piece.constData()), piece.size(), i, w);
    if (!m->inFontUcs4(c)) return false;
    i += w - 1;
  }
  return true;
}
}  // namespace

std::vector<MarkFace> MarkFaces(const QString& drawn, const FontSpec& font) {
  std::vector<MarkFace> out;
  const qsizetype n = drawn.size();
  if (FirstPossibleMark(drawn) == n) return out;
  const char16_t* s = reinterpret_cast<const char16_t*>(drawn.constData());
  const QString family = FamilyFor(font.name);
  ForEachMarkRun(s, n, [&](qsizetype base, qsizetype end) {
    if (base < 0) return;
    // A letter of the run's face with a mark it lacks: the mark would come
    // from another face and stand beside the letter instead of over it.
    // The letter goes with its marks to the first face that has them all,
    // which places them on it. Marks of scripts the run's face has none of
    // are drawn with their letters' face already.
    const QString piece = drawn.mid(base, end - base);
    const QString letter = drawn.mid(base, QChar::isHighSurrogate(s[base]) && base + 1 < n ? 2 : 1);
    if (FamilyHas(family, piece) || !FamilyHas(family, letter)) return;
    for (const QString& other : ScriptFamilies())
      if (FamilyHas(other, piece)) {
        FontSpec face = font;
        face.name = other.toStdString();
        out.push_back({base, end - base, face});
        return;
      }
  });
  return out;
}

double TextAdvance(const FontEntry& e, const QString& typed) {
  // Measured as drawn, so that a line's width is the width it prints.
  const QString text = DrawnText(typed);
  // A letter and its marks drawn in a face of their own are shaped apart
  // from the text around them, as the layout of the line shapes them.
  const std::vector<MarkFace> faces = MarkFaces(text, e.spec);
  if (!faces.empty()) {
    double width = 0;
    qsizetype at = 0;
    for (const MarkFace& f : faces) {
      if (f.start > at) width += e.metrics.horizontalAdvance(text.mid(at, f.start - at));
      width += FontFor(f.font).metrics.horizontalAdvance(text.mid(f.start, f.length));
      at = f.start + f.length;
    }
    if (at < text.size()) width += e.metrics.horizontalAdvance(text.mid(at));
    return width;
  }
  // The shaper cuts text of some thousands of characters into pieces and
  // does not kern across the cuts: long text is shaped as it is.
  constexpr qsizetype kLongestSummed = 1000;
  const qsizetype n = text.size();
  if (!e.pairwise || n == 0 || n > kLongestSummed) return e.metrics.horizontalAdvance(text);
  const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
  for (qsizetype i = 0; i < n; ++i)
    if (!PlainLatin(s[i])) return e.metrics.horizontalAdvance(text);
  if (e.advances.empty()) {
    e.advances.assign(256, kUnmeasured);
    e.kerning.assign(256 * 256, kUnmeasured);
  }
  // The shaper sums whole 64ths; so does this, and the total converts to
  // the same double.
  std::int64_t sum = 0;
  std::int32_t previous = 0;
  for (qsizetype i = 0; i < n; ++i) {
    const std::int32_t a = AdvanceOf(e, s[i]);
    if (a == kNotPlain) return e.metrics.horizontalAdvance(text);
    sum += a;
    if (i > 0) sum += KerningOf(e, s[i - 1], s[i], previous, a);
    previous = a;
  }
  return static_cast<double>(sum) / 64.0;
}

double MeasureText(const FontSpec& font, const QString& text) { return TextAdvance(FontFor(font), text); }

double MeasureRun(const FontSpec& font, QString& text) {
  // Only short texts are kept (labels, values that repeat); the cache
  // starts over before it could grow with the report.
  constexpr qsizetype kLongest = 48;
  constexpr qsizetype kMostKept = 20000;
  FontEntry& entry = const_cast<FontEntry&>(FontFor(font));
  if (text.size() > kLongest) return TextAdvance(entry, text);
  auto it = entry.widths.constFind(text);
  if (it != entry.widths.constEnd()) {
    text = it.key();
    return it.value();
  }
  if (entry.widths.size() >= kMostKept) entry.widths.clear();
  // Made its full size at once: growing step by step rehashes every text
  // kept so far, and a report of many records fills it again and again.
  if (entry.widths.capacity() < kMostKept) entry.widths.reserve(kMostKept);
  const double width = TextAdvance(entry, text);
  entry.widths.insert(text, width);
  return width;
}

double LineHeight(const FontSpec& font) {
  const FontEntry& e = FontFor(font);
  return e.ascent + e.descent;
}

}  // namespace print
