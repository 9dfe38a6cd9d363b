#!/usr/bin/env bash
# The painter as a person starts it, in a scratch folder holding a copy of
# the repository's textures/: an option it does not know is refused; its
# start-up transcript, windows and menu are its own, and resizing the main
# view leaves the panels as they are.
# A painting outlives a crash: the painter, started with a home of its own,
# paints two strokes and is killed once its autosave is written; started
# again with --recover it shows the same main view, pixel for pixel, and
# started with the autosave's copy as its file argument, the same again.
# There a stroke is autosaved and the camera moved just before Esc: Esc says
# where the changes are kept, and --recover shows them. A start clears what
# killed saves left; a painting that does not open is told.
#   painter_test.sh PATH_TO_KELVRA REPOSITORY_ROOT
# Exit 77 (skipped) without a display or without xdotool/xwininfo/import.
set -uo pipefail
program=$(realpath "$1")
root=$(realpath "$2")
source "$root/tests/support/x_session.sh"
needs display xdotool xwininfo xprop import compare
start_workspace painter "$root"
mkdir -p "$work/home"
export HOME="$work/home"
unset XDG_DATA_HOME
autosaves="$HOME/.local/share/kelvra/paintings/.autosave"
keep_x_connection || fail "the X display does not answer"

# built N: N strokes built since the painter started.
built() { [ "$(grep -cxF $'\tBuilding Stroke data....' "$out")" -ge "$1" ]; }
kill_hard() { kill -9 "$pid" && wait "$pid" 2>/dev/null; pid=; }

# shot FILE [X Y [SECONDS]]: the main view once it has settled, the pointer
# (and so the brush cursor) at the same place every time (600, 620 unless
# given).
shot() {
  # A step aside first, seen by the painter: a pointer already there would
  # send it no motion.
  xdotool mousemove $((ox + ${2:-600} + 20)) $((oy + ${3:-620})) sleep 0.3 \
    mousemove $((ox + ${2:-600})) $((oy + ${3:-620})) sleep "${4:-1.5}"
  import -window "$main" "$1" || fail "cannot take a picture of the main view"
}
# shows_as BEFORE AFTER [X Y]: the main view, taken into AFTER, is BEFORE
# pixel for pixel (ImageMagick counts the pixels that differ into $differ).
differ=
shows_as() {
  shot "$2" "${3:-}" "${4:-}" 0.5 &&
    differ=$(compare -metric AE "$1" "$2" null: 2>&1) && [ "$differ" = 0 ]
}
# same_picture BEFORE AFTER WHAT [X Y]: polled, since a painter just started
# may not have seen the pointer yet, and so draws its cursor elsewhere.
same_picture() {
  wait_for 20 shows_as "$1" "$2" "${4:-}" "${5:-}" ||
    fail "$3: $differ pixels differ from the painting before"
}

# An option it does not know ends it with its usage before any window opens.
"$program" --no-such-option >"$out" 2>&1
[ $? -eq 2 ] && has_line "kelvra: --no-such-option is not an option of kelvra" && ! grep -q "Creating" "$out" ||
  fail "an unknown option was not refused with status 2 and its name before any window"

# A temporary a killed save left (nobody holds its lock) goes at a start.
mkdir -p "$autosaves"
echo "killed halfway" >"$autosaves/../.kelvra-Ab12Cd"
start_painter "$program"
wait_for 10 test ! -e "$autosaves/../.kelvra-Ab12Cd" || fail "a start left the killed save's temporary"
drag 150 250 30 10
drag 180 450 30 -15
wait_for 20 built 2 || fail "the strokes were not built"
wait_for 20 compgen -G "$autosaves/*.kelvra" || fail "no autosave in $autosaves"
sleep 4 # the second stroke's autosave follows the first one's after a few seconds
shot "$work/painted.png"
cp "$(ls "$autosaves"/*.kelvra | head -n 1)" "$work/copy.kelvra"
kill_hard

start_painter "$program" --recover
wait_for 20 grep -q "^kelvra: recovered $autosaves/.*\.kelvra\$" "$out" ||
  fail "--recover did not say what it recovered"
same_picture "$work/painted.png" "$work/recovered.png" "after --recover"
kill_hard

