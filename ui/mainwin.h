// The main window (unit Wmainq46): the Ethernet group, the controller's device panel and the
// passage editor, each a panel of its own that shows what it is given and tells what the user
// asked for; the window composes them, starts the actions on its communication owner and
// shows each outcome on the panels, and every failure in its error frame.
#pragma once
#include <QWidget>

#include <functional>
#include <optional>

#include "comm/udpdev.h"
#include "model/ctrlcfg.h"
#include "ui/backup_file_dialog.h"
#include "ui/comm_jobs.h"
#include "ui/comm_worker.h"
#include "ui/error_frame.h"
#include "ui/save_dialog.h"

class QCloseEvent;
class QTimer;
class THelpWin;
class TLokalizDlg;

namespace orvu {
struct Comparison;
struct RestorePreview;
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
  // Test seam: the file dialog of the Ethernet list's menu, likewise.
  orvu::BackupFileDialog& BackupDlg() { return backupDlg_; }

  // The poll tick, UDPTimer's handler (the timer is the window's child of that name).
  void UDPTimerTimer();
  // True while an action of the user's or a tick is still running on the worker.
  bool Busy() const;

 protected:
  // With unsaved edits the window asks first, and stays open unless they are written or
  // dropped.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void EthLstBoxClick(int row);
  void ChooseController(int row);
  void DelLostBtnClick();
  void ReplaceBtnClick(int pair, const std::string& shownText);
  // The Ethernet list marks the current controller's line again.
  void ShowCurrentLine();
  void WrCfgBtnClick();
  void RapCfgBtnClick();
  void ShowHelp(int page);

  // Before an action that replaces the passages. With unsaved edits the user is asked: "Tak"
  // writes them and the action runs again once the controller acknowledged the write, "Nie"
  // drops them, "Anuluj" does nothing. Edits already on their way in a pending write are not
  // asked about again: the action waits for that write.
  enum class GoOn { kNow, kAfterWrite, kNot };
  GoOn EditsMayGo(std::function<void()> again);
  // The caption's modified mark follows whether the passages differ from the ones last read
  // or written.
  void UpdateModified();
  void WriteEnded(const std::optional<orvu::CtrlConfig>& acknowledged);

  // The Ethernet list's menu.
  void BackupAsked(int row);
  void RestoreAsked(int row);
  void CompareAsked(int row);
  void AddressesAsked();
  void ShowRestorePreview(const orvu::RestorePreview& preview);
  void ShowComparison(const orvu::Comparison& comparison);
  // The identity of the device of line row, when it has one.
  std::optional<uint32_t> DeviceOfLine(int row) const;

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
  orvu::BackupFileDialog backupDlg_;
  orvu::CtrlConfig saved_;  // the passages as last read from or written to the controller
  orvu::CtrlConfig sent_;   // the passages of the last write started
  std::function<void()> afterWrite_;  // what "Tak" asked for, once the write is acknowledged
  THelpWin* HelpWin = nullptr;
  TLokalizDlg* LokalizDlg = nullptr;
};
