// The page frame on a surface of its own: heading block, separator,
// pictures, the export notice and the help file path.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QtEndian>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "platform/print/Printer.h"
#include "platform/runtime/Prompter.h"
#include "reports/output/PageFrame.h"

namespace {

using namespace tvn::reports;

class PageFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "report_output_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    vb::PromptScript::Install();
    context.ReportPrinter = &printer;
  }
  void TearDown() override { vb::PromptScript::Uninstall(); }

  // Lays out a heading and returns CurrentY after it.
  double Heading(bool noSeparator, const std::string& title, const std::string& subtitle) {
    context.ReportTitle = title;
    context.ReportSubtitle = subtitle;
    SetReportFonts(printer);
    printer.StartDoc();
    PrintReportHeading(context, noSeparator);
    return printer.CurrentY();
  }
  const print::TextItem* Find(const QString& text) {
    for (const auto& t : printer.document().pages[0].texts)
      if (t.text == text) return &t;
    return nullptr;
  }

  print::Printer printer;
  ReportContext context;
};

TEST_F(PageFrame, FontsAndMarginsOfANewDocument) {
  SetReportFonts(printer);
  EXPECT_EQ(printer.MarginTop(), 770);
  EXPECT_EQ(printer.MarginBottom(), 770);
  EXPECT_EQ(printer.FontName(), "arial");
  EXPECT_EQ(printer.FontSize(), 8);
  EXPECT_FALSE(printer.FontItalic());
  EXPECT_TRUE(printer.HdrFont().italic);
  EXPECT_EQ(printer.HdrFont().size, 8);
}

TEST_F(PageFrame, HeadingPrintsProductLineTitlesAndThePageHeader) {
  const double y = Heading(true, "Artist's Report", "Sub");
  EXPECT_EQ(context.HeadingText, "The Tavolin");
  EXPECT_EQ(printer.Header(), "The Tavolin||Page %d");
  const print::TextItem* product = Find("The Tavolin");
  ASSERT_TRUE(product);
  EXPECT_TRUE(product->font.bold);
  EXPECT_EQ(product->font.size, 14);
  const double pictureWidth = print::PictureWidthTwips(ReportImage(2));
  EXPECT_EQ(product->x, 1440 + pictureWidth + 200);
  const print::TextItem* title = Find("Artist's Report");
  ASSERT_TRUE(title);
  EXPECT_EQ(title->font.size, 13);
  EXPECT_TRUE(title->font.bold);
  const print::TextItem* sub = Find("Sub");
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->font.size, 12);
  EXPECT_GT(sub->y, title->y);
  // The heading picture stands at the top left; no separator was asked for.
  ASSERT_EQ(printer.document().pages[0].pictures.size(), 1u);
  EXPECT_EQ(printer.document().pages[0].pictures[0].x, 1440);
  EXPECT_EQ(printer.FontSize(), 8);
  EXPECT_FALSE(printer.FontBold());
  EXPECT_EQ(printer.TextAlign(), print::kTextAlignBody);
  EXPECT_GT(y, sub->y);
}

TEST_F(PageFrame, EmptyTitlesKeepTheHeadingHeightAndTheSeparatorFollows) {
  const double full = Heading(true, "Title", "Subtitle");
  const double empty = Heading(true, "", "");
  EXPECT_EQ(full, empty);
  const double withSeparator = Heading(false, "Title", "Subtitle");
  EXPECT_EQ(withSeparator, full + 125);
  const auto& pictures = printer.document().pages[0].pictures;
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[1].x, 1440);
  EXPECT_EQ(pictures[1].y, full);
  EXPECT_EQ(printer.CurrentX(), 1440);
}

