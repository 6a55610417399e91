// Report documents, HTML export and PDF: files written and read back.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtEndian>
#include <QTemporaryDir>

#include <bit>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <limits>
#include <random>
#include <thread>
#include <tuple>

#include "platform/print/DocumentFile.h"
#include "platform/print/Printer.h"

namespace {

using print::Printer;

QString BodyText(const print::Document& doc, int page) {
  QString all;
  for (const auto& t : doc.pages[static_cast<size_t>(page - 1)].texts)
    if (!t.header && t.table < 0) all += t.text + "/";
  return all;
}

// A document of `pages` pages, each saying which page it is, with a table
// and a picture on the first.
void Fill(Printer& p, int pages, const std::string& name = "Doc") {
  p.SetHeader("The Tavolin||Page %d");
  p.StartDoc();
  QImage pic(20, 10, QImage::Format_RGB32);
  pic.fill(Qt::blue);
  p.DrawPicture(pic, 1440, 720);
  p.AddTable("<1in|^1in", "Name|Mark", "Rock|X;", 0xC0C0FF);
  for (int i = 1; i <= pages; ++i) {
    if (i > 1) p.NewPage();
    p.SetFontBold(i % 2 == 0);
    p.Text(name + " page " + std::to_string(i) + "\n");
  }
  p.EndDoc();
}

std::string PathIn(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

QByteArray ReadAll(const std::string& file) {
  QFile f(QString::fromStdString(file));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ReportDocuments, AllPagesRoundTrip) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 3);
  const std::string file = PathIn(dir, "report.vsr");
  ASSERT_TRUE(p.SaveDoc(file)) << p.LastError();
  Printer q;
  ASSERT_TRUE(q.LoadDoc(file)) << q.LastError();
  EXPECT_EQ(q.PageCount(), 3);
  EXPECT_EQ(q.PreviewPage(), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(q.document().pages[i], p.document().pages[i]) << "page " << i + 1;
  EXPECT_EQ(q.document().pages[0].pictures.size(), 1u);
  EXPECT_EQ(q.document().pages[0].pictures[0].picture.Image().pixelColor(0, 0), QColor(Qt::blue));
}

// Tables over several pages with cells of one line, of several lines, empty
// and repeated, in runs of changing fonts: every run and every cell comes
// back as it was written.
TEST(ReportDocuments, TablesAndFontChangesRoundTrip) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (int block = 0; block < 3; ++block) {
    p.SetFontName(block == 1 ? "times new roman" : "arial");
    p.Text("Block " + std::to_string(block) + "\n");
    p.StartTable();
    for (int r = 0; r < 120; ++r) {
      const std::string name = r % 7 == 0 ? "First line\nsecond line" : "Row " + std::to_string(r);
      const std::string mark = r % 3 == 0 ? "" : r % 3 == 1 ? "Yes" : "Row " + std::to_string(r);
      p.AddTable("<1.5in|^1in|<1in", "Name|Mark|Same", name + "|" + mark + "|Yes;", 0xC0C0FF, -1, true);
    }
    p.EndTable();
  }
  p.EndDoc();
  ASSERT_GE(p.PageCount(), 4);
  const std::string file = PathIn(dir, "tables.vsr");
  ASSERT_TRUE(p.SaveDoc(file)) << p.LastError();
  Printer q;
  ASSERT_TRUE(q.LoadDoc(file)) << q.LastError();
  ASSERT_EQ(q.PageCount(), p.PageCount());
  for (int i = 0; i < p.PageCount(); ++i) {
    const auto &a = p.document().pages[i], &b = q.document().pages[i];
    ASSERT_EQ(b.texts.size(), a.texts.size()) << "page " << i + 1;
    for (size_t k = 0; k < a.texts.size(); ++k) {
      EXPECT_EQ(b.texts[k].text, a.texts[k].text) << "page " << i + 1 << " run " << k;
      EXPECT_EQ(b.texts[k].font, a.texts[k].font) << "page " << i + 1 << " run " << k;
    }
    EXPECT_EQ(b, a) << "page " << i + 1;
  }
}

