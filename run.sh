#!/usr/bin/env bash
# Installs what is missing, builds, and starts the painter from the
# repository root (the program reads textures/ relative to it).
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure_packages.sh
scripts/build.sh build
exec ./build/app/kelvra "$@"
