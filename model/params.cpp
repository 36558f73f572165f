#include "model/params.h"

#include "comm/cp1250.h"
#include "model/ctrlcfg.h"

namespace orvu {

std::string PassageTypeName(int type) {
  static const std::string names[5] = {Cp1250FromUtf8("Otwarte"), Cp1250FromUtf8("Normalne"),
                                       Cp1250FromUtf8("Bistabilne"), Cp1250FromUtf8("Astabilne"),
                                       Cp1250FromUtf8("Zablokowane")};
  return type >= 0 && type < 5 ? names[type] : std::string();
}

std::string AirlockText(const uint8_t* params) {
  static const std::string airlock = Cp1250FromUtf8("Śluza ");
  const int number = AirlockOf(params);
  return number < 0 ? std::string("---") : airlock + std::to_string(number + 1);
}

}  // namespace orvu
