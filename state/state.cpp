#include "state/state.h"

ApplicationState& AppState() {
  // Made on first use and never destroyed: GLUI controls hold addresses
  // into it until the process ends.
  static ApplicationState* state = new ApplicationState();
  return *state;
}

void ResetApplicationStateForTesting() { AppState() = ApplicationState(); }

SceneView MainSceneView(const ApplicationState& state) {
  SceneView view;
  view.canvas = &state.canvas;
  view.display = state.display;
  view.primitiveMode = state.interaction.primitiveMode;
  view.selectedStroke = state.interaction.selectedStroke;
  view.cursorPosition = state.interaction.cursorPosition;
  return view;
}
