// The program entry of the window programs: the application, the main window first (its
// creation runs the first search), then the help window and the location dialog, then the
// message loop until the main window closes.
#pragma once
#include "ui/mainwin.h"

namespace orvu {

// An error that escapes window creation or the message loop is shown in a plain error box;
// the result is always 0.
int RunTool(int argc, char** argv, TMainWin::EndpointFactory makeEndpoint);

}  // namespace orvu
