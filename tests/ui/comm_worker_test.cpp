// The window on its real communication thread: it never waits for the network, ticks go on
// under every box (real boxes, closed by the test), the user's clicks run in the order made,
// and shutdown completes.
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScreen>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <utility>

#include "tests/ui/window_fixture.h"
#include "ui/qtext.h"

namespace orvu::test {
namespace {

QString Message(ErrCode code) { return QtText(ErrMessage(code)); }

// What the tool sends, seen between the worker and the simulated LAN: each datagram is logged
// with its address and command, may be held at a gate the test opens, and session openings
// may be lost (a controller that refuses sessions).
class Probe {
 public:
  void CloseGate() {
    std::lock_guard lock(mutex_);
    gateClosed_ = true;
  }
  void OpenGate() {
    {
      std::lock_guard lock(mutex_);
      gateClosed_ = false;
    }
    opened_.notify_all();
  }
  void RefuseSessions(bool refuse) {
    std::lock_guard lock(mutex_);
    refuseSessions_ = refuse;
  }
  std::vector<std::pair<std::string, char>> Sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  size_t Count(const std::string& ip, char cmd) const {
    size_t n = 0;
    for (const auto& [to, c] : Sent()) n += to == ip && c == cmd;
    return n;
  }

  // On the worker: false when the datagram is lost.
  bool Pass(const std::string& ip, const uint8_t* data, size_t len) {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return !gateClosed_; });
    // Plain requests are 12 bytes with the command at offset 3, secured ones carry it at 10.
    const char cmd = static_cast<char>(len == 12 ? data[3] : len >= 19 ? data[10] : 0);
    sent_.emplace_back(ip, cmd);
    return !(refuseSessions_ && len == 12 && cmd == 'K');
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable opened_;
  bool gateClosed_ = false;
  bool refuseSessions_ = false;
  std::vector<std::pair<std::string, char>> sent_;
};

class ProbeEndpoint : public EndpointRef {
 public:
  ProbeEndpoint(Endpoint& target, Probe& probe) : EndpointRef(target), probe_(probe) {}
  void Send(const std::string& ip, uint16_t port, const uint8_t* data, size_t len) override {
    if (probe_.Pass(ip, data, len)) EndpointRef::Send(ip, port, data, len);
  }
  void Broadcast(const uint8_t* data, size_t len) override {
    if (probe_.Pass("255.255.255.255", data, len)) EndpointRef::Broadcast(data, len);
  }

 private:
  Probe& probe_;
};

// Watches for error boxes from a timer that keeps running inside their modal loops: every box
// is counted, and closed with its OK button as soon as mayClose says so. A box that mayClose
// keeps open for 10 s is closed all the same (and counted in overdue), so a fault fails the
// test instead of hanging it.
class BoxWatcher {
 public:
  explicit BoxWatcher(std::function<bool(QMessageBox&)> mayClose = [](QMessageBox&) { return true; })
      : mayClose_(std::move(mayClose)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(5);
  }
  std::vector<QString> texts;  // every box seen
  int closed = 0;
  int overdue = 0;

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    if (!open_) {
      texts.push_back(box->text());
      openFor_.start();
    }
    open_ = true;
    if (!mayClose_(*box)) {
      if (openFor_.elapsed() < 10000) return;
      ++overdue;
    }
    open_ = false;
    ++closed;
    box->button(QMessageBox::Ok)->click();
  }

  std::function<bool(QMessageBox&)> mayClose_;
  QTimer timer_;
  QElapsedTimer openFor_;
  bool open_ = false;
};

class ThreadedWindowTest : public WindowTest {
 protected:
  void TearDown() override {
    probe.OpenGate();
    WindowTest::TearDown();
  }

