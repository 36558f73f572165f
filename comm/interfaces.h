// The IPv4 interfaces of this computer and the directed broadcast address of each. A datagram
// to 255.255.255.255 leaves by the one interface the routing table picks, so discovery also
// sends to every interface's own broadcast address to reach the controllers behind the others.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orvu {

// One address of one interface, as the system lists it. Addresses have the first octet in
// bits 24-31, as UdpDev::ip.
struct InterfaceRecord {
  std::string name;
  bool up = false;
  bool loopback = false;
  bool pointToPoint = false;
  bool broadcast = false;  // the interface can broadcast
  uint32_t address = 0;
  uint32_t netmask = 0;
  uint32_t broadcastAddress = 0;  // 0 or address: none configured
};

struct DirectedBroadcast {
  std::string interface;
  uint32_t address = 0;  // the interface's own address
  int prefix = 0;        // netmask length
  uint32_t broadcast = 0;
};

// The broadcast address of every address that is up, not loopback, not point to point, able to
// broadcast and in a subnet of more than two addresses (a /31 or /32 has no broadcast), in the
// order listed, each broadcast address once. An address configured without a broadcast address
// gets the last address of its subnet, which the kernel takes as that subnet's broadcast anyway.
std::vector<DirectedBroadcast> DirectedBroadcasts(const std::vector<InterfaceRecord>& interfaces);

// The IPv4 addresses of the interfaces as they are now; empty when the system cannot list them.
std::vector<InterfaceRecord> SystemInterfaces();

// "a.b.c.d" of an address with a in bits 24-31.
std::string Ipv4Text(uint32_t ip);

}  // namespace orvu
