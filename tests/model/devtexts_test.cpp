// Texts that name bus devices, their states, replacement pairs and bindings.
#include <gtest/gtest.h>

#include "comm/cp1250.h"
#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using testing::BusId;

BusDev Dev(uint32_t id, uint8_t state = 0, uint8_t suffixNumber = 0) {
  BusDev d;
  d.id = id;
  d.state = state;
  d.suffixNumber = suffixNumber;
  return d;
}

TEST(DevTexts, LongNameCarriesSuffixLetterAndNumber) {
  EXPECT_EQ(DevLongName(Dev(BusId(1, 42), 0, 3)), "R01_00042/A3");
  EXPECT_EQ(DevLongName(Dev(BusId(717, 65535, 3), 0, 255)), "D17_65535/D255");
  EXPECT_EQ(DevLongName(Dev(BusId(912, 1, 1), 0, 0)), "?12_00001/B0");
}

TEST(DevTexts, ListLineIsTypeNameLongNameAndState) {
  const std::string reader = TypeName(0);
  EXPECT_EQ(DevListLine(Dev(BusId(1, 42), 0x90, 3)), reader + ": R01_00042/A3,   (nieaktywny)");
  EXPECT_EQ(DevListLine(Dev(BusId(1, 42), 0x00, 3)), reader + ": R01_00042/A3,   ");
  EXPECT_EQ(DevListLine(Dev(BusId(912, 1))), Cp1250FromUtf8("Nieznany typ: ?12_00001/A0,   "));
}

TEST(DevTexts, StateTextTakesTheHighestFlag) {
  struct Case {
    uint8_t state;
    const char* utf8;
  } cases[] = {
      {0x00, ""},
      {0x0F, ""},  // bits 0-3 mean nothing to the user
      {0x10, "(nowy)"},
      {0x30, "(sabotaż)"},
      {0x70, "(problemy zasilania)"},
      {0xF0, "(nieaktywny)"},
      {0x80, "(nieaktywny)"},
  };
  for (const Case& c : cases) EXPECT_EQ(StateText(c.state), Cp1250FromUtf8(c.utf8)) << int(c.state);
  EXPECT_EQ(StateText(0x20), "(sabota\xBF)");  // the Windows-1250 byte of the Polish letter
}

TEST(DevTexts, PairTextPutsTheOldDeviceFirst) {
  CtrlConfig cfg;
  cfg.devices[3].id = BusId(1, 42);
  cfg.devices[7].id = BusId(1, 77);
  EXPECT_EQ(PairText(cfg, static_cast<ReplacePair>(7 * 256 + 3)), "R01_00042 <-- R01_00077");
  // An index beyond the table names nothing instead of reading past it.
  EXPECT_EQ(PairText(cfg, static_cast<ReplacePair>(200 * 256 + 3)), "R01_00042 <-- ");
}

TEST(IoRefTextTest, NamesDeviceLabelAndChannelFromOne) {
  CtrlConfig cfg;
  cfg.devices[5].id = BusId(1, 42);
  EXPECT_EQ(IoRefText(cfg, MakeRef(5, 1), "In"), "R01_00042:In2");
  EXPECT_EQ(IoRefText(cfg, MakeRef(5, 0), "Out"), "R01_00042:Out1");
  EXPECT_EQ(IoRefText(cfg, MakeRef(5, 14) | kNcBit, "Out"), "R01_00042:Out15");  // NC not shown
  EXPECT_EQ(IoRefText(cfg, MakeRef(5, 2), "Rd"), "R01_00042:Rd3");
}

TEST(IoRefTextTest, PlaceholderMatchesTheLabelWidth) {
  CtrlConfig cfg;
  EXPECT_EQ(IoRefText(cfg, kNoRef, "In"), "     ---     ");
  EXPECT_EQ(IoRefText(cfg, kNoRef, "Rd").size(), 13u);
  EXPECT_EQ(IoRefText(cfg, kNoRef, "Out"), "     ---      ");
}

TEST(IoRefTextTest, EveryReferenceStaysInsideTheDeviceTable) {
  // Device bits 8-14 and channel bits 0-4 of any 16-bit value name a record of the table.
  CtrlConfig cfg;
  cfg.devices[127].id = BusId(1, 9);
  EXPECT_EQ(IoRefText(cfg, 0xFF7F, "In"), "R01_00009:In32");
  for (unsigned r = 0; r <= 0xFFFF; r += 0x0101) EXPECT_FALSE(IoRefText(cfg, static_cast<IoRef>(r), "In").empty());
}

}  // namespace
}  // namespace orvu
