// Where a discovery goes: the directed broadcasts from a table of interface addresses, and the
// targets the POSIX endpoint sends each search to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/interfaces.h"
#include "comm/posix_udp.h"
#include "comm/udpdev.h"

namespace orvu::test {
namespace {

struct Flags {
  bool up = true, loopback = false, pointToPoint = false, broadcast = true;
};

InterfaceRecord Record(const std::string& name, const std::string& address,
                       const std::string& netmask, const std::string& broadcast, Flags f = {}) {
  InterfaceRecord r;
  r.name = name;
  r.up = f.up;
  r.loopback = f.loopback;
  r.pointToPoint = f.pointToPoint;
  r.broadcast = f.broadcast;
  r.address = ParseIp(address);
  r.netmask = ParseIp(netmask);
  r.broadcastAddress = broadcast.empty() ? 0 : ParseIp(broadcast);
  return r;
}

// "name address/prefix broadcast" per directed broadcast, for comparing whole lists.
std::vector<std::string> Lines(const std::vector<DirectedBroadcast>& list) {
  std::vector<std::string> out;
  for (const auto& d : list)
    out.push_back(d.interface + " " + Ipv4Text(d.address) + "/" + std::to_string(d.prefix) + " " +
                  Ipv4Text(d.broadcast));
  return out;
}

TEST(DirectedBroadcasts, OnePerBroadcastDomainOfEveryInterfaceThatCanReachOne) {
  Flags down, loopback, pointToPoint, noBroadcast;
  down.up = false;
  loopback.loopback = true;
  pointToPoint.pointToPoint = true;
  pointToPoint.broadcast = false;
  noBroadcast.broadcast = false;
  const struct {
    const char* what;
    std::vector<InterfaceRecord> interfaces;
    std::vector<std::string> expected;
  } rows[] = {
      {"an interface that is up", {Record("eth0", "192.168.1.10", "255.255.255.0", "192.168.1.255")},
       {"eth0 192.168.1.10/24 192.168.1.255"}},
      {"down", {Record("eth0", "192.168.1.10", "255.255.255.0", "192.168.1.255", down)}, {}},
      {"loopback", {Record("lo", "127.0.0.1", "255.0.0.0", "", loopback)}, {}},
      // The field of the broadcast address holds the peer on a point-to-point link.
      {"point to point", {Record("tun0", "10.8.0.6", "255.255.255.255", "10.8.0.5", pointToPoint)}, {}},
      {"point to point with a subnet", {Record("ppp0", "10.8.0.6", "255.255.255.0", "10.8.0.5", pointToPoint)}, {}},
      {"not broadcast-capable", {Record("wg0", "10.9.0.2", "255.255.255.0", "", noBroadcast)}, {}},
      {"no broadcast address configured: the subnet's last address",
       {Record("eth1", "10.1.2.3", "255.255.0.0", "")}, {"eth1 10.1.2.3/16 10.1.255.255"}},
      {"the system lists the address itself when none is configured",
       {Record("eth1", "10.201.2.1", "255.255.255.0", "10.201.2.1")}, {"eth1 10.201.2.1/24 10.201.2.255"}},
      {"a configured broadcast address is taken as it is",
       {Record("eth2", "172.16.5.9", "255.255.255.0", "172.16.5.0")}, {"eth2 172.16.5.9/24 172.16.5.0"}},
      {"/32: a single host", {Record("eth0", "10.0.0.7", "255.255.255.255", "")}, {}},
      {"/31: two hosts, no broadcast", {Record("eth0", "10.0.0.0", "255.255.255.254", "10.0.0.1")}, {}},
      {"/30: the smallest subnet with one", {Record("eth0", "10.0.0.1", "255.255.255.252", "")},
       {"eth0 10.0.0.1/30 10.0.0.3"}},
      {"no address", {Record("eth0", "0.0.0.0", "255.255.255.0", "")}, {}},
      {"a /0 broadcasts to 255.255.255.255, which is sent anyway",
       {Record("eth0", "10.0.0.1", "0.0.0.0", "")}, {}},
      {"several addresses on one interface, two in one subnet",
       {Record("eth0", "192.168.1.10", "255.255.255.0", "192.168.1.255"),
        Record("eth0", "192.168.1.11", "255.255.255.0", "192.168.1.255"),
        Record("eth0", "10.20.0.1", "255.255.252.0", "10.20.3.255")},
       {"eth0 192.168.1.10/24 192.168.1.255", "eth0 10.20.0.1/22 10.20.3.255"}},
      {"a laptop: loopback, Wi-Fi, a dock, a VPN, a cable not plugged in",
       {Record("lo", "127.0.0.1", "255.0.0.0", "", loopback),
        Record("wlan0", "192.168.0.23", "255.255.255.0", "192.168.0.255"),
        Record("enx00", "10.30.1.5", "255.255.255.0", "10.30.1.255"),
        Record("tun0", "10.8.0.6", "255.255.255.255", "10.8.0.5", pointToPoint),
        Record("eth0", "169.254.7.1", "255.255.0.0", "169.254.255.255", down)},
       {"wlan0 192.168.0.23/24 192.168.0.255", "enx00 10.30.1.5/24 10.30.1.255"}},
  };
  for (const auto& row : rows) EXPECT_EQ(Lines(DirectedBroadcasts(row.interfaces)), row.expected) << row.what;
}

TEST(DiscoveryTargets, TheLimitedBroadcastBringsEveryInterfaceAlongAndNothingElseDoes) {
  const std::vector<DirectedBroadcast> directed = {{"eth0", ParseIp("192.168.1.10"), 24, ParseIp("192.168.1.255")},
                                                   {"eth1", ParseIp("10.1.0.1"), 16, ParseIp("10.1.255.255")}};
  using Configured = std::vector<std::pair<std::string, uint16_t>>;
  const struct {
    const char* what;
    Configured configured;
    std::vector<std::string> expected;
  } rows[] = {
      {"the product", {{"255.255.255.255", 45389}},
       {"255.255.255.255:45389", "192.168.1.255:45389 eth0 192.168.1.10/24", "10.1.255.255:45389 eth1 10.1.0.1/16"}},
      {"asked directly as well", {{"255.255.255.255", 45389}, {"10.9.0.7", 45389}},
       {"255.255.255.255:45389", "192.168.1.255:45389 eth0 192.168.1.10/24", "10.1.255.255:45389 eth1 10.1.0.1/16",
        "10.9.0.7:45389"}},
      // A loopback lab never reaches the machine's interfaces.
      {"a lab", {{"127.0.0.2", 40001}, {"127.0.0.3", 40001}}, {"127.0.0.2:40001", "127.0.0.3:40001"}},
      {"a lab's own port", {{"255.255.255.255", 40001}},
       {"255.255.255.255:40001", "192.168.1.255:40001 eth0 192.168.1.10/24", "10.1.255.255:40001 eth1 10.1.0.1/16"}},
      {"each address once", {{"192.168.1.255", 45389}, {"255.255.255.255", 45389}, {"10.9.0.7", 45389}, {"10.9.0.7", 45389}},
       {"192.168.1.255:45389", "255.255.255.255:45389", "10.1.255.255:45389 eth1 10.1.0.1/16", "10.9.0.7:45389"}},
      {"nothing configured", {}, {}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> got;
    for (const BroadcastTarget& t : DiscoveryTargets(row.configured, directed)) {
      std::string line = t.ip + ":" + std::to_string(t.port);
      if (!t.interface.empty()) line += " " + t.interface + " " + t.local;
      got.push_back(line);
    }
    EXPECT_EQ(got, row.expected) << row.what;
  }
}

}  // namespace
}  // namespace orvu::test
