// The 32-bit identity word of every device, on the network and on a controller's bus:
// bits 0-15 serial number, 16-25 type code (class * 100 + model), 26-27 suffix letter index,
// 28-31 network marker (2 for a device that answers discovery).
#pragma once
#include <cstdint>
#include <string>

namespace orvu {

inline constexpr unsigned kControllerType = 346;      // the controller model this tool serves
inline constexpr unsigned kElevatorModuleType = 717;  // its outputs alone may drive a bolt
inline constexpr unsigned kControllerClass = 3;

constexpr unsigned Serial(uint32_t id) { return id & 0xFFFF; }
constexpr unsigned TypeCode(uint32_t id) { return (id >> 16) & 0x3FF; }
constexpr unsigned DevClass(uint32_t id) { return TypeCode(id) / 100; }
constexpr unsigned ModelNumber(uint32_t id) { return TypeCode(id) % 100; }
constexpr unsigned SuffixIndex(uint32_t id) { return (id >> 26) & 3; }
constexpr bool IsController(uint32_t id) { return DevClass(id) == kControllerClass; }

// Discovery takes a device only with marker 2 and type code 346, the suffix bits being free.
constexpr bool PassesDiscoveryFilter(uint32_t id) { return ((id >> 16) & 0xF3FF) == 0x215A; }
// Devices are ordered by type code, then serial number.
constexpr uint32_t OrderingKey(uint32_t id) { return id & 0x3FFFFFF; }

// "RTZKCKFD???" by class 0-10.
char ClassLetter(unsigned cls);
// Right-aligned type names (Windows-1250), "Nieznany typ" from class 8 on.
const std::string& TypeName(unsigned cls);
// "%c%02d_%05u": class letter, model number, serial number, e.g. R01_00042.
std::string DevName(uint32_t id);

}  // namespace orvu
