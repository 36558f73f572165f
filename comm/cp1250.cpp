// Windows-1250 <-> UTF-8 over the complete code page: 0x00-0x7F are ASCII, 0x80-0xFF map by
// table, and the five unassigned bytes stand for U+FFFD.
#include "comm/cp1250.h"

#include <cstdint>

namespace orvu {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr char32_t kHigh[128] = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one scalar value at s[i], advancing i. A malformed sequence (stray continuation,
// truncation, overlong form, surrogate, beyond U+10FFFF) yields one U+FFFD for its longest
// valid-looking start, so a bad sequence never swallows the valid text after it.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto lead = static_cast<uint8_t>(s[i++]);
  if (lead < 0x80) return lead;
  int extra;
  char32_t c;
  // The allowed range of the second byte excludes overlong forms, surrogates and > U+10FFFF.
  uint8_t lo = 0x80, hi = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return kReplacement;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return kReplacement;
    const auto cont = static_cast<uint8_t>(s[i]);
    if (cont < lo || cont > hi) return kReplacement;
    lo = 0x80, hi = 0xBF;
    c = (c << 6) | (cont & 0x3F);
    ++i;
  }
  return c;
}

char EncodeChar(char32_t c) {
  if (c < 0x80) return static_cast<char>(c);
  if (c == kReplacement) return '?';
  for (int k = 0; k < 128; ++k)
    if (kHigh[k] == c) return static_cast<char>(0x80 + k);
  return '?';
}

}  // namespace

std::string Cp1250FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out += EncodeChar(NextCodePoint(utf8, i));
  return out;
}

std::string Utf8FromCp1250(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() * 2);
  for (char ch : cp1250) {
    const auto b = static_cast<uint8_t>(ch);
    AppendUtf8(out, b < 0x80 ? char32_t(b) : kHigh[b - 0x80]);
  }
  return out;
}

}  // namespace orvu
