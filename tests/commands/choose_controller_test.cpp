// Choosing a controller against simulated devices over real loopback UDP: what the model holds
// afterwards, what is raised, what each device heard, and when the caller learns that the
// status was answered.
#include "commands/choose_controller.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "commands/commands.h"
#include "sim/scenario.h"
#include "tests/comm/raised.h"
#include "tests/sim/udp_fixture.h"

namespace orvu::test {
namespace {

constexpr unsigned kTerminalType = 101;  // T01: a network device that is no controller

// The commands of the datagrams the device was offered, in order.
std::string Heard(const SimDevice& device) {
  std::string commands;
  for (const SimRequest& r : device.Requests()) commands += static_cast<char>(r.cmd);
  return commands;
}

bool Empty(const CtrlConfig& cfg) {
  return cfg.deviceCount == 0 && cfg.listedCount == 0 && cfg.passageCount == 0;
}

using ChooseControllerOverUdp = UdpFixture;

TEST_F(ChooseControllerOverUdp, EmptiesTheModelFirstThenReadsOnlyAReadableController) {
  SimDeviceConfig silent = SmallInstallation(1302, "127.0.0.3", 2);
  silent.silent = true;
  SimDeviceConfig terminal;
  terminal.id = MakeIdentity(kTerminalType, 77);
  terminal.ip = "127.0.0.8";
  terminal.mode = 2;

  SimDevice& previous = server.AddDevice(SmallInstallation(1301, "127.0.0.2", 2));
  struct Case {
    const char* what;
    SimDevice& device;
    std::optional<ErrCode> code;
    bool answered;
    bool read;
    const char* heard;  // status query, then the full read's own status query and session
  };
  const Case cases[] = {
      {"no answer", server.AddDevice(silent), ErrCode::kNoAnswer, false, false, "OOO"},
      {"Blokada", server.AddDevice(SmallInstallation(1303, "127.0.0.4", 0)),
       ErrCode::kModeForbids, true, false, "O"},
      {"Konfiguracja", server.AddDevice(SmallInstallation(1304, "127.0.0.5", 1)),
       ErrCode::kModeForbids, true, false, "O"},
      {"Serwis", server.AddDevice(SmallInstallation(1305, "127.0.0.6", 2)), std::nullopt, true,
       true, "OOKDC"},
      {"Instalacja", server.AddDevice(SmallInstallation(1306, "127.0.0.7", 3)), std::nullopt,
       true, true, "OOKDC"},
      {"a terminal", server.AddDevice(terminal), std::nullopt, true, false, "O"},
  };
  Serve();

  const auto before = std::make_unique<CtrlConfig>();
  ReadCfg(Tool(previous), *before);
  ASSERT_FALSE(Empty(*before));

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto cfg = std::make_unique<CtrlConfig>(*before);
    UdpDev dev(c.device.Id(), ParseIp(c.device.Ip()), c.device.Mode());
    std::optional<std::string> heardWhenAnswered;
    bool emptyWhenAnswered = false;
    const auto code = ErrorCode([&] {
      ChooseController(dev, *cfg, [&] {
        heardWhenAnswered = Heard(c.device);
        emptyWhenAnswered = Empty(*cfg);
      });
    });
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(heardWhenAnswered.has_value(), c.answered);
    if (heardWhenAnswered) {
      EXPECT_EQ(*heardWhenAnswered, "O");  // told before anything of the read went out
      EXPECT_TRUE(emptyWhenAnswered);
    }
    EXPECT_EQ(Heard(c.device), c.heard);
    if (c.read) {
      EXPECT_EQ(cfg->deviceCount, 8);
      EXPECT_EQ(cfg->passageCount, 3);
      EXPECT_EQ(cfg->devices[0].id, c.device.BusDevices()[0].id);  // its own, not the previous
    } else {
      EXPECT_TRUE(Empty(*cfg));
    }
  }
}

}  // namespace
}  // namespace orvu::test
