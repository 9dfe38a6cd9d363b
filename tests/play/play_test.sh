#!/usr/bin/env bash
# kelvra-play end to end, in a scratch folder holding a copy of textures/:
#   play_test.sh KELVRA_PLAY REPOSITORY_ROOT demo|malformed|record|redraws|dense|
#                crash|documents|open|film|brushes
# demo      the bundled demo replays to its strokes' console lines, twice
#           to byte-identical pictures, and ends with status 0 at its Esc;
#           frames lines add up to as many idle steps as they say; the
#           export key writes its file and names it
# malformed a script with an unreadable line stops before anything runs:
#           SCRIPT:LINE on stderr, non-zero status, no picture written; a
#           missing file or a folder is refused with status 1 and its name; a line that cannot be carried out (no such
#           control, an unknown export format) stops the replay at its line;
#           --record refuses an existing file, and makes no file where the
#           display cannot be opened
# record    a session recorded while xdotool paints, selects and moves
#           the camera replays to the same console output and the same
#           main-view picture
# redraws   every session script of the test suite (those of tests/play/hit/
#           are sequences of actions that once crashed or broke the program)
#           replays to its end with status 0 (a sanitizer report stops it),
#           with change tracking and the kept picture of the main view, with every window
#           drawn whole at every step, and with the kept picture off: after
#           every line, every open window shows the same
# dense     the same for a script painting over a dense painting
# crash     a replay on a virtual display of its own, killed, leaves no X
#           server of its own behind
# documents the Paintings window driven by its controls' labels saves into
#           the paintings folder, opens from its list to the main view it
#           showed before (after Delete All) and saves over a painting at a
#           second click, on "Replace"; the wheel's lines move the camera
#           in both modes and r gives the start camera back
# open      a save line makes its folder; --open FILE with two exports and a
#           screenshot writes all three:
#           the picture is the one taken before the painting was saved (the
#           painting's export is validated in tests/export); a broken file exits 1
#           writing nothing; arguments that do not fit are refused
# film      --open FILE --film makes an H.264 MP4, and a script's replay a VP9
#           WebM, that ffprobe reads back at the size, rate, frame count and
#           length asked; the film's frames (as PNG pictures, and the MP4's
#           last frame decoded) match screenshots of the painting after as
#           many strokes; an empty painting gives a film too;
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
fail() {
  echo "FAIL: $*"
  for log in "$work"/*.err; do [ -s "$log" ] && { echo "---- $log"; head -n 40 "$log"; }; done
  exit 1
}
# X keeps its authority in the home folder unless told where it is.
export XAUTHORITY="${XAUTHORITY:-$HOME/.Xauthority}"
start_workspace play "$root"
export HOME="$work/home" XDG_DATA_HOME="$work/data"

keep_x_connection || fail "the X display does not answer"

count() { grep -cxF -- "$1" "$2"; }
# Replays whose pictures are compared run on a virtual display of their own
# (kelvra-play starts one when there is none): windows of other tests on a
# shared display would cover theirs and have them redrawn at random times.
alone() { env -u DISPLAY "$@"; }
# exits STATUS NAME COMMAND...: COMMAND, its output into NAME.out and
# NAME.err, must end with STATUS.
exits() {
  "${@:3}" >"$2.out" 2>"$2.err"
  local got=$?
  [ $got -eq "$1" ] || fail "$2: ${*:3} ended with status $got instead of $1"
}
# told STATUS NAME TEXT COMMAND...: exits, and NAME.err holds TEXT alone.
told() { exits "$1" "$2" "${@:4}" && says "$2.err" "$3"; }
# replay NAME [OPTION...]: NAME.session replayed alone, to its end.
replay() { exits 0 "$1" alone "$play" "${@:2}" "$1.session"; }
# script NAME LINE...: the lines, as NAME.session.
script() { printf '%s\n' "${@:2}" >"$1.session"; }
# says FILE TEXT: FILE holds TEXT and nothing else.
says() { [ "$(cat "$1")" = "$2" ] || fail "$1 holds: $(cat "$1")"; }
# stroke X Y: the lines of a stroke painted from (X, Y) to the right.
stroke() {
  echo "press left $1 $2"
  for dx in 20 40 60 80 100 120 140; do echo "move $(($1 + dx)) $(($2 + dx / 5))"; done
  echo "release left $(($1 + 140)) $(($2 + 28))"
}
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
  told 1 bad "bad.session:6: expected whole pixel numbers X Y" "$play" bad.session
  [ ! -e early.png ] && [ ! -s bad.out ] || fail "the painter started before the script was read"
  # Files that are no script end with status 1 and FILE: what is wrong.
  mkdir folder.session
  told 1 missing "missing.session: cannot read the script: No such file or directory" "$play" missing.session
  told 1 folder "folder.session: cannot read the script: Is a directory" "$play" folder.session
  # A recording never goes into an existing file (it would follow the
  # file's Esc, out of a replay's reach) nor leaves an empty one where the
  # display cannot be opened.
  echo 'key Esc' >old.session
  told 1 old "kelvra-play: old.session exists already: a recording goes into a new file" \
    timeout 60 "$play" --record old.session
  says old.session "key Esc"
  for how in "env DISPLAY=:9999 $play --record new.session" "env -u DISPLAY $play --record new.session" \
    "$play --record new.session -display :9999"; do
    exits 1 new $how
    [ ! -e new.session ] || fail "$how: a recording file was made"
  done
  says new.err "kelvra-play: cannot open the display :9999: nothing is recorded"
  # A line that reads but cannot be carried out stops there, with its line.
  script wrong 'frames 1' 'window stroke' 'click "No Such Button"'
  told 1 wrong 'wrong.session:3: no control "No Such Button"' "$play" wrong.session
  # Export lines: a known extension writes its file and says so on stderr;
  # an unknown one stops the replay there (what an export leaves behind when
  # it fails is seen in export_painting_tests).
  { echo 'frames 1'; stroke 100 300; printf '%s\n' 'export out/painting.glb' 'export new/painting.xyz'; } >export.session
  told 1 export "kelvra-play: exported the painting into out/painting.glb
export.session:12: unknown extension .xyz: use .glb, .obj, .ply, .stl or .png" "$play" export.session
  [ -s out/painting.glb ] || fail "no out/painting.glb"
  ;;
record)
  needs xdotool import
  "$play" --record journal.session >record.out 2>record.err & pid=$!
  wait_for 60 grep -qxF $'\tCreating Size Window....' record.out || fail "the recording did not start"
  main=$(xdotool search --sync --onlyvisible --name '^Kelvra! by Dorvask$' | head -n 1)
  [ -n "$main" ] || fail "no main window"
  drag() {  # drag X0 Y0 X1 Y1: a stroke in ten steps
    xdotool mousemove --window "$main" "$1" "$2" mousedown 1
    for step in $(seq 10); do xdotool mousemove --window "$main" $(($1 + ($3 - $1) * step / 10)) $(($2 + ($4 - $2) * step / 10)) sleep 0.02; done
    xdotool mouseup 1 sleep 0.3
  }
  drag 150 150 500 300
  drag 200 450 450 120
  xdotool key Up sleep 0.2 key w
  drag 100 300 550 350
  # The lines recorded for controls are those play_controls_tests hears.
  xdotool mousemove --window "$main" 600 600 sleep 1
  import -window "$main" live.png || fail "cannot read the live window"
  xdotool key Escape
  wait "$pid"
  pid=
  # Replayed with a picture taken where the Esc ended the recording, from
  # an empty paintings folder, as the recording started.
  sed 's/^key Esc$/screenshot replay.png\nkey Esc/' journal.session >replay.session
  grep -qxF 'screenshot replay.png' replay.session || fail "the journal has no Esc"
  exits 0 replay env XDG_DATA_HOME="$work/replayed" "$play" replay.session
  cmp -s record.out replay.out || { diff record.out replay.out | head; fail "other console output"; }
  differing=$(compare -metric AE live.png replay.png null: 2>&1)
  [ "$differing" = "0" ] || fail "$differing pixels differ from the live main view"
  ;;
redraws)
  same_every_way "$root"/scripts/demo.session "$root"/tests/play/*.session \
    "$root"/tests/play/hit/*.session "$root"/tests/export/*.session
  ;;
crash)
  # Long enough to be killed in the middle: a pause the replay honours.
  # Started through env (not alone), so $! is the replay's own pid.
  script long 'frames 1' 'wait 600000' 'frames 1'
  env -u DISPLAY "$play" --realtime long.session >long.out 2>long.err & pid=$!
  wait_for 60 grep -qxF $'\tCreating Size Window....' long.out || fail "the replay did not start"
  server=$(pgrep -P "$pid" -x Xvfb) || fail "the replay started no Xvfb of its own"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  pid=
  # Gone, or a zombie waiting for its new parent to reap it.
  wait_for 30 eval "! ps -o stat= -p $server | grep -qv Z" ||
    { kill "$server"; fail "a killed replay left its Xvfb $server running"; }
  ;;
dense)
  # A dense painting: an auto-trace of the source image's edges (4 624
  # strokes, most of them empty), then 120 strokes wandering over the whole
  # canvas, some subdivided, some as particles; over it a drag round most
  # of the view with a frame after every motion, a pick, and another drag.
  awk 'BEGIN { srand(24)
    print "frames 1\nwindow camera\ntoggle \"Paper ON/OFF\"\nwindow main\nkey m\nframes 1"
    print "window camera\ntoggle \"Paper ON/OFF\"\nwindow stroke\ntoggle \"Primitives/P\""
    for (i = 1; i <= 120; i++) {
      if (i % 15 == 0)
        printf "window stroke\nset \"Mesh Subdivision/# Subdivisions:\" %d\ntoggle \"Primitives/M\"\n", i % 30 == 0
      x = 40 + int(rand() * 600); y = 40 + int(rand() * 600)
      printf "window main\npress left %d %d\n", x, y
      for (n = 0; n < 7; n++) printf "move %d %d\n", x += int(rand() * 41) - 20, y += int(rand() * 41) - 20
      printf "release left %d %d\n", x, y
    }
    print "frames 1\npress left 587 337"
    for (a = 0; a < 360; a += 15)
      printf "move %d %d\nframes 1\n", 337 + 250 * cos(a * 3.14159265 / 180), 337 + 200 * sin(a * 3.14159265 / 180)
    print "release left 587 300\nframes 1\npress middle 337 337\nrelease middle 337 337\nframes 1\npress left 100 100"
    for (x = 120; x <= 570; x += 30) printf "move %d %d\nframes 1\n", x, 100 + x / 2
    print "release left 570 385" }' >dense.session
  same_every_way dense.session
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
  told 0 painting "kelvra-play: saved new folder/painting.kelvra" alone "$play" painting.session
  mv "new folder/painting.kelvra" painting.kelvra
  told 0 open "kelvra-play: opened painting.kelvra
kelvra-play: exported the painting into out/x.glb
kelvra-play: exported the painting into x.stl
kelvra-play: wrote the main view's picture into s.png" \
    alone "$play" --open painting.kelvra --export out/x.glb --export x.stl --screenshot s.png
  [ -s x.stl ] || fail "no .stl written"
  cmp -s s.png saved.png || fail "the opened painting's picture is not the saved one's"
  # A file that does not open: status 1, why, and nothing written.
  head -c 3000 painting.kelvra >broken.kelvra
  told 1 broken "kelvra-play: broken.kelvra: the file is cut short or damaged (Not a zip archive)" \
    alone "$play" --open broken.kelvra --export y.glb --export y.stl --screenshot y.png
  [ ! -e y.glb ] && [ ! -e y.stl ] && [ ! -e y.png ] || fail "a broken file wrote $(ls y.*)"
  # --export and --screenshot go with --open, and --open goes alone.
  for arguments in "--export x.glb" "--screenshot s.png painting.session" \
    "--open painting.kelvra painting.session" "--open painting.kelvra --record new.session"; do
    exits 2 args "$play" $arguments
  done
  told 1 args "kelvra-play: --screenshot needs a file name ending in .png" \
    "$play" --open painting.kelvra --screenshot s.jpg
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
  # How far apart two pictures are, 0 (the same) to 1, as RMSE; near FILE FILE MOST.
  distance() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/'; }
  near() { awk -v d="$(distance "$1" "$2")" -v most="$3" 'BEGIN { exit !(d != "" && d <= most) }'; }
  probe() { ffprobe -v error -count_frames -select_streams v:0 -of default=nw=1 -show_entries \
    stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames:format=duration "$1" | sort | tr '\n' ' '; }
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
  # The empty painting's film, and the f key's: a replay that ends completes it.
  small=(--film-size 64x48 --film-seconds 1 --film-fps 10)
  exits 0 small alone "$play" --open empty.kelvra --film empty.mp4 "${small[@]}"
  [[ "$(probe empty.mp4)" == *nb_read_frames=10* ]] || fail "empty.mp4: $(probe empty.mp4)"
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
