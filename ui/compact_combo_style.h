// A style for a drop-down list whose designed width is just enough for its texts in the
// window's font: a narrower arrow button and thinner margins give the text the room that the
// application style's padding would take. Only the list's own parts change; the rest of it is
// drawn by the application style.
#pragma once
#include <QProxyStyle>

class QComboBox;

namespace orvu {

class CompactComboStyle : public QProxyStyle {
 public:
  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                       SubControl part, const QWidget* widget) const override;
};

// Gives list a CompactComboStyle of its own (owned by the list).
void UseCompactStyle(QComboBox* list);

}  // namespace orvu
