#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "platform/runtime/DateParts.h"
#include "platform/runtime/Functions.h"

using vb::Variant;

namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

double Serial(int y, int m, int d) { return vb::DateSerial(y, m, d).rawDouble(); }

}  // namespace

TEST(Variant, KindsAndBooleanValue) {
  EXPECT_EQ(Variant().type(), vb::VarType::Empty);
  EXPECT_EQ(Variant::Null().type(), vb::VarType::Null);
  EXPECT_EQ(Variant(true).type(), vb::VarType::Boolean);
  EXPECT_EQ(Variant(true).rawInt(), -1);
  EXPECT_EQ(Variant::Integer(5).type(), vb::VarType::Integer);
  EXPECT_EQ(Variant::Byte(200).type(), vb::VarType::Byte);
  EXPECT_EQ(Variant(5).type(), vb::VarType::Long);
  EXPECT_EQ(Variant(2.5).type(), vb::VarType::Double);
  EXPECT_EQ(Variant("x").type(), vb::VarType::String);
  EXPECT_EQ(Variant::Date(1).type(), vb::VarType::Date);
  EXPECT_TRUE(vb::IsNull(Variant::Null()));
  EXPECT_TRUE(vb::IsEmpty(Variant()));
  EXPECT_EQ(vb::NzStr(Variant::Null()), "");
  EXPECT_EQ(vb::NzStr(Variant(12)), "12");
}

TEST(Conversions, IntegersRoundToEvenAndOverflow) {
  EXPECT_EQ(vb::CInt(Variant(2.5)), 2);
  EXPECT_EQ(vb::CInt(Variant(3.5)), 4);
  EXPECT_EQ(vb::CInt(Variant(-2.5)), -2);
  EXPECT_EQ(vb::CInt(Variant(2.51)), 3);
  EXPECT_EQ(vb::CInt(Variant(" 12 ")), 12);
  EXPECT_EQ(vb::CInt(Variant(true)), -1);
  EXPECT_EQ(vb::CInt(Variant()), 0);
  EXPECT_EQ(vb::CInt(Variant(32767.4)), 32767);
  EXPECT_EQ(vb::CLng(Variant(1e9 + 0.5)), 1000000000);
  EXPECT_EQ(vb::CLng(Variant("-7.5")), -8);
  EXPECT_EQ(vb::CByte(Variant(255)), 255);
  EXPECT_EQ(ErrorOf([] { vb::CInt(Variant(32767.5)); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CInt(Variant(-40000)); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CLng(Variant(3e9)); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CByte(Variant(-1)); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::CInt(Variant("abc")); }), vb::errTypeMismatch);
  EXPECT_EQ(ErrorOf([] { vb::CInt(Variant::Null()); }), vb::errInvalidUseOfNull);
  EXPECT_EQ(ErrorOf([] { vb::CDbl(Variant("")); }), vb::errTypeMismatch);
}

TEST(Conversions, ValReadsTheLeadingNumber) {
  EXPECT_EQ(vb::Val("  12abc"), 12);
  EXPECT_EQ(vb::Val(""), 0);
  EXPECT_EQ(vb::Val("abc"), 0);
  EXPECT_EQ(vb::Val("1.5e2"), 150);
  EXPECT_EQ(vb::Val("-3.25 kg"), -3.25);
  EXPECT_EQ(vb::Val(" 1 2 3"), 123);
  EXPECT_EQ(vb::Val("7e"), 7);
  EXPECT_EQ(vb::Val(".5"), 0.5);
  EXPECT_EQ(vb::Val("1,000"), 1);
}

