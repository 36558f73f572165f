// The passage-configuration payload: decoding, refusal, usage marking, encoding back.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/ctrlcfg.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;
using testing::DevListPayload;
using testing::PassagesPayload;
using testing::PassageSpec;

// A controller and one reader with outputs, inputs and readers to bind.
CtrlConfig WithDevices() {
  CtrlConfig cfg;
  auto p = DevListPayload({{.id = BusId(346, 1)}, {.id = BusId(1, 42), .outputs = 4, .inputs = 15, .readers = 3}});
  EXPECT_TRUE(DecodeDevList(cfg, p.data(), p.size()));
  return cfg;
}

bool Decode(CtrlConfig& cfg, const std::vector<uint8_t>& p) { return DecodePassages(cfg, p.data(), p.size()); }

std::vector<uint8_t> Encode(const CtrlConfig& cfg) {
  std::vector<uint8_t> out(kMaxPassagePayload + 16, 0xEE);
  const size_t n = EncodePassages(cfg, out.data());
  EXPECT_LE(n, kMaxPassagePayload);
  EXPECT_EQ(out[n], 0xEE);
  out.resize(n);
  return out;
}

PassageSpec Door(IoRef bolt, IoRef detector, IoRef reader) {
  PassageSpec s;
  s.out[kSlotBolt] = bolt;
  s.in[kSlotOpenDetector] = detector;
  s.rd[0] = reader;
  return s;
}

TEST(DecodePassagesTest, HeadsAcceptedAndRefused) {
  struct Case {
    const char* what;
    std::vector<uint8_t> payload;
    bool ok;
    int passages;
  } cases[] = {
      {"no passages", {0x00, 0x12}, true, 0},
      {"bit 7 of the count is ignored", PassagesPayload({Door(kNoRef, kNoRef, kNoRef), Door(kNoRef, kNoRef, kNoRef)}, 0x80), true, 2},
      {"sixteen", PassagesPayload(std::vector<PassageSpec>(16), 0x00), true, 16},
      {"seventeen", PassagesPayload(std::vector<PassageSpec>(17), 0x00), false, 0},
      {"17 references each", PassagesPayload({PassageSpec{}}, 0x80, 17), false, 0},
      {"empty", {}, false, 0},
      {"head cut", {0x00}, false, 0},
      {"count 3, nothing after the head", {0x03, 0x12}, false, 0},
  };
  for (const Case& c : cases) {
    CtrlConfig cfg = WithDevices();
    EXPECT_EQ(Decode(cfg, c.payload), c.ok) << c.what;
    EXPECT_EQ(cfg.passageCount, c.passages) << c.what;
    // A refused payload empties the whole model, device part included, consistently.
    EXPECT_EQ(cfg.deviceCount, c.ok ? 2 : 0) << c.what;
    EXPECT_EQ(cfg.listedCount, c.ok ? 2 : 0) << c.what;
  }
}

TEST(DecodePassagesTest, ShortPayloadIsRefusedAtEveryCut) {
  const auto full = PassagesPayload({Door(MakeRef(1, 0), MakeRef(1, 1), MakeRef(1, 0)), PassageSpec{}});
  for (size_t cut = 0; cut < full.size(); ++cut) {
    std::vector<uint8_t> shortReply(full.begin(), full.begin() + static_cast<long>(cut));
    CtrlConfig cfg = WithDevices();
    EXPECT_FALSE(Decode(cfg, shortReply)) << cut;
    EXPECT_EQ(cfg.passageCount, 0);
  }
  CtrlConfig cfg = WithDevices();
  EXPECT_TRUE(Decode(cfg, full));
}