// The file is Qt's stream format, as its description promises: Qt's own
// reader gets every field of a page back, a null string told from an
// empty one, characters outside the basic plane whole.
TEST(ReportDocuments, QtsOwnStreamReadsEveryFieldOfASavedPage) {
  QTemporaryDir dir;
  print::Document doc;
  print::Page page;
  print::TextItem a;
  a.x = 1440.5;
  a.y = -3;
  a.baseline = 1e9;
  a.width = 0.1;
  a.font = {"times new roman", 9.5, true, false, true};
  a.color = 0xC0C0FF;
  a.text = QString::fromUtf8("Caf\xc3\xa9 \xf0\x9f\x8e\xb5 <&>");
  print::TextItem b = a;
  b.text = QString();
  b.header = true;
  b.table = 0;
  print::TextItem c = a;
  c.text = QStringLiteral("");
  c.font.name = "arial";
  page.texts = {a, b, c};
  page.lines.push_back({1, 2, 3, 4, 0xFF, 15});
  page.boxes.push_back({5, 6, 7, 8, -1, 0xFFFFFF, true, false});
  print::TableItem t;
  t.id = 7;
  t.columnWidths = {1440, 720};
  t.columnAlign = {'<', '>'};
  t.headerShade = 65535;
  t.rows.push_back({100, 200, true, {{QStringLiteral("Name"), true}, {QString(), false}}});
  page.tables.push_back(t);
  doc.pages.push_back(page);
  const std::string file = PathIn(dir, "fields.vsr");
  std::string error;
  ASSERT_TRUE(print::SaveDocument(doc, file, 0, 0, &error)) << error;

  QFile f(QString::fromStdString(file));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QDataStream s(&f);
  s.setVersion(QDataStream::Qt_6_0);
  quint32 magic = 0, pictures = 9, pages = 0, n = 0;
  quint16 version = 0;
  s >> magic >> version >> pictures >> pages;
  EXPECT_EQ(magic, 0x54565244u);
  EXPECT_EQ(version, 2);
  EXPECT_EQ(pictures, 0u);
  ASSERT_EQ(pages, 1u);
  double w = 0, h = 0;
  s >> w >> h >> n;
  EXPECT_EQ(w, print::kLetterWidth);
  EXPECT_EQ(h, print::kLetterHeight);
  ASSERT_EQ(n, 3u);
  for (const print::TextItem& want : page.texts) {
    print::TextItem got;
    QString font, text;
    quint8 flags = 0;
    qint32 color = 0, table = 0;
    bool header = false;
    s >> got.x >> got.y >> got.baseline >> got.width >> font >> got.font.size >> flags >> color >> text >> header >>
        table;
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.baseline, want.baseline);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(font.toStdString(), want.font.name);
    EXPECT_EQ(got.font.size, want.font.size);
    EXPECT_EQ(flags, (want.font.bold ? 1 : 0) | (want.font.italic ? 2 : 0) | (want.font.underline ? 4 : 0));
    EXPECT_EQ(color, want.color);
    EXPECT_EQ(text, want.text);
    EXPECT_EQ(text.isNull(), want.text.isNull()) << text.toStdString();
    EXPECT_EQ(header, want.header);
    EXPECT_EQ(table, want.table);
  }
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, width = 0;
  qint32 pen = 0, brush = 0;
  bool filled = false, outlined = true;
  s >> n;
  EXPECT_EQ(n, 0u) << "pictures";
  s >> n >> x1 >> y1 >> x2 >> y2 >> pen >> width;
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(std::make_tuple(x1, y1, x2, y2, pen, width), std::make_tuple(1.0, 2.0, 3.0, 4.0, 0xFF, 15.0));
  s >> n >> x1 >> y1 >> x2 >> y2 >> pen >> brush >> filled >> outlined;
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(std::make_tuple(x1, y1, x2, y2, pen, brush, filled, outlined),
            std::make_tuple(5.0, 6.0, 7.0, 8.0, -1, 0xFFFFFF, true, false));
  qint32 id = 0, headerShade = 0, bodyShade = 0;
  quint32 cols = 0, rows = 0, cells = 0;
  s >> n >> id >> x1 >> y1 >> headerShade >> bodyShade >> cols;
  EXPECT_EQ(std::make_tuple(n, id, headerShade, bodyShade, cols), std::make_tuple(1u, 7, 65535, -1, 2u));
  for (size_t k = 0; k < 2; ++k) {
    qint8 align = 0;
    s >> width >> align;
    EXPECT_EQ(width, t.columnWidths[k]);
    EXPECT_EQ(align, t.columnAlign[k]);
  }
  bool rowHeader = false;
  s >> rows >> y1 >> y2 >> rowHeader >> cells;
  EXPECT_EQ(std::make_tuple(rows, y1, y2, rowHeader, cells), std::make_tuple(1u, 100.0, 200.0, true, 2u));
  for (const auto& want : t.rows[0].cells) {
    QString text;
    bool bold = false;
    s >> text >> bold;
    EXPECT_EQ(text, want.text);
    EXPECT_EQ(text.isNull(), want.text.isNull());
    EXPECT_EQ(bold, want.bold);
  }
  EXPECT_EQ(s.status(), QDataStream::Ok);
  EXPECT_TRUE(s.atEnd());
}

