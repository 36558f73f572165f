// What a simulated network device is made of: its identity and address, its mode, the bus
// device list and passage configuration a controller keeps, and the fault knobs that make it
// behave like a device on a bad network.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvu {

// Identity word: serial in bits 0-15, type code in 16-25, suffix index in 26-27, network
// marker in 28-31 (2 for devices that answer discovery; bus records may carry 0).
constexpr uint32_t MakeIdentity(unsigned typeCode, unsigned serial, unsigned suffix = 0,
                                unsigned marker = 2) {
  return (uint32_t(marker & 0xF) << 28) | (uint32_t(suffix & 3) << 26) |
         (uint32_t(typeCode & 0x3FF) << 16) | (serial & 0xFFFF);
}

// Device-list identity of an empty slot: stored and counted by the controller, never listed.
inline constexpr uint32_t kEmptySlotId = 0xFFFFFFFF;

// One record of a controller's bus device list, its info bytes exactly as the device-list
// payload carries them: [0] suffix number, [1] state, [2] outputs (bits 0-3) / readers
// (bits 4-5, valid with bit 7) / open-collector (bit 6), [3] inputs (bits 0-3).
struct SimBusRecord {
  uint32_t id = kEmptySlotId;
  std::array<uint8_t, 4> info = {};

  uint8_t State() const { return info[1]; }
};

// Builds the info bytes from counts: outputs 0-15 except 8 (the payload reads an output count
// of 8 as 1 output), inputs 0-15, readers 0-3.
SimBusRecord MakeBusRecord(uint32_t id, uint8_t suffixNumber, uint8_t state, unsigned outputs,
                           unsigned inputs, unsigned readers, bool openCollector = false);

// Faults of the device or of the network in front of it. Probabilities are 0..1 and are drawn
// per datagram from the device's own generator (seeded by `seed`, so a run can be repeated).
struct SimFaults {
  double dropRequest = 0;     // the request never reaches the device
  double dropReply = 0;       // the device acts on the request, its reply is lost
  double duplicateReply = 0;  // the reply arrives twice
  double delayReply = 0;      // the reply arrives delayMs late
  int delayMs = 0;
  double corruptCrc = 0;        // plain and discovery replies carry a wrong CRC
  double corruptSignature = 0;  // secured replies carry a wrong signature
  double otherIdentity = 0;     // the reply carries another device's identity
  double junk = 0;              // a datagram of random bytes arrives before the reply
  uint32_t seed = 1;

  bool Any() const {
    return dropRequest > 0 || dropReply > 0 || duplicateReply > 0 || delayReply > 0 ||
           corruptCrc > 0 || corruptSignature > 0 || otherIdentity > 0 || junk > 0;
  }
};

// A session held by some other program: bit 7 set, 'K' refused, its frames unverifiable here.
enum class SimForeignSession {
  kNone,
  kIdle,  // the other program has gone away: the session ends after the idle time
  kHeld,  // the other program keeps it alive: it lasts until changed
};

inline constexpr int kSimSessionIdleMs = 30000;
inline constexpr int kSimReplaceSettleMs = 3000;  // new device shown inactive after 'R'

struct SimDeviceConfig {
  uint32_t id = 0;
  std::string ip;      // dotted-decimal
  uint8_t mode = 2;    // bits 0-1: 0 Blokada, 1 Konfiguracja, 2 Serwis, 3 Instalacja
  bool silent = false;  // unplugged: hears nothing, says nothing
  SimForeignSession foreignSession = SimForeignSession::kNone;
  int sessionIdleMs = kSimSessionIdleMs;  // 0: sessions never end by themselves
  int replaceSettleMs = kSimReplaceSettleMs;
  // Controllers only (device class 3).
  std::vector<SimBusRecord> bus;  // the controller itself first
  std::vector<uint8_t> passages = {0x00, 18};  // passage payload as stored
  SimFaults faults;
};

}  // namespace orvu
