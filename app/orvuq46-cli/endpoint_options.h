// The endpoint main() opens: the product's (port 45389 on all addresses, broadcast to
// 255.255.255.255 and every interface's broadcast address, and to the controllers named with
// --address), or, with the lab options, one that reaches a simulator.
#pragma once
#include <string>
#include <vector>

#include "comm/posix_udp.h"

namespace orvu {

// Removes --local, --device-port, --broadcast-to and --address (with their values) from args
// and returns the endpoint they describe: every search also asks each --address directly.
// Throws UsageError for a malformed value.
UdpConfig TakeEndpointOptions(std::vector<std::string>& args);

// The one line shown when the endpoint's port is bound by another program.
std::string PortTakenLine(uint16_t port);

}  // namespace orvu
