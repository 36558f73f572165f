// One simulated network device: a controller (device class 3) with its session, bus device
// list and passages, or another network device (a terminal, say) that answers only discovery
// and the status query. It parses requests and builds replies on its own, independently of the
// tool's frame code, so a fault on one side is not mirrored by the other.
//
// Every public member locks the device, so a test may inspect or change it while a UDP server
// thread serves it.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "sim/clock.h"
#include "sim/device_config.h"

namespace orvu {

enum class SimFrameKind { kDiscovery, kPlain, kSecured, kUnknown };

// Why a request got the answer it got. Every datagram that is not answered says why.
enum class SimVerdict {
  kAnswered,
  kLostOnTheWay,    // fault knob: the request never arrived (recorded for the test's eyes)
  kSilent,          // the device is unplugged
  kMalformed,       // too short, unknown tag, wrong length
  kBadCrc,
  kOtherIdentity,   // addressed to another device
  kNoSession,       // secured request while the device holds no session
  kBadSignature,    // secured request not signed with the session key (also: foreign session)
  kRefused,         // 'K' while a session is held, or a payload the controller rejects
  kUnknownCommand,  // a command this device does not serve
};

struct SimRequest {
  int64_t atMs = 0;
  SimFrameKind kind = SimFrameKind::kUnknown;
  uint8_t cmd = 0;   // command code; 0 for discovery
  uint16_t seq = 0;  // secured requests only
  std::vector<uint8_t> payload;  // secured requests only
  SimVerdict verdict = SimVerdict::kMalformed;
};

// One datagram the device sends back, due delayMs after the request.
struct SimOutgoing {
  std::vector<uint8_t> bytes;
  int delayMs = 0;
};

class SimDevice {
 public:
  SimDevice(const SimDeviceConfig& config, SimClock& clock);
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  // The device side of one received datagram: no reply, one, or several (duplicates, junk).
  std::vector<SimOutgoing> Handle(const uint8_t* data, size_t len);

  uint32_t Id() const { return id_; }
  const std::string& Ip() const { return ip_; }
  bool IsController() const;

  // Mode byte as the device reports it: bits 0-6 as set, bit 7 while any session is held.
  uint8_t Mode() const;
  void SetMode(uint8_t mode);  // bit 7 is ignored: it follows the session
  void SetSilent(bool silent);  // unplugged: every datagram goes unanswered

  // Session state.
  bool HoldsOwnSession() const;  // one opened with 'K' here
  bool HoldsForeignSession() const;
  void SetForeignSession(SimForeignSession kind);  // replaces any session; kNone ends it
  void EndSession();                               // as if the controller was power-cycled
  std::array<uint8_t, 16> SessionKey() const;      // zero without an own session

  // The stored bus device list and passage payload.
  std::vector<SimBusRecord> BusDevices() const;
  void SetBusDevices(std::vector<SimBusRecord> records);
  std::vector<uint8_t> DevListPayload() const;  // what 'D' answers right now
  std::vector<uint8_t> Passages() const;
  void SetPassages(std::vector<uint8_t> payload);
  // Every passage payload stored by 'c', in order.
  std::vector<std::vector<uint8_t>> WrittenPassages() const;

  // Every datagram the device was offered, in order, with its verdict (the latest
  // kRequestLogSize, so a long-running daemon does not grow).
  static constexpr size_t kRequestLogSize = 20000;
  std::vector<SimRequest> Requests() const;
  // How many requests of this command (0: discovery) reached the device at all.
  size_t CountRequests(uint8_t cmd) const;
  void ClearRequests();

  SimFaults Faults() const;
  void SetFaults(const SimFaults& faults);

 private:
  struct Session {
    bool own = false;
    SimForeignSession foreign = SimForeignSession::kNone;
    std::array<uint8_t, 16> key{};
    int64_t lastTrafficMs = 0;
    bool Held() const { return own || foreign != SimForeignSession::kNone; }
  };
  // What the device means to answer, before the frame is built and the faults applied.
  struct Reply {
    bool send = false;
    SimFrameKind kind = SimFrameKind::kPlain;
    uint8_t cmd = 0;
    uint16_t seq = 0;
    std::vector<uint8_t> payload;
    std::array<uint8_t, 16> key{};  // secured replies: signed with the key of that moment
  };

  void ExpireIdleSession() const;
  uint8_t ModeLocked() const;
  bool Chance(double probability);
  void Record(SimRequest rec);
  Reply Serve(const uint8_t* data, size_t len, SimRequest& rec);
  Reply ServeStatus(uint8_t cmd, SimRequest& rec);
  Reply ServePlain(const uint8_t* data, size_t len, SimRequest& rec);
  Reply ServeSecured(const uint8_t* data, size_t len, SimRequest& rec);
  // The controller's secured commands; return the reply payload, or nothing.
  bool SecuredCommand(uint8_t cmd, const std::vector<uint8_t>& payload, SimRequest& rec,
                      std::vector<uint8_t>& answer);
  std::vector<uint8_t> DevListPayloadLocked() const;
  bool StorePassages(const std::vector<uint8_t>& payload);
  bool DeleteInactive();
  bool ReplaceDevice(const std::vector<uint8_t>& pair);
  template <class Change>
  void ForEachStoredRef(Change change);
  std::vector<SimOutgoing> BuildWithFaults(const Reply& reply);

  mutable std::mutex mutex_;
  SimClock& clock_;
  const uint32_t id_;
  const std::string ip_;
  uint8_t mode_;
  bool silent_;
  int sessionIdleMs_;
  int replaceSettleMs_;
  mutable Session session_;  // mutable: an idle session ends as time passes, also when read
  std::vector<SimBusRecord> bus_;
  std::vector<int64_t> inactiveUntilMs_;  // per bus record: shown inactive until then
  std::vector<uint8_t> passages_;
  std::vector<std::vector<uint8_t>> written_;
  std::deque<SimRequest> requests_;  // the latest kRequestLogSize
  SimFaults faults_;
  std::mt19937 faultRandom_;
  std::mt19937 seedRandom_;
};

}  // namespace orvu
