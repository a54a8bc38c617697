# Sourced by the end-to-end scripts that drive the game on an X server of
# their own, so that no other test's windows can take their clicks or cover
# their screenshots. Gives a scratch folder ($WORK), the server ($DISPLAY),
# wait_for, window_id, fail (prefixed with $NAME, set by the caller),
# start_game, shoot and count_middle; at exit the game (once $GAME holds its
# pid), the server and the folder go.
WORK="$(mktemp -d)"
GAME=""
XVFB=""
cleanup() {
  [ -n "$GAME" ] && kill "$GAME" 2>/dev/null && wait "$GAME" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null && wait "$XVFB" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "$NAME: $*"; [ -f "$WORK/game.err" ] && tail -5 "$WORK/game.err"; exit 1; }

# Wait for a condition, checking every 0.2 s, for at most 60 s.
wait_for() {
  for _ in $(seq 300); do "$@" && return 0; sleep 0.2; done
  return 1
}
window_id() { xdotool search --name "^$1\$" 2> /dev/null | head -1 | grep .; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3> "$WORK/display" 2> /dev/null &
XVFB=$!
wait_for test -s "$WORK/display" || fail "no X server"
export DISPLAY=":$(head -1 "$WORK/display")"

# Starts "$QUORVEL" with the given options and waits for its greeting: $GAME
# is its pid, $GL its window, $WIDTH and $HEIGHT the window's size.
start_game() {
  "$QUORVEL" -noautopause "$@" < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
  GAME=$!
  wait_for grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "the game did not start"
  GL=$(window_id QuorvelGL) || fail "no game window"
  eval "$(xdotool getwindowgeometry --shell "$GL")"
}
# The game window into $WORK/shot.png. The debug window and the control panel
# may open over it, perhaps after it: they are moved off it before every picture.
shoot() {
  for w in $(xdotool search --name '^Debug Window$' 2> /dev/null); do xdotool windowmove "$w" 0 1000; done
  for w in $(xdotool search --name '^Quorvel Control Panel$' 2> /dev/null); do xdotool windowmove "$w" 1200 0; done
  xdotool windowraise "$GL"
  import -window "$GL" "$WORK/shot.png" 2> /dev/null
}
# The pixels of the middle $1 x $1 of the last picture that pass the fx test $2.
count_middle() {
  convert "$WORK/shot.png" -gravity center -crop "$1x$1+0+0" +repage -fx "$2" -format '%[fx:round(mean*w*h)]' info:
}
