#include "app/orvuq46-cli/interrupt.h"

#include <signal.h>

namespace orvu {
namespace {

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

}  // namespace

void StopGently() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // One-shot: the second signal finds the default action again and ends the process.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool StopRequested() { return stopRequested != 0; }

}  // namespace orvu
