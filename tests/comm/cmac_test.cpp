#include "comm/cmac.h"

#include <gtest/gtest.h>

#include "comm/aes.h"
#include "tests/comm/hex.h"

namespace orvu {
namespace {

using test::Hex;
using test::HexOf;

// NIST SP 800-38B Appendix D.1 / RFC 4493 section 4: AES-128 with this key, messages cut from
// one 64-byte buffer.
const char* const kKey = "2b7e151628aed2a6abf7158809cf4f3c";
const char* const kMessage =
    "6bc1bee22e409f96e93d7e117393172a ae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52ef f69f2445df4f9b17ad2b417be66c3710";

class CmacAes128 : public ::testing::Test {
 protected:
  CmacAes128() : message(Hex(kMessage)) { aes.SetKey(Hex(kKey).data()); }

  std::string Tag(size_t len) {
    uint8_t tag[16];
    cmac.Init();
    cmac.Update(message.data(), len);
    cmac.Final(tag);
    return HexOf(tag, sizeof tag);
  }

  AES128 aes;
  Cmac cmac{aes};
  std::vector<uint8_t> message;
};

// The subkeys first, so that a wrong doubling shows here rather than as a wrong tag.
TEST_F(CmacAes128, SubkeysOfTheExample) {
  uint8_t l[16] = {}, k1[16], k2[16];
  aes.Encrypt(l);
  EXPECT_EQ(HexOf(l, 16), "7df76b0c1ab899b33e42f047b91b546f");
  CmacDouble(l, k1, 16);
  EXPECT_EQ(HexOf(k1, 16), "fbeed618357133667c85e08f7236a8de");
  CmacDouble(k1, k2, 16);
  EXPECT_EQ(HexOf(k2, 16), "f7ddac306ae266ccf90bc11ee46d513b");
}

// Rb is 0x87 for 16-byte blocks and 0x1B for 8-byte ones, applied only when the top bit falls out.
TEST(CmacDoubling, ReductionConstantByBlockSize) {
  uint8_t out[16];
  const auto top16 = Hex("80000000000000000000000000000001");
  CmacDouble(top16.data(), out, 16);
  EXPECT_EQ(HexOf(out, 16), "00000000000000000000000000000085");
  const auto top8 = Hex("8000000000000001");
  CmacDouble(top8.data(), out, 8);  // 0x02 ^ 0x1B
  EXPECT_EQ(HexOf(out, 8), "0000000000000019");
  const auto low = Hex("40000000000000000000000000000001");
  CmacDouble(low.data(), out, 16);
  EXPECT_EQ(HexOf(out, 16), "80000000000000000000000000000002");
}

// 0 bytes: padded branch with K2; 16: exactly one block, K1 without padding; 40: a partial last
// block; 64: four full blocks, the last held back for K1.
TEST_F(CmacAes128, TagsOfTheExampleMessages) {
  EXPECT_EQ(Tag(0), "bb1d6929e95937287fa37d129b756746");
  EXPECT_EQ(Tag(16), "070a16b46b4d4144f79bdd9dd04a287c");
  EXPECT_EQ(Tag(40), "dfa66747de9ae63030ca32611497c827");
  EXPECT_EQ(Tag(64), "51f0bebf7e3b9d92fc49741779363cfe");
}

// The held-back block must survive any way of cutting the message: every pair of cut points
// of the 64-byte message, including empty pieces and cuts on block boundaries.
TEST_F(CmacAes128, PiecesSplitAnywhereGiveTheSameTag) {
  const std::string whole = Tag(64);
  for (size_t a = 0; a <= 64; ++a) {
    for (size_t b = a; b <= 64; ++b) {
      uint8_t tag[16];
      cmac.Init();
      cmac.Update(message.data(), a);
      cmac.Update(message.data() + a, b - a);
      cmac.Update(message.data() + b, 64 - b);
      cmac.Final(tag);
      ASSERT_EQ(HexOf(tag, 16), whole) << "cuts at " << a << " and " << b;
    }
  }
}

// Init starts a fresh message whatever the previous one left behind.
TEST_F(CmacAes128, InitForgetsThePreviousMessage) {
  uint8_t tag[16];
  cmac.Init();
  cmac.Update(message.data(), 23);
  cmac.Init();
  cmac.Update(message.data(), 40);
  cmac.Final(tag);
  EXPECT_EQ(HexOf(tag, 16), "dfa66747de9ae63030ca32611497c827");
}

}  // namespace
}  // namespace orvu
