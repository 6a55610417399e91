// Lines that mix right-to-left titles with Latin, digits, separators,
// parentheses and quotes read back in the order typed, whichever way the
// page as a whole reads, and drawing them in that order leaves the page
// as it looked.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextLayout>

#include <vector>

#include "platform/print/Fonts.h"
#include "platform/print/PdfText.h"
#include "platform/print/Printer.h"
#include "platform/print/tests/OutsideTools.h"

namespace {

using print::Printer;
using printtest::MutoolText;
using printtest::PdfText;
using printtest::RunTool;

// Each line as the runs a report prints it in, one after the other.
const std::vector<std::vector<const char*>> kMixedLines{
    {"Shalom שלום עולם 2024"},
    {"Abc שירים עבריים, 12 items"},
    {"ספר (כרך 2) \"חדש\" 7 שירים"},
    {"Titles: ", "אני ואתה", " - ", "עטור מצחך"},
    {"أغاني عربية 1999"},
    {"أغنية 3 حب"},
    {"Artist: ", "فيروز", " (\"حبيبي\") 12"},
    {"أنا وأنت", " - ", "ضوء القمر"},
    {"فارسی ۱۳۹۹ Test"},
    {"آهنگ «نو» (۲) ساز"},
};

QString Typed(const std::vector<const char*>& runs) {
  QString line;
  for (const char* run : runs) line += QString::fromUtf8(run);
  return line;
}

// Poppler wraps each stretch it turned round in embedding controls, and
// the span's marks (which show nothing) come back as themselves: neither
// is a character anybody sees.
QString Visible(QString text) {
  static const QRegularExpression controls("[\\x{200E}\\x{200F}\\x{202A}-\\x{202E}]");
  return text.remove(controls);
}

QStringList Lines(const QString& text) {
  QStringList lines;
  for (const QString& line : text.split(QRegularExpression("[\n\f]"), Qt::SkipEmptyParts)) lines.push_back(line.trimmed());
  return lines;
}

// The mixed lines on a page of mostly Latin text (a report's labels and
// headings), then on one of mostly right-to-left text: the readers that
// rebuild a line's order from where its glyphs stand take the page's
// direction into account.
QString MixedReport(const QTemporaryDir& dir) {
  Printer p;
  p.StartDoc();
  for (int page = 0; page < 2; ++page) {
    if (page) p.NewPage();
    const char* filler = page == 0 ? "Collection report, every title on its shelf, printed for the collector"
                                   : "אוסף שירים עבריים וערביים לפי מדפים ושמות";
    for (int i = 0; i < (page == 0 ? 8 : 12); ++i) p.Text(std::string(filler) + "\n");
    for (const auto& runs : kMixedLines) {
      for (const char* run : runs) p.Text(run);
      p.Text("\n");
    }
  }
  p.EndDoc();
  const QString file = dir.filePath("mixed.pdf");
  EXPECT_TRUE(p.WritePdf(file.toStdString())) << p.LastError();
  return file;
}

TEST(ReadingOrder, MixedLinesReadBackAsTypedInEveryReader) {
  QTemporaryDir dir;
  const QString pdf = MixedReport(dir);
  for (const auto& [reader, text] : {std::pair{"pdftotext", PdfText(pdf)}, std::pair{"mutool", MutoolText(pdf)}}) {
    ASSERT_TRUE(text) << reader << " could not be run";
    const QStringList pages = text->split('\f');
    ASSERT_GE(pages.size(), 2) << reader;
    for (int page = 0; page < 2; ++page) {
      const QStringList lines = Lines(Visible(pages[page]));
      for (const auto& runs : kMixedLines)
        EXPECT_TRUE(lines.contains(Typed(runs)))
            << reader << ", page " << page + 1 << ": " << Typed(runs).toStdString() << " not in\n"
            << pages[page].toStdString();
    }
  }
#ifdef TVN_PDFJS_DIR
  // pdf.js takes the text in the order it is drawn and finds no gap where
  // the next word stands to the left of the last: it reads the words in
  // the order typed, but the spaces between right-to-left words and
  // before a number that follows them are not seen. The space there is
  // drawn, as the face's space glyph read as a space, but pdf.js passes
  // over a space glyph and reads a space only where the next glyph
  // stands further right, which in the order typed it never does; drawn
  // left to right, the words would get their spaces in pdf.js, and MuPDF,
  // which reads the glyphs in the order drawn, would read every
  // right-to-left word backwards.
  const auto js = printtest::PdfJsText(pdf);
  ASSERT_TRUE(js) << "pdf.js could not be run";
  QStringList read;
  for (const QString& line : Lines(*js)) read.push_back(QString(line).remove(' '));
  for (const auto& runs : kMixedLines)
    EXPECT_EQ(read.count(Typed(runs).remove(' ')), 2) << Typed(runs).toStdString() << " not in\n" << js->toStdString();
#endif
}

// A line of a report with a right-to-left title in several faces, colours
// and weights, laid out as the page layer lays out such a line. (A line
// with underlined text is drawn by the layout itself.)
void LayOut(QTextLayout& layout) {
  struct Run {
    const char* text;
    long colour;
    bool bold;
  };
  const Run runs[] = {{"Artist: ", 0x0000C0, false},
                      {"فيروز", 0, false},
                      {" - ", 0x008000, true},
                      {"שלום עולם 2024 (\"חדש\")", 0xC00000, true},
                      {" end 𝄞", 0, false}};
  QString text;
  QList<QTextLayout::FormatRange> formats;
  for (const Run& run : runs) {
    print::FontSpec spec;
    spec.size = 11;
    spec.bold = run.bold;
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(text.size());
    range.length = static_cast<int>(QString::fromUtf8(run.text).size());
    range.format.setFont(print::FontFor(spec).font);
    range.format.setForeground(print::ColorFromBgr(run.colour));
    formats.append(range);
    text += QString::fromUtf8(run.text);
  }
  layout.setText(text);
  layout.setFont(formats.front().format.font());
  layout.setFormats(formats);
  print::LayOutOneLine(layout);
}

// Drawing a line's glyphs in the order typed rather than as Qt draws them
// changes nothing on the page: the same pixels on screen and in the PDF.
TEST(ReadingOrder, DrawingInTypedOrderLeavesThePageAsItWas) {
  QTextLayout layout;
  LayOut(layout);
  const QPointF at(200, 100);
  auto image = [&](bool typedOrder) {
    QImage out(6000, 400, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    if (typedOrder) print::DrawLaidOutLine(painter, layout, at);
    else layout.draw(&painter, at);
    return out;
  };
  const QImage drawn = image(true);
  EXPECT_TRUE(drawn == image(false));
  QImage blank(drawn.size(), drawn.format());
  blank.fill(Qt::white);
  EXPECT_FALSE(drawn == blank);

  QTemporaryDir dir;
  auto pdf = [&](bool typedOrder) {
    const QString file = dir.filePath(typedOrder ? "typed.pdf" : "qt.pdf");
    QPdfWriter writer(file);
    writer.setResolution(1440);
    QPainter painter(&writer);
    if (typedOrder) print::DrawLaidOutLine(painter, layout, at);
    else layout.draw(&painter, at);
    painter.end();
    const QString png = dir.filePath(typedOrder ? "typed" : "qt");
    EXPECT_TRUE(RunTool("pdftoppm", {"-r", "150", "-singlefile", "-png", file, png})) << "pdftoppm could not be run";
    return QImage(png + ".png");
  };
  const QImage typedPage = pdf(true);
  ASSERT_FALSE(typedPage.isNull());
  EXPECT_TRUE(typedPage == pdf(false));
}

}  // namespace
