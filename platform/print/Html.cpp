// The HTML export: the report's flow in page order. Text runs that share a
// line become one paragraph, a table (over all its pages, its header once)
// one <table>, pictures inline images. Page headers, rules and boxes belong
// to the printed page and are left out.
#include <QBuffer>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string_view>

#include <fcntl.h>

#include "platform/print/Printer.h"
#include "platform/print/PrinterState.h"

namespace print {

namespace {

using namespace std::string_view_literals;

std::string Pt(double twips) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", twips / kTwipsPerPoint);
  return buf;
}

std::string Name(const QColor& c) { return c.name().toStdString(); }

// Code points an HTML parser refuses: the controls other than tab, line
// feed and carriage return (C0, DEL and C1) and the noncharacters. They
// are left out; written as character references they would come back as
// other characters ("&#x85;" is read as an ellipsis).
bool Unwritable(char32_t c) {
  if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
  return (c >= 0x7F && c <= 0x9F) || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// text from its first character that is neither plain ASCII nor a
// character HTML reserves, without the unwritable code points.
QString Writable(const QString& text, qsizetype from) {
  QString out;
  out.reserve(text.size() - from);
  const qsizetype n = text.size();
  for (qsizetype i = from; i < n; ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
      if (!Unwritable(QChar::surrogateToUcs4(c, text.at(i + 1)))) {
        out.append(c);
        out.append(text.at(i + 1));
      }
      ++i;
    } else if (!c.isSurrogate() && !Unwritable(c.unicode())) {  // half a pair is no character
      out.append(c);
    }
  }
  return out;
}

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
    if (c >= 0x7F || c < 0x20 || c == '<' || c == '>' || c == '&' || c == '"') break;
    d[i] = static_cast<char>(c);
  }
  if (i == n) return;
  out.resize(start + static_cast<size_t>(i));
  for (; i < n; ++i) {
    const char16_t c = u[i];
    if (c >= 0x7F) {
      out += Writable(text, i).toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")).toStdString();
      return;
    }
    switch (c) {
      case '<': out += "&lt;"sv; break;
      case '>': out += "&gt;"sv; break;
      case '&': out += "&amp;"sv; break;
      case '"': out += "&quot;"sv; break;
      case '\n': out += "<br>"sv; break;
      default:
        if (!Unwritable(c)) out += static_cast<char>(c);
    }
  }
}

void AppendStyle(std::string& out, const FontSpec& f, long colour) {
  out += "font-size:"sv;
  out += Pt(f.size * kTwipsPerPoint);
  out += "pt"sv;
  if (f.bold) out += ";font-weight:bold"sv;
  if (f.italic) out += ";font-style:italic"sv;
  if (f.underline) out += ";text-decoration:underline"sv;
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
// The file's bytes are sent on to the disk as they are written, a stretch
// at a time, so that the sync of the finished file (taken before it is put
// in place) has little left to wait for: a long report's export would
// otherwise hold the window still at its very end.
struct HtmlSink {
  static constexpr size_t kChunk = 1 << 17;
  static constexpr qint64 kSendOn = 8 << 20;
  std::string out;
  QFileDevice* file = nullptr;
  bool ok = true;
  qint64 written = 0, sent = 0;
  HtmlSink() { out.reserve(kChunk + 4096); }
  void Spill(bool last = false) {
    if (!file || (!last && out.size() < kChunk)) return;
    if (ok && file->write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size()))
      ok = false;
    written += static_cast<qint64>(out.size());
    out.clear();
#ifdef __linux__
    if (ok && written - sent >= kSendOn && file->handle() >= 0) {
      ::sync_file_range(file->handle(), sent, written - sent, SYNC_FILE_RANGE_WRITE);
      sent = written;
    }
#endif
  }
};

// The tags of the table being written, kept from one page's part of it to
// the next: [header][bold] per column, and the row's opening tag.
struct TableTags {
  int id = -1;
  std::vector<double> widths;
  std::vector<char> aligns;
  std::vector<std::string> open[2][2];
  long shadeOf[2] = {-2, -2};
  std::string rowOpen[2];
};
constexpr size_t kAhead = 8;

