// The fields of a passage's 8-byte parameter block as the editor, the report and the command
// line name them. Bytes and bits not named here are carried unchanged.
#pragma once
#include <cstdint>
#include <string>

namespace orvu {

inline int PassageType(const uint8_t* params) { return params[0] & 0x0F; }
inline int BoltPulse(const uint8_t* params) { return params[4]; }  // half-seconds
inline int OpenTime(const uint8_t* params) { return params[6]; }   // half-seconds
inline bool HandleOpening(const uint8_t* params) { return params[2] & 0x40; }
inline bool FullBoltPulse(const uint8_t* params) { return params[2] & 0x80; }

// "Otwarte" ... "Zablokowane" for types 0-4; empty for a type the editor has no name for
// (Windows-1250).
std::string PassageTypeName(int type);
// "Śluza N" (N from 1) or "---" outside any airlock (Windows-1250).
std::string AirlockText(const uint8_t* params);

}  // namespace orvu
