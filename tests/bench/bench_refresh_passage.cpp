// The passage editor's redraw at the largest configuration (124 bus devices with 15 outputs,
// 15 inputs and 3 readers each, 16 passages), and a controller's selection from the click to
// the filled editor, over the in-process simulated LAN.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>
#include <memory>

#include "sim/clock.h"
#include "sim/lan.h"
#include "sim/scenario.h"
#include "ui/endpoint_ref.h"
#include "ui/mainwin.h"
#include "ui/multi_row_tab_bar.h"
#include "ui/passage_editor.h"

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
    win->findChild<QTimer*>(QStringLiteral("UDPTimer"))->stop();
    win->show();
    QApplication::processEvents();
  }
  ~LargeWindow() { TMainWin::SetErrorHook(nullptr); }

  template <class Control>
  Control* Named(const char* name) const {
    return win->findChild<Control*>(QString::fromLatin1(name));
  }
};

// The names of the editor's twelve drop-down lists of outputs, inputs and readers.
constexpr const char* kRefLists[] = {"RygielCb", "RemindCb", "AlarmCb", "CctvCb",
                                     "OutBtnCb", "OpenDetectCb", "Alarm0Cb", "Alarm1Cb",
                                     "Rd1Cb", "Rd2Cb", "Rd3Cb", "Rd4Cb"};

void BM_RefreshPassage(benchmark::State& state) {
  LargeWindow large;
  auto* tabs = large.Named<orvu::MultiRowTabBar>("DoorTc");
  auto* editor = large.Named<orvu::PassageEditor>("DoorGrpBox");
  if (tabs->count() != 16 || editor->Config().listedCount != 124) {
    state.SkipWithError("the large configuration was not loaded");
    return;
  }
  int tab = 0;
  for (auto _ : state) {
    {
      QSignalBlocker quiet(tabs);
      tabs->setCurrentIndex(tab);
    }
    editor->Show(orvu::OperatingMode::kInstalacja);
    tab = (tab + 1) % 16;
  }
  int items = 0;
  for (const char* name : kRefLists) items += large.Named<QComboBox>(name)->count();
  state.counters["list_items"] = items;  // all twelve lists, to show what each redraw fills
}
BENCHMARK(BM_RefreshPassage)->Unit(benchmark::kMillisecond);

// The click on the current controller: status query, device list and passages read, tabs,
// device panel and editor rebuilt (the session is already open, as after the first read).
void BM_ClickToEditorFilled(benchmark::State& state) {
  LargeWindow large;
  auto* list = large.Named<QListWidget>("EthLstBox");
  auto* tabs = large.Named<orvu::MultiRowTabBar>("DoorTc");
  const QPoint line = list->visualItemRect(list->item(0)).center();
  for (auto _ : state) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
    if (tabs->count() != 16) state.SkipWithError("the controller was not read");
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
