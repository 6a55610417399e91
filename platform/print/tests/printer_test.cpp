// The surface's cursor, text flow, page breaks and page header.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextBoundaryFinder>

#include "platform/print/Printer.h"

namespace {

using print::Printer;
using print::TextItem;

std::vector<const TextItem*> Body(const print::Page& page) {
  std::vector<const TextItem*> out;
  for (const auto& t : page.texts)
    if (!t.header) out.push_back(&t);
  return out;
}

QString Joined(const print::Document& doc) {
  QString all;
  for (const auto& p : doc.pages)
    for (const auto* t : Body(p)) all += t->text + "/";
  return all;
}

TEST(PrinterFlow, CursorStartsAtTheMarginsAndAdvancesByTheText) {
  Printer p;
  p.SetMarginTop(770);
  p.StartDoc();
  EXPECT_EQ(p.CurrentX(), 1440);
  EXPECT_EQ(p.CurrentY(), 770);
  EXPECT_EQ(p.PageCount(), 1);
  EXPECT_EQ(p.PageWidth(), 12240);
  EXPECT_EQ(p.PageHeight(), 15840);

  p.Text("Name: ");
  const double w = p.TextWidth("Name: ");
  EXPECT_GT(w, 0);
  EXPECT_NEAR(p.CurrentX(), 1440 + w, 0.01);
  EXPECT_EQ(p.CurrentY(), 770);
  p.SetFontBold(true);
  p.Text("Value");
  const auto& texts = p.document().pages[0].texts;
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].text, "Value");
  EXPECT_NEAR(texts[1].x, 1440 + w, 0.01);
  EXPECT_TRUE(texts[1].font.bold);
  EXPECT_FALSE(texts[0].font.bold);
}

TEST(PrinterFlow, LineFeedReturnsToMarginPlusIndentAndUsesTheTallestFont) {
  Printer p;
  p.StartDoc();
  p.SetFontSize(14);
  p.Text("Big");
  const double tall = p.TextHeight();
  p.SetFontSize(8);
  const double small = p.TextHeight();
  EXPECT_GT(tall, small);
  p.SetIndentLeft(300);
  p.Text("small\n");
  EXPECT_EQ(p.CurrentX(), 1740);
  EXPECT_NEAR(p.CurrentY(), 720 + tall, 0.01);
  // An empty line advances by the current font.
  p.Text("\n");
  EXPECT_NEAR(p.CurrentY(), 720 + tall + small, 0.01);
  // Several line feeds in one text, and text between them.
  const double y = p.CurrentY();
  p.Text("a\n\nb");
  EXPECT_NEAR(p.CurrentY(), y + 2 * small, 0.01);
  EXPECT_EQ(p.document().pages[0].texts.back().text, "b");
  EXPECT_EQ(p.document().pages[0].texts.back().x, 1740);
}

// How far below a line's top a run of that size stands on its own.
double AscentOf(double points) {
  Printer p;
  p.StartDoc();
  p.SetFontSize(points);
  p.Text("x");
  const auto& t = p.document().pages[0].texts.back();
  return t.baseline - t.y;
}

TEST(PrinterFlow, RunsOfDifferentSizesOnOneLineShareTheTallestBaseline) {
  const double small = AscentOf(8), big = AscentOf(16);
  ASSERT_GT(big, small);
  Printer p;
  p.StartDoc();
  p.Text("Small ");
  p.SetFontSize(16);
  p.SetFontBold(true);
  p.Text("Big");
  p.SetFontSize(10);
  p.SetFontBold(false);
  p.Text(" middle");
  // A run in another column of the same line joins it too.
  p.SetCurrentX(8400);
  p.SetFontSize(8);
  p.Text("Column");
  const auto& texts = p.document().pages[0].texts;
  ASSERT_EQ(texts.size(), 4u);
  for (const auto& t : texts) {
    EXPECT_EQ(t.y, 720) << t.text.toStdString();
    EXPECT_NEAR(t.baseline, 720 + big, 0.01) << t.text.toStdString();
  }
  EXPECT_EQ(texts[3].x, 8400);
  // The next line starts below the tallest run and stands on its own
  // baseline; so does a run set at a top of its own.
  p.SetFontSize(16);
  const double tall = p.TextHeight();
  p.SetFontSize(8);
  p.Text("\n");
  EXPECT_NEAR(p.CurrentY(), 720 + tall, 0.01);
  const double next = p.CurrentY();
  p.Text("Next line");
  EXPECT_NEAR(p.document().pages[0].texts.back().baseline, next + small, 0.01);
  p.SetCurrentY(next + 25);
  p.SetCurrentX(6500);
  p.Text("Lower");
  EXPECT_NEAR(p.document().pages[0].texts.back().baseline, next + 25 + small, 0.01);
  EXPECT_NEAR(p.document().pages[0].texts[4].baseline, next + small, 0.01) << "the line above is left alone";
}

