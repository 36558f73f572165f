#include <nlohmann/json.hpp>

#include "app/orvuq46-cli/cli_text.h"
#include "comm/identity.h"
#include "comm/udpdev.h"
#include "sim/scenario.h"
#include "tests/app/cli_fixture.h"

namespace orvu::test {
namespace {

class CliShow : public CliFixture {
 protected:
  void SetUp() override {
    small = &server.AddDevice(SmallInstallation(1201, "127.0.0.2", 2));
    SimDeviceConfig locked = SmallInstallation(1202, "127.0.0.3", 1);
    server.AddDevice(locked);
    SimDeviceConfig foreign = SmallInstallation(1203, "127.0.0.4", 3);
    foreign.foreignSession = SimForeignSession::kHeld;
    server.AddDevice(foreign);
    SimDeviceConfig unplugged = SmallInstallation(1204, "127.0.0.5", 2);
    unplugged.silent = true;
    server.AddDevice(unplugged);
    Serve();
  }

  SimDevice* small = nullptr;
};

// A passage row: the label and its colon in a 23-character column after two spaces.
std::string Row(const std::string& label, const std::string& value) {
  std::string line = "  " + Cp1250FromUtf8(label) + ":";
  line.resize(25, ' ');
  return Utf8(line) + value;
}

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The panel's lines and every passage's bindings, as the model decodes the controller's data;
// the session opened for the read is closed again.
TEST_F(CliShow, PrintsThePanelAndThePassagesOfTheController) {
  for (const std::string target : {"K46_01201", "127.0.0.2"}) {
    SCOPED_TRACE(target);
    const CliRun run = Run({"show", target});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(HasLine(run.out, "Kontroler: K46_01201")) << run.out;

    const auto cfg = ModelOf(*small);
    ASSERT_EQ(cfg->listedCount, 8);
    size_t at = 0;  // display order: each line after the previous one
    for (int i = 0; i < cfg->listedCount; ++i) {
      const std::string line = "  " + Utf8(DevListLine(cfg->devices[cfg->listed[i]])) + "\n";
      const size_t found = run.out.find(line, at);
      ASSERT_NE(found, std::string::npos) << "device line " << i << ": " << line;
      at = found + line.size();
    }
    std::vector<ReplacePair> pairs(kMaxReplacePairs);
    ASSERT_EQ(ReplacePairs(*cfg, pairs.data()), 1);
    EXPECT_TRUE(HasLine(run.out, "  " + Utf8(PairText(*cfg, pairs[0]))));

    EXPECT_TRUE(HasLine(run.out, "Przejście 3"));
    EXPECT_FALSE(HasLine(run.out, "Przejście 4"));
    EXPECT_TRUE(HasLine(run.out, Row("Rygiel", "D17_01301:Out1"))) << run.out;
    EXPECT_TRUE(HasLine(run.out, Row("Czujnik otwarcia", "D17_01301:In1 [NC]")));
    EXPECT_TRUE(HasLine(run.out, Row("Rygiel", "D17_01301:Out2 [NC]")));
    EXPECT_TRUE(HasLine(run.out, Row("Alarm", "K46_01201:Out3")));
    EXPECT_TRUE(HasLine(run.out, Row("Czytnik 4", "     ---     ")));
    EXPECT_TRUE(HasLine(run.out, Row("Typ przejścia", "Normalne")));
    EXPECT_TRUE(HasLine(run.out, Row("Śluza", "---")));
    EXPECT_FALSE(small->HoldsOwnSession());
  }
}

TEST_F(CliShow, JsonGivesTheSameAsData) {
  const CliRun run = Run({"show", "K46_01201", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto shown = nlohmann::json::parse(run.out);
  EXPECT_EQ(shown["controller"], "K46_01201");
  EXPECT_EQ(shown["devices"].size(), 8u);
  EXPECT_EQ(shown["replacements"].size(), 1u);
  ASSERT_EQ(shown["passages"].size(), 3u);
  const auto& second = shown["passages"][1];
  EXPECT_EQ(second["bindings"]["bolt"]["text"], "D17_01301:Out2");
  EXPECT_EQ(second["bindings"]["bolt"]["nc"], true);
  EXPECT_EQ(second["bindings"]["reminder"]["ref"], nullptr);
  const auto cfg = ModelOf(*small);
  EXPECT_EQ(second["pulse"], cfg->params[1][4]);
  EXPECT_EQ(second["typeText"], "Normalne");
  EXPECT_FALSE(small->HoldsOwnSession());
}

// Each failure prints the window's error text and exits with its code; a device that never
// answered is named as the user wrote it.
TEST_F(CliShow, FailuresGiveTheirCodeAndErrorText) {
  UdpDev locked(MakeIdentity(346, 1202), ParseIp("127.0.0.3"), 1);
  UdpDev foreign(MakeIdentity(346, 1203), ParseIp("127.0.0.4"), 0x83);
  UdpDev unplugged(MakeIdentity(346, 1204), 0, 0);
  unplugged.online = false;
  const std::string unpluggedText = Utf8(ErrText(UErr(unplugged, ErrCode::kNoAnswer, 0)));
  const struct {
    std::string target;
    int status;
    std::string err;
  } rows[] = {
      {"K46_01202", 9, Utf8(ErrText(UErr(locked, ErrCode::kModeForbids, 0)))},
      {"K46_01203", 2, Utf8(ErrText(UErr(foreign, ErrCode::kForeignSession, 0)))},
      {"K46_01204", 1, unpluggedText},
      {"127.0.0.9", 1, "127.0.0.9" + unpluggedText.substr(9)},
  };
  for (const auto& row : rows) {
    const CliRun run = Run({"show", row.target});
    EXPECT_EQ(run.status, row.status) << row.target;
    EXPECT_EQ(run.err, row.err) << row.target;
    EXPECT_EQ(run.out, "") << row.target;
  }
  EXPECT_NE(unpluggedText.find("Błąd nr 1: Urządzenie nie odpowiada.\n"), std::string::npos);
}

}  // namespace
}  // namespace orvu::test
