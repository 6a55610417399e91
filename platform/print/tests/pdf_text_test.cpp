// The text a PDF reader gets back from the layer's PDF files, as pdftotext
// reads it untouched: every script a collector types, at any number of
// distinct characters, comes back as typed.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include <sys/resource.h>

#include "platform/print/Fonts.h"
#include "platform/print/PdfText.h"
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

namespace {

using printtest::MutoolText;
using printtest::PdfJsText;

// The PDF with its streams inflated and nothing else changed (qpdf).
QByteArray Inflated(const QString& pdf, const QTemporaryDir& dir) {
  const QString out = dir.filePath("inflated.pdf");
  EXPECT_TRUE(RunTool("qpdf", {"--qdf", "--normalize-content=n", "--object-streams=disable", pdf, out}))
      << "qpdf could not be run";
  QFile f(out);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<QByteArray> Streams(const QByteArray& pdf) {
  std::vector<QByteArray> streams;
  for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
    if (at > 0 && pdf[at - 1] == 'd') continue;  // "endstream"
    const qsizetype end = pdf.indexOf("endstream", at);
    if (end < 0) break;
    streams.push_back(pdf.mid(at + 7, end - at - 7));
    at = end;
  }
  return streams;
}

// Lines of text as one reader reads them; false when it cannot be run.
QStringList ReadLines(const std::optional<QString>& text) {
  return text ? text->split(QRegularExpression("[\n\f]"), Qt::SkipEmptyParts) : QStringList{};
}

// Characters no reader should give for typed text: the replacement
// character, Arabic presentation forms, controls.
bool HasStrayCharacters(const QString& text) {
  for (QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0xFFFD || (u >= 0xFB50 && u <= 0xFDFF) || (u >= 0xFE70 && u <= 0xFEFF) || u < 0x20) return true;
  }
  return false;
}

// A report with many distinct glyphs in one face, conjuncts and a
// right-to-left title (each in a span), and bold text in a face without
// bold (which Qt draws twice, the copy in an empty span of its own).
Printer& SpannedReport(Printer& p) {
  p.StartDoc();
  for (int page = 0; page < 2; ++page) {
    if (page) p.NewPage();
    QString ideographs;
    for (char16_t c = 0x5000 + page * 7; ideographs.size() < 240; c += 3) ideographs += QChar(c);
    for (qsizetype i = 0; i < ideographs.size(); i += 30) p.Text(ideographs.mid(i, 30).toStdString() + "\n");
    p.Text("क्षत्रिय राग\n");
    p.SetFontBold(true);
    p.Text("Shelf 4\n");
    p.SetFontBold(false);
    p.SetTextColor(0x0000C0);
    p.Text("Artist: ");
    p.SetTextColor(0);
    p.Text("ضوء القمر\n");
    p.SetFontBold(true);
    p.Text("Cat 𝄞 Clef\n");
    p.SetFontBold(false);
  }
  p.EndDoc();
  return p;
}

// Every /ToUnicode block holds at most the hundred entries a block may,
// the map of a font of many glyphs in several blocks; the spans and the
// saved states of every page's content nest.
TEST(PdfTextLayer, TextMapsAreInBlocksOfAHundredAndSpansNestWithSavedStates) {
  QTemporaryDir dir;
  Printer p;
  const QString pdf = Pdf(SpannedReport(p), dir, "spanned.pdf");
  ExpectSoundWithEmbeddedFonts(pdf);
  const QByteArray inflated = Inflated(pdf, dir);
  int maps = 0, manyBlocks = 0, contents = 0, spans = 0;
  const QRegularExpression blockStart("(\\d+) begin(bfchar|bfrange)\n");
  for (const QByteArray& stream : Streams(inflated)) {
    const QString text = QString::fromLatin1(stream);
    if (text.contains("begincmap")) {
      ++maps;
      int blocks = 0;
      for (auto m = blockStart.globalMatch(text); m.hasNext();) {
        const auto block = m.next();
        ++blocks;
        const int declared = block.captured(1).toInt();
        const qsizetype end = text.indexOf("endbf", block.capturedEnd());
        const int lines = static_cast<int>(text.mid(block.capturedEnd(), end - block.capturedEnd()).count('\n'));
        EXPECT_LE(declared, 100);
        EXPECT_EQ(lines, declared) << "a block declares other than it holds";
      }
      if (blocks > 1) ++manyBlocks;
      continue;
    }
    if (!text.contains(" Tj")) continue;
    ++contents;
    std::vector<QString> open;  // "q", or a marked content's operator
    for (const QString& token : text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts)) {
      if (token == "q" || token == "BDC" || token == "BMC") {
        open.push_back(token == "q" ? "q" : "BDC");
        if (token == "BDC") ++spans;
      } else if (token == "Q" || token == "EMC") {
        ASSERT_FALSE(open.empty()) << token.toStdString() << " closes nothing";
        ASSERT_EQ(open.back(), token == "Q" ? "q" : "BDC") << token.toStdString() << " closes across another";
        open.pop_back();
      }
    }
    EXPECT_TRUE(open.empty());
  }
  EXPECT_GT(maps, 2);
  EXPECT_GE(manyBlocks, 1);
  EXPECT_EQ(contents, 2);
  EXPECT_GE(spans, 4);
}

