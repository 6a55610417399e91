// What the page shows of text typed in less common ways: letters typed
// with a combining accent, and emoji. Each is checked on the preview's
// painter and in the PDF as a reader draws it (pdftoppm), with the text a
// reader gets back from the PDF (pdftotext).
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include "platform/print/Printer.h"
#include "platform/print/tests/OutsideTools.h"

namespace {

using print::Printer;
using printtest::PdfText;
using printtest::RunTool;

constexpr int kDpi = 150;

// A document of one page per text, each printed at the same place in the
// same font, regular and bold.
Printer& PagesOf(Printer& p, const std::vector<std::string>& texts) {
  p.StartDoc();
  p.SetFontSize(14);
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) p.NewPage();
    p.Text(texts[i] + "\n");
    p.SetFontBold(true);
    p.Text(texts[i] + "\n");
    p.SetFontBold(false);
  }
  p.EndDoc();
  return p;
}

// The pages of a PDF as a reader draws them: pdftoppm's PNG of each.
std::vector<QImage> PdfPages(const QTemporaryDir& dir, const std::string& pdf, int count) {
  const QString prefix = dir.filePath("page");
  const auto done =
      RunTool("pdftoppm", {"-r", QString::number(kDpi), "-png", QString::fromStdString(pdf), prefix});
  std::vector<QImage> pages;
  if (!done) return pages;
  for (int i = 1; i <= count; ++i) pages.emplace_back(prefix + QStringLiteral("-%1.png").arg(i));
  return pages;
}

// The pages of a PDF's text, untouched.
QStringList PdfPageTexts(const std::string& pdf) {
  const auto text = PdfText(QString::fromStdString(pdf));
  return text ? text->split('\f') : QStringList();
}

TEST(DrawnText, AccentsTypedApartPrintAsTheAccentedLetters) {
  // Page 1 typed composed, page 2 the same words with combining accents.
  const std::string composed = "Caf\u00e9 Am\u00e9lie \u00c5ngstr\u00f6m na\u00efve Z\u00fcrich \u1e3fusic";
  const std::string decomposed =
      "Cafe\u0301 Ame\u0301lie A\u030angstro\u0308m nai\u0308ve Zu\u0308rich m\u0301usic";
  Printer p;
  PagesOf(p, {composed, decomposed});

  // The preview's painter.
  EXPECT_TRUE(print::RenderPageImage(p.document(), 1, kDpi) == print::RenderPageImage(p.document(), 2, kDpi))
      << "the accents typed apart print otherwise in the preview";

  // The PDF: drawn alike, and each page reads back as it was typed.
  QTemporaryDir dir;
  const std::string pdf = dir.filePath("accents.pdf").toStdString();
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();
  const std::vector<QImage> pages = PdfPages(dir, pdf, 2);
  ASSERT_EQ(pages.size(), 2u) << "pdftoppm (poppler-utils, installed by scripts/setup.sh) could not be run";
  ASSERT_FALSE(pages[0].isNull());
  EXPECT_TRUE(pages[0] == pages[1]) << "the accents typed apart print otherwise in the PDF";
  const QStringList texts = PdfPageTexts(pdf);
  ASSERT_GE(texts.size(), 2);
  EXPECT_TRUE(texts[0].contains(QString::fromStdString(composed))) << texts[0].toStdString();
  EXPECT_TRUE(texts[1].contains(QString::fromStdString(decomposed))) << texts[1].toStdString();
}