TEST(Conversions, IsNumericAcceptsOnlyWholeNumbers) {
  EXPECT_TRUE(vb::IsNumeric(Variant(" 12 ")));
  EXPECT_TRUE(vb::IsNumeric(Variant("1e3")));
  EXPECT_TRUE(vb::IsNumeric(Variant("-0.5")));
  EXPECT_TRUE(vb::IsNumeric(Variant("1,000")));
  EXPECT_TRUE(vb::IsNumeric(Variant(3)));
  EXPECT_TRUE(vb::IsNumeric(Variant()));
  EXPECT_FALSE(vb::IsNumeric(Variant("")));
  EXPECT_FALSE(vb::IsNumeric(Variant("abc")));
  EXPECT_FALSE(vb::IsNumeric(Variant("12abc")));
  EXPECT_FALSE(vb::IsNumeric(Variant("1e")));
  EXPECT_FALSE(vb::IsNumeric(Variant(".")));
  EXPECT_FALSE(vb::IsNumeric(Variant::Null()));
  EXPECT_FALSE(vb::IsNumeric(Variant::Date(3)));
}

TEST(Conversions, CStrOfEachKind) {
  EXPECT_EQ(vb::CStr(Variant(true)), "True");
  EXPECT_EQ(vb::CStr(Variant(false)), "False");
  EXPECT_EQ(vb::CStr(Variant(2.5)), "2.5");
  EXPECT_EQ(vb::CStr(Variant(3.0)), "3");
  EXPECT_EQ(vb::CStr(Variant(0.1 + 0.2)), "0.3");
  EXPECT_EQ(vb::CStr(Variant(-0.0)), "0");
  EXPECT_EQ(vb::CStr(Variant(1e20)), "1E+20");
  EXPECT_EQ(vb::CStr(Variant(-42)), "-42");
  EXPECT_EQ(vb::CStr(Variant()), "");
  EXPECT_EQ(vb::CStr(vb::DateSerial(1999, 12, 31)), "12/31/1999");
  EXPECT_EQ(vb::CStr(Variant::Date(Serial(1999, 12, 31) + 0.5)), "12/31/1999 12:00:00 PM");
  EXPECT_EQ(ErrorOf([] { vb::CStr(Variant::Null()); }), vb::errInvalidUseOfNull);
  EXPECT_TRUE(vb::CBool(Variant("true")));
  EXPECT_FALSE(vb::CBool(Variant("0")));
  EXPECT_TRUE(vb::CBool(Variant(-1)));
}

TEST(Dates, TextsUsersType) {
  struct Case {
    const char* text;
    int y, m, d;
  } ok[] = {
      {"1/1/1999", 1999, 1, 1},      {"12/31/99", 1999, 12, 31},    {"1/5/00", 2000, 1, 5},
      {"6/7/29", 2029, 6, 7},        {"6/7/30", 1930, 6, 7},        {"1999-12-31", 1999, 12, 31},
      {"Dec 31, 1999", 1999, 12, 31}, {"31 Dec 1999", 1999, 12, 31}, {"December 31 1999", 1999, 12, 31},
      {"31-Dec-99", 1999, 12, 31},   {"2/29/2000", 2000, 2, 29},    {" 3-4-2001 ", 2001, 3, 4},
      {"Friday, December 31, 1999", 1999, 12, 31},
  };
  for (const Case& c : ok) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(vb::IsDate(Variant(c.text)));
    Variant d = vb::CDate(Variant(c.text));
    EXPECT_EQ(d.type(), vb::VarType::Date);
    EXPECT_EQ(vb::Year(d), c.y);
    EXPECT_EQ(vb::Month(d), c.m);
    EXPECT_EQ(vb::Day(d), c.d);
  }
  for (const char* bad : {"13/45/1999", "2/30/2001", "2/29/2001", "31/12/1999", "0/1/1999", "", "abc", "12",
                          "1/1/1999/5", "1999-13-01", "Foo 3, 1999", "1/1-1999", "25:00", "1/1/1999 10:61"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(vb::IsDate(Variant(bad)));
    EXPECT_EQ(ErrorOf([&] { vb::CDate(Variant(bad)); }), vb::errTypeMismatch);
  }
  EXPECT_FALSE(vb::IsDate(Variant::Null()));
  EXPECT_FALSE(vb::IsDate(Variant(36000)));
  EXPECT_TRUE(vb::IsDate(vb::DateSerial(2000, 1, 1)));
  // A time of day with the date, or alone.
  Variant t = vb::CDate(Variant("1/2/2003 1:30 PM"));
  EXPECT_EQ(vb::Format(t, "yyyy-mm-dd hh:nn:ss"), "2003-01-02 13:30:00");
  EXPECT_EQ(vb::Format(vb::CDate(Variant("12:00 AM")), "hh:mm"), "00:00");
  // The year without a day, as the release-year box writes it.
  EXPECT_EQ(vb::Year(vb::CDate(Variant("1/1/1987"))), 1987);
}

