// A controller whose passages reference device indices beyond its device list: show and report
// name the empty record R00_00000, also when a controller with a longer list was read before
// in the same run.
#include <nlohmann/json.hpp>

#include "comm/identity.h"
#include "model/report.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

constexpr IoRef kBoltBeyond = MakeRef(9, 2) | kNcBit;  // index 9: the longer list's second module
constexpr IoRef kTamperBeyond = MakeRef(20, 4) | kNcBit;
constexpr IoRef kReaderAtTheEnd = MakeRef(127, 1);

void PutRef(std::vector<uint8_t>& passages, int slotOfPassageOne, IoRef ref) {
  passages[2 + 2 * slotOfPassageOne] = static_cast<uint8_t>(ref & 0xFF);
  passages[3 + 2 * slotOfPassageOne] = static_cast<uint8_t>(ref >> 8);
}

class CliBeyondList : public CliFixture {
 protected:
  void SetUp() override {
    SimDeviceConfig longer = SmallInstallation(1201, "127.0.0.2", 2);
    longer.bus.push_back(MakeBusRecord(MakeIdentity(201, 1501, 0, 0), 1, 0, 4, 4, 0, true));
    longer.bus.push_back(MakeBusRecord(MakeIdentity(717, 1502, 0, 0), 2, 0, 8, 8, 0, true));
    server.AddDevice(longer);
    SimDeviceConfig config = SmallInstallation(1202, "127.0.0.3", 2);  // indices 0-7
    PutRef(config.passages, kSlotBolt, kBoltBeyond);
    PutRef(config.passages, kOutputSlots + kSlotTamper, kTamperBeyond);
    PutRef(config.passages, kOutputSlots + kInputSlots + 1, kReaderAtTheEnd);
    shorter = &server.AddDevice(config);
    Serve();
  }

  SimDevice* shorter = nullptr;
};

TEST_F(CliBeyondList, ShowNamesTheEmptyRecord) {
  const CliRun text = Run({"show", "K46_01202"});
  ASSERT_EQ(text.status, 0) << text.err;
  for (const char* shown : {"R00_00000:Out3 [NC]\n", "R00_00000:In5 [NC]\n", "R00_00000:Rd2\n"})
    EXPECT_NE(text.out.find(shown), std::string::npos) << shown << " in\n" << text.out;

  const CliRun json = Run({"show", "K46_01202", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto bindings = nlohmann::json::parse(json.out)["passages"][0]["bindings"];
  EXPECT_EQ(bindings["bolt"]["ref"], kBoltBeyond);
  EXPECT_EQ(bindings["bolt"]["text"], "R00_00000:Out3");
  EXPECT_EQ(bindings["bolt"]["nc"], true);
  EXPECT_EQ(bindings["tamper"]["text"], "R00_00000:In5");
  EXPECT_EQ(bindings["reader2"]["text"], "R00_00000:Rd2");
}

// report --all reads both controllers into one model, the longer list first.
TEST_F(CliBeyondList, ReportAfterALongerListNamesTheEmptyRecord) {
  TempDir dir;
  const CliRun run = Run({"report", "--all", "--dir", dir.Path().string(), "--date", "2024-05-07"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string report = ReadBytes(dir.File("2024-05-07 K46_01202.txt"));
  EXPECT_EQ(report, ReportText(*ModelOf(*shorter), "K46_01202", "", ReportDate{2024, 5, 7}));
  EXPECT_NE(report.find("  R00_00000:Out3[NC]"), std::string::npos) << report;
  EXPECT_EQ(report.find("D17_01502"), std::string::npos) << "the other controller's device";
}

}  // namespace
}  // namespace orvu::test
