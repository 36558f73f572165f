// orvuq46-cli: opens the product's endpoint (or a lab one) and runs one command.
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "app/orvuq46-cli/cli.h"
#include "app/orvuq46-cli/cli_args.h"
#include "app/orvuq46-cli/endpoint_options.h"
#include "app/orvuq46-cli/interrupt.h"

namespace {

// Help, usage errors and the list of discovery targets need no network: no port is taken just
// to print them.
class NoNetwork : public orvu::Endpoint {
 public:
  explicit NoNetwork(const orvu::UdpConfig& config) : config_(config) {}
  std::vector<orvu::BroadcastTarget> BroadcastTargets() const override {
    return orvu::DiscoveryTargets(config_);
  }
  void Send(const std::string&, uint16_t, const uint8_t*, size_t) override { Refuse(); }
  void Broadcast(const uint8_t*, size_t) override { Refuse(); }
  size_t Receive(uint8_t*, size_t, int, std::string*) override { Refuse(); }
  uint16_t DevicePort() const override { return orvu::kUdpPort; }

 private:
  [[noreturn]] static void Refuse() { throw std::logic_error("no network for this command"); }
  orvu::UdpConfig config_;
};

bool NeedsNetwork(const std::vector<std::string>& args) {
  try {
    const orvu::CliRequest request = orvu::ParseCliArgs(args);
    return !request.help && !request.interfaces;
  } catch (const orvu::UsageError&) {
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "orvuq46-cli " ORVU_VERSION "\n";
    return orvu::kExitOk;
  }
  orvu::UdpConfig config;
  try {
    config = orvu::TakeEndpointOptions(args);
  } catch (const orvu::UsageError& e) {
    std::cerr << "orvuq46-cli: " << e.what() << '\n' << orvu::HelpHint(e.command);
    return orvu::kExitUsage;
  }
  if (!NeedsNetwork(args)) {
    NoNetwork none(config);
    return orvu::RunCli(args, none, std::cout, std::cerr);
  }
  // Only the runs over every controller check for Ctrl-C between controllers; the other
  // commands are short and keep the default, which ends them at once.
  const orvu::CliRequest request = orvu::ParseCliArgs(args);
  if (request.all) orvu::StopGently();
  std::optional<orvu::PosixUdpEndpoint> endpoint;
  try {
    endpoint.emplace(config);
  } catch (const std::system_error& e) {
    if (e.code() == std::errc::address_in_use)
      std::cerr << "orvuq46-cli: " << orvu::PortTakenLine(config.bindPort) << '\n';
    else
      std::cerr << "orvuq46-cli: " << e.what() << '\n';
    return orvu::kExitNetwork;
  }
  try {
    return orvu::RunCli(args, *endpoint, std::cout, std::cerr);
  } catch (const std::system_error& e) {
    std::cerr << "orvuq46-cli: " << e.what() << '\n';
    return orvu::kExitNetwork;
  }
}
