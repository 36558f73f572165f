// How a simulated device takes one datagram: which frame it is, whether it is for this device
// and sound, and what the device answers. Reasons for silence are recorded in the verdict.
#include <algorithm>

#include "sim/device.h"
#include "sim/device_frames.h"

namespace orvu {

using simwire::Le16;
using simwire::Le32;

namespace {

// What a datagram claims to be, so that even one the device never acts on is recorded under
// its command.
void Classify(const uint8_t* data, size_t len, SimRequest& rec) {
  if (len < 4 || data[0] != 'M' || data[1] != 'M' || data[2] != 'D') return;
  if (data[3] == 'C') {
    rec.kind = SimFrameKind::kSecured;
    if (len > 10) rec.cmd = data[10];
    return;
  }
  rec.kind = SimFrameKind::kPlain;
  rec.cmd = data[3];
  if (rec.cmd == 'O' && len >= 8 && Le32(data + 4) == simwire::kEveryDevice) {
    rec.kind = SimFrameKind::kDiscovery;
    rec.cmd = 0;
  }
}

}  // namespace

std::vector<SimOutgoing> SimDevice::Handle(const uint8_t* data, size_t len) {
  std::lock_guard lock(mutex_);
  SimRequest rec;
  rec.atMs = clock_.NowMs();
  Classify(data, len, rec);
  if (silent_) {
    rec.verdict = SimVerdict::kSilent;
    Record(std::move(rec));
    return {};
  }
  if (Chance(faults_.dropRequest)) {
    rec.verdict = SimVerdict::kLostOnTheWay;
    Record(std::move(rec));
    return {};
  }
  Reply reply = Serve(data, len, rec);
  Record(std::move(rec));
  if (!reply.send) return {};
  return BuildWithFaults(reply);
}

SimDevice::Reply SimDevice::Serve(const uint8_t* data, size_t len, SimRequest& rec) {
  if (len < 4 || data[0] != 'M' || data[1] != 'M' || data[2] != 'D') {
    rec.verdict = SimVerdict::kMalformed;
    return {};
  }
  // "MMD" + 'C' spells the secured tag "MMDC": no plain 'C' exists, so the tag decides.
  if (data[3] == 'C') return ServeSecured(data, len, rec);
  return ServePlain(data, len, rec);
}

SimDevice::Reply SimDevice::ServeStatus(uint8_t cmd, SimRequest& rec) {
  rec.verdict = SimVerdict::kAnswered;
  Reply reply;
  reply.send = true;
  reply.kind = SimFrameKind::kPlain;
  reply.cmd = cmd;
  reply.payload = simwire::StatusPayload(ModeLocked());
  return reply;
}

// Plain requests: "MMD" + command, identity, CRC. Discovery is the status query addressed to
// every device, and its answer is the status reply (28 bytes, mode at offset 10).
SimDevice::Reply SimDevice::ServePlain(const uint8_t* data, size_t len, SimRequest& rec) {
  // Kind and command as Classify recorded them: a search with a broken CRC is still a search.
  if (len != simwire::kPlainRequestSize) {
    rec.verdict = SimVerdict::kMalformed;
    return {};
  }
  if (!simwire::TrailingCrcMatches(data, len)) {
    rec.verdict = SimVerdict::kBadCrc;
    return {};
  }
  if (rec.kind == SimFrameKind::kDiscovery) return ServeStatus('O', rec);
  if (Le32(data + 4) != id_) {
    rec.verdict = SimVerdict::kOtherIdentity;
    return {};
  }
  if (rec.cmd == 'O') return ServeStatus('O', rec);
  if (rec.cmd != 'K' || !IsController()) {
    rec.verdict = SimVerdict::kUnknownCommand;
    return {};
  }
  // At most one session: while any is held (ours or another program's), 'K' gets no answer.
  ExpireIdleSession();
  if (session_.Held()) {
    rec.verdict = SimVerdict::kRefused;
    return {};
  }
  simwire::SessionKey seed;
  std::uniform_int_distribution<int> byte(0, 255);
  for (uint8_t& b : seed) b = uint8_t(byte(seedRandom_));
  session_.own = true;
  session_.key = simwire::SessionKeyFromSeed(seed);
  session_.lastTrafficMs = clock_.NowMs();
  rec.verdict = SimVerdict::kAnswered;
  Reply reply;
  reply.send = true;
  reply.cmd = 'K';
  reply.payload.assign(seed.begin(), seed.end());
  seed.fill(0);
  return reply;
}

// Secured requests: "MMDC", identity, sequence number, command, payload, signature. Any
// sequence number is taken: the controller is not known to check it, and a retry of the tool
// always carries a new one.
SimDevice::Reply SimDevice::ServeSecured(const uint8_t* data, size_t len, SimRequest& rec) {
  rec.kind = SimFrameKind::kSecured;
  rec.cmd = 0;
  if (len < simwire::kSecuredOverhead) {
    rec.verdict = SimVerdict::kMalformed;
    return {};
  }
  rec.seq = Le16(data + 8);
  rec.cmd = data[10];
  rec.payload.assign(data + 11, data + len - simwire::kSignatureSize);
  if (Le32(data + 4) != id_) {
    rec.verdict = SimVerdict::kOtherIdentity;
    return {};
  }
  if (!IsController()) {
    rec.verdict = SimVerdict::kUnknownCommand;
    return {};
  }
  ExpireIdleSession();
  if (session_.foreign != SimForeignSession::kNone) {
    rec.verdict = SimVerdict::kBadSignature;  // signed, if at all, with a key we cannot know
    return {};
  }
  if (!session_.own) {
    rec.verdict = SimVerdict::kNoSession;
    return {};
  }
  if (!simwire::TrailingSignatureMatches(data, len, session_.key)) {
    rec.verdict = SimVerdict::kBadSignature;
    return {};
  }
  session_.lastTrafficMs = clock_.NowMs();
  Reply reply;
  reply.kind = SimFrameKind::kSecured;
  reply.cmd = rec.cmd;
  reply.seq = rec.seq;
  reply.key = session_.key;  // before 's' ends the session: its acknowledgement is signed too
  rec.verdict = SimVerdict::kAnswered;
  reply.send = SecuredCommand(rec.cmd, rec.payload, rec, reply.payload);
  return reply;
}

}  // namespace orvu
