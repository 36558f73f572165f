// The editor's setters: one function per point, shared alarm and CCTV outputs with one NC flag,
// bolt and open detector on one device, and the usage masks kept in step.
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

enum : int { kCtrl = 0, kReader = 1, kLock = 2, kModule = 3 };

// Controller; reader R01_00042 with relay outputs; a lock with open-collector outputs; an
// elevator module. Four passages, nothing bound.
class Setters : public ::testing::Test {
 protected:
  void SetUp() override {
    auto list = DevListPayload({{.id = BusId(346, 1)},
                                {.id = BusId(1, 42), .outputs = 2, .inputs = 4, .readers = 1},
                                {.id = BusId(201, 7), .outputs = 4, .inputs = 4, .oc = true},
                                {.id = BusId(717, 5), .outputs = 15, .inputs = 2}});
    ASSERT_TRUE(DecodeDevList(cfg, list.data(), list.size()));
    auto passages = PassagesPayload(std::vector<PassageSpec>(4));
    ASSERT_TRUE(DecodePassages(cfg, passages.data(), passages.size()));
  }
  uint32_t UsedOutputs(int dev) const { return cfg.devices[dev].usedOutputs; }
  uint32_t UsedInputs(int dev) const { return cfg.devices[dev].usedInputs; }

  CtrlConfig cfg;
};

TEST_F(Setters, BoltOnTheSameDeviceKeepsTheOpenDetector) {
  SetOutput(cfg, 0, kSlotBolt, MakeRef(kLock, 0), false);
  SetInput(cfg, 0, kSlotOpenDetector, MakeRef(kLock, 2), false);
  SetOutput(cfg, 0, kSlotBolt, MakeRef(kLock, 1), false);
  EXPECT_EQ(cfg.inRefs[0][kSlotOpenDetector], MakeRef(kLock, 2));
  EXPECT_EQ(UsedOutputs(kLock), 1u << 1);
  EXPECT_EQ(UsedInputs(kLock), 1u << 2);
}

TEST_F(Setters, BoltElsewhereOrClearedFreesTheOpenDetector) {
  for (IoRef newBolt : {MakeRef(kModule, 0), kNoRef}) {
    SetOutput(cfg, 0, kSlotBolt, MakeRef(kLock, 0), false);
    SetInput(cfg, 0, kSlotOpenDetector, MakeRef(kLock, 2), true);
    SetOutput(cfg, 0, kSlotBolt, newBolt, false);
    EXPECT_EQ(cfg.outRefs[0][kSlotBolt], newBolt);
    EXPECT_EQ(cfg.inRefs[0][kSlotOpenDetector], kNoRef);
    EXPECT_EQ(UsedInputs(kLock), 0u);
    EXPECT_EQ(UsedOutputs(kLock), 0u);
    SetOutput(cfg, 0, kSlotBolt, kNoRef, false);
  }
}

TEST_F(Setters, ClearingAnEmptyBoltLeavesTheDetector) {
  SetInput(cfg, 0, kSlotOpenDetector, MakeRef(kLock, 2), false);
  SetOutput(cfg, 0, kSlotBolt, kNoRef, false);
  EXPECT_EQ(cfg.inRefs[0][kSlotOpenDetector], MakeRef(kLock, 2));
}

TEST_F(Setters, NcFlagOnlyOnOpenCollectorOutputsAndNeverOnSharedSlotsFromTheArgument) {
  struct Case {
    const char* what;
    int slot;
    IoRef ref;
    bool nc;
    IoRef stored;
  } cases[] = {
      {"open collector reminder", kSlotReminder, MakeRef(kLock, 1), true, MakeRef(kLock, 1) | kNcBit},
      {"open collector reminder, flag off", kSlotReminder, MakeRef(kLock, 1) | kNcBit, false, MakeRef(kLock, 1)},
      {"relay reminder", kSlotReminder, MakeRef(kReader, 1), true, MakeRef(kReader, 1)},
      {"open collector alarm", kSlotAlarm, MakeRef(kLock, 1), true, MakeRef(kLock, 1)},
      {"open collector CCTV keeps the value's own flag", kSlotCctv, MakeRef(kLock, 1) | kNcBit, false, MakeRef(kLock, 1) | kNcBit},
  };
  for (const Case& c : cases) {
    SetOutput(cfg, 2, c.slot, c.ref, c.nc);
    EXPECT_EQ(cfg.outRefs[2][c.slot], c.stored) << c.what;
    SetOutput(cfg, 2, c.slot, kNoRef, false);
  }
}

