// The controller's device list: decoding, refusal, display order, the refresh's change test.
#include <gtest/gtest.h>

#include <vector>

#include "model/ctrlcfg.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;
using testing::DevListPayload;
using testing::DevSpec;
using testing::kEmptySlotId;

constexpr uint32_t kCtrl = BusId(346, 1);

bool Decode(CtrlConfig& cfg, const std::vector<uint8_t>& p) { return DecodeDevList(cfg, p.data(), p.size()); }
bool Changed(const CtrlConfig& cfg, const std::vector<uint8_t>& p) { return DevListChanged(cfg, p.data(), p.size()); }

std::vector<uint32_t> ListedIds(const CtrlConfig& cfg) {
  std::vector<uint32_t> ids;
  for (int j = 0; j < cfg.listedCount; ++j) ids.push_back(cfg.devices[cfg.listed[j]].id);
  return ids;
}

std::vector<DevSpec> Readers(int n) {
  std::vector<DevSpec> devs;
  for (int i = 0; i < n; ++i) devs.push_back({.id = BusId(1, static_cast<unsigned>(i))});
  return devs;
}

// A model holding a good list of three devices, to show what a refused list leaves behind.
CtrlConfig Loaded() {
  CtrlConfig cfg;
  EXPECT_TRUE(Decode(cfg, DevListPayload({{.id = kCtrl}, {.id = BusId(1, 9)}, {.id = BusId(1, 2)}})));
  cfg.passageCount = 2;
  return cfg;
}

TEST(DecodeDevList, AcceptsCountsUpToTheTable) {
  struct Case {
    int devices;
    bool ok;
  } cases[] = {{0, true}, {1, true}, {124, true}, {128, true}};
  for (const Case& c : cases) {
    CtrlConfig cfg;
    EXPECT_EQ(Decode(cfg, DevListPayload(Readers(c.devices))), c.ok) << c.devices;
    EXPECT_EQ(cfg.deviceCount, c.devices);
    EXPECT_EQ(cfg.listedCount, c.devices);
  }
}

TEST(DecodeDevList, RefusedListLeavesNothingListed) {
  auto full = DevListPayload(Readers(3));
  struct Case {
    const char* what;
    std::vector<uint8_t> payload;
  } cases[] = {
      {"count 129", DevListPayload(Readers(129))},
      {"count 0xFFFF", DevListPayload({}, 0xFFFF)},
      {"empty", {}},
      {"one byte", {0x00}},
      {"count 3, one record missing", std::vector<uint8_t>(full.begin(), full.end() - 8)},
      {"count 3, last info byte missing", std::vector<uint8_t>(full.begin(), full.end() - 1)},
      {"count 2, nothing after it", {0x02, 0x00}},
  };
  for (const Case& c : cases) {
    CtrlConfig cfg = Loaded();
    EXPECT_FALSE(Decode(cfg, c.payload)) << c.what;
    EXPECT_EQ(cfg.deviceCount, 0) << c.what;
    EXPECT_EQ(cfg.listedCount, 0) << c.what;
    EXPECT_EQ(cfg.passageCount, 2) << c.what;  // the passages are the other decoder's business
  }
}

TEST(DecodeDevList, LongerPayloadIsReadUpToItsCount) {
  auto p = DevListPayload(Readers(2));
  p.insert(p.end(), 20, 0xEE);
  CtrlConfig cfg;
  EXPECT_TRUE(Decode(cfg, p));
  EXPECT_EQ(cfg.deviceCount, 2);
}

TEST(DecodeDevList, InfoRecordFields) {
  struct Case {
    int ioByte;
    uint8_t inputByte;
    int outputs, readers, inputs;
    bool oc;
  } cases[] = {
      {0x08, 0x00, 1, 0, 0, false},  // 8 stands for a single output
      {0xB4, 0x00, 4, 3, 0, false},
      {0x30, 0x00, 0, 0, 0, false},  // reader bits without bit 7 mean no readers
      {0x48, 0x00, 1, 0, 0, true},
      {0x0F, 0xFC, 15, 0, 12, false},  // input byte bits 4-7 are not interpreted
      {0x97, 0x05, 7, 1, 5, false},
  };
  for (const Case& c : cases) {
    CtrlConfig cfg;
    ASSERT_TRUE(Decode(cfg, DevListPayload({{.id = BusId(1, 1), .state = 0x90, .suffixNumber = 200,
                                               .inputs = c.inputByte, .rawIoByte = c.ioByte}})));
    const BusDev& d = cfg.devices[0];
    EXPECT_EQ(d.outputCount, c.outputs) << std::hex << c.ioByte;
    EXPECT_EQ(d.readerCount, c.readers) << std::hex << c.ioByte;
    EXPECT_EQ(d.inputCount, c.inputs) << std::hex << c.ioByte;
    EXPECT_EQ(d.ocOutputs, c.oc) << std::hex << c.ioByte;
    EXPECT_EQ(d.state, 0x90);
    EXPECT_EQ(d.suffixNumber, 200);
  }
}

TEST(DecodeDevList, EmptySlotIsCountedButNotListed) {
  CtrlConfig cfg;
  ASSERT_TRUE(Decode(cfg, DevListPayload({{.id = kCtrl},
                                          {.id = kEmptySlotId, .state = kStateInactive},
                                          {.id = 0xFFFF0001, .state = kStateNew},
                                          {.id = BusId(1, 3)}})));
  EXPECT_EQ(cfg.deviceCount, 4);
  EXPECT_EQ(ListedIds(cfg), (std::vector<uint32_t>{kCtrl, BusId(1, 3)}));
  EXPECT_FALSE(HasInactive(cfg));
}

