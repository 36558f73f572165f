#include "sim/frame_text.h"

#include <cstdio>

namespace orvu {

namespace {

std::string CommandText(uint8_t cmd) {
  char text[16];
  const uint8_t c = cmd & 0x7F;  // replies carry bit 7
  if (c >= 0x20 && c < 0x7F) {
    std::snprintf(text, sizeof text, "'%c'%s", c, cmd & 0x80 ? " reply" : "");
  } else {
    std::snprintf(text, sizeof text, "0x%02x", cmd);
  }
  return text;
}

std::string Kind(const uint8_t* d, size_t len) {
  if (len < 4 || d[0] != 'M' || d[1] != 'M' || d[2] != 'D') return "other";
  if (d[3] == 'C') {
    if (len < 11) return "secured?";
    return "secured " + CommandText(d[10]) + " seq " + std::to_string(d[8] | d[9] << 8);
  }
  if (d[3] == 'O' && len >= 8 && d[4] == 0xFF && d[5] == 0xFF && d[6] == 0xFF && d[7] == 0xFF)
    return "discovery";
  return "plain " + CommandText(d[3]);
}

}  // namespace

std::string FrameText(const uint8_t* data, size_t len) {
  std::string text = std::to_string(len) + " B " + Kind(data, len) + " ";
  static const char* digits = "0123456789abcdef";
  for (size_t i = 0; i < len; ++i) {
    text += digits[data[i] >> 4];
    text += digits[data[i] & 15];
  }
  return text;
}

}  // namespace orvu
