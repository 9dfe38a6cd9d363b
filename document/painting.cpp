#include "document/painting.h"

Light StartLight() {
  // As the camera's initialisation places it (camera/camera.cpp), which
  // this folder does not link: behind the canvas as seen from the start
  // view, positional.
  Light light;
  const float start[4] = {-1.0f, -1.0f, -1.7f, 1.0f};
  for (int i = 0; i < 4; ++i) light.position[i] = start[i];
  return light;
}
