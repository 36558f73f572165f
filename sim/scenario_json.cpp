// Scenario files: JSON read with nlohmann-json, each value checked so that a mistake in a
// hand-written file is reported with its place instead of serving something else.
#include <arpa/inet.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <stdexcept>

#include "comm/identity.h"
#include "model/ctrlcfg.h"
#include "sim/passage_payload.h"
#include "sim/scenario.h"

namespace orvu {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw std::runtime_error("scenario: " + where + ": " + what);
}

unsigned Number(const json& v, const std::string& where, unsigned max) {
  if (!v.is_number_integer() || v.get<long long>() < 0 || v.get<long long>() > (long long)max)
    Fail(where, "expected a whole number 0-" + std::to_string(max));
  return v.get<unsigned>();
}

unsigned Number(const json& object, const char* key, const std::string& where, unsigned max,
                unsigned fallback) {
  auto it = object.find(key);
  return it == object.end() ? fallback : Number(*it, where + "." + key, max);
}

bool Flag(const json& object, const char* key, const std::string& where, bool fallback) {
  auto it = object.find(key);
  if (it == object.end()) return fallback;
  if (!it->is_boolean()) Fail(where + "." + key, "expected true or false");
  return it->get<bool>();
}

double Probability(const json& object, const char* key, const std::string& where) {
  auto it = object.find(key);
  if (it == object.end()) return 0;
  if (!it->is_number() || it->get<double>() < 0 || it->get<double>() > 1)
    Fail(where + "." + key, "expected a probability 0-1");
  return it->get<double>();
}

void OnlyKeys(const json& object, const std::set<std::string>& allowed, const std::string& where) {
  if (!object.is_object()) Fail(where, "expected an object");
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!allowed.count(it.key())) Fail(where, "unknown key \"" + it.key() + "\"");
  }
}

uint8_t Mode(const json& v, const std::string& where) {
  static const char* names[] = {"Blokada", "Konfiguracja", "Serwis", "Instalacja"};
  if (v.is_string()) {
    for (uint8_t m = 0; m < 4; ++m) {
      if (v.get<std::string>() == names[m]) return m;
    }
    Fail(where, "expected Blokada, Konfiguracja, Serwis or Instalacja");
  }
  return uint8_t(Number(v, where, 0x7F));
}

uint8_t State(const json& v, const std::string& where) {
  if (!v.is_array()) return uint8_t(Number(v, where, 255));
  uint8_t state = 0;
  for (const json& flag : v) {
    const std::string name = flag.is_string() ? flag.get<std::string>() : "";
    if (name == "inactive") state |= 0x80;
    else if (name == "power") state |= 0x40;
    else if (name == "tamper") state |= 0x20;
    else if (name == "new") state |= 0x10;
    else Fail(where, "state flags are inactive, power, tamper, new");
  }
  return state;
}

// "DEVICE:CHANNEL" or "DEVICE:CHANNEL:nc"; null or "-" unbound.
uint16_t Ref(const json& v, const std::string& where) {
  if (v.is_null() || (v.is_string() && v.get<std::string>() == "-")) return kSimNoRef;
  if (v.is_number_integer()) return uint16_t(Number(v, where, 0xFFFF));
  if (!v.is_string()) Fail(where, "expected \"DEVICE:CHANNEL\" or \"DEVICE:CHANNEL:nc\"");
  const std::string text = v.get<std::string>();
  // Digits only: sscanf would also take signs and blanks.
  size_t at = 0;
  auto number = [&](unsigned max, unsigned& out) {
    const size_t start = at;
    unsigned value = 0;
    while (at < text.size() && at - start < 4 && text[at] >= '0' && text[at] <= '9')
      value = value * 10 + unsigned(text[at++] - '0');
    out = value;
    return at > start && value <= max;
  };
  unsigned device = 0, channel = 0;
  bool ok = number(127, device) && at < text.size() && text[at++] == ':' && number(31, channel);
  const bool nc = ok && text.compare(at, std::string::npos, ":nc") == 0;
  if (!ok || (at != text.size() && !nc)) Fail(where, "bad reference \"" + text + "\"");
  return SimRef(device, channel, nc);
}

template <size_t N>
void Refs(const json& object, const char* key, const std::string& where,
          std::array<uint16_t, N>& slots) {
  auto it = object.find(key);
  if (it == object.end()) return;
  if (!it->is_array() || it->size() > N)
    Fail(where + "." + key, "expected at most " + std::to_string(N) + " references");
  for (size_t i = 0; i < it->size(); ++i)
    slots[i] = Ref((*it)[i], where + "." + key + "[" + std::to_string(i) + "]");
}

