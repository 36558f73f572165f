// Report text of any model the decoders accept from a controller, with any location text.
// Input: split point (2 bytes, little-endian), location length (1 byte), then the device-list
// payload, the passage payload and the location, in that order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/ctrlcfg.h"
#include "model/report.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Every line ends in CR LF and neither byte occurs elsewhere.
size_t CountLines(const std::string& text) {
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      Check(i + 1 < text.size() && text[i + 1] == '\n');
      ++lines;
      ++i;
    } else {
      Check(text[i] != '\n');
    }
  }
  Check(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const size_t splitChoice = data[0] | (data[1] << 8);
  const size_t locationLength = data[2];
  data += 3;
  size -= 3;
  const size_t location = locationLength < size ? locationLength : size;
  const size_t payloads = size - location;
  const size_t split = splitChoice % (payloads + 1);

  orvu::CtrlConfig cfg;
  orvu::DecodeDevList(cfg, data, split);
  orvu::DecodePassages(cfg, data + split, payloads - split);

  const std::string text =
      orvu::ReportText(cfg, "K46_00125",
                       std::string(reinterpret_cast<const char*>(data + payloads), location),
                       orvu::ReportDate{2024, 5, 7});

  // 9 header lines with one device line, each further device line, 22 lines per block of four.
  const size_t listed = static_cast<size_t>(cfg.listedCount);
  const size_t deviceLines = listed == 0 ? 1 : (listed + 5) / 6;
  const size_t blocks = (static_cast<size_t>(cfg.passageCount) + 3) / 4;
  Check(CountLines(text) == 8 + deviceLines + 22 * blocks);
  return 0;
}