void Html(const Document& document, HtmlSink& sink, const Progress& progress) {
  std::string& out = sink.out;
  out += (
      "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Report</title>\n"
      "<style>body{font-family:Arial,'Liberation Sans',sans-serif}p{margin:0}"
      "table{border-collapse:collapse;margin:4pt 0}td,th{border:1px solid #808080;padding:1pt 3pt;"
      "vertical-align:top;font-weight:normal}"
      "span.pic{display:inline-block;background-repeat:no-repeat;background-size:100% 100%}");
  // A picture drawn many times (the separator under every record) is
  // written once, as a style rule that each use names; pictures share one
  // rule when their content is equal, however often they were read. The
  // store knows them without reading a page back; their bytes may be many,
  // and the window turns between them.
  QHash<QByteArray, int> pictureClass;
  for (const Picture& picture : document.pages.Pictures(0, document.pages.size())) {
    if (progress) progress(0, 0);
    const int n = static_cast<int>(pictureClass.size()) + 1;
    pictureClass.insert(picture.Key(), n);
    out += "span.p" + std::to_string(n) + "{background-image:url(data:" + picture.MimeType().toStdString() +
           ";base64,";
    out += picture.Encoded().toBase64().toStdString();
    out += ")}"sv;
    sink.Spill();
  }
  out += "</style>\n</head>\n<body>\n"sv;
  TableTags tags;
  int openTable = 0;
  auto closeTable = [&] {
    if (openTable != 0) out += "</table>\n"sv;
    openTable = 0;
  };
  long long pagesDone = 0;
  for (const Page& page : document.pages) {
    if (progress) progress(++pagesDone, document.PageCount());
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
          out += "<table>\n"sv;
          openTable = t.id;
        }
        // The opening tags of each column's cells, made once per table
        // while its columns stay the same from page to page.
        if (tags.id != t.id || tags.widths != t.columnWidths || tags.aligns != t.columnAlign) {
          tags.id = t.id;
          tags.widths = t.columnWidths;
          tags.aligns = t.columnAlign;
          for (int h = 0; h < 2; ++h)
            for (int bold = 0; bold < 2; ++bold) {
              auto& list = tags.open[h][bold];
              list.clear();
              for (size_t c = 0; c < t.columnWidths.size(); ++c) {
                std::string tag = h ? "<th style=\"text-align:" : "<td style=\"text-align:";
                tag += AlignName(c < t.columnAlign.size() ? t.columnAlign[c] : '<');
                tag += ";width:" + Pt(t.columnWidths[c]) + "pt";
                if (bold) tag += ";font-weight:bold";
                tag += "\">";
                list.push_back(tag);
              }
            }
        }
        if (tags.shadeOf[0] != t.bodyShade) {
          tags.shadeOf[0] = t.bodyShade;
          tags.rowOpen[0] = t.bodyShade >= 0 ? "<tr style=\"background:" + Name(ColorFromBgr(t.bodyShade)) + "\">" : "<tr>";
        }
        if (tags.shadeOf[1] != t.headerShade) {
          tags.shadeOf[1] = t.headerShade;
          tags.rowOpen[1] = t.headerShade >= 0 ? "<tr style=\"background:" + Name(ColorFromBgr(t.headerShade)) + "\">"
                                               : "<tr>";
        }
        const size_t rowCount = t.rows.size();
        for (size_t i = 0; i < rowCount; ++i) {
          // A long table lies in memory well beyond the cache: the cell
          // texts a few rows on are asked for while this row is written.
          if (i + kAhead < rowCount)
            for (const auto& c : t.rows[i + kAhead].cells) __builtin_prefetch(c.text.constData());
          const auto& r = t.rows[i];
          if (r.header && continued) continue;
          const int h = r.header ? 1 : 0;
          out += tags.rowOpen[h];
          const auto& open = tags.open[h];
          const std::string_view close = h ? "</th>"sv : "</td>"sv;
          for (size_t c = 0; c < r.cells.size(); ++c) {
            const auto& cellTags = open[r.cells[c].bold ? 1 : 0];
            if (c < cellTags.size()) out += cellTags[c];
            else out += h ? "<th>"sv : "<td>"sv;
            AppendEscaped(out, r.cells[c].text);
            out += close;
          }
          out += "</tr>\n"sv;
          sink.Spill();
        }
        continue;
      }
      closeTable();
      if (b.kind == 2) {
        const PictureItem& p = *b.picture;
        out += "<p style=\"margin-left:" + Pt(std::max(0.0, p.x - margin)) + "pt\"><span class=\"pic p" +
               std::to_string(pictureClass.value(p.picture.Key())) + "\" role=\"img\" style=\"width:" +
               std::to_string(std::lround(p.width / 15)) + "px;height:" + std::to_string(std::lround(p.height / 15)) +
               "px\"></span></p>\n";
        sink.Spill();
        continue;
      }
      std::vector<const TextItem*> runs = b.texts;
      std::stable_sort(runs.begin(), runs.end(), [](const TextItem* a, const TextItem* c) { return a->x < c->x; });
      out += "<p style=\"margin-left:" + Pt(std::max(0.0, runs.front()->x - margin)) + "pt\">";
      double end = runs.front()->x;
      for (const TextItem* t : runs) {
        if (t->x > end + 200) out += "&emsp;"sv;
        out += "<span style=\""sv;
        AppendStyle(out, t->font, t->color);
        out += "\">"sv;
        AppendEscaped(out, t->text);
        out += "</span>"sv;
        end = t->x + t->width;
      }
      out += "</p>\n"sv;
      sink.Spill();
    }
  }
  closeTable();
  out += "</body>\n</html>\n"sv;
  sink.Spill(true);
}
}  // namespace

QString DocumentHtml(const Document& document) {
  HtmlSink sink;
  Html(document, sink, {});
  return QString::fromStdString(sink.out);
}

bool WriteHtml(const Document& document, const std::string& file, std::string* error, const Progress& progress) {
  // Written beside the file and put in its place only when complete: a
  // failure part-way (a full disk) leaves the file that was there.
  QSaveFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    if (error) *error = UnwrittenExportMessage("HTML", file, out.errorString());
    return false;
  }
  HtmlSink sink;
  sink.file = &out;
  Html(document, sink, progress);
  if (!sink.ok || !out.commit()) {
    if (error) *error = UnwrittenExportMessage("HTML", file, out.errorString());
    return false;
  }
  return true;
}

}  // namespace print
