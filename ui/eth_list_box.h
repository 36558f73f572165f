// The Ethernet list: a device is chosen by a click on its line (also the current line, which
// reads it again) or by moving the current line with the keyboard. Rows set by the program
// choose nothing.
#pragma once
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <functional>

namespace orvu {

class EthListBox : public QListWidget {
 public:
  using QListWidget::QListWidget;

  std::function<void()> onChoose;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QListWidget::mouseReleaseEvent(event);
    // On release, so that a press dragged over several lines chooses once, where it ends.
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) && onChoose)
      onChoose();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0 && onChoose) onChoose();
  }
};

}  // namespace orvu
