#!/usr/bin/env bash
# Exported glTF as the Khronos glTF validator reads it: no errors and no
# warnings, for the demo painting and for tests/export/validated.session
# (subdivision, crossings that pile up, random sizes, particles), both
# painted by kelvra-play.
#   gltf_validator_test.sh KELVRA_PLAY REPOSITORY_ROOT
# The validator is npm's gltf-validator, which scripts/ensure_packages.sh
# installs into tools/gltf_validator/node_modules.
set -uo pipefail
play=$(realpath "$1")
root=$(realpath "$2")
validator="$root/tools/gltf_validator"

fail() { echo "FAIL: $*"; exit 1; }
[ -f "$validator/node_modules/gltf-validator/package.json" ] ||
  fail "the glTF validator is not installed: run scripts/ensure_packages.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/kelvra_gltf_XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
cp -r "$root/textures" "$work/textures" || fail "cannot copy the textures"
rm -f "$work"/textures/sourcemap/Saved/*.bmp
cd "$work" || exit 1

# The demo, exported where its Esc would end it.
sed 's/^key Esc$/export demo.glb\nkey Esc/' "$root/scripts/demo.session" >demo.session
grep -qxF 'export demo.glb' demo.session || fail "the demo has no Esc to export before"
cp "$root/tests/export/validated.session" validated.session
for script in demo validated; do
  "$play" "$script.session" >"$script.out" 2>"$script.err" ||
    fail "$script.session: $(tail -n 3 "$script.err")"
done
grep -qxF "kelvra-play: exported the painting into painting.glb" validated.err ||
  fail "no word of the export: $(cat validated.err)"
grep -qxF $'\tBuilding Particles...' validated.out || fail "validated.session painted no particles"
[ "$(grep -c $'\tChecking for Collisions: .*\tDone!$' validated.out)" -eq 2 ] ||
  fail "validated.session's strokes did not cross"

node "$validator/validate.mjs" demo.glb painting.glb || fail "the validator found errors or warnings"
echo "ok"
