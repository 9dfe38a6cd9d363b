#!/usr/bin/env bash
# The package's build as the README's Install section has a person run it:
# configured with the options of its cmake line, it builds the programs and
# no test or benchmark, which would only lengthen that build and pull in
# their libraries.
#   package_options_test.sh CMAKE REPOSITORY_ROOT
# Exit 77 (skipped) without ninja.
set -uo pipefail
cmake=$1
root=$(realpath "$2")
source "$root/tests/support/x_session.sh"  # fail, needs
needs ninja
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

line=$(grep -m 1 'cpack -G DEB' "$root/README.md") || fail "no package commands in the README"
read -r -a options <<<"$(grep -oE -- '-D[A-Z_]+=[A-Z]+' <<<"$line" | tr '\n' ' ')"
"$cmake" -S "$root" -B "$tmp/build" -G Ninja "${options[@]}" >"$tmp/configure.log" 2>&1 ||
  fail "configuring with ${options[*]} failed: $(tail -n 5 "$tmp/configure.log")"
targets=$(ninja -C "$tmp/build" -t targets all | cut -d: -f1)
for program in app/kelvra play/kelvra-play tools/thumbnailer/kelvra-thumbnailer; do
  grep -qxF "$program" <<<"$targets" || fail "$program is not built"
done
extra=$(grep -E '^(tests|bench)/' <<<"$targets" | head -n 3)
[ -z "$extra" ] || fail "with ${options[*]:-no options} the build compiles tests or benchmarks: $extra"
echo "PASS"
