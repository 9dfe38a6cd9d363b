#pragma once
// Light 0 of the main view: where it is and how the "Light 1" ball has
// turned it. The position is given to GL under the camera's look-at and the
// rotation, so it moves with neither the camera nor the strokes.

#include "common/settings_list.h"

struct Light {
  // Column-major, for glMultMatrixf: the "Light 1" rotation ball's matrix.
  float rotation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  // x, y, z, w (w = 1: a positional light). Zero until the camera's
  // initialisation places it behind the canvas.
  float position[4] = {0, 0, 0, 0};
};

// The light where the camera's initialisation (start-up and the R key) puts
// it: behind the canvas plane as seen from the start view, positional, the
// rotation undone.
inline Light StartLight() {
  Light light;
  const float start[4] = {-1.0f, -1.0f, -1.7f, 1.0f};
  for (int i = 0; i < 4; ++i) light.position[i] = start[i];
  return light;
}

template <typename Group, typename Visit>
std::enable_if_t<std::is_same_v<std::remove_const_t<Group>, Light>> VisitSettings(Group& group,
                                                                                  Visit&& visit) {
  visit(SettingKey{"rotation", kAnyNumber}, group.rotation);
  visit(SettingKey{"position", kAnyNumber}, group.position);
}
