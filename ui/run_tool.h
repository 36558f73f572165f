// The program entry of the window programs: the application, the main window first (its
// creation starts the first search), then the message loop until the main window closes; the
// help window and the location dialog are made once the main window has painted.
#pragma once
#include "ui/mainwin.h"

namespace orvu {

// An error that escapes window creation or the message loop is shown in a plain error box;
// the result is always 0.
int RunTool(int argc, char** argv, TMainWin::EndpointFactory makeEndpoint);

}  // namespace orvu
