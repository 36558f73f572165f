#include "app/orvuq46-cli/endpoint_options.h"

#include <optional>

#include "app/orvuq46-cli/cli_args.h"
#include "comm/address_text.h"
#include "comm/failure_cause.h"

namespace orvu {
namespace {

[[noreturn]] void Fail(const std::string& message) { throw UsageError(message, CliCommand::kNone); }

// "ADDR" or "ADDR:PORT".
std::pair<std::string, std::optional<uint16_t>> AddressAndPort(const std::string& option,
                                                               const std::string& text) {
  const AddressText parsed = ParseAddressText(text);
  switch (parsed.problem) {
    case AddressProblem::kNotIpv4:
      Fail(option + " wants an IPv4 address, not '" + text + "'");
    case AddressProblem::kBadPort:
      Fail(option + " wants a port 0-65535 after the colon, not '" + text + "'");
    case AddressProblem::kNone:
      break;
  }
  return {parsed.ip, parsed.port};
}

}  // namespace

UdpConfig TakeEndpointOptions(std::vector<std::string>& args) {
  UdpConfig config;
  std::optional<uint16_t> devicePort;
  std::vector<std::pair<std::string, std::optional<uint16_t>>> broadcastTo;
  std::vector<std::pair<std::string, std::optional<uint16_t>>> askDirectly;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    // Values of the command's own options are not ours to look at (a location may say anything).
    if (word == "-o" || word == "--output" || word == "--dir" || word == "--location" || word == "--date") {
      rest.push_back(word);
      if (i + 1 < args.size()) rest.push_back(args[++i]);
      continue;
    }
    const bool ours = word == "--local" || word == "--device-port" || word == "--broadcast-to" ||
                      word == "--address";
    if (!ours) {
      rest.push_back(word);
      continue;
    }
    if (i + 1 >= args.size()) Fail(word + " needs a value");
    const std::string& value = args[++i];
    if (word == "--local") {
      const auto [ip, port] = AddressAndPort(word, value);
      config.bindIp = ip;
      config.bindPort = port.value_or(kUdpPort);
    } else if (word == "--device-port") {
      devicePort = ParsePortText(value);
      if (!devicePort || *devicePort == 0) Fail("--device-port wants a port 1-65535, not '" + value + "'");
    } else if (word == "--address") {
      askDirectly.push_back(AddressAndPort(word, value));
    } else {
      broadcastTo.push_back(AddressAndPort(word, value));
    }
  }
  args = rest;
  if (devicePort) config.devicePort = *devicePort;
  if (broadcastTo.empty()) {
    config.broadcastTo = {{"255.255.255.255", config.devicePort}};
  } else {
    config.broadcastTo.clear();
    for (const auto& [ip, port] : broadcastTo) config.broadcastTo.emplace_back(ip, port.value_or(config.devicePort));
  }
  // A controller behind a router hears no broadcast: the same request reaches it by unicast.
  for (const auto& [ip, port] : askDirectly) config.broadcastTo.emplace_back(ip, port.value_or(config.devicePort));
  return config;
}

std::string CommFailureLine(const std::exception& error, uint16_t bindPort) {
  const uint16_t port = PortOf(error, bindPort);
  switch (CommFailureCause(error)) {
    case FailureCause::kPortHeld:
      return PortTakenLine(port);
    case FailureCause::kNoNetwork:
      return std::string("no network: no network interface is up with a route to search on; ") +
             "connect the cable or bring an interface up, then try again (" + error.what() + ")";
    case FailureCause::kBroadcastRefused:
      return "the system refused the discovery broadcast to UDP port " + std::to_string(port) +
             " (a firewall rule?); allow it, then try again (" + error.what() + ")";
    default:
      return error.what();
  }
}

std::string PortTakenLine(uint16_t port) {
  return "UDP port " + std::to_string(port) + " is in use by another program (the orvuQ46 window, " +
         "or another orvuq46-cli?); close it and try again";
}

}  // namespace orvu
