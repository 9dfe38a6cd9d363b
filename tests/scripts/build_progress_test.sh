#!/usr/bin/env bash
# scripts/build.sh on a small project of its own (a copy of the script in a
# scratch folder beside a one-file CMake project): with --progress, as
# ./run.sh builds, a first build and a rebuild say what they do and show
# ninja's progress, and a build with nothing to do prints nothing; without
# it, as ./test.sh builds, every build is quiet.
#   build_progress_test.sh REPOSITORY_ROOT
# Exit 77 (skipped) without ninja.
set -uo pipefail
root=$(realpath "$1")
source "$root/tests/support/x_session.sh"  # fail, needs
needs ninja
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir "$tmp/scripts"
cp "$root/scripts/build.sh" "$tmp/scripts/"
printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(Small LANGUAGES CXX)' \
  'add_executable(small small.cpp)' >"$tmp/CMakeLists.txt"
echo 'int main() { return 0; }' >"$tmp/small.cpp"
# Builds into run/ (with --progress) and quiet/, first, again with nothing
# to do, or after a change; what each says, with ninja's progress line ("":
# nothing at all).
for step in "run first|for the first time" "run again|" "run rebuild|Building what changed" \
  "quiet first|" "quiet rebuild|"; do
  read -r dir what <<<"${step%|*}"
  says=${step#*|}
  [ "$what" = rebuild ] && touch "$tmp/small.cpp"
  options=()
  [ "$dir" = run ] && options=(--progress)
  "$tmp/scripts/build.sh" "${options[@]}" "$dir" >"$tmp/output" 2>&1 || fail "build.sh failed: $(cat "$tmp/output")"
  if [ -z "$says" ]; then [ ! -s "$tmp/output" ]; else
    grep -q "$says" "$tmp/output" && grep -qE '^\[[0-9]+/[0-9]+\] ' "$tmp/output"
  fi || fail "the $what build into $dir/ printed: $(cat "$tmp/output")"
done
echo "PASS"