TEST(DecodeDevList, FreshDecodeForgetsUsageAndOlderRecords) {
  CtrlConfig cfg;
  ASSERT_TRUE(Decode(cfg, DevListPayload(Readers(5))));
  cfg.devices[0].usedOutputs = 1;
  cfg.devices[0].usedInputs = 2;
  cfg.devices[0].usedReaders = 4;
  ASSERT_TRUE(Decode(cfg, DevListPayload(Readers(2))));
  EXPECT_EQ(cfg.devices[0].usedOutputs | cfg.devices[0].usedInputs | cfg.devices[0].usedReaders, 0u);
  // A reference to index 4 must not name the device that sat there in the previous list.
  EXPECT_EQ(cfg.devices[4].id, 0u);
}

TEST(SortListed, OrdersByTypeThenSerialWithTheLeadingControllerKept) {
  struct Case {
    const char* what;
    std::vector<uint32_t> payloadOrder, listed;
  } cases[] = {
      {"controller first stays first", {kCtrl, BusId(1, 9), BusId(1, 2)}, {kCtrl, BusId(1, 2), BusId(1, 9)}},
      {"reader before controller keeps its place", {BusId(1, 5), kCtrl}, {BusId(1, 5), kCtrl}},
      {"type before serial", {BusId(717, 1), BusId(1, 900), BusId(101, 3)}, {BusId(1, 900), BusId(101, 3), BusId(717, 1)}},
      {"suffix bits do not order", {BusId(1, 2, 3), BusId(1, 1, 0)}, {BusId(1, 1, 0), BusId(1, 2, 3)}},
      {"a later module passes a controller", {kCtrl, BusId(717, 1), BusId(346, 0)}, {kCtrl, BusId(346, 0), BusId(717, 1)}},
  };
  for (const Case& c : cases) {
    std::vector<DevSpec> devs;
    for (uint32_t id : c.payloadOrder) devs.push_back({.id = id});
    CtrlConfig cfg;
    ASSERT_TRUE(Decode(cfg, DevListPayload(devs)));
    EXPECT_EQ(ListedIds(cfg), c.listed) << c.what;
  }
}

TEST(DevListChanged, SeesWhatTheUserMustSee) {
  const std::vector<DevSpec> base = {{.id = kCtrl}, {.id = BusId(1, 42), .state = 0x10, .outputs = 1}};
  struct Case {
    const char* what;
    std::vector<DevSpec> devs;
    bool changed;
  } cases[] = {
      {"identical", base, false},
      {"state bits 0-3", {{.id = kCtrl, .state = 0x0F}, {.id = BusId(1, 42), .state = 0x17, .outputs = 1}}, false},
      {"suffix number and I/O counts", {{.id = kCtrl, .suffixNumber = 9}, {.id = BusId(1, 42), .state = 0x10, .outputs = 4, .readers = 2}}, false},
      {"new flag cleared", {{.id = kCtrl}, {.id = BusId(1, 42), .state = 0x00, .outputs = 1}}, true},
      {"became inactive", {{.id = kCtrl}, {.id = BusId(1, 42), .state = 0x90, .outputs = 1}}, true},
      {"other identity", {{.id = kCtrl}, {.id = BusId(1, 43), .state = 0x10, .outputs = 1}}, true},
      {"suffix letter of the identity", {{.id = kCtrl}, {.id = BusId(1, 42, 1), .state = 0x10, .outputs = 1}}, true},
      {"device added", {{.id = kCtrl}, {.id = BusId(1, 42), .state = 0x10}, {.id = BusId(1, 7)}}, true},
      {"device removed", {{.id = kCtrl}}, true},
  };
  CtrlConfig cfg;
  ASSERT_TRUE(Decode(cfg, DevListPayload(base)));
  for (const Case& c : cases) EXPECT_EQ(Changed(cfg, DevListPayload(c.devs)), c.changed) << c.what;
}

TEST(DevListChanged, MalformedReplyIsNoNewsAndIsNotReadPastItsEnd) {
  CtrlConfig cfg = Loaded();
  auto good = DevListPayload({{.id = kCtrl}, {.id = BusId(1, 9)}, {.id = BusId(1, 2)}});
  EXPECT_FALSE(Changed(cfg, DevListPayload(Readers(129))));
  EXPECT_FALSE(Changed(cfg, {}));
  EXPECT_FALSE(Changed(cfg, {0x05}));
  // Heap copies of exactly the cut length, so ASan sees any read beyond it.
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> shortReply(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_FALSE(Changed(cfg, shortReply)) << cut;
  }
  EXPECT_FALSE(Changed(cfg, good));
}

TEST(HasInactiveTest, LooksOnlyAtListedRecords) {
  CtrlConfig cfg;
  ASSERT_TRUE(Decode(cfg, DevListPayload({{.id = kCtrl}, {.id = BusId(1, 1), .state = 0x70}})));
  EXPECT_FALSE(HasInactive(cfg));
  ASSERT_TRUE(Decode(cfg, DevListPayload({{.id = kCtrl}, {.id = BusId(1, 1), .state = 0x80}})));
  EXPECT_TRUE(HasInactive(cfg));
  Clear(cfg);
  EXPECT_FALSE(HasInactive(cfg));
  EXPECT_EQ(cfg.deviceCount + cfg.listedCount + cfg.passageCount, 0);
}

}  // namespace
}  // namespace orvu
