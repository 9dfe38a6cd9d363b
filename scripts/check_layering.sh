#!/usr/bin/env bash
# Keeps the layers apart:
# - the pure folders hold computation only: no OpenGL or GLUT header may be
#   included there, so their tests need no display and run in microseconds
#   (the GL edges named below are the exceptions, each one file);
# - the geometry core (stroke/) includes nothing of the application and, when
#   the built library is given as the first argument, calls no GL, GLU or
#   GLUT function: it links without them;
# - nothing but glui/ uses Dear ImGui.
#   check_layering.sh [path/to/libkelvra_stroke.a]
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

pure=(common platform stroke image)
edges='image/textures\.cpp|image/gradients\.cpp|image/pixel_store\.cpp'
offenders=$(grep -rlE '#include <GL/|#include "imgui' "${pure[@]}" 2>/dev/null | grep -vE "$edges" || true)
if [ -n "$offenders" ]; then
  echo "OpenGL or GLUT included in pure code:"
  echo "$offenders"
  status=1
fi

app_users=$(grep -rlE '#include "(app|render|panels|camera/camera|camera/environment)/' stroke 2>/dev/null || true)
if [ -n "$app_users" ]; then
  echo "The geometry core includes the application or its drawing:"
  echo "$app_users"
  status=1
fi

if [ $# -ge 1 ]; then
  gl_calls=$(nm -u --format=posix "$1" 2>/dev/null | awk '{print $1}' | grep -E '^(gl|glu|glut)[A-Z]' | sort -u || true)
  if [ -n "$gl_calls" ]; then
    echo "The geometry core calls into GL:"
    echo "$gl_calls"
    status=1
  fi
fi

imgui_users=$(grep -rl 'imgui' --include='*.h' --include='*.cpp' app panels render stroke image camera play export 2>/dev/null || true)
if [ -n "$imgui_users" ]; then
  echo "Dear ImGui used outside glui/:"
  echo "$imgui_users"
  status=1
fi
[ $status -eq 0 ] && echo "layering ok"
exit $status
