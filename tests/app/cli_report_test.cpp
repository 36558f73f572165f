#include "app/orvuq46-cli/cli_text.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "model/report.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

constexpr ReportDate kDate{2024, 5, 7};

class CliReport : public CliFixture {
 protected:
  void SetUp() override {
    serwis = &server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
    instalacja = &server.AddDevice(LargeInstallation(1202, "127.0.0.3", 3));
    server.AddDevice(SmallInstallation(1203, "127.0.0.4", 0));
    Serve();
  }

  std::string Expected(SimDevice& device, const std::string& name, const std::string& location) {
    return ReportText(*ModelOf(device), name, Cp1250FromUtf8(location), kDate);
  }

  SimDevice* serwis = nullptr;
  SimDevice* instalacja = nullptr;
  TempDir dir;
};

// The same bytes as the report function over the model the controller's data decode to; an
// older file of that name is replaced whole, and nothing else is left in the directory.
TEST_F(CliReport, WritesTheBytesOfTheReportFunction) {
  const std::string file = dir.File("raport.txt");
  { std::ofstream(file) << "an older, longer report that must vanish completely\n"; }
  const std::string location = "Budynek A, piętro 2 → wejście";
  const CliRun run = Run({"report", "K46_01201", "-o", file, "--location", location, "--date", "2024-05-07"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(file), Expected(*serwis, "K46_01201", location));
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"raport.txt"});
  EXPECT_NE(run.err.find("warning"), std::string::npos) << "the arrow has no Windows-1250 byte";
  EXPECT_FALSE(serwis->HoldsOwnSession());
}

// A locked controller is reported with its error text and the exit status says so; the others
// still get their files, named as the window names its default file.
TEST_F(CliReport, AllWritesTheOthersWhenOneIsLocked) {
  const CliRun run = Run({"report", "--all", "--dir", dir.Path().string(), "--date", "2024-05-07"});
  EXPECT_EQ(run.status, 9) << run.err;
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"2024-05-07 K46_01201.txt", "2024-05-07 K46_01202.txt"}));
  EXPECT_EQ(ReadBytes(dir.File("2024-05-07 K46_01201.txt")), Expected(*serwis, "K46_01201", ""));
  EXPECT_EQ(ReadBytes(dir.File("2024-05-07 K46_01202.txt")), Expected(*instalacja, "K46_01202", ""));
  UdpDev locked(MakeIdentity(346, 1203), ParseIp("127.0.0.4"), 0);
  EXPECT_NE(run.err.find("[3/3] " + Utf8(ErrText(UErr(locked, ErrCode::kModeForbids, 0)))), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[1/3] K46_01201, 127.0.0.2: "), std::string::npos) << run.err;
  EXPECT_FALSE(serwis->HoldsOwnSession());
  EXPECT_FALSE(instalacja->HoldsOwnSession());
}

// A file that cannot be written is found out before the controller is read, and leaves no
// temporary file behind.
TEST_F(CliReport, UnwritablePlacesGiveStatus11) {
  const CliRun single = Run({"report", "K46_01201", "-o", dir.File("missing/raport.txt")});
  EXPECT_EQ(single.status, 11);
  EXPECT_NE(single.err.find("cannot write " + dir.File("missing/raport.txt")), std::string::npos);
  const CliRun intoDirectory = Run({"report", "K46_01201", "-o", dir.Path().string()});
  EXPECT_EQ(intoDirectory.status, 11);
  // A missing directory is made (CliBackup.AllCreateTheirDirectory); one under a file cannot be.
  const CliRun all = Run({"report", "--all", "--dir", "/dev/null/raporty"});
  EXPECT_EQ(all.status, 11);
  EXPECT_EQ(serwis->CountRequests('C'), 0u);
  EXPECT_TRUE(dir.Names().empty());
}

// Identities that differ only in the suffix bits give one name to two controllers.
class CliReportTwins : public CliFixture {
 protected:
  void SetUp() override {
    first = &server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
    SimDeviceConfig twin = LargeInstallation(1201, "127.0.0.3", 2);
    twin.id = MakeIdentity(346, 1201, 1);
    second = &server.AddDevice(twin);
    Serve();
  }
  SimDevice* first = nullptr;
  SimDevice* second = nullptr;
  TempDir dir;
};

TEST_F(CliReportTwins, NeitherGuessesNorOverwrites) {
  const CliRun ambiguous = Run({"show", "K46_01201"});
  EXPECT_EQ(ambiguous.status, 10);
  EXPECT_NE(ambiguous.err.find("names 2 devices"), std::string::npos) << ambiguous.err;
  EXPECT_NE(ambiguous.err.find("127.0.0.2"), std::string::npos) << ambiguous.err;
  EXPECT_NE(ambiguous.err.find("127.0.0.3"), std::string::npos) << ambiguous.err;
  EXPECT_EQ(Run({"show", "127.0.0.3"}).status, 0);

  const CliRun all = Run({"report", "--all", "--dir", dir.Path().string(), "--date", "2024-05-07"});
  EXPECT_EQ(all.status, 0) << all.err;
  // Which twin answered first decides which file carries the address (a space sorts first).
  const std::vector<std::string> names = dir.Names();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1], "2024-05-07 K46_01201.txt");
  const bool secondAddressed = names[0] == "2024-05-07 K46_01201 127.0.0.3.txt";
  EXPECT_TRUE(secondAddressed || names[0] == "2024-05-07 K46_01201 127.0.0.2.txt") << names[0];
  SimDevice& addressed = secondAddressed ? *second : *first;
  SimDevice& plain = secondAddressed ? *first : *second;
  EXPECT_EQ(ReadBytes(dir.File(names[0])), ReportText(*ModelOf(addressed), "K46_01201", "", kDate));
  EXPECT_EQ(ReadBytes(dir.File(names[1])), ReportText(*ModelOf(plain), "K46_01201", "", kDate));
}

class CliReportLossy : public CliFixture, public testing::WithParamInterface<uint32_t> {
 protected:
  void SetUp() override {
    SimDeviceConfig lossy = SmallInstallation(1201, "127.0.0.2", 2);
    lossy.faults.dropRequest = 0.2;
    lossy.faults.dropReply = 0.2;
    lossy.faults.duplicateReply = 0.2;
    lossy.faults.delayReply = 0.1;
    lossy.faults.delayMs = 250;  // later than the tool waits
    lossy.faults.corruptCrc = 0.1;
    lossy.faults.junk = 0.1;
    lossy.faults.seed = GetParam();
    device = &server.AddDevice(lossy);
    Serve();
  }

  SimDevice* device = nullptr;
  TempDir dir;
};

// On a bad network a report is either exactly right or not written at all, with an error code.
TEST_P(CliReportLossy, EitherTheExactReportOrNoFile) {
  const std::string file = dir.File("raport.txt");
  const CliRun run = Run({"report", "K46_01201", "-o", file, "--date", "2024-05-07"});
  if (run.status == 0) {
    EXPECT_EQ(ReadBytes(file), ReportText(*ModelOf(*device), "K46_01201", "", kDate));
  } else {
    EXPECT_GE(run.status, 1) << run.err;
    EXPECT_LE(run.status, 9) << run.err;
    EXPECT_TRUE(dir.Names().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, CliReportLossy, testing::Values(1u, 2u, 3u, 4u));

}  // namespace
}  // namespace orvu::test
