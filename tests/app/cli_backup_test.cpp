// backup, restore and diff against simulated controllers on loopback UDP.
#include <functional>
#include <map>
#include <set>

#include "backup/backup_file.h"
#include "backup/compare.h"
#include "comm/udpdev.h"
#include "sim/passage_payload.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

constexpr size_t kPassages = 3;  // the small installation's
constexpr size_t kParamsAt = 2 + 36 * kPassages;

size_t RefAt(size_t passage, size_t slot) { return 2 + 36 * passage + 2 * slot; }
void PutRef(std::vector<uint8_t>& payload, size_t passage, size_t slot, uint16_t ref) {
  payload[RefAt(passage, slot)] = uint8_t(ref);
  payload[RefAt(passage, slot) + 1] = uint8_t(ref >> 8);
}

// The payload as the tool writes it: the count byte with bit 7 set.
std::vector<uint8_t> AsWritten(std::vector<uint8_t> payload) {
  payload[0] |= 0x80;
  return payload;
}

// Another configuration: passage 1's bolt on another output and its pulse changed.
std::vector<uint8_t> Changed(std::vector<uint8_t> payload, uint8_t pulse = 3) {
  PutRef(payload, 0, 0, SimRef(1, 7));
  payload[kParamsAt + 4] = pulse;
  return payload;
}

Backup BackupOfSim(SimDevice& device) {
  return BackupOf(*ModelOf(device), device.Id(), device.Ip(), OperatingMode::kSerwis, "");
}

class CliBackup : public CliFixture {
 protected:
  void SetUp() override {
    original = SmallInstallation(1201, "127.0.0.2", 2);
    controller = &server.AddDevice(original);
    other = &server.AddDevice(SmallInstallation(1205, "127.0.0.3", 2));
  }
  // Takes the backup of the controller as the scenario made it.
  std::string TakeBackup() {
    const std::string file = dir.File("k1201.json");
    const CliRun run = Run({"backup", "K46_01201", "-o", file});
    EXPECT_EQ(run.status, 0) << run.err;
    return file;
  }

  SimDeviceConfig original;
  SimDevice* controller = nullptr;
  SimDevice* other = nullptr;
  TempDir dir;
};

