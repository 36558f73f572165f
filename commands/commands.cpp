// The controller commands: payloads travel in secured transactions and are handed to the
// configuration model's codecs.
#include "commands/commands.h"

#include <array>

namespace orvu {
namespace {

constexpr uint8_t kCmdDevList = 'D';
constexpr uint8_t kCmdReadPassages = 'C';
constexpr uint8_t kCmdDelLost = 'F';
constexpr uint8_t kCmdReplace = 'R';
constexpr int kPassageHead = 2;
constexpr int kPassageRecord = 44;

bool MayRead(const UdpDev& dev) { return dev.online && ConfigReadable(ModeOf(dev.mode)); }

}  // namespace

void ReadCfg(UdpDev& dev, CtrlConfig& cfg) {
  if (!MayRead(dev)) return;
  dev.NeedSession();
  std::array<uint8_t, kCfgBufferSize> devList;
  std::array<uint8_t, kCfgBufferSize> passages;
  const int devLen = dev.SecTransact(kCmdDevList, nullptr, 0, kCfgBufferSize, devList.data());
  const int passLen =
      dev.SecTransact(kCmdReadPassages, nullptr, 0, kCfgBufferSize, passages.data());
  // Only now, with both replies in hand, may the model change.
  DecodeDevList(cfg, devList.data(), static_cast<size_t>(devLen));
  DecodePassages(cfg, passages.data(), static_cast<size_t>(passLen));
}

bool CheckDevList(UdpDev& dev, CtrlConfig& cfg) {
  if (!MayRead(dev) || dev.HasForeignSession()) return false;
  // The caller has just run Status, so the status is not asked again.
  if (!dev.session) dev.OpenSession();
  std::array<uint8_t, kCfgBufferSize> devList;
  const int len = dev.SecTransact(kCmdDevList, nullptr, 0, kCfgBufferSize, devList.data());
  if (len == 0 || !DevListChanged(cfg, devList.data(), static_cast<size_t>(len))) return false;
  DecodeDevList(cfg, devList.data(), static_cast<size_t>(len));
  MarkUsage(cfg);
  return true;
}

void WriteCfg(UdpDev& dev, const CtrlConfig& cfg) {
  // The model's tables hold at most 16 passages; a count beyond them (or below 0) could only
  // be encoded from memory outside the model, so it is refused like an oversized payload,
  // before its length is computed (a count near the top of its type would overflow it).
  if (cfg.passageCount < 0 || cfg.passageCount > kMaxPassages)
    throw UErr(dev, ErrCode::kBufferSize, 0);
  const int n = kPassageRecord * cfg.passageCount + kPassageHead;
  if (n > kCfgBufferSize) throw UErr(dev, ErrCode::kBufferSize, 0);
  dev.NeedSession();
  std::array<uint8_t, kCfgBufferSize> payload{};
  const size_t encoded = EncodePassages(cfg, payload.data());
  if (encoded != static_cast<size_t>(n)) throw UErr(dev, ErrCode::kBufferSize, 0);
  dev.SecCommand(kCmdWritePassages, payload.data(), n);
}

void DelLost(UdpDev& dev) {
  dev.NeedSession();
  dev.SecCommand(kCmdDelLost, nullptr, 0);
}

void Replace(UdpDev& dev, ReplacePair pair) {
  dev.NeedSession();
  // Old (inactive) device index first, then the new one.
  const uint8_t payload[2] = {static_cast<uint8_t>(pair & 0xFF), static_cast<uint8_t>(pair >> 8)};
  dev.SecCommand(kCmdReplace, payload, 2);
}

}  // namespace orvu
