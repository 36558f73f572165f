// discover: the Ethernet list on the terminal.
#include <nlohmann/json.hpp>

#include "app/orvuq46-cli/cli_commands.h"
#include "app/orvuq46-cli/cli_text.h"
#include "comm/identity.h"

namespace orvu {

int RunDiscover(const CliRequest& request, CliLan& lan, std::ostream& out, std::ostream&) {
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
                    {"mode", dev.mode & 3},
                    {"modeText", Utf8(dev.ModeText())},
                    {"modeByte", dev.mode},
                    {"session", (dev.mode & kModeSession) != 0}});
  }
  out << list.dump(2) << '\n';
  return kExitOk;
}

}  // namespace orvu
