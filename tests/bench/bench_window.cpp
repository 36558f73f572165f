// The window's responsiveness over a bad network.
//
// Lateness: the real window, on its real communication thread, over the in-process simulated
// LAN on a real clock, ticking every second, with the user choosing the current controller
// again every 3 s and real error boxes closed after 300 ms. A 10 ms timer on the
// user-interface thread records how late it fires. Conditions: the current controller silent;
// 30 % loss each way with every reply 150 ms late; a junk datagram every 50 ms. A run of the
// same timer without any window shows what the machine itself adds. Goal: longest lateness
// under 16 ms in each condition. How fast the window appears: bench_startup.
//
//   bench_window [--seconds N]
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"

namespace {

using namespace orvu;

// A junk datagram of random bytes arrives every periodMs, whatever the tool is waiting for.
class JunkEndpoint : public EndpointRef {
 public:
  JunkEndpoint(Endpoint& target, int periodMs) : EndpointRef(target), periodMs_(periodMs) {
    next_ = Now() + periodMs_;
  }
  size_t Receive(uint8_t* buf, size_t cap, int timeoutMs, std::string* from) override {
    const int wait = timeoutMs < 0 ? kReceiveTimeoutMs : timeoutMs;
    const int64_t deadline = Now() + wait;
    for (;;) {
      if (Now() >= next_) {
        next_ += periodMs_;
        const size_t n = std::min<size_t>(cap, 28);
        for (size_t i = 0; i < n; ++i) buf[i] = static_cast<uint8_t>(random_());
        if (from) *from = "192.168.1.99";
        return n;
      }
      const int64_t left = std::min(deadline, next_) - Now();
      const size_t n = EndpointRef::Receive(buf, cap, static_cast<int>(std::max<int64_t>(left, 0)), from);
      if (n > 0) return n;
      if (Now() >= deadline && Now() < next_) return 0;
    }
  }

 private:
  static int64_t Now() { return RealClock().NowMs(); }
  int periodMs_;
  int64_t next_;
  std::mt19937 random_{7};
};

struct Figures {
  double maxMs = 0;
  double p99Ms = 0;
  size_t samples = 0;
  int boxes = 0;
  int ticks = 0;
};

// Runs the event loop for seconds while a 10 ms timer records how late each of its events is.
Figures MeasureLateness(int seconds, const std::function<void()>& everyThreeSeconds) {
  std::vector<double> late;
  QElapsedTimer clock;
  clock.start();
  qint64 last = clock.nsecsElapsed();
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    const qint64 now = clock.nsecsElapsed();
    late.push_back(std::max(0.0, (now - last) / 1e6 - 10.0));
    last = now;
  });
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, everyThreeSeconds);
  int boxes = 0;
  QTimer closer;  // a user who reads each box for 300 ms, then presses OK
  QElapsedTimer boxOpen;
  QMessageBox* seen = nullptr;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    if (box != seen) {
      seen = box;
      ++boxes;
      boxOpen.start();
    }
    if (boxOpen.elapsed() >= 300) {
      seen = nullptr;
      box->button(QMessageBox::Ok)->click();
    }
  });
  probe.start(10);
  if (everyThreeSeconds) user.start(3000);
  closer.start(20);
  const qint64 end = clock.elapsed() + seconds * 1000LL;
  while (clock.elapsed() < end) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  probe.stop();
  user.stop();
  // A box may still be open: close what is left before the window goes.
  while (QApplication::activeModalWidget()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  closer.stop();

  Figures f;
  f.samples = late.size();
  f.boxes = boxes;
  if (late.empty()) return f;
  std::sort(late.begin(), late.end());
  f.maxMs = late.back();
  f.p99Ms = late[static_cast<size_t>(0.99 * (late.size() - 1))];
  return f;
}

struct Condition {
  const char* name;
  std::function<void(SimLan&)> apply;  // after the first load
  bool junk = false;
};

Figures RunCondition(const Condition& c, int seconds) {
  RealClock clock;
  SimLan lan(clock);
  lan.SetEchoBroadcast(false);
  AddScenario(lan, DemoScenario());
  const bool junk = c.junk;
  TMainWin w([&lan, junk]() -> std::unique_ptr<Endpoint> {
    if (junk) return std::make_unique<JunkEndpoint>(lan, 50);
    return std::make_unique<EndpointRef>(lan);
  });
  w.show();
  QElapsedTimer load;
  load.start();
  auto* tabs = w.findChild<orvu::MultiRowTabBar*>(QStringLiteral("DoorTc"));
  auto* list = w.findChild<QListWidget*>(QStringLiteral("EthLstBox"));
  while ((w.Busy() || tabs->count() == 0) && load.elapsed() < 20000)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  c.apply(lan);
  int ticks = 0;
  QObject::connect(w.findChild<QTimer*>(QStringLiteral("UDPTimer")), &QTimer::timeout,
                   [&] { ++ticks; });
  Figures f = MeasureLateness(seconds, [list] {
    // The user clicks the current controller again: a re-read, a rebuilt editor.
    QListWidgetItem* item = list->item(std::max(0, list->currentRow()));
    if (item) QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  });
  f.ticks = ticks;
  return f;
}

void Print(const char* name, const Figures& f) {
  std::printf("%-34s longest %6.2f ms  p99 %5.2f ms  samples %5zu  ticks %3d  boxes %2d  %s\n", name,
              f.maxMs, f.p99Ms, f.samples, f.ticks, f.boxes, f.maxMs < 16.0 ? "goal met" : "GOAL MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int seconds = 8;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atoi(argv[i + 1]);

  QApplication app(argc, argv);
  TMainWin::SetErrorHook(nullptr);
  Print("no window (the machine's own)", MeasureLateness(seconds, nullptr));
  const Condition conditions[] = {
      {"current controller silent", [](SimLan& lan) { lan.Device(0).SetSilent(true); }},
      {"30% loss each way, 150 ms delays",
       [](SimLan& lan) {
         SimFaults faults;
         faults.dropRequest = 0.3;
         faults.dropReply = 0.3;
         faults.delayReply = 1;
         faults.delayMs = 150;
         for (size_t i = 0; i < lan.DeviceCount(); ++i) lan.Device(i).SetFaults(faults);
       }},
      {"a junk datagram every 50 ms", [](SimLan&) {}, true},
  };
  for (const Condition& c : conditions) Print(c.name, RunCondition(c, seconds));
  return 0;
}
