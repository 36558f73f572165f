// Arbitrary bytes as UTF-8 (the location text the user types) and as Windows-1250 (texts from
// controllers): no read out of bounds, and every encoded text survives a decode and re-encode.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "comm/cp1250.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string encoded = orvu::Cp1250FromUtf8(input);
  if (encoded.size() > input.size()) std::abort();  // never more characters than bytes
  if (orvu::Cp1250FromUtf8(orvu::Utf8FromCp1250(encoded)) != encoded) std::abort();
  const std::string decoded = orvu::Utf8FromCp1250(input);
  const std::string again = orvu::Cp1250FromUtf8(decoded);
  if (again.size() != input.size()) std::abort();  // one byte per character, unassigned as '?'
  return 0;
}
