// Unsaved edits of the passages are never dropped without a word: the caption marks them, and
// every action that would replace them asks first, with the real box, answered by the test.
#include <QApplication>
#include <QCloseEvent>
#include <iterator>
#include <string>
#include <tuple>

#include "tests/ui/window_fixture.h"
#include "ui/error_texts.h"

namespace orvu::test {
namespace {

class UnsavedEditsTest : public WindowTest {
 protected:
  // The demo LAN, K46_01201 read, and the alarm output of its first passage bound anew.
  TMainWin& StartEdited() {
    AddScenario(lan, DemoScenario());
    TMainWin& w = Start();
    w.show();
    EXPECT_FALSE(w.isWindowModified());
    alarmAsRead = Cfg().outRefs[0][kSlotAlarm];
    EXPECT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
    EXPECT_TRUE(w.isWindowModified());
    return w;
  }
  SimDevice& Controller() { return lan.Device(0); }

  int alarmAsRead = kNone;
};

TEST_F(UnsavedEditsTest, AnEditUndoneByHandIsNoChange) {
  TMainWin& w = StartEdited();
  ASSERT_NE(alarmAsRead, Ref(0, 1));
  ASSERT_TRUE(Choose(ui->AlarmCb, alarmAsRead));
  EXPECT_FALSE(w.isWindowModified());
  // A tick that reads the bus again keeps the edits and asks nothing.
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  w.UDPTimerTimer();
  EXPECT_TRUE(w.isWindowModified());
  EXPECT_TRUE(questions.empty());
  Click(ui->WrCfgBtn);
  EXPECT_FALSE(w.isWindowModified());
}

// Each action that replaces the passages, with each answer: "Tak" writes first and goes on once
// the write is acknowledged, "Nie" drops the edits and goes on, "Anuluj" leaves all as it was.
struct ReplacingAction {
  const char* name;
  void (*run)(WindowTest&);
  bool (*happened)(WindowTest&, SimDevice& controller);
  // A controller takes written passages as accepting its new devices: after "Tak" no pair is
  // left to replace, and the window says so instead of sending it.
  bool possibleAfterWrite = true;
};
const ReplacingAction kActions[] = {
    {"AnotherController", [](WindowTest& t) { t.ChooseDevice(1); },
     [](WindowTest& t, SimDevice&) { return t.Devices().sel == 1 && t.ui->DoorTc->count() == 1; }},
    {"TheSameControllerAgain", [](WindowTest& t) { t.ChooseDevice(0); },
     [](WindowTest&, SimDevice& c) { return c.CountRequests('C') == 2; }},
    {"DeleteInactive", [](WindowTest& t) { Click(t.ui->DelLostBtn); },
     [](WindowTest&, SimDevice& c) { return c.CountRequests('F') == 1; }},
    {"Replace", [](WindowTest& t) { Click(t.ui->ReplaceBtn); },
     [](WindowTest&, SimDevice& c) { return c.CountRequests('R') == 1; }, false},
    {"CloseTheWindow", [](WindowTest& t) { t.win->close(); },
     [](WindowTest& t, SimDevice&) { return !t.win->isVisible(); }},
};
struct QuestionAnswer {
  const char* button;
  bool writes, goesOn;
};
const QuestionAnswer kAnswers[] = {{"Tak", true, true}, {"Nie", false, true}, {"Anuluj", false, false}};

class ReplacingActionTest : public UnsavedEditsTest,
                            public testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(ReplacingActionTest, AsksAndDoesWhatTheAnswerSays) {
  const ReplacingAction& action = kActions[std::get<0>(GetParam())];
  const QuestionAnswer& answer = kAnswers[std::get<1>(GetParam())];
  TMainWin& w = StartEdited();
  AnswerQuestion(QString::fromUtf8(answer.button));
  action.run(*this);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], QStringLiteral("Zapisać zmiany w przejściach kontrolera K46_01201?"));
  ASSERT_EQ(Controller().WrittenPassages().size(), answer.writes ? 1u : 0u);
  if (answer.writes) {
    EXPECT_EQ(Controller().WrittenPassages()[0][OutputOffset(0, kSlotAlarm)], Ref(0, 1) & 0xFF);
  }
  const bool pairGone = answer.writes && !action.possibleAfterWrite;
  EXPECT_EQ(action.happened(*this, Controller()), answer.goesOn && !pairGone);
  if (w.isVisible()) {
    EXPECT_EQ(w.isWindowModified(), !answer.goesOn);
  }
  if (!answer.goesOn) {
    EXPECT_EQ(ui->EthLstBox->currentRow(), 0);
    EXPECT_EQ(Cfg().outRefs[0][kSlotAlarm], Ref(0, 1));
  }
  if (pairGone) {
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], PairGoneText());
    EXPECT_EQ(ui->ReplCb->count(), 0);
  } else {
    EXPECT_TRUE(errors.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachActionEachAnswer, ReplacingActionTest,
    testing::Combine(testing::Range(0, int(std::size(kActions))), testing::Range(0, 3)),
    [](const testing::TestParamInfo<std::tuple<int, int>>& info) {
      return std::string(kActions[std::get<0>(info.param)].name) + "_" +
             kAnswers[std::get<1>(info.param)].button;
    });

// "Tak" whose write fails keeps the edits, shows the error and does not go on; closing then
// leaves the window open.
TEST_F(UnsavedEditsTest, AFailedWriteUnderTakKeepsTheEditsAndStops) {
  TMainWin& w = StartEdited();
  Controller().SetSilent(true);
  AnswerQuestion(QStringLiteral("Tak"));
  ChooseDevice(1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(Devices().sel, 0);
  EXPECT_EQ(ui->EthLstBox->currentRow(), 0);
  EXPECT_TRUE(w.isWindowModified());
  EXPECT_TRUE(ui->DoorGrpBox->isEnabled());

  AnswerQuestion(QStringLiteral("Tak"));
  w.close();
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(Cfg().outRefs[0][kSlotAlarm], Ref(0, 1));

  // Once the controller answers, "Tak" writes and the window closes.
  Controller().SetSilent(false);
  AnswerQuestion(QStringLiteral("Tak"));
  w.close();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(Controller().WrittenPassages().size(), 1u);
}

// "Tak" before a restore whose file dialog is then cancelled: the edits are written and the
// editor takes edits again.
TEST_F(UnsavedEditsTest, AWriteBeforeARestoreThatIsCancelledLeavesTheEditorUsable) {
  TMainWin& w = StartEdited();
  AnswerQuestion(QStringLiteral("Tak"));
  w.BackupDlg().SetNextAnswer(std::nullopt);
  ChooseInMenu(0, "RestoreAct");
  EXPECT_EQ(Controller().WrittenPassages().size(), 1u);
  EXPECT_FALSE(w.isWindowModified());
  EXPECT_TRUE(ui->DoorGrpBox->isEnabled());
  EXPECT_TRUE(ui->SelDevBox->isEnabled());
}

// Escape is "Anuluj", Enter is "Tak": the box as the keyboard finds it.
TEST_F(UnsavedEditsTest, EscapeCancelsAndEnterSaves) {
  TMainWin& w = StartEdited();
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Escape);
  });
  // The keys reach the box from inside its loop; the fixture's answerer would answer it later.
  questionAnswerer.stop();
  ChooseDevice(1);
  EXPECT_EQ(Devices().sel, 0);
  EXPECT_TRUE(w.isWindowModified());
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
  });
  ChooseDevice(1);
  EXPECT_EQ(Controller().WrittenPassages().size(), 1u);
  EXPECT_EQ(Devices().sel, 1);
}

// A search keeps the current controller and its passages: nothing to ask.
TEST_F(UnsavedEditsTest, ASearchKeepsTheEditsWithoutAsking) {
  TMainWin& w = StartEdited();
  Click(ui->SearchEthBtn);
  EXPECT_TRUE(questions.empty());
  EXPECT_TRUE(w.isWindowModified());
  EXPECT_EQ(Cfg().outRefs[0][kSlotAlarm], Ref(0, 1));
}

}  // namespace
}  // namespace orvu::test
