// The three kinds of frame on the device port: plain ("MMD" + command, CRC-32), secured
// ("MMDC", truncated AES-128-CMAC) and discovery ("MMDO", CRC-32). Pure functions over byte
// buffers; none reads past the length it is given.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "comm/cmac.h"
#include "comm/le.h"

namespace orvu {

// Tags as little-endian words of their first four bytes.
inline constexpr uint32_t kTagSecured = 0x43444D4D;    // "MMDC"
inline constexpr uint32_t kTagDiscovery = 0x4F444D4D;  // "MMDO"
constexpr uint32_t PlainTag(uint8_t cmd) { return 0x00444D4Du | (uint32_t{cmd} << 24); }

inline constexpr uint32_t kEveryDevice = 0xFFFFFFFF;

inline constexpr size_t kPlainRequestSize = 12;
inline constexpr size_t kPlainReplyMin = 16;         // header, 4 payload bytes, CRC
inline constexpr size_t kPlainOverhead = 12;         // header 8 + CRC 4
inline constexpr size_t kSecuredOverhead = 19;       // header 11 + signature 8
inline constexpr size_t kSignatureSize = 8;
inline constexpr size_t kDiscoveryRequestSize = 12;
inline constexpr size_t kDiscoveryAnswerSize = 28;
inline constexpr size_t kSecuredSeqOffset = 8;
inline constexpr size_t kSecuredCmdOffset = 10;
inline constexpr size_t kSecuredPayloadOffset = 11;
inline constexpr size_t kPlainPayloadOffset = 8;
inline constexpr size_t kModeOffset = 10;  // discovery answer
inline constexpr uint8_t kReplyBit = 0x80;

// "MMD" + cmd, identity, CRC-32 of bytes 0-7.
std::array<uint8_t, kPlainRequestSize> PlainRequest(uint8_t cmd, uint32_t id);
// "MMDO", 0xFFFFFFFF, CRC-32 of bytes 0-7.
std::array<uint8_t, kDiscoveryRequestSize> DiscoveryRequest();

// "MMDC", identity, sequence 0, command, payload, zero signature: 19 + len bytes.
// Each try stamps its own sequence number and signature with StampSecured.
std::vector<uint8_t> SecuredRequest(uint32_t id, uint8_t cmd, const uint8_t* payload,
                                    size_t len);
// Writes seq at offset 8 and the first 8 bytes of the CMAC of everything before the signature.
// mac's cipher must hold the session key.
void StampSecured(std::vector<uint8_t>& frame, uint16_t seq, Cmac& mac);

// Why a received datagram is or is not the reply to a request.
enum class ReplyVerdict {
  kAccepted,
  kTooShort,       // below 16 bytes, or below 19 for a secured reply
  kOtherTag,       // bytes 0-3 are not the expected tag
  kOtherDevice,    // bytes 4-7 are not the addressed identity
  kOtherCommand,   // secured: byte 10 is not the command with bit 7 set
};
// replyCmd 0: plain reply matching by tag and identity; otherwise a secured reply to replyCmd.
ReplyVerdict CheckReply(const uint8_t* frame, size_t n, uint32_t tag, uint32_t id,
                        uint8_t replyCmd);
inline bool ReplyAccepted(const uint8_t* frame, size_t n, uint32_t tag, uint32_t id,
                          uint8_t replyCmd) {
  return CheckReply(frame, n, tag, id, replyCmd) == ReplyVerdict::kAccepted;
}

// The CRC-32 of bytes 0 to n - 5 equals the word at n - 4 (false below 4 bytes).
bool CrcTrailerValid(const uint8_t* frame, size_t n);
// The last 8 bytes equal the truncated CMAC of the bytes before them, compared in constant
// time (false below 19 bytes). mac's cipher must hold the session key.
bool SignatureValid(const uint8_t* frame, size_t n, Cmac& mac);

struct DiscoveryAnswer {
  uint32_t id;
  uint8_t mode;
};
// A discovery answer is exactly 28 bytes: "MMDO", an identity other than 0xFFFFFFFF with
// marker 2 in bits 28-31, the mode byte at 10 and a valid CRC-32 at 24. The type filter is the
// device set's business.
std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(const uint8_t* frame, size_t n);

}  // namespace orvu
