// Small builders for report tests: models filled field by field, and the report split into lines.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "comm/cp1250.h"
#include "model/ctrlcfg.h"

namespace orvu::test {

constexpr uint32_t BusId(unsigned typeCode, unsigned serial, unsigned suffixIndex = 0) {
  return (suffixIndex << 26) | (typeCode << 16) | serial;
}

// Appends a listed record at the next device index and returns that index.
inline int AddListedDevice(CtrlConfig& cfg, uint32_t id, uint8_t suffixNumber = 0) {
  const int index = cfg.deviceCount++;
  cfg.devices[index] = BusDev{};
  cfg.devices[index].id = id;
  cfg.devices[index].suffixNumber = suffixNumber;
  cfg.listed[cfg.listedCount++] = static_cast<uint32_t>(index);
  return index;
}

// Appends a passage with every slot unbound and no airlock; returns its index.
inline int AddUnboundPassage(CtrlConfig& cfg) {
  const int p = cfg.passageCount++;
  std::fill(std::begin(cfg.outRefs[p]), std::end(cfg.outRefs[p]), kNoRef);
  std::fill(std::begin(cfg.inRefs[p]), std::end(cfg.inRefs[p]), kNoRef);
  std::fill(std::begin(cfg.rdRefs[p]), std::end(cfg.rdRefs[p]), kNoRef);
  std::fill(std::begin(cfg.params[p]), std::end(cfg.params[p]), 0);
  return p;
}

// A line written in the notation of the layout tables, where '·' stands for one space, as
// Windows-1250 bytes.
inline std::string Dotted(std::string_view utf8) {
  constexpr std::string_view kDot = "·";
  std::string spaced;
  for (size_t i = 0; i < utf8.size();) {
    if (utf8.compare(i, kDot.size(), kDot) == 0) {
      spaced += ' ';
      i += kDot.size();
    } else {
      spaced += utf8[i++];
    }
  }
  return Cp1250FromUtf8(spaced);
}

// The lines of a report without their CR LF; fails the test on a line not ended by CR LF.
inline std::vector<std::string> ReportLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "text after the last CR LF: " << text.substr(start);
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  for (const std::string& line : lines)
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "lone CR or LF in: " << line;
  return lines;
}

}  // namespace orvu::test
