#!/usr/bin/env bash
# Makes the pictures the docs show (docs/images/*.png) from a built tree:
#   tools/screenshots.sh [GAME]      GAME defaults to build/quorvel
# Each picture is taken on an X server of its own, from the generated Data/,
# with the calendar frozen at one second (faketime), so the tribe mode seeds
# alike every time; the shared tuning's fixed seed does the rest. Every played
# frame is STEP_MS of game time (QUORVEL_FRAME_STEP_MS), so the world after a
# count of frames is the same on a quiet machine and a busy one. A wait loops
# on what the game does (its greeting, the frames it played), each with a
# deadline. The world is paused (Ctrl+P) before a picture of the game window,
# and the picture taken once the paused frame is drawn. Each picture stays
# under 400 KiB.
set -u
cd "$(dirname "$0")/.."
QUORVEL="$(realpath "${1:-build/quorvel}")"
OUT=docs/images
CALENDAR='2026-01-01 12:00:00'
STEP_MS=16         # game time a played frame
SETTLE_FRAMES=480  # about eight seconds of play
GREETING_S=7       # the greeting shows for 6 s of real time
for tool in Xvfb openbox xdotool import convert faketime; do
  command -v "$tool" > /dev/null || { echo "screenshots: $tool is missing (./setup.sh installs it)" >&2; exit 1; }
done
[ -x "$QUORVEL" ] || { echo "screenshots: no game at $QUORVEL: run ./setup.sh play or build qv_game" >&2; exit 1; }
[ -f Data/Terrain/terrain.bin ] || { echo "screenshots: no generated Data/: build qv_game first" >&2; exit 1; }
. tests/app/wait_for.sh
mkdir -p "$OUT"

