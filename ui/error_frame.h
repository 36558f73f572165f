// The windows' one error frame: every failure the main window meets is shown here, in a modal
// box that never opens inside the timer's handler (Qt would hold the timer while it is open)
// and never stacks on another box for what the window met by itself.
#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <vector>

#include "comm/udpdev.h"
#include "ui/comm_outcome.h"
#include "ui/persistent_failures.h"

class QWidget;

namespace orvu {

class ErrorFrame : public QObject {
  Q_OBJECT
 public:
  // Test seam: while installed, every box's text goes to the hook, which returns at once.
  using Hook = std::function<void(const QString&)>;
  static void SetHook(Hook hook);

  // The boxes are modal to window.
  explicit ErrorFrame(QWidget* window);

  // A box with text; it opens from a queued call, one box after the other.
  void Show(const QString& text);
  // A box that tells of success (a verified restore), in the same queue.
  void ShowNotice(const QString& text);
  // A failure that communication met, worded and filtered by who met it: a click is always
  // answered; a tick or start-up says a failure once, not at every recurrence.
  void Show(const Failure& failure);

  // What a job reached: an endpoint opened (no port held against it now), a search went out
  // (the network was there).
  void Reached(bool endpointOpen, bool searched);
  // A tick reached its last step: the next failure of a run is news, and so is a device
  // error of any device it visited.
  void TickEnded(const std::vector<uint32_t>& cleanVisit);
  // The user chose the device again: its tick failures are news again.
  void ChosenAgain(uint32_t devId);

 private:
  Q_INVOKABLE void ShowPendingBoxes();
  void ShowDeviceError(const Failure& failure, const DeviceError& error);
  void ShowSystemFailure(const Failure& failure, const SystemFailure& system);
  // True while a box would stand on another box, open or waiting to open.
  bool WouldNest() const;

  QWidget* window_;
  // Tick failures shown, by device: the same code again stays silent until that device has
  // had a tick without failure or is chosen again.
  std::map<uint32_t, ErrCode> shownTickFailures_;
  // Lasting causes of other failures (a held port, no network) the user has been told of.
  PersistentFailures lastingFailures_;
  // One box for a run of other failures met by ticks; a tick that reaches its end arms the next.
  bool armed_ = true;
  struct Box {
    QString text;
    bool notice = false;
  };
  void Queue(Box box);
  std::deque<Box> boxes_;  // boxes to show, the open one first
  int boxesOpen_ = 0;          // boxes open, also through the hook
};

}  // namespace orvu
