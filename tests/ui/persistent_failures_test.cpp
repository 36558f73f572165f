// One box per lasting cause: told once, told again after it went away and came back; a
// click always gets its box.
#include "ui/persistent_failures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvu {
namespace {

using C = FailureCause;

// One step of a run: a failure met by the window itself, a failure met by a click, or the
// cause gone; and whether a box is shown for it.
struct Step {
  enum Kind { kByItself, kByClick, kGone } kind;
  C cause;
  bool shown = false;
};

std::string Name(const Step& s) {
  return std::string(s.kind == Step::kByItself ? "by itself " : s.kind == Step::kByClick ? "by click " : "gone ") +
         std::to_string(static_cast<int>(s.cause));
}

TEST(PersistentFailures, RunsOfFailures) {
  using S = Step;
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"held port: start-up and ticks tell it once",
       {{S::kByItself, C::kPortHeld, true}, {S::kByItself, C::kPortHeld}, {S::kByItself, C::kPortHeld}}},
      {"gone and back: told again, once",
       {{S::kByItself, C::kPortHeld, true}, {S::kGone, C::kPortHeld}, {S::kByItself, C::kPortHeld, true},
        {S::kByItself, C::kPortHeld}}},
      {"a click is always answered and counts as told",
       {{S::kByClick, C::kNoNetwork, true}, {S::kByClick, C::kNoNetwork, true}, {S::kByItself, C::kNoNetwork}}},
      {"told by itself, then a click",
       {{S::kByItself, C::kPortHeld, true}, {S::kByClick, C::kPortHeld, true}, {S::kByItself, C::kPortHeld}}},
      {"each lasting cause is told once",
       {{S::kByItself, C::kPortHeld, true}, {S::kByItself, C::kNoNetwork, true},
        {S::kByItself, C::kBroadcastRefused, true}, {S::kByItself, C::kPortHeld}, {S::kByItself, C::kNoNetwork}}},
      {"another cause gone leaves this one told",
       {{S::kByItself, C::kNoNetwork, true}, {S::kGone, C::kPortHeld}, {S::kByItself, C::kNoNetwork}}},
      {"gone before ever told changes nothing",
       {{S::kGone, C::kPortHeld}, {S::kByItself, C::kPortHeld, true}, {S::kByItself, C::kPortHeld}}},
      {"failures of one attempt are always shown",
       {{S::kByItself, C::kOther, true}, {S::kByItself, C::kOther, true}, {S::kByClick, C::kDiskFull, true},
        {S::kByClick, C::kDiskFull, true}, {S::kByItself, C::kNoPermission, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PersistentFailures failures;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      SCOPED_TRACE(std::to_string(i) + ": " + Name(s));
      if (s.kind == Step::kGone) {
        failures.Gone(s.cause);
        continue;
      }
      EXPECT_EQ(failures.Show(s.cause, s.kind == Step::kByClick), s.shown);
    }
  }
}

}  // namespace
}  // namespace orvu
