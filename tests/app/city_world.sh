#!/usr/bin/env bash
# "-citymode" in the real game: the camera looks down on the blue city hall at
# the north pole inside the blue band of its walls; resting the mouse on the
# hall tints it orange; no script failed to load. Runs on an X server of its own.
# Every check waits for its picture: the camera glides to the hall after the
# start, and the panels may open after the game window.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
NAME="city world"
. tests/app/own_display.sh

start_game -citymode
# The lit hall is a bright blue with some grey in it; the walls a dark pure
# blue that the hall test must not take for the hall.
HALL='b>0.6 r<0.4 g<0.4 b>2r'
WALLS='b>0.3 b<0.6 r<0.08 g<0.08'
ORANGE='r>0.7 g>0.3 g<0.65 b<0.4'
hall_drawn() {
  shoot
  [ "$(count_middle 160 "$HALL")" -gt 300 ]
}
wait_for $SHOW_S hall_drawn ||
  { cp "$WORK/shot.png" /tmp/city_world_failed.png; fail "no blue hall in the middle within $SHOW_S s (see /tmp/city_world_failed.png)"; }
# The walls: a blue band all round, well away from the hall.
mask "$WALLS"
BAND=$(convert "$WORK/shot.png" -sample 25% "${MASK[@]}" -trim -format '%w' info:)
[ "$BAND" -gt $((WIDTH / 12)) ] || fail "no band of walls around the hall (blue spans $BAND pixels)"

# The game picks what the mouse is over when the mouse moves: each look moves
# it by a pixel on the hall, so a move the game took before the hall was under
# the pointer is followed by another.
NUDGE=0
hall_orange() {
  xdotool mousemove --window "$GL" $((WIDTH / 2 + NUDGE)) $((HEIGHT / 2))
  NUDGE=$((1 - NUDGE))
  shoot
  [ "$(count_middle 160 "$ORANGE")" -gt 300 ]
}
wait_for $SHOW_S hall_orange ||
  { cp "$WORK/shot.png" /tmp/city_world_failed.png; fail "the hovered hall is not orange within $SHOW_S s (see /tmp/city_world_failed.png)"; }

if grep -E "Script Error|Failed to load|Cannot load|LoadOBJ|Tuning: " "$WORK/game.out" "$WORK/game.err"; then
  fail "a script or model did not load, or a shipped tuning value was cut"
fi
echo "city world: hall, walls and hover shown"
