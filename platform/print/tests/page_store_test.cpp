// A long report keeps the pages not on show in a temporary file: what is
// drawn, saved and exported from it must be what a report held in memory
// gives, and the file must go with the report.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/print/DocumentFile.h"
#include "platform/print/Printer.h"

namespace {

using print::PageStore;
using print::Printer;

// Pages held before any goes to a file, for the length of one test.
struct Threshold {
  explicit Threshold(size_t pages) { PageStore::SetThreshold(pages); }
  ~Threshold() {
    PageStore::SetThreshold(512);
    PageStore::SetFolder({});
  }
};

print::Picture Swatch(int i) {
  QImage image(24, 16, QImage::Format_RGB32);
  image.fill(QColor::fromHsv((i * 47) % 360, 200, 200));
  return print::Picture(image);
}

// A report of many pages with every kind of item: text runs, a table that
// breaks over pages with its header repeated, pictures (a few contents
// drawn many times), lines, boxes, and a page header stamped at the end.
// The header may be changed once the first pages stand (endHeader).
void LayOut(Printer& p, const std::string& header = "Collection||Page %d", const char* endHeader = nullptr) {
  p.SetHeader(header);
  p.StartDoc();
  for (int i = 0; i < 1000; ++i) {
    p.Text("Entry " + std::to_string(i) + " with a line of notes that goes on for a while");
    p.DrawPicture(Swatch(i % 5), 1440, p.CurrentY());
    p.DrawLine(1440, p.CurrentY(), 9000, p.CurrentY());
    p.DrawRectangle(7000, p.CurrentY(), 8000, p.CurrentY() + 200);
    p.Text("\n");
    if (i % 250 == 0) {
      std::vector<std::vector<std::string>> rows;
      for (int r = 0; r < 70; ++r) rows.push_back({"Row " + std::to_string(r), "X", ""});
      p.AddTable("<1.8in|^.75in|^.75in", "Name|CD|LP", rows, 0xC0C0FF, 0xE0E0E0);
    }
  }
  if (endHeader) p.SetHeader(endHeader);
  p.EndDoc();
}

std::vector<QByteArray> Drawn(const print::Document& doc) {
  std::vector<QByteArray> pages;
  for (int i = 1; i <= doc.PageCount(); ++i) {
    const QImage image = print::RenderPageImage(doc, i, 48);
    pages.emplace_back(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
  }
  return pages;
}

QByteArray Saved(const print::Document& doc, const QString& file) {
  std::string error;
  EXPECT_TRUE(print::SaveDocument(doc, file.toStdString(), 0, 0, &error)) << error;
  QFile f(file);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return f.readAll();
}

TEST(PageStore, ALongReportThroughTheFileIsTheReportHeldInMemoryAndItsFileGoesWithIt) {
  QTemporaryDir dir;
  Printer inMemory;
  LayOut(inMemory);
  ASSERT_GT(inMemory.PageCount(), 16);
  EXPECT_TRUE(inMemory.document().pages.FileName().isEmpty());

  Threshold tiny(2);
  QString file;
  {
    Printer paged;
    LayOut(paged);
    const print::Document& doc = paged.document();
    file = doc.pages.FileName();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(doc.pages.Error().empty());
    ASSERT_EQ(paged.PageCount(), inMemory.PageCount());
    // Read in any order, as the preview and a page range do.
    for (int i : {paged.PageCount() - 1, 0, paged.PageCount() / 2, 1, paged.PageCount() - 2})
      EXPECT_EQ(doc.pages[static_cast<size_t>(i)], inMemory.document().pages[static_cast<size_t>(i)]) << "page " << i + 1;
    for (size_t i = 0; i < doc.pages.size(); ++i) EXPECT_EQ(doc.pages[i], inMemory.document().pages[i]) << "page " << i + 1;
    EXPECT_EQ(Drawn(doc), Drawn(inMemory.document()));
    EXPECT_EQ(paged.Html(), inMemory.Html());
    EXPECT_EQ(Saved(doc, dir.filePath("paged.vsr")), Saved(inMemory.document(), dir.filePath("memory.vsr")));

    // A document loaded back is paged the same way and holds the same.
    ASSERT_TRUE(paged.LoadDoc(dir.filePath("memory.vsr").toStdString(), true));
    ASSERT_EQ(paged.PageCount(), 2 * inMemory.PageCount());
    const size_t n = static_cast<size_t>(inMemory.PageCount());
    EXPECT_EQ(doc.pages[n + 3], inMemory.document().pages[3]);
    EXPECT_EQ(doc.pages[2 * n - 1], inMemory.document().pages[n - 1]);

    // The next report starts a new file; the last one's goes.
    paged.KillDoc();
    EXPECT_FALSE(QFile::exists(file));
    LayOut(paged);
    file = paged.document().pages.FileName();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(QFile::exists(file));
  }
  EXPECT_FALSE(QFile::exists(file));
}

// The bytes the store's pages take in their own encoding.
qint64 EncodedSize(const print::Document& doc) {
  qint64 bytes = 0;
  for (const print::Page& page : doc.pages) bytes += print::EncodePage(page, {}).size();
  return bytes;
}

TEST(PageStore, EachPageGoesToTheFileOnceWhetherLaidOutOrLoaded) {
  QTemporaryDir dir;
  Printer inMemory;
  LayOut(inMemory);
  const QString saved = dir.filePath("memory.vsr");
  Saved(inMemory.document(), saved);

  Threshold tiny(2);
  Printer paged;
  LayOut(paged);
  const QString laid = paged.document().pages.FileName();
  ASSERT_FALSE(laid.isEmpty());
  EXPECT_LE(QFileInfo(laid).size(), EncodedSize(paged.document())) << "headers stamped after the pages went";

  // A loaded document's pages are read back from the document itself.
  ASSERT_TRUE(paged.LoadDoc(saved.toStdString())) << paged.LastError();
  const print::Document& doc = paged.document();
  EXPECT_TRUE(doc.pages.FileName().isEmpty());
  EXPECT_FALSE(QFile::exists(laid));
  ASSERT_EQ(paged.PageCount(), inMemory.PageCount());
  for (size_t i = 0; i < doc.pages.size(); ++i) EXPECT_EQ(doc.pages[i], inMemory.document().pages[i]) << "page " << i + 1;
  EXPECT_EQ(paged.Html(), inMemory.Html());
  EXPECT_EQ(Saved(doc, dir.filePath("again.vsr")), Saved(inMemory.document(), dir.filePath("memory2.vsr")));

  // Saved over with other pages, by this program or another, the document
  // shown stays the one loaded.
  Printer other;
  LayOut(other, "Other||%d");
  Saved(other.document(), saved);
  EXPECT_TRUE(paged.SaveDoc(saved.toStdString(), 3, 5)) << paged.LastError();
  for (size_t i = doc.pages.size(); i-- > 0;) EXPECT_EQ(doc.pages[i], inMemory.document().pages[i]) << "page " << i + 1;
  EXPECT_TRUE(doc.pages.Error().empty()) << doc.pages.Error();
}

TEST(PageStore, ALoadedDocumentCutBehindTheProgramsBackShowsBlankPagesAndIsNamed) {
  QTemporaryDir dir;
  Printer inMemory;
  LayOut(inMemory);
  const QString saved = dir.filePath("cut.vsr");
  Saved(inMemory.document(), saved);

  Threshold tiny(2);
  Printer paged;
  ASSERT_TRUE(paged.LoadDoc(saved.toStdString())) << paged.LastError();
  const print::Document& doc = paged.document();
  {
    QFile f(saved);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
  }
  EXPECT_EQ(doc.pages[0], inMemory.document().pages[0]);
  EXPECT_EQ(doc.pages[doc.pages.size() - 8], print::Page{});
  EXPECT_EQ(doc.pages[doc.pages.size() - 1], inMemory.document().pages.back()) << "held in memory";
  const std::string& error = doc.pages.Error();
  EXPECT_NE(error.find(QDir::toNativeSeparators(saved).toStdString()), std::string::npos) << error;
}

// The header in force when the document ends is the one of every page,
// however many pages were given an earlier one meanwhile.
TEST(PageStore, AHeaderChangedOrTakenAwayLateIsTheOneEveryPageShows) {
  Printer plain, titled;
  LayOut(plain, "");
  LayOut(titled, "Final|%d|");
  Threshold tiny(2);
  for (const bool paged : {false, true}) {
    if (!paged) PageStore::SetThreshold(100000);
    Printer changed, removed, restored;
    LayOut(changed, "Draft||Page %d", "Final|%d|");
    LayOut(removed, "Draft||Page %d", "");
    LayOut(restored, "", "Final|%d|");
    if (!paged) PageStore::SetThreshold(2);
    ASSERT_EQ(changed.PageCount(), titled.PageCount());
    EXPECT_EQ(changed.document().pages.FileName().isEmpty(), !paged);
    for (size_t i = 0; i < titled.document().pages.size(); ++i) {
      EXPECT_EQ(changed.document().pages[i], titled.document().pages[i]) << "page " << i + 1 << " paged " << paged;
      EXPECT_EQ(removed.document().pages[i], plain.document().pages[i]) << "page " << i + 1 << " paged " << paged;
      EXPECT_EQ(restored.document().pages[i], titled.document().pages[i]) << "page " << i + 1 << " paged " << paged;
    }
  }
}

TEST(PageStore, AFolderThatCannotTakeThePagesIsNamedAndTheReportStandsWhole) {
  Printer inMemory;
  LayOut(inMemory);

  Threshold tiny(2);
  QTemporaryDir dir;
  const QString folder = dir.filePath("gone");  // never made
  PageStore::SetFolder(folder);
  Printer paged;
  LayOut(paged);
  const std::string& error = paged.document().pages.Error();
  EXPECT_NE(error.find(folder.toStdString()), std::string::npos) << error;
  ASSERT_EQ(paged.PageCount(), inMemory.PageCount());
  EXPECT_EQ(Drawn(paged.document()), Drawn(inMemory.document()));
}

}  // namespace
