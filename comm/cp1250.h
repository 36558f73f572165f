// Windows-1250 <-> UTF-8. The system's own texts are Windows-1250 bytes; the terminal and the
// toolkit speak Unicode.
#pragma once
#include <string>
#include <string_view>

namespace orvu {

// A character that Windows-1250 cannot hold (or a malformed UTF-8 sequence) becomes '?'.
std::string Cp1250FromUtf8(std::string_view utf8);
// Bytes that Windows-1250 leaves unassigned become U+FFFD.
std::string Utf8FromCp1250(std::string_view cp1250);

}  // namespace orvu
