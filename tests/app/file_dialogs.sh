#!/usr/bin/env bash
# The desktop's own save and open dialogs, end to end: a private X server with a
# window manager (openbox), the game on it, Ctrl+S and Ctrl+L typed with
# xdotool and a file name typed into each dialog. It never uses the shared test
# display: the dialogs need a window manager, and keys typed there would reach
# other tests' windows.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
WORK="$(mktemp -d)"
PIDS=()
cleanup() {
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do kill "${PIDS[i]}" 2>/dev/null; wait "${PIDS[i]}" 2>/dev/null; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "file dialogs: $1"
  for f in "$WORK"/game.out "$WORK"/game.err; do [ -f "$f" ] && { echo "--- $(basename "$f")"; tail -20 "$f"; }; done
  exit 1
}
wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@" > /dev/null 2>&1; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}
for tool in Xvfb openbox xdotool xprop; do command -v "$tool" > /dev/null || fail "$tool is not installed"; done

# Xvfb picks a free display number itself and writes it once it takes connections.
exec {displayfd}> "$WORK/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -noreset -nolisten tcp > /dev/null 2>&1 &
PIDS+=($!)
exec {displayfd}>&-
wait_for 20 test -s "$WORK/display" || fail "no X server"
export DISPLAY=":$(cat "$WORK/display")" GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1

openbox --sm-disable > /dev/null 2>&1 &
PIDS+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for 20 wm_running || fail "openbox did not start"

"$QUORVEL" -noautopause -tribemode < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
PIDS+=($!)
started() { grep -q "Welcome to Quorvel" "$WORK/game.out"; }
wait_for 60 started || fail "the game did not start"
GAME="$(xdotool search --name '^QuorvelGL$' | head -1)"
[ -n "$GAME" ] || fail "no game window"

# The window manager may still be giving the focus to the panels as they open.
focus_game() {
  xdotool windowactivate --sync "$GAME" 2> /dev/null
  [ "$(xdotool getactivewindow 2> /dev/null)" = "$GAME" ]
}

dialog_shown() { [ -n "$(xdotool search --name "^$1\$" 2> /dev/null)" ]; }

# answer_dialog KEYS TITLE FIELD_KEYS PATH: opens the dialog from the game window,
# types the path into it and presses Return until the dialog is gone (the first
# Return may only close the name completion that typing opened).
answer_dialog() {
  wait_for 20 focus_game || fail "the game window does not take the focus"
  xdotool key "$1"
  wait_for 30 dialog_shown "$2" || fail "Ctrl key $1 opened no \"$2\" dialog"
  local dialog
  dialog="$(xdotool search --name "^$2\$" | head -1)"
  xdotool windowactivate --sync "$dialog"
  xdotool key "$3"
  xdotool type --delay 20 "$4"
  # A loaded machine (the sanitized game beside a parallel test run) can take
  # seconds to close the dialog: keep pressing for up to a minute, not ten seconds.
  local deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    xdotool key Return
    sleep 0.5
    # A window closing under xdotool's search makes that search fail: look twice.
    dialog_shown "$2" || { sleep 0.3; dialog_shown "$2" || return 0; }
  done
  fail "the \"$2\" dialog did not close"
}

SAVE="$WORK/dialog test.sav"
answer_dialog ctrl+s "Save As" ctrl+a "$SAVE"
wait_for 20 test -s "$SAVE" || fail "Save Game wrote nothing"
grep -q "QUORVEL FILE" "$SAVE" || fail "the saved file is no saved game"

answer_dialog ctrl+l "Open" ctrl+l "$SAVE"
loaded() { grep -q "Data manager size after preload" "$WORK/game.out"; }
wait_for 20 loaded || fail "Load Game loaded nothing"
echo "file dialogs: saved and loaded through the desktop's dialogs"
