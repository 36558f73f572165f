// Ctrl-C during a long run: the first one lets the current controller finish and its session
// close, then the run stops; a second one ends the program at once.
#pragma once

namespace orvu {

inline constexpr int kExitInterrupted = 130;  // the shell's status for SIGINT

void StopGently();
bool StopRequested();

}  // namespace orvu
