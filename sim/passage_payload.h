// Passage payloads for scenarios, built the way the controller stores them: a count byte, 18
// references per passage, then the 8-byte parameter blocks.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace orvu {

inline constexpr uint16_t kSimNoRef = 0xFFFF;

// Device index * 256 + channel, bit 7 the NC flag.
constexpr uint16_t SimRef(unsigned device, unsigned channel, bool nc = false) {
  return uint16_t(((device & 0x7F) << 8) | (channel & 0x1F) | (nc ? 0x80 : 0));
}

struct SimPassage {
  std::array<uint16_t, 4> outputs{kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef};  // bolt, reminder, alarm, CCTV
  std::array<uint16_t, 10> inputs{kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef,
                                  kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef};
  std::array<uint16_t, 4> readers{kSimNoRef, kSimNoRef, kSimNoRef, kSimNoRef};
  // [0] type, [2] airlock (bits 0-1, valid with bit 2), handle (bit 6), full pulse (bit 7),
  // [4] bolt pulse, [6] allowed open time, both in half-seconds.
  std::array<uint8_t, 8> params{};
};

// 2 + 44 * n bytes; bit 7 of byte 0 stays clear (the tool sets it when it writes).
std::vector<uint8_t> EncodeSimPassages(const std::vector<SimPassage>& passages);

}  // namespace orvu
