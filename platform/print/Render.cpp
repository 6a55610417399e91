// One routine paints a page on any painter, in twips: the preview scales its
// painter, PDF pages are written at 1440 dots per inch, PNG pages at any.
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "platform/print/Fonts.h"
#include "platform/print/Printer.h"

namespace print {

namespace {

constexpr long kRuleColour = 0x808080;
constexpr double kRuleWidth = 10;

void PaintTable(const TableItem& t, QPainter& painter) {
  if (t.rows.empty()) return;
  for (const auto& r : t.rows) {
    const long shade = r.header ? t.headerShade : t.bodyShade;
    if (shade >= 0) painter.fillRect(QRectF(t.x, r.y, t.Width(), r.height), ColorFromBgr(shade));
  }
  painter.setPen(QPen(ColorFromBgr(kRuleColour), kRuleWidth));
  painter.setBrush(Qt::NoBrush);
  const double top = t.rows.front().y;
  const double bottom = t.rows.back().y + t.rows.back().height;
  const double right = t.x + t.Width();
  QVector<QLineF> rules;
  rules.reserve(static_cast<qsizetype>(t.rows.size() + t.columnWidths.size() + 2));
  rules.append(QLineF(t.x, top, right, top));
  for (const auto& r : t.rows) rules.append(QLineF(t.x, r.y + r.height, right, r.y + r.height));
  double cx = t.x;
  rules.append(QLineF(cx, top, cx, bottom));
  for (double w : t.columnWidths) {
    cx += w;
    rules.append(QLineF(cx, top, cx, bottom));
  }
  painter.drawLines(rules);
}

}  // namespace

void RenderPage(const Document& document, int page, QPainter& painter) {
  if (page < 1 || page > document.PageCount()) return;
  const Page& p = document.pages[static_cast<size_t>(page - 1)];
  painter.save();
  for (const auto& b : p.boxes) {
    const QRectF r(b.x, b.y, b.width, b.height);
    if (b.filled) painter.fillRect(r, ColorFromBgr(b.brush));
    if (b.outlined) {
      painter.setPen(QPen(ColorFromBgr(b.pen), 15));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(r);
    }
  }
  for (const auto& t : p.tables) PaintTable(t, painter);
  // Each picture is decoded (or found in the cache) as it is drawn, and
  // let go before the next: a page holds one decoded picture at a time.
  for (const auto& pic : p.pictures)
    painter.drawImage(QRectF(pic.x, pic.y, pic.width, pic.height), pic.picture.Image());
  for (const auto& l : p.lines) {
    painter.setPen(QPen(ColorFromBgr(l.color), l.width));
    painter.drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
  }
  const FontSpec* lastFont = nullptr;
  long lastColour = -2;
  for (const auto& t : p.texts) {
    if (!lastFont || !(*lastFont == t.font)) {
      painter.setFont(FontFor(t.font).font);
      lastFont = &t.font;
    }
    if (t.color != lastColour) {
      painter.setPen(ColorFromBgr(t.color));
      lastColour = t.color;
    }
    painter.drawText(QPointF(t.x, t.baseline), t.text);
  }
  painter.restore();
}

bool WritePdf(const Document& document, const std::string& file, std::string* error, const Progress& progress) {
  const QString name = QString::fromStdString(file);
  {
    // QPdfWriter reports no failure to open its file: try it first.
    QFile probe(name);
    if (!probe.open(QIODevice::WriteOnly)) {
      if (error) *error = "The PDF file \"" + file + "\" cannot be written.";
      return false;
    }
  }
  QPdfWriter writer(name);
  writer.setResolution(static_cast<int>(kTwipsPerInch));
  writer.setCreator(QStringLiteral("Tavolin"));
  auto layoutFor = [](const Page& p) {
    const bool landscape = p.width > p.height;
    const double w = landscape ? p.height : p.width;
    const double h = landscape ? p.width : p.height;
    return QPageLayout(QPageSize(QSizeF(w / kTwipsPerInch, h / kTwipsPerInch), QPageSize::Inch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  };
  if (!document.pages.empty()) writer.setPageLayout(layoutFor(document.pages.front()));
  else writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&writer)) {
    if (error) *error = "The PDF file \"" + file + "\" cannot be written.";
    return false;
  }
  for (int i = 1; i <= document.PageCount(); ++i) {
    if (i > 1) {
      const Page& p = document.pages[static_cast<size_t>(i - 1)];
      const Page& prev = document.pages[static_cast<size_t>(i - 2)];
      if (p.width != prev.width || p.height != prev.height) writer.setPageLayout(layoutFor(p));
      writer.newPage();
    }
    if (progress) progress(i, document.PageCount());
    RenderPage(document, i, painter);
  }
  if (!painter.end()) {
    if (error) *error = "The PDF file \"" + file + "\" cannot be written.";
    return false;
  }
  return true;
}

QImage RenderPageImage(const Document& document, int page, double dpi) {
  if (page < 1 || page > document.PageCount() || dpi <= 0) return {};
  const Page& p = document.pages[static_cast<size_t>(page - 1)];
  const double scale = dpi / kTwipsPerInch;
  QImage image(static_cast<int>(p.width * scale + 0.5), static_cast<int>(p.height * scale + 0.5),
               QImage::Format_RGB32);
  const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
  image.setDotsPerMeterX(dpm);
  image.setDotsPerMeterY(dpm);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(scale, scale);
  RenderPage(document, page, painter);
  painter.end();
  return image;
}

}  // namespace print
