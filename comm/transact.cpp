// Request/reply matching and the plain, secured and acknowledged transactions of UdpDev.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <system_error>

#include "comm/endpoint.h"
#include "comm/frames.h"
#include "comm/shared_cipher.h"
#include "comm/udpdev.h"

namespace orvu {
namespace {

constexpr int kOnlineTries = 3;
constexpr uint8_t kAck = 0x06;
// Every discarded datagram restarts the wait, so without a bound a stream of foreign or junk
// datagrams would hold the thread running the transactions for as long as it lasts.
constexpr auto kExchangeBudget = std::chrono::milliseconds(5 * kReceiveTimeoutMs);
constexpr int kMaxDiscardedPerTry = 256;

}  // namespace

// Never destroyed: a device set destroyed during exit still closes its sessions with them.
AES128& SharedCipher() {
  static AES128* const cipher = new AES128;
  return *cipher;
}

Cmac& SharedCmac() {
  static Cmac* const mac = new Cmac(SharedCipher());
  return *mac;
}

size_t UdpDev::Exchange(uint32_t tag, uint8_t replyCmd, const uint8_t* request, size_t len,
                        uint8_t* reply) {
  Endpoint& endpoint = TheEndpoint();
  try {
    endpoint.Send(IpText(), endpoint.DevicePort(), request, len);
  } catch (const std::system_error&) {
    // No route to the device (a cable pulled, an interface down) is a device that does not
    // answer: the try fails like silence, and a plain transaction still never raises.
    return 0;
  }
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + kExchangeBudget;
  for (int discarded = 0; discarded <= kMaxDiscardedPerTry; ++discarded) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    // The endpoint's own time-out, cut short only where the budget ends first.
    const int wait = left >= kReceiveTimeoutMs ? kDefaultTimeout : static_cast<int>(left);
    size_t n = 0;
    try {
      n = endpoint.Receive(reply, kReceiveBufferSize, wait);
    } catch (const std::system_error&) {
      // A socket that fails to deliver (poll or recvfrom refused) leaves the try without an
      // answer, as a refused send does: a plain transaction still never raises.
      return 0;
    }
    if (n == 0) return 0;
    if (ReplyAccepted(reply, n, tag, id, replyCmd)) return n;
  }
  return 0;
}

int UdpDev::Transact(uint8_t cmd, int capacity, uint8_t* dest) {
  const auto request = PlainRequest(cmd, id);
  std::array<uint8_t, kReceiveBufferSize> reply;
  const int tries = online ? kOnlineTries : 1;
  for (int t = 0; t < tries; ++t) {
    const size_t n = Exchange(PlainTag(cmd), 0, request.data(), request.size(), reply.data());
    if (n == 0 || !CrcTrailerValid(reply.data(), n)) continue;
    const int payload = static_cast<int>(n - kPlainOverhead);
    if (capacity > 0)
      std::memcpy(dest, reply.data() + kPlainPayloadOffset, std::min(payload, capacity));
    return payload;
  }
  return 0;
}

int UdpDev::SecTransact(uint8_t cmd, const uint8_t* payload, int len, int capacity,
                        uint8_t* dest) {
  // No request of the protocol carries more; a longer one is a fault of the caller.
  if (len > kMaxSecuredPayload) throw UErr(*this, ErrCode::kBufferSize, 0);
  const CipherKeyed keyed(key);
  Cmac& mac = SharedCmac();
  std::vector<uint8_t> request =
      SecuredRequest(id, cmd, payload, len > 0 ? static_cast<size_t>(len) : 0);
  std::array<uint8_t, kReceiveBufferSize> reply;
  const int tries = online && session ? kOnlineTries : 1;
  for (int t = 0; t < tries; ++t) {
    ++seq;  // 16-bit: 65535 wraps to 0; every try carries a new number
    StampSecured(request, seq, mac);
    const size_t n = Exchange(kTagSecured, cmd, request.data(), request.size(), reply.data());
    if (n < kSecuredOverhead) continue;
    if (!SignatureValid(reply.data(), n, mac)) throw UErr(*this, ErrCode::kSignature, cmd);
    const int m = static_cast<int>(n - kSecuredOverhead);
    if (capacity > 0 && m > 0)
      std::memcpy(dest, reply.data() + kSecuredPayloadOffset, std::min(m, capacity));
    if (m > capacity) throw UErr(*this, ErrCode::kTooLong, cmd);
    return m;
  }
  throw UErr(*this, ErrCode::kNoReply, cmd);
}

int UdpDev::SecCommand(uint8_t cmd, const uint8_t* payload, int len) {
  uint8_t answer = 0;
  if (SecTransact(cmd, payload, len, 1, &answer) != 1 || answer != kAck)
    throw UErr(*this, ErrCode::kNoAck, cmd);
  return kAck;
}

}  // namespace orvu
