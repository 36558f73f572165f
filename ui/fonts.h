// The fonts of the windows. Their layouts are fixed in pixels and were drawn for Windows'
// narrow 8-point faces; a wider face (DejaVu Sans, fontconfig's usual stand-in) cuts texts off.
#pragma once
#include <QFont>

namespace orvu {

// Arial of 11 pixels (8 points at 96 dpi), for the windows laid out in Arial. Where Arial is
// missing, Liberation Sans, which has Arial's metrics.
QFont ArialFont();

// The application's default font: an 8-point sans face as narrow as the Windows dialog font
// the dialogs were laid out in. Liberation Sans, or Arial where it is missing.
QFont DefaultFont();

}  // namespace orvu