  TMainWin& StartWindow(TMainWin::CommMode mode = TMainWin::CommMode::kThread) {
    win = std::make_unique<TMainWin>(
        [this] { return std::make_unique<ProbeEndpoint>(lan, probe); }, mode);
    ui.emplace(*win);
    ui->UDPTimer->stop();
    return *win;
  }
  // The demo LAN, loaded as at start-up.
  TMainWin& StartLoaded(TMainWin::CommMode mode = TMainWin::CommMode::kThread) {
    AddScenario(lan, DemoScenario());
    TMainWin& w = StartWindow(mode);
    EXPECT_TRUE(RunUntil([&] { return !w.Busy() && ui->DoorTc->count() == 3; }));
    return w;
  }
  void UseRealBoxes() { TMainWin::SetErrorHook(nullptr); }
  void RunTimer(int ms) {
    ui->UDPTimer->setInterval(ms);
    ui->UDPTimer->start();
  }
  static bool RunUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, 20000); }
  void TicksGoOnUnderATicksOwnBox(TMainWin::CommMode mode);

  Probe probe;
};

// The tick's own box must not stop the ticks: behind it the silent controller's line turns
// "Niedostępny" and another controller's session is kept alive.
void ThreadedWindowTest::TicksGoOnUnderATicksOwnBox(TMainWin::CommMode mode) {
  UseRealBoxes();
  TMainWin& w = StartLoaded(mode);
  ChooseDevice(1);  // its session lives on keep-alives only
  ChooseDevice(0);
  ASSERT_TRUE(RunUntil([&] { return !w.Busy() && Devices().sel == 0; }));
  ASSERT_TRUE(lan.Device(1).HoldsOwnSession());
  SimFaults faults;
  faults.corruptSignature = 1;  // the tick's device list read fails
  lan.Device(0).SetFaults(faults);

  size_t keepAlivesAtOpen = 0;
  bool offlineBehindBox = false;
  BoxWatcher boxes([&](QMessageBox& box) {
    if (keepAlivesAtOpen == 0) {
      keepAlivesAtOpen = lan.Device(1).CountRequests('S') + 1;
      lan.Device(0).SetSilent(true);
      EXPECT_EQ(box.parentWidget(), &w);
    }
    offlineBehindBox = Line(ui->EthLstBox, 0).contains(QStringLiteral("Niedostępny"));
    return offlineBehindBox && lan.Device(1).CountRequests('S') > keepAlivesAtOpen + 1;
  });
  RunTimer(10);
  ASSERT_TRUE(RunUntil([&] { return boxes.closed == 1; }));
  EXPECT_EQ(boxes.overdue, 0);
  EXPECT_TRUE(offlineBehindBox);
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(boxes.texts[0].contains(Message(ErrCode::kSignature)));
  EXPECT_TRUE(lan.Device(1).HoldsOwnSession());
}

TEST_F(ThreadedWindowTest, TicksGoOnUnderATicksOwnBox) {
  TicksGoOnUnderATicksOwnBox(TMainWin::CommMode::kThread);
}

// Inline, each tick runs inside the timer's handler, where a box opened at once would hold
// the timer for as long as it is open.
TEST_F(ThreadedWindowTest, TicksGoOnUnderATicksOwnBoxAlsoInline) {
  TicksGoOnUnderATicksOwnBox(TMainWin::CommMode::kInline);
}

// A controller that refuses sessions fails every tick with the same code: one box, not one
// after every OK. Choosing it again makes its failures news again.
TEST_F(ThreadedWindowTest, RefusingControllerIsOneBoxNotOnePerOk) {
  UseRealBoxes();
  StartLoaded();
  probe.RefuseSessions(true);
  lan.Device(0).EndSession();  // power-cycled: the next read must open a session
  BoxWatcher boxes;
  RunTimer(10);
  const std::string ip = "192.168.1.21";
  ASSERT_TRUE(RunUntil([&] { return probe.Count(ip, 'K') >= 15; }));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_TRUE(boxes.texts[0].contains(Message(ErrCode::kSessionRefused)));

  ChooseDevice(0);  // its own box, then the next failing tick's
  const size_t refusals = probe.Count(ip, 'K');
  ASSERT_TRUE(RunUntil([&] { return probe.Count(ip, 'K') >= refusals + 15; }));
  EXPECT_EQ(boxes.texts.size(), 3u);
  EXPECT_EQ(boxes.closed, static_cast<int>(boxes.texts.size()));
  EXPECT_TRUE(ui->EthLstBox->isEnabled());
}

