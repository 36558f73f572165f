// Layout rules of the report, one small model per rule. Expected lines are written with '·' for
// a space, the way the table layout is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comm/cp1250.h"
#include "model/ctrlcfg.h"
#include "model/report.h"
#include "tests/model/report_model.h"

namespace orvu {
namespace {

using test::AddListedDevice;
using test::AddUnboundPassage;
using test::BusId;
using test::Dotted;
using test::ReportLines;

constexpr ReportDate kDate{2024, 5, 7};
constexpr size_t kHeaderLines = 9;  // title .. the empty line after the device lines
constexpr size_t kBlockLines = 22;

std::vector<std::string> Report(const CtrlConfig& cfg, const std::string& location = "",
                                ReportDate date = kDate) {
  return ReportLines(ReportText(cfg, "K46_00125", location, date));
}

// The first line whose text, leading spaces aside, starts with label (UTF-8).
std::string Row(const std::vector<std::string>& lines, const char* label) {
  const std::string wanted = Cp1250FromUtf8(label);
  for (const std::string& line : lines) {
    const size_t start = line.find_first_not_of(' ');
    if (start != std::string::npos && line.compare(start, wanted.size(), wanted) == 0) return line;
  }
  ADD_FAILURE() << "no row " << label;
  return {};
}

TEST(ReportLayout, NoDevicesAndNoPassagesEndAfterTheDeviceLine) {
  CtrlConfig cfg;
  const std::string expected = Dotted(
      "Raport·konfiguracji·przejść·kontrolera\r\n"
      "======================================\r\n"
      "\r\n"
      "···Kontroler:·K46_00125\r\n"
      "·Lokalizacja:·\r\n"
      "········Data:·2024-05-07\r\n"
      "\r\n"
      "··Urządzenia:·.\r\n"
      "\r\n");
  EXPECT_EQ(ReportText(cfg, "K46_00125", "", kDate), expected);
}

TEST(ReportLayout, LocationLine) {
  const struct {
    const char* location;  // UTF-8
    const char* line;
  } cases[] = {
      {"", "·Lokalizacja:·"},
      {"Piętro 2, hol", "·Lokalizacja:·Piętro·2,·hol"},
      // A location must not split the file: line breaks inside it become spaces.
      {"Budynek A\r\nparter", "·Lokalizacja:·Budynek·A··parter"},
      {"a\nb\rc", "·Lokalizacja:·a·b·c"},
  };
  CtrlConfig cfg;
  for (const auto& c : cases) {
    const std::vector<std::string> lines = Report(cfg, Cp1250FromUtf8(c.location));
    ASSERT_EQ(lines.size(), kHeaderLines) << c.location;
    EXPECT_EQ(lines[4], Dotted(c.line));
  }
  EXPECT_EQ(Dotted("·Lokalizacja:·").size(), 14u);
}

TEST(ReportLayout, DateIsZeroFilledButTheYearIsNot) {
  const struct {
    ReportDate date;
    const char* line;
  } cases[] = {
      {{2024, 1, 5}, "········Data:·2024-01-05"},
      {{2024, 12, 31}, "········Data:·2024-12-31"},
      {{999, 3, 9}, "········Data:·999-03-09"},
  };
  CtrlConfig cfg;
  for (const auto& c : cases) EXPECT_EQ(Report(cfg, "", c.date)[5], Dotted(c.line));
}

TEST(ReportLayout, SixDeviceLabelsPerLine) {
  const struct {
    int devices;
    std::vector<const char*> lines;
  } cases[] = {
      {1, {"··Urządzenia:·R01_00001/A0."}},
      {6,
       {"··Urządzenia:·R01_00001/A0,·R01_00002/A0,·R01_00003/A0,·R01_00004/A0,·R01_00005/A0,·"
        "R01_00006/A0."}},
      {7,
       {"··Urządzenia:·R01_00001/A0,·R01_00002/A0,·R01_00003/A0,·R01_00004/A0,·R01_00005/A0,·"
        "R01_00006/A0,·",
        "··············R01_00007/A0."}},
      {12,
       {"··Urządzenia:·R01_00001/A0,·R01_00002/A0,·R01_00003/A0,·R01_00004/A0,·R01_00005/A0,·"
        "R01_00006/A0,·",
        "··············R01_00007/A0,·R01_00008/A0,·R01_00009/A0,·R01_00010/A0,·R01_00011/A0,·"
        "R01_00012/A0."}},
      {13,
       {"··Urządzenia:·R01_00001/A0,·R01_00002/A0,·R01_00003/A0,·R01_00004/A0,·R01_00005/A0,·"
        "R01_00006/A0,·",
        "··············R01_00007/A0,·R01_00008/A0,·R01_00009/A0,·R01_00010/A0,·R01_00011/A0,·"
        "R01_00012/A0,·",
        "··············R01_00013/A0."}},
  };
  for (const auto& c : cases) {
    CtrlConfig cfg;
    for (int i = 1; i <= c.devices; ++i) AddListedDevice(cfg, BusId(1, i));
    const std::vector<std::string> lines = Report(cfg);
    ASSERT_EQ(lines.size(), kHeaderLines - 1 + c.lines.size()) << c.devices << " devices";
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[7 + i], Dotted(c.lines[i]));
    EXPECT_EQ(lines.back(), "");
  }
}

// Display order, not device index order, and the long name with the suffix letter and number.
TEST(ReportLayout, DevicesInDisplayOrderWithSuffix) {
  CtrlConfig cfg;
  AddListedDevice(cfg, BusId(1, 7, 2), 9);       // index 0: R01_00007/C9
  AddListedDevice(cfg, BusId(346, 125, 0), 0);   // index 1: K46_00125/A0
  AddListedDevice(cfg, BusId(912, 1, 3), 255);   // index 2: ?12_00001/D255
  cfg.listed[0] = 1;
  cfg.listed[1] = 0;
  cfg.listed[2] = 2;
  EXPECT_EQ(Report(cfg)[7], Dotted("··Urządzenia:·K46_00125/A0,·R01_00007/C9,·?12_00001/D255."));
}

// Offsets within a block: 0 empty, 1 headings, 2 separator, then the rows, the airlock row at 19,
// the closing separator and an empty line.
enum LineKind { kEmpty, kHeading, kSeparator, kPassageRow, kAirlockRow };
constexpr LineKind kBlockShape[kBlockLines] = {
    kEmpty,      kHeading,    kSeparator,  kPassageRow, kPassageRow, kEmpty,
    kPassageRow, kPassageRow, kPassageRow, kEmpty,      kPassageRow, kPassageRow,
    kPassageRow, kPassageRow, kEmpty,      kPassageRow, kPassageRow, kPassageRow,
    kEmpty,      kAirlockRow, kSeparator,  kEmpty};

void ExpectBlockShape(const std::vector<std::string>& lines, size_t start, int passages) {
  const size_t row = 17 + 20 + 22 * (passages - 1);
  const size_t lengths[] = {0, 32 + 22 * size_t(passages - 1), 16 + 22 * size_t(passages), row,
                            row - 4};
  for (size_t i = 0; i < kBlockLines; ++i) {
    const LineKind kind = kBlockShape[i];
    EXPECT_EQ(lines[start + i].size(), lengths[kind]) << "block line " << i;
    if (kind == kSeparator) {
      EXPECT_EQ(lines[start + i], std::string(lengths[kind], '-'));
    }
  }
}

TEST(ReportLayout, FivePassagesMakeTwoBlocks) {
  CtrlConfig cfg;
  for (int p = 0; p < 5; ++p) AddUnboundPassage(cfg);
  const std::vector<std::string> lines = Report(cfg);
  ASSERT_EQ(lines.size(), kHeaderLines + 2 * kBlockLines);

  ExpectBlockShape(lines, kHeaderLines, 4);
  ExpectBlockShape(lines, kHeaderLines + kBlockLines, 1);
  EXPECT_EQ(lines[kHeaderLines + 1],
            Dotted("·····················Przejście·1···········Przejście·2···········Przejście·3"
                   "···········Przejście·4"));
  EXPECT_EQ(lines[kHeaderLines + 2].size(), 104u);
  EXPECT_EQ(lines[kHeaderLines + kBlockLines + 1], Dotted("·····················Przejście·5"));
  EXPECT_EQ(lines[kHeaderLines + kBlockLines + 2].size(), 38u);
  // Two empty lines between the device lines and the first block, and between the blocks.
  EXPECT_EQ(lines[kHeaderLines - 1] + lines[kHeaderLines], "");
  EXPECT_EQ(lines[kHeaderLines + kBlockLines - 1] + lines[kHeaderLines + kBlockLines], "");
}

TEST(ReportLayout, SixteenPassagesMakeFourFullBlocks) {
  CtrlConfig cfg;
  for (int p = 0; p < kMaxPassages; ++p) AddUnboundPassage(cfg);
  const std::vector<std::string> lines = Report(cfg);
  ASSERT_EQ(lines.size(), kHeaderLines + 4 * kBlockLines);
  for (int b = 0; b < 4; ++b) ExpectBlockShape(lines, kHeaderLines + b * kBlockLines, 4);
  EXPECT_EQ(lines[kHeaderLines + 3 * kBlockLines + 1],
            Dotted("····················Przejście·13··········Przejście·14··········Przejście·15"
                   "··········Przejście·16"));
}

// Cells of two passages on device R01_00001 (index 0).
TEST(ReportLayout, ReferenceCells) {
  CtrlConfig cfg;
  AddListedDevice(cfg, BusId(1, 1));
  AddUnboundPassage(cfg);
  AddUnboundPassage(cfg);
  cfg.outRefs[0][kSlotBolt] = 0x0009 | kNcBit;  // output 10, NC
  cfg.outRefs[1][kSlotBolt] = 0x0001;           // output 2
  cfg.inRefs[0][kSlotOpenDetector] = 0x0000 | kNcBit;
  cfg.inRefs[1][kSlotOpenDetector] = 0x000B;  // input 12
  cfg.rdRefs[0][0] = 0x0000 | kNcBit;         // a reader never shows a mark
  cfg.rdRefs[1][0] = 0x0003;
  cfg.outRefs[0][kSlotAlarm] = 0x0000;        // output 1 of device 0 is a binding, not "none"
  const std::vector<std::string> lines = Report(cfg);

  const struct {
    const char* label;
    const char* row;
  } cases[] = {
      // A two-digit channel takes one more character of its field; nothing is cut and the
      // mark stays in place.
      {"Rygiel:", "··········Rygiel:·R01_00001:Out10[NC]····R01_00001:Out2····"},
      {"Czujnik otwarcia:", "Czujnik·otwarcia:··R01_00001:In1·[NC]···R01_00001:In12·····"},
      {"Czytnik 1:", "·······Czytnik·1:··R01_00001:Rd1·········R01_00001:Rd4·····"},
      {"Alarm:", "···········Alarm:··R01_00001:Out1·············---··········"},
      // Unbound: the placeholder (14 characters for outputs, 13 for the others) and never a
      // mark, although 0xFFFF has the NC bit set.
      {"Przypomnienie:", "···Przypomnienie:·······---···················---··········"},
      {"Sabotaż:", "·········Sabotaż:·······---···················---··········"},
      {"Czytnik 4:", "·······Czytnik·4:·······---···················---··········"},
  };
  for (const auto& c : cases) EXPECT_EQ(Row(lines, c.label), Dotted(c.row)) << c.label;
}

TEST(ReportLayout, AirlockCells) {
  CtrlConfig cfg;
  for (int p = 0; p < 4; ++p) AddUnboundPassage(cfg);
  SetAirlock(cfg.params[0], 0);
  SetAirlock(cfg.params[1], 3);
  cfg.params[3][2] = 0x03;  // airlock number without the membership bit
  EXPECT_EQ(Row(Report(cfg), "Śluzy:"),
            Dotted("···········Śluzy:·····Śluza·1···············Śluza·4·················---······"
                   "·············---······"));
}

// The captions' Polish letters are single Windows-1250 bytes, and widths count those bytes.
TEST(ReportLayout, PolishLettersAreWindows1250Bytes) {
  CtrlConfig cfg;
  AddUnboundPassage(cfg);
  SetAirlock(cfg.params[0], 1);
  const std::vector<std::string> lines = Report(cfg, Cp1250FromUtf8("Łódź"));
  const struct {
    std::string row;
    std::string expected;
  } cases[] = {
      {lines[0], "Raport konfiguracji przej\x9C\xE6 kontrolera"},
      {lines[4], " Lokalizacja: \xA3\xF3" "d\x9F"},
      {lines[7], "  Urz\xB9" "dzenia: ."},
      {lines[10], std::string(21, ' ') + "Przej\x9C" "cie 1"},
      {Row(lines, "Przycisk"), "Przycisk wyj\x9C" "cia:       ---          "},
      {Row(lines, "Sabota"), "         Sabota\xBF:       ---          "},
      {Row(lines, "Śluzy:"), "           \x8Cluzy:     \x8Cluza 2    "},
  };
  for (const auto& c : cases) EXPECT_EQ(c.row, c.expected);
}

// A model filled by hand (not through the decoders) with counts beyond its tables is reported
// within the tables, never read past them.
TEST(ReportLayout, CountsBeyondTheTablesAreBounded) {
  CtrlConfig cfg;
  AddListedDevice(cfg, BusId(1, 1));
  cfg.listed[1] = 500;  // not a device index
  cfg.listedCount = 2;
  EXPECT_EQ(Report(cfg)[7], Dotted("··Urządzenia:·R01_00001/A0."));

  cfg.listedCount = 1000;  // the rest of listed[] names device 0 again: 127 labels
  for (int p = 0; p < kMaxPassages; ++p) AddUnboundPassage(cfg);
  cfg.passageCount = 40;
  EXPECT_EQ(Report(cfg).size(), kHeaderLines - 1 + 22 + 4 * kBlockLines);

  cfg.passageCount = -3;
  cfg.listedCount = -1;
  EXPECT_EQ(Report(cfg)[7], Dotted("··Urządzenia:·."));
  EXPECT_EQ(Report(cfg).size(), kHeaderLines);
}

}  // namespace
}  // namespace orvu
