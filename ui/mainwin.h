// The main window (unit Wmainq46): the Ethernet group, the controller's device panel and the
// passage editor, each a panel of its own that shows what it is given and tells what the user
// asked for; the window composes them, starts the actions on its communication owner and
// shows each outcome on the panels, and every failure in its error frame.
#pragma once
#include <QWidget>

#include "comm/udpdev.h"
#include "ui/comm_jobs.h"
#include "ui/comm_worker.h"
#include "ui/error_frame.h"
#include "ui/save_dialog.h"

class QTimer;
class THelpWin;
class TLokalizDlg;

namespace orvu {
class DevicePanel;
class EthernetPanel;
class PassageEditor;
class WindowComm;
struct LanOutcome;
}  // namespace orvu

class TMainWin : public QWidget {
  Q_OBJECT
 public:
  using EndpointFactory = orvu::EndpointFactory;
  using CommMode = orvu::CommWorker::Mode;
  using ErrorHook = orvu::ErrorFrame::Hook;

  // Builds the controls and starts FormCreate (the first search and list refresh) on the
  // communication worker; the window can be shown at once, the list and editor fill in when
  // the worker is done. kInline runs every job at once on this thread (tests).
  explicit TMainWin(EndpointFactory makeEndpoint, CommMode commMode = CommMode::kThread,
                    QWidget* parent = nullptr);
  // Runs what the worker still has to do, then closes every held session; always completes.
  ~TMainWin() override;

  void SetAuxWindows(THelpWin* helpWin, TLokalizDlg* lokalizDlg);
  // Test seam: while installed, every error box's text goes to the hook instead.
  static void SetErrorHook(ErrorHook hook);
  // Test seam: the save dialog of "Raport", which can be told its next answer.
  SaveFileDialog& SaveRapDlg() { return saveRapDlg_; }

  // The poll tick, UDPTimer's handler (the timer is the window's child of that name).
  void UDPTimerTimer();
  // True while an action of the user's or a tick is still running on the worker.
  bool Busy() const;

 private:
  void FormCreate();
  void EthLstBoxClick(int row);
  void WrCfgBtnClick();
  void RapCfgBtnClick();
  void ShowHelp(int page);

  void ShowLan(const orvu::LanOutcome& lan);
  void ShowBusy();
  orvu::OperatingMode CurrentMode() const;

  orvu::EthernetPanel* ethernet_;
  orvu::DevicePanel* devicePanel_;
  orvu::PassageEditor* editor_;
  orvu::ErrorFrame* errors_;
  orvu::WindowComm* comm_;
  QTimer* UDPTimer;
  SaveFileDialog saveRapDlg_;
  THelpWin* HelpWin = nullptr;
  TLokalizDlg* LokalizDlg = nullptr;
};
