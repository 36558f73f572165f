// A controller as the tool's peer sees it, scripted just far enough for the session and
// command cases: status block, seed and its own copy of the session key (derived with
// OpenSSL), signature check of every secured request, and a reply or silence per command.
#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "tests/comm/loopback_peer.h"

namespace orvu::test {

class ScriptedController {
 public:
  ScriptedController(LoopbackPeer& peer, uint32_t id);
  ~ScriptedController();  // the peer stops calling into this object before it goes
  ScriptedController(const ScriptedController&) = delete;
  ScriptedController& operator=(const ScriptedController&) = delete;

  // What the controller answers; set before the tool acts (read under the peer's lock).
  uint8_t mode = 0x02;
  Bytes seed = Bytes(16, 0x5A);
  bool statusSilent = false;
  // Secured commands: payload of the reply; a command not listed here gets no reply.
  std::map<uint8_t, Bytes> replies = {{'S', {6}}, {'s', {6}}, {'F', {6}}, {'R', {6}}, {'c', {6}}};
  // Sets bit 7 of the mode on 'K' and clears it on 's', as a real controller does.
  bool trackSession = true;

  // Changes the script while the peer may be serving.
  template <class F>
  void Edit(F&& f) {
    std::lock_guard lock(mutex_);
    f(*this);
  }

  // The commands received, in order: plain ones by their command byte, secured ones too.
  std::string Commands() const;
  // Payload of the n-th secured request of command cmd.
  Bytes SecuredPayload(uint8_t cmd, int n = 0) const;
  // Every secured request verified against the controller's own key.
  bool AllSignaturesValid() const;
  const uint8_t* Key() const { return key_; }
  void SetKey(const uint8_t* key);

 private:
  std::vector<Bytes> Handle(const Bytes& request);

  LoopbackPeer& peer_;
  uint32_t id_;
  uint8_t key_[16] = {};
  mutable std::mutex mutex_;
  std::string commands_;
  std::vector<Bytes> secured_;
  bool badSignature_ = false;
};

}  // namespace orvu::test
