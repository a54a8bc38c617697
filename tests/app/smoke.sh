#!/usr/bin/env bash
# The whole program under the test display: it opens its three windows, greets
# on standard output, keeps drawing frames, answers console commands typed on
# standard input, opens saved games named with -loadgame, starts with its
# standard streams closed, outlives a reader of its output that quit, plays
# on when its output is a full pipe another user handed it, and, on a display
# without a window manager, gives the keyboard to the window clicked.
# Each step waits for what the game does (its greeting, its answers, its
# windows), never for a fixed time; the display may be shared, so the windows
# counted are the game's own (by their process id).
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
. tests/app/wait_for.sh
WORK="$(mktemp -d)"
GAME=""
trap '[ -n "$GAME" ] && kill "$GAME" 2> /dev/null; rm -rf "$WORK"' EXIT
# A game that ended makes typing to it fail, not end this script.
trap '' PIPE
fail=0

# Deadlines in real seconds, far beyond what a sanitized build needs on a
# machine at load 40: an X server's start, the start-up (to the greeting, or to
# the windows), each answer or window after it, and the end once asked to stop.
SERVER_S=60 START_S=240 ANSWER_S=60 END_S=60

said() { grep -qE "$2" "$WORK/$1.out"; }  # said NAME PATTERN
# game_windows PID: the names of the windows of the game with that pid, quoted
# as xwininfo quotes them.
game_windows() {
  local w
  for w in $(xdotool search --all --pid "$1" --name '' 2> /dev/null); do echo "\"$(xdotool getwindowname "$w" 2> /dev/null)\""; done
}
# windows_open NAME: the game's windows into NAME.windows; true once all three are there.
windows_open() {
  game_windows "$GAME" > "$WORK/$1.windows"
  grep -q '"QuorvelGL"' "$WORK/$1.windows" && grep -q '"Quorvel Control Panel"' "$WORK/$1.windows" &&
    grep -q '"Debug Window"' "$WORK/$1.windows"
}
gone() { ! kill -0 "$1" 2> /dev/null; }
# stop PID: asks the game to stop (SIGTERM: a background job ignores SIGINT) and waits for it to go.
stop() {
  kill "$1" 2> /dev/null
  wait_for $END_S gone "$1" || { echo "the game did not end within $END_S s of SIGTERM"; kill -KILL "$1"; }
  wait "$1" 2> /dev/null
  GAME=""
}

# run NAME ARGS...: the game with ARGS, its output in NAME.out and NAME.err.
# "help" is typed once it greeted, "mode" once help was answered and its
# three windows are open (their names in NAME.windows); the input then ends,
# and the game is stopped once "mode" was answered.
run() {
  local name="$1" typing status=0
  shift
  mkfifo "$WORK/$name.in"
  "$QUORVEL" "$@" < "$WORK/$name.in" > "$WORK/$name.out" 2> "$WORK/$name.err" &
  GAME=$!
  exec {typing}> "$WORK/$name.in"
  converse "$name" "$typing" || status=1
  exec {typing}>&-
  stop "$GAME"
  return $status
}
converse() {  # converse NAME FD
  wait_for $START_S said "$1" 'Welcome to Quorvel$' || { echo "$1: no greeting within $START_S s"; return 1; }
  echo "help" >&"$2"
  # The answer's last line, a row of stars.
  wait_for $ANSWER_S said "$1" ': \*{17}$' || { echo "$1: \"help\" not answered within $ANSWER_S s"; return 1; }
  wait_for $ANSWER_S windows_open "$1" || { echo "$1: not all three windows open within $ANSWER_S s"; return 1; }
  echo "mode" >&"$2"
  wait_for $ANSWER_S said "$1" ': Current mode: ' || { echo "$1: \"mode\" not answered within $ANSWER_S s"; return 1; }
}
check() {  # check FILE PATTERN
  grep -qsE "$2" "$1" || { echo "missing in $(basename "$1"): $2"; fail=1; }
}

run plain -noautopause -tribemode || fail=1
check "$WORK/plain.out" '^[0-9A-F]{8}: Welcome to Quorvel$'
check "$WORK/plain.out" '^[0-9A-F]{8}: >help$'
check "$WORK/plain.out" '^[0-9A-F]{8}: Current Commands:$'
check "$WORK/plain.out" '^[0-9A-F]{8}: \*{17}$'
check "$WORK/plain.out" '^[0-9A-F]{8}: Current mode: tribe$'
check "$WORK/plain.out" '^Building Terrain'
check "$WORK/plain.windows" '"QuorvelGL"'
check "$WORK/plain.windows" '"Quorvel Control Panel"'
check "$WORK/plain.windows" '"Debug Window"'

# A save that recorded the tribe mode makes it current.
run loaded -noautopause -loadgame fuzz/corpus/fuzz_savefile/checked_save || fail=1
check "$WORK/loaded.out" '^[0-9A-F]{8}: Current mode: tribe$'

# A damaged save is refused with a message and the game plays on.
run damaged -noautopause -loadgame fuzz/corpus/fuzz_savefile/truncated_body || fail=1
check "$WORK/damaged.err" 'Load Error'
check "$WORK/damaged.out" '^[0-9A-F]{8}: Current mode: creature$'

