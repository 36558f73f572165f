// The texts that name a bus device and its state (Windows-1250).
#include <string>

#include "comm/cp1250.h"
#include "comm/identity.h"
#include "model/ctrlcfg.h"

namespace orvu {

std::string DevLongName(const BusDev& dev) {
  std::string text = DevName(dev.id);
  text += '/';
  text += static_cast<char>('A' + SuffixIndex(dev.id));
  text += std::to_string(dev.suffixNumber);
  return text;
}

std::string DevListLine(const BusDev& dev) {
  return TypeName(DevClass(dev.id)) + ": " + DevLongName(dev) + ",   " + StateText(dev.state);
}

std::string StateText(uint8_t state) {
  // The most serious condition wins: a device that is gone hides its other flags.
  static const std::string inactive = Cp1250FromUtf8("(nieaktywny)");
  static const std::string power = Cp1250FromUtf8("(problemy zasilania)");
  static const std::string tamper = Cp1250FromUtf8("(sabotaż)");
  static const std::string fresh = Cp1250FromUtf8("(nowy)");
  if (state & kStateInactive) return inactive;
  if (state & kStatePower) return power;
  if (state & kStateTamper) return tamper;
  if (state & kStateNew) return fresh;
  return {};
}

}  // namespace orvu
