// orvusim: serves a scenario of simulated devices on real UDP until SIGINT or SIGTERM.
#include <signal.h>

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "comm/endpoint.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "sim/scenario.h"
#include "sim/udp_server.h"

namespace {

constexpr const char* kUsage =
    "Usage: orvusim [options] SCENARIO.json\n"
    "   or: orvusim [options] --builtin demo|small|large\n"
    "Serves the devices of a scenario on UDP, each answering from its own address.\n"
    "  --bind-port N      port of every device (default 45389; 0 picks a free one)\n"
    "  --base IP          give the devices consecutive addresses from IP on\n"
    "  --idle SECONDS     end sessions after SECONDS without traffic (default 30)\n"
    "  --log FILE         one line per datagram received and sent\n"
    "  --no-broadcast     do not listen on 0.0.0.0 for discovery broadcasts\n"
    "  --help             this text\n"
    "  --version          the program's version\n";

constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;

struct Options {
  std::string scenarioFile;
  std::string builtin;
  long port = orvu::kUdpPort;
  std::string base;
  long idleSeconds = -1;
  std::string logFile;
  bool broadcast = true;
};

bool ParseNumber(const std::string& text, long max, long& out) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 0 || value > max) return false;
  out = value;
  return true;
}

// Returns false (after saying why) on a usage error.
bool ParseOptions(int argc, char** argv, Options& options, bool& help) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        std::cerr << "orvusim: " << a << " needs a value\n";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string text;
    if (a == "--help" || a == "-h") {
      help = true;
    } else if (a == "--no-broadcast") {
      options.broadcast = false;
    } else if (a == "--bind-port") {
      if (!value(text) || !ParseNumber(text, 65535, options.port)) {
        std::cerr << "orvusim: --bind-port takes a port 0-65535\n";
        return false;
      }
    } else if (a == "--idle") {
      if (!value(text) || !ParseNumber(text, 86400, options.idleSeconds) ||
          options.idleSeconds == 0) {
        std::cerr << "orvusim: --idle takes 1-86400 seconds\n";
        return false;
      }
    } else if (a == "--base") {
      if (!value(options.base)) return false;
    } else if (a == "--log") {
      if (!value(options.logFile)) return false;
    } else if (a == "--builtin") {
      if (!value(options.builtin)) return false;
    } else if (!a.empty() && a[0] == '-') {
      std::cerr << "orvusim: unknown option " << a << "\n";
      return false;
    } else if (options.scenarioFile.empty()) {
      options.scenarioFile = a;
    } else {
      std::cerr << "orvusim: one scenario at a time\n";
      return false;
    }
  }
  if (help) return true;
  if (options.scenarioFile.empty() == options.builtin.empty()) {
    std::cerr << "orvusim: give a scenario file or --builtin NAME\n";
    return false;
  }
  return true;
}

const char* ModeWord(uint8_t mode) {
  static const char* names[] = {"Blokada", "Konfiguracja", "Serwis", "Instalacja"};
  return names[orvu::ModeNumber(orvu::ModeOf(mode))];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::cout << "orvusim " ORVU_VERSION "\n";
    return 0;
  }
  Options options;
  bool help = false;
  if (!ParseOptions(argc, argv, options, help)) {
    std::cerr << kUsage;
    return kExitUsage;
  }
  if (help) {
    std::cout << kUsage;
    return 0;
  }

  // The serving thread inherits this mask, so the signals reach sigwait() below only.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  try {
    orvu::Scenario scenario = options.builtin.empty() ? orvu::LoadScenarioFile(options.scenarioFile)
                                                      : orvu::BuiltinScenario(options.builtin);
    if (!options.base.empty()) orvu::RebaseAddresses(scenario, options.base);

    std::ofstream log;
    orvu::SimServerConfig config;
    config.port = uint16_t(options.port);
    config.listenBroadcast = options.broadcast;
    if (!options.logFile.empty()) {
      log.open(options.logFile, std::ios::app);
      if (!log) throw std::runtime_error("cannot write the log " + options.logFile);
      config.log = [&log](std::string_view line) { log << line << '\n' << std::flush; };
    }

    orvu::RealClock clock;
    orvu::SimUdpServer server(clock, config);
    for (orvu::SimDeviceConfig device : scenario.devices) {
      if (options.idleSeconds > 0) device.sessionIdleMs = int(options.idleSeconds * 1000);
      server.AddDevice(device);
    }
    server.Start();
    for (size_t i = 0; i < server.DeviceCount(); ++i) {
      orvu::SimDevice& d = server.Device(i);
      std::cout << "orvusim: " << orvu::DevName(d.Id()) << " (type " << orvu::TypeCode(d.Id())
                << ", " << ModeWord(d.Mode())
                << (d.HoldsForeignSession() ? ", another program's session" : "") << ") on " << d.Ip() << ":" << server.Port()
                << "\n";
    }
    std::cout << "orvusim: scenario " << (scenario.name.empty() ? "-" : scenario.name) << ", "
              << server.DeviceCount() << " devices on port " << server.Port()
              << (options.broadcast ? ", discovery broadcasts heard on 0.0.0.0" : "")
              << "; SIGINT or SIGTERM stops\n"
              << std::flush;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    std::cout << "orvusim: stopped\n";
  } catch (const std::exception& e) {
    std::cerr << "orvusim: " << e.what() << "\n";
    return kExitFailure;
  }
  return 0;
}
