#include "ui/multi_row_tab_bar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QStyleOptionTab>
#include <QStyleOptionTabBarBase>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

namespace orvu {

MultiRowTabBar::MultiRowTabBar(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::TabFocus);  // as QTabBar: a click chooses a tab but leaves the focus
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  LayOutTabs();
}

int MultiRowTabBar::addTab(const QString& text) {
  texts_ << text;
  LayOutTabs();
  const int index = count() - 1;
  if (current_ < 0) {
    current_ = index;
    emit currentChanged(current_);
  }
  return index;
}

void MultiRowTabBar::removeTab(int index) {
  if (index < 0 || index >= count()) return;
  texts_.removeAt(index);
  LayOutTabs();
  // As QTabBar: the current tab keeps its place when an earlier one goes; a removed current
  // tab hands over to the tab that takes its place, or to the last.
  if (index < current_) {
    --current_;
    emit currentChanged(current_);
  } else if (index == current_) {
    current_ = std::min(index, count() - 1);
    emit currentChanged(current_);
  }
  update();
}

void MultiRowTabBar::setCurrentIndex(int index) {
  if (index < 0 || index >= count() || index == current_) return;
  current_ = index;
  update();
  emit currentChanged(current_);
}

QString MultiRowTabBar::tabText(int index) const {
  return index >= 0 && index < count() ? texts_[index] : QString();
}

QRect MultiRowTabBar::tabRect(int index) const {
  return index >= 0 && index < static_cast<int>(rects_.size()) ? rects_[index] : QRect();
}

void MultiRowTabBar::TakeCtrlTabIn(QWidget* area) {
  struct Keys {
    QKeySequence keys;
    int delta;
  };
  const Keys steps[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
  for (const Keys& step : steps) {
    auto* shortcut = new QShortcut(step.keys, area);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, delta = step.delta] {
      if (isEnabled()) Step(delta, true);
    });
  }
}

// --- Geometry ---

QSize MultiRowTabBar::TabSize() const {
  // As QTabBar sizes a tab: the text with the style's spacing, then the style's own frame.
  QStyleOptionTab option;
  option.initFrom(this);
  option.shape = QTabBar::RoundedNorth;
  const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
  const int vspace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
  int textWidth = fontMetrics().horizontalAdvance(QStringLiteral("0"));
  for (const QString& text : texts_)
    textWidth = std::max(textWidth, fontMetrics().size(Qt::TextShowMnemonic, text).width());
  const QSize contents(textWidth + hspace, fontMetrics().height() + vspace);
  return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, contents, this);
}

MultiRowTabBar::Grid MultiRowTabBar::GridFor(int width) const {
  Grid grid;
  grid.tab = TabSize();
  const int fit = std::max(1, width / std::max(1, grid.tab.width()));
  grid.rows = std::max(1, (count() + fit - 1) / fit);
  grid.perRow = std::max(1, (count() + grid.rows - 1) / grid.rows);
  return grid;
}

int MultiRowTabBar::BaseHeight() const {
  return std::max(1, style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this));
}

int MultiRowTabBar::heightForWidth(int width) const {
  const Grid grid = GridFor(width);
  return grid.rows * grid.tab.height() + BaseHeight();
}

QSize MultiRowTabBar::sizeHint() const {
  const QSize tab = TabSize();
  return {tab.width() * std::max(1, count()), tab.height() + BaseHeight()};
}

QSize MultiRowTabBar::minimumSizeHint() const {
  const QSize tab = TabSize();
  return {tab.width(), heightForWidth(tab.width())};
}

void MultiRowTabBar::LayOutTabs() {
  const Grid grid = GridFor(width());
  rows_ = grid.rows;
  perRow_ = grid.perRow;
  rects_.resize(texts_.size());
  for (int i = 0; i < count(); ++i) {
    rects_[i] = QRect(QPoint((i % perRow_) * grid.tab.width(), (i / perRow_) * grid.tab.height()),
                      grid.tab);
  }
  const int height = rows_ * grid.tab.height() + BaseHeight();
  if (height != this->height()) {
    setFixedHeight(height);
    updateGeometry();
  }
  update();
}

void MultiRowTabBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (GridFor(width()).perRow != perRow_ || rects_.size() != static_cast<size_t>(count()))
    LayOutTabs();
}

void MultiRowTabBar::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) LayOutTabs();
}

// --- Painting ---

void MultiRowTabBar::InitTabOption(QStyleOptionTab& option, int index) const {
  option.initFrom(this);
  option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
  option.shape = QTabBar::RoundedNorth;
  option.rect = rects_[index];
  option.text = texts_[index];
  option.row = index / perRow_;
  option.documentMode = false;
  const int column = index % perRow_;
  const int lastInRow = std::min(count(), (index / perRow_ + 1) * perRow_) - 1;
  const bool first = column == 0, last = index == lastInRow;
  option.position = first && last ? QStyleOptionTab::OnlyOneTab
                    : first       ? QStyleOptionTab::Beginning
                    : last        ? QStyleOptionTab::End
                                  : QStyleOptionTab::Middle;
  option.selectedPosition = QStyleOptionTab::NotAdjacent;
  if (!first && current_ == index - 1) option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
  if (!last && current_ == index + 1) option.selectedPosition = QStyleOptionTab::NextIsSelected;
  if (index == current_) {
    option.state |= QStyle::State_Selected;
    if (hasFocus()) option.state |= QStyle::State_HasFocus;
  }
}

void MultiRowTabBar::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabBarBase base;
  base.initFrom(this);
  base.shape = QTabBar::RoundedNorth;
  base.documentMode = false;
  base.rect = QRect(0, height() - BaseHeight(), width(), BaseHeight());
  base.tabBarRect = rect();
  const QRect selected = tabRect(current_);
  // The current tab opens into the base only from the row that stands on it.
  if (current_ >= 0 && current_ / perRow_ == rows_ - 1) base.selectedTabRect = selected;
  painter.drawPrimitive(QStyle::PE_FrameTabBarBase, base);

  // Each tab is drawn within its row: a style lets the current tab reach down into the base
  // line, which from an upper row would cover the tab below it.
  auto drawTab = [&](int index) {
    QStyleOptionTab option;
    InitTabOption(option, index);
    const int row = index / perRow_;
    QRect band(0, rects_[index].top(), width(), rects_[index].height());
    if (row == rows_ - 1) band.setBottom(height() - 1);
    painter.save();
    painter.setClipRect(band);
    painter.drawControl(QStyle::CE_TabBarTab, option);
    painter.restore();
  };
  for (int i = 0; i < count(); ++i) {
    if (i != current_) drawTab(i);
  }
  // The current tab last, over its neighbours, as QTabBar does.
  if (current_ >= 0 && current_ < count()) drawTab(current_);
}

// --- Mouse and keys ---

void MultiRowTabBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  const QPoint at = event->position().toPoint();
  for (int i = 0; i < count(); ++i) {
    if (rects_[i].contains(at)) {
      setCurrentIndex(i);
      return;
    }
  }
}

void MultiRowTabBar::Step(int delta, bool wrap) {
  if (count() == 0) return;
  int next = current_ + delta;
  if (wrap) {
    next = ((next % count()) + count()) % count();
  } else {
    next = std::clamp(next, 0, count() - 1);
  }
  setCurrentIndex(next);
}

void MultiRowTabBar::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Left:
      Step(layoutDirection() == Qt::RightToLeft ? 1 : -1, false);
      break;
    case Qt::Key_Right:
      Step(layoutDirection() == Qt::RightToLeft ? -1 : 1, false);
      break;
    case Qt::Key_Up:
      if (current_ - perRow_ >= 0) Step(-perRow_, false);
      break;
    case Qt::Key_Down:
      if (current_ / perRow_ < rows_ - 1) Step(perRow_, false);
      break;
    case Qt::Key_Home:
      setCurrentIndex(0);
      break;
    case Qt::Key_End:
      setCurrentIndex(count() - 1);
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
      if (!ctrl) {
        event->ignore();
        return;
      }
      Step(event->key() == Qt::Key_PageDown ||
                   (event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier))
               ? 1
               : -1,
           true);
      break;
    default:
      event->ignore();
      return;
  }
  event->accept();
}

}  // namespace orvu
