// Scenarios: a set of simulated devices, from a JSON file (orvusim, labs) or built in (the demo
// program and the tests).
//
// A scenario file, every key but "devices" optional:
//   { "name": "small",
//     "devices": [
//       { "type": 346, "serial": 1201, "ip": "127.0.0.2",
//         "mode": "Serwis",                     // or 0-3: Blokada, Konfiguracja, Serwis, Instalacja
//         "silent": false, "foreignSession": "none",   // "idle" or "held"
//         "sessionIdleSeconds": 30,
//         "faults": { "dropRequest": 0.3, "dropReply": 0.3, "duplicateReply": 0.1,
//                     "delayReply": 0.1, "delayMs": 50, "corruptCrc": 0, "corruptSignature": 0,
//                     "otherIdentity": 0, "junk": 0, "seed": 7 },
//         "bus": [ { "type": 346, "serial": 1201, "suffix": 0, "suffixNumber": 1,
//                    "outputs": 4, "inputs": 4, "readers": 2, "openCollector": false,
//                    "state": ["inactive", "power", "tamper", "new"] },   // or a number
//                  { "id": 4294967295 } ],          // a raw identity word, e.g. an empty slot
//         "passages": [ { "type": 1, "pulse": 10, "openTime": 20, "airlock": 1,
//                         "handle": true, "fullPulse": false,
//                         "bolt": "1:0", "reminder": "1:1", "alarm": "0:2:nc", "cctv": "0:3",
//                         "exitButton": "1:0", "openDetector": "1:1", "alarmDetector": "1:2",
//                         "tamper": "1:3", "readers": ["2:0", "3:0"],
//                         "outputs": [...4], "inputs": [...10], "params": [...8] } ] } ] }
// References read "DEVICE:CHANNEL" or "DEVICE:CHANNEL:nc" (device index in the bus list,
// channel from 0); null or "-" is unbound. "outputs"/"inputs"/"params" give the raw slots
// (the named keys then override single slots). A non-controller ("type": 101, a terminal)
// takes no "bus" or "passages".
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "sim/device_config.h"

namespace orvu {

struct Scenario {
  std::string name;
  std::vector<SimDeviceConfig> devices;
};

// Throws std::runtime_error with a message that says what is wrong and where.
Scenario ParseScenario(std::string_view json);
Scenario LoadScenarioFile(const std::string& path);

// Gives the devices consecutive addresses from base ("192.168.1.50", then .51, ...).
// Throws std::invalid_argument for a base that is not a dotted-decimal IPv4 address.
void RebaseAddresses(Scenario& scenario, const std::string& base);

// The small installation: the controller itself, an elevator module (717) with the bolts and
// detectors, three readers, a keypad, an inactive reader and a new reader of the same type to
// replace it, and three passages (an alarm output shared by two of them).
SimDeviceConfig SmallInstallation(uint16_t serial, const std::string& ip, uint8_t mode);
// The largest configuration the tool handles: 124 bus devices with 15 outputs, 15 inputs and 3
// readers each, 16 passages with every slot bound.
SimDeviceConfig LargeInstallation(uint16_t serial, const std::string& ip, uint8_t mode);

// The demo LAN on 192.168.1.0/24: the small installation in Serwis, a controller in
// Instalacja with its own installation, a controller locked in Blokada, and a terminal.
Scenario DemoScenario();

// The built-in scenarios by name: "demo" (DemoScenario), "small" and "large" (one controller
// on 127.0.0.2 with the small or the large installation). Throws std::runtime_error for any
// other name.
Scenario BuiltinScenario(const std::string& name);

// Adds every device of the scenario to a SimLan or a SimUdpServer.
template <class Network>
void AddScenario(Network& network, const Scenario& scenario) {
  for (const SimDeviceConfig& device : scenario.devices) network.AddDevice(device);
}

}  // namespace orvu
