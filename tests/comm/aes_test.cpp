#include "comm/aes.h"

#include <gtest/gtest.h>

#include "tests/comm/hex.h"

namespace orvu {
namespace {

using test::Hex;
using test::HexOf;

// Exposes the key schedule so the expansion can be checked word by word.
class ExposedAes128 : public AES128 {
 public:
  uint32_t Word(int i) const { return w_[i]; }
};

// FIPS-197 Appendix A.1: expansion of the key 2b7e1516 28aed2a6 abf71588 09cf4f3c.
TEST(Aes, KeyExpansionOfAppendixA1) {
  ExposedAes128 aes;
  aes.SetKey(Hex("2b7e151628aed2a6abf7158809cf4f3c").data());
  const struct {
    int index;
    uint32_t word;
  } rows[] = {
      {0, 0x2b7e1516}, {3, 0x09cf4f3c},  {4, 0xa0fafe17},  {5, 0x88542cb1},  {6, 0x23a33939},
      {7, 0x2a6c7605}, {8, 0xf2c295f2},  {40, 0xd014f9a8}, {41, 0xc9ee2589}, {42, 0xe13f0cc8},
      {43, 0xb6630ca6},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(aes.Word(row.index), row.word) << "w[" << row.index << "]";
  }
}

// FIPS-197 Appendix C (example vectors for each key size) and Appendix B (the worked cipher
// example); each row is encrypted and decrypted again.
TEST(Aes, ExampleVectorsEncryptAndDecrypt) {
  const struct {
    int nk;
    const char* key;
    const char* plain;
    const char* cipher;
  } rows[] = {
      {4, "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
       "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {4, "2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
       "3925841d02dc09fbdc118597196a0b32"},
      {6, "000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
       "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {8, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    AES aes(row.nk);
    aes.SetKey(Hex(row.key).data());
    auto block = Hex(row.plain);
    aes.Encrypt(block.data());
    EXPECT_EQ(HexOf(block), row.cipher);
    aes.Decrypt(block.data());
    EXPECT_EQ(HexOf(block), row.plain);
  }
}

TEST(Aes, Aes128HasTheSystemsShape) {
  AES128 aes;
  EXPECT_EQ(aes.blockSize, 16);
  EXPECT_THROW(AES(5), std::invalid_argument);
}

// A new key replaces the whole schedule: the cipher keeps no trace of the previous device's key.
TEST(Aes, SetKeyAgainReplacesThePreviousKey) {
  AES128 reused, fresh;
  reused.SetKey(Hex("2b7e151628aed2a6abf7158809cf4f3c").data());
  const auto key = Hex("000102030405060708090a0b0c0d0e0f");
  reused.SetKey(key.data());
  fresh.SetKey(key.data());
  auto a = Hex("00112233445566778899aabbccddeeff"), b = a;
  reused.Encrypt(a.data());
  fresh.Encrypt(b.data());
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace orvu