void NamedRef(const json& object, const char* key, const std::string& where, uint16_t& slot) {
  auto it = object.find(key);
  if (it != object.end()) slot = Ref(*it, where + "." + key);
}

SimPassage Passage(const json& p, const std::string& where) {
  OnlyKeys(p, {"type", "pulse", "openTime", "airlock", "handle", "fullPulse", "bolt", "reminder",
               "alarm", "cctv", "exitButton", "openDetector", "alarmDetector", "tamper",
               "readers", "outputs", "inputs", "params"},
           where);
  SimPassage g;
  if (auto it = p.find("params"); it != p.end()) {
    if (!it->is_array() || it->size() != 8) Fail(where + ".params", "expected 8 bytes");
    for (size_t i = 0; i < 8; ++i) g.params[i] = uint8_t(Number((*it)[i], where + ".params", 255));
  }
  Refs(p, "outputs", where, g.outputs);
  Refs(p, "inputs", where, g.inputs);
  Refs(p, "readers", where, g.readers);
  NamedRef(p, "bolt", where, g.outputs[0]);
  NamedRef(p, "reminder", where, g.outputs[1]);
  NamedRef(p, "alarm", where, g.outputs[2]);
  NamedRef(p, "cctv", where, g.outputs[3]);
  NamedRef(p, "exitButton", where, g.inputs[0]);
  NamedRef(p, "openDetector", where, g.inputs[1]);
  NamedRef(p, "alarmDetector", where, g.inputs[2]);
  NamedRef(p, "tamper", where, g.inputs[3]);

  uint8_t* params = g.params.data();
  SetPassageType(params, int(Number(p, "type", where, 15, PassageType(params))));
  SetBoltPulse(params, int(Number(p, "pulse", where, 255, BoltPulse(params))));
  SetOpenTime(params, int(Number(p, "openTime", where, 255, OpenTime(params))));
  if (p.contains("handle")) SetHandleOpening(params, Flag(p, "handle", where, false));
  if (p.contains("fullPulse")) SetFullBoltPulse(params, Flag(p, "fullPulse", where, false));
  if (auto it = p.find("airlock"); it != p.end())
    SetAirlock(params, it->is_null() ? -1 : int(Number(*it, where + ".airlock", 3)));
  return g;
}

SimBusRecord BusRecord(const json& r, const std::string& where) {
  OnlyKeys(r, {"id", "type", "serial", "suffix", "suffixNumber", "outputs", "inputs", "readers",
               "openCollector", "state"},
           where);
  uint32_t id = 0;
  if (auto it = r.find("id"); it != r.end()) {
    if (!it->is_number_unsigned() || it->get<unsigned long long>() > 0xFFFFFFFFull)
      Fail(where + ".id", "expected a 32-bit identity word");
    id = it->get<uint32_t>();
  } else {
    id = MakeIdentity(Number(r, "type", where, 1023, 0), Number(r, "serial", where, 65535, 0),
                      Number(r, "suffix", where, 3, 0), 0);
  }
  const unsigned outputs = Number(r, "outputs", where, 15, 0);
  if (outputs == 8) Fail(where + ".outputs", "8 outputs cannot be told apart from 1");
  auto state = r.find("state");
  return MakeBusRecord(id, uint8_t(Number(r, "suffixNumber", where, 255, 0)),
                       state == r.end() ? 0 : State(*state, where + ".state"), outputs,
                       Number(r, "inputs", where, 15, 0), Number(r, "readers", where, 3, 0),
                       Flag(r, "openCollector", where, false));
}

SimFaults Faults(const json& f, const std::string& where) {
  OnlyKeys(f, {"dropRequest", "dropReply", "duplicateReply", "delayReply", "delayMs", "corruptCrc",
               "corruptSignature", "otherIdentity", "junk", "seed"},
           where);
  SimFaults faults;
  faults.dropRequest = Probability(f, "dropRequest", where);
  faults.dropReply = Probability(f, "dropReply", where);
  faults.duplicateReply = Probability(f, "duplicateReply", where);
  faults.delayReply = Probability(f, "delayReply", where);
  faults.delayMs = int(Number(f, "delayMs", where, 60000, 0));
  faults.corruptCrc = Probability(f, "corruptCrc", where);
  faults.corruptSignature = Probability(f, "corruptSignature", where);
  faults.otherIdentity = Probability(f, "otherIdentity", where);
  faults.junk = Probability(f, "junk", where);
  faults.seed = Number(f, "seed", where, 0xFFFFFFFF, 1);
  return faults;
}

