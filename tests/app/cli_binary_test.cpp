// The built program as a user runs it: exit statuses and the one-line port message.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "comm/identity.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result RunProgram(const std::string& arguments) {
  TempDir dir;
  const std::string command = std::string("'") + ORVU_CLI_PATH + "' " + arguments + " >'" + dir.File("out") +
                              "' 2>'" + dir.File("err") + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir.File("out")), ReadBytes(dir.File("err"))};
}

TEST(CliProgram, HelpAndUsageErrors) {
  const Result help = RunProgram("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: orvuq46-cli", 0), 0u);
  const Result usage = RunProgram("show");
  EXPECT_EQ(usage.status, 10);
  EXPECT_NE(usage.err.find("Try 'orvuq46-cli show --help'."), std::string::npos);
  EXPECT_EQ(RunProgram("--device-port 0 discover").status, 10);
}

// Whoever holds the port, the program says so in one line instead of sharing it unnoticed.
TEST(CliProgram, TakenPortIsOneClearLine) {
  const int holder = socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(holder, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
  socklen_t len = sizeof local;
  getsockname(holder, reinterpret_cast<sockaddr*>(&local), &len);
  const std::string port = std::to_string(ntohs(local.sin_port));

  const Result r = RunProgram("discover --local 127.0.0.1:" + port);
  // Listing where a search would send takes no port.
  const Result listing = RunProgram("discover --interfaces --broadcast-to 127.0.0.2 --local 127.0.0.1:" + port);
  close(holder);
  EXPECT_EQ(listing.status, 0) << listing.err;
  EXPECT_EQ(listing.out, "127.0.0.2:45389        asked directly\n");
  EXPECT_EQ(r.status, 12);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_NE(r.err.find("UDP port " + port + " is in use"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
}

// The lab options reach a simulator on another port, as with orvusim.
TEST(CliProgram, LabOptionsReachASimulator) {
  ManualClock clock;
  SimUdpServer server(clock);
  server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
  server.Start();
  const Result r = RunProgram("discover --local 127.0.0.1:0 --device-port " + std::to_string(server.Port()) +
                              " --broadcast-to 127.0.0.2");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, " K46_01201,  127.0.0.2,  Serwis\n");
}

// A controller no broadcast reaches is found, shown and reported when named with --address.
TEST(CliProgram, AddressAsksAControllerDirectly) {
  ManualClock clock;
  SimUdpServer server(clock);
  server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
  server.AddDevice(SmallInstallation(1202, "127.0.0.3", 2));
  server.Start();
  const std::string lab = " --local 127.0.0.1:0 --device-port " + std::to_string(server.Port()) +
                          " --broadcast-to 127.0.0.2";
  EXPECT_EQ(RunProgram("discover" + lab).out, " K46_01201,  127.0.0.2,  Serwis\n");
  const Result found = RunProgram("discover --address 127.0.0.3" + lab);
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, " K46_01201,  127.0.0.2,  Serwis\n K46_01202,  127.0.0.3,  Serwis\n");
  const Result shown = RunProgram("--address 127.0.0.3 show K46_01202 --json" + lab);
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\"127.0.0.3\""), std::string::npos) << shown.out;
  TempDir dir;
  const Result reported = RunProgram("report 127.0.0.3 -o '" + dir.File("r.txt") + "' --address 127.0.0.3" + lab);
  EXPECT_EQ(reported.status, 0) << reported.err;
  EXPECT_FALSE(ReadBytes(dir.File("r.txt")).empty());
  EXPECT_EQ(RunProgram("discover --address 127.0.0" + lab).status, 10);
  EXPECT_EQ(RunProgram("discover --address").status, 10);
}

}  // namespace
}  // namespace orvu::test
