#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR, no root needed) and starts
# the installed launcher as a person would: from a folder holding only a
# painting, which it names relative to that folder (with spaces in its
# name), with a scratch HOME, on the current X display. Checks the installed
# files, the person's data folder, the painting opened and what the painter
# shows; removes everything after.
#   install_test.sh CMAKE BUILD_DIR MAKE_TEST_PAINTING
# Exit 77 (skipped) without a display or without xdotool and ImageMagick.
set -uo pipefail
cmake=$1
build=$(realpath "$2")
make_painting=$3
source "$(dirname "$0")/../support/x_session.sh"
needs display xdotool import
tmp=$(mktemp -d)
trap 'end_session; rm -rf "$tmp"' EXIT
out=$tmp/console.txt

DESTDIR=$tmp/root "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 ||
  fail "install failed: $(tail -n 5 "$tmp/install.log")"
usr=$tmp/root/usr

# ---- What is installed where
for file in bin/kelvra lib/kelvra/kelvra bin/kelvra-play lib/kelvra/kelvra-play; do
  [ -x "$usr/$file" ] || fail "no $file"
done
for file in Spectrum.bmp Brush.bmp Grid.bmp papermap/Paper.bmp meshmap/Bump.bmp \
  detailmap/papier1.bmp partmap/Brush.bmp heightmap/Height.bmp sourcemap/Test.bmp; do
  [ -f "$usr/share/kelvra/textures/$file" ] || fail "shipped map missing: $file"
done
[ "$(ls "$usr/share/kelvra/brushes" | grep -c '\.kelvra-brush$')" -ge 8 ] || fail "shipped brushes missing"
[ -z "$(find "$usr/share/kelvra/textures/sourcemap/Saved" -type f 2>/dev/null)" ] ||
  fail "gradient maps of a checkout run were installed"
# The menu entry and the icons are checked by desktop_test.sh.

# ---- First start: the folder is made, the maps are found, the gradient maps
# land there, the painting named is opened from where the person started
start=$tmp/start
home=$tmp/home
painting="my paintings/a painting.kelvra"
mkdir -p "$start/my paintings" "$home"
"$make_painting" "$start/$painting" 20 10 || fail "no painting made"
folder=$home/.local/share/kelvra
cd "$start" || exit 1
start_painter env -u XDG_DATA_HOME HOME="$home" "$usr/bin/kelvra" "$painting"
wait_for 20 visible "Stroke Control Panel:" || fail "Stroke panel not shown"

for saved in SavedH SavedV SavedHV; do
  [ -s "$folder/textures/sourcemap/Saved/$saved.bmp" ] || fail "$saved.bmp not written into the data folder"
done
# The painting is opened once the windows are made, so it may come after them.
wait_for 20 has_line "kelvra: opened $start/$painting" || fail "the painting was not opened"
rm -r "$start/my paintings"
[ -z "$(ls -A "$start")" ] || fail "files written into the starting folder: $(ls -A "$start")"
! grep -q "not Found" "$out" || fail "a texture folder was not found"

# The warm paper fills the canvas (a missing paper map leaves it white or
# black; the grey of the cleared view is not warm): the maps are found where
# they were installed. The panels and the pointer's brush cursor cover
# little of the measured area. Polled: the first frames may still be on
# their way.
paper_shown() {
  import -window "$main" "$tmp/shot.png" 2>/dev/null &&
    paper=$(convert "$tmp/shot.png" -crop 400x400+100+100 +repage -format "%[fx:mean.r] %[fx:mean.b]" info:) &&
    awk '{ exit !($2 > 0.5 && $2 < 0.95 && $1 - $2 > 0.02) }' <<<"$paper"
}
wait_for 15 paper_shown || fail "no paper on the canvas (mean red, blue: ${paper:-unknown})"

kill "$pid" && wait "$pid" 2>/dev/null
pid=

# ---- Later starts (without a display: the painter stops at once, after the
# launcher's folder work, and says so as GLUT does)
run_without_display() {
  env -u DISPLAY "$@" "$usr/bin/kelvra" >"$out" 2>&1 && fail "the painter ran without a display"
  grep -q "failed to open display" "$out" || fail "no display message"
}

# The person's own maps and edits stay; shipped maps they lack are added,
# also those a newer package brings.
printf 'edited' >"$folder/textures/papermap/Cream.bmp"
cp "$folder/textures/papermap/Paper.bmp" "$folder/textures/papermap/Mine.bmp"
rm "$folder/textures/detailmap/Linen.bmp"
shipped=$usr/share/kelvra/textures
cp "$shipped/papermap/Paper.bmp" "$shipped/papermap/Newer.bmp"
run_without_display env -u XDG_DATA_HOME HOME="$home"
[ "$(cat "$folder/textures/papermap/Cream.bmp")" = edited ] && [ -f "$folder/textures/papermap/Mine.bmp" ] ||
  fail "a person's own map or edit was lost"
cmp -s "$folder/textures/papermap/Newer.bmp" "$shipped/papermap/Newer.bmp" &&
  [ -f "$folder/textures/detailmap/Linen.bmp" ] || fail "a shipped map the person lacks was not added"

# XDG_DATA_HOME chooses the folder when it is an absolute path; a relative
# one is ignored.
run_without_display HOME="$home" XDG_DATA_HOME="$tmp/xdg"
[ -f "$tmp/xdg/kelvra/textures/papermap/Paper.bmp" ] && [ -d "$tmp/xdg/kelvra/textures/sourcemap/Saved" ] ||
  fail "XDG_DATA_HOME was not used"
rm -rf "$folder"
run_without_display HOME="$home" XDG_DATA_HOME=relative
[ -f "$folder/textures/papermap/Paper.bmp" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ -z "$(ls -A "$start")" ] || fail "files written into the starting folder: $(ls -A "$start")"

# ---- kelvra-play: its version and usage, and a replay started from a folder
# of the person's: the script and its picture are theirs, relative to where
# they started it; the painter still works in the data folder.
play() { env -u XDG_DATA_HOME HOME="$home" "$usr/bin/kelvra-play" "$@"; }
printf 'frames 2\nscreenshot pictures/main.png\n' >"$start/look.session"
rm -f "$folder"/textures/sourcemap/Saved/*.bmp
play look.session >"$out" 2>&1 || fail "the installed kelvra-play did not replay a script"
[ -s "$start/pictures/main.png" ] || fail "the replay's picture is not where the person started it"
[ -s "$folder/textures/sourcemap/Saved/SavedHV.bmp" ] || fail "kelvra-play did not work in the data folder"
[ "$(ls -A "$start" | sort | tr '\n' ' ')" = "look.session pictures " ] ||
  fail "files written into the starting folder: $(ls -A "$start")"
echo "PASS"
