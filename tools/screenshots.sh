#!/usr/bin/env bash
# Makes the pictures the docs show (docs/images/*.png) from a built tree:
#   tools/screenshots.sh [GAME]      GAME defaults to build/quorvel
# Each picture is taken on an X server of its own, from the generated Data/,
# with the calendar frozen at one second (faketime), so the tribe mode seeds
# alike every time; the shared tuning's fixed seed does the rest. A wait loops
# on what the game does (its greeting, the frames it played), each with a
# deadline. The pictures keep 256 colours, which holds each under 400 KiB.
set -u
cd "$(dirname "$0")/.."
QUORVEL="$(realpath "${1:-build/quorvel}")"
OUT=docs/images
CALENDAR='2026-01-01 12:00:00'
SETTLE_FRAMES=480  # about eight seconds of play: the greeting (shown 6 s) has gone
for tool in Xvfb openbox xdotool import convert faketime; do
  command -v "$tool" > /dev/null || { echo "screenshots: $tool is missing (./setup.sh installs it)"; exit 1; }
done
[ -x "$QUORVEL" ] || { echo "screenshots: no game at $QUORVEL: run ./setup.sh play or build qv_game"; exit 1; }
[ -f Data/Terrain/terrain.bin ] || { echo "screenshots: no generated Data/: build qv_game first"; exit 1; }
. tests/app/wait_for.sh
mkdir -p "$OUT"

WORK="$(mktemp -d)"
GAME="" XVFB="" WM=""
stop_all() {
  for pid in $GAME $WM $XVFB; do kill "$pid" 2> /dev/null && wait "$pid" 2> /dev/null; done
  GAME="" WM="" XVFB=""
  exec 3>&- 2> /dev/null
}
trap 'stop_all; rm -rf "$WORK"' EXIT
fail() { echo "screenshots: $*"; [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err"; exit 1; }

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
  FAKETIME_DONT_FAKE_MONOTONIC=1 ALSOFT_DRIVERS=null faketime -f "$CALENDAR" \
    "$QUORVEL" -noautopause "$@" < "$WORK/console" > "$WORK/game.out" 2> "$WORK/game.err" &
  GAME=$!
  exec 3> "$WORK/console"
  wait_for 240 grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "no greeting within 240 s"
  GL=$(xdotool search --name '^QuorvelGL$' 2> /dev/null | head -1)
  [ -n "$GL" ] || fail "no game window"
}
# Asks "frames" until the game played FRAMES frames more than at the call.
played_since() {
  echo frames >&3
  local now
  now=$(sed -n 's/.*: Frames: \([0-9]*\) played.*/\1/p' "$WORK/game.out" | tail -1)
  [ -n "$now" ] && [ "$now" -ge "$1" ]
}
settle() {
  local first
  wait_for 240 played_since 1 || fail "the game played no frame within 240 s"
  first=$(sed -n 's/.*: Frames: \([0-9]*\) played.*/\1/p' "$WORK/game.out" | tail -1)
  wait_for 240 played_since $((first + SETTLE_FRAMES)) || fail "the game did not play $SETTLE_FRAMES frames within 240 s"
}
# keep NAME FILE: at most 256 colours, then docs/images/NAME.png.
keep() {
  convert "$2" -colors 256 -strip "PNG8:$OUT/$1.png" || fail "could not write $OUT/$1.png"
  echo "$OUT/$1.png: $(identify -format '%wx%h' "$OUT/$1.png"), $(( $(stat -c %s "$OUT/$1.png") / 1024 )) KiB"
}

# Each mode's game window, on a screen wide enough for the windows side by side.
for mode in tribe city civ; do
  start 1920x1080 nowm "-${mode}mode"
  settle
  import -window "$GL" "$WORK/shot.png" 2> /dev/null || fail "no picture of the $mode mode"
  keep "$mode-mode" "$WORK/shot.png"
  stop_all
done

# The tribe mode close up, a member selected and the ground menu open: the
# wheel zooms in on the hut, space selects a member, a held press on the
# ground opens the menu.
start 1920x1080 nowm -tribemode
settle
eval "$(xdotool getwindowgeometry --shell "$GL")"
xdotool mousemove --window "$GL" $((WIDTH / 2)) $((HEIGHT / 2))
for notch in 1 2 3 4 5 6 7 8; do xdotool click 4; done
xdotool key space
settle
xdotool mousemove --window "$GL" $((WIDTH * 3 / 10)) $((HEIGHT * 3 / 4)) mousedown 1
settle
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
