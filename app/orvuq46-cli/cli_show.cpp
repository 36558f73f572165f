// show: what the window shows of a chosen controller, as text or as JSON.
#include <nlohmann/json.hpp>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "app/orvuq46-cli/passage_view.h"
#include "backup/backup_json.h"
#include "comm/cp1250.h"
#include "comm/identity.h"
#include "model/times.h"

namespace orvu {
namespace {

using Json = nlohmann::ordered_json;

constexpr size_t kLabelColumn = 25;

// "  LABEL: " padded so the values line up (Windows-1250: one byte per character).
std::string Row(const std::string& label, const std::string& value) {
  std::string line = "  " + label + ": ";
  if (line.size() < kLabelColumn) line.append(kLabelColumn - line.size(), ' ');
  return line + value + "\n";
}

std::string YesNo(bool yes) { return yes ? "tak" : "nie"; }

std::vector<ReplacePair> PairsOf(const CtrlConfig& cfg) {
  std::vector<ReplacePair> pairs(kMaxReplacePairs);
  pairs.resize(static_cast<size_t>(ReplacePairs(cfg, pairs.data())));
  return pairs;
}

std::string ShowText(const UdpDev& dev, const CtrlConfig& cfg) {
  static const std::string kDevices = Cp1250FromUtf8("Urządzenia:\n");
  static const std::string kReplacing = Cp1250FromUtf8("Zastępowanie:\n");
  static const std::string kPassage = Cp1250FromUtf8("Przejście ");
  static const std::string kType = Cp1250FromUtf8("Typ przejścia");
  static const std::string kPulse = Cp1250FromUtf8("Impuls otwarcia rygla");
  static const std::string kOpenTime = Cp1250FromUtf8("Dozw. czas otwarcia");
  static const std::string kHandle = Cp1250FromUtf8("Otwieranie klamką");
  static const std::string kFullPulse = Cp1250FromUtf8("Pełny impuls rygla");
  static const std::string kAirlock = Cp1250FromUtf8("Śluza");

  std::string text = "Kontroler: " + DevName(dev.id) + "\n";
  text += "Adres IP: " + dev.IpText() + "\n";
  text += "Tryb: " + dev.ModeText() + "\n\n";

  text += kDevices;
  for (int i = 0; i < cfg.listedCount; ++i) text += "  " + DevListLine(cfg.devices[cfg.listed[i]]) + "\n";
  text += kReplacing;
  const std::vector<ReplacePair> pairs = PairsOf(cfg);
  for (ReplacePair pair : pairs) text += "  " + PairText(cfg, pair) + "\n";
  if (pairs.empty()) text += "  ---\n";

  for (int p = 0; p < cfg.passageCount; ++p) {
    const uint8_t* params = cfg.params[p];
    text += "\n" + kPassage + std::to_string(p + 1) + "\n";
    for (const BindingRow& row : BindingRows()) {
      const IoRef ref = BoundRef(cfg, p, row);
      text += Row(row.label, BindingText(cfg, ref, row.table) + (HasNc(ref) ? " [NC]" : ""));
    }
    const std::string typeName = PassageTypeName(PassageType(params));
    text += Row(kType, typeName.empty() ? std::to_string(PassageType(params)) : typeName);
    text += Row(kPulse, TimeText(BoltPulse(params)) + " s");
    text += Row(kOpenTime, TimeText(OpenTime(params)) + " s");
    text += Row(kHandle, YesNo(HandleOpening(params)));
    text += Row(kFullPulse, YesNo(FullBoltPulse(params)));
    text += Row(kAirlock, AirlockText(params));
  }
  return text;
}

Json RefJson(const CtrlConfig& cfg, IoRef ref, IoTable table) {
  return Json{{"ref", ref == kNoRef ? Json(nullptr) : Json(ref)},
              {"text", Utf8(BindingText(cfg, ref, table))},
              {"nc", HasNc(ref)}};
}

Json ShowJson(const UdpDev& dev, const CtrlConfig& cfg) {
  Json devices = Json::array();
  for (int i = 0; i < cfg.listedCount; ++i) {
    const int index = static_cast<int>(cfg.listed[i]);
    const BusDev& bus = cfg.devices[index];
    devices.push_back({{"index", index},
                       {"line", Utf8(DevListLine(bus))},
                       {"name", Utf8(DevLongName(bus))},
                       {"id", bus.id},
                       {"state", bus.state},
                       {"stateText", Utf8(StateText(bus.state))},
                       {"outputs", bus.outputCount},
                       {"inputs", bus.inputCount},
                       {"readers", bus.readerCount},
                       {"openCollector", bus.ocOutputs}});
  }
  Json replacements = Json::array();
  for (ReplacePair pair : PairsOf(cfg)) {
    replacements.push_back(
        {{"pair", pair}, {"old", pair & 0xFF}, {"new", pair >> 8}, {"text", Utf8(PairText(cfg, pair))}});
  }
  Json passages = Json::array();
  for (int p = 0; p < cfg.passageCount; ++p) {
    const uint8_t* params = cfg.params[p];
    Json bindings = Json::object();
    for (const BindingRow& row : BindingRows()) bindings[row.key] = RefJson(cfg, BoundRef(cfg, p, row), row.table);
    Json passage{{"number", p + 1}, {"bindings", bindings}};
    passage.update(ParamFieldsJson(params));
    passage["airlockText"] = Utf8(AirlockText(params));
    passage["params"] = std::vector<int>(params, params + kParamBytes);
    passages.push_back(std::move(passage));
  }
  return Json{{"controller", Utf8(DevName(dev.id))},
              {"id", dev.id},
              {"ip", dev.IpText()},
              {"mode", ModeNumber(ModeOf(dev.mode))},
              {"modeText", Utf8(dev.ModeText())},
              {"devices", devices},
              {"replacements", replacements},
              {"passages", passages}};
}

}  // namespace

int RunShow(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream& err) {
  int status = kExitOk;
  UdpDev* dev = ChooseAndRead(request, lan, err, status);
  if (!dev) return status;
  if (request.json) {
    out << ShowJson(*dev, lan.Cfg()).dump(2) << '\n';
  } else {
    Put(out, ShowText(*dev, lan.Cfg()));
  }
  return kExitOk;
}

}  // namespace orvu
