#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures and builds into DIR, quietly
# unless something fails. DIR is configured once; options given later are
# applied to its cache again, so a folder configured without them gets them
# (./test.sh's -DKELVRA_WERROR=ON, say).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
if [ ! -f "$dir/build.ninja" ] || [ $# -gt 0 ]; then
  generator=()
  [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
  cmake -S . -B "$dir" "${generator[@]}" "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    exit 1
  }
  rm -f "$dir.configure.log"
fi
log=$(mktemp)
if ! ninja -C "$dir" >"$log" 2>&1; then
  cat "$log"
  rm -f "$log"
  exit 1
fi
# Warnings are defects: show any the build printed.
grep -E "warning:" "$log" || true
rm -f "$log"
