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
cat >"$tmp/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(Small LANGUAGES CXX)
add_executable(small small.cpp)
CMAKE
echo 'int main() { return 0; }' >"$tmp/small.cpp"
build() { "$tmp/scripts/build.sh" "$@" >"$tmp/output" 2>&1 || fail "build.sh $* failed: $(cat "$tmp/output")"; }
shows_progress() { grep -qE '^\[[0-9]+/[0-9]+\] ' "$tmp/output"; }

build --progress run
grep -q "for the first time" "$tmp/output" && shows_progress ||
  fail "a first build did not say so: $(cat "$tmp/output")"
build --progress run
[ ! -s "$tmp/output" ] || fail "a build with nothing to do printed: $(cat "$tmp/output")"
touch "$tmp/small.cpp"
build --progress run
grep -q "Building what changed" "$tmp/output" && shows_progress ||
  fail "a rebuild did not say so: $(cat "$tmp/output")"

for step in build rebuild; do
  [ $step = build ] || touch "$tmp/small.cpp"
  build quiet
  [ ! -s "$tmp/output" ] || fail "a $step without --progress printed: $(cat "$tmp/output")"
done
echo "PASS"
