#include "state/state.h"

ApplicationState& AppState() {
  // Made on first use and never destroyed: GLUI controls hold addresses
  // into it until the process ends.
  static ApplicationState* state = new ApplicationState();
  return *state;
}

void ResetApplicationStateForTesting() { AppState() = ApplicationState(); }
