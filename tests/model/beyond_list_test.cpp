// A reference to a device index beyond the controller's device list, read after a longer list
// of another read: it names the empty record, R00_00000, never the earlier list's device, is
// reported so, offered nowhere, and goes back to the controller as it came.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/ctrlcfg.h"
#include "model/report.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;
using testing::DevListPayload;
using testing::PassagesPayload;
using testing::PassageSpec;

constexpr IoRef kBoltBeyond = MakeRef(9, 2) | kNcBit;  // index 9 of a 3-device list
constexpr IoRef kTamperBeyond = MakeRef(5, 4) | kNcBit;
constexpr IoRef kReaderAtTheEnd = MakeRef(127, 1);

struct ReadResult {
  CtrlConfig cfg;
  std::vector<uint8_t> passages;
};

// A read of a ten-device list (an elevator module at index 9), then the read this test is
// about: three devices, passages that reference indices 9, 5 and 127.
ReadResult ShorterListAfterLongerOne() {
  ReadResult r;
  std::vector<testing::DevSpec> longer(10, {.id = BusId(1, 7), .outputs = 4, .inputs = 8, .readers = 1});
  longer[0].id = BusId(346, 1);
  longer[9] = {.id = BusId(717, 412), .outputs = 15, .inputs = 15, .oc = true};
  auto first = DevListPayload(longer);
  EXPECT_TRUE(DecodeDevList(r.cfg, first.data(), first.size()));

  auto shorter = DevListPayload({{.id = BusId(346, 1), .outputs = 2, .inputs = 4},
                                 {.id = BusId(1, 42), .outputs = 1, .inputs = 2, .readers = 2},
                                 {.id = BusId(717, 500), .outputs = 8, .inputs = 8, .oc = true}});
  PassageSpec door;
  door.out[kSlotBolt] = kBoltBeyond;
  door.in[kSlotTamper] = kTamperBeyond;
  door.rd[1] = kReaderAtTheEnd;
  r.passages = PassagesPayload({door});
  EXPECT_TRUE(DecodeDevList(r.cfg, shorter.data(), shorter.size()));
  EXPECT_TRUE(DecodePassages(r.cfg, r.passages.data(), r.passages.size()));
  return r;
}

TEST(ReferenceBeyondTheList, NamesTheEmptyRecordInTextsAndReport) {
  const ReadResult r = ShorterListAfterLongerOne();
  EXPECT_EQ(IoRefText(r.cfg, kBoltBeyond, "Out"), "R00_00000:Out3");
  EXPECT_EQ(IoRefText(r.cfg, kTamperBeyond, "In"), "R00_00000:In5");
  EXPECT_EQ(IoRefText(r.cfg, kReaderAtTheEnd, "Rd"), "R00_00000:Rd2");

  const std::string report = ReportText(r.cfg, "K46_00001", "", ReportDate{2024, 5, 7});
  EXPECT_NE(report.find("Rygiel:  R00_00000:Out3[NC]"), std::string::npos) << report;
  EXPECT_NE(report.find(":  R00_00000:In5 [NC]"), std::string::npos) << report;
  EXPECT_NE(report.find("Czytnik 2:  R00_00000:Rd2     "), std::string::npos) << report;
  EXPECT_EQ(report.find("D17_00412"), std::string::npos) << "a device of the earlier list";
  EXPECT_EQ(report.find("R01_00007"), std::string::npos) << "a device of the earlier list";
}

TEST(ReferenceBeyondTheList, IsOfferedNowhereAndWrittenBackAsRead) {
  ReadResult r = ShorterListAfterLongerOne();
  for (int kind : {kKindOutputs, kKindInputs, kKindReaders}) {
    std::vector<IoRef> free(kMaxFreeIo);
    free.resize(static_cast<size_t>(FreeIo(r.cfg, kind, free.data())));
    std::vector<IoRef> module(kMaxFreeIo);
    module.resize(static_cast<size_t>(FreeModuleIo(r.cfg, kind, module.data())));
    free.insert(free.end(), module.begin(), module.end());
    for (IoRef ref : free) EXPECT_LT(RefDevice(ref), 3) << "kind " << kind << ": " << ref;
  }
  // The record it names has no open-collector outputs, so the flag is what the controller sent.
  EXPECT_FALSE(r.cfg.devices[RefDevice(kBoltBeyond)].ocOutputs);

  std::vector<uint8_t> out(kMaxPassagePayload);
  out.resize(EncodePassages(r.cfg, out.data()));
  EXPECT_EQ(out, r.passages);

  // The editor may bind a listed output in its place.
  SetOutput(r.cfg, 0, kSlotBolt, MakeRef(2, 0), false);
  EXPECT_EQ(r.cfg.outRefs[0][kSlotBolt], MakeRef(2, 0));
  EXPECT_EQ(r.cfg.devices[2].usedOutputs, 1u);
}

}  // namespace
}  // namespace orvu