TEST(PrinterFlow, TextSetAtAGivenPositionStaysThere) {
  Printer p;
  p.StartDoc();
  p.SetCurrentX(6500);
  p.SetCurrentY(p.CurrentY() + 25);
  p.Text("Right card");
  const auto& t = p.document().pages[0].texts.back();
  EXPECT_EQ(t.x, 6500);
  EXPECT_EQ(t.y, 745);
}

TEST(PrinterFlow, LongTextWrapsBetweenTheIndents) {
  Printer p;
  p.StartDoc();
  p.SetIndentLeft(300);
  p.SetCurrentX(1740);
  p.SetIndentRight(4800);
  const std::string notes =
      "These notes are long enough to need several lines inside the left card of the report, "
      "which is narrow because of the right indent of the card.";
  p.Text(notes);
  const double left = 1740, right = 12240 - 1440 - 4800;
  const auto texts = Body(p.document().pages[0]);
  ASSERT_GE(texts.size(), 3u);
  QString rebuilt;
  double lastY = -1;
  for (const auto* t : texts) {
    EXPECT_EQ(t->x, left);
    EXPECT_LE(t->x + t->width, right + 1);
    EXPECT_GT(t->y, lastY);
    lastY = t->y;
    if (!rebuilt.isEmpty()) rebuilt += ' ';
    rebuilt += t->text;
  }
  EXPECT_EQ(rebuilt, QString::fromStdString(notes));

  // The right card wraps between IndentLeft 5360 and the right margin.
  p.SetCurrentY(720);
  p.SetIndentRight(0);
  p.SetCurrentX(6800);
  p.SetIndentLeft(5360);
  p.Text(notes);
  for (const auto* t : Body(p.document().pages[0])) {
    if (t->x < 6000) continue;
    EXPECT_EQ(t->x, 6800);
    EXPECT_LE(t->x + t->width, 12240 - 1440 + 1);
  }
}

TEST(PrinterFlow, AWordLongerThanTheLineBreaksBetweenCharacters) {
  Printer p;
  p.StartDoc();
  p.SetIndentRight(12240 - 2880 - 1000);  // a line of 1000 twips
  p.Text(std::string(60, 'W'));
  const auto texts = Body(p.document().pages[0]);
  ASSERT_GT(texts.size(), 2u);
  QString all;
  for (const auto* t : texts) {
    EXPECT_LE(t->width, 1001);
    all += t->text;
  }
  EXPECT_EQ(all, QString(60, 'W'));
}

TEST(PrinterFlow, ALineThatWouldPassTheBottomMarginStartsANewPage) {
  Printer p;
  p.SetMarginTop(770);
  p.SetMarginBottom(770);
  p.StartDoc();
  const double h = p.TextHeight();
  const int perPage = static_cast<int>((15840 - 770 - 770) / h);
  for (int i = 0; i < perPage + 3; ++i) p.Text("line " + std::to_string(i + 1) + "\n");
  ASSERT_EQ(p.PageCount(), 2);
  const auto first = Body(p.document().pages[0]);
  const auto second = Body(p.document().pages[1]);
  ASSERT_EQ(static_cast<int>(first.size()), perPage);
  EXPECT_LE(first.back()->y + h, 15840 - 770 + 0.01);
  ASSERT_EQ(second.size(), 3u);
  EXPECT_EQ(second[0]->text, QString("line %1").arg(perPage + 1));
  EXPECT_EQ(second[0]->y, 770);
  EXPECT_EQ(second[0]->x, 1440);
}