// Each glyph's text is the characters it was shaped from, for the readers
// that do not read spans: letters typed with combining accents as typed,
// Arabic letters as the letters typed (not their
// presentation forms), conjuncts with all their letters, characters
// beyond U+FFFF as themselves, spaces as spaces.
TEST(PdfTextLayer, ReadersOfGlyphsAloneGetTheCharactersTyped) {
  const QStringList exact{QString::fromUtf8("فيروز"), QString::fromUtf8("𠮷野家"), QString::fromUtf8("Café Amélie 1975"),
                          QString::fromUtf8("ქართული მუსიკა"), QString::fromUtf8("한국 음악"),
                          QString::fromUtf8("Dvor\u030Ca\u0301k Bjo\u0308rk"),
                          QString::fromUtf8("Clef \U0001D158\U0001D165\U0001D16E")};
  const QStringList letters{QString::fromUtf8("क्षत्रिय"), QString::fromUtf8("ক্ষিতিশ"), QString::fromUtf8("சங்கீதம்")};
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (const QString& s : exact + letters) p.Text(s.toStdString() + "\n");
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "glyphs.pdf");
#ifdef TVN_PDFJS_DIR
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{
      {"pdftotext", PdfText(pdf)}, {"mutool", MutoolText(pdf)}, {"pdf.js", PdfJsText(pdf)}};
#else
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{{"pdftotext", PdfText(pdf)},
                                                                            {"mutool", MutoolText(pdf)}};
#endif
  for (const auto& [reader, text] : readers) {
    ASSERT_TRUE(text) << reader << " could not be run";
    const QStringList lines = ReadLines(text);
    for (const QString& s : exact) {
      // pdf.js puts a space of its own after some accented letters of the
      // Latin face, typed composed or not ("Dvořá k"): its letters only.
      const bool spaced = QString(reader) == "pdf.js" && s.startsWith("Dvor");
      const QString want = spaced ? QString(s).remove(' ') : s;
      EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                              [&](const QString& l) { return (spaced ? QString(l).remove(' ') : l).contains(want); }))
          << reader << ": " << s.toStdString() << " not in\n" << text->toStdString();
    }
    // Every letter of the scripts whose order a reader rebuilds, in
    // whatever order and on whatever lines it rebuilds them.
    QString rest = *text;
    for (const QString& s : letters)
      for (QChar c : s) {
        const qsizetype at = rest.indexOf(c);
        EXPECT_GE(at, 0) << reader << ": a letter of " << s.toStdString() << " missing in\n" << text->toStdString();
        if (at >= 0) rest.remove(at, 1);
      }
    EXPECT_FALSE(HasStrayCharacters(QString(*text).remove('\n').remove('\f'))) << reader << ":\n" << text->toStdString();
  }
  // Ghostscript reads the space of a face that draws a tab with the same
  // glyph as a space.
  const auto gs = RunTool("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=txtwrite", "-sOutputFile=-", pdf});
  ASSERT_TRUE(gs) << "ghostscript could not be run";
  EXPECT_TRUE(gs->contains(QString::fromUtf8("Café Amélie"))) << gs->toStdString();
}

// Bold text in a face that has no bold (Qt draws it twice, a hair apart)
// reads back once, as typed, with the rest of its line, in every reader,
// and still prints bold: darker than the same text not bold.
TEST(PdfTextLayer, BoldTextInAFaceWithoutBoldReadsBackAsTyped) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  p.SetFontBold(true);
  p.Text("Cat 𝄞 Clef and more\n");
  p.Text("क्षत्रिय 𝄞 राग\n");
  p.SetTextColor(0x0000C0);
  p.Text("Red 𝄞𝄞 bold\n");
  p.NewPage();
  p.SetTextColor(0);
  p.Text("𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞\n");
  p.NewPage();
  p.SetFontBold(false);
  p.Text("𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞\n");
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "bold.pdf");
  ExpectSoundWithEmbeddedFonts(pdf);
