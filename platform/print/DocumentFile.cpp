// The report-document file. Layout (QDataStream, big-endian, Qt 6.0 rules):
//   magic quint32 'TVRD', version quint16, picture count quint32, pictures
//   (QImage, PNG), page count quint32, then per page its size and its items
//   kind by kind. Pictures shared by several items are stored once.
#include "platform/print/DocumentFile.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QHash>
#include <QSaveFile>

#include <algorithm>

namespace print {

namespace {

constexpr quint32 kMagic = 0x54565244;  // "TVRD"
constexpr quint16 kVersion = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

void WriteFont(QDataStream& s, const FontSpec& f) {
  s << QString::fromStdString(f.name) << f.size
    << quint8((f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0));
}

void ReadFont(QDataStream& s, FontSpec& f) {
  QString name;
  quint8 flags = 0;
  s >> name >> f.size >> flags;
  f.name = name.toStdString();
  f.bold = flags & 1;
  f.italic = flags & 2;
  f.underline = flags & 4;
}

// Counts read from a file are checked against what is left of it, so that
// a damaged count cannot ask for an absurd allocation.
bool CountFits(QDataStream& s, quint32 count, qint64 leastBytesEach) {
  const QIODevice* dev = s.device();
  return s.status() == QDataStream::Ok && static_cast<qint64>(count) * leastBytesEach <= dev->bytesAvailable();
}

}  // namespace

bool SaveDocument(const Document& document, const std::string& file, int from, int to,
                  std::string* error) {
  const int n = document.PageCount();
  if (from == 0 && to == 0) {
    from = 1;
    to = n;
  }
  if (n > 0 && (from < 1 || to > n || from > to)) {
    if (error) *error = "The pages " + std::to_string(from) + " to " + std::to_string(to) +
                        " are not in the report; it has " + std::to_string(n) + " pages.";
    return false;
  }
  QSaveFile out(QString::fromStdString(file));
  if (!out.open(QIODevice::WriteOnly)) {
    if (error) *error = "The report document \"" + file + "\" cannot be written.";
    return false;
  }
  QDataStream s(&out);
  s.setVersion(kStreamVersion);
  s << kMagic << kVersion;

  // Each distinct picture once.
  QHash<qint64, quint32> index;
  std::vector<const QImage*> images;
  for (int p = from; p <= to && n > 0; ++p) {
    for (const auto& pic : document.pages[static_cast<size_t>(p - 1)].pictures) {
      if (!index.contains(pic.image.cacheKey())) {
        index.insert(pic.image.cacheKey(), static_cast<quint32>(images.size()));
        images.push_back(&pic.image);
      }
    }
  }
  s << quint32(images.size());
  for (const QImage* img : images) s << *img;

  const int count = n == 0 ? 0 : to - from + 1;
  s << quint32(count);
  for (int p = from; p <= to && n > 0; ++p) {
    const Page& page = document.pages[static_cast<size_t>(p - 1)];
    s << page.width << page.height;
    s << quint32(page.texts.size());
    for (const auto& t : page.texts) {
      s << t.x << t.y << t.baseline << t.width;
      WriteFont(s, t.font);
      s << qint32(t.color) << t.text << bool(t.header) << qint32(t.table);
    }
    s << quint32(page.pictures.size());
    for (const auto& pic : page.pictures) s << index.value(pic.image.cacheKey()) << pic.x << pic.y << pic.width << pic.height;
    s << quint32(page.lines.size());
    for (const auto& l : page.lines) s << l.x1 << l.y1 << l.x2 << l.y2 << qint32(l.color) << l.width;
    s << quint32(page.boxes.size());
    for (const auto& b : page.boxes)
      s << b.x << b.y << b.width << b.height << qint32(b.pen) << qint32(b.brush) << b.filled << b.outlined;
    s << quint32(page.tables.size());
    for (const auto& t : page.tables) {
      s << qint32(t.id) << t.x << t.y << qint32(t.headerShade) << qint32(t.bodyShade);
      s << quint32(t.columnWidths.size());
      for (size_t c = 0; c < t.columnWidths.size(); ++c)
        s << t.columnWidths[c] << qint8(c < t.columnAlign.size() ? t.columnAlign[c] : '<');
      s << quint32(t.rows.size());
      for (const auto& r : t.rows) {
        s << r.y << r.height << r.header << quint32(r.cells.size());
        for (const auto& c : r.cells) s << c.text << c.bold;
      }
    }
  }
  if (s.status() != QDataStream::Ok || !out.commit()) {
    if (error) *error = "The report document \"" + file + "\" cannot be written.";
    return false;
  }
  return true;
}

bool LoadDocument(const std::string& file, Document* out, std::string* error) {
  QFile f(QString::fromStdString(file));
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = "The report document \"" + file + "\" cannot be opened.";
    return false;
  }
  // Read at once: the stream then works from memory.
  QByteArray bytes = f.readAll();
  if (f.error() != QFileDevice::NoError) {
    if (error) *error = "The report document \"" + file + "\" cannot be read.";
    return false;
  }
  f.close();
  QBuffer in(&bytes);
  in.open(QIODevice::ReadOnly);
  QDataStream s(&in);
  s.setVersion(kStreamVersion);
  quint32 magic = 0;
  quint16 version = 0;
  s >> magic >> version;
  if (s.status() != QDataStream::Ok || magic != kMagic) {
    if (error) *error = "The file \"" + file + "\" is not a report document.";
    return false;
  }
  if (version > kVersion) {
    if (error) *error = "The report document \"" + file + "\" was written by a newer version of the program.";
    return false;
  }
  const std::string damaged = "The report document \"" + file + "\" is damaged or incomplete.";
  auto fail = [&] {
    if (error) *error = damaged;
    return false;
  };

