#pragma once
// A symmetric text scrambler keyed by a fixed key and a numeric
// identifier, and the highest identifier of a code table. Offered to other
// clients of the report library; nothing in the program uses it.
#include <cstdint>
#include <string>

#include "platform/dao/Dao.h"

class EncryptStringClass {
 public:
  // Scrambles (or, given its own result and the same ID, restores) a text
  // of UTF-16 code units. Raises the overflow error when ID * 5 does not
  // fit 32 bits.
  std::u16string szEncryptDecrypt(const std::u16string& szData, std::int32_t ID);
  // 0 for an empty CodeTable (MDB is then not asked), else Max(e_id) of
  // the table codetable.
  std::int32_t Find_MinMaxE_ID(dao::DatabasePtr MDB, dao::RecordsetPtr CodeTable);

  // The shift the scrambler derives from ID.
  static std::int32_t Shift(std::int32_t ID);
};
