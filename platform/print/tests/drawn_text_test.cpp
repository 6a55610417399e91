// What the page shows of text typed in less common ways: letters typed
// with a combining accent, and emoji. Each is checked on the preview's
// painter and in the PDF as a reader draws it (pdftoppm), with the text a
// reader gets back from the PDF (pdftotext).
#include <gtest/gtest.h>

#include <QImage>
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
