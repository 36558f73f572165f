#include "ui/fonts.h"

#include <QStringList>

namespace orvu {

namespace {

constexpr int kEightPointPixels = 11;

QFont SansOfEightPoints(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  // Pixels, not points: the layouts are in pixels, and the screen's dots per inch (often
  // unknown under X) must not change the text against them. A scale factor scales both.
  font.setPixelSize(kEightPointPixels);
  return font;
}

}  // namespace

QFont ArialFont() {
  return SansOfEightPoints({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
}

QFont DefaultFont() {
  return SansOfEightPoints({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
}

}  // namespace orvu
