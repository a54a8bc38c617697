#!/usr/bin/env bash
# "-civmode" in the real game: the camera opens over the human's city, a ring
# of cubes inside a wall band in the human's blue (0.2, 0.2, 1.0) in the middle
# of the window, rival walls in other colours elsewhere, and no script, sound
# or file failed to load. Runs on an X server of its own.
set -u
QUORVEL="$1"
cd "$(dirname "$0")/../.."
NAME="civ world"
. tests/app/own_display.sh

"$QUORVEL" -noautopause -civmode < /dev/null > "$WORK/game.out" 2> "$WORK/game.err" &
GAME=$!
wait_for grep -q "Welcome to Quorvel" "$WORK/game.out" || fail "the game did not start"
GL=$(window_id QuorvelGL) || fail "no game window"

shoot() {
  xdotool windowraise "$GL"
  import -window "$GL" "$WORK/shot.png" 2> /dev/null
}
# The human's colour: bright blue with a little red and green (the ocean is darker).
HUMAN='(b>0.8 && r>0.1 && r<0.35 && g>0.1 && g<0.35) ? 1 : 0'
human_in_middle() {
  convert "$WORK/shot.png" -gravity center -crop 300x300+0+0 +repage -fx "$HUMAN" -format '%[fx:round(mean*w*h)]' info:
}
city_drawn() {
  shoot
  [ "$(human_in_middle)" -gt 150 ]
}
wait_for city_drawn || { cp "$WORK/shot.png" /tmp/civ_world_failed.png; fail "no human city in the middle of the window (see /tmp/civ_world_failed.png)"; }

if grep -E "Script Error|Failed to load|Cannot load|CivGameMode.ini:" "$WORK/game.out" "$WORK/game.err"; then
  fail "a script or file did not load, or a tuning value was out of range"
fi
[ -n "${QV_CIV_WORLD_SHOT:-}" ] && cp "$WORK/shot.png" "$QV_CIV_WORLD_SHOT"
echo "civ world: the human's city in the middle"
