// The points on offer for a binding, and the airlock of a passage.
#include <gtest/gtest.h>

#include <vector>

#include "model/ctrlcfg.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;
using testing::DevListPayload;
using testing::PassagesPayload;
using testing::PassageSpec;

// Payload order: module (0), reader R01_00042 (1), empty slot (2), controller (3), reader
// R01_00007 (4). Display order: R01_00042, controller, R01_00007, module (the controller
// never moves towards the end, so R01_00007 cannot pass it).
class FreeIoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto list = DevListPayload({{.id = BusId(717, 5), .outputs = 3, .inputs = 2},
                                {.id = BusId(1, 42), .outputs = 2, .inputs = 2, .readers = 2},
                                {.id = testing::kEmptySlotId, .outputs = 4, .inputs = 4, .readers = 3},
                                {.id = BusId(346, 1), .outputs = 1},
                                {.id = BusId(1, 7), .outputs = 1, .inputs = 1, .readers = 1}});
    ASSERT_TRUE(DecodeDevList(cfg, list.data(), list.size()));
    auto passages = PassagesPayload(std::vector<PassageSpec>(3));
    ASSERT_TRUE(DecodePassages(cfg, passages.data(), passages.size()));
  }
  std::vector<IoRef> Free(int kind) const {
    std::vector<IoRef> out(kMaxFreeIo);
    out.resize(static_cast<size_t>(FreeIo(cfg, kind, out.data())));
    return out;
  }
  std::vector<IoRef> FreeModule(int kind) const {
    std::vector<IoRef> out(kMaxFreeIo);
    out.resize(static_cast<size_t>(FreeModuleIo(cfg, kind, out.data())));
    return out;
  }
  std::vector<IoRef> Shared(int slot) const {
    std::vector<IoRef> out(kMaxPassages);
    out.resize(static_cast<size_t>(SharedOutputs(cfg, slot, out.data())));
    return out;
  }

  CtrlConfig cfg;
};

TEST_F(FreeIoTest, ListedDevicesInDisplayOrderWithoutUsedPoints) {
  ASSERT_EQ(cfg.listedCount, 4);
  EXPECT_EQ(Free(kKindOutputs), (std::vector<IoRef>{MakeRef(1, 0), MakeRef(1, 1), MakeRef(3, 0), MakeRef(4, 0)}));
  EXPECT_EQ(Free(kKindReaders), (std::vector<IoRef>{MakeRef(1, 0), MakeRef(1, 1), MakeRef(4, 0)}));
  EXPECT_EQ(Free(kKindInputs),
            (std::vector<IoRef>{MakeRef(1, 0), MakeRef(1, 1), MakeRef(4, 0), MakeRef(0, 0), MakeRef(0, 1)}));

  SetOutput(cfg, 0, kSlotReminder, MakeRef(1, 0), false);
  SetInput(cfg, 1, kSlotTamper, MakeRef(0, 1), false);
  SetReader(cfg, 2, 3, MakeRef(1, 1));
  EXPECT_EQ(Free(kKindOutputs), (std::vector<IoRef>{MakeRef(1, 1), MakeRef(3, 0), MakeRef(4, 0)}));
  EXPECT_EQ(Free(kKindInputs), (std::vector<IoRef>{MakeRef(1, 0), MakeRef(1, 1), MakeRef(4, 0), MakeRef(0, 0)}));
  EXPECT_EQ(Free(kKindReaders), (std::vector<IoRef>{MakeRef(1, 0), MakeRef(4, 0)}));
  EXPECT_TRUE(Free(7).empty());
}

TEST_F(FreeIoTest, ElevatorModulesOfferTheirOutputsOnlyAsModuleIo) {
  EXPECT_EQ(FreeModule(kKindOutputs), (std::vector<IoRef>{MakeRef(0, 0), MakeRef(0, 1), MakeRef(0, 2)}));
  EXPECT_EQ(FreeModule(kKindInputs), (std::vector<IoRef>{MakeRef(0, 0), MakeRef(0, 1)}));
  SetOutput(cfg, 0, kSlotBolt, MakeRef(0, 1), false);
  EXPECT_EQ(FreeModule(kKindOutputs), (std::vector<IoRef>{MakeRef(0, 0), MakeRef(0, 2)}));
}

TEST_F(FreeIoTest, NeverMoreThanTheTableHolds) {
  // Counts set beyond what a device can have, on every record: at most 15 points each.
  auto list = DevListPayload(std::vector<testing::DevSpec>(128, {.id = BusId(1, 1), .outputs = 15, .inputs = 15, .readers = 3}));
  ASSERT_TRUE(DecodeDevList(cfg, list.data(), list.size()));
  for (BusDev& d : cfg.devices) d.outputCount = d.inputCount = d.readerCount = 40;
  EXPECT_EQ(Free(kKindOutputs).size(), static_cast<size_t>(kMaxFreeIo));
  EXPECT_EQ(Free(kKindReaders).size(), 128u * 3);
}

TEST_F(FreeIoTest, SharedOutputsAreDistinctWholeValuesInPassageOrder) {
  cfg.outRefs[0][kSlotAlarm] = MakeRef(1, 1);
  cfg.outRefs[1][kSlotAlarm] = MakeRef(4, 0);
  cfg.outRefs[2][kSlotAlarm] = MakeRef(1, 1);
  cfg.outRefs[5][kSlotAlarm] = MakeRef(3, 0);  // beyond passageCount
  EXPECT_EQ(Shared(kSlotAlarm), (std::vector<IoRef>{MakeRef(1, 1), MakeRef(4, 0)}));
  cfg.outRefs[2][kSlotAlarm] |= kNcBit;  // not kept in step by a setter: a value of its own
  EXPECT_EQ(Shared(kSlotAlarm), (std::vector<IoRef>{MakeRef(1, 1), MakeRef(4, 0), MakeRef(1, 1) | kNcBit}));
  EXPECT_TRUE(Shared(kSlotCctv).empty());
  EXPECT_TRUE(Shared(4).empty());
}

TEST(Airlock, NumberValidOnlyWithItsFlag) {
  uint8_t params[kParamBytes] = {0, 0, 0xF8, 0, 0, 0, 0, 0};
  EXPECT_EQ(AirlockOf(params), -1);
  SetAirlock(params, 2);
  EXPECT_EQ(AirlockOf(params), 2);
  SetAirlock(params, 3);
  EXPECT_EQ(AirlockOf(params), 3);
  EXPECT_EQ(params[2], 0xFF);  // the other bits of byte 2 are carried
  SetAirlock(params, 4);
  EXPECT_EQ(AirlockOf(params), -1);
  EXPECT_EQ(params[2], 0xFB);  // the number stays, only the flag goes
  SetAirlock(params, -1);
  EXPECT_EQ(AirlockOf(params), -1);
  SetAirlock(params, 0);
  EXPECT_EQ(AirlockOf(params), 0);
}

}  // namespace
}  // namespace orvu
