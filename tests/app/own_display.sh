# Sourced by the end-to-end scripts that drive the game on an X server of
# their own, so that no other test's windows can take their clicks or cover
# their screenshots. Gives a scratch folder ($WORK), the server ($DISPLAY),
# wait_for (tests/app/wait_for.sh), the deadlines below, window_id, fail
# (prefixed with $NAME, set by the caller), start_game, shoot, count_middle
# and mask; at exit the game (once $GAME holds its pid), the server and the
# folder go.
. tests/app/wait_for.sh
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

# Deadlines in real seconds, far beyond what a sanitized build needs on a
# machine at load 40: the X server's start, the game's start-up to its
# greeting, and anything the running game shows or answers.
SERVER_S=60 START_S=240 SHOW_S=240

window_id() { xdotool search --name "^$1\$" 2> /dev/null | head -1 | grep .; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp 3> "$WORK/display" 2> /dev/null &
XVFB=$!
wait_for $SERVER_S test -s "$WORK/display" || fail "no X server within $SERVER_S s"
export DISPLAY=":$(head -1 "$WORK/display")"

# Starts "$QUORVEL" with the given options and waits for its greeting: $GAME
# is its pid, $GL its window, $WIDTH and $HEIGHT the window's size.
start_game() {
  "$QUORVEL" -noautopause "$@" < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
  GAME=$!
  wait_for $START_S grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "no greeting within $START_S s"
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

# Picture tests cost a few whole-picture operations, never an expression run
# per pixel: the pixels that pass become white in a mask, the rest black, and
# one statistic of the mask answers. A test is a list of conditions that must
# all hold, each a channel against a level in 0..1 ("b>0.3", "r<0.08", strict
# as written, on the picture's 8-bit steps) or above a multiple of another
# channel ("b>2r").
# mask TEST: sets MASK to the ImageMagick operators that turn the picture
# before them into the test's mask.
mask() {
  local c cut above='^([rgb])[>]([0-9.]+)([rgb])$' level='^([rgb])([<>])([0-9.]+)$'
  MASK=(-write mpr:p +delete)
  for c in $1; do
    if [[ "$c" =~ $above ]]; then
      # X - nY (n whole), cut off at zero, is at least one 8-bit step where X > nY.
      MASK+=('(' mpr:p -channel "${BASH_REMATCH[1]}" -separate +channel
        '(' mpr:p -channel "${BASH_REMATCH[3]}" -separate +channel -evaluate multiply "${BASH_REMATCH[2]}" ')'
        -compose MinusSrc -composite -threshold 128 ')')
    elif [[ "$c" =~ $level ]]; then
      # The cut half an 8-bit step from the level, where no pixel can be.
      cut=$(awk -v k="${BASH_REMATCH[3]}" -v op="${BASH_REMATCH[2]}" 'BEGIN { c = 255 * k; r = int(c + 0.5)
        if (c - r < 1e-6 && r - c < 1e-6) c = r
        printf "%d", ((op == "<" && c == int(c)) ? c - 0.5 : int(c) + 0.5) * 257 }')
      MASK+=('(' mpr:p -channel "${BASH_REMATCH[1]}" -separate +channel -threshold "$cut")
      [ "${BASH_REMATCH[2]}" = "<" ] && MASK+=(-negate)
      MASK+=(')')
    else
      fail "no such picture condition: $c"
    fi
  done
  MASK+=(-evaluate-sequence Min)
}
# The pixels of the middle $1 x $1 of the last picture that pass the test $2.
count_middle() {
  mask "$2"
  convert "$WORK/shot.png" -gravity center -crop "$1x$1+0+0" +repage "${MASK[@]}" -format '%[fx:round(mean*w*h)]' info:
}
