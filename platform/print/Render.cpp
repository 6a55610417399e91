// One routine paints a page on any painter, in twips: the preview scales its
// painter, PDF pages are written at 1440 dots per inch, PNG pages at any.
#include <QDir>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <cmath>
#include <vector>

#include "platform/print/Fonts.h"
#include "platform/print/PdfText.h"
#include "platform/print/Printer.h"
#include "platform/print/PrinterState.h"

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

// Whether text holds a character written right to left (Hebrew, Arabic and
// the other such scripts, or a mark or embedding that turns text so).
bool HasRightToLeft(const QString& text) {
  const char16_t* s = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (s[i] < 0x0590) continue;  // nothing below the Hebrew block runs right to left
    char32_t c = s[i];
    if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
      c = QChar::surrogateToUcs4(s[i], s[i + 1]);
      ++i;
    }
    switch (QChar::direction(c)) {
      case QChar::DirR:
      case QChar::DirAL:
      case QChar::DirRLE:
      case QChar::DirRLO:
      case QChar::DirRLI:
        return true;
      default:
        break;
    }
  }
  return false;
}

// Whether run b continues run a on its line: printed straight after it,
// with no move of the cursor between.
bool Continues(const TextItem& a, const TextItem& b) {
  return b.header == a.header && b.table < 0 && a.table < 0 && b.baseline == a.baseline &&
         std::abs(b.x - (a.x + a.width)) < 0.5;
}

// The format of a run as ranges that draw each letter with marks its face
// lacks in a face that has them (MarkFaces), the rest in the run's font.
void AppendMarkFaces(const QString& drawn, const FontSpec& font, const QTextLayout::FormatRange& range,
                     QList<QTextLayout::FormatRange>& formats) {
  int at = range.start;
  for (const MarkFace& face : MarkFaces(drawn, font)) {
    QTextLayout::FormatRange part = range;
    part.start = at;
    part.length = range.start + static_cast<int>(face.start) - at;
    if (part.length > 0) formats.append(part);
    part.start = range.start + static_cast<int>(face.start);
    part.length = static_cast<int>(face.length);
    part.format.setFont(FontFor(face.font).font);
    formats.append(part);
    at = part.start + part.length;
  }
  QTextLayout::FormatRange rest = range;
  rest.start = at;
  rest.length = range.start + range.length - at;
  if (rest.length > 0 || at == range.start) formats.append(rest);
}

// The typed text of runs laid out together, and where each character of
// the layout's text comes from in it (DrawnText).
QString TypedParagraph(const TextItem* const* runs, size_t count, std::vector<qsizetype>& typedOf) {
  QString typed;
  typedOf.clear();
  std::vector<qsizetype> piece;
  for (size_t i = 0; i < count; ++i) {
    const QString drawn = DrawnText(runs[i]->text, &piece);
    if (piece.empty())
      for (qsizetype k = 0; k < drawn.size(); ++k) typedOf.push_back(typed.size() + k);
    else
      for (size_t k = 0; k + 1 < piece.size(); ++k) typedOf.push_back(piece[k] < 0 ? -1 : typed.size() + piece[k]);
    typed += runs[i]->text;
  }
  typedOf.push_back(typed.size());
  return typed;
}

// Runs that follow each other on a line and hold right-to-left text are
// laid out as one paragraph, as a reader of the line sees it: a separator
// printed as its own run stays between the two titles it separates,
// instead of each run being turned on its own. The paragraph reads left to
// right as the page does and starts where the first run starts.
void LayOutParagraph(const TextItem* const* runs, size_t count, QTextLayout& layout) {
  QString text;
  QList<QTextLayout::FormatRange> formats;
  for (size_t i = 0; i < count; ++i) {
    QTextLayout::FormatRange range;
    const QString drawn = DrawnText(runs[i]->text);
    range.start = static_cast<int>(text.size());
    range.length = static_cast<int>(drawn.size());
    range.format.setFont(FontFor(runs[i]->font).font);
    range.format.setForeground(ColorFromBgr(runs[i]->color));
    AppendMarkFaces(drawn, runs[i]->font, range, formats);
    text += drawn;
  }
  layout.setText(text);
  layout.setFont(FontFor(runs[0]->font).font);
  layout.setFormats(formats);
  LayOutOneLine(layout);
}

