// CRC-32/MPEG-2 (polynomial 0x04C11DB7, MSB first, no reflection, no final XOR).
// Trade-off: one 1 KiB table built at compile time, one lookup per byte.
#include "comm/crc32.h"

#include <array>

namespace orvu {
namespace {

constexpr uint32_t kPoly = 0x04C11DB7;

// Entry b is the register after feeding byte b into bits 24-31 of a zero register and
// stepping it eight times; the CRC is linear, so this stands in for the eight steps.
constexpr std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t r = b << 24;
    for (int i = 0; i < 8; ++i) r = (r & 0x80000000u) ? (r << 1) ^ kPoly : r << 1;
    t[b] = r;
  }
  return t;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t len, uint32_t init) {
  uint32_t crc = init;
  for (size_t i = 0; i < len; ++i) crc = (crc << 8) ^ kTable[(crc >> 24) ^ data[i]];
  return crc;
}

}  // namespace orvu
