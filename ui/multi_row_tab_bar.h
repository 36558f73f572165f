// A tab bar that shows its tabs in as many rows as they need, so that every tab is in sight at
// once (Qt's own tab bar keeps one row and scrolls). The subset of QTabBar's interface the
// windows use, with the same signal and the same keys: Left and Right step to the neighbouring
// tab, Up and Down to the row above or below, Home and End to the first and last; Ctrl+Tab and
// Ctrl+Shift+Tab (Ctrl+PgDown, Ctrl+PgUp) step round, also from the controls of the area given
// to TakeCtrlTabIn.
#pragma once
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <vector>

class QStyleOptionTab;

namespace orvu {

class MultiRowTabBar : public QWidget {
  Q_OBJECT
 public:
  explicit MultiRowTabBar(QWidget* parent = nullptr);

  int addTab(const QString& text);
  void removeTab(int index);
  int count() const { return static_cast<int>(texts_.size()); }
  int currentIndex() const { return current_; }
  // An index outside the tabs is ignored, as QTabBar does.
  void setCurrentIndex(int index);
  QString tabText(int index) const;
  // In the bar's coordinates; empty for an index outside the tabs.
  QRect tabRect(int index) const;
  int rowCount() const { return rows_; }

  // Ctrl+Tab and its companions step through the tabs while the focus is anywhere in area (the
  // controls that show the current tab's content).
  void TakeCtrlTabIn(QWidget* area);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 signals:
  void currentChanged(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct Grid {
    QSize tab;       // every tab alike, the widest text's size
    int perRow = 1;  // rows are filled evenly
    int rows = 1;
  };
  Grid GridFor(int width) const;
  QSize TabSize() const;
  void InitTabOption(QStyleOptionTab& option, int index) const;
  // Places the tabs in rows for the current width and takes the height they need.
  void LayOutTabs();
  void Step(int delta, bool wrap);
  int BaseHeight() const;

  QStringList texts_;
  std::vector<QRect> rects_;
  int current_ = -1;
  int rows_ = 1;
  int perRow_ = 1;
};

}  // namespace orvu