TEST(Dates, SerialsAndIso) {
  EXPECT_EQ(Serial(1899, 12, 30), 0);
  EXPECT_EQ(Serial(1900, 1, 1), 2);
  EXPECT_EQ(Serial(1999, 12, 31), 36525);
  EXPECT_EQ(Serial(1999, 13, 1), Serial(2000, 1, 1));
  EXPECT_EQ(Serial(2000, 3, 0), Serial(2000, 2, 29));
  EXPECT_EQ(Serial(99, 1, 1), Serial(1999, 1, 1));
  EXPECT_EQ(vb::Year(Variant::Date(-1.25)), 1899);
  EXPECT_EQ(vb::Day(Variant::Date(-1.25)), 29);
  EXPECT_EQ(vb::Format(Variant::Date(-1.25), "hh:nn"), "06:00");
  EXPECT_EQ(vb::Year(Variant("5/6/2007")), 2007);
  EXPECT_EQ(ErrorOf([] { vb::Year(Variant::Null()); }), vb::errInvalidUseOfNull);

  for (const char* iso : {"1999-12-31", "2000-02-29 13:45:00", "1850-06-01", "9999-12-31 23:59:59"}) {
    double s = 0;
    ASSERT_TRUE(vb::IsoToDate(iso, s)) << iso;
    EXPECT_EQ(vb::DateToIso(s), iso);
  }
  double s = 0;
  ASSERT_TRUE(vb::IsoToDate("2000-01-02T03:04", s));
  EXPECT_EQ(vb::DateToIso(s), "2000-01-02 03:04:00");
  for (const char* bad : {"", "1999-02-30", "1999-1-1", "1999-12-31x", "1999-12-31 25:00:00", "12/31/1999"})
    EXPECT_FALSE(vb::IsoToDate(bad, s)) << bad;
  // A time just short of midnight rounds to the next day, not to "24:00".
  EXPECT_EQ(vb::DateToIso(Serial(2000, 1, 1) + 0.9999999), "2000-01-02");
  double now = vb::Now().rawDouble();
  EXPECT_GE(vb::Date().rawDouble(), now - 1);
  EXPECT_LE(vb::Date().rawDouble(), now);
}

