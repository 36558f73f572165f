#include "sim/device_frames.h"

#include "comm/aes.h"
#include "comm/cmac.h"
#include "comm/crc32.h"

namespace orvu::simwire {

namespace {

std::array<uint8_t, 16> FullCmac(const uint8_t* data, size_t len, const SessionKey& key) {
  AES128 aes;
  aes.SetKey(key.data());
  Cmac cmac(aes);
  cmac.Init();
  cmac.Update(data, len);
  std::array<uint8_t, 16> tag{};
  cmac.Final(tag.data());
  return tag;
}

void AppendCrc(std::vector<uint8_t>& frame) {
  uint32_t crc = Crc32(frame.data(), frame.size(), kCrcInit);
  frame.resize(frame.size() + 4);
  PutLe32(frame.data() + frame.size() - 4, crc);
}

}  // namespace

bool TrailingCrcMatches(const uint8_t* frame, size_t len) {
  if (len < 4) return false;
  return Crc32(frame, len - 4, kCrcInit) == Le32(frame + len - 4);
}

bool TrailingSignatureMatches(const uint8_t* frame, size_t len, const SessionKey& key) {
  if (len < kSignatureSize) return false;
  std::array<uint8_t, 16> tag = FullCmac(frame, len - kSignatureSize, key);
  uint8_t diff = 0;
  for (size_t i = 0; i < kSignatureSize; ++i) diff |= uint8_t(tag[i] ^ frame[len - kSignatureSize + i]);
  tag.fill(0);
  return diff == 0;
}

SessionKey SessionKeyFromSeed(const SessionKey& seed) {
  AES128 aes;
  aes.SetKey(seed.data());
  SessionKey key = seed;
  aes.Encrypt(key.data());
  return key;
}

std::vector<uint8_t> PlainReply(uint8_t cmd, uint32_t id, const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> frame{'M', 'M', 'D', cmd, 0, 0, 0, 0};
  PutLe32(frame.data() + 4, id);
  frame.insert(frame.end(), payload.begin(), payload.end());
  AppendCrc(frame);
  return frame;
}

std::vector<uint8_t> StatusPayload(uint8_t mode) {
  std::vector<uint8_t> block(kStatusPayloadSize, 0);
  block[2] = mode;
  block[3] = '1';
  return block;
}

std::vector<uint8_t> SecuredReply(uint32_t id, uint16_t seq, uint8_t cmd,
                                  const std::vector<uint8_t>& payload, const SessionKey& key) {
  std::vector<uint8_t> frame{'M', 'M', 'D', 'C', 0, 0, 0, 0, 0, 0, uint8_t(cmd | 0x80)};
  PutLe32(frame.data() + 4, id);
  PutLe16(frame.data() + 8, seq);
  frame.insert(frame.end(), payload.begin(), payload.end());
  std::array<uint8_t, 16> tag = FullCmac(frame.data(), frame.size(), key);
  frame.insert(frame.end(), tag.begin(), tag.begin() + kSignatureSize);
  tag.fill(0);
  return frame;
}

}  // namespace orvu::simwire
