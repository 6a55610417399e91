// The HTML export: the report's flow in page order. Text runs that share a
// line become one paragraph, a table (over all its pages, its header once)
// one <table>, pictures inline images. Page headers, rules and boxes belong
// to the printed page and are left out.
#include <QBuffer>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <map>

#include "platform/print/Printer.h"

namespace print {

namespace {

QString Pt(double twips) { return QString::number(twips / kTwipsPerPoint, 'f', 1); }

void AppendEscaped(QString& out, const QString& text) {
  for (QChar c : text) {
    switch (c.unicode()) {
      case '<': out += QLatin1String("&lt;"); break;
      case '>': out += QLatin1String("&gt;"); break;
      case '&': out += QLatin1String("&amp;"); break;
      case '"': out += QLatin1String("&quot;"); break;
      case '\n': out += QLatin1String("<br>"); break;
      default: out += c;
    }
  }
}

void AppendStyle(QString& out, const FontSpec& f, long colour) {
  out += QLatin1String("font-size:");
  out += Pt(f.size * kTwipsPerPoint);
  out += QLatin1String("pt");
  if (f.bold) out += QLatin1String(";font-weight:bold");
  if (f.italic) out += QLatin1String(";font-style:italic");
  if (f.underline) out += QLatin1String(";text-decoration:underline");
  if (colour != 0) out += QLatin1String(";color:") + ColorFromBgr(colour).name();
}

struct Block {
  double y = 0;
  int kind = 0;  // 0 text line, 1 table, 2 picture
  std::vector<const TextItem*> texts;
  const TableItem* table = nullptr;
  const PictureItem* picture = nullptr;
};

const char* AlignName(char a) {
  switch (a) {
    case '^': return "center";
    case '>': return "right";
    case '=': return "justify";
    default: return "left";
  }
}

}  // namespace

QString DocumentHtml(const Document& document) {
  QString out;
  out.reserve(4096);
  out += QLatin1String(
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Report</title>\n"
      "<style>body{font-family:Arial,'Liberation Sans',sans-serif}p{margin:0}"
      "table{border-collapse:collapse;margin:4pt 0}td,th{border:1px solid #808080;padding:1pt 3pt;"
      "vertical-align:top;font-weight:normal}</style>\n</head>\n<body>\n");
  QHash<qint64, QString> imageData;
  int openTable = 0;
  auto closeTable = [&] {
    if (openTable != 0) out += QLatin1String("</table>\n");
    openTable = 0;
  };
  for (const Page& page : document.pages) {
    std::vector<Block> blocks;
    std::map<double, size_t> lineAt;
    for (const auto& t : page.texts) {
      if (t.header || t.table >= 0) continue;
      auto [it, added] = lineAt.try_emplace(t.y, blocks.size());
      if (added) blocks.push_back(Block{t.y, 0, {}, nullptr, nullptr});
      blocks[it->second].texts.push_back(&t);
    }
    for (const auto& t : page.tables) blocks.push_back(Block{t.y, 1, {}, &t, nullptr});
    for (const auto& p : page.pictures) blocks.push_back(Block{p.y, 2, {}, nullptr, &p});
    std::stable_sort(blocks.begin(), blocks.end(), [](const Block& a, const Block& b) { return a.y < b.y; });
    constexpr double margin = 1440;  // the writers' left edge
    for (const Block& b : blocks) {
      if (b.kind == 1) {
        const TableItem& t = *b.table;
        const bool continued = openTable == t.id;
        if (!continued) {
          closeTable();
          out += QLatin1String("<table>\n");
          openTable = t.id;
        }
        for (const auto& r : t.rows) {
          if (r.header && continued) continue;
          out += QLatin1String("<tr");
          const long shade = r.header ? t.headerShade : t.bodyShade;
          if (shade >= 0) out += QLatin1String(" style=\"background:") + ColorFromBgr(shade).name() + '"';
          out += '>';
          for (size_t c = 0; c < r.cells.size(); ++c) {
            const char* cell = r.header ? "th" : "td";
            out += '<';
            out += QLatin1String(cell);
            out += QLatin1String(" style=\"text-align:");
            out += QLatin1String(AlignName(c < t.columnAlign.size() ? t.columnAlign[c] : '<'));
            if (c < t.columnWidths.size()) out += QLatin1String(";width:") + Pt(t.columnWidths[c]) + QLatin1String("pt");
            if (r.cells[c].bold) out += QLatin1String(";font-weight:bold");
            out += QLatin1String("\">");
            AppendEscaped(out, r.cells[c].text);
            out += QLatin1String("</");
            out += QLatin1String(cell);
            out += '>';
          }
          out += QLatin1String("</tr>\n");
        }
        continue;
      }
      closeTable();
      if (b.kind == 2) {
        const PictureItem& p = *b.picture;
        auto it = imageData.find(p.image.cacheKey());
        if (it == imageData.end()) {
          QByteArray png;
          QBuffer buffer(&png);
          buffer.open(QIODevice::WriteOnly);
          p.image.save(&buffer, "PNG");
          it = imageData.insert(p.image.cacheKey(), QString::fromLatin1(png.toBase64()));
        }
        out += QLatin1String("<p style=\"margin-left:") + Pt(std::max(0.0, p.x - margin)) +
               QLatin1String("pt\"><img alt=\"\" width=\"") + QString::number(std::lround(p.width / 15)) +
               QLatin1String("\" height=\"") + QString::number(std::lround(p.height / 15)) +
               QLatin1String("\" src=\"data:image/png;base64,") + *it + QLatin1String("\"></p>\n");
        continue;
      }
      std::vector<const TextItem*> runs = b.texts;
      std::stable_sort(runs.begin(), runs.end(), [](const TextItem* a, const TextItem* c) { return a->x < c->x; });
      out += QLatin1String("<p style=\"margin-left:") + Pt(std::max(0.0, runs.front()->x - margin)) +
             QLatin1String("pt\">");
      double end = runs.front()->x;
      for (const TextItem* t : runs) {
        if (t->x > end + 200) out += QLatin1String("&emsp;");
        out += QLatin1String("<span style=\"");
        AppendStyle(out, t->font, t->color);
        out += QLatin1String("\">");
        AppendEscaped(out, t->text);
        out += QLatin1String("</span>");
        end = t->x + t->width;
      }
      out += QLatin1String("</p>\n");
    }
  }
  closeTable();
  out += QLatin1String("</body>\n</html>\n");
  return out;
}

bool WriteHtml(const Document& document, const std::string& file, std::string* error) {
  QSaveFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly)) {
    if (error) *error = "The HTML file \"" + file + "\" cannot be written.";
    return false;
  }
  const QByteArray bytes = DocumentHtml(document).toUtf8();
  if (out.write(bytes) != bytes.size() || !out.commit()) {
    if (error) *error = "The HTML file \"" + file + "\" cannot be written.";
    return false;
  }
  return true;
}

}  // namespace print