// A serial outside the years 100 to 9999 (another program's far-off value,
// NaN, an infinity) is no date: it stays the number it is wherever it is
// shown or stored, and never goes through the calendar arithmetic.
TEST(Dates, SerialsOutsideTheCalendarAreNoDates) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double halfSecond = 0.5 / 86400.0;
  for (double x : {1e300, -1e300, inf, -inf, nan, 2958466.0, 2958466.0 - halfSecond / 2, -657435.0,
                   -657435.0 + halfSecond / 2, 1e10, -1e10, 9.3e18, -9.3e18, std::numeric_limits<double>::max()}) {
    SCOPED_TRACE(x);
    const Variant v = Variant::Date(x);
    EXPECT_FALSE(v.isDate());
    EXPECT_FALSE(vb::IsDate(v));
    EXPECT_EQ(ErrorOf([&] { vb::CDate(v); }), vb::errOverflow);
    EXPECT_EQ(ErrorOf([&] { vb::CDate(Variant(x)); }), vb::errOverflow);
    EXPECT_EQ(ErrorOf([&] { vb::Year(v); }), vb::errOverflow);
    const std::string number = vb::CStr(Variant(x));
    for (const char* pattern : {"mm/dd/yyyy", "m/d/yyyy", "yyyy", "Short Date", "General Date", "Long Date"})
      EXPECT_EQ(vb::Format(v, pattern), number) << pattern;
    EXPECT_EQ(vb::DateToIso(x), number);
  }
  EXPECT_EQ(vb::Format(Variant::Date(1e300), "mm/dd/yyyy"), "1E+300");
  EXPECT_EQ(vb::Format(Variant("-1e300"), "mm/dd/yyyy"), "-1e300");
  EXPECT_EQ(vb::CStr(Variant::Date(-1e300)), "-1E+300");
  // The first and last days are dates, with their times.
  EXPECT_EQ(vb::Format(Variant::Date(-657434.0), "mm/dd/yyyy"), "01/01/0100");
  EXPECT_EQ(vb::Format(Variant::Date(-657434.5), "m/d/yyyy hh:nn"), "1/1/0100 12:00");
  EXPECT_EQ(vb::Format(Variant::Date(2958465.99998), "mm/dd/yyyy hh:nn:ss"), "12/31/9999 23:59:58");
  EXPECT_TRUE(vb::IsDate(vb::CDate(Variant(2958465))));
  // Numbers formatted with a number pattern stay numbers, whatever their size.
  EXPECT_EQ(vb::Format(Variant(inf), "0.00"), vb::CStr(Variant(inf)));
  EXPECT_EQ(vb::Format(Variant(nan), "#,##0"), vb::CStr(Variant(nan)));
  EXPECT_EQ(vb::Format(Variant(-1e300), "0"), "-1" + std::string(300, '0'));
}

// Every conversion over the whole range of doubles and of whole numbers: no
// overflow (the sanitizer build stops at the first), and a serial is a date
// exactly when it comes out whole from its parts.
TEST(Dates, ConversionsHoldAcrossTheWholeRange) {
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 200000; ++i) {
    double x;
    if (i % 2) {
      const std::uint64_t bits = random();
      std::memcpy(&x, &bits, sizeof x);  // any double, NaN and infinities included
    } else {
      x = std::uniform_real_distribution<double>(-3e6, 6e6)(random);  // around the calendar's ends
    }
    const Variant v = Variant::Date(x);
    const bool date = v.isDate();
    ASSERT_EQ(vb::IsDate(v), date) << x;
    const std::string shown = vb::Format(v, "mm/dd/yyyy hh:nn:ss");
    const std::string iso = vb::DateToIso(x);
    vb::DateParts p = vb::SplitSerial(x);
    if (date) {
      ASSERT_GE(p.year, 100) << x;
      ASSERT_LE(p.year, 9999) << x;
      double back = 0;
      ASSERT_TRUE(vb::IsoToDate(iso, back)) << x << " " << iso;
      ASSERT_EQ(vb::DateToIso(back), iso) << x;  // the same day and time (-0.5 and 0.5 are one)
      ASSERT_EQ(vb::Year(v), p.year);
      ASSERT_EQ(ErrorOf([&] { vb::CDate(Variant(x)); }), 0) << x;
    } else {
      ASSERT_EQ(shown, vb::CStr(Variant(x))) << x;
      ASSERT_EQ(ErrorOf([&] { vb::CDate(Variant(x)); }), vb::errOverflow) << x;
    }
    vb::Format(Variant(x), "#,##0.00");
    vb::Format(Variant(x), "General Date");
    const int y = static_cast<int>(random()), m = static_cast<int>(random()), d = static_cast<int>(random());
    const int err = ErrorOf([&] { vb::DateSerial(y, m, d); });
    ASSERT_TRUE(err == 0 || err == vb::errOverflow) << y << " " << m << " " << d;
    if (err == 0) {
      ASSERT_TRUE(vb::DateSerial(y, m, d).isDate());
    }
  }
}

