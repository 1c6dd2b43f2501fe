#!/usr/bin/env bash
# Two windows on one X display (one --host, one --join, each its own process) play a network
# match by real input events: a click on a button, a box selection, an order, P to pause and to
# resume, a resized window, a chat line, and the game menu's Quit. Run under xvfb-run.
# Usage: net_window_test.sh RTSDEMO SOURCE_DIR
set -uo pipefail
B=$1
SRC=$2
W=$(mktemp -d); KEEP=${KEEP:-}
trap 'kill $(jobs -p) 2>/dev/null; [ -n "$KEEP" ] || rm -rf "$W"' EXIT
cd "$W"
export RTSDEMO_DATA="$SRC/data"
PORT=$((20000 + (RANDOM * 7 + $$) % 40000))

fail() {
  echo "FAIL: $*"
  for f in *.err *.out; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}
# The visible window of a process.
window() {
  for _ in $(seq 100); do
    id=$(xdotool search --all --onlyvisible --pid "$1" --name "OpenGL demo" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits (at most 20 s) for a line in a file.
expect() {
  for _ in $(seq 200); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
  fail "no '$2' in $1"
}

"$B" --host "$PORT" --seed 9 --timeout 20 --record host.rec > host.out 2> host.err &
host=$!
HW=$(window $host) || fail "no host window"
xdotool windowmove "$HW" 0 0
"$B" --join "127.0.0.1:$PORT" --timeout 20 --record join.rec > join.out 2> join.err &
join=$!
JW=$(window $join) || fail "no joining window"
xdotool windowmove "$JW" 580 520
# Windows of other sizes than each other's, one resized in the match: the match sees each
# player's size only through its inputs, so the peers stay in sync.
xdotool windowsize "$JW" 700 540
expect host.err "starts: seed 9"
sleep 0.5

# The host creates the level (button 2); the joiner selects with a box and gives an order.
xdotool mousemove --window "$HW" 108 85 click 1
sleep 1
xdotool mousemove --window "$JW" 300 150 mousedown 1 sleep 0.1 mousemove --window "$JW" 330 180 \
  sleep 0.1 mousemove --window "$JW" 450 300 sleep 0.1 mouseup 1
sleep 0.3
xdotool mousemove --window "$JW" 500 400 click 3
sleep 0.3
# P in the joiner's window pauses both, P in the host's runs both again.
xdotool key p
expect host.err "net: paused"
expect join.err "net: paused"
sleep 0.5
xdotool mousemove --window "$HW" 400 300 key p
expect host.err "net: running"
expect join.err "net: running"
xdotool windowsize "$HW" 760 580
sleep 1.5
# Enter, a line, Enter: chat to all.
xdotool mousemove --window "$JW" 400 300 key Return
sleep 0.3
xdotool type hello
xdotool key Return
expect host.err "chat: player 1 (side 1): hello"
sleep 0.5
# The game menu's last entry is Quit; the first window out waits for the other.
xdotool mousemove --window "$JW" 400 300 key Escape
sleep 0.3
xdotool key Up Return
sleep 0.5
xdotool mousemove --window "$HW" 400 300 key Escape
sleep 0.3
xdotool key Up Return
wait $host
hrc=$?
wait $join
jrc=$?

[ $hrc = 0 ] && [ $jrc = 0 ] || fail "exit $hrc $jrc"
h=$(tail -n 1 host.out)
[ -n "$h" ] && [ "$h" = "$(tail -n 1 join.out)" ] || fail "hashes differ"
[ "$(grep 'net: paused' host.err)" = "$(grep 'net: paused' join.err)" ] || fail "paused apart"
[ "$(grep 'net: running' host.err)" = "$(grep 'net: running' join.err)" ] || fail "ran on apart"
grep -q "^resize " host.rec || fail "no resize recorded"
# The sides are the match's, set once at the start, not inputs of a player; the first to quit
# hands its side to the computer.
[ "$(grep '^play-as' host.rec | tr '\n' ' ')" = "play-as 0 play-as 1 play-as -1 " ] ||
  fail "the sides were not set once at the start"
grep -q "^box " host.rec && grep -q "^down right" host.rec || fail "no box or order recorded"
grep -q "^# chat player 1 (side 1): hello" join.rec || fail "chat not recorded"
# The chat comes to each peer at its own moment: the rest is the same.
plain() { awk '/^#/ {next} /^tick / {t += $2; next} {if (t) print "tick " t; t = 0; print}' "$1"; }
[ "$(plain host.rec)" = "$(plain join.rec)" ] || fail "the recordings differ"
"$B" --replay host.rec --headless > replay.out 2> replay.err || fail "the recording replays out of sync"
echo "ok"