TEST_F(Setters, SharedAlarmOutputHasOneNcFlagAndStaysUsedWhileBound) {
  const IoRef alarm = MakeRef(kReader, 0);  // R01_00042:Out1
  SetOutput(cfg, 1, kSlotAlarm, alarm, false);
  SetOutput(cfg, 3, kSlotAlarm, alarm, false);
  SetOutputNc(cfg, 1, kSlotAlarm, true);
  EXPECT_EQ(cfg.outRefs[1][kSlotAlarm], alarm | kNcBit);
  EXPECT_EQ(cfg.outRefs[3][kSlotAlarm], alarm | kNcBit);
  EXPECT_EQ(cfg.outRefs[0][kSlotAlarm], kNoRef);

  // A third passage bound to the shared value (as the editor offers it) joins with the flag.
  SetOutput(cfg, 2, kSlotAlarm, alarm | kNcBit, false);
  EXPECT_EQ(cfg.outRefs[2][kSlotAlarm], alarm | kNcBit);

  SetOutput(cfg, 1, kSlotAlarm, kNoRef, false);
  SetOutput(cfg, 2, kSlotAlarm, kNoRef, false);
  EXPECT_EQ(cfg.outRefs[1][kSlotAlarm], kNoRef);
  EXPECT_EQ(cfg.outRefs[3][kSlotAlarm], alarm | kNcBit);
  EXPECT_EQ(UsedOutputs(kReader), 1u << 0) << "passage 3 still uses the output";

  SetOutput(cfg, 3, kSlotAlarm, kNoRef, false);
  EXPECT_EQ(UsedOutputs(kReader), 0u);
}

TEST_F(Setters, RebindingASharedPassageMovesOnlyThatPassage) {
  SetOutput(cfg, 0, kSlotCctv, MakeRef(kLock, 0), false);
  SetOutput(cfg, 1, kSlotCctv, MakeRef(kLock, 0), false);
  SetOutput(cfg, 1, kSlotCctv, MakeRef(kLock, 3), false);
  EXPECT_EQ(cfg.outRefs[0][kSlotCctv], MakeRef(kLock, 0));
  EXPECT_EQ(cfg.outRefs[1][kSlotCctv], MakeRef(kLock, 3));
  EXPECT_EQ(UsedOutputs(kLock), (1u << 0) | (1u << 3));
}

TEST_F(Setters, InputsReadersAndTheirFlags) {
  SetInput(cfg, 0, kSlotTamper, MakeRef(kReader, 3), true);
  SetInput(cfg, 0, kSlotAlarmDetector, MakeRef(kReader, 2) | kNcBit, false);
  EXPECT_EQ(cfg.inRefs[0][kSlotTamper], MakeRef(kReader, 3) | kNcBit);
  EXPECT_EQ(cfg.inRefs[0][kSlotAlarmDetector], MakeRef(kReader, 2));
  SetInputNc(cfg, 0, kSlotTamper, false);
  EXPECT_EQ(cfg.inRefs[0][kSlotTamper], MakeRef(kReader, 3));
  SetInputNc(cfg, 0, kSlotExitButton, true);  // empty slot: no flag on "none"
  EXPECT_EQ(cfg.inRefs[0][kSlotExitButton], kNoRef);
  EXPECT_EQ(UsedInputs(kReader), 0xCu);

  SetReader(cfg, 0, 1, MakeRef(kReader, 0));
  EXPECT_EQ(cfg.devices[kReader].usedReaders, 1u);
  SetReader(cfg, 0, 1, kNoRef);
  EXPECT_EQ(cfg.rdRefs[0][1], kNoRef);
  EXPECT_EQ(cfg.devices[kReader].usedReaders, 0u);
}

