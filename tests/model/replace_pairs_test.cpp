// Pairs of an inactive device and a new device of the same type that may take its settings.
#include <gtest/gtest.h>

#include <vector>

#include "model/ctrlcfg.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;
using testing::DevListPayload;
using testing::DevSpec;

constexpr uint8_t kGone = kStateInactive;
constexpr uint8_t kNew = kStateNew;

std::vector<ReplacePair> Pairs(const std::vector<DevSpec>& devs) {
  CtrlConfig cfg;
  auto p = DevListPayload(devs);
  EXPECT_TRUE(DecodeDevList(cfg, p.data(), p.size()));
  std::vector<ReplacePair> out(kMaxReplacePairs + 1, 0xABCD);
  const int n = ReplacePairs(cfg, out.data());
  EXPECT_EQ(out[kMaxReplacePairs], 0xABCD);  // never writes beyond the caller's 2560
  out.resize(static_cast<size_t>(n));
  return out;
}

constexpr ReplacePair Pair(int newIndex, int oldIndex) { return static_cast<ReplacePair>(newIndex * 256 + oldIndex); }

TEST(ReplacePairsTest, PairsInactiveWithNewOfTheSameType) {
  const uint32_t ctrl = BusId(346, 1);
  struct Case {
    const char* what;
    std::vector<DevSpec> devs;
    std::vector<ReplacePair> pairs;
  } cases[] = {
      {"two candidates, in display order of the new devices",
       {{.id = ctrl}, {.id = BusId(1, 9), .state = kNew}, {.id = BusId(1, 5), .state = kGone}, {.id = BusId(1, 7), .state = kNew}},
       {Pair(3, 2), Pair(1, 2)}},
      {"another type is no candidate", {{.id = BusId(1, 5), .state = kGone}, {.id = BusId(101, 6), .state = kNew}}, {}},
      {"same class, other model", {{.id = BusId(1, 5), .state = kGone}, {.id = BusId(2, 6), .state = kNew}}, {}},
      {"suffix letter does not matter", {{.id = BusId(1, 5), .state = kGone}, {.id = BusId(1, 6, 2), .state = kNew}}, {Pair(1, 0)}},
      {"two inactive, two new: grouped by inactive device",
       {{.id = BusId(1, 1), .state = kGone}, {.id = BusId(1, 2), .state = kGone}, {.id = BusId(1, 3), .state = kNew}, {.id = BusId(1, 4), .state = kNew}},
       {Pair(2, 0), Pair(3, 0), Pair(2, 1), Pair(3, 1)}},
      {"inactive and new at once: either side, never itself",
       {{.id = BusId(1, 1), .state = kGone | kNew}, {.id = BusId(1, 2), .state = kGone | kNew}},
       {Pair(1, 0), Pair(0, 1)}},
      {"alone inactive and new: nothing", {{.id = BusId(1, 1), .state = kGone | kNew}}, {}},
      {"empty slots take no part",
       {{.id = 0xFFFF0001, .state = kGone}, {.id = BusId(1, 3), .state = kNew}, {.id = 0xFFFF0002, .state = kNew}}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Pairs(c.devs), c.pairs) << c.what;
}

TEST(ReplacePairsTest, StopsAtTheCallersCapacity) {
  // 64 inactive and 64 new readers would give 4096 pairs.
  std::vector<DevSpec> devs;
  for (unsigned i = 0; i < 128; ++i) devs.push_back({.id = BusId(1, i), .state = i < 64 ? kGone : kNew});
  const auto pairs = Pairs(devs);
  ASSERT_EQ(pairs.size(), static_cast<size_t>(kMaxReplacePairs));
  EXPECT_EQ(pairs.front(), Pair(64, 0));
  EXPECT_EQ(pairs.back(), Pair(127, 39));  // 40 inactive devices * 64 candidates
}

}  // namespace
}  // namespace orvu
