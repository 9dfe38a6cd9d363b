#!/usr/bin/env bash
# The pure folders hold computation only: no OpenGL or GLUT header may be
# included there, so their tests need no display and run in microseconds.
# The GL edges named below are the exceptions, each one file.
set -euo pipefail
cd "$(dirname "$0")/.."
pure=(common platform stroke image render/collisions.h render/collisions.cpp)
edges='image/textures\.cpp|image/gradients\.cpp|stroke/shape\.cpp'
offenders=$(grep -rlE '#include <GL/|#include "imgui' "${pure[@]}" 2>/dev/null | grep -vE "$edges" || true)
if [ -n "$offenders" ]; then
  echo "OpenGL or GLUT included in pure code:"
  echo "$offenders"
  exit 1
fi
imgui_users=$(grep -rl 'imgui' --include='*.h' --include='*.cpp' app panels render stroke image camera 2>/dev/null || true)
if [ -n "$imgui_users" ]; then
  echo "Dear ImGui used outside glui/:"
  echo "$imgui_users"
  exit 1
fi
echo "layering ok"
