# Sourced by the end-to-end scripts that drive the game on an X server of
# their own, so that no other test's windows can take their clicks or cover
# their screenshots. Gives a scratch folder ($WORK), the server ($DISPLAY),
# wait_for, window_id, and fail (prefixed with $NAME, set by the caller); at
# exit the game (once $GAME holds its pid), the server and the folder go.
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