#ifdef TVN_PDFJS_DIR
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{
      {"pdftotext", PdfText(pdf)}, {"mutool", MutoolText(pdf)}, {"pdf.js", PdfJsText(pdf)}};
#else
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{{"pdftotext", PdfText(pdf)},
                                                                            {"mutool", MutoolText(pdf)}};
#endif
  for (const auto& [reader, text] : readers) {
    ASSERT_TRUE(text) << reader << " could not be run";
    const QStringList lines = ReadLines(text);
    for (const char* typed : {"Cat 𝄞 Clef and more", "Red 𝄞𝄞 bold", "𝄞𝄞𝄞𝄞𝄞𝄞𝄞𝄞"})
      EXPECT_TRUE(lines.contains(QString::fromUtf8(typed))) << reader << ": " << typed << " not in\n" << text->toStdString();
    EXPECT_EQ(text->count(QString::fromUtf8("𝄞")), 1 + 1 + 2 + 8 + 8) << reader << ":\n" << text->toStdString();
  }
  EXPECT_TRUE(ReadLines(PdfText(pdf)).contains(QString::fromUtf8("क्षत्रिय 𝄞 राग")));
  // The bold symbols take more ink than the plain ones.
  auto ink = [&](int page) {
    const QString png = dir.filePath(QStringLiteral("ink%1").arg(page));
    EXPECT_TRUE(RunTool("pdftoppm", {"-r", "150", "-gray", "-f", QString::number(page), "-l", QString::number(page),
                                     "-singlefile", "-png", pdf, png}));
    const QImage image(png + ".png");
    qint64 dark = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) dark += image.pixelColor(x, y).value() < 128;
    return dark;
  };
  const qint64 bold = ink(2), plain = ink(3);
  EXPECT_GT(plain, 0);
  EXPECT_GT(bold, plain + plain / 10) << "bold " << bold << ", plain " << plain;
}

}  // namespace

namespace {

// A one-page PDF as Qt's writer writes it.
QByteArray QtPdf() {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    QPainter painter(&writer);
    painter.drawText(QPointF(100, 100), "Some text");
  }
  return buffer.data();
}

// The copy reads only what the file holds: a table that puts an object
// gigabytes past the end is refused before room is taken for it (in a
// process allowed far less), and so is one that puts it past the table.
TEST(PdfTextLayerDeathTest, ADamagedTableIsRefusedWithoutReadingPastTheFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const QByteArray pdf = QtPdf();
  const qsizetype xref = pdf.lastIndexOf("\nxref\n") + 1;
  ASSERT_GT(xref, 0);
  const qsizetype entries = pdf.indexOf('\n', xref + 5) + 1;
  for (const QByteArray& offset : {QByteArray("8000000000"), QByteArray::number(xref + 2).rightJustified(10, '0')}) {
    QByteArray damaged = pdf;
    damaged.replace(entries + 2 * 20, 10, offset);  // the second object's entry
    const auto copyIsRefused = [&damaged] {
#ifndef __SANITIZE_ADDRESS__
      // Room for the program but not for a table the size of the offset.
      // The address sanitizer maps more than this for its own books, so
      // its build checks the refusal alone.
      const rlimit limit{rlim_t{3} << 30, rlim_t{3} << 30};
      setrlimit(RLIMIT_AS, &limit);
#endif
      QBuffer in(&damaged), out;
      in.open(QIODevice::ReadOnly);
      out.open(QIODevice::WriteOnly);
      QString error;
      const auto none = [](int) { return std::vector<print::TextLine>{}; };
      const bool copied = print::WritePdfText(in, out, none, {}, &error);
      std::exit(!copied && !error.isEmpty() ? 0 : 1);
    };
    EXPECT_EXIT(copyIsRefused(), ::testing::ExitedWithCode(0), "") << offset.constData();
  }
}

}  // namespace

