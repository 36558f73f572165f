// The verified write and the patient read against simulated controllers over real loopback UDP,
// with a network in front of the tool's endpoint that loses what each case says: the retry
// rules (what is tried again, how often, what is noted), and what the outcome tells.
#include "commands/verified_write.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/choose_controller.h"
#include "commands/commands.h"
#include "comm/frames.h"
#include "comm/identity.h"
#include "sim/scenario.h"
#include "tests/comm/raised.h"
#include "tests/sim/udp_fixture.h"

namespace orvu::test {
namespace {

// The command of a request sent to one device: a secured one's, or a plain one's (the status
// query's "MMDO" too; discovery goes by Broadcast).
uint8_t CommandOf(const uint8_t* data, size_t len) {
  const std::string head(reinterpret_cast<const char*>(data), len < 4 ? len : 4);
  if (len >= kSecuredOverhead && head == "MMDC") return data[kSecuredCmdOffset];
  if (len == kPlainRequestSize && head.substr(0, 3) == "MMD") return data[3];
  return 0;
}

// The tool's endpoint behind a network that loses the requests of one command until the
// patient caller has noted so many retries, and the replies to the passage write, or lets
// something happen to the controller once the write's acknowledgement has arrived.
class MeddlingNetwork : public Endpoint {
 public:
  explicit MeddlingNetwork(Endpoint& inner) : inner_(inner) {}

  uint8_t lostCommand = 0;
  int lostUntilNotes = 0;
  bool acksLost = false;
  std::function<void()> afterAck;
  std::vector<std::string> notes;

  Notes Noter() {
    return [this](const std::string& note) { notes.push_back(note); };
  }

  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override {
    const uint8_t cmd = CommandOf(data, len);
    writing_ = cmd == kCmdWritePassages;
    if (cmd != 0 && cmd == lostCommand && static_cast<int>(notes.size()) < lostUntilNotes) return;
    inner_.Send(ip, port, data, len);
  }
  void Broadcast(const uint8_t* data, size_t len) override {
    writing_ = false;
    inner_.Broadcast(data, len);
  }
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) override {
    const size_t n = inner_.Receive(buf, cap, timeoutMs, from);
    if (!writing_ || n == 0) return n;
    if (acksLost) return 0;
    writing_ = false;
    if (afterAck) afterAck();
    return n;
  }
  uint16_t DevicePort() const override { return inner_.DevicePort(); }

 private:
  Endpoint& inner_;
  bool writing_ = false;
};

std::vector<uint8_t> PassageBytes(const CtrlConfig& cfg) {
  std::vector<uint8_t> payload(kMaxPassagePayload);
  payload.resize(EncodePassages(cfg, payload.data()));
  return payload;
}

class Patient : public UdpFixture {
 protected:
  // The endpoint of the case's network, registered for one case.
  MeddlingNetwork& Network() {
    network_ = std::make_unique<MeddlingNetwork>(*endpoint);
    SetEndpoint(network_.get());
    return *network_;
  }
  void TearDown() override { SetEndpoint(endpoint.get()); }

