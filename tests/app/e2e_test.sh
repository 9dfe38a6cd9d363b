#!/usr/bin/env bash
# End to end: starts the painter on the current X display in a scratch folder
# holding a copy of the repository's textures/ (start-up writes the gradient
# maps there, never into the repository), checks its start-up transcript,
# saved maps and windows, paints one stroke with the mouse, opens the hidden
# panels from the menu and leaves with Esc.
#   e2e_test.sh PATH_TO_KELVRA REPOSITORY_ROOT
# Exit 77 (skipped) without a display or without xdotool/xwininfo/xprop.
set -uo pipefail
program=$(realpath "$1")
root=$(realpath "$2")
source "$root/tests/support/x_session.sh"
needs display xdotool xwininfo xprop
start_workspace e2e "$root"
keep_x_connection || fail "the X display does not answer"

# An option it does not know ends it with its usage before any window opens.
"$program" --no-such-option >"$out" 2>&1
status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with status $status, expected 2"
has_line "kelvra: --no-such-option is not an option of kelvra" || fail "an unknown option was not named"
! grep -q "Creating" "$out" || fail "windows were made before an unknown option was refused"

start_painter "$program"

# The start-up transcript, in order: GL report, camera, the four panels.
previous=0
for line in $'\t--------------------------------------------' $'\tCAMERA: Initialising...' \
  $'\tCreating Filter Window....' $'\tCreating Stroke Window....' \
  $'\tCreating Camera Window....' $'\tCreating Size Window....'; do
  n=$(grep -nxF -- "$line" "$out" | head -n 1 | cut -d: -f1)
  [ -n "$n" ] || fail "missing line: $line"
  [ "$n" -gt "$previous" ] || fail "out of order: $line"
  previous=$n
done

# The three gradient maps of the default source, saved at start-up.
for map in SavedH SavedV SavedHV; do
  [ -s "textures/sourcemap/Saved/$map.bmp" ] || fail "start-up did not save $map.bmp"
done

# Three windows shown, with their titles and sizes; the Filter and Size
# panels, mapped when created, hidden once the main loop runs.
check_window() {
  local title=$1 width=$2 height=$3 info
  wait_for 20 visible "$title" || fail "window not shown: $title"
  info=$(xwininfo -id "$(visible "$title" | head -n 1)")
  grep -q "Width: $width\$" <<<"$info" && grep -q "Height: $height\$" <<<"$info" ||
    fail "$title is not $width x $height: $(grep -E 'Width|Height' <<<"$info" | tr -d '\n')"
}
check_window "Kelvra! by Dorvask" 675 675
check_window "Stroke Control Panel:" 330 350
check_window "Camera Control Panel:" 330 300
hidden() { ! visible "$1"; }
for panel in "Filter Control Panel:" "Size Control Panel:"; do
  xdotool search --name "^$panel\$" >/dev/null || fail "window never created: $panel"
  wait_for 20 hidden "$panel" || fail "should be hidden after start-up: $panel"
done

drag 200 300 30 10
wait_for 20 has_line $'\tBuilding Stroke data....' || fail "no stroke was built"
has_line $'\tGenerating PATH data....' || fail "missing the PATH build line"
grep -qF $'\tGenerating MESH data.... (v:' "$out" || fail "missing the MESH build line"

# The right-button menu of the main view shows the hidden panels. A freeglut
# menu opens at the pointer and stays open; its entries are 26 pixels apart:
# "Primitives:", "", "Canvas…", "", "Stroke…", "Shader…" (5), "", "Filter…" (7).
choose_main_menu_entry() {
  xdotool mousemove $((ox + 100)) $((oy + 100))
  sleep 0.3
  xdotool click 3
  sleep 0.5
  xdotool mousemove $((ox + 120)) $((oy + 100 + 26 * $1 + 13))
  sleep 0.3
  xdotool click 1
}
choose_main_menu_entry 7
wait_for 10 visible "Filter Control Panel:" || fail "the menu did not show the Filter panel"
choose_main_menu_entry 5
wait_for 10 visible "Size Control Panel:" || fail "the menu did not show the Size panel"

# Resizing the main view leaves every panel at its own size.
xdotool windowsize "$main" 800 600
size_is() { xwininfo -id "$main" | grep -q "Width: 800\$" && xwininfo -id "$main" | grep -q "Height: 600\$"; }
wait_for 10 size_is || fail "the main view was not resized"
check_window "Camera Control Panel:" 330 300
check_window "Stroke Control Panel:" 330 350
check_window "Filter Control Panel:" 200 200
check_window "Size Control Panel:" 350 335

# Esc in the main view ends the program with status 1 (the pointer stays on
# a part of the view that no panel covers).
xdotool mousemove $((ox + 620)) $((oy + 100))
quit_with_escape
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
echo "PASS"
