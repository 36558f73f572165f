// Building and checking frames. Every check takes the received length and looks at nothing
// beyond it.
#include "comm/frames.h"

#include <cstring>

#include "comm/crc32.h"
#include "comm/wipe.h"

namespace orvu {
namespace {

template <size_t N>
std::array<uint8_t, N> CrcFramed(uint32_t tag, uint32_t id) {
  std::array<uint8_t, N> frame{};
  PutLe32(frame.data(), tag);
  PutLe32(frame.data() + 4, id);
  PutLe32(frame.data() + 8, Crc32(frame.data(), 8, kCrcInit));
  return frame;
}

void Sign(const uint8_t* data, size_t len, Cmac& mac, uint8_t* out) {
  uint8_t tag[16];
  mac.Init();
  mac.Update(data, len);
  mac.Final(tag);
  std::memcpy(out, tag, kSignatureSize);
  SecureWipe(tag, sizeof tag);
}

}  // namespace

std::array<uint8_t, kPlainRequestSize> PlainRequest(uint8_t cmd, uint32_t id) {
  return CrcFramed<kPlainRequestSize>(PlainTag(cmd), id);
}

std::array<uint8_t, kDiscoveryRequestSize> DiscoveryRequest() {
  return CrcFramed<kDiscoveryRequestSize>(kTagDiscovery, kEveryDevice);
}

std::vector<uint8_t> SecuredRequest(uint32_t id, uint8_t cmd, const uint8_t* payload,
                                    size_t len) {
  std::vector<uint8_t> frame(kSecuredOverhead + len, 0);
  PutLe32(frame.data(), kTagSecured);
  PutLe32(frame.data() + 4, id);
  frame[kSecuredCmdOffset] = cmd;
  if (len) std::memcpy(frame.data() + kSecuredPayloadOffset, payload, len);
  return frame;
}

void StampSecured(std::vector<uint8_t>& frame, uint16_t seq, Cmac& mac) {
  PutLe16(frame.data() + kSecuredSeqOffset, seq);
  const size_t signedLen = frame.size() - kSignatureSize;
  Sign(frame.data(), signedLen, mac, frame.data() + signedLen);
}

ReplyVerdict CheckReply(const uint8_t* frame, size_t n, uint32_t tag, uint32_t id,
                        uint8_t replyCmd) {
  if (n < kPlainReplyMin) return ReplyVerdict::kTooShort;
  if (GetLe32(frame) != tag) return ReplyVerdict::kOtherTag;
  if (GetLe32(frame + 4) != id) return ReplyVerdict::kOtherDevice;
  if (replyCmd != 0) {
    if (n < kSecuredOverhead) return ReplyVerdict::kTooShort;
    if (frame[kSecuredCmdOffset] != (replyCmd | kReplyBit)) return ReplyVerdict::kOtherCommand;
  }
  return ReplyVerdict::kAccepted;
}

bool CrcTrailerValid(const uint8_t* frame, size_t n) {
  if (n < 4) return false;
  return Crc32(frame, n - 4, kCrcInit) == GetLe32(frame + n - 4);
}

bool SignatureValid(const uint8_t* frame, size_t n, Cmac& mac) {
  if (n < kSecuredOverhead) return false;
  uint8_t expected[kSignatureSize];
  Sign(frame, n - kSignatureSize, mac, expected);
  // Constant time: the position of the first wrong byte must not show in the timing.
  uint8_t diff = 0;
  for (size_t i = 0; i < kSignatureSize; ++i) diff |= expected[i] ^ frame[n - kSignatureSize + i];
  SecureWipe(expected, sizeof expected);
  return diff == 0;
}

std::optional<DiscoveryAnswer> ParseDiscoveryAnswer(const uint8_t* frame, size_t n) {
  if (n != kDiscoveryAnswerSize) return std::nullopt;
  if (GetLe32(frame) != kTagDiscovery) return std::nullopt;
  if (!CrcTrailerValid(frame, n)) return std::nullopt;
  const uint32_t id = GetLe32(frame + 4);
  if (id == kEveryDevice || (id >> 28) != 2) return std::nullopt;
  return DiscoveryAnswer{id, frame[kModeOffset]};
}

}  // namespace orvu
