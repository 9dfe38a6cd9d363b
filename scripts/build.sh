#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configures (once) and builds into DIR,
# quietly unless something fails.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1 || {
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
