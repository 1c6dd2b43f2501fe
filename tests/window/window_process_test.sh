#!/usr/bin/env bash
# The window as a separate process, driven by real input events on an X display (run under
# xvfb-run): a recording made while the window was tiny replays, and a recording that cannot
# be read is refused in a box.
# Usage: window_process_test.sh RTSDEMO SOURCE_DIR CASE
set -uo pipefail
B=$1
SRC=$2
CASE=$3
W=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$W"' EXIT
cd "$W"
export RTSDEMO_DATA="$SRC/data"
# The window's remembered choices, of this test only.
export XDG_CONFIG_HOME="$W/config"

fail() {
  echo "FAIL: $*"
  for f in *.err *.out *.txt; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}
# The visible window of a process with this name (at most 10 s).
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Opens the window with these arguments and creates the level: buttons 1 and 2 by the mouse.
open_level() {
  "$B" "$@" > run.out 2> run.err &
  pid=$!
  id=$(window $pid "OpenGL demo") || fail "no window"
  xdotool windowmove "$id" 0 0
  sleep 0.5
  xdotool mousemove --window "$id" 108 53 click 1
  sleep 0.5
  xdotool mousemove --window "$id" 108 85 click 1
  sleep 0.5
}
# The game menu's last entry is Quit; the window must end with status 0.
quit() {
  xdotool mousemove --window "$id" 400 300 key Escape
  sleep 0.3
  xdotool key Up Return
  wait $pid || fail "the window exited with $?"
}

case $CASE in
tiny)
  open_level --seed 3 --mute --record r.txt
  # Smaller than the command panel (nothing stops it without a window manager), and back.
  xdotool windowsize "$id" 200 150
  sleep 0.5
  xdotool windowsize "$id" 694 480
  sleep 0.5
  quit
  grep -q "^resize 1 " r.txt || fail "the tiny view was not recorded"
  "$B" --replay r.txt --headless > replay.out 2> replay.err || fail "the recording does not replay"
  ;;
refused)
  # A recording the reader refuses: the window says why in a box and ends with status 2.
  printf 'press 1\npress 2\nresize 0 117\ntick 10\n' > bad.txt
  "$B" --replay bad.txt > run.out 2> run.err &
  pid=$!
  id=$(window $pid "rtsdemo") || fail "no box"
  xdotool windowfocus "$id" key Return
  wait $pid
  rc=$?
  [ $rc = 2 ] || fail "exit $rc"
  grep -q "bad.txt: script line 3: resize W takes a whole number from 1 to 16384, not '0'" run.err ||
    fail "no reason on standard error"
  ;;
ground)
  # A new user gets the ground and a view on the whole level; the choice is remembered.
  play() {
    open_level --seed 4 --mute --record "$1"
    # Untick "Карта" the second time.
    [ "${2:-}" = untick ] && { xdotool mousemove --window "$id" 95 369 click 1; sleep 0.3; }
    quit
    "$B" --replay "$1" --headless > /dev/null 2>&1 || fail "$1 does not replay"
  }
  play first.txt
  grep -q "^check 2 on" first.txt || fail "the ground is not on for a new user"
  grep -q "^look 0 0" first.txt || fail "the view is not on the level"
  play second.txt untick
  grep -q "^check 2 off" second.txt || fail "the box was not unticked"
  play third.txt
  grep -q "^check 2 on" third.txt && fail "the user's choice was not remembered"
  ;;
*)
  fail "no case $CASE"
  ;;
esac
echo "ok: $CASE"
