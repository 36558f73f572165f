// orvuq46-demo: the configuration tool over an in-process simulated LAN, so every action can be
// tried without hardware. The LAN is a built-in scenario:
//   orvuq46-demo          two controllers that can be read, one locked, a terminal
//   orvuq46-demo small    one controller with the small installation, at 192.168.1.50
//   orvuq46-demo large    one controller with the largest configuration (16 passages)
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/run_tool.h"

int main(int argc, char** argv) {
  const std::string name = argc > 1 && argv[1][0] != '-' ? argv[1] : "demo";
  orvu::Scenario scenario;
  try {
    scenario = orvu::BuiltinScenario(name);
    // The one-controller scenarios live on loopback for orvusim; the demo's LAN is a LAN.
    if (name != "demo") orvu::RebaseAddresses(scenario, "192.168.1.50");
  } catch (const std::exception& err) {
    std::cerr << "orvuq46-demo: " << err.what() << '\n';
    return 2;
  }
  orvu::RealClock clock;
  orvu::SimLan lan(clock);
  lan.SetEchoBroadcast(false);
  orvu::AddScenario(lan, scenario);
  return orvu::RunTool(argc, argv, [&lan] { return std::make_unique<orvu::EndpointRef>(lan); });
}
