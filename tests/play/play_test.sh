#!/usr/bin/env bash
# kelvra-play end to end, in a scratch folder holding a copy of textures/:
#   play_test.sh KELVRA_PLAY REPOSITORY_ROOT demo|malformed|record|soak|redraws|dense|
#                crash|documents|open|film|brushes
# demo      the bundled demo replays to its strokes' console lines, twice
#           to byte-identical pictures, and ends with status 0 at its Esc;
#           frames lines add up to as many idle steps as they say; the
#           export key writes its file and names it
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
# redraws   every session script of the test suite (those of tests/play/hit/
#           are sequences of actions that once crashed or broke the program)
#           replays to its end with status 0 (a sanitizer report stops it),
#           with change tracking and the kept picture of the main view, with every window
#           drawn whole at every step, and with the kept picture off: after
#           every line, every open window shows the same
# dense     the same for a script painting over a dense painting
# crash     a replay on a virtual display of its own that is killed
#           (SIGKILL, SIGSEGV) leaves no X server of its own behind
# documents the Paintings window driven by its controls' labels saves into
#           the paintings folder, opens from its list to the main view it
#           showed before (after Delete All) and saves over a painting at a
#           second click, on "Replace"; the wheel's lines move the camera
#           in both modes and r gives the start camera back
# open      a save line makes its folder; --open FILE with two exports and a
#           screenshot writes all three:
#           the picture is the one taken before the painting was saved (the
#           painting's export is validated in tests/export); a broken file exits 1
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
# exits STATUS NAME COMMAND...: COMMAND, its output into NAME.out and
# NAME.err, must end with STATUS.
exits() {
  local want=$1 name=$2 got
  shift 2
  "$@" >"$name.out" 2>"$name.err"
  got=$?
  [ $got -eq "$want" ] || fail "$name: $* ended with status $got instead of $want"
}
# replay NAME [OPTION...]: NAME.session replayed alone, to its end.
replay() {
  local name=$1
  shift
  exits 0 "$name" alone "$play" "$@" "$name.session"
}
# script NAME LINE...: the lines, as NAME.session.
script() {
  local name=$1
  shift
  printf '%s\n' "$@" >"$name.session"
}
# says FILE TEXT: FILE holds TEXT and nothing else.
says() { [ "$(cat "$1")" = "$2" ] || fail "$1 holds: $(cat "$1")"; }
# stroke X Y: the lines of a stroke painted from (X, Y) to the right.
stroke() {
  echo "press left $1 $2"
  for dx in 20 40 60 80 100 120 140; do echo "move $(($1 + dx)) $(($2 + dx / 5))"; done
  echo "release left $(($1 + 140)) $(($2 + 28))"
}
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
    for way in "" --redraw-always --no-kept-picture; do
      exits 0 "$name$way" alone "$play" $way --picture-log "$name$way.log" "$script"
      [ -s "$name$way.log" ] || fail "$name$way: no pictures logged"
      cmp -s "$name.log" "$name$way.log" ||
        { diff "$name.log" "$name$way.log" | head -n 6; fail "$name: windows differ with $way"; }
    done
  done
}

