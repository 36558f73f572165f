// The endpoint main() opens: the product's (port 45389 on all addresses, broadcast to
// 255.255.255.255), or, with the lab options, one that reaches a simulator.
#pragma once
#include <string>
#include <vector>

#include "comm/posix_udp.h"

namespace orvu {

// Removes --local, --device-port and --broadcast-to (with their values) from args and returns
// the endpoint they describe. Throws UsageError for a malformed value.
UdpConfig TakeEndpointOptions(std::vector<std::string>& args);

// Empty when config's local port is free to bind; otherwise one line saying who holds it.
// The endpoint itself shares its port (SO_REUSEADDR), so a second program on the port would
// go unnoticed and steal replies: this probe binds without sharing first.
std::string PortTakenProblem(const UdpConfig& config);

}  // namespace orvu
