#pragma once
// Conversion, string and date functions with the semantics of the classic
// BASIC runtime the window code is written against. Strings are UTF-8;
// positions and lengths count characters (code points), 1-based.
#include <cstdint>
#include <string>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Variant.h"

namespace vb {

// ---- conversions (a Null or non-convertible value raises error 13 / 94
// as the runtime does; Empty converts to 0 / "")
std::string CStr(const Variant& v);            // Boolean -> "True"/"False", dates as in Format(v)
std::int16_t CInt(const Variant& v);           // banker's rounding, overflow -> error 6
std::int32_t CLng(const Variant& v);           // banker's rounding
double CDbl(const Variant& v);
bool CBool(const Variant& v);
std::uint8_t CByte(const Variant& v);
Variant CDate(const Variant& v);               // error 13 when not a date
double Val(const std::string& s);              // leading number, blanks skipped, "" -> 0
bool IsNumeric(const Variant& v);
bool IsDate(const Variant& v);                 // texts users type: "1/1/1999", "12/31/99", "1999-12-31", "Jan 5, 1999"
bool IsNull(const Variant& v);
bool IsEmpty(const Variant& v);
// Null and Empty become "" (the "& ''" idiom of the window code).
std::string NzStr(const Variant& v);

// Loose comparison as the language does it: numbers numerically, strings
// as text (binary, or without regard to case when textCompare is true).
// Returns -1, 0, 1. Null compared to anything raises error 94.
int Compare(const Variant& a, const Variant& b, bool textCompare = false);

// ---- strings
std::string Trim(const std::string& s);
std::string LTrim(const std::string& s);
std::string RTrim(const std::string& s);
std::string Left(const std::string& s, long n);
std::string Right(const std::string& s, long n);
std::string Mid(const std::string& s, long start, long length = -1);  // length -1: to the end
long Len(const std::string& s);
// 1-based position of find in s from start, 0 when absent;
// textCompare: without regard to case.
long InStr(long start, const std::string& s, const std::string& find, bool textCompare = false);
long InStr(const std::string& s, const std::string& find, bool textCompare = false);
long InStrRev(const std::string& s, const std::string& find);
std::string UCase(const std::string& s);   // Unicode-aware
std::string LCase(const std::string& s);
std::string Replace(const std::string& s, const std::string& find, const std::string& with);
std::string Space(long n);
std::string String(long n, char c);
std::string Chr(int code);
int Asc(const std::string& s);             // code of the first character; error 5 on ""
// Case-insensitive equality and ordering of text (Unicode-aware, the
// same equality as the database's TVNTEXT collation).
int CompareText(const std::string& a, const std::string& b);
// Like the language's Like operator: *, ?, #, [charlist], without regard
// to case when textCompare.
bool Like(const std::string& s, const std::string& pattern, bool textCompare = true);

// ---- dates (serial numbers: days since 30 December 1899)
Variant Now();
Variant Date();
Variant DateSerial(int year, int month, int day);
int Year(const Variant& d);
int Month(const Variant& d);
int Day(const Variant& d);
// Format of numbers and dates with the patterns the window code uses
// ("mm/dd/yyyy", "m/d/yyyy", "yyyy", "Short Date", "General Date",
// "0", "0.00", "#,##0", "hh:nn:ss", "mmmm d, yyyy" ...). An empty pattern
// gives CStr. Null gives "".
std::string Format(const Variant& v, const std::string& pattern = "");
// ISO-8601 text of a date ("1999-12-31" or "1999-12-31 13:45:00") and back.
std::string DateToIso(double serial);
bool IsoToDate(const std::string& text, double& serial);

}  // namespace vb