TEST(ReportDocuments, ARangeOrOnePageIsSavedAndAppendedDocumentsFollow) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 4);
  const std::string range = PathIn(dir, "range.vsr");
  const std::string one = PathIn(dir, "one.vsr");
  ASSERT_TRUE(p.SaveDoc(range, 2, 3));
  ASSERT_TRUE(p.SaveDoc(one, 4, 4));
  EXPECT_FALSE(p.SaveDoc(PathIn(dir, "bad.vsr"), 3, 9));
  EXPECT_FALSE(p.SaveDoc(PathIn(dir, "bad.vsr"), 3, 2));
  EXPECT_FALSE(QFile::exists(dir.filePath("bad.vsr")));

  Printer q;
  ASSERT_TRUE(q.LoadDoc(range));
  ASSERT_EQ(q.PageCount(), 2);
  EXPECT_EQ(BodyText(q.document(), 1), "Doc page 2/");
  EXPECT_EQ(BodyText(q.document(), 2), "Doc page 3/");
  q.SetPreviewPage(2);
  ASSERT_TRUE(q.LoadDoc(one, true));
  ASSERT_EQ(q.PageCount(), 3);
  EXPECT_EQ(BodyText(q.document(), 3), "Doc page 4/");
  EXPECT_EQ(q.PreviewPage(), 2);  // appending keeps the page shown
  ASSERT_TRUE(q.LoadDoc(one));    // as new: replaces
  EXPECT_EQ(q.PageCount(), 1);
  EXPECT_EQ(q.PreviewPage(), 1);
}

TEST(ReportDocuments, AFileThatIsNoReportDocumentIsRefusedAndTheDocumentStays) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 2);
  const std::string good = PathIn(dir, "good.vsr");
  ASSERT_TRUE(p.SaveDoc(good));

  const std::string foreign = PathIn(dir, "foreign.vsr");
  {
    QFile f(QString::fromStdString(foreign));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("VSPrinter document of another program, not ours at all");
  }
  EXPECT_FALSE(p.LoadDoc(foreign));
  EXPECT_EQ(p.LastError(), "The file \"" + foreign + "\" is not a report document.");
  EXPECT_EQ(p.PageCount(), 2);
  EXPECT_EQ(BodyText(p.document(), 1), "Doc page 1/");

  // Cut short.
  const QByteArray bytes = ReadAll(good);
  const std::string cut = PathIn(dir, "cut.vsr");
  {
    QFile f(QString::fromStdString(cut));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.left(bytes.size() * 2 / 3));
  }
  EXPECT_FALSE(p.LoadDoc(cut, true));
  EXPECT_NE(p.LastError().find("is damaged or incomplete"), std::string::npos);
  EXPECT_EQ(p.PageCount(), 2);

  // From a newer version.
  QByteArray newer = bytes;
  newer[5] = static_cast<char>(99);
  const std::string future = PathIn(dir, "future.vsr");
  {
    QFile f(QString::fromStdString(future));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(newer);
  }
  EXPECT_FALSE(p.LoadDoc(future));
  EXPECT_NE(p.LastError().find("newer version"), std::string::npos);

  // Missing, and an empty file.
  EXPECT_FALSE(p.LoadDoc(PathIn(dir, "missing.vsr")));
  EXPECT_NE(p.LastError().find("missing.vsr"), std::string::npos);
  const std::string empty = PathIn(dir, "empty.vsr");
  QFile(QString::fromStdString(empty)).open(QIODevice::WriteOnly);
  EXPECT_FALSE(p.LoadDoc(empty));
  EXPECT_EQ(p.PageCount(), 2);
}

TEST(ReportDocuments, AnAbsurdCountIsRefusedWithoutReadingOn) {
  QTemporaryDir dir;
  const std::string file = PathIn(dir, "huge.vsr");
  {
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QDataStream s(&f);
    s.setVersion(QDataStream::Qt_6_0);
    s << quint32(0x54565244) << quint16(1) << quint32(0) << quint32(0x7FFFFFFF);
  }
  print::Document doc;
  std::string error;
  EXPECT_FALSE(print::LoadDocument(file, &doc, &error));
  EXPECT_NE(error.find("damaged"), std::string::npos);
}

