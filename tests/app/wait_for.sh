# Sourced by the end-to-end scripts: the one way they wait for what the game
# does (a line in its output, a window, a picture, a file). None sleeps a fixed
# time: a busy machine makes a wait longer, never its verdict different.
#
# wait_for SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds
# (status 0); status 1 once SECONDS real seconds have passed since the call
# without success. The deadline is read off the clock, not counted in tries,
# so a slow check cannot stretch it and "within SECONDS s" holds as said.
wait_for() {
  local end=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME//[!0-9]/}" -ge "$end" ] && return 1
    sleep 0.2
  done
}

# What the scripts ask of a running game while they wait.
# The console's "frames" answers how many frames the game played and what
# holds it: ask_frames types "frames" on descriptor FRAMES_TYPING once the
# last question was answered in the file FRAMES_OUT, and keeps the last two
# answers in EARLIER and ANSWER.
FRAMES_ASKED=0 EARLIER="" ANSWER=""
ask_frames() {
  [ "$(grep -c ': Frames: ' "$FRAMES_OUT")" -ge "$FRAMES_ASKED" ] || return 1
  EARLIER=$ANSWER
  ANSWER=$(grep ': Frames: ' "$FRAMES_OUT" | tail -1)
  echo frames >&"$FRAMES_TYPING"
  FRAMES_ASKED=$((FRAMES_ASKED + 1))
}
played() { sed -n 's/.*: Frames: \([0-9]*\) played.*/\1/p' <<< "$1"; }
# plays: two answers in a row, neither held nor paused, more frames played at the second.
plays() {
  ask_frames && [[ "$EARLIER" == *Frames* && "$EARLIER$ANSWER" != *held* && "$EARLIER$ANSWER" != *paused* ]] &&
    [ "$(played "$ANSWER")" -gt "$(played "$EARLIER")" ]
}
# holds: two answers in a row, both held, no frame played between them.
holds() {
  ask_frames && [[ "$EARLIER" == *held* && "$ANSWER" == *held* ]] && [ "$(played "$ANSWER")" -eq "$(played "$EARLIER")" ]
}
# point_in WINDOW [X Y]: the screen point that far from the window's top left
# (negative: from its right or bottom; by default its bottom right corner,
# where neither the control panel nor the tribe's HUD has a control).
# xdotool's own geometry counts a framed window's title bar twice, xwininfo's
# does not.
point_in() {
  local x y width height dx=${2:--6} dy=${3:--4}
  read -r x y width height < <(xwininfo -id "$1" |
    awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
      END { print x, y, w, h }')
  [ "$dx" -lt 0 ] && x=$((x + width))
  [ "$dy" -lt 0 ] && y=$((y + height))
  echo $((x + dx)) $((y + dy))
}
# click_in WINDOW [X Y]: a click there.
click_in() {
  xdotool mousemove $(point_in "$@") click 1
}
