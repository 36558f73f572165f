// The UDP server's own duties: discovery heard on the wildcard socket reaches every device, and
// every datagram in and out is logged.
#include <gtest/gtest.h>

#include <set>

#include "comm/posix_udp.h"
#include "comm/udpdev.h"
#include "sim/scenario.h"
#include "sim/udp_server.h"

namespace orvu {
namespace {

TEST(SimUdpServer, WildcardSocketPassesDiscoveryToEveryDeviceAndLogsTheTraffic) {
  ManualClock clock;
  std::vector<std::string> lines;
  SimServerConfig config;
  config.listenBroadcast = true;
  config.log = [&lines](std::string_view line) { lines.emplace_back(line); };
  SimUdpServer server(clock, config);
  Scenario demo = DemoScenario();
  RebaseAddresses(demo, "127.0.0.2");
  AddScenario(server, demo);
  server.Start();

  // No device has 127.0.0.1: a discovery sent there lands on the wildcard socket, as a
  // broadcast to 255.255.255.255 does on a LAN.
  UdpConfig tool;
  tool.bindIp = "127.0.0.1";
  tool.bindPort = 0;
  tool.devicePort = server.Port();
  tool.broadcastTo = {{"127.0.0.1", server.Port()}};
  PosixUdpEndpoint endpoint(tool);
  SetEndpoint(&endpoint);
  {
    UdpDevSet set;
    set.Search();
    ASSERT_EQ(set.count, 3);
    std::set<std::string> from;
    for (int i = 0; i < set.count; ++i) from.insert(set.dev[i].IpText());
    EXPECT_EQ(from, (std::set<std::string>{"127.0.0.2", "127.0.0.3", "127.0.0.4"}));
  }
  SetEndpoint(nullptr);
  server.Stop();

  // One received discovery, four answers (the terminal's too), each line naming both ends.
  size_t received = 0, sent = 0;
  for (const std::string& line : lines) {
    received += line.find(" recv ") != std::string::npos && line.find("discovery") != std::string::npos;
    sent += line.find(" send 127.0.0.") != std::string::npos;
  }
  EXPECT_GE(received, 1u);
  EXPECT_EQ(sent, 4 * received);
}

TEST(SimUdpServer, AddressTakenIsReportedWithIt) {
  ManualClock clock;
  SimUdpServer first(clock);
  SimDeviceConfig device = SmallInstallation(1201, "127.0.0.2", 2);
  first.AddDevice(device);
  first.Start();
  SimServerConfig samePort;
  samePort.port = first.Port();
  SimUdpServer clash(clock, samePort);
  clash.AddDevice(device);
  try {
    clash.Start();
    FAIL() << "bound an address already served";
  } catch (const std::system_error& e) {
    EXPECT_NE(std::string(e.what()).find("127.0.0.2:" + std::to_string(first.Port())),
              std::string::npos)
        << e.what();
  }
  EXPECT_FALSE(clash.Running());
}

}  // namespace
}  // namespace orvu
