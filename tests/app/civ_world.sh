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

start_game -civmode
# The human's colour: bright blue with a little red and green (the ocean is darker).
HUMAN='b>0.8 r>0.1 r<0.35 g>0.1 g<0.35'
city_drawn() {
  shoot
  [ "$(count_middle 300 "$HUMAN")" -gt 150 ]
}
wait_for $SHOW_S city_drawn ||
  { cp "$WORK/shot.png" /tmp/civ_world_failed.png; fail "no human city in the middle of the window within $SHOW_S s (see /tmp/civ_world_failed.png)"; }

if grep -E "Script Error|Failed to load|Cannot load|CivGameMode.ini:|Tuning: " "$WORK/game.out" "$WORK/game.err"; then
  fail "a script or file did not load, or a shipped tuning value was cut"
fi
[ -n "${QV_CIV_WORLD_SHOT:-}" ] && cp "$WORK/shot.png" "$QV_CIV_WORLD_SHOT"
echo "civ world: the human's city in the middle"