// The bytes of a PNG whose header gives w x h; its pixel data is not real.
QByteArray PngHeaderOnly(quint32 w, quint32 h, int dataBytes = 16) {
  QByteArray png("\x89PNG\r\n\x1A\n", 8);
  auto chunk = [&](const char* type, const QByteArray& data) {
    QByteArray c;
    QDataStream cs(&c, QIODevice::WriteOnly);
    cs << quint32(data.size());
    c += type;
    c += data;
    c += QByteArray(4, '\0');  // the checksum is never looked at before the size
    png += c;
  };
  QByteArray ihdr;
  QDataStream hs(&ihdr, QIODevice::WriteOnly);
  hs << w << h << quint8(8) << quint8(6) << quint8(0) << quint8(0) << quint8(0);
  chunk("IHDR", ihdr);
  chunk("IDAT", QByteArray(dataBytes, 'x'));
  chunk("IEND", QByteArray());
  return png;
}

// A document as an earlier version wrote it (pictures as QImages, PNG),
// or as this one does, with one picture drawn on one page at (1440, 1440).
QByteArray OldDocument(const QByteArray& png) {
  QByteArray bytes;
  QDataStream s(&bytes, QIODevice::WriteOnly);
  s.setVersion(QDataStream::Qt_6_0);
  s << quint32(0x54565244) << quint16(1) << quint32(1) << qint32(1);
  s.writeRawData(png.constData(), static_cast<int>(png.size()));
  s << quint32(1) << print::kLetterWidth << print::kLetterHeight << quint32(0);
  s << quint32(1) << quint32(0) << 1440.0 << 1440.0 << 1440.0 << 1440.0;
  s << quint32(0) << quint32(0) << quint32(0);
  return bytes;
}
QByteArray NewDocument(quint32 w, quint32 h, const QByteArray& stored) {
  QByteArray bytes;
  QDataStream s(&bytes, QIODevice::WriteOnly);
  s.setVersion(QDataStream::Qt_6_0);
  s << quint32(0x54565244) << quint16(2) << quint32(1) << w << h << qint32(3780) << qint32(3780);
  const QByteArray sum = QCryptographicHash::hash(stored, QCryptographicHash::Sha1);
  s.writeRawData(sum.constData(), 20);
  s << quint32(stored.size());
  s.writeRawData(stored.constData(), static_cast<int>(stored.size()));
  s << quint32(1) << print::kLetterWidth << print::kLetterHeight << quint32(0);
  s << quint32(1) << quint32(0) << 1440.0 << 1440.0 << 1440.0 << 1440.0;
  s << quint32(0) << quint32(0) << quint32(0);
  return bytes;
}

std::string WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  const std::string file = PathIn(dir, name);
  QFile f(QString::fromStdString(file));
  EXPECT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
  return file;
}

QByteArray Png(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return png;
}

TEST(ReportDocuments, APictureBombOrAPicturePastWhatIsDecodedIsRefusedAsTooLarge) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 2);
  // Twelve 5600 x 5600 pictures in 1.1 MB: each 90 KB picture would take
  // 125 MB decoded. Refused from its header, named, in either layout.
  QByteArray bomb;
  {
    QDataStream s(&bomb, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << quint32(0x54565244) << quint16(1) << quint32(12);
    for (int i = 0; i < 12; ++i) {
      s << qint32(1);
      const QByteArray png = PngHeaderOnly(5600, 5600, 90000);
      s.writeRawData(png.constData(), static_cast<int>(png.size()));
    }
    s << quint32(0);
  }
  ASSERT_GT(bomb.size(), 1000000);
  for (const auto& [name, bytes] :
       {std::pair{"bomb.vsr", bomb}, std::pair{"bomb2.vsr", NewDocument(5600, 5600, PngHeaderOnly(5600, 5600, 90000))}}) {
    const std::string file = WriteFile(dir, name, bytes);
    EXPECT_FALSE(p.LoadDoc(file));
    EXPECT_EQ(p.LastError(),
              "The report document \"" + file + "\" holds a picture too large to show (5600 by 5600 pixels).");
    EXPECT_EQ(p.PageCount(), 2);
  }
  // One picture past what the reader decodes, however many bytes it has,
  // is told as too large, not as damage; a count of pixels past 64 bits
  // is no different.
  for (quint32 side : {20000u, 0xFFFFFFFFu}) {
    const std::string file = WriteFile(dir, "large.vsr", OldDocument(PngHeaderOnly(side, side, 200)));
    EXPECT_FALSE(p.LoadDoc(file));
    EXPECT_NE(p.LastError().find("holds a picture too large to show (" + std::to_string(side) + " by"),
              std::string::npos)
        << p.LastError();
  }
  // An ordinary picture whose bytes were damaged is damage.
  QImage small(40, 30, QImage::Format_RGB32);
  small.fill(Qt::darkCyan);
  QByteArray damaged = Png(small);
  damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x55);
  for (const auto& bytes : {OldDocument(damaged), NewDocument(40, 30, Png(small)).replace(Png(small), damaged)}) {
    const std::string file = WriteFile(dir, "damaged.vsr", bytes);
    EXPECT_FALSE(p.LoadDoc(file));
    EXPECT_NE(p.LastError().find("damaged or incomplete"), std::string::npos) << p.LastError();
  }
  EXPECT_EQ(p.PageCount(), 2);
}

