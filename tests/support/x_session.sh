# Sourced by the end-to-end scripts that run a program on the current X
# display. The program under test runs as $pid, the connection keeper as
# $keeper; end_session stops both (call it from the script's cleanup).
pid=
keeper=

end_session() {
  local process
  for process in $pid $keeper; do kill "$process" 2>/dev/null; done
}

# skip REASON: ends the script as skipped (exit 77).
skip() { echo "skipped: $*"; exit 77; }
# needs TOOL...: skipped unless every TOOL is there ("display": an X display).
needs() {
  local tool
  for tool; do
    [ "$tool" = display ] && { [ -n "${DISPLAY:-}" ] || skip "needs an X display"; continue; }
    command -v "$tool" >/dev/null || skip "needs $tool"
  done
}

# keep_x_connection: one connection to the X server stays open for the whole
# test. A server that resets when its last client leaves (the test before
# this one, say) refuses connections while it resets, and the program's
# glutInit would fail on that. A refused keeper ends at once and is started
# again; fails when the display never answers.
keep_x_connection() {
  local attempt
  for attempt in $(seq 50); do
    xprop -root -spy >/dev/null 2>&1 &
    keeper=$!
    sleep 0.1
    kill -0 "$keeper" 2>/dev/null && return 0
  done
  keeper=
  return 1
}

# wait_for SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds;
# fails after SECONDS. Once the program ($pid, if set) has ended, COMMAND
# is tried one last time and its result is the answer.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && return 1
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      "$@" >/dev/null 2>&1
      return
    fi
    sleep 0.1
  done
}

# start_workspace NAME ROOT: a scratch folder $work holding a copy of ROOT's
# textures/ (maps saved there by earlier runs left out), made the current
# folder; $out is where the program's output goes, shown by fail, and the
# folder and the session go when the script ends.
start_workspace() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/kelvra_$1_XXXXXX") || exit 1
  out="$work/output.txt"
  trap 'end_session; rm -rf "$work"' EXIT
  cp -r "$2/textures" "$work/textures" || fail "cannot copy the textures"
  rm -f "$work"/textures/sourcemap/Saved/*.bmp
  cd "$work" || exit 1
}

# fail MESSAGE: says what failed and the program's output so far, and ends
# the script.
fail() {
  printf 'FAIL: %s\n---- program output ----\n' "$*"
  [ -f "${out:-}" ] && cat -A "$out" | head -n 80
  exit 1
}

# Shown windows titled exactly $1; a line of the program's output; the
# program has ended.
visible() { xdotool search --onlyvisible --name "^$1\$"; }
has_line() { grep -qxF -- "$1" "$out"; }
gone() { ! kill -0 "$pid" 2>/dev/null; }

# start_painter COMMAND...: the painter in the background, its output into
# $out, up to its last panel and its main view: $main is that window, $ox
# $oy its top left corner on the screen.
start_painter() {
  "$@" >"$out" 2>&1 &
  pid=$!
  wait_for 60 has_line $'\tCreating Size Window....' || fail "start-up did not finish: $*"
  wait_for 20 visible "Kelvra! by Dorvask" || fail "no main view: $*"
  main=$(visible "Kelvra! by Dorvask" | head -n 1)
  read -r ox oy < <(xwininfo -id "$main" |
    awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}')
}

# drag X Y DX DY: a left-button stroke over the main view from (X, Y), eight
# motions of (DX, DY).
drag() {
  xdotool mousemove $((ox + $1)) $((oy + $2)) sleep 0.2 mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((ox + $1 + $3 * step)) $((oy + $2 + $4 * step)) sleep 0.05
  done
  xdotool mouseup 1
}

# quit_with_escape: Esc in the main view; the painter's exit status in $status.
quit_with_escape() {
  xdotool key --window "$main" Escape 2>/dev/null || xdotool key Escape
  wait_for 10 gone || fail "Esc did not end the program"
  wait "$pid"
  status=$? pid=
}
