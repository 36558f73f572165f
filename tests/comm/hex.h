// Known-answer rows are written as hex text; these turn them into bytes and back.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvu::test {

inline std::vector<uint8_t> Hex(std::string_view text) {
  std::vector<uint8_t> out;
  int high = -1;
  for (char ch : text) {
    int v;
    if (ch >= '0' && ch <= '9') v = ch - '0';
    else if (ch >= 'a' && ch <= 'f') v = ch - 'a' + 10;
    else if (ch >= 'A' && ch <= 'F') v = ch - 'A' + 10;
    else continue;  // spaces group the digits for reading
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  return out;
}

inline std::string HexOf(const uint8_t* data, size_t len) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < len; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

inline std::string HexOf(const std::vector<uint8_t>& v) { return HexOf(v.data(), v.size()); }

}  // namespace orvu::test
