// The orvusim program itself, run on each shipped scenario: it answers a discovery, a session
// and a full read over loopback, logs the datagrams, and stops cleanly on SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <thread>

#include "commands/commands.h"
#include "comm/posix_udp.h"
#include "comm/udpdev.h"
#include "model/ctrlcfg.h"

namespace orvu {
namespace {

// Every program of the build lands in one folder: orvusim sits next to this test.
std::string OrvusimPath() {
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string path(self, n > 0 ? size_t(n) : 0);
  return path.substr(0, path.rfind('/') + 1) + "orvusim";
}

// orvusim as a child process; its start-up lines tell where each device listens.
class OrvusimProcess {
 public:
  explicit OrvusimProcess(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      close(fds[0]);
      close(fds[1]);
      std::string program = OrvusimPath();
      std::vector<char*> argv{program.data()};
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(fds[1]);
    out_ = fdopen(fds[0], "r");
    char line[512];
    while (std::fgets(line, sizeof line, out_)) {
      std::string text(line);
      startup += text;
      if (text.rfind("orvusim: scenario", 0) == 0) break;
      const size_t on = text.rfind(" on ");
      const size_t colon = text.rfind(':');
      if (on == std::string::npos || colon < on) continue;
      addresses.emplace_back(text.substr(on + 4, colon - on - 4),
                             uint16_t(std::stoi(text.substr(colon + 1))));
    }
  }
  ~OrvusimProcess() {
    if (pid_ > 0 && !stopped_) Stop();
    if (out_) std::fclose(out_);
  }
  // SIGTERM; returns the exit status.
  int Stop() {
    stopped_ = true;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::vector<std::pair<std::string, uint16_t>> addresses;
  std::string startup;

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
  bool stopped_ = false;
};

// A read that may meet a lossy link: the loss errors are retried, after the idle time when
// the controller kept a session whose opening was lost.
bool ReadEventually(UdpDev& dev, CtrlConfig& cfg) {
  for (int attempt = 0; attempt < 20; ++attempt) {
    try {
      dev.Status();
      ReadCfg(dev, cfg);
      if (cfg.deviceCount > 0) return true;
    } catch (const UErr& e) {
      if (e.code == ErrCode::kForeignSession || e.code == ErrCode::kSessionRefused)
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    }
  }
  return false;
}

class OrvusimScenario : public testing::TestWithParam<const char*> {};

TEST_P(OrvusimScenario, AnswersDiscoverySessionAndFullRead) {
  ASSERT_EQ(access(OrvusimPath().c_str(), X_OK), 0) << "orvusim is not built next to this test";
  const std::string file = std::string(ORVU_SOURCE_DIR) + "/sim/scenarios/" + GetParam();
  const std::string log = testing::TempDir() + "orvusim-" + GetParam() + ".log";
  std::remove(log.c_str());
  OrvusimProcess sim({"--bind-port", "0", "--no-broadcast", "--idle", "1", "--log", log, file});
  ASSERT_FALSE(sim.addresses.empty()) << sim.startup;

  {
    UdpConfig config;
    config.bindIp = "127.0.0.1";
    config.bindPort = 0;
    config.devicePort = sim.addresses[0].second;
    config.broadcastTo = sim.addresses;
    PosixUdpEndpoint endpoint(config);
    SetEndpoint(&endpoint);
    {
      UdpDevSet set;
      for (int i = 0; i < 5 && set.count < int(sim.addresses.size()); ++i) set.Search();
      ASSERT_EQ(set.count, int(sim.addresses.size()));
      for (int i = 0; i < set.count; ++i) {
        UdpDev& dev = set.dev[i];
        SCOPED_TRACE(dev.IpText());
        CtrlConfig cfg;
        if (!ConfigReadable(ModeOf(dev.mode))) {
          ReadCfg(dev, cfg);  // Konfiguracja: the tool does not ask
          EXPECT_EQ(cfg.deviceCount, 0);
          // The controller still keeps a session and shows its bus devices.
          dev.NeedSession();
          uint8_t list[kCfgBufferSize];
          EXPECT_GT(dev.SecTransact('D', nullptr, 0, sizeof list, list), 2);
          continue;
        }
        if (dev.HasForeignSession()) {
          EXPECT_THROW(ReadCfg(dev, cfg), UErr);
          // The one whose other program has gone frees itself after the idle time.
          for (int k = 0; k < 15 && dev.HasForeignSession(); ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            dev.Status();
          }
          if (dev.HasForeignSession()) continue;  // held: it stays foreign
        }
        ASSERT_TRUE(ReadEventually(dev, cfg));
        EXPECT_TRUE(dev.session);
        EXPECT_GT(cfg.listedCount, 0);
      }
    }  // the set closes its sessions while orvusim still runs
    SetEndpoint(nullptr);
  }
  EXPECT_EQ(sim.Stop(), 0);

  std::ifstream in(log);
  std::string line, all;
  bool received = false, sent = false;
  while (std::getline(in, line)) {
    received |= line.find(" recv ") != std::string::npos;
    sent |= line.find(" send ") != std::string::npos;
  }
  EXPECT_TRUE(received && sent) << "log " << log;
}

INSTANTIATE_TEST_SUITE_P(Shipped, OrvusimScenario,
                         testing::Values("small.json", "large.json", "konfiguracja.json",
                                         "foreign.json", "lossy.json"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace orvu
