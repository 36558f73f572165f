// Scenario files say what they mean: the shipped files equal the built-in installations they
// describe, decode with the tool's own codecs, and a mistake in a file is refused with its place.
#include <gtest/gtest.h>

#include <filesystem>

#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/device.h"
#include "sim/scenario.h"

namespace orvu {
namespace {

const std::string kScenarios = std::string(ORVU_SOURCE_DIR) + "/sim/scenarios/";

void ExpectSameDevice(const SimDeviceConfig& a, const SimDeviceConfig& b) {
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(a.ip, b.ip);
  EXPECT_EQ(a.mode, b.mode);
  ASSERT_EQ(a.bus.size(), b.bus.size());
  for (size_t i = 0; i < a.bus.size(); ++i) {
    EXPECT_EQ(a.bus[i].id, b.bus[i].id) << "bus record " << i;
    EXPECT_EQ(a.bus[i].info, b.bus[i].info) << "bus record " << i;
  }
  EXPECT_EQ(a.passages, b.passages);
}

// What the tool would make of the controller's two payloads.
CtrlConfig Decoded(const SimDeviceConfig& config) {
  ManualClock clock;
  SimDevice device(config, clock);
  std::vector<uint8_t> list = device.DevListPayload(), passages = device.Passages();
  CtrlConfig cfg;
  EXPECT_TRUE(DecodeDevList(cfg, list.data(), list.size()));
  EXPECT_TRUE(DecodePassages(cfg, passages.data(), passages.size()));
  return cfg;
}

TEST(Scenario, ShippedFilesEqualTheBuiltInInstallations) {
  ExpectSameDevice(LoadScenarioFile(kScenarios + "small.json").devices.at(0),
                   SmallInstallation(1201, "127.0.0.2", 2));
  ExpectSameDevice(LoadScenarioFile(kScenarios + "large.json").devices.at(0),
                   LargeInstallation(1250, "127.0.0.2", 2));
}

TEST(Scenario, EveryShippedFileLoadsAndDecodes) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kScenarios)) {
    if (entry.path().extension() != ".json") continue;
    ++files;
    SCOPED_TRACE(entry.path().filename().string());
    Scenario scenario = LoadScenarioFile(entry.path().string());
    ASSERT_FALSE(scenario.devices.empty());
    for (const SimDeviceConfig& device : scenario.devices) {
      EXPECT_TRUE(PassesDiscoveryFilter(device.id));
      if (IsController(device.id)) Decoded(device);
    }
  }
  EXPECT_GE(files, 5);
}

TEST(Scenario, LargeInstallationFillsEverySlotWithinOneReply) {
  const SimDeviceConfig large = LargeInstallation(1250, "127.0.0.2", 2);
  ManualClock clock;
  EXPECT_LE(SimDevice(large, clock).DevListPayload().size(), 1000u);
  const CtrlConfig cfg = Decoded(large);
  EXPECT_EQ(cfg.deviceCount, 124);
  ASSERT_EQ(cfg.passageCount, 16);
  for (int d = 0; d < cfg.deviceCount; ++d) {
    EXPECT_EQ(cfg.devices[d].outputCount, 15);
    EXPECT_EQ(cfg.devices[d].inputCount, 15);
    EXPECT_EQ(cfg.devices[d].readerCount, 3);
  }
  for (int p = 0; p < 16; ++p) {
    for (IoRef r : cfg.outRefs[p]) EXPECT_NE(r, kNoRef);
    for (IoRef r : cfg.inRefs[p]) EXPECT_NE(r, kNoRef);
    for (IoRef r : cfg.rdRefs[p]) EXPECT_NE(r, kNoRef);
    // The bolt drives an elevator module and the open detector sits on the same device.
    EXPECT_EQ(TypeCode(cfg.devices[cfg.outRefs[p][kSlotBolt] >> 8].id), kElevatorModuleType);
    EXPECT_EQ(cfg.outRefs[p][kSlotBolt] >> 8, cfg.inRefs[p][kSlotOpenDetector] >> 8);
  }
}

TEST(Scenario, DemoHasEveryKindOfDeviceTheWindowShows) {
  const Scenario demo = DemoScenario();
  ASSERT_EQ(demo.devices.size(), 4u);
  EXPECT_EQ(demo.devices[0].mode, 2);  // Serwis
  EXPECT_EQ(demo.devices[1].mode, 3);  // Instalacja
  EXPECT_EQ(demo.devices[2].mode, 0);  // Blokada
  EXPECT_FALSE(IsController(demo.devices[3].id));
  const CtrlConfig cfg = Decoded(demo.devices[0]);
  EXPECT_TRUE(HasInactive(cfg));
  ReplacePair pairs[kMaxReplacePairs];
  EXPECT_EQ(ReplacePairs(cfg, pairs), 1);
  IoRef shared[kMaxPassages];
  EXPECT_EQ(SharedOutputs(cfg, kSlotAlarm, shared), 1);  // one alarm output for two passages
}