// The calendar's ends: the first day past the last date overflows however it
// is reached, and a serial that is no date reads as the parts of serial 0
// (the sweep above finds these only by chance).
TEST(Dates, TheCalendarsEndsOverflowAndNoDateReadsAsSerialZero) {
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(9999, 12, 32); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(10000, 1, 1); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(9999, 13, 1); }), vb::errOverflow);
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(9999, 12, 31); }), 0);
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(100, 1, 1); }), 0);
  EXPECT_EQ(ErrorOf([] { vb::DateSerial(100, 1, 0); }), vb::errOverflow);

  const vb::DateParts zero = vb::SplitSerial(0);
  EXPECT_EQ(zero.year, 1899);
  EXPECT_EQ(zero.month, 12);
  EXPECT_EQ(zero.day, 30);
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {1e300, -1e300, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    const vb::DateParts p = vb::SplitSerial(x);
    EXPECT_EQ(p.year, zero.year) << x;
    EXPECT_EQ(p.month, zero.month) << x;
    EXPECT_EQ(p.day, zero.day) << x;
    EXPECT_EQ(p.hour, 0) << x;
    EXPECT_EQ(p.minute, 0) << x;
    EXPECT_EQ(p.second, 0) << x;
    EXPECT_EQ(p.weekday, zero.weekday) << x;
  }
}

TEST(Format, Dates) {
  Variant d = vb::DateSerial(1999, 3, 7);
  EXPECT_EQ(vb::Format(d, "mm/dd/yyyy"), "03/07/1999");
  EXPECT_EQ(vb::Format(d, "m/d/yyyy"), "3/7/1999");
  EXPECT_EQ(vb::Format(d, "yyyy"), "1999");
  EXPECT_EQ(vb::Format(d, "yy"), "99");
  EXPECT_EQ(vb::Format(d, "Short Date"), "3/7/1999");
  EXPECT_EQ(vb::Format(d, "General Date"), "3/7/1999");
  EXPECT_EQ(vb::Format(d, "Long Date"), "Sunday, March 7, 1999");
  EXPECT_EQ(vb::Format(d, "mmmm d, yyyy"), "March 7, 1999");
  EXPECT_EQ(vb::Format(d, "dd-mmm-yy"), "07-Mar-99");
  EXPECT_EQ(vb::Format(d, "ddd"), "Sun");
  Variant t = Variant::Date(d.rawDouble() + (13 * 3600 + 5 * 60 + 9) / 86400.0);
  EXPECT_EQ(vb::Format(t, "hh:mm:ss"), "13:05:09");
  EXPECT_EQ(vb::Format(t, "h:nn AM/PM"), "1:05 PM");
  EXPECT_EQ(vb::Format(t, "General Date"), "3/7/1999 1:05:09 PM");
  EXPECT_EQ(vb::Format(Variant::Date(0.75), "General Date"), "6:00:00 PM");
  // Date texts and serial numbers are formatted as dates; other text stays.
  EXPECT_EQ(vb::Format(Variant("12/31/99"), "yyyy"), "1999");
  EXPECT_EQ(vb::Format(Variant("1999-12-31"), "mm/dd/yyyy"), "12/31/1999");
  EXPECT_EQ(vb::Format(Variant(36525), "mm/dd/yyyy"), "12/31/1999");
  EXPECT_EQ(vb::Format(Variant("n/a"), "mm/dd/yyyy"), "n/a");
  EXPECT_EQ(vb::Format(Variant::Null(), "mm/dd/yyyy"), "");
  EXPECT_EQ(vb::Format(Variant("\"1\" \\y yyyy"), ""), "\"1\" \\y yyyy");
  EXPECT_EQ(vb::Format(d, "\"Year \"yyyy\\!"), "Year 1999!");
}