TEST_F(PageFrame, PicturesLoadOrKeepTheLastOne) {
  QTemporaryDir dir;
  const std::string good = dir.filePath("cover.gif").toStdString();
  QImage image(10, 20, QImage::Format_RGB32);
  image.fill(Qt::red);
  ASSERT_TRUE(image.save(QString::fromStdString(good), "GIF") || image.save(QString::fromStdString(good), "PNG"));
  const std::string fake = dir.filePath("fake.jpg").toStdString();
  {
    QFile f(QString::fromStdString(fake));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is text");
  }
  EXPECT_TRUE(LoadReportPicture(context, good));
  EXPECT_EQ(context.ReportPicture.width(), 10);
  EXPECT_FALSE(LoadReportPicture(context, fake));
  EXPECT_FALSE(LoadReportPicture(context, dir.filePath("missing.jpg").toStdString()));
  EXPECT_EQ(context.ReportPicture.width(), 10);

  printer.StartDoc();
  printer.SetCurrentX(3000);
  printer.SetCurrentY(4000);
  DrawReportPicture(context);
  const auto& pictures = printer.document().pages[0].pictures;
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].x, 3000);
  EXPECT_EQ(pictures[0].y, 4000);
  EXPECT_EQ(printer.CurrentY(), 4000);
  context.ReportPicture = QImage();
  DrawReportPicture(context);  // nothing loaded: nothing drawn, no error
  EXPECT_EQ(printer.document().pages[0].pictures.size(), 1u);
}

TEST_F(PageFrame, APictureReadAgainIsOnePictureAndAChangedFileIsReadAfresh) {
  QTemporaryDir dir;
  const QString cover = dir.filePath("cover.jpg");
  QImage image(120, 80, QImage::Format_RGB32);
  image.fill(Qt::darkYellow);
  ASSERT_TRUE(image.save(cover, "JPEG"));
  ASSERT_TRUE(QFile::copy(cover, dir.filePath("same.jpg")));
  printer.StartDoc();
  for (const QString& file : {cover, cover, dir.filePath("same.jpg")}) {
    ASSERT_TRUE(LoadReportPicture(context, file.toStdString()));
    DrawReportPicture(context);
  }
  const auto& pictures = printer.document().pages[0].pictures;
  ASSERT_EQ(pictures.size(), 3u);
  EXPECT_EQ(pictures[0].picture, pictures[1].picture);
  EXPECT_EQ(pictures[0].picture, pictures[2].picture);
  printer.EndDoc();
  const std::string saved = dir.filePath("doc.vsr").toStdString();
  ASSERT_TRUE(printer.SaveDoc(saved)) << printer.LastError();
  QFile f(QString::fromStdString(saved));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(qFromBigEndian<quint32>(f.read(10).constData() + 6), 1u);  // one picture stored

  // The file replaced by another picture: what is read is the new one.
  const QFileInfo before(cover);
  QImage other(120, 80, QImage::Format_RGB32);
  other.fill(Qt::darkBlue);
  ASSERT_TRUE(other.save(cover, "JPEG"));
  {
    QFile touch(cover);
    ASSERT_TRUE(touch.open(QIODevice::ReadWrite));
    touch.setFileTime(before.lastModified().addSecs(5), QFileDevice::FileModificationTime);
  }
  ASSERT_TRUE(LoadReportPicture(context, cover.toStdString()));
  EXPECT_NE(context.ReportPicture, pictures[0].picture);
  EXPECT_GT(context.ReportPicture.Image().pixelColor(60, 40).blue(), 100);
}

TEST_F(PageFrame, ExportNoticeSaysOnlyWhatHappened) {
  ShowExportNotice(context, false, false);
  EXPECT_TRUE(vb::PromptScript::Records().empty());
  QTemporaryDir dir;
  const std::string file = dir.filePath("rpt.htm").toStdString();
  printer.SetExportFile(file);
  printer.StartDoc();
  printer.Text("hello");
  printer.EndDoc();
  ShowExportNotice(context, false, true);
  ASSERT_EQ(vb::PromptScript::Records().size(), 1u);
  EXPECT_EQ(vb::PromptScript::Records()[0].text, "HTML file: \n" + file + "\nhas been created.");
  EXPECT_EQ(vb::PromptScript::Records()[0].buttons, vb::vbInformation | vb::vbOKOnly);
}

TEST_F(PageFrame, HelpFileIsTheSameWithOrWithoutATrailingSeparator) {
  SetReportHelpFile(context, 7, "/opt/tavolin/");
  const std::string with = context.HelpFile;
  SetReportHelpFile(context, 7, " /opt/tavolin ");
  EXPECT_EQ(context.HelpFile, with);
  EXPECT_EQ(with, "/opt/tavolin/Reruve.HLP");
  EXPECT_EQ(context.HelpWindow, 7);
}

}  // namespace