// Backup, bindings changed on the controller, restore: the controller holds the original again,
// written once, verified, and the session closed; diff then finds nothing.
TEST_F(CliBackup, RestoreGivesBackTheBackedUpConfiguration) {
  Serve();
  const std::string file = TakeBackup();
  EXPECT_EQ(ParseBackupFile(ReadBytes(file)).passages.size(), kPassages);
  controller->SetPassages(Changed(original.passages));

  const CliRun run = Run({"restore", "K46_01201", file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(controller->Passages(), AsWritten(original.passages));
  EXPECT_EQ(controller->WrittenPassages().size(), 1u);
  EXPECT_NE(run.out.find("passage 1, bolt: D17_01301:Out8 -> D17_01301:Out1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("passage 1, pulse: 1,5 s -> 5 s\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Verified: K46_01201 (127.0.0.2)"), std::string::npos) << run.out;
  EXPECT_FALSE(controller->HoldsOwnSession());

  // The controller cleared the new flag of a device when it took the write: no difference.
  ASSERT_EQ(controller->BusDevices()[7].State(), 0);
  const CliRun diff = Run({"diff", file, "K46_01201"});
  EXPECT_EQ(diff.status, 0) << diff.out << diff.err;
  EXPECT_EQ(diff.out, "");

  // Restoring what the controller already holds writes nothing.
  const CliRun again = Run({"restore", "127.0.0.2", file});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("nothing to write"), std::string::npos) << again.out;
  EXPECT_EQ(controller->WrittenPassages().size(), 1u);
}

// The readers swapped places in the controller's list: the references follow the devices.
TEST_F(CliBackup, ADeviceMovedToAnotherIndexIsFollowed) {
  Serve();
  const std::string file = TakeBackup();
  std::vector<SimBusRecord> bus = controller->BusDevices();
  std::swap(bus[2], bus[3]);  // R01_01401 (passage 1's reader 1) <-> R01_01402 (passage 2's)
  controller->SetBusDevices(bus);

  const CliRun run = Run({"restore", "K46_01201", file});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<uint8_t> held = controller->Passages();
  EXPECT_EQ(held[RefAt(0, 14)] | held[RefAt(0, 14) + 1] << 8, SimRef(3, 0));
  EXPECT_EQ(held[RefAt(1, 14)] | held[RefAt(1, 14) + 1] << 8, SimRef(2, 0));
  EXPECT_TRUE(ComparePassages(ParseBackupFile(ReadBytes(file)), BackupOfSim(*controller)).empty());
}

// A controller put in the place of the backed-up one: its own outputs, inputs and readers take
// over from the old one's.
TEST_F(CliBackup, AReplacementControllerTakesOverTheOldOnesOwnIo) {
  Serve();
  const std::string file = TakeBackup();
  std::vector<SimBusRecord> bus = other->BusDevices();
  bus[0] = controller->BusDevices()[0];  // the old controller's record stands in the list
  bus[0].id = other->BusDevices()[0].id;
  for (size_t i = 1; i < bus.size(); ++i) bus[i] = controller->BusDevices()[i];
  other->SetBusDevices(bus);
  other->SetPassages(Changed(original.passages));

  const CliRun run = Run({"restore", "K46_01205", file});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("taken from K46_01201; K46_01205 takes its place"), std::string::npos) << run.out;
  EXPECT_EQ(other->Passages(), AsWritten(original.passages));
}

// Every reason is listed with its place in the file, and nothing is sent to be written.
TEST_F(CliBackup, RefusalsListEveryReasonAndWriteNothing) {
  Serve();
  const std::string file = TakeBackup();
  const std::vector<SimBusRecord> bus = controller->BusDevices();
  const struct {
    const char* what;
    std::function<void(std::vector<SimBusRecord>&, std::vector<uint8_t>&)> change;
    std::vector<std::string> reasons;
  } rows[] = {
      {"a referenced device is gone",
       [](auto& b, auto&) { b[5].id = MakeIdentity(501, 1999, 0, 0); },
       {"/passages/2/bindings/reader2: K01_01501 (identity 0x01F505DD) is not on the controller's bus"}},
      {"the module has fewer outputs and inputs",
       [](auto& b, auto&) { b[1] = MakeBusRecord(b[1].id, 1, 0, 2, 1, 0, true); },
       {"/passages/2/bindings/bolt: D17_01301:Out3 is beyond the 2 outputs of D17_01301",
        "/passages/1/bindings/openDetector: D17_01301:In2 is beyond the 1 inputs of D17_01301",
        "/passages/2/bindings/openDetector: D17_01301:In3 is beyond the 1 inputs of D17_01301"}},
      {"the module's outputs are relays",
       [](auto& b, auto&) { b[1] = MakeBusRecord(b[1].id, 1, 0, 12, 12, 0, false); },
       {"/passages/1/bindings/bolt: D17_01301:Out2 [NC]: only an open-collector output carries the NC flag, "
        "and D17_01301's outputs are not"}},
      {"a device is on the bus twice",
       [](auto& b, auto&) { b[7].id = b[2].id; },
       {"/passages/0/bindings/reader1: R01_01401 (identity 0x00010579) is on the controller's bus more than "
        "once (indices 2, 7)"}},
      {"the controller has another passage count",
       [](auto&, auto& p) { p = EncodeSimPassages(std::vector<SimPassage>(2)); },
       {"/passages: the file holds 3 passages, the controller 2"}},
  };
  for (const auto& row : rows) {
    std::vector<SimBusRecord> changedBus = bus;
    std::vector<uint8_t> passages = Changed(original.passages);
    row.change(changedBus, passages);
    controller->SetBusDevices(changedBus);
    controller->SetPassages(passages);
    controller->ClearRequests();
    const CliRun run = Run({"restore", "K46_01201", file});
    EXPECT_EQ(run.status, 13) << row.what << "\n" << run.err;
    for (const std::string& reason : row.reasons)
      EXPECT_NE(run.err.find("\n  " + reason + "\n"), std::string::npos) << row.what << "\n" << run.err;
    EXPECT_NE(run.err.find("nothing was written"), std::string::npos) << row.what;
    EXPECT_EQ(controller->CountRequests('c'), 0u) << row.what;
    EXPECT_EQ(controller->Passages(), passages) << row.what;
  }
}

// A damaged file is refused with its place before any controller is asked anything.
TEST_F(CliBackup, ADamagedFileIsRefusedBeforeTheControllerIsRead) {
  Serve();
  const std::string file = TakeBackup();
  std::string text = ReadBytes(file);
  text.replace(text.find("\"channel\": 1"), 12, "\"channel\": 0");
  const std::string damaged = dir.File("damaged.json");
  std::ofstream(damaged) << text;
  controller->ClearRequests();
  const CliRun run = Run({"restore", "K46_01201", damaged});
  EXPECT_EQ(run.status, 13);
  EXPECT_NE(run.err.find("is refused: /passages/0/bindings/bolt/channel: channels count from 1"), std::string::npos) << run.err;
  EXPECT_TRUE(controller->Requests().empty());
  EXPECT_EQ(Run({"restore", "K46_01201", dir.File("missing.json")}).status, 11);
}

// --dry-run reads, checks and prints the changes; the controller is asked nothing to write.
TEST_F(CliBackup, DryRunSendsNoWrite) {
  Serve();
  const std::string file = TakeBackup();
  controller->SetPassages(Changed(original.passages));
  const CliRun run = Run({"restore", "K46_01201", file, "--dry-run"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("passage 1, bolt: D17_01301:Out8 -> D17_01301:Out1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Dry run: nothing written.\n"), std::string::npos);
  EXPECT_EQ(controller->CountRequests('c'), 0u);
  EXPECT_EQ(controller->Passages(), Changed(original.passages));
}

// The tool's own endpoint, with the network in front of it losing every reply to the write
// command, or with somebody changing the controller right after it acknowledged the write.
class MeddlingEndpoint : public Endpoint {
 public:
  MeddlingEndpoint(Endpoint& inner, std::function<void()> afterAck) : inner_(inner), afterAck_(std::move(afterAck)) {}
  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override {
    // A secured request: "MMDC", identity, sequence, then the command byte.
    writing_ = len > 10 && std::string(reinterpret_cast<const char*>(data), 4) == "MMDC" && data[10] == 'c';
    inner_.Send(ip, port, data, len);
  }
  void Broadcast(const uint8_t* data, size_t len) override {
    writing_ = false;
    inner_.Broadcast(data, len);
  }
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) override {
    const size_t n = inner_.Receive(buf, cap, timeoutMs, from);
    if (!writing_ || n == 0) return n;
    if (!afterAck_) return 0;  // lost on the way
    afterAck_();
    return n;
  }
  uint16_t DevicePort() const override { return inner_.DevicePort(); }

 private:
  Endpoint& inner_;
  std::function<void()> afterAck_;
  bool writing_ = false;
};

// No acknowledgement: never a success, even though the write got through; the program says
// the outcome is unknown and what it read back. An acknowledgement followed by a controller
// that holds something else: not verified either (status 14), with what it holds.
TEST_F(CliBackup, OnlyTheReadBackMakesASuccess) {
  Serve();
  const std::string file = TakeBackup();
  const std::vector<uint8_t> changed = Changed(original.passages);
  const struct {
    const char* what;
    std::function<void()> afterAck;
    int status;
    std::vector<std::string> says;
    std::vector<uint8_t> holds;
  } rows[] = {
      {"acknowledgements lost", nullptr, ErrNumber(ErrCode::kNoReply),
       {"the write was not acknowledged: its outcome is unknown",
        "read back, K46_01201 (127.0.0.2) holds the passages of the file; run the restore again"},
       AsWritten(original.passages)},
      {"changed after the acknowledgement", [&] { controller->SetPassages(changed); }, 14,
       {"read back, K46_01201 (127.0.0.2) does not hold the passages of the file:\n"
        "  (the file's -> the controller's)\n"
        "  passage 1, bolt: D17_01301:Out1 -> D17_01301:Out8\n"},
       changed},
  };
  for (const auto& row : rows) {
    controller->SetPassages(changed);
    MeddlingEndpoint meddling(*endpoint, row.afterAck);
    std::ostringstream out, err;
    const int status = RunCli({"restore", "K46_01201", file}, meddling, out, err);
    EXPECT_EQ(status, row.status) << row.what << "\n" << err.str();
    EXPECT_EQ(out.str().find("Verified"), std::string::npos) << row.what;
    for (const std::string& text : row.says) EXPECT_NE(err.str().find(text), std::string::npos) << row.what << "\n" << err.str();
    EXPECT_EQ(controller->Passages(), row.holds) << row.what;
    clock.Advance(kSimSessionIdleMs + 1);  // the session whose closing was not acknowledged
  }
}

TEST_F(CliBackup, DiffOfEqualAndDifferentConfigurations) {
  Serve();
  const std::string file = TakeBackup();
  const std::string second = dir.File("second.json");
  ASSERT_EQ(Run({"backup", "127.0.0.2", "-o", second}).status, 0);

  for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
           {file, second}, {file, "K46_01201"}, {"127.0.0.2", "K46_01201"}}) {
    const CliRun same = Run({"diff", a, b});
    EXPECT_EQ(same.status, 0) << a << " " << b << "\n" << same.out << same.err;
    EXPECT_EQ(same.out, "") << a << " " << b;
  }

  controller->SetPassages(Changed(original.passages, 10));
  std::vector<SimBusRecord> bus = controller->BusDevices();
  bus[3].info[1] = kStateInactive;
  controller->SetBusDevices(bus);
  const CliRun changed = Run({"diff", file, "K46_01201"});
  EXPECT_EQ(changed.status, 1) << changed.err;
  EXPECT_NE(changed.out.find("A: " + file + " (K46_01201, taken "), std::string::npos) << changed.out;
  EXPECT_NE(changed.out.find("\nB: K46_01201 at 127.0.0.2 (read "), std::string::npos) << changed.out;
  EXPECT_NE(changed.out.find("\ndevice R01_01402/A2, state: 0x00 -> 0x80 (nieaktywny)\n"), std::string::npos) << changed.out;
  EXPECT_NE(changed.out.find("\npassage 1, bolt: D17_01301:Out1 -> D17_01301:Out8\n"), std::string::npos) << changed.out;
  EXPECT_EQ(changed.out.find("pulse"), std::string::npos) << "the pulse is the same" << changed.out;

  // Two controllers: each one's own entry stands for the other's, every other device differs.
  const CliRun controllers = Run({"diff", "K46_01201", "K46_01205"});
  EXPECT_EQ(controllers.status, 1);
  EXPECT_NE(controllers.out.find("device K46_01201/A1: K46_01201/A1 -> K46_01205/A1\n"), std::string::npos) << controllers.out;
  EXPECT_NE(controllers.out.find("device D17_01301/A1: present -> absent\n"), std::string::npos) << controllers.out;
  EXPECT_NE(controllers.out.find("device D17_01305/A1: absent -> present\n"), std::string::npos) << controllers.out;

  EXPECT_EQ(Run({"diff", file, dir.File("missing.json")}).status, 2);
  EXPECT_EQ(Run({"diff", file, "K46_04444"}).status, 2);
}