start_painter "$program" "$work/copy.kelvra"
wait_for 20 has_line "kelvra: opened $work/copy.kelvra" || fail "the file argument was not opened"
same_picture "$work/painted.png" "$work/opened.png" "opened as the file argument"

# The autosave comes at most every three seconds: a camera moved just after
# one (a change of the settings alone), with Esc at once, is kept by what
# Esc writes.
drag 300 150 30 20
wait_for 20 compgen -G "$autosaves/*-$pid.kelvra" || fail "the third stroke was not autosaved"
xdotool key --window "$main" s 2>/dev/null || xdotool key s
shot "$work/before_esc.png" 440 470 0.3
esc_pid=$pid
quit_with_escape
grep -qx "kelvra: the changes not saved are kept in $autosaves/.*-$esc_pid.kelvra: kelvra --recover opens them again" \
  "$out" && [ "$status" -eq 1 ] || fail "Esc (status $status) did not say where the changes are kept"

start_painter "$program" --recover
wait_for 20 grep -q "^kelvra: recovered " "$out" || fail "nothing to recover after Esc"
same_picture "$work/before_esc.png" "$work/after_esc.png" "recovered after Esc" 440 470
kill_hard

# Named but not a painting: said on stderr (and over the main view, for a
# while, as painting_files_tests sees).
: >"$work/empty.kelvra"
start_painter "$program" "$work/empty.kelvra"
wait_for 20 has_line "kelvra: $work/empty.kelvra: the file is empty" || fail "no line for the empty file"

# The start-up transcript, in order: GL report, camera, the four panels.
transcript=($'\t--------------------------------------------' $'\tCAMERA: Initialising...'
  $'\tCreating Filter Window....' $'\tCreating Stroke Window....' $'\tCreating Camera Window....'
  $'\tCreating Size Window....')
[ "$(grep -xF "${transcript[@]/#/-e}" "$out" | awk '!seen[$0]++')" = "$(printf '%s\n' "${transcript[@]}")" ] ||
  fail "the start-up transcript is not $(printf '%s\n' "${transcript[@]}")"

# Three windows shown, with their titles and sizes; the Filter and Size
# panels, mapped when created, hidden once the main loop runs.
size_of() { xwininfo -id "$(visible "$1" | head -n 1)" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
check_windows() {  # check_windows TITLE=WxH...
  local window
  for window; do
    wait_for 20 visible "${window%=*}" || fail "window not shown: ${window%=*}"
    [ "$(size_of "${window%=*}")" = "${window#*=}" ] || fail "${window%=*} is $(size_of "${window%=*}"), not ${window#*=}"
  done
}
check_windows "Kelvra! by Dorvask=675x675" "Stroke Control Panel:=330x350" "Camera Control Panel:=330x300"
hidden() { ! visible "$1"; }
for panel in "Filter Control Panel:" "Size Control Panel:"; do
  xdotool search --name "^$panel\$" >/dev/null || fail "window never created: $panel"
  wait_for 20 hidden "$panel" || fail "should be hidden after start-up: $panel"
done

# The right-button menu of the main view shows the hidden panels. A freeglut
# menu opens at the pointer and stays open; its entries are 26 pixels apart:
# "Primitives:", "", "Canvas…", "", "Stroke…", "Shader…" (5), "", "Filter…" (7).
choose_main_menu_entry() {
  xdotool mousemove $((ox + 100)) $((oy + 100)) sleep 0.3 click 3 sleep 0.5 \
    mousemove $((ox + 120)) $((oy + 100 + 26 * $1 + 13)) sleep 0.3 click 1
}
for entry in 7=Filter 5=Size; do
  choose_main_menu_entry ${entry%=*}
  wait_for 10 visible "${entry#*=} Control Panel:" || fail "the menu did not show the ${entry#*=} panel"
done

# Resizing the main view leaves every panel at its own size.
xdotool windowsize "$main" 800 600
resized() { [ "$(size_of "Kelvra! by Dorvask")" = 800x600 ]; }
wait_for 10 resized || fail "the main view was not resized"
check_windows "Camera Control Panel:=330x300" "Stroke Control Panel:=330x350" \
  "Filter Control Panel:=200x200" "Size Control Panel:=350x335"

echo "PASS"