TEST(DecodePassagesTest, ReadsReferencesAndMarksTheirUsage) {
  PassageSpec a = Door(MakeRef(1, 2), MakeRef(1, 5) | kNcBit, MakeRef(1, 1));
  a.in[9] = MakeRef(1, 14);  // slots beyond the edited ones still count
  PassageSpec b = Door(MakeRef(1, 3) | kNcBit, kNoRef, kNoRef);
  b.rd[3] = MakeRef(1, 0x1E);  // reader channel bits 2-4 do not count
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, PassagesPayload({a, b})));
  EXPECT_EQ(cfg.outRefs[0][kSlotBolt], MakeRef(1, 2));
  EXPECT_EQ(cfg.inRefs[0][kSlotOpenDetector], MakeRef(1, 5) | kNcBit);
  EXPECT_EQ(cfg.rdRefs[1][3], MakeRef(1, 0x1E));
  EXPECT_EQ(cfg.outRefs[1][kSlotAlarm], kNoRef);
  const BusDev& d = cfg.devices[1];
  EXPECT_EQ(d.usedOutputs, (1u << 2) | (1u << 3));
  EXPECT_EQ(d.usedInputs, (1u << 5) | (1u << 14));
  EXPECT_EQ(d.usedReaders, (1u << 1) | (1u << 2));
  EXPECT_EQ(cfg.devices[0].usedOutputs | cfg.devices[0].usedInputs | cfg.devices[0].usedReaders, 0u);
}

TEST(DecodePassagesTest, ReferencesOutsideTheListAreMarkedWithinTheTable) {
  // Channels up to 31 and devices up to 127 in every slot kind: the masks take them without
  // shifting past their width.
  PassageSpec s;
  for (IoRef& r : s.out) r = 0x7F1F;
  for (IoRef& r : s.in) r = 0xFF9F;
  for (IoRef& r : s.rd) r = 0x7F9F;
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, PassagesPayload({s})));
  EXPECT_EQ(cfg.devices[127].usedOutputs, 1u << 31);
  EXPECT_EQ(cfg.devices[127].usedInputs, 1u << 31);
  EXPECT_EQ(cfg.devices[127].usedReaders, 1u << 3);
}

TEST(DecodePassagesTest, TimeBytesAboveSevenBitsReadAsTheMaximum) {
  PassageSpec s;
  const uint8_t params[kParamBytes] = {0xF3, 0xFF, 0xFF, 0xAA, 200, 128, 127, 255};
  std::copy(params, params + kParamBytes, s.params);
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, PassagesPayload({s})));
  const uint8_t expected[kParamBytes] = {0xF3, 0xFF, 0xFF, 0xAA, 127, 127, 127, 127};
  EXPECT_TRUE(std::equal(expected, expected + kParamBytes, cfg.params[0]));
}

TEST(EncodePassagesTest, GivesBackTheDecodedBytes) {
  PassageSpec a = Door(MakeRef(1, 2), MakeRef(1, 5) | kNcBit, MakeRef(1, 1));
  a.out[kSlotAlarm] = MakeRef(1, 3) | kNcBit;
  a.in[7] = 0x1234;  // carried unchanged, though nothing edits it
  const uint8_t params[kParamBytes] = {0x42, 0x99, 0xC6, 0x5A, 10, 0, 127, 3};
  std::copy(params, params + kParamBytes, a.params);
  PassageSpec b = Door(kNoRef, kNoRef, MakeRef(1, 0));
  b.params[4] = 255;  // normalised to 127

  const auto read = PassagesPayload({a, b}, 0x00);
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, read));
  auto expected = read;
  expected[0] |= 0x80;
  expected[2 + 36 * 2 + 8 + 4] = 127;
  EXPECT_EQ(Encode(cfg), expected);
  EXPECT_EQ(Encode(cfg).size(), 2u + 44 * 2);
}

TEST(EncodePassagesTest, EmptyAndFullConfigurations) {
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, {0x00, 0x12}));
  EXPECT_EQ(Encode(cfg), (std::vector<uint8_t>{0x80, 0x12}));
  ASSERT_TRUE(Decode(cfg, PassagesPayload(std::vector<PassageSpec>(16))));
  EXPECT_EQ(Encode(cfg).size(), kMaxPassagePayload);
  cfg.passageCount = 40;  // a count set by hand never overruns the 706-byte buffer
  EXPECT_EQ(Encode(cfg).size(), kMaxPassagePayload);
}