  Document doc;
  quint32 imageCount = 0;
  s >> imageCount;
  if (!CountFits(s, imageCount, 4)) return fail();
  std::vector<QImage> images(imageCount);
  for (auto& img : images) s >> img;
  quint32 pageCount = 0;
  s >> pageCount;
  if (!CountFits(s, pageCount, 16)) return fail();
  doc.pages.resize(pageCount);
  for (auto& page : doc.pages) {
    s >> page.width >> page.height;
    quint32 n = 0;
    s >> n;
    if (!CountFits(s, n, 40)) return fail();
    page.texts.resize(n);
    for (auto& t : page.texts) {
      qint32 colour = 0, table = -1;
      s >> t.x >> t.y >> t.baseline >> t.width;
      ReadFont(s, t.font);
      s >> colour >> t.text >> t.header >> table;
      t.color = colour;
      t.table = table;
    }
    s >> n;
    if (!CountFits(s, n, 36)) return fail();
    page.pictures.resize(n);
    for (auto& pic : page.pictures) {
      quint32 i = 0;
      s >> i >> pic.x >> pic.y >> pic.width >> pic.height;
      if (i >= images.size()) return fail();
      pic.image = images[i];
    }
    s >> n;
    if (!CountFits(s, n, 44)) return fail();
    page.lines.resize(n);
    for (auto& l : page.lines) {
      qint32 colour = 0;
      s >> l.x1 >> l.y1 >> l.x2 >> l.y2 >> colour >> l.width;
      l.color = colour;
    }
    s >> n;
    if (!CountFits(s, n, 42)) return fail();
    page.boxes.resize(n);
    for (auto& b : page.boxes) {
      qint32 pen = 0, brush = 0;
      s >> b.x >> b.y >> b.width >> b.height >> pen >> brush >> b.filled >> b.outlined;
      b.pen = pen;
      b.brush = brush;
    }
    s >> n;
    if (!CountFits(s, n, 36)) return fail();
    page.tables.resize(n);
    for (auto& t : page.tables) {
      qint32 id = 0, hs = -1, bs = -1;
      s >> id >> t.x >> t.y >> hs >> bs;
      t.id = id;
      t.headerShade = hs;
      t.bodyShade = bs;
      quint32 cols = 0;
      s >> cols;
      if (!CountFits(s, cols, 9)) return fail();
      t.columnWidths.resize(cols);
      t.columnAlign.resize(cols);
      for (quint32 c = 0; c < cols; ++c) {
        qint8 a = '<';
        s >> t.columnWidths[c] >> a;
        t.columnAlign[c] = static_cast<char>(a);
      }
      quint32 rows = 0;
      s >> rows;
      if (!CountFits(s, rows, 21)) return fail();
      t.rows.resize(rows);
      for (auto& r : t.rows) {
        quint32 cells = 0;
        s >> r.y >> r.height >> r.header >> cells;
        if (!CountFits(s, cells, 5)) return fail();
        r.cells.resize(cells);
        for (auto& c : r.cells) s >> c.text >> c.bold;
      }
    }
    if (s.status() != QDataStream::Ok) return fail();
    for (const auto& t : page.texts)
      if (t.table >= static_cast<int>(page.tables.size())) return fail();
  }
  if (s.status() != QDataStream::Ok) return fail();
  *out = std::move(doc);
  return true;
}

}  // namespace print
