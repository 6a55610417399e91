#include <gtest/gtest.h>

#include <cmath>

#include "platform/runtime/Errors.h"
#include "reports/EncryptStringClass.h"
#include "core/tests/CoreTestSupport.h"

namespace {

// The shift as the stepping rule gives it, one turn at a time.
std::int32_t SteppedShift(std::int32_t id) {
  std::int32_t shift = id * 5;
  std::int32_t previous = 0;
  while (shift < 2 || shift > 64) {
    std::int32_t current = shift;
    std::int32_t next = shift > 64 ? (shift % 22) * 3 : shift + 5;
    if (next == previous) next = static_cast<std::int32_t>(std::nearbyint(next / 2.0));
    previous = current;
    shift = next;
  }
  return shift;
}

TEST(Cipher, ShiftMatchesTheSteppingRuleOnEveryIdFromMinusToPlusAThousand) {
  for (std::int32_t id = -1000; id <= 1000; ++id) ASSERT_EQ(EncryptStringClass::Shift(id), SteppedShift(id)) << id;
  EXPECT_EQ(EncryptStringClass::Shift(1), 5);
  EXPECT_EQ(EncryptStringClass::Shift(12), 60);
  EXPECT_EQ(EncryptStringClass::Shift(13), 63);
  EXPECT_EQ(EncryptStringClass::Shift(0), 5);
  // Far below zero the answer still comes at once.
  EXPECT_EQ(EncryptStringClass::Shift(-400000000), 5);
}

TEST(Cipher, AnIdWhoseFivefoldDoesNotFitRaisesOverflow) {
  EncryptStringClass cipher;
  try {
    cipher.szEncryptDecrypt(u"x", 429496730);
    FAIL() << "no error";
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.Number(), vb::errOverflow);
  }
  EXPECT_THROW(cipher.szEncryptDecrypt(u"x", -429496730), vb::RuntimeError);
  EXPECT_NO_THROW(cipher.szEncryptDecrypt(u"x", 429496729));
}

TEST(Cipher, KnownTextsScrambleToKnownCodesAndBack) {
  EncryptStringClass cipher;
  EXPECT_EQ(cipher.szEncryptDecrypt(u"", 7), u"");
  EXPECT_EQ(cipher.szEncryptDecrypt(u"A", 1), std::u16string(1, char16_t(0x0507)));
  const std::u16string hello{0x050E, 0x0525, 0x0522, 0x0523, 0x0522};
  EXPECT_EQ(cipher.szEncryptDecrypt(u"Hello", 1), hello);
  const std::u16string year{0x3F58, 0x3F67, 0x3F62, 0x3F7A, 0x3F7F, 0x3F6B, 0x3F79,
                            0x3F30, 0x3F3D, 0x3F36, 0x3F3F, 0x3F38, 0x3F27};
  EXPECT_EQ(cipher.szEncryptDecrypt(u"Tavolin 2024!", 13), year);
  EXPECT_EQ(cipher.szEncryptDecrypt(year, 13), u"Tavolin 2024!");

  // Characters beyond the first 256 and lone halves of pairs come back too.
  const std::u16string odd{0x20AC, 0xD83C, 0x0041, 0xFFFF};
  EXPECT_EQ(cipher.szEncryptDecrypt(cipher.szEncryptDecrypt(odd, 99), 99), odd);
  EXPECT_NE(cipher.szEncryptDecrypt(u"Hello", 1), cipher.szEncryptDecrypt(u"Hello", 2));
}

TEST(Cipher, TheKeyStartsAgainAtTheTwelfthCharacter) {
  EncryptStringClass cipher;
  const std::u16string twelve = u"aaaaaaaaaaaa";
  std::u16string out = cipher.szEncryptDecrypt(twelve, 3);
  EXPECT_EQ(out[11], out[0]);
  EXPECT_NE(out[1], out[0]);
}

class CipherTable : public tvntest::DataFolderTest {};

TEST_F(CipherTable, HighestIdComesFromTheCodeTableAndAnEmptyTableAsksNothing) {
  auto db = dao::DBEngine::Workspaces().CreateDatabase(Path("codes.mdb"));
  db->Execute("create table codetable (e_id integer)");
  db->Execute("create table other (x integer)");
  EncryptStringClass cipher;
  // The empty recordset decides; the database has no rows to ask about.
  EXPECT_EQ(cipher.Find_MinMaxE_ID(db, db->OpenRecordset("other")), 0);
  db->Execute("insert into codetable values (4)");
  db->Execute("insert into codetable values (-9)");
  db->Execute("insert into codetable values (17)");
  EXPECT_EQ(cipher.Find_MinMaxE_ID(db, db->OpenRecordset("codetable")), 17);

  auto bare = dao::DBEngine::Workspaces().CreateDatabase(Path("bare.mdb"));
  bare->Execute("create table other (x integer)");
  EXPECT_EQ(cipher.Find_MinMaxE_ID(bare, bare->OpenRecordset("other")), 0);
  bare->Execute("insert into other values (1)");
  EXPECT_THROW(cipher.Find_MinMaxE_ID(bare, bare->OpenRecordset("other")), vb::RuntimeError);
}

}  // namespace
