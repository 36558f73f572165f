// The real socket endpoint on loopback.
#include "comm/posix_udp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tests/comm/loopback_peer.h"

namespace orvu::test {
namespace {

UdpConfig LoopbackConfig(uint16_t port = 0) {
  UdpConfig c;
  c.bindIp = "127.0.0.1";
  c.bindPort = port;
  c.broadcastTo = {};
  return c;
}

TEST(PosixUdp, ATakenPortFailsWithAMessageNamingAddressAndPort) {
  LoopbackPeer holder("127.0.0.1");  // bound without address reuse
  try {
    PosixUdpEndpoint endpoint(LoopbackConfig(holder.Port()));
    FAIL() << "bind succeeded";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::address_in_use);
    EXPECT_NE(std::string(e.what()).find("127.0.0.1:" + std::to_string(holder.Port())),
              std::string::npos)
        << e.what();
  }
}

TEST(PosixUdp, ASecondEndpointOnTheSamePortIsRefused) {
  PosixUdpEndpoint first(LoopbackConfig());
  EXPECT_THROW(PosixUdpEndpoint second(LoopbackConfig(first.LocalPort())), std::system_error);
}

TEST(PosixUdp, ReceiveTakesQueuedDatagramsSkipsEmptyOnesAndNamesTheSender) {
  LoopbackPeer peer("127.0.0.2");
  PosixUdpEndpoint endpoint(LoopbackConfig());
  uint8_t buf[64];
  EXPECT_EQ(endpoint.Receive(buf, sizeof buf, 0), 0u);  // nothing queued: at once

  peer.SendTo("127.0.0.1", endpoint.LocalPort(), {});
  peer.SendTo("127.0.0.1", endpoint.LocalPort(), {1, 2, 3});
  std::string from;
  EXPECT_EQ(endpoint.Receive(buf, sizeof buf, 1000, &from), 3u);
  EXPECT_EQ(from, "127.0.0.2");
  EXPECT_EQ(buf[2], 3);

  endpoint.Send("127.0.0.2", peer.Port(), buf, 3);
  endpoint.Broadcast(buf, 3);  // broadcasts to nobody here
}

// The system refuses a datagram to port 0 before sending anything: a target that cannot be
// sent to, as a down interface is. The others still get the datagram; only when none takes it
// does the first refusal reach the caller, with its errno.
TEST(PosixUdp, BroadcastGoesPastARefusedTargetAndFailsOnlyWhenNoneTookTheDatagram) {
  LoopbackPeer peer("127.0.0.2");
  peer.Serve([](const Bytes&) { return std::vector<Bytes>{}; });
  UdpConfig config = LoopbackConfig();
  config.broadcastTo = {{"127.0.0.3", 0}, {"127.0.0.2", peer.Port()}, {"127.0.0.4", 0}};
  const uint8_t request[3] = {1, 2, 3};
  {
    PosixUdpEndpoint endpoint(config);
    EXPECT_NO_THROW(endpoint.Broadcast(request, sizeof request));
    for (int i = 0; i < 200 && peer.Received().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(peer.Received(), std::vector<Bytes>{Bytes(request, request + 3)});
  }
  config.broadcastTo = {{"127.0.0.3", 0}, {"127.0.0.4", 0}};
  PosixUdpEndpoint endpoint(config);
  try {
    endpoint.Broadcast(request, sizeof request);
    FAIL() << "no target took the datagram, and nothing said so";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::invalid_argument);
    EXPECT_NE(std::string(e.what()).find("127.0.0.3:0"), std::string::npos) << e.what();
  }
}

// A controller behind a router hears no broadcast: every Broadcast also asks it directly. The
// receivers are real sockets on 127.0.0.1 at ports of their own; after each broadcast the
// sender marks the end with a datagram of its own, so a target asked twice shows as a second
// request before the mark.
TEST(PosixUdp, BroadcastAlsoAsksTheControllersAskedDirectlyEachCallReplacingTheList) {
  PosixUdpEndpoint configured(LoopbackConfig()), first(LoopbackConfig()), second(LoopbackConfig());
  PosixUdpEndpoint* const receivers[] = {&configured, &first, &second};
  UdpConfig config = LoopbackConfig();
  config.broadcastTo = {{"127.0.0.1", configured.LocalPort()}};
  PosixUdpEndpoint endpoint(config);
  using Targets = std::vector<std::pair<std::string, uint16_t>>;
  const std::pair<std::string, uint16_t> atConfigured{"127.0.0.1", configured.LocalPort()},
      atFirst{"127.0.0.1", first.LocalPort()}, atSecond{"127.0.0.1", second.LocalPort()};
  const struct {
    const char* what;
    Targets asked;
    Targets expected;  // BroadcastTargets(), in order
    bool reached[3];   // configured, first, second
  } rows[] = {
      {"one asked directly", {atFirst}, {atConfigured, atFirst}, {true, true, false}},
      {"the list replaced", {atSecond}, {atConfigured, atSecond}, {true, false, true}},
      {"the configured one asked again", {atSecond, atConfigured}, {atConfigured, atSecond}, {true, false, true}},
      {"none asked", {}, {atConfigured}, {true, false, false}},
  };
  const uint8_t request[3] = {'a', 's', 'k'};
  const uint8_t mark[1] = {'.'};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    endpoint.SetAskedDirectly(row.asked);
    Targets targets;
    for (const BroadcastTarget& t : endpoint.BroadcastTargets()) targets.emplace_back(t.ip, t.port);
    EXPECT_EQ(targets, row.expected);
    endpoint.Broadcast(request, sizeof request);
    for (size_t k = 0; k < 3; ++k) {
      endpoint.Send("127.0.0.1", receivers[k]->LocalPort(), mark, sizeof mark);
      uint8_t buf[16];
      if (row.reached[k]) {
        ASSERT_EQ(receivers[k]->Receive(buf, sizeof buf, 1000), sizeof request) << k;
        EXPECT_EQ(buf[0], 'a') << k;
      }
      ASSERT_EQ(receivers[k]->Receive(buf, sizeof buf, 1000), sizeof mark) << k;
      EXPECT_EQ(buf[0], '.') << k;
    }
  }
}

}  // namespace
}  // namespace orvu::test
