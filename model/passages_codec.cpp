// The passage-configuration payload: 2-byte head, 18 references per passage, then the
// 8-byte parameter blocks.
#include <cstring>

#include "comm/le.h"
#include "model/ctrlcfg.h"
#include "model/rows.h"
#include "model/usage.h"

namespace orvu {

namespace {

constexpr size_t kPassageHead = 2;
constexpr uint8_t kRefsPerPassage = kOutputSlots + kInputSlots + kReaderSlots;  // 18
constexpr size_t kRefBytes = 2 * kRefsPerPassage;                               // 36
constexpr uint8_t kWrittenMark = 0x80;
constexpr uint8_t kMaxTimeByte = 127;

constexpr size_t PayloadSize(int passages) { return kPassageHead + (kRefBytes + kParamBytes) * passages; }

// Calls f(kind, ref) for every reference slot of passage p, in payload order.
template <typename Config, typename F>
void ForEachSlot(Config& cfg, int p, F f) {
  for (auto& r : cfg.outRefs[p]) f(kKindOutputs, r);
  for (auto& r : cfg.inRefs[p]) f(kKindInputs, r);
  for (auto& r : cfg.rdRefs[p]) f(kKindReaders, r);
}

void MarkPassage(CtrlConfig& cfg, int p) {
  ForEachSlot(cfg, p, [&](int kind, IoRef& r) { SetUsageBit(cfg, kind, r, true); });
}

void EmptyPassage(CtrlConfig& cfg, int p) {
  ForEachSlot(cfg, p, [](int, IoRef& r) { r = kNoRef; });
  std::memset(cfg.params[p], 0, kParamBytes);
}

}  // namespace

bool DecodePassages(CtrlConfig& cfg, const uint8_t* payload, size_t len) {
  const int n = (payload && len >= kPassageHead) ? (payload[0] & 0x7F) : -1;
  if (n < 0 || n > kMaxPassages || payload[1] != kRefsPerPassage || len < PayloadSize(n)) {
    // The editor shows itself disabled on an empty model; nothing of the refused reply remains.
    cfg.deviceCount = 0;
    cfg.listedCount = 0;
    cfg.passageCount = 0;
    return false;
  }
  cfg.passageCount = n;
  const uint8_t* refs = payload + kPassageHead;
  for (int p = 0; p < n; ++p) {
    ForEachSlot(cfg, p, [&](int, IoRef& r) {
      r = GetLe16(refs);
      refs += 2;
    });
    MarkPassage(cfg, p);
  }
  const uint8_t* params = payload + kPassageHead + kRefBytes * n;
  for (int p = 0; p < n; ++p, params += kParamBytes) {
    std::memcpy(cfg.params[p], params, 4);
    // The times and their neighbours are 7-bit on the controller's side.
    for (int b = 4; b < kParamBytes; ++b) cfg.params[p][b] = params[b] > kMaxTimeByte ? kMaxTimeByte : params[b];
  }
  for (int p = n; p < kMaxPassages; ++p) EmptyPassage(cfg, p);
  return true;
}

size_t EncodePassages(const CtrlConfig& cfg, uint8_t* out) {
  const int n = PassageRows(cfg);
  out[0] = static_cast<uint8_t>(n | kWrittenMark);
  out[1] = kRefsPerPassage;
  uint8_t* refs = out + kPassageHead;
  for (int p = 0; p < n; ++p) {
    ForEachSlot(cfg, p, [&](int, IoRef r) {
      PutLe16(refs, r);
      refs += 2;
    });
  }
  for (int p = 0; p < n; ++p, refs += kParamBytes) std::memcpy(refs, cfg.params[p], kParamBytes);
  return PayloadSize(n);
}

bool SamePassages(const CtrlConfig& a, const CtrlConfig& b) {
  uint8_t payloadA[kMaxPassagePayload];
  uint8_t payloadB[kMaxPassagePayload];
  const size_t n = EncodePassages(a, payloadA);
  return n == EncodePassages(b, payloadB) && std::memcmp(payloadA, payloadB, n) == 0;
}

void MarkUsage(CtrlConfig& cfg) {
  for (int p = 0; p < PassageRows(cfg); ++p) MarkPassage(cfg, p);
}

void RecountUsage(CtrlConfig& cfg) {
  for (BusDev& dev : cfg.devices) dev.usedOutputs = dev.usedInputs = dev.usedReaders = 0;
  MarkUsage(cfg);
}

}  // namespace orvu
