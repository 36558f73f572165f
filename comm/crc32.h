// CRC-32/MPEG-2: polynomial 0x04C11DB7, most significant bit first, no reflection, no final XOR.
#pragma once
#include <cstddef>
#include <cstdint>

namespace orvu {

inline constexpr uint32_t kCrcInit = 0xFFFFFFFF;

// Every frame check of the protocol starts from kCrcInit.
uint32_t Crc32(const uint8_t* data, size_t len, uint32_t init);

}  // namespace orvu
