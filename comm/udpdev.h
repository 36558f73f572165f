// Network devices, their transactions and sessions, the device set, and the error object of
// every communication failure.
#pragma once
#include <cstddef>
#include <cstdint>
#include <exception>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvu {

class UdpDev;

// Error codes of UErr: the numbers the error box shows and the command-line tool exits with.
enum class ErrCode : int32_t {
  kNoAnswer = 1,        // status query unanswered
  kForeignSession = 2,  // the controller holds a session this tool does not
  kSessionRefused = 3,  // the seed was not 16 bytes
  kSignature = 4,       // secured reply badly signed
  kTooLong = 5,         // secured reply longer than the caller's capacity
  kNoReply = 6,         // no acceptable secured reply after all tries
  kNoAck = 7,           // acknowledged command without the 0x06 byte
  kBufferSize = 8,      // a payload to send exceeds kMaxSecuredPayload
  kModeForbids = 9,     // the controller's mode does not allow reading its configuration
};
constexpr int32_t ErrNumber(ErrCode code) { return static_cast<int32_t>(code); }
std::ostream& operator<<(std::ostream& out, ErrCode code);  // the number

// Raised by communication code and never shown by it; the windows show ErrText().
class UErr : public std::exception {
 public:
  UErr(const UdpDev& dev, ErrCode code, uint8_t cmd) : dev(&dev), code(code), cmd(cmd) {}
  const char* what() const noexcept override;  // the code's message, Windows-1250

  const UdpDev* dev;  // borrowed from the device set
  ErrCode code;
  uint8_t cmd;  // command code of the failed command, or 0
};

// The message of an error code (Windows-1250); "Brak opisu błędu." for unknown codes.
const std::string& ErrMessage(ErrCode code);
// The text of the error box: device name, mode, code, command and message.
std::string ErrText(const UErr& err);

// The longest payload a secured request carries and the controller's configuration buffer
// holds: a longer request is refused with code 8.
inline constexpr int kMaxSecuredPayload = 1000;

// Mode byte: bits 0-1 operating mode, bit 1 configuration readable, bit 7 session held.
inline constexpr uint16_t kModeReadable = 0x02;
inline constexpr uint16_t kModeSession = 0x80;

// The operating mode: bits 0-1 of the mode byte. Every value the tool holds comes from ModeOf
// or names one of the four, so it always indexes a table of four.
enum class OperatingMode : uint8_t {
  kBlokada = 0,
  kKonfiguracja = 1,
  kSerwis = 2,
  kInstalacja = 3,
};
constexpr OperatingMode ModeOf(uint16_t modeByte) {
  return static_cast<OperatingMode>(modeByte & 3u);
}
// 0-3, the number the command-line tool and the backups print.
constexpr int ModeNumber(OperatingMode mode) { return static_cast<int>(mode); }
// Bit 1 of the mode: the controller lets its configuration be read (Serwis and Instalacja).
constexpr bool ConfigReadable(OperatingMode mode) {
  return (ModeNumber(mode) & kModeReadable) != 0;
}
// "Blokada", "Konfiguracja", "Serwis", "Instalacja" (Windows-1250).
const std::string& ModeName(OperatingMode mode);

class UdpDev {
 public:
  uint32_t id = 0;
  uint32_t ip = 0;  // first octet in bits 24-31
  uint16_t seq = 0;
  uint16_t mode = 0;
  bool online = false;
  bool changed = false;
  bool session = false;
  uint8_t key[16] = {};

  UdpDev() = default;
  UdpDev(uint32_t id, uint32_t ip, uint16_t mode) : id(id), ip(ip), mode(mode), online(true) {}
  // A copy whose destruction closed the original's session would be a silent fault, so
  // records are only ever assigned (as the set does when it reorders).
  UdpDev(const UdpDev&) = delete;
  UdpDev& operator=(const UdpDev&) = default;
  // Closes the session this tool holds; failures are swallowed (the controller ends an idle
  // session by itself).
  ~UdpDev();

  std::string IpText() const;
  std::string ModeText() const;  // "Niedostępny" while not online
  std::string ListText() const;  // " %s,  %s,  %s": name, address, mode

  bool HasForeignSession() const { return (mode & kModeSession) && !session; }

  // Transactions. reply must hold kReceiveBufferSize bytes.
  size_t Exchange(uint32_t tag, uint8_t replyCmd, const uint8_t* request, size_t len,
                  uint8_t* reply);
  // Plain transaction; returns the reply's payload length (may exceed capacity), 0 without a
  // valid reply. Never raises.
  int Transact(uint8_t cmd, int capacity, uint8_t* dest);
  // Secured transaction; returns the payload length (at most capacity). Raises codes 4, 5, 6.
  int SecTransact(uint8_t cmd, const uint8_t* payload, int len, int capacity, uint8_t* dest);
  // Secured transaction acknowledged by 0x06; returns 6. Raises codes 4, 5, 6, 7.
  int SecCommand(uint8_t cmd, const uint8_t* payload, int len);

  // Sessions.
  bool Status();
  void OpenSession();
  void NeedSession();
  void KeepAlive();
  void CloseSession();
};

class UdpDevSet {
 public:
  static constexpr int kCapacity = 100;

  UdpDev dev[kCapacity];
  int32_t count = 0;
  int32_t sel = -1;

  // Broadcasts discovery up to 3 times until something is added or changed.
  void Search();
  // Takes in every discovery answer arriving within timeoutMs of the previous datagram;
  // true when an entry was added or changed.
  bool Collect(int timeoutMs);
  // Inserts or updates one device in order; true when the set changed.
  bool Add(uint32_t id, uint32_t ip, uint16_t mode);

  // The chosen device, or nullptr while sel does not designate an entry.
  UdpDev* Current() { return sel >= 0 && sel < count ? &dev[sel] : nullptr; }
  // Closes every session this tool holds; never raises, so shutdown always completes. A session
  // whose closing fails is given up (the controller ends it after its idle time).
  void CloseAll() noexcept;
};

// "a.b.c.d" -> address with a in bits 24-31.
uint32_t ParseIp(const std::string& text);

// The keep-alive schedule of the poll tick: on each tick KeepAlive runs for the devices
// k, k + 5, k + 10, ... below count, k being the counter before it advances (mod 5). Every
// device of the group gets its keep-alive; the first failure is raised after the last.
class KeepAliveSchedule {
 public:
  // The identities of the group's devices, in set order: the devices this tick visited.
  std::vector<uint32_t> Tick(UdpDevSet& set);

 private:
  int k_ = 0;
};

}  // namespace orvu
