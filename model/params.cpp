// The parameter block of a passage, 8 bytes as the controller stores them: byte 0 bits 0-3
// the type; byte 2 bit 7 the full bolt pulse, bit 6 opening by handle, bit 2 airlock member,
// bits 0-1 the airlock number; byte 4 the bolt pulse and byte 6 the open time in half-seconds.
// The other bits and bytes are the controller's: every setter carries them unchanged.
#include "model/params.h"

#include "comm/cp1250.h"

namespace orvu {

namespace {

constexpr int kTypeByte = 0;
constexpr int kFlagsByte = 2;
constexpr int kBoltPulseByte = 4;
constexpr int kOpenTimeByte = 6;
constexpr uint8_t kTypeBits = 0x0F;
constexpr uint8_t kFullPulseFlag = 0x80;
constexpr uint8_t kHandleFlag = 0x40;
constexpr uint8_t kAirlockMember = 0x04;
constexpr uint8_t kAirlockNumber = 0x03;

void SetFlag(uint8_t& byte, uint8_t flag, bool on) {
  byte = on ? static_cast<uint8_t>(byte | flag) : static_cast<uint8_t>(byte & ~flag);
}

}  // namespace

int PassageType(const uint8_t* params) { return params[kTypeByte] & kTypeBits; }

void SetPassageType(uint8_t* params, int type) {
  params[kTypeByte] = static_cast<uint8_t>((params[kTypeByte] & ~kTypeBits) | (type & kTypeBits));
}

std::string PassageTypeName(int type) {
  static const std::string names[kPassageTypes] = {
      Cp1250FromUtf8("Otwarte"), Cp1250FromUtf8("Normalne"), Cp1250FromUtf8("Bistabilne"),
      Cp1250FromUtf8("Astabilne"), Cp1250FromUtf8("Zablokowane")};
  return type >= 0 && type < kPassageTypes ? names[type] : std::string();
}

bool HandleOpening(const uint8_t* params) { return params[kFlagsByte] & kHandleFlag; }

void SetHandleOpening(uint8_t* params, bool on) { SetFlag(params[kFlagsByte], kHandleFlag, on); }

bool FullBoltPulse(const uint8_t* params) { return params[kFlagsByte] & kFullPulseFlag; }

void SetFullBoltPulse(uint8_t* params, bool on) {
  SetFlag(params[kFlagsByte], kFullPulseFlag, on);
}

int BoltPulse(const uint8_t* params) { return params[kBoltPulseByte]; }

void SetBoltPulse(uint8_t* params, int halfSeconds) {
  params[kBoltPulseByte] = static_cast<uint8_t>(halfSeconds);
}

int OpenTime(const uint8_t* params) { return params[kOpenTimeByte]; }

void SetOpenTime(uint8_t* params, int halfSeconds) {
  params[kOpenTimeByte] = static_cast<uint8_t>(halfSeconds);
}

int AirlockOf(const uint8_t* params) {
  const uint8_t flags = params[kFlagsByte];
  return (flags & kAirlockMember) ? (flags & kAirlockNumber) : -1;
}

void SetAirlock(uint8_t* params, int number) {
  uint8_t& flags = params[kFlagsByte];
  if (number >= 0 && number <= 3) {
    flags = static_cast<uint8_t>((flags & ~kAirlockNumber) | number | kAirlockMember);
  } else {
    // Outside any airlock; the old number stays in bits 0-1 as the controller left it.
    flags &= static_cast<uint8_t>(~kAirlockMember);
  }
}

std::string AirlockText(const uint8_t* params) {
  static const std::string airlock = Cp1250FromUtf8("Śluza ");
  const int number = AirlockOf(params);
  return number < 0 ? std::string("---") : airlock + std::to_string(number + 1);
}

}  // namespace orvu
