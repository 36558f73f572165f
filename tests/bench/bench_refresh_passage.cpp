// The passage editor's redraw at the largest configuration (124 bus devices with 15 outputs,
// 15 inputs and 3 readers each, 16 passages), and a controller's selection from the click to
// the filled editor, over the in-process simulated LAN.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <memory>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"

namespace {

struct LargeWindow {
  orvu::ManualClock clock;
  orvu::SimLan lan{clock};
  std::unique_ptr<TMainWin> win;

  LargeWindow() {
    lan.SetEchoBroadcast(false);
    lan.AddDevice(orvu::LargeInstallation(1201, "192.168.1.21", 3));
    TMainWin::SetErrorHook([](const QString&) {});
    win = std::make_unique<TMainWin>([this] { return std::make_unique<orvu::EndpointRef>(lan); },
                                     TMainWin::CommMode::kInline);
    win->UDPTimer->stop();
    win->show();
    QApplication::processEvents();
  }
  ~LargeWindow() { TMainWin::SetErrorHook(nullptr); }
};

void BM_RefreshPassage(benchmark::State& state) {
  LargeWindow large;
  TMainWin& w = *large.win;
  if (w.DoorTc->count() != 16 || w.Cfg.listedCount != 124) {
    state.SkipWithError("the large configuration was not loaded");
    return;
  }
  int tab = 0;
  for (auto _ : state) {
    {
      QSignalBlocker quiet(w.DoorTc);
      w.DoorTc->setCurrentIndex(tab);
    }
    w.RefreshPassage();
    tab = (tab + 1) % 16;
  }
  int items = 0;
  for (QComboBox* list : w.outputLists) items += list->count();
  for (const TMainWin::InputRow& row : w.inputRows) items += row.list->count();
  for (QComboBox* list : w.RdCb) items += list->count();
  state.counters["list_items"] = items;  // all twelve lists, to show what each redraw fills
}
BENCHMARK(BM_RefreshPassage)->Unit(benchmark::kMillisecond);

// The click on the current controller: status query, device list and passages read, tabs,
// device panel and editor rebuilt (the session is already open, as after the first read).
void BM_ClickToEditorFilled(benchmark::State& state) {
  LargeWindow large;
  TMainWin& w = *large.win;
  for (auto _ : state) {
    w.EthLstBoxClick();
    if (w.DoorTc->count() != 16) state.SkipWithError("the controller was not read");
  }
}
BENCHMARK(BM_ClickToEditorFilled)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
