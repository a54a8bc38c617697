#!/usr/bin/env bash
# "-tribemode" in the real game: the camera looks down on the blue hut at the
# north pole with the first members beside it and trees around, and no script
# or model failed to load. Runs on an X server of its own.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
NAME="tribe world"
. tests/app/own_display.sh

start_game -tribemode
# The lit hut and members: pure blue, nothing of red or green.
BLUE='b>0.3 r<0.08 g<0.08'
hut_drawn() {
  shoot
  [ "$(count_middle 200 "$BLUE")" -gt 400 ]
}
wait_for $SHOW_S hut_drawn ||
  { cp "$WORK/shot.png" /tmp/tribe_world_failed.png; fail "no blue hut in the middle of the window within $SHOW_S s (see /tmp/tribe_world_failed.png)"; }

# The blue shapes: the camera is anchored on the hut, so they sit in the
# middle; the members walk about the hut, so before long (one may stand behind
# it for a while) they make the shapes wider or taller than the hut alone.
blue_shapes() {
  mask "$BLUE"
  read -r W H LEFT TOP < <(convert "$WORK/shot.png" "${MASK[@]}" -trim -format '%w %h %X %Y' info:)
}
blue_shapes
CX=$((LEFT + W / 2)) CY=$((TOP + H / 2))
[ $((CX - WIDTH / 2)) -lt 40 ] && [ $((WIDTH / 2 - CX)) -lt 40 ] || fail "the hut is not in the middle (x $CX of $WIDTH)"
[ $((CY - HEIGHT / 2)) -lt 40 ] && [ $((HEIGHT / 2 - CY)) -lt 40 ] || fail "the hut is not in the middle (y $CY of $HEIGHT)"
members_beside() {
  shoot
  blue_shapes
  [ "$W" -ge $((H + 6)) ] || [ "$H" -ge $((W + 6)) ]
}
wait_for $SHOW_S members_beside || fail "no members beside the hut within $SHOW_S s (blue shapes $W x $H)"

# Trees: their bright green crowns.
mask 'g>0.6 r<0.3 b<0.3'
GREEN=$(convert "$WORK/shot.png" "${MASK[@]}" -format '%[fx:round(mean*w*h)]' info:)
[ "$GREEN" -gt 2000 ] || fail "no trees ($GREEN green pixels)"

if grep -E "Script Error|Failed to load|Cannot load|LoadOBJ|Tuning: " "$WORK/game.out" "$WORK/game.err"; then
  fail "a script or model did not load, or a shipped tuning value was cut"
fi
[ -n "${QV_TRIBE_WORLD_SHOT:-}" ] && cp "$WORK/shot.png" "$QV_TRIBE_WORLD_SHOT"
echo "tribe world: hut, members and trees shown"
