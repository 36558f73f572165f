#include "tests/comm/scripted_controller.h"

#include <cstring>

namespace orvu::test {

ScriptedController::ScriptedController(LoopbackPeer& peer, uint32_t id) : peer_(peer), id_(id) {
  peer_.Serve([this](const Bytes& request) { return Handle(request); });
}

ScriptedController::~ScriptedController() { peer_.Serve(nullptr); }

std::string ScriptedController::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

Bytes ScriptedController::SecuredPayload(uint8_t cmd, int n) const {
  std::lock_guard lock(mutex_);
  for (const Bytes& r : secured_)
    if (r[10] == cmd && n-- == 0) return Bytes(r.begin() + 11, r.end() - 8);
  return {};
}

bool ScriptedController::AllSignaturesValid() const {
  std::lock_guard lock(mutex_);
  return !badSignature_;
}

void ScriptedController::SetKey(const uint8_t* key) {
  std::lock_guard lock(mutex_);
  std::memcpy(key_, key, 16);
}

std::vector<Bytes> ScriptedController::Handle(const Bytes& r) {
  std::lock_guard lock(mutex_);
  if (r.size() == 12 && r[0] == 'M' && r[1] == 'M' && r[2] == 'D' && Le32(&r[4]) == id_) {
    commands_ += static_cast<char>(r[3]);
    if (r[3] == 'O') {
      if (statusSilent) return {};
      Bytes block(16, 0);
      block[2] = mode;
      block[3] = '1';
      return {PlainReply('O', id_, block)};
    }
    if (r[3] == 'K') {
      // key = AES-128(key: seed, block: seed)
      if (seed.size() == 16) {
        Bytes key = ReferenceAesEncrypt(seed.data(), seed.data());
        std::memcpy(key_, key.data(), 16);
        if (trackSession) mode |= 0x80;
      }
      return {PlainReply('K', id_, seed)};
    }
    return {};
  }
  if (r.size() >= 19 && r[0] == 'M' && r[3] == 'C' && Le32(&r[4]) == id_) {
    commands_ += static_cast<char>(r[10]);
    secured_.push_back(r);
    if (!ReferenceSignatureValid(key_, r)) {
      badSignature_ = true;
      return {};
    }
    auto it = replies.find(r[10]);
    if (it == replies.end()) return {};
    if (r[10] == 's' && trackSession) mode &= ~0x80;
    return {SecuredReply(key_, id_, r[10] | 0x80, it->second)};
  }
  return {};
}

}  // namespace orvu::test
