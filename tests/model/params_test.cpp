// The fields of a passage's parameter block, the names of its types, and the NC mark.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "comm/cp1250.h"
#include "model/ctrlcfg.h"
#include "model/params.h"

namespace orvu {
namespace {

using Block = std::array<uint8_t, kParamBytes>;
constexpr Block kZeros{};
constexpr Block kOnes = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

// Byte 0 bits 0-3 the type, byte 2 bit 6 the handle and bit 7 the full pulse, byte 4 the bolt
// pulse, byte 6 the open time: a setter writes its bits and carries every other bit.
TEST(PassageParams, SettersWriteOnlyTheirOwnBits) {
  struct Case {
    const char* what;
    Block start;
    std::function<void(uint8_t*)> set;
    Block expected;
  };
  const Case cases[] = {
      {"type", kZeros, [](uint8_t* p) { SetPassageType(p, 3); }, {0x03, 0, 0, 0, 0, 0, 0, 0}},
      {"type over ones", kOnes, [](uint8_t* p) { SetPassageType(p, 2); },
       {0xF2, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"type beyond 4 bits", kZeros, [](uint8_t* p) { SetPassageType(p, 0x17); },
       {0x07, 0, 0, 0, 0, 0, 0, 0}},
      {"handle on", kZeros, [](uint8_t* p) { SetHandleOpening(p, true); },
       {0, 0, 0x40, 0, 0, 0, 0, 0}},
      {"handle off", kOnes, [](uint8_t* p) { SetHandleOpening(p, false); },
       {0xFF, 0xFF, 0xBF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"full pulse on", kZeros, [](uint8_t* p) { SetFullBoltPulse(p, true); },
       {0, 0, 0x80, 0, 0, 0, 0, 0}},
      {"full pulse off", kOnes, [](uint8_t* p) { SetFullBoltPulse(p, false); },
       {0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"bolt pulse", kOnes, [](uint8_t* p) { SetBoltPulse(p, 7); },
       {0xFF, 0xFF, 0xFF, 0xFF, 7, 0xFF, 0xFF, 0xFF}},
      {"open time", kZeros, [](uint8_t* p) { SetOpenTime(p, 127); }, {0, 0, 0, 0, 0, 0, 127, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Block block = c.start;
    c.set(block.data());
    EXPECT_EQ(block, c.expected);
  }
}

TEST(PassageParams, GettersReadTheirOwnBits) {
  struct Case {
    Block block;
    int type;
    bool handle;
    bool fullPulse;
    int pulse;
    int openTime;
    int airlock;
  };
  const Case cases[] = {
      {{0xA7, 0xFF, 0xC6, 0xFF, 200, 0xFF, 9, 0xFF}, 7, true, true, 200, 9, 2},
      {{0x50, 0xFF, 0x3B, 0xFF, 0, 0xFF, 127, 0xFF}, 0, false, false, 0, 127, -1},
      {{0x01, 0, 0x40, 0, 10, 0, 20, 0}, 1, true, false, 10, 20, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.block[0]);
    EXPECT_EQ(PassageType(c.block.data()), c.type);
    EXPECT_EQ(HandleOpening(c.block.data()), c.handle);
    EXPECT_EQ(FullBoltPulse(c.block.data()), c.fullPulse);
    EXPECT_EQ(BoltPulse(c.block.data()), c.pulse);
    EXPECT_EQ(OpenTime(c.block.data()), c.openTime);
    EXPECT_EQ(AirlockOf(c.block.data()), c.airlock);
  }
}

TEST(PassageParams, TypeNamesForTheFiveTypesOnly) {
  const std::pair<int, const char*> cases[] = {
      {0, "Otwarte"},   {1, "Normalne"}, {2, "Bistabilne"}, {3, "Astabilne"},
      {4, "Zablokowane"}, {5, ""},       {15, ""},          {-1, ""},
  };
  for (auto [type, utf8] : cases) EXPECT_EQ(PassageTypeName(type), Cp1250FromUtf8(utf8)) << type;
}

// The empty reference has bit 7 set too, and never shows a mark.
TEST(NcMark, OnlyABoundReferenceWithItsFlag) {
  const std::pair<IoRef, bool> cases[] = {
      {kNoRef, false},
      {MakeRef(1, 2), false},
      {static_cast<IoRef>(MakeRef(1, 2) | kNcBit), true},
      {static_cast<IoRef>(MakeRef(0, 0) | kNcBit), true},
      {static_cast<IoRef>(MakeRef(127, 31) | kNcBit), true},
  };
  for (auto [ref, nc] : cases) EXPECT_EQ(HasNc(ref), nc) << ref;
}

}  // namespace
}  // namespace orvu