TEST(ReportDocuments, ADocumentOfAnEarlierVersionLoadsWithItsPicture) {
  QTemporaryDir dir;
  QImage cover(60, 40, QImage::Format_RGB32);
  cover.fill(Qt::white);
  for (int x = 0; x < 60; ++x) cover.setPixelColor(x, x * 40 / 60, QColor(200, x * 4, 30));
  const std::string file = WriteFile(dir, "old.vsr", OldDocument(Png(cover)));
  Printer p;
  ASSERT_TRUE(p.LoadDoc(file)) << p.LastError();
  ASSERT_EQ(p.PageCount(), 1);
  ASSERT_EQ(p.document().pages[0].pictures.size(), 1u);
  const print::Picture& loaded = p.document().pages[0].pictures[0].picture;
  EXPECT_EQ(loaded.size(), cover.size());
  EXPECT_EQ(loaded.Image().convertToFormat(QImage::Format_RGB32), cover);
  // Saved again, it is the same document.
  ASSERT_TRUE(p.SaveDoc(PathIn(dir, "again.vsr")));
  Printer q;
  ASSERT_TRUE(q.LoadDoc(PathIn(dir, "again.vsr"))) << q.LastError();
  EXPECT_EQ(q.document().pages[0], p.document().pages[0]);
}

// Covers made apart, each its own picture, as a report of records reads
// them from their files.
print::Picture Cover(int i, const char* format) {
  QImage image(500, 500, QImage::Format_RGB32);
  image.fill(QColor::fromHsv(i * 37 % 360, 120 + i % 100, 160));
  QPainter painter(&image);
  painter.setPen(QPen(Qt::black, 9));
  painter.drawEllipse(QRect(50 + i % 200, 60, 200, 300 - i % 150));
  painter.drawText(QRect(0, 400, 500, 90), Qt::AlignCenter, QString::number(i));
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return print::Picture::FromBytes(bytes);
}

TEST(ReportDocuments, ALongIllustratedReportLoadsAgainWithTheSamePagesInABoundedCache) {
  // 300 records with covers of their own: 75 million pixels decoded, past
  // what a document could once hold in all. The cache holds a few.
  const qint64 limit = print::PictureCacheLimit();
  print::SetPictureCacheLimit(6 * 1024 * 1024);
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 300; ++i) {
    if (i > 0 && i % 6 == 0) p.NewPage();
    const print::Picture cover = Cover(i, i % 2 ? "JPEG" : "PNG");
    ASSERT_FALSE(cover.isNull());
    p.SetCurrentY(1440 + (i % 6) * 2000);
    p.Text("Record " + std::to_string(i) + "\n");
    p.DrawPicture(cover, 1440 + (i % 3) * 2880, p.CurrentY(), 1440, 1440);
  }
  p.EndDoc();
  const std::string file = PathIn(dir, "covers.vsr");
  ASSERT_TRUE(p.SaveDoc(file)) << p.LastError();
  Printer q;
  ASSERT_TRUE(q.LoadDoc(file)) << q.LastError();
  ASSERT_EQ(q.PageCount(), p.PageCount());
  for (int page = 1; page <= p.PageCount(); ++page) {
    EXPECT_EQ(q.document().pages[page - 1], p.document().pages[page - 1]) << "page " << page;
    EXPECT_EQ(print::RenderPageImage(q.document(), page, 40), print::RenderPageImage(p.document(), page, 40))
        << "page " << page;
    EXPECT_LE(print::PictureCacheBytes(), 6 * 1024 * 1024);
  }
  print::SetPictureCacheLimit(limit);
}

TEST(ReportDocuments, APictureIsStoredOnceByContentHoweverOftenItWasRead) {
  QTemporaryDir dir;
  QImage pic(400, 400, QImage::Format_RGB32);
  pic.fill(Qt::green);
  const QByteArray png = Png(pic);
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 30; ++i) {
    if (i) p.NewPage();
    // Read afresh for every page, and drawn as an image made apart too.
    p.DrawPicture(print::Picture::FromBytes(QByteArray(png.constData(), png.size())), 1440, 1440);
    p.DrawPicture(pic.copy(), 1440, 7200);
  }
  p.EndDoc();
  const std::string file = PathIn(dir, "shared.vsr");
  ASSERT_TRUE(p.SaveDoc(file));
  const QByteArray saved = ReadAll(file);
  EXPECT_EQ(qFromBigEndian<quint32>(saved.constData() + 6), 1u);
  EXPECT_LT(saved.size(), 20000);
  Printer q;
  ASSERT_TRUE(q.LoadDoc(file)) << q.LastError();
  EXPECT_EQ(q.PageCount(), 30);
}

