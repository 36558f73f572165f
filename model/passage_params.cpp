// The airlock of a passage: byte 2 of its parameter block, bits 0-1 the number, bit 2 valid.
#include "model/ctrlcfg.h"

namespace orvu {

namespace {
constexpr uint8_t kAirlockMember = 0x04;
constexpr uint8_t kAirlockNumber = 0x03;
}  // namespace

int AirlockOf(const uint8_t* params) {
  return (params[2] & kAirlockMember) ? (params[2] & kAirlockNumber) : -1;
}

void SetAirlock(uint8_t* params, int number) {
  if (number >= 0 && number <= 3) {
    params[2] = static_cast<uint8_t>((params[2] & 0xFC) + number);
    params[2] |= kAirlockMember;
  } else {
    // Outside any airlock; the old number stays in bits 0-1 as the controller left it.
    params[2] &= static_cast<uint8_t>(~kAirlockMember);
  }
}

}  // namespace orvu
