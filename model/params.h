// The fields of a passage's 8-byte parameter block (CtrlConfig::params[p]) as the editor, the
// report, the command line and the backup files name them. Bytes and bits not named here are
// the controller's: every setter carries them unchanged. Times are in half-seconds.
#pragma once
#include <cstdint>
#include <string>

namespace orvu {

inline constexpr int kPassageTypes = 5;  // the types that have a name
int PassageType(const uint8_t* params);  // 0-15
void SetPassageType(uint8_t* params, int type);
// "Otwarte", "Normalne", "Bistabilne", "Astabilne", "Zablokowane" for types 0-4
// (Windows-1250); empty for a type without a name.
std::string PassageTypeName(int type);

bool HandleOpening(const uint8_t* params);  // "Otwieranie klamką"
void SetHandleOpening(uint8_t* params, bool on);
bool FullBoltPulse(const uint8_t* params);  // "Pełny impuls rygla"
void SetFullBoltPulse(uint8_t* params, bool on);

int BoltPulse(const uint8_t* params);
void SetBoltPulse(uint8_t* params, int halfSeconds);
int OpenTime(const uint8_t* params);
void SetOpenTime(uint8_t* params, int halfSeconds);

int AirlockOf(const uint8_t* params);  // 0-3, or -1
void SetAirlock(uint8_t* params, int number);  // outside 0-3: outside any airlock
// "Śluza N" (N from 1) or "---" outside any airlock (Windows-1250).
std::string AirlockText(const uint8_t* params);

}  // namespace orvu