TEST(PrinterFlow, NewPageMovesTheCursorToTheTopAndIndentedMargin) {
  Printer p;
  p.SetMarginTop(770);
  p.SetMarginLeft(1700);
  p.StartDoc();
  p.Text("x\n");
  p.SetIndentLeft(200);
  p.NewPage();
  EXPECT_EQ(p.PageCount(), 2);
  EXPECT_EQ(p.CurrentX(), 1900);
  EXPECT_EQ(p.CurrentY(), 770);
}

TEST(PrinterFlow, AlignmentCodesPlaceDateRightAndTitlesCentred) {
  Printer p;
  p.StartDoc();
  p.Text("The Tavolin");
  p.SetTextAlign(print::kTextAlignDate);
  p.Text("Monday, 1 June 2026  10:00");
  const auto& date = p.document().pages[0].texts.back();
  EXPECT_NEAR(date.x + date.width, 12240 - 1440, 0.01);
  EXPECT_EQ(date.y, 720);
  p.Text("\n");
  p.SetTextAlign(print::kTextAlignTitle);
  p.Text("Artist's Report\n");
  const auto& title = p.document().pages[0].texts.back();
  EXPECT_NEAR(title.x - 1440, 12240 - 1440 - (title.x + title.width), 0.01);
  p.SetTextAlign(print::kTextAlignBody);
  p.Text("body");
  EXPECT_EQ(p.document().pages[0].texts.back().x, 1440);
}

TEST(PrinterFlow, HeaderWithPageNumberStandsOnEveryPage) {
  Printer p;
  p.SetMarginTop(770);
  p.StartDoc();
  print::FontSpec hdr = p.Font();
  hdr.italic = true;
  p.SetHdrFont(hdr);
  // Set after the first page exists, as the heading routine does.
  p.SetHeader("The Tavolin||Page %d");
  p.NewPage();
  p.NewPage();
  p.EndDoc();
  ASSERT_EQ(p.PageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    std::vector<const TextItem*> headers;
    for (const auto& t : p.document().pages[i].texts)
      if (t.header) headers.push_back(&t);
    ASSERT_EQ(headers.size(), 2u) << "page " << i + 1;
    EXPECT_EQ(headers[0]->text, "The Tavolin");
    EXPECT_EQ(headers[0]->x, 1440);
    EXPECT_EQ(headers[1]->text, QString("Page %1").arg(i + 1));
    EXPECT_NEAR(headers[1]->x + headers[1]->width, 12240 - 1440, 0.01);
    EXPECT_TRUE(headers[1]->font.italic);
    EXPECT_LT(headers[1]->y + p.TextHeight(), 770);
  }
}

TEST(PrinterFlow, NoHeaderWhenItIsEmptyAndSettingsCarryOverDocuments) {
  Printer p;
  p.SetHeader("");
  p.SetFontName("arial");
  p.SetFontSize(12);
  p.SetMarginTop(770);
  p.StartDoc();
  p.Text("a");
  p.EndDoc();
  for (const auto& t : p.document().pages[0].texts) EXPECT_FALSE(t.header);
  p.StartDoc();
  EXPECT_EQ(p.FontSize(), 12);
  EXPECT_EQ(p.CurrentY(), 770);
  EXPECT_EQ(p.PageCount(), 1);
  EXPECT_TRUE(Body(p.document().pages[0]).empty());
}

TEST(PrinterFlow, OrientationIsFixedWhenTheDocumentStarts) {
  Printer p;
  p.SetOrientation(print::kLandscape);
  p.StartDoc();
  p.Text("wide");
  p.EndDoc();
  p.SetOrientation(print::kPortrait);
  EXPECT_EQ(p.document().pages[0].width, 15840);
  EXPECT_EQ(p.document().pages[0].height, 12240);
  p.StartDoc();
  EXPECT_EQ(p.document().pages[0].width, 12240);
}

TEST(PrinterFlow, KillDocEmptiesAndTextWithoutStartDocStillPrints) {
  Printer p;
  p.Text("early");
  EXPECT_EQ(p.PageCount(), 1);
  EXPECT_EQ(Joined(p.document()), "early/");
  p.KillDoc();
  EXPECT_EQ(p.PageCount(), 0);
  EXPECT_EQ(p.PreviewPage(), 0);
  p.EndDoc();  // nothing open: harmless
  EXPECT_EQ(p.PageCount(), 0);
}

