#pragma once
// Error numbers and texts raised by the data layer.
#include <string>

#include "platform/dao/Dao.h"

namespace dao::detail {

[[noreturn]] inline void Fail(int number, const std::string& text) { throw Error(number, text); }
// A failure of the file as a whole, naming it (see FileError).
[[noreturn]] inline void FailFile(int number, const std::string& text, const std::string& path) {
  throw FileError(number, text, path);
}
// What the engine says of a damaged file, at opening or later: one error
// for a page it cannot read and for a header that is no longer a
// database's.
[[noreturn]] inline void FailDamaged(const std::string& path) {
  FailFile(errDamaged,
           "Cannot open database '" + path +
               "'. It may not be a database that your application recognizes, or the file may be corrupt.",
           path);
}

[[noreturn]] inline void FailNoCurrentRecord() { Fail(errNoCurrentRecord, "No current record."); }
[[noreturn]] inline void FailItemNotFound() { Fail(errItemNotFound, "Item not found in this collection."); }
[[noreturn]] inline void FailSyntax(const std::string& sql) {
  Fail(errSyntax, "Syntax error in query expression '" + sql + "'.");
}

constexpr int errInvalidArgument = 3001;  // "Invalid argument."

// Text holding a zero byte cannot pass through SQL text or be stored: the
// engine would cut it there.
[[noreturn]] inline void FailZeroByte() {
  Fail(errInvalidArgument, "The text holds a zero character (Chr(0)), which cannot be stored. Remove it and try "
                           "again.");
}

// Numbers without a name in the public header.
constexpr int errRecordDeleted = 3167;          // "Record is deleted."
constexpr int errZeroLength = 3315;             // "Field '...' cannot be a zero-length string."
constexpr int errRequired = 3314;               // Null in a required field
constexpr int errUnknownInsertField = 3127;     // INSERT INTO names a field the target lacks
constexpr int errTooFewParameters = 3061;       // unknown name in a query
constexpr int errDatabaseExists = 3204;         // "Database already exists."
constexpr int errFieldExists = 3191;            // "Cannot define field more than once."
constexpr int errNoTransaction = 3034;          // commit or rollback without BeginTrans
constexpr int errNotValidBookmark = 3159;       // "Not a valid bookmark."
constexpr int errConversionFailed = 3421;       // "Data type conversion error."
constexpr int errCorrupt = errDamaged;          // the file is damaged
constexpr int errDiskFull = 3026;               // "Not enough space on disk."
constexpr int errInvalidIndex = 3800;           // "'...' is not an index in this table."
constexpr int errNoIndex = 3019;                // "Operation invalid without a current index."

}  // namespace dao::detail
