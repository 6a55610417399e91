#pragma once
// The dynamic value that fields, settings and form controls exchange.
// Its kinds and conversions follow the classic BASIC runtime the window
// code is written against: Empty, Null, Boolean (True = -1), Byte,
// Integer (16-bit), Long (32-bit), Double, Date and String.
#include <cmath>
#include <cstdint>
#include <string>
#include <variant>

namespace vb {

enum class VarType : int {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Double = 5,
  Date = 7,
  String = 8,
  Boolean = 11,
  Byte = 17,
};

constexpr std::int16_t True = -1;
constexpr std::int16_t False = 0;

// Whether a serial is one of the dates the runtime covers, 1 January 100
// to 31 December 9999 (the time rounded to the second staying within those
// days). Anything else (a far-off number another program stored, NaN, an
// infinity) is no date and never goes through the calendar arithmetic.
inline bool IsDateSerial(double serial) {
  if (!(serial > -657436.0 && serial < 2958467.0)) return false;  // NaN fails too
  const double days = std::trunc(serial);
  const long long secs = std::llround(std::fabs(serial - days) * 86400.0);
  long long day = static_cast<long long>(days);
  if (secs >= 86400) day += serial >= 0 ? 1 : -1;  // rounding carried into the next day
  return day >= -657434 && day <= 2958465;
}

// A date is held as the classic serial number: days since 30 December
// 1899, the fraction being the time of day.
struct DateValue {
  double serial = 0.0;
  bool operator==(const DateValue&) const = default;
};

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(bool b) : type_(VarType::Boolean), v_(std::int64_t(b ? -1 : 0)) {}
  Variant(int i) : type_(VarType::Long), v_(std::int64_t(i)) {}
  Variant(long i) : type_(VarType::Long), v_(std::int64_t(i)) {}
  Variant(double d) : type_(VarType::Double), v_(d) {}
  Variant(const char* s) : type_(VarType::String), v_(std::string(s ? s : "")) {}
  Variant(std::string s) : type_(VarType::String), v_(std::move(s)) {}
  // A serial that is no date (IsDateSerial) stays the number it is.
  Variant(DateValue d) : type_(IsDateSerial(d.serial) ? VarType::Date : VarType::Double), v_(d.serial) {}

  static Variant Null() { Variant v; v.type_ = VarType::Null; return v; }
  static Variant Boolean(bool b) { return Variant(b); }
  static Variant Byte(std::uint8_t b) { Variant v; v.type_ = VarType::Byte; v.v_ = std::int64_t(b); return v; }
  static Variant Integer(std::int16_t i) { Variant v; v.type_ = VarType::Integer; v.v_ = std::int64_t(i); return v; }
  static Variant Long(std::int32_t i) { Variant v; v.type_ = VarType::Long; v.v_ = std::int64_t(i); return v; }
  // A Date, or a Double when the serial is no date (see IsDateSerial).
  static Variant Date(double serial) { return Variant(DateValue{serial}); }

  VarType type() const { return type_; }
  bool isEmpty() const { return type_ == VarType::Empty; }
  bool isNull() const { return type_ == VarType::Null; }
  bool isString() const { return type_ == VarType::String; }
  bool isNumber() const {
    return type_ == VarType::Integer || type_ == VarType::Long || type_ == VarType::Double ||
           type_ == VarType::Byte || type_ == VarType::Boolean;
  }
  bool isDate() const { return type_ == VarType::Date; }

  // Raw access, valid only for the matching kind (integer kinds include
  // Boolean, Byte, Integer and Long; Double and Date share the double).
  std::int64_t rawInt() const { return std::get<std::int64_t>(v_); }
  double rawDouble() const { return std::get<double>(v_); }
  const std::string& rawString() const { return std::get<std::string>(v_); }

  // Exact equality of kind and value (not the loose comparison of the
  // language; use vb::Compare for that).
  bool operator==(const Variant& o) const { return type_ == o.type_ && v_ == o.v_; }

 private:
  VarType type_ = VarType::Empty;
  std::variant<std::monostate, std::int64_t, double, std::string> v_;
};

}  // namespace vb