// A letter typed composed in one title and as letter and accent in
// another, earlier in the file, prints as the same glyph. The readers
// that take the text from the glyphs read the composed title as typed,
// with no space after its accented letters, whichever title comes first;
// pdftotext reads both as typed.
TEST(DrawnText, ComposedTitlesReadAsTypedBesideTitlesWithAccentsTypedApart) {
  const std::string apart = "Dvor\u030ca\u0301k Ame\u0301lie Zu\u0308rich";
  const std::string composed = "Dvo\u0159\u00e1k Am\u00e9lie Z\u00fcrich";
  for (const bool apartFirst : {true, false}) {
    SCOPED_TRACE(apartFirst ? "typed apart first" : "typed composed first");
    Printer p;
    PagesOf(p, apartFirst ? std::vector{apart, composed} : std::vector{composed, apart});
    QTemporaryDir dir;
    const QString pdf = dir.filePath("titles.pdf");
    ASSERT_TRUE(p.WritePdf(pdf.toStdString())) << p.LastError();
    const int composedPage = apartFirst ? 1 : 0;
    std::vector<std::pair<const char*, std::optional<QString>>> readers{{"pdftotext", PdfText(pdf)},
                                                                        {"mutool", printtest::MutoolText(pdf)}};
#ifdef TVN_PDFJS_DIR
    readers.emplace_back("pdf.js", printtest::PdfJsText(pdf));
#endif
    for (const auto& [reader, text] : readers) {
      ASSERT_TRUE(text) << reader << " could not be run";
      const QStringList pages = text->split('\f');
      ASSERT_GT(pages.size(), composedPage) << reader;
      // Regular and bold, each a line of its own.
      EXPECT_EQ(pages[composedPage].count(QString::fromStdString(composed)), 2)
          << reader << " read\n" << pages[composedPage].toStdString();
    }
    const QStringList poppler = PdfPageTexts(pdf.toStdString());
    ASSERT_GE(poppler.size(), 2);
    const QString& apartPage = poppler[1 - composedPage];
    EXPECT_EQ(apartPage.count(QString::fromStdString(apart)), 2) << apartPage.toStdString();
  }
}

// The box around the dark pixels of an image (empty when there are none),
// and of those above a given row.
QRect Ink(const QImage& image, int aboveRow = INT_MAX) {
  QRect box;
  for (int y = 0; y < std::min(image.height(), aboveRow); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

// A letter with an accent that has no composed character ("q" with an
// acute), typed as letter and combining accent, prints with the accent
// over its letter, not beside it, in the preview and in the PDF, and
// reads back as typed.
TEST(DrawnText, AnAccentWithoutAComposedLetterStandsOverItsLetter) {
  const std::vector<std::pair<std::string, std::string>> pairs{
      {"q", "q\u0301"}, {"x", "x\u0308"}, {"w", "w\u0323\u0303"}, {"\u017e", "\u017e\u0327"}};
  Printer p;
  p.StartDoc();
  p.SetFontSize(28);
  std::vector<std::string> texts;
  for (const auto& [bare, accented] : pairs) texts.insert(texts.end(), {bare, accented});
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) p.NewPage();
    p.Text(texts[i] + " and more\n");
  }
  p.EndDoc();
  QTemporaryDir dir;
  const std::string pdf = dir.filePath("over.pdf").toStdString();
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();
  const std::vector<QImage> pdfPages = PdfPages(dir, pdf, static_cast<int>(texts.size()));
  ASSERT_EQ(pdfPages.size(), texts.size()) << "pdftoppm could not be run";
  const QStringList read = PdfPageTexts(pdf);
  const auto mutool = printtest::MutoolText(QString::fromStdString(pdf));
  ASSERT_TRUE(mutool) << "mutool could not be run";
  for (size_t k = 0; k < pairs.size(); ++k) {
    const int bare = static_cast<int>(2 * k), accented = bare + 1;
    for (const bool preview : {true, false}) {
      const QImage plain = preview ? print::RenderPageImage(p.document(), bare + 1, kDpi) : pdfPages[bare];
      const QImage marked = preview ? print::RenderPageImage(p.document(), accented + 1, kDpi) : pdfPages[accented];
      // The letter: the ink left of the word after it, on the bare page.
      const QRect line = Ink(plain);
      ASSERT_FALSE(line.isEmpty());
      QImage letterOnly = plain.copy(0, 0, line.left() + line.height(), plain.height());
      const QRect letter = Ink(letterOnly);
      const QRect accent = Ink(marked.copy(0, 0, letter.right() + line.height(), marked.height()), letter.top() - 1);
      const QRect below = Ink(marked.copy(0, letter.bottom() + 2, letter.right() + line.height(),
                                          marked.height() - letter.bottom() - 2));
      const QRect mark = accent.isEmpty() ? below.translated(0, letter.bottom() + 2) : accent;
      ASSERT_FALSE(mark.isEmpty()) << texts[accented] << (preview ? " preview" : " PDF") << ": no accent";
      EXPECT_GE(mark.left(), letter.left() - 2) << texts[accented] << (preview ? " preview" : " PDF");
      EXPECT_LE(mark.right(), letter.right() + 2)
          << texts[accented] << (preview ? " preview" : " PDF") << ": the accent stands beside its letter";
    }
    const QString typed = QString::fromStdString(texts[accented] + " and more");
    ASSERT_GT(read.size(), accented);
    EXPECT_TRUE(read[accented].contains(typed)) << read[accented].toStdString();
    // MuPDF reads a gap where a mark under the middle of a wide letter ends
    // its run, and puts a space there: the letters it reads are the ones
    // typed all the same.
    if (k < 2) {
      EXPECT_TRUE(mutool->contains(typed)) << mutool->toStdString();
    } else {
      EXPECT_TRUE(mutool->contains(QString::fromStdString(texts[accented]))) << mutool->toStdString();
    }
  }
}

