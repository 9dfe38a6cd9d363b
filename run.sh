#!/usr/bin/env bash
# Installs what is missing, builds, and starts the painter from the
# repository root (the program reads textures/ relative to it).
# With a display, the session is recorded as it is painted into journal/
# (one file per run); without one, the bundled demo painting is replayed on
# a virtual display and its pictures are written under out/.
# A build with anything to do says so and shows its progress (the first
# takes minutes); one with nothing to do is silent.
# It builds into a folder of its own, build-run/, without -Werror: a newer
# compiler's new warning must not stop the program from starting, and
# ./test.sh's build/ (warnings as errors) is not rebuilt by every switch
# between the two. The tests and benchmarks, which it does not run, are
# left out of that build, which shortens the first start.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure_packages.sh
scripts/build.sh --progress build-run -DKELVRA_WERROR=OFF -DKELVRA_BENCH=OFF -DKELVRA_TESTS=OFF
play=./build-run/play/kelvra-play

if [ -n "${DISPLAY:-}" ]; then
  # kelvra-play tells when the display cannot be opened, before it makes
  # the journal. A test connection made here and closed again would make a
  # server that resets when its last client leaves (xvfb-run's) refuse the
  # program's own for a moment.
  mkdir -p journal
  journal="journal/$(date +%Y-%m-%d_%H-%M-%S).session"
  echo "Recording this session into $journal (replay it: $play $journal)"
  exec "$play" --record "$journal" "$@"
fi

echo "No display: replaying the demo painting (scripts/demo.session) on a virtual display..."
mkdir -p out
"$play" scripts/demo.session >out/demo-console.txt
echo "Pictures of the painting and its panels are in out/:"
ls out/*.png | sed 's/^/  /'
echo "The painter's console output is in out/demo-console.txt."