SimDeviceConfig Device(const json& d, const std::string& where) {
  OnlyKeys(d, {"type", "serial", "suffix", "ip", "mode", "silent", "foreignSession",
               "sessionIdleSeconds", "faults", "bus", "passages"},
           where);
  SimDeviceConfig config;
  config.id = MakeIdentity(Number(d, "type", where, 1023, kControllerType),
                           Number(d, "serial", where, 65535, 0), Number(d, "suffix", where, 3, 0));
  auto ip = d.find("ip");
  in_addr parsed{};
  if (ip == d.end() || !ip->is_string() || inet_pton(AF_INET, ip->get<std::string>().c_str(), &parsed) != 1)
    Fail(where + ".ip", "expected a dotted-decimal IPv4 address");
  config.ip = ip->get<std::string>();
  if (auto it = d.find("mode"); it != d.end()) config.mode = Mode(*it, where + ".mode");
  config.silent = Flag(d, "silent", where, false);
  if (auto it = d.find("foreignSession"); it != d.end()) {
    const std::string kind = it->is_string() ? it->get<std::string>() : "";
    if (kind == "none") config.foreignSession = SimForeignSession::kNone;
    else if (kind == "idle") config.foreignSession = SimForeignSession::kIdle;
    else if (kind == "held") config.foreignSession = SimForeignSession::kHeld;
    else Fail(where + ".foreignSession", "expected none, idle or held");
  }
  config.sessionIdleMs = int(Number(d, "sessionIdleSeconds", where, 86400, 30)) * 1000;
  if (auto it = d.find("faults"); it != d.end()) config.faults = Faults(*it, where + ".faults");

  const bool controller = DevClass(config.id) == kControllerClass;
  if (!controller && (d.contains("bus") || d.contains("passages")))
    Fail(where, "only a controller (type 3xx) has bus devices and passages");
  if (auto it = d.find("bus"); it != d.end()) {
    if (!it->is_array() || it->size() > 128) Fail(where + ".bus", "expected at most 128 records");
    for (size_t i = 0; i < it->size(); ++i)
      config.bus.push_back(BusRecord((*it)[i], where + ".bus[" + std::to_string(i) + "]"));
  } else if (controller) {
    config.bus.push_back(MakeBusRecord(config.id, 1, 0, 4, 4, 2));  // at least itself
  }
  if (auto it = d.find("passages"); it != d.end()) {
    if (!it->is_array() || it->size() > 16) Fail(where + ".passages", "expected at most 16");
    std::vector<SimPassage> passages;
    for (size_t i = 0; i < it->size(); ++i)
      passages.push_back(Passage((*it)[i], where + ".passages[" + std::to_string(i) + "]"));
    config.passages = EncodeSimPassages(passages);
  }
  return config;
}

}  // namespace

Scenario ParseScenario(std::string_view text) {
  json root = json::parse(text, nullptr, false);
  if (root.is_discarded()) Fail("file", "not valid JSON");
  OnlyKeys(root, {"name", "devices", "comment"}, "file");
  Scenario scenario;
  if (auto it = root.find("name"); it != root.end() && it->is_string())
    scenario.name = it->get<std::string>();
  auto devices = root.find("devices");
  if (devices == root.end() || !devices->is_array() || devices->empty())
    Fail("devices", "expected a list of devices");
  std::set<std::string> addresses;
  for (size_t i = 0; i < devices->size(); ++i) {
    const std::string where = "devices[" + std::to_string(i) + "]";
    scenario.devices.push_back(Device((*devices)[i], where));
    if (!addresses.insert(scenario.devices.back().ip).second)
      Fail(where + ".ip", "address " + scenario.devices.back().ip + " is used twice");
  }
  return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("scenario: cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  try {
    return ParseScenario(text.str());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(path + ": " + e.what());
  }
}

void RebaseAddresses(Scenario& scenario, const std::string& base) {
  in_addr addr{};
  if (inet_pton(AF_INET, base.c_str(), &addr) != 1)
    throw std::invalid_argument("not an IPv4 address: " + base);
  uint32_t next = ntohl(addr.s_addr);
  for (SimDeviceConfig& device : scenario.devices) {
    in_addr out{htonl(next++)};
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &out, text, sizeof text);
    device.ip = text;
  }
}

}  // namespace orvu
