#!/usr/bin/env bash
# The game under a window manager (openbox) that focuses each new window, end
# to end. First the game is closed as a player closes it and must end cleanly.
# Then, once started, the game window is the active one and the game plays (it
# opened its helpers after it); a click in the control panel holds it, a click
# in the game plays it on. Then the desktop's own save and open dialogs: Ctrl+S
# and Ctrl+L typed with xdotool and a file name typed into each dialog, or
# Escape, while a file comes and goes in the folder shown; the game is closed
# cleanly after each. It never uses the shared test display: the dialogs
# and the close need a window manager, and keys typed there would reach other
# tests' windows. As on a bare desktop, no session bus runs (none given, an
# empty runtime folder) and none of the variables that keep GTK off D-Bus is set.
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
. tests/app/wait_for.sh
# Deadlines in real seconds, far beyond what a sanitized build needs on a
# machine at load 40: the X server's and the window manager's start, the
# game's start-up to its greeting, and each thing the game or a dialog does.
SERVER_S=60 START_S=240 ACT_S=120
for tool in Xvfb openbox xdotool xprop xwininfo import md5sum; do command -v "$tool" > /dev/null || fail "$tool is not installed"; done

# Xvfb picks a free display number itself and writes it once it takes connections.
exec {displayfd}> "$WORK/display"
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -noreset -nolisten tcp > /dev/null 2>&1 &
PIDS+=($!)
exec {displayfd}>&-
wait_for $SERVER_S test -s "$WORK/display" || fail "no X server within $SERVER_S s"
export DISPLAY=":$(cat "$WORK/display")"
mkdir -m 700 "$WORK/runtime"
export XDG_RUNTIME_DIR="$WORK/runtime"
unset DBUS_SESSION_BUS_ADDRESS GSETTINGS_BACKEND NO_AT_BRIDGE GIO_USE_VFS GIO_USE_VOLUME_MONITOR
# The dialogs' text cursor does not blink, so a dialog's picture changes only
# when what it shows does.
mkdir -p "$WORK/config/gtk-3.0"
printf '[Settings]\ngtk-cursor-blink = false\n' > "$WORK/config/gtk-3.0/settings.ini"
export XDG_CONFIG_HOME="$WORK/config"

openbox --sm-disable > /dev/null 2>&1 &
PIDS+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id'; }
wait_for $SERVER_S wm_running || fail "openbox did not start within $SERVER_S s"

# start_game: the game, its pid in $GAME_PID and its window in $GAME.
start_game() {
  "$QUORVEL" -noautopause -tribemode < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
  GAME_PID=$!
  PIDS+=($!)
  wait_for $START_S started || fail "no greeting and game window within $START_S s"
}
# started: the greeting is written and the game window found, in $GAME (the
# server may see the window's name and pid only after the greeting).
started() {
  grep -q "Welcome to Quorvel" "$WORK/game.out" 2> /dev/null &&
    GAME="$(xdotool search --all --pid "$GAME_PID" --name '^QuorvelGL$' 2> /dev/null | head -1)" && [ -n "$GAME" ]
}

# The window manager may still be giving the focus to the panels as they open.
focus_game() {
  xdotool windowactivate --sync "$GAME" 2> /dev/null
  [ "$(xdotool getactivewindow 2> /dev/null)" = "$GAME" ]
}

# Closed as a player closes it (Alt+F4: the window manager asks the window to
# close) after pointer play that ends in a drag out of the game window onto its
# title bar, the game ends with status 0, and a sanitized build's leak check at
# exit finds nothing: freeglut once lost memory for each window crossed in such
# a drag, and the GL driver's own leaks went unnamed, past any suppression.
start_game
wait_for $ACT_S focus_game || fail "the game window does not take the focus within $ACT_S s"
# Where the window is on the screen (xwininfo's absolute place; xdotool's adds
# the frame twice) and how tall the frame's title bar above it is.
read -r x y width height < <(xwininfo -id "$GAME" |
  awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } /Width/ { w = $NF } /Height/ { h = $NF }
       END { print x, y, w, h }')
title=$(xprop -id "$GAME" _NET_FRAME_EXTENTS | awk -F', *' '/=/ { print $3 }')
[ "${title:-0}" -gt 0 ] || fail "the game window has no title bar above it ($(xprop -id "$GAME" _NET_FRAME_EXTENTS))"
middle_x=$((x + width / 2)) middle_y=$((y + height / 2))
xdotool mousemove "$middle_x" "$middle_y" click 1 click 3 click 4 click 5 mousemove $((middle_x + 40)) $((middle_y + 30)) \
  mousedown 1 mousemove "$middle_x" $((y - title / 2)) mouseup 1 mousemove "$middle_x" "$middle_y"
