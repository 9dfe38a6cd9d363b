#!/usr/bin/env bash
# Regenerates the committed data set under textures/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh build
./build/tools/make_textures