TEST(ReportDocuments, SavingWhereNothingCanBeWrittenFailsNamingTheFile) {
  Printer p;
  Fill(p, 1);
  const std::string file = "/nonexistent-folder/report.vsr";
  EXPECT_FALSE(p.SaveDoc(file));
  EXPECT_NE(p.LastError().find(file), std::string::npos);
  EXPECT_FALSE(p.WritePdf("/nonexistent-folder/rpt.pdf"));
  EXPECT_NE(p.LastError().find("rpt.pdf"), std::string::npos);
}

TEST(HtmlExport, WrittenAtEndDocOnlyWhenExportFileIsSet) {
  QTemporaryDir dir;
  const std::string html = PathIn(dir, "rpt.htm");
  Printer p;
  Fill(p, 2);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(html)));
  EXPECT_TRUE(p.LastExportOk());

  p.SetExportFormat(print::kExportHtml);
  p.SetExportFile(html);
  p.StartDoc();
  p.Text("Artist <One> & co\n");
  p.StartTable();
  p.AddTable("<1.8in|^.75in", "Category|CD\nMini Disc", "Rock|X;", 0xC0C0FF);
  p.AddTable("<1.8in|^.75in", "Category|CD\nMini Disc", "Jazz|;", 0xC0C0FF);
  p.TableCell(print::kTableCellFontBold, std::nullopt, 1, true);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(html)));
  p.EndDoc();
  EXPECT_TRUE(p.LastExportOk());
  const QString text = QString::fromUtf8(ReadAll(html));
  EXPECT_TRUE(text.contains("Artist &lt;One&gt; &amp; co"));
  EXPECT_EQ(text.count("<table>"), 1);
  EXPECT_TRUE(text.contains("CD<br>Mini Disc"));
  EXPECT_TRUE(text.contains("background:#ffc0c0"));
  EXPECT_TRUE(text.contains("font-weight:bold\">Rock</td>"));
  EXPECT_LT(text.indexOf("Rock"), text.indexOf("Jazz"));
  EXPECT_FALSE(text.contains("Page 1"));  // the page header belongs to the printed page

  // Clearing ExportFile leaves an earlier export alone.
  p.SetExportFile("");
  p.StartDoc();
  p.EndDoc();
  EXPECT_TRUE(QString::fromUtf8(ReadAll(html)).contains("Rock"));
}

TEST(HtmlExport, ATableOverSeveralPagesIsOneTableWithItsHeaderOnce) {
  Printer p;
  p.StartDoc();
  p.StartTable();
  for (int i = 0; i < 200; ++i) p.AddTable("<2in|<2in", "Name|Value", "n" + std::to_string(i) + "|v;", 65535, -1, true);
  p.EndTable();
  p.EndDoc();
  ASSERT_GT(p.PageCount(), 2);
  const QString html = p.Html();
  EXPECT_EQ(html.count("<table>"), 1);
  EXPECT_EQ(html.count(">Name</th>"), 1);
  EXPECT_EQ(html.count("<tr"), 201);
}

TEST(HtmlExport, AFailedWriteIsReportedNamingTheFile) {
  Printer p;
  p.SetExportFile("/nonexistent-folder/rpt.htm");
  p.StartDoc();
  p.Text("x");
  p.EndDoc();
  EXPECT_FALSE(p.LastExportOk());
  EXPECT_EQ(p.LastError(),
            "The HTML file \"/nonexistent-folder/rpt.htm\" cannot be written (No such file or directory); the file "
            "there before is left as it was.");
  EXPECT_EQ(p.PageCount(), 1);  // the document itself is done
}

TEST(HtmlExport, ControlCharactersNeverReachTheFile) {
  Printer p;
  p.StartDoc();
  p.Text(std::string("Bell\x07 and\x01 esc\x1B\ttab\r\n"));
  p.Text(std::string("Caf\xC3\xA9\x02 \x1F<b>\n"));  // past the first non-ASCII character too
  p.AddTable("<1in|<1in", "Name|Note", std::vector<std::vector<std::string>>{{"A\x0B", "B\x0C\x1F"}});
  p.EndDoc();
  const QString html = p.Html();
  for (char16_t c = 1; c < 0x20; ++c) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    EXPECT_FALSE(html.contains(QChar(c))) << "control character " << int(c);
  }
  EXPECT_TRUE(html.contains("Bell and esc\ttab"));
  EXPECT_TRUE(html.contains(QString::fromUtf8("Café &lt;b&gt;")));
  EXPECT_TRUE(html.contains(">A</td>"));
}

