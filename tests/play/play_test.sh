#!/usr/bin/env bash
# kelvra-play end to end, in a scratch folder holding a copy of textures/:
#   play_test.sh KELVRA_PLAY REPOSITORY_ROOT demo|malformed|record|soak|redraws|dense|hit|
#                crash|documents|open|film|brushes
# demo      the bundled demo replays to its strokes' console lines, twice
#           to byte-identical pictures, and ends with status 0 at its Esc;
#           frames lines add up to as many idle steps as they say; the
#           export key's file and the demo's pictures are git-ignored
# malformed a script with an unreadable line stops before anything runs:
#           SCRIPT:LINE on stderr, non-zero status, no picture written; a
#           missing file, a folder or a binary file is refused with status 1
#           and its name; a line that cannot be carried out (no such
#           control, an unknown export format) stops the replay at its line;
#           --record refuses an existing file, and makes no file where the
#           display cannot be opened
# record    a session recorded while xdotool paints, saves under a name
#           typed into the Paintings window and opens it again from the
#           window's list replays to the same console output, the same
#           main-view picture and the same painting file
# soak      a script of over 40 000 events (20 200 clicks, strokes, undo
#           and redo): painting stops cleanly at 19 999 strokes; under the
#           sanitizer build with leak checking, nothing is reported
# redraws   every session script of the test suite replays with change
#           tracking and the kept picture of the main view, with every window
#           drawn whole at every step, and with the kept picture off: after
#           every line, every open window shows the same
# dense     the same for a script painting over a dense painting
# hit       every script of tests/play/hit/ (sequences of actions that once
#           crashed or broke the program) replays to its end with status 0
#           and no sanitizer report
# crash     a replay on a virtual display of its own that is killed
#           (SIGKILL, SIGSEGV) leaves no X server of its own behind
# documents the Paintings window driven by its controls' labels saves into
#           the paintings folder, opens from its list to the main view it
#           showed before (after Delete All) and saves over a painting at a
#           second click, on "Replace"; the wheel's lines move the camera
#           in both modes and r gives the start camera back
# open      a save line makes its folder; --open FILE with two exports and a
#           screenshot writes all three:
#           the picture is the one taken before the painting was saved, the
#           .glb passes the Khronos glTF validator; a broken file exits 1
#           writing nothing; without exports or screenshot it says whether
#           the file opens; arguments that do not fit are refused
# film      --open FILE --film makes an H.264 MP4, and a script's replay a VP9
#           WebM, that ffprobe reads back at the size, rate, frame count and
#           length asked; the film's frames (as PNG pictures, and the MP4's
#           last frame decoded) match screenshots of the painting after as
#           many strokes; an empty painting and one stroke give a film too;
#           the f key makes one into exports/; a film
#           into a missing or read-only folder is refused, naming why and
#           leaving nothing behind
# brushes  values set by hand in the panels, saved as a brush in the Brushes
#           window, paint the same painting and picture as that brush
#           applied by a brush line after a restart; the window's Delete,
#           clicked twice, removes it
# Every mode runs with HOME and XDG_DATA_HOME in its scratch folder, so
# nothing is written into the person's own folders.
# Exit 77 (skipped) without a display (record: or without xdotool).
set -uo pipefail
play=$(realpath "$1")
root=$(realpath "$2")
mode=$3

[ -n "${DISPLAY:-}" ] || { echo "needs an X display"; exit 77; }

source "$root/tests/support/x_session.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvra_play_XXXXXX") || exit 1
servers=()  # virtual X servers a failed check may have left running
cleanup() {
  end_session
  local server
  for server in "${servers[@]}"; do server_alive "$server" && kill "$server"; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for log in "$work"/*.err; do [ -s "$log" ] && { echo "---- $log"; head -n 40 "$log"; }; done
  exit 1
}
# X keeps its authority in the home folder unless told where it is.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
export HOME="$work/home" XDG_DATA_HOME="$work/data"
cp -r "$root/textures" "$work/textures" || fail "cannot copy the textures"
rm -f "$work"/textures/sourcemap/Saved/*.bmp
cd "$work" || exit 1

keep_x_connection || fail "the X display does not answer"

count() { grep -cxF -- "$1" "$2"; }
# Replays whose pictures are compared run on a virtual display of their own
# (kelvra-play starts one when there is none): windows of other tests on a
# shared display would cover theirs and have them redrawn at random times.
alone() { env -u DISPLAY "$@"; }
# The Xvfb processes whose parent is process $1, read from /proc.
servers_of() {
  local stat id name state parent
  for stat in /proc/[0-9]*/stat; do
    read -r id name state parent _ 2>/dev/null <"$stat" || continue
    [ "$parent" = "$1" ] && [ "$name" = "(Xvfb)" ] && echo "$id"
  done
}
# Whether Xvfb process $1 still runs (a zombie waiting for its new parent
# to reap it has ended).
server_alive() {
  local name state
  read -r _ name state _ 2>/dev/null <"/proc/$1/stat" && [ "$name" = "(Xvfb)" ] && [ "$state" != Z ]
}
server_gone() { ! server_alive "$1"; }

