// The scenarios built into the simulator: the installations the demo program and the tests
// use, so that neither depends on a file being found at run time.
#include <stdexcept>

#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/passage_payload.h"
#include "sim/scenario.h"

namespace orvu {

namespace {

constexpr unsigned kReaderType = 1;     // R01
constexpr unsigned kReader2Type = 2;    // R02
constexpr unsigned kKeypadType = 501;   // K01, class 5
constexpr unsigned kTerminalType = 101;  // T01, a network device, not a controller
constexpr uint8_t kInactive = 0x80;
constexpr uint8_t kNew = 0x10;

// Bus identities carry no network marker.
uint32_t BusId(unsigned type, unsigned serial, unsigned suffix = 0) {
  return MakeIdentity(type, serial, suffix, 0);
}

std::array<uint8_t, 8> Params(uint8_t type, uint8_t pulse, uint8_t openTime, bool handle = false,
                              bool fullPulse = false) {
  std::array<uint8_t, 8> p{};
  SetPassageType(p.data(), type);
  SetHandleOpening(p.data(), handle);
  SetFullBoltPulse(p.data(), fullPulse);
  SetBoltPulse(p.data(), pulse);
  SetOpenTime(p.data(), openTime);
  return p;
}

SimDeviceConfig Controller(uint16_t serial, const std::string& ip, uint8_t mode) {
  SimDeviceConfig config;
  config.id = MakeIdentity(kControllerType, serial);
  config.ip = ip;
  config.mode = mode;
  return config;
}

}  // namespace

// Bus:  0 the controller (4 relay outputs, 4 inputs, 2 readers)
//       1 elevator module D17 (12 open-collector outputs, 12 inputs): bolts and detectors
//       2, 3 readers R01, 4 reader R02, 5 keypad K01
//       6 an inactive R01 still bound in passage 2, 7 a new R01 that can replace it
// Passages: 0 and 1 share the alarm output 0:Out3; 1 has a reverse-acting (NC) bolt.
SimDeviceConfig SmallInstallation(uint16_t serial, const std::string& ip, uint8_t mode) {
  SimDeviceConfig config = Controller(serial, ip, mode);
  const unsigned s = serial;
  config.bus = {
      MakeBusRecord(BusId(kControllerType, s), 1, 0, 4, 4, 2),
      MakeBusRecord(BusId(kElevatorModuleType, s + 100), 1, 0, 12, 12, 0, true),
      MakeBusRecord(BusId(kReaderType, s + 200), 1, 0, 1, 2, 1),
      MakeBusRecord(BusId(kReaderType, s + 201), 2, 0, 1, 2, 1),
      MakeBusRecord(BusId(kReader2Type, s + 202, 1), 1, 0, 0, 1, 1),
      MakeBusRecord(BusId(kKeypadType, s + 300), 1, 0, 0, 1, 1),
      MakeBusRecord(BusId(kReaderType, s + 203), 3, kInactive, 1, 2, 1),
      MakeBusRecord(BusId(kReaderType, s + 204), 4, kNew, 1, 2, 1),
  };

  std::vector<SimPassage> passages(3);
  SimPassage& p0 = passages[0];
  p0.outputs = {SimRef(1, 0), SimRef(1, 3), SimRef(0, 2), kSimNoRef};
  p0.inputs[0] = SimRef(0, 0);
  p0.inputs[1] = SimRef(1, 0, true);
  p0.readers = {SimRef(2, 0), kSimNoRef, kSimNoRef, kSimNoRef};
  p0.params = Params(1, 10, 30);
  p0.params[5] = 4;  // bytes the tool carries unchanged
  p0.params[7] = 9;

  SimPassage& p1 = passages[1];
  p1.outputs = {SimRef(1, 1, true), kSimNoRef, SimRef(0, 2), SimRef(0, 3)};
  p1.inputs[1] = SimRef(1, 1);
  p1.inputs[3] = SimRef(0, 1);
  p1.readers = {SimRef(3, 0), SimRef(4, 0), kSimNoRef, kSimNoRef};
  p1.params = Params(1, 6, 20, true);

  SimPassage& p2 = passages[2];
  p2.outputs[0] = SimRef(1, 2);
  p2.inputs[0] = SimRef(0, 2);
  p2.inputs[1] = SimRef(1, 2);
  p2.inputs[2] = SimRef(6, 0);
  p2.readers = {SimRef(6, 0), SimRef(5, 0), kSimNoRef, kSimNoRef};
  p2.params = Params(2, 4, 60, false, true);
  config.passages = EncodeSimPassages(passages);
  return config;
}

// Bus: the controller, 16 elevator modules, 107 further devices; all with 15 outputs, 15
// inputs and 3 readers. Passage p: every output and input slot on module 1 + p except the
// alarm and CCTV outputs, shared by four passages each on the controller; four readers each
// on devices of its own.
SimDeviceConfig LargeInstallation(uint16_t serial, const std::string& ip, uint8_t mode) {
  constexpr int kDevices = 124;  // as many as one device-list reply can carry
  constexpr unsigned kOtherTypes[] = {kReaderType, kReader2Type, kKeypadType, 601};
  SimDeviceConfig config = Controller(serial, ip, mode);
  config.bus.push_back(MakeBusRecord(BusId(kControllerType, serial), 1, 0, 15, 15, 3));
  for (int i = 1; i < kDevices; ++i) {
    const unsigned type = i <= 16 ? kElevatorModuleType : kOtherTypes[i % 4];
    config.bus.push_back(MakeBusRecord(BusId(type, 1000u + unsigned(i), unsigned(i) % 4),
                                       uint8_t(i), 0, 15, 15, 3, i % 2 == 0));
  }
  std::vector<SimPassage> passages(16);
  for (unsigned p = 0; p < 16; ++p) {
    SimPassage& g = passages[p];
    const unsigned module = 1 + p;
    g.outputs = {SimRef(module, 0), SimRef(module, 1), SimRef(0, p / 4), SimRef(0, 4 + p / 4)};
    for (unsigned k = 0; k < 10; ++k) g.inputs[k] = SimRef(module, k, k == 1);
    for (unsigned k = 0; k < 4; ++k) g.readers[k] = SimRef(17 + 4 * p + k, k % 3);
    g.params = Params(uint8_t(p % 5), uint8_t(2 * p + 1), uint8_t(4 * p + 2), p % 3 == 0, p % 2);
    if (p < 8) SetAirlock(g.params.data(), int(p % 4));  // two passages in each airlock
  }
  config.passages = EncodeSimPassages(passages);
  return config;
}

Scenario DemoScenario() {
  Scenario demo;
  demo.name = "demo";
  demo.devices.push_back(SmallInstallation(1201, "192.168.1.21", 2));

  // Instalacja: a one-door installation with its own module and reader.
  SimDeviceConfig second = Controller(1202, "192.168.1.22", 3);
  second.bus = {
      MakeBusRecord(BusId(kControllerType, 1202), 1, 0, 4, 4, 2),
      MakeBusRecord(BusId(kElevatorModuleType, 1302), 1, 0, 6, 6, 0, true),
      MakeBusRecord(BusId(kReaderType, 1402), 1, 0, 1, 2, 1),
  };
  std::vector<SimPassage> one(1);
  one[0].outputs[0] = SimRef(1, 0);
  one[0].inputs[1] = SimRef(1, 0);
  one[0].readers[0] = SimRef(2, 0);
  one[0].params = Params(1, 8, 40);
  second.passages = EncodeSimPassages(one);
  demo.devices.push_back(second);

  SimDeviceConfig locked = Controller(1203, "192.168.1.23", 0);
  locked.bus = {MakeBusRecord(BusId(kControllerType, 1203), 1, 0, 4, 4, 2)};
  demo.devices.push_back(locked);

  SimDeviceConfig terminal;
  terminal.id = MakeIdentity(kTerminalType, 77);
  terminal.ip = "192.168.1.30";
  terminal.mode = 2;
  demo.devices.push_back(terminal);
  return demo;
}

Scenario BuiltinScenario(const std::string& name) {
  if (name == "demo") return DemoScenario();
  Scenario scenario;
  scenario.name = name;
  if (name == "small") {
    scenario.devices.push_back(SmallInstallation(1201, "127.0.0.2", 2));
  } else if (name == "large") {
    scenario.devices.push_back(LargeInstallation(1250, "127.0.0.2", 2));
  } else {
    throw std::runtime_error("no built-in scenario " + name + " (demo, small, large)");
  }
  return scenario;
}

}  // namespace orvu
