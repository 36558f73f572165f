// Which subnet-directed broadcasts a discovery sends, from the interfaces' addresses.
#include <algorithm>
#include <bit>
#include <cstdio>

#include "comm/interfaces.h"

namespace orvu {
namespace {

constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFF;
// A /31 is a point-to-point link of two hosts and a /32 a single host: neither has a
// broadcast address, and the "broadcast" of a /31 would be the other host.
constexpr int kLongestBroadcastPrefix = 30;

bool CanBroadcast(const InterfaceRecord& r) {
  return r.up && !r.loopback && !r.pointToPoint && r.broadcast && r.address != 0 &&
         std::popcount(r.netmask) <= kLongestBroadcastPrefix;
}

}  // namespace

std::vector<DirectedBroadcast> DirectedBroadcasts(const std::vector<InterfaceRecord>& interfaces) {
  std::vector<DirectedBroadcast> out;
  for (const InterfaceRecord& r : interfaces) {
    if (!CanBroadcast(r)) continue;
    // Without a broadcast address configured, the system lists none or the address itself.
    const bool configured = r.broadcastAddress != 0 && r.broadcastAddress != r.address;
    const uint32_t broadcast = configured ? r.broadcastAddress : (r.address | ~r.netmask);
    // 255.255.255.255 is sent anyway; a second address in the same subnet adds nothing.
    if (broadcast == kLimitedBroadcast) continue;
    const bool known = std::any_of(out.begin(), out.end(),
                                   [&](const DirectedBroadcast& d) { return d.broadcast == broadcast; });
    if (!known) out.push_back({r.name, r.address, std::popcount(r.netmask), broadcast});
  }
  return out;
}

std::string Ipv4Text(uint32_t ip) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", ip >> 24, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF,
                ip & 0xFF);
  return text;
}

}  // namespace orvu
