// The data layer's conversions are the runtime's own: one rule for dates,
// numbers, Format and Like whether a value is shown by a window or
// computed inside an SQL statement.
#include "platform/dao/Convert.h"

#include "platform/runtime/DateParts.h"
#include "platform/runtime/Functions.h"

namespace dao::detail {

double SerialFromParts(int year, int month, int day, int hour, int minute, int second) {
  double serial = 0;
  vb::MakeSerial(year, month, day, hour, minute, second, serial);
  return serial;
}

void PartsFromSerial(double serial, int& year, int& month, int& day, int& hour, int& minute, int& second) {
  vb::DateParts p = vb::SplitSerial(serial);
  year = p.year;
  month = p.month;
  day = p.day;
  hour = p.hour;
  minute = p.minute;
  second = p.second;
}

std::string IsoFromSerial(double serial) { return vb::DateToIso(serial); }

bool SerialFromIso(std::string_view text, double& serial) { return vb::IsoToDate(std::string(text), serial); }

bool SerialFromUserText(std::string_view text, double& serial) {
  return vb::ParseDate(std::string(text), serial);
}

std::string NumberText(double value) { return vb::CStr(vb::Variant(value)); }

bool ParseNumber(std::string_view text, double& value) {
  vb::Variant v{std::string(text)};
  if (!vb::IsNumeric(v)) return false;
  value = vb::CDbl(v);
  return true;
}

std::string ValueText(const vb::Variant& value) { return vb::NzStr(value); }

std::string FormatValue(const vb::Variant& value, std::string_view pattern) {
  return vb::Format(value, std::string(pattern));
}

bool LikeMatch(std::string_view text, std::string_view pattern) {
  return vb::Like(std::string(text), std::string(pattern), true);
}

size_t CharCount(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace dao::detail
