// Text measurement and the units of pictures, independent of any screen:
// fonts are sized in pixels of one twip, and measured on an image of 1440
// dots per inch.
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>
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

double PictureWidthTwips(const QImage& image) {
  return image.isNull() ? 0 : image.width() * kTwipsPerInch / DotsPerInch(image.dotsPerMeterX());
}
double PictureHeightTwips(const QImage& image) {
  return image.isNull() ? 0 : image.height() * kTwipsPerInch / DotsPerInch(image.dotsPerMeterY());
}
double PictureWidthHimetric(const QImage& image) { return PictureWidthTwips(image) * 2540.0 / 1440.0; }
double PictureHeightHimetric(const QImage& image) { return PictureHeightTwips(image) * 2540.0 / 1440.0; }

}  // namespace print

namespace print {

namespace {
QFont MakeFont(const FontSpec& spec) {
  QFont f(FamilyFor(spec.name));
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

const FontEntry& FontFor(const FontSpec& spec) {
  static std::vector<std::unique_ptr<FontEntry>> cache;
  static const FontEntry* last = nullptr;
  if (last && last->spec == spec) return *last;
  for (const auto& e : cache) {
    if (e->spec == spec) {
      last = e.get();
      return *last;
    }
  }
  QFont f = MakeFont(spec);
  cache.push_back(std::make_unique<FontEntry>(FontEntry{spec, f, QFontMetricsF(f, &MeasureDevice()), {}}));
  last = cache.back().get();
  return *last;
}

double MeasureText(const FontSpec& font, const QString& text) {
  return FontFor(font).metrics.horizontalAdvance(text);
}

double MeasureRun(const FontSpec& font, QString& text) {
  // Only short texts are kept (labels, values that repeat); the cache
  // starts over before it could grow with the report.
  constexpr qsizetype kLongest = 48;
  constexpr qsizetype kMostKept = 20000;
  FontEntry& entry = const_cast<FontEntry&>(FontFor(font));
  if (text.size() > kLongest) return entry.metrics.horizontalAdvance(text);
  auto it = entry.widths.constFind(text);
  if (it != entry.widths.constEnd()) {
    text = it.key();
    return it.value();
  }
  if (entry.widths.size() >= kMostKept) entry.widths.clear();
  const double width = entry.metrics.horizontalAdvance(text);
  entry.widths.insert(text, width);
  return width;
}

double LineHeight(const FontSpec& font) {
  const auto& m = FontFor(font).metrics;
  return m.ascent() + m.descent();
}

}  // namespace print
