// Class letters, type names and device names derived from the identity word.
#include "comm/identity.h"

#include <cstdio>

#include "comm/cp1250.h"

namespace orvu {

char ClassLetter(unsigned cls) {
  static constexpr char kLetters[] = "RTZKCKFD???";
  return cls < sizeof kLetters - 1 ? kLetters[cls] : '?';
}

const std::string& TypeName(unsigned cls) {
  // The leading spaces right-align the names in the controller's device list.
  static const std::string kNames[9] = {
      Cp1250FromUtf8("    Czytnik"),   Cp1250FromUtf8("  Terminal"),  Cp1250FromUtf8("      Zamek"),
      Cp1250FromUtf8(" Kontroler"),    Cp1250FromUtf8("Ctr"),         Cp1250FromUtf8(" Klawiatura"),
      Cp1250FromUtf8(" Interfejs"),    Cp1250FromUtf8("      Moduł"), Cp1250FromUtf8("Nieznany typ"),
  };
  return kNames[cls < 8 ? cls : 8];
}

std::string DevName(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%02u_%05u", ClassLetter(DevClass(id)), ModelNumber(id), Serial(id));
  return text;
}

}  // namespace orvu
