// The HTML export: the report's flow in page order. Text runs that share a
// line become one paragraph, a table (over all its pages, its header once)
// one <table>, pictures inline images. Page headers, rules and boxes belong
// to the printed page and are left out.
#include <QBuffer>
#include <QHash>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/print/Printer.h"

namespace print {

namespace {

std::string Pt(double twips) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", twips / kTwipsPerPoint);
  return buf;
}

std::string Name(const QColor& c) { return c.name().toStdString(); }

// Appends text as UTF-8 with the characters HTML reserves escaped and line
// feeds as line breaks. Plain ASCII, the common case, is copied straight
// into the output; the rest from the first character that needs more.
void AppendEscaped(std::string& out, const QString& text) {
  const char16_t* u = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype n = text.size();
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(n));
  char* d = out.data() + start;
  qsizetype i = 0;
  for (; i < n; ++i) {
    const char16_t c = u[i];
    if (c >= 0x80 || c == '<' || c == '>' || c == '&' || c == '"' || c == '\n') break;
    d[i] = static_cast<char>(c);
  }
  if (i == n) return;
  out.resize(start + static_cast<size_t>(i));
  for (; i < n; ++i) {
    const char16_t c = u[i];
    if (c >= 0x80) {
      out += text.mid(i).toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")).toStdString();
      return;
    }
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "<br>"; break;
      default: out += static_cast<char>(c);
    }
  }
}

void AppendStyle(std::string& out, const FontSpec& f, long colour) {
  out += "font-size:";
  out += Pt(f.size * kTwipsPerPoint);
  out += "pt";
  if (f.bold) out += ";font-weight:bold";
  if (f.italic) out += ";font-style:italic";
  if (f.underline) out += ";text-decoration:underline";
  if (colour != 0) out += ";color:" + Name(ColorFromBgr(colour));
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

namespace {

// Where the markup goes: into one string, or through a buffer of a fixed
// size into a file, so that a long report is written while the buffer is
// still in the cache and never needs memory in proportion to its length.
struct HtmlSink {
  static constexpr size_t kChunk = 1 << 17;
  std::string out;
  QFile* file = nullptr;
  bool ok = true;
  HtmlSink() { out.reserve(kChunk + 4096); }
  void Spill(bool last = false) {
    if (!file || (!last && out.size() < kChunk)) return;
    if (ok && file->write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size()))
      ok = false;
    out.clear();
  }
};

void Html(const Document& document, HtmlSink& sink) {
  std::string& out = sink.out;
  out += (
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Report</title>\n"
      "<style>body{font-family:Arial,'Liberation Sans',sans-serif}p{margin:0}"
      "table{border-collapse:collapse;margin:4pt 0}td,th{border:1px solid #808080;padding:1pt 3pt;"
      "vertical-align:top;font-weight:normal}</style>\n</head>\n<body>\n");
  QHash<qint64, std::string> imageData;
  int openTable = 0;
  auto closeTable = [&] {
    if (openTable != 0) out += "</table>\n";
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
          out += "<table>\n";
          openTable = t.id;
        }
        // The opening tag of each column's cells, made once per part.
        std::vector<std::string> open[2][2];  // [header][bold]
        for (int h = 0; h < 2; ++h)
          for (int b = 0; b < 2; ++b)
            for (size_t c = 0; c < t.columnWidths.size(); ++c) {
              std::string tag = h ? "<th style=\"text-align:" : "<td style=\"text-align:";
              tag += AlignName(c < t.columnAlign.size() ? t.columnAlign[c] : '<');
              tag += ";width:" + Pt(t.columnWidths[c]) + "pt";
              if (b) tag += ";font-weight:bold";
              tag += "\">";
              open[h][b].push_back(tag);
            }
        for (const auto& r : t.rows) {
          if (r.header && continued) continue;
          out += "<tr";
          const long shade = r.header ? t.headerShade : t.bodyShade;
          if (shade >= 0) out += " style=\"background:" + Name(ColorFromBgr(shade)) + '"';
          out += '>';
          const auto& tags = open[r.header ? 1 : 0];
          for (size_t c = 0; c < r.cells.size(); ++c) {
            const auto& cellTags = tags[r.cells[c].bold ? 1 : 0];
            if (c < cellTags.size()) out += cellTags[c];
            else out += r.header ? "<th>" : "<td>";
            AppendEscaped(out, r.cells[c].text);
            out += r.header ? "</th>" : "</td>";
          }
          out += "</tr>\n";
          sink.Spill();
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
          it = imageData.insert(p.image.cacheKey(), png.toBase64().toStdString());
        }
        sink.Spill();
        out += "<p style=\"margin-left:" + Pt(std::max(0.0, p.x - margin)) + "pt\"><img alt=\"\" width=\"" +
               std::to_string(std::lround(p.width / 15)) + "\" height=\"" +
               std::to_string(std::lround(p.height / 15)) + "\" src=\"data:image/png;base64," + *it +
               "\"></p>\n";
        continue;
      }
      std::vector<const TextItem*> runs = b.texts;
      std::stable_sort(runs.begin(), runs.end(), [](const TextItem* a, const TextItem* c) { return a->x < c->x; });
      out += "<p style=\"margin-left:" + Pt(std::max(0.0, runs.front()->x - margin)) + "pt\">";
      double end = runs.front()->x;
      for (const TextItem* t : runs) {
        if (t->x > end + 200) out += "&emsp;";
        out += "<span style=\"";
        AppendStyle(out, t->font, t->color);
        out += "\">";
        AppendEscaped(out, t->text);
        out += "</span>";
        end = t->x + t->width;
      }
      out += "</p>\n";
      sink.Spill();
    }
  }
  closeTable();
  out += "</body>\n</html>\n";
  sink.Spill(true);
}
}  // namespace

QString DocumentHtml(const Document& document) {
  HtmlSink sink;
  Html(document, sink);
  return QString::fromStdString(sink.out);
}

bool WriteHtml(const Document& document, const std::string& file, std::string* error) {
  QFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
    if (error) *error = "The HTML file \"" + file + "\" cannot be written.";
    return false;
  }
  HtmlSink sink;
  sink.file = &out;
  Html(document, sink);
  const bool written = sink.ok;
  out.close();
  if (!written || out.error() != QFileDevice::NoError) {
    if (error) *error = "The HTML file \"" + file + "\" cannot be written.";
    return false;
  }
  return true;
}

}  // namespace print
