#pragma once
// Value conversions the data layer needs on its own: dates between serial
// numbers and ISO-8601 text, numbers to text as the classic runtime writes
// them, the Format patterns of the SQL dialect and its Like patterns.
#include <string>
#include <string_view>

#include "platform/runtime/Variant.h"

namespace dao::detail {

// Dates are serial numbers: days since 30 December 1899, the fraction
// being the time of day.
double SerialFromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
void PartsFromSerial(double serial, int& year, int& month, int& day, int& hour, int& minute,
                     int& second);
// "1999-12-31" for a date without time, "1999-12-31 13:45:00" otherwise.
std::string IsoFromSerial(double serial);
// Accepts "yyyy-mm-dd", "yyyy-mm-dd hh:mm[:ss]" (also with "T").
bool SerialFromIso(std::string_view text, double& serial);
// Accepts the texts users type: "m/d/yyyy", "m/d/yy", ISO, optionally a time.
bool SerialFromUserText(std::string_view text, double& serial);

// A number's text as the runtime writes it: up to 15 significant digits,
// no trailing zeros ("2", "2.5", "1E+20").
std::string NumberText(double value);
// The whole text (blanks around allowed) is a number.
bool ParseNumber(std::string_view text, double& value);
// CStr-like text of any value; Null and Empty give "".
std::string ValueText(const vb::Variant& value);
// Format(value, pattern) for the date and number patterns in use.
std::string FormatValue(const vb::Variant& value, std::string_view pattern);

// The dialect's Like: * any run, ? one character, # one digit,
// [list], [!list]; without regard to case.
bool LikeMatch(std::string_view text, std::string_view pattern);

// Number of characters (code points) of UTF-8 text.
size_t CharCount(std::string_view text);

}  // namespace dao::detail
