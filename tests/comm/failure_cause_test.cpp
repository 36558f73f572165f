// The causes a user is told of, from the errno of the failing call and from the endpoint's
// real failures.
#include "comm/failure_cause.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <cstring>
#include <future>
#include <stdexcept>

#include "comm/posix_udp.h"
#include "comm/udpdev.h"
#include "tests/comm/loopback_peer.h"
#include "tests/comm/net_namespace.h"

namespace orvu::test {
namespace {

using C = FailureCause;

TEST(FailureCause, ErrnoOfASocketCallAndOfAFile) {
  // The same errno means another thing for a socket than for a file: EACCES on a broadcast
  // is the firewall, on a file the user's rights.
  const struct {
    int error;
    C network;
    C file;
  } cases[] = {
      {EADDRINUSE, C::kPortHeld, C::kOther},
      {ENETUNREACH, C::kNoNetwork, C::kOther},
      {ENETDOWN, C::kNoNetwork, C::kOther},
      {EHOSTUNREACH, C::kNoNetwork, C::kOther},
      {EADDRNOTAVAIL, C::kNoNetwork, C::kOther},
      {EACCES, C::kBroadcastRefused, C::kNoPermission},
      {EPERM, C::kBroadcastRefused, C::kNoPermission},
      {ENOSPC, C::kOther, C::kDiskFull},
      {EDQUOT, C::kOther, C::kDiskFull},
      {ENOENT, C::kOther, C::kFolderMissing},
      {ENOTDIR, C::kOther, C::kFolderMissing},
      {EROFS, C::kOther, C::kReadOnlyMedium},
      {EISDIR, C::kOther, C::kOther},
      {EMFILE, C::kOther, C::kOther},
      {EIO, C::kOther, C::kOther},
      {0, C::kOther, C::kOther},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    EXPECT_EQ(NetworkFailureCause(c.error), c.network);
    EXPECT_EQ(FileFailureCause(c.error), c.file);
  }
}

TEST(FailureCause, ErrorObjectsThatEscapeCommunication) {
  const UdpDev dev;
  const struct {
    const char* name;
    std::shared_ptr<std::exception> error;
    C cause;
  } cases[] = {
      {"endpoint error", std::make_shared<EndpointError>(EADDRINUSE, "bind", "0.0.0.0", 45389),
       C::kPortHeld},
      {"plain system error", std::make_shared<std::system_error>(ENETUNREACH, std::generic_category()),
       C::kNoNetwork},
      {"system category", std::make_shared<std::system_error>(EPERM, std::system_category()),
       C::kBroadcastRefused},
      {"another category",
       std::make_shared<std::system_error>(std::make_error_code(std::future_errc::no_state)), C::kOther},
      {"logic error", std::make_shared<std::logic_error>("no endpoint"), C::kOther},
      {"UErr", std::make_shared<UErr>(dev, ErrCode::kNoAnswer, 0), C::kOther},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CommFailureCause(*c.error), c.cause);
  }
}

TEST(FailureCause, PortHeldByAnotherSocketNamesThatPort) {
  LoopbackPeer holder("127.0.0.1");  // bound without address reuse
  UdpConfig config;
  config.bindIp = "127.0.0.1";
  config.bindPort = holder.Port();
  try {
    PosixUdpEndpoint endpoint(config);
    FAIL() << "bind succeeded";
  } catch (const EndpointError& e) {
    EXPECT_EQ(CommFailureCause(e), C::kPortHeld);
    EXPECT_EQ(e.port, holder.Port());
    EXPECT_EQ(e.ip, "127.0.0.1");
  }
}

TEST(FailureCause, BroadcastWithoutAnyNetworkIsNoNetwork) {
  int refused = 0;
  auto endpoint = MadeWithoutNetwork(
      [] {
        UdpConfig config;
        config.bindPort = 0;
        return std::make_unique<PosixUdpEndpoint>(config);
      },
      &refused);
  if (!endpoint) GTEST_SKIP() << "cannot create a network namespace: " << std::strerror(refused);
  const uint8_t request[12] = {};
  try {
    (*endpoint)->Broadcast(request, sizeof request);
    FAIL() << "a broadcast left a computer without network";
  } catch (const EndpointError& e) {  // the first refusal, whole: with its address
    EXPECT_EQ(CommFailureCause(e), C::kNoNetwork) << e.what();
    EXPECT_EQ(e.ip, "255.255.255.255");
    EXPECT_EQ(e.port, kUdpPort);
  }
}

}  // namespace
}  // namespace orvu::test