TEST_F(Setters, NcOfAnEmptyOutputDoesNothing) {
  SetOutputNc(cfg, 0, kSlotAlarm, true);
  EXPECT_EQ(cfg.outRefs[0][kSlotAlarm], kNoRef);
}

TEST_F(Setters, NewBoltWhereThereWasNoneClearsTheDetectorWhateverItsDevice) {
  // 0xFF00 has the empty reference's upper byte; it still shares no device with "none".
  for (IoRef bolt : {MakeRef(kLock, 0), IoRef{0xFF00}}) {
    SetInput(cfg, 0, kSlotOpenDetector, MakeRef(kLock, 2), false);
    SetOutput(cfg, 0, kSlotBolt, bolt, false);
    EXPECT_EQ(cfg.inRefs[0][kSlotOpenDetector], kNoRef) << bolt;
    SetOutput(cfg, 0, kSlotBolt, kNoRef, false);
  }
}

TEST_F(Setters, AnySixteenBitReferenceBindsAndUnbindsCleanly) {
  // Bits 5-6 and 15 should be 0 and the device may lie beyond the list: binding and then
  // clearing each value in every slot must stay inside the masks and leave nothing marked.
  for (unsigned v = 0; v <= 0xFFFF; ++v) {
    const IoRef r = static_cast<IoRef>(v);
    const bool nc = (v & 1) != 0;
    for (int s = 0; s < kOutputSlots; ++s) {
      SetOutput(cfg, 0, s, r, nc);
      SetOutputNc(cfg, 0, s, !nc);
      SetOutput(cfg, 0, s, kNoRef, false);
    }
    for (int s = 0; s < kInputSlots; ++s) {
      SetInput(cfg, 1, s, r, nc);
      SetInputNc(cfg, 1, s, !nc);
      SetInput(cfg, 1, s, kNoRef, false);
    }
    for (int s = 0; s < kReaderSlots; ++s) {
      SetReader(cfg, 2, s, r);
      SetReader(cfg, 2, s, kNoRef);
    }
  }
  for (const BusDev& d : cfg.devices) {
    EXPECT_EQ(d.usedOutputs | d.usedInputs, 0u);
    EXPECT_EQ(d.usedReaders, 0u);
  }
}

// Everything a setter may touch.
std::vector<uint32_t> Snapshot(const CtrlConfig& cfg) {
  std::vector<uint32_t> s;
  for (int p = 0; p < kMaxPassages; ++p) {
    s.insert(s.end(), std::begin(cfg.outRefs[p]), std::end(cfg.outRefs[p]));
    s.insert(s.end(), std::begin(cfg.inRefs[p]), std::end(cfg.inRefs[p]));
    s.insert(s.end(), std::begin(cfg.rdRefs[p]), std::end(cfg.rdRefs[p]));
  }
  for (const BusDev& d : cfg.devices) s.insert(s.end(), {d.usedOutputs, d.usedInputs, d.usedReaders});
  return s;
}

TEST_F(Setters, OutsideTheTablesNothingHappens) {
  SetOutput(cfg, 0, kSlotAlarm, MakeRef(kLock, 0), false);
  SetInput(cfg, 0, kSlotExitButton, MakeRef(kLock, 0), false);
  SetReader(cfg, 0, 0, MakeRef(kReader, 0));
  const auto before = Snapshot(cfg);
  struct Place {
    int passage, slot;
  };
  for (auto [p, s] : {Place{16, 0}, Place{-1, 0}, Place{1000, 0}, Place{0, -1}, Place{0, 4}, Place{0, 1 << 30}}) {
    SetOutput(cfg, p, s, MakeRef(kLock, 1), true);
    SetOutputNc(cfg, p, s, true);
    SetReader(cfg, p, s, MakeRef(kReader, 0));
  }
  for (auto [p, s] : {Place{16, 0}, Place{-1, 0}, Place{0, -1}, Place{0, 10}}) {
    SetInput(cfg, p, s, MakeRef(kLock, 1), true);
    SetInputNc(cfg, p, s, true);
  }
  EXPECT_EQ(Snapshot(cfg), before);
}

}  // namespace
}  // namespace orvu