TEST(Format, Numbers) {
  EXPECT_EQ(vb::Format(Variant(2.5), "0"), "3");
  EXPECT_EQ(vb::Format(Variant(-2.5), "0"), "-3");
  EXPECT_EQ(vb::Format(Variant(1.005), "0.00"), "1.01");
  EXPECT_EQ(vb::Format(Variant(3), "0.00"), "3.00");
  EXPECT_EQ(vb::Format(Variant(1234567.891), "#,##0"), "1,234,568");
  EXPECT_EQ(vb::Format(Variant(999.5), "#,##0"), "1,000");
  EXPECT_EQ(vb::Format(Variant(12), "#,##0"), "12");
  EXPECT_EQ(vb::Format(Variant(5), "00"), "05");
  EXPECT_EQ(vb::Format(Variant(123), "00"), "123");
  EXPECT_EQ(vb::Format(Variant(0), "#,##0"), "0");
  EXPECT_EQ(vb::Format(Variant(0.5), "#.##"), ".5");
  EXPECT_EQ(vb::Format(Variant(0.256), "0.0%"), "25.6%");
  EXPECT_EQ(vb::Format(Variant(-3), "0;(0)"), "(3)");
  EXPECT_EQ(vb::Format(Variant(0), "0;(0);\"none\""), "none");
  EXPECT_EQ(vb::Format(Variant(-0.001), "0.00"), "0.00");
  EXPECT_EQ(vb::Format(Variant(1e-7), "0.00"), "0.00");
  EXPECT_EQ(vb::Format(Variant(1234.5), "Standard"), "1,234.50");
  EXPECT_EQ(vb::Format(Variant(-1234.5), "Currency"), "($1,234.50)");
  EXPECT_EQ(vb::Format(Variant(" 42 "), "000"), "042");
  EXPECT_EQ(vb::Format(Variant("abc"), "000"), "abc");
  EXPECT_EQ(vb::Format(Variant(2.50), ""), "2.5");
  EXPECT_EQ(vb::Format(Variant(true), "Yes/No"), "Yes");
}