// "Zapisz" and then another controller: the write goes to the controller whose edits it
// carries, before the other is read. While they run the window shows it, and the editor takes
// no edit that the read would discard.
TEST_F(ThreadedWindowTest, TwoClicksRunInTheOrderClicked) {
  TMainWin& w = StartLoaded();
  ASSERT_TRUE(Choose(ui->AlarmCb, Ref(0, 1)));
  probe.CloseGate();
  ui->WrCfgBtn->click();
  ChooseDevice(1);
  EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
  EXPECT_FALSE(ui->WrCfgBtn->isEnabled());
  EXPECT_FALSE(ui->DoorGrpBox->isEnabled());
  EXPECT_FALSE(ui->SelDevBox->isEnabled());
  EXPECT_TRUE(ui->EthLstBox->isEnabled());
  EXPECT_EQ(ui->EthLstBox->currentRow(), 1);
  probe.OpenGate();
  ASSERT_TRUE(RunUntil([&] { return !w.Busy(); }));

  const auto sent = probe.Sent();
  const auto write = std::find(sent.begin(), sent.end(), std::pair<std::string, char>("192.168.1.21", 'c'));
  const auto firstToOther = std::find_if(sent.begin(), sent.end(), [](const auto& d) { return d.first == "192.168.1.22"; });
  EXPECT_LT(write, firstToOther);
  EXPECT_EQ(probe.Count("192.168.1.21", 'c'), 1u);
  EXPECT_EQ(probe.Count("192.168.1.22", 'C'), 1u);
  ASSERT_EQ(lan.Device(0).WrittenPassages().size(), 1u);
  EXPECT_EQ(lan.Device(0).WrittenPassages()[0][OutputOffset(0, kSlotAlarm)], Ref(0, 1) & 0xFF);
  EXPECT_EQ(Devices().sel, 1);
  EXPECT_EQ(ui->DoorTc->count(), 1);
  EXPECT_TRUE(ui->DoorGrpBox->isEnabled());
  EXPECT_TRUE(ui->WrCfgBtn->isEnabled());
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
  EXPECT_TRUE(errors.empty());
}

// Timer events that come while a tick still runs are not queued behind it.
TEST_F(ThreadedWindowTest, TicksDoNotPileUpBehindARunningOne) {
  TMainWin& w = StartLoaded();
  probe.CloseGate();
  for (int i = 0; i < 5; ++i) w.UDPTimerTimer();
  EXPECT_NE(w.cursor().shape(), Qt::WaitCursor);  // ticks are not the user's work
  probe.OpenGate();
  ASSERT_TRUE(RunUntil([&] { return !w.Busy(); }));
  EXPECT_EQ(probe.Count("192.168.1.21", 'D'), 2u);  // the start-up read and one tick
}