TEST(Scenario, NamedKeysBuildThePassagePayload) {
  const Scenario s = ParseScenario(R"({"devices": [{"serial": 5, "ip": "10.0.0.5",
      "bus": [{"type": 346, "serial": 5}, {"type": 717, "serial": 6, "outputs": 4}],
      "passages": [{"type": 3, "pulse": 7, "openTime": 9, "airlock": 2, "handle": true,
                    "bolt": "1:3:nc", "openDetector": "1:0", "readers": [null, "0:1"]}]}]})");
  const std::vector<uint8_t>& p = s.devices[0].passages;
  ASSERT_EQ(p.size(), 2u + 44u);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 18);
  EXPECT_EQ(p[2] | p[3] << 8, 0x0183);                    // bolt: device 1, channel 3, NC
  EXPECT_EQ(p[2 + 2 * 5] | p[3 + 2 * 5] << 8, 0x0100);    // open detector, input slot 1
  EXPECT_EQ(p[2 + 2 * 15] | p[3 + 2 * 15] << 8, 0x0001);  // second reader
  const uint8_t params[8] = {3, 0, 0x40 | 0x04 | 2, 0, 7, 0, 9, 0};
  EXPECT_TRUE(std::equal(params, params + 8, p.begin() + 2 + 36));
  EXPECT_EQ(s.devices[0].mode, 2);  // Serwis unless told
}

TEST(Scenario, MistakesAreRefusedWithTheirPlace) {
  struct Bad {
    const char* json;
    const char* mentions;
  };
  const Bad cases[] = {
      {"{", "not valid JSON"},
      {R"({"devices": []})", "devices"},
      {R"({"devices": [{"serial": 1}]})", "devices[0].ip"},
      {R"({"devices": [{"ip": "10.0.0.300"}]})", "devices[0].ip"},
      {R"({"devices": [{"ip": "10.0.0.1", "mode": "Servis"}]})", "devices[0].mode"},
      {R"({"devices": [{"ip": "10.0.0.1", "colour": 1}]})", "unknown key \"colour\""},
      {R"({"devices": [{"ip": "10.0.0.1"}, {"ip": "10.0.0.1"}]})", "used twice"},
      {R"({"devices": [{"ip": "10.0.0.1", "type": 101, "bus": []}]})", "only a controller"},
      {R"({"devices": [{"ip": "10.0.0.1", "bus": [{"outputs": 8}]}]})", "bus[0].outputs"},
      {R"({"devices": [{"ip": "10.0.0.1", "bus": [{"state": ["lost"]}]}]})", "bus[0].state"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"bolt": "1:x"}]}]})", "passages[0].bolt"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"bolt": "1:2:no"}]}]})", "passages[0].bolt"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"bolt": "128:0"}]}]})", "passages[0].bolt"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"bolt": "1:-0"}]}]})", "passages[0].bolt"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"bolt": " 1:0"}]}]})", "passages[0].bolt"},
      {R"({"devices": [{"ip": "10.0.0.1", "passages": [{"params": [1, 2]}]}]})", "params"},
      {R"({"devices": [{"ip": "10.0.0.1", "faults": {"dropReply": 1.5}}]})", "faults.dropReply"},
  };
  for (const Bad& bad : cases) {
    SCOPED_TRACE(bad.json);
    try {
      ParseScenario(bad.json);
      ADD_FAILURE() << "accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(bad.mentions), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(LoadScenarioFile(kScenarios + "missing.json"), std::runtime_error);
}

TEST(Scenario, RebaseGivesConsecutiveAddresses) {
  Scenario demo = DemoScenario();
  RebaseAddresses(demo, "10.1.2.254");
  EXPECT_EQ(demo.devices[0].ip, "10.1.2.254");
  EXPECT_EQ(demo.devices[1].ip, "10.1.2.255");
  EXPECT_EQ(demo.devices[2].ip, "10.1.3.0");
  EXPECT_THROW(RebaseAddresses(demo, "10.1.2"), std::invalid_argument);
}

}  // namespace
}  // namespace orvu