 private:
  std::unique_ptr<MeddlingNetwork> network_;
};

using R = VerifiedWrite::ReadBack;

// The read's retries: only after failures a lost datagram explains, three reads in all.
TEST_F(Patient, ReadingIsTriedAgainOnlyAfterALostDatagram) {
  const struct {
    const char* what;
    uint8_t mode;
    int statusLostUntilNotes;
    std::optional<ErrCode> code;
    std::vector<std::string> notes;
  } rows[] = {
      {"answered", 2, 0, std::nullopt, {}},
      {"its mode forbids reading", 0, 0, ErrCode::kModeForbids, {}},
      {"one status lost", 2, 1, std::nullopt, {": error 1, trying again"}},
      {"never answered", 2, 99, ErrCode::kNoAnswer, {": error 1, trying again", ": error 1, trying again"}},
  };
  std::vector<SimDevice*> devices;
  for (size_t k = 0; k < std::size(rows); ++k)
    devices.push_back(&server.AddDevice(
        SmallInstallation(static_cast<uint16_t>(1401 + k), "127.0.0." + std::to_string(2 + k), rows[k].mode)));
  Serve();
  for (size_t k = 0; k < std::size(rows); ++k) {
    const auto& row = rows[k];
    SCOPED_TRACE(row.what);
    SimDevice& device = *devices[k];
    UdpDev& dev = Tool(device);
    MeddlingNetwork& network = Network();
    network.lostCommand = 'O';
    network.lostUntilNotes = row.statusLostUntilNotes;
    const auto cfg = std::make_unique<CtrlConfig>();
    EXPECT_EQ(ErrorCode([&] { ReadControllerPatiently(dev, *cfg, network.Noter()); }), row.code);
    std::vector<std::string> expected;
    for (const std::string& rest : row.notes) expected.push_back(DevName(device.Id()) + ", " + device.Ip() + rest);
    EXPECT_EQ(network.notes, expected);
    EXPECT_EQ(cfg->passageCount, row.code ? 0 : 3);
  }
}

TEST(HoldsSent, TheSamePassagesOverTheSameDevicesAtTheSameIndices) {
  auto planned = std::make_unique<CtrlConfig>();
  planned->deviceCount = 2;
  planned->devices[0].id = 0x215A04B1;
  planned->devices[1].id = 0x02CD0515;
  planned->devices[2].id = 0x00010579;  // beyond the count: no device of the list
  planned->passageCount = 1;
  planned->outRefs[0][kSlotBolt] = MakeRef(1, 0);
  const struct {
    const char* what;
    std::function<void(CtrlConfig&)> change;
    bool holds;
  } rows[] = {
      {"the same", [](CtrlConfig&) {}, true},
      {"another record beyond the count", [](CtrlConfig& c) { c.devices[2].id = 1; }, true},
      {"another state", [](CtrlConfig& c) { c.devices[1].state = kStateNew; }, true},
      {"another device at an index", [](CtrlConfig& c) { c.devices[1].id ^= 1; }, false},
      {"a device more", [](CtrlConfig& c) { c.deviceCount = 3; }, false},
      {"another binding", [](CtrlConfig& c) { c.outRefs[0][kSlotBolt] = MakeRef(1, 1); }, false},
      {"the NC flag", [](CtrlConfig& c) { c.outRefs[0][kSlotBolt] |= kNcBit; }, false},
      {"another parameter", [](CtrlConfig& c) { c.params[0][4] = 9; }, false},
      {"no passage", [](CtrlConfig& c) { c.passageCount = 0; }, false},
  };
  for (const auto& row : rows) {
    auto back = std::make_unique<CtrlConfig>(*planned);
    row.change(*back);
    EXPECT_EQ(HoldsSent(*back, *planned), row.holds) << row.what;
  }
}

// Each case on a controller of its own, read first as a restore reads it, then written with one
// parameter changed.
TEST_F(Patient, OnlyTheReadBackVerifiesAWrite) {
  const struct {
    const char* what;
    uint8_t lostCommand;  // its requests lost until lostUntilNotes retries were noted
    int lostUntilNotes;
    bool sessionEnded;  // before the write: it must open one
    bool acksLost;
    std::function<void(SimDevice&, const std::vector<uint8_t>& before)> afterAck;
    bool verified;
    std::optional<ErrCode> writeError;
    R readBack;
    std::optional<ErrCode> readError;
    bool storesPlanned;
    std::vector<std::string> notes;
  } rows[] = {
      {"acknowledged and read back", 0, 0, false, false, nullptr, true, std::nullopt, R::kHoldsSent,
       std::nullopt, true, {}},
      {"the status lost once", 'O', 1, false, false, nullptr, true, std::nullopt, R::kHoldsSent,
       std::nullopt, true, {": error 1 before the write, trying again"}},
      {"the session's seed lost once", 'K', 1, true, false, nullptr, true, std::nullopt,
       R::kHoldsSent, std::nullopt, true, {": error 3 before the write, trying again"}},
      {"the acknowledgement lost", 0, 0, false, true, nullptr, false, ErrCode::kNoReply,
       R::kHoldsSent, std::nullopt, true, {}},
      {"changed right after the acknowledgement", 0, 0, false, false,
       [](SimDevice& d, const std::vector<uint8_t>& before) { d.SetPassages(before); }, false,
       std::nullopt, R::kHoldsOther, std::nullopt, false, {}},
      {"silent after the acknowledgement", 0, 0, false, false,
       [](SimDevice& d, const std::vector<uint8_t>&) { d.SetSilent(true); }, false, std::nullopt,
       R::kFailed, ErrCode::kNoAnswer, true, {": error 1, trying again", ": error 1, trying again"}},
      {"never answered", 'O', 99, false, false, nullptr, false, ErrCode::kNoAnswer, R::kFailed,
       ErrCode::kNoAnswer, false,
       {": error 1 before the write, trying again", ": error 1 before the write, trying again",
        ": error 1, trying again", ": error 1, trying again"}},
  };
  std::vector<SimDevice*> devices;
  for (size_t k = 0; k < std::size(rows); ++k)
    devices.push_back(&server.AddDevice(
        SmallInstallation(static_cast<uint16_t>(1501 + k), "127.0.0." + std::to_string(2 + k), 2)));
  Serve();
  for (size_t k = 0; k < std::size(rows); ++k) {
    const auto& row = rows[k];
    SCOPED_TRACE(row.what);
    SimDevice& device = *devices[k];
    UdpDev& dev = Tool(device);
    auto planned = std::make_unique<CtrlConfig>();
    ChooseController(dev, *planned);
    ASSERT_EQ(planned->passageCount, 3);
    const std::vector<uint8_t> before = device.Passages();
    planned->params[0][4] = static_cast<uint8_t>(planned->params[0][4] + 1);
    if (row.sessionEnded) dev.CloseSession();
    device.ClearRequests();

    MeddlingNetwork& network = Network();
    network.lostCommand = row.lostCommand;
    network.lostUntilNotes = row.lostUntilNotes;
    network.acksLost = row.acksLost;
    if (row.afterAck) network.afterAck = [&] { row.afterAck(device, before); };
    const VerifiedWrite written = WriteAndReadBack(dev, *planned, network.Noter());

    EXPECT_EQ(written.Verified(), row.verified);
    EXPECT_EQ(written.writeError ? std::optional(written.writeError->code) : std::nullopt, row.writeError);
    if (written.writeError) {
      EXPECT_EQ(written.writeError->cmd, row.acksLost ? kCmdWritePassages : 0);
      EXPECT_EQ(written.writeError->text.rfind(DevName(device.Id()), 0), 0u) << written.writeError->text;
    }
    EXPECT_EQ(written.readBack, row.readBack);
    EXPECT_EQ(written.readError ? std::optional(written.readError->code) : std::nullopt, row.readError);
    if (row.readBack == R::kFailed) {
      EXPECT_EQ(written.held, nullptr);
    } else {
      ASSERT_NE(written.held, nullptr);
      EXPECT_EQ(HoldsSent(*written.held, *planned), row.readBack == R::kHoldsSent);
    }
    // A read that differs is read again, three reads in all: a late reply is not the verdict.
    if (row.readBack == R::kHoldsOther) {
      EXPECT_EQ(device.CountRequests('C'), 3u);
    }
    EXPECT_EQ(device.Passages() == PassageBytes(*planned), row.storesPlanned);
    std::vector<std::string> expected;
    for (const std::string& rest : row.notes) expected.push_back(DevName(device.Id()) + ", " + device.Ip() + rest);
    EXPECT_EQ(network.notes, expected);
    device.SetSilent(false);
  }
}

}  // namespace
}  // namespace orvu::test
