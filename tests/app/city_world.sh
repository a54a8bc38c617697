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

"$QUORVEL" -noautopause -citymode < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
GAME=$!
wait_for grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "the game did not start"
GL=$(window_id QuorvelGL) || fail "no game window"
eval "$(xdotool getwindowgeometry --shell "$GL")"

# The debug window and the control panel open over the game window, perhaps
# after it: move them off it before every picture.
panels_aside() {
  for w in $(xdotool search --name '^Debug Window$' 2> /dev/null); do xdotool windowmove "$w" 0 1000; done
  for w in $(xdotool search --name '^Quorvel Control Panel$' 2> /dev/null); do xdotool windowmove "$w" 1200 0; done
}
shoot() {
  panels_aside
  xdotool windowraise "$GL"
  import -window "$GL" "$WORK/shot.png" 2> /dev/null
}
count() {  # pixels of the middle 160 x 160 of the window that pass the test
  convert "$WORK/shot.png" -gravity center -crop 160x160+0+0 +repage -fx "$1" -format '%[fx:round(mean*w*h)]' info:
}
# The lit hall is a bright blue with some grey in it; the walls a dark pure
# blue that the hall test must not take for the hall.
HALL='(b>0.6 && r<0.4 && g<0.4 && b>2*r) ? 1 : 0'
WALLS='(b>0.3 && b<0.6 && r<0.08 && g<0.08) ? 1 : 0'
ORANGE='(r>0.7 && g>0.3 && g<0.65 && b<0.4) ? 1 : 0'
hall_drawn() {
  shoot
  [ "$(count "$HALL")" -gt 300 ]
}
wait_for hall_drawn || { cp "$WORK/shot.png" /tmp/city_world_failed.png; fail "no blue hall in the middle (see /tmp/city_world_failed.png)"; }
# The walls: a blue band all round, well away from the hall.
BAND=$(convert "$WORK/shot.png" -sample 25% -fx "$WALLS" -trim -format '%w' info:)
[ "$BAND" -gt $((WIDTH / 12)) ] || fail "no band of walls around the hall (blue spans $BAND pixels)"

xdotool mousemove --window "$GL" $((WIDTH / 2)) $((HEIGHT / 2))
sleep 0.1
xdotool mousemove --window "$GL" $((WIDTH / 2 + 1)) $((HEIGHT / 2))
hall_orange() {
  shoot
  [ "$(count "$ORANGE")" -gt 300 ]
}
wait_for hall_orange || { cp "$WORK/shot.png" /tmp/city_world_failed.png; fail "the hovered hall is not orange (see /tmp/city_world_failed.png)"; }

if grep -E "Script Error|Failed to load|Cannot load|LoadOBJ" "$WORK/game.out" "$WORK/game.err"; then
  fail "a script or model did not load"
fi
echo "city world: hall, walls and hover shown"
