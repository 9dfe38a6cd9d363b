#!/usr/bin/env bash
# Installs what is missing, builds, and starts the painter from the
# repository root (the program reads textures/ relative to it).
# It builds into a folder of its own, build-run/, without -Werror: a newer
# compiler's new warning must not stop the program from starting, and
# ./test.sh's build/ (warnings as errors) is not rebuilt by every switch
# between the two.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure_packages.sh
scripts/build.sh build-run -DKELVRA_WERROR=OFF -DKELVRA_BENCH=OFF
exec ./build-run/app/kelvra "$@"