# Replays each script with change tracking and the kept picture of the
# main view, with every window drawn whole at every step, and with the kept
# picture off; after every line, every open window must show the same.
same_every_way() {
  local script name way
  for script in "$@"; do
    name=$(basename "$script" .session)
    alone "$play" --picture-log "$name.tracked" "$script" >/dev/null 2>"$name.err" ||
      fail "$name: replay with change tracking and the kept picture failed"
    [ -s "$name.tracked" ] || fail "$name: no pictures logged"
    for way in --redraw-always --no-kept-picture; do
      alone "$play" $way --picture-log "$name$way" "$script" >/dev/null 2>>"$name.err" ||
        fail "$name: replay with $way failed"
      if ! cmp -s "$name.tracked" "$name$way"; then
        diff "$name.tracked" "$name$way" | head -n 6
        fail "$name: windows differ between the default replay and $way"
      fi
    done
  done
}

case "$mode" in
demo)
  cp "$root/scripts/demo.session" demo.session
  for run in 1 2; do
    alone "$play" demo.session >"run$run.out" 2>"run$run.err" || fail "replay $run ended with status $?"
    mkdir "pictures$run" && mv out/*.png "pictures$run/" || fail "replay $run wrote no pictures"
  done
  [ "$(count $'\tBuilding Stroke data....' run1.out)" -eq 5 ] || fail "not five strokes built"
  [ "$(count $'\tFinished building Stroke data.' run1.out)" -eq 5 ] || fail "a stroke not finished"
  # With "C" ticked for the two crossing strokes and the curl, each commit
  # ran the crossing check; the last stroke is particles.
  [ "$(grep -c $'\tChecking for Collisions: .*\tDone!$' run1.out)" -eq 3 ] ||
    fail "not three crossing checks"
  grep -qxF $'\tBuilding Particles...' run1.out || fail "no particle stroke"
  grep -qF $'\tSynchronising Windows System: Done!' run1.out || fail "the filter did not reach the main view"
  cmp -s run1.out run2.out || fail "two replays printed different lines"
  for picture in pictures1/*.png; do
    cmp -s "$picture" "pictures2/$(basename "$picture")" || fail "$(basename "$picture") differs"
  done
  [ "$(ls pictures1 | wc -l)" -eq 6 ] || fail "not six pictures"
  # A frames line runs as many idle steps as it says: ten at once, or four
  # then six, turn the spinning camera as far, and nine not as far.
  for steps in 10 "4\nframes 6" 9; do
    name=$(echo "$steps" | head -c 1)
    printf "window main\nkey 8\nframes $steps\nscreenshot spin$name.png\n" >"spin$name.session"
    alone "$play" "spin$name.session" >"spin$name.out" 2>"spin$name.err" ||
      fail "spin$name.session ended with status $?"
  done
  cmp -s spin1.png spin4.png || fail "frames 10 and frames 4 then 6 differ"
  cmp -s spin1.png spin9.png && fail "frames 9 turned the camera as far as frames 10"
  # The export key writes painting-DATE_TIME.glb (a painting without a
  # name yet) into the exports folder, and names its full path.
  printf '%s\n' 'frames 1' 'press left 100 300' 'move 200 310' 'move 300 330' 'move 400 320' \
    'release left 400 320' 'key x' >key.session
  alone "$play" key.session >key.out 2>key.err || fail "key.session ended with status $?"
  exported=$(ls "$XDG_DATA_HOME"/kelvra/exports/painting-*.glb)
  [ -s "$exported" ] || fail "the export key wrote no painting"
  grep -qxF "kelvra-play: exported the painting into $exported" key.err ||
    fail "wrong message: $(cat key.err)"
  if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$root" check-ignore -q "out/$(ls pictures1 | head -n 1)" || fail "git does not ignore out/"
  fi
  ;;
malformed)
  printf 'window main\nscreenshot early.png\nmove 10 20\n\n# fine so far\npress left 10 twenty\n' \
    >bad.session
  "$play" bad.session >bad.out 2>bad.err && fail "a malformed script replayed"
  [ "$(cat bad.err)" = "bad.session:6: expected whole pixel numbers X Y" ] ||
    fail "wrong message: $(cat bad.err)"
  [ ! -e early.png ] || fail "a picture was written before the script was read"
  [ ! -s bad.out ] || fail "the painter started"
  # Files that are no script end with status 1 and FILE: what is wrong.
  mkdir folder.session
  head -c 4096 "$play" >binary.session
  for script in missing folder binary; do
    "$play" "$script.session" >"$script.out" 2>"$script.err"
    status=$?
    [ $status -eq 1 ] || fail "$script.session: status $status instead of 1"
  done
  [ "$(cat missing.err)" = "missing.session: cannot read the script: No such file or directory" ] ||
    fail "wrong message: $(cat missing.err)"
  [ "$(cat folder.err)" = "folder.session: cannot read the script: Is a directory" ] ||
    fail "wrong message: $(cat folder.err)"
  grep -qE '^binary.session:[0-9]+: ' binary.err || fail "wrong message: $(cat binary.err)"
  # A recording never goes into an existing file (it would follow the
  # file's Esc, out of a replay's reach) nor leaves an empty one where the
  # display cannot be opened.
  printf 'key Esc\n' >old.session
  "$play" --record old.session >old.out 2>old.err &
  pid=$!
  wait_for 60 grep -qxF $'\tCreating Size Window....' old.out &&
    fail "recording into an existing file"
  wait "$pid"
  status=$?
  pid=
  [ $status -eq 1 ] || fail "recording into an existing file: status $status instead of 1"
  [ "$(cat old.session)" = "key Esc" ] || fail "the existing file was changed"
  grep -qxF "kelvra-play: old.session exists already: a recording goes into a new file" old.err ||
    fail "wrong message: $(cat old.err)"
  for display in "env DISPLAY=:9999" "env -u DISPLAY"; do
    $display "$play" --record new.session >new.out 2>new.err && fail "$display: recording ran"
    [ ! -e new.session ] || fail "$display: a recording file was made"
  done
  "$play" --record new.session -display :9999 >new.out 2>new.err && fail "-display: recording ran"
  [ ! -e new.session ] || fail "-display: a recording file was made"
  grep -qxF "kelvra-play: cannot open the display :9999: nothing is recorded" new.err || fail "wrong message: $(cat new.err)"
  # A line that reads but cannot be carried out stops there, with its line.
  printf 'frames 1\nwindow stroke\nclick "No Such Button"\n' >wrong.session
  "$play" wrong.session >wrong.out 2>wrong.err && fail "a wrong control replayed"
  grep -qxF 'wrong.session:3: no control "No Such Button"' wrong.err ||
    fail "wrong message: $(cat wrong.err)"
  # Export lines: a known extension writes its file and says so on stderr,
  # the painter's console staying as it was; an unknown one stops the
  # replay there and leaves nothing behind, not even its folder.
  printf 'frames 1\npress left 100 300\nmove 200 310\nmove 300 330\nmove 400 320\nrelease left 400 320\n' >painted.session
  { cat painted.session; printf 'export out/painting.glb\nexport new/painting.xyz\n'; } >export.session
  "$play" painted.session >painted.out 2>painted.err || fail "painting without export failed"
  "$play" export.session >export.out 2>export.err && fail "an unknown extension exported"
  [ "$(cat export.err)" = "kelvra-play: exported the painting into out/painting.glb
export.session:8: unknown extension .xyz: use .glb, .obj, .ply, .stl or .png" ] ||
    fail "wrong messages: $(cat export.err)"
  cmp -s painted.out export.out || fail "the export changed the console"
  [ -s out/painting.glb ] || fail "no .glb written"
  [ "$(ls out)" = "painting.glb" ] || fail "other files left in out/: $(ls out)"
  [ ! -e new ] || fail "a failed export made its folder"
  # Nothing painted: neither the export key nor an export line makes a folder.
  printf 'frames 1\nkey x\nexport empty/painting.glb\n' >empty.session
  "$play" empty.session >empty.out 2>empty.err && fail "an empty canvas exported"
  [ "$(cat empty.err)" = "kelvra-play: nothing to export: no stroke is drawn
empty.session:3: nothing to export: no stroke is drawn" ] || fail "wrong messages: $(cat empty.err)"
  [ ! -e exports ] && [ ! -e empty ] || fail "a failed export made a folder: $(ls)"
  ;;
record)
  command -v xdotool >/dev/null && command -v import >/dev/null ||
    { echo "needs xdotool and ImageMagick's import"; exit 77; }
  "$play" --record journal.session >record.out 2>record.err &
  pid=$!
  wait_for 60 grep -qxF $'\tCreating Size Window....' record.out ||
    fail "the recording did not start"
  main=$(xdotool search --sync --onlyvisible --name '^Kelvra! by Dorvask$' | head -n 1)
  [ -n "$main" ] || fail "no main window"
  drag() {  # drag X0 Y0 X1 Y1: a stroke in ten steps
    xdotool mousemove --window "$main" "$1" "$2" mousedown 1
    for step in $(seq 10); do
      xdotool mousemove --window "$main" $(($1 + ($3 - $1) * step / 10)) $(($2 + ($4 - $2) * step / 10))
      sleep 0.02
    done
    xdotool mouseup 1
    sleep 0.3
  }
  drag 150 150 500 300
  drag 200 450 450 120
  xdotool key Up
  sleep 0.2
  xdotool key w
  drag 100 300 550 350
  # Saved under a name typed into the Paintings window, painted on, then
  # opened again by a double click on its name in the window's list. The
  # pixels are where the control layer lays out the name field, "Save" and
  # the list's first row; as a person would, the test waits for the
  # controls to be drawn before it uses them (a window is mapped before its
  # controls' subwindow is placed). The controls start below the
  # thumbnail's area, 140 pixels; the list is centred over the buttons.
  shows() {  # shows WINDOW X Y COLOUR: the window's pixel (X, Y) is COLOUR
    import -window "$1" shown.png &&
      [ "$(convert shown.png -format "%[pixel:p{$2,$3}]" info:)" = "$4" ]
  }
  xdotool key ctrl+s
  paintings=$(xdotool search --sync --onlyvisible --name '^Paintings$' | head -n 1)
  [ -n "$paintings" ] || fail "Ctrl+S showed no Paintings window"
  wait_for 30 shows "$paintings" 200 381 "srgb(255,255,255)" || fail "no name field shown"
  xdotool mousemove --window "$paintings" 180 381 click 1
  sleep 0.2
  xdotool type --delay 30 harbour
  xdotool mousemove --window "$paintings" 165 428 click 1
  wait_for 30 test -s "$XDG_DATA_HOME/kelvra/paintings/harbour.kelvra" ||
    fail "the Paintings window saved nothing"
  drag 300 500 400 200
  xdotool key ctrl+o
  xdotool search --sync --onlyvisible --name '^Paintings$' >/dev/null
  wait_for 30 shows "$paintings" 150 171 "srgb(51,94,168)" || fail "no painting shown in the list"
  xdotool mousemove --window "$paintings" 120 171 click --repeat 2 --delay 80 1
  sleep 0.5
  xdotool mousemove --window "$main" 600 600
  sleep 1
  import -window "$main" live.png || fail "cannot read the live window"
  xdotool key Escape
  wait "$pid"
  pid=
  # Replayed with a picture taken where the Esc ended the recording.
  sed 's/^key Esc$/screenshot replay.png\nkey Esc/' journal.session >replay.session
  grep -qxF 'screenshot replay.png' replay.session || fail "the journal has no Esc"
  grep -qxF 'activate "Paintings/Paintings"' journal.session || fail "no painting opened from the list"
  # The replay starts from an empty paintings folder, as the recording did.
  XDG_DATA_HOME="$work/replayed" "$play" replay.session >replay.out 2>replay.err ||
    fail "the journal did not replay"
  cmp -s record.out replay.out || { diff record.out replay.out | head; fail "other console output"; }
  cmp -s "$XDG_DATA_HOME/kelvra/paintings/harbour.kelvra" "$work/replayed/kelvra/paintings/harbour.kelvra" ||
    fail "the replay saved another painting"
  differing=$(compare -metric AE live.png replay.png null: 2>&1)
  [ "$differing" = "0" ] || fail "$differing pixels differ from the live main view"
  ;;
soak)
  {
    echo "window main"
    for i in $(seq 0 20199); do
      x=$((20 + i % 600))
      echo "press left $x 300"
      echo "release left $x 300"
      [ $((i % 2000)) -eq 0 ] && echo "frames 1"
    done
    # Painting at the limit adds nothing; undo and redo still work.
    echo "move 100 100"
    echo "press left 100 100"
    for x in $(seq 100 10 400); do echo "move $x 120"; done
    echo "release left 400 120"
    echo "undo"
    echo "redo"
    echo "key Esc"
  } >soak.session
  [ "$(wc -l <soak.session)" -gt 40000 ] || fail "the soak script is too short"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
  "$play" soak.session >soak.out 2>soak.err || fail "the soak replay ended with status $?"
  [ "$(count $'\tBuilding Stroke data....' soak.out)" -eq 19999 ] ||
    fail "$(count $'\tBuilding Stroke data....' soak.out) strokes instead of 19999"
  grep -q "Sanitizer" soak.err && fail "the sanitizers reported"
  ;;
redraws)
  same_every_way "$root"/scripts/demo.session "$root"/tests/play/*.session \
    "$root"/tests/play/hit/*.session "$root"/tests/export/*.session
  ;;
dense)
  # A dense painting: an auto-trace of the source image's edges (4 624
  # strokes, most of them empty), then 120 strokes wandering over the whole
  # canvas, some subdivided, some as particles; over it a drag round most
  # of the view with a frame after every motion, a pick, and another drag.
  RANDOM=24
  {
    printf '%s\n' 'frames 1' 'window camera' 'toggle "Paper ON/OFF"' 'window main' 'key m' \
      'frames 1' 'window camera' 'toggle "Paper ON/OFF"' 'window stroke' 'toggle "Primitives/P"'
    for i in $(seq 120); do
      case $((i % 30)) in
        0) printf '%s\n' 'window stroke' 'set "Mesh Subdivision/# Subdivisions:" 1' \
          'toggle "Primitives/M"' ;;
        15) printf '%s\n' 'window stroke' 'set "Mesh Subdivision/# Subdivisions:" 0' \
          'toggle "Primitives/M"' ;;
      esac
      echo "window main"
      x=$((40 + RANDOM % 600)) y=$((40 + RANDOM % 600))
      echo "press left $x $y"
      for n in 1 2 3 4 5 6 7; do
        x=$((x + RANDOM % 41 - 20)) y=$((y + RANDOM % 41 - 20))
        echo "move $x $y"
      done
      echo "release left $x $y"
    done
    echo "frames 1"
    echo "press left 587 337"
    for m in $(seq 0 15 345); do
      awk -v a="$m" 'BEGIN { r = a * 3.14159265 / 180
        printf "move %d %d\nframes 1\n", 337 + 250 * cos(r), 337 + 200 * sin(r) }'
    done
    printf '%s\n' 'release left 587 300' 'frames 1' 'press middle 337 337' 'release middle 337 337' \
      'frames 1' 'press left 100 100'
    for x in $(seq 120 30 570); do printf 'move %d %d\nframes 1\n' "$x" $((100 + x / 2)); done
    echo "release left 570 385"
  } >dense.session
  same_every_way dense.session
  ;;
hit)
  for script in "$root"/tests/play/hit/*.session; do
    name=$(basename "$script" .session)
    alone "$play" "$script" >"$name.out" 2>"$name.err" || fail "$name: status $?"
    grep -q "Sanitizer" "$name.err" && fail "$name: the sanitizers reported"
  done
  ;;
crash)
  # Long enough to be killed in the middle: a pause the replay honours.
  printf 'frames 1\nwait 600000\nframes 1\n' >long.session
  ulimit -c 0
  for signal in KILL SEGV; do
    # Started as a plain command (not through alone), so $! is its own pid.
    env -u DISPLAY "$play" --realtime long.session >"$signal.out" 2>"$signal.err" &
    pid=$!
    wait_for 60 grep -qxF $'\tCreating Size Window....' "$signal.out" ||
      fail "the replay to kill with SIG$signal did not start"
    server=$(servers_of "$pid")
    [ -n "$server" ] || fail "the replay started no Xvfb of its own"
    servers+=($server)
    kill -s "$signal" "$pid"
    wait "$pid" 2>/dev/null
    pid=
    wait_for 30 server_gone "$server" || fail "SIG$signal left the replay's Xvfb $server running"
  done
  ;;
documents)
  # The wheel zooms and pans, in both modes; r gives the start camera back.
  printf '%s\n' 'frames 1' 'screenshot start.png' 'wheel up 500 200' 'mode paint-under-pointer on' \
    'wheel down 100 100 shift' 'wheel up 1 1 ctrl' 'wheel right 9 9' 'frames 1' \
    'screenshot wheeled.png' 'mode paint-under-pointer off' 'key r' 'frames 1' 'screenshot reset.png' \
    >wheel.session
  alone "$play" wheel.session >wheel.out 2>wheel.err || fail "wheel.session ended with status $?"
  cmp -s start.png wheeled.png && fail "the wheel did not move the camera"
  cmp -s start.png reset.png || fail "r did not give the start camera back"
  # The Paintings window by its controls' labels.
  printf '%s\n' 'frames 1' 'press left 100 300' 'move 250 320' 'release left 400 320' 'frames 1' \
    'screenshot named.png' 'key Ctrl+S' 'window paintings' 'screenshot asked.png' \
    'set "Name:" "a/b"' 'activate "Name:"' 'screenshot refused.png' \
    'set "Name:" " harbour "' 'activate "Name:"' \
    'window camera' 'click "Delete All"' 'click "Load"' 'window paintings' \
    'set "Paintings" "harbour"' 'activate "Paintings"' 'window main' 'screenshot listed.png' \
    'press left 100 200' 'move 250 220' 'release left 400 220' \
    'window camera' 'click "Save"' 'window paintings' 'set "Name:" "second"' 'activate "Name:"' \
    'window camera' 'click "Save"' 'window paintings' 'set "Name:" "harbour"' 'click "Save"' \
    'click "Replace"' >window.session
  alone "$play" window.session >window.out 2>window.err || fail "window.session ended with status $?"
  [ -s "$XDG_DATA_HOME/kelvra/paintings/harbour.kelvra" ] || fail "the window saved nothing"
  cmp -s named.png listed.png || fail "the painting opened from the list looks otherwise"
  # Saving over another painting takes a second click, on "Replace": the
  # painting saved as "second" is then harbour's too.
  cmp -s "$XDG_DATA_HOME"/kelvra/paintings/{second,harbour}.kelvra ||
    fail "Replace did not save over harbour"
  # A name refused is told in the window, under the name, and on stderr.
  grep -qxF "kelvra-play: a name cannot contain '/'" window.err || fail "no line for a/b: $(cat window.err)"
  cmp -s asked.png refused.png && fail "the window does not show why a/b was refused"
  ;;
open)
  validator="$root/tools/gltf_validator"
  [ -f "$validator/node_modules/gltf-validator/package.json" ] ||
    fail "the glTF validator is not installed: run scripts/ensure_packages.sh"
  # Subdivided, crossing, particle and randomly sized strokes, saved with
  # a picture of them. The cursor is off: it follows the pointer, which a
  # painting does not keep.
  {
    grep -v '^export ' "$root/tests/export/validated.session"
    printf '%s\n' 'window camera' 'toggle "Cursor ON/OFF"' 'window main' 'frames 1' \
      'screenshot saved.png' 'save "new folder/painting.kelvra"'
  } >painting.session
  alone "$play" painting.session >painting.out 2>painting.err || fail "painting.session: status $?"
  [ "$(cat painting.err)" = "kelvra-play: saved new folder/painting.kelvra" ] ||
    fail "wrong message: $(cat painting.err)"
  mv "new folder/painting.kelvra" painting.kelvra
  alone "$play" --open painting.kelvra --export out/x.glb --export x.stl --screenshot s.png \
    >open.out 2>open.err || fail "--open ended with status $?"
  [ "$(cat open.err)" = "kelvra-play: opened painting.kelvra
kelvra-play: exported the painting into out/x.glb
kelvra-play: exported the painting into x.stl
kelvra-play: wrote the main view's picture into s.png" ] || fail "wrong messages: $(cat open.err)"
  [ -s x.stl ] || fail "no .stl written"
  cmp -s s.png saved.png || fail "the opened painting's picture is not the saved one's"
  node "$validator/validate.mjs" out/x.glb >validator.log ||
    { cat validator.log; fail "the validator found errors or warnings"; }
  # A file that does not open: status 1, why, and nothing written.
  head -c 3000 painting.kelvra >broken.kelvra
  alone "$play" --open broken.kelvra --export y.glb --export y.stl --screenshot y.png \
    >broken.out 2>broken.err && fail "a broken file opened"
  [ "$(cat broken.err)" = "kelvra-play: broken.kelvra: the file is cut short or damaged (Not a zip archive)" ] ||
    fail "wrong message: $(cat broken.err)"
  [ ! -e y.glb ] && [ ! -e y.stl ] && [ ! -e y.png ] || fail "a broken file wrote $(ls y.*)"
  # Nothing to write: only whether the file opens.
  alone "$play" --open painting.kelvra >check.out 2>check.err || fail "a good file did not open"
  [ "$(cat check.err)" = "kelvra-play: opened painting.kelvra" ] ||
    fail "wrong message: $(cat check.err)"
  alone "$play" --open missing.kelvra >check.out 2>check.err && fail "a missing file opened"
  [ "$(cat check.err)" = "kelvra-play: cannot open missing.kelvra: No such file or directory" ] ||
    fail "wrong message: $(cat check.err)"
  # --export and --screenshot go with --open, and --open goes alone.
  for arguments in "--export x.glb" "--screenshot s.png painting.session" \
    "--open painting.kelvra painting.session" "--open painting.kelvra --record new.session"; do
    "$play" $arguments >args.out 2>args.err
    status=$?
    [ $status -eq 2 ] || fail "$arguments: status $status instead of 2"
  done
  "$play" --open painting.kelvra --screenshot s.jpg >args.out 2>args.err && fail "a .jpg screenshot"
  [ "$(cat args.err)" = "kelvra-play: --screenshot needs a file name ending in .png" ] ||
    fail "wrong message: $(cat args.err)"
  ;;
film)
  command -v ffprobe >/dev/null || fail "ffprobe is not installed: run scripts/ensure_packages.sh"
  size=(--film-size 320x240 --film-seconds 2 --film-fps 10)  # 20 frames: 14 making, 4 light, 2 held
  stroke() {  # a stroke from ($1, $2) to the right
    echo "press left $1 $2"
    for dx in 20 40 60 80 100 120 140; do echo "move $(($1 + dx)) $(($2 + dx / 5))"; done
    echo "release left $(($1 + 140)) $(($2 + 28))"
  }
  {
    # Wide strokes in a warm colour, so that the light shows on them.
    printf '%s\n' 'frames 1' 'window stroke' 'press left 22 92' 'release left 22 92' \
      'window size' 'set "Normal Nodes/Width/Start:" 0.15' 'set "Normal Nodes/Height/Start:" 0.08' \
      'window camera' 'toggle "Cursor ON/OFF"' 'window main' 'resize 320 240' 'frames 1' \
      'save empty.kelvra'
    stroke 60 60
    printf '%s\n' 'frames 1' 'screenshot one.png' 'save one.kelvra'
    stroke 60 150
    printf '%s\n' 'frames 1' 'screenshot two.png' 'save two.kelvra'
  } >painting.session
  alone "$play" painting.session >painting.out 2>painting.err || fail "painting.session: status $?"
  # How far apart two pictures are, 0 (the same) to 1, as RMSE.
  distance() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
  near() { awk -v d="$(distance "$1" "$2")" -v most="$3" 'BEGIN { exit !(d != "" && d <= most) }'; }
  probe() {
    ffprobe -v error -count_frames -select_streams v:0 -of default=nw=1 -show_entries \
      stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames:format=duration "$1" |
      sort | tr '\n' ' '
  }
  alone "$play" --open two.kelvra --film film.mp4 "${size[@]}" >film.out 2>film.err ||
    fail "--film ended with status $?"
  [ "$(tail -n 1 film.err)" = "kelvra-play: made the film film.mp4 (20 frames, 2.0 s, 320 x 240)" ] ||
    fail "wrong messages: $(cat film.err)"
  [ "$(probe film.mp4)" = "codec_name=h264 duration=2.000000 height=240 nb_read_frames=20 pix_fmt=yuv420p r_frame_rate=10/1 width=320 " ] ||
    fail "film.mp4 reads back as $(probe film.mp4)"
  alone "$play" --open two.kelvra --film frames/ "${size[@]}" >frames.out 2>frames.err ||
    fail "--film frames/ ended with status $?"
  [ "$(ls frames | wc -l)" -eq 20 ] || fail "$(ls frames | wc -l) pictures in frames/ instead of 20"
  # A frame drawn off the screen may differ from the window's picture at the
  # edges of triangles (framebuffers rasterise rows the other way), hence 1 %.
  near frames/00020.png two.png 0.01 || fail "the held frame is $(distance frames/00020.png two.png) off"
  near frames/00007.png one.png 0.01 || fail "the making's middle is $(distance frames/00007.png one.png) off"
  near frames/00001.png one.png 0.01 && fail "the film does not start from the empty canvas"
  # Half a turn on, the light stands in front of the relief: the strokes'
  # pixels (some hundreds) change.
  moved=$(compare -metric AE -fuzz 5% frames/00017.png two.png null: 2>&1)
  [ "${moved%% *}" -gt 200 ] 2>/dev/null || fail "the light does not turn across the relief: $moved"
  # H.264's loss: colour kept for 2 x 2 pixels, detail quantised.
  ffmpeg -v error -i film.mp4 -vf 'select=eq(n\,19)' -frames:v 1 last.png || fail "film.mp4 does not decode"
  near last.png two.png 0.04 || fail "film.mp4's last frame is $(distance last.png two.png) off"
  # A replay's film: the strokes grow as they were painted.
  alone "$play" painting.session --film replay.webm "${size[@]}" >replay.out 2>replay.err ||
    fail "a replay's --film ended with status $?"
  [ "$(probe replay.webm)" = "codec_name=vp9 duration=2.000000 height=240 nb_read_frames=20 pix_fmt=yuv420p r_frame_rate=10/1 width=320 " ] ||
    fail "replay.webm reads back as $(probe replay.webm)"
  ffmpeg -v error -i replay.webm -vf 'select=eq(n\,19)' -frames:v 1 replay.png || fail "no replay.png"
  near replay.png two.png 0.04 || fail "replay.webm's last frame is $(distance replay.png two.png) off"
  # Empty, one stroke, and the f key's film.
  small=(--film-size 64x48 --film-seconds 1 --film-fps 10)
  for painting in empty one; do
    alone "$play" --open $painting.kelvra --film $painting.mp4 "${small[@]}" >small.out 2>small.err ||
      fail "the film of $painting.kelvra ended with status $?"
    [[ "$(probe $painting.mp4)" == *nb_read_frames=10* ]] || fail "$painting.mp4: $(probe $painting.mp4)"
  done
  # A replay that ends completes the key's film.
  { stroke 60 60; printf '%s\n' 'key f' 'frames 1'; } >key.session
  alone "$play" key.session "${small[@]}" >key.out 2>key.err || fail "key.session: status $?"
  made=$(sed -n 's/^kelvra-play: made the film \(.*\/exports\/painting-.*\.mp4\) (10 frames.*/\1/p' key.err)
  [ -n "$made" ] && [[ "$(probe "$made")" == *nb_read_frames=10* ]] || fail "no film on the f key: $(cat key.err)"
  # Refused: nothing written, one line saying why.
  if [ "$(id -u)" -eq 0 ]; then readonly=/sys; else mkdir readonly && chmod 555 readonly; fi
  mkdir full && touch full/x
  for case in "missing/x.mp4|cannot write missing/x.mp4: No such file or directory" \
    "$readonly/x.mp4|cannot write $readonly/x.mp4: Permission denied" \
    "full/|cannot write full/: it is not an empty folder: frames go into a new or empty folder" \
    "x.avi|cannot write x.avi: a film is a .mp4 or .webm file, or a folder (ending in /)"; do
    alone "$play" --open one.kelvra --film "${case%%|*}" "${small[@]}" >refused.out 2>refused.err &&
      fail "--film ${case%%|*} was made"
    [ "$(tail -n 1 refused.err)" = "kelvra-play: ${case#*|}" ] || fail "wrong message: $(cat refused.err)"
  done
  [ ! -e missing ] && [ -z "$(ls -A full/ | grep -v '^x$')" ] && [ ! -e x.avi ] &&
    [ -z "$(ls -A . | grep '^\.kelvra-')" ] || fail "a refused film left $(ls -A . missing full)"
  ;;