TEST(HtmlExport, APictureDrawnManyTimesIsEncodedOnce) {
  // One picture object drawn under every record, and a second one equal to
  // it made apart: one encoding; a different picture gets its own.
  QImage rule(300, 4, QImage::Format_RGB32);
  rule.fill(Qt::gray);
  QImage same = rule.copy();
  QImage other(10, 10, QImage::Format_RGB32);
  other.fill(Qt::red);
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 500; ++i) {
    p.Text("Record " + std::to_string(i) + "\n");
    p.DrawPicture(i == 250 ? same : rule, 1440, p.CurrentY());
    p.SetCurrentY(p.CurrentY() + 125);
  }
  p.DrawPicture(other, 1440, p.CurrentY());
  p.EndDoc();
  ASSERT_GT(p.PageCount(), 2);
  const QString html = p.Html();
  EXPECT_EQ(html.count("data:image/png;base64,"), 2);
  EXPECT_EQ(html.count("class=\"pic p1\""), 500);
  EXPECT_EQ(html.count("class=\"pic p2\""), 1);
  EXPECT_LT(html.size(), 150000);
}

int PdfPageCount(const QByteArray& pdf) {
  int n = 0;
  for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
    if (pdf.mid(at, 12) != "/Type /Pages") ++n;
  return n;
}

// The first page's media box, as "x y w h".
std::string MediaBox(const QByteArray& pdf) {
  const qsizetype at = pdf.indexOf("/MediaBox [");
  if (at < 0) return "";
  const qsizetype start = at + 11;
  return pdf.mid(start, pdf.indexOf(']', start) - start).trimmed().toStdString();
}

TEST(PdfOutput, APdfHasThePagesOfTheDocument) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 3);
  const std::string pdf = PathIn(dir, "rpt.pdf");
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();
  const QByteArray bytes = ReadAll(pdf);
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(PdfPageCount(bytes), 3);
  // Letter at 72 points an inch.
  EXPECT_EQ(MediaBox(bytes), "0 0 612.000000 792.000000");

  Printer wide;
  wide.SetOrientation(print::kLandscape);
  Fill(wide, 1);
  ASSERT_TRUE(wide.WritePdf(PathIn(dir, "wide.pdf")));
  EXPECT_EQ(MediaBox(ReadAll(PathIn(dir, "wide.pdf"))), "0 0 792.000000 612.000000");
}

TEST(LongWork, LayoutAndEveryFileOutputTellHowFarTheyAre) {
  QTemporaryDir dir;
  Printer p;
  std::vector<std::pair<long long, long long>> calls;
  p.SetProgress([&](long long done, long long total) { calls.emplace_back(done, total); });
  Fill(p, 3);
  // Laying out: the pages so far, the end not known.
  EXPECT_EQ(calls, (std::vector<std::pair<long long, long long>>{{1, 0}, {2, 0}, {3, 0}}));
  auto pagesOf = [&](auto&& work) {
    calls.clear();
    EXPECT_TRUE(work());
    return calls;
  };
  const std::vector<std::pair<long long, long long>> each{{1, 3}, {2, 3}, {3, 3}};
  EXPECT_EQ(pagesOf([&] { return p.WritePdf(PathIn(dir, "r.pdf")); }), each);
  EXPECT_EQ(pagesOf([&] { return p.SaveDoc(PathIn(dir, "r.vsr")); }), each);
  EXPECT_EQ(pagesOf([&] { return p.LoadDoc(PathIn(dir, "r.vsr")); }), each);
  p.SetExportFile(PathIn(dir, "r.htm"));
  calls.clear();
  Fill(p, 3);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), std::make_pair(3LL, 3LL)), 1) << "the HTML export's last page";
  p.ReportProgress(7, 9);
  EXPECT_EQ(calls.back(), std::make_pair(7LL, 9LL));
  p.SetProgress({});
  p.ReportProgress(8, 9);  // no hook: nothing
  EXPECT_EQ(calls.back(), std::make_pair(7LL, 9LL));

  // A long document being let go, or stamped with its headers, keeps the
  // hook turning, so a busy window never stands still for the whole of it.
  // A header changed once the pages have theirs has them all stamped again.
  p.SetHeader("Draft");
  p.StartDoc();
  for (int i = 1; i < 10000; ++i) p.NewPage();
  p.SetHeader("The Tavolin||Page %d");
  p.SetProgress([&](long long done, long long total) { calls.emplace_back(done, total); });
  calls.clear();
  p.EndDoc();
  EXPECT_GE(calls.size(), 2u) << "while the headers are stamped";
  calls.clear();
  p.KillDoc();
  EXPECT_EQ(p.PageCount(), 0);
  EXPECT_GE(calls.size(), 4u) << "while the pages go";
}