TEST(Strings, CharactersNotBytes) {
  const std::string s = "Édith Piaf";
  EXPECT_EQ(vb::Len(s), 10);
  EXPECT_EQ(vb::Left(s, 2), "Éd");
  EXPECT_EQ(vb::Right(s, 4), "Piaf");
  EXPECT_EQ(vb::Mid(s, 2, 4), "dith");
  EXPECT_EQ(vb::Mid(s, 7), "Piaf");
  EXPECT_EQ(vb::Mid(s, 20), "");
  EXPECT_EQ(vb::Left(s, 99), s);
  EXPECT_EQ(vb::Right("ñé", 1), "é");
  EXPECT_EQ(ErrorOf([] { vb::Mid("abc", 0); }), vb::errInvalidProcedureCall);
  EXPECT_EQ(ErrorOf([] { vb::Left("abc", -1); }), vb::errInvalidProcedureCall);
  EXPECT_EQ(vb::Trim("  a b  "), "a b");
  EXPECT_EQ(vb::LTrim("  a "), "a ");
  EXPECT_EQ(vb::RTrim("  a "), "  a");
  EXPECT_EQ(vb::Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(vb::UCase("édith"), "ÉDITH");
  EXPECT_EQ(vb::LCase("ÉDITH"), "édith");
  EXPECT_EQ(vb::Chr(233), "é");
  EXPECT_EQ(vb::Asc("é"), 233);
  EXPECT_EQ(ErrorOf([] { vb::Asc(""); }), vb::errInvalidProcedureCall);
  EXPECT_EQ(vb::Space(3), "   ");
  EXPECT_EQ(vb::String(2, '*'), "**");
}

TEST(Strings, InStrAndReplace) {
  EXPECT_EQ(vb::InStr("abcabc", "c"), 3);
  EXPECT_EQ(vb::InStr(4, "abcabc", "c"), 6);
  EXPECT_EQ(vb::InStr(7, "abcabc", "c"), 0);
  EXPECT_EQ(vb::InStr("abc", "C"), 0);
  EXPECT_EQ(vb::InStr("abc", "C", true), 3);
  EXPECT_EQ(vb::InStr(1, "Café Noir", "NOIR", true), 6);  // counts characters, not bytes
  EXPECT_EQ(vb::InStr(2, "abc", ""), 2);
  EXPECT_EQ(vb::InStr(" 1 2 3 ", " 2 "), 3);
  EXPECT_EQ(ErrorOf([] { long zero = 0; vb::InStr(zero, "abc", "a"); }), vb::errInvalidProcedureCall);
  EXPECT_EQ(vb::InStrRev("a\\b\\c.jpg", "\\"), 4);
  EXPECT_EQ(vb::InStrRev("abc", "x"), 0);
  EXPECT_EQ(vb::Replace("O'Brien's", "'", "''"), "O''Brien''s");
  EXPECT_EQ(vb::Replace("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(vb::Replace("abc", "", "x"), "abc");
  EXPECT_EQ(vb::CompareText("Édith", "édith"), 0);
  EXPECT_LT(vb::CompareText("abc", "ABD"), 0);
}

TEST(Strings, LikePatterns) {
  EXPECT_TRUE(vb::Like("Abbey Road", "a*"));
  EXPECT_FALSE(vb::Like("Abbey Road", "a*", false));
  EXPECT_TRUE(vb::Like("Abbey Road", "*road"));
  EXPECT_TRUE(vb::Like("cat", "c?t"));
  EXPECT_FALSE(vb::Like("cart", "c?t"));
  EXPECT_TRUE(vb::Like("a1", "a#"));
  EXPECT_FALSE(vb::Like("ab", "a#"));
  EXPECT_TRUE(vb::Like("m", "[a-z]"));
  EXPECT_TRUE(vb::Like("M", "[a-z]"));
  EXPECT_FALSE(vb::Like("5", "[a-z]"));
  EXPECT_TRUE(vb::Like("5", "[!a-z]"));
  EXPECT_TRUE(vb::Like("a*b", "a[*]b"));
  EXPECT_FALSE(vb::Like("axb", "a[*]b"));
  EXPECT_TRUE(vb::Like("", "*"));
  EXPECT_TRUE(vb::Like("éclair", "É*"));
  EXPECT_TRUE(vb::Like("x.jpg", "*.JPG"));
}

TEST(Compare, LooseComparison) {
  EXPECT_EQ(vb::Compare(Variant(2), Variant(10)), -1);
  EXPECT_EQ(vb::Compare(Variant("2"), Variant("10")), 1);  // as text
  EXPECT_EQ(vb::Compare(Variant("10"), Variant(2)), 1);    // as numbers
  EXPECT_EQ(vb::Compare(Variant("abc"), Variant("ABC")), 1);
  EXPECT_EQ(vb::Compare(Variant("abc"), Variant("ABC"), true), 0);
  EXPECT_EQ(vb::Compare(Variant(), Variant(0)), 0);
  EXPECT_EQ(vb::Compare(Variant(), Variant("")), 0);
  EXPECT_EQ(vb::Compare(Variant(true), Variant(-1)), 0);
  EXPECT_EQ(vb::Compare(Variant(5), Variant("x")), -1);
  EXPECT_EQ(vb::Compare(vb::DateSerial(1999, 1, 1), Variant("1/1/1999")), 0);
  EXPECT_EQ(ErrorOf([] { vb::Compare(Variant::Null(), Variant(1)); }), vb::errInvalidUseOfNull);
}