TEST(DrawnText, EmojiPrintWithAFaceThatHasThem) {
  // Page 1: emoji the symbol face has. Page 2: one no face on the machine
  // has (newer than the fonts). Page 3: a character no face has either.
  const std::string drawable = "\U0001F600 \U0001F3B5 \u2764 \U0001F4BF";
  const std::string newer = "\U0001FAE8";
  const std::string missing = "\U0001FAE9";
  Printer p;
  PagesOf(p, {drawable, newer, missing});

  QTemporaryDir dir;
  const std::string pdf = dir.filePath("emoji.pdf").toStdString();
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();
  const std::vector<QImage> pdfPages = PdfPages(dir, pdf, 3);
  ASSERT_EQ(pdfPages.size(), 3u) << "pdftoppm (poppler-utils) could not be run";
  std::vector<QImage> previewPages;
  for (int i = 1; i <= 3; ++i) previewPages.push_back(print::RenderPageImage(p.document(), i, kDpi));

  // Four boxes, as the drawable page would print were its emoji not drawn.
  Printer boxes;
  PagesOf(boxes, {missing + " " + missing + " " + missing + " " + missing});
  QTemporaryDir boxDir;
  const std::string boxesPdf = boxDir.filePath("boxes.pdf").toStdString();
  ASSERT_TRUE(boxes.WritePdf(boxesPdf));
  const std::vector<QImage> pdfBoxes = PdfPages(boxDir, boxesPdf, 1);
  ASSERT_EQ(pdfBoxes.size(), 1u);

  // A missing glyph prints as the same box wherever it stands: drawn emoji
  // are no such boxes, one that cannot be drawn is.
  const auto check = [](const std::vector<QImage>& pages, const QImage& fourBoxes, const char* where) {
    ASSERT_FALSE(pages[0].isNull()) << where;
    EXPECT_FALSE(pages[0] == fourBoxes) << "the emoji print as boxes in the " << where;
    EXPECT_TRUE(pages[1] == pages[2]) << "an undrawable emoji is not the missing glyph's box in the " << where;
  };
  check(previewPages, print::RenderPageImage(boxes.document(), 1, kDpi), "preview");
  check(pdfPages, pdfBoxes[0], "PDF");

  // Behind the drawn ones and the box alike, the text is the emoji typed.
  const QStringList texts = PdfPageTexts(pdf);
  ASSERT_GE(texts.size(), 2);
  EXPECT_TRUE(texts[0].contains(QString::fromStdString(drawable))) << texts[0].toStdString();
  EXPECT_TRUE(texts[1].contains(QString::fromStdString(newer))) << texts[1].toStdString();
}

}  // namespace
