#pragma once
// Calendar parts of a date serial, shared by the date functions and Format.
#include <string>

#include "platform/runtime/Variant.h"

namespace vb {

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int weekday = 1;  // 1 = Sunday
};

// Splits a serial (days since 30 December 1899) into its parts, the time
// rounded to the second. A serial that is no date (outside the years 100 to
// 9999, NaN, infinite: see IsDateSerial) gives the parts of serial 0;
// callers that show or store a value check IsDateSerial first.
DateParts SplitSerial(double serial);
// Builds a serial from valid parts (years 100 to 9999); false when any
// part is out of range (31 April, hour 24 ...).
bool MakeSerial(int year, int month, int day, int hour, int minute, int second, double& serial);
// Reads a date as users type it ("1/1/1999", "12/31/99", "1999-12-31",
// "Dec 31, 1999", "31 Dec 1999", optionally with a time of day).
bool ParseDate(const std::string& text, double& serial);

}  // namespace vb
