// The endpoint options every command takes, before or after it.
#include "app/orvuq46-cli/endpoint_options.h"

#include <gtest/gtest.h>

#include "app/orvuq46-cli/cli_args.h"

namespace orvu {
namespace {

using Targets = std::vector<std::pair<std::string, uint16_t>>;

TEST(EndpointOptions, AddressAsksDirectlyBesidesTheBroadcast) {
  const struct {
    std::vector<std::string> args;
    Targets expected;
  } rows[] = {
      {{"discover"}, {{"255.255.255.255", 45389}}},
      {{"discover", "--address", "10.9.0.7"}, {{"255.255.255.255", 45389}, {"10.9.0.7", 45389}}},
      {{"--address", "10.9.0.7", "show", "K46_00125", "--address", "10.9.1.8:40000"},
       {{"255.255.255.255", 45389}, {"10.9.0.7", 45389}, {"10.9.1.8", 40000}}},
      {{"discover", "--device-port", "40001", "--address", "10.9.0.7"},
       {{"255.255.255.255", 40001}, {"10.9.0.7", 40001}}},
      {{"--address", "127.0.0.3", "discover", "--broadcast-to", "127.0.0.2"},
       {{"127.0.0.2", 45389}, {"127.0.0.3", 45389}}},
  };
  for (const auto& row : rows) {
    std::vector<std::string> args = row.args;
    EXPECT_EQ(TakeEndpointOptions(args).broadcastTo, row.expected) << row.args[0];
    for (const std::string& word : args) EXPECT_NE(word, "--address");
  }
  for (std::vector<std::string> bad : {std::vector<std::string>{"discover", "--address"},
                                       {"discover", "--address", "10.9.0"},
                                       {"discover", "--address", "K46_00125"},
                                       {"discover", "--address", "10.9.0.7:70000"}})
    EXPECT_THROW(TakeEndpointOptions(bad), UsageError) << bad.back();
}

}  // namespace
}  // namespace orvu
