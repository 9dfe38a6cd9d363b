#!/usr/bin/env bash
# build.sh [--progress] DIR [cmake options...]: configures and builds into
# DIR, quietly unless something fails. DIR is configured once; options given
# later are applied to its cache again, so a folder configured without them
# gets them (./test.sh's -DKELVRA_WERROR=ON, say).
# --progress (./run.sh, where a person waits for the program): a build with
# anything to do says so and shows ninja's progress line, since a first
# build takes minutes; with nothing to do it stays as quiet.
set -euo pipefail
cd "$(dirname "$0")/.."
progress=false
if [ "${1:-}" = --progress ]; then
  progress=true
  shift
fi
dir=$1
shift
first=false
[ -f "$dir/build.ninja" ] || first=true
if $progress && $first; then
  echo "Building Kelvra in $dir/ for the first time: this takes a few minutes..."
fi
if $first || [ $# -gt 0 ]; then
  generator=()
  [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
  cmake -S . -B "$dir" "${generator[@]}" "$@" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    exit 1
  }
  rm -f "$dir.configure.log"
fi
if $progress; then
  cd "$dir"
  plan=$(ninja -n)
  grep -q "no work to do" <<<"$plan" && exit 0
  $first || echo "Building what changed in Kelvra ($dir/)..."
  # On a terminal ninja keeps its progress to one line, and shows warnings
  # and failures as they come.
  exec ninja
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