WORK="$(mktemp -d)"
GAME="" XVFB="" WM=""
stop_all() {
  # faketime runs the game as its child and does not pass a signal on.
  [ -n "$GAME" ] && pkill -P "$GAME" 2> /dev/null
  for pid in $GAME $WM $XVFB; do kill "$pid" 2> /dev/null && wait "$pid" 2> /dev/null; done
  GAME="" WM="" XVFB=""
  exec 3>&-
}
trap 'stop_all; rm -rf "$WORK"' EXIT
fail() { echo "screenshots: $*" >&2; [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err" >&2; exit 1; }

# start SCREEN WM OPTIONS...: an X server of SCREEN (WxH), openbox on it when
# WM is "wm", and the game with OPTIONS, its console a pipe on descriptor 3.
start() {
  local screen="$1" wm="$2"; shift 2
  rm -f "$WORK/display" "$WORK/game.out" "$WORK/game.err" "$WORK/console"
  Xvfb -displayfd 4 -screen 0 "${screen}x24" -noreset -nolisten tcp 4> "$WORK/display" 2> /dev/null &
  XVFB=$!
  wait_for 60 test -s "$WORK/display" || fail "no X server within 60 s"
  export DISPLAY=":$(head -1 "$WORK/display")"
  if [ "$wm" = wm ]; then
    openbox > /dev/null 2>&1 &
    WM=$!
    wait_for 60 xprop -root _NET_SUPPORTING_WM_CHECK > /dev/null 2>&1 || fail "no window manager within 60 s"
  fi
  mkfifo "$WORK/console"
  QUORVEL_FRAME_STEP_MS=$STEP_MS FAKETIME_DONT_FAKE_MONOTONIC=1 ALSOFT_DRIVERS=null faketime -f "$CALENDAR" \
    "$QUORVEL" -noautopause "$@" < "$WORK/console" > "$WORK/game.out" 2> "$WORK/game.err" &
  GAME=$!
  exec 3> "$WORK/console"
  wait_for 240 grep -qs "Welcome to Quorvel" "$WORK/game.out" || fail "no greeting within 240 s"
  GREETED=${EPOCHREALTIME//[!0-9]/} FRAMES_ASKED=0
  GL=$(xdotool search --name '^QuorvelGL$' 2> /dev/null | head -1)
  [ -n "$GL" ] || fail "no game window"
}
# The newest answer to "frames": FRAMES PLAYED DRAWN, and PAUSED (1 or 0).
FRAMES_ASKED=0
answer() {
  local line
  line=$(grep ': Frames: ' "$WORK/game.out" | tail -1)
  PLAYED=$(sed -n 's/.*: Frames: \([0-9]*\) played.*/\1/p' <<< "$line")
  DRAWN=$(sed -n 's/.* played, \([0-9]*\) drawn.*/\1/p' <<< "$line")
  PAUSED=0
  [[ "$line" == *"paused"* ]] && PAUSED=1
  [ -n "$PLAYED" ]
}
# asked: types "frames" once the last one was answered; true with a new answer.
asked() {
  [ "$(grep -c ': Frames: ' "$WORK/game.out")" -ge "$FRAMES_ASKED" ] || return 1
  echo frames >&3
  FRAMES_ASKED=$((FRAMES_ASKED + 1))
  answer
}
played_at_least() { asked && [ "$PLAYED" -ge "$1" ]; }
# play N: waits until the game played N frames more than it had.
play() {
  wait_for 240 asked || fail "no answer to \"frames\" within 240 s"
  local target=$((PLAYED + $1))
  wait_for 240 played_at_least $target || fail "the game did not play $1 frames within 240 s"
}
greeting_gone() { [ $(( ${EPOCHREALTIME//[!0-9]/} - GREETED )) -ge $((GREETING_S * 1000000)) ]; }
settle() {
  play "$SETTLE_FRAMES"
  wait_for 60 greeting_gone || fail "the greeting did not go"
}
# pause: Ctrl+P, then waits until the game says it is paused and has drawn
# nothing new between two answers: the paused picture stands.
still() {
  local before=$DRAWN was=$PAUSED
  asked && [ "$PAUSED" = 1 ] && [ "$was" = 1 ] && [ "$DRAWN" = "$before" ]
}
pause() {
  xdotool key ctrl+p
  DRAWN=-1 PAUSED=0
  wait_for 240 still || fail "the game did not pause within 240 s"
}
unpause() {
  xdotool key ctrl+p
  wait_for 240 asked || fail "no answer to \"frames\" within 240 s"
  local now=$PLAYED
  wait_for 240 played_at_least $((now + 1)) || fail "the game did not play on within 240 s"
}
# keep NAME FILE: docs/images/NAME.png, in full colour; over 400 KiB, in 256
# colours, undithered (a dither's noise differs from run to run).
keep() {
  local png="$OUT/$1.png"
  convert "$2" -strip "PNG24:$png" || fail "could not write $png"
  if [ "$(stat -c %s "$png")" -gt $((400 * 1024)) ]; then
    convert "$2" -dither None -colors 256 -strip "PNG8:$png" || fail "could not write $png"
  fi
  echo "$png: $(identify -format '%wx%h' "$png"), $(( $(stat -c %s "$png") / 1024 )) KiB"
}

# Each mode's game window, on a screen wide enough for the windows side by side.
for mode in tribe city civ; do
  start 1920x1080 nowm "-${mode}mode"
  settle
  pause
  import -window "$GL" "$WORK/shot.png" 2> /dev/null || fail "no picture of the $mode mode"
  keep "$mode-mode" "$WORK/shot.png"
  stop_all
done

# The tribe mode close up, a member selected (white) near the hut, and the
# ground menu open on open ground. The wheel zooms in on the hut, a notch at a
# time; space selects a member (the camera centres on it), and ` brings the
# camera back to the hut, so the framing is the hut's alone. A click sends the
# member towards the open ground before the hut, a press held there opens the
# menu, and the world is paused while the member walks and the button is held.
start 1920x1080 nowm -tribemode
settle
eval "$(xdotool getwindowgeometry --shell "$GL")"
xdotool mousemove --window "$GL" $((WIDTH / 2)) $((HEIGHT / 2))
play 1
for notch in 1 2 3 4 5 6 7; do
  xdotool click 4
  play 2
done
xdotool key space
play 2
xdotool key grave
play 120  # the camera glides a tenth of the way a frame: at rest
xdotool mousemove --window "$GL" $((WIDTH * 42 / 100)) $((HEIGHT * 62 / 100)) click 1
play 60
xdotool mousemove --window "$GL" $((WIDTH * 30 / 100)) $((HEIGHT * 72 / 100)) mousedown 1
play 40  # held over 300 ms of game time
pause
import -window "$GL" "$WORK/shot.png" 2> /dev/null || fail "no picture of the ground menu"
xdotool mouseup 1
keep tribe-orders "$WORK/shot.png"
stop_all

# Every window as start-up places them on a 1366x768 screen, under openbox.
start 1366x768 wm -tribemode
settle
import -window root "$WORK/shot.png" 2> /dev/null || fail "no picture of the screen"
keep windows-1366x768 "$WORK/shot.png"
stop_all
