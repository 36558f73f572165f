#include "ui/error_frame.h"

#include <QMessageBox>
#include <QWidget>
#include <type_traits>
#include <variant>

#include "ui/error_texts.h"
#include "ui/qtext.h"

namespace orvu {

namespace {

ErrorFrame::Hook& HookSlot() {
  static ErrorFrame::Hook hook;
  return hook;
}

// Restores a counter however the scope is left (errors travel through these frames).
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

QString StaleChoiceText(StaleChoice which) {
  switch (which) {
    case StaleChoice::kPairGone: return PairGoneText();
    case StaleChoice::kControllerChanged: return ControllerChangedText();
    case StaleChoice::kDeviceGone: return DeviceGoneText();
    case StaleChoice::kRestoreChanged: return RestoreChangedText();
  }
  return QString();
}

QString UnverifiedText(const RestoreUnverified& told) {
  const QString writeError = told.writeError ? QtText(*told.writeError) : QString();
  const QString readError = told.readError ? QtText(*told.readError) : QString();
  QStringList held;
  for (const std::string& line : told.held) held << QStringLiteral("  ") + QString::fromStdString(line);
  return RestoreUnverifiedText(QtText(told.controller), told.writeError ? &writeError : nullptr,
                               told.readBack, told.readError ? &readError : nullptr, held);
}

}  // namespace

void ErrorFrame::SetHook(Hook hook) { HookSlot() = std::move(hook); }

ErrorFrame::ErrorFrame(QWidget* window) : QObject(window), window_(window) {}

void ErrorFrame::Show(const QString& text) { Queue(Box{text, false}); }

void ErrorFrame::ShowNotice(const QString& text) { Queue(Box{text, true}); }

void ErrorFrame::Queue(Box box) {
  if (HookSlot()) {
    DepthGuard open(boxesOpen_);
    HookSlot()(box.text);
    return;
  }
  boxes_.push_back(std::move(box));
  if (boxes_.size() == 1) QMetaObject::invokeMethod(this, "ShowPendingBoxes", Qt::QueuedConnection);
}

void ErrorFrame::ShowPendingBoxes() {
  while (!boxes_.empty()) {
    const Box& next = boxes_.front();
    QMessageBox box(next.notice ? QMessageBox::Information : QMessageBox::Critical,
                    next.notice ? QStringLiteral("orvuQ46") : QStringLiteral("Error"), next.text,
                    QMessageBox::Ok, window_);
    box.setObjectName(next.notice ? QStringLiteral("NoticeBox") : QStringLiteral("ErrorBox"));
    {
      DepthGuard open(boxesOpen_);
      box.exec();
    }
    boxes_.pop_front();
  }
}

void ErrorFrame::Show(const Failure& failure) {
  std::visit(
      [&](const auto& what) {
        using What = std::decay_t<decltype(what)>;
        if constexpr (std::is_same_v<What, StaleChoice>)
          Show(StaleChoiceText(what));
        else if constexpr (std::is_same_v<What, DeviceError>)
          ShowDeviceError(failure, what);
        else if constexpr (std::is_same_v<What, SystemFailure>)
          ShowSystemFailure(failure, what);
        else if constexpr (std::is_same_v<What, FileFailure>)
          Show(BackupFileFailureText(QString::fromStdString(what.path), what.step, what.cause,
                                     QString::fromStdString(what.text)));
        else
          Show(UnverifiedText(what));
      },
      failure.what);
}

void ErrorFrame::ShowDeviceError(const Failure& failure, const DeviceError& error) {
  if (failure.origin != FailureOrigin::kTick) {
    Show(QtText(error.text));
    return;
  }
  // A failure that repeats at every tick (a controller refusing sessions, say) is one box,
  // not one after every OK.
  auto shown = shownTickFailures_.find(error.devId);
  if (shown != shownTickFailures_.end() && shown->second == error.code) return;
  if (WouldNest()) return;  // shown once the open box has closed, if it recurs
  shownTickFailures_[error.devId] = error.code;
  Show(QtText(error.text));
}

void ErrorFrame::ShowSystemFailure(const Failure& failure, const SystemFailure& system) {
  const QString text =
      CommFailureText(system.cause, system.port, QString::fromUtf8(system.text));
  if (failure.origin != FailureOrigin::kTick) {
    // A click is always answered; start-up, like a tick, tells a lasting cause (the port still
    // held) only when the user has not been told of it yet.
    if (lastingFailures_.Show(system.cause, failure.origin == FailureOrigin::kAction))
      Show(text);
    return;
  }
  // One box for a run of other failures (a lost socket fails every tick); a tick that reaches
  // its end arms the next. A failure that no box can show yet leaves the box owed. A lasting
  // cause the user has been told of already (the port still held) stays silent.
  if (armed_ && !WouldNest()) {
    armed_ = false;
    if (lastingFailures_.Show(system.cause, false)) Show(text);
  }
}

bool ErrorFrame::WouldNest() const {
  // Ticks go on while any box is open. Were their failures stacked as further boxes, a device
  // failing every fifth tick would pile up boxes while nobody is at the desk; the box already
  // open tells the user, and the failure recurs after it closes.
  return boxesOpen_ > 0 || !boxes_.empty();
}

void ErrorFrame::Reached(bool endpointOpen, bool searched) {
  if (endpointOpen) lastingFailures_.Gone(FailureCause::kPortHeld);
  if (searched) {
    lastingFailures_.Gone(FailureCause::kNoNetwork);
    lastingFailures_.Gone(FailureCause::kBroadcastRefused);
  }
}

void ErrorFrame::TickEnded(const std::vector<uint32_t>& cleanVisit) {
  armed_ = true;
  for (uint32_t id : cleanVisit) shownTickFailures_.erase(id);
}

void ErrorFrame::ChosenAgain(uint32_t devId) { shownTickFailures_.erase(devId); }

}  // namespace orvu
