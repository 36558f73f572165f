// A simulated controller (or terminal) fed datagrams of any shape, as orvusim takes them off
// the network: raw bytes, plain requests with a sound CRC, discovery, and secured requests
// signed with the session key of the moment, so the command handlers see hostile payloads.
// Every reply must be a frame the tool accepts, checked with the tool's own frame code, and
// carry a whole device list, a whole passage configuration or one acknowledgement byte.
//
// Input: byte 0 options (bit 0: a terminal instead of a controller, bit 1: open a session
// first, bits 2-3: mode, bit 4: another program holds a session, bit 5: that session is idle,
// bit 6: sessions end after 2 s idle), then records [kind][ms/100 to let pass][length][bytes].
// kind % 4: 0 raw, 1 plain request (bytes[0] the command; kind bit 2: to every device,
// kind bit 3: to the identity in bytes 1-4), 2 secured request (bytes[0] the command, the rest
// the payload; kind bit 2: signed with a wrong key), 3 "MMD" + bytes + a sound CRC.
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "comm/aes.h"
#include "comm/cmac.h"
#include "comm/crc32.h"
#include "comm/frames.h"
#include "sim/clock.h"
#include "sim/device.h"
#include "sim/scenario.h"

namespace {

using namespace orvu;

void Require(bool ok) {
  if (!ok) std::abort();
}

std::array<uint8_t, 16> KeyFromSeed(const uint8_t* seed) {
  std::array<uint8_t, 16> key;
  std::memcpy(key.data(), seed, 16);
  AES128 aes;
  aes.SetKey(seed);
  aes.Encrypt(key.data());
  return key;
}

bool Signed(const std::vector<uint8_t>& frame, const std::array<uint8_t, 16>& key) {
  AES128 aes;
  aes.SetKey(key.data());
  Cmac mac(aes);
  return SignatureValid(frame.data(), frame.size(), mac);
}

std::vector<uint8_t> Secured(uint32_t id, uint8_t cmd, const uint8_t* payload, size_t len,
                             uint16_t seq, const std::array<uint8_t, 16>& key) {
  std::vector<uint8_t> frame = SecuredRequest(id, cmd, payload, len);
  AES128 aes;
  aes.SetKey(key.data());
  Cmac mac(aes);
  StampSecured(frame, seq, mac);
  return frame;
}

std::vector<uint8_t> WithCrc(const uint8_t* bytes, size_t len) {
  std::vector<uint8_t> frame{'M', 'M', 'D'};
  frame.insert(frame.end(), bytes, bytes + len);
  frame.resize(frame.size() + 4);
  PutLe32(frame.data() + frame.size() - 4, Crc32(frame.data(), frame.size() - 4, kCrcInit));
  return frame;
}

// The replies to one request: at most one without fault knobs, of the request's own kind.
void CheckReplies(SimDevice& device, const std::vector<uint8_t>& request,
                  const std::vector<SimOutgoing>& replies,
                  const std::array<uint8_t, 16>& keyBefore) {
  Require(replies.size() <= 1);
  if (replies.empty()) return;
  const std::vector<uint8_t>& reply = replies[0].bytes;
  Require(replies[0].delayMs == 0);
  Require(request.size() >= 4);
  const uint32_t id = device.Id();
  if (request[3] == 'C') {
    Require(request.size() >= kSecuredOverhead);
    const uint8_t cmd = request[kSecuredCmdOffset];
    Require(ReplyAccepted(reply.data(), reply.size(), kTagSecured, id, cmd));
    Require(GetLe16(reply.data() + kSecuredSeqOffset) ==
            GetLe16(request.data() + kSecuredSeqOffset));
    Require(Signed(reply, keyBefore));
    // The payloads as the controller keeps them: whole lists and configurations, or one
    // acknowledgement byte.
    const uint8_t* payload = reply.data() + kSecuredPayloadOffset;
    const size_t m = reply.size() - kSecuredOverhead;
    if (cmd == 'D') {
      Require(m >= 2 && m == 2 + 8 * size_t(GetLe16(payload)));
    } else if (cmd == 'C') {
      Require(m >= 2 && payload[1] == 18 && (payload[0] & 0x7F) <= 16 &&
              m == 2 + 44 * size_t(payload[0] & 0x7F));
    } else {
      Require(m == 1 && (payload[0] == 0x06 || payload[0] == 0x15));
    }
    return;
  }
  const uint8_t cmd = request[3];
  Require(ReplyAccepted(reply.data(), reply.size(), PlainTag(cmd), id, 0));
  Require(CrcTrailerValid(reply.data(), reply.size()));
  if (cmd == 'O') {
    auto answer = ParseDiscoveryAnswer(reply.data(), reply.size());
    Require(answer && answer->id == id && answer->mode == device.Mode());
  } else {
    // 'K': the seed, from which both sides derive the session key.
    Require(cmd == 'K' && reply.size() == kPlainOverhead + 16);
    Require(device.SessionKey() == KeyFromSeed(reply.data() + kPlainPayloadOffset));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t options = data[0];
  ManualClock clock;
  SimDeviceConfig config = SmallInstallation(1201, "127.0.0.2", uint8_t((options >> 2) & 3));
  if (options & 1) {
    config.id = MakeIdentity(101, 77);  // a terminal: discovery and status only
    config.bus.clear();
  }
  if (options & 16)
    config.foreignSession = options & 32 ? SimForeignSession::kIdle : SimForeignSession::kHeld;
  config.sessionIdleMs = options & 64 ? 2000 : 0;
  SimDevice device(config, clock);
  const uint32_t id = device.Id();

  auto offer = [&](const std::vector<uint8_t>& request) {
    const std::array<uint8_t, 16> keyBefore = device.SessionKey();
    CheckReplies(device, request, device.Handle(request.data(), request.size()), keyBefore);
  };
  if (options & 2) {
    auto k = PlainRequest('K', id);
    offer({k.begin(), k.end()});
  }

  uint16_t seq = 0;
  for (size_t i = 1; i + 3 <= size;) {
    const uint8_t kind = data[i];
    clock.Advance(int64_t(data[i + 1]) * 100);
    const size_t len = std::min<size_t>(data[i + 2], size - i - 3);
    const uint8_t* bytes = data + i + 3;
    i += 3 + len;
    switch (kind % 4) {
      case 0:
        offer({bytes, bytes + len});
        break;
      case 1: {
        uint32_t to = id;
        if (kind & 4) to = kEveryDevice;
        else if ((kind & 8) && len >= 5) to = GetLe32(bytes + 1);
        auto plain = PlainRequest(len ? bytes[0] : 'O', to);
        offer({plain.begin(), plain.end()});
        break;
      }
      case 2: {
        std::array<uint8_t, 16> key = device.SessionKey();
        if (kind & 4) key[0] ^= 1;
        const uint8_t cmd = len ? bytes[0] : 'S';
        offer(Secured(id, cmd, len ? bytes + 1 : nullptr, len ? len - 1 : 0, seq++, key));
        break;
      }
      default:
        offer(WithCrc(bytes, len));
        break;
    }
  }
  return 0;
}