// Paints the page on painter, or only walks its text with none. With
// lines (a PDF being written), the text behind the glyphs of each line
// goes to lines, and a line whose glyphs a reader cannot read as typed on
// their own is marked before it is drawn (PdfText.h).
void PaintPage(const Document& document, int page, QPainter* painter, std::vector<TextLine>* lines) {
  if (page < 1 || page > document.PageCount()) return;
  const Page& p = document.pages[static_cast<size_t>(page - 1)];
  if (painter) {
    painter->save();
    for (const auto& b : p.boxes) {
      const QRectF r(b.x, b.y, b.width, b.height);
      if (b.filled) painter->fillRect(r, ColorFromBgr(b.brush));
      if (b.outlined) {
        painter->setPen(QPen(ColorFromBgr(b.pen), 15));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
      }
    }
    for (const auto& t : p.tables) PaintTable(t, *painter);
    // Each picture is decoded (or found in the cache) as it is drawn, and
    // let go before the next: a page holds one decoded picture at a time.
    for (const auto& pic : p.pictures)
      painter->drawImage(QRectF(pic.x, pic.y, pic.width, pic.height), pic.picture.Image());
    for (const auto& l : p.lines) {
      painter->setPen(QPen(ColorFromBgr(l.color), l.width));
      painter->drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
    }
  }
  const FontSpec* lastFont = nullptr;
  long lastColour = -2;
  std::vector<const TextItem*> paragraph;
  size_t plainTo = 0;  // the runs before this index are known to be drawn one by one
  for (size_t i = 0; i < p.texts.size(); ++i) {
    const TextItem& t = p.texts[i];
    if (i >= plainTo) {
      // A new line's runs: laid out together when one of them holds
      // right-to-left text, else each on its own (the common case).
      size_t last = i;
      bool rightToLeft = HasRightToLeft(t.text);
      // So is a line with a letter whose marks its face lacks, drawn in
      // another face.
      auto marksApart = [](const TextItem& run) { return !MarkFaces(DrawnText(run.text), run.font).empty(); };
      bool faces = marksApart(t);
      while (last + 1 < p.texts.size() && Continues(p.texts[last], p.texts[last + 1])) {
        rightToLeft = HasRightToLeft(p.texts[++last].text) || rightToLeft;
        faces = faces || marksApart(p.texts[last]);
      }
      if (rightToLeft || faces) {
        paragraph.clear();
        for (size_t k = i; k <= last; ++k) paragraph.push_back(&p.texts[k]);
        QTextLayout layout;
        LayOutParagraph(paragraph.data(), paragraph.size(), layout);
        if (lines) {
          TextLine& line = lines->emplace_back();
          std::vector<qsizetype> typedOf;
          const QString typed = TypedParagraph(paragraph.data(), paragraph.size(), typedOf);
          AddLaidOutText(layout, line, &typed, &typedOf);
          FinishLine(line);
          if (painter && line.span) MarkTextSpan(*painter);
        }
        if (painter && layout.lineCount() > 0)
          DrawLaidOutLine(*painter, layout, QPointF(t.x, t.baseline - layout.lineAt(0).ascent()));
        lastFont = nullptr;
        lastColour = -2;
        i = last;
        plainTo = last + 1;
        continue;
      }
      plainTo = last + 1;
      if (lines) {
        TextLine& line = lines->emplace_back();
        for (size_t k = i; k <= last; ++k) AddDrawnText(p.texts[k].text, FontFor(p.texts[k].font).font, line);
        FinishLine(line);
        if (painter && line.span) MarkTextSpan(*painter);
      }
    }
    if (!painter) continue;
    if (!lastFont || !(*lastFont == t.font)) {
      painter->setFont(FontFor(t.font).font);
      lastFont = &t.font;
    }
    if (t.color != lastColour) {
      painter->setPen(ColorFromBgr(t.color));
      lastColour = t.color;
    }
    painter->drawText(QPointF(t.x, t.baseline), DrawnText(t.text));
  }
  if (painter) painter->restore();
}

}  // namespace

void RenderPage(const Document& document, int page, QPainter& painter) {
  PaintPage(document, page, &painter, nullptr);
}

std::string UnwrittenExportMessage(const char* kind, const std::string& file, const QString& reason) {
  std::string message = std::string("The ") + kind + " file \"" + file + "\" cannot be written";
  if (!reason.isEmpty()) message += " (" + reason.toStdString() + ")";
  return message + "; the file there before is left as it was.";
}

bool WritePdf(const Document& document, const std::string& file, std::string* error, const Progress& progress) {
  // Written beside the file and put in its place only when complete: a
  // failure part-way (a full disk) leaves the file that was there.
  QSaveFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly)) {
    if (error) *error = UnwrittenExportMessage("PDF", file, out.errorString());
    return false;
  }
  // Qt's writer writes a file aside; the text behind its glyphs is put
  // right as it is copied into place (PdfText.h).
  QTemporaryFile drawn(QDir::tempPath() + QStringLiteral("/tavolin-pdf-XXXXXX"));
  if (!drawn.open()) {
    if (error) *error = UnwrittenExportMessage("PDF", file, drawn.errorString());
    return false;
  }
  std::vector<TextLine> lines;
  QPdfWriter writer(&drawn);
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
    if (error) *error = UnwrittenExportMessage("PDF", file, {});
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
    lines.clear();
    PaintPage(document, i, &painter, &lines);
  }
  // The writer does not report a failed write; the files do.
  if (!painter.end() || !drawn.flush()) {
    if (error) *error = UnwrittenExportMessage("PDF", file, drawn.errorString());
    return false;
  }
  QString why;
  const long long pages = document.PageCount();
  const auto tick = [&] {
    if (progress) progress(pages, 0);
  };
  // The texts of a page are walked again as its content is copied, rather
  // than kept for every page of a long report.
  const auto linesOf = [&](int page) {
    std::vector<TextLine> drawn;
    PaintPage(document, page + 1, nullptr, &drawn);
    return drawn;
  };
  if (!WritePdfText(drawn, out, linesOf, tick, &why) || !out.commit()) {
    if (error) *error = UnwrittenExportMessage("PDF", file, out.error() != QFileDevice::NoError ? out.errorString() : why);
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
