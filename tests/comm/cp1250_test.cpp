#include "comm/cp1250.h"

#include <iconv.h>

#include <gtest/gtest.h>

namespace orvu {
namespace {

// Every Polish letter has one Windows-1250 byte and comes back unchanged.
TEST(Cp1250, PolishLettersRoundTrip) {
  const std::string polish = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
  const std::string bytes = "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF";
  EXPECT_EQ(Cp1250FromUtf8(polish), bytes);
  EXPECT_EQ(Utf8FromCp1250(bytes), polish);
}

// The table against the C library's converter, byte by byte over the whole code page; the C
// library refuses the unassigned bytes, which we decode to U+FFFD.
TEST(Cp1250, EveryByteAgreesWithIconv) {
  iconv_t cd = iconv_open("UTF-8", "CP1250");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 0; b < 256; ++b) {
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* inp = in;
    char* outp = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const bool ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1);
    const std::string expected = ok ? std::string(out, outp) : "\xEF\xBF\xBD";
    const std::string decoded = Utf8FromCp1250(std::string(1, in[0]));
    EXPECT_EQ(decoded, expected) << "byte " << b;
    EXPECT_EQ(Cp1250FromUtf8(decoded), ok ? std::string(1, in[0]) : "?") << "byte " << b;
  }
  iconv_close(cd);
}

// What Windows-1250 cannot hold, and what is not UTF-8 at all, becomes '?' without disturbing
// the text around it.
TEST(Cp1250, UnencodableAndMalformedBecomeQuestionMarks) {
  const struct {
    std::string utf8;
    std::string cp1250;
  } rows[] = {
      {"", ""},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"€ – „”", "\x80 \x96 \x84\x94"},
      {"日本", "??"},
      {"x😀y", "x?y"},                   // four-byte sequence: one character, one '?'
      {"\xEF\xBF\xBD", "?"},             // U+FFFD itself
      {"\xC5", "?"},                     // truncated at the end
      {"\xC5" "A", "?A"},                // truncated before ASCII
      {"\xE2\x82", "?"},                 // truncated three-byte sequence
      {"\x80\xBF", "??"},                // stray continuation bytes
      {"\xC0\xAF", "??"},                // overlong form of '/'
      {"\xED\xA0\x80", "???"},           // surrogate
      {"\xF4\x90\x80\x80", "????"},      // beyond U+10FFFF
      {"\xFF" "ł", "?\xB3"},
  };
  for (const auto& row : rows) EXPECT_EQ(Cp1250FromUtf8(row.utf8), row.cp1250) << row.utf8;
}

}  // namespace
}  // namespace orvu
