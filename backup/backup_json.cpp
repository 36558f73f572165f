#include "backup/backup_json.h"

#include "backup/backup_file.h"
#include "comm/cp1250.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "model/params.h"
#include "model/times.h"

namespace orvu {
namespace {

using Json = BackupJsonValue;

std::string Utf8(const std::string& cp1250) { return Utf8FromCp1250(cp1250); }

}  // namespace

Json ControllerJson(const Backup& backup) {
  return Json{{"name", DevName(backup.controllerId)},
              {"id", backup.controllerId},
              {"ip", backup.ip},
              {"mode", ModeNumber(backup.mode)},
              {"modeText", Utf8(ModeName(backup.mode))}};
}

Json DeviceJson(const BackupDevice& device) {
  BusDev bus;
  bus.id = device.id;
  bus.suffixNumber = device.suffixNumber;
  return Json{{"index", device.index},
              {"name", Utf8(DevLongName(bus))},
              {"id", device.id},
              {"suffix", std::string(1, static_cast<char>('A' + SuffixIndex(device.id)))},
              {"suffixNumber", device.suffixNumber},
              {"outputs", device.outputs},
              {"inputs", device.inputs},
              {"readers", device.readers},
              {"openCollector", device.openCollector},
              {"state", device.state},
              {"stateText", Utf8(StateText(device.state))}};
}

Json RefJson(const BackupRef& ref) {
  switch (ref.kind) {
    case BackupRef::Kind::kNone: return nullptr;
    case BackupRef::Kind::kUnresolved: return Json{{"unresolved", ref.raw}};
    case BackupRef::Kind::kDevice: break;
  }
  return Json{{"device", DevName(ref.id)}, {"id", ref.id}, {"channel", ref.channel + 1}, {"nc", ref.nc}};
}

Json ParamFieldsJson(const uint8_t* params) {
  const int airlock = AirlockOf(params);
  return Json{{"type", PassageType(params)},
              {"typeText", Utf8(PassageTypeName(PassageType(params)))},
              {"pulse", BoltPulse(params)},
              {"pulseText", TimeText(BoltPulse(params))},
              {"openTime", OpenTime(params)},
              {"openTimeText", TimeText(OpenTime(params))},
              {"handle", HandleOpening(params)},
              {"fullPulse", FullBoltPulse(params)},
              {"airlock", airlock < 0 ? Json(nullptr) : Json(airlock + 1)}};
}

Json PassageJson(const BackupPassage& passage, int number) {
  Json bindings = Json::object();
  for (int k = 0; k < kPassageSlots; ++k) bindings[SlotAt(k).key] = RefJson(passage.slots[k]);
  const uint8_t* params = passage.params;
  Json json{{"number", number},
            {"bindings", bindings},
            {"params", std::vector<int>(params, params + kParamBytes)}};
  json.update(ParamFieldsJson(params));
  return json;
}

Json BackupJson(const Backup& backup) {
  Json devices = Json::array();
  for (const BackupDevice& device : backup.devices) devices.push_back(DeviceJson(device));
  Json passages = Json::array();
  for (size_t p = 0; p < backup.passages.size(); ++p)
    passages.push_back(PassageJson(backup.passages[p], static_cast<int>(p + 1)));
  return Json{{"format", kBackupFormat},
              {"version", kBackupVersion},
              {"taken", backup.taken},
              {"controller", ControllerJson(backup)},
              {"devices", devices},
              {"passages", passages}};
}

std::string BackupFileText(const Backup& backup) { return BackupJson(backup).dump(2) + "\n"; }

}  // namespace orvu