TEST(PngPages, APageRendersAtTheAskedResolution) {
  Printer p;
  Fill(p, 2);
  const QImage img = print::RenderPageImage(p.document(), 2, 72);
  EXPECT_EQ(img.size(), QSize(612, 792));
  EXPECT_TRUE(print::RenderPageImage(p.document(), 3, 72).isNull());
}

// The page size stands at the start of each page: a document of pages
// without pictures has its first page's width at byte 14, its height at 22.
TEST(ReportDocuments, APageSizeNoPageCanHaveIsRefusedAsDamaged) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  p.Text("Only text\n");
  p.EndDoc();
  const std::string good = PathIn(dir, "good.vsr");
  ASSERT_TRUE(p.SaveDoc(good));
  const QByteArray bytes = ReadAll(good);
  auto withSize = [&](double width, double height) {
    QByteArray b = bytes;
    qToBigEndian(std::bit_cast<quint64>(width), reinterpret_cast<uchar*>(b.data()) + 14);
    qToBigEndian(std::bit_cast<quint64>(height), reinterpret_cast<uchar*>(b.data()) + 22);
    const std::string file = PathIn(dir, "sized.vsr");
    QFile f(QString::fromStdString(file));
    f.open(QIODevice::WriteOnly);
    f.write(b);
    return file;
  };
  {
    // The offsets are right: the sizes as written read back.
    print::Document doc;
    std::string error;
    ASSERT_TRUE(print::LoadDocument(withSize(15840, 12240), &doc, &error)) << error;
    EXPECT_EQ(doc.pages[0].width, 15840);
    EXPECT_EQ(doc.pages[0].height, 12240);
  }
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  for (auto [w, h] : std::vector<std::pair<double, double>>{
           {-3.2e307, 5e-315}, {12240, 5e-315}, {1e300, 15840}, {nan, 15840}, {12240, inf}, {0, 0}, {12240, -15840}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const std::string file = withSize(w, h);
    print::Document doc;
    std::string error;
    EXPECT_FALSE(print::LoadDocument(file, &doc, &error));
    EXPECT_EQ(error, "The report document \"" + file + "\" is damaged or incomplete.");
  }
}

// A named pipe under a document's name is not waited on: it is refused at
// once, naming it.
TEST(ReportDocuments, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
  QTemporaryDir dir;
  const std::string pipe = PathIn(dir, "pipe.vsr");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  auto load = std::async(std::launch::async, [&] {
    print::Document doc;
    std::string error;
    const bool loaded = print::LoadDocument(pipe, &doc, &error);
    return std::make_pair(loaded, error);
  });
  if (load.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
    ADD_FAILURE() << "the load waits on the pipe";
    QFile writer(QString::fromStdString(pipe));  // lets the load go on
    writer.open(QIODevice::WriteOnly);
  }
  const auto [loaded, error] = load.get();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(error, "The file \"" + pipe + "\" is not a report document: it is not a plain file.");
}

// A save killed at any moment leaves the folder as it was or with the new
// document whole under its name, never a part-written file beside it; the
// name a save killed in its last step left is removed by the next save
// there; a document written over keeps its permissions.
TEST(ReportDocuments, AKilledSaveLeavesNothingBesideTheDocument) {
  QTemporaryDir dir;
  Printer p;
  Fill(p, 4000);
  const std::string file = PathIn(dir, "report.vsr");
  ASSERT_TRUE(p.SaveDoc(file));
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const std::string left = PathIn(dir, ".report.vsr.tvn-save-123456");
  std::filesystem::copy_file(file, left);
  std::filesystem::last_write_time(left, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5));
  ASSERT_TRUE(p.SaveDoc(file));
  EXPECT_FALSE(std::filesystem::exists(left));
  std::mt19937 random(77);
  int killed = 0;
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::string error;
      for (;;) print::SaveDocument(p.document(), file, 0, 0, &error, {});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 150));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    killed += WIFSIGNALED(status);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path().toStdString()))
      names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"report.vsr"});
    Printer q;
    ASSERT_TRUE(q.LoadDoc(file)) << q.LastError();
    EXPECT_EQ(q.PageCount(), 4000);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
  }
  EXPECT_EQ(killed, 5);
}

}  // namespace
