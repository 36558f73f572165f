// The report of a small elevator installation, compared byte for byte with the file an installer
// expects (tests/data/report_example.txt, written by hand). The model is read through the same
// decoders that fill it from the controller.
#include "model/report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "comm/cp1250.h"
#include "model/ctrlcfg.h"
#include "tests/model/report_model.h"

namespace orvu {
namespace {

using test::BusId;
using test::ReportLines;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PutLe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  PutLe16(out, static_cast<uint16_t>(v));
  PutLe16(out, static_cast<uint16_t>(v >> 16));
}

// Device indices of the example. The payload order differs from the display order, so a report
// that listed by index instead of display order would show up.
enum : uint16_t { kController = 0, kModule = 1, kReader312 = 2, kReader311 = 3 };

std::vector<uint8_t> ExampleDeviceList() {
  struct Record {
    uint32_t id;
    uint8_t info[4];  // suffix number, state, outputs/readers, inputs
  };
  const Record records[] = {
      {BusId(346, 125), {0, 0x00, 0x44, 4}},     // K46_00125/A0, the controller itself
      {BusId(717, 412), {3, 0x10, 0x42, 8}},     // D17_00412/A3, a new elevator module
      {BusId(1, 312), {2, 0x00, 0x90, 1}},       // R01_00312/A2
      {BusId(1, 311), {1, 0x80, 0x90, 1}},       // R01_00311/A1, inactive: listed all the same
  };
  std::vector<uint8_t> payload;
  PutLe16(payload, std::size(records));
  for (const Record& r : records) PutLe32(payload, r.id);
  for (const Record& r : records) payload.insert(payload.end(), r.info, r.info + 4);
  return payload;
}

constexpr IoRef Ref(uint16_t device, uint16_t channel, bool nc = false) {
  return static_cast<IoRef>(device * 256 + channel + (nc ? kNcBit : 0));
}

std::vector<uint8_t> ExamplePassages() {
  constexpr IoRef N = kNoRef;
  // outputs 0-3, inputs 0-9, readers 0-3
  const IoRef refs[2][18] = {
      {Ref(kModule, 0), N, Ref(kController, 0), N,
       N, Ref(kModule, 0, true), N, Ref(kController, 1, true), N, N, N, N, N, N,
       Ref(kReader311, 0), N, N, N},
      {Ref(kModule, 1, true), N, Ref(kController, 0), N,
       N, Ref(kModule, 1), N, N, N, N, N, N, N, N,
       Ref(kReader312, 0), N, N, N},
  };
  // Passage 1 in airlock 1 (number 0); passage 2 carries airlock number bits without the
  // membership bit, which is no airlock.
  const uint8_t params[2][8] = {{1, 0, 0x04, 0, 10, 0, 30, 0}, {2, 0, 0x03, 0, 6, 0, 20, 0}};
  std::vector<uint8_t> payload = {0x82, 18};
  for (const auto& passage : refs)
    for (IoRef r : passage) PutLe16(payload, r);
  for (const auto& block : params) payload.insert(payload.end(), block, block + 8);
  return payload;
}

TEST(ReportExample, MatchesTheHandWrittenFileByteForByte) {
  CtrlConfig cfg;
  const std::vector<uint8_t> devices = ExampleDeviceList();
  const std::vector<uint8_t> passages = ExamplePassages();
  ASSERT_TRUE(DecodeDevList(cfg, devices.data(), devices.size()));
  ASSERT_TRUE(DecodePassages(cfg, passages.data(), passages.size()));

  const std::string report = ReportText(cfg, "K46_00125", Cp1250FromUtf8("Budynek A, parter"),
                                        ReportDate{2024, 5, 7});

  const std::string expected = ReadFile(ORVU_TEST_DATA "/report_example.txt");
  EXPECT_EQ(report, expected);
  // On a mismatch, point at the first differing line rather than at a 1.6 kB blob.
  const std::vector<std::string> got = ReportLines(report);
  const std::vector<std::string> want = ReportLines(expected);
  for (size_t i = 0; i < std::min(got.size(), want.size()); ++i)
    ASSERT_EQ(got[i], want[i]) << "line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
}

// The fixture itself against the stated geometry of the example, so a slip in writing it by
// hand cannot make the comparison above agree with a wrong layout.
TEST(ReportExample, FixtureHasTheStatedLineLengths) {
  const std::vector<std::string> lines = ReportLines(ReadFile(ORVU_TEST_DATA "/report_example.txt"));
  ASSERT_EQ(lines.size(), 31u);
  const struct {
    std::vector<int> lineNumbers;
    size_t length;
  } geometry[] = {
      {{1, 2}, 38},
      {{3, 7, 9, 10, 15, 19, 24, 28, 31}, 0},
      {{12, 30}, 60},
      {{13, 14, 16, 17, 18, 20, 21, 22, 23, 25, 26, 27}, 59},
      {{29}, 55},
  };
  for (const auto& g : geometry)
    for (int n : g.lineNumbers) EXPECT_EQ(lines[n - 1].size(), g.length) << "line " << n;
  EXPECT_EQ(lines[1], std::string(38, '='));
  EXPECT_EQ(lines[11], std::string(60, '-'));
}

}  // namespace
}  // namespace orvu
