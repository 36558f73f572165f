// Network device records, their texts, and the device set filled by discovery.
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <string>

#include "comm/cp1250.h"
#include "comm/endpoint.h"
#include "comm/frames.h"
#include "comm/identity.h"
#include "comm/interfaces.h"
#include "comm/udpdev.h"

namespace orvu {
namespace {

constexpr int kSearchBroadcasts = 3;
// Each datagram restarts Collect's wait, so a stream of datagrams (hostile, or a flood of
// foreign traffic) could otherwise keep it taking them in for ever.
constexpr int kMaxDatagramsPerCollect = 256;
constexpr int kCollectBudgetFactor = 5;

}  // namespace

UdpDev::~UdpDev() {
  // The controller ends an idle session by itself, so nothing may stop the shutdown here.
  try {
    CloseSession();
  } catch (...) {
  }
}

std::string UdpDev::IpText() const { return Ipv4Text(ip); }

std::string UdpDev::ModeText() const {
  static const std::string offline = Cp1250FromUtf8("Niedostępny");
  return online ? ModeName(ModeOf(mode)) : offline;
}

std::string UdpDev::ListText() const {
  return " " + DevName(id) + ",  " + IpText() + ",  " + ModeText();
}

uint32_t ParseIp(const std::string& text) {
  // Unsigned arithmetic throughout: an out-of-range part must not overflow.
  uint32_t parts[4] = {};
  const char* p = text.data();
  const char* end = p + text.size();
  for (int i = 0; i < 4 && p < end; ++i) {
    int value = 0;
    auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc()) break;
    parts[i] = static_cast<uint32_t>(value);
    p = next;
    if (p < end && *p == '.') ++p;
    else break;
  }
  return parts[0] * 16777216u + parts[1] * 65536u + parts[2] * 256u + parts[3];
}

void UdpDevSet::Search() {
  const auto request = DiscoveryRequest();
  for (int i = 0; i < kSearchBroadcasts; ++i) {
    TheEndpoint().Broadcast(request.data(), request.size());
    if (Collect(kReceiveTimeoutMs)) return;
  }
}

bool UdpDevSet::Collect(int timeoutMs) {
  Endpoint& endpoint = TheEndpoint();
  std::array<uint8_t, kReceiveBufferSize> frame;
  std::string from;
  bool any = false;
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::milliseconds(kCollectBudgetFactor * std::max(timeoutMs, 0));
  for (int taken = 0; taken < kMaxDatagramsPerCollect; ++taken) {
    int wait = timeoutMs;
    if (timeoutMs > 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      wait = static_cast<int>(std::min<long long>(left, timeoutMs));
    }
    const size_t n = endpoint.Receive(frame.data(), frame.size(), wait, &from);
    if (n == 0) break;
    if (auto answer = ParseDiscoveryAnswer(frame.data(), n))
      any |= Add(answer->id, ParseIp(from), answer->mode);
  }
  return any;
}

bool UdpDevSet::Add(uint32_t id, uint32_t ip, uint16_t mode) {
  if (!PassesDiscoveryFilter(id)) return false;
  const uint32_t newKey = OrderingKey(id);
  for (int index = 0; index < count; ++index) {
    UdpDev& entry = dev[index];
    if (entry.id == id) {
      const bool changed = entry.mode != mode || entry.ip != ip;
      entry.mode = mode;
      entry.ip = ip;
      return changed;
    }
    if (OrderingKey(entry.id) > newKey && count < kCapacity) {
      // The identity may still appear further on only with a greater key, which the set's
      // order rules out, so inserting here cannot make a duplicate.
      for (int i = count; i > index; --i) dev[i] = dev[i - 1];
      dev[index] = UdpDev(id, ip, mode);
      if (index <= sel) ++sel;
      ++count;
      return true;
    }
  }
  if (count >= kCapacity) return false;
  dev[count] = UdpDev(id, ip, mode);
  ++count;
  return true;
}

void UdpDevSet::CloseAll() noexcept {
  for (int i = 0; i < count; ++i) {
    try {
      dev[i].CloseSession();
    } catch (...) {
      // Given up: the controller ends the idle session by itself, and the record's
      // destruction must not wait out the same unanswered tries again.
      dev[i].session = false;
    }
  }
}

}  // namespace orvu
