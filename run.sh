#!/usr/bin/env bash
# Installs what is missing, builds, and starts the painter from the
# repository root (the program reads textures/ relative to it).
# With a display it starts the painter kelvra, handing on its arguments
# (./run.sh painting.kelvra, ./run.sh --recover); without one, the bundled
# demo painting is replayed on a virtual display and its pictures are
# written under out/.
# A build with anything to do says so and shows its progress (the first
# takes minutes); one with nothing to do is silent.
# It builds into a folder of its own, build-run/, without -Werror: a newer
# compiler's new warning must not stop the program from starting, and
# ./test.sh's build/ (warnings as errors) is not rebuilt by every switch
# between the two. The tests and benchmarks, which it does not run, are
# left out of that build, which shortens the first start.
set -euo pipefail
# A painting named on the command line is found from the folder the person
# started in (KELVRA_START_DIR), while the painter works in the checkout.
start=$PWD
cd "$(dirname "$0")"
scripts/ensure_packages.sh
scripts/build.sh --progress build-run -DKELVRA_WERROR=OFF -DKELVRA_BENCH=OFF -DKELVRA_TESTS=OFF
painter=./build-run/app/kelvra
play=./build-run/play/kelvra-play

if [ -n "${DISPLAY:-}" ]; then
  # The display is checked before the painter starts, which GLUT would end
  # with a bare "failed to open display". The checking connection (xprop
  # watching a property nobody sets) stays open as long as the painter
  # runs and is closed when it ends: closed before the painter had its own,
  # it would make a server that resets when its last client leaves
  # (xvfb-run's) refuse the painter's connection for a moment. The painter
  # replaces this script, so signals sent to it reach the painter.
  exec {check}< <(
    xprop -root -spy _KELVRA_DISPLAY_CHECK 2>&1 &
    tail --pid=$$ -f /dev/null >/dev/null || true
    kill $! 2>/dev/null || true
    wait
  )
  answer=
  read -r -t 10 -u "$check" answer || true
  if [[ $answer != _KELVRA_DISPLAY_CHECK* ]]; then
    echo "Cannot open the display $DISPLAY: start an X server there, or unset DISPLAY" \
      "to replay the demo painting on a virtual display." >&2
    exit 1
  fi
  export KELVRA_START_DIR=$start
  exec "$painter" "$@" {check}<&-
fi

if [ $# -gt 0 ]; then
  echo "No display: the painter cannot start, so $* is left out."
fi
echo "No display: replaying the demo painting (scripts/demo.session) on a virtual display..."
mkdir -p out
"$play" scripts/demo.session >out/demo-console.txt
echo "Pictures of the painting and its panels are in out/:"
ls out/*.png | sed 's/^/  /'
echo "The painter's console output is in out/demo-console.txt."