// The window is there before the first search has ended; the list fills in after it.
TEST_F(ThreadedWindowTest, WindowIsShownBeforeTheFirstSearchEnds) {
  AddScenario(lan, DemoScenario());
  probe.CloseGate();
  TMainWin& w = StartWindow();
  w.show();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(ui->EthLstBox->count(), 0);
  EXPECT_EQ(w.cursor().shape(), Qt::WaitCursor);
  EXPECT_FALSE(ui->SearchEthBtn->isEnabled());
  probe.OpenGate();
  ASSERT_TRUE(RunUntil([&] { return !w.Busy(); }));
  EXPECT_EQ(ui->DoorTc->count(), 3);
  EXPECT_TRUE(ui->SearchEthBtn->isEnabled());
  EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

// A start-up failure is a box over the shown window, not one alone on an empty screen.
TEST_F(ThreadedWindowTest, StartUpFailureBoxStandsOverTheWindow) {
  UseRealBoxes();
  win = std::make_unique<TMainWin>([]() -> std::unique_ptr<Endpoint> {
    throw std::system_error(EADDRINUSE, std::generic_category(), "bind 0.0.0.0:45389");
  });
  ui.emplace(*win);
  ui->UDPTimer->stop();
  win->show();
  bool overTheWindow = false;
  BoxWatcher boxes([&](QMessageBox& box) {
    overTheWindow = box.parentWidget() == win.get() && win->isVisible();
    return true;
  });
  ASSERT_TRUE(RunUntil([&] { return boxes.closed == 1; }));
  EXPECT_TRUE(overTheWindow);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("45389")));
}

// Closing the window while a tick waits on a silent controller: every session that can be
// closed is, and the window goes.
TEST_F(ThreadedWindowTest, ShutdownWithASilentDeviceCompletes) {
  TMainWin& w = StartLoaded();
  ChooseDevice(1);
  ChooseDevice(0);
  ASSERT_TRUE(RunUntil([&] { return !w.Busy(); }));
  ASSERT_TRUE(lan.Device(0).HoldsOwnSession());
  ASSERT_TRUE(lan.Device(1).HoldsOwnSession());
  lan.Device(1).SetSilent(true);
  w.UDPTimerTimer();
  win.reset();
  EXPECT_FALSE(lan.Device(0).HoldsOwnSession());
  EXPECT_EQ(probe.Count("192.168.1.21", 's'), 1u);
  EXPECT_EQ(probe.Count("192.168.1.22", 's'), 0u);
  EXPECT_TRUE(errors.empty());
}

// The picture of a tick's error box standing over the list, whose line of the silent controller
// reads "Niedostępny" behind it. Written when ORVU_SHOTS names a folder; under Xvfb it is the
// screen itself:
//   ORVU_SHOTS=docs QT_QPA_PLATFORM=xcb xvfb-run -a build/ui_tests --gtest_filter='*Picture'
TEST_F(ThreadedWindowTest, TickErrorBoxPicture) {
  const QString folder = qEnvironmentVariable("ORVU_SHOTS");
  if (folder.isEmpty()) GTEST_SKIP() << "ORVU_SHOTS not set";
  UseRealBoxes();
  TMainWin& w = StartLoaded();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  SimFaults faults;
  faults.corruptSignature = 1;
  lan.Device(0).SetFaults(faults);
  QImage picture;
  BoxWatcher boxes([&](QMessageBox& box) {
    lan.Device(0).SetSilent(true);
    if (!Line(ui->EthLstBox, 0).contains(QStringLiteral("Niedostępny"))) return false;
    QCoreApplication::processEvents();
    const QRect area = w.frameGeometry().united(box.frameGeometry()).adjusted(-8, -8, 8, 8);
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
      picture = QGuiApplication::primaryScreen()->grabWindow(0).copy(area).toImage();
    } else {
      picture = QImage(area.size(), QImage::Format_RGB32);
      picture.fill(Qt::darkGray);
      QPainter paint(&picture);
      paint.drawPixmap(w.geometry().topLeft() - area.topLeft(), w.grab());
      paint.drawPixmap(box.geometry().topLeft() - area.topLeft(), box.grab());
    }
    return true;
  });
  RunTimer(100);
  ASSERT_TRUE(RunUntil([&] { return boxes.closed == 1; }));
  const QString file = QDir(folder).filePath(QStringLiteral("tick-error-box.png"));
  EXPECT_TRUE(picture.save(file)) << file.toStdString();
}

}  // namespace
}  // namespace orvu::test
