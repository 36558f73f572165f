// The system's list of IPv4 interface addresses (getifaddrs), read afresh at every call so
// that a cable plugged in or a VPN started since the last search counts.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "comm/interfaces.h"

namespace orvu {
namespace {

uint32_t HostOrder(const sockaddr* address) {
  if (!address || address->sa_family != AF_INET) return 0;
  return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

}  // namespace

std::vector<InterfaceRecord> SystemInterfaces() {
  std::vector<InterfaceRecord> out;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return out;
  for (const ifaddrs* a = list; a; a = a->ifa_next) {
    if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
    InterfaceRecord r;
    r.name = a->ifa_name ? a->ifa_name : "";
    r.up = (a->ifa_flags & IFF_UP) != 0;
    r.loopback = (a->ifa_flags & IFF_LOOPBACK) != 0;
    r.pointToPoint = (a->ifa_flags & IFF_POINTOPOINT) != 0;
    r.broadcast = (a->ifa_flags & IFF_BROADCAST) != 0;
    r.address = HostOrder(a->ifa_addr);
    r.netmask = HostOrder(a->ifa_netmask);
    // ifa_broadaddr shares its field with the peer address of a point-to-point link.
    if (r.broadcast && !r.pointToPoint) r.broadcastAddress = HostOrder(a->ifa_broadaddr);
    out.push_back(r);
  }
  freeifaddrs(list);
  return out;
}

}  // namespace orvu
