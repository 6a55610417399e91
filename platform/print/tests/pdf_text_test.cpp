// The text a PDF reader gets back from the layer's PDF files, as pdftotext
// reads it untouched: every script a collector types, at any number of
// distinct characters, comes back as typed.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "platform/print/Printer.h"
#include "platform/print/tests/OutsideTools.h"

namespace {

using print::Printer;
using printtest::PdfText;
using printtest::RunTool;

QString Pdf(Printer& p, const QTemporaryDir& dir, const char* name) {
  const QString file = dir.filePath(name);
  EXPECT_TRUE(p.WritePdf(file.toStdString())) << p.LastError();
  return file;
}

// The file is sound and carries every font it uses.
void ExpectSoundWithEmbeddedFonts(const QString& pdf) {
  const auto fonts = RunTool("pdffonts", {pdf});
  ASSERT_TRUE(fonts) << "pdffonts (poppler-utils) could not be run";
  for (const QString& font : fonts->split('\n', Qt::SkipEmptyParts).mid(2))
    EXPECT_TRUE(font.contains(" yes ")) << font.toStdString();
  EXPECT_TRUE(RunTool("qpdf", {"--check", pdf})) << "qpdf --check failed on " << pdf.toStdString();
}

// More distinct ideographs than the text maps of a font's first hundred
// ranges hold, in an order that makes a range of every few of them: all
// come back, on every page.
TEST(PdfTextLayer, TwentyThousandDistinctIdeographsAllReadBack) {
  std::vector<char32_t> ideographs;
  for (char32_t c = 0x4E00; c < 0x4E00 + 20000; ++c) ideographs.push_back(c);
  // Runs of twelve in a row, the runs shuffled.
  std::vector<size_t> runs(ideographs.size() / 12 + 1);
  for (size_t i = 0; i < runs.size(); ++i) runs[i] = i * 12;
  std::shuffle(runs.begin(), runs.end(), std::mt19937(34));
  std::vector<QString> lines;
  QString line;
  for (size_t start : runs) {
    for (size_t i = start; i < std::min(start + 12, ideographs.size()); ++i) line += QString::fromUcs4(&ideographs[i], 1);
    if (line.size() >= 36) {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.isEmpty()) lines.push_back(line);

  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  p.SetFontSize(9);
  for (const QString& l : lines) p.Text(l.toStdString() + "\n");
  p.EndDoc();
  ASSERT_GT(p.PageCount(), 5);
  const QString pdf = Pdf(p, dir, "han.pdf");
  const auto text = PdfText(pdf);
  ASSERT_TRUE(text) << "pdftotext (poppler-utils) could not be run";
  const QStringList read = text->split(QRegularExpression("[\n\f]"), Qt::SkipEmptyParts);
  const std::set<QString> got(read.begin(), read.end());
  int missing = 0;
  for (const QString& l : lines)
    if (!got.count(l) && ++missing <= 3) ADD_FAILURE() << "not read back: " << l.toStdString();
  EXPECT_EQ(missing, 0) << "of " << lines.size() << " lines";
  ExpectSoundWithEmbeddedFonts(pdf);
}

// Characters beyond U+FFFF, glyphs the fonts share between characters,
// and characters no font on the machine has: each reads back as itself,
// or as U+FFFD where a placeholder stands for it.
TEST(PdfTextLayer, RareCharactersReadBackAsThemselvesOrAsAPlaceholder) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  const QString rare = QString::fromUtf8("𠮷野家 \u3034\u3035 ");
  QString unknown;
  for (char16_t c = 0x4DB6; c <= 0x4DBF; ++c) unknown += QChar(c);
  p.Text((rare + unknown + " end\n").toStdString());
  p.EndDoc();
  const auto text = PdfText(Pdf(p, dir, "rare.pdf"));
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains(QString::fromUtf8("𠮷野家"))) << text->toStdString();
  EXPECT_TRUE(text->contains(QString::fromUtf8("\u3034\u3035"))) << text->toStdString();
  const qsizetype at = text->indexOf(QString::fromUtf8("\u3035 "));
  ASSERT_GE(at, 0);
  const QString after = text->mid(at + 2, unknown.size());
  for (qsizetype i = 0; i < unknown.size(); ++i)
    EXPECT_TRUE(after[i] == unknown[i] || after[i] == QChar(0xFFFD)) << "U+" << std::hex << static_cast<int>(unknown[i].unicode());
  EXPECT_TRUE(text->mid(at + 2 + unknown.size()).startsWith(" end")) << text->toStdString();
}

// Right-to-left titles read back as the letters typed, in the order
// typed, each word whole, on a line of their own and in a pair.
TEST(PdfTextLayer, ArabicAndHebrewReadBackAsTyped) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  p.Text("Artist: ");
  p.Text("فيروز\n");
  p.Text("Titles: ");
  p.Text("אני ואתה");
  p.Text(",          עטור מצחך\n");
  p.Text("أنا وأنت");
  p.Text(",          ضوء القمر\n");
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "rtl.pdf");
  for (const QStringList& options : {QStringList{}, QStringList{"-layout"}}) {
    const auto text = RunTool("pdftotext", options + QStringList{"-enc", "UTF-8", pdf, "-"});
    ASSERT_TRUE(text);
    for (const char* word : {"فيروز", "אני ואתה", "עטור מצחך", "أنا وأنت", "ضوء القمر"})
      EXPECT_TRUE(text->contains(QString::fromUtf8(word))) << word << " not in:\n" << text->toStdString();
  }
  ExpectSoundWithEmbeddedFonts(pdf);
}