# A broken tribetuning.xml is read at start-up (in a copy of the data tree):
# its "Script Error" reaches standard error and the debug window.
mkdir -p "$WORK/tree/Data"
for entry in Data/*; do ln -s "$PWD/$entry" "$WORK/tree/Data/"; done
rm "$WORK/tree/Data/tribetuning.xml"
printf '<tuning>\n<int name="eatfood" data="3">\n' > "$WORK/tree/Data/tribetuning.xml"
(cd "$WORK/tree" && run tribetuning -noautopause) || fail=1
check "$WORK/tribetuning.err" 'Script Error.*tribetuning\.xml'
check "$WORK/tribetuning.out" '^[0-9A-F]{8}: \[Script Error\] .*tribetuning\.xml$'

# Started with standard input, output and error closed, the game finds
# /dev/null in their places (not its X connection) and plays on. With nothing
# to read it by, it is up once its game window shows a drawn picture.
"$QUORVEL" -noautopause 0<&- 1>&- 2>&- &
GAME=$!
drawn() {
  local w
  w=$(xdotool search --all --pid "$GAME" --name '^QuorvelGL$' 2> /dev/null | head -1) && [ -n "$w" ] &&
    import -window "$w" "$WORK/closed.png" 2> /dev/null &&
    [ "$(convert "$WORK/closed.png" -gravity center -crop 40x40+0+0 +repage -format '%[fx:maxima.intensity > 0.1]' info:)" = 1 ]
}
drawn_or_gone() { drawn || gone "$GAME"; }
wait_for $START_S drawn_or_gone || { echo "closed streams: no picture drawn within $START_S s"; fail=1; }
for fd in 0 1 2; do
  [ "$(readlink "/proc/$GAME/fd/$fd")" = /dev/null ] ||
    { echo "closed streams: descriptor $fd is $(readlink "/proc/$GAME/fd/$fd")"; fail=1; }
done
kill -0 "$GAME" 2> /dev/null || { echo "closed streams: the game ended"; fail=1; }
stop "$GAME"

# A reader of standard output that quits (`quorvel | head -c 200`) costs the
# game nothing: it outlives the reader, opens its windows and draws, though
# every line it prints after the reader left has nowhere to go.
mkfifo "$WORK/headed"
head -c 200 < "$WORK/headed" > /dev/null &
HEAD=$!
# The game gets SIGPIPE as a shell gives it, not ignored as this script has it.
(trap - PIPE; exec "$QUORVEL" -noautopause < /dev/null > "$WORK/headed" 2> "$WORK/headed.err") &
GAME=$!
wait_for $START_S gone "$HEAD" || { echo "head: did not end within $START_S s"; fail=1; }
wait_for $START_S drawn_or_gone || { echo "headed: no picture drawn within $START_S s"; fail=1; }
kill -0 "$GAME" 2> /dev/null || { echo "headed: the game ended once its reader quit"; fail=1; }
stop "$GAME"

# Standard output a pipe nobody empties, as another user (`sudo -u player
# ./build/quorvel | less`, which keeps the game from opening the pipe afresh;
# run as root the game runs as nobody): the game plays on once the pipe is
# full. The script holds the pipe open and never reads it, types "help" until
# the answers fill it, then a line too long for a command: that the line was
# cut, said on standard error (a file), shows that frames still run.
AS_OTHER="" GAME_XAUTHORITY="${XAUTHORITY:-}"
if [ "$(id -u)" = 0 ] && command -v setpriv > /dev/null; then
  chmod 711 "$WORK"
  if [ -n "$GAME_XAUTHORITY" ]; then  # the display's cookie, readable by that user
    GAME_XAUTHORITY="$WORK/other.xauth"
    xauth -f "$XAUTHORITY" extract - "$DISPLAY" 2> /dev/null | xauth -f "$GAME_XAUTHORITY" merge - 2> /dev/null
    chmod 644 "$GAME_XAUTHORITY" 2> /dev/null
  fi
  AS_OTHER="setpriv --reuid=65534 --regid=65534 --clear-groups"
  $AS_OTHER test -x "$QUORVEL" -a -r Data/tuning.xml || AS_OTHER="" GAME_XAUTHORITY="${XAUTHORITY:-}"
fi
mkfifo "$WORK/full.in" "$WORK/full.out"
exec {held}<> "$WORK/full.out"
(XAUTHORITY="$GAME_XAUTHORITY" exec $AS_OTHER "$QUORVEL" -noautopause -nosound \
  < "$WORK/full.in" > "$WORK/full.out" 2> "$WORK/full.err") &
GAME=$!
exec {typing}> "$WORK/full.in"
said_on_err() { grep -qE "$1" "$WORK/full.err"; }
for _ in $(seq 400); do echo help; done >&"$typing"
printf '%0300d\n' 0 >&"$typing"
wait_for $START_S said_on_err 'A line on standard input was cut' ||
  { echo "full pipe${AS_OTHER:+, as another user}: the game stopped once its standard output was full"; fail=1; }
exec {typing}>&-
stop "$GAME"
exec {held}<&-
rm -f "$WORK/full.in" "$WORK/full.out"  # the report below reads what is left

# On an X server of its own with no window manager (so no other program's
# windows, clicks or keyboard): a click in one of the game's windows gives it
# the keyboard, as a click-to-focus manager would. The game plays from its
# first frame; a command typed in the debug window's box after a click there
# runs; a key typed in the game window after a click there reaches the game
# (Ctrl+P pauses it, which "frames" names); and a command typed in the debug
# window after a click on its lines runs, also after a press there released
# over the game window.
bare_display() {
  local typing
  trap 'kill $GAME $XVFB 2> /dev/null' EXIT  # this step runs in a subshell of its own
  Xvfb -displayfd 3 -screen 0 1366x768x24 -noreset -nolisten tcp 3> "$WORK/bare.display" 2> /dev/null &
  XVFB=$!
  wait_for $SERVER_S test -s "$WORK/bare.display" || { echo "bare display: no X server within $SERVER_S s"; return 1; }
  export DISPLAY=":$(head -1 "$WORK/bare.display")"
  mkfifo "$WORK/bare.in"
  "$QUORVEL" -tribemode < "$WORK/bare.in" > "$WORK/bare.out" 2> "$WORK/bare.err" &
  GAME=$!
  exec {typing}> "$WORK/bare.in"
  wait_for $START_S said bare 'Welcome to Quorvel$' || { echo "bare display: no greeting within $START_S s"; return 1; }
  local game debug
  game=$(xdotool search --all --pid "$GAME" --name '^QuorvelGL$' | head -1)
  debug=$(xdotool search --all --pid "$GAME" --name '^Debug Window$' | head -1)
  [ -n "$game" ] && [ -n "$debug" ] || { echo "bare display: the game window or the debug window is missing"; return 1; }
  FRAMES_OUT="$WORK/bare.out" FRAMES_TYPING=$typing  # for ask_frames and plays
  paused() { ask_frames && [[ "$ANSWER" == *"paused: the Pause box is ticked"* ]]; }
  has_keyboard() { [ "$(xdotool getwindowfocus 2> /dev/null)" = "$1" ] || { click_in "$@"; false; }; }
  wait_for $ANSWER_S plays || { echo "bare display: the game does not play from its start ($ANSWER)"; return 1; }
  wait_for $ANSWER_S has_keyboard "$debug" 40 -16 ||
    { echo "bare display: a click in the debug window's command box did not give it the keyboard within $ANSWER_S s"; return 1; }
  xdotool type --delay 20 mode
  xdotool key Return
  wait_for $ANSWER_S said bare ': Current mode: tribe$' ||
    { echo "bare display: \"mode\" typed in the debug window not answered within $ANSWER_S s"; return 1; }
  wait_for $ANSWER_S has_keyboard "$game" -6 -4 ||
    { echo "bare display: a click in the game window did not give it the keyboard within $ANSWER_S s"; return 1; }
  xdotool key ctrl+p
  wait_for $ANSWER_S paused || { echo "bare display: Ctrl+P typed in the game window did not pause it within $ANSWER_S s ($ANSWER)"; return 1; }
  # A click on the debug window's lines, once the game has taken it (the window
  # has the keyboard), leaves typing in its command box: the keys wait there
  # for the box, however busy the game.
  wait_for $ANSWER_S has_keyboard "$debug" 40 40 ||
    { echo "bare display: a click on the debug window's lines did not give it the keyboard within $ANSWER_S s"; return 1; }
  xdotool type --delay 20 help
  xdotool key Return
  wait_for $ANSWER_S said bare ': >help$' ||
    { echo "bare display: \"help\" typed after a click on the debug window's lines not run within $ANSWER_S s"; return 1; }
  # So does a press there released over the game window (X hands that release
  # to the debug window).
  wait_for $ANSWER_S has_keyboard "$game" -6 -4 ||
    { echo "bare display: a click in the game window did not give it the keyboard back within $ANSWER_S s"; return 1; }
  xdotool mousemove $(point_in "$debug" 40 40) mousedown 1
  focused() { [ "$(xdotool getwindowfocus 2> /dev/null)" = "$1" ]; }
  wait_for $ANSWER_S focused "$debug" ||
    { echo "bare display: a press on the debug window's lines did not give it the keyboard within $ANSWER_S s"; return 1; }
  xdotool mousemove $(point_in "$game" 100 100) mouseup 1
  xdotool type --delay 20 help
  xdotool key Return
  helped_twice() { [ "$(grep -c ': >help$' "$WORK/bare.out")" -ge 2 ]; }
  wait_for $ANSWER_S helped_twice ||
    { echo "bare display: \"help\" typed after a press on the debug window's lines released over the game window not run within $ANSWER_S s"; return 1; }
}
(bare_display) || fail=1

if [ "$fail" -ne 0 ]; then
  for f in "$WORK"/*.out "$WORK"/*.err; do echo "--- $(basename "$f")"; grep -v 'Supported Extensions' "$f" | tail -20; done
  exit 1
fi
echo "smoke: windows, greeting, console and saved games as expected; on a bare display a click gives the keyboard"