brushes)
  # The same stroke, and the painting and picture it leaves.
  paint() {
    printf '%s\n' 'window main' 'press left 100 300' 'move 200 310' 'move 300 340' 'move 400 320' \
      'release left 400 320' 'frames 2' "screenshot $1.png" "save $1.kelvra"
  }
  {
    printf '%s\n' 'frames 1' 'menu "Shader Control Panel"' 'window size' \
      'set "Normal Nodes/Width/Start:" 0.07' 'set "Normal Nodes/Height/Start:" 0.05' \
      'set "Collision Nodes/Height/Start:" 1.5' 'window stroke' 'set "Path Curve/LOD:" 8' \
      'set "Shape Curve/LOD:" 9' 'set "Mesh Subdivision/# Subdivisions:" 1' 'toggle "Misc/R"' \
      'menu "Mesh Maps/Pebble.bmp"' 'window main' 'key b' 'window brushes' \
      'set "Pen pressure/Pressure minimum" 0.5' 'set "Name:" "Mine"' \
      'click "Save current as..."' 'click "Close"'
    paint hand
  } >hand.session
  { printf '%s\n' 'frames 1' 'menu "Shader Control Panel"' 'brush "Mine"'; paint brush; } >brush.session
  printf '%s\n' 'frames 1' 'key b' 'window brushes' 'set "Brushes" "Mine"' 'click "Delete"' \
    'click "Really delete"' >delete.session
  for name in hand brush delete; do
    alone "$play" $name.session >$name.out 2>$name.err || fail "$name.session ended with status $?"
  done
  cmp -s hand.png brush.png || fail "the brush paints otherwise than the same values set by hand"
  cmp -s hand.kelvra brush.kelvra || fail "the brush's painting differs from the one set by hand"
  [ ! -e "$XDG_DATA_HOME/kelvra/brushes/Mine.kelvra-brush" ] || fail "Delete, twice, left the brush"
  ;;
*)
  echo "unknown mode $mode"
  exit 2
  ;;
esac
echo "ok"