// The scripts of the world's music, each drawn with a font that has it
// (embedded, never a box) and read back as typed.
TEST(PdfTextLayer, EveryScriptPrintsWithAFontAndReadsBack) {
  const std::vector<std::pair<const char*, const char*>> words{
      {"เพลงไทย", "Thai"},          {"สวัสดีครับ", "Thai"},          {"हिन्दी संगीत", "Devanagari"},
      {"বাংলা গান", "Bengali"},      {"தமிழ் இசை", "Tamil"},          {"Μουσική Ελλάδας", nullptr},
      {"Русская музыка", nullptr}, {"Հայկական երաժշտություն", "Armenian"}, {"ქართული მუსიკა", "Georgian"},
      {"የኢትዮጵያ ሙዚቃ", "Ethiopic"}};
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (size_t i = 0; i < words.size(); ++i) {
    p.SetFontBold(i % 3 == 2);
    p.Text(std::string(words[i].first) + "\n");
  }
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "scripts.pdf");
  const auto text = PdfText(pdf);
  ASSERT_TRUE(text);
  const QStringList read = text->split(QRegularExpression("[\n\f]"), Qt::SkipEmptyParts);
  for (const auto& [word, script] : words)
    EXPECT_TRUE(read.contains(QString::fromUtf8(word))) << word << " not in:\n" << text->toStdString();
  const auto fonts = RunTool("pdffonts", {pdf});
  ASSERT_TRUE(fonts);
  for (const auto& [word, script] : words)
    if (script) {
      EXPECT_TRUE(fonts->contains(QString("NotoSans") + script)) << script << " in:\n" << fonts->toStdString();
    }
  ExpectSoundWithEmbeddedFonts(pdf);
}

}  // namespace

namespace {

// Putting the text behind the glyphs of a long report keeps the progress
// hook turning after the last page is drawn, so the window stays painted.
TEST(PdfTextLayer, ALongExportKeepsTellingItIsBusyAfterTheLastPage) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 400; ++i) {
    if (i) p.NewPage();
    p.Text("Page text 頁\n");
  }
  p.EndDoc();
  std::vector<std::pair<long long, long long>> calls;
  p.SetProgress([&](long long done, long long total) { calls.emplace_back(done, total); });
  Pdf(p, dir, "long.pdf");
  const auto last = std::find(calls.begin(), calls.end(), std::make_pair(400LL, 400LL));
  ASSERT_NE(last, calls.end());
  EXPECT_GE(std::count_if(last + 1, calls.end(), [](const auto& c) { return c.second == 0; }), 1);
}

// The images each page of a PDF places, as pdfimages lists them.
std::map<int, int> ImagesPerPage(const QString& pdf) {
  std::map<int, int> count;
  const auto list = RunTool("pdfimages", {"-list", pdf});
  EXPECT_TRUE(list) << "pdfimages (poppler-utils) could not be run";
  if (!list) return count;
  for (const QString& line : list->split('\n', Qt::SkipEmptyParts).mid(2)) {
    const QStringList fields = line.split(' ', Qt::SkipEmptyParts);
    if (fields.size() > 2 && fields[2] == "image") ++count[fields[0].toInt()];
  }
  return count;
}

// Marking a run of text for its copy takes nothing else off the page: the
// picture or the filled box drawn last before the page's first text (the
// separator above a report's last record) stays in the file.
TEST(PdfTextLayer, WhatIsDrawnJustBeforeTheTextStaysOnThePage) {
  QImage rule(624, 4, QImage::Format_RGB32);
  rule.fill(QColor(0x40, 0x40, 0x80));
  rule.setDotsPerMeterX(3780);
  rule.setDotsPerMeterY(3780);
  const print::Picture picture(rule);
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 6; ++i) p.DrawPicture(picture, 1440, 1440 + i * 1500);
  p.Text("Record text\n");
  p.NewPage();
  p.SetPenColor(-1);
  p.SetBrushColor(0x0000FF);  // red
  p.DrawRectangle(1440, 3000, 4320, 4440);
  p.Text("Boxed text\n");
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "drawn.pdf");
  ExpectSoundWithEmbeddedFonts(pdf);

  EXPECT_EQ(ImagesPerPage(pdf), (std::map<int, int>{{1, 6}}));
  ASSERT_TRUE(RunTool("pdftoppm", {"-r", "30", "-f", "2", "-l", "2", "-singlefile", "-png", pdf,
                                   dir.filePath("page2")}))
      << "pdftoppm (poppler-utils) could not be run";
  const QImage page2(dir.filePath("page2.png"));
  ASSERT_FALSE(page2.isNull());
  // The middle of the box: 2880, 3720 twips at 30 dots per inch.
  const QColor middle = page2.pixelColor(60, 77);
  EXPECT_GT(middle.red(), 200);
  EXPECT_LT(middle.green(), 60);
  // The runs still read back as typed.
  const auto text = PdfText(pdf);
  ASSERT_TRUE(text);
  EXPECT_TRUE(text->contains("Record text"));
  EXPECT_TRUE(text->contains("Boxed text"));
}

}  // namespace