TEST(PrinterFlow, PicturesDrawAtTheirOwnSizeAndKeepTheCursor) {
  Printer p;
  p.StartDoc();
  QImage at96(96, 48, QImage::Format_RGB32);
  at96.fill(Qt::red);
  QImage at300(300, 150, QImage::Format_RGB32);
  at300.setDotsPerMeterX(11811);  // 300 dpi
  at300.setDotsPerMeterY(11811);
  p.SetCurrentY(1000);
  p.DrawPicture(at96, p.CurrentX(), p.CurrentY());
  p.DrawPicture(at300, 6500, 2000);
  EXPECT_EQ(p.CurrentX(), 1440);
  EXPECT_EQ(p.CurrentY(), 1000);
  const auto& pics = p.document().pages[0].pictures;
  ASSERT_EQ(pics.size(), 2u);
  EXPECT_EQ(pics[0].x, 1440);
  EXPECT_EQ(pics[0].y, 1000);
  EXPECT_EQ(pics[0].width, 1440);
  EXPECT_EQ(pics[0].height, 720);
  EXPECT_NEAR(pics[1].width, 1440, 1);
  EXPECT_NEAR(pics[1].height, 720, 1);
  EXPECT_NEAR(print::PictureWidthHimetric(at96), 2540, 0.01);
  EXPECT_NEAR(print::HimetricToTwips(2540), 1440, 0.01);
  p.DrawPicture(QImage(), 0, 0);  // no picture: nothing drawn
  EXPECT_EQ(p.document().pages[0].pictures.size(), 2u);
}

TEST(PrinterFlow, ColoursArriveBlueGreenRed) {
  EXPECT_EQ(print::ColorFromBgr(65535), QColor(255, 255, 0));
  EXPECT_EQ(print::ColorFromBgr(0xC0C0FF), QColor(255, 192, 192));
  EXPECT_EQ(print::ColorFromBgr(0xFF0000), QColor(0, 0, 255));
}

TEST(PrinterFlow, ArialMeasuresAsLiberationSans) {
  EXPECT_EQ(print::FamilyFor("arial"), "Liberation Sans");
  EXPECT_EQ(print::FamilyFor("Arial"), "Liberation Sans");
  print::FontSpec f;
  f.size = 10;
  // Liberation Sans has Arial's advance widths: "0" is 0.556 em.
  EXPECT_NEAR(print::MeasureText(f, "0000000000"), 10 * 0.556 * 200, 15);
}

// A value cut to its place keeps whole graphemes: never a letter without
// the accent typed after it, half a surrogate pair, or a consonant without
// its vowel sign or the rest of its conjunct. At every width the cut is the
// longest start that ends between graphemes and fits.
TEST(PrinterFlow, TextCutToAWidthKeepsWholeGraphemes) {
  Printer p;
  for (const char* typed : {"Ame\u0301lie q\u0301\u0323 Bjo\u0308rk", "ab\u0915\u093F cd \u0915\u094D\u0937 ef",
                            "\U0001D11E\U0001D11E x \U00020BB7\U0001F44D\U0001F3FD"}) {
    const QString text = QString::fromUtf8(typed);
    std::vector<qsizetype> bounds{0};
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) bounds.push_back(at);
    const double full = p.TextWidth(typed);
    for (double width = 0; width <= full + 20; width += 7) {
      const QString cut = QString::fromStdString(p.FitText(typed, width));
      ASSERT_TRUE(text.startsWith(cut)) << typed;
      EXPECT_NE(std::find(bounds.begin(), bounds.end(), cut.size()), bounds.end())
          << typed << " cut inside a grapheme at " << cut.size() << " for width " << width;
      EXPECT_LE(p.TextWidth(cut.toStdString()), width) << typed;
      // The next grapheme would not have fitted.
      const auto next = std::upper_bound(bounds.begin(), bounds.end(), cut.size());
      if (next != bounds.end()) {
        EXPECT_GT(p.TextWidth(text.left(*next).toStdString()), width) << typed;
      }
    }
  }
}

}  // namespace
