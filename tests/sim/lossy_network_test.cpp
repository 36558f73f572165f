// A controller behind a link that loses 30% of the datagrams each way, duplicates and delays
// replies: every operation of the tool either recovers by retrying or ends in one of the
// errors a lost exchange leads to, and the controller never holds a configuration other than
// one the tool sent.
#include <gtest/gtest.h>

#include <set>

#include "commands/commands.h"
#include "model/ctrlcfg.h"
#include "sim/scenario.h"
#include "tests/sim/udp_fixture.h"

namespace orvu {
namespace {

// Errors a lost, duplicated or late datagram can lead to: no status answer (1), a session the
// controller opened but whose seed was lost, so it looks foreign (2) or refuses 'K' (3), a
// late reply from an ended session failing the signature (4), a secured exchange with no
// answer (6) or no acknowledgement (7).
const std::set<ErrCode> kLossErrors = {ErrCode::kNoAnswer, ErrCode::kForeignSession,
                                       ErrCode::kSessionRefused, ErrCode::kSignature,
                                       ErrCode::kNoReply, ErrCode::kNoAck};

std::vector<uint8_t> Encoded(const CtrlConfig& cfg) {
  std::vector<uint8_t> out(kMaxPassagePayload);
  out.resize(EncodePassages(cfg, out.data()));
  return out;
}

class LossyNetwork : public UdpFixture {};

TEST_F(LossyNetwork, EveryOperationRecoversOrEndsInALossErrorAndNothingForeignIsStored) {
  SimDeviceConfig config = SmallInstallation(1201, "127.0.0.2", 2);
  config.faults.dropRequest = 0.3;
  config.faults.dropReply = 0.3;
  config.faults.duplicateReply = 0.2;
  config.faults.delayReply = 0.2;
  config.faults.delayMs = 40;  // later than the tool's wait: the reply meets the next try
  config.faults.seed = 4242;
  SimDevice& sim = server.AddDevice(config);
  Serve(/*timeoutMs=*/30);
  UdpDev& dev = Tool(sim);

  std::set<std::vector<uint8_t>> sent;
  CtrlConfig cfg;
  int succeeded = 0, failed = 0;
  for (int round = 0; round < 40; ++round) {
    try {
      switch (round % 4) {
        case 0:
          dev.Status();  // never raises
          break;
        case 1:
          ReadCfg(dev, cfg);
          break;
        case 2:
          if (cfg.passageCount == 0) continue;
          cfg.params[0][4] = uint8_t(round);  // a change the user made
          sent.insert(Encoded(cfg));
          WriteCfg(dev, cfg);
          // Not necessarily this payload: a late acknowledgement of an earlier write counts
          // as the reply, as it would from a real controller.
          EXPECT_TRUE(sent.count(sim.Passages()));
          break;
        case 3:
          dev.KeepAlive();
          break;
      }
      ++succeeded;
    } catch (const UErr& e) {
      ++failed;
      EXPECT_TRUE(kLossErrors.count(e.code)) << "round " << round << ": code " << e.code;
      // A session whose opening the tool missed ends by itself; let that time pass.
      if (e.code == ErrCode::kForeignSession || e.code == ErrCode::kSessionRefused)
        clock.Advance(kSimSessionIdleMs);
    }
  }
  for (const std::vector<uint8_t>& stored : sim.WrittenPassages()) {
    EXPECT_TRUE(sent.count(stored)) << "the controller stored a configuration nobody wrote";
  }
  // Also what it holds now is the scenario's or one the tool sent.
  const std::vector<uint8_t> now = sim.Passages();
  EXPECT_TRUE(now == config.passages || sent.count(now));
  EXPECT_GT(succeeded, 0);
  EXPECT_FALSE(sim.WrittenPassages().empty());
  RecordProperty("succeeded", succeeded);
  RecordProperty("failed", failed);
}

}  // namespace
}  // namespace orvu