# Alt+F4 until the window is gone (the manager may still be moving the focus);
# gone means two searches in a row found nothing, as for the dialogs below.
window_closes() {
  focus_game && xdotool key alt+F4
  ! xdotool search --all --pid "$GAME_PID" --name '^QuorvelGL$' > /dev/null 2>&1 &&
    ! xdotool search --all --pid "$GAME_PID" --name '^QuorvelGL$' > /dev/null 2>&1
}
ended() { ! kill -0 "$GAME_PID" 2> /dev/null; }
# close_cleanly WHEN: Alt+F4, then the game must end with status 0 and no leak report.
close_cleanly() {
  wait_for $ACT_S window_closes || fail "$1: Alt+F4 did not close the game window within $ACT_S s"
  wait_for $ACT_S ended || fail "$1: the game did not end within $ACT_S s of its window closing"
  wait "$GAME_PID"
  local status=$?
  unset 'PIDS[-1]'  # ended: not to be stopped again
  grep -q "LeakSanitizer" "$WORK/game.err" && fail "$1: the leak check found leaks at the game's exit"
  [ "$status" -eq 0 ] || fail "$1: the game closed with status $status"
}
close_cleanly "after pointer play"

# Console lines are typed on the game's standard input; the script holds both
# ends, so the input never ends and the game never blocks on it.
mkfifo "$WORK/typed"
exec {typing}<> "$WORK/typed"
# It plays in a folder of its own, where the dialogs start: the Open dialog
# then lists the game it saved there, as a player's does.
mkdir "$WORK/play"
ln -s "$PWD/Data" "$WORK/play/Data"
with_panel() {
  started && PANEL="$(xdotool search --all --pid "$GAME_PID" --name '^Quorvel Control Panel$' 2> /dev/null | head -1)" &&
    [ -n "$PANEL" ]
}
start_in_play() {
  (cd "$WORK/play" && exec "$QUORVEL" -tribemode < "$WORK/typed" > "$WORK/game.out" 2> "$WORK/game.err") &
  GAME_PID=$!
  PIDS+=($!)
  wait_for $START_S with_panel || fail "no greeting, game window and control panel within $START_S s"
}
start_in_play

active_is() { [ "$(xdotool getactivewindow 2> /dev/null)" = "$1" ]; }
FRAMES_OUT="$WORK/game.out" FRAMES_TYPING=$typing  # for ask_frames, plays and holds
# clicked_active WINDOW: true once the window is the active one, clicked in
# while it is not (a window the manager has yet to move may miss a click).
clicked_active() { active_is "$1" || { click_in "$1"; false; }; }

# Nothing clicked yet: the helpers were mapped after the game window, and the
# game still starts active and playing.
wait_for $ACT_S active_is "$GAME" ||
  fail "the game window is not the active one within $ACT_S s of the greeting (the active one: $(xdotool getactivewindow getwindowname 2> /dev/null))"
wait_for $ACT_S plays || fail "the game plays no frames within $ACT_S s of the greeting ($ANSWER)"
wait_for $ACT_S clicked_active "$PANEL" || fail "a click in the control panel did not make it active within $ACT_S s"
wait_for $ACT_S holds || fail "the game does not hold within $ACT_S s of a click in the control panel ($ANSWER)"
wait_for $ACT_S clicked_active "$GAME" || fail "a click in the game window did not make it active within $ACT_S s"
wait_for $ACT_S plays || fail "the game does not play on within $ACT_S s of a click in it ($ANSWER)"


dialog_shown() { [ -n "$(xdotool search --name "^$1\$" 2> /dev/null)" ]; }

# A file comes and goes in the folder a dialog shows (another program's
# temporary file, say): GTK's file chooser drops the texts it kept for a file
# that vanished unfreed, which the leak suppressions name. What the dialog
# does is seen in its picture: its list gains the file's row, then loses it.
picture() { import -window "$1" rgb:- 2> /dev/null | md5sum; }
# changed DIALOG: true once the dialog's picture is not $SHOWN, which becomes the new one.
changed() {
  local now
  now="$(picture "$1")" && [ "$now" != "$SHOWN" ] && SHOWN="$now"
}
# open_dialog KEYS TITLE: opens the dialog from the game window (its window in
# $DIALOG) while a file is there, so the dialog lists it; then the file goes,
# and another comes and goes until the dialog was seen to list it and then to
# show exactly what it showed before it came. Each has a name of its own, so
# its row changes the picture whatever the dialog still shows of the last one.
# A change seen while the dialog still drew itself may be taken for a row's
# going, and a file that went before the dialog listed it changes nothing: so
# no wait after a file went is a failure (a file that stays is always listed).
open_dialog() {
  echo "here for now" > "$WORK/play/vanishing 0"
  wait_for $ACT_S focus_game || fail "the game window does not take the focus within $ACT_S s"
  xdotool key "$1"
  wait_for $ACT_S dialog_shown "$2" || fail "Ctrl key $1 opened no \"$2\" dialog within $ACT_S s"
  DIALOG="$(xdotool search --name "^$2\$" | head -1)"
  xdotool windowactivate --sync "$DIALOG"
  SHOWN="$(picture "$DIALOG")"
  rm "$WORK/play/vanishing 0"
  wait_for $ACT_S changed "$DIALOG"
  local round without
  for round in 1 2 3 4; do
    without=$SHOWN
    echo "here for now" > "$WORK/play/vanishing $round"
    wait_for $ACT_S changed "$DIALOG" || fail "the \"$2\" dialog did not list a new file within $ACT_S s"
    rm "$WORK/play/vanishing $round"
    wait_for $ACT_S changed "$DIALOG" && [ "$SHOWN" = "$without" ] && return
  done
  fail "the \"$2\" dialog never showed a file come and go (4 tries)"
}

