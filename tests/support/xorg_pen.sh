# Sourced by the tests that paint with a pen that is not there: an Xorg
# server of their own on a free display, with the dummy video driver and
# the server's test input driver, which makes a real XI2 pen ("pen":
# absolute x and y, an "Abs Pressure" axis of 0..1000) moved through a
# socket by tests/app/pen_driver. Needs root (Xorg here has no seat to
# take) and Xorg's dummy and inputtest modules; where either is missing the
# test is skipped (x_session.sh's skip). stop_xorg ends the server; call it from the
# script's cleanup.
xorg_pid=

stop_xorg() {
  [ -z "$xorg_pid" ] || { kill "$xorg_pid" && wait "$xorg_pid"; } 2>/dev/null
  xorg_pid=
}

# start_xorg_pen DIR WIDTH HEIGHT: the server's configuration, log and the
# pen's socket go into DIR; sets pen_display (":N") and pen_socket.
start_xorg_pen() {
  local dir=$1 width=$2 height=$3 tries
  [ "$(id -u)" -eq 0 ] || skip "Xorg starts here as root only"
  local modules=/usr/lib/xorg/modules
  command -v Xorg >/dev/null && [ -e $modules/input/inputtest_drv.so ] &&
    [ -e $modules/drivers/dummy_drv.so ] || skip "no Xorg with the dummy and inputtest drivers"
  pen_socket="$dir/pen.socket"
  mkdir -p "$dir/xorg.conf.d"
  # The server reads its configuration as words, whatever the lines.
  cat >"$dir/xorg.conf" <<EOF
Section "ServerFlags" Option "AutoAddDevices" "off" EndSection
Section "Device" Identifier "dummy" Driver "dummy" VideoRam 65536 EndSection
Section "Monitor" Identifier "monitor" HorizSync 5.0-1000.0 VertRefresh 5.0-200.0
  Modeline "screen" 108.00 $width 1328 1440 1688 $height 1025 1028 1066 EndSection
Section "Screen" Identifier "screen" Device "dummy" Monitor "monitor"
  SubSection "Display" Modes "screen" EndSubSection EndSection
Section "InputDevice" Identifier "pen" Driver "inputtest" Option "SocketPath" "$pen_socket"
  Option "DeviceType" "PointerAbsolute" Option "PointerHasPressure" "on" EndSection
Section "ServerLayout" Identifier "layout" Screen "screen" InputDevice "pen" "CorePointer" EndSection
EOF
  # The server takes a free display and writes its number into display.txt.
  Xorg -displayfd 3 -config "$dir/xorg.conf" -configdir "$dir/xorg.conf.d" -logfile "$dir/xorg.log" \
    -nolisten tcp -noreset 3>"$dir/display.txt" >"$dir/xorg.out" 2>&1 &
  xorg_pid=$!
  for tries in $(seq 100); do
    pen_display=":$(cat "$dir/display.txt")"
    [ "$pen_display" != : ] && [ -S "$pen_socket" ] && xdpyinfo -display "$pen_display" >/dev/null 2>&1 && return 0
    kill -0 "$xorg_pid" 2>/dev/null || break
    sleep 0.1
  done
  stop_xorg
  skip "Xorg did not start: $(tail -n 3 "$dir/xorg.out")"
}
