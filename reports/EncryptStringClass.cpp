#include "reports/EncryptStringClass.h"

#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"

namespace {
const std::u16string kKey = u"KESTRAVONEL";
}

// The shift settles in one step: products below 2 climb by fives and,
// being multiples of 5, stop at 5; products above 64 fold once to
// (p mod 22) * 3, which lies between 3 and 63 unless it is 0, and 0 then
// climbs to 5. Stepping there one turn at a time could take hundreds of
// millions of turns for a large negative ID.
std::int32_t EncryptStringClass::Shift(std::int32_t ID) {
  std::int64_t product = std::int64_t(ID) * 5;
  if (product > INT32_MAX || product < INT32_MIN) vb::Raise(vb::errOverflow);
  auto shift = static_cast<std::int32_t>(product);
  if (shift < 2) return 5;
  if (shift > 64) {
    std::int32_t folded = (shift % 22) * 3;
    return folded == 0 ? 5 : folded;
  }
  return shift;
}

std::u16string EncryptStringClass::szEncryptDecrypt(const std::u16string& szData, std::int32_t ID) {
  if (szData.empty()) return szData;
  const std::int32_t shift = Shift(ID);
  std::u16string out(szData.size(), u'\0');
  for (std::size_t c = 0; c < szData.size(); ++c) {
    const char16_t key = kKey[c % kKey.size()];
    const char16_t data = szData[c];
    // Byte 2c is the low byte of the character, byte 2c+1 the high one.
    const int lowMask = (key & 0xFF) - shift;
    const int highMask = (key >> 8) + shift;
    const int low = (data & 0xFF) ^ (lowMask & 0xFF);
    const int high = (data >> 8) ^ (highMask & 0xFF);
    out[c] = static_cast<char16_t>((high << 8) | low);
  }
  return out;
}

std::int32_t EncryptStringClass::Find_MinMaxE_ID(dao::DatabasePtr MDB, dao::RecordsetPtr CodeTable) {
  if (CodeTable->RecordCount() == 0) return 0;
  dao::RecordsetPtr max = MDB->OpenRecordset("SELECT Max(e_id) AS [Maxsegid] FROM codetable;");
  std::int32_t result = vb::CLng(max->GetField("maxsegid"));
  max->Close();
  return result;
}
