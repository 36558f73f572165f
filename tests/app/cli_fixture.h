// orvuq46-cli's commands run in-process against simulated devices served on real loopback UDP
// (127.0.0.2, 127.0.0.3, ... on a free port), through a PosixUdpEndpoint on 127.0.0.1.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/orvuq46-cli/cli.h"
#include "comm/posix_udp.h"
#include "model/ctrlcfg.h"
#include "sim/clock.h"
#include "sim/device.h"
#include "sim/udp_server.h"
#include "tests/sim/tool_endpoint.h"

namespace orvu::test {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// A directory of its own per test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvu-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the tool decodes from the device's stored payloads, for comparing against the output.
inline std::unique_ptr<CtrlConfig> ModelOf(SimDevice& device) {
  auto cfg = std::make_unique<CtrlConfig>();
  Clear(*cfg);
  const std::vector<uint8_t> list = device.DevListPayload();
  const std::vector<uint8_t> passages = device.Passages();
  DecodeDevList(*cfg, list.data(), list.size());
  DecodePassages(*cfg, passages.data(), passages.size());
  return cfg;
}

class CliFixture : public testing::Test {
 protected:
  void Serve(int timeoutMs = kReceiveTimeoutMs) {
    server.Start();
    endpoint = std::make_unique<PosixUdpEndpoint>(ToolEndpointConfig(server, timeoutMs));
  }

  CliRun Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    CliRun run;
    run.status = RunCli(args, *endpoint, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
  }

  ManualClock clock;
  SimUdpServer server{clock};
  std::unique_ptr<PosixUdpEndpoint> endpoint;
};

}  // namespace orvu::test
