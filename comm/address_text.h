// One controller address as a user types it: "ADDR" or "ADDR:PORT". The command line reads its
// --address (and its lab options) with it, the window its list of controllers behind a router;
// each words the problem in its own language.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvu {

// Why a text is no controller address: not a dotted IPv4 address, or no port 0-65535 after
// the colon.
enum class AddressProblem { kNone, kNotIpv4, kBadPort };

struct AddressText {
  std::string ip;                // the part before the colon, as typed
  std::optional<uint16_t> port;  // none without a colon: the caller's default port
  AddressProblem problem = AddressProblem::kNone;
};

AddressText ParseAddressText(const std::string& text);

// 0-65535 in decimal digits, at most five of them; nothing for anything else.
std::optional<uint16_t> ParsePortText(const std::string& text);

}  // namespace orvu
