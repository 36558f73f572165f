// The backup file: what is written reads back the same, and a damaged or inconsistently edited
// file is refused as a whole with the place and the reason.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "backup/backup_file.h"
#include "backup/compare.h"
#include "backup/restore_plan.h"
#include "tests/model/payload_builder.h"

namespace orvu {
namespace {

using namespace orvu::testing;
using Json = nlohmann::ordered_json;

constexpr uint32_t kControllerId = 0x20000000u | (346u << 16) | 1201u;

// The controller, an elevator module with open-collector outputs at index 2 after an empty
// slot, and a reader; passage 1 is fully bound, passage 2 holds references no listed device
// answers to (index 9 beyond the list, index 1 the empty slot, bit 15 set).
std::unique_ptr<CtrlConfig> Sample() {
  auto cfg = std::make_unique<CtrlConfig>();
  const auto list = DevListPayload({{.id = BusId(346, 1201), .suffixNumber = 1, .outputs = 4, .inputs = 4, .readers = 2},
                                    {.id = kEmptySlotId},
                                    {.id = BusId(717, 1301), .state = kStateNew, .suffixNumber = 1, .outputs = 12, .inputs = 12, .oc = true},
                                    {.id = BusId(1, 1401, 1), .state = kStateInactive | 0x03, .suffixNumber = 2, .outputs = 1, .inputs = 2, .readers = 1}});
  PassageSpec door;
  door.out[kSlotBolt] = MakeRef(2, 0) | kNcBit;
  door.out[kSlotAlarm] = MakeRef(0, 2);
  door.in[kSlotOpenDetector] = MakeRef(2, 0) | kNcBit;
  door.in[kSlotExitButton] = MakeRef(0, 0);
  door.in[9] = MakeRef(3, 1);
  door.rd[0] = MakeRef(3, 0);
  const uint8_t params[kParamBytes] = {0x31, 0xAA, 0xC2, 0x55, 7, 127, 20, 0};
  std::copy(params, params + kParamBytes, door.params);
  PassageSpec odd;
  odd.out[kSlotBolt] = MakeRef(9, 0);
  odd.in[kSlotExitButton] = MakeRef(1, 3);
  odd.rd[0] = 0x8300;
  const auto passages = PassagesPayload({door, odd});
  DecodeDevList(*cfg, list.data(), list.size());
  DecodePassages(*cfg, passages.data(), passages.size());
  return cfg;
}

Backup SampleBackup() {
  return BackupOf(*Sample(), kControllerId, "192.168.1.50", OperatingMode::kSerwis,
                  "2024-05-07T10:00:00+0200");
}

TEST(BackupFile, WhatIsWrittenReadsBackTheSame) {
  const Backup backup = SampleBackup();
  ASSERT_EQ(backup.devices.size(), 3u);  // the empty slot is not a device
  EXPECT_EQ(backup.devices[1].index, 2);
  const BackupPassage& odd = backup.passages[1];
  for (int slot : {0, 4, 14}) EXPECT_EQ(odd.slots[slot].kind, BackupRef::Kind::kUnresolved) << slot;
  EXPECT_EQ(odd.slots[14].raw, 0x8300);
  EXPECT_EQ(ParseBackupFile(BackupFileText(backup)), backup);
  // The bytes too: writing what was read gives the same text.
  EXPECT_EQ(BackupFileText(ParseBackupFile(BackupFileText(backup))), BackupFileText(backup));

  const Json doc = Json::parse(BackupFileText(backup));
  EXPECT_EQ(doc["passages"][0]["bindings"]["bolt"],
            Json::parse(R"({"device": "D17_01301", "id": 46990613, "channel": 1, "nc": true})"));
  EXPECT_EQ(doc["passages"][0]["typeText"], "Normalne");
  EXPECT_EQ(doc["passages"][0]["pulseText"], "3,5");
  EXPECT_EQ(doc["passages"][0]["airlock"], Json());
  EXPECT_EQ(doc["devices"][2]["name"], "R01_01401/B2");
  EXPECT_EQ(doc["devices"][2]["stateText"], "(nieaktywny)");
}

// One change to a good file per row, and where and why it is refused.
TEST(BackupFile, DamageIsRefusedWithItsPlaceAndReason) {
  const std::string good = BackupFileText(SampleBackup());
  using Edit = std::function<void(Json&)>;
  const struct {
    Edit edit;
    const char* pointer;
    const char* reason;
  } rows[] = {
      {[](Json& d) { d = Json::array(); }, "", "expected an object: this is no orvuQ46 backup"},
      {[](Json& d) { d["format"] = "scenario"; }, "/format", "expected \"orvuq46-backup\": this is no orvuQ46 backup"},
      {[](Json& d) { d["version"] = 2; }, "/version", "version 2 is not read by this program (it reads version 1)"},
      {[](Json& d) { d.erase("controller"); }, "/controller", "missing"},
      {[](Json& d) { d["controller"]["mode"] = 4; }, "/controller/mode", "expected a whole number 0-3"},
      {[](Json& d) { d["controller"]["name"] = "K46_01202"; }, "/controller/name",
       "is \"K46_01202\", but the record's other fields make it \"K46_01201\""},
      {[](Json& d) { d["devices"][1]["index"] = 0; }, "/devices/1/index", "the devices must follow in ascending index order"},
      {[](Json& d) { d["devices"][0]["outputs"] = 16; }, "/devices/0/outputs", "expected a whole number 0-15"},
      {[](Json& d) { d["devices"][0]["readers"] = "2"; }, "/devices/0/readers", "expected a whole number 0-3"},
      {[](Json& d) { d["devices"][1]["stateText"] = ""; }, "/devices/1/stateText",
       "is \"\", but the record's other fields make it \"(nowy)\""},
      {[](Json& d) { d["passages"][0]["bindings"].erase("reader4"); }, "/passages/0/bindings/reader4", "missing"},
      {[](Json& d) { d["passages"][0]["bindings"]["bolt"]["channel"] = 0; }, "/passages/0/bindings/bolt/channel", "channels count from 1"},
      {[](Json& d) { d["passages"][0]["bindings"]["bolt"]["nc"] = 1; }, "/passages/0/bindings/bolt/nc", "expected true or false"},
      {[](Json& d) { d["passages"][0]["bindings"]["bolt"]["id"] = 0xFFFF0001u; }, "/passages/0/bindings/bolt/id",
       "the identity of an empty slot names no device"},
      {[](Json& d) { d["passages"][0]["bindings"]["bolt"]["device"] = "D17_01302"; }, "/passages/0/bindings/bolt/device",
       "is \"D17_01302\", but the record's other fields make it \"D17_01301\""},
      {[](Json& d) { d["passages"][0]["bindings"]["tamper"] = "0:3"; }, "/passages/0/bindings/tamper",
       "expected null (unbound) or an object"},
      {[](Json& d) { d["passages"][1]["bindings"]["bolt"]["nc"] = false; }, "/passages/1/bindings/bolt/nc", "unknown key"},
      {[](Json& d) { d["passages"][0]["pulse"] = 12; }, "/passages/0/pulse", "is 12, but the record's other fields make it 7"},
      {[](Json& d) { d["passages"][0]["pulze"] = 12; }, "/passages/0/pulze", "unknown key"},
      {[](Json& d) { d["passages"][0]["a/b~"] = 1; }, "/passages/0/a~1b~0", "unknown key"},
      {[](Json& d) { d["passages"][0]["params"][4] = 200; }, "/passages/0/params/4", "expected a whole number 0-127"},
      {[](Json& d) { d["passages"][0]["params"].erase(7); }, "/passages/0/params", "expected 8 bytes"},
      {[](Json& d) { d["passages"][0]["number"] = 2; }, "/passages/0/number", "is 2, but the record's other fields make it 1"},
      {[](Json& d) { for (int i = 0; i < 15; ++i) d["passages"].push_back(d["passages"][0]); }, "/passages", "more than 16 entries"},
  };
  for (const auto& row : rows) {
    Json doc = Json::parse(good);
    row.edit(doc);
    try {
      ParseBackupFile(doc.dump(2));
      ADD_FAILURE() << row.pointer << " was accepted";
    } catch (const BackupFileError& e) {
      EXPECT_EQ(e.pointer, row.pointer) << e.what();
      EXPECT_EQ(e.reason, row.reason) << e.what();
    }
  }
}

// Faults below the JSON values: the text itself.
TEST(BackupFile, BrokenTextIsRefused) {
  std::string good = BackupFileText(SampleBackup());
  std::string repeated = good;
  const std::string bolt = "\"bolt\": {";
  repeated.insert(repeated.find(bolt), "\"bolt\": null,\n");
  const struct {
    std::string text;
    const char* pointer;
    const char* reasonStart;
  } rows[] = {
      {repeated, "/passages/0/bindings/bolt", "the key appears twice"},
      {good.substr(0, good.size() / 2), "", "not valid JSON: line "},
      {"", "", "not valid JSON: "},
      {"{\"format\": \"orvuq46-backup\xff\"}", "", "not valid JSON: line 1"},
      {std::string(2 << 20, ' '), "", "larger than any backup"},
      {"{\"version\": 2267665e66937}", "", "not valid JSON: number overflow"},
  };
  for (const auto& row : rows) {
    try {
      ParseBackupFile(row.text);
      ADD_FAILURE() << row.reasonStart << " was accepted";
    } catch (const BackupFileError& e) {
      EXPECT_EQ(e.pointer, row.pointer) << e.what();
      EXPECT_EQ(e.reason.rfind(row.reasonStart, 0), 0u) << e.what();
    }
  }
}

// References that named no device when the backup was taken are refused by the plan; the
// reasons come all at once.
TEST(RestorePlan, UnresolvedReferencesAreRefusedEachWithItsPlace) {
  const auto cfg = Sample();
  const RestorePlan plan = PlanRestore(SampleBackup(), *cfg, kControllerId);
  const std::vector<RestoreProblem> expected = {
      {"/passages/1/bindings/bolt", "reference 0x0900 named no device on the bus of the backed-up controller"},
      {"/passages/1/bindings/exitButton", "reference 0x0103 named no device on the bus of the backed-up controller"},
      {"/passages/1/bindings/reader1", "reference 0x8300 named no device on the bus of the backed-up controller"},
  };
  EXPECT_EQ(plan.problems, expected);
  EXPECT_TRUE(plan.changes.empty());
}

// The plan of a file onto the configuration it came from changes nothing and writes the same
// payload that was read; carried parameter bits alone make a change of their own.
TEST(RestorePlan, ThePlanOfAnUnchangedControllerIsWhatItHolds) {
  auto cfg = Sample();
  cfg->passageCount = 1;  // only the resolvable passage
  const Backup file = BackupOf(*cfg, kControllerId, "", OperatingMode::kSerwis, "");
  const RestorePlan same = PlanRestore(file, *cfg, kControllerId);
  ASSERT_TRUE(same.problems.empty());
  EXPECT_TRUE(same.changes.empty());
  EXPECT_EQ(PassagePayload(*same.planned), PassagePayload(*cfg));

  cfg->params[0][1] ^= 0x01;
  const RestorePlan carried = PlanRestore(file, *cfg, kControllerId);
  const std::vector<Difference> expected = {{"passage 1, params", "31 AB C2 55 07 7F 14 00", "31 AA C2 55 07 7F 14 00"}};
  EXPECT_EQ(carried.changes, expected);
}

}  // namespace
}  // namespace orvu