TEST(MarkUsageTest, SetsBitsOfEditedReferencesAndClearsNothing) {
  CtrlConfig cfg = WithDevices();
  ASSERT_TRUE(Decode(cfg, PassagesPayload({Door(MakeRef(1, 0), MakeRef(1, 0), MakeRef(1, 0))})));
  cfg.outRefs[0][kSlotReminder] = MakeRef(1, 3);
  // The periodic refresh decodes the list again (masks cleared), then marks.
  auto list = DevListPayload({{.id = BusId(346, 1)}, {.id = BusId(1, 42), .outputs = 4, .inputs = 15, .readers = 3}});
  ASSERT_TRUE(DecodeDevList(cfg, list.data(), list.size()));
  cfg.devices[1].usedInputs = 1u << 9;
  MarkUsage(cfg);
  EXPECT_EQ(cfg.devices[1].usedOutputs, 0x9u);
  EXPECT_EQ(cfg.devices[1].usedInputs, 0x201u);
  EXPECT_EQ(cfg.devices[1].usedReaders, 0x1u);
}

// The window takes a device list read into the worker's copy, whose passages lack the user's
// edits: the masks must follow the window's passages, not the copy's.
TEST(MarkUsageTest, TakingTheDevicePartCountsUsageFromTheOwnPassages) {
  CtrlConfig read = WithDevices();
  ASSERT_TRUE(Decode(read, PassagesPayload({Door(MakeRef(1, 0), MakeRef(1, 0), MakeRef(1, 0))})));
  CtrlConfig edited = read;
  edited.outRefs[0][kSlotBolt] = kNoRef;  // the user unbinds the bolt...
  edited.outRefs[0][kSlotReminder] = MakeRef(1, 3);  // ...and binds a reminder
  auto list = DevListPayload({{.id = BusId(346, 1)}, {.id = BusId(1, 42), .outputs = 4, .inputs = 15, .readers = 3}});
  ASSERT_TRUE(DecodeDevList(read, list.data(), list.size()));
  MarkUsage(read);
  TakeDevicePart(edited, read);
  EXPECT_EQ(edited.deviceCount, 2);
  EXPECT_EQ(edited.devices[1].id, BusId(1, 42));
  EXPECT_EQ(edited.outRefs[0][kSlotReminder], MakeRef(1, 3));
  EXPECT_EQ(edited.devices[1].usedOutputs, 0x8u);
  EXPECT_EQ(edited.devices[1].usedInputs, 0x1u);
  EXPECT_EQ(edited.devices[1].usedReaders, 0x1u);
}

// What "unsaved edits" means: the passages as they would be written, nothing else.
TEST(SamePassagesTest, ComparesWhatWouldBeWritten) {
  CtrlConfig read = WithDevices();
  ASSERT_TRUE(Decode(read, PassagesPayload({Door(MakeRef(1, 0), MakeRef(1, 1), MakeRef(1, 0)),
                                           Door(kNoRef, kNoRef, kNoRef)})));
  struct Case {
    const char* edit;
    void (*apply)(CtrlConfig&);
    bool same;
  } cases[] = {
      {"nothing", [](CtrlConfig&) {}, true},
      {"bolt bound elsewhere", [](CtrlConfig& c) { SetOutput(c, 0, kSlotBolt, MakeRef(1, 2), false); }, false},
      {"bolt bound elsewhere and back",
       [](CtrlConfig& c) {
         SetOutput(c, 0, kSlotBolt, MakeRef(1, 2), false);
         SetOutput(c, 0, kSlotBolt, MakeRef(1, 0), false);
       },
       true},
      {"NC flag", [](CtrlConfig& c) { SetInputNc(c, 0, kSlotOpenDetector, true); }, false},
      {"a parameter", [](CtrlConfig& c) { c.params[1][4] = 11; }, false},
      {"a passage fewer", [](CtrlConfig& c) { c.passageCount = 1; }, false},
      {"a slot of a passage beyond the count", [](CtrlConfig& c) { c.outRefs[5][0] = MakeRef(1, 1); }, true},
      {"usage masks and device records", [](CtrlConfig& c) {
         c.devices[1].usedOutputs = 0;
         c.devices[1].state = kStateInactive;
       }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit);
    CtrlConfig edited = read;
    c.apply(edited);
    EXPECT_EQ(SamePassages(read, edited), c.same);
    EXPECT_EQ(SamePassages(edited, read), c.same);
  }
}

}  // namespace
}  // namespace orvu
