// Controller addresses as typed: "ADDR" or "ADDR:PORT".
#include "comm/address_text.h"

#include <gtest/gtest.h>

namespace orvu {
namespace {

TEST(AddressText, AnAddressWithOrWithoutAPort) {
  using P = AddressProblem;
  const struct {
    const char* text;
    AddressProblem problem;
    const char* ip = "";  // kNone only
    std::optional<uint16_t> port = std::nullopt;
  } rows[] = {
      {"10.9.0.7", P::kNone, "10.9.0.7"},
      {"10.9.1.8:40000", P::kNone, "10.9.1.8", 40000},
      {"10.9.1.8:0", P::kNone, "10.9.1.8", 0},
      {"10.9.1.8:65535", P::kNone, "10.9.1.8", 65535},
      {"10.9.1.8:00080", P::kNone, "10.9.1.8", 80},
      {"10.9.0", P::kNotIpv4},
      {"10.9.0.256", P::kNotIpv4},
      {"K46_00125", P::kNotIpv4},
      {" 10.9.0.7", P::kNotIpv4},
      {"", P::kNotIpv4},
      {":45389", P::kNotIpv4},
      {"10.9.0:70000", P::kNotIpv4},  // the address is judged first
      {"10.9.1.8:65536", P::kBadPort},
      {"10.9.1.8:99999", P::kBadPort},
      {"10.9.1.8:", P::kBadPort},
      {"10.9.1.8:-1", P::kBadPort},
      {"10.9.1.8:+80", P::kBadPort},
      {"10.9.1.8:000080", P::kBadPort},
      {"10.9.1.8:80:81", P::kBadPort},
  };
  for (const auto& row : rows) {
    const AddressText parsed = ParseAddressText(row.text);
    EXPECT_EQ(parsed.problem, row.problem) << row.text;
    if (row.problem != P::kNone) continue;
    EXPECT_EQ(parsed.ip, row.ip) << row.text;
    EXPECT_EQ(parsed.port, row.port) << row.text;
  }
}

}  // namespace
}  // namespace orvu
