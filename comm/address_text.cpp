#include "comm/address_text.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace orvu {
namespace {

bool IsIpv4(const std::string& text) {
  in_addr addr{};
  return inet_pton(AF_INET, text.c_str(), &addr) == 1;
}

}  // namespace

std::optional<uint16_t> ParsePortText(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > 65535) return std::nullopt;
  return static_cast<uint16_t>(v);
}

AddressText ParseAddressText(const std::string& text) {
  AddressText parsed;
  const size_t colon = text.find(':');
  parsed.ip = text.substr(0, colon);
  if (!IsIpv4(parsed.ip)) {
    parsed.problem = AddressProblem::kNotIpv4;
    return parsed;
  }
  if (colon == std::string::npos) return parsed;
  parsed.port = ParsePortText(text.substr(colon + 1));
  if (!parsed.port) parsed.problem = AddressProblem::kBadPort;
  return parsed;
}

}  // namespace orvu
