#include "ui/compact_combo_style.h"

#include <QComboBox>
#include <QStyleOptionComplex>

namespace orvu {

namespace {

constexpr int kArrowWidth = 13;
constexpr int kTextMargin = 2;

}  // namespace

QRect CompactComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                        SubControl part, const QWidget* widget) const {
  if (control != CC_ComboBox ||
      (part != SC_ComboBoxArrow && part != SC_ComboBoxEditField))
    return QProxyStyle::subControlRect(control, option, part, widget);
  const QRect whole = option->rect;
  const QRect arrow(whole.right() - kArrowWidth + 1, whole.top(), kArrowWidth, whole.height());
  QRect result = arrow;
  if (part == SC_ComboBoxEditField) {
    const QRect base = QProxyStyle::subControlRect(control, option, part, widget);
    result = QRect(QPoint(whole.left() + kTextMargin, base.top()),
                   QPoint(arrow.left() - 1, base.bottom()));
  }
  return visualRect(option->direction, whole, result);
}

void UseCompactStyle(QComboBox* list) {
  auto* style = new CompactComboStyle;
  style->setParent(list);
  list->setStyle(style);
}

}  // namespace orvu
