#!/usr/bin/env bash
# A pen through the X input extension, end to end, on an Xorg server of its
# own whose test input driver makes a real pen (tests/support/xorg_pen.sh).
# The painter starts while the pen is switched off; the pen comes, and
# paints a stroke pressing harder and harder; a mouse stroke follows.
# kelvra-play --record writes what the painter painted: each pen motion
# once, as a pen move with its pressure (the test waits for each before the
# next: a node takes the pressure the pen has when the painter handles its
# motion), and the mouse's motions as plain moves.
#   pen_test.sh KELVRA_PLAY PEN_DRIVER REPOSITORY_ROOT
set -uo pipefail
play=$(realpath "$1")
driver=$(realpath "$2")
root=$(realpath "$3")

source "$root/tests/support/x_session.sh"
source "$root/tests/support/xorg_pen.sh"
needs xinput xdotool xdpyinfo

start_workspace pen "$root"
driver_pid=
stop_driver() { exec 3>&- 2>/dev/null; [ -z "$driver_pid" ] || { kill "$driver_pid" && wait "$driver_pid"; } 2>/dev/null; driver_pid=; }
trap 'end_session; stop_driver; stop_xorg; rm -rf "$work"' EXIT
start_xorg_pen "$work" 1280 1024
export DISPLAY=$pen_display
session="$work/recorded.session"

# The pen is off when the painter starts.
xinput disable pen || fail "cannot switch the pen off"
"$play" --record "$session" >"$out" 2>&1 &
pid=$!
wait_for 90 has_line $'\tCreating Size Window....' || fail "the painter did not start"
xinput enable pen || fail "cannot switch the pen on"

mkfifo "$work/pen.fifo"
"$driver" "$pen_socket" 1280 1024 <"$work/pen.fifo" &
driver_pid=$!
exec 3>"$work/pen.fifo"
# holds FILE PATTERN COUNT: FILE has COUNT lines matching PATTERN, or more.
holds() { [ "$(grep -c "$2" "$1")" -ge "$3" ]; }
wait_recorded() { wait_for 20 holds "$session" "$1" "$2" || fail "the painter missed: $1"; }
# pen LINE: one line to the driver, for a move returning once the painter
# has recorded it (the driver keeps the lines' order).
pen() {
  local moves
  moves=$(grep -c "^move " "$session")
  echo "$*" >&3
  [ "$1" != move ] || wait_recorded "^move " $((moves + 1))
}

# What the recording must hold, the idle steps, pauses and window lines aside.
pen move 100 300 0
pen down
expected=("move 100 300" "press left 100 300")
for i in 1 2 3 4 5 6 7 8; do
  pen move $((100 + 40 * i)) $((300 + 10 * i)) $((100 * i))
  expected+=("move $((100 + 40 * i)) $((300 + 10 * i)) pressure 0.$i")
done
pen up
wait_recorded "^release" 1
stop_driver

xdotool mousemove 300 600 mousedown 1 mousemove 340 610 mousemove 380 620 mouseup 1
expected+=("release left 420 380" "move 300 600" "press left 300 600" "move 340 610" "move 380 620"
  "release left 380 620")
wait_recorded "^release" 2
xdotool key Escape
wait_for 20 gone || fail "Esc did not end the recording"
pid=

mapfile -t events < <(grep -vE '^(#|frames |wait |window |resize |key Esc)' "$session")
[ "${events[*]}" = "${expected[*]}" ] || {
  diff <(printf '%s\n' "${expected[@]}") <(printf '%s\n' "${events[@]}")
  fail "the recording holds other events than the pen and the mouse gave"
}
echo "pen strokes recorded as painted"
