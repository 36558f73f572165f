// The simulated device's state, its accessors and the faults between it and the network.
#include "sim/device.h"

#include <algorithm>

#include "comm/identity.h"
#include "sim/device_frames.h"

namespace orvu {

using simwire::Le32;

SimDevice::SimDevice(const SimDeviceConfig& config, SimClock& clock)
    : clock_(clock),
      id_(config.id),
      ip_(config.ip),
      mode_(uint8_t(config.mode & 0x7F)),
      silent_(config.silent),
      sessionIdleMs_(config.sessionIdleMs),
      replaceSettleMs_(config.replaceSettleMs),
      bus_(config.bus),
      inactiveUntilMs_(config.bus.size(), 0),
      passages_(config.passages),
      faults_(config.faults),
      faultRandom_(config.faults.seed ^ config.id),
      seedRandom_(std::random_device{}()) {
  session_.foreign = config.foreignSession;
  session_.lastTrafficMs = clock_.NowMs();
}

bool SimDevice::IsController() const { return DevClass(id_) == kControllerClass; }

void SimDevice::ExpireIdleSession() const {
  if (!session_.own && session_.foreign != SimForeignSession::kIdle) return;
  if (sessionIdleMs_ <= 0 || clock_.NowMs() - session_.lastTrafficMs < sessionIdleMs_) return;
  session_.own = false;
  session_.foreign = SimForeignSession::kNone;
  session_.key.fill(0);
}

uint8_t SimDevice::ModeLocked() const {
  ExpireIdleSession();
  return uint8_t(mode_ | (session_.Held() ? 0x80 : 0));
}

uint8_t SimDevice::Mode() const {
  std::lock_guard lock(mutex_);
  return ModeLocked();
}

void SimDevice::SetMode(uint8_t mode) {
  std::lock_guard lock(mutex_);
  mode_ = uint8_t(mode & 0x7F);
}

void SimDevice::SetSilent(bool silent) {
  std::lock_guard lock(mutex_);
  silent_ = silent;
}

bool SimDevice::HoldsOwnSession() const {
  std::lock_guard lock(mutex_);
  ExpireIdleSession();
  return session_.own;
}

bool SimDevice::HoldsForeignSession() const {
  std::lock_guard lock(mutex_);
  ExpireIdleSession();
  return session_.foreign != SimForeignSession::kNone;
}

void SimDevice::SetForeignSession(SimForeignSession kind) {
  std::lock_guard lock(mutex_);
  session_ = Session{};
  session_.foreign = kind;
  session_.lastTrafficMs = clock_.NowMs();
}

void SimDevice::EndSession() {
  std::lock_guard lock(mutex_);
  session_ = Session{};
}

std::array<uint8_t, 16> SimDevice::SessionKey() const {
  std::lock_guard lock(mutex_);
  ExpireIdleSession();
  return session_.own ? session_.key : std::array<uint8_t, 16>{};
}

std::vector<SimBusRecord> SimDevice::BusDevices() const {
  std::lock_guard lock(mutex_);
  return bus_;
}

void SimDevice::SetBusDevices(std::vector<SimBusRecord> records) {
  std::lock_guard lock(mutex_);
  bus_ = std::move(records);
  inactiveUntilMs_.assign(bus_.size(), 0);
}

std::vector<uint8_t> SimDevice::DevListPayload() const {
  std::lock_guard lock(mutex_);
  return DevListPayloadLocked();
}

std::vector<uint8_t> SimDevice::Passages() const {
  std::lock_guard lock(mutex_);
  return passages_;
}

void SimDevice::SetPassages(std::vector<uint8_t> payload) {
  std::lock_guard lock(mutex_);
  passages_ = std::move(payload);
}

std::vector<std::vector<uint8_t>> SimDevice::WrittenPassages() const {
  std::lock_guard lock(mutex_);
  return written_;
}

std::vector<SimRequest> SimDevice::Requests() const {
  std::lock_guard lock(mutex_);
  return {requests_.begin(), requests_.end()};
}

size_t SimDevice::CountRequests(uint8_t cmd) const {
  std::lock_guard lock(mutex_);
  // Command 0 means discovery: junk and cut-off frames are recorded with command 0 as well.
  return size_t(std::count_if(requests_.begin(), requests_.end(), [cmd](const SimRequest& r) {
    return r.cmd == cmd && (cmd != 0 || r.kind == SimFrameKind::kDiscovery) &&
           r.verdict != SimVerdict::kLostOnTheWay;
  }));
}

void SimDevice::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

SimFaults SimDevice::Faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

void SimDevice::SetFaults(const SimFaults& faults) {
  std::lock_guard lock(mutex_);
  faults_ = faults;
  faultRandom_.seed(faults.seed ^ id_);
}

bool SimDevice::Chance(double probability) {
  if (probability <= 0) return false;
  if (probability >= 1) return true;
  return std::uniform_real_distribution<double>(0, 1)(faultRandom_) < probability;
}

void SimDevice::Record(SimRequest rec) {
  if (requests_.size() >= kRequestLogSize) requests_.pop_front();
  requests_.push_back(std::move(rec));
}

std::vector<SimOutgoing> SimDevice::BuildWithFaults(const Reply& reply) {
  if (Chance(faults_.dropReply)) return {};
  // Another device's identity: the frame is otherwise sound, so only the identity check of
  // the receiver can reject it.
  uint32_t id = Chance(faults_.otherIdentity) ? (id_ ^ 0x0001) : id_;
  std::vector<uint8_t> frame =
      reply.kind == SimFrameKind::kSecured
          ? simwire::SecuredReply(id, reply.seq, reply.cmd, reply.payload, reply.key)
          : simwire::PlainReply(reply.cmd, id, reply.payload);
  double corrupt =
      reply.kind == SimFrameKind::kSecured ? faults_.corruptSignature : faults_.corruptCrc;
  if (Chance(corrupt)) frame.back() ^= 0x5A;

  std::vector<SimOutgoing> out;
  if (Chance(faults_.junk)) {
    std::uniform_int_distribution<int> length(1, 40), byte(0, 255);
    std::vector<uint8_t> junk(size_t(length(faultRandom_)));
    for (uint8_t& b : junk) b = uint8_t(byte(faultRandom_));
    out.push_back({std::move(junk), 0});
  }
  int delay = Chance(faults_.delayReply) ? faults_.delayMs : 0;
  bool twice = Chance(faults_.duplicateReply);
  out.push_back({frame, delay});
  if (twice) out.push_back({std::move(frame), delay});
  return out;
}

std::vector<uint8_t> SimDevice::DevListPayloadLocked() const {
  const size_t count = bus_.size();
  std::vector<uint8_t> out(2 + 8 * count);
  simwire::PutLe16(out.data(), uint16_t(count));
  const int64_t now = clock_.NowMs();
  for (size_t i = 0; i < count; ++i) {
    simwire::PutLe32(out.data() + 2 + 4 * i, bus_[i].id);
    std::array<uint8_t, 4> info = bus_[i].info;
    if (now < inactiveUntilMs_[i]) info[1] |= 0x80;  // a replacement still settling in
    std::copy(info.begin(), info.end(), out.begin() + long(2 + 4 * count + 4 * i));
  }
  return out;
}

}  // namespace orvu
