// The error frame's rules for what the window meets by itself: one box for a run of tick
// failures, re-armed by a tick that reaches its end; a device's repeated error told once until
// that device had a tick without it or is chosen again. Clicks are always answered.
#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <vector>

#include "ui/error_frame.h"

namespace orvu::test {
namespace {

class ErrorFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorFrame::SetHook([this](const QString& text) { shown.push_back(text); });
  }
  void TearDown() override { ErrorFrame::SetHook(nullptr); }

  template <class What>
  static Failure Tick(What what) {
    return Failure{FailureOrigin::kTick, std::move(what)};
  }

  QWidget window;
  ErrorFrame frame{&window};
  std::vector<QString> shown;
};

TEST_F(ErrorFrameTest, ARunOfTickFailuresIsOneBoxUntilATickReachesItsEnd) {
  const Failure lostSocket = Tick(SystemFailure{FailureCause::kOther, 45389, "recvfrom"});
  frame.Show(lostSocket);
  frame.Show(lostSocket);
  EXPECT_EQ(shown.size(), 1u);
  frame.TickEnded({});
  frame.Show(lostSocket);
  EXPECT_EQ(shown.size(), 2u);
  // A click is answered whatever the run.
  frame.Show(Failure{FailureOrigin::kAction, SystemFailure{FailureCause::kOther, 45389, "x"}});
  EXPECT_EQ(shown.size(), 3u);
}

TEST_F(ErrorFrameTest, ADevicesRepeatedTickErrorIsNewsOnlyAfterACleanTickOrAChoice) {
  const Failure refused = Tick(DeviceError{1201, ErrCode::kSessionRefused, 'K', "K46_01201"});
  const Failure other = Tick(DeviceError{1202, ErrCode::kSessionRefused, 'K', "K46_01202"});
  frame.Show(refused);
  frame.Show(refused);
  frame.Show(other);
  EXPECT_EQ(shown.size(), 2u);
  frame.TickEnded({1202});  // a clean tick of the other device only
  frame.Show(refused);
  EXPECT_EQ(shown.size(), 2u);
  frame.TickEnded({1201});
  frame.Show(refused);
  EXPECT_EQ(shown.size(), 3u);
  frame.ChosenAgain(1201);
  frame.Show(refused);
  EXPECT_EQ(shown.size(), 4u);
}

}  // namespace
}  // namespace orvu::test
