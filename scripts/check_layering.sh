#!/usr/bin/env bash
# Keeps the layers apart:
# - the pure folders hold computation only: no OpenGL or GLUT header may be
#   included there, so their tests need no display and run in microseconds
#   (the GL edges named below are the exceptions, each one file);
# - the lower folders (common, platform, image, stroke, camera, render,
#   export, glui) include nothing of the application (app/, state/,
#   actions/, panels/, play/, document/);
# - the geometry core (stroke/) includes no drawing code and, when the built
#   library is given as the first argument, calls no GL, GLU or GLUT
#   function: it links without them;
# - painting documents (document/) include only the lower folders they
#   read types from (common, platform, image, stroke, camera, render,
#   export) and, when their built library is given as the second argument,
#   call no GL, GLU or GLUT function;
# - nothing but glui/ uses Dear ImGui.
#   check_layering.sh [path/to/libkelvra_stroke.a [path/to/libkelvra_document.a]]
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

pure=(common platform stroke image)
edges='image/textures\.cpp|image/pixel_store\.cpp'
offenders=$(grep -rlE '#include <GL/|#include "imgui' "${pure[@]}" 2>/dev/null | grep -vE "$edges" || true)
if [ -n "$offenders" ]; then
  echo "OpenGL or GLUT included in pure code:"
  echo "$offenders"
  status=1
fi

app_users=$(grep -rlE '#include "(render|camera/camera|camera/environment)' stroke 2>/dev/null || true)
if [ -n "$app_users" ]; then
  echo "The geometry core includes drawing code:"
  echo "$app_users"
  status=1
fi

# The lower folders take what they need as arguments: none of them includes
# the application's state, its actions, its shell, panels or tools.
lower=(common platform image stroke camera render export glui)
upper='#include "(app|state|actions|panels|play|document)/'
reaching_up=$(grep -rlE "$upper" "${lower[@]}" 2>/dev/null || true)
if [ -n "$reaching_up" ]; then
  echo "A lower folder includes the application:"
  echo "$reaching_up"
  status=1
fi

document_reaching=$(grep -rhoE '#include "[a-z_]+/' document 2>/dev/null |
  grep -vE '"(common|platform|image|stroke|camera|render|export|document)/' | sort -u || true)
if [ -n "$document_reaching" ]; then
  echo "Painting documents include more than the lower folders:"
  echo "$document_reaching"
  status=1
fi

# gl_free NAME LIBRARY: fails when the built library calls into GL.
gl_free() {
  local gl_calls
  gl_calls=$(nm -u --format=posix "$2" 2>/dev/null | awk '{print $1}' | grep -E '^(gl|glu|glut)[A-Z]' | sort -u || true)
  if [ -n "$gl_calls" ]; then
    echo "$1 calls into GL:"
    echo "$gl_calls"
    status=1
  fi
}
[ $# -ge 1 ] && gl_free "The geometry core" "$1"
[ $# -ge 2 ] && gl_free "The document library" "$2"

imgui_users=$(grep -rl 'imgui' --include='*.h' --include='*.cpp' app panels render stroke image camera play export 2>/dev/null || true)
if [ -n "$imgui_users" ]; then
  echo "Dear ImGui used outside glui/:"
  echo "$imgui_users"
  status=1
fi
[ $status -eq 0 ] && echo "layering ok"
exit $status
