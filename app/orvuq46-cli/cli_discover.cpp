// discover: the Ethernet list on the terminal.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "comm/identity.h"

namespace orvu {
namespace {

std::string Where(const BroadcastTarget& target) {
  if (!target.interface.empty()) return "broadcast on " + target.interface + " (" + target.local + ")";
  if (target.ip == "255.255.255.255") return "broadcast on the interface the routing table picks";
  return "asked directly";
}

int PrintTargets(const CliRequest& request, std::ostream& out) {
  const std::vector<BroadcastTarget> targets = TheEndpoint().BroadcastTargets();
  if (!request.json) {
    for (const BroadcastTarget& t : targets) {
      std::string address = t.ip + ":" + std::to_string(t.port);
      address.resize(std::max<size_t>(address.size(), 21), ' ');
      out << address << "  " << Where(t) << '\n';
    }
    return kExitOk;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const BroadcastTarget& t : targets)
    list.push_back({{"ip", t.ip}, {"port", t.port}, {"interface", t.interface}, {"address", t.local}});
  out << list.dump(2) << '\n';
  return kExitOk;
}

}  // namespace

int RunDiscover(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream&) {
  if (request.interfaces) return PrintTargets(request, out);
  UdpDevSet& set = lan.Set();
  SearchOnce(set);
  if (!request.json) {
    for (int i = 0; i < set.count; ++i) {
      Put(out, set.dev[i].ListText());
      out << '\n';
    }
    return kExitOk;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (int i = 0; i < set.count; ++i) {
    const UdpDev& dev = set.dev[i];
    list.push_back({{"name", Utf8(DevName(dev.id))},
                    {"id", dev.id},
                    {"ip", dev.IpText()},
                    {"mode", ModeNumber(ModeOf(dev.mode))},
                    {"modeText", Utf8(dev.ModeText())},
                    {"modeByte", dev.mode},
                    {"session", (dev.mode & kModeSession) != 0}});
  }
  out << list.dump(2) << '\n';
  return kExitOk;
}

}  // namespace orvu
