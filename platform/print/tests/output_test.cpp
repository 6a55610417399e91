// What a reader gets from the layer's files: the PDF's text as pdftotext
// reads it, right-to-left lines as drawn, HTML as an HTML5 parser takes
// it, and exports that fail part-way.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

#include "platform/print/Printer.h"
#include "platform/print/tests/OutsideTools.h"

namespace {

using print::Printer;
using printtest::Html5Errors;
using printtest::PdfText;
using printtest::RunTool;

std::string PathIn(const QTemporaryDir& dir, const char* name) { return dir.filePath(name).toStdString(); }

QByteArray ReadAll(const std::string& file) {
  QFile f(QString::fromStdString(file));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Everyday words whose characters share their glyph in the CJK fonts with
// a radical (一 ⼀, 人 ⼈, 日 ⽇, 龍 ⿓, 音 ⾳, 金 ⾦, 見 ⾒, 長 ⾧) or a
// compatibility ideograph (樂 has three), with the radicals and the
// compatibility forms themselves typed too: each reads back as typed.
TEST(PdfText, CjkWordsReadBackAsTheCharactersTyped) {
  const std::vector<QString> lines{
      "坂本龍一", "日本の音楽と人口", "東京 大阪 見る 長い 金曜日", "一人 入口 山川 子供",
      "中文 音乐 龙 黄金 长城 齿", "龍馬 鬼 車 里 麥 黃", "대한민국 음악 사람 한국어",
      // Radicals and compatibility ideographs typed as such (pdftotext
      // sets no blanks between characters of different fonts).
      "⼀⼈⽇⿓⺠⻑", QString::fromUtf8("\uF914\uF95C\uF9BF\uF902\uF9F7樂車立")};
  QTemporaryDir dir;
  Printer p;
  p.StartDoc();
  for (size_t i = 0; i < lines.size(); ++i) {
    p.SetFontBold(i % 2 == 1);  // both weights of the fonts
    p.Text(lines[i].toStdString() + "\n");
  }
  // A right-to-left title pair, laid out as one paragraph, reads back too.
  p.Text("אני ואתה");
  p.Text(",          עטור מצחך\n");
  p.EndDoc();
  const std::string pdf = PathIn(dir, "cjk.pdf");
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();

  const auto text = PdfText(QString::fromStdString(pdf));
  ASSERT_TRUE(text) << "pdftotext (poppler-utils, installed by scripts/setup.sh) could not be run";
  QStringList read = text->split('\n', Qt::SkipEmptyParts);
  read.removeAll("\f");
  for (QString& line : read) line.remove('\f');
  for (const QString& line : lines)
    EXPECT_TRUE(read.contains(line)) << line.toStdString() << " not in:\n" << text->toStdString();
  // Each title reads back whole, the second of the pair too.
  for (const char* title : {"אני ואתה", "עטור מצחך"}) EXPECT_TRUE(text->contains(QString::fromUtf8(title))) << title;

  // Every font is embedded and the file is sound.
  const auto fonts = RunTool("pdffonts", {QString::fromStdString(pdf)});
  ASSERT_TRUE(fonts);
  for (const QString& font : fonts->split('\n', Qt::SkipEmptyParts).mid(2))
    EXPECT_TRUE(font.contains(" yes ")) << font.toStdString();
  const auto check = RunTool("qpdf", {"--check", QString::fromStdString(pdf)});
  EXPECT_TRUE(check) << "qpdf --check failed or qpdf (scripts/test.sh installs it) is missing";
}

// The columns of an image that hold pixels clearly of one colour: red,
// green and blue as 0, 1, 2.
std::vector<int> ColumnsOf(const QImage& image, int top, int bottom, int channel) {
  std::vector<int> columns;
  for (int x = 0; x < image.width(); ++x)
    for (int y = std::max(0, top); y < std::min(image.height(), bottom); ++y) {
      const QColor c = image.pixelColor(x, y);
      const int v[3] = {c.red(), c.green(), c.blue()};
      if (v[channel] > 150 && v[(channel + 1) % 3] < 100 && v[(channel + 2) % 3] < 100) {
        columns.push_back(x);
        break;
      }
    }
  return columns;
}

// A title pair as the standard report prints it: the first title, then
// the separator with the second title as one run. The line reads right to
// left: the first title at the right, the comma after it, the ten blanks,
// then the second title at the left.
TEST(RightToLeft, TitlePairsKeepTheirSeparatorBetweenTheTitles) {
  const std::pair<const char*, const char*> pairs[] = {{"אני ואתה", "עטור מצחך"},
                                                        {"أنا وأنت", "ضوء القمر"}};
  constexpr double kDpi = 300;
  for (const auto& [first, second] : pairs) {
    Printer p;
    p.StartDoc();
    p.SetFontSize(12);
    p.Text("Titles:\n");
    const double top = p.CurrentY();
    p.SetTextColor(0x0000FF);  // red
    p.Text(first);
    p.SetTextColor(0xFF0000);  // blue
    p.Text(std::string(",          ") + second);
    p.Text("\n");
    const double bottom = p.CurrentY();
    const double blanks = p.TextWidth("          ") * kDpi / 1440;
    p.EndDoc();
    const QImage page = print::RenderPageImage(p.document(), 1, kDpi);
    const int y0 = static_cast<int>(top * kDpi / 1440), y1 = static_cast<int>(bottom * kDpi / 1440) + 1;
    const std::vector<int> red = ColumnsOf(page, y0, y1, 0);
    const std::vector<int> blue = ColumnsOf(page, y0, y1, 2);
    ASSERT_FALSE(red.empty()) << first;
    ASSERT_GT(blue.size(), 2u) << second;
    // The blue run's widest gap is the ten blanks: the comma on one side,
    // the second title on the other.
    size_t cut = 1;
    for (size_t i = 1; i < blue.size(); ++i)
      if (blue[i] - blue[i - 1] > blue[cut] - blue[cut - 1]) cut = i;
    const int secondEnd = blue[cut - 1], commaStart = blue[cut], commaEnd = blue.back();
    EXPECT_LT(secondEnd, red.front()) << second << " is not left of " << first;
    EXPECT_LE(commaEnd, red.front() + 2) << "the comma is not between the titles";
    EXPECT_GT(commaStart, secondEnd);
    EXPECT_GE(red.front() - secondEnd, 0.8 * blanks) << "the titles touch";
  }
}

// Right-to-left text changes nothing on a line without it: runs are drawn
// where they were laid out.
TEST(RightToLeft, LinesWithoutItDrawAsBefore) {
  Printer a, b;
  for (Printer* p : {&a, &b}) {
    p->StartDoc();
    p->Text("Name: ");
    p->SetFontBold(true);
    p->Text("Value");
  }
  b.Text("\nשלום\n");  // another line holds Hebrew
  a.EndDoc();
  b.EndDoc();
  const QImage one = print::RenderPageImage(a.document(), 1, 96);
  const QImage two = print::RenderPageImage(b.document(), 1, 96);
  const int lineBottom = static_cast<int>(b.document().pages[0].texts[1].baseline * 96 / 1440) + 4;
  EXPECT_EQ(one.copy(0, 0, one.width(), lineBottom), two.copy(0, 0, two.width(), lineBottom));
}

// Every code point an HTML5 parser refuses is left out of every HTML the
// layer writes, never written as a reference; every other character stays,
// right-to-left marks included.
TEST(HtmlExport, NoCodePointAnHtmlParserRefusesReachesTheFile) {
  const QString kept = QString::fromUtf8("Café \u200Fשלום\u200E \u202Bמ\u202C 😀 \uFFFD 坂本");
  QString record = kept;
  for (char32_t c : {0x07u, 0x7Fu, 0x80u, 0x85u, 0x9Fu, 0xFDD0u, 0xFDEFu, 0xFFFEu, 0xFFFFu, 0x1FFFEu, 0x10FFFFu})
    record.insert(5, QString::fromUcs4(&c, 1));  // after "Café "
  record += QChar(0xD800);  // half a surrogate pair
  const std::string text = record.toStdString();

  QTemporaryDir dir;
  const std::string exported = PathIn(dir, "report.htm");
  Printer p;
  p.SetExportFile(exported);
  p.StartDoc();
  p.Text(text + "\n");
  p.Text(std::string("\x7F") + "ascii first\n");
  p.AddTable("<2in|<2in", "Name|" + text, std::vector<std::vector<std::string>>{{text, "x\xC2\x85y"}});
  p.EndDoc();
  ASSERT_TRUE(p.LastExportOk()) << p.LastError();
  const std::string written = PathIn(dir, "written.htm");
  std::string error;
  ASSERT_TRUE(print::WriteHtml(p.document(), written, &error)) << error;
  const std::string asString = PathIn(dir, "string.htm");
  {
    QFile f(QString::fromStdString(asString));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(p.Html().toUtf8());
  }
  for (const std::string& file : {exported, written, asString}) {
    const auto errors = Html5Errors(QString::fromStdString(file));
    ASSERT_TRUE(errors) << "html5lib (python3-html5lib, installed by scripts/test.sh) could not be run";
    EXPECT_EQ(*errors, "") << file;
    const QString html = QString::fromUtf8(ReadAll(file));
    EXPECT_EQ(html.count(kept), 3) << file;  // the text, the header cell and the body cell
    EXPECT_TRUE(html.contains(">ascii first<"));
    EXPECT_TRUE(html.contains(">xy<"));
    EXPECT_FALSE(html.contains("&#"));
  }
}

// Writes to files of this process fail past `bytes`, as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit old_{};
  void (*previous_)(int) = nullptr;
};

TEST(Exports, AWriteFailingPartWayLeavesTheFileThatWasThere) {
  QTemporaryDir dir;
  const std::string pdf = PathIn(dir, "report.pdf"), html = PathIn(dir, "report.htm");
  for (const std::string& file : {pdf, html}) {
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("the export of last week");
  }
  Printer p;
  p.StartDoc();
  for (int i = 0; i < 400; ++i) p.Text("Record " + std::to_string(i) + " of a long report that fills pages\n");
  p.EndDoc();
  ASSERT_GT(p.Html().size(), 20000);
  {
    const FileSizeLimit full(8192);
    EXPECT_FALSE(p.WritePdf(pdf));
    EXPECT_NE(p.LastError().find("The PDF file \"" + pdf + "\" cannot be written"), std::string::npos) << p.LastError();
    EXPECT_NE(p.LastError().find("left as it was"), std::string::npos);
    p.SetExportFile(html);
    p.StartDoc();
    for (int i = 0; i < 400; ++i) p.Text("Record " + std::to_string(i) + " of a long report that fills pages\n");
    p.EndDoc();
    EXPECT_FALSE(p.LastExportOk());
    EXPECT_NE(p.LastError().find("The HTML file \"" + html + "\" cannot be written"), std::string::npos)
        << p.LastError();
  }
  EXPECT_EQ(ReadAll(pdf), "the export of last week");
  EXPECT_EQ(ReadAll(html), "the export of last week");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "a temporary file is left";

  // With room, the same exports replace the files.
  ASSERT_TRUE(p.WritePdf(pdf)) << p.LastError();
  EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF-"));
  p.StartDoc();
  p.Text("Again\n");
  p.EndDoc();
  EXPECT_TRUE(p.LastExportOk());
  EXPECT_TRUE(ReadAll(html).contains("Again"));
}

}  // namespace
