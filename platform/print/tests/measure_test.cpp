// Measuring from cached advances must give, to the last bit, the width the
// shaper gives the whole text: every position on a page depends on it.
#include <gtest/gtest.h>

#include <QString>

#include <random>
#include <vector>

#include "platform/print/Fonts.h"
#include "platform/print/Printer.h"

namespace {

using print::FontSpec;

std::vector<FontSpec> ReportFonts() {
  std::vector<FontSpec> fonts;
  for (const char* name : {"arial", "times new roman", "courier new"})
    for (double size : {8.0, 10.0})
      for (int style = 0; style < 4; ++style) {
        FontSpec f;
        f.name = name;
        f.size = size;
        f.bold = style & 1;
        f.italic = style & 2;
        fonts.push_back(f);
      }
  return fonts;
}

void ExpectShapedWidth(const FontSpec& font, const QString& text) {
  const print::FontEntry& e = print::FontFor(font);
  EXPECT_EQ(print::TextAdvance(e, text), e.metrics.horizontalAdvance(text))
      << font.name << " " << font.size << (font.bold ? " bold" : "") << (font.italic ? " italic" : "") << ": \""
      << text.toStdString() << "\"";
  EXPECT_EQ(print::MeasureText(font, text), e.metrics.horizontalAdvance(text));
}

TEST(Measure, KerningPairsAccentsQuotesAndOtherScriptsMeasureAsTheWholeText) {
  const std::vector<QString> texts = {
      "AV", "To", "Wa", "AVATAR AWAY", "Tokyo, Yves. LTA", "P.J. \"quoted\" it's", "\u00ABguillemets\u00BB",
      "caf\u00E9 na\u00EFve \u00C6r\u00F8 \u00C5ngstr\u00F6m", "Stra\u00DFe \u0152uvre", "fiffle office ffl",
      " T A  V ", "  ", "1/11 11:11", "Y\u00E9", "V\u00F6gel \u00D1and\u00FA",
      // Not plain Latin: shaped as a whole, with its fallback font.
      "\u6771\u4EAC\u306E\u591C", "Song \u6771\u4EAC 1.2", "\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC",
      "\u0420\u0443\u0441\u0441\u043A\u0438\u0439", "\u05E2\u05D1\u05E8\u05D9\u05EA AV",
      "soft\u00ADhyphen", "no\u00A0break", "tab\there", "e\u0301 combining", "\u2014dash\u2014 \u201CTo\u201D"};
  for (const FontSpec& font : ReportFonts())
    for (const QString& text : texts) ExpectShapedWidth(font, text);
}

TEST(Measure, RandomLatinTextMeasuresAsTheWholeText) {
  // Every printable Latin-1 character, and the blank more often, as text
  // has it.
  QString alphabet;
  for (char16_t c = 0x20; c <= 0xFF; ++c)
    if (c < 0x7F || c > 0xA0) alphabet += QChar(c);
  alphabet += QString(12, QLatin1Char(' '));
  std::mt19937 random(20261209);
  std::uniform_int_distribution<qsizetype> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(1, 40);
  for (const FontSpec& font : ReportFonts()) {
    for (int k = 0; k < 150; ++k) {
      QString text;
      for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
      ExpectShapedWidth(font, text);
    }
  }
}

TEST(Measure, LongTextMeasuresAsTheWholeText) {
  // Long enough for the shaper to cut it into pieces.
  QString text;
  while (text.size() < 9000) text += "AVATAR To Wa caf\u00E9 \"Yves\" ";
  FontSpec arial;
  for (qsizetype n : {999, 1000, 1001, 4095, 4096, 4097, 8999}) ExpectShapedWidth(arial, text.left(n));
  // Every neighbour a kerned pair, wherever a cut may fall.
  const QString kerned = QString("AV").repeated(4500);
  for (qsizetype n : {1001, 4097, 9000}) ExpectShapedWidth(arial, kerned.left(n));
}

TEST(Measure, AFontThatIsNotCheckedIsAlwaysShaped) {
  FontSpec other;
  other.name = "Noto Sans CJK JP";
  const print::FontEntry& e = print::FontFor(other);
  EXPECT_FALSE(e.pairwise);
  ExpectShapedWidth(other, "AVATAR To Wa");
}

}  // namespace