// --all --dir: the directory is made when missing, one file per controller.
TEST_F(CliBackup, AllCreateTheirDirectory) {
  Serve();
  const std::string backups = dir.File("site/backups");
  const CliRun all = Run({"backup", "--all", "--dir", backups});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(ParseBackupFile(ReadBytes(backups + "/K46_01201.json")).controllerId, controller->Id());
  EXPECT_EQ(ParseBackupFile(ReadBytes(backups + "/K46_01205.json")).controllerId, other->Id());
  EXPECT_NE(all.err.find("2 of 2 backups written in " + backups), std::string::npos) << all.err;

  const CliRun reports = Run({"report", "--all", "--dir", dir.File("reports"), "--date", "2024-05-07"});
  EXPECT_EQ(reports.status, 0) << reports.err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("reports/2024-05-07 K46_01201.txt")));

  // A directory that cannot be made: the place is taken by a file.
  std::ofstream(dir.File("taken")) << "x";
  EXPECT_EQ(Run({"backup", "--all", "--dir", dir.File("taken/sub")}).status, 11);
  EXPECT_EQ(Run({"backup", "--all", "--dir", dir.File("taken")}).status, 11);
}

// 30 % of the datagrams lost each way, replies duplicated and late: every restore ends
// verified or in a clear error, and the controller never stores anything but the file's
// configuration.
TEST_F(CliBackup, ThirtyRestoresOverALossyLink) {
  Serve(/*timeoutMs=*/30);
  const std::string file = TakeBackup();
  SimFaults faults;
  faults.dropRequest = 0.3;
  faults.dropReply = 0.3;
  faults.duplicateReply = 0.2;
  faults.delayReply = 0.2;
  faults.delayMs = 40;  // later than the tool's wait: the reply meets the next try
  faults.seed = 1313;
  controller->SetFaults(faults);
  const std::vector<uint8_t> fromFile = AsWritten(original.passages);
  std::set<int> clearErrors;
  for (ErrCode code : {ErrCode::kNoAnswer, ErrCode::kForeignSession, ErrCode::kSessionRefused, ErrCode::kSignature,
                       ErrCode::kNoReply, ErrCode::kNoAck})
    clearErrors.insert(ErrNumber(code));
  int verified = 0;
  std::map<int, int> endings;  // exit status -> how many restores ended with it
  for (int round = 0; round < 30; ++round) {
    const std::vector<uint8_t> before = Changed(original.passages, uint8_t(round));
    controller->SetPassages(before);
    clock.Advance(kSimSessionIdleMs + 1);  // a session the tool lost track of has ended
    const CliRun run = Run({"restore", "K46_01201", file});
    ++endings[run.status];
    if (run.status == 0) {
      ++verified;
      EXPECT_NE(run.out.find("Verified"), std::string::npos) << round << "\n" << run.out;
      EXPECT_EQ(controller->Passages(), fromFile) << round;
    } else {
      EXPECT_TRUE(clearErrors.count(run.status)) << round << ": status " << run.status << "\n" << run.err;
      EXPECT_NE(run.err.find("Błąd nr"), std::string::npos) << round << "\n" << run.err;
      const std::vector<uint8_t> now = controller->Passages();
      EXPECT_TRUE(now == before || now == fromFile) << round;
    }
    for (const std::vector<uint8_t>& stored : controller->WrittenPassages())
      ASSERT_EQ(stored, fromFile) << round << ": the controller stored a configuration the file does not hold";
  }
  EXPECT_GT(verified, 0);
  for (const auto& [status, count] : endings) RecordProperty("status " + std::to_string(status), count);
}

}  // namespace
}  // namespace orvu::test
