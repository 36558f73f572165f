// Work that a window does not need for its first picture, run once that picture is made: the
// window appears sooner, and is complete when it does.
#pragma once
#include <functional>

class QWidget;

namespace orvu {

// Runs work from a queued call once window has painted for the first time (never, if it is
// never painted).
void AfterFirstPaint(QWidget* window, std::function<void()> work);

}  // namespace orvu
