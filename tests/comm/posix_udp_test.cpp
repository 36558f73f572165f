// The real socket endpoint on loopback.
#include "comm/posix_udp.h"

#include <gtest/gtest.h>

#include <string>
#include <system_error>

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

}  // namespace
}  // namespace orvu::test