# answer_dialog KEYS TITLE FIELD_KEYS PATH: opens the dialog from the game window,
# types the path into it and presses Return until the dialog is gone (the first
# Return may only close the name completion that typing opened).
answer_dialog() {
  open_dialog "$1" "$2"
  xdotool key "$3"
  xdotool type --delay 20 "$4"
  wait_for $ACT_S return_closes "$2" || fail "the \"$2\" dialog did not close within $ACT_S s"
}
# return_closes TITLE: presses Return in the dialog; true once it is gone. A
# window closing under xdotool's search makes that search fail: gone means two
# searches in a row found nothing.
return_closes() {
  xdotool key Return
  ! dialog_shown "$1" && ! dialog_shown "$1"
}

# After each dialog the game closes cleanly too: with no session bus the
# toolkit once left a block of libdbus (its accessibility bridge) and tried
# dbus-launch for each dialog, and an Open dialog that listed the saved game
# left six blocks of GIO's MIME database, read twice. The font library's
# caches it never frees are named in the leak suppressions.
NAME="dialog test.sav" SAVE="$WORK/play/dialog test.sav"
answer_dialog ctrl+s "Save As" ctrl+a "$NAME"
wait_for $ACT_S test -s "$SAVE" || fail "Save Game wrote nothing within $ACT_S s"
grep -q "QUORVEL FILE" "$SAVE" || fail "the saved file is no saved game"
close_cleanly "after the Save As dialog"

start_in_play
answer_dialog ctrl+l "Open" ctrl+l "$NAME"
loaded() { grep -q "Data manager size after preload" "$WORK/game.out"; }
wait_for $ACT_S loaded || fail "Load Game loaded nothing within $ACT_S s"
close_cleanly "after the Open dialog"

# Cancelled with Escape: gone, and nothing saved.
start_in_play
escape_closes() {
  xdotool key Escape
  ! dialog_shown "Save As" && ! dialog_shown "Save As"
}
open_dialog ctrl+s "Save As"
wait_for $ACT_S escape_closes || fail "Escape did not close the \"Save As\" dialog within $ACT_S s"
close_cleanly "after the cancelled Save As dialog"

# Where the toolkit cannot start (GDK_BACKEND names no backend), Ctrl+S is
# cancelled at once and its note says why no dialog showed. With a sound
# device that opens, and a flood of commands answered into a pipe whose
# reader stopped, the close ends the game within seconds and the sound
# library has no device left open to name.
mkfifo "$WORK/piped"
cat "$WORK/piped" > "$WORK/game.out" &
READER=$!
PIDS+=($!)
yes help | (GDK_BACKEND=nonexistent ALSOFT_DRIVERS=null exec "$QUORVEL" -tribemode -noautopause > "$WORK/piped" 2>&1) &
GAME_PID=$!
PIDS+=($!)
wait_for $START_S started || fail "without the toolkit: no greeting and game window within $START_S s"
wait_for $ACT_S focus_game || fail "without the toolkit: the game window does not take the focus within $ACT_S s"
xdotool key ctrl+s
noted() { grep -q '\[Question\] No desktop dialog (the desktop.s toolkit could not start on the display with GDK_BACKEND=nonexistent) and not answered on the terminal (standard input is not a terminal): the Save As dialog was cancelled' "$WORK/game.out"; }
wait_for $ACT_S noted || fail "without the toolkit: no note of why Ctrl+S showed no dialog within $ACT_S s"
kill -STOP "$READER"
wait_for $ACT_S window_closes || fail "behind a stopped reader: Alt+F4 did not close the game window within $ACT_S s"
wait_for 30 ended || fail "behind a stopped reader: the game did not end within 30 s of its window closing"
kill -CONT "$READER"
wait "$READER"
grep -q "not closed" "$WORK/game.out" && fail "at the close: $(grep "not closed" "$WORK/game.out")"
echo "file dialogs: closed cleanly, also after each dialog while a file came and went; the game started active, held while the panel was, played on; saved, loaded and cancelled through the desktop's dialogs; without the toolkit said why; ended behind a stopped reader"
