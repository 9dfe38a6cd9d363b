#!/usr/bin/env bash
# A painting outlives a crash: the painter, started with a home of its own,
# paints two strokes and is killed once its autosave is written; started
# again with --recover it shows the same main view, pixel for pixel, and
# started with the autosave's copy as its file argument, the same again.
# There a stroke is autosaved and the camera moved just before Esc: Esc says
# where the changes are kept, and --recover shows them. A start clears what
# killed saves left; a painting that does not open is told over the main
# view, for a while.
#   recovery_test.sh PATH_TO_KELVRA REPOSITORY_ROOT
# Exit 77 (skipped) without a display or without xdotool/xwininfo/import.
set -uo pipefail
program=$(realpath "$1")
root=$(realpath "$2")
source "$root/tests/support/x_session.sh"
needs display xdotool xwininfo import compare
start_workspace recovery "$root"
mkdir -p "$work/home"
export HOME="$work/home"
unset XDG_DATA_HOME
autosaves="$HOME/.local/share/kelvra/paintings/.autosave"
keep_x_connection || fail "the X display does not answer"

# built N: N strokes built since the painter started.
built() { [ "$(grep -cxF $'\tBuilding Stroke data....' "$out")" -ge "$1" ]; }
kill_hard() {
  kill -9 "$pid"
  wait "$pid" 2>/dev/null
  pid=
}

# shot FILE [X Y [SECONDS]]: the main view once it has settled, the pointer
# (and so the brush cursor) at the same place every time (600, 620 unless
# given).
shot() {
  # A step aside first, seen by the painter: a pointer already there would
  # send it no motion.
  xdotool mousemove $((ox + ${2:-600} + 20)) $((oy + ${3:-620}))
  sleep 0.3
  xdotool mousemove $((ox + ${2:-600})) $((oy + ${3:-620}))
  sleep "${4:-1.5}"
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

# A temporary a killed save left (nobody holds its lock) goes at a start.
mkdir -p "$autosaves"
echo "killed halfway" >"$autosaves/../.kelvra-Ab12Cd"
start_painter "$program"
temporary_gone() { [ ! -e "$autosaves/../.kelvra-Ab12Cd" ]; }
wait_for 10 temporary_gone || fail "a start left the killed save's temporary"
drag 150 250 30 10
drag 180 450 30 -15
wait_for 20 built 2 || fail "the strokes were not built"
autosaved() { ls "$autosaves"/*.kelvra; }
wait_for 20 autosaved || fail "no autosave in $autosaves"
sleep 4 # the second stroke's autosave follows the first one's after a few seconds
shot "$work/painted.png"
cp "$(autosaved | head -n 1)" "$work/copy.kelvra"
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
this_runs_autosave() { ls "$autosaves"/*-"$pid".kelvra; }
wait_for 20 this_runs_autosave || fail "the third stroke was not autosaved"
xdotool key --window "$main" s 2>/dev/null || xdotool key s
shot "$work/before_esc.png" 440 470 0.3
esc_pid=$pid
quit_with_escape
grep -qx "kelvra: the changes not saved are kept in $autosaves/.*-$esc_pid.kelvra: kelvra --recover opens them again" \
  "$out" || fail "Esc did not say where the changes are kept: $(grep '^kelvra:' "$out")"
[ "$status" -eq 1 ] || fail "exit status $status after Esc, expected 1"

start_painter "$program" --recover
wait_for 20 grep -q "^kelvra: recovered " "$out" || fail "nothing to recover after Esc"
same_picture "$work/before_esc.png" "$work/after_esc.png" "recovered after Esc" 440 470
kill_hard

# Named but not a painting: the line stderr gets shows over the main view,
# then goes, and the picture is the painter's own again.
: >"$work/empty.kelvra"
start_painter "$program" "$work/empty.kelvra"
wait_for 20 has_line "kelvra: $work/empty.kelvra: the file is empty" || fail "no line for the empty file"
shot "$work/told.png" 440 470 0.5
sleep 7
shows_as "$work/told.png" "$work/untold.png" 440 470 && fail "no notice over the main view"
kill_hard
start_painter "$program"
same_picture "$work/untold.png" "$work/fresh.png" "after the notice went" 440 470
echo "PASS"
