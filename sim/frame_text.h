// One-line description of a datagram for traffic logs: its length, what it claims to be, and
// its bytes in hex.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace orvu {

// e.g. "12 B discovery 4d4d444fffffffff...", "27 B secured 'D' seq 3 4d4d4443...".
std::string FrameText(const uint8_t* data, size_t len);

}  // namespace orvu
