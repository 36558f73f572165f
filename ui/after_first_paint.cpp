#include "ui/after_first_paint.h"

#include <QEvent>
#include <QWidget>

namespace orvu {

namespace {

class FirstPaintWatcher : public QObject {
 public:
  FirstPaintWatcher(QWidget* window, std::function<void()> work)
      : QObject(window), work_(std::move(work)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      // Queued: the children paint and the picture reaches the screen first.
      QMetaObject::invokeMethod(watched, std::move(work_), Qt::QueuedConnection);
      deleteLater();
    }
    return false;
  }

 private:
  std::function<void()> work_;
};

}  // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> work) {
  new FirstPaintWatcher(window, std::move(work));
}

}  // namespace orvu
