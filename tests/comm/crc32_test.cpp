#include "comm/crc32.h"

#include <gtest/gtest.h>

namespace orvu {
namespace {

TEST(Crc32, ZeroBytesReturnTheInitialValue) {
  EXPECT_EQ(Crc32(nullptr, 0, kCrcInit), kCrcInit);
  EXPECT_EQ(Crc32(nullptr, 0, 0x12345678), 0x12345678u);
}

// The catalogue check value of CRC-32/MPEG-2.
TEST(Crc32, CheckValueOfTheNineDigits) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc32(digits, sizeof digits, kCrcInit), 0x0376E6E7u);
}

// The table stands in for the bit-by-bit register; both must agree on every byte value and
// on a running value carried between calls.
TEST(Crc32, AgreesWithTheBitwiseRegister) {
  auto bitwise = [](const uint8_t* p, size_t n, uint32_t crc) {
    for (size_t i = 0; i < n; ++i) {
      crc ^= uint32_t(p[i]) << 24;
      for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
  };
  uint8_t all[256];
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i * 37 + 11);
  EXPECT_EQ(Crc32(all, sizeof all, kCrcInit), bitwise(all, sizeof all, kCrcInit));
  EXPECT_EQ(Crc32(all + 100, 156, Crc32(all, 100, kCrcInit)), Crc32(all, sizeof all, kCrcInit));
}

}  // namespace
}  // namespace orvu