case "$mode" in
demo)
  cp "$root/scripts/demo.session" demo.session
  for run in 1 2; do
    exits 0 "run$run" alone "$play" demo.session
    mkdir "pictures$run" && mv out/*.png "pictures$run/" || fail "replay $run wrote no pictures"
  done
  # With "C" ticked for the two crossing strokes and the curl, each commit
  # ran the crossing check; the last stroke is particles.
  built="$(count $'\tBuilding Stroke data....' run1.out) $(count $'\tFinished building Stroke data.' run1.out)"
  built+=" $(grep -c $'\tChecking for Collisions: .*\tDone!$' run1.out)"
  [ "$built" = "5 5 3" ] || fail "strokes built, finished and checked for crossings: $built, not 5 5 3"
  grep -qxF $'\tBuilding Particles...' run1.out || fail "no particle stroke"
  grep -qF $'\tSynchronising Windows System: Done!' run1.out || fail "the filter did not reach the main view"
  cmp -s run1.out run2.out || fail "two replays printed different lines"
  diff -r pictures1 pictures2 || fail "two replays drew different pictures"
  [ "$(ls pictures1 | wc -l)" -eq 6 ] || fail "not six pictures"
  # A frames line runs as many idle steps as it says: ten at once, or four
  # then six, turn the spinning camera as far, and nine not as far.
  for steps in 10 "4\nframes 6" 9; do
    name=spin$(echo "$steps" | head -c 1)
    printf "window main\nkey 8\nframes $steps\nscreenshot $name.png\n" >"$name.session"
    replay "$name"
  done
  cmp -s spin1.png spin4.png || fail "frames 10 and frames 4 then 6 differ"
  cmp -s spin1.png spin9.png && fail "frames 9 turned the camera as far as frames 10"
  # The export key writes painting-DATE_TIME.glb (a painting without a
  # name yet) into the exports folder, and names its full path.
  { echo 'frames 1'; stroke 100 300; echo 'key x'; } >key.session
  replay key
  exported=$(ls "$XDG_DATA_HOME"/kelvra/exports/painting-*.glb)
  [ -s "$exported" ] || fail "the export key wrote no painting"
  says key.err "kelvra-play: exported the painting into $exported"
  ;;
malformed)
  script bad 'window main' 'screenshot early.png' 'move 10 20' '' '# fine so far' 'press left 10 twenty'
  exits 1 bad "$play" bad.session
  says bad.err "bad.session:6: expected whole pixel numbers X Y"
  [ ! -e early.png ] && [ ! -s bad.out ] || fail "the painter started before the script was read"
  # Files that are no script end with status 1 and FILE: what is wrong.
  mkdir folder.session
  head -c 4096 "$play" >binary.session
  for name in missing folder binary; do exits 1 $name "$play" $name.session; done
  says missing.err "missing.session: cannot read the script: No such file or directory"
  says folder.err "folder.session: cannot read the script: Is a directory"
  grep -qE '^binary.session:[0-9]+: ' binary.err || fail "binary.err holds: $(cat binary.err)"
  # A recording never goes into an existing file (it would follow the
  # file's Esc, out of a replay's reach) nor leaves an empty one where the
  # display cannot be opened.
  echo 'key Esc' >old.session
  exits 1 old timeout 60 "$play" --record old.session
  says old.session "key Esc"
  says old.err "kelvra-play: old.session exists already: a recording goes into a new file"
  for how in "env DISPLAY=:9999 $play --record new.session" "env -u DISPLAY $play --record new.session" \
    "$play --record new.session -display :9999"; do
    exits 1 new $how
    [ ! -e new.session ] || fail "$how: a recording file was made"
  done
  says new.err "kelvra-play: cannot open the display :9999: nothing is recorded"
  # A line that reads but cannot be carried out stops there, with its line.
  script wrong 'frames 1' 'window stroke' 'click "No Such Button"'
  exits 1 wrong "$play" wrong.session
  says wrong.err 'wrong.session:3: no control "No Such Button"'
  # Export lines: a known extension writes its file and says so on stderr,
  # the painter's console staying as it was; an unknown one stops the
  # replay there and leaves nothing behind, not even its folder.
  { echo 'frames 1'; stroke 100 300; } >painted.session
  { cat painted.session; printf '%s\n' 'export out/painting.glb' 'export new/painting.xyz'; } >export.session
  exits 0 painted "$play" painted.session
  exits 1 export "$play" export.session
  says export.err "kelvra-play: exported the painting into out/painting.glb
export.session:12: unknown extension .xyz: use .glb, .obj, .ply, .stl or .png"
  cmp -s painted.out export.out || fail "the export changed the console"
  [ -s out/painting.glb ] && [ "$(ls out)" = painting.glb ] && [ ! -e new ] || fail "out/: $(ls out)"
  # Nothing painted: neither the export key nor an export line makes a folder.
  script empty 'frames 1' 'key x' 'export empty/painting.glb'
  exits 1 empty "$play" empty.session
  says empty.err "kelvra-play: nothing to export: no stroke is drawn
empty.session:3: nothing to export: no stroke is drawn"
  [ ! -e exports ] && [ ! -e empty ] || fail "a failed export made a folder: $(ls)"
  ;;
record)
  command -v xdotool >/dev/null && command -v import >/dev/null ||
    { echo "needs xdotool and ImageMagick's import"; exit 77; }
  "$play" --record journal.session >record.out 2>record.err & pid=$!
  wait_for 60 grep -qxF $'\tCreating Size Window....' record.out || fail "the recording did not start"
  main=$(xdotool search --sync --onlyvisible --name '^Kelvra! by Dorvask$' | head -n 1)
  [ -n "$main" ] || fail "no main window"
  drag() {  # drag X0 Y0 X1 Y1: a stroke in ten steps
    xdotool mousemove --window "$main" "$1" "$2" mousedown 1
    for step in $(seq 10); do
      xdotool mousemove --window "$main" $(($1 + ($3 - $1) * step / 10)) $(($2 + ($4 - $2) * step / 10)) sleep 0.02
    done
    xdotool mouseup 1 sleep 0.3
  }
  drag 150 150 500 300
  drag 200 450 450 120
  xdotool key Up sleep 0.2 key w
  drag 100 300 550 350
  # Saved under a name typed into the Paintings window, painted on, then
  # opened again by a double click on its name in the window's list. The
  # pixels are where the control layer lays out the name field, "Save" and
  # the list's first row; as a person would, the test waits for the
  # controls to be drawn before it uses them (a window is mapped before its
  # controls' subwindow is placed). The controls start below the
  # thumbnail's area, 140 pixels; the list is centred over the buttons.
  shows() {  # shows WINDOW X Y COLOUR: the window's pixel (X, Y) is COLOUR
    import -window "$1" shown.png && [ "$(convert shown.png -format "%[pixel:p{$2,$3}]" info:)" = "$4" ]
  }
  xdotool key ctrl+s
  paintings=$(xdotool search --sync --onlyvisible --name '^Paintings$' | head -n 1)
  [ -n "$paintings" ] || fail "Ctrl+S showed no Paintings window"
  wait_for 30 shows "$paintings" 200 381 "srgb(255,255,255)" || fail "no name field shown"
  xdotool mousemove --window "$paintings" 180 381 click 1 sleep 0.2 type --delay 30 harbour
  xdotool mousemove --window "$paintings" 165 428 click 1
  wait_for 30 test -s "$XDG_DATA_HOME/kelvra/paintings/harbour.kelvra" || fail "the Paintings window saved nothing"
  drag 300 500 400 200
  xdotool key ctrl+o search --sync --onlyvisible --name '^Paintings$' >/dev/null
  wait_for 30 shows "$paintings" 150 171 "srgb(51,94,168)" || fail "no painting shown in the list"
  xdotool mousemove --window "$paintings" 120 171 click --repeat 2 --delay 80 1 sleep 0.5 \
    mousemove --window "$main" 600 600 sleep 1
  import -window "$main" live.png || fail "cannot read the live window"
  xdotool key Escape
  wait "$pid"
  pid=
  # Replayed with a picture taken where the Esc ended the recording, from
  # an empty paintings folder, as the recording started.
  sed 's/^key Esc$/screenshot replay.png\nkey Esc/' journal.session >replay.session
  grep -qxF 'screenshot replay.png' replay.session || fail "the journal has no Esc"
  grep -qxF 'activate "Paintings/Paintings"' journal.session || fail "no painting opened from the list"
  exits 0 replay env XDG_DATA_HOME="$work/replayed" "$play" replay.session
  cmp -s record.out replay.out || { diff record.out replay.out | head; fail "other console output"; }
  cmp -s {"$XDG_DATA_HOME","$work/replayed"}/kelvra/paintings/harbour.kelvra || fail "the replay saved another painting"
  differing=$(compare -metric AE live.png replay.png null: 2>&1)
  [ "$differing" = "0" ] || fail "$differing pixels differ from the live main view"
  ;;
soak)
  {
    echo "window main"
    awk 'BEGIN { for (i = 0; i < 20200; i++) { x = 20 + i % 600
      printf "press left %d 300\nrelease left %d 300\n%s", x, x, i % 2000 ? "" : "frames 1\n" } }'
    # Painting at the limit adds nothing; undo and redo still work.
    printf '%s\n' 'move 100 100' 'press left 100 100'
    for x in $(seq 100 10 400); do echo "move $x 120"; done
    printf '%s\n' 'release left 400 120' undo redo 'key Esc'
  } >soak.session
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
  exits 0 soak "$play" soak.session
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
      [ $((i % 15)) -eq 0 ] && printf '%s\n' 'window stroke' \
        "set \"Mesh Subdivision/# Subdivisions:\" $((i % 30 == 0))" 'toggle "Primitives/M"'
      x=$((40 + RANDOM % 600)) y=$((40 + RANDOM % 600))
      printf '%s\n' "window main" "press left $x $y"
      for n in 1 2 3 4 5 6 7; do
        x=$((x + RANDOM % 41 - 20)) y=$((y + RANDOM % 41 - 20))
        echo "move $x $y"
      done
      echo "release left $x $y"
    done
    printf '%s\n' 'frames 1' 'press left 587 337'
    awk 'BEGIN { for (a = 0; a < 360; a += 15) { r = a * 3.14159265 / 180
      printf "move %d %d\nframes 1\n", 337 + 250 * cos(r), 337 + 200 * sin(r) } }'
    printf '%s\n' 'release left 587 300' 'frames 1' 'press middle 337 337' 'release middle 337 337' \
      'frames 1' 'press left 100 100'
    for x in $(seq 120 30 570); do printf 'move %d %d\nframes 1\n' "$x" $((100 + x / 2)); done
    echo "release left 570 385"
  } >dense.session
  same_every_way dense.session
  ;;
crash)
  # Long enough to be killed in the middle: a pause the replay honours.
  script long 'frames 1' 'wait 600000' 'frames 1'
  ulimit -c 0
  for signal in KILL SEGV; do
    # Started as a plain command (not through alone), so $! is its own pid.
    env -u DISPLAY "$play" --realtime long.session >"$signal.out" 2>"$signal.err" & pid=$!
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
  script wheel 'frames 1' 'screenshot start.png' 'wheel up 500 200' 'mode paint-under-pointer on' \
    'wheel down 100 100 shift' 'wheel up 1 1 ctrl' 'wheel right 9 9' 'frames 1' \
    'screenshot wheeled.png' 'mode paint-under-pointer off' 'key r' 'frames 1' 'screenshot reset.png'
  replay wheel
  cmp -s start.png wheeled.png && fail "the wheel did not move the camera"
  cmp -s start.png reset.png || fail "r did not give the start camera back"
  # The Paintings window by its controls' labels: a name refused is told in
  # the window, under the name, and on stderr; the painting opened from the
  # list is the one saved; saving over another painting takes a second
  # click, on "Replace", and the painting saved as "second" is then
  # harbour's too.
  {
    echo 'frames 1'
    stroke 100 300
    printf '%s\n' 'frames 1' 'screenshot named.png' 'key Ctrl+S' 'window paintings' 'screenshot asked.png' \
      'set "Name:" "a/b"' 'activate "Name:"' 'screenshot refused.png' \
      'set "Name:" " harbour "' 'activate "Name:"' \
      'window camera' 'click "Delete All"' 'click "Load"' 'window paintings' \
      'set "Paintings" "harbour"' 'activate "Paintings"' 'window main' 'screenshot listed.png'
    stroke 100 200
    printf '%s\n' 'window camera' 'click "Save"' 'window paintings' 'set "Name:" "second"' \
      'activate "Name:"' 'window camera' 'click "Save"' 'window paintings' 'set "Name:" "harbour"' \
      'click "Save"' 'click "Replace"'
  } >window.session
  replay window
  cmp -s named.png listed.png || fail "the painting opened from the list looks otherwise"
  cmp -s "$XDG_DATA_HOME"/kelvra/paintings/{second,harbour}.kelvra || fail "Replace did not save over harbour"
  grep -qxF "kelvra-play: a name cannot contain '/'" window.err || fail "no line for a/b"
  cmp -s asked.png refused.png && fail "the window does not show why a/b was refused"
  ;;
open)
  # Subdivided, crossing, particle and randomly sized strokes, saved with
  # a picture of them. The cursor is off: it follows the pointer, which a
  # painting does not keep.
  {
    grep -v '^export ' "$root/tests/export/validated.session"
    printf '%s\n' 'window camera' 'toggle "Cursor ON/OFF"' 'window main' 'frames 1' \
      'screenshot saved.png' 'save "new folder/painting.kelvra"'
  } >painting.session
  replay painting
  says painting.err "kelvra-play: saved new folder/painting.kelvra"
  mv "new folder/painting.kelvra" painting.kelvra
  exits 0 open alone "$play" --open painting.kelvra --export out/x.glb --export x.stl --screenshot s.png
  says open.err "kelvra-play: opened painting.kelvra
kelvra-play: exported the painting into out/x.glb
kelvra-play: exported the painting into x.stl
kelvra-play: wrote the main view's picture into s.png"
  [ -s x.stl ] || fail "no .stl written"
  cmp -s s.png saved.png || fail "the opened painting's picture is not the saved one's"
  # A file that does not open: status 1, why, and nothing written.
  head -c 3000 painting.kelvra >broken.kelvra
  exits 1 broken alone "$play" --open broken.kelvra --export y.glb --export y.stl --screenshot y.png
  says broken.err "kelvra-play: broken.kelvra: the file is cut short or damaged (Not a zip archive)"
  [ ! -e y.glb ] && [ ! -e y.stl ] && [ ! -e y.png ] || fail "a broken file wrote $(ls y.*)"
  # Nothing to write: only whether the file opens.
  exits 0 check alone "$play" --open painting.kelvra
  says check.err "kelvra-play: opened painting.kelvra"
  exits 1 missing alone "$play" --open missing.kelvra
  says missing.err "kelvra-play: cannot open missing.kelvra: No such file or directory"
  # --export and --screenshot go with --open, and --open goes alone.
  for arguments in "--export x.glb" "--screenshot s.png painting.session" \
    "--open painting.kelvra painting.session" "--open painting.kelvra --record new.session"; do
    exits 2 args "$play" $arguments
  done
  exits 1 args "$play" --open painting.kelvra --screenshot s.jpg
  says args.err "kelvra-play: --screenshot needs a file name ending in .png"
  ;;
film)
  command -v ffprobe >/dev/null || fail "ffprobe is not installed: run scripts/ensure_packages.sh"
  size=(--film-size 320x240 --film-seconds 2 --film-fps 10)  # 20 frames: 14 making, 4 light, 2 held
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
  replay painting
  # How far apart two pictures are, 0 (the same) to 1, as RMSE.
  distance() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
  near() { awk -v d="$(distance "$1" "$2")" -v most="$3" 'BEGIN { exit !(d != "" && d <= most) }'; }
  probe() {
    ffprobe -v error -count_frames -select_streams v:0 -of default=nw=1 -show_entries \
      stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames:format=duration "$1" |
      sort | tr '\n' ' '
  }
  # probed FILE CODEC: FILE reads back as 20 frames at the size, rate and
  # length asked.
  probed() {
    [ "$(probe "$1")" = "codec_name=$2 duration=2.000000 height=240 nb_read_frames=20 pix_fmt=yuv420p r_frame_rate=10/1 width=320 " ] ||
      fail "$1 reads back as $(probe "$1")"
  }
  exits 0 film alone "$play" --open two.kelvra --film film.mp4 "${size[@]}"
  [ "$(tail -n 1 film.err)" = "kelvra-play: made the film film.mp4 (20 frames, 2.0 s, 320 x 240)" ] ||
    fail "wrong messages: $(cat film.err)"
  probed film.mp4 h264
  exits 0 frames alone "$play" --open two.kelvra --film frames/ "${size[@]}"
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
  # H.264's loss: colour kept for 2 x 2 pixels, detail quantised. A
  # replay's film: the strokes grow as they were painted.
  replay painting --film replay.webm "${size[@]}"
  probed replay.webm vp9
  for film in film.mp4 replay.webm; do
    ffmpeg -v error -i $film -vf 'select=eq(n\,19)' -frames:v 1 $film.png || fail "$film does not decode"
    near $film.png two.png 0.04 || fail "$film's last frame is $(distance $film.png two.png) off"
  done
  # Empty, one stroke, and the f key's film: a replay that ends completes it.
  small=(--film-size 64x48 --film-seconds 1 --film-fps 10)
  for painting in empty one; do
    exits 0 small alone "$play" --open $painting.kelvra --film $painting.mp4 "${small[@]}"
    [[ "$(probe $painting.mp4)" == *nb_read_frames=10* ]] || fail "$painting.mp4: $(probe $painting.mp4)"
  done
  { stroke 60 60; printf '%s\n' 'key f' 'frames 1'; } >key.session
  replay key "${small[@]}"
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
  # Values set by hand and a brush saved of them, then that brush applied
  # after a restart: the same stroke paints the same painting and picture.
  paint() { printf '%s\n' 'window main'; stroke 100 300; printf '%s\n' 'frames 2' "screenshot $1.png" "save $1.kelvra"; }
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
  script delete 'frames 1' 'key b' 'window brushes' 'set "Brushes" "Mine"' 'click "Delete"' 'click "Really delete"'
  for name in hand brush delete; do replay $name; done
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
