// The tool's real endpoint on 127.0.0.1 talking to simulated devices served on real loopback
// UDP (127.0.0.2, 127.0.0.3, ... on a free port). The devices run on a manual clock, so a
// test ends an idle session by advancing it instead of waiting.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "comm/endpoint.h"
#include "comm/posix_udp.h"
#include "comm/udpdev.h"
#include "sim/clock.h"
#include "sim/udp_server.h"
#include "tests/sim/tool_endpoint.h"

namespace orvu {

class UdpFixture : public testing::Test {
 protected:
  // Serves the devices added so far and registers the tool's endpoint.
  void Serve(int timeoutMs = kReceiveTimeoutMs) {
    server.Start();
    endpoint = std::make_unique<PosixUdpEndpoint>(ToolEndpointConfig(server, timeoutMs));
    SetEndpoint(endpoint.get());
  }
  // The tool's record of a device, as discovery would have made it.
  UdpDev& Tool(SimDevice& device) {
    set.Add(device.Id(), ParseIp(device.Ip()), device.Mode());
    for (int i = 0; i < set.count; ++i) {
      if (set.dev[i].id == device.Id()) return set.dev[i];
    }
    throw std::logic_error("device not taken into the set");
  }

  ManualClock clock;
  SimUdpServer server{clock};
  std::unique_ptr<PosixUdpEndpoint> endpoint;

 private:
  // Unregisters the endpoint only after the set below has closed its sessions through it.
  struct Registration {
    ~Registration() { SetEndpoint(nullptr); }
  } registration_;

 protected:
  UdpDevSet set;
};

}  // namespace orvu
