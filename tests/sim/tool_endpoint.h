// The tool's endpoint for a loopback test: a socket on 127.0.0.1 that sends to the simulated
// devices' port and "broadcasts" by sending to each device address.
#pragma once
#include "comm/posix_udp.h"
#include "sim/udp_server.h"

namespace orvu {

inline UdpConfig ToolEndpointConfig(const SimUdpServer& server,
                                    int timeoutMs = kReceiveTimeoutMs) {
  UdpConfig config;
  config.bindIp = "127.0.0.1";
  config.bindPort = 0;
  config.devicePort = server.Port();
  config.broadcastTo = server.BroadcastTargets();
  config.timeoutMs = timeoutMs;
  return config;
}

}  // namespace orvu
