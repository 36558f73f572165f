// orvuq46-demo: the configuration tool over an in-process simulated LAN (two controllers that
// can be read, one locked, a terminal), so every action can be tried without hardware.
#include <memory>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/run_tool.h"

int main(int argc, char** argv) {
  orvu::RealClock clock;
  orvu::SimLan lan(clock);
  lan.SetEchoBroadcast(false);
  orvu::AddScenario(lan, orvu::DemoScenario());
  return orvu::RunTool(argc, argv, [&lan] { return std::make_unique<orvu::EndpointRef>(lan); });
}