namespace {

// A glyph drawn for two characters (the space a face also draws for a
// no-break space) keeps the text it was first drawn for: the plain space
// of the first line stays one in every line the glyph stands in.
TEST(PdfTextLayer, AGlyphDrawnForTwoCharactersKeepsTheFirst) {
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  p.Text("Tom Waits\n");
  p.Text("Nina\u00A0Simone\n");
  p.EndDoc();
  const QString pdf = Pdf(p, dir, "shared.pdf");
  // Both lines draw the face's one space glyph: its text is the space.
  const QByteArray inflated = Inflated(pdf, dir);
  EXPECT_TRUE(inflated.contains("> <0020>\n"));
  EXPECT_FALSE(inflated.contains("<00A0>"));
  const auto text = MutoolText(pdf);
  ASSERT_TRUE(text) << "mutool could not be run";
  EXPECT_TRUE(ReadLines(text).contains("Tom Waits")) << text->toStdString();
}

}  // namespace

namespace {

// Pages of lines drawn as the page layer draws plain runs (each line
// marked for a span where it needs one), as Qt's writer writes them, and
// the same file copied with the text behind its glyphs.
struct DrawnPdf {
  QString raw, copied;
};

DrawnPdf DrawPages(const std::vector<std::vector<std::pair<QFont, QString>>>& pages, const QTemporaryDir& dir) {
  QBuffer raw;
  raw.open(QIODevice::WriteOnly);
  std::vector<std::vector<print::TextLine>> lines(pages.size());
  {
    QPdfWriter writer(&raw);
    writer.setResolution(1440);
    QPainter painter(&writer);
    for (size_t page = 0; page < pages.size(); ++page) {
      if (page) writer.newPage();
      double y = 400;
      for (const auto& [font, text] : pages[page]) {
        print::TextLine& line = lines[page].emplace_back();
        print::AddDrawnText(text, font, line);
        print::FinishLine(line);
        if (line.span) print::MarkTextSpan(painter);
        painter.setFont(font);
        painter.drawText(QPointF(400, y), print::DrawnText(text));
        y += QFontMetricsF(font, &writer).height() * 1.3;
      }
    }
  }
  DrawnPdf out{dir.filePath("raw.pdf"), dir.filePath("copied.pdf")};
  QFile rawFile(out.raw);
  EXPECT_TRUE(rawFile.open(QIODevice::WriteOnly) && rawFile.write(raw.data()) == raw.data().size());
  rawFile.close();
  QBuffer in(&raw.buffer());
  in.open(QIODevice::ReadOnly);
  QFile copied(out.copied);
  EXPECT_TRUE(copied.open(QIODevice::WriteOnly));
  QString error;
  EXPECT_TRUE(print::WritePdfText(in, copied, [&](int page) { return lines[static_cast<size_t>(page)]; }, {}, &error))
      << error.toStdString();
  return out;
}

// The pages as poppler draws them.
std::vector<QImage> PageImages(const QString& pdf, const QString& prefix) {
  std::vector<QImage> images;
  if (!RunTool("pdftoppm", {"-r", "40", "-png", pdf, prefix})) return images;
  const QDir dir = QFileInfo(prefix).dir();
  for (const QString& name : dir.entryList({QFileInfo(prefix).fileName() + "-*.png"}, QDir::Files, QDir::Name))
    images.push_back(QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32));
  return images;
}

// The faces a file uses: pdffonts' name, type and embedding of each.
QStringList Faces(const QString& pdf) {
  QStringList faces;
  const auto listed = RunTool("pdffonts", {pdf});
  if (!listed) return faces;
  for (const QString& font : listed->split('\n', Qt::SkipEmptyParts).mid(2))
    faces << font.section(' ', 0, 0, QString::SectionSkipEmpty) + ' ' + font.mid(37, 30).simplified();
  faces.sort();
  return faces;
}

