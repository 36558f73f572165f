// Status query, session opening and key derivation, keep-alive and closing.
#include <array>
#include <cstring>
#include <exception>
#include <vector>

#include "comm/shared_cipher.h"
#include "comm/udpdev.h"
#include "comm/wipe.h"

namespace orvu {
namespace {

constexpr uint8_t kCmdStatus = 'O';
constexpr uint8_t kCmdOpenSession = 'K';
constexpr uint8_t kCmdKeepAlive = 'S';
constexpr uint8_t kCmdCloseSession = 's';
constexpr int kStatusSize = 16;
constexpr int kSeedSize = 16;
constexpr int kStatusModeOffset = 2;
constexpr int kStatusMarkOffset = 3;
constexpr uint8_t kStatusMark = '1';
constexpr int kKeepAliveGroups = 5;

}  // namespace

bool UdpDev::Status() {
  changed = false;
  std::array<uint8_t, kStatusSize> block{};
  const int n = Transact(kCmdStatus, kStatusSize, block.data());
  if (n != kStatusSize || block[kStatusMarkOffset] != kStatusMark) {
    if (online) changed = true;
    online = false;
    return false;
  }
  if (!online) changed = true;
  online = true;
  if (mode != block[kStatusModeOffset]) {
    changed = true;
    mode = block[kStatusModeOffset];
  }
  // The controller holds no session, so whatever session this tool had has ended.
  if (!(mode & kModeSession)) session = false;
  return true;
}

void UdpDev::OpenSession() {
  // The seed lands in a buffer of its own, so a refused opening leaves the key as it was.
  uint8_t seed[kSeedSize] = {};
  if (Transact(kCmdOpenSession, kSeedSize, seed) != kSeedSize) {
    SecureWipe(seed, sizeof seed);
    throw UErr(*this, ErrCode::kSessionRefused, 0);
  }
  // key = AES-128(key: seed, block: seed)
  {
    const CipherKeyed keyed(seed);
    SharedCipher().Encrypt(seed);
  }
  std::memcpy(key, seed, sizeof key);
  SecureWipe(seed, sizeof seed);
  session = true;
  seq = 0;
}

void UdpDev::NeedSession() {
  if (!Status()) throw UErr(*this, ErrCode::kNoAnswer, 0);
  // Someone else's session: send nothing that could disturb it.
  if (HasForeignSession()) throw UErr(*this, ErrCode::kForeignSession, 0);
  if (!session) OpenSession();
}

void UdpDev::KeepAlive() {
  if (!(online && session)) return;
  if (Status() && session) SecCommand(kCmdKeepAlive, nullptr, 0);
}

void UdpDev::CloseSession() {
  if (!(online && session)) return;
  if (!Status()) return;
  if (session) {
    SecCommand(kCmdCloseSession, nullptr, 0);
    session = false;
  }
}

std::vector<uint32_t> KeepAliveSchedule::Tick(UdpDevSet& set) {
  const int k = k_;
  k_ = (k_ + 1) % kKeepAliveGroups;
  // One device whose keep-alive fails must not cost the others of its group their sessions:
  // every one is refreshed, then the first failure is raised.
  std::vector<uint32_t> visited;
  std::exception_ptr first;
  for (int i = k; i < set.count; i += kKeepAliveGroups) {
    visited.push_back(set.dev[i].id);
    try {
      set.dev[i].KeepAlive();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
  return visited;
}

}  // namespace orvu
