// The device side of the wire format: checking the frames a device receives and building the
// frames it sends. Written apart from the tool's frame code on purpose, so that a mistake in
// one is caught by the other.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvu::simwire {

using SessionKey = std::array<uint8_t, 16>;

inline constexpr size_t kPlainRequestSize = 12;
inline constexpr size_t kSecuredOverhead = 19;  // tag 4, identity 4, seq 2, command 1, signature 8
inline constexpr size_t kSignatureSize = 8;
inline constexpr size_t kStatusPayloadSize = 16;
inline constexpr uint32_t kEveryDevice = 0xFFFFFFFF;
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kNak = 0x15;

inline uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

// The CRC-32 in the last four bytes matches the bytes before it.
bool TrailingCrcMatches(const uint8_t* frame, size_t len);
// The 8-byte signature in the last eight bytes is the truncated CMAC of the bytes before it
// under key; compared in constant time.
bool TrailingSignatureMatches(const uint8_t* frame, size_t len, const SessionKey& key);

// key = AES-128(seed) under the key seed.
SessionKey SessionKeyFromSeed(const SessionKey& seed);

// "MMD" + cmd, identity, payload, CRC-32.
std::vector<uint8_t> PlainReply(uint8_t cmd, uint32_t id, const std::vector<uint8_t>& payload);
// The status block: mode at byte 2, '1' at byte 3. As a plain 'O' reply it is also the
// 28-byte discovery answer, mode at frame offset 10.
std::vector<uint8_t> StatusPayload(uint8_t mode);
// "MMDC", identity, two bytes (the request's sequence number echoed), cmd | 0x80, payload,
// the first 8 bytes of the CMAC under key.
std::vector<uint8_t> SecuredReply(uint32_t id, uint16_t seq, uint8_t cmd,
                                  const std::vector<uint8_t>& payload, const SessionKey& key);

}  // namespace orvu::simwire