// A glyph a face draws for different characters (a Khmer vowel sign
// under one letter and a sign over another; a split vowel's part and the
// vowel it stands in for; a Han ideograph and its radical twin) reads
// back, in readers of glyphs alone, as the character it was drawn for
// each time: every letter of a line on its page, nothing in place of
// one. The pages print exactly as Qt drew them, with the same faces. A
// face with one code left gives it to the first twin, and the next keeps
// the text its glyph had first.
TEST(PdfTextLayer, AGlyphDrawnForDifferentTextsReadsBackAsEachAndPrintsTheSame) {
  const QFont latin("Liberation Sans", 12), han("Noto Sans CJK JP", 9);
  const std::vector<std::pair<QFont, QString>> khmer{{latin, QString::fromUtf8("ស៊ិន ស៊ីសាមុត")},
                                                     {latin, QString::fromUtf8("កោះកុង")},
                                                     {latin, QString::fromUtf8("ចម្រៀងខ្មែរ")}};
  const std::vector<std::pair<QFont, QString>> indic{{latin, QString::fromUtf8("क्षत्रिय राग")},
                                                     {latin, QString::fromUtf8("हिन्दी संगीत")},
                                                     {latin, QString::fromUtf8("கொண்டாட்டம் தமிழ்")},
                                                     {latin, QString::fromUtf8("කොළඹ අමරදේව")},
                                                     {latin, QString::fromUtf8("മലയാളം പാട്ട്")}};
  const std::vector<std::pair<QFont, QString>> thai{{latin, QString::fromUtf8("ลูกทุ่งคำปัน")},
                                                    {latin, QString::fromUtf8("น้ำตาแสงไต้ ตา")}};
  std::vector<std::pair<QFont, QString>> ideographs{{han, QString::fromUtf8("一 ⼀")}, {han, QString::fromUtf8("二 ⼆")}};
  for (char16_t c = 0x4E10; c < 0x4E10 + 3000; c += 75) {
    QString row;
    for (char16_t k = 0; k < 75; ++k) row += QChar(static_cast<char16_t>(c + k));
    ideographs.emplace_back(han, row);
  }
  const std::vector<std::vector<std::pair<QFont, QString>>> pages{
      {{latin, "Tom Waits"}, {latin, QString::fromUtf8("Café Amélie 1975")}}, khmer, indic, thai, ideographs};
  QTemporaryDir dir;
  const DrawnPdf pdf = DrawPages(pages, dir);
  ExpectSoundWithEmbeddedFonts(pdf.copied);
  EXPECT_EQ(Faces(pdf.copied), Faces(pdf.raw));
  EXPECT_GE(Faces(pdf.raw).size(), 6);
  const std::vector<QImage> drawn = PageImages(pdf.raw, dir.filePath("raw"));
  const std::vector<QImage> copied = PageImages(pdf.copied, dir.filePath("copied"));
  ASSERT_EQ(drawn.size(), pages.size()) << "pdftoppm (poppler-utils) could not be run";
  ASSERT_EQ(copied.size(), pages.size());
  for (size_t page = 0; page < pages.size(); ++page) EXPECT_TRUE(drawn[page] == copied[page]) << "page " << page + 1;

#ifdef TVN_PDFJS_DIR
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{{"mutool", MutoolText(pdf.copied)},
                                                                            {"pdf.js", PdfJsText(pdf.copied)}};
#else
  const std::vector<std::pair<const char*, std::optional<QString>>> readers{{"mutool", MutoolText(pdf.copied)}};
#endif
  for (const auto& [reader, text] : readers) {
    ASSERT_TRUE(text) << reader << " could not be run";
    const QStringList read = text->split('\f');
    ASSERT_GE(read.size(), static_cast<qsizetype>(pages.size())) << reader;
    for (size_t page = 1; page < 4; ++page) {
      QString rest = read[static_cast<qsizetype>(page)];
      EXPECT_FALSE(HasStrayCharacters(QString(rest).remove('\n'))) << reader << ":\n" << rest.toStdString();
      for (const auto& [font, typed] : pages[page])
        for (QChar c : typed) {
          if (c == ' ') continue;
          const qsizetype at = rest.indexOf(c);
          EXPECT_GE(at, 0) << reader << ": a letter of " << typed.toStdString() << " missing in\n"
                           << read[static_cast<qsizetype>(page)].toStdString();
          if (at >= 0) rest.remove(at, 1);
        }
    }
    // The signs that join a conjunct and end it stay in the order typed.
    EXPECT_TRUE(read[2].contains(QString::fromUtf8("പാട്ട്"))) << reader << ":\n" << read[2].toStdString();
    const QStringList han = ReadLines(read[4]);
    ASSERT_GE(han.size(), 2) << reader;
    EXPECT_EQ(QString(han[0]).remove(' '), QString::fromUtf8("一⼀")) << reader;
    EXPECT_EQ(QString(han[1]).remove(' '), QString::fromUtf8("二二")) << reader;
  }
  const auto poppler = PdfText(pdf.copied);
  ASSERT_TRUE(poppler) << "pdftotext could not be run";
  EXPECT_TRUE(poppler->contains(QString::fromUtf8("ស៊ិន ស៊ីសាមុត"))) << poppler->toStdString();
}

}  // namespace
