// The Ethernet list: a device is chosen by a click on its line (also the current line, which
// reads it again) or by moving the current line with the keyboard. Rows set by the program
// choose nothing. Its menu opens on a line with the right mouse button, the menu key or
// Shift+F10.
#pragma once
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <functional>

namespace orvu {

class EthListBox : public QListWidget {
 public:
  using QListWidget::QListWidget;

  std::function<void()> onChoose;
  // The menu of line row (-1: no line under the mouse), at a global position.
  std::function<void(int row, QPoint global)> onMenu;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QListWidget::mouseReleaseEvent(event);
    // On release, so that a press dragged over several lines chooses once, where it ends.
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) && onChoose)
      onChoose();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
      // Taken here, so the system makes no second menu of the same key.
      event->accept();
      OpenMenuAtCurrentLine();
      return;
    }
    const int before = currentRow();
    QListWidget::keyPressEvent(event);
    if (currentRow() != before && currentRow() >= 0 && onChoose) onChoose();
  }
  void contextMenuEvent(QContextMenuEvent* event) override {
    if (!onMenu) return;
    if (event->reason() != QContextMenuEvent::Mouse) {
      OpenMenuAtCurrentLine();
      return;
    }
    QListWidgetItem* item = itemAt(event->pos());
    onMenu(item ? row(item) : -1, event->globalPos());
  }

 private:
  void OpenMenuAtCurrentLine() {
    if (!onMenu) return;
    QListWidgetItem* item = currentItem();
    const QRect line = item ? visualItemRect(item) : QRect();
    onMenu(item ? row(item) : -1, viewport()->mapToGlobal(item ? line.center() : QPoint(0, 0)));
  }
};

}  // namespace orvu
