#pragma once
// Error numbers and texts raised by the data layer.
#include <string>

#include "platform/dao/Dao.h"

namespace dao::detail {

[[noreturn]] inline void Fail(int number, const std::string& text) { throw Error(number, text); }

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
constexpr int errNotUpdatable = 3027;           // "Cannot update. Database or object is read-only."
constexpr int errZeroLength = 3315;             // "Field '...' cannot be a zero-length string."
constexpr int errRequired = 3314;               // Null in a required field
constexpr int errUnknownInsertField = 3127;     // INSERT INTO names a field the target lacks
constexpr int errTooFewParameters = 3061;       // unknown name in a query
constexpr int errDatabaseExists = 3204;         // "Database already exists."
constexpr int errFieldExists = 3191;            // "Cannot define field more than once."
constexpr int errNoTransaction = 3034;          // commit or rollback without BeginTrans
constexpr int errNotValidBookmark = 3159;       // "Not a valid bookmark."
constexpr int errConversionFailed = 3421;       // "Data type conversion error."
constexpr int errCorrupt = 3049;                // the file is damaged
constexpr int errDiskFull = 3026;               // "Not enough space on disk."
constexpr int errInvalidIndex = 3800;           // "'...' is not an index in this table."
constexpr int errNoIndex = 3019;                // "Operation invalid without a current index."

}  // namespace dao::detail
