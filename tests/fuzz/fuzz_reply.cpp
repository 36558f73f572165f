// Replies of any shape fed to the plain and secured transactions through an endpoint that
// delivers the fuzzer's datagrams: acceptance, checksum, signature, capacity and the copies.
//
// Input: byte 0 options (bit 0: take the device identity from the first datagram, bit 1: sign
// secured datagrams with the session key, bit 2: fix the CRC of plain datagrams, bits 3-4:
// online/session), byte 1 capacity, then datagrams as [length][bytes].
#include <algorithm>
#include <cstring>
#include <vector>

#include "comm/aes.h"
#include "comm/cmac.h"
#include "comm/crc32.h"
#include "comm/endpoint.h"
#include "comm/frames.h"
#include "comm/udpdev.h"
#include "tests/fuzz/scripted_endpoint.h"

namespace {

using namespace orvu;

const uint8_t kKey[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

using fuzz::Frame;
using fuzz::ScriptedEndpoint;

constexpr const char* kSender = "10.0.0.1";

void Sign(std::vector<uint8_t>& d) {
  if (d.size() < kSecuredOverhead) return;
  AES128 aes;
  aes.SetKey(kKey);
  Cmac mac(aes);
  uint8_t tag[16];
  mac.Init();
  mac.Update(d.data(), d.size() - kSignatureSize);
  mac.Final(tag);
  std::memcpy(d.data() + d.size() - kSignatureSize, tag, kSignatureSize);
}

void FixCrc(std::vector<uint8_t>& d) {
  if (d.size() < 4) return;
  PutLe32(d.data() + d.size() - 4, Crc32(d.data(), d.size() - 4, kCrcInit));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t options = data[0];
  const int capacity = data[1] % 40 - 4;  // a few negative capacities too
  std::vector<Frame> frames;
  for (size_t i = 2; i < size;) {
    const size_t len = data[i++];
    const size_t n = len < size - i ? len : size - i;
    frames.emplace_back(data + i, data + i + n);
    i += n;
  }

  // Each datagram is a separate plain check too, straight on the frame functions.
  for (const auto& d : frames) {
    CheckReply(d.data(), d.size(), kTagSecured, 0x12345678, 'D');
    CrcTrailerValid(d.data(), d.size());
  }

  UdpDev dev;
  dev.id = 0x215A0001;
  if ((options & 1) && !frames.empty() && frames[0].size() >= 8)
    dev.id = GetLe32(frames[0].data() + 4);
  dev.online = options & 8;
  dev.session = options & 16;
  std::memcpy(dev.key, kKey, 16);
  auto plain = frames;
  auto secured = frames;
  if (options & 2)
    for (auto& d : secured) Sign(d);
  if (options & 4)
    for (auto& d : plain) FixCrc(d);

  ScriptedEndpoint endpoint;
  SetEndpoint(&endpoint);
  std::vector<uint8_t> dest(capacity > 0 ? capacity : 0);
  endpoint.Serve(plain, kSender);
  const uint8_t cmd = plain.empty() || plain[0].size() < 4 ? 'O' : plain[0][3];
  dev.Transact(cmd, capacity, dest.data());

  endpoint.Serve(secured, kSender);
  const uint8_t secCmd = secured.empty() || secured[0].size() < 11 ? 'D' : secured[0][10] & 0x7F;
  try {
    dev.SecTransact(secCmd, data, static_cast<int>(std::min<size_t>(size, kMaxSecuredPayload)),
                    capacity, dest.data());
  } catch (const UErr&) {
  }
  endpoint.next = 0;
  try {
    dev.SecCommand(secCmd, nullptr, 0);
  } catch (const UErr&) {
  }
  dev.session = false;  // nothing to close
  SetEndpoint(nullptr);
  return 0;
}
